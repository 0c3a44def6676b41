// The MQX-350 window's less travelled commands, driven as the operator drives them:
// alarm masks, the FSK box, the ODU limits and LOs, the OBLIX mode, log clearing,
// switchover, buffer centring and the memory load at the far end.

#include "detail/DetailRig.h"

#include "ui/TextFile.h"
#include "wire/FaultTables.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

using namespace linvar;

namespace {

const char* const kBadCurrent = "ERROR: Bad current value. Please correct it";
const char* const kBadLo = "ERROR: Bad LO frequency value. Please correct it";

void OpenLogs(DetailRig& r) {
    r.ReadStatus();
    r.w->click("BtnLogs");
    ASSERT_TRUE(r.Until([&] { return r.tx.CurrentMode == "READLOG" && r.w->StepNo == 6; }));
}

// Takes the write mode the window offers for the chosen file: a new file, or overwriting.
bool ChooseWriteMode(DetailRig& r) {
    return r.w->click("BtnNewFile") || r.w->click("BtnOverwrite");
}

// Events with these codes in the unit's log; the lines a download writes for them.
Lines AddEvents(DetailRig& r, const std::string& codes) {
    r.unit->setStatisticsInterval(0);
    for (char code : codes)
        r.unit->addEvent('1', '3', code, r.clock.monotonicMs());
    Lines out;
    for (const std::string& rec : r.unit->events())
        out.push_back(r.w->UnitAddress + "  " + EventEntryText(rec, r.clock));
    return out;
}

void ReadEventsTo(DetailRig& r, const std::string& file) {
    r.op.files.push_back(file);
    r.w->click("BtnReadEvents");
    r.w->click("BtnNewFile");
    r.w->click("BtnReadLog");
}

// The memory load of location 3 up to the moment "CLD=3" has gone out.
void ConfirmLoad(DetailRig& r) {
    r.w->choose("MemoryList", 3);
    r.w->click("BtnLoad");
    ASSERT_TRUE(r.Until([&] { return r.tx.CurrentMode == "LOADSTMEM" && r.w->StepNo == 500; }));
    ASSERT_EQ(r.Text("MemoryMsg"), "Config present in memory location 3. Confirm load.");
    r.w->click("BtnMemConfirm");
    ASSERT_EQ(r.port.sent.back(), "<" + r.w->UnitAddress + "/CLD=3");
    EXPECT_EQ(r.Text("MemoryMsg"), "Loading...");
}

} // namespace

TEST(Detail350Commands, AlarmMasksGoOutAsOneStringAndADistantNoRestoresTheBoxes) {
    // LOCAL: the hidden BUC and LNB masks go out as read; the twelfth character is "0".
    DetailRig r;
    r.Open350();
    r.ReadConfig();
    ASSERT_FALSE(r.at("MaskBuc").visible());
    EXPECT_EQ(r.Prompt("MaskTxFifo"), "Check boxes of desired alarms to be masked");
    EXPECT_EQ(r.Settings([&] { r.Check("MaskTxFifo", false); }), Lines{"MSK=001010101010"});
    EXPECT_TRUE(r.op.questions.empty());
    EXPECT_FALSE(r.at("MaskTxFifo").checked());

    // DISTANT: one question; No sends nothing and ticks the box back.
    DetailRig d;
    d.Open350("0350110001", 4, "0450");
    d.ReadConfig();
    d.op.answers.push_back(Answer::No);
    EXPECT_EQ(d.Settings([&] { d.Check("MaskAgc", true); }), Lines{});
    ASSERT_EQ(d.op.questions.size(), 1u);
    EXPECT_EQ(d.op.questions[0].text, "Change alarms masks. Comms may be affected.");
    EXPECT_FALSE(d.at("MaskAgc").checked());
    EXPECT_TRUE(d.at("MaskTxFifo").checked());
    EXPECT_EQ(d.Text("Instruction"), "Edit of parameter has been replaced with previous value");

    d.op.answers.push_back(Answer::Yes);
    EXPECT_EQ(d.Settings([&] { d.Check("MaskAgc", true); }), Lines{"MSK=101110101010"});
    EXPECT_EQ(d.op.questions.size(), 2u);
    EXPECT_TRUE(d.at("MaskAgc").checked());
    EXPECT_EQ(d.tx.CurrentMode, "SETCONFIG");
}

