#include "detail/DetailWindow.h"

#include "logging/Capture.h"
#include "protocol/FaultTables.h"
#include "protocol/PollCycle.h"
#include "protocol/TextFormats.h"
#include "setup/SystemSetup.h"
#include "ui/Clock.h"
#include "ui/Operator.h"
#include "ui/Scheduler.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace linvar {

namespace {

constexpr const char* kEventsWarning =
    "Warning: Reserved files: Comms.txt, CaptureM.txt, SetFname.txt and SysSetup.txt - do not "
    "use them for your Log data.";

bool contains(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

std::string ltrim(const std::string& s) {
    const size_t i = s.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : s.substr(i);
}

std::string twoDigits(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", ((v % 100) + 100) % 100);
    return b;
}

std::string zeroFill(long v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<size_t>(width) - s.size(), '0');
    return s;
}

// Utility message labels, cleared together; the memory message is the last.
const char* const kUtilityLabels[] = {"LblDate", "LblTime", "BufferMsg", "SwitchMsg", "MemoryMsg"};
constexpr size_t kClockLoopLabels = 4;

} // namespace

// ---- small helpers ---------------------------------------------------------------

std::string DetailWindow::Chars(const std::string& s, int from, int count) {
    if (from < 1 || count <= 0 || static_cast<size_t>(from) > s.size())
        return {};
    return s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(count));
}

bool DetailWindow::StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

std::string DetailWindow::FixedReal(double value, int decimals) {
    char b[64];
    std::snprintf(b, sizeof b, "%.*f", decimals, value);
    return b;
}

DetailWindow::DetailWindow(DetailDeps deps, DetailInputs in, std::string screenName)
    : Screen(std::move(screenName), "Detail"), UnitAddress(std::move(in.UnitAddress)),
      UnitName(std::move(in.UnitName)), IdentityCode(std::move(in.IdentityCode)),
      CurrentEnd(in.CurrentEnd), ModemPairPresent(in.ModemPairPresent), d_(deps) {
    setHelpTopic(5);
}

DetailWindow::~DetailWindow() {
    *alive_ = false;
}

const BoxSpec* DetailWindow::BoxByControl(const std::string& control) const {
    for (const BoxSpec& b : boxes_)
        if (b.control == control)
            return &b;
    return nullptr;
}

const BoxSpec* DetailWindow::BoxByCommand(const std::string& mnemonic) const {
    for (const BoxSpec& b : boxes_)
        if (b.command == mnemonic)
            return &b;
    return nullptr;
}

int DetailWindow::DelayMs() const {
    const ParsedInt v = ParseInt(d_.setup.rec(CurrentEnd).DelayText);
    return std::max(v.ok ? v.value : 50, 50);
}

int DetailWindow::TimeoutSeconds() const {
    const ParsedInt v = ParseInt(d_.setup.rec(CurrentEnd).TimeoutText);
    return v.ok ? v.value : 2;
}

const std::string& DetailWindow::IdText() const {
    return d_.setup.rec(CurrentEnd).IdText;
}

bool DetailWindow::PairedUnit() const {
    return ModemPairPresent || (DistantEnd && PairFlag() == "1");
}

std::string DetailWindow::PairFlag() const {
    return d_.setup.rec(CurrentEnd).PairFlag;
}

void DetailWindow::Trace(const std::string& text, const std::string& tag) {
    if (d_.capture.CaptureOn())
        d_.capture.CaptureLine(text, tag);
}

// ---- building ----------------------------------------------------------------------

Control& DetailWindow::AddGroup(const std::string& parent, const std::string& name,
                                const std::string& caption, int columns) {
    Control& g = add(parent, name, ControlKind::Group, caption);
    g.setLayout(columns > 0 ? Layout::Grid : Layout::Column, columns);
    return g;
}

Control& DetailWindow::AddValue(const std::string& group, const std::string& name,
                                const std::string& caption) {
    add(group, name + "Cap", ControlKind::Label, caption);
    return add(group, name, ControlKind::Label).setWidth(16);
}

