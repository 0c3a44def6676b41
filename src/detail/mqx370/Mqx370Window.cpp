// The MQX-370 window's code: identification, its panels, the configuration read and the
// rules its tables cannot say (visibility by model, option and framing, the locks, the
// commands whose value is irregular).

#include "detail/mqx370/Mqx370Window.h"
#include "detail/mqx370/Mqx370Tables.h"

#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

namespace linvar {

using namespace ModemEntries;

Mqx370Window::Mqx370Window(DetailDeps deps, DetailInputs inputs)
    : ModemWindow(deps, std::move(inputs), "Detail370") {
    SetReadTables({IdentitySteps(), StatusSteps(), ConfigReadSteps()});
}

// ---- identification and limits --------------------------------------------------------

std::string Mqx370Window::Identify() {
    options_ = IdentityCode;
    options_.resize(10, '0');
    const std::string model = options_.substr(1, 3);
    model_ = model == "371" ? 371 : model == "372" ? 372 : 370;
    wideRange_ = model == "373";
    SetCurrentModelCode(static_cast<uint16_t>(model_));
    return model_ == 371 ? "MQX-370L" : model_ == 372 ? "BLQ-7370L" : "MQX-370";
}

std::vector<Range> Mqx370Window::FrequencyRanges() const {
    if (IsL())
        return {{950, 1950}};
    if (wideRange_)
        return {{50, 90}, {100, 180}};
    return {{52, 88}, {104, 176}};
}

std::string Mqx370Window::FrequencyPrompt(bool tx) const {
    const std::string band = IsL()        ? "950-1950 MHz"
                             : wideRange_ ? "50-90 MHz or 100-180 MHz"
                                          : "52-88 MHz or 104-176 MHz";
    return std::string(tx ? "Enter Tx frequency, " : "Enter Rx frequency, ") + band +
           ", resolution 100 Hz";
}

// " Manual-low" lowers the L-band units' range.
double Mqx370Window::PowerLow() const {
    if (!IsL())
        return -20;
    return at("ConfAUP").selectedText() == " Manual-low" ? -65 : -45;
}

double Mqx370Window::PowerHigh() const {
    return IsL() && at("ConfAUP").selectedText() == " Manual-low" ? -20 : 0;
}

// ---- the panels -----------------------------------------------------------------------

void Mqx370Window::BuildFamily() {
    remoteStateBox_ = "ConfLRS";
    AddStatusGroups("PanelStatus", {"StatusLeft", "StatusMid", "StatusRight"}, StatusPanel());
    // The tenth character is the reference module of an MQX-370, an attenuator on L-band.
    BuildOptions(
        "StatusRight",
        {{"OptTurbo",
          "Turbo",
          {" None", " Turbo1 codec, to 10Mbps", " Turbo2 codec, to 20Mbps",
           " Turbo3 codec, to 20Mbps +LDPC"},
          0},
         {"OptDataRate", "Data rate", {" Standard, to 5Mbps", " to 10Mbps", " to 20Mbps"}, 4},
         {"OptModulation",
          "Modulation",
          {" Standard", " 8-PSK", " 16QAM", " both 8-PSK and 16QAM"},
          5},
         {"OptFraming",
          "Framing",
          {" Standard", " IBS", " IDR", " IBS and IDR", " IBS with Hi-rate ESC",
           " IBS with Hi-rate ESC and IDR"},
          6},
         {"OptDropInsert", "D+I and audio", {" None", " D+I", " Audio", " both D+I and Audio"}, 7},
         {"OptSpecials", "Specials", {" None", " 1", " 2", " 1 & 2"}, 8},
         {"OptModule",
          IsL() ? "External 20dB attenuator" : "Hi-stability reference",
          {" None", " Module installed"},
          9}});
    at("StaCTD").setBackground(Colours::yellow).setVisible(false);
    BuildConfigPanel();
    BuildDropInsert();
}

void Mqx370Window::BuildConfigPanel() {
    for (const char* col : {"ConfLeft", "ConfMid", "ConfRight"})
        add("PanelConfig", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("ConfLeft", "GrpTx", "Tx");
    AddGroup("ConfLeft", "GrpClocks", "Clocks");
    AddGroup("ConfLeft", "GrpBkwd", "Backward Alarms", 4).setVisible(false);
    AddGroup("ConfMid", "GrpRx", "Rx");
    AddGroup("ConfMid", "GrpMasks", "Alarm Masks", 3);
    AddGroup("ConfRight", "GrpUnit", "Unit");
    AddGroup("ConfRight", "GrpImpedance", "Impedance");
    AddGroup("ConfRight", "GrpEsc", "ESC");
    AddGroup("ConfRight", "GrpAudio", "Audio");
    AddGroup("ConfRight", "GrpOdu", "ODU parameters").setVisible(false);
    AddGroup("ConfRight", "GrpAupc", "AUPC parameters").setVisible(false);
    add("ConfRight", "ConfButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("ConfRight", "ConfButtons2", ControlKind::Panel).setLayout(Layout::Row);
    AddViewButtons("ConfButtons");
    add("ConfButtons2", "BtnDni", ControlKind::Button, "View &D+I");
    add("ConfButtons2", "BtnBkwd", ControlKind::Button, "View &Bkwd Alarms");

    onClick("BtnDni", [this] {
        const bool show = !at("GrpDni").visible();
        at("GrpDni").setVisible(show);
        at("BtnDni").setText(show ? "Hide &D+I" : "View &D+I");
    });
    onClick("BtnBkwd", [this] {
        const bool show = !at("GrpBkwd").visible();
        at("GrpBkwd").setVisible(show);
        at("GrpClocks").setVisible(!show);
        at("BtnBkwd").setText(show ? "Hide &Bkwd Alarms" : "View &Bkwd Alarms");
        if (show) {
            at("GrpOdu").setVisible(false);
            at("GrpUnit").setVisible(true);
            at("BtnOdu").setText("View &ODU param");
        }
    });
}

void Mqx370Window::ActivateFamily() {
    const bool l = IsL();
    ShowOptions(options_);
    at("BtnOdu").setVisible(l);
    at("OduStatus").setVisible(l);
    at("GrpImpedance").setVisible(!l);
    at("BtnDni").setVisible(HasDropInsert());
    at("GrpAudio").setVisible(HasAudio());
    for (const char* c : {"ConfADJ", "ConfADJCap"})
        at(c).setVisible(HasReference());
    for (const char* c : {"ConfERF", "ConfERFCap"})
        at(c).setVisible(HasReference() || l);
    at("ConfLRS").setVisible(!DistantEnd);
    at("ConfLRSCap").setVisible(!DistantEnd);
    at("ConfADJ").setReadOnly(DistantEnd);
    at("ConfADJCap").setTextColour(DistantEnd ? Colours::gray : Colours::black);
}

void Mqx370Window::ClearStatus() {
    for (const Control* c : controls())
        if (c->name().rfind("Sta", 0) == 0 && c->kind() == ControlKind::Label &&
            c->name().find("Cap") == std::string::npos)
            ClearValue(c->name());
    at("StaCTD").setBackground(Colours::yellow).setVisible(false);
    SetValue("StaOUS", "Unavailable", Colours::yellow);
}

void Mqx370Window::ClearConfigExtra() {
    at("ConfEFM").setItems(kOblix);
    drop_.fill(0);
    insert_.fill(0);
    dniHeld_.clear();
    ShowChannels(true);
    ShowChannels(false);
}

// ---- configuration read --------------------------------------------------------------------

std::vector<ReadStep> Mqx370Window::ConfigReadSteps() {
    return {
        {1, "CID?",
         [this](const std::string& r) {
             SetBoxText("ConfCID", Chars(r, 2, 40));
             return 0;
         },
         3},
        {kReferenceRead, "REF?", WhenAccepted([this](const std::string& r) {
             SetBoxText("ConfREF", Chars(r, 2, 9));
             const std::string input = Chars(r, 11, 1);
             SetBoxIndex("ConfREFInput", input == "U" ? 0 : input == "B" ? 1 : -1);
         }),
         5},
        {5, "LRS?", [this](const std::string& r) { return ConfigLrs(r, HasDropInsert() ? 7 : 9); }},
        {kDniReadStep, "DNI?",
         [this](const std::string& r) {
             if (StartsWith(r, "=")) {
                 DecodeDropInsert(r.substr(1));
                 return 9;
             }
             // The read stops here until the operator chooses another phase.
             state().RemoteMode = false;
             LockConfig(true);
             return kDniStopped;
         }},
        {9, "MGC?",
         [this](const std::string& r) {
             if (StartsWith(r, "=")) {
                 state().ConfigString = r.substr(1, 120);
                 FillBoxes(Source::Config, State().ConfigString);
             } else {
                 ShowInstruction("problem reading MGC...");
                 LockConfig(false);
             }
             return 13;
         }},
        {13, "DRL?",
         [this](const std::string& r) {
             if (StartsWith(r, "=")) {
                 txMax_ = ParseReal(Chars(r, 2, 9)).value;
                 txMin_ = ParseReal(Chars(r, 11, 9)).value;
                 rxMax_ = ParseReal(Chars(r, 20, 9)).value;
                 rxMin_ = ParseReal(Chars(r, 29, 9)).value;
             }
             return IsL() ? 15 : 17;
         }},
        {kOduRead, "OGC?", WhenAccepted([this](const std::string& r) {
             state().OduString = r.substr(1, 120);
             FillBoxes(Source::Odu, State().OduString);
         }),
         17},
        {17, "ADJ?",
         [this](const std::string& r) {
             SetBoxText("ConfADJ", StartsWith(r, "=") ? SubInt(r, 2, 4) : "0");
             return 0;
         },
         ConfigSteps::Unlock},
        SlaveAddress("ConfESA"),
    };
}

void Mqx370Window::AfterFill(Source source) {
    if (source != Source::Config)
        return;
    // The characters of a box as the unit sent them.
    const auto digit = [&](const char* box) {
        const std::string f = FieldOf(box);
        return f.empty() ? -1 : HexDigitValue(f);
    };
    FillRateList(true);
    FillRateList(false);
    // The ESC shares its characters with the OBLIX mode and slave address.
    const int framing = digit("ConfTFM");
    const bool esc = framing < 3 || framing == 5;
    at("GrpEsc").setVisible(esc);
    for (const char* b : {"ConfEFM", "ConfEFMCap", "ConfESA", "ConfESACap"})
        at(b).setVisible(!esc);
    Entries oblix = kOblix;
    if (!esc && digit("ConfEFM") == 2)
        oblix.push_back(kOblixSlave);
    at("ConfEFM").setItems(oblix);
    SetBoxIndex("ConfEFM", esc ? -1 : digit("ConfEFM"));
    // "x" in the Tx ESC type: neither direction reports one.
    if (FieldOf("ConfTET") == "x") {
        SetBoxIndex("ConfTET", 0);
        SetBoxIndex("ConfRET", 0);
    }
    const bool adjust = HasReference() && digit("ConfERF") == 0;
    at("ConfADJ").setVisible(adjust);
    at("ConfADJCap").setVisible(adjust);
}

// ---- locking and the irregular commands ------------------------------------------------------

bool Mqx370Window::InLoopback() const {
    const int t = at("ConfTST").selected();
    return t == 3 || t == 4;
}

void Mqx370Window::LockExtra(bool effectiveLock, bool requested) {
    const Colour caption = effectiveLock ? Colours::gray : Colours::black;
    for (const char* g : {"GrpTx", "GrpRx", "GrpUnit", "GrpClocks", "GrpAupc", "GrpBkwd", "GrpDni"})
        at(g).setTextColour(caption);
    at("ConfTST").setEnabled(!requested && ChangesPossible());
    for (const char* b : {"BtnDropUp", "BtnDropDown", "BtnInsertUp", "BtnInsertDown", "BtnDniSend"})
        at(b).setEnabled(!effectiveLock);
    if (DistantEnd) {
        at("ConfADJ").setReadOnly(true);
        at("ConfADJCap").setTextColour(Colours::gray);
    }
    if (effectiveLock)
        return;
    constexpr FecIndices fec{6, 0, 9};
    FecRules("ConfTFT", "ConfTMD", "ConfTCR", fec);
    FecRules("ConfRFT", "ConfRMD", "ConfRCR", fec);
    const int framing = at("ConfTFM").selected();
    at("ConfAUP").setEnabled(framing > 0);
    if (DistantEnd) {
        at("ConfTFM").setEnabled(framing == 0);
        at("ConfEFM").setEnabled(false);
        at("ConfESA").setReadOnly(true);
    } else {
        at("ConfEFM").setEnabled(at("ConfEFM").selected() != 2);
        at("ConfESA").setReadOnly(!RemoteMode);
    }
}

std::optional<std::string> Mqx370Window::CustomCommand(const BoxRow& box, const std::string& text) {
    if (box.command == "TST")
        return TestModeCommand("ConfTST", 6);
    if (box.command == "TIP" || box.command == "RIP")
        return box.command + "=" + std::to_string(2 * at(box.control).selected() + 5);
    if (box.command == "TDR" || box.command == "RDR") // a fixed rate from the list
        return box.command + "=0" + at(box.control).selectedText();
    if (box.command == "OOD") {
        // mm:ss, up to 20 minutes
        if (text.size() != 5 || text[2] != ':')
            return std::nullopt;
        const ParsedInt mm = ParseIntStrict(text.substr(0, 2));
        const ParsedInt ss = ParseIntStrict(text.substr(3, 2));
        if (!mm.ok || !ss.ok || mm.value < 0 || mm.value > 20 || ss.value < 0 || ss.value > 59 ||
            text.find_first_not_of("0123456789:") != std::string::npos)
            return std::nullopt;
        state().ConfirmText = "Change ODU carrier-on delay to " + text + ". Comms may be affected.";
        return "OOD=" + text;
    }
    return std::nullopt;
}

void Mqx370Window::AfterAccepted(const std::string& mnemonic) {
    if (mnemonic == "DNI")
        dniHeld_ = dniPending_;
}

void Mqx370Window::RestoreCommand(const std::string& mnemonic) {
    if (mnemonic == "DNI" && !dniHeld_.empty())
        DecodeDropInsert(dniHeld_);
}

} // namespace linvar
