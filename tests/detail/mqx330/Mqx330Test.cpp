#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"

#include "detail/mqx310/Mqx310Window.h"
#include "detail/mqx330/Mqx330Window.h"
#include "wire/FaultTables.h"

using namespace linvar;

namespace {

using Rig = DetailRig;
using V = Lines;

// A configuration string with a different value in every field (positions from 1).
std::string Known330() {
    return "071.23450128.0003731012.523084.50000256.0004320125106.54213710110101201103.524";
}

// A plain configuration: Viterbi 3/4 QPSK both ways, unframed, normal operation.
std::string Plain330(const std::string& txCoding = "132", const std::string& txRate = "0064.000") {
    return "070.0000" + txRate + txCoding +
           "0110.011070.00000064.0001320130104.02100500000000000005.001";
}

} // namespace

TEST(Detail330, IdentityGivesModelOptionsBandAndFecCodes) {
    // identity, model, IF band, codec, the FEC type codes the list offers in list order
    for (const auto& [identity, model, band, codec, fec] :
         std::vector<std::tuple<std::string, std::string, std::string, std::string, std::string>>{
             {"0330110000", "MQX-330", "70", "", "12"},
             {"1330210000", "MQX-330", "140", "Reed-Solomon", "1234"},
             {"2330110000", "MQX-330T", "70", "", "012"},
             {"3330110000", "MQX-330T", "70", "Reed-Solomon", "01234"},
             {"4330110000", "MQX-330T", "70", "Turbo", "012589"},
             {"5330110000", "MQX-330T", "70", "Turbo", "01256789"},
             {"6330110000", "PiV-330", "70", "", "012"},
             {"7330110000", "PiV-330", "70", "Turbo", "01256789"},
             {"5330120000", "MQX-330R DEMOD", "70", "Turbo", "01256789"}}) {
        SCOPED_TRACE(identity);
        Rig r;
        r.Open<Mqx330Window>("331", identity, 3, "0330",
                             [](sim::Unit& u) { u.setConfig(Plain330()); });
        const bool rxOnly = identity[5] == '2', ip = identity[0] == '6' || identity[0] == '7';
        EXPECT_EQ(r.w->caption(), "Detail of Modem 1, Local end, link: MADRID-2       " + model +
                                      ", " + band + " MHz IF band" +
                                      (codec.empty() ? "" : ", " + codec + " Codec installed") +
                                      (rxOnly ? ", RX only" : ""));
        const int code = model == "MQX-330" ? 330 : 331;
        EXPECT_EQ(CurrentModelCode(), code);
        EXPECT_EQ(r.at("BtnAupc").visible(), code == 331 && !rxOnly);
        EXPECT_EQ(r.at("AupcStatus").visible(), code == 331);
        EXPECT_EQ(r.at("IpStatus").visible(), ip);
        EXPECT_TRUE(!ip || r.Text("BtnAupc") == "Show AUPC + PIV &Param");
        EXPECT_EQ(r.at("GrpTx").visible(), !rxOnly);
        EXPECT_EQ(r.at("GrpRxOnly").visible(), rxOnly);
        EXPECT_EQ(r.w->has("TxFreq"), !rxOnly);
        r.ReadConfig();
        // Each entry goes out with its own code; the unit refuses a code it does not have.
        const char* box = rxOnly ? "RxFECtype" : "TxFECtype";
        const auto items = r.at(box).items();
        ASSERT_EQ(items.size(), fec.size());
        const std::string command = rxOnly ? "RFT=" : "TFT=";
        V sent = r.Set(box, items.back()), expected{command + fec.back()};
        for (size_t i = 0; i < items.size(); ++i) {
            expected.push_back(command + fec[i]);
            for (const std::string& s : r.Set(box, items[i]))
                sent.push_back(s);
        }
        EXPECT_EQ(sent, expected);
        EXPECT_EQ(r.Text("Notice"), "");
    }
}

