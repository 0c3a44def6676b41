#pragma once
// The Alarms window: the active alarms first (unacknowledged in bold, with when they
// began and for how long), acknowledging the selected ones or all, and the journal's
// history filtered by link, unit and date. It stays open beside the main window.

#include "alarms/AlarmJournal.h"
#include "ui/Screen.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace linvar {

class AlarmsScreen : public Screen {
public:
    static constexpr int kRows = 10;
    static constexpr size_t kHistoryLines = 200;
    static constexpr int kHelpTopic = 9;

    AlarmsScreen(AlarmJournal& journal, const Clock& clock);

    // Follows the journal: again after every change, and each second for "how long".
    void Tick();
    void Refresh();
    std::function<void()> onClose;
    std::function<void()> onHelp;
    // The audible alert: off until the operator ticks it; never more often than this.
    bool SoundOn() const { return at("AlSound").checked(); }
    static constexpr int64_t kSoundRepeatMs = 30000;

    // "2:05:09" for a span of seconds; days in front when it is longer.
    static std::string DurationText(int64_t seconds);
    // "Link 3 DISTANT Transceiver 1 (0031) PARIS-1"
    static std::string UnitText(int record, int slot, const std::string& address,
                                const std::string& linkId);

private:
    std::vector<std::pair<int, int>> Selected() const;
    void RefreshHistory();

    AlarmJournal& journal_;
    const Clock& clock_;
    std::vector<std::pair<int, int>> rows_; // the unit of each row shown
    uint64_t revision_ = 0;
    int shownSecond_ = -1;
};

} // namespace linvar
