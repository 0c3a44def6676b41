// The MQX-350 window's code: identification, its panels, the reading steps, and the
// rules its tables cannot say (lists rebuilt from the configuration, FEC and framing
// rules, the test mode at the DISTANT end).

#include "detail/mqx350/Mqx350Window.h"
#include "detail/mqx350/Mqx350Tables.h"

#include "poll/PollCycle.h"
#include "wire/TextFormats.h"

namespace linvar {

using namespace ModemEntries;

Mqx350Window::Mqx350Window(DetailDeps deps, DetailInputs inputs)
    : ModemWindow(deps, std::move(inputs), "Detail350") {
    SetReadTables({IdentitySteps(), StatusSteps(), ConfigReadSteps()});
}

// ---- identification ------------------------------------------------------------------

std::string Mqx350Window::Identify() {
    options_ = IdentityCode;
    options_.resize(10, '0');
    if (options_[9] == 'x')
        options_[9] = '0';
    model_ = options_.substr(1, 3) == "351" ? 351 : 350;
    SetCurrentModelCode(static_cast<uint16_t>(model_));
    static const double maxima[] = {512, 2048, 5000, 9980};
    const int rate = options_[5] - '0';
    rateMax_ = maxima[rate >= 0 && rate <= 3 ? rate : 0];
    return IsL() ? "MQX-350L" : "MQX-350";
}

// ---- the panels -----------------------------------------------------------------------------

void Mqx350Window::BuildFamily() {
    remoteStateBox_ = "ConfLRS";
    AddStatusGroups("PanelStatus", {"StatusLeft", "StatusMid", "StatusRight"}, StatusPanel());
    at("StaCTD").setBackground(Colours::yellow).setVisible(false);
    const Entries none1{" None", " Installed"};
    BuildOptions("StatusRight",
                 {{"OptTurbo", "Turbo", {" None", " TPC", " TPC/LDPC"}, 0},
                  {"OptRS", "Reed-Solomon", none1, 4},
                  {"OptDataRate",
                   "Data rate",
                   {" Base, to 512kbps", " to 2048kbps", " to 5000kbps", " to 9980kbps"},
                   5},
                  {"OptModulation",
                   "Modulation",
                   {" Standard", " 8PSK + 8QAM", " 16QAM", " 8PSK, 8QAM and 16QAM"},
                   6},
                  {"OptBucPower", "BUC power supply", {" None", " 100W", " 150W"}, 8},
                  {"OptIP", "IP module", none1, 8},
                  {"OptClockExt", "G.703 Clock Extension", none1, 9}});

    // Configuration panel: three columns and the family's buttons.
    for (const char* col : {"ConfLeft", "ConfMid", "ConfRight"})
        add("PanelConfig", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("ConfLeft", "GrpTx", "Tx");
    AddGroup("ConfLeft", "GrpClocks", "Clocks");
    AddGroup("ConfMid", "GrpRx", "Rx");
    AddGroup("ConfMid", "GrpMasks", "Alarm Masks", 3);
    AddGroup("ConfRight", "GrpUnit", "Unit");
    AddGroup("ConfRight", "GrpOdu", "ODU parameters").setVisible(false);
    AddGroup("ConfRight", "GrpAupc", "AUPC parameters").setVisible(false);
    AddGroup("ConfRight", "GrpClockExt", "G.703 Clock Extension").setVisible(false);
    add("ConfRight", "ConfButtons", ControlKind::Panel).setLayout(Layout::Row);
    AddViewButtons("ConfButtons");
    add("ConfButtons", "BtnSendToUnit", ControlKind::Button, "Send To U&nit");
}

void Mqx350Window::ActivateFamily() {
    const bool l = IsL();
    at("BtnOdu").setVisible(l);
    at("OduStatus").setVisible(l);
    at("BucStatus").setVisible(false);
    at("MaskBuc").setVisible(l);
    at("MaskLnb").setVisible(l);
    at("GrpClockExt").setVisible(options_[9] == '1');
    at("OptionsBox").setVisible(false);
    for (const char* c : {"GrpTx", "GrpRx", "GrpUnit", "StaTXO", "StaTXOCap", "AupcStatus",
                          "ConfTST", "ConfESA", "MaskTxFifo", "MaskTxAis"})
        at(c).setVisible(true);
    at("ConfLRS").setVisible(!DistantEnd);
    at("ConfLRSCap").setVisible(!DistantEnd);
    at("ConfADJ").setReadOnly(DistantEnd);
    at("ConfADJCap").setTextColour(DistantEnd ? Colours::gray : Colours::black);
    ShowOptions(options_);
}

void Mqx350Window::ClearStatus() {
    for (const Control* c : controls())
        if (c->name().rfind("Sta", 0) == 0 && c->kind() == ControlKind::Label &&
            c->name().find("Cap") == std::string::npos)
            ClearValue(c->name());
    at("StaCTD").setBackground(Colours::yellow).setVisible(false);
    SetValue("StaOUS", "Unavailable", Colours::yellow);
    for (const char* c : {"OusUnit", "OusRx", "OusTx", "OusODU"})
        ClearValue(c);
}

void Mqx350Window::ClearConfigExtra() {
    at("ConfEFM").setItems(kOblix);
    at("ConfTSC").setItems(kOffOn);
    at("ConfRDS").setItems(kOffOn);
}

// ---- configuration read --------------------------------------------------------------------

std::vector<ReadStep> Mqx350Window::ConfigReadSteps() {
    return {
        {1, "CID?",
         [this](const std::string& r) {
             SetBoxText("ConfCID", Chars(r, 2, 24));
             return 0;
         },
         5},
        {5, "LRS?", [this](const std::string& r) { return ConfigLrs(r, 9); }},
        {9, "MGC?",
         [this](const std::string& r) {
             if (StartsWith(r, "=")) {
                 state().ConfigString = r.substr(1, 115);
                 FillBoxes(Source::Config, State().ConfigString);
             } else {
                 ShowInstruction("problem reading MGC...");
                 LockConfig(false);
             }
             return IsL() ? 15 : 13;
         }},
        {kOduRead, "ODU?", WhenAccepted([this](const std::string& r) {
             SetBoxIndex("ConfODU", HexDigitValue(Chars(r, 2, 1)));
         }),
         17},
        {15, "OGC?", WhenAccepted([this](const std::string& r) {
             state().OduString = r.substr(1, 120);
             FillBoxes(Source::Odu, State().OduString);
         }),
         17},
        {17, "ADJ?",
         [this](const std::string& r) {
             SetBoxText("ConfADJ", StartsWith(r, "=") ? SubInt(r, 2, 4) : "0");
             return 0;
         },
         19},
        {19, "FPL?", WhenAccepted([this](const std::string& r) {
             SetBoxIndex("ConfFPL", HexDigitValue(Chars(r, 2, 1)));
         }),
         21},
        {21, "IPA?",
         WhenAccepted([this](const std::string& r) { SetBoxText("ConfIPA", Chars(r, 2, 18)); }),
         ConfigSteps::Unlock},
        SlaveAddress("ConfESA"),
    };
}

void Mqx350Window::ScramblerEntries(const char* box, int fecType, int stored) {
    Entries e = kOffOn;
    if (fecType == 6)
        e.push_back(u350::kIess); // the third entry exists only with TPC
    at(box).setItems(e);
    SetBoxIndex(box, stored);
}

void Mqx350Window::AfterFill(Source source) {
    if (source != Source::Config)
        return;
    const std::string& c = State().ConfigString;
    const auto digit = [&](int pos) {
        return static_cast<size_t>(pos) <= c.size() ? HexDigitValue(Chars(c, pos, 1)) : -1;
    };
    ScramblerEntries("ConfTSC", digit(13), digit(25));
    ScramblerEntries("ConfRDS", digit(57), digit(69));
    // A slave unit shows the slave entry, which the operator cannot choose.
    Entries oblix = kOblix;
    if (digit(88) == 2)
        oblix.push_back(kOblixSlave);
    at("ConfEFM").setItems(oblix);
    SetBoxIndex("ConfEFM", digit(88));
    const bool internal = digit(87) == 0;
    at("ConfADJ").setVisible(internal);
    at("ConfADJCap").setVisible(internal);
    const std::string target = AupcTargetText(Chars(c, 36, 3));
    if (!target.empty())
        SetBoxText("ConfAPPc", target);
}

// ---- locking and the irregular commands ------------------------------------------------------

bool Mqx350Window::InLoopback() const {
    const int t = at("ConfTST").selected();
    return t == 1 || t == 4;
}

void Mqx350Window::LockExtra(bool effectiveLock, bool requested) {
    const Colour caption = effectiveLock ? Colours::gray : Colours::black;
    for (const char* g : {"GrpTx", "GrpRx", "GrpUnit", "GrpClocks", "GrpAupc"})
        at(g).setTextColour(caption);
    // A unit in loopback can still be brought back.
    at("ConfTST").setEnabled(!requested && ChangesPossible());
    const bool g703 = at("ConfITF").selected() >= 3 && at("ConfITF").selected() <= 8;
    if (g703) {
        at("ConfTDR").setReadOnly(true);
        at("ConfRDR").setReadOnly(true);
    }
    // The distant unit's reference is adjusted at that end only.
    if (DistantEnd) {
        at("ConfADJ").setReadOnly(true);
        at("ConfADJCap").setTextColour(Colours::gray);
    }
    const int framing = at("ConfFRM").selected();
    if (effectiveLock)
        return;
    FecRules("ConfTFT", "ConfTMD", "ConfTCR", {5, 0, 7});
    FecRules("ConfRFT", "ConfRMD", "ConfRCR", {5, 0, 7});
    at("ConfAUP").setEnabled(framing > 0);
    if (DistantEnd) {
        at("ConfFRM").setEnabled(framing == 0);
        at("ConfEFM").setEnabled(false);
        at("ConfESA").setReadOnly(true);
    } else {
        at("ConfEFM").setEnabled(at("ConfEFM").selected() != 2);
        at("ConfESA").setReadOnly(!(RemoteMode && framing > 0));
    }
}

std::optional<std::string> Mqx350Window::CustomCommand(const BoxRow& box, const std::string&) {
    if (box.command != "TST")
        return std::nullopt;
    return TestModeCommand("ConfTST", 3);
}

} // namespace linvar
