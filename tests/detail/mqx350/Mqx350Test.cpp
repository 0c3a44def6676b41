#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"

#include "ui/TextFile.h"
#include "wire/FaultTables.h"

using namespace linvar;

namespace {

const std::string kCid24 = "CID=ABC" + std::string(21, ' ');

} // namespace

TEST(Detail350, IdentityAndStatusLoopShowWhatTheUnitReports) {
    DetailRig r;
    r.Open350();
    // clang-format off
    const char* answers[][2] = {
        {"NUE", "=221"}, {"NUS", "=012"}, {"FLT", "=031001"}, {"EBN", "=08.5"}, {"RFO", "=+001.2"},
        {"BER", "=1.0E7"}, {"BFS", "=50"}, {"RED", "=1"}, {"OUS", "=xxxxxx"}, {"RSL", "=GT60"},
        {"TMP", "=035"}, {"TXO", "=4"}, {"REB", "=16.0"}, {"PLI", "=x.x"}, {"CTD", "=000"}};
    // clang-format on
    for (const auto& a : answers)
        r.unit->setAnswer(a[0], a[1]);
    EXPECT_EQ(r.w->caption(), "Detail of Modem 1, Local end, link: MADRID-2       MQX-350");
    EXPECT_EQ(CurrentModelCode(), 350);
    EXPECT_FALSE(r.at("BtnOdu").visible());
    EXPECT_FALSE(r.at("MaskBuc").visible());

    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("<0350/CTD?"));
    ASSERT_TRUE(r.UntilSent("<0350/LRS?"));
    const std::vector<std::string> expected{
        "<0350/LRS?", "<0350/CID?", "<0350/IMG?", "<0350/SWR?", "<0350/SNO?", "<0350/LRS?",
        "<0350/NUE?", "<0350/NUS?", "<0350/FLT?", "<0350/EBN?", "<0350/RFO?", "<0350/BER?",
        "<0350/BFS?", "<0350/RED?", "<0350/OUS?", "<0350/RSL?", "<0350/TMP?", "<0350/TXO?",
        "<0350/REB?", "<0350/PLI?", "<0350/CTD?", "<0350/LRS?"};
    EXPECT_EQ(r.SentSince(mark), expected);
    r.Shows("StaLRS=REMOTE|StaCID=LINK TWO|StaSWR=1.07 2.03|StaNUE=221|StaUnit=OK|StaTx=Tx FIFO "
            "slip|StaRx=Demodulator unlocked|StaEbNo=8.5 dB|StaFreqOffset=+001.2 kHz|StaBER=1.0 "
            "E-7|StaBFS=50 %|StaRED=Online|StaRSL=> -60 dBm|StaTXO=Off during Warm-Up|StaREB=> 16 "
            "dB|StaPLI=Not available");
    EXPECT_EQ(r.Colour("StaNUE"), "yellow");
    EXPECT_EQ(r.Colour("StaNUS"), "white");
    EXPECT_EQ(r.Colour("StaUnit"), "lime");
    EXPECT_EQ(r.Colour("StaTx"), "red");
    EXPECT_TRUE(r.w->DetailConfigChanged);
    EXPECT_FALSE(r.at("OusBox").visible());
    EXPECT_EQ(r.Text("StaTMP"), "035 \xB0"
                                "C");
    EXPECT_FALSE(r.at("StaCTD").visible());
    EXPECT_TRUE(r.at("BtnConfig").enabled());
    EXPECT_FALSE(r.at("BtnStatus").enabled());

    // A reply that failed ("~" becomes "TOblix timeout") restarts the loop at LRS.
    r.unit->setAnswer("BER", "~");
    r.unit->setAnswer("CTD", "=012");
    ASSERT_TRUE(r.UntilSent("<0350/BER?"));
    const size_t after = r.port.sent.size();
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() > after; }));
    EXPECT_EQ(r.port.sent.back(), "<0350/LRS?");
    EXPECT_EQ(r.Text("StaBER"), "Oblix timeout");
    EXPECT_EQ(r.Colour("StaBER"), "blue");
}

