// The MQX-350 window's code: identification, its panels, the reading steps, and the
// rules its tables cannot say (lists rebuilt from the configuration, FEC and framing
// rules, the test mode at the DISTANT end).

#include "detail/U350.h"
#include "detail/U350Tables.h"

#include "logging/Print.h"
#include "protocol/PollCycle.h"
#include "protocol/TextFormats.h"

namespace linvar {

namespace {

using namespace ModemEntries;

const FaultTable kUnitFaults{"0123456789ABCDEF",
                             {"OK", "5V PSU", "12V PSU", "-5V PSU", "23V PSU", "-12V PSU",
                              "Tx synthesizer lock", "Rx synthesizer1 lock", "Rx synthesizer2 lock",
                              "Ref PLL lock", "TBD", "TBD", "TBD", "TBD", "IP module",
                              "EEPROM chksum error"},
                             "Invalid code rcvd: "};
const FaultTable kTxFaults{"013457 9B",
                           {"Tx traffic OK", "No clock from terr. interface", "Tx FIFO slip",
                            "CEX G.703 loss of signal", "No Ext REF", "AUPC upper limit reached",
                            "", "AIS detected on incoming data", "Bipolar violation on G.703"},
                           "Invalid code recvd: "};
const FaultTable kRxFaults{"01357ABEF",
                           {"Rx traffic OK", "Demodulator unlocked",
                            "AGC Alarm - signal level out of range", "RS Frame sync lost",
                            "OBLIX Frame sync lost", "Buffer underflow", "Buffer overflow",
                            "Eb/No threshold exceeded", "AIS detected on incoming data"},
                           "Invalid code recvd: "};
const FaultTable kOduFaults{"013579BD",
                            {"OK", "BUC PLL fault", "BUC current fault", "BUC voltage fault",
                             "LNB current fault", "LNB voltage fault", "BUC checksum fault",
                             "BUC temperature fault"},
                            "Invalid code recvd: "};

} // namespace

TDetail350::TDetail350(DetailDeps deps, DetailInputs inputs)
    : DetailWindow(deps, std::move(inputs), "Detail350") {
    identitySteps_ = IdentitySteps();
    statusSteps_ = StatusSteps();
    configSteps_ = ConfigReadSteps();
}

// ---- identification ------------------------------------------------------------------

std::string TDetail350::Identify() {
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

void TDetail350::BuildFamily() {
    remoteStateBox_ = "ConfLRS";
    // Status panel: three columns.
    for (const char* col : {"StatusLeft", "StatusMid", "StatusRight"})
        add("PanelStatus", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("StatusLeft", "GrpReceive", "Receive");
    AddValue("GrpReceive", "StaEbNo", "Eb/No");
    AddValue("GrpReceive", "StaFreqOffset", "Freq Offset");
    AddValue("GrpReceive", "StaBER", "BER");
    AddValue("GrpReceive", "StaBFS", "Buffer Fill State");
    AddValue("GrpReceive", "StaRSL", "Receive Signal Level");
    AddValue("GrpReceive", "StaRED", "Redundancy ");
    AddValue("GrpReceive", "StaTMP", "Temperature");
    AddGroup("StatusLeft", "GrpFaults", "Faults");
    AddValue("GrpFaults", "StaUnit", "Unit").setWidth(30);
    AddValue("GrpFaults", "StaTx", "Tx").setWidth(30);
    AddValue("GrpFaults", "StaRx", "Rx").setWidth(30);
    AddValue("GrpFaults", "StaODU", "ODU").setWidth(30);
    AddValue("GrpFaults", "StaTXO", "Tx carrier");
    add("GrpFaults", "StaCTDCap", ControlKind::Label, "");
    add("GrpFaults", "StaCTD", ControlKind::Label).setBackground(Colours::yellow).setVisible(false);
    AddValue("GrpFaults", "StaOUS", "Offline Unit Status");
    AddGroup("StatusLeft", "OusBox", "Offline Unit Status (1:1 system)");
    AddValue("OusBox", "OusUnit", "Unit").setWidth(30);
    AddValue("OusBox", "OusRx", "Rx").setWidth(30);
    AddValue("OusBox", "OusTx", "Tx").setWidth(30);
    AddValue("OusBox", "OusODU", "ODU").setWidth(30);

    AddGroup("StatusMid", "AupcStatus", "Automatic Uplink Power Control");
    AddValue("AupcStatus", "StaREB", "Eb/No of Remote Demodulator");
    AddValue("AupcStatus", "StaPLI", "Tx Power Level Increase");
    AddGroup("StatusMid", "UnitStatus", "Unit");
    AddValue("UnitStatus", "StaSNO", "Serial Number");
    AddValue("UnitStatus", "StaSWR", "S/W Versions").setWidth(36);
    AddValue("UnitStatus", "StaLRS", "Local/Remote");
    AddValue("UnitStatus", "StaCID", "Circuit ID").setWidth(26);
    AddValue("UnitStatus", "StaNUE", "Events Log, unread lines");
    AddValue("UnitStatus", "StaNUS", "Statistics Log, unread lines");
    AddValue("UnitStatus", "StaIMG", "Active Image");

    AddGroup("StatusRight", "OduStatus", "350L ODU settings");
    AddValue("OduStatus", "StaFSK", "FSK link");
    AddValue("OduStatus", "StaBPC", "BUC DC power");
    AddValue("OduStatus", "StaBDC", "BUC current");
    AddValue("OduStatus", "StaBDV", "Voltage ");
    AddValue("OduStatus", "StaLPC", "LNB DC power");
    AddValue("OduStatus", "StaLDC", "LNB current");
    AddValue("OduStatus", "StaLDV", "Voltage");
    AddGroup("StatusRight", "BucStatus", "350L BUC status");
    AddValue("BucStatus", "StaBOL", "BUC output power level");
    AddValue("BucStatus", "StaBUT", "BUC temperature");
    AddValue("BucStatus", "StaBPA", "BUC phase lock loop");
    AddValue("BucStatus", "StaBSV", "BUC software version");
    add("StatusRight", "BtnOptions", ControlKind::Button, "Show Installed &Options");
    AddGroup("StatusRight", "OptionsBox", "Installed Options");
    for (const auto& [name, caption] : std::vector<std::pair<const char*, const char*>>{
             {"OptTurbo", "Turbo"},
             {"OptRS", "Reed-Solomon"},
             {"OptDataRate", "Data rate"},
             {"OptModulation", "Modulation"},
             {"OptBucPower", "BUC power supply"},
             {"OptIP", "IP module"},
             {"OptClockExt", "G.703 Clock Extension"}}) {
        add("OptionsBox", std::string(name) + "Cap", ControlKind::Label, caption);
        add("OptionsBox", name, ControlKind::Edit).setReadOnly(true).setWidth(22);
    }
    add("OptionsBox", "OptNote", ControlKind::Label,
        "Other available options may be viewed. Contact factory to upgrade unit.");

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
    add("ConfButtons", "BtnAupc", ControlKind::Button, "View AU&PC");
    add("ConfButtons", "BtnOdu", ControlKind::Button, "View &ODU param");
    add("ConfButtons", "BtnSendToUnit", ControlKind::Button, "Send To U&nit");

    // Memory previews on the utilities panel.
    AddGroup("MemoryBox", "MemPreview", "Memory location  0 preview", 0).setVisible(false);
    add("MemPreview", "MemMemos", ControlKind::Panel).setLayout(Layout::Row);
    for (const char* m : {"MemTx", "MemRx", "MemUnit", "MemAupc", "MemBuc", "MemLnb"})
        add("MemMemos", m, ControlKind::Memo).setReadOnly(true).setWidth(24);

    onClick("BtnOptions", [this] {
        const bool show = !at("OptionsBox").visible();
        at("OptionsBox").setVisible(show);
        at("BtnOptions").setText(show ? "Hide Installed &Options" : "Show Installed &Options");
    });
    onClick("BtnAupc", [this] {
        const bool show = !at("GrpAupc").visible();
        at("GrpAupc").setVisible(show);
        at("BtnAupc").setText(show ? "Hide AU&PC" : "View AU&PC");
        if (show) {
            at("GrpOdu").setVisible(false);
            at("GrpUnit").setVisible(true);
            at("BtnOdu").setText("View &ODU param");
        }
    });
    onClick("BtnOdu", [this] {
        const bool show = !at("GrpOdu").visible();
        at("GrpOdu").setVisible(show);
        at("GrpUnit").setVisible(!show);
        at("BtnOdu").setText(show ? "Hide &ODU param" : "View &ODU param");
    });
}

void TDetail350::ActivateFamily() {
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
    static const Entries turbo{" None", " TPC", " TPC/LDPC"};
    static const Entries none1{" None", " Installed"};
    static const Entries rates{" Base, to 512kbps", " to 2048kbps", " to 5000kbps", " to 9980kbps"};
    static const Entries mods{" Standard", " 8PSK + 8QAM", " 16QAM", " 8PSK, 8QAM and 16QAM"};
    static const Entries buc{" None", " 100W", " 150W"};
    at("OptTurbo").setText(EntryOf(turbo, options_[0]));
    at("OptRS").setText(EntryOf(none1, options_[4]));
    at("OptDataRate").setText(EntryOf(rates, options_[5]));
    at("OptModulation").setText(EntryOf(mods, options_[6]));
    at("OptBucPower").setText(EntryOf(buc, options_[8]));
    at("OptIP").setText(EntryOf(none1, options_[8]));
    at("OptClockExt").setText(EntryOf(none1, options_[9]));
}

void TDetail350::OnModeAdopted() {
    at("OptionsBox").setVisible(false);
    at("BtnOptions").setText("Show Installed &Options");
}

void TDetail350::ClearStatus() {
    for (const Control* c : controls())
        if (c->name().rfind("Sta", 0) == 0 && c->kind() == ControlKind::Label &&
            c->name().find("Cap") == std::string::npos)
            ClearValue(c->name());
    at("StaCTD").setBackground(Colours::yellow).setVisible(false);
    SetValue("StaOUS", "Unavailable", Colours::yellow);
    for (const char* c : {"OusUnit", "OusRx", "OusTx", "OusODU"})
        ClearValue(c);
}

void TDetail350::ClearConfigExtra() {
    at("ConfEFM").setItems(u350::kOblix);
    at("ConfTSC").setItems(kOffOn);
    at("ConfRDS").setItems(kOffOn);
}

// ---- status -------------------------------------------------------------------------------

void TDetail350::OtherReply(const std::string& label, const std::string& reply, int length) {
    SetValue(label, Chars(reply, 2, length), State().ReplyColour);
}

void TDetail350::Show(const std::string& label, const std::string& reply, const Reading& reading) {
    if (StartsWith(reply, "="))
        SetValue(label, reading.text, reading.colour);
    else
        OtherReply(label, reply);
}

void TDetail350::DecodeFaults(const std::string& codes, const char* unit, const char* tx,
                              const char* rx, const char* odu) {
    const auto c = [&](size_t i) { return i < codes.size() ? codes[i] : ' '; };
    const FaultTable* tables[] = {&kUnitFaults, &kTxFaults, &kRxFaults, &kOduFaults};
    const char* labels[] = {unit, tx, rx, odu};
    for (size_t i = 0; i < 4; ++i) {
        const FaultText f = DecodeFault(*tables[i], c(i));
        SetValue(labels[i], f.text, StatusColour(f.severity));
    }
}

std::vector<ReadStep> TDetail350::IdentitySteps() {
    const auto text = [this](const char* label, int length) {
        return [this, label, length](const std::string& r) {
            if (StartsWith(r, "="))
                SetValue(label, Chars(r, 2, length), Colours::white);
            else
                SetValue(label, Chars(r, 2, 14), Colours::yellow);
            return 0;
        };
    };
    return {{1, "LRS?",
             [this](const std::string& r) {
                 DecodeLrs(r, "StaLRS");
                 return 3;
             }},
            {3, "CID?", text("StaCID", 25), 5},
            {5, "IMG?", text("StaIMG", 1), 7},
            {7, "SWR?", text("StaSWR", 36), 9},
            {9, "SNO?", text("StaSNO", 8), 21}};
}

void TDetail350::IdentityStep() {
    if (StepNo == 21) {
        SetCurrentMode(Phases::Status2);
        state().StepNo = 1;
        return;
    }
    RunSteps(identitySteps_);
}

// The status loop: LRS, the log counts, faults and readings, then the MQX-350L's ODU and
// BUC. Steps whose reply failed go back to LRS.
std::vector<ReadStep> TDetail350::StatusSteps() {
    const auto reading = [this](const char* label, Reading (*decode)(const std::string&)) {
        return [this, label, decode](const std::string& r) {
            Show(label, r, decode(r.substr(1)));
            return 0;
        };
    };
    const auto count = [this](const char* label) {
        return [this, label](const std::string& r) {
            if (StartsWith(r, "=")) {
                const int n = IntOfText(Chars(r, 2, 3));
                SetValue(label, std::to_string(n), n < 221 ? Colours::white : Colours::yellow);
            } else {
                OtherReply(label, r, 14);
            }
            return 0;
        };
    };
    // An "=" reply goes on; any other shows and restarts the loop.
    const auto odu = [this](const char* label, std::function<Reading(const std::string&)> f) {
        return [this, label, f](const std::string& r) {
            Show(label, r, f(r.substr(1)));
            return 0;
        };
    };
    const auto onOff = [](const char* on, const char* off, const char* onCode) {
        return [on, off, onCode](const std::string& v) {
            const bool isOn = Chars(v, 1, 1) == onCode;
            return Reading{isOn ? on : off, isOn ? Colours::lime : Colours::green};
        };
    };
    const auto unitText = [](int length, const char* unit) {
        return [length, unit](const std::string& v) { return Reading{Chars(v, 1, length) + unit}; };
    };
    return {
        {1, "LRS?",
         [this](const std::string& r) {
             DecodeLrs(r, "StaLRS");
             return 3;
         }},
        {3, "NUE?", count("StaNUE"), 103},
        {103, "NUS?", count("StaNUS"), 5},
        {5, "FLT?",
         [this](const std::string& r) {
             if (StartsWith(r, "=")) {
                 DecodeFaults(Chars(r, 2, 4), "StaUnit", "StaTx", "StaRx", "StaODU");
                 if (Chars(r, 7, 1) == "1")
                     state().DetailConfigChanged = true;
                 deps().print.PrintFaultLine(Chars(r, 2, 6), UnitName, IdText(), clock());
             } else {
                 SetValue("StaUnit", Chars(r, 2, 20), Colours::yellow);
                 SetValue("StaTx", "", Colours::gray);
                 SetValue("StaRx", "", Colours::gray);
             }
             return 0;
         },
         7},
        {7, "EBN?", reading("StaEbNo", EbNoReading), 9},
        {9, "RFO?", reading("StaFreqOffset", FreqOffsetReading), 11},
        {11, "BER?", reading("StaBER", BerReading), 13},
        {13, "BFS?", reading("StaBFS", BufferFillReading), 15},
        {15, "RED?",
         [this](const std::string& r) {
             const std::string v = Chars(r, 2, 1);
             if (StartsWith(r, "=") && v == "0") {
                 SetValue("StaRED", "Offline", Colours::yellow);
             } else if (StartsWith(r, "=") && v == "1") {
                 SetValue("StaRED", "Online", Colours::white);
                 state().OnlineUnit = true;
             } else {
                 SetValue("StaRED", "Invalid code received: " + r, State().ReplyColour);
             }
             EnableButtons(false, true, true, true);
             return 0;
         },
         17},
        {17, "OUS?",
         [this](const std::string& r) {
             const bool ok = StartsWith(r, "=");
             if (ok && Chars(r, 2, 6) == "xxxxxx") {
                 at("OusBox").setVisible(false);
                 SetValue("StaOUS", "unavailable", Colours::yellow);
             } else if (ok) {
                 at("OusBox").setVisible(true);
                 at("StaOUS").setVisible(true);
                 at("StaOUSCap").setVisible(true);
                 DecodeFaults(Chars(r, 2, 4), "OusUnit", "OusTx", "OusRx", "OusODU");
             } else {
                 at("StaOUS").setVisible(false);
                 at("StaOUSCap").setVisible(false);
             }
             EnableButtons(false, true, true, true);
             return 0;
         },
         19},
        {19, "RSL?", reading("StaRSL", RslReading), 21},
        {21, "TMP?", odu("StaTMP", unitText(3, " \u00B0C")), 23},
        {23, "TXO?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 Show("StaTXO", r, TxCarrierReading(r.substr(1)));
             else
                 OtherReply("StaTXO", r, 31);
             return PairFlag() == "1" ? 25 : 29;
         }},
        {25, "SNO?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 SetValue("StaSNO", Chars(r, 2, 8), Colours::white);
             else
                 SetValue("StaSNO", Chars(r, 2, 14), Colours::yellow);
             return 0;
         },
         27},
        {27, "CID?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 SetValue("StaCID", Chars(r, 2, 25), Colours::white);
             else
                 SetValue("StaCID", Chars(r, 2, 14), Colours::yellow);
             return 0;
         },
         29},
        {29, "REB?",
         odu("StaREB",
             [](const std::string& v) {
                 const std::string t = Chars(v, 1, 4);
                 return Reading{t == "99.9"   ? "Unlocked"
                                : t == "xx.x" ? "Not available"
                                : t == "16.0" ? "> 16 dB"
                                              : DropLeadingZero(t) + " dB"};
             }),
         31},
        {31, "PLI?",
         odu("StaPLI",
             [](const std::string& v) {
                 const std::string t = Chars(v, 1, 3);
                 return Reading{t == "x.x" ? "Not available" : t + " dB"};
             }),
         35},
        {35, "CTD?",
         [this](const std::string& r) {
             const std::string v = Chars(r, 2, 3);
             if (StartsWith(r, "=") && v != "000")
                 at("StaCTD").setText(v + " sec").setVisible(true);
             else
                 at("StaCTD").setVisible(false);
             return IsL() ? 61 : 1;
         }},
        {61, "BPC?", odu("StaBPC", onOff("Enabled", "Disabled", "1")), 63, 1},
        {63, "BDC?", odu("StaBDC", unitText(4, " mA")), 65, 1},
        {65, "BDV?", odu("StaBDV", unitText(4, " V")), 67, 1},
        {67, "LPC?",
         odu("StaLPC",
             [](const std::string& v) {
                 const bool off = Chars(v, 1, 1) == "0";
                 return Reading{off ? "Disabled" : "Enabled", off ? Colours::green : Colours::lime};
             }),
         69, 1},
        {69, "LDC?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 SetValue("StaLDC", Chars(r, 2, 3) + " mA", Colours::white);
             else
                 SetValue("StaLDC", "N/A", Colours::gray);
             return 0;
         },
         71},
        {71, "LDV?", odu("StaLDV", unitText(4, " V")), 75},
        {75, "BCE?",
         [this](const std::string& r) {
             const bool on = StartsWith(r, "=") && Chars(r, 2, 1) == "1";
             Show("StaFSK", r, {on ? "Enabled" : "Disabled", on ? Colours::lime : Colours::green});
             at("BucStatus").setVisible(on);
             return on ? 81 : 1;
         }},
        {81, "BOL?", odu("StaBOL", unitText(4, " dB")), 83, 1},
        {83, "BUT?",
         odu("StaBUT",
             [](const std::string& v) {
                 std::string t = Chars(v, 1, 4);
                 if (t.size() > 1 && t[1] == '0')
                     t[1] = ' ';
                 return Reading{t + " \u00B0C"};
             }),
         85, 1},
        {85, "BPA?",
         odu("StaBPA",
             [](const std::string& v) {
                 const bool locked = Chars(v, 1, 1) == "0";
                 return Reading{locked ? "Locked" : "Unlocked",
                                locked ? Colours::white : Colours::yellow};
             }),
         87, 1},
        {87, "BSV?", odu("StaBSV", unitText(2, "")), 1},
    };
}

