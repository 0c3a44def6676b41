#pragma once
// The detail window of one unit: the 50 ms step machine with its phases, the one
// exchange in flight (shared with the summary poll), the configuration change cycle with
// its confirmation, the log download, the utilities with the clock and the memories.
//
// A family window derives from DetailWindow and gives mostly data: its configuration
// boxes as BoxSpec rows (from which the panel is built, filled, validated and
// commanded), its status panel, its read steps and the few irregular parts.

#include "protocol/Transaction.h"
#include "ui/Colour.h"
#include "ui/Screen.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace linvar {

class Capture;
class Clock;
class Operator;
class PrintState;
class Scheduler;
class SystemSetup;

// Everything a detail window uses of the station.
struct DetailDeps {
    TransactionState& tx;
    RequestPort& port;
    Capture& capture;
    const Clock& clock;
    Operator& op;
    Scheduler& scheduler;
    SystemSetup& setup;
    PrintState& print;
    std::filesystem::path programDir; // where a log file named without a folder goes
};

// What the opener gives the window.
struct DetailInputs {
    std::string UnitAddress;
    std::string UnitName;
    std::string IdentityCode;
    int CurrentEnd = 1;
    bool ModemPairPresent = false;
};

namespace Phases {
inline constexpr const char* Status1 = "STATUS1";
inline constexpr const char* Status2 = "STATUS2";
inline constexpr const char* Config = "CONFIG";
inline constexpr const char* SetConfig = "SETCONFIG";
inline constexpr const char* ReadLog = "READLOG";
inline constexpr const char* Utilities = "UTILITIES";
inline constexpr const char* LoadStMem = "LOADSTMEM";
inline constexpr const char* Switchover = "SWITCHOVER";
inline constexpr const char* ExitModal = "EXITMODAL";
} // namespace Phases

// The common steps of the configuration phases.
namespace ConfigSteps {
inline constexpr int Unlock = 90;
inline constexpr int Gate = 91;
inline constexpr int SetConfig = 99;
inline constexpr int Idle = 100;
inline constexpr int SetReply = 104;
inline constexpr int PauseFirst = 190;
inline constexpr int PauseLast = 219;
inline constexpr int Resume = 220;
} // namespace ConfigSteps

// ---- configuration boxes as data ---------------------------------------------------

enum class BoxKind { Edit, Combo, Check };

// Which configuration string fills the box (none: the family fills it from its own query).
enum class Source { None, Config, Odu };

// How the box shows its value.
enum class Show {
    Index,   // the digit is the selected entry
    Real,    // RealField with `decimals`, `width`
    NegReal, // "-" + the magnitude as Real (stored without its sign)
    Int,     // SubInt (leading zeros dropped)
    Text,    // the characters as they are
};

// How a new value becomes the command's value.
enum class Value {
    Index,        // the entry's index as a number
    HexIndex,     // the entry's index as one hex digit
    Real,         // RealTextZeroPad of `cmdWidth`, `cmdDecimals`
    NegReal,      // the magnitude, as Real
    Digits,       // integer, zero-filled to `cmdWidth`
    SignedDigits, // "+" or "-" and the magnitude zero-filled to `cmdWidth`
    Upper,        // text padded with blanks to `cmdWidth`, cut, upper case
    Typed,        // the text as typed
    Custom,       // the family builds the command (DetailWindow::CustomCommand)
};

// Who may change a box: R = the unit in RemoteMode; R+D = also at the DISTANT end, where
// changes are confirmed first; Always = whatever the mode (the remote-state box).
enum class Gate { Remote, RemoteOrDistant, Always };

struct Range {
    double low = 0;
    double high = 0;
};

// One configuration box: its place on the panel, in the configuration string and on the
// wire, and the texts the operator sees about it.
struct BoxSpec {
    int tag = 0;
    std::string control; // the box
    std::string caption; // its caption label's text (the label is control + "Cap")
    BoxKind kind = BoxKind::Edit;
    std::string group; // the container it is placed in
    std::vector<std::string> entries;
    Source source = Source::Config;
    int pos = 0; // first character in the string (1 = the one after "=")
    int len = 1;
    Show show = Show::Index;
    int width = 0; // Real: RealText width and fraction digits of the box
    int decimals = 0;
    std::string command; // mnemonic; empty: the box sends nothing
    Value value = Value::Index;
    int cmdWidth = 0;
    int cmdDecimals = 0;
    std::vector<Range> ranges; // accepted values (edit boxes); empty: any
    double resolution = 0;     // steps of the value; 0: any
    bool integer = false;
    std::string prompt;
    std::string error;
    std::string confirm; // description before the value ("Tx frequency to"); "" keeps the last
    std::string unit;    // after the value (" MHz")
    Gate gate = Gate::RemoteOrDistant;
    int reread = ConfigSteps::SetConfig; // step after an accepted change
    int retry = 0;                       // step after a refused one (0: the family's default)
    bool redCaption = true;              // a bad value turns the caption red
    bool lockable = true;                // LockConfig makes it read-only / disabled
};

