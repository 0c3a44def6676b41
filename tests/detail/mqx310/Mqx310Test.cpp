#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"

#include "detail/mqx310/Mqx310Window.h"
#include "ui/TextFile.h"
#include "wire/FaultTables.h"

using namespace linvar;

namespace {

using Rig = DetailRig;
using V = Lines;

// A 66-position configuration string with a different value in every field.
std::string Known310() {
    return "071.2345128.000721012.521084.5000256.000320125106.5420071011010120";
}

// QPSK 3/4 both ways at 64 kbps, unframed, normal operation.
std::string Plain310(const std::string& txCoding = "32") {
    return "070.0000064.000" + txCoding + "0110.021070.0000064.000320130104.0210050000000000";
}

void Open(Rig& r, const std::string& config = Plain310(), char remote = '1',
          const char* identity = "0310100000") {
    r.Open<Mqx310Window>(identity[0] == '7' ? "7010" : "310", identity, 3, "0330",
                         [&](sim::Unit& u) {
                             u.setConfig(config);
                             u.setRemoteState(remote);
                         });
}

} // namespace

TEST(Detail310, TheWindowReadsTheIdentityItself) {
    // identity, model, IF band, the frequencies, the highest data rate and its characters
    for (const auto& [identity, name, band, range, top, chars] :
         std::vector<std::tuple<const char*, std::string, std::string, std::string, std::string,
                                std::string>>{
             {"0310100000", "MQX-310", "70 MHz", "52 and 88", "512", "7"},
             {"7010200000", "RDX-7010", "140 MHz", "104 and 176", "2048", "8"}}) {
        SCOPED_TRACE(identity);
        Rig r;
        Open(r, Plain310(), '1', identity);
        const size_t mark = r.port.sent.size();
        ASSERT_TRUE(r.UntilSent("TXO?"));
        ASSERT_TRUE(r.UntilSent("LRS?"));
        EXPECT_EQ(r.Commands(mark),
                  (V{"LRS?", "CID?", "EID?", "SWR?", "SNO?", "LRS?", "NUE?", "FLT?", "EBN?", "RFO?",
                     "BER?", "BFS?", "RED?", "TXO?", "LRS?"}));
        EXPECT_EQ(r.w->caption(), "Detail of Modem 1, Local end, link: MADRID-2       " + name);
        r.Shows("ModelNo=" + name + "|IFband=" + band + "|RXoption=RX / TX|StaSWR=1.05");
        EXPECT_FALSE(r.at("NrLogStats").visible());
        EXPECT_TRUE(r.at("BtnConfig").enabled());
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
    Open(r);
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
    EXPECT_TRUE(r.at("TxFECrate").enabled());
    EXPECT_FALSE(r.at("TxModNote").visible());
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
    r.Open<Mqx310Window>("310", "0310100000", 3, "0330", [](sim::Unit& u) {
        u.setConfig(Plain310());
        u.setReading("EBN", "+016.0  ");
    });
    ASSERT_TRUE(r.UntilSent("TXO?"));
    r.Tick(3);
    r.Shows("StaEbNo=> 16 dB|StaRED=On line|StaTXO=On");
    EXPECT_EQ(r.Colour("StaTXO"), "lime");
    EXPECT_TRUE(r.w->DetailConfigChanged) << "the unit's mark is the fourth character";
    // The request after a refused or unanswered reply, and what the operator is shown.
    for (const auto& [command, answer, next, shown] :
         std::vector<std::tuple<std::string, const char*, const char*, std::string>>{
             {"FLT", "*", "FLT?", "UnitFault=Not permitted"},
             {"RED", "?", "LRS?", ""},
             {"BER", "~", "FLT?", ""},
             {"TXO", "*", "FLT?", "StaTXO=Not permitted"}}) {
        SCOPED_TRACE(command);
        r.unit->setAnswer(command, answer);
        ASSERT_TRUE(r.UntilSent(command + "?"));
        const size_t mark = r.port.sent.size();
        ASSERT_TRUE(r.Until([&] { return r.port.sent.size() > mark; }));
        EXPECT_EQ(r.Commands(mark).front(), next);
        r.Shows(shown);
        EXPECT_TRUE(command != "RED" || !r.w->OnlineUnit);
        r.unit->setAnswer(command, "");
    }
}

TEST(Detail310, LocksAtTheOfflineUnitTheRedundantModemAndTheDistantFraming) {
    // record, paired, on line, the opener's name (empty: the slot's own), locked
    for (const auto& [record, paired, online, name, locked] :
         std::vector<std::tuple<int, bool, bool, const char*, bool>>{
             {3, true, false, "", true},
             {3, true, true, "", false},
             {4, false, true, "", false},
             {42, false, true, "Redundant Modem, Switch 1", true}}) {
        SCOPED_TRACE(record);
        Rig r;
        r.paired = paired;
        r.name = name;
        r.Open<Mqx310Window>("310", "0310100000", record, "0330",
                             [&, online = online](sim::Unit& u) {
                                 u.setConfig(Plain310());
                                 u.setOnline(online);
                             });
        r.ReadConfig();
        EXPECT_EQ(r.at("TxFreq").readOnly(), locked);
        EXPECT_EQ(r.at("TxSpectrum").enabled(), !locked);
        EXPECT_FALSE(r.at("CircuitID").readOnly());
        EXPECT_FALSE(r.at("TxFECtype").enabled());
        EXPECT_EQ(r.at("FramingMode").enabled(), !locked && record != 4);
        EXPECT_EQ(r.at("OBLIXslaveAdd").visible(), record != 4);
        EXPECT_TRUE(record != 4 ||
                    r.Text("Notice") ==
                        "Click the <SEND TO MODEM> button to send re-configuration info");
    }
    // The redundant modem beside the switch is a LOCAL unit too.
    Rig m;
    m.Open<Mqx310Window>("310", "0310100000", 42, "0330",
                         [](sim::Unit& u) { u.setRemoteState('0'); });
    m.ReadConfig();
    EXPECT_EQ(m.Text("Notice"), "Modem is in LOCAL mode, no change of config permitted");
}

// A LOCAL unit in local mode: said so, sent no change, its log downloaded but not cleared.
TEST(Detail310, AUnitInLocalModeIsSentNoChange) {
    Rig r;
    r.Open<Mqx310Window>("310", "0310100000", 3, "0330", [](sim::Unit& u) {
        u.setConfig(Plain310());
        u.setRemoteState('0');
        u.addEvent('F', '1', '2', 0);
    });
    r.ReadConfig();
    const std::string local = "Notice=Modem is in LOCAL mode, no change of config permitted";
    r.Shows(local);
    EXPECT_EQ(r.Set("TxDataRate", "128"), V{});
    EXPECT_EQ(r.Set("TxSpectrum", " Inverted"), V{});
    EXPECT_EQ(r.Settings([&] {
        r.w->enter("MaskTxAis");
        r.w->check("MaskTxAis", true);
        r.w->leave("MaskTxAis");
    }),
              V{});
    EXPECT_FALSE(r.at("MaskTxAis").checked());
    r.Shows(local + "|TxDataRate= 64.000|TxSpectrum= Normal");

    r.w->click("BtnLogs");
    r.Tick(2);
    ASSERT_TRUE(r.Until([&] { return r.at("BtnReadEvents").enabled(); }));
    EXPECT_EQ(r.Text("LogEventsCount"), "Number of unread stored events: 03");
    r.op.files.push_back("events310.txt");
    r.w->click("BtnReadEvents");
    r.w->click("BtnNewFile");
    const size_t mark = r.port.sent.size();
    r.w->click("BtnReadLog");
    ASSERT_TRUE(r.Until([&] { return r.Text("LogProgress") == "Reading log completed"; }));
    EXPECT_EQ(r.Commands(mark), (V{"RNE?", "RNE?"}));
    EXPECT_EQ(r.Text("LogTopLine"), "Event data stored in events310.txt");
    EXPECT_EQ(TextFile::readLines(r.dir.path() / "events310.txt").value_or(V{}).size(), 3u);
    EXPECT_EQ(r.unit->unreadEvents(), 0u);
    EXPECT_EQ(r.unit->events().size(), 3u) << "nothing cleared in the unit";
}

TEST(Detail310, TheShorterStringFillsEveryBoxAndTheMemoryPreview) {
    Rig r;
    Open(r, Known310());
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
    EXPECT_FALSE(r.w->has("ssi") || r.w->has("ConfAUP"));
    EXPECT_FALSE(r.at("TxFECtype").enabled());
    EXPECT_TRUE(r.at("FramingMode").enabled());
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
    r.Shows("MemTx=TX\n 71.2345 MHz\n 128.000 kbps\nViterbi "
            "coding\n Rate 7/8 QPSK\n Inverted\nScrambler Off\nPower - 12.5 dB\n External "
            "Clock\nCarrier On");
    EXPECT_NE(r.Text("MemRx").find("Sweep width 25 kHz"), std::string::npos);
    EXPECT_FALSE(r.w->has("MemAupc"));
    r.unit->setRemoteState('0');
    r.w->choose("MemoryList", 1);
    const size_t mark = r.port.sent.size();
    r.w->click("BtnMemConfirm");
    EXPECT_EQ(r.Commands(mark), V{"CLD=4"});
    ASSERT_TRUE(r.Until([&] { return r.Text("MemoryMsg") != "Loading..."; }));
    EXPECT_EQ(r.Text("MemoryMsg"), "Problem! Is the Modem in Remote mode?");
}

// The rules every window keeps, asked of this family.
namespace linvar::rules {
INSTANTIATE_TEST_SUITE_P(
    Mqx310, Rules,
    testing::Values(WindowRules{
        "MQX-310",
        [](DetailRig& r, int rec) {
            r.Open<Mqx310Window>("310", "0310100000", rec, "0330", [](sim::Unit& u) {
                u.setConfig("070.0000064.000320110.021070.0000064.000320130104.0210050000000000");
                u.setRemoteState('1');
            });
        },
        "TxPowLev",
        "-5",
        "TPL=05.0",
        "-10",
        "- 10.0",
        "Notice",
        "red",
        "Command was not accepted, re-reading from unit...",
        "Command was not accepted, re-reading from unit...",
        16,
        17,
        "MGC?",
        kNoComms,
        "NrLogEvents",
        "No comms",
        4,
        {},
        "TxDataRate",
        "128",
        "Change Tx data rate to 128.000 kbps. Comms may be affected."}),
    Named);
} // namespace linvar::rules
