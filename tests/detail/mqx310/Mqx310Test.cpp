#include "detail/DetailRig.h"

#include "detail/mqx310/Mqx310Window.h"

#include <array>
#include <iterator>
#include <sstream>

using namespace linvar;

namespace {

using V = Lines;

V Words(const std::string& s) {
    std::istringstream in(s);
    return {std::istream_iterator<std::string>(in), {}};
}

// A 66-position configuration string with a different value in every field.
const std::string kKnown = "071.2345128.000721012.521084.5000256.000320125106.5420071011010120";
// QPSK 3/4 both ways at 64 kbps, unframed, normal operation.
const std::string kPlain = "070.0000064.000320110.021070.0000064.000320130104.0210050000000000";
const char* const kLocal = "Modem is in LOCAL mode, no change of config permitted";

// An MQX-310 (an RDX-7010 by its identity) holding `config`, in remote state `remote`.
struct Rig : DetailRig {
    explicit Rig(const std::string& config = kPlain, char remote = '1',
                 const std::string& identity = "0310100000", int record = 3) {
        Open<Mqx310Window>(identity[0] == '7' ? "7010" : "310", identity, record, "0330",
                           [&](sim::Unit& u) {
                               u.setConfig(config);
                               u.setRemoteState(remote);
                           });
    }
    // The next request to go out, without the address.
    std::string Next() {
        const size_t mark = port.sent.size();
        Until([&] { return port.sent.size() > mark; });
        return port.sent.size() > mark ? Commands(mark).front() : "";
    }
};

} // namespace

TEST(Detail310, TheWindowReadsTheIdentityItself) {
    // identity, model, IF band, the frequencies, the highest data rate and its characters
    for (const auto& [identity, name, band, range, top, chars] :
         std::vector<std::array<std::string, 6>>{
             {"0310100000", "MQX-310", "70 MHz", "52 and 88", "512", "7"},
             {"7010200000", "RDX-7010", "140 MHz", "104 and 176", "2048", "8"}}) {
        SCOPED_TRACE(identity);
        Rig r(kPlain, '1', identity);
        const size_t mark = r.port.sent.size();
        ASSERT_TRUE(r.UntilSent("TXO?") && r.UntilSent("LRS?"));
        EXPECT_EQ(r.Commands(mark), Words("LRS? CID? EID? SWR? SNO? LRS? NUE? FLT? EBN? RFO? "
                                          "BER? BFS? RED? TXO? LRS?"));
        EXPECT_EQ(r.w->caption(), "Detail of Modem 1, Local end, link: MADRID-2       " + name);
        r.Shows("ModelNo=" + name + "|IFband=" + band + "|RXoption=RX / TX|StaSWR=1.05");
        EXPECT_FALSE(r.at("NrLogStats").visible());
        r.ReadConfig();
        EXPECT_EQ(r.at("TxMod").items(), (V{" BPSK", " QPSK"}));
        EXPECT_EQ(r.Prompt("TxFreq"),
                  "Enter a TX frequency, between " + range + " MHz, resolution 100Hz.");
        EXPECT_EQ(r.Prompt("TxDataRate"), "Enter a TX data rate, between 7.2 and " + top +
                                              " kbps, resolution 1 bps, up to " + chars +
                                              " characters.");
        EXPECT_EQ(r.Set("TxDataRate", "1024"), top == "512" ? V{} : V{"TDR=1024.000"});
    }
}