TEST(Detail330, TheSoftwareVersionDecidesTheLaterEntries) {
    // the version's reply, as shown, the FEC entries, whether RTI is offered
    for (const auto& [reply, shown, fecEntries, rti] :
         std::vector<std::tuple<const char*, const char*, size_t, bool>>{
             {"V1.0  ", "1.10", 4, false},
             {"1.11", "1.11", 4, true},
             {"1.19", "1.19", 5, true},
             {"1.24", "1.24", 6, true}}) {
        SCOPED_TRACE(reply);
        Rig r;
        r.Open<Mqx330Window>("331", "4330110000", 3, "0330", [&, reply = reply](sim::Unit& u) {
            u.setConfig(Plain330());
            u.setReading("SWR", reply);
        });
        r.ReadConfig();
        EXPECT_EQ(r.Text("StaSWR"), shown);
        EXPECT_EQ(r.at("TxFECtype").items().size(), fecEntries);
        EXPECT_EQ(r.at("TxCarrier").items().size(), rti ? 3u : 2u);
        EXPECT_EQ(r.Set("TxCarrier", " RTI"), rti ? V{"TXO=3"} : V{});
        // The remote-state box comes with later versions only.
        EXPECT_EQ(r.at("ConfLRS").visible(), fecEntries > 4);
    }
}

TEST(Detail330, TheConfigurationStringFillsEveryBox) {
    Rig r;
    r.Open<Mqx330Window>("331", "3330110000", 3, "0330",
                         [](sim::Unit& u) { u.setConfig(Known330()); });
    r.ReadConfig();
    r.Shows("TxFreq= 71.2345|TxDataRate= 128.000|TxFECtype= Viterbi + R-S|TxFECrate= Rate "
            "7/8|TxMod= OQPSK|TxSpectrum= Inverted|TxScrambler= Off|TxPowLev=- 12.5|"
            "TxClkSrc= External|TxCarrier= RTI|RxFreq= 84.5000|RxDataRate= 256.000|"
            "RxFECtype= Sequential + R-S|RxFECrate= Rate 3/4|RxMod= QPSK|RxSpectrum= "
            "Normal|RxDescrambler= On|RxSweep=25|RxClkMode= Buffer enabled|RxBuffer= +/- "
            "2048 bits|EbNoAlarmPt= 6.5|InterfaceType= V.35 DCE|FramingMode= Framed|"
            "TestMode= I/O loopback|IFimpedance= 75 ohm|ODUcomms= Enabled|OBLIXslaveAdd="
            "120|ConfAUP= Enabled|ConfAPPa= Generate TX alarm|ConfAPPb= Go to Nominal "
            "Power|ConfAPPc= 3.5|ConfAPPd= 2 dB|ssi= 40 minutes|CircuitID=" +
            std::string(24, ' '));
    EXPECT_EQ(r.Flags(&Control::checked,
                      {"MaskTxAis", "MaskRxAgc", "MaskBuffer", "MaskRxAis", "MaskEbNo"}),
              "10110");
    // A unit in a test mode takes no changes but the way back.
    EXPECT_TRUE(r.at("TxFreq").readOnly());
    EXPECT_FALSE(r.at("TxMod").enabled());
    EXPECT_TRUE(r.at("TestMode").enabled());
    EXPECT_EQ(r.Set("TestMode", " Normal"), V{"TST=0"});
    EXPECT_FALSE(r.at("TxFreq").readOnly());
    // The AUPC group takes the unit group's place; its four boxes make one command.
    r.w->click("BtnAupc");
    EXPECT_EQ(r.Flags(&Control::visible, {"GrpAupc", "GrpUnit"}), "10");
    EXPECT_EQ(r.Text("BtnAupc"), "Show Unit &Parameters");
    EXPECT_EQ(r.Set("ConfAPPc", "4.5"), V{"APP=104.52"});
    EXPECT_EQ(r.Set("ConfAPPc", "10"), V{});
    EXPECT_EQ(r.Text("ConfAPPc"), " 4.5") << "a bad target gets the unit's back";
    // A configuration the unit will not give is said.
    r.unit->setAnswer("MGC", "?");
    r.w->click("BtnStatus");
    r.ReadStatus();
    r.w->click("BtnConfig");
    EXPECT_TRUE(r.UntilText("Instruction", "problem reading MGC..."));
}

