#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"

#include "detail/mqx310/Mqx310Window.h"
#include "detail/mqx330/Mqx330Window.h"
#include "wire/FaultTables.h"

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

// A configuration string with a different value in every field (positions from 1).
const std::string kKnown =
    "071.23450128.0003731012.523084.50000256.0004320125106.54213710110101201103.524";

// Viterbi 3/4 QPSK both ways, unframed, normal operation.
std::string Plain(const std::string& txCoding = "132", const std::string& txRate = "0064.000") {
    return "070.0000" + txRate + txCoding +
           "0110.011070.00000064.0001320130104.02100500000000000005.001";
}

// The window on an MQX-330 of this identity; `more` sets its unit up further.
struct Rig : DetailRig {
    explicit Rig(const std::string& identity, int record = 3, const std::string& config = Plain(),
                 const std::function<void(sim::Unit&)>& more = {}) {
        Open<Mqx330Window>("331", identity, record, "0330", [&](sim::Unit& u) {
            u.setConfig(config);
            if (more)
                more(u);
        });
    }
    // The next request to go out, without the address.
    std::string Next() {
        const size_t mark = port.sent.size();
        Until([&] { return port.sent.size() > mark; });
        return port.sent.size() > mark ? Commands(mark).front() : "";
    }
    // The utilities panel with location `location` chosen.
    void Memory(int location) {
        ReadStatus();
        w->click("BtnUtilities");
        Tick(3);
        w->choose("MemoryList", location);
    }
    // The memory message once it shows none of `passing`.
    std::string Memo(const Lines& passing) {
        Until([&] { return std::count(passing.begin(), passing.end(), Text("MemoryMsg")) == 0; });
        return Text("MemoryMsg");
    }
};

} // namespace

