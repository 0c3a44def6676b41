#pragma once
// The detail window of the MQX-310 and the RDX-7010: the MQX-330 window with the
// differences of these older units. It reads the identity itself, has no AUPC, turbo or
// uncoded operation, a fixed FEC type, a shorter configuration string, its own
// data-rate limits, locking, prompts and texts, and one stored-events log. Everything
// else, rows, decoders and steps alike, is the MQX-330 window's.

#include "detail/mqx330/Mqx330Window.h"

namespace linvar {

class Mqx310Window : public Mqx330Window {
public:
    Mqx310Window(DetailDeps deps, DetailInputs inputs);

protected:
    std::string Identify() override;
    FamilyDescription Describe() const override;
    std::vector<BoxRow> ConfigBoxes() const override;
    std::vector<CompositeRow> Composites() const override { return {}; }
    MaskLayout Masks() const override;
    unsigned ModelBits() const override { return 1u; } // the plain transmit-and-receive unit
    void BuildFamily() override;
    void ActivateFamily() override;
    void IdentityStep() override;
    void ClearStatus() override;
    void ClearConfigExtra() override;
    bool EffectiveLock(bool requested) const override;
    void LockExtra(bool effectiveLock, bool requested) override;
    void ShowEditGate() override;
    int RereadStep(const std::string& mnemonic, bool accepted) const override;
    int LrsReadStep() const override { return ConfigSteps::SetConfig; }
    void AfterFill(Source source) override;

    const StringLayout& Layout() const override;
    double RateCeiling(int fec, int mod) const override;
    int StatusRestartStep() const override { return 5; }
    std::vector<ReadStep> IdentitySteps() override;
    std::vector<ReadStep> StatusSteps() override;
    std::vector<ReadStep> ConfigReadSteps() override;
};

} // namespace linvar
