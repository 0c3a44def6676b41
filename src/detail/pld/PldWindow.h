#pragma once
// The detail window of the Ku-band transceivers of the PLD family: an up converter with a
// high power amplifier and a down converter fed by a low noise amplifier or, in the LNB
// variant, by a low noise block converter. Status and configuration only: no log and no
// utilities panel. Its tables are PldTables.cpp; PldWindow.cpp the reading sequence and what
// the tables cannot say (identification, converter presence, the gated alarms, the LNB
// band limits).

#include "detail/transceiver/TransceiverCommon.h"

namespace linvar {

class PldWindow : public TransceiverWindow {
public:
    PldWindow(DetailDeps deps, DetailInputs inputs);

    std::string ModelText; // nine characters of the identity
    bool LnbModel = false; // its ninth character is "B"
    int AgcState = 0;      // 0 off, 1 on, 2 burst

    static constexpr int kCalibrate = 30; // the LNA calibration's step number

protected:
    std::string Identify() override { return "PLD"; }
    FamilyDescription Describe() const override;
    std::vector<BoxRow> ConfigBoxes() const override;
    void BuildFamily() override;
    void ActivateFamily() override;
    void ClearStatus() override;
    void Opening() override;
    void EndOfPass() override;
    void OnStaged(const BoxRow& box, const std::string& shown) override;
    void AfterAccepted(const std::string& mnemonic) override;

private:
    std::vector<Reading> Sequence();
    void BuildStatus();
    void BuildConfig();
    void TakeIdentity(const std::string& value);
    void TakeRcs(const std::string& value);
    void TakeCrs(const std::string& value);
    void TakeBand(const std::string& value);
    // Faults in characters from..to turn the summary red.
    void SummaryFault(const std::string& value, int length);
    static bool AnyFault(const std::string& value, int length);
    void ShowLnb();
};

} // namespace linvar
