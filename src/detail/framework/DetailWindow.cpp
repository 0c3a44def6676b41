// The window, its tick and the exchange with the unit.

#include "detail/framework/DetailWindow.h"

#include "logging/Capture.h"
#include "poll/PollCycle.h"
#include "setup/SystemSetup.h"
#include "ui/Operator.h"
#include "ui/UserError.h"
#include "wire/TextFormats.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace linvar {

std::string DetailWindow::FixedReal(double value, int decimals) {
    char b[64];
    std::snprintf(b, sizeof b, "%.*f", decimals, value);
    return b;
}

DetailWindow::DetailWindow(DetailDeps deps, DetailInputs in, std::string screenName)
    : Screen(std::move(screenName), "Detail"), UnitAddress(std::move(in.UnitAddress)),
      UnitName(std::move(in.UnitName)), IdentityCode(std::move(in.IdentityCode)),
      CurrentEnd(in.CurrentEnd), ModemPairPresent(in.ModemPairPresent), d_(deps) {}

DetailWindow::~DetailWindow() {
    *alive_ = false;
}

const BoxRow* DetailWindow::BoxByControl(const std::string& control) const {
    for (const BoxRow& b : boxes_)
        if (b.control == control)
            return &b;
    return nullptr;
}

const BoxRow* DetailWindow::BoxByCommand(const std::string& mnemonic) const {
    for (const BoxRow& b : boxes_)
        if (b.command == mnemonic)
            return &b;
    return nullptr;
}

bool DetailWindow::InConfiguration() const {
    return Contains(CurrentMode(), "CONFIG");
}

int DetailWindow::EndNumber(EndTimings::Field field, const char* what, int fallback) const {
    const EndRecord& e = d_.setup.rec(CurrentEnd);
    const std::string& text = field == EndTimings::Delay ? e.DelayText : e.TimeoutText;
    return d_.tx.timings.Read(CurrentEnd, field, text, fallback, [&] {
        d_.op.report(std::string(UserError::notInteger(text).what()) + " (" + what + " of " +
                     UnitName + ", link: " + IdText() + ")");
    });
}

int DetailWindow::DelayMs() const {
    return std::max(EndNumber(EndTimings::Delay, "delay", 50), 50);
}

int DetailWindow::TimeoutSeconds() const {
    return EndNumber(EndTimings::Timeout, "time-out", 2);
}

const std::string& DetailWindow::IdText() const {
    return d_.setup.rec(CurrentEnd).IdText;
}