TEST(Detail330, IdentityGivesModelOptionsBandAndFecCodes) {
    // identity, the caption's model and options, the FEC type codes the list offers in list
    // order; shown: AUPC button, AUPC status, IP status, Tx group, Rx-only group
    // clang-format off
    for (const auto& [identity, model, fec, shown] : std::vector<std::array<std::string, 4>>{
             {"0330110000", "MQX-330, 70 MHz IF band", "12", "00010"},
             {"1330210000", "MQX-330, 140 MHz IF band, Reed-Solomon Codec installed", "1234", "00010"},
             {"2330110000", "MQX-330T, 70 MHz IF band", "012", "11010"},
             {"3330110000", "MQX-330T, 70 MHz IF band, Reed-Solomon Codec installed", "01234", "11010"},
             {"4330110000", "MQX-330T, 70 MHz IF band, Turbo Codec installed", "012589", "11010"},
             {"5330110000", "MQX-330T, 70 MHz IF band, Turbo Codec installed", "01256789", "11010"},
             {"6330110000", "PiV-330, 70 MHz IF band", "012", "11110"},
             {"7330110000", "PiV-330, 70 MHz IF band, Turbo Codec installed", "01256789", "11110"},
             {"5330120000", "MQX-330R DEMOD, 70 MHz IF band, Turbo Codec installed, RX only", "01256789", "01001"}}) {
        // clang-format on
        SCOPED_TRACE(identity);
        Rig r(identity);
        const bool rxOnly = shown.back() == '1';
        EXPECT_EQ(r.w->caption(), "Detail of Modem 1, Local end, link: MADRID-2       " + model);
        EXPECT_EQ(CurrentModelCode(), model.rfind("MQX-330,", 0) == 0 ? 330 : 331);
        EXPECT_EQ(
            r.Flags(&Control::visible, {"BtnAupc", "AupcStatus", "IpStatus", "GrpTx", "GrpRxOnly"}),
            shown);
        EXPECT_TRUE(shown[2] == '0' || r.Text("BtnAupc") == "Show AUPC + PIV &Param");
        EXPECT_EQ(r.w->has("TxFreq"), !rxOnly);
        r.ReadConfig();
        // Each entry goes out with its own code; the unit refuses a code it does not have.
        const std::string box = rxOnly ? "RxFECtype" : "TxFECtype";
        const std::string command = rxOnly ? "RFT=" : "TFT=";
        const V items = r.at(box).items();
        ASSERT_EQ(items.size(), fec.size());
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

TEST(Detail330, TheConfigurationStringFillsEveryBox) {
    Rig r("3330110000", 3, kKnown);
    r.ReadConfig();
    EXPECT_EQ(r.Text("Instruction"), "Click on a box to change the configuration parameters");
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
    EXPECT_EQ(r.Flags(&Control::readOnly, {"TxFreq"}) +
                  r.Flags(&Control::enabled, {"TxMod", "TestMode"}),
              "101");
    EXPECT_EQ(r.Set("TestMode", " Normal"), V{"TST=0"});
    EXPECT_FALSE(r.at("TxFreq").readOnly());
    // The AUPC group takes the unit group's place; its four boxes make one command.
    r.w->click("BtnAupc");
    EXPECT_EQ(r.Flags(&Control::visible, {"GrpAupc", "GrpUnit"}), "10");
    EXPECT_EQ(r.Set("ConfAPPc", "4.5"), V{"APP=104.52"});
    EXPECT_EQ(r.Set("ConfAPPc", "10"), V{});
    EXPECT_EQ(r.Text("ConfAPPc"), " 4.5") << "a bad target gets the unit's back";
    // A configuration the unit will not give is said.
    r.unit->setAnswer("MGC", "?");
    r.w->click("BtnStatus");
    r.ReadStatus();
    r.w->click("BtnConfig");
    EXPECT_TRUE(r.UntilText("Instruction", "problem reading MGC..."));
    EXPECT_EQ(r.at("TxMod").selected(), -1); // nothing read, nothing shown
}

TEST(Detail330, DataRateLimitsAndCodingBoxesFollowTheFecType) {
    // FEC type, rate and modulation codes; the limits as the prompt names them; the rate and
    // modulation shown, the rate enabled; the rate and modulation shown
    for (const auto& [coding, limits, flags, rate, mod] : std::vector<std::array<std::string, 5>>{
             {"011", "4.8 and 2048", "110", " Rate 1/2", " BPSK"},
             {"032", "9.6 and 2048", "110", " Rate 1/2", " QPSK"},
             {"111", "2.4 and 1024", "110", " Rate 1/2", " BPSK"},
             {"132", "7.2 and 2048", "111", " Rate 3/4", " QPSK"},
             {"173", "8.4 and 2048", "111", " Rate 7/8", " OQPSK"},
             {"512", "7.2 and 2500", "001", " Rate 3/4", " QPSK"},
             {"612", "2.4 and 1145", "001", " Rate 1/2", " BPSK"},
             {"732", "2.4 and 750", "001", " Rate 3/4", " BPSK"},
             {"812", "7.2 and 2048", "001", " Rate 3/4", " OQPSK"},
             {"972", "4.8 and 2048", "001", " Rate 1/2", " QPSK"}}) {
        SCOPED_TRACE(coding);
        Rig r("5330110000", 3, Plain(coding, "2048.000"));
        r.ReadConfig();
        EXPECT_EQ(r.Prompt("TxDataRate"), "Enter Tx data rate, between " + limits +
                                              " kbps, resolution 1 bps, up to 8 characters");
        EXPECT_EQ(r.Flags(&Control::visible, {"TxFECrate", "TxMod"}) +
                      r.Flags(&Control::enabled, {"TxFECrate"}),
                  flags);
        r.Shows("TxFECrate=" + rate + "|TxMod=" + mod);
    }
    // A coding whose limits leave out the rate the unit holds: the box goes on showing that
    // rate, marked; an entry beyond the limits is refused, the limit itself goes out.
    Rig r("5330110000", 3, Plain("132", "2048.000"));
    r.ReadConfig();
    EXPECT_EQ(r.Set("TxFECtype", " Turbo 21/44 BPSK"), V{"TFT=6"});
    r.Shows({{"TxDataRate", " 2048.000", "yellow"},
             {"Notice", "The unit's Tx data rate is outside 2.4-1145 kbps, the limits of its "
                        "coding"}});
    EXPECT_EQ(r.Set("TxDataRate", "1145"), V{"TDR=1145.000"});
    EXPECT_EQ(r.Colour("TxDataRate"), "white");
    EXPECT_EQ(r.Set("TxDataRate", "1200"), V{});
    r.Shows({{"TxDataRate", nullptr, "red"},
             {"Notice", "ERROR: Bad data rate value. Please correct it"}});
    EXPECT_EQ(colourName(r.at("TxDataRate").textColour()), "white");
    // What the unit holds, typed again, is no change: the box is itself again.
    EXPECT_EQ(r.Set("TxDataRate", "1145"), V{});
    r.Shows({{"TxDataRate", " 1145.000", "white"}});
    EXPECT_EQ(r.Set("TxFECtype", " Viterbi"), V{"TFT=1"});
    EXPECT_TRUE(r.at("TxMod").visible());
}

TEST(Detail330, StatusLoopAndReadingsAsTheOperatorSeesThem) {
    // The configuration-change mark is up.
    Rig r("2330110000", 3, kKnown, [](sim::Unit& u) {
        const V readings = Words("SWR V2.3 EBN +016 RFO +0123 BER 99999 BFS 05 REB 16.0");
        for (size_t i = 0; i < readings.size(); i += 2)
            u.setReading(readings[i], readings[i + 1]);
        u.setTxCarrier('3');
        u.setAnswer("ESN", "*");
        u.setAnswer("NUS", "?");
        u.setAnswer("NUE", "=90");
    });
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("PLI?") && r.UntilSent("LRS?"));
    EXPECT_EQ(r.Commands(mark), Words("LRS? CID? SWR? ESN? SNO? LRS? NUE? NUS? FLT? EBN? RFO? "
                                      "BER? BFS? RED? AGC? TXO? REB? PLI? LRS?"));
    r.Shows("StaSWR=1.10|SerialNo=33012345|StaEbNo=> 16 dB|StaRFO=+123 kHz|StaBER=Unlocked|"
            "StaBFS=5 %|StaAGC=45 %|StaREB=> 16 dB|StaPLI=0.0 dB|NrLogStats=none|StaRED=On line|"
            "StaLRS=REMOTE");
    r.Shows({{"NrLogEvents", "90", "yellow"},
             {"StaTXO", "Under RTI control", "yellow"},
             {"UnitFault", "OK", "lime"}});
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
    EXPECT_EQ(r.Next(), "LRS?");
    EXPECT_EQ(r.Text("StaBER"), "TOblix timeout");
}

TEST(Detail330, TheIfBandAndItsLevelSetTheFrequencyRange) {
    for (const auto& [identity, level, range] :
         std::vector<std::array<std::string, 3>>{{"2330210000", "4", "102 and 178"},
                                                 {"2330210000", "2", "104 and 176"},
                                                 {"2330110000", "4", "52 and 88"}}) {
        SCOPED_TRACE(identity + " level " + level);
        Rig r(identity, 3, Plain(), [l = level](sim::Unit& u) { u.setReading("LBL", l); });
        r.ReadConfig();
        EXPECT_EQ(r.Prompt("TxFreq"),
                  "Enter a Tx frequency, between " + range + " MHz, resolution 100Hz");
        if (range[0] == '1') {
            EXPECT_EQ(r.Set("TxFreq", "177"), level == "4" ? V{"TFQ=177.0000"} : V{});
        }
    }
}

TEST(Detail330, ARefusedCircuitIdIsReadAgainFromItsOwnStepAndFramingReadsTheSlave) {
    Rig r("2330110000");
    r.ReadConfig();
    // A circuit ID the unit did not take is read again from the circuit ID.
    r.unit->inject(sim::Injection::silence());
    size_t mark = r.port.sent.size();
    r.Edit("CircuitID", "north");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::PauseFirst; }, 200));
    r.unit->clearInjections();
    EXPECT_EQ(r.Text("Notice"), "Command was not accepted, re-reading from unit...");
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() > mark + 1; }));
    EXPECT_EQ(r.Commands(mark), (V{"CID=NORTH" + std::string(19, ' '), "CID?"}));
    // Framing switched on: the unit's slave address is read, and AUPC may be enabled.
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_FALSE(r.at("ConfAUP").enabled());
    mark = r.port.sent.size();
    r.Set("FramingMode", " Framed");
    EXPECT_EQ(r.Commands(mark), (V{"FRM=1", "ESA?"}));
    EXPECT_EQ(r.Flags(&Control::enabled, {"FramingMode", "ConfAUP"}), "01")
        << "framing is switched off at the unit";
}

