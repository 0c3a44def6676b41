#pragma once
// The detail window of one unit: the 50 ms step machine, the one exchange in flight
// (shared with the summary poll), the configuration change cycle with its confirmation,
// the log download, the utilities with the clock and the memories.
//
// A family window derives from DetailWindow and gives mostly data: a FamilyDescription (reply
// dialect, logs, clock, memories, panels, steering), its configuration boxes as BoxRow
// rows, commands built from several boxes, its alarm masks, its reading steps as ReadStep
// tables, and code only for what its layouts make irregular.
//
// The window's sources follow its sections: DetailWindow.cpp (window, tick, exchange),
// DetailBoxes.cpp (configuration boxes and the change cycle), DetailLogs.cpp,
// DetailUtilities.cpp (clock, buffer, switchover) and DetailMemories.cpp.

#include "detail/framework/BoxRows.h"
#include "detail/framework/Family.h"
#include "ui/Colour.h"
#include "ui/Screen.h"
#include "wire/Transaction.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
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
    bool ModemPairPresent = false; // both modems (or both transceivers) of the end set up
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

// The window's state, under the names the operator documentation uses. Families read it;
// the framework's operations write it.
struct DetailState {
    int StepNo = 0;
    std::string ModelName;
    bool RemoteMode = true;
    bool DistantEnd = false;
    bool OnlineUnit = false;
    bool LrsChanged = false;
    bool NoComms = false;
    std::string LastMnemonic;
    std::string LastReply;
    std::string PendingCommand;
    std::string ConfirmText;
    int PendingUtility = 0;
    int TimeOffsetDays = 0;
    int LogKind = 0; // the log being downloaded (0 events, 1 statistics)
    std::string LogFileName;
    int LogWriteMode = 2; // 1 append, 2 replace
    int EventLinesLeft = 0;
    int StatsLinesLeft = 0;
    bool LoadMemory = false;
    bool DetailConfigChanged = false;
    Colour ReplyColour = Colours::lime;
    std::string ConfigString; // the configuration strings last read
    std::string OduString;
};

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
    // What "Tre&nds" does with the unit's address; without it the button is hidden. Set
    // before Activate.
    std::function<void(const std::string& address)> onTrends;
    // Closing by the window frame: at once, even while a reply is awaited ("&Close"
    // waits for it like every other button).
    void CloseNow();
    bool requestClose() override {
        CloseNow();
        return true;
    }

    const std::string UnitAddress;
    const std::string UnitName;
    const std::string IdentityCode;
    const int CurrentEnd;
    const bool ModemPairPresent;

    const DetailState& State() const { return s_; }
    // Read-only views of the state for the station and its tests.
    const int& StepNo = s_.StepNo;
    const bool& RemoteMode = s_.RemoteMode;
    const bool& DistantEnd = s_.DistantEnd;
    const bool& OnlineUnit = s_.OnlineUnit;
    const bool& DetailConfigChanged = s_.DetailConfigChanged;
    const std::string& ModelName = s_.ModelName;

    const FamilyDescription& Family() const { return family_; }
    const std::vector<BoxRow>& Boxes() const { return boxes_; }
    const BoxRow* BoxByControl(const std::string& control) const;
    const BoxRow* BoxByCommand(const std::string& mnemonic) const;
    // The value the unit holds for a box, as the box shows it (read or accepted).
    std::string HeldText(const std::string& control) const;
    int HeldIndex(const std::string& control) const;

    const std::string& CurrentMode() const { return d_.tx.CurrentMode; }
    bool ChangesPossible() const { return s_.RemoteMode || s_.DistantEnd; }
    // The unit is one of a 1:1 pair (both units set up, or the DISTANT pair flag).
    bool PairedUnit() const;
    // Changes and memory loads go through the on-line unit of a pair; a unit on its own
    // is its own on-line unit whatever its redundancy state says.
    bool OnlineOrAlone() const { return s_.OnlineUnit || !PairedUnit(); }

    static std::string FixedReal(double value, int decimals);

