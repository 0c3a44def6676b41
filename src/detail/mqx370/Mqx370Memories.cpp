// The MQX-370 memory previews as data: the stored configuration, the L-band units' ODU
// string and the drop and insert setting, as the operator reads them before a load or a
// store.

#include "detail/mqx370/Mqx370Tables.h"
#include "detail/mqx370/Mqx370Window.h"

#include "wire/TextFormats.h"

namespace linvar {

using namespace u370;
using namespace ModemEntries;
using Preview::Entry;
using Preview::Int;
using Preview::Real;

namespace {

// The characters as the unit stored them.
PreviewField Raw(int pos, int len) {
    PreviewField f;
    f.pos = pos;
    f.len = len;
    return f;
}

// A volume pair: two characters each ("-4", "+2").
std::string Volumes(const std::string& f) {
    return Chars(f, 1, 2) + "," + Chars(f, 3, 2);
}

Entries Joined(Entries a, const Entries& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

std::vector<PreviewMemo> Mqx370Window::ConfigPreview() const {
    // The L-band units keep a frequency as eight digits with no point.
    const auto frequency = [this](int pos) -> PreviewField {
        if (!IsL())
            return Real(pos, 8, 4, 8);
        return Preview::Custom(pos, 8, [](const std::string& f) {
            return RealText(ParseReal(Chars(f, 1, 4) + "." + Chars(f, 5, 4)).value, 9, 4);
        });
    };
    const auto rate = [](int pos) {
        return Preview::Custom(pos, 9, [](const std::string& f) {
            return f.size() == 9 && f.substr(6, 2) == "AU" ? f.substr(1, 4) + " AUX"
                                                           : RealField(f, 1, 9, 3, 9);
        });
    };
    // Entries by the hex digit of a modulation: the 16-QAM variants are A to E.
    Entries modulations = kModulations;
    modulations.resize(10);
    modulations = Joined(modulations, kQamVariants);
    const Entries scramblers{" Off", " On", " OM-73 / IESS-315"};
    const Entries aupc{"Manual mode", "AUPC on", "Low power Manual", "Low power AUPC"};
    const Entries& references = IsL() ? kMasterReferences : kReferences;
    return {{"MemTx",
             {{frequency(1), " MHz"},
              {"Mode  ", Entry(modulations, 21), Entry(kCodings, 20)},
              {Entry(kFecTx, 18), " encoding"},
              {"Seq + Reed-Sol:", Entry(kReedSolomon, 19)},
              {rate(9), " kbps"},
              {Entry(kNormalInverted, 22), " Spectrum "},
              {"Scrambler", Entry(scramblers, 23)},
              {"Power -", Real(24, 4, 1, 4), " dBm"},
              {Entry(kTxClocks, 35), " clock"},
              {"Carrier", Entry(kCarrier, 36)},
              {"Audio: ", Preview::Custom(105, 4, Volumes)},
              {"ESC: ", Entry(kEsc, 80)},
              {"G.703 ternary:", Entry(kTernary, 38)},
              {"Drop type:", Entry(kTxFraming, 39)},
              {"Ref: ", Entry(references, 92)}}},
            {"MemRx",
             {{frequency(41), " MHz"},
              {"Mode  ", Entry(modulations, 61), Entry(kCodings, 60)},
              {Entry(kFecRx, 58), " decoding"},
              {rate(49), " kbps"},
              {"De-Scrambler", Entry(scramblers, 63)},
              {"Sweep width +/-", Int(64, 2), " kHz"},
              {"Buffer: ", Int(71, 5), " bytes"},
              {"Insert type:", Entry(kRxFraming, 78)},
              {"Eb/No Alarm @ ", Real(67, 4, 1, 4), " dB"}}},
            {"MemUnit",
             {{"OBLIX slave address ", Int(81, 4)},
              {"Stats Interval:", Entry(kStatsLog, 93)},
              {"Tx:", Entry(kImpedances, 40), " Rx:", Entry(kImpedances, 79), " Impedance"},
              {"ODU Comms", Entry(kDisabledEnabled, 96)},
              {Entry(PreviewTestModes(kTestModes), 85)}}},
            AupcPreview(aupc, 28, 29, 30, 31, 34)};
}

std::vector<PreviewMemo> Mqx370Window::OduPreview() const {
    return {{"MemBuc",
             {{"BUC"},
              {"Power: ", Entry(kDisabledEnabled, 5)},
              {"Address: ", Raw(1, 2)},
              {"10MHz Ref: ", Entry(kDisabledEnabled, 6)},
              {"Alarm limits: ", Raw(12, 4), " - ", Raw(16, 4), " mA"},
              {"Tx output power: ", Entry(kDisabledEnabled, 3)},
              {"Power leveling: ", Entry(kDisabledEnabled, 4)},
              {"Tx target power: ", Raw(20, 4), " dB"},
              {"Carrier-on delay: ", Raw(7, 5)}}},
            {"MemLnb",
             {{"LNB"},
              {"Power: ", Entry(kDisabledEnabled, 25)},
              {"Voltage: ", Entry(kLnbVoltages, 24)},
              {"10MHz Ref: ", Entry(kDisabledEnabled, 26)},
              {"Alarm limits: ", Raw(27, 3), " - ", Raw(30, 3), " mA"},
              {""},
              {""},
              {"Tx LO frequency: ", Raw(33, 6), " MHz"},
              {"Rx LO frequency: ", Raw(39, 6), " MHz"}}}};
}

std::vector<PreviewMemo> Mqx370Window::DropInsertPreview() const {
    return {{"MemDni",
             {{"Drop type: ", Entry(kDropTypes, 25)},
              {"Insert type: ", Entry(kDropTypes, 50)},
              {"Loop: ", Entry(kOffOn, 51)}}}};
}

} // namespace linvar