TEST(Detail330, DataRateLimitsAndCodingBoxesFollowTheFecType) {
    // FEC type, rate and modulation codes; the limits as the prompt names them; the coding
    // boxes shown, the rate enabled; the rate and modulation shown
    for (const auto& [coding, limits, codingShown, rateEnabled, rate, mod] :
         std::vector<std::tuple<const char*, const char*, bool, bool, const char*, const char*>>{
             {"011", "4.8 and 2048", true, false, " Rate 1/2", " BPSK"},
             {"032", "9.6 and 2048", true, false, " Rate 1/2", " QPSK"},
             {"111", "2.4 and 1024", true, false, " Rate 1/2", " BPSK"},
             {"132", "7.2 and 2048", true, true, " Rate 3/4", " QPSK"},
             {"173", "8.4 and 2048", true, true, " Rate 7/8", " OQPSK"},
             {"512", "7.2 and 2500", false, true, " Rate 3/4", " QPSK"},
             {"612", "2.4 and 1145", false, true, " Rate 1/2", " BPSK"},
             {"732", "2.4 and 750", false, true, " Rate 3/4", " BPSK"},
             {"812", "7.2 and 2048", false, true, " Rate 3/4", " OQPSK"},
             {"972", "4.8 and 2048", false, true, " Rate 1/2", " QPSK"}}) {
        SCOPED_TRACE(coding);
        Rig r;
        r.Open<Mqx330Window>("331", "5330110000", 3, "0330", [&, coding = coding](sim::Unit& u) {
            u.setConfig(Plain330(coding, "2048.000"));
        });
        r.ReadConfig();
        EXPECT_EQ(r.Prompt("TxDataRate"), std::string("Enter Tx data rate, between ") + limits +
                                              " kbps, resolution 1 bps, up to 8 characters");
        EXPECT_EQ(r.Flags(&Control::visible, {"TxFECrate", "TxMod"}), codingShown ? "11" : "00");
        EXPECT_EQ(r.at("TxFECrate").enabled(), rateEnabled);
        r.Shows(std::string("TxFECrate=") + rate + "|TxMod=" + mod);
    }
    // A coding whose limits leave out the rate the unit holds: the box goes on showing that
    // rate, marked; an entry beyond the limits is refused, the limit itself goes out.
    Rig r;
    r.Open<Mqx330Window>("331", "5330110000", 3, "0330",
                         [](sim::Unit& u) { u.setConfig(Plain330("132", "2048.000")); });
    r.ReadConfig();
    EXPECT_EQ(r.Set("TxFECtype", " Turbo 21/44 BPSK"), V{"TFT=6"});
    EXPECT_EQ(r.Colour("TxDataRate"), "yellow");
    r.Shows("TxDataRate= 2048.000|Notice=The unit's Tx data rate is outside 2.4-1145 kbps, "
            "the limits of its coding");
    EXPECT_EQ(r.Set("TxDataRate", "1145"), V{"TDR=1145.000"});
    EXPECT_EQ(r.Colour("TxDataRate"), "white");
    EXPECT_EQ(r.Set("TxDataRate", "1200"), V{});
    EXPECT_EQ(r.Colour("TxDataRate"), "red");
    EXPECT_EQ(colourName(r.at("TxDataRate").textColour()), "white");
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad data rate value. Please correct it");
    // What the unit holds, typed again, is no change: the box is itself again.
    EXPECT_EQ(r.Set("TxDataRate", "1145"), V{});
    EXPECT_EQ(r.Text("TxDataRate"), " 1145.000");
    EXPECT_EQ(r.Colour("TxDataRate"), "white");
    EXPECT_EQ(r.Set("TxFECtype", " Viterbi"), V{"TFT=1"});
    EXPECT_TRUE(r.at("TxMod").visible());
}

