#pragma once
// The main window: start-up, the start panel, the buttons that stay in every view, the
// dialogs it opens, and quitting. It owns the station's process-wide state: the system
// model, the capture file, the comms dialog with its link, and the poll cycle.

#include "alarms/AlarmJournal.h"
#include "alarms/AlarmsScreen.h"
#include "detail/framework/DetailHost.h"
#include "edit/LinkEdit.h"
#include "edit/SwitchEdit.h"
#include "export/StatusSnapshot.h"
#include "logging/Capture.h"
#include "poll/AutoLogNotice.h"
#include "poll/PollCycle.h"
#include "serial/CommsDialog.h"
#include "serial/CommsLink.h"
#include "serial/CommsSetupScreen.h"
#include "setup/SetupFilesScreen.h"
#include "setup/SystemSetup.h"
#include "summary/SummaryScreen.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace linvar {

class Clock;
class Operator;
class PrintState;
class StatusServer;

inline constexpr const char* kHelpFileName = "Linvar47.HLP";
inline constexpr const char* kDirectStartKeyword = "Brivola";

class Station {
public:
    struct Platform {
        const Clock& clock;
        Operator& op;
        CommsPort& port;
        // Writes request bytes to the line (the port's WriteText, or a simulator).
        std::function<void(const std::string&)> transmit;
        std::filesystem::path programDir;
        std::string programFileName;
        // Whether the station is the application the operator works in (no function: it
        // is); the "Auto Logging" notice never takes the focus from another program.
        std::function<bool()> active = nullptr;
        // The system's alert sound (the audible alarm); none in tests unless given.
        std::function<void()> beep = nullptr;
    };

    explicit Station(Platform platform);
    ~Station();

    // Start-up when the main window first becomes active; `directStart` is the
    // command-line keyword.
    void Activate(bool directStart);
    // Every 50 ms: the main timer's step (while it runs) and the open dialog's timer.
    void Tick();
    // The windows on screen, main window first; the last one is in front.
    const std::vector<Screen*>& Windows() const { return windows_; }
    bool QuitRequested() const { return quit_; }
    int HelpTopic() const { return cycle_.HelpTopic; }

    SummaryScreen& Main() { return screen_; }
    CommsSetupScreen& CommsScreen() { return commsScreen_; }
    SetupFilesScreen& SaveDialog() { return saveDialog_; }
    AutoLogNoticeScreen& AutoLogNotice() { return notice_; }
    PollCycle& Cycle() { return cycle_; }
    // The detail window host (the window open, if any).
    DetailHost& Details() { return *detailHost_; }
    LinkEdit& LinkEditScreen() { return linkEdit_; }
    SwitchEdit& SwitchEditScreen() { return switchEdit_; }
    SystemSetup& Setup() { return setup_; }
    Capture& CaptureFile() { return capture_; }
    CommsDialog& Comms() { return comms_; }
    CommsLink& Link() { return link_; }
    const std::filesystem::path& ProgramDir() const { return p_.programDir; }
    AlarmJournal& Journal() { return *journal_; }
    AlarmsScreen& Alarms() { return *alarms_; }
    // The station as the status export shows it, now.
    std::shared_ptr<const StatusSnapshot> Snapshot() const;
    // Given a fresh snapshot after a change, at most once a second (the status export).
    std::function<void(std::shared_ptr<const StatusSnapshot>)> onSnapshot;
    // Opens the Trends window on the unit at this address ("": the window's own choice).
    std::function<void(const std::string& address)> onTrends;
    // Serves the station's snapshots on ADDRESS:PORT. A port that cannot be had is said
    // on standard error and to the operator; the station goes on without the export.
    bool StartStatusExport(StatusServer& server, const std::string& address, int port);

    // The capture button and label from the capture state (also after a detail window).
    void RefreshCaptureCaptions();
    void SetDetailWindows(DetailWindows* windows) { cycle_.SetDetailWindows(windows); }
    // Told every request the station writes to the line, from any window (an operator
    // script's expect-sent); nothing to stop watching.
    void WatchRequests(std::function<void(const std::string&)> fn) {
        linkPort_.watch = std::move(fn);
    }

private:
    class LinkPort : public RequestPort {
    public:
        explicit LinkPort(CommsLink& link) : link_(link) {}
        void WriteRequest(const std::string& text) override {
            ++requests;
            if (watch)
                watch(text);
            link_.WriteRequest(text);
        }
        const std::string& ReceivedMessage() const override { return link_.ReceivedMessage(); }
        uint64_t requests = 0;
        std::function<void(const std::string&)> watch;

    private:
        CommsLink& link_;
    };

    void BuildStartPanel();
    void DirectStart();
    void ShowCommsDialog();
    void CommsDialogClosed();
    void ShowSaveDialog();
    void SaveDialogClosed();
    void StartPolling();
    void Quit();
    void Report(const std::string& text);
    void Show(Screen& s);
    void Close(Screen& s);
    bool IsShown(const Screen& s) const;
    std::string CommsText(const char* separator) const;
    // The saved character format as the comms dialog lists it ("8N1" when none).
    std::string FormatText() const;
    // A lost port is opened again by itself, every few seconds, backing off.
    void WatchPort();

    Platform p_;
    SystemSetup setup_;
    Capture capture_;
    CommsLink link_;
    LinkPort linkPort_;
    CommsDialog comms_;
    SummaryScreen screen_;
    CommsSetupScreen commsScreen_;
    SetupFilesScreen saveDialog_;
    AutoLogNoticeScreen notice_;
    PollCycle cycle_;
    LinkEdit linkEdit_;
    SwitchEdit switchEdit_;
    std::unique_ptr<DetailHost> detailHost_;
    std::unique_ptr<AlarmJournal> journal_;
    std::unique_ptr<AlarmsScreen> alarms_;
    void RefreshAlarmCount();
    void UnitState(const UnitStateEvent& e);
    void PublishSnapshot();
    struct UnitSeen {
        int status = -1;
        std::string lastAnswer;
    };
    std::map<std::pair<int, int>, UnitSeen> units_;
    uint64_t timeouts_ = 0;
    uint64_t published_ = 0; // a sum of what changes, at the last snapshot
    int64_t publishedAt_ = -1000000;
    uint64_t faultsHeard_ = 0;
    int64_t beepedAt_ = 0;
    bool beeped_ = false;
    void SoundAlarm();
    std::vector<Screen*> windows_;
    bool quit_ = false;
    bool portDown_ = false;
    int reopenDelayMs_ = 1000;
    int64_t nextReopenAt_ = 0;
    std::string commsLabel_;
};

} // namespace linvar