TEST(Detail350, TheL350ReadsItsOduStatusAndTheCountdownShows) {
    DetailRig r;
    r.Open350("0351110001", 3, "0351");
    // clang-format off
    const char* answers[][2] = {
        {"CTD", "=030"}, {"BPC", "=1"}, {"BDC", "=1200"}, {"BDV", "=24.0"}, {"LPC", "=1"},
        {"LDC", "=!"}, {"LDV", "=18.0"}, {"BCE", "=1"}, {"BOL", "=10.5"}, {"BUT", "=+045"},
        {"BPA", "=0"}, {"BSV", "=12"}};
    // clang-format on
    for (const auto& a : answers)
        r.unit->setAnswer(a[0], a[1]);
    r.unit->setAnswer("LDC", "?");
    EXPECT_EQ(r.w->ModelName, "MQX-350L");
    EXPECT_TRUE(r.at("GrpClockExt").visible());
    ASSERT_TRUE(r.UntilSent("CTD?"));
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("LRS?"));
    EXPECT_EQ(r.Commands(mark), (Lines{"BPC?", "BDC?", "BDV?", "LPC?", "LDC?", "LDV?", "BCE?",
                                       "BOL?", "BUT?", "BPA?", "BSV?", "LRS?"}));
    r.Tick(3);
    r.Shows("StaCTD=030 sec|StaBPC=Enabled|StaBDC=1200 "
            "mA|StaLDC=N/A|StaFSK=Enabled|StaBPA=Locked|StaBSV=12");
    EXPECT_TRUE(r.at("StaCTD").visible());
    EXPECT_EQ(r.Colour("StaLDC"), "gray");
    EXPECT_TRUE(r.at("BucStatus").visible());
    EXPECT_EQ(r.Text("StaBUT"), "+ 45 \xB0"
                                "C");
    // With the G.703 option the clock extension box shows; "x" means not reported.
    for (const char* identity : {"035011000x", "0350110001"}) {
        DetailRig g;
        g.Open350(identity);
        EXPECT_EQ(g.at("GrpClockExt").visible(), identity[9] == '1') << identity;
    }
}

