// The MQX-350 status panel: the identity steps and the status loop as reading tables,
// with the family's fault tables.

#include "detail/U350.h"

#include "logging/Print.h"
#include "protocol/PollCycle.h"
#include "protocol/TextFormats.h"

namespace linvar {

namespace {

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
             } else if (StartsWith(r, "=")) {
                 SetValue("StaRED", "Invalid code received: " + r, State().ReplyColour);
             } else {
                 OtherReply("StaRED", r);
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
        {29, "REB?", odu("StaREB", RemoteEbNoReading), 31},
        {31, "PLI?", odu("StaPLI", PowerIncreaseReading), 35},
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

} // namespace linvar
