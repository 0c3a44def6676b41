#pragma once
// The detail window of the MQX-350 family: the MQX-350 (model code 350, 50-180 MHz) and
// the MQX-350L (351, 950-1950 MHz, with BUC and LNB). Its tables (Mqx350Tables.cpp) give
// the configuration boxes, the commands built from several boxes, the masks, the reading
// steps' order and the memory previews; Mqx350Window.cpp covers what the rows cannot say.

#include "detail/modem/ModemWindow.h"

namespace linvar {

class Mqx350Window : public ModemWindow {
public:
    Mqx350Window(DetailDeps deps, DetailInputs inputs);

    bool IsL() const { return model_ == 351; }
    // The configuration read from "ODU?" on.
    static constexpr int kOduRead = 13;
    double DataRateMax() const { return rateMax_; }

    // The family bits of the box rows' models masks.
    static constexpr unsigned kModel350 = 1;
    static constexpr unsigned kModel351 = 2;

protected:
    std::string Identify() override;
    FamilyDescription Describe() const override;
    std::vector<BoxRow> ConfigBoxes() const override;
    std::vector<CompositeRow> Composites() const override;
    MaskLayout Masks() const override;
    unsigned ModelBits() const override { return IsL() ? kModel351 : kModel350; }
    void BuildFamily() override;
    void ActivateFamily() override;
    void ClearStatus() override;
    void ClearConfigExtra() override;
    void LockExtra(bool effectiveLock, bool requested) override;
    bool InLoopback() const override;
    int FullReadStep() const override { return 9; }
    int LrsReadStep() const override { return 5; }
    std::optional<std::string> CustomCommand(const BoxRow& box, const std::string& text) override;
    void AfterFill(Source source) override;

private:
    static std::vector<StatusGroup> StatusPanel();
    std::vector<PreviewMemo> ConfigPreview() const;
    std::vector<PreviewMemo> OduPreview() const;
    std::vector<ReadStep> IdentitySteps();
    std::vector<ReadStep> StatusSteps();
    std::vector<ReadStep> ConfigReadSteps();
    void DecodeFaults(const std::string& codes, const char* unit, const char* tx, const char* rx,
                      const char* odu);
    void ScramblerEntries(const char* box, int fecType, int stored);

    int model_ = 350;
    double rateMax_ = 512;
    std::string options_;
};

} // namespace linvar