TEST(Detail350, ConfigurationReadFillsEveryBoxFromItsPosition) {
    DetailRig r;
    r.Open350("0351110000", 3, "0351");
    const size_t mark = r.port.sent.size();
    r.ReadConfig();
    const std::vector<std::string> all = r.SentSince(mark);
    const auto mgc = std::find(all.begin(), all.end(), "<0351/MGC?");
    ASSERT_TRUE(mgc - all.begin() >= 2 && all.end() - mgc >= 5);
    const std::vector<std::string> reads(mgc - 2, mgc + 5);
    EXPECT_EQ(reads,
              (std::vector<std::string>{"<0351/CID?", "<0351/LRS?", "<0351/MGC?", "<0351/OGC?",
                                        "<0351/ADJ?", "<0351/FPL?", "<0351/IPA?"}));
    struct Expect {
        const char* box;
        const char* text; // edit boxes
        int index;        // drop-downs
    };
    // clang-format off
    const Expect table[] = {
        {"ConfITF", nullptr, 0}, {"ConfLBO", nullptr, 1}, {"ConfFRM", nullptr, 1},
        {"ConfTFQ", " 70.0000", 0}, {"ConfTFT", nullptr, 1}, {"ConfTMD", nullptr, 1},
        {"ConfTCR", nullptr, 4}, {"ConfTDR", " 64.000", 0}, {"ConfTSI", nullptr, 0},
        {"ConfTSC", nullptr, 1}, {"ConfTPL", "- 10.0", 0}, {"ConfTCK", nullptr, 1},
        {"ConfTDI", nullptr, 0}, {"ConfTXO", nullptr, 1}, {"ConfAUP", nullptr, 1},
        {"ConfAPM", nullptr, 1}, {"ConfAPU", nullptr, 0}, {"ConfAPPc", "12.5", 0},
        {"ConfAPI", nullptr, 3}, {"ConfWUD", nullptr, 1}, {"ConfCEXMode", nullptr, 1},
        {"ConfCEXItf", nullptr, 2}, {"ConfRFQ", " 140.0000", 0}, {"ConfRFT", nullptr, 2},
        {"ConfRMD", nullptr, 1}, {"ConfRCR", nullptr, 3}, {"ConfRDR", " 128.000", 0},
        {"ConfRSI", nullptr, 1}, {"ConfRDS", nullptr, 0}, {"ConfRDI", nullptr, 1},
        {"ConfRSW", "32", 0}, {"ConfEBA", " 5.5", 0}, {"ConfRBS", nullptr, 4},
        {"ConfERF", nullptr, 0}, {"ConfEFM", nullptr, 1}, {"ConfESA", "120", 0},
        {"ConfTST", nullptr, 0}, {"ConfRTS", nullptr, 1}, {"ConfSSI", nullptr, 3},
        {"ConfABA", nullptr, 1}, {"ConfALA", nullptr, 0}, {"ConfCID", "LINK TWO", 0},
        {"ConfLRS", nullptr, 1}, {"ConfADJ", "-12", 0}, {"ConfFPL", nullptr, 1},
        {"ConfIPA", "192.168.001.020.24", 0}, {"ConfBAD", nullptr, 2}, {"ConfODU", nullptr, 1},
        {"ConfBPC", nullptr, 1}, {"ConfBFR", nullptr, 0}, {"ConfBOE", nullptr, 1},
        {"ConfODL", "800", 0}, {"ConfODH", "3000", 0}, {"ConfBLO", "13050", 0},
        {"ConfBLOMix", nullptr, 0}, {"ConfLPC", nullptr, 2}, {"ConfLFR", nullptr, 1},
        {"ConfLNL", "50", 0}, {"ConfLNH", "500", 0}, {"ConfLLO", "10750", 0},
        {"ConfLLOMix", nullptr, 1}};
    // clang-format on
    for (const Expect& e : table) {
        SCOPED_TRACE(e.box);
        if (e.text)
            EXPECT_EQ(r.Text(e.box), e.text);
        else
            EXPECT_EQ(r.at(e.box).selected(), e.index);
    }
    // Every box of the table is covered above.
    EXPECT_EQ(r.w->Boxes().size(), std::size(table));
    const char* masks[] = {"MaskTxFifo", "MaskBpv",   "MaskTxAis",  "MaskAgc",
                           "MaskEbNo",   "MaskRxAis", "MaskBuffer", "MaskExtRef",
                           "MaskBuc",    "MaskLnb",   "MaskLos"};
    for (size_t i = 0; i < std::size(masks); ++i)
        EXPECT_EQ(r.at(masks[i]).checked(), i % 2 == 0) << masks[i];
    EXPECT_EQ(r.Text("Instruction"), "Click on a box to change the configuration parameters");
    EXPECT_EQ(r.Text("BtnConfig"), "Re-Read Con&fig");
    EXPECT_FALSE(r.at("ConfTFQ").readOnly());
    // Without the 8-QAM option the lists stop at 16-QAM; Viterbi shows no IESS-315.
    EXPECT_EQ(r.at("ConfTMD").items().back(), " 16-QAM");
    EXPECT_EQ(r.at("ConfTSC").items().size(), 2u);

    // A slave unit shows the slave entry, selected and out of reach; TPC adds IESS-315.
    std::string slave = KnownConfig();
    slave[87] = '2';
    slave[12] = '6';
    slave[24] = '2';
    r.unit->setAnswer("MGC", "=" + slave);
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.UntilSent("<0351/MGC?"));
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(r.at("ConfEFM").selectedText(), " OBLIX slave");
    EXPECT_FALSE(r.at("ConfEFM").enabled());
    EXPECT_EQ(r.at("ConfTSC").selectedText(), " IESS-315");
}