bool DetailWindow::PairedUnit() const {
    return ModemPairPresent || (s_.DistantEnd && PairFlag() == "1");
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

void DetailWindow::AddStatusGroups(const std::string& panel,
                                   const std::vector<std::string>& columns,
                                   const std::vector<StatusGroup>& groups) {
    for (const std::string& column : columns)
        add(panel, column, ControlKind::Panel).setLayout(Layout::Column);
    for (const StatusGroup& g : groups) {
        AddGroup(g.column, g.name, g.caption);
        for (const StatusValue& v : g.values)
            AddValue(g.name, v.name, v.caption).setWidth(v.width);
    }
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
    add("PhaseButtons", "BtnLogs", ControlKind::Button, family_.logsCaption)
        .setVisible(family_.panels.logs);
    add("PhaseButtons", "BtnUtilities", ControlKind::Button, "&Utilities")
        .setVisible(family_.panels.utilities);
    add("PhaseButtons", "BtnTrends", ControlKind::Button, "Tre&nds")
        .setVisible(onTrends != nullptr);
    add("PhaseButtons", "BtnClose", ControlKind::Button, "&Close");
    setCloseControl("BtnClose");
    add("PhaseButtons", "BtnHelp", ControlKind::Button, "&Help");
    add("ControlBox", "CaptureRow", ControlKind::Panel).setLayout(Layout::Row);
    add("CaptureRow", "BtnCapture", ControlKind::Button, "Enable &I/O Capture File");
    add("CaptureRow", "CaptureState", ControlKind::Label, "Capture disabled");
    add("CaptureRow", "WaitText", ControlKind::Label, "Waiting for response, please wait...")
        .setVisible(false);
    add("CaptureRow", "WaitMs", ControlKind::Label).setVisible(false);

    const bool steps = family_.steering == Steering::Steps;
    auto button = [this, steps](const char* control, const char* phase, int step) {
        onClick(control, [this, steps, phase, step] {
            if (steps)
                RequestStep(step);
            else
                RequestMode(phase);
        });
    };
    button("BtnStatus", Phases::Status1, family_.statusStep);
    button("BtnConfig", Phases::Config, family_.configStep);
    if (steps && family_.logsPhase)
        onClick("BtnLogs", [this] {
            RequestStep(-1); // the later press wins
            RequestMode(Phases::ReadLog);
        });
    else
        button("BtnLogs", Phases::ReadLog, family_.logsStep);
    onClick("BtnUtilities", [this, steps] {
        ClearUtilityLabels();
        if (steps)
            RequestStep(family_.utilitiesStep);
        else
            RequestMode(Phases::Utilities);
    });
    onClick("BtnClose", [this] { RequestMode(Phases::ExitModal); });
    onClick("BtnHelp", [this] { d_.op.showHelp(family_.helpTopic); });
    // The readings of this unit over time; the window and its exchanges go on meanwhile.
    onClick("BtnTrends", [this] {
        if (onTrends)
            onTrends(UnitAddress);
    });
    onClick("BtnCapture", [this] {
        d_.capture.ToggleCapture();
        ShowCaptureState();
    });
}

// ---- activation ----------------------------------------------------------------------

void DetailWindow::Activate() {
    // A screen that cannot be built (or shown) is reported and closed: the station goes on.
    bool ready = false;
    guarded([this, &ready] {
        ActivateScreen();
        ready = true;
    });
    if (!ready) {
        timerOn_ = false;
        closed_ = true;
    }
}

void DetailWindow::ActivateScreen() {
    s_.ModelName = Identify();
    if (!built_) {
        family_ = Describe();
        setHelpTopic(family_.helpTopic);
        const unsigned bits = ModelBits();
        std::set<std::string> familyBoxes;
        for (BoxRow& b : ConfigBoxes()) {
            familyBoxes.insert(b.control);
            if (b.models == 0 || (b.models & bits))
                boxes_.push_back(std::move(b));
        }
        composites_ = Composites();
        masks_ = Masks();
        masksRow_.control = masks_.group;
        masksRow_.command = masks_.command;
        BuildCommon();
        if (family_.panels.logs)
            BuildLogs();
        if (family_.panels.utilities)
            BuildUtilities();
        BuildFamily();
        CheckRows(familyBoxes);
        BuildConfigBoxes();
        built_ = true;
    }
    ShowCaptureState();
    ShowPanels(true, false, false, false);
    ShowInstruction("");
    ShowNotice("", Colours::black);
    if (family_.panels.utilities) {
        for (const char* c : {"ClockComputer", "ClockOffset", "ClockModem"})
            at(c).setText("");
        at("HourOffset").selectText(family_.clock.hourZero);
        at("QuarterOffset").selectText(" 0");
        if (family_.memory.present)
            at("MemoryList").selectText(" 0");
    }
    s_.RemoteMode = true;
    s_.OnlineUnit = s_.LrsChanged = s_.LoadMemory = s_.DetailConfigChanged = false;
    s_.PendingUtility = s_.EventLinesLeft = s_.StatsLinesLeft = 0;
    // Even records are the DISTANT ends of the links; the redundant modems (42, 44) stand
    // beside their switch and are LOCAL units.
    s_.DistantEnd = CurrentEnd % 2 == 0 && CurrentEnd <= 2 * SystemSetup::LinkCount;
    EnableButtons(false, false, false, false);
    ClearStatus();
    setCaption("Detail of " + UnitName + ", link: " + IdText() + "       " + s_.ModelName);
    ActivateFamily();
    timerOn_ = true;
    closed_ = false;
    RequestMode(Phases::Status1);
}

void DetailWindow::ShowCaptureState() {
    const bool on = d_.capture.CaptureOn();
    at("BtnCapture").setText(on ? "Disable &I/O Capture File" : "Enable &I/O Capture File");
    at("CaptureState").setText(on ? "Capture enabled" : "Capture disabled");
}

void DetailWindow::CloseNow() {
    if (timerOn_ && UnitHeld()) {
        RequestMode(Phases::ExitModal);
        return;
    }
    KeepUnwrittenLog();
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
        // Capture may have gone off by itself (a file that cannot be written).
        ShowCaptureState();
        if (tx.TimeoutLeft > 0)
            at("WaitMs").setText(std::to_string(tx.TimeoutLeft) + " msec");
        if (tx.DelayLeft > 0) {
            tx.DelayLeft -= kTickMs;
        } else {
            tx.DelayLeft = 0;
            tx.CountDown(kTickMs);
        }
        if (s_.StepNo != lastTracedStep_ && d_.capture.CaptureOn()) {
            d_.capture.CaptureLine(std::to_string(s_.StepNo), "[num]");
            lastTracedStep_ = s_.StepNo;
        }
        if (clearInstructionTicks_ > 0 && --clearInstructionTicks_ == 0)
            ShowInstruction("");
        if (tx.DelayLeft > 0)
            return;
        if (masksLeft_ && !tx.AwaitingReply)
            ChangeMasks();
        OnTick();
        ModeSwitch();
        Dispatch();
    });
}