// The masks are one group: what the operator ticked before leaving it goes in one command.
TEST(Detail350Commands, TwoMaskTicksBeforeLeavingTheGroupMakeOneCommand) {
    DetailRig r;
    r.Open350();
    r.ReadConfig();
    r.w->enter("MaskAgc");
    EXPECT_EQ(r.Settings([&] {
        r.w->check("MaskAgc", true);
        r.w->check("MaskRxAis", true);
        r.w->leave("MaskRxAis");
    }),
              Lines{"MSK=101111101010"});
    EXPECT_TRUE(r.at("MaskAgc").checked());
    EXPECT_TRUE(r.at("MaskRxAis").checked());
}

TEST(Detail350Commands, TheFskBoxSendsOduOrBceAndReadsBackWhatTheUnitHolds) {
    // MQX-350: "ODU=" and the box is read again from the unit (which here still says 1).
    DetailRig r;
    r.Open350();
    r.ReadConfig();
    ASSERT_EQ(r.at("ConfODU").selected(), 1);
    size_t mark = r.port.sent.size();
    r.w->enter("ConfODU");
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfODU", 0); }), Lines{"ODU=0"});
    const Lines all = r.SentSince(mark);
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[1], "<0350/ODU?");
    EXPECT_EQ(std::count(all.begin(), all.end(), "<0350/MGC?"), 0);
    EXPECT_EQ(r.at("ConfODU").selected(), 1);
    EXPECT_EQ(r.Text("Instruction"), "Click on a box to change the configuration parameters");

    // MQX-350L: "BCE=", nothing else is read.
    DetailRig l;
    l.Open350("0351110000", 3, "0351");
    l.ReadConfig();
    ASSERT_EQ(l.at("ConfODU").selected(), 1);
    mark = l.port.sent.size();
    EXPECT_EQ(l.Settings([&] { l.w->choose("ConfODU", 0); }), Lines{"BCE=0"});
    EXPECT_EQ(l.SentSince(mark), Lines{"<0351/BCE=0"});
    EXPECT_EQ(l.at("ConfODU").selected(), 0);
    EXPECT_EQ(l.tx.CurrentMode, "SETCONFIG");

    // At the DISTANT end the change is confirmed first.
    DetailRig d;
    d.Open350("0351110001", 4, "0451");
    d.ReadConfig();
    d.op.answers.push_back(Answer::Yes);
    EXPECT_EQ(d.Settings([&] { d.w->choose("ConfODU", 0); }), Lines{"BCE=0"});
    ASSERT_EQ(d.op.questions.size(), 1u);
    EXPECT_EQ(d.op.questions[0].text,
              "Change ODU communications state to Disabled. Comms may be affected.");
}

TEST(Detail350Commands, CurrentLimitsAreCheckedThenSentInTheirDigits) {
    DetailRig r;
    r.Open350("0351110000", 3, "0351");
    r.ReadConfig();
    r.w->click("BtnOdu");
    ASSERT_TRUE(r.at("GrpOdu").visible());
    struct Box {
        const char* control;
        const char* prompt;
        std::vector<const char*> refused; // bad format, out of range, off the 100 mA steps
        const char* good;
        const char* command;
        const char* shown;
    };
    // clang-format off
    const Box boxes[] = {
        {"ConfODL", "Enter current value, integer between 0 and 3000 (mA), resolution 100 (mA)", {"lots", "3100", "1250"}, "1200", "BCL=1200", " 1200"},
        {"ConfODH", "Enter current limit, integer between 500 and 4000 (mA), resolution 100 (mA)", {"400", "4100", "2050"}, "4000", "BCH=4000", " 4000"},
        {"ConfLNL", "Enter current limit, integer between 10 and 400 (mA)", {"9", "401", "250.5"}, "10", "LCL=010", " 10"},
        {"ConfLNH", "Enter current limit, integer between 50 and 600 (mA)", {"49", "601"}, "600", "LCH=600", " 600"}};
    // clang-format on
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.control);
        const std::string caption = std::string(b.control) + "Cap";
        EXPECT_EQ(r.Prompt(b.control), b.prompt);
        r.w->leave(b.control);
        for (const char* bad : b.refused) {
            SCOPED_TRACE(bad);
            EXPECT_EQ(r.Set(b.control, bad), Lines{});
            EXPECT_EQ(r.at(caption).textColour(), Colours::red);
            EXPECT_EQ(r.Text("Notice"), kBadCurrent);
            EXPECT_EQ(r.at("Notice").textColour(), Colours::red);
            EXPECT_EQ(r.Text(b.control), bad);
        }
        EXPECT_EQ(r.Set(b.control, b.good), Lines{b.command});
        EXPECT_EQ(r.at(caption).textColour(), Colours::black);
        EXPECT_EQ(r.Text("Notice"), "");
        EXPECT_EQ(r.Text(b.control), b.shown);
    }
    // The low BUC limit keeps its four digits at zero; no question at the LOCAL end.
    EXPECT_EQ(r.Set("ConfODL", "0"), Lines{"BCL=0000"});
    EXPECT_TRUE(r.op.questions.empty());
}