TEST(Detail350, EditsAreValidatedAndSentInTheUnitsFormat) {
    DetailRig r;
    r.Open350();
    for (const char* m : {"TFQ", "TPL", "APP", "CID", "RSW", "RMD", "ESA", "ADJ"})
        r.unit->setAnswer(m, "=");
    r.ReadConfig();
    const auto sent = [&](const std::function<void()>& action) { return r.Settings(action); };
    using V = std::vector<std::string>;
    // Tx frequency: 95 lies between the two bands of the MQX-350.
    EXPECT_EQ(r.Set("ConfTFQ", "95"), V{});
    EXPECT_EQ(r.at("ConfTFQCap").textColour(), Colours::red);
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad frequency value. Please correct it");
    EXPECT_EQ(r.Text("ConfTFQ"), "95");
    EXPECT_EQ(r.Set("ConfTFQ", "90"), V{"TFQ=0090.0000"});
    EXPECT_EQ(r.at("ConfTFQCap").textColour(), Colours::black);
    EXPECT_EQ(r.Text("ConfTFQ"), " 90.0000");
    EXPECT_EQ(r.tx.CurrentMode, "SETCONFIG");
    EXPECT_EQ(r.Set("ConfTFQ", "100"), V{"TFQ=0100.0000"});
    // The same number written otherwise sends nothing and the box shows it as before.
    EXPECT_EQ(r.Set("ConfTFQ", "100.00"), V{});
    EXPECT_EQ(r.Text("ConfTFQ"), " 100.0000");
    EXPECT_EQ(r.Set("ConfTFQ", "70.00005"), V{});
    // Power: the level travels without its sign.
    EXPECT_EQ(r.Set("ConfTPL", "-3"), V{"TPL=03.0"});
    EXPECT_EQ(r.Text("ConfTPL"), "- 3.0");
    EXPECT_EQ(r.Set("ConfTPL", "+1"), V{});
    EXPECT_EQ(r.Set("ConfTPL", "-26"), V{});
    r.w->click("BtnAupc");
    EXPECT_TRUE(r.at("GrpAupc").visible());
    // AUPC target: one hex digit for the whole dB; the caption stays black on an error.
    EXPECT_EQ(r.Set("ConfAPPc", "9.5"), V{"APP=109.53"});
    EXPECT_EQ(r.Set("ConfAPPc", "12.5"), V{"APP=10C.53"});
    EXPECT_EQ(r.Set("ConfAPPc", "15"), V{});
    EXPECT_EQ(r.at("ConfAPPcCap").textColour(), Colours::black);
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad value. Please correct it");
    EXPECT_EQ(sent([&] { r.w->choose("ConfAPI", 7); }), V{"APP=10C.57"});
    // Circuit ID: capitals, padded to 24.
    EXPECT_EQ(r.Set("ConfCID", "abc"), V{kCid24});
    // Sweep width: integer up to 32 kHz on the MQX-350.
    EXPECT_EQ(r.Set("ConfRSW", "33"), V{});
    EXPECT_EQ(r.Set("ConfRSW", "5"), V{"RSW=005"});
    EXPECT_EQ(r.Text("ConfRSW"), " 5");
    // Slave address: multiples of 10; the reference adjust with its sign.
    EXPECT_EQ(r.Set("ConfESA", "125"), V{});
    EXPECT_EQ(r.Set("ConfESA", "130"), V{"ESA=0130"});
    EXPECT_EQ(r.Set("ConfADJ", "-7"), V{"ADJ=-007"});
    // A drop-down sends its index; the Rx modulation as a hex digit.
    EXPECT_EQ(sent([&] { r.w->choose("ConfRMD", 4); }), V{"RMD=4"});
    EXPECT_EQ(r.Text("Instruction"), "Click on a box to change the configuration parameters");

    // The MQX-350L: 949.9 MHz is below its band; the LO carries its mix sign.
    DetailRig l;
    l.Open350("0351110000", 3, "0351");
    l.unit->setAnswer("TFQ", "=");
    l.unit->setAnswer("BLO", "=");
    l.ReadConfig();
    l.Edit("ConfTFQ", "949.9");
    EXPECT_EQ(l.Text("Notice"), "ERROR: Bad frequency value. Please correct it");
    l.Edit("ConfTFQ", "950");
    ASSERT_TRUE(l.Until([&] { return l.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(l.port.sent.back(), "<0351/TFQ=0950.0000");
    l.w->click("BtnOdu");
    EXPECT_FALSE(l.at("GrpUnit").visible());
    l.w->choose("ConfBLOMix", 1);
    ASSERT_TRUE(l.Until([&] { return l.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(l.port.sent.back(), "<0351/BLO=13050-");
}

TEST(Detail350, DistantChangesAreConfirmedFirst) {
    DetailRig r;
    r.Open350("0350110001", 4, "0450");
    r.unit->setAnswer("LRS", "=0");
    r.unit->setAnswer("TFQ", "=");
    r.unit->setAnswer("TST", "=");
    r.ReadConfig();
    EXPECT_EQ(r.Text("StaLRS"), "SLAVE");
    EXPECT_FALSE(r.at("ConfLRS").visible());
    EXPECT_TRUE(r.at("ConfADJ").readOnly());

    // Yes: the command goes out.
    r.op.answers.push_back(Answer::Yes);
    r.Edit("ConfTFQ", "71");
    ASSERT_TRUE(r.UntilSent("<0450/TFQ=0071.0000", 10));
    EXPECT_EQ(r.Text("Instruction"), "Distant modem re-configuration sent, please wait...");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));

    // The clock extension's two boxes make one command and one question without a selection.
    r.unit->setAnswer("CEX", "=");
    r.op.answers.push_back(Answer::Yes);
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfCEXMode", 2); }), Lines{"CEX=22"});
    EXPECT_EQ(r.op.questions.back().text,
              "Change Clk Extension parameters. Comms may be affected.");

    // A distant unit in remote: the boxes open, the reference adjust stays read-only.
    r.unit->setAnswer("LRS", "=1");
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.UntilSent("<0450/MGC?"));
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_FALSE(r.at("ConfTFQ").readOnly());
    EXPECT_TRUE(r.at("ConfADJ").readOnly());
    EXPECT_EQ(r.at("ConfADJCap").textColour(), Colours::gray);

    // The redundant modem beside the switch is a LOCAL unit: its state, its box, no question.
    DetailRig m;
    m.Open350("0350110000", 42, "0042");
    m.unit->setAnswer("LRS", "=0");
    m.unit->setAnswer("TFQ", "=");
    m.ReadConfig();
    EXPECT_EQ(m.Text("StaLRS"), "LOCAL");
    EXPECT_EQ(m.Colour("StaLRS"), "yellow");
    EXPECT_TRUE(m.at("ConfLRS").visible());
    m.unit->setAnswer("LRS", "=1");
    EXPECT_EQ(m.Settings([&] { m.w->choose("ConfLRS", 1); }), (std::vector<std::string>{"LRS=1"}));
    EXPECT_EQ(m.Set("ConfTFQ", "71"), (std::vector<std::string>{"TFQ=0071.0000"}));
}

// A refused circuit ID is read again from the circuit ID, not from the configuration.
TEST(Detail350, ARefusedCircuitIdIsReadAgainFromItsOwnStep) {
    DetailRig r;
    r.Open350();
    r.ReadConfig();
    r.unit->setAnswer("CID", "*");
    r.Edit("ConfCID", "new");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == 1; }));
    r.Tick(2);
    EXPECT_EQ(r.port.sent.back(), "<0350/CID?");
}