void DetailWindow::ModeSwitch() {
    TransactionState& tx = d_.tx;
    const bool stepWanted = requestedStep_ >= 0 && tx.RequestedMode != Phases::ExitModal;
    if (tx.RequestedMode.empty() && !stepWanted) {
        at("WaitText").setVisible(false);
        at("WaitMs").setVisible(false);
        return;
    }
    if (tx.AwaitingReply || UnitHeld()) {
        at("WaitText").setVisible(true);
        at("WaitMs").setText(std::to_string(tx.TimeoutLeft) + " msec").setVisible(true);
        return;
    }
    if (stepWanted) {
        // A step list: the button's step replaces the running one and any phase asked
        // for before it.
        s_.StepNo = requestedStep_;
        requestedStep_ = -1;
        tx.RequestedMode.clear();
        if (tx.CurrentMode == Phases::ReadLog)
            tx.CurrentMode = Phases::Status1; // back to the family's own steps
    } else {
        tx.CurrentMode = tx.RequestedMode;
        s_.StepNo = 0;
        tx.RequestedMode.clear();
        Trace(tx.CurrentMode, "[New]");
    }
    OnModeAdopted();
    at("WaitText").setVisible(false);
    at("WaitMs").setVisible(false);
    ShowMemoryPreview(false, false);
    tx.DelayLeft = 0;
}

void DetailWindow::Dispatch() {
    const std::string mode = CurrentMode();
    const int step = s_.StepNo;
    if (mode == Phases::ExitModal) {
        Exit();
    } else if (family_.steering == Steering::Steps && mode != Phases::ReadLog) {
        if (family_.panels.utilities && shown("PanelUtilities"))
            RefreshClockLines();
        // The reply to a change and the pause after a rejection are the framework's in
        // every shape of window.
        if (step == ConfigSteps::SetReply ||
            (step >= ConfigSteps::PauseFirst &&
             step <= ConfigSteps::PauseFirst + family_.rejection.pauseTicks))
            ConfigTail();
        else
            Step();
    } else if (mode == Phases::Status1) {
        if (step == 0)
            StatusStart();
        else
            IdentityStep();
    } else if (mode == Phases::Status2) {
        if (step > 0)
            StatusStep();
    } else if (mode == Phases::Config || mode == Phases::SetConfig) {
        if (step == 0) {
            if (mode == Phases::Config)
                ConfigStart();
        } else if (step == ConfigSteps::Unlock || step == ConfigSteps::Gate ||
                   step == ConfigSteps::SetConfig || step == ConfigSteps::Idle ||
                   step == ConfigSteps::SetReply ||
                   (step >= ConfigSteps::PauseFirst && step <= ConfigSteps::Resume)) {
            ConfigTail();
        } else {
            ConfigStep();
        }
    } else if (mode == Phases::ReadLog) {
        if (step == 0)
            LogStart();
        else
            LogStep();
    } else if (mode == Phases::Utilities) {
        RefreshClockLines();
        if (step == 0)
            UtilitiesStart();
        else
            UtilitiesStep();
    } else if (mode == Phases::LoadStMem) {
        if (step == 0)
            MemoryStart();
        else
            MemoryStep();
    } else if (mode == Phases::Switchover) {
        if (step == 0)
            SwitchoverStart();
        else
            SwitchoverStep();
    }
}