TEST(Detail330, StatusLoopAndReadingsAsTheOperatorSeesThem) {
    Rig r;
    r.Open<Mqx330Window>("331", "2330110000", 3, "0330", [](sim::Unit& u) {
        for (const auto& [m, v] : std::vector<std::pair<const char*, const char*>>{{"SWR", "V2.3"},
                                                                                   {"EBN", "+016"},
                                                                                   {"RFO", "+0123"},
                                                                                   {"BER", "99999"},
                                                                                   {"BFS", "05"},
                                                                                   {"REB", "16.0"}})
            u.setReading(m, v);
        u.setTxCarrier('3');
        u.setAnswer("ESN", "*");
        u.setAnswer("NUS", "?");
        u.setAnswer("NUE", "=90");
        u.setConfig(Known330()); // the configuration-change mark is up
    });
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("PLI?"));
    ASSERT_TRUE(r.UntilSent("LRS?"));
    EXPECT_EQ(r.Commands(mark),
              (V{"LRS?", "CID?", "SWR?", "ESN?", "SNO?", "LRS?", "NUE?", "NUS?", "FLT?", "EBN?",
                 "RFO?", "BER?", "BFS?", "RED?", "AGC?", "TXO?", "REB?", "PLI?", "LRS?"}));
    r.Shows("StaSWR=1.10|SerialNo=33012345|StaEbNo=> 16 dB|StaRFO=+123 kHz|StaBER=Unlocked|"
            "StaBFS=5 %|StaAGC=45 %|StaTXO=Under RTI control|StaREB=> 16 dB|StaPLI=0.0 dB|"
            "NrLogEvents=90|NrLogStats=none|UnitFault=OK|StaRED=On line|StaLRS=REMOTE");
    EXPECT_EQ(r.Colour("NrLogEvents") + r.Colour("StaTXO") + r.Colour("UnitFault"),
              "yellowyellowlime");
    EXPECT_TRUE(r.w->DetailConfigChanged);
    EXPECT_EQ(r.Flags(&Control::enabled, {"BtnConfig", "BtnStatus"}), "10");
    // No statistics log: its interval cannot be set.
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_FALSE(r.at("ssi").enabled());

    // A reply that did not come restarts the loop at LRS.
    r.w->click("BtnStatus");
    r.unit->setAnswer("BER", "~");
    ASSERT_TRUE(r.UntilSent("BER?"));
    const size_t after = r.port.sent.size();
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() > after; }));
    EXPECT_EQ(r.port.sent.back(), r.Req("LRS?"));
    EXPECT_EQ(r.Text("StaBER"), "TOblix timeout");
}

TEST(Detail330, TheDistantEndConfirmsButNotTheSlaveAddressAndLeavesFramingAlone) {
    Rig r;
    r.Open<Mqx330Window>("331", "2330110000", 4, "0330",
                         [](sim::Unit& u) { u.setConfig(Plain330()); });
    EXPECT_EQ(r.ReadConfig(), (V{"CID?", "MGC?", "LBL?"})) << "no LRS at the DISTANT end";
    EXPECT_FALSE(r.at("FramingMode").enabled());
    EXPECT_FALSE(r.at("ConfLRS").visible());
    EXPECT_FALSE(r.at("ConfAUP").enabled()) << "AUPC needs framing";
    EXPECT_EQ(r.Set("OBLIXslaveAdd", "130"), V{"ESA=0130"});
    EXPECT_TRUE(r.op.questions.empty());
}

TEST(Detail330, TheIfBandAndItsLevelSetTheFrequencyRange) {
    for (const auto& [identity, level, range] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"2330210000", "4", "102 and 178"},
             {"2330210000", "2", "104 and 176"},
             {"2330110000", "4", "52 and 88"}}) {
        SCOPED_TRACE(std::string(identity) + " level " + level);
        Rig r;
        r.Open<Mqx330Window>("331", identity, 3, "0330", [&, level = level](sim::Unit& u) {
            u.setConfig(Plain330());
            u.setReading("LBL", level);
        });
        r.ReadConfig();
        EXPECT_EQ(r.Prompt("TxFreq"),
                  std::string("Enter a Tx frequency, between ") + range + " MHz, resolution 100Hz");
        if (*range == '1') {
            EXPECT_EQ(r.Set("TxFreq", "177"), *level == '4' ? V{"TFQ=177.0000"} : V{});
        }
    }
}