TEST(Detail350, RemoteStateRulesAfterAChange) {
    DetailRig r;
    r.Open350();
    r.unit->setAnswer("LRS", "=0");
    r.ReadConfig();
    EXPECT_EQ(r.Text("StaLRS"), "LOCAL");
    EXPECT_EQ(r.Colour("StaLRS"), "yellow");
    EXPECT_TRUE(r.at("ConfTFQ").readOnly());
    EXPECT_FALSE(r.at("ConfTFT").enabled());
    EXPECT_TRUE(r.at("ConfLRS").enabled());
    EXPECT_EQ(r.Text("Notice"), "Unit is in LOCAL mode. Need REMOTE to change configuration");
    EXPECT_EQ(r.Text("Instruction"), "");
    // A read-only box sends nothing.
    size_t mark = r.port.sent.size();
    r.Edit("ConfTFQ", "75");
    r.Tick(5);
    EXPECT_TRUE(r.SentSince(mark).empty());

    // Local to remote: the whole configuration is read again.
    r.unit->setAnswer("LRS", "=1");
    r.w->choose("ConfLRS", 1);
    ASSERT_EQ(r.port.sent.back(), "<0350/LRS=1");
    ASSERT_TRUE(
        r.Until([&] { return r.port.sent.size() > 0 && r.port.sent.back() != "<0350/LRS=1"; }));
    EXPECT_EQ(r.port.sent.back(), "<0350/MGC?");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_FALSE(r.at("ConfTFQ").readOnly());

    // Remote to local: the LRS step is read again.
    r.w->choose("ConfLRS", 0);
    ASSERT_EQ(r.port.sent.back(), "<0350/LRS=0");
    ASSERT_TRUE(r.Until([&] { return r.port.sent.back() != "<0350/LRS=0"; }));
    EXPECT_EQ(r.port.sent.back(), "<0350/LRS?");
}

