// The MQX-350 memory previews: the stored configuration and the MQX-350L's ODU string
// as the operator reads them before a load or a store.

#include "detail/U350.h"
#include "detail/U350Tables.h"

#include "protocol/TextFormats.h"

namespace linvar {

using namespace u350;
using namespace ModemEntries;

// ---- memory previews --------------------------------------------------------------------

void TDetail350::FillMemoryPreview(const std::string& c) {
    const auto e = [&](const Entries& list, int pos) {
        return EntryOf(list, static_cast<size_t>(pos) <= c.size() ? c[pos - 1] : ' ');
    };
    Entries scr = kOffOn;
    scr.push_back(kIess);
    Entries oblix = kOblix;
    oblix.push_back(kOblixSlave);
    std::string carrier = e(kCarrier, 32);
    if (Chars(c, 32, 1) == "3")
        carrier = kCarrier[2];
    std::vector<std::string> tx{RealField(c, 4, 9, 4, 9) + " MHz",
                                e(kFecTypes, 13) + " encoding",
                                e(kCodings, 15) + " " + e(kModulations, 14),
                                RealField(c, 16, 8, 3, 8) + " kbps",
                                e(kNormalInverted, 24) + " Spectrum ",
                                e(kNormalInverted, 31) + " Data ",
                                "Scrambler" + e(scr, 25),
                                "Power -" + RealField(c, 26, 4, 1, 4) + " dBm",
                                e(kClockSources, 30) + " clock",
                                "Carrier" + carrier,
                                "Warm-up delay: " + e(kDisabledEnabled, 40)};
    if (options_[9] == '1')
        tx.push_back("ClkEx: " + e(kClockExtModes, 41) + "," + e(kClockExtInterfaces, 42));
    const std::vector<std::string> rx{RealField(c, 48, 9, 4, 9) + " MHz",
                                      e(kFecTypes, 57) + " decoding",
                                      e(kCodings, 59) + " " + e(kModulations, 58),
                                      RealField(c, 60, 8, 3, 8) + " kbps",
                                      e(kNormalInverted, 68) + " Spectrum ",
                                      e(kNormalInverted, 70) + " Data ",
                                      "De-Scrambler" + e(scr, 69),
                                      "Sweep width +/-" + SubInt(c, 71, 3) + " kHz",
                                      "Buffer:" + e(kBuffers, 78),
                                      "Eb/No Alarm @ " + RealField(c, 74, 4, 1, 4) + " dB"};
    const std::string test = e(kTestModes, 93);
    const std::vector<std::string> unit{"Interface:" + e(kInterfaces, 1),
                                        "Framing:" + e(kFraming, 3),
                                        "T1 Line Build-out:" + e(kBuildOut, 2),
                                        e(oblix, 88),
                                        "OBLIX slave address " + SubInt(c, 89, 4),
                                        "Stats Interval:" + e(kStatsLog, 107),
                                        "RTS:" + e(kRts, 106),
                                        Chars(c, 93, 1) == "0" ? "Normal Operation"
                                                               : "Test: " + test,
                                        "ExtRef:" + e(kReferences, 87)};
    const std::string t = Chars(c, 36, 3);
    const int whole = t.empty() ? 0 : HexDigitValue(t.substr(0, 1));
    const std::string target =
        t.size() == 3 ? std::to_string(whole) + "." + t.substr(2, 1) : std::string("?");
    const std::vector<std::string> aupc{
        Chars(c, 33, 1) == "1" ? "AUPC on" : "Manual mode", "Target EbNo: " + target + " dB",
        "Max increase: " + e(kIncrease, 39), e(kAtMaximum, 34) + " on Pmax",
        e(kAtUnlock, 35) + " w/Unlock"};
    at("MemPreview")
        .setText("Memory location " + Chars(at("MemoryList").selectedText(), 2, 1) + " preview");
    at("MemTx").setText(JoinLines(tx));
    at("MemRx").setText(JoinLines(rx));
    at("MemUnit").setText(JoinLines(unit));
    at("MemAupc").setText(JoinLines(aupc));
}

void TDetail350::FillMemoryPrelude(size_t, const std::string& reply) {
    const std::string o = reply.substr(1);
    const auto e = [&](const Entries& list, int pos) {
        return EntryOf(list, static_cast<size_t>(pos) <= o.size() ? o[pos - 1] : ' ');
    };
    at("MemBuc").setText(
        JoinLines({"BUC", "FSK Comms: " + e(kDisabledEnabled, 3), "Address: " + SubInt(o, 1, 2),
                   "DC Power: " + e(kDisabledEnabled, 4), "10MHz Ref: " + e(kDisabledEnabled, 5),
                   "Alarm limits: " + SubInt(o, 11, 4) + " - " + SubInt(o, 15, 4) + " mA",
                   "Tx output: " + e(kDisabledEnabled, 6)}));
    at("MemLnb").setText(
        JoinLines({"LNB", "DC Power: " + e(kLnbPower, 31), "10MHz Ref: " + e(kDisabledEnabled, 32),
                   "Alarm limits: " + SubInt(o, 33, 3) + " - " + SubInt(o, 36, 3) + " mA",
                   "Tx LO frequency: " + SubInt(o, 19, 5) + " MHz",
                   "Rx LO frequency: " + SubInt(o, 39, 5) + " MHz"}));
}

void TDetail350::ShowMemoryPreview(bool configuration, bool preludes) {
    at("MemPreview").setVisible(configuration || preludes);
    for (const char* m : {"MemTx", "MemRx", "MemUnit", "MemAupc"})
        at(m).setVisible(configuration);
    at("MemBuc").setVisible(preludes && IsL());
    at("MemLnb").setVisible(preludes && IsL());
}

} // namespace linvar
