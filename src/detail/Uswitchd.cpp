// The redundancy switch window's code: its panels, the steps that are not plain readings,
// the decoders of its replies, the changes made by buttons and check boxes, the utilities
// and the event log.

#include "detail/Uswitchd.h"

#include "protocol/TextFormats.h"
#include "ui/Clock.h"

#include <iterator>
#include <tuple>

namespace linvar {

namespace {

constexpr int kFailure = 110;
constexpr int kConfigWait = 451;
constexpr int kBridgeQuestion = 102;

const char* const kMaskLamps[] = {"MskUnit", "MskTx",    "MskRx",    "MskPsuA",
                                  "MskPsuB", "MskAudSw", "MskAudMdm"};
const char* const kLampRows[] = {"LmpIns", "LmpVal", "LmpAct"};

std::string Numbered(const char* name, int k) {
    return name + std::to_string(k);
}

Colour Masked(bool masked) {
    return masked ? Colours::gray : Colours::yellow;
}

} // namespace

TDetailSwitch::TDetailSwitch(DetailDeps deps, DetailInputs inputs)
    : DetailWindow(deps, std::move(inputs), "DetailSwitch") {
    steps_ = ReadingSteps();
}

std::string TDetailSwitch::Identify() {
    return "";
}

// ---- the panels ---------------------------------------------------------------------------

void TDetailSwitch::BuildFamily() {
    remoteStateBox_ = "ConfLRS";
    BuildStatus();
    BuildConfig();
    BuildUtilityExtras();
    at("BtnLogs").setText("&Log");
    at("LogBox").setText("Log");

    onClick("BtnStatus", [this] {
        at("Instruction").setVisible(false);
        RequestStep(kStatus);
    });
    onClick("BtnConfig", [this] {
        at("Instruction").setVisible(true);
        configPanelWasOpen_ = shown("PanelConfig");
        RequestStep(kConfig);
    });
    onClick("BtnClose", [this] {
        ClearStatus();
        RequestMode(Phases::ExitModal);
    });
}

void TDetailSwitch::BuildStatus() {
    add("PanelStatus", "StatusLeft", ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("StatusLeft", "GrpInterfaces", "Traffic Modem Interfaces", 11);
    add("GrpInterfaces", "LmpHead", ControlKind::Label);
    for (int k = 1; k <= 10; ++k)
        add("GrpInterfaces", Numbered("LmpNo", k), ControlKind::Label, std::to_string(k))
            .setWidth(3);
    const char* const rows[] = {"Installed", "Valid Configuration", "Active"};
    for (int row = 0; row < 3; ++row) {
        add("GrpInterfaces", std::string(kLampRows[row]) + "Cap", ControlKind::Label, rows[row]);
        for (int k = 1; k <= 10; ++k)
            add("GrpInterfaces", Numbered(kLampRows[row], k), ControlKind::Label).setWidth(3);
    }

    AddGroup("StatusLeft", "GrpMasks", "Alarm Masks", 0);
    const struct {
        const char* group;
        const char* caption;
        std::vector<std::pair<const char*, const char*>> lamps;
    } masks[] = {
        {"GrpMaskModem",
         "Modem",
         {{"MskUnit", "Unit Fault"}, {"MskTx", "TX Traffic Fault"}, {"MskRx", "RX Traffic Fault"}}},
        {"GrpMaskSwitch", "Switch", {{"MskPsuA", "PSU  A"}, {"MskPsuB", "PSU  B"}}},
        {"GrpMaskAudio",
         "Audio Alarm",
         {{"MskAudSw", "Switch Fault"}, {"MskAudMdm", "Modem Fault"}}},
    };
    for (const auto& m : masks) {
        AddGroup("GrpMasks", m.group, m.caption, 0).setLayout(Layout::Row);
        for (const auto& [name, caption] : m.lamps)
            add(m.group, name, ControlKind::Label, caption).setWidth(16);
    }
    add("GrpMaskAudio", "AudioState", ControlKind::Label).setWidth(20);
    add("GrpMasks", "MaskLegend", ControlKind::Panel).setLayout(Layout::Row);
    add("MaskLegend", "LegendMasked", ControlKind::Label, "Alarm masked")
        .setBackground(Colours::gray);
    add("MaskLegend", "LegendUnmasked", ControlKind::Label, "Alarm unmasked")
        .setBackground(Colours::yellow);

    AddStatusGroups("PanelStatus", {"StatusRight"}, StatusPanel());
}

void TDetailSwitch::BuildConfig() {
    for (const char* col : {"ConfLeft", "ConfMid", "ConfRight"})
        add("PanelConfig", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("ConfLeft", "GrpSwitchConf", "Configuration");
    AddGroup("ConfMid", "GrpBridgeConf", "Redundant Modem");
    AddGroup("ConfMid", "GrpMaskConf", "", 2);
    for (const auto& [group, caption, first, firstText, second, secondText] :
         std::vector<std::tuple<const char*, const char*, const char*, const char*, const char*,
                                const char*>>{{"GrpModemMask", "Modem Alarm Mask", "ConfMamTx",
                                               "TX Faults", "ConfMamRx", "RX Faults"},
                                              {"GrpAudioMask", "Audio Alarm Mask", "ConfAamSw",
                                               "Switch Faults", "ConfAamMdm", "Modem Faults"}}) {
        AddGroup("ConfMid", group, caption, 0).setLayout(Layout::Row);
        add(group, first, ControlKind::Check, firstText);
        add(group, second, ControlKind::Check, secondText);
        for (const char* box : {first, second})
            onEnter(box, [this] { ShowInstruction("Check boxes of desired alarms to be masked"); });
    }
    onChange("ConfMamTx", [this] { MaskClicked("MAM", "ConfMamTx", "ConfMamRx", 25); });
    onChange("ConfMamRx", [this] { MaskClicked("MAM", "ConfMamTx", "ConfMamRx", 25); });
    onChange("ConfAamSw", [this] { MaskClicked("AAM", "ConfAamSw", "ConfAamMdm", 33); });
    onChange("ConfAamMdm", [this] { MaskClicked("AAM", "ConfAamSw", "ConfAamMdm", 33); });

    AddGroup("ConfRight", "GrpActivate", "Activate/Deactivate Modems", 0);
    add("GrpActivate", "ActButtons", ControlKind::Panel).setLayout(Layout::Grid, 10);
    for (int k = 1; k <= 10; ++k)
        add("ActButtons", Numbered("ActNo", k), ControlKind::Label, std::to_string(k));
    for (int k = 1; k <= 10; ++k) {
        add("ActButtons", Numbered("BtnAct", k), ControlKind::Button, "U").setWidth(3);
        onClick(Numbered("BtnAct", k), [this, k] { ActivatePressed(k); });
    }
    for (const auto& [name, legend] : std::vector<std::pair<const char*, const char*>>{
             {"ActLegendA", "A = Activate a Modem"},
             {"ActLegendD", "D = Deactivate a Modem that is currently active"},
             {"ActLegendU", "U = Modem is Unable to be activated"}})
        add("GrpActivate", name, ControlKind::Label, legend).setTextColour(Colours::blue);
}

void TDetailSwitch::BuildUtilityExtras() {
    // The clock group as this window names it; no buffer or switchover here.
    at("ClockBox").setText("Date and Time");
    at("HourOffsetCap").setText("Select an hour offset, if desired");
    at("QuarterOffsetCap").setText("Time offset");
    at("BtnSetTime").setText("Set &Time (including offset)");
    at("MemoryBox").setText("Load and Store");
    at("BtnMemConfirm").setText("Confir&m");
    add("MemoryBox", "MemoryHint", ControlKind::Label,
        "Select a memory location above, then click on a button below:");
    at("MemPreview").setText("Location Contents");
    add("MemPreview", "PrvMode", ControlKind::Label).setWidth(22);
    add("MemPreview", "PrvLamps", ControlKind::Panel).setLayout(Layout::Row);
    for (int k = 1; k <= 10; ++k)
        add("PrvLamps", Numbered("PrvLmp", k), ControlKind::Label, std::to_string(k)).setWidth(3);
    add("MemPreview", "PrvLegend", ControlKind::Panel).setLayout(Layout::Row);
    add("PrvLegend", "PrvActive", ControlKind::Label, "=active").setBackground(Colours::lime);
    add("PrvLegend", "PrvIdle", ControlKind::Label, "=not active").setBackground(Colours::gray);

    onClick("BtnSetTime", [this] {
        ClearUtilityLabels();
        at("LblDate").setText("Setting date...").setTextColour(Colours::blue);
        RequestStep(kSetTime);
    });
    const auto memoryButton = [this](bool load) {
        state().LoadMemory = load;
        at(load ? "BtnLoad" : "BtnStore").setEnabled(false);
        ClearUtilityLabels();
        RequestStep(kMemoryRead);
    };
    onClick("BtnLoad", [memoryButton] { memoryButton(true); });
    onClick("BtnStore", [memoryButton] { memoryButton(false); });
    onClick("BtnMemConfirm", [this] {
        ShowMemoryPreview(false, false);
        at("BtnMemConfirm").setVisible(false);
        at("BtnMemCancel").setVisible(false);
        const bool load = State().LoadMemory;
        at("MemoryMsg").setText(load ? "Loading..." : "Storing...").setTextColour(Colours::blue);
        RequestStep(load ? kMemoryLoad : kMemoryStore);
    });
    onClick("BtnMemCancel", [this] {
        ShowMemoryPreview(false, false);
        at("BtnMemConfirm").setVisible(false);
        at("BtnMemCancel").setVisible(false);
        messageHoldTicks_ = 1;
        ClearUtilityLabels();
    });
}

void TDetailSwitch::ActivateFamily() {
    // Opened at once from the summary, perhaps while a poll's reply was still awaited:
    // that exchange is abandoned, the window's own requests take the line.
    deps().tx.AwaitingReply = false;
    state().RemoteMode = false;
    modelCode_.clear();
    actFlags_.clear();
    configPanelWasOpen_ = false;
    messageHoldTicks_ = 0;
    ShowPanels(false, false, false, false);
    at("Instruction").setVisible(false);
    at("StaTMI").setVisible(false);
    at("StaTMICap").setVisible(false);
    for (int k = 1; k <= 10; ++k)
        at(Numbered("BtnAct", k)).setText("U").setEnabled(false);
    setCaption("Detail of a MQX Redundancy Switch");
}

void TDetailSwitch::ClearStatus() {
    for (const Control* c : controls()) {
        const std::string& n = c->name();
        if (c->kind() == ControlKind::Label && n.find("Cap") == std::string::npos &&
            (n.rfind("Sta", 0) == 0 || n.rfind("Lmp", 0) == 0) && n.rfind("LmpNo", 0) != 0)
            ClearValue(n);
    }
    for (const char* m : kMaskLamps)
        at(m).clearBackground();
    ClearValue("AudioState");
}

void TDetailSwitch::ShowCaption(const std::string& more) {
    setCaption(caption() + more);
}

// ---- going to a step ---------------------------------------------------------------------

int TDetailSwitch::ConfigNext(int n) const {
    return shown("PanelConfig") && !configPanelWasOpen_ ? kConfigWait : n;
}

int TDetailSwitch::AcceptedNext() const {
    return shown("PanelConfig") ? kConfigWait : 21;
}

int TDetailSwitch::RereadStep(const std::string& mnemonic, bool accepted) const {
    if (accepted)
        return mnemonic == "ACT" && shown("PanelConfig") ? 71 : AcceptedNext();
    if (const BoxSpec* b = BoxByCommand(mnemonic))
        return b->retry;
    return rereadOf_ ? rereadOf_ : 21;
}

void TDetailSwitch::AfterAccepted(const std::string& mnemonic) {
    if (mnemonic == "SID")
        SetValue("StaSID", at("ConfSID").text(), Colours::white);
    if (mnemonic == "BKH" || mnemonic == "RSH")
        SetValue("Sta" + mnemonic, LeftTrim(at("Conf" + mnemonic).text()), Colours::white);
    if (shown("PanelConfig")) {
        ShowInstruction("Click on a box to change the information");
        LockConfig(false);
    }
}

void TDetailSwitch::Step() {
    if (State().StepNo == 0)
        state().StepNo = kStart;
    if (RunSteps(steps_) || ControlStep() || UtilityStep())
        return;
    LogStep();
}

bool TDetailSwitch::ControlStep() {
    int& step = state().StepNo;
    switch (step) {
    case kStart:
        ClearStatus();
        ClearUtilityLabels();
        ShowInstruction("");
        ShowPanels(true, false, false, false);
        EnableButtons(false, false, false, false);
        step = 1;
        return true;
    case 99:
        ShowInstruction("Click on a box to change the information");
        step = ConfigSteps::Idle;
        return true;
    case ConfigSteps::Idle:
        ShowNotice("", Colours::black);
        return true;
    case kBridgeQuestion:
        return true;
    case kFailure:
        SetValue("StaSID", Chars(State().LastReply, 2, 30), Colours::yellow);
        step = 21;
        return true;
    case kStatus:
        ShowPanels(true, false, false, false);
        EnableButtons(false, true, true, true);
        step = 21;
        return true;
    case kConfig:
        ShowPanels(true, true, false, false);
        EnableButtons(true, true, true, true);
        at("Instruction").setVisible(true);
        LockConfig(false);
        if (configPanelWasOpen_) {
            ShowInstruction("Re-reading configuration...");
            step = 21;
        } else {
            step = kConfigWait;
        }
        return true;
    case kConfigWait:
        step = kConfigIdle;
        return true;
    case kConfigIdle:
        return true;
    default:
        return false;
    }
}

// ---- decoders ----------------------------------------------------------------------------

void TDetailSwitch::DecodeMam(char digit) {
    const int d = digit >= '0' && digit <= '3' ? digit - '0' : 0;
    masksRead_[0] = static_cast<char>('0' + d);
    at("ConfMamTx").setChecked(d & 1);
    at("ConfMamRx").setChecked(d & 2);
    at("MskUnit").setBackground(Colours::yellow);
    at("MskTx").setBackground(Masked(d & 1));
    at("MskRx").setBackground(Masked(d & 2));
}

void TDetailSwitch::DecodeSam(char digit) {
    const int d = digit >= '0' && digit <= '2' ? digit - '0' : 0;
    SetBoxIndex("ConfSAM", d);
    at("MskPsuA").setBackground(Masked(d == 1));
    at("MskPsuB").setBackground(Masked(d == 2));
}

void TDetailSwitch::DecodeAam(char digit) {
    const int d = digit >= '0' && digit <= '3' ? digit - '0' : 0;
    masksRead_[1] = static_cast<char>('0' + d);
    at("ConfAamSw").setChecked(d & 1);
    at("ConfAamMdm").setChecked(d & 2);
    at("MskAudSw").setBackground(Masked(d & 1));
    at("MskAudMdm").setBackground(Masked(d & 2));
    if (d == 3)
        SetValue("AudioState", "Audio Alarm Disabled", Colours::yellow);
    else
        SetValue("AudioState", "Audio Alarm Enabled", Colours::lime);
}

void TDetailSwitch::DecodeOpm(char digit) {
    SetBoxIndex("ConfOPM", digit == '0' || digit == '1' ? digit - '0' : -1);
    SetValue("StaOPM", at("ConfOPM").selectedText(),
             digit == '0' ? Colours::yellow : Colours::lime);
    at("ConfBBM").setEnabled(!EffectivelyLocked() && digit == '0');
}

void TDetailSwitch::DecodeInterfaces(const std::string& reply) {
    for (int k = 1; k <= 10; ++k) {
        const std::string d = Chars(reply, 1 + k, 1);
        const InterfaceLook look = LookOf(modelCode_, d.empty() ? '0' : d[0]);
        at(Numbered("LmpIns", k)).setBackground(look.installed);
        at(Numbered("LmpVal", k)).setBackground(look.valid);
        at(Numbered("LmpAct", k)).setBackground(look.active);
        at(Numbered("BtnAct", k)).setText(look.button);
    }
    EnableActivateButtons();
}

void TDetailSwitch::DecodeFaults(const std::string& reply) {
    static const char* const comms[] = {"OK",         "Not present",  "I/O timeout",
                                        "Not Remote", "In Test Mode", "MGC problem"};
    const std::string c = Chars(reply, 2, 1);
    if (!c.empty() && c[0] >= '0' && c[0] <= '5')
        SetValue("StaRMC", comms[c[0] - '0'], c[0] == '0' ? Colours::lime : Colours::red);
    SetValue("StaPSA", "PSU-A OK", Colours::lime);
    SetValue("StaPSB", "PSU-B OK", Colours::lime);
    // Characters 3-14, each on its supply's label; later ones win.
    static const char* const supplies[] = {
        "+5V PSU-A under",  "+5V PSU-A over",  "+5V PSU-B under",  "+5V PSU-B over",
        "+12V PSU-A under", "+12V PSU-A over", "+12V PSU-B under", "+12V PSU-B over",
        "-12V PSU-A under", "-12V PSU-A over", "-12V PSU-B under", "-12V PSU-B over"};
    for (int i = 0; i < 12; ++i)
        if (Chars(reply, 3 + i, 1) == "1")
            SetValue(i / 2 % 2 ? "StaPSB" : "StaPSA", supplies[i], Colours::red);
    if (modelCode_ == "430") {
        const std::string t = Chars(reply, 15, 1);
        if (t == "0")
            SetValue("StaTMI", "TMI:I/F OK", Colours::lime);
        else
            SetValue("StaTMI", "TMI:I/F " + t, Colours::red);
    }
}

void TDetailSwitch::DecodeBridge(const std::string& reply) {
    const std::string mode = Chars(reply, 2, 1);
    SetBoxIndex("ConfBBM", IntOfText(mode));
    SetBoxIndex("ConfBTM", IntOfText(Chars(reply, 3, 2)) - 1);
    SetValue("StaBBU", at("ConfBBM").selectedText() + " TM #" + at("ConfBTM").selectedText(),
             mode == "0" ? Colours::lime : Colours::red);
}

void TDetailSwitch::DecodeUnread(const std::string& reply) {
    const int n = IntOfText(Chars(reply, 2, 2));
    const Colour c = n > 86 ? Colours::yellow : Colours::white;
    SetValue("StaNUE", std::to_string(n), c);
    SetValue("LogCount", std::to_string(n), c);
}

int TDetailSwitch::DecodeLocalRemote(const std::string& reply) {
    const bool remote = Chars(reply, 2, 1) == "1";
    SetBoxIndex("ConfLRS", remote ? 1 : 0);
    SetValue("StaLRS", at("ConfLRS").selectedText(), remote ? Colours::lime : Colours::yellow);
    state().RemoteMode = remote;
    if (configPanelWasOpen_) {
        configPanelWasOpen_ = false;
        ShowInstruction("");
    }
    ShowNotice("", Colours::black);
    if (shown("PanelConfig")) {
        // The switch may have left remote mode: the boxes follow.
        LockConfig(false);
        return kConfigWait;
    }
    EnableButtons(false, true, true, true);
    return remote ? 71 : 21;
}

// ---- changes made by buttons and check boxes ----------------------------------------------

bool TDetailSwitch::ActFlagsRead() const {
    if (actFlags_.size() != 11 || actFlags_[0] != '=')
        return false;
    return actFlags_.find_first_not_of("01", 1) == std::string::npos;
}

void TDetailSwitch::EnableActivateButtons() {
    // Never an "ACT=" from flags the switch has not given.
    const bool possible = ActFlagsRead() && !EffectivelyLocked();
    for (int k = 1; k <= 10; ++k) {
        Control& b = at(Numbered("BtnAct", k));
        b.setEnabled(possible && b.text() != "U");
    }
}

void TDetailSwitch::ActivatePressed(int k) {
    if (!InConfiguration() || deps().tx.AwaitingReply || !ActFlagsRead())
        return;
    std::string flags = actFlags_.substr(1, 10);
    flags[static_cast<size_t>(k - 1)] = at(Numbered("BtnAct", k)).text() == "A" ? '1' : '0';
    rereadOf_ = 73;
    SendChange("ACT=" + flags);
}

void TDetailSwitch::MaskClicked(const char* command, const char* first, const char* second,
                                int reread) {
    const char read = masksRead_[std::string(command) == "MAM" ? 0 : 1];
    if (!InConfiguration() || deps().tx.AwaitingReply) {
        at(first).setChecked((read - '0') & 1);
        at(second).setChecked((read - '0') & 2);
        return;
    }
    const int value = (at(first).checked() ? 1 : 0) + 2 * (at(second).checked() ? 1 : 0);
    rereadOf_ = reread;
    SendChange(std::string(command) + "=" + std::to_string(value));
}

bool TDetailSwitch::OnComboChange(const BoxSpec& box) {
    // The bridge/backup question is open: the list idles until it is answered.
    if (box.command == "BBU")
        state().StepNo = kBridgeQuestion;
    return false;
}

void TDetailSwitch::LockExtra(bool effectiveLock, bool) {
    for (const char* box : {"ConfSID", "ConfBKH", "ConfRSH"})
        at(box).setTextColour(effectiveLock ? Colours::gray : Colours::black);
    for (const char* check : {"ConfMamTx", "ConfMamRx", "ConfAamSw", "ConfAamMdm"})
        at(check).setEnabled(!effectiveLock);
    for (const char* group :
         {"GrpSwitchConf", "GrpBridgeConf", "GrpModemMask", "GrpAudioMask", "GrpActivate"})
        at(group).setTextColour(State().RemoteMode ? Colours::black : Colours::gray);
    at("ConfBBM").setEnabled(!effectiveLock && at("ConfOPM").selected() == 0);
    EnableActivateButtons();
}

// ---- utilities ------------------------------------------------------------------------------

std::string TDetailSwitch::MemoryNumber() const {
    return LeftTrim(at("MemoryList").selectedText());
}

void TDetailSwitch::PreviewLocation(const std::string& reply) {
    at("MemPreview").setText("Content of Config Store #" + MemoryNumber());
    SetValue("PrvMode", Chars(reply, 2, 1) == "0" ? "Manual Operation" : "Automatic Operation",
             Colours::lime);
    for (int k = 1; k <= 10; ++k)
        at(Numbered("PrvLmp", k))
            .setBackground(Chars(reply, 2 + k, 1) == "1" ? Colours::lime : Colours::gray);
    FillPreview(Family().memory.preview, reply);
    ShowMemoryPreview(true, false);
}

bool TDetailSwitch::UtilityStep() {
    int& step = state().StepNo;
    const bool remote = RemoteMode;
    const std::string n = MemoryNumber();
    Control& msg = at("MemoryMsg");
    const auto red = [](const std::string& r) { return Chars(r, 2, 21); };
    switch (step) {
    case kUtilities:
        at("BtnLoad").setEnabled(true);
        at("BtnStore").setEnabled(remote);
        at("BtnSetTime").setEnabled(remote);
        at("BtnMemConfirm").setVisible(false);
        at("BtnMemCancel").setVisible(false);
        ShowInstruction("");
        ShowPanels(false, false, true, false);
        EnableButtons(true, true, false, true);
        step = kClockLoop;
        return true;
    case 501:
        SendRequest("DAY?");
        return true;
    case 503:
        SendRequest("TIM?");
        return true;
    case kSetTime:
        at("ClockModem").setText("Setting time, date...");
        SendRequest(SetDateCommand());
        return true;
    case 533:
        SendRequest(SetTimeCommand());
        return true;
    case kMemoryRead:
        msg.setText("Reading location...").setTextColour(Colours::blue);
        SendRequest("CST?" + n);
        return true;
    case kMemoryLoad:
        SendRequest("CLD=" + n);
        return true;
    case kMemoryStore:
        SendRequest("CST=" + n);
        return true;
    case 567:
        messageHoldTicks_ = 0;
        step = 568;
        return true;
    case 568:
        if (++messageHoldTicks_ > 30) {
            msg.setText("");
            step = kClockLoop;
        }
        return true;
    default:
        break;
    }
    static const char* const mnemonics[] = {"DAY", "TIM", "DAY", "TIM", "CST", "CLD", "CST"};
    static const int replySteps[] = {502, 504, 532, 534, 552, 564, 566};
    size_t which = 0;
    while (which < std::size(replySteps) && replySteps[which] != step)
        ++which;
    if (which == std::size(replySteps))
        return false;
    const std::string r = TakeReply(mnemonics[which]);
    if (r == kCountedOut)
        return true;
    const bool ok = StartsWith(r, "=");
    switch (step) {
    case 502:
        keptDate_ = ok ? DateTextDMY(Chars(r, 2, 6)) : "";
        if (!ok)
            at("LblDate").setText("Date:" + red(r)).setTextColour(Colours::red);
        step = ok ? 503 : kClockLoop;
        break;
    case 504:
        if (ok) {
            if (messageHoldTicks_ > 0) {
                --messageHoldTicks_;
            } else {
                at("LblDate").setText("");
                at("LblTime").setText("");
            }
            at("ClockModem").setText(TimeText(Chars(r, 2, 6), clock()) + " " + keptDate_);
        } else {
            at("ClockOffsetCap").setVisible(false);
            at("ClockOffset").setVisible(false);
            at("ClockModem").setText(keptDate_);
            at("LblTime").setText("Time:" + red(r)).setTextColour(Colours::red);
        }
        step = kClockLoop;
        break;
    case 532:
        if (ok)
            at("LblDate").setText("Date set OK").setTextColour(Colours::blue);
        else
            at("LblDate").setText("Date:" + red(r)).setTextColour(Colours::red);
        at("LblTime").setText("Setting time...").setTextColour(Colours::blue);
        step = 533;
        break;
    case 534:
        if (ok)
            at("LblTime").setText("Time set OK").setTextColour(Colours::blue);
        else
            at("LblTime").setText("Time:" + red(r)).setTextColour(Colours::red);
        messageHoldTicks_ = 10;
        step = kClockLoop;
        break;
    case 552:
        at("BtnLoad").setEnabled(remote);
        at("BtnStore").setEnabled(remote);
        step = kClockLoop;
        if (ok) {
            PreviewLocation(r);
            if (!remote) {
                msg.setText("Contents of location " + n + " shown. Note: Local mode.");
            } else {
                const bool load = State().LoadMemory;
                msg.setText(load ? "Config present in memory location " + n + ". Confirm load."
                                 : "Warning! Location " + n + " contains data. Overwrite?");
                at("BtnMemConfirm").setText(load ? "Confir&m" : "Over&Write").setVisible(true);
                at("BtnMemCancel").setVisible(true);
            }
            msg.setTextColour(Colours::blue);
        } else if (StartsWith(r, "*") && State().LoadMemory) {
            msg.setText("No config is stored in memory " + n).setTextColour(Colours::purple);
        } else if (StartsWith(r, "*")) {
            // An empty location is stored into without asking.
            msg.setText("Storing...").setTextColour(Colours::blue);
            step = kMemoryStore;
        } else {
            msg.setText(red(r)).setTextColour(Colours::red);
        }
        break;
    case 564:
        if (ok) {
            msg.setText("Modem re-configured using memory location " + n)
                .setTextColour(Colours::blue);
            deps().tx.DelayLeft = 1500;
            step = 567;
        } else {
            msg.setText(StartsWith(r, "?") ? std::string("Problem with memory load.") : red(r))
                .setTextColour(Colours::red);
            step = kClockLoop;
        }
        break;
    case 566:
        if (ok) {
            msg.setText("Current config now stored in memory " + n).setTextColour(Colours::blue);
            step = 567;
        } else {
            msg.setText(StartsWith(r, "?") ? std::string("Problem with memory store") : red(r))
                .setTextColour(Colours::red);
            step = kClockLoop;
        }
        break;
    default:
        break;
    }
    return true;
}

// ---- the event log ----------------------------------------------------------------------------

bool TDetailSwitch::LogStep() {
    int& step = state().StepNo;
    const auto red = [](const std::string& r) { return Chars(r, 2, 21); };
    switch (step) {
    case kLog: {
        ShowPanels(false, false, false, true);
        EnableButtons(true, true, true, false);
        ShowInstruction("");
        at("LogMemo").setText("").setVisible(false);
        for (const char* c : {"FileExistsBox", "FileNewBox", "ReadLogBox", "LogWarning"})
            at(c).setVisible(false);
        at("LogProgress").setText("");
        const bool remote = RemoteMode;
        at("LogTopLine")
            .setText(remote ? "Choose a data file name so that Switch event data can be retained"
                            : "Unit must be in remote mode to download log");
        at("BtnChooseFile").setVisible(true).setEnabled(remote);
        step = 601;
        return true;
    }
    case 601:
        SendRequest("NUE?");
        return true;
    case kLogRead:
        SendRequest("RNE?");
        return true;
    case kLogWrite:
        if (!WriteLogFile())
            return true;
        SendRequest("CAE=");
        return true;
    case kLogIdle:
    case kLogDone:
        return true;
    default:
        break;
    }
    if (step != 602 && step != 604 && step != 612)
        return false;
    const char* mnemonic = step == 602 ? "NUE" : step == 604 ? "RNE" : "CAE";
    const std::string r = TakeReply(mnemonic);
    if (r == kCountedOut)
        return true;
    const bool ok = StartsWith(r, "=");
    switch (step) {
    case 602:
        if (ok) {
            at("LogCount")
                .setText("Number of unread Log events: " +
                         std::to_string(IntOfText(Chars(r, 2, 2))))
                .setTextColour(Colours::black)
                .clearBackground();
            ShowNotice("", Colours::black);
        } else {
            at("LogCount").setText(red(r)).setTextColour(Colours::red).clearBackground();
        }
        step = kLogIdle;
        break;
    case 604:
        // A reply without any record ends the reading like a refusal.
        step = TakeLogRecords(Family().logs.front(), r) > 0 ? kLogRead : kLogWrite;
        break;
    case 612:
        if (ok)
            at("LogProgress").setText("Reading log completed").setTextColour(Colours::blue);
        else
            at("LogProgress").setText("Clearing log:" + red(r)).setTextColour(Colours::red);
        at("LogTopLine").setText("Event data stored in " + State().LogFileName);
        at("BtnChooseFile").setVisible(false);
        at("LogCount").setText("");
        EnableButtons(true, true, true, false);
        step = kLogDone;
        break;
    default:
        break;
    }
    return true;
}

} // namespace linvar