TEST(Detail350, AnOfflineUnitOfAPairIsReadOnlyAUnitOnItsOwnIsNot) {
    for (const bool paired : {false, true}) {
        SCOPED_TRACE(paired ? "paired" : "alone");
        DetailRig r;
        r.paired = paired;
        r.Open350();
        r.unit->setOnline(false);
        r.ReadConfig();
        EXPECT_EQ(r.Text("StaRED"), "Offline");
        EXPECT_EQ(r.at("ConfTFQ").readOnly(), paired);
        EXPECT_EQ(r.at("ConfTFT").enabled(), !paired);
    }
}

TEST(Detail350, LogsDownloadToNewAppendedAndOverwrittenFiles) {
    DetailRig r;
    r.Open350();
    r.unit->setStatisticsInterval(0);
    for (char code : {'1', '3', '5'})
        r.unit->addEvent('1', '3', code, r.clock.monotonicMs());
    std::vector<std::string> firstLines;
    for (const std::string& rec : r.unit->events())
        firstLines.push_back("0350  " + EventEntryText(rec, r.clock));
    ASSERT_TRUE(r.UntilSent("<0350/RED?"));
    r.Tick(3);
    r.w->click("BtnLogs");
    ASSERT_TRUE(r.Until([&] { return r.tx.CurrentMode == "READLOG" && r.w->StepNo == 6; }));
    EXPECT_EQ(r.Text("LogEventsCount"),
              std::to_string(firstLines.size()) + " Events Log lines to read");
    EXPECT_TRUE(r.at("BtnReadEvents").enabled());
    EXPECT_EQ(r.Text("LogTopLine"), "Select Log to download; data will be saved to disk");

    auto download = [&](const std::string& file, const char* choice) {
        r.op.files.push_back(file);
        r.w->click("BtnReadEvents");
        EXPECT_FALSE(r.at("BtnReadStats").enabled());
        EXPECT_EQ(r.Text("LogTopLine"), "Going to store Events Log data to: " + file);
        r.w->click(choice);
        r.w->click("BtnReadLog");
        EXPECT_EQ(r.Text("LogProgress"), "Reading...");
        return r.Until([&] { return r.w->StepNo == 6; });
    };
    ASSERT_TRUE(download("ev.txt", "BtnNewFile"));
    EXPECT_EQ(r.Text("LogProgress"), "Reading Events Log completed");
    EXPECT_EQ(*TextFile::readLines(r.dir.path() / "ev.txt"), firstLines);
    EXPECT_NE(std::find(r.port.sent.begin(), r.port.sent.end(), "<0350/CAE="), r.port.sent.end());
    EXPECT_FALSE(r.at("BtnReadEvents").enabled()); // nothing left to read

    // One more event, and the logs page again; the line it downloads as.
    const auto another = [&](char code) {
        r.unit->addEvent('1', '3', code, r.clock.monotonicMs());
        r.w->click("BtnLogs");
        EXPECT_TRUE(r.Until([&] { return r.w->StepNo == 6 && r.at("BtnReadEvents").enabled(); }));
        return "0350  " + EventEntryText(r.unit->events().back(), r.clock);
    };
    const std::string second = another('7');
    ASSERT_TRUE(download("ev.txt", "BtnAppend"));
    std::vector<std::string> appended = firstLines;
    appended.push_back(" ");
    appended.push_back(second);
    EXPECT_EQ(*TextFile::readLines(r.dir.path() / "ev.txt"), appended);

    const std::string third = another('9');
    ASSERT_TRUE(download("ev.txt", "BtnOverwrite"));
    EXPECT_EQ(*TextFile::readLines(r.dir.path() / "ev.txt"), std::vector<std::string>{third});

    // A cancelled file choice leaves both read buttons off until "&Logs" again.
    another('1');
    r.w->click("BtnReadEvents");
    EXPECT_FALSE(r.at("BtnReadEvents").enabled());
    EXPECT_FALSE(r.at("FileNewBox").visible());
}

