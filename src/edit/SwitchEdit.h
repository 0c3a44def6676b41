#pragma once
// Switch configuration: turns a 1:N switch on or off by choosing its bus address, sets its
// ID, delay and timeout, and enables or disables its ten traffic modems and its redundant
// modem. The switch's address scheme dictates the unit addresses; the screen writes them
// into the link records. Polling is suspended while the screen is open.
//
// The screen hooks itself into the poll cycle: the summary's "Edit" buttons of the two
// switches request the mode "ConfSw", whose start opens the screen.

#include "ui/Screen.h"

#include <functional>
#include <string>
#include <vector>

namespace linvar {

class PollCycle;
class SystemSetup;

class SwitchEdit : public Screen {
public:
    explicit SwitchEdit(PollCycle& cycle);

    // The summary's "Edit" button of switch s: asks the poll cycle for "ConfSw".
    void Request(int s);
    // The mode "ConfSw" has started: edit switch s (1 or 2). Stops the poll timer.
    void Enter(int s);
    // "&Exit Edit": recolours every record, requests "SUMSTATUSA", restarts the timer.
    void Exit();

    bool Editing() const { return editing_; }
    int Switch() const { return switch_; }

    // Shows (true) or hides (false) the screen's window.
    std::function<void(bool)> onShown;

    // "SwM1".."SwM10" for the traffic modems, "SwRM" for the redundant modem.
    static std::string ModemBoxName(int k);
    // The address list's entries, " Disable" first.
    static const std::vector<std::string>& ListEntries();

    static constexpr int HelpTopic = 8;

private:
    void Build();
    void ShowSummary(bool shown);
    void ApplySelection();
    void ColourBoxes();
    void Choose();
    void ClickModem(int k);
    void ClickRedundantModem();
    void LeaveTiming(const std::string& box, bool delay);

    PollCycle& cycle_;
    SystemSetup& setup_;
    bool editing_ = false;
    int switch_ = 1;
    int requested_ = 1;
};

} // namespace linvar
