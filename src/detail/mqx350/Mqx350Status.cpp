// The MQX-350 status panel: the identity steps and the status loop as reading tables,
// with the family's fault tables.

#include "detail/mqx350/Mqx350Window.h"

#include "logging/Print.h"
#include "poll/PollCycle.h"
#include "wire/TextFormats.h"

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

void Mqx350Window::DecodeFaults(const std::string& codes, const char* unit, const char* tx,
                                const char* rx, const char* odu) {
    const auto c = [&](size_t i) { return i < codes.size() ? codes[i] : ' '; };
    const FaultTable* tables[] = {&kUnitFaults, &kTxFaults, &kRxFaults, &kOduFaults};
    const char* labels[] = {unit, tx, rx, odu};
    for (size_t i = 0; i < 4; ++i) {
        const FaultText f = DecodeFault(*tables[i], c(i));
        SetValue(labels[i], f.text, StatusColour(f.severity));
    }
}

std::vector<ReadStep> Mqx350Window::IdentitySteps() {
    return {Lrs(1, 3), CircuitId(3, 5), IdentityText(5, "IMG?", "StaIMG", 1, 7),
            IdentityText(7, "SWR?", "StaSWR", 36, 9), SerialNumber(9, 21)};
}

// The status loop: LRS, the log counts, faults and readings, then the MQX-350L's ODU and
// BUC. Steps whose reply failed go back to LRS.
std::vector<ReadStep> Mqx350Window::StatusSteps() {
    const auto onOff = [](const char* on, const char* off, const char* onCode) {
        return [on, off, onCode](const std::string& v) {
            const bool isOn = Chars(v, 1, 1) == onCode;
            return Reading{isOn ? on : off, isOn ? Colours::lime : Colours::green};
        };
    };
    return {
        Lrs(1, 3),
        Count(3, "NUE?", "StaNUE", 103),
        Count(103, "NUS?", "StaNUS", 5),
        Faults(
            5, FaultShapes::Mqx350,
            [this](const std::string& codes) {
                DecodeFaults(codes, "StaUnit", "StaTx", "StaRx", "StaODU");
            },
            7),
        ReadingStep(7, "EBN?", "StaEbNo", EbNoReading, 9),
        ReadingStep(9, "RFO?", "StaFreqOffset", FreqOffsetReading, 11),
        ReadingStep(11, "BER?", "StaBER", BerReading, 13),
        ReadingStep(13, "BFS?", "StaBFS", BufferFillReading, 15),
        Redundancy(15, "Offline", "Online", [] { return 17; }),
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
        ReadingStep(19, "RSL?", "StaRSL", RslReading, 21),
        ReadingStep(21, "TMP?", "StaTMP", TemperatureReading, 23),
        {23, "TXO?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 Show("StaTXO", r, TxCarrierReading(r.substr(1)));
             else
                 OtherReply("StaTXO", r, 31);
             return PairFlag() == "1" ? 25 : 29;
         }},
        SerialNumber(25, 27),
        CircuitId(27, 29),
        RemoteEbNo(29, 31),
        PowerIncrease(31, 35),
        Countdown(35, [this] { return IsL() ? 61 : 1; }),
        ReadingStep(61, "BPC?", "StaBPC", onOff("Enabled", "Disabled", "1"), 63, 1),
        ReadingStep(63, "BDC?", "StaBDC", UnitText(4, " mA"), 65, 1),
        ReadingStep(65, "BDV?", "StaBDV", UnitText(4, " V"), 67, 1),
        ReadingStep(
            67, "LPC?", "StaLPC",
            [](const std::string& v) {
                const bool off = Chars(v, 1, 1) == "0";
                return Reading{off ? "Disabled" : "Enabled", off ? Colours::green : Colours::lime};
            },
            69, 1),
        {69, "LDC?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 SetValue("StaLDC", Chars(r, 2, 3) + " mA", Colours::white);
             else
                 SetValue("StaLDC", "N/A", Colours::gray);
             return 0;
         },
         71},
        ReadingStep(71, "LDV?", "StaLDV", UnitText(4, " V"), 75),
        {75, "BCE?",
         [this](const std::string& r) {
             const bool on = StartsWith(r, "=") && Chars(r, 2, 1) == "1";
             Show("StaFSK", r, {on ? "Enabled" : "Disabled", on ? Colours::lime : Colours::green});
             at("BucStatus").setVisible(on);
             return on ? 81 : 1;
         }},
        ReadingStep(81, "BOL?", "StaBOL", UnitText(4, " dB"), 83, 1),
        ReadingStep(83, "BUT?", "StaBUT", BucTemperatureReading, 85, 1),
        ReadingStep(85, "BPA?", "StaBPA", PllReading, 87, 1),
        ReadingStep(87, "BSV?", "StaBSV", UnitText(2, ""), 1),
    };
}

} // namespace linvar