TEST(Detail350, SetTimeWithOffsetsAcrossMidnight) {
    DetailRig r;
    r.clock.set({2026, 12, 31, 23, 50, 10, 0});
    r.Open350();
    r.unit->setAnswer("DAY", "=311226");
    r.unit->setAnswer("TIM", "=235010");
    r.ToPanel("BtnUtilities", "TIM?");
    EXPECT_EQ(r.Text("ClockModem"), "23:50:10 31 Dec 2026");
    EXPECT_EQ(r.Text("BtnSetTime"), "Set &Time and Date");
    r.w->choose("HourOffset", 22); // "+1"
    r.Tick();
    EXPECT_EQ(r.at("HourOffset").selectedText(), "+1");
    EXPECT_TRUE(r.at("ClockOffset").visible());
    EXPECT_EQ(r.Text("BtnSetTime"), "Set &Offset Time + Date");
    EXPECT_EQ(r.w->State().TimeOffsetDays, 1);
    r.w->click("BtnSetTime");
    EXPECT_EQ(r.Text("LblDate"), "Setting date...");
    ASSERT_EQ(r.UntilSentPrefix("<0350/DAY=", 200), "<0350/DAY=010127");
    EXPECT_EQ(r.UntilSentPrefix("<0350/TIM=", 200).substr(0, 14), "<0350/TIM=0050");
    r.Tick(3);
    EXPECT_EQ(r.Text("LblTime"), "Time set OK");

    // Backwards over midnight with the quarter-hours.
    DetailRig b;
    b.clock.set({2027, 1, 1, 0, 10, 0, 0});
    b.Open350();
    b.unit->setAnswer("DAY", "=010127");
    b.unit->setAnswer("TIM", "=001000");
    b.ToPanel("BtnUtilities", "TIM?");
    b.w->choose("QuarterOffset", 5); // "-1/2"
    b.Tick(2);
    b.w->click("BtnSetTime");
    ASSERT_EQ(b.UntilSentPrefix("<0350/DAY=", 200), "<0350/DAY=311226");
    EXPECT_EQ(b.UntilSentPrefix("<0350/TIM=", 200).substr(0, 14), "<0350/TIM=2340");
}

