// The MQX-330 window's code: identification, its panels, the configuration read, and the
// rules its tables cannot say (the FEC list by option and version, the coding boxes and
// data-rate limits of each direction, the lock, the framing and remote-state boxes).

#include "detail/mqx330/Mqx330Window.h"

#include "poll/PollCycle.h"
#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

#include <algorithm>

namespace linvar {

using namespace u330;

Mqx330Window::Mqx330Window(DetailDeps deps, DetailInputs inputs, std::string screenName)
    : DetailWindow(deps, std::move(inputs), std::move(screenName)) {}

// ---- identification ------------------------------------------------------------------

std::string Mqx330Window::Identify() {
    const std::string id = IdentityCode + std::string(10, ' ');
    const char options = id[0];
    opt_ = {};
    opt_.reedSolomon = options == '1' || options == '3';
    opt_.aupc = options >= '2' && options <= '7';
    opt_.turbo = options == '4' || options == '5' || options == '7';
    opt_.turboBoth = options == '5' || options == '7';
    opt_.ip = options == '6' || options == '7';
    model_ = opt_.aupc ? 331 : 330;
    band_ = id[4];
    rxOnly_ = id[5] == '2';
    SetFrequencyBand();
    SetCurrentModelCode(static_cast<uint16_t>(model_));
    if (rxOnly_)
        return "MQX-330R DEMOD";
    return opt_.ip ? "PiV-330" : opt_.aupc ? "MQX-330T" : "MQX-330";
}

void Mqx330Window::SetFrequencyBand() {
    freq_ = band_ == '2' ? Range{104, 176} : Range{52, 88};
}

std::string Mqx330Window::Caption() const {
    std::string c = "Detail of " + UnitName + ", link: " + IdText() + "       " + ModelName;
    if (band_ == '1')
        c += ", 70 MHz IF band";
    else if (band_ == '2')
        c += ", 140 MHz IF band";
    if (opt_.reedSolomon)
        c += ", Reed-Solomon Codec installed";
    if (opt_.turbo)
        c += ", Turbo Codec installed";
    if (rxOnly_)
        c += ", RX only";
    return c;
}

// ---- the FEC list ----------------------------------------------------------------------------

bool Mqx330Window::FecPresent(int code, double version) const {
    switch (code) {
    case 0:
        return model_ == 331;
    case 1:
    case 2:
        return true;
    case 3:
    case 4:
        return opt_.reedSolomon;
    case 5:
        return opt_.turbo;
    case 6:
    case 7:
        return opt_.turboBoth;
    case 8:
        return opt_.turbo && version >= 1.19 - 1e-9;
    case 9:
        return opt_.turbo && version > 1.23 + 1e-9;
    default:
        return false;
    }
}

// Every code the options allow, in code order; the codes that need a later software
// version are the last ones, so the entries of an older unit are the first of these.
std::vector<std::string> Mqx330Window::FecCodes() const {
    std::vector<std::string> codes;
    for (int code = 0; code <= 9; ++code)
        if (FecPresent(code, 99))
            codes.push_back(std::to_string(code));
    return codes;
}

std::vector<std::string> Mqx330Window::FecEntriesNow() const {
    std::vector<std::string> entries;
    for (int code = 0; code <= 9; ++code)
        if (FecPresent(code, version_))
            entries.push_back(kFecTypes[static_cast<size_t>(code)]);
    return entries;
}

int Mqx330Window::FecCode(const char* typeBox) const {
    const BoxRow* b = BoxByControl(typeBox);
    const int i = b ? at(typeBox).selected() : -1;
    if (i < 0 || static_cast<size_t>(i) >= b->codes.size())
        return -1;
    return IntOfText(b->codes[static_cast<size_t>(i)]);
}

// ---- the panels -----------------------------------------------------------------------------

void Mqx330Window::BuildFamily() {
    if (BoxByControl("ConfLRS"))
        remoteStateBox_ = "ConfLRS";
    AddStatusGroups("PanelStatus", {"StatusLeft", "StatusMid"}, StatusPanel());

    for (const char* col : {"ConfLeft", "ConfMid", "ConfRight"})
        add("PanelConfig", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("ConfLeft", "GrpTx", "Transmit");
    AddGroup("ConfLeft", "GrpRxOnly", "RX only");
    AddGroup("ConfMid", "GrpRx", "Receive");
    AddGroup("ConfMid", "GrpMasks", "Alarm Masks", 3);
    AddGroup("ConfRight", "GrpUnit", "Unit");
    AddGroup("ConfRight", "GrpAupc", "Automatic Uplink Power Control").setVisible(false);
    AddGroup("ConfRight", "GrpIp", "PIV: IP address").setVisible(false);
    add("ConfRight", "ConfButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("ConfButtons", "BtnAupc", ControlKind::Button, "Show AUPC &Parameters");
    // The unit takes each change as it is made: this button has nothing to send.
    add("ConfButtons", "BtnSendToUnit", ControlKind::Button, "Send To U&nit");
    add("ClockBox", "HourOffsetHint", ControlKind::Label,
        "Select an hour offset, eg. to set a distant modem with local time");

    onClick("BtnAupc", [this] {
        const bool show = !at("GrpAupc").visible();
        at("GrpAupc").setVisible(show);
        at("GrpIp").setVisible(show && opt_.ip);
        at("GrpUnit").setVisible(!show);
        at("BtnAupc").setText(show      ? "Show Unit &Parameters"
                              : opt_.ip ? "Show AUPC + PIV &Param"
                                        : "Show AUPC &Parameters");
    });
}

void Mqx330Window::ActivateFamily() {
    setCaption(Caption());
    SetReadTables({IdentitySteps(), StatusSteps(), ConfigReadSteps()});
    const bool aupc = model_ == 331;
    at("BtnAupc").setVisible(aupc && !rxOnly_);
    at("BtnAupc").setText(opt_.ip ? "Show AUPC + PIV &Param" : "Show AUPC &Parameters");
    at("AupcStatus").setVisible(aupc);
    at("IpStatus").setVisible(opt_.ip);
    at("GrpUnit").setVisible(true);
    at("GrpAupc").setVisible(false);
    at("GrpIp").setVisible(false);
    at("GrpTx").setVisible(!rxOnly_);
    at("GrpRxOnly").setVisible(rxOnly_);
    at("MaskTxAis").setVisible(!rxOnly_);
    for (const char* c : {"TXfault", "StaTXO", "StaPLI"}) {
        at(c).setVisible(!rxOnly_);
        at(std::string(c) + "Cap").setVisible(!rxOnly_);
    }
    at("SwitchHint")
        .setText("Click on the button below to force the slave modem of a 1:1 pair "
                 "or 1:N system to switchover");
    at("SwitchNotOnline")
        .setText("To control switchover, the modem must be the On-Line unit in a 1:1 pair");
    framed_ = statsLogPresent_ = false;
    version_ = 0;
}

void Mqx330Window::ClearStatus() {
    for (const StatusGroup& g : StatusPanel())
        for (const StatusValue& v : g.values)
            if (has(v.name))
                ClearValue(v.name);
}

// ---- configuration read --------------------------------------------------------------------

void Mqx330Window::ClearConfigExtra() {
    ShowNotice("Reading the configuration data...", Colours::blue);
    SetFrequencyBand();
}

std::vector<ReadStep> Mqx330Window::ConfigReadSteps() {
    const bool ip = BoxByControl("IPaddress") != nullptr;
    return {
        {1, "CID?",
         [this, ip](const std::string& r) {
             if (StartsWith(r, "="))
                 SetBoxText("CircuitID", Chars(r, 2, 24));
             else
                 ShowInstruction(r);
             return ip ? 109 : 3;
         }},
        {109, "IPA?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 SetBoxText("IPaddress", Chars(r, 2, 21));
             return 3;
         }},
        {3, "MGC?",
         [this](const std::string& r) {
             if (StartsWith(r, "=")) {
                 state().ConfigString = r.substr(1);
                 FillBoxes(Source::Config, State().ConfigString);
                 LockConfig(false);
                 return rxOnly_ ? 7 : 9;
             }
             ShowInstruction("problem reading MGC...");
             LockConfig(true);
             return 9;
         }},
        {kLnbRead, "LNB?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 SetBoxIndex("BoxLNB", IntOfText(Chars(r, 2, 1)));
             return 9;
         }},
        {9, "LBL?",
         [this](const std::string& r) {
             // The 140 MHz band of a unit with this level reaches further.
             if (StartsWith(r, "=") && IntOfText(r.substr(1)) == 4 && band_ == '2')
                 freq_ = {102, 178};
             return DistantEnd ? ConfigSteps::Gate : 11;
         }},
        {11, "LRS?",
         [this](const std::string& r) {
             if (!StartsWith(r, "=")) {
                 state().RemoteMode = false;
                 LockConfig(true);
                 return ConfigSteps::Gate;
             }
             state().LrsChanged = !RemoteMode;
             const char digit = r.size() > 1 ? r[1] : ' ';
             state().RemoteMode = digit == '1';
             if (!remoteStateBox_.empty())
                 SetBoxIndex(remoteStateBox_, digit - '0');
             LockConfig(false);
             ShowEditGate();
             return RemoteMode && State().LrsChanged ? 1 : ConfigSteps::Idle;
         }},
        {105, "ESA?",
         [this](const std::string& r) {
             if (r == kNoComms) {
                 ShowInstruction("No comms with modem. Config data not avail.");
                 LockConfig(true);
                 return ConfigSteps::Idle;
             }
             if (StartsWith(r, "=") && BoxByControl("OBLIXslaveAdd"))
                 SetBoxText("OBLIXslaveAdd", SubInt(r, 2, 4));
             return ConfigSteps::SetConfig;
         }},
    };
}

void Mqx330Window::AfterFill(Source source) {
    if (source != Source::Config)
        return;
    framed_ = at("FramingMode").selected() == 1;
}

int Mqx330Window::RereadStep(const std::string& mnemonic, bool accepted) const {
    if (!accepted)
        return mnemonic == "CID" ? 1 : mnemonic == "LNB" ? 7 : 3;
    // Framing switched on: the unit has chosen its OBLIX slave address.
    if (mnemonic == "FRM" && State().LastReply == "=")
        return 105;
    return ConfigSteps::SetConfig;
}

void Mqx330Window::AfterAccepted(const std::string& mnemonic) {
    if (mnemonic == "FRM")
        framed_ = HeldIndex("FramingMode") == 1;
}

bool Mqx330Window::OnComboChange(const BoxRow& box) {
    // The framing and the remote state of a DISTANT unit are set at its own end.
    if (DistantEnd && (box.command == "FRM" || box.command == "LRS")) {
        at(box.control).setSelected(HeldIndex(box.control));
        return true;
    }
    return false;
}

// ---- locking and the gate ------------------------------------------------------------------

bool Mqx330Window::InLoopback() const {
    return has("TestMode") && at("TestMode").selected() == 1;
}

// The requested lock holds at both ends, so that nothing is changed while the
// configuration is being read or a change is on its way.
bool Mqx330Window::EffectiveLock(bool requested) const {
    const bool testing = has("TestMode") && at("TestMode").selected() > 0;
    return DetailWindow::EffectiveLock(requested) || testing;
}

void Mqx330Window::ShowEditGate() {
    if (shown("PanelConfig"))
        ShowInstruction("Click on a box to change the configuration parameters");
    if (InLoopback())
        ShowNotice("IF loopback. Need NORMAL operation to change configuration", Colours::yellow);
    if (!RemoteMode) {
        ShowInstruction("");
        ShowNotice(DistantEnd ? "Click the <SEND TO UNIT> button to send re-configuration info"
                              : "Unit is in LOCAL mode. Need REMOTE to change configuration",
                   Colours::yellow);
    }
}

// The box keeps the rate the unit holds; where the coding's limits leave it out, the box
// is marked and the notice line says so (an entry refused meanwhile keeps its own mark).
void Mqx330Window::ShowRateBounded(const char* box, const Range& limits) {
    if (!has(box))
        return;
    Control& c = at(box);
    const ParsedReal v = ParseReal(HeldText(box));
    if (!v.ok || c.background() == Colours::red)
        return;
    const bool outside = v.value < limits.low - 1e-9 || v.value > limits.high + 1e-9;
    if (!outside) {
        if (c.background() == Colours::yellow)
            c.setBackground(Colours::white);
        return;
    }
    c.setBackground(Colours::yellow);
    ShowNotice(std::string("The unit's ") + (box[0] == 'T' ? "Tx" : "Rx") +
                   " data rate is outside " + FixedReal(limits.low, 1) + "-" +
                   FixedReal(limits.high, 0) + " kbps, the limits of its coding",
               Colours::red);
}

double Mqx330Window::RateCeiling(int fec, int mod) const {
    switch (fec) {
    case 5:
        return 2500;
    case 6:
        return 1145;
    case 7:
        return 750;
    case 0:
    case 8:
    case 9:
        return 2048;
    default:
        return mod == 0 ? 1024 : 2048;
    }
}

// The coding boxes of one direction follow its FEC type: turbo codes fix the rate and
// modulation (hidden), uncoded and BPSK operation fix the rate at 1/2.
void Mqx330Window::CodingRules(bool tx, bool locked) {
    const char* type = tx ? "TxFECtype" : "RxFECtype";
    const char* rate = tx ? "TxFECrate" : "RxFECrate";
    const char* mod = tx ? "TxMod" : "RxMod";
    if (!has(type))
        return;
    const int fec = FecCode(type);
    const bool turbo = fec >= 5;
    for (const char* c : {rate, mod}) {
        at(c).setVisible(!turbo);
        at(std::string(c) + "Cap").setVisible(!turbo);
    }
    static const struct {
        int rate, mod; // -1: left as it is
    } turboCoding[] = {{1, 1}, {-1, 0}, {-1, 0}, {1, 2}, {0, 1}};
    if (turbo) {
        const auto& t = turboCoding[fec - 5];
        if (t.rate >= 0)
            at(rate).setSelected(t.rate);
        at(mod).setSelected(t.mod);
    }
    const int m = at(mod).selected();
    const bool fixedHalf = fec == 0 || (!turbo && m == 0);
    if (fixedHalf)
        at(rate).setSelected(0);
    at(type).setEnabled(!locked);
    at(mod).setEnabled(!locked);
    at(rate).setEnabled(!locked && !fixedHalf);

    Range r{2.4, RateCeiling(fec, m)};
    if (fec == 0)
        r.low = m == 0 ? 4.8 : m < 0 && tx ? 0 : 9.6;
    else if (fec == 5 || fec == 8)
        r.low = 7.2;
    else if (fec == 9)
        r.low = 4.8;
    else if (!turbo && m > 0)
        r.low = std::array<double, 3>{4.8, 7.2,
                                      8.4}[static_cast<size_t>(std::max(at(rate).selected(), 0))];
    (tx ? txRate_ : rxRate_) = r;
    ShowRateBounded(tx ? "TxDataRate" : "RxDataRate", r);
}

void Mqx330Window::LockExtra(bool locked, bool requested) {
    const auto enable = [this](const char* box, bool on) {
        if (has(box))
            at(box).setEnabled(on);
    };
    const bool bufferOn = at("RxClkMode").selected() == 1;
    // Without the buffer the box is disabled and shows the size the unit keeps for it.
    enable("RxBuffer", !locked && bufferOn);
    if (!bufferOn)
        at("RxBuffer").setSelected(HeldIndex("RxBuffer"));
    enable("ConfAUP", !locked && framed_);
    enable("InterfaceType", !locked && !opt_.ip);
    enable("ssi", !locked && statsLogPresent_);
    enable("TestMode", !requested && RemoteMode);
    enable("FramingMode", !DistantEnd && !locked && !framed_);
    if (has("ConfLRS")) {
        const bool shown = !DistantEnd && (rxOnly_ || version_ > 1.11 + 1e-9);
        at("ConfLRS").setVisible(shown);
        at("ConfLRSCap").setVisible(shown);
    }
    CodingRules(true, locked);
    CodingRules(false, locked);
}

} // namespace linvar