protected:
    // ---- what a family gives --------------------------------------------------------
    // Identification from IdentityCode: the model name (returned), the model code, limits.
    virtual std::string Identify() = 0;
    virtual FamilyDescription Describe() const = 0;
    // The configuration boxes (after Identify: rows with a models mask are kept for
    // ModelBits() only), commands of several boxes and alarm masks.
    virtual std::vector<BoxRow> ConfigBoxes() const = 0;
    virtual std::vector<CompositeRow> Composites() const { return {}; }
    virtual MaskLayout Masks() const { return {}; }
    virtual unsigned ModelBits() const { return ~0u; }
    // The family's controls: status panel, configuration groups, extra buttons.
    virtual void BuildFamily() = 0;
    // After the common activation: the family's visibility and read-only rules.
    virtual void ActivateFamily() {}
    // Phases steering: "STATUS1" identity steps, the "STATUS2" loop and the configuration
    // read (any step the common tail does not own). Steps steering: every step. By
    // default the three phases run the family's reading tables.
    virtual void IdentityStep();
    virtual void StatusStep();
    virtual void ConfigStep();
    // A family steered by phases gives its three reading tables, numbered as the unit's
    // sequences number them: the identity (ended by step kIdentityDone), the status loop (a
    // reply that failed restarts it at StatusRestartStep) and the configuration read.
    struct ReadTables {
        std::vector<ReadStep> identity, status, config;
    };
    static constexpr int kIdentityDone = 21;
    void SetReadTables(ReadTables tables) { tables_ = std::move(tables); }
    const ReadTables& Tables() const { return tables_; }
    virtual int StatusRestartStep() const { return 1; }
    virtual void Step() {}
    // Clears the family's status labels (status start).
    virtual void ClearStatus() {}
    // After the common clearing of the boxes (configuration start).
    virtual void ClearConfigExtra() {}
    // The lock: the common rule, replaceable; LockExtra adds the family's further rules.
    virtual bool EffectiveLock(bool requested) const;
    virtual void LockExtra(bool /*effectiveLock*/, bool /*requested*/) {}
    // The edit gate: the common instruction and notices, replaceable.
    virtual void ShowEditGate();
    // Changes may be made now: the configuration phases ("CONFIG", "SETCONFIG"); a family
    // steered by steps says when its configuration panel takes them.
    virtual bool InConfiguration() const;
    // The unit is in IF or RF loopback (no configuration changes).
    virtual bool InLoopback() const { return false; }
    // Where the configuration read resumes after an accepted or a refused change.
    virtual int RereadStep(const std::string& mnemonic, bool accepted) const;
    virtual int FullReadStep() const { return 1; }
    virtual int LrsReadStep() const { return 1; }
    // The step a row's re-read names.
    int StepOf(const Reread& reread) const;
    // After an accepted change, before the re-read step is chosen.
    virtual void AfterAccepted(const std::string& /*mnemonic*/) {}
    // The value of a Value::Custom box; nothing: refused.
    virtual std::optional<std::string> CustomCommand(const BoxRow& box, const std::string& text);
    // After the boxes of one string were filled (irregular boxes: extra entries, enabling).
    virtual void AfterFill(Source /*source*/) {}
    // A drop-down change, before the common handling; true when handled completely.
    virtual bool OnComboChange(const BoxRow& /*box*/) { return false; }
    // A phase was adopted (families hide boxes such as the installed options).
    virtual void OnModeAdopted() {}
    // Every tick once the pause after a reply has passed, before a requested phase is
    // adopted: what the family deferred until the operator's events have settled (a
    // group of its own controls that was left).
    virtual void OnTick() {}
    // The operator said No to a command: the family's own controls that built it go back
    // to what the unit holds (the boxes of its rows are the framework's).
    virtual void RestoreCommand(const std::string& /*mnemonic*/) {}
    // A change is about to be confirmed or sent, `shown` its new text (or entry): the
    // family's status labels that show the value at once.
    virtual void OnStaged(const BoxRow& /*box*/, const std::string& /*shown*/) {}
    // The unit was put in a state that a later exchange of the running steps takes back
    // (factory access): buttons, "&Close" and the frame wait until it has been.
    virtual bool UnitHeld() const { return false; }

    // ---- helpers for the family -----------------------------------------------------
    DetailState& state() { return s_; }
    void SendRequest(const std::string& command);
    std::string TakeReply(const std::string& mnemonic);
    // A command the family built from its own controls, sent like a box's change (at the
    // DISTANT end after "Change " + description + "..." is confirmed). Nothing while a
    // reply is awaited or outside the configuration phases. A refusal resumes the read at
    // `retry`, the read that gives the value back: the controls still show what was refused.
    void SendCommand(const std::string& command, const std::string& description, Reread retry);
    // Runs the step of a reading table that StepNo names; false when none does.
    bool RunSteps(const std::vector<ReadStep>& table);
    void ShowNotice(const std::string& text, Colour colour);
    void ShowInstruction(const std::string& text);
    void ShowPanels(bool status, bool config, bool utilities, bool logs);
    void EnableButtons(bool status, bool config, bool utilities, bool logs);
    void LockConfig(bool locked);
    void RequestMode(const std::string& mode) { d_.tx.RequestedMode = mode; }
    // A phase's own way back when it is done: a button the operator pressed meanwhile
    // ("&Close" while the reply was awaited) is not overridden.
    void ReturnTo(const std::string& mode) {
        if (d_.tx.RequestedMode.empty())
            d_.tx.RequestedMode = mode;
    }
    void RequestStep(int step) { requestedStep_ = step; }
    void SetCurrentMode(const std::string& mode) { d_.tx.CurrentMode = mode; }
    // A caption and a value label side by side in a grid group.
    Control& AddValue(const std::string& group, const std::string& name,
                      const std::string& caption);
    Control& AddGroup(const std::string& parent, const std::string& name,
                      const std::string& caption, int columns = 2);
    // Columns of a panel and the value groups in them.
    void AddStatusGroups(const std::string& panel, const std::vector<std::string>& columns,
                         const std::vector<StatusGroup>& groups);
    // Fills every box of one source from its string; AfterFill follows.
    void FillBoxes(Source source, const std::string& text);
    // Fills every box that the family's own query fills, from that query's value.
    void FillBoxesFrom(const std::string& query, const std::string& value);
    // A box filled from the family's own query: the value the unit holds.
    void SetBoxText(const std::string& control, const std::string& text);
    void SetBoxIndex(const std::string& control, int index);
    // A box's characters in the string it was last filled from, as the unit sent them
    // (empty: no such row, or the string is shorter).
    std::string FieldOf(const std::string& control) const;
    // A drop-down's entry for a wire code (the box's codes, else the hex digit).
    int EntryOfCode(const BoxRow& box, const std::string& code) const;
    // A value label: text on a colour (black text).
    void SetValue(const std::string& name, const std::string& text, Colour background);
    void ClearValue(const std::string& name);
    // The LRS reply in any phase (the remote-state box follows an "=" reply).
    void DecodeLrs(const std::string& reply, const std::string& label);
    // The configuration phase's LRS step: returns the next step.
    int ConfigLrs(const std::string& reply, int next);
    // The end's timing (a text that is not a number is reported once).
    int DelayMs() const;
    int TimeoutSeconds() const;
    const std::string& IdText() const;
    std::string PairFlag() const;
    void Trace(const std::string& text, const std::string& tag);
    bool BoxLocked(const BoxRow& box) const;
    // The instruction of a rejected (or cancelled) change is still waiting to be cleared.
    bool InstructionHeld() const { return clearInstructionTicks_ > 0; }
    // The clock utility's exchanges, for a family that runs its own utilities steps: the
    // "DAY?" and "TIM?" replies on the clock lines (true for "="), and setting the unit's
    // clock to the computer's plus the chosen offsets.
    bool TakeUnitDate(const std::string& reply);
    bool TakeUnitTime(const std::string& reply);
    void SendSetDate();
    void TakeSetDate(const std::string& reply);
    void SendSetTime();
    void TakeSetTime(const std::string& reply);
    bool EffectivelyLocked() const { return effectiveLock_; }
    // The row whose change is asked or sent (nothing: a change the family sent itself).
    const BoxRow* RowInFlight() const { return inFlight_; }
    DetailDeps& deps() { return d_; }
    // A change the family builds itself (a button, a group of check boxes): sent at once,
    // its reply taken by the common step 104 like a box's.
    void SendChange(const std::string& command);
    // The log panel: the records of one "=" reply added to the memo (returns how many),
    // and the memo written to the chosen file (false: not written, another file is asked).
    int TakeLogRecords(const LogDescription& log, const std::string& reply);
    bool WriteLogFile();
    // The utilities: the commands that set the unit's clock to the offset time.
    std::string SetDateCommand();
    std::string SetTimeCommand();
    void ClearUtilityLabels();
    // The memory preview: fills the memos from a stored string; shows or hides them.
    void FillPreview(const std::vector<PreviewMemo>& memos, const std::string& text);
    void ShowMemoryPreview(bool configuration, bool preludes);
    // The preview and its Confirm/Cancel go (answered, or another reading began).
    void HideMemoryQuestion();
    // The memory location of the operation under way: taken from the list when its
    // location is read, so that what is loaded or overwritten is what was previewed.
    const std::string& LatchMemoryLocation();
    const std::string& MemoryDigit() const { return memoryLocation_; }
    const Clock& clock() const { return d_.clock; }

    // The name of the remote-state drop-down (filled from LRS replies).
    std::string remoteStateBox_;

