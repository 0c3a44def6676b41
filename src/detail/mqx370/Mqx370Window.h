#pragma once
// The detail window of the MQX-370 family: the MQX-370 (model code 370, 50-180 MHz), the
// MQX-370L (371) and the BLQ-7370L (372), both 950-1950 MHz with BUC and LNB control. It
// is the MQX-350 window's behaviour with framing (IBS, IDR), drop and insert, audio,
// backward alarms and an external reference. Its tables (Mqx370Tables.cpp) give the boxes,
// Mqx370Status.cpp the reading steps, Mqx370Lists.cpp the lists rebuilt from the configuration
// and the drop and insert channel tables.

#include "detail/modem/ModemWindow.h"

#include <array>

namespace linvar {

class Mqx370Window : public ModemWindow {
public:
    Mqx370Window(DetailDeps deps, DetailInputs inputs);

    bool IsL() const { return model_ != 370; }
    bool HasDropInsert() const { return (options_[7] - '0') & 1; }
    bool HasAudio() const { return ((options_[7] - '0') >> 1) == 1; }
    // The MQX-370 with the high-stability reference module.
    bool HasReference() const { return !IsL() && options_[9] == '1'; }
    bool WideRange() const { return wideRange_; }
    int Firmware() const { return firmware_; }

    // The family bits of the box rows' models masks.
    static constexpr unsigned kModel370 = 1;
    static constexpr unsigned kModelL = 2;

    // The channel tables: timeslot of each channel, 0 for none.
    static constexpr int kChannels = 24;
    // The configuration read's "DNI?", and where it waits when that is refused.
    static constexpr int kDniReadStep = 7;
    // The configuration read from "REF?", and from "OGC?" (the ODU parameters).
    static constexpr int kReferenceRead = 3;
    static constexpr int kOduRead = 15;
    static constexpr int kDniStopped = 96;
    using Channels = std::array<int, kChannels>;
    // The D+I value of the tables and lists as "DNI=" sends it.
    std::string DropInsertValue() const;

protected:
    std::string Identify() override;
    FamilyDescription Describe() const override;
    std::vector<BoxRow> ConfigBoxes() const override;
    std::vector<CompositeRow> Composites() const override;
    MaskLayout Masks() const override;
    unsigned ModelBits() const override { return IsL() ? kModelL : kModel370; }
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
    void AfterAccepted(const std::string& mnemonic) override;
    void RestoreCommand(const std::string& mnemonic) override;
    void OnTick() override;

private:
    static std::vector<StatusGroup> StatusPanel();
    std::vector<PreviewMemo> ConfigPreview() const;
    std::vector<PreviewMemo> OduPreview() const;
    std::vector<PreviewMemo> DropInsertPreview() const;
    std::vector<ReadStep> IdentitySteps();
    std::vector<ReadStep> StatusSteps();
    std::vector<ReadStep> ConfigReadSteps();
    void BuildConfigPanel();
    void BuildDropInsert();
    void DecodeFaults(const std::string& codes, const char* unit, const char* tx, const char* rx,
                      const char* fourth);

    // Limits that depend on the model, the range and the AUPC box.
    std::vector<Range> FrequencyRanges() const;
    std::string FrequencyPrompt(bool tx) const;
    double PowerLow() const;
    double PowerHigh() const;

    // The lists rebuilt from the configuration string (Mqx370Lists.cpp).
    std::vector<std::string> ReedSolomonEntries(bool tx) const;
    std::vector<std::string> ScramblerEntries(bool tx) const;
    std::vector<std::string> RateEntries(bool tx) const;
    int RateEntry(const std::vector<std::string>& entries, bool tx) const;
    bool RateListShown(bool tx) const;
    void FillRateList(bool tx);

    // Drop and insert (Mqx370Lists.cpp).
    void DecodeDropInsert(const std::string& value);
    void ShowChannels(bool drop);
    void SelectChannel(bool drop, int channel);
    void StepTimeslot(bool drop, bool up);
    void LeaveChannels(bool drop);
    void SendDropInsert(bool always);

    int model_ = 370;
    std::string options_;
    bool wideRange_ = false;
    int firmware_ = 0;
    double txMin_ = 4.8, txMax_ = 2048, rxMin_ = 4.8, rxMax_ = 2048;
    Channels drop_{}, insert_{};
    int dropChannel_ = -1, insertChannel_ = -1;
    bool dropLeft_ = false, insertLeft_ = false;
    std::string dniHeld_, dniPending_;
};

} // namespace linvar
