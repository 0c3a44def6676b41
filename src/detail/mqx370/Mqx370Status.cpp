// The MQX-370 status panel: the identity steps and the status loop as reading tables.
// The readings every modem shows alike are the shared ones; the fault lines go through
// the station's fault tables, whose texts differ for model code 370.

#include "detail/mqx370/Mqx370Tables.h"
#include "detail/mqx370/Mqx370Window.h"

#include "logging/Print.h"
#include "poll/PollCycle.h"
#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

namespace linvar {

void Mqx370Window::DecodeFaults(const std::string& codes, const char* unit, const char* tx,
                                const char* rx, const char* fourth) {
    const auto c = [&](size_t i) { return i < codes.size() ? codes[i] : ' '; };
    const FaultText texts[] = {UnitFaultText(c(0)), TxFaultText(c(1)), RxFaultText(c(2)),
                               OpenNetworkFaultText(c(3))};
    const char* labels[] = {unit, tx, rx, fourth};
    for (size_t i = 0; i < 4; ++i)
        SetValue(labels[i], texts[i].text, StatusColour(texts[i].severity));
}

std::vector<ReadStep> Mqx370Window::IdentitySteps() {
    return {Lrs(1, 3),
            CircuitId(3, 5),
            {5, "HRV?",
             [this](const std::string& r) {
                 const bool ok = StartsWith(r, "=");
                 at("StaHRV").setVisible(ok);
                 at("StaHRVCap").setVisible(ok);
                 if (ok) {
                     SetValue("StaHRV", Chars(r, 2, 4), Colours::white);
                     // A revision digit of 1 or more: the wide IF range.
                     const std::string d = Chars(r, 5, 1);
                     if (!d.empty() && d[0] >= '1' && d[0] <= '9')
                         wideRange_ = true;
                 }
                 return 0;
             },
             7},
            {7, "SWR?",
             [this](const std::string& r) {
                 if (StartsWith(r, "=")) {
                     SetValue("StaSWR", Chars(r, 2, 8), Colours::white);
                     const auto d = [&](int pos) {
                         const std::string c = Chars(r, pos, 1);
                         return !c.empty() && c[0] >= '0' && c[0] <= '9' ? c[0] - '0' : 0;
                     };
                     firmware_ = d(2) * 100 + d(4) * 10 + d(6);
                 } else {
                     SetValue("StaSWR", Chars(r, 2, 14), Colours::yellow);
                 }
                 return 0;
             },
             9},
            SerialNumber(9, 21)};
}

std::vector<ReadStep> Mqx370Window::StatusSteps() {
    const auto rest = [](const char* unit) {
        return [unit](const std::string& v) { return Reading{v + unit}; };
    };
    return {
        Lrs(1, 3),
        Count(3, "NUE?", "StaNUE", 103),
        Count(103, "NUS?", "StaNUS", 5),
        Faults(
            5, FaultShapes::Mqx370,
            [this](const std::string& codes) {
                DecodeFaults(codes, "StaUnit", "StaTx", "StaRx", "StaONet");
            },
            7),
        ReadingStep(7, "EBN?", "StaEbNo", EbNoReading, 9),
        ReadingStep(9, "RFO?", "StaFreqOffset", Mqx370FreqOffsetReading, 11),
        ReadingStep(11, "BER?", "StaBER", BerReading, 13),
        ReadingStep(13, "BFS?", "StaBFS", BufferFillReading, 15),
        // Older firmware has no offline-unit query.
        Redundancy(15, "Off line", "On line",
                   [this] { return firmware_ >= (IsL() ? 131 : 201) ? 17 : 19; }),
        {17, "OUS?",
         [this](const std::string& r) {
             const std::string v = Chars(r, 2, 6);
             const bool ok = StartsWith(r, "=") && v != "No1fr1";
             at("StaOUS").setVisible(ok);
             at("StaOUSCap").setVisible(ok);
             if (ok && v == "NoComm")
                 SetValue("StaOUS", v, Colours::gray);
             else if (ok && Chars(r, 2, 4) == "0000")
                 SetValue("StaOUS", "OK: " + Chars(r, 2, 4), Colours::lime);
             else if (ok)
                 SetValue("StaOUS", "FT: " + Chars(r, 2, 4), Colours::red);
             EnableButtons(false, true, true, true);
             return 0;
         },
         19},
        ReadingStep(19, "RSL?", "StaRSL", Mqx370RslReading, 21),
        ReadingStep(21, "TMP?", "StaTMP", TemperatureReading, 23),
        {23, "TXO?",
         [this](const std::string& r) {
             if (StartsWith(r, "=")) {
                 Reading carrier = TxCarrierReading(r.substr(1));
                 if (Chars(r, 2, 1) == "4")
                     carrier.text = "Off for BUC warm-up";
                 Show("StaTXO", r, carrier);
             } else {
                 OtherReply("StaTXO", r, 31);
             }
             return PairFlag() == "1" ? 25 : 29;
         }},
        SerialNumber(25, 27),
        CircuitId(27, 29),
        RemoteEbNo(29, 31),
        {31, "PLI?",
         [this](const std::string& r) {
             const std::string t = Chars(r, 2, 3);
             Show("StaPLI", r, {t == "x.x" ? "Not available" : t + " dB"});
             return HasReference() ? 35 : IsL() ? 61 : 1;
         }},
        Countdown(35, [this] { return IsL() ? 61 : 1; }),
        // The L-band units' BUC and LNB; a reply that failed ends the loop.
        ReadingStep(
            61, "ODP?", "StaODP",
            [](const std::string& v) {
                const bool on = Chars(v, 1, 1) == "1";
                return Reading{on ? "Enabled" : "Disabled", on ? Colours::lime : Colours::green};
            },
            63, 1),
        {63, "ODU?",
         [this](const std::string& r) {
             const bool on = StartsWith(r, "=") && Chars(r, 2, 1) == "1";
             Show("StaFSK", r, {on ? "Enabled" : "Disabled", on ? Colours::lime : Colours::green});
             return on ? 65 : 1;
         }},
        ReadingStep(65, "OOL?", "StaOOL", UnitText(4, " dB"), 67, 1),
        ReadingStep(67, "ODT?", "StaODT", BucTemperatureReading, 69, 1),
        ReadingStep(69, "OLL?", "StaOLL", PllReading, 71, 1),
        ReadingStep(71, "ODC?", "StaODC", UnitText(4, " mA"), 73, 1),
        ReadingStep(73, "OSV?", "StaOSV", rest(""), 75, 1),
        ReadingStep(75, "OPC?", "StaOPC", rest(" watt"), 77, 1),
        ReadingStep(77, "ODV?", "StaODV", UnitText(4, " V"), 79, 1),
        {79, "LNC?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 SetValue("StaLNC", Chars(r, 2, 3) + " mA", Colours::white);
             else
                 SetValue("StaLNC", "N/A", Colours::gray);
             return 0;
         },
         81},
        ReadingStep(81, "OTP?", "StaOTP", rest(" dB"), 1),
    };
}

Reading Mqx370FreqOffsetReading(const std::string& v) {
    if (Chars(v, 1, 5) == "99999")
        return {"Unlocked"};
    const ParsedReal khz = ParseReal(Chars(v, 1, 6));
    return {Chars(v, 1, 6) + " kHz", Colours::white,
            khz.ok ? std::optional<double>(khz.value) : std::nullopt};
}

Reading Mqx370RslReading(const std::string& v) {
    const std::string head = Chars(v, 1, 2);
    const std::string level = Chars(v, 3, 13);
    const ParsedReal dbm = ParseReal(level);
    // A received level is below a milliwatt, whether or not the unit writes the sign.
    const std::optional<double> value =
        dbm.ok ? std::optional<double>(dbm.value > 0 ? -dbm.value : dbm.value) : std::nullopt;
    if (head == "GT")
        return {"> " + level + " dBm", Colours::white, value};
    if (head == "LT")
        return {"< " + level + " dBm", Colours::white, value};
    if (head == "==")
        return {level + " dBm", Colours::white, value};
    return {Chars(v, 1, 13)};
}

} // namespace linvar