TEST(Detail350Commands, TheBucLoGoesWithItsMixSignAtBothEnds) {
    DetailRig r;
    r.Open350("0351110000", 3, "0351");
    r.ReadConfig();
    r.w->click("BtnOdu");
    EXPECT_EQ(r.Prompt("ConfBLO"), "Enter LO frequency, integer between 3000 and 65000 MHz, or 0");
    r.w->leave("ConfBLO");
    for (const char* bad : {"2999", "65001"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(r.Set("ConfBLO", bad), Lines{});
        EXPECT_EQ(r.at("ConfBLOCap").textColour(), Colours::red);
        EXPECT_EQ(r.Text("Notice"), kBadLo);
    }
    EXPECT_EQ(r.Set("ConfBLO", "3000"), Lines{"BLO=03000+"});
    EXPECT_EQ(r.Text("ConfBLO"), " 3000");
    EXPECT_EQ(r.at("ConfBLOCap").textColour(), Colours::black);
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfBLOMix", 1); }), Lines{"BLO=03000-"});
    EXPECT_EQ(r.Set("ConfBLO", "0"), Lines{"BLO=00000-"});
    EXPECT_TRUE(r.op.questions.empty());

    // DISTANT: each change is put to the operator with the LO and the sign.
    DetailRig d;
    d.Open350("0351110001", 4, "0451");
    d.ReadConfig();
    d.w->click("BtnOdu");
    d.op.answers.push_back(Answer::Yes);
    EXPECT_EQ(d.Set("ConfBLO", "12000"), Lines{"BLO=12000+"});
    ASSERT_EQ(d.op.questions.size(), 1u);
    EXPECT_EQ(d.op.questions[0].text,
              "Change Tx LO frequency to 12000 MHz, mix: +. Comms may be affected.");
    d.op.answers.push_back(Answer::No);
    EXPECT_EQ(d.Settings([&] { d.w->choose("ConfBLOMix", 1); }), Lines{});
    ASSERT_EQ(d.op.questions.size(), 2u);
    EXPECT_EQ(d.op.questions[1].text,
              "Change Tx LO frequency to 12000 MHz, mix: -. Comms may be affected.");
    EXPECT_EQ(d.at("ConfBLOMix").selected(), 0);
    EXPECT_EQ(d.Text("ConfBLO"), " 12000");
    EXPECT_EQ(d.Text("Instruction"), "Edit of parameter has been replaced with previous value");
    d.op.answers.push_back(Answer::Yes);
    EXPECT_EQ(d.Settings([&] { d.w->choose("ConfBLOMix", 1); }), Lines{"BLO=12000-"});
}

TEST(Detail350Commands, AnOblixModeChangeReadsTheSlaveAddressBack) {
    DetailRig r;
    r.Open350();
    r.ReadConfig();
    r.unit->setAnswer("EFM", "=");
    r.unit->setAnswer("ESA", "=0250");
    ASSERT_TRUE(r.at("ConfEFM").enabled());
    size_t mark = r.port.sent.size();
    r.w->enter("ConfEFM");
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfEFM", 0); }), Lines{"EFM=0"});
    EXPECT_EQ(r.SentSince(mark), (Lines{"<0350/EFM=0", "<0350/ESA?"}));
    EXPECT_EQ(r.Text("ConfESA"), "250");
    EXPECT_EQ(r.tx.CurrentMode, "SETCONFIG");

    // No answer to "ESA?": the operator is told and the boxes open again.
    r.Once(sim::Injection::silence(), "ESA");
    mark = r.port.sent.size();
    r.w->choose("ConfEFM", 1);
    ASSERT_TRUE(r.Until(
        [&] { return r.Text("Instruction") == "No comms with modem. Config data not avail."; },
        100));
    EXPECT_EQ(r.SentSince(mark), (Lines{"<0350/EFM=1", "<0350/ESA?"}));
    EXPECT_EQ(r.Text("Notice"), "Communications were timed out, check system set-up");
    EXPECT_EQ(r.at("Notice").textColour(), Colours::red);
    r.Tick(5);
    EXPECT_EQ(r.w->StepNo, ConfigSteps::Idle);
    EXPECT_EQ(r.SentSince(mark).size(), 2u);
    EXPECT_FALSE(r.at("ConfTFQ").readOnly());
    EXPECT_TRUE(r.at("ConfEFM").enabled());
}

TEST(Detail350Commands, TheStatisticsLogGoesToItsFileAndIsThenCleared) {
    DetailRig r;
    r.Open350();
    r.unit->setStatisticsInterval(0);
    for (const char* values : {"08.512.35E6042", "10.211.04E5120", "04.405.02E7000"})
        r.unit->addStatistics(values, r.clock.monotonicMs());
    Lines expected;
    for (const std::string& rec : r.unit->statistics())
        expected.push_back("0350  " + StatisticsEntryText(rec, r.clock));
    ASSERT_NO_FATAL_FAILURE(OpenLogs(r));
    EXPECT_EQ(r.Text("LogStatsCount"), "3 Statistics Log lines to read");
    ASSERT_TRUE(r.at("BtnReadStats").enabled());

    r.op.files.push_back("stats.txt");
    r.w->click("BtnReadStats");
    EXPECT_EQ(r.Text("LogTopLine"), "Going to store Statistics Log data to: stats.txt");
    r.w->click("BtnNewFile");
    const size_t mark = r.port.sent.size();
    r.w->click("BtnReadLog");
    ASSERT_TRUE(r.UntilSent("<0350/CAS=", 200));
    EXPECT_EQ(r.Text("LogTopLine"), "Statistics Log data stored in stats.txt");
    EXPECT_EQ(*TextFile::readLines(r.dir.path() / "stats.txt"), expected);
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == 6; }, 200));
    EXPECT_EQ(r.Text("LogProgress"), "Reading Statistics Log completed");
    EXPECT_EQ(r.at("LogProgress").textColour(), Colours::blue);
    Lines reads;
    for (const std::string& s : r.SentSince(mark))
        if (s.find("RN") != std::string::npos || s.find("CA") != std::string::npos)
            reads.push_back(s);
    EXPECT_EQ(reads, (Lines{"<0350/RNS?", "<0350/RNS?", "<0350/CAS="}));
    EXPECT_TRUE(r.unit->statistics().empty());
    EXPECT_EQ(r.Text("LogStatsCount"), "0 Statistics Log lines to read");
    EXPECT_FALSE(r.at("BtnReadStats").enabled());
}