TEST(Detail350, MemoryStoreAndLoadWithTheirPreviews) {
    DetailRig r;
    r.Open350("0351110000", 3, "0351");
    r.ToPanel("BtnUtilities", "TIM?");
    r.w->choose("MemoryList", 3);
    // Storing into an empty location goes straight on.
    r.unit->setAnswer("MGC", "*");
    r.unit->setAnswer("OGC", "*");
    r.unit->setAnswer("CST", "=");
    ASSERT_TRUE(r.at("BtnStore").enabled());
    r.w->click("BtnStore");
    ASSERT_TRUE(r.UntilSent("<0351/CST=3"));
    r.Tick(3);
    EXPECT_EQ(r.Text("MemoryMsg"), "Current config now stored in memory 3");
    ASSERT_TRUE(r.Until([&] { return r.tx.CurrentMode == "UTILITIES"; }));

    // Loading: the ODU and the configuration previews, then the load command.
    r.unit->setAnswer("MGC", "=" + KnownConfig());
    r.unit->setAnswer("OGC", "=" + KnownOdu());
    r.unit->setAnswer("CLD", "=");
    r.Tick(3);
    ASSERT_TRUE(r.at("BtnLoad").enabled());
    const size_t mark = r.port.sent.size();
    r.w->click("BtnLoad");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == 500; }));
    std::vector<std::string> asked;
    for (const std::string& s : r.SentSince(mark))
        if (s.find("GC?") != std::string::npos)
            asked.push_back(s);
    EXPECT_EQ(asked, (std::vector<std::string>{"<0351/OGC?3", "<0351/MGC?3"}));
    EXPECT_EQ(r.Text("MemoryMsg"), "Config present in memory location 3. Confirm load.");
    EXPECT_EQ(r.Text("BtnMemConfirm"), "  Confir&m");
    EXPECT_TRUE(r.at("MemPreview").visible());
    EXPECT_EQ(r.Text("MemPreview"), "Memory location 3 preview");
    EXPECT_EQ(r.Text("MemTx"), " 70.0000 MHz\n Viterbi encoding\n Rate 3/4  QPSK\n 64.000 kbps\n "
                               "Normal Spectrum \n Normal Data \nScrambler On\nPower - 10.0 dBm\n "
                               "Tx Terrestrial (TT) clock\nCarrier On\nWarm-up delay:  Enabled");
    EXPECT_NE(r.Text("MemAupc").find("Target EbNo: 12.5 dB"), std::string::npos);
    EXPECT_NE(r.Text("MemLnb").find("Rx LO frequency: 10750 MHz"), std::string::npos);
    EXPECT_NE(r.Text("MemBuc").find("Alarm limits: 800 - 3000 mA"), std::string::npos);
    r.w->click("BtnMemConfirm");
    EXPECT_EQ(r.port.sent.back(), "<0351/CLD=3");
    EXPECT_FALSE(r.at("MemPreview").visible());
    r.Tick(45);
    EXPECT_EQ(r.Text("MemoryMsg"), "Loading...");
    ASSERT_TRUE(r.Until([&] { return r.tx.RequestedMode == "UTILITIES"; }, 20));
    EXPECT_EQ(r.Text("MemoryMsg"), "Unit re-configured using memory location 3");
    // The clock loop that follows leaves the memory's result on screen.
    ASSERT_TRUE(r.UntilSent("<0351/TIM?"));
    r.Tick(5);
    EXPECT_EQ(r.tx.CurrentMode, "UTILITIES");
    EXPECT_EQ(r.Text("MemoryMsg"), "Unit re-configured using memory location 3");
}

// The rules every window keeps, asked of this family.
namespace linvar::rules {
INSTANTIATE_TEST_SUITE_P(Mqx350, Rules,
                         testing::Values(WindowRules{
                             "MQX-350",
                             [](DetailRig& r, int rec) {
                                 r.Open350("0350110000", rec, rec == 4 ? "0450" : "0350");
                             },
                             "ConfTFQ",
                             "71",
                             "TFQ=0071.0000",
                             "70.00",
                             " 70.0000",
                             "Notice",
                             "red",
                             "Command was not accepted. Re-reading unit...",
                             "Timed out. Check Timeout-Time. Re-reading unit...",
                             32,
                             33,
                             "MGC?",
                             kSetUp.c_str(),
                             "StaTMP",
                             "No comms",
                             4,
                             {},
                             "ConfTFQ",
                             "71",
                             "Change Tx frequency to 71.0000 MHz. Comms may be affected."}),
                         Named);
} // namespace linvar::rules