TEST(Detail330, ARefusedCircuitIdIsReadAgainFromItsOwnStepAndFramingReadsTheSlave) {
    Rig r;
    r.Open<Mqx330Window>("331", "2330110000", 3, "0330",
                         [](sim::Unit& u) { u.setConfig(Plain330()); });
    r.ReadConfig();
    const std::string refused = "Notice=Command was not accepted, re-reading from unit...";
    // A circuit ID the unit did not take is read again from the circuit ID.
    r.unit->inject(sim::Injection::silence());
    size_t mark = r.port.sent.size();
    r.Edit("CircuitID", "north");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::PauseFirst; }, 200));
    r.unit->clearInjections();
    r.Shows(refused);
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() > mark + 1; }));
    EXPECT_EQ(r.Commands(mark), (V{"CID=NORTH" + std::string(19, ' '), "CID?"}));

    // Framing switched on: the unit's slave address is read, and AUPC may be enabled.
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_FALSE(r.at("ConfAUP").enabled());
    mark = r.port.sent.size();
    r.Set("FramingMode", " Framed");
    EXPECT_EQ(r.Commands(mark), (V{"FRM=1", "ESA?"}));
    EXPECT_FALSE(r.at("FramingMode").enabled()) << "framing is switched off at the unit";
    EXPECT_TRUE(r.at("ConfAUP").enabled());
}

TEST(Detail330, AReceiveOnlyUnitShowsItsOwnLayoutAndReadsItsLnbPower) {
    Rig r;
    r.Open<Mqx330Window>("331", "5330120000", 4, "0330",
                         [](sim::Unit& u) { u.setConfig(Plain330()); });
    EXPECT_EQ(r.Flags(&Control::visible,
                      {"GrpTx", "MaskTxAis", "TXfault", "StaTXO", "StaPLI", "BtnAupc"}),
              "000000");
    EXPECT_FALSE(r.w->has("TestMode") || r.w->has("OBLIXslaveAdd"));
    EXPECT_EQ(r.ReadConfig(), (V{"CID?", "MGC?", "LNB?", "LBL?"}));
    EXPECT_EQ(r.Selected("BoxLNB"), " On");
    // The LNB power goes out at once, even at the DISTANT end.
    EXPECT_EQ(r.Set("BoxLNB", " Off"), V{"LNB=0"});
    EXPECT_TRUE(r.op.questions.empty());
    r.w->click("BtnLogs");
    r.Tick(2);
    EXPECT_EQ(r.Text("LogEventsCount"), "Reading number of Demod Log events...");
}

TEST(Detail330, MemoriesAreStoredAndPreviewedFromTheirStrings) {
    Rig r;
    r.Open<Mqx330Window>("331", "3330110000", 3, "0330",
                         [](sim::Unit& u) { u.setConfig(Known330()); });
    r.ReadStatus();
    r.w->click("BtnUtilities");
    r.Tick(3);
    r.w->choose("MemoryList", 2);
    r.w->click("BtnStore");
    ASSERT_TRUE(r.UntilSent("CST=2"));
    r.Tick(4);
    EXPECT_EQ(r.Text("MemoryMsg"), "Current config now stored in memory 2");
    r.unit->setConfig(Plain330());
    r.Tick(20);
    r.w->click("BtnLoad");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    r.Shows("MemoryMsg=Config present in memory location 2. Confirm load.|MemPreview=Memory "
            "location 2 contents|MemTx=Tx\n 71.2345 MHz\n 128.000 kbps\n Viterbi + R-S "
            "coding\n Rate 7/8 OQPSK\n Inverted\nScrambler Off\nPower - 12.5 dBm\n "
            "External Clock\nCarrier RTI|MemAupc=AUPC Enabled\nTarget EbNo:  3.5 dB\nMax "
            "increase:  2 dB\n Generate TX alarm on Pmax\n Go to Nominal Power w/Unlock");
    // The location goes out as it was previewed, whatever the list shows meanwhile.
    r.w->choose("MemoryList", 5);
    const size_t mark = r.port.sent.size();
    r.w->click("BtnMemConfirm");
    r.Tick(45);
    EXPECT_EQ(r.Commands(mark), V{"CLD=2"});
    EXPECT_EQ(r.Text("MemoryMsg"), "Loading...");
    ASSERT_TRUE(r.Until(
        [&] { return !r.Text("MemoryMsg").empty() && r.Text("MemoryMsg") != "Loading..."; }));
    EXPECT_EQ(r.Text("MemoryMsg"), "Unit re-configured using memory location 2");
    EXPECT_EQ(r.unit->config(), Known330());
    r.Tick(60);
    r.w->choose("MemoryList", 2);
    r.w->click("BtnStore");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    EXPECT_EQ(r.Text("MemoryMsg"), "Warning! Location 2 contains data. Overwrite?");
    r.w->choose("MemoryList", 6);
    r.w->click("BtnMemConfirm");
    ASSERT_TRUE(r.Until([&] { return r.Text("MemoryMsg") != "Storing..."; }));
    EXPECT_EQ(r.Text("MemoryMsg"), "Current config now stored in memory 2");
    r.w->choose("MemoryList", 2);

    // A refused query is said once and the panel goes back to its clock: not asked again.
    r.Tick(60);
    r.unit->setAnswer("CST", "?");
    const size_t before = r.port.sent.size();
    r.w->click("BtnLoad");
    r.Tick(80);
    EXPECT_EQ(r.Text("MemoryMsg"), "Invalid args");
    const V asked = r.Commands(before);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "CST?2"), 1);
}