TEST(Detail330, AReceiveOnlyUnitShowsItsOwnLayoutAndReadsItsLnbPower) {
    Rig r("5330120000", 4);
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
    Rig r("3330110000", 3, kKnown);
    r.Memory(2);
    r.w->click("BtnStore");
    ASSERT_TRUE(r.UntilSent("CST=2"));
    r.Tick(4);
    EXPECT_EQ(r.Text("MemoryMsg"), "Current config now stored in memory 2");
    r.unit->setConfig(Plain());
    r.Tick(20);
    r.w->click("BtnLoad");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    r.Shows("MemoryMsg=Config present in memory location 2. Confirm load.|MemPreview=Memory "
            "location 2 contents|MemTx=Tx\n 71.2345 MHz\n 128.000 kbps\n Viterbi + R-S "
            "coding\n Rate 7/8 OQPSK\n Inverted\nScrambler Off\nPower - 12.5 dBm\n "
            "External Clock\nCarrier RTI|MemAupc=AUPC Enabled\nTarget EbNo:  3.5 dB\nMax "
            "increase:  2 dB\n Generate TX alarm on Pmax\n Go to Nominal Power w/Unlock");
    EXPECT_NE(r.Text("MemUnit").find("Test:  I/O loopback"), std::string::npos);
    // The location goes out as it was previewed, whatever the list shows meanwhile.
    r.w->choose("MemoryList", 5);
    const size_t mark = r.port.sent.size();
    r.w->click("BtnMemConfirm");
    r.Tick(45);
    EXPECT_EQ(r.Commands(mark), V{"CLD=2"});
    EXPECT_EQ(r.Text("MemoryMsg"), "Loading...");
    EXPECT_EQ(r.Memo({"", "Loading..."}), "Unit re-configured using memory location 2");
    EXPECT_EQ(r.unit->config(), kKnown);
    r.Tick(60);
    r.w->choose("MemoryList", 2);
    r.w->click("BtnStore");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    EXPECT_EQ(r.Text("MemoryMsg"), "Warning! Location 2 contains data. Overwrite?");
    r.w->choose("MemoryList", 6);
    r.w->click("BtnMemConfirm");
    EXPECT_EQ(r.Memo({"Storing..."}), "Current config now stored in memory 2");
    // The wait of 12 ticks before the utilities resume holds for a second store too.
    const size_t stored = r.port.sent.size();
    const int at = r.ticks;
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() > stored; }));
    EXPECT_EQ(r.ticks - at, 15);
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
    // A store answered "?".
    r.unit->setAnswer("CST", "");
    r.Tick(60);
    r.w->click("BtnStore");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    r.Once(sim::Injection::refuse('?'), "CST");
    r.w->click("BtnMemConfirm");
    EXPECT_EQ(r.Memo({"Storing..."}), "Problem with memory store");
}