void DetailWindow::BuildCommon() {
    add("", "Panels", ControlKind::Panel).setLayout(Layout::Column);
    for (const char* p : {"PanelStatus", "PanelConfig", "PanelLogs", "PanelUtilities"})
        add("Panels", p, ControlKind::Panel).setLayout(Layout::Row);
    AddGroup("", "ControlBox", "", 0);
    add("ControlBox", "Instruction", ControlKind::Label).setTextColour(Colours::blue);
    add("ControlBox", "Notice", ControlKind::Label);
    add("ControlBox", "PhaseButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("PhaseButtons", "BtnStatus", ControlKind::Button, "Read &Status");
    add("PhaseButtons", "BtnConfig", ControlKind::Button, "Con&figuration");
    add("PhaseButtons", "BtnLogs", ControlKind::Button, "&Logs");
    add("PhaseButtons", "BtnUtilities", ControlKind::Button, "&Utilities");
    add("PhaseButtons", "BtnClose", ControlKind::Button, "&Close");
    setCloseControl("BtnClose");
    add("PhaseButtons", "BtnHelp", ControlKind::Button, "&Help");
    add("ControlBox", "CaptureRow", ControlKind::Panel).setLayout(Layout::Row);
    add("CaptureRow", "BtnCapture", ControlKind::Button, "Enable &I/O Capture File");
    add("CaptureRow", "CaptureState", ControlKind::Label, "Capture disabled");
    add("CaptureRow", "WaitText", ControlKind::Label, "Waiting for response, please wait...")
        .setVisible(false);
    add("CaptureRow", "WaitMs", ControlKind::Label).setVisible(false);

    onClick("BtnStatus", [this] { RequestMode(Phases::Status1); });
    onClick("BtnConfig", [this] { RequestMode(Phases::Config); });
    onClick("BtnLogs", [this] { RequestMode(Phases::ReadLog); });
    onClick("BtnUtilities", [this] {
        ClearUtilityLabels();
        RequestMode(Phases::Utilities);
    });
    onClick("BtnClose", [this] { RequestMode(Phases::ExitModal); });
    onClick("BtnHelp", [this] { d_.op.showHelp(5); });
    onClick("BtnCapture", [this] {
        d_.capture.ToggleCapture();
        const bool on = d_.capture.CaptureOn();
        at("BtnCapture").setText(on ? "Disable &I/O Capture File" : "Enable &I/O Capture File");
        at("CaptureState").setText(on ? "Capture enabled" : "Capture disabled");
    });
}

void DetailWindow::BuildConfigBoxes() {
    for (const BoxSpec& b : boxes_) {
        add(b.group, b.control + "Cap", ControlKind::Label, b.caption);
        const ControlKind kind = b.kind == BoxKind::Edit    ? ControlKind::Edit
                                 : b.kind == BoxKind::Combo ? ControlKind::Combo
                                                            : ControlKind::Check;
        Control& c = add(b.group, b.control, kind);
        if (b.kind == BoxKind::Combo)
            c.setItems(b.entries);
        if (b.kind == BoxKind::Edit)
            c.setWidth(b.value == Value::Upper || b.value == Value::Typed ? 26 : 11);
        const std::string name = b.control;
        if (b.kind == BoxKind::Edit) {
            onEnter(name, [this, name] { EnterEdit(*BoxByControl(name)); });
            onLeave(name, [this, name] { LeaveEdit(*BoxByControl(name)); });
        } else {
            onEnter(name, [this, name] { EnterCombo(*BoxByControl(name)); });
            onChange(name, [this, name] { ChangeCombo(*BoxByControl(name)); });
        }
    }
    for (const auto& [name, caption] : masks_.boxes) {
        add(masks_.group, name, ControlKind::Check, caption);
        onEnter(name, [this] { EnterMasks(); });
        onChange(name, [this] { ChangeMasks(); });
    }
}

void DetailWindow::BuildLogs() {
    AddGroup("PanelLogs", "LogBox", "Logs", 0);
    add("LogBox", "LogTopLine", ControlKind::Label);
    add("LogBox", "LogEventsCount", ControlKind::Label).setTextColour(Colours::blue);
    add("LogBox", "LogStatsCount", ControlKind::Label).setTextColour(Colours::blue);
    add("LogBox", "LogProgress", ControlKind::Label).setTextColour(Colours::blue);
    add("LogBox", "LogButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("LogButtons", "BtnReadEvents", ControlKind::Button, "Read &Events Log");
    add("LogButtons", "BtnReadStats", ControlKind::Button, "Read Sta&tistics Log");
    add("LogBox", "LogWarning", ControlKind::Label, kEventsWarning)
        .setTextColour(Colours::purple)
        .setVisible(false);
    AddGroup("LogBox", "FileExistsBox", "A data file of that name exists. Please choose to:", 0)
        .setVisible(false);
    add("FileExistsBox", "BtnOverwrite", ControlKind::Button, "&Overwrite Data File");
    add("FileExistsBox", "BtnAppend", ControlKind::Button, "&Append to Data File");
    AddGroup("LogBox", "FileNewBox",
             "There is no pre-existing data file. A new file will be made to store the log "
             "data.",
             0)
        .setVisible(false);
    add("FileNewBox", "BtnNewFile", ControlKind::Button, "Ne&w Data File");
    AddGroup("LogBox", "ReadLogBox", "", 0).setVisible(false);
    add("ReadLogBox", "ReadLogHint", ControlKind::Label,
        "Now read the modem and store the log information to file");
    add("ReadLogBox", "BtnReadLog", ControlKind::Button, "&Read Log");
    add("PanelLogs", "LogMemo", ControlKind::Memo).setWidth(70).setVisible(false);

    onClick("BtnReadEvents", [this] { ChooseLogFile(LogKinds::Events); });
    onClick("BtnReadStats", [this] { ChooseLogFile(LogKinds::Statistics); });
    auto mode = [this](int m) {
        LogWriteMode = m;
        at("FileExistsBox").setVisible(false);
        at("FileNewBox").setVisible(false);
        at("ReadLogBox").setVisible(true);
    };
    onClick("BtnOverwrite", [mode] { mode(2); });
    onClick("BtnAppend", [mode] { mode(1); });
    onClick("BtnNewFile", [mode] { mode(2); });
    onClick("BtnReadLog", [this] {
        if (CurrentMode() != Phases::ReadLog || d_.tx.AwaitingReply)
            return;
        at("ReadLogBox").setVisible(false);
        EnableButtons(false, false, false, false);
        logLines_.clear();
        at("LogMemo").setText("").setVisible(true);
        at("LogProgress").setText("Reading...").setTextColour(Colours::blue);
        StepNo = LogKind == LogKinds::Events ? 3 : 53;
    });
}

void DetailWindow::BuildUtilities() {
    AddGroup("PanelUtilities", "ClockBox", "Time and Date", 2);
    add("ClockBox", "ClockComputerCap", ControlKind::Label, "Computer:");
    add("ClockBox", "ClockComputer", ControlKind::Label).setTextColour(Colours::blue);
    add("ClockBox", "ClockOffsetCap", ControlKind::Label, "Computer w/offset:").setVisible(false);
    add("ClockBox", "ClockOffset", ControlKind::Label)
        .setTextColour(Colours::blue)
        .setVisible(false);
    add("ClockBox", "ClockModemCap", ControlKind::Label, "Modem:");
    add("ClockBox", "ClockModem", ControlKind::Label).setTextColour(Colours::blue);
    add("ClockBox", "HourOffsetCap", ControlKind::Label, "Hour offset");
    std::vector<std::string> hours;
    for (int h = 23; h >= 1; --h)
        hours.push_back("+" + std::to_string(h));
    hours.push_back(" 0");
    for (int h = 1; h <= 23; ++h)
        hours.push_back("-" + std::to_string(h));
    add("ClockBox", "HourOffset", ControlKind::Combo).setItems(hours);
    add("ClockBox", "QuarterOffsetCap", ControlKind::Label, "Quarter-hour offset");
    add("ClockBox", "QuarterOffset", ControlKind::Combo)
        .setItems({"+3/4", "+1/2", "+1/4", " 0", "-1/4", "-1/2", "-3/4"});
    add("ClockBox", "LblDate", ControlKind::Label);
    add("ClockBox", "LblTime", ControlKind::Label);
    add("ClockBox", "BtnSetTime", ControlKind::Button, "Set &Time and Date");

    AddGroup("PanelUtilities", "BufferBox", "Buffer", 0);
    add("BufferBox", "NotRemoteMsg", ControlKind::Label, "The Modem is not in REMOTE mode")
        .setTextColour(Colours::red);
    add("BufferBox", "BufferNotAllowed", ControlKind::Label,
        "Re-centering of the buffer is not allowed at this time");
    add("BufferBox", "BufferHint", ControlKind::Label,
        "Click on the 'Center Buffer' button below to perform buffer re-centering");
    add("BufferBox", "BtnCenterBuffer", ControlKind::Button, " Center &Buffer");
    add("BufferBox", "BufferMsg", ControlKind::Label);

    AddGroup("PanelUtilities", "SwitchBox", "1:1 Switchover", 0);
    add("SwitchBox", "SwitchNotOnline", ControlKind::Label,
        "Switchover control is only available via the On-line modem in a 1:1 pair.");
    add("SwitchBox", "SwitchHint", ControlKind::Label,
        "Click on the button below to force a switchover of the modems in a 1:1 pair:");
    add("SwitchBox", "BtnSwitch", ControlKind::Button, "Force &1:1 Switch");
    add("SwitchBox", "SwitchMsg", ControlKind::Label);

    AddGroup("PanelUtilities", "MemoryBox", "Configuration memories", 0);
    std::vector<std::string> locations;
    for (int i = 0; i <= 9; ++i)
        locations.push_back(" " + std::to_string(i));
    add("MemoryBox", "MemoryList", ControlKind::Combo).setItems(locations);
    add("MemoryBox", "MemoryButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("MemoryButtons", "BtnLoad", ControlKind::Button, "L&oad");
    add("MemoryButtons", "BtnStore", ControlKind::Button, "Sto&re");
    add("MemoryButtons", "BtnMemConfirm", ControlKind::Button, "C&onfirm").setVisible(false);
    add("MemoryButtons", "BtnMemCancel", ControlKind::Button, "C&ancel").setVisible(false);
    add("MemoryBox", "MemoryMsg", ControlKind::Label);

    onClick("BtnSetTime", [this] {
        at("LblDate").setText("Setting date...").setTextColour(Colours::blue);
        PendingUtility = 31;
    });
    onClick("BtnCenterBuffer", [this] {
        at("BufferMsg").setText("Centering buffer...").setTextColour(Colours::blue);
        PendingUtility = 25;
    });
    onClick("BtnSwitch", [this] { RequestMode(Phases::Switchover); });
    onClick("BtnLoad", [this] {
        LoadMemory = true;
        RequestMode(Phases::LoadStMem);
    });
    onClick("BtnStore", [this] {
        LoadMemory = false;
        RequestMode(Phases::LoadStMem);
    });
    onClick("BtnMemConfirm", [this] { MemoryConfirm(); });
    onClick("BtnMemCancel", [this] { MemoryCancel(); });
}

// ---- activation ----------------------------------------------------------------------

void DetailWindow::Activate() {
    if (!built_) {
        Identify();
        boxes_ = ConfigBoxes();
        masks_ = Masks();
        BuildCommon();
        BuildLogs();
        BuildUtilities();
        BuildFamily();
        BuildConfigBoxes();
        built_ = true;
    } else {
        Identify();
    }
    const bool capture = d_.capture.CaptureOn();
    at("BtnCapture").setText(capture ? "Disable &I/O Capture File" : "Enable &I/O Capture File");
    at("CaptureState").setText(capture ? "Capture enabled" : "Capture disabled");
    ShowPanels(true, false, false, false);
    ShowInstruction("");
    ShowNotice("", Colours::black);
    for (const char* c : {"ClockComputer", "ClockOffset", "ClockModem"})
        at(c).setText("");
    at("HourOffset").selectText(" 0");
    at("QuarterOffset").selectText(" 0");
    at("MemoryList").selectText(" 0");
    RemoteMode = true;
    OnlineUnit = LrsChanged = LoadMemory = DetailConfigChanged = false;
    PendingUtility = EventLinesLeft = StatsLinesLeft = 0;
    DistantEnd = CurrentEnd % 2 == 0;
    EnableButtons(false, false, false, false);
    ClearStatus();
    setCaption("Detail of " + UnitName + ", link: " + IdText() + "       " + ModelName);
    ActivateFamily();
    timerOn_ = true;
    closed_ = false;
    RequestMode(Phases::Status1);
}

void DetailWindow::CloseNow() {
    timerOn_ = false;
    closed_ = true;
    d_.tx.RequestedMode.clear();
}

// ---- the tick -------------------------------------------------------------------------

void DetailWindow::Tick() {
    if (!timerOn_ || closed_)
        return;
    guarded([this] {
        TransactionState& tx = d_.tx;
        if (tx.TimeoutLeft > 0)
            at("WaitMs").setText(std::to_string(tx.TimeoutLeft) + " msec");
        if (tx.DelayLeft > 0) {
            tx.DelayLeft -= kTickMs;
        } else {
            tx.DelayLeft = 0;
            tx.TimeoutLeft -= kTickMs;
        }
        if (StepNo != lastTracedStep_ && d_.capture.CaptureOn()) {
            d_.capture.CaptureLine(std::to_string(StepNo), "[num]");
            lastTracedStep_ = StepNo;
        }
        if (tx.DelayLeft > 0)
            return;
        ModeSwitch();
        Dispatch();
    });
}

void DetailWindow::ModeSwitch() {
    TransactionState& tx = d_.tx;
    if (tx.RequestedMode.empty()) {
        at("WaitText").setVisible(false);
        at("WaitMs").setVisible(false);
        return;
    }
    if (tx.AwaitingReply) {
        at("WaitText").setVisible(true);
        at("WaitMs").setText(std::to_string(tx.TimeoutLeft) + " msec").setVisible(true);
        return;
    }
    tx.CurrentMode = tx.RequestedMode;
    StepNo = 0;
    OnModeAdopted();
    tx.RequestedMode.clear();
    Trace(tx.CurrentMode, "[New]");
    at("WaitText").setVisible(false);
    at("WaitMs").setVisible(false);
    ShowMemoryPreview(false);
    tx.DelayLeft = 0;
}

void DetailWindow::Dispatch() {
    const std::string mode = CurrentMode();
    if (mode == Phases::Status1) {
        if (StepNo == 0)
            StatusStart();
        else
            IdentityStep();
    } else if (mode == Phases::Status2) {
        if (StepNo > 0)
            StatusStep();
    } else if (mode == Phases::Config || mode == Phases::SetConfig) {
        if (StepNo == 0) {
            if (mode == Phases::Config)
                ConfigStart();
        } else if (StepNo == ConfigSteps::Unlock || StepNo == ConfigSteps::Gate ||
                   StepNo == ConfigSteps::SetConfig || StepNo == ConfigSteps::Idle ||
                   StepNo == ConfigSteps::SetReply ||
                   (StepNo >= ConfigSteps::PauseFirst && StepNo <= ConfigSteps::Resume)) {
            ConfigTail();
        } else {
            ConfigStep();
        }
    } else if (mode == Phases::ReadLog) {
        if (StepNo == 0)
            LogStart();
        else
            LogStep();
    } else if (mode == Phases::Utilities) {
        RefreshClockLines();
        if (StepNo == 0)
            UtilitiesStart();
        else
            UtilitiesStep();
    } else if (mode == Phases::LoadStMem) {
        if (StepNo == 0)
            MemoryStart();
        else
            MemoryStep();
    } else if (mode == Phases::Switchover) {
        if (StepNo == 0)
            SwitchoverStart();
        else
            SwitchoverStep();
    } else if (mode == Phases::ExitModal) {
        Exit();
    }
}

void DetailWindow::Exit() {
    timerOn_ = false;
    closed_ = true;
}

// ---- the exchange ------------------------------------------------------------------

void DetailWindow::SendRequest(const std::string& command) {
    LastMnemonic = command.substr(0, 3);
    d_.tx.AwaitingReply = true;
    d_.port.WriteRequest(RequestText(UnitAddress, command));
    StepNo += 1;
    if (contains(CurrentMode(), "CONFIG")) {
        if (contains(command, "="))
            ShowInstruction("Configuring the " + ModelName + ", please wait...");
        else if (contains(command, "?"))
            ShowInstruction("Reading the " + ModelName + ", please wait...");
    }
    int seconds = TimeoutSeconds();
    if (LastMnemonic == "TST")
        seconds = std::max(seconds, 3);
    d_.tx.TimeoutLeft = seconds * 1000;
}

std::string DetailWindow::TakeReply(const std::string& mnemonic) {
    TransactionState& tx = d_.tx;
    if (auto payload = MatchReply(d_.port.ReceivedMessage(), UnitAddress, mnemonic)) {
        if (CurrentMode() != Phases::SetConfig)
            tx.DelayLeft = DelayMs();
        std::string reply = ClassifyPayload(*payload, ReplyDialect::Modem);
        switch (payload->empty() ? ' ' : (*payload)[0]) {
        case '=':
        case '+':
            ReplyColour = Colours::lime;
            break;
        case '*':
        case '?':
        case '!':
            ReplyColour = Colours::red;
            break;
        case '~':
            ReplyColour = Colours::blue;
            break;
        default:
            break;
        }
        tx.AwaitingReply = false;
        NoComms = false;
        ShowNotice("", Colours::black);
        LastReply = reply;
        return reply;
    }
    // The time-out is declared once, when the count has run out for the awaited reply.
    if (tx.AwaitingReply && tx.TimeoutLeft <= 0) {
        NoComms = true;
        ReplyColour = Colours::blue;
        tx.AwaitingReply = false;
        Trace(" at " + std::to_string(TimeoutSeconds()) + " sec", "[timed out]");
        ShowNotice("Communications were timed out, check system set-up", Colours::red);
        LastReply = kNoComms;
        return kNoComms;
    }
    return kCountedOut;
}

// ---- common operations ----------------------------------------------------------------

void DetailWindow::ShowNotice(const std::string& text, Colour colour) {
    at("Notice").setText(text).setTextColour(colour);
}

void DetailWindow::ShowInstruction(const std::string& text) {
    at("Instruction").setText(text);
}

void DetailWindow::ShowPanels(bool status, bool config, bool utilities, bool logs) {
    at("PanelStatus").setVisible(status);
    at("PanelConfig").setVisible(config);
    at("PanelUtilities").setVisible(utilities);
    at("PanelLogs").setVisible(logs);
}

void DetailWindow::EnableButtons(bool status, bool config, bool utilities, bool logs) {
    at("BtnStatus").setEnabled(status);
    at("BtnConfig").setEnabled(config);
    at("BtnUtilities").setEnabled(utilities);
    at("BtnLogs").setEnabled(logs);
    at("BtnConfig").setText(contains(CurrentMode(), "CONFIG") ? "Re-Read Con&fig" : "Con&figure");
}

void DetailWindow::SetValue(const std::string& name, const std::string& text, Colour background) {
    at(name).setText(text).setBackground(background).setTextColour(Colours::black);
}

void DetailWindow::ClearValue(const std::string& name) {
    at(name).setText("").clearBackground();
}

bool DetailWindow::BoxLocked(const BoxSpec& box) const {
    if (box.gate == Gate::Always)
        return lockRequested_;
    if (effectiveLock_ && box.lockable)
        return true;
    return box.gate == Gate::Remote && !RemoteMode;
}

void DetailWindow::LockConfig(bool locked) {
    lockRequested_ = locked;
    effectiveLock_ = locked || !ChangesPossible() || InLoopback() || !OnlineOrAlone();
    for (const BoxSpec& b : boxes_) {
        const bool lock = BoxLocked(b);
        Control& c = at(b.control);
        if (b.kind == BoxKind::Edit)
            c.setReadOnly(lock);
        else
            c.setEnabled(!lock);
        at(b.control + "Cap").setTextColour(lock ? Colours::gray : Colours::black);
    }
    for (const auto& mask : masks_.boxes)
        at(mask.first).setEnabled(!effectiveLock_);
    LockExtra(effectiveLock_, locked);
}

void DetailWindow::ShowEditGate() {
    if (shown("PanelConfig"))
        ShowInstruction("Click on a box to change the configuration parameters");
    if (InLoopback())
        ShowNotice("IF/RF loopback. Cannot change configuration.", Colours::yellow);
    if (!RemoteMode && !DistantEnd) {
        ShowInstruction("");
        ShowNotice("Unit is in LOCAL mode. Need REMOTE to change configuration", Colours::yellow);
    }
}

void DetailWindow::DecodeLrs(const std::string& reply, const std::string& label) {
    if (!StartsWith(reply, "=")) {
        SetValue(label, Chars(reply, 2, 20),
                 StartsWith(reply, "T") ? Colours::yellow : Colours::red);
        RemoteMode = false;
        return;
    }
    const char digit = reply.size() > 1 ? reply[1] : ' ';
    if (digit == '0') {
        if (DistantEnd) {
            SetValue(label, "SLAVE", Colours::white);
            RemoteMode = true;
        } else {
            SetValue(label, "LOCAL", Colours::yellow);
            RemoteMode = false;
        }
    } else {
        SetValue(label, "REMOTE", Colours::white);
        RemoteMode = true;
    }
    if (!remoteStateBox_.empty()) {
        at(remoteStateBox_).setSelected(digit - '0');
        shownIndex_[remoteStateBox_] = at(remoteStateBox_).selected();
    }
}

int DetailWindow::ConfigLrs(const std::string& reply, int next) {
    if (StartsWith(reply, "=")) {
        LrsChanged = !RemoteMode;
        RemoteMode = reply.size() > 1 && reply[1] == '1';
        if (!remoteStateBox_.empty()) {
            at(remoteStateBox_).setSelected(reply.size() > 1 ? reply[1] - '0' : -1);
            shownIndex_[remoteStateBox_] = at(remoteStateBox_).selected();
        }
        return next;
    }
    RemoteMode = false;
    if (!DistantEnd) {
        LockConfig(false);
        return ConfigSteps::Gate;
    }
    return 1;
}

// ---- status ------------------------------------------------------------------------------

void DetailWindow::StatusStart() {
    ClearUtilityLabels();
    ClearStatus();
    EnableButtons(false, false, false, false);
    ShowPanels(true, false, false, false);
    ShowInstruction("");
    StepNo = 1;
}

// ---- configuration ---------------------------------------------------------------------

void DetailWindow::FillBox(const BoxSpec& b, const std::string& text) {
    Control& c = at(b.control);
    const bool present = b.pos >= 1 && text.size() >= static_cast<size_t>(b.pos + b.len - 1);
    if (b.kind == BoxKind::Combo) {
        const int index = present ? HexDigitValue(Chars(text, b.pos, 1)) : -1;
        c.setSelected(present && std::isalnum(static_cast<unsigned char>(text[b.pos - 1])) ? index
                                                                                           : -1);
        shownIndex_[b.control] = c.selected();
        return;
    }
    if (b.kind == BoxKind::Check) {
        c.setChecked(present && text[b.pos - 1] == '1');
        return;
    }
    std::string shown;
    if (present) {
        switch (b.show) {
        case Show::Real:
            shown = RealField(text, b.pos, b.len, b.decimals, b.width);
            break;
        case Show::NegReal:
            shown = "-" + RealField(text, b.pos, b.len, b.decimals, b.width);
            break;
        case Show::Int:
            shown = SubInt(text, b.pos, b.len);
            break;
        case Show::Index:
        case Show::Text:
            shown = Chars(text, b.pos, b.len);
            break;
        }
    }
    c.setText(shown);
    shownText_[b.control] = shown;
}

void DetailWindow::SetBoxText(const std::string& control, const std::string& text) {
    at(control).setText(text);
    shownText_[control] = text;
}

void DetailWindow::SetBoxIndex(const std::string& control, int index) {
    at(control).setSelected(index);
    shownIndex_[control] = at(control).selected();
}

int DetailWindow::ShownIndex(const std::string& control) const {
    auto it = shownIndex_.find(control);
    return it == shownIndex_.end() ? -1 : it->second;
}

std::string DetailWindow::ShownText(const std::string& control) const {
    auto it = shownText_.find(control);
    return it == shownText_.end() ? std::string() : it->second;
}

void DetailWindow::FillBoxes(Source source, const std::string& text) {
    for (const BoxSpec& b : boxes_)
        if (b.source == source && b.pos > 0)
            FillBox(b, text);
    if (source == Source::Config && masks_.pos > 0)
        SetMasks(Chars(text, masks_.pos, static_cast<int>(masks_.boxes.size())));
    AfterFill(source);
}

void DetailWindow::ConfigStart() {
    for (const BoxSpec& b : boxes_) {
        Control& c = at(b.control);
        if (b.kind == BoxKind::Edit)
            c.setText("").setBackground(Colours::white);
        else if (b.kind == BoxKind::Combo)
            c.setSelected(-1);
        else
            c.setChecked(false);
        at(b.control + "Cap").setTextColour(Colours::black);
    }
    for (const auto& mask : masks_.boxes)
        at(mask.first).setChecked(false);
    shownIndex_.clear();
    shownText_.clear();
    ClearConfigExtra();
    ShowPanels(false, true, false, false);
    EnableButtons(true, true, true, true);
    LockConfig(true);
    ShowInstruction("");
    StepNo = 1;
}

int DetailWindow::RereadStep(const std::string& mnemonic, bool accepted) const {
    if (const BoxSpec* b = BoxByCommand(mnemonic))
        return accepted ? b->reread : (b->retry ? b->retry : FullReadStep());
    return accepted ? ConfigSteps::SetConfig : FullReadStep();
}

void DetailWindow::ConfigTail() {
    switch (StepNo) {
    case ConfigSteps::Unlock:
        LockConfig(false);
        StepNo = ConfigSteps::Gate;
        break;
    case ConfigSteps::Gate:
        ShowEditGate();
        StepNo = ConfigSteps::Idle;
        break;
    case ConfigSteps::SetConfig:
        SetCurrentMode(Phases::SetConfig);
        ShowEditGate();
        LockConfig(false);
        StepNo = ConfigSteps::Idle;
        break;
    case ConfigSteps::Idle:
        break;
    case ConfigSteps::SetReply:
        AfterSetReply();
        break;
    case ConfigSteps::Resume:
        StepNo = retryStep_;
        break;
    default: // the pause
        ++StepNo;
        break;
    }
}

void DetailWindow::AfterSetReply() {
    const std::string r = TakeReply(LastMnemonic);
    if (r == kCountedOut)
        return;
    if (!StartsWith(r, "=") && !StartsWith(r, "+")) {
        ShowNotice(StartsWith(r, "T") ? "Timed out. Check Timeout-Time. Re-reading unit..."
                                      : "Command was not accepted. Re-reading unit...",
                   Colours::red);
        retryStep_ = RereadStep(LastMnemonic, false);
        StepNo = ConfigSteps::PauseFirst;
        return;
    }
    // What the unit now holds is what the boxes show.
    for (const BoxSpec& b : boxes_) {
        if (b.kind == BoxKind::Edit)
            shownText_[b.control] = at(b.control).text();
        else if (b.kind == BoxKind::Combo)
            shownIndex_[b.control] = at(b.control).selected();
    }
    if (LastMnemonic == masks_.command)
        savedMasks_ = MaskString();
    int next = RereadStep(LastMnemonic, true);
    if (LrsChanged && RemoteMode)
        next = FullReadStep();
    if (!RemoteMode)
        next = LrsReadStep();
    StepNo = next;
}

// ---- changing a parameter ------------------------------------------------------------

void DetailWindow::EnterEdit(const BoxSpec& box) {
    enteredBox_ = box.control;
    const Control& c = at(box.control);
    SavedText = c.text();
    if (ChangesPossible() && !c.readOnly())
        ShowInstruction(box.prompt);
}

void DetailWindow::EnterCombo(const BoxSpec& box) {
    enteredBox_ = box.control;
    ShowInstruction("Choose from the selection provided");
    SavedIndex = at(box.control).selected();
}

std::optional<std::string> DetailWindow::EditCommand(const BoxSpec& b, const std::string& text,
                                                     std::string& shown) {
    if (b.value == Value::Upper || b.value == Value::Typed) {
        std::string v = text;
        if (b.value == Value::Upper) {
            v.resize(static_cast<size_t>(b.cmdWidth), ' ');
            for (char& ch : v)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        shown = v;
        return v;
    }
    double v = 0;
    if (b.integer) {
        const ParsedInt p = ParseInt(text);
        if (!p.ok)
            return std::nullopt;
        v = p.value;
    } else {
        const ParsedReal p = ParseReal(text);
        if (!p.ok)
            return std::nullopt;
        v = p.value;
    }
    if (!b.ranges.empty()) {
        const bool inside = std::any_of(b.ranges.begin(), b.ranges.end(), [v](const Range& r) {
            return v >= r.low - 1e-9 && v <= r.high + 1e-9;
        });
        if (!inside)
            return std::nullopt;
    }
    if (b.resolution > 0) {
        const double steps = v / b.resolution;
        if (std::fabs(steps - std::round(steps)) > 1e-6)
            return std::nullopt;
    }
    const double magnitude = std::fabs(v);
    switch (b.show) {
    case Show::Real:
        shown = RealText(v, b.width, b.decimals);
        break;
    case Show::NegReal:
        shown = "-" + RealText(magnitude, b.width, b.decimals);
        break;
    default:
        shown = " " + std::to_string(static_cast<long>(std::lround(v)));
        break;
    }
    switch (b.value) {
    case Value::Real:
        return RealTextZeroPad(FixedReal(v, b.cmdDecimals), b.cmdWidth, b.cmdDecimals);
    case Value::NegReal:
        return RealTextZeroPad(FixedReal(magnitude, b.cmdDecimals), b.cmdWidth, b.cmdDecimals);
    case Value::Digits:
        return zeroFill(std::lround(v), b.cmdWidth);
    case Value::SignedDigits:
        return std::string(v < 0 ? "-" : "+") + zeroFill(std::lround(magnitude), b.cmdWidth);
    default:
        return FixedReal(v, b.cmdDecimals);
    }
}

void DetailWindow::LeaveEdit(const BoxSpec& b) {
    Control& c = at(b.control);
    if (enteredBox_ != b.control)
        SavedText = shownText_[b.control];
    enteredBox_.clear();
    if (c.readOnly() || b.command.empty())
        return;
    const std::string text = c.text();
    // The same number (12.50 and 12.5) or the same text sends nothing.
    bool same = text == SavedText;
    if (!same && b.value != Value::Upper && b.value != Value::Typed) {
        const ParsedReal now = ParseReal(text);
        const ParsedReal before = ParseReal(SavedText);
        same = now.ok && before.ok && std::fabs(now.value - before.value) < 1e-9;
    }
    if (same) {
        c.setText(SavedText);
        return;
    }
    if (d_.tx.AwaitingReply || !contains(CurrentMode(), "CONFIG")) {
        c.setText(SavedText);
        return;
    }
    std::string shown;
    const std::optional<std::string> value = EditCommand(b, text, shown);
    if (!value) {
        if (b.redCaption)
            at(b.control + "Cap").setTextColour(Colours::red);
        ShowNotice(b.error, Colours::red);
        return;
    }
    at(b.control + "Cap").setTextColour(Colours::black);
    ShowNotice("", Colours::black);
    PendingCommand = b.command + "=" + *value;
    if (!b.confirm.empty()) {
        const std::string v = b.value == Value::Upper ? ltrim(text) : shown;
        const std::string shownValue = b.show == Show::NegReal
                                           ? ltrim(shown.substr(1))
                                           : (b.confirm.back() == ' ' ? ltrim(v) : v);
        ConfirmText = "Change " + b.confirm + shownValue + b.unit + ". Comms may be affected.";
    }
    if (b.value == Value::Custom) {
        const std::optional<std::string> custom = CustomCommand(b, shown);
        if (!custom) {
            if (b.redCaption)
                at(b.control + "Cap").setTextColour(Colours::red);
            ShowNotice(b.error, Colours::red);
            return;
        }
        PendingCommand = *custom;
    }
    c.setText(shown);
    SendOrConfirm(b);
}

std::optional<std::string> DetailWindow::CustomCommand(const BoxSpec&, const std::string&) {
    return std::nullopt;
}

void DetailWindow::ChangeCombo(const BoxSpec& b) {
    Control& c = at(b.control);
    if (enteredBox_ != b.control)
        SavedIndex = shownIndex_.count(b.control) ? shownIndex_[b.control] : -1;
    enteredBox_.clear();
    const int index = c.selected();
    if (index == SavedIndex || index < 0 || b.command.empty())
        return;
    if (d_.tx.AwaitingReply || !contains(CurrentMode(), "CONFIG")) {
        c.setSelected(SavedIndex);
        return;
    }
    if (OnComboChange(b))
        return;
    if (b.control == remoteStateBox_) {
        // Moving the box away from local counts as a change of the remote state.
        LrsChanged = SavedIndex == 0 && index != 0;
        RemoteMode = index == 1;
    }
    LockConfig(true);
    PendingCommand =
        b.command + "=" +
        (b.value == Value::HexIndex ? std::string(1, HexDigitChar(index)) : std::to_string(index));
    if (!b.confirm.empty())
        ConfirmText = "Change " + b.confirm + c.selectedText() + ". Comms may be affected.";
    if (b.value == Value::Custom) {
        const std::optional<std::string> custom = CustomCommand(b, c.selectedText());
        if (!custom) {
            c.setSelected(SavedIndex);
            LockConfig(false);
            return;
        }
        PendingCommand = *custom;
    }
    SendOrConfirm(b);
}

void DetailWindow::SendOrConfirm(const BoxSpec& b) {
    if (DistantEnd && b.gate == Gate::RemoteOrDistant) {
        std::weak_ptr<bool> alive = alive_;
        d_.scheduler.after(100, [this, alive] {
            if (alive.expired() || !*alive.lock())
                return;
            d_.op.ask("Confirm", ConfirmText, BoxIcon::Exclamation, Buttons::YesNo,
                      [this, alive](Answer a) {
                          if (alive.expired() || !*alive.lock())
                              return;
                          guarded([&] { Confirmed(a == Answer::Yes); });
                      });
        });
        return;
    }
    LockConfig(true);
    SendRequest(PendingCommand);
    StepNo = ConfigSteps::SetReply;
}

void DetailWindow::Confirmed(bool yes) {
    // A phase chosen while the question was open wins: nothing is sent then.
    const bool stillHere = contains(CurrentMode(), "CONFIG") && !d_.tx.AwaitingReply &&
                           d_.tx.RequestedMode.empty() && !closed_;
    if (yes && stillHere) {
        SendRequest(PendingCommand);
        LockConfig(true);
        StepNo = ConfigSteps::SetReply;
        ShowInstruction("Distant modem re-configuration sent, please wait...");
        return;
    }
    if (stillHere)
        StepNo = ConfigSteps::Idle;
    ShowInstruction("Edit of parameter has been replaced with previous value");
    const std::string mnemonic = PendingCommand.substr(0, 3);
    if (!RestoreBox(mnemonic)) {
        if (mnemonic == masks_.command) {
            SetMasks(savedMasks_);
        } else if (const BoxSpec* b = BoxByCommand(mnemonic)) {
            if (b->kind == BoxKind::Edit)
                at(b->control).setText(SavedText);
            else
                at(b->control).setSelected(SavedIndex);
        }
    }
    LockConfig(false);
}

// ---- alarm masks ----------------------------------------------------------------------

std::string DetailWindow::MaskString() const {
    std::string s;
    for (const auto& mask : masks_.boxes)
        s += at(mask.first).checked() ? '1' : '0';
    s.resize(static_cast<size_t>(std::max<int>(masks_.length, static_cast<int>(s.size()))), '0');
    return s;
}

void DetailWindow::SetMasks(const std::string& masks) {
    for (size_t i = 0; i < masks_.boxes.size(); ++i)
        at(masks_.boxes[i].first).setChecked(i < masks.size() && masks[i] == '1');
    savedMasks_ = MaskString();
}

void DetailWindow::EnterMasks() {
    ShowInstruction("Check boxes of desired alarms to be masked");
}

void DetailWindow::ChangeMasks() {
    const std::string now = MaskString();
    if (now == savedMasks_)
        return;
    if (d_.tx.AwaitingReply || !contains(CurrentMode(), "CONFIG")) {
        SetMasks(savedMasks_);
        return;
    }
    BoxSpec pseudo;
    pseudo.command = masks_.command;
    PendingCommand = masks_.command + "=" + now;
    ConfirmText = "Change " + masks_.confirm + ". Comms may be affected.";
    SendOrConfirm(pseudo);
}

// ---- log download ----------------------------------------------------------------------

void DetailWindow::LogStart() {
    ShowPanels(false, false, false, true);
    EnableButtons(true, true, true, false);
    ShowInstruction("");
    logLines_.clear();
    at("LogMemo").setText("").setVisible(false);
    for (const char* c : {"FileExistsBox", "FileNewBox", "ReadLogBox", "LogWarning"})
        at(c).setVisible(false);
    at("LogEventsCount").setText("Reading number of " + LogNoun() + " Log events...");
    at("LogStatsCount").setText("");
    at("LogProgress").setText("");
    at("BtnReadEvents").setEnabled(false);
    at("BtnReadStats").setEnabled(false);
    StepNo = 1;
}

void DetailWindow::ChooseLogFile(LogKinds kind) {
    LogKind = kind;
    at("BtnReadEvents").setEnabled(false);
    at("BtnReadStats").setEnabled(false);
    at("LogWarning").setVisible(true);
    std::weak_ptr<bool> alive = alive_;
    d_.op.chooseFile("Text Files|*.txt|", "txt", "Choose a filename for storing Log data",
                     [this, alive](std::optional<std::string> file) {
                         if (alive.expired() || !*alive.lock())
                             return;
                         at("LogWarning").setVisible(false);
                         if (!file || file->empty())
                             return;
                         LogFileName = *file;
                         const char* what = LogKind == LogKinds::Events ? "Events" : "Statistics";
                         at("LogTopLine")
                             .setText(std::string("Going to store ") + what +
                                      " Log data to: " + LogFileName);
                         std::filesystem::path path(LogFileName);
                         if (path.is_relative())
                             path = d_.programDir / path;
                         const bool exists = TextFile::exists(path);
                         at("FileExistsBox").setVisible(exists);
                         at("FileNewBox").setVisible(!exists);
                     });
}

void DetailWindow::WriteLogFile() {
    std::filesystem::path path(LogFileName);
    if (path.is_relative())
        path = d_.programDir / path;
    if (LogWriteMode == 1) {
        std::vector<std::string> lines{" "};
        lines.insert(lines.end(), logLines_.begin(), logLines_.end());
        TextFile::append(path, lines);
    } else {
        TextFile::replace(path, logLines_);
    }
}

void DetailWindow::LogStep() {
    auto count = [this](const std::string& r, const char* what, int& left, const char* label) {
        if (StartsWith(r, "=")) {
            left = IntOfText(Chars(r, 2, 3));
            at(label).setText(std::to_string(left) + what);
        } else {
            left = 0;
            at(label).setText(Chars(r, 2, 20));
        }
    };
    // Five records a reply, each followed by one separator; an empty slot ends nothing,
    // a reply without any record ends the download like a refusal.
    auto records = [this](const std::string& r, int width, bool events) {
        const std::string body = r.size() > 2 ? r.substr(2) : std::string();
        int found = 0;
        for (int i = 0; i < 5; ++i) {
            const std::string rec = Chars(body, 1 + i * (width + 1), width);
            const std::string entry =
                events ? EventEntryText(rec, d_.clock) : StatisticsEntryText(rec, d_.clock);
            if (!entry.empty()) {
                logLines_.push_back(UnitAddress + "  " + entry);
                ++found;
            }
        }
        std::string memo;
        for (const std::string& l : logLines_)
            memo += (memo.empty() ? "" : "\n") + l;
        at("LogMemo").setText(memo);
        return found;
    };
    auto written = [this](const char* what) {
        try {
            WriteLogFile();
        } catch (const UserError& e) {
            // Nothing is cleared in the unit when the file could not be written.
            d_.op.report(e.what());
            at("LogProgress").setText(std::string("Log: ") + e.what()).setTextColour(Colours::red);
            StepNo = 1;
            return false;
        }
        at("LogTopLine").setText(std::string(what) + " Log data stored in " + LogFileName);
        return true;
    };
    switch (StepNo) {
    case 1:
        EventLinesLeft = 0;
        SendRequest("NUE?");
        break;
    case 2: {
        const std::string r = TakeReply("NUE");
        if (r == kCountedOut)
            return;
        count(r, " Events Log lines to read", EventLinesLeft, "LogEventsCount");
        StepNo = 51;
        break;
    }
    case 51:
        StatsLinesLeft = 0;
        SendRequest("NUS?");
        break;
    case 52: {
        const std::string r = TakeReply("NUS");
        if (r == kCountedOut)
            return;
        count(r, " Statistics Log lines to read", StatsLinesLeft, "LogStatsCount");
        at("LogTopLine").setText("Select Log to download; data will be saved to disk");
        StepNo = 5;
        break;
    }
    case 5:
        EnableButtons(true, true, true, true);
        at("BtnReadEvents").setEnabled(EventLinesLeft >= 1);
        at("BtnReadStats").setEnabled(StatsLinesLeft >= 1);
        StepNo = 6;
        break;
    case 3:
        SendRequest("RNE?");
        break;
    case 4: {
        const std::string r = TakeReply("RNE");
        if (r == kCountedOut)
            return;
        StepNo = StartsWith(r, "=") && records(r, 15, true) > 0 ? 3 : 11;
        break;
    }
    case 11:
        if (!written("Event"))
            return;
        if (RemoteMode || DistantEnd) {
            SendRequest("CAE=");
        } else {
            StepNo = 70;
        }
        break;
    case 12: {
        const std::string r = TakeReply("CAE");
        if (r == kCountedOut)
            return;
        StepNo = StartsWith(r, "=") ? 70 : 71;
        break;
    }
    case 53:
        SendRequest("RNS?");
        break;
    case 54: {
        const std::string r = TakeReply("RNS");
        if (r == kCountedOut)
            return;
        StepNo = StartsWith(r, "=") && records(r, 26, false) > 0 ? 53 : 61;
        break;
    }
    case 61:
        if (!written("Statistics"))
            return;
        at("LogStatsCount").setText("");
        if (RemoteMode || DistantEnd) {
            SendRequest("CAS=");
        } else {
            StepNo = 70;
        }
        break;
    case 62: {
        const std::string r = TakeReply("CAS");
        if (r == kCountedOut)
            return;
        StepNo = StartsWith(r, "=") ? 70 : 71;
        break;
    }
    case 70:
        at("LogProgress")
            .setText(std::string("Reading ") +
                     (LogKind == LogKinds::Events ? "Events" : "Statistics") + " Log completed")
            .setTextColour(Colours::blue);
        StepNo = 1;
        break;
    case 71:
        at("LogProgress").setText("Log: " + Chars(LastReply, 2, 20)).setTextColour(Colours::red);
        StepNo = 1;
        break;
    default:
        break;
    }
}

// ---- utilities --------------------------------------------------------------------------

void DetailWindow::ClearUtilityLabels() {
    for (const char* c : kUtilityLabels)
        at(c).setText("");
}

int DetailWindow::OffsetHours() const {
    return IntOfText(at("HourOffset").selectedText());
}

int DetailWindow::OffsetMinutes() const {
    const int i = at("QuarterOffset").selected();
    return i < 0 ? 0 : (3 - i) * 15;
}

void DetailWindow::RefreshClockLines() {
    const LocalDateTime now = d_.clock.now();
    at("ClockComputer").setText(d_.clock.dateText(now) + " " + d_.clock.timeText(now));
    const int h = OffsetHours();
    const int m = OffsetMinutes();
    int hours = now.hour + h;
    int minutes = now.minute + m;
    TimeOffsetDays = NormaliseTime(hours, minutes);
    const bool offset = h != 0 || m != 0;
    at("ClockOffsetCap").setVisible(offset);
    at("ClockOffset").setVisible(offset);
    at("BtnSetTime").setText(offset ? "Set &Offset Time + Date" : "Set &Time and Date");
    if (offset) {
        LocalDateTime t = now;
        int64_t days = daysFromCivil(now.year, now.month, now.day) + TimeOffsetDays;
        civilFromDays(days, t.year, t.month, t.day);
        t.hour = hours;
        t.minute = minutes;
        at("ClockOffset").setText(d_.clock.dateText(t) + " " + d_.clock.timeText(t));
    }
}

void DetailWindow::RefreshUtilityGates() {
    const bool possible = RemoteMode || DistantEnd;
    at("NotRemoteMsg").setVisible(!possible);
    at("BufferNotAllowed").setVisible(!possible);
    at("BufferHint").setVisible(possible);
    at("BtnCenterBuffer").setEnabled(possible);
    at("BtnStore").setEnabled(possible);
    at("BtnSetTime").setEnabled(possible);
    at("BtnLoad").setEnabled(possible && OnlineOrAlone());
    at("SwitchNotOnline").setVisible(!OnlineUnit);
    at("SwitchHint").setVisible(OnlineUnit);
    at("BtnSwitch").setEnabled(OnlineUnit && possible);
}

void DetailWindow::UtilitiesStart() {
    ShowInstruction("");
    ShowPanels(false, false, true, false);
    EnableButtons(true, true, false, true);
    at("BtnMemConfirm").setVisible(false);
    at("BtnMemCancel").setVisible(false);
    RefreshUtilityGates();
    PendingUtility = 0;
    StepNo = 1;
}

int DetailWindow::NextUtility(int n) {
    if (PendingUtility != 0) {
        const int p = PendingUtility;
        PendingUtility = 0;
        return p;
    }
    return n;
}

void DetailWindow::UtilitiesStep() {
    switch (StepNo) {
    case 1:
        SendRequest("LRS?");
        break;
    case 2: {
        const std::string r = TakeReply("LRS");
        if (r == kCountedOut)
            return;
        if (has("StaLRS"))
            DecodeLrs(r, "StaLRS");
        RefreshUtilityGates();
        StepNo = 3;
        break;
    }
    case 3:
        SendRequest("DAY?");
        break;
    case 4: {
        const std::string r = TakeReply("DAY");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            keptDate_ = DateTextDMY(Chars(r, 2, 6));
            StepNo = NextUtility(5);
        } else {
            at("LblDate").setText("Date:" + Chars(r, 2, 20)).setTextColour(Colours::red);
            StepNo = NextUtility(1);
        }
        break;
    }
    case 5:
        SendRequest("TIM?");
        break;
    case 6: {
        const std::string r = TakeReply("TIM");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            at("ClockModem").setText(TimeText(Chars(r, 2, 6), d_.clock) + " " + keptDate_);
            // The result of a memory load or store stays until the next memory action.
            for (size_t i = 0; i < kClockLoopLabels; ++i)
                at(kUtilityLabels[i]).setText("");
            StepNo = NextUtility((RemoteMode || DistantEnd) && OnlineUnit ? 15 : 1);
        } else {
            at("ClockOffsetCap").setVisible(false);
            at("ClockOffset").setVisible(false);
            at("ClockModem").setText(keptDate_);
            at("LblTime").setText("Time:" + Chars(r, 2, 20)).setTextColour(Colours::red);
            StepNo = NextUtility(1);
        }
        break;
    }
    case 15:
        SendRequest("RED?");
        break;
    case 16: {
        const std::string r = TakeReply("RED");
        if (r == kCountedOut)
            return;
        OnlineUnit = StartsWith(r, "=") && r.size() > 1 && r[1] == '1';
        RefreshUtilityGates();
        StepNo = NextUtility(1);
        break;
    }
    case 25:
        PendingUtility = 0;
        SendRequest("RCB=");
        break;
    case 26: {
        const std::string r = TakeReply("RCB");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            at("BufferMsg").setText("Buffer centered OK").setTextColour(Colours::blue);
        else
            at("BufferMsg").setText(Chars(r, 2, 20)).setTextColour(Colours::red);
        StepNo = NextUtility(45);
        break;
    }
    case 31: {
        at("ClockModem").setText("Setting time, date...");
        const LocalDateTime now = d_.clock.now();
        int y = 0, mo = 0, dd = 0;
        civilFromDays(daysFromCivil(now.year, now.month, now.day) + TimeOffsetDays, y, mo, dd);
        SendRequest("DAY=" + twoDigits(dd) + twoDigits(mo) + twoDigits(y % 100));
        break;
    }
    case 32: {
        const std::string r = TakeReply("DAY");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            at("LblDate").setText("Date set OK").setTextColour(Colours::blue);
        else
            at("LblDate").setText("Date:" + Chars(r, 2, 20)).setTextColour(Colours::red);
        at("LblTime").setText("Setting time...").setTextColour(Colours::blue);
        StepNo = 33;
        break;
    }
    case 33: {
        const LocalDateTime now = d_.clock.now();
        int hours = now.hour + OffsetHours();
        int minutes = now.minute + OffsetMinutes();
        TimeOffsetDays = NormaliseTime(hours, minutes);
        SendRequest("TIM=" + twoDigits(hours) + twoDigits(minutes) + twoDigits(now.second));
        break;
    }
    case 34: {
        const std::string r = TakeReply("TIM");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            at("LblTime").setText("Time set OK").setTextColour(Colours::blue);
        else
            at("LblTime").setText("Time:" + Chars(r, 2, 20)).setTextColour(Colours::red);
        StepNo = NextUtility(51);
        break;
    }
    case 60:
        StepNo = NextUtility(1);
        break;
    default:
        if (StepNo >= 45 && StepNo < 60)
            ++StepNo;
        break;
    }
}

void DetailWindow::SwitchoverStart() {
    ClearUtilityLabels();
    StepNo = 0;
    SendRequest("FSW=");
}

void DetailWindow::SwitchoverStep() {
    const std::string r = TakeReply("FSW");
    if (r == kCountedOut)
        return;
    if (StartsWith(r, "=") || DistantEnd)
        at("SwitchMsg").setText("Switchover command acknowledged").setTextColour(Colours::blue);
    else
        at("SwitchMsg").setText("No comms").setTextColour(Colours::red);
    RequestMode(Phases::Utilities);
}

// ---- memories ------------------------------------------------------------------------------

std::string DetailWindow::MemoryDigit() const {
    return ltrim(at("MemoryList").selectedText());
}

void DetailWindow::MemoryStart() {
    if (at("MemoryList").selected() < 0) {
        RequestMode(Phases::Utilities);
        return;
    }
    ClearUtilityLabels();
    ShowPanels(false, false, true, false);
    const std::string prelude = MemoryPreludeQuery();
    if (!prelude.empty()) {
        StepNo = 15;
        SendRequest(prelude + MemoryDigit());
        return;
    }
    StepNo = 1;
    SendRequest("MGC?" + MemoryDigit());
}

void DetailWindow::MemoryStep() {
    const std::string d = MemoryDigit();
    Control& msg = at("MemoryMsg");
    switch (StepNo) {
    case 16: {
        const std::string r = TakeReply(MemoryPreludeQuery().substr(0, 3));
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            FillMemoryPrelude(r);
        StepNo = 1;
        break;
    }
    case 1:
        SendRequest("MGC?" + d);
        break;
    case 2: {
        const std::string r = TakeReply("MGC");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            if (LoadMemory) {
                msg.setText("Config present in memory location " + d + ". Confirm load.");
                at("BtnMemConfirm").setText("  Confir&m");
            } else {
                msg.setText("Warning! Location " + d + " contains data. Overwrite?");
                at("BtnMemConfirm").setText(" Over&Write");
            }
            msg.setTextColour(Colours::blue);
            FillMemoryPreview(r.substr(1));
            ShowMemoryPreview(true);
            at("BtnMemConfirm").setVisible(true);
            at("BtnMemCancel").setVisible(true);
            StepNo = 500;
        } else if (StartsWith(r, "*")) {
            if (LoadMemory) {
                msg.setText("No config is stored in memory " + d).setTextColour(Colours::purple);
                StepNo = 7;
            } else {
                msg.setText("Storing...").setTextColour(Colours::blue);
                StepNo = 5;
                SendRequest("CST=" + d);
            }
        } else {
            msg.setText(Chars(r, 2, 20)).setTextColour(Colours::red);
            StepNo = 0;
        }
        break;
    }
    case 3:
        if (++memoryTicks_ % 10 == 0)
            Trace(std::to_string(memoryTicks_), "[delay]");
        if (memoryTicks_ > (DistantEnd ? 75 : 50))
            StepNo = 4;
        break;
    case 4: {
        const std::string r = TakeReply("CLD");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            msg.setText("Unit re-configured using memory location " + d)
                .setTextColour(Colours::blue);
            d_.tx.DelayLeft = 2500;
            RequestMode(Phases::Utilities);
        } else if (StartsWith(r, "?")) {
            msg.setText("Problem with memory load.").setTextColour(Colours::red);
            RequestMode(Phases::Utilities);
        } else if (StartsWith(r, "T") || StartsWith(r, "*")) {
            // No answer at all would leave the phase waiting for good.
            msg.setText(Chars(r, 2, 20)).setTextColour(Colours::red);
            RequestMode(Phases::Utilities);
        }
        break;
    }
    case 6: {
        const std::string r = TakeReply("CST");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            msg.setText("Current config now stored in memory " + d).setTextColour(Colours::blue);
        else if (StartsWith(r, "?"))
            msg.setText("Problem with memory store").setTextColour(Colours::red);
        else
            msg.setText(Chars(r, 2, 20)).setTextColour(Colours::red);
        StepNo = 7;
        break;
    }
    case 7:
        memoryTicks_ = 0;
        StepNo = 8;
        break;
    case 8:
        if (++memoryTicks_ >= 12)
            RequestMode(Phases::Utilities);
        break;
    default:
        break;
    }
}

void DetailWindow::MemoryConfirm() {
    if (CurrentMode() != Phases::LoadStMem || StepNo != 500 || d_.tx.AwaitingReply)
        return;
    ShowMemoryPreview(false);
    at("BtnMemConfirm").setVisible(false);
    at("BtnMemCancel").setVisible(false);
    const std::string d = MemoryDigit();
    if (LoadMemory) {
        at("MemoryMsg").setText("Loading...").setTextColour(Colours::blue);
        StepNo = 2;
        SendRequest("CLD=" + d);
        memoryTicks_ = 0;
    } else {
        at("MemoryMsg").setText("Storing...").setTextColour(Colours::blue);
        StepNo = 5;
        SendRequest("CST=" + d);
    }
}

void DetailWindow::MemoryCancel() {
    ShowMemoryPreview(false);
    at("BtnMemConfirm").setVisible(false);
    at("BtnMemCancel").setVisible(false);
    ClearUtilityLabels();
    RequestMode(Phases::Utilities);
}

} // namespace linvar
