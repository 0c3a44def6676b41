#pragma once
// Opens the detail window of a unit family for the main window, runs it with its own
// 50 ms tick (the main timer is off meanwhile) and its one-shot timers, and hands the
// port back when the operator closes it.

#include "detail/framework/DetailWindow.h"
#include "poll/PollCycle.h"
#include "ui/Scheduler.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace linvar {

class DetailHost : public DetailWindows {
public:
    // Shows (true) or closes (false) a screen in front of the main window.
    using ShowFn = std::function<void(Screen&, bool)>;

    // What the windows use of the station (their one-shot timers are the host's).
    struct StationParts {
        TransactionState& tx;
        RequestPort& port;
        Capture& capture;
        const Clock& clock;
        Operator& op;
        SystemSetup& setup;
        PrintState& print;
        std::filesystem::path programDir;
    };

    DetailHost(StationParts station, ShowFn show);
    ~DetailHost() override;

    // Creates the family's window; false for a family without one.
    bool open(const DetailRequest& request, std::function<void(bool)> closed) override;
    // The window's 50 ms tick and timers; closing it calls `closed`.
    void Tick();

    DetailWindow* Window() const { return window_.get(); }
    // Given to every window it opens: what its "Trends" button does with its unit.
    std::function<void(const std::string& address)> onTrends;
    bool IsOpen() const { return window_ != nullptr; }

private:
    StationParts st_;
    ShowFn show_;
    ManualScheduler timers_;
    std::unique_ptr<DetailWindow> window_;
    std::function<void(bool)> closed_;
};

} // namespace linvar
