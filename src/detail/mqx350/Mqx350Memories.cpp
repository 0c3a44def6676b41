// The MQX-350 memory previews as data: the stored configuration and the MQX-350L's ODU
// string, line by line, as the operator reads them before a load or a store.

#include "detail/mqx350/Mqx350Tables.h"
#include "detail/mqx350/Mqx350Window.h"

#include "wire/TextFormats.h"

namespace linvar {

using namespace u350;
using namespace ModemEntries;
using Preview::Entry;
using Preview::Int;
using Preview::Real;

namespace {

Entries With(Entries list, const char* extra) {
    list.push_back(extra);
    return list;
}

} // namespace

std::vector<PreviewMemo> Mqx350Window::ConfigPreview() const {
    const Entries scrambler = With(kOffOn, kIess);
    // A stored 3 is shown as the third entry.
    const Entries carrier = With(kCarrier, kCarrier[2].c_str());
    std::vector<PreviewLine> tx{{Real(4, 9, 4, 9), " MHz"},
                                {Entry(kFecTypes, 13), " encoding"},
                                {Entry(kCodings, 15), " ", Entry(kModulations, 14)},
                                {Real(16, 8, 3, 8), " kbps"},
                                {Entry(kNormalInverted, 24), " Spectrum "},
                                {Entry(kNormalInverted, 31), " Data "},
                                {"Scrambler", Entry(scrambler, 25)},
                                {"Power -", Real(26, 4, 1, 4), " dBm"},
                                {Entry(kClockSources, 30), " clock"},
                                {"Carrier", Entry(carrier, 32)},
                                {"Warm-up delay: ", Entry(kDisabledEnabled, 40)}};
    if (options_[9] == '1')
        tx.push_back({"ClkEx: ", Entry(kClockExtModes, 41), ",", Entry(kClockExtInterfaces, 42)});
    return {{"MemTx", tx},
            {"MemRx",
             {{Real(48, 9, 4, 9), " MHz"},
              {Entry(kFecTypes, 57), " decoding"},
              {Entry(kCodings, 59), " ", Entry(kModulations, 58)},
              {Real(60, 8, 3, 8), " kbps"},
              {Entry(kNormalInverted, 68), " Spectrum "},
              {Entry(kNormalInverted, 70), " Data "},
              {"De-Scrambler", Entry(scrambler, 69)},
              {"Sweep width +/-", Int(71, 3), " kHz"},
              {"Buffer:", Entry(kBuffers, 78)},
              {"Eb/No Alarm @ ", Real(74, 4, 1, 4), " dB"}}},
            {"MemUnit",
             {{"Interface:", Entry(kInterfaces, 1)},
              {"Framing:", Entry(kFraming, 3)},
              {"T1 Line Build-out:", Entry(kBuildOut, 2)},
              {Entry(With(kOblix, kOblixSlave), 88)},
              {"OBLIX slave address ", Int(89, 4)},
              {"Stats Interval:", Entry(kStatsLog, 107)},
              {"RTS:", Entry(kRts, 106)},
              {Entry(PreviewTestModes(kTestModes), 93)},
              {"ExtRef:", Entry(kReferences, 87)}}},
            AupcPreview({"Manual mode", "AUPC on"}, 33, 34, 35, 36, 39)};
}

std::vector<PreviewMemo> Mqx350Window::OduPreview() const {
    return {{"MemBuc",
             {{"BUC"},
              {"FSK Comms: ", Entry(kDisabledEnabled, 3)},
              {"Address: ", Int(1, 2)},
              {"DC Power: ", Entry(kDisabledEnabled, 4)},
              {"10MHz Ref: ", Entry(kDisabledEnabled, 5)},
              {"Alarm limits: ", Int(11, 4), " - ", Int(15, 4), " mA"},
              {"Tx output: ", Entry(kDisabledEnabled, 6)}}},
            {"MemLnb",
             {{"LNB"},
              {"DC Power: ", Entry(kLnbPower, 31)},
              {"10MHz Ref: ", Entry(kDisabledEnabled, 32)},
              {"Alarm limits: ", Int(33, 3), " - ", Int(36, 3), " mA"},
              {"Tx LO frequency: ", Int(19, 5), " MHz"},
              {"Rx LO frequency: ", Int(39, 5), " MHz"}}}};
}

} // namespace linvar