private:
    ReadTables tables_;
    struct Held {
        std::string text;
        int index = -1;
    };
    // One box (or the mask group) in the change cycle.
    struct BoxState {
        std::optional<Held> held;    // what the unit holds: read, or a command it accepted
        std::optional<Held> entered; // what it showed when entered; kept while its change is out
        std::optional<Held> pending; // what the command in flight would make it hold
    };

    void ActivateScreen();
    void BuildCommon();
    // Every group, box and part the rows name exists, or the build fails with the
    // station's own error; `familyBoxes` are the boxes of every model of the family.
    void CheckRows(const std::set<std::string>& familyBoxes) const;
    void ShowCaptureState();
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
    int EndNumber(EndTimings::Field field, const char* what, int fallback) const;

    // The change cycle.
    void EnterEdit(const BoxRow& box);
    void LeaveEdit(const BoxRow& box);
    void EnterCombo(const BoxRow& box);
    void ChangeCombo(const BoxRow& box);
    void EnterMasks();
    void ChangeMasks();
    std::string MaskString() const;
    void SetMasks(const std::string& masks);
    // The wire value of an edit entry, or nothing when it is refused; `shown` gets the
    // box's text for it, `clamped` -1 or 1 when it was raised or lowered to a limit, 2
    // when the box's grid moved it.
    std::optional<std::string> EditValue(const BoxRow& box, const std::string& text,
                                         std::string& shown, int& clamped) const;
    std::string ComboValue(const BoxRow& box, int index) const;
    // A number as its box shows it, read from the unit or entered (NegReal: the magnitude).
    static std::string NumberText(const BoxRow& box, double v);
    std::vector<Range> RangesOf(const BoxRow& box) const;
    std::vector<std::string> EntriesOf(const BoxRow& box) const;
    const CompositeRow* CompositeOf(const std::string& control) const;
    // Builds PendingCommand and ConfirmText of a composite with one box's new value.
    bool BuildComposite(const CompositeRow& c, const BoxRow& changed, const Held& now);
    // What the box showed when the operator entered it, else what the unit holds; the box
    // is no longer entered.
    Held TakeEntered(const BoxRow& box);
    void Enter(const BoxRow& box, const Held& shown);
    // The change of this box (nothing: a command the family built) is asked or sent.
    void Stage(const BoxRow* box, const Held& before, const Held& now);
    // Its reply came or it was called off: an accepted value is what the unit holds now.
    void EndStaged(bool accepted);
    bool RefusedInLocal(const BoxRow& box);
    void Refuse(const BoxRow& box);
    void SendOrConfirm(const BoxRow& box);
    void Confirmed(bool yes);
    void RestorePending();
    void AfterSetReply();
    void FillBox(const BoxRow& box, const std::string& text);

    // Logs, utilities, memories.
    void ChooseLogFile(int kind);
    void PutLogLines();
    // Closing: downloaded lines go to the chosen file (the unit counts them as read).
    void KeepUnwrittenLog();
    void RefreshClockLines();
    int OffsetMinutes() const;
    int OffsetHours() const;
    void RefreshUtilityGates();
    int NextUtility(int n);
    bool MemoryPossible(bool load) const;
    void MemoryConfirm();
    void MemoryCancel();

    DetailDeps d_;
    DetailState s_;
    FamilyDescription family_;
    std::vector<BoxRow> boxes_;
    std::vector<CompositeRow> composites_;
    MaskLayout masks_;
    int lastTracedStep_ = -1;
    bool closed_ = false;
    bool timerOn_ = false;
    bool built_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    int requestedStep_ = -1;
    int requestSeconds_ = 0; // the time-out of the request in flight
    bool effectiveLock_ = true;
    bool lockRequested_ = true;
    // Per box control, and the mask group under its row's name.
    std::map<std::string, BoxState> boxState_;
    BoxRow masksRow_;                  // the mask group as the row of its command
    const BoxRow* inFlight_ = nullptr; // the row whose change is asked or sent
    BoxRow commandRow_;                // a command the family built, with its read-back step
    bool masksLeft_ = false; // the mask group was left; its change goes out at the next tick
    std::vector<std::string> logLines_;
    bool logUnwritten_ = false; // downloaded lines that no file holds yet
    bool logCutShort_ = false;  // the reading ended on a failed exchange, not on the log's end
    std::string keptDate_;
    int retryStep_ = 1;
    int clearInstructionTicks_ = 0;
    int memoryTicks_ = 0;
    size_t memoryPrelude_ = 0;
    std::string memoryLocation_;
};

} // namespace linvar