// A load goes only through the on-line unit, whether the unit stands alone or the
// redundancy state changes while the load is asked for; a store stays possible.
template <class W> void LoadOnlyOnLine(const char* model, const char* identity) {
    DetailRig r;
    r.Open<W>(model, identity, 3, "0330", [](sim::Unit& u) { u.setOnline(false); });
    r.ReadStatus();
    EXPECT_EQ(r.Text("StaRED"), "Off line");
    r.w->click("BtnUtilities");
    r.Tick(3);
    r.w->choose("MemoryList", 2);
    EXPECT_EQ(r.Flags(&Control::enabled, {"BtnLoad", "BtnStore"}), "01");

    r.unit->setOnline(true);
    r.w->click("BtnStatus");
    r.ReadStatus();
    r.w->click("BtnUtilities");
    ASSERT_TRUE(r.UntilSent("TIM?"));
    r.unit->setOnline(false);
    ASSERT_TRUE(r.UntilSent("RED?"));
    ASSERT_TRUE(r.w->click("BtnLoad"));
    const size_t mark = r.port.sent.size();
    r.Tick(20);
    for (const std::string& sent : r.Commands(mark))
        EXPECT_NE(sent.substr(0, 3), "CST") << sent;
    EXPECT_FALSE(r.at("BtnLoad").enabled());
}

TEST(Detail330, AMemoryIsLoadedOnlyThroughTheOnLineUnit) {
    LoadOnlyOnLine<Mqx330Window>("331", "3330110000");
    LoadOnlyOnLine<Mqx310Window>("310", "0310100000");
}

TEST(Detail330, TheRxBufferShowsTheSizeTheUnitHolds) {
    Rig r;
    std::string c = Plain330();
    c[50] = '0'; // buffer disabled
    c[55] = '4'; // +/- 2048 bits
    r.Open<Mqx330Window>("331", "3330110000", 3, "0330", [&](sim::Unit& u) { u.setConfig(c); });
    r.ReadConfig();
    EXPECT_FALSE(r.at("RxBuffer").enabled());
    EXPECT_EQ(r.Selected("RxBuffer"), " +/- 2048 bits");
    EXPECT_EQ(r.Set("RxClkMode", " Buffer enabled"), V{"RCK=1"});
    EXPECT_TRUE(r.at("RxBuffer").enabled());
    EXPECT_EQ(r.Selected("RxBuffer"), " +/- 2048 bits");
    EXPECT_EQ(r.Set("RxBuffer", " +/-  256 bits"), V{"RBS=1"});
}

// The rules every window keeps, asked of this family.
namespace linvar::rules {
INSTANTIATE_TEST_SUITE_P(
    Mqx330, Rules,
    testing::Values(WindowRules{
        "MQX-330",
        [](DetailRig& r, int rec) {
            r.Open<Mqx330Window>("331", "2330110000", rec, "0330", [](sim::Unit& u) {
                u.setConfig("070.00000064.000132"
                            "0110.011070.00000064.0001320130104.02100500000000000005.001");
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
        22,
        23,
        "MGC?",
        kSetUp.c_str(),
        "StaREB",
        "TNo comms",
        4,
        {},
        "TxDataRate",
        "128",
        "Change Tx data rate to 128.000 kbps. Comms may be affected."}),
    Named);
} // namespace linvar::rules