// The rules every window keeps, asked of this family and of the MQX-310 it was made from.
namespace linvar::rules {
const char* const kRefused330 = "Command was not accepted, re-reading from unit...";
const char* const kAsk330 = "Change Tx data rate to 128.000 kbps. Comms may be affected.";
// clang-format off
INSTANTIATE_TEST_SUITE_P(Mqx330And310, Rules, testing::Values(
    WindowRules{"MQX-310", [](DetailRig& r, int rec) { r.Open<Mqx310Window>("310", "0310100000", rec, "0330", [](sim::Unit& u) {
            u.setConfig("070.0000064.000320110.021070.0000064.000320130104.0210050000000000"); }); },
        "TxPowLev", "-5", "TPL=05.0", "-10", "- 10.0", "Notice", "red", kRefused330, kRefused330,
        16, 17, "MGC?", kNoComms, "NrLogEvents", "No comms", 4, {}, "TxDataRate", "128", kAsk330},
    WindowRules{"MQX-330", [](DetailRig& r, int rec) { r.Open<Mqx330Window>("331", "2330110000", rec, "0330", [](sim::Unit& u) { u.setConfig(Plain()); }); },
        "TxPowLev", "-5", "TPL=05.0", "-10", "- 10.0", "Notice", "red", kRefused330, kRefused330,
        22, 23, "MGC?", kSetUp.c_str(), "StaREB", "TNo comms", 4, {}, "TxDataRate", "128", kAsk330}),
    Named);
// clang-format on
} // namespace linvar::rules