// The check boxes of an alarm-mask string: control names, one per character.
struct MaskSpec {
    std::string group;
    std::vector<std::pair<std::string, std::string>> boxes; // control, caption
    int pos = 0;                                            // in the configuration string
    int length = 0;                                         // characters sent
    std::string command;                                    // "MSK"
    std::string confirm;                                    // "alarms masks"
};

// ---- the window ---------------------------------------------------------------------

class DetailWindow : public Screen {
public:
    DetailWindow(DetailDeps deps, DetailInputs inputs, std::string screenName);
    ~DetailWindow() override;

    // Activation: common initialisation, the family's identification, the caption;
    // requests "STATUS1". Call once after construction.
    void Activate();
    // One 50 ms tick of the window's timer.
    void Tick();
    bool Closed() const { return closed_; }
    // Closing by the window frame: at once.
    void CloseNow();

    // Window state, as the operator's documentation names it.
    std::string UnitAddress;
    std::string UnitName;
    std::string IdentityCode;
    int CurrentEnd = 1;
    bool ModemPairPresent = false;
    int StepNo = 0;
    std::string ModelName;
    bool RemoteMode = true;
    bool DistantEnd = false;
    bool OnlineUnit = false;
    bool LrsChanged = false;
    bool NoComms = false;
    std::string LastMnemonic;
    std::string LastReply;
    std::string SavedText;
    int SavedIndex = -1;
    std::string PendingCommand;
    std::string ConfirmText;
    int PendingUtility = 0;
    int TimeOffsetDays = 0;
    enum class LogKinds { Events, Statistics } LogKind = LogKinds::Events;
    std::string LogFileName;
    int LogWriteMode = 2; // 1 append, 2 replace
    int EventLinesLeft = 0;
    int StatsLinesLeft = 0;
    bool LoadMemory = false;
    bool DetailConfigChanged = false;
    Colour ReplyColour = Colours::lime;
    // The configuration strings last read.
    std::string ConfigString;
    std::string OduString;

    const std::vector<BoxSpec>& Boxes() const { return boxes_; }
    const BoxSpec* BoxByControl(const std::string& control) const;
    const BoxSpec* BoxByCommand(const std::string& mnemonic) const;

    // The framework's operations, open to the family.
    void SendRequest(const std::string& command);
    std::string TakeReply(const std::string& mnemonic);
    void ShowNotice(const std::string& text, Colour colour);
    void ShowInstruction(const std::string& text);
    void ShowPanels(bool status, bool config, bool utilities, bool logs);
    void EnableButtons(bool status, bool config, bool utilities, bool logs);
    void LockConfig(bool locked);
    void ShowEditGate();
    bool ChangesPossible() const { return RemoteMode || DistantEnd; }
    // The unit is one of a 1:1 pair (both modems set up, or the DISTANT pair flag).
    bool PairedUnit() const;
    // Changes and memory loads go through the on-line unit of a pair; a unit on its own
    // is its own on-line unit whatever its redundancy state says.
    bool OnlineOrAlone() const { return OnlineUnit || !PairedUnit(); }
    const std::string& CurrentMode() const { return d_.tx.CurrentMode; }
    void RequestMode(const std::string& mode) { d_.tx.RequestedMode = mode; }
    void SetCurrentMode(const std::string& mode) { d_.tx.CurrentMode = mode; }

    // Characters from..from+count-1 (from 1); empty outside the text.
    static std::string Chars(const std::string& s, int from, int count);
    static bool StartsWith(const std::string& s, const char* prefix);
    static std::string FixedReal(double value, int decimals);

protected:
    // ---- what a family gives --------------------------------------------------------
    // Identification from IdentityCode: ModelName, the model code, model limits.
    virtual void Identify() = 0;
    // The configuration boxes (called after Identify, so they may depend on the model).
    virtual std::vector<BoxSpec> ConfigBoxes() const = 0;
    // The family's controls: status panel, configuration groups, extra buttons.
    virtual void BuildFamily() = 0;
    // Steps of the status phases ("STATUS1" identity, "STATUS2" loop).
    virtual void IdentityStep() = 0;
    virtual void StatusStep() = 0;
    // Steps of the configuration read (any step the common tail does not own).
    virtual void ConfigStep() = 0;
    // Clears the family's status labels (status start).
    virtual void ClearStatus() {}
    // After the common clearing of the boxes (configuration start).
    virtual void ClearConfigExtra() {}
    // After the common locking: the family's further rules.
    virtual void LockExtra(bool /*effectiveLock*/, bool /*requested*/) {}
    // The unit is in IF or RF loopback (no configuration changes).
    virtual bool InLoopback() const { return false; }
    // Where the configuration read resumes after an accepted or a refused change.
    virtual int RereadStep(const std::string& mnemonic, bool accepted) const;
    // The configuration read's step that reads the whole string again, and its LRS step.
    virtual int FullReadStep() const { return 1; }
    virtual int LrsReadStep() const { return 1; }
    // After the common activation: the family's visibility and read-only rules.
    virtual void ActivateFamily() {}
    // The value of a Value::Custom box, or of a special drop-down change; nothing refuses.
    virtual std::optional<std::string> CustomCommand(const BoxSpec& box, const std::string& text);
    // After a box was filled from its string (irregular boxes: extra entries, enabling).
    virtual void AfterFill(Source /*source*/) {}
    // A "No" to the confirmation: the family restores boxes it combined (AUPC).
    virtual bool RestoreBox(const std::string& /*mnemonic*/) { return false; }
    // A drop-down change, before the common handling; true when handled completely.
    virtual bool OnComboChange(const BoxSpec& /*box*/) { return false; }
    // The adopted phase hides family boxes (the installed options).
    virtual void OnModeAdopted() {}
    // Memory phase hooks: the query run before "MGC?" + digit ("OGC?" for units with
    // ODU memories) and the previews.
    virtual std::string MemoryPreludeQuery() const { return {}; }
    virtual void FillMemoryPreview(const std::string& /*config*/) {}
    virtual void FillMemoryPrelude(const std::string& /*reply*/) {}
    virtual void ShowMemoryPreview(bool /*show*/) {}
    // The noun of the log labels.
    virtual std::string LogNoun() const { return "Modem"; }
    // The alarm-mask check boxes (none by default).
    virtual MaskSpec Masks() const { return {}; }

