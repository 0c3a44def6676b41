#pragma once
// The main window as the operator sees it while polling: the all-links summary, the
// single-link view, the notices, the auto-log panel and the fixed buttons. Control names
// carry "L" for the LOCAL end and nothing for the DISTANT end.

#include "setup/SystemSetup.h"
#include "ui/Screen.h"

#include <string>

namespace linvar {

class SummaryScreen : public Screen {
public:
    SummaryScreen();

    // Names of the all-links icons and poll marks: link n = 1..20, or the switch and
    // redundant-modem records 41..44.
    static std::string IconName(int record);
    static std::string PollMarkName(int record);
    static std::string EditButtonName(int record);
    // Single-link view: the icon, the ">" marker and the online marker of a unit slot
    // at the LOCAL (odd record) or DISTANT (even record) end.
    static std::string UnitIconName(int slot, bool distant);
    static std::string UnitMarkerName(int slot, bool distant);
    static std::string OnlineMarkerName(int slot, bool distant);

    // The 44 icons painted with their end colours and the program title with the worst
    // state.
    void RefreshSummary(const SystemSetup& setup, int worstStatus);
    void RefreshIds(const SystemSetup& setup);
    void RefreshPollMarks(const SystemSetup& setup);
    // The single-link view of the link whose LOCAL record is `localRecord`.
    void FillSingleLink(const SystemSetup& setup, int localRecord);
    void ClearUnitMarkers(bool distant);
    void SetUnitMarker(int slot, bool distant);
    void HideOnlineMarkers();
    bool AnyOnlineMarkerShown() const;
    void PaintUnitIcons(const EndRecord& end, bool distant);

    // "Linvar" and the worst state: ":Warning", ":FAULT", ":NoComms" or ":problem".
    static std::string ProgramTitle(int worstStatus);
    const std::string& Title() const { return at("AppTitle").text(); }

    void ShowWaitingNotice(bool shown);
    void ShowCountdown(int timeoutLeftMs);
    void ShowCommunicatingNotice(bool shown, const std::string& text = {});

private:
    // The controls every tick touches, found once.
    Control* icon_[SystemSetup::RecordCount + 1] = {};
    Control* pollMark_[SystemSetup::RecordCount + 1] = {};
    Control* unitIcon_[2][UnitSlotCount] = {};
    Control* unitMarker_[2][UnitSlotCount] = {};
    Control* online_[2][UnitSlotCount] = {};
};

} // namespace linvar