TEST(Detail350Commands, ARefusedClearLeavesTheLinesInTheFileAndALocalUnitIsNotCleared) {
    DetailRig r;
    r.Open350();
    const Lines expected = AddEvents(r, "13");
    r.unit->setAnswer("CAE", "*");
    ASSERT_NO_FATAL_FAILURE(OpenLogs(r));
    ReadEventsTo(r, "ev.txt");
    ASSERT_TRUE(r.UntilSent("<0350/CAE=", 200));
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == 6; }, 200));
    EXPECT_EQ(r.Text("LogProgress"), "Log: Not permitted");
    EXPECT_EQ(r.at("LogProgress").textColour(), Colours::red);
    EXPECT_EQ(*TextFile::readLines(r.dir.path() / "ev.txt"), expected);
    EXPECT_EQ(r.unit->events().size(), expected.size());

    // A unit in LOCAL mode at the LOCAL end: the lines are stored, no clear is sent.
    DetailRig l;
    l.Open350();
    l.unit->setAnswer("LRS", "=0");
    const size_t kept = AddEvents(l, "5").size();
    ASSERT_NO_FATAL_FAILURE(OpenLogs(l));
    ReadEventsTo(l, "local.txt");
    ASSERT_TRUE(l.Until([&] { return l.w->StepNo == 6; }, 200));
    EXPECT_EQ(l.Text("LogProgress"), "Reading Events Log completed");
    EXPECT_EQ(TextFile::readLines(l.dir.path() / "local.txt")->size(), kept);
    EXPECT_FALSE(l.WasSent("<0350/CAE="));
    EXPECT_EQ(l.unit->events().size(), kept);
}

