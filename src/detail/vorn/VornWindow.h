#pragma once
// The detail window of the C-band transceivers of the VORN family and of their sibling
// family YRAN. Its tables (VornTables.cpp) give the panels, the configuration boxes and
// the status replies' fields; VornWindow.cpp the reading sequence, the decoders the tables
// cannot say (converter presence, the redundancy box keys, the RF output power, the mute
// mode of a DISTANT unit) and the utilities.

#include "detail/transceiver/TransceiverCommon.h"

namespace linvar {

class VornWindow : public TransceiverWindow {
public:
    VornWindow(DetailDeps deps, DetailInputs inputs);

    bool UpSlopeKnown = false;
    bool DownSlopeKnown = false;
    bool RedundancyAuto = false;
    int StoredEventCount = 0;

    static constexpr int kUtilitiesButton = 298;

protected:
    std::string Identify() override;
    FamilyDescription Describe() const override;
    std::vector<BoxRow> ConfigBoxes() const override;
    void BuildFamily() override;
    void ActivateFamily() override;
    void ClearStatus() override;
    void Opening() override;
    void EndOfPass() override;
    std::string WaitInstruction() const override;
    bool OwnStep() override;
    void OnStaged(const BoxRow& box, const std::string& shown) override;

private:
    std::vector<Reading> Sequence();
    std::vector<Reading> Utilities();
    void BuildStatus();
    void BuildConfig();
    void BuildUtilityGroups();
    void TakeCcs(const std::string& value);
    void TakeCus(const std::string& value);
    void TakeCls(const std::string& reply);
    void TakeCms(const std::string& value);
    void TakeRrs(const std::string& value);
    int TakeMute(const std::string& reply);
    void ShowMute(bool shown);
    void RefreshGroups();
    void RefreshUtilityGates();
    void ShowMaintenance(bool shown);
    void TakeRam(const std::string& reply, bool utilities);
    // The next utility step, unless the set-time button is waiting.
    int UtilityNext(int k);

    std::string cas_; // the last alarm characters: the maintenance labels take their colours
    bool upPresent_ = true;
    bool downPresent_ = true;
    bool lnaSupply_ = true;
    bool maintenance_ = false;
    // The mute mode was answered (and a DISTANT unit unmuted); until then every pass asks.
    bool muteSettled_ = false;
};

} // namespace linvar