void DetailWindow::Exit() {
    KeepUnwrittenLog();
    timerOn_ = false;
    closed_ = true;
}

// ---- the exchange ------------------------------------------------------------------

void DetailWindow::SendRequest(const std::string& command) {
    s_.LastMnemonic = command.substr(0, 3);
    d_.tx.AwaitingReply = true;
    d_.port.WriteRequest(RequestText(UnitAddress, command));
    s_.StepNo += 1;
    if (Contains(CurrentMode(), "CONFIG")) {
        if (Contains(command, "="))
            ShowInstruction("Configuring the " + s_.ModelName + ", please wait...");
        else if (Contains(command, "?"))
            ShowInstruction("Reading the " + s_.ModelName + ", please wait...");
    }
    int seconds = TimeoutSeconds();
    if (s_.LastMnemonic == family_.replies.slowMnemonic)
        seconds = std::max(seconds, family_.replies.slowSeconds);
    requestSeconds_ = seconds;
    d_.tx.Sent(seconds * 1000, clock().monotonicMs(), TransactionState::WaitEnd::Reached);
}

std::string DetailWindow::TakeReply(const std::string& mnemonic) {
    TransactionState& tx = d_.tx;
    const Dialect& dialect = family_.replies;
    if (auto payload = MatchReply(d_.port.ReceivedMessage(), UnitAddress, mnemonic)) {
        if (CurrentMode() != Phases::SetConfig)
            tx.DelayLeft = DelayMs();
        std::string reply = *payload;
        switch (ClassOf(reply)) {
        case ReplyClass::Value:
        case ReplyClass::Plus:
            if (Accepted(reply, dialect.plusClass))
                s_.ReplyColour = Colours::lime;
            break;
        case ReplyClass::NotPermitted:
        case ReplyClass::InvalidArgs:
            reply = ClassifyPayload(reply, ReplyDialect::Modem);
            s_.ReplyColour = Colours::red;
            break;
        case ReplyClass::OblixTimeout:
            if (!dialect.tildeText.empty()) {
                reply = dialect.tildeText;
                s_.ReplyColour = Colours::blue;
            }
            break;
        case ReplyClass::UnknownCommand:
            if (!dialect.bangText.empty()) {
                reply = dialect.bangText;
                s_.ReplyColour = Colours::red;
            }
            break;
        case ReplyClass::Other:
            break;
        }
        tx.AwaitingReply = false;
        s_.NoComms = false;
        if (!dialect.timeoutNotice.empty())
            ShowNotice("", Colours::black);
        s_.LastReply = reply;
        return reply;
    }
    // The time-out is declared once, when the whole wait has passed for the awaited reply.
    if (tx.AwaitingReply && tx.WaitedOut(clock().monotonicMs())) {
        s_.NoComms = true;
        s_.ReplyColour = Colours::blue;
        tx.AwaitingReply = false;
        if (dialect.traceTimeout)
            Trace(" at " + std::to_string(requestSeconds_) + " sec", "[timed out]");
        if (!dialect.timeoutNotice.empty())
            ShowNotice(dialect.timeoutNotice, Colours::red);
        s_.LastReply = kNoComms;
        return kNoComms;
    }
    return kCountedOut;
}

