#pragma once
// The main window's 50 ms step machine: one step of the current mode per tick, one
// request in flight, every configured unit of every link in turn. Operator actions only
// request a mode; a tick adopts it when no reply is awaited.

#include "poll/Families.h"
#include "setup/SystemSetup.h"
#include "ui/Colour.h"
#include "wire/Transaction.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace linvar {

class Capture;
class Clock;
class Operator;
class PrintState;
class SummaryScreen;
class AutoLog;
class ReadingsPass;

inline constexpr int kTickMs = 50;

namespace Modes {
inline constexpr const char* AllLinks = "SUMSTATUSA";
inline constexpr const char* OneLink = "SUMSTATUS1";
inline constexpr const char* Edit = "Edit";
inline constexpr const char* DetMod = "DetMod";
inline constexpr const char* DetTra = "DetTra";
inline constexpr const char* ConfSw = "ConfSw";
} // namespace Modes

// The status colour of each status code 0..8.
Colour StatusColour(int code);

// What a detail window is given when it opens.
struct DetailRequest {
    const FamilyRow* family = nullptr; // never null once the poll cycle has filled it
    std::string UnitAddress;
    std::string UnitName;
    std::string IdentityCode;
    int CurrentEnd = 0;
    bool ModemPairPresent = false; // both units of the kind opened (modems, transceivers)
};

// Opens detail windows. `open` returns false when the station has no window for that
// family; otherwise the window runs (modally, with its own timer) and `closed` is called
// with its DetailConfigChanged when the operator closes it.
class DetailWindows {
public:
    virtual ~DetailWindows() = default;
    virtual bool open(const DetailRequest& request, std::function<void(bool)> closed) = 0;
};

// A unit state the poll has just decided (the alarm journal listens): its end record,
// slot, status code, the reply it came from, and whether the reply carried the
// configuration-change mark (whatever the link's logging).
struct UnitStateEvent {
    int record = 0;
    int slot = 0;
    int status = 0;
    std::string reply;
    bool configMark = false;
};

class PollCycle {
public:
    struct Deps {
        SystemSetup& setup;
        RequestPort& port;
        Capture& capture;
        const Clock& clock;
        PrintState& print;
        SummaryScreen& screen;
        Operator& op;
        std::filesystem::path programDir;
    };

    explicit PollCycle(Deps deps);
    ~PollCycle();
    PollCycle(const PollCycle&) = delete;
    PollCycle& operator=(const PollCycle&) = delete;

    // Start-up: not logging, no end, nothing awaited, status codes -1.
    void ResetPollState();
    // Polling begins in the all-links view ("&Proceed", the direct start, the comms dialog).
    void StartPolling();
    // One 50 ms tick of the main timer. Does nothing while the timer is off.
    void Tick();

    bool TimerEnabled() const { return timerEnabled_; }
    void SetTimer(bool on);

    void SetDetailWindows(DetailWindows* windows) { windows_ = windows; }
    // Link edit and switch edit take over at their mode's start.
    std::function<void()> onLinkEdit;
    std::function<void()> onSwitchEdit;
    // Called whenever the help topic changes (the screen in front).
    std::function<void(int)> onHelpTopic;
    // The capture button's caption follows the capture state after a detail window.
    std::function<void()> onCaptureCaptions;
    // Every unit state the poll decides; it changes nothing of the poll.
    std::function<void(const UnitStateEvent&)> onUnitState;

    // Operator actions.
    void RequestMode(const std::string& mode) { tx.RequestedMode = mode; }
    void DoubleClickLink(int link);
    void DoubleClickSwitch(int s);
    void DoubleClickRedundantModem(int s);
    void DoubleClickUnit(int slot, bool distant);
    void CloseSingleLink() { RequestMode(Modes::AllLinks); }
    void EnterEditMode() { RequestMode(Modes::Edit); }

    // The summary poll's own transaction, shared with automatic logging.
    void SummarySend(const std::string& command);
    std::string SummaryReceive(const std::string& mnemonic);
    // The end's delay before the next request runs down a tick at a time; true while it
    // runs (the summary and the readings pass wait alike).
    bool EndDelayRunning();

    // Decoders of the results of SummaryReceive.
    int ModemFaultStatus(const std::string& result, const std::string& unitName);
    static int TransceiverStatus(const std::string& result);
    static int SwitchFaultStatus(const std::string& result);
    void EndStatus();
    void NextEnd();
    // Whether the link that record r belongs to is marked for automatic logging.
    bool LinkLoggedForRecord(int r) const;

    // State, named as the operator's documentation names it.
    TransactionState tx;
    int StepNo = 0;
    int CurrentEnd = 0;
    int ChosenLink = 0;
    int SelectedLink = 0;
    bool EndIsDistant = false;
    std::array<int, UnitSlotCount> Status{-1, -1, -1, -1};
    int WorstStatus = 0;
    bool ConfigChanged = false;
    bool DetailConfigChanged = false;
    int SavedStep = 1;
    // The unit whose change the log at step 403 is for; no other unit is ever logged.
    std::string ChangeLogAddress;
    std::string PollAddress;
    std::string RequestText;
    int64_t SummaryDelay = 0;
    std::string ReplyPayload;
    std::string UnitCaption;
    std::string IdentityCode;
    bool ModemPairPresent = false;
    int HelpTopic = 0;

    SystemSetup& setup() { return d_.setup; }
    const Clock& clock() const { return d_.clock; }
    Capture& capture() { return d_.capture; }
    SummaryScreen& screen() { return d_.screen; }
    Operator& op() { return d_.op; }
    AutoLog& autoLog() { return *autoLog_; }
    ReadingsPass& readings() { return *readings_; }
    const ReadingsPass& readings() const { return *readings_; }
    const std::filesystem::path& programDir() const { return d_.programDir; }
    // A capture line when capture is on.
    void Trace(const std::string& text, const std::string& tag);
    void SetHelpTopic(int topic);

private:
    void ModeChangeCheck();
    void RunStart();
    void RunStep();
    void AllLinksStart();
    void OneLinkStart();
    void PollStep();
    void PollStepBody();
    void AfterPollStep();
    void DetModStart();
    void DetModStep();
    void DetTraStart();
    void DetTraStep();
    void OpenDetail(const DetailRequest& request, bool modem);
    void AskDistantNoComms();
    void AskLocalNoComms();
    void ModelUnknown();
    void NoWindowYet(const FamilyRow& family);
    void BackToSingleLink();

    void SetUnitStatus(int slot, int status);
    void ClearMarkers();
    void Marker(int slot);
    void TransceiverRule();
    int TransceiverRuleStep() const;
    void OusState(const std::string& result);
    // The online question's answer (RED?, ONL?) shown by the unit's online marker; false
    // while it is still awaited.
    bool OnlineAnswer(const std::string& mnemonic, int slot);
    void GoOnAfterModem(int next);
    // SFS? to a transceiver, and its answer as its status (0 while awaited).
    void AskTransceiverStatus(int slot);
    int TransceiverAnswer(int slot);
    int EndDelayMs(int r);
    int EndTimeoutS(int r);
    int TimingOf(int r, bool delay);

    Deps d_;
    AutoLog* autoLog_ = nullptr;
    ReadingsPass* readings_ = nullptr;
    DetailWindows* windows_ = nullptr;
    bool timerEnabled_ = false;
    int txoAttempts_ = 0;
    int shownSecond_ = -1;
    int shownMinute_ = -1;
    bool configMark_ = false;
};

} // namespace linvar