TEST(Detail350Commands, ADownloadCutShortByNoAnswerKeepsWhatWasReadAndClearsNothing) {
    for (const char refusal : {'\0', '~'}) {
        SCOPED_TRACE(refusal ? "far end silent" : "no answer");
        DetailRig r;
        r.Open350("0350110001", 4, "0450");
        Lines firstPage = AddEvents(r, "13579BD");
        const size_t held = firstPage.size();
        firstPage.resize(5);
        ASSERT_NO_FATAL_FAILURE(OpenLogs(r));
        ReadEventsTo(r, "cut.txt");
        ASSERT_TRUE(r.UntilSent("<0450/RNE?", 20));
        // The second page does not come.
        r.Once(refusal ? sim::Injection::refuse(refusal) : sim::Injection::silence(), "RNE");
        ASSERT_TRUE(r.Until([&] { return r.w->StepNo == 6; }, 400));
        EXPECT_EQ(*TextFile::readLines(r.dir.path() / "cut.txt"), firstPage);
        EXPECT_EQ(r.Text("LogTopLine"), "Select Log to download; data will be saved to disk");
        EXPECT_EQ(r.Text("LogProgress"), refusal ? "Log: Oblix timeout" : "Log: No comms");
        EXPECT_EQ(r.at("LogProgress").textColour(), Colours::red);
        EXPECT_FALSE(r.WasSent("<0450/CAE="));
        EXPECT_EQ(r.unit->events().size(), held);
        EXPECT_EQ(r.Text("LogEventsCount"), std::to_string(held - 5) + " Events Log lines to read");
        EXPECT_TRUE(r.at("BtnReadEvents").enabled());
    }
}

TEST(Detail350Commands, ALogFileThatCannotBeWrittenClearsNothingInTheUnit) {
    struct Case {
        const char* file; // a folder, or a file in a folder that does not exist
        bool events;
    };
    const Case cases[] = {{"logs", true}, {"logs", false}, {"missing/ev.txt", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.events ? " events" : " statistics"));
        DetailRig r;
        std::filesystem::create_directory(r.dir.path() / "logs");
        r.Open350();
        const size_t events = AddEvents(r, "1").size();
        r.unit->addStatistics("08.512.35E6042", r.clock.monotonicMs());
        ASSERT_NO_FATAL_FAILURE(OpenLogs(r));
        r.op.files.push_back(c.file);
        r.w->click(c.events ? "BtnReadEvents" : "BtnReadStats");
        ASSERT_TRUE(ChooseWriteMode(r));
        r.w->click("BtnReadLog");
        ASSERT_TRUE(r.Until([&] { return !r.op.reports.empty(); }, 200));
        r.Tick(20);
        EXPECT_EQ(r.op.reports.size(), 1u);
        EXPECT_FALSE(r.WasSent("<0350/CAE="));
        EXPECT_FALSE(r.WasSent("<0350/CAS="));
        EXPECT_EQ(r.unit->events().size(), events);
        EXPECT_EQ(r.unit->statistics().size(), 1u);
    }
}