TEST(Detail310, DataRatesFollowTheModelAndModulationAfterATimeOut) {
    Rig r;
    // A time-out leaves no mark in the capture file.
    r.setup.rec(3).TimeoutText = "1";
    r.capture.ToggleCapture();
    r.unit->inject(sim::Injection::silence());
    ASSERT_TRUE(r.Until([&] { return !r.Text("Notice").empty(); }));
    EXPECT_EQ(r.dir.read(CaptureFileName).find("[timed out]"), std::string::npos);
    r.unit->clearInjections();
    r.ReadConfig();
    EXPECT_EQ(r.Set("TxDataRate", "7.1"), V{});
    EXPECT_EQ(r.Set("TxDataRate", "512"), V{"TDR=512.000"});
    // BPSK holds the FEC rate at 1/2 and halves the highest rate.
    EXPECT_EQ(r.Set("TxMod", " BPSK"), V{"TMD=1"});
    r.Shows("TxModNote=With BPSK modulation, FEC is limited to rate 1/2|TxFECrate= Rate 1/2");
    EXPECT_FALSE(r.at("TxFECrate").enabled());
    EXPECT_EQ(colourName(r.at("TxFECrateCap").textColour()), "gray");
    EXPECT_EQ(r.Set("TxDataRate", "320"), V{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad data rate value. Please correct it");
    EXPECT_EQ(r.Set("TxDataRate", "256"), V{"TDR=256.000"});
    EXPECT_EQ(r.Set("TxMod", " QPSK"), V{"TMD=2"});
    EXPECT_EQ(r.Flags(&Control::enabled, {"TxFECrate"}) + r.Flags(&Control::visible, {"TxModNote"}),
              "10");
    EXPECT_EQ(r.Set("RxMod", " BPSK"), V{"RMD=1"});
    EXPECT_FALSE(r.at("RxFECrate").enabled());
    // The Eb/No alarm point starts at 2 dB.
    EXPECT_EQ(r.Set("EbNoAlarmPt", "1.5"), V{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad alarm point value. Please correct it");
    EXPECT_EQ(r.Set("EbNoAlarmPt", "2"), V{"EBA=02.0"});
    EXPECT_EQ(r.Prompt("MaskTxAis"), "Check boxes of desired alarms to be masked.");
    // A self-test waits no longer than any other command.
    r.w->choose("TestMode", 1);
    ASSERT_TRUE(r.tx.AwaitingReply);
    EXPECT_EQ(r.port.sent.back(), r.Req("TST=1"));
    EXPECT_EQ(r.tx.TimeoutLeft, 1000);
}

TEST(Detail310, RefusedStatusRepliesKeepTheirOwnPlaceInTheLoop) {
    Rig r;
    r.unit->setReading("EBN", "+016.0  ");
    ASSERT_TRUE(r.UntilSent("TXO?"));
    r.Tick(3);
    r.Shows({{"StaEbNo", "> 16 dB"}, {"StaRED", "On line"}, {"StaTXO", "On", "lime"}});
    EXPECT_TRUE(r.w->DetailConfigChanged) << "the unit's mark is the fourth character";
    // The request after a refused, unanswered or rarer reply, and what the operator is shown.
    for (const auto& [command, answer, next, shown] : std::vector<std::array<std::string, 4>>{
             {"FLT", "*", "FLT?", "UnitFault=Not permitted"},
             {"RED", "?", "LRS?", ""},
             {"BER", "~", "FLT?", ""},
             {"TXO", "*", "FLT?", "StaTXO=Not permitted"},
             {"TXO", "=2", "LRS?", "StaTXO=Off by External Control"}}) {
        SCOPED_TRACE(command);
        r.unit->setAnswer(command, answer);
        ASSERT_TRUE(r.UntilSent(command + "?"));
        EXPECT_EQ(r.Next(), next);
        r.Shows(shown);
        EXPECT_TRUE(command != "RED" || !r.w->OnlineUnit);
        r.unit->setAnswer(command, "");
    }
}

TEST(Detail310, LocksAtTheOfflineUnitTheRedundantModemAndTheDistantFraming) {
    // record, paired, on line, the opener's name; read-only: TxFreq, CircuitID; enabled:
    // TxSpectrum, TxFECtype, FramingMode; shown: the slave address
    for (const auto& [record, paired, online, name, flags] :
         std::vector<std::tuple<int, bool, bool, const char*, std::string>>{
             {3, true, false, "", "100001"},
             {3, true, true, "", "001011"},
             {4, false, true, "", "001000"},
             {42, false, true, "Redundant Modem, Switch 1", "100001"}}) {
        SCOPED_TRACE(record);
        DetailRig r;
        r.paired = paired;
        r.name = name;
        r.Open<Mqx310Window>("310", "0310100000", record, "0330",
                             [](sim::Unit& u) { u.setConfig(kPlain); });
        r.unit->setOnline(online);
        r.ReadConfig();
        EXPECT_EQ(r.Flags(&Control::readOnly, {"TxFreq", "CircuitID"}) +
                      r.Flags(&Control::enabled, {"TxSpectrum", "TxFECtype", "FramingMode"}) +
                      r.Flags(&Control::visible, {"OBLIXslaveAdd"}),
                  flags);
        EXPECT_TRUE(record != 4 ||
                    r.Text("Notice") ==
                        "Click the <SEND TO MODEM> button to send re-configuration info");
    }
    // The redundant modem beside the switch is a LOCAL unit too.
    Rig m(kPlain, '0', "0310100000", 42);
    m.ReadConfig();
    EXPECT_EQ(m.Text("Notice"), kLocal);
}

// A LOCAL unit in local mode: said so, sent no change, its log downloaded but not cleared.
TEST(Detail310, AUnitInLocalModeIsSentNoChange) {
    Rig r(kPlain, '0');
    r.unit->addEvent('F', '1', '2', 0);
    r.ReadConfig();
    EXPECT_EQ(r.Set("TxDataRate", "128"), V{});
    EXPECT_EQ(r.Set("TxSpectrum", " Inverted"), V{});
    EXPECT_EQ(r.Settings([&] { r.Check("MaskTxAis", true); }), V{});
    EXPECT_FALSE(r.at("MaskTxAis").checked());
    r.Shows(std::string("Notice=") + kLocal + "|TxDataRate= 64.000|TxSpectrum= Normal");

    r.w->click("BtnLogs");
    r.Tick(2);
    ASSERT_TRUE(r.Until([&] { return r.at("BtnReadEvents").enabled(); }));
    EXPECT_EQ(r.Text("LogEventsCount"), "Number of unread stored events: 03");
    const size_t mark = r.port.sent.size();
    r.ReadModemLog("BtnReadEvents", "events310.txt");
    ASSERT_TRUE(r.LogRead());
    EXPECT_EQ(r.Commands(mark), (V{"RNE?", "RNE?"}));
    EXPECT_EQ(r.Text("LogTopLine"), "Event data stored in events310.txt");
    EXPECT_EQ(r.File("events310.txt").size(), 3u);
    EXPECT_EQ(r.unit->unreadEvents(), 0u);
    EXPECT_EQ(r.unit->events().size(), 3u) << "nothing cleared in the unit";
}

TEST(Detail310, TheShorterStringFillsEveryBoxAndTheMemoryPreview) {
    Rig r(kKnown);
    EXPECT_EQ(r.ReadConfig(), (V{"CID?", "MGC?"}));
    r.Shows("TxFreq= 71.2345|TxDataRate= 128.000|TxFECtype= Viterbi|TxFECrate= Rate 7/8|"
            "TxMod= QPSK|TxSpectrum= Inverted|TxScrambler= Off|TxPowLev=- 12.5|"
            "TxClkSrc= External|TxCarrier= On|RxFreq= 84.5000|RxDataRate= 256.000|"
            "RxFECtype= Viterbi|RxFECrate= Rate 3/4|RxMod= QPSK|RxSpectrum= Normal|"
            "RxDescrambler= On|RxSweep=25|RxClkMode= Buffer enabled|RxBuffer= +/- 2048 bits|"
            "EbNoAlarmPt= 6.5|InterfaceType= V.35 DCE|FramingMode= Unframed - OBLIX off|"
            "TestMode= Normal|IFimpedance= 75 ohms|ODUcomms= Enabled|OBLIXslaveAdd=120|"
            "Instruction=Click on a box to change the information");
    EXPECT_EQ(r.Flags(&Control::checked, {"MaskTxAis", "MaskRxAgc"}), "10");
    EXPECT_FALSE(r.w->has("ssi") || r.w->has("ConfAUP") || r.w->has("MemAupc"));
    EXPECT_EQ(r.Flags(&Control::enabled, {"TxFECtype", "FramingMode"}), "01");
    // Memories: the family texts, three columns.
    r.w->click("BtnUtilities");
    ASSERT_TRUE(r.UntilSent("DAY?"));
    EXPECT_EQ(r.Commands(r.port.sent.size() - 1), V{"DAY?"}) << "no LRS in the clock loop";
    r.w->choose("MemoryList", 4);
    r.w->click("BtnStore");
    ASSERT_TRUE(r.UntilSent("CST=4"));
    r.Tick(4);
    EXPECT_EQ(r.Text("MemoryMsg"), "Current modem config now stored in memory 4");
    r.Tick(20);
    r.w->click("BtnLoad");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    r.Shows("MemTx=TX\n 71.2345 MHz\n 128.000 kbps\nViterbi coding\n Rate 7/8 QPSK\n Inverted\n"
            "Scrambler Off\nPower - 12.5 dB\n External Clock\nCarrier On");
    EXPECT_NE(r.Text("MemRx").find("Sweep width 25 kHz"), std::string::npos);
    r.unit->setRemoteState('0');
    r.w->choose("MemoryList", 1);
    const size_t mark = r.port.sent.size();
    r.w->click("BtnMemConfirm");
    EXPECT_EQ(r.Commands(mark), V{"CLD=4"});
    ASSERT_TRUE(r.Until([&] { return r.Text("MemoryMsg") != "Loading..."; }));
    EXPECT_EQ(r.Text("MemoryMsg"), "Problem! Is the Modem in Remote mode?");
}