void DetailWindow::IdentityStep() {
    if (tables_.identity.empty())
        return;
    if (StepNo == kIdentityDone) {
        SetCurrentMode(Phases::Status2);
        state().StepNo = 1;
        return;
    }
    RunSteps(tables_.identity);
}

void DetailWindow::StatusStep() {
    if (tables_.status.empty())
        return;
    RunSteps(tables_.status);
    if (!deps().tx.AwaitingReply && StartsWith(State().LastReply, "T") &&
        CurrentMode() == Phases::Status2)
        state().StepNo = StatusRestartStep();
}

void DetailWindow::ConfigStep() {
    RunSteps(tables_.config);
}

bool DetailWindow::RunSteps(const std::vector<ReadStep>& table) {
    for (const ReadStep& row : table) {
        if (s_.StepNo == row.step) {
            SendRequest(row.request);
            return true;
        }
        if (s_.StepNo != row.step + 1)
            continue;
        const std::string r = TakeReply(row.request.substr(0, 3));
        if (r == kCountedOut)
            return true;
        const int routed = row.decode ? row.decode(r) : 0;
        if (routed != 0)
            s_.StepNo = routed;
        else if (Accepted(r) || row.failNext == 0)
            s_.StepNo = row.next;
        else
            s_.StepNo = row.failNext;
        return true;
    }
    return false;
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
    at("PanelUtilities").setVisible(utilities && family_.panels.utilities);
    at("PanelLogs").setVisible(logs && family_.panels.logs);
}

void DetailWindow::EnableButtons(bool status, bool config, bool utilities, bool logs) {
    at("BtnStatus").setEnabled(status);
    at("BtnConfig").setEnabled(config);
    at("BtnUtilities").setEnabled(utilities);
    at("BtnLogs").setEnabled(logs);
    if (!family_.configCaption.empty())
        at("BtnConfig").setText(family_.configCaption);
    else
        at("BtnConfig")
            .setText(Contains(CurrentMode(), "CONFIG") ? "Re-Read Con&fig" : "Con&figure");
}

void DetailWindow::SetValue(const std::string& name, const std::string& text, Colour background) {
    at(name).setText(text).setBackground(background).setTextColour(Colours::black);
}

void DetailWindow::ClearValue(const std::string& name) {
    at(name).setText("").clearBackground();
}

void DetailWindow::DecodeLrs(const std::string& reply, const std::string& label) {
    if (!StartsWith(reply, "=")) {
        SetValue(label, Chars(reply, 2, 20),
                 StartsWith(reply, "T") ? Colours::yellow : Colours::red);
        s_.RemoteMode = false;
        return;
    }
    const char digit = reply.size() > 1 ? reply[1] : ' ';
    if (digit == '0') {
        s_.RemoteMode = s_.DistantEnd;
        SetValue(label, s_.DistantEnd ? "SLAVE" : "LOCAL",
                 s_.DistantEnd ? Colours::white : Colours::yellow);
    } else {
        SetValue(label, "REMOTE", Colours::white);
        s_.RemoteMode = true;
    }
    if (!remoteStateBox_.empty())
        SetBoxIndex(remoteStateBox_, digit - '0');
}

int DetailWindow::ConfigLrs(const std::string& reply, int next) {
    if (StartsWith(reply, "=")) {
        s_.LrsChanged = !s_.RemoteMode;
        s_.RemoteMode = reply.size() > 1 && reply[1] == '1';
        if (!remoteStateBox_.empty())
            SetBoxIndex(remoteStateBox_, reply.size() > 1 ? reply[1] - '0' : -1);
        return next;
    }
    s_.RemoteMode = false;
    if (!s_.DistantEnd) {
        LockConfig(false);
        return ConfigSteps::Gate;
    }
    return 1;
}

void DetailWindow::StatusStart() {
    ClearUtilityLabels();
    ClearStatus();
    EnableButtons(false, false, false, false);
    ShowPanels(true, false, false, false);
    ShowInstruction("");
    s_.StepNo = 1;
}

} // namespace linvar
