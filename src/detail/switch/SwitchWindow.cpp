// The redundancy switch window's code: its panels, the steps that are not plain readings,
// the decoders of its replies, the changes made by buttons and check boxes, the utilities
// and the event log.

#include "detail/switch/SwitchWindow.h"

#include "ui/Clock.h"
#include "wire/TextFormats.h"

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

SwitchWindow::SwitchWindow(DetailDeps deps, DetailInputs inputs)
    : DetailWindow(deps, std::move(inputs), "DetailSwitch") {
    steps_ = ReadingSteps();
}

std::string SwitchWindow::Identify() {
    return "";
}

// ---- the panels ---------------------------------------------------------------------------

void SwitchWindow::BuildFamily() {
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

void SwitchWindow::BuildStatus() {
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

void SwitchWindow::BuildConfig() {
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

void SwitchWindow::ActivateFamily() {
    // Opened at once from the summary, perhaps while a poll's reply was still awaited:
    // that exchange is abandoned, the window's own requests take the line.
    deps().tx.AwaitingReply = false;
    state().RemoteMode = false;
    modelCode_.clear();
    actFlags_.clear();
    flagsMatchCaptions_ = false;
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

void SwitchWindow::ClearStatus() {
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

void SwitchWindow::ShowCaption(const std::string& more) {
    setCaption(caption() + more);
}

// ---- going to a step ---------------------------------------------------------------------

int SwitchWindow::ConfigNext(int n) const {
    return shown("PanelConfig") && !configPanelWasOpen_ ? kConfigWait : n;
}

int SwitchWindow::AcceptedNext() const {
    return shown("PanelConfig") ? kConfigWait : 21;
}

int SwitchWindow::RereadStep(const std::string& mnemonic, bool accepted) const {
    if (accepted)
        return mnemonic == "ACT" && shown("PanelConfig") ? 71 : AcceptedNext();
    if (const BoxRow* b = RowInFlight())
        return StepOf(b->retry);
    return rereadOf_ ? rereadOf_ : 21;
}

void SwitchWindow::AfterAccepted(const std::string& mnemonic) {
    if (mnemonic == "SID")
        SetValue("StaSID", at("ConfSID").text(), Colours::white);
    if (mnemonic == "BKH" || mnemonic == "RSH")
        SetValue("Sta" + mnemonic, at("Conf" + mnemonic).text(), Colours::white); // " 99"
    if (shown("PanelConfig")) {
        ShowInstruction("Click on a box to change the information");
        LockConfig(false);
    }
}

void SwitchWindow::Step() {
    if (State().StepNo == 0)
        state().StepNo = kStart;
    if (RunSteps(steps_) || ControlStep() || UtilityStep())
        return;
    LogStep();
}

bool SwitchWindow::ControlStep() {
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
        step = LoopStart(21);
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
            // The activate buttons need the interfaces and their flags of one reading.
            step = flagsMatchCaptions_ ? kConfigWait : 71;
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

void SwitchWindow::DecodeMam(char digit) {
    const int d = digit >= '0' && digit <= '3' ? digit - '0' : 0;
    masksRead_[0] = static_cast<char>('0' + d);
    at("ConfMamTx").setChecked(d & 1);
    at("ConfMamRx").setChecked(d & 2);
    at("MskUnit").setBackground(Colours::yellow);
    at("MskTx").setBackground(Masked(d & 1));
    at("MskRx").setBackground(Masked(d & 2));
}

void SwitchWindow::DecodeSam(char digit) {
    const int d = digit >= '0' && digit <= '2' ? digit - '0' : 0;
    SetBoxIndex("ConfSAM", d);
    at("MskPsuA").setBackground(Masked(d == 1));
    at("MskPsuB").setBackground(Masked(d == 2));
}

void SwitchWindow::DecodeAam(char digit) {
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

void SwitchWindow::DecodeOpm(char digit) {
    SetBoxIndex("ConfOPM", digit == '0' || digit == '1' ? digit - '0' : -1);
    SetValue("StaOPM", at("ConfOPM").selectedText(),
             digit == '0' ? Colours::yellow : Colours::lime);
    at("ConfBBM").setEnabled(!EffectivelyLocked() && digit == '0');
}

void SwitchWindow::DecodeInterfaces(const std::string& reply) {
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

void SwitchWindow::DecodeFaults(const std::string& reply) {
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

void SwitchWindow::DecodeBridge(const std::string& reply) {
    const std::string mode = Chars(reply, 2, 1);
    SetBoxIndex("ConfBBM", IntOfText(mode));
    SetBoxIndex("ConfBTM", IntOfText(Chars(reply, 3, 2)) - 1);
    SetValue("StaBBU", at("ConfBBM").selectedText() + " TM #" + at("ConfBTM").selectedText(),
             mode == "0" ? Colours::lime : Colours::red);
}

void SwitchWindow::DecodeUnread(const std::string& reply) {
    const int n = IntOfText(Chars(reply, 2, 2));
    const Colour c = n > 86 ? Colours::yellow : Colours::white;
    SetValue("StaNUE", std::to_string(n), c);
    SetValue("LogCount", std::to_string(n), c);
}

int SwitchWindow::DecodeLocalRemote(const std::string& reply) {
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
    return LoopStart(remote ? 71 : 21);
}

// ---- changes made by buttons and check boxes ----------------------------------------------

bool SwitchWindow::ActFlagsRead() const {
    if (actFlags_.size() != 11 || actFlags_[0] != '=')
        return false;
    return actFlags_.find_first_not_of("01", 1) == std::string::npos;
}

void SwitchWindow::EnableActivateButtons() {
    // Never an "ACT=" from flags the switch has not given.
    const bool possible = flagsMatchCaptions_ && ActFlagsRead() && !EffectivelyLocked();
    for (int k = 1; k <= 10; ++k) {
        Control& b = at(Numbered("BtnAct", k));
        b.setEnabled(possible && b.text() != "U");
    }
}

void SwitchWindow::ActivatePressed(int k) {
    if (!InConfiguration() || deps().tx.AwaitingReply || !flagsMatchCaptions_ || !ActFlagsRead())
        return;
    std::string flags = actFlags_.substr(1, 10);
    flags[static_cast<size_t>(k - 1)] = at(Numbered("BtnAct", k)).text() == "A" ? '1' : '0';
    rereadOf_ = 73;
    // Until "AMQ?" and "ACT?" have been read again the flags are not the switch's: a
    // press in the pause after the reply, or after a failed read back, would undo this.
    flagsMatchCaptions_ = false;
    SendChange("ACT=" + flags); // its lock disables the buttons
}

void SwitchWindow::MaskClicked(const char* command, const char* first, const char* second,
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

bool SwitchWindow::OnComboChange(const BoxRow& box) {
    // The bridge/backup question is open: the list idles until it is answered.
    if (box.command == "BBU")
        state().StepNo = kBridgeQuestion;
    return false;
}

void SwitchWindow::LockExtra(bool effectiveLock, bool) {
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

} // namespace linvar