    // ---- helpers for the family -----------------------------------------------------
    // A caption and a value label side by side in a grid group.
    Control& AddValue(const std::string& group, const std::string& name,
                      const std::string& caption);
    Control& AddGroup(const std::string& parent, const std::string& name,
                      const std::string& caption, int columns = 2);
    // Fills every box of one source from its string; AfterFill follows.
    void FillBoxes(Source source, const std::string& text);
    // A value label: text on a colour (black text).
    void SetValue(const std::string& name, const std::string& text, Colour background);
    void ClearValue(const std::string& name);
    // The LRS reply in any phase (the remote-state box follows an "=" reply).
    void DecodeLrs(const std::string& reply, const std::string& label);
    // The configuration phase's LRS step: returns the next step.
    int ConfigLrs(const std::string& reply, int next);
    // The end's timing.
    int DelayMs() const;
    int TimeoutSeconds() const;
    const std::string& IdText() const;
    std::string PairFlag() const;
    void Trace(const std::string& text, const std::string& tag);
    // Whether a box is shown with a gray caption / read-only right now.
    bool BoxLocked(const BoxSpec& box) const;
    // The configuration change, once PendingCommand and ConfirmText are set.
    void SendOrConfirm(const BoxSpec& box);
    DetailDeps& deps() { return d_; }
    const Clock& clock() const { return d_.clock; }

    // A box filled from the family's own query; the shown value is what "unchanged" means.
    void SetBoxText(const std::string& control, const std::string& text);
    void SetBoxIndex(const std::string& control, int index);
    int ShownIndex(const std::string& control) const;
    std::string ShownText(const std::string& control) const;

    // The name of the remote-state drop-down (filled from LRS replies).
    std::string remoteStateBox_;
    bool effectiveLock_ = true;
    bool lockRequested_ = true;

private:
    void BuildCommon();
    void BuildConfigBoxes();
    void BuildLogs();
    void BuildUtilities();
    void ModeSwitch();
    void Dispatch();
    void StatusStart();
    void ConfigStart();
    void ConfigTail();
    void LogStart();
    void LogStep();
    void UtilitiesStart();
    void UtilitiesStep();
    void MemoryStart();
    void MemoryStep();
    void SwitchoverStart();
    void SwitchoverStep();
    void Exit();

    void EnterEdit(const BoxSpec& box);
    void LeaveEdit(const BoxSpec& box);
    void EnterCombo(const BoxSpec& box);
    void ChangeCombo(const BoxSpec& box);
    void EnterMasks();
    void ChangeMasks();
    std::string MaskString() const;
    void SetMasks(const std::string& masks);
    std::optional<std::string> EditCommand(const BoxSpec& box, const std::string& text,
                                           std::string& shown);
    void Confirmed(bool yes);
    void AfterSetReply();
    void FillBox(const BoxSpec& box, const std::string& text);

    void ChooseLogFile(LogKinds kind);
    void WriteLogFile();
    void RefreshClockLines();
    int OffsetMinutes() const;
    int OffsetHours() const;
    void RefreshUtilityGates();
    void ClearUtilityLabels();
    int NextUtility(int n);
    void MemoryConfirm();
    void MemoryCancel();
    std::string MemoryDigit() const;

    DetailDeps d_;
    std::vector<BoxSpec> boxes_;
    MaskSpec masks_;
    int lastTracedStep_ = -1;
    bool closed_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::string enteredBox_;
    std::map<std::string, int> shownIndex_;
    std::map<std::string, std::string> shownText_;
    std::vector<std::string> logLines_;
    std::string keptDate_;
    int retryStep_ = 1;
    bool built_ = false;
    std::string savedMasks_;
    int memoryTicks_ = 0;
    bool timerOn_ = false;
};

} // namespace linvar