void TDetail350::StatusStep() {
    RunSteps(statusSteps_);
    // A reply that failed restarts the loop at LRS.
    if (!deps().tx.AwaitingReply && StartsWith(State().LastReply, "T"))
        state().StepNo = 1;
}

// ---- configuration read --------------------------------------------------------------------

std::vector<ReadStep> TDetail350::ConfigReadSteps() {
    // Fills a box from an "=" reply; any other leaves it empty.
    const auto box = [](std::function<void(const std::string&)> f) {
        return [f](const std::string& r) {
            if (StartsWith(r, "="))
                f(r);
            return 0;
        };
    };
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
        {13, "ODU?", box([this](const std::string& r) {
             SetBoxIndex("ConfODU", HexDigitValue(Chars(r, 2, 1)));
         }),
         17},
        {15, "OGC?", box([this](const std::string& r) {
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
        {19, "FPL?", box([this](const std::string& r) {
             SetBoxIndex("ConfFPL", HexDigitValue(Chars(r, 2, 1)));
         }),
         21},
        {21, "IPA?", box([this](const std::string& r) { SetBoxText("ConfIPA", Chars(r, 2, 18)); }),
         ConfigSteps::Unlock},
        {105, "ESA?",
         [this](const std::string& r) {
             if (r == kNoComms) {
                 ShowInstruction("No comms with modem. Config data not avail.");
                 LockConfig(false);
                 return ConfigSteps::Idle;
             }
             if (StartsWith(r, "="))
                 SetBoxText("ConfESA", SubInt(r, 2, 4));
             return ConfigSteps::SetConfig;
         }},
    };
}

void TDetail350::ConfigStep() {
    RunSteps(configSteps_);
}

void TDetail350::ScramblerEntries(const char* box, int fecType, int stored) {
    Entries e = kOffOn;
    if (fecType == 6)
        e.push_back(u350::kIess); // the third entry exists only with TPC
    at(box).setItems(e);
    SetBoxIndex(box, stored);
}

void TDetail350::AfterFill(Source source) {
    if (source != Source::Config)
        return;
    const std::string& c = State().ConfigString;
    const auto digit = [&](int pos) {
        return static_cast<size_t>(pos) <= c.size() ? HexDigitValue(Chars(c, pos, 1)) : -1;
    };
    ScramblerEntries("ConfTSC", digit(13), digit(25));
    ScramblerEntries("ConfRDS", digit(57), digit(69));
    // A slave unit shows the slave entry, which the operator cannot choose.
    Entries oblix = u350::kOblix;
    if (digit(88) == 2)
        oblix.push_back(u350::kOblixSlave);
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

bool TDetail350::InLoopback() const {
    const int t = at("ConfTST").selected();
    return t == 1 || t == 4;
}

void TDetail350::FecRules(const char* type, const char* mod, const char* coding) {
    const int fec = at(type).selected();
    const int modulation = at(mod).selected();
    at(mod).setEnabled(fec != 5);
    at(coding).setEnabled(fec != 5 && fec != 0 && !(modulation == 0 && fec != 7));
}

void TDetail350::LockExtra(bool effectiveLock, bool requested) {
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
    FecRules("ConfTFT", "ConfTMD", "ConfTCR");
    FecRules("ConfRFT", "ConfRMD", "ConfRCR");
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

std::optional<std::string> TDetail350::CustomCommand(const BoxSpec& box, const std::string&) {
    if (box.command != "TST")
        return std::nullopt;
    // At the DISTANT end only the I/O loopback keeps the management channel.
    if (DistantEnd && at("ConfTST").selected() != 3) {
        at("ConfTST").setSelected(0);
        state().ConfirmText =
            "Change Unit Test Mode to" + at("ConfTST").selectedText() + ". Comms may be affected.";
    }
    return "TST=" + std::to_string(at("ConfTST").selected());
}

} // namespace linvar