// The downloaded lines are kept and another file is asked for; the unit is cleared only
// once a file holds them.
TEST(Detail350Commands, AnUnwritableLogFileKeepsTheLinesAndAsksForAnotherFile) {
    DetailRig r;
    std::filesystem::create_directory(r.dir.path() / "logs");
    r.Open350();
    const Lines expected = AddEvents(r, "135");
    ASSERT_NO_FATAL_FAILURE(OpenLogs(r));
    r.op.files = {std::string("logs"), std::string("ev.txt")};
    r.w->click("BtnReadEvents");
    ASSERT_TRUE(ChooseWriteMode(r));
    r.w->click("BtnReadLog");
    ASSERT_TRUE(r.Until([&] { return r.op.files.empty(); }, 200));
    EXPECT_EQ(r.op.reports.size(), 1u);
    EXPECT_FALSE(r.WasSent("<0350/CAE="));
    ASSERT_TRUE(ChooseWriteMode(r));
    r.w->click("BtnReadLog");
    ASSERT_TRUE(r.UntilSent("<0350/CAE=", 200));
    EXPECT_EQ(TextFile::readLines(r.dir.path() / "ev.txt"), std::optional<Lines>(expected));
}

TEST(Detail350Commands, ForcedSwitchoverIsReportedAsTheUnitAnswers) {
    struct Case {
        int record;
        const char* address;
        const char* reply;
        const char* shown;
        Colour colour;
    };
    const Case cases[] = {
        {3, "0350", "=", "Switchover command acknowledged", Colours::blue},
        {3, "0350", "*", "No comms", Colours::red},
        // The distant unit may be cut off by the switch itself; a refusal it sends is not
        // a switchover.
        {4, "0450", "~", "Switchover command acknowledged", Colours::blue},
        {4, "0450", "*", "No comms", Colours::red},
        {4, "0450", "?", "No comms", Colours::red},
        {4, "0450", nullptr, "Switchover command acknowledged", Colours::blue}, // silent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + (c.reply ? c.reply : "silent"));
        DetailRig r;
        r.Open350("0350110000", c.record, c.address);
        if (c.reply)
            r.unit->setAnswer("FSW", c.reply);
        else
            r.Once(sim::Injection::silence(), "FSW");
        r.ToPanel("BtnUtilities", "TIM?");
        EXPECT_TRUE(r.at("SwitchHint").visible());
        ASSERT_TRUE(r.at("BtnSwitch").enabled());
        r.w->click("BtnSwitch");
        ASSERT_TRUE(r.UntilSent("<" + std::string(c.address) + "/FSW=", 20));
        ASSERT_TRUE(r.Until([&] { return !r.Text("SwitchMsg").empty(); }, 100));
        EXPECT_EQ(r.Text("SwitchMsg"), c.shown);
        EXPECT_EQ(r.at("SwitchMsg").textColour(), c.colour);
        // Back to the clock loop.
        EXPECT_TRUE(r.UntilSent("<" + std::string(c.address) + "/TIM?", 100));
    }
}

// "&Close" pressed while a utility's exchange runs closes the window once it is done: the
// utility's own way back to the clock loop does not take the press away.
TEST(Detail350Commands, CloseDuringASwitchoverOrAMemoryLoadClosesTheWindow) {
    for (const bool load : {false, true}) {
        SCOPED_TRACE(load ? "memory load" : "switchover");
        DetailRig r;
        r.Open350();
        r.unit->setAnswer("CLD", "=");
        r.ToPanel("BtnUtilities", "TIM?");
        if (load) {
            ASSERT_NO_FATAL_FAILURE(ConfirmLoad(r));
        } else {
            r.w->click("BtnSwitch");
            ASSERT_TRUE(r.UntilSent("<0350/FSW=", 20));
        }
        const size_t mark = r.port.sent.size();
        r.w->click("BtnClose"); // while the exchange runs
        EXPECT_TRUE(r.Until([&] { return r.w->Closed(); }, load ? 300 : 100));
        EXPECT_EQ(r.Text(load ? "MemoryMsg" : "SwitchMsg"),
                  load ? "Unit re-configured using memory location 3"
                       : "Switchover command acknowledged");
        EXPECT_TRUE(r.SentSince(mark).empty()) << r.SentSince(mark).front();
    }
}

TEST(Detail350Commands, CentreBufferReportsTheUnitsAnswer) {
    DetailRig r;
    r.Open350();
    r.ToPanel("BtnUtilities", "TIM?");
    EXPECT_TRUE(r.at("BufferHint").visible());
    ASSERT_TRUE(r.at("BtnCenterBuffer").enabled());
    for (const auto& [reply, shown, colour] :
         std::vector<std::tuple<const char*, const char*, Colour>>{
             {"=", "Buffer centered OK", Colours::blue}, {"*", "Not permitted", Colours::red}}) {
        SCOPED_TRACE(reply);
        r.unit->setAnswer("RCB", reply);
        r.w->click("BtnCenterBuffer");
        EXPECT_EQ(r.Text("BufferMsg"), "Centering buffer...");
        EXPECT_EQ(r.at("BufferMsg").textColour(), Colours::blue);
        ASSERT_TRUE(r.UntilSent("<0350/RCB=", 100));
        // The clock reading that hands over to the centring clears the message line.
        ASSERT_TRUE(r.Until(
            [&] {
                const std::string t = r.Text("BufferMsg");
                return !t.empty() && t != "Centering buffer...";
            },
            100));
        EXPECT_EQ(r.Text("BufferMsg"), shown);
        EXPECT_EQ(r.at("BufferMsg").textColour(), colour);
        ASSERT_TRUE(r.UntilSent("<0350/TIM?", 100));
    }
}

TEST(Detail350Commands, ADistantMemoryLoadIsAcceptedRefusedOrTimedOut) {
    DetailRig r;
    r.Open350("0350110001", 4, "0450");
    r.ToPanel("BtnUtilities", "TIM?");
    ASSERT_TRUE(r.at("BtnLoad").enabled());

    // Accepted: the answer is taken after 75 ticks; the unit then gets 2.5 s of peace.
    r.unit->setAnswer("CLD", "=");
    ASSERT_NO_FATAL_FAILURE(ConfirmLoad(r));
    r.Tick(74);
    EXPECT_EQ(r.Text("MemoryMsg"), "Loading...");
    ASSERT_TRUE(r.Until([&] { return r.Text("MemoryMsg") != "Loading..."; }, 10));
    EXPECT_EQ(r.Text("MemoryMsg"), "Unit re-configured using memory location 3");
    EXPECT_EQ(r.at("MemoryMsg").textColour(), Colours::blue);
    size_t mark = r.port.sent.size();
    r.Tick(45);
    EXPECT_TRUE(r.SentSince(mark).empty());
    ASSERT_TRUE(r.UntilSent("<0450/TIM?", 100));

    // Refused, then no answer at all.
    r.unit->setAnswer("CLD", "?");
    for (const auto& [shown, limit] :
         {std::pair{"Problem with memory load.", 200}, std::pair{"No comms", 300}}) {
        ASSERT_TRUE(r.UntilSent("<0450/TIM?", 100));
        ASSERT_NO_FATAL_FAILURE(ConfirmLoad(r));
        ASSERT_TRUE(r.Until([&] { return r.Text("MemoryMsg") != "Loading..."; }, limit));
        EXPECT_EQ(r.Text("MemoryMsg"), shown);
        EXPECT_EQ(r.at("MemoryMsg").textColour(), Colours::red);
        r.Once(sim::Injection::silence(), "CLD");
    }
}

// The reply's time-out runs from the end of the fixed wait, not from the command.
TEST(Detail350Commands, AMemoryLoadAnsweredAfterTheWaitIsASuccess) {
    struct Case {
        int record;
        const char* address;
        int lateMs; // past the 50 or 75 ticks, within the 2 s time-out after them
    };
    for (const Case& c : {Case{3, "0350", 3000}, Case{4, "0450", 4500}}) {
        SCOPED_TRACE(c.address);
        DetailRig r;
        r.Open350("0350110000", c.record, c.address);
        r.ToPanel("BtnUtilities", "TIM?");
        r.unit->setAnswer("CLD", "=");
        r.Once(sim::Injection::late(c.lateMs), "CLD");
        ASSERT_NO_FATAL_FAILURE(ConfirmLoad(r));
        ASSERT_TRUE(r.Until([&] { return r.Text("MemoryMsg") != "Loading..."; }, 300));
        EXPECT_EQ(r.Text("MemoryMsg"), "Unit re-configured using memory location 3");
    }
}
