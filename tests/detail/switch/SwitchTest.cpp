// The redundancy switch window against the simulated switch, on a fake clock: what goes
// over the wire and what the operator sees.

#include "Switch.h"
#include "StationHarness.h"
#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"
#include "detail/switch/SwitchWindow.h"

using namespace linvar;

namespace {

// Switch 1 (record 41) at address 1000.
struct SwitchRig : DetailRig {
    sim::SwitchBehaviour* sw = nullptr;

    explicit SwitchRig(const std::string& model = "420", char remote = '1',
                       const char* interfaces = nullptr) {
        Place(model, 41, "1000").setRemoteState(remote);
        sw = &Sim<sim::SwitchBehaviour>();
        if (interfaces)
            sw->setInterfaces(interfaces);
    }
    void Open() { Create<SwitchWindow>(); }
    // Opened, identified and once round the status loop; then the configuration panel.
    void OpenToConfig() {
        Open();
        ASSERT_TRUE(UntilSent("<1000/LRS?"));
        ASSERT_TRUE(Idle("BtnConfig") && w->click("BtnConfig") && Settle());
    }
    bool ToUtilities() {
        return Idle("BtnUtilities") && w->click("BtnUtilities") && UntilSent("<1000/TIM?");
    }
    // What one press sends once the panel is idle again.
    Lines Press(const char* button) {
        const size_t mark = port.sent.size();
        return w->click(button) && Settle() ? Commands(mark) : Lines{"(refused)"};
    }
};

const Lines kLoop{"SID?", "MAM?", "SAM?", "AAM?", "OPM?", "BKH?", "RSH?",
                  "AMQ?", "ACT?", "FLT?", "BBU?", "NUE?", "LRS?"};
const Lines kRemoteLoop{"AMQ?", "ACT?", "FLT?", "BBU?", "NUE?", "LRS?"};

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

// ---- identity and the status loop ------------------------------------------------------

TEST(SwitchWindow, IdentifiesTheSwitchAndReadsOnlyWhatChangesWhileRemote) {
    SwitchRig r("420");
    r.unit->setAnswer("FLT", "=0100000000000");
    r.unit->setAnswer("NUE", "=86");
    r.Open();
    EXPECT_EQ(r.w->caption(), "Detail of a MQX Redundancy Switch");
    ASSERT_TRUE(r.UntilSent("<1000/LRS?") && r.UntilSent("<1000/LRS?"));
    // The TRV-420 has no long serial number: the short one is asked instead.
    EXPECT_EQ(r.Commands(0), (Lines{"EID?", "ESN?", "SNO?", "SWR?"} + kLoop + kRemoteLoop));
    EXPECT_EQ(r.w->caption(),
              "Detail of a Arvelle Redundancy Switch, TRV-420, s/n 4200009921, software rev 2.05");
    r.Shows("StaLRS= Remote Mode|StaOPM= Automatic Operation|StaBKH=5|StaSID=SATCOM SWITCH    "
            "       |StaPSA=+5V PSU-A under|StaPSB=PSU-B OK|StaNUE=86");
    EXPECT_EQ(r.Paint({"StaLRS", "StaPSA", "StaPSB", "StaNUE"}), "lime red lime white");
    EXPECT_EQ(r.Flags(&Control::visible, {"StaTMI"}) + r.Flags(&Control::enabled, {"BtnStatus"}),
              "00");

    // In local mode the front panel may change anything: every loop reads it all.
    SwitchRig l("430", '0');
    l.unit->setAnswer("NUE", "=87");
    l.Open();
    ASSERT_TRUE(l.UntilSent("<1000/LRS?"));
    const size_t mark = l.port.sent.size();
    ASSERT_TRUE(l.UntilSent("<1000/LRS?"));
    EXPECT_EQ(l.Commands(mark), kLoop);
    EXPECT_EQ(l.w->caption(),
              "Detail of a Arvelle Redundancy Switch, TRV-430, s/n 43000017342, software rev 3.12");
    l.Shows("StaLRS= Local Mode|StaTMI=TMI:I/F OK");
    EXPECT_EQ(l.Paint({"StaLRS", "StaNUE", "LogCount"}), "yellow yellow yellow");
}

TEST(SwitchWindow, AQueryAnsweredWithoutAValueShowsInTheSwitchIdAndTheLoopStartsAgain) {
    SwitchRig r;
    r.Open();
    ASSERT_TRUE(r.UntilSent("<1000/LRS?"));
    r.Once(sim::Injection::refuse('?'), "FLT");
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilText("StaSID", "Invalid args") && r.UntilSent("<1000/SID?"));
    EXPECT_EQ(r.Colour("StaSID"), "yellow");
    EXPECT_EQ(r.Commands(mark), (Lines{"AMQ?", "ACT?", "FLT?", "SID?"}));
}

TEST(SwitchWindow, LampsAndButtonsFollowEveryStateDigitOfBothModels) {
    struct Case {
        const char* model;
        const char* lamps[4]; // installed/valid/active by digit 0-3
        const char* buttons;  // caption by digit
    };
    for (const Case c :
         {Case{"420",
               {"gray gray gray", "lime red gray", "lime lime gray", "lime lime lime"},
               "UUAD"},
          Case{"430",
               {"gray gray gray", "lime gray gray", "lime lime lime", "lime red lime"},
               "UADD"}}) {
        SwitchRig r(c.model, '1', "0123012301");
        r.OpenToConfig();
        for (int k = 1; k <= 10; ++k) {
            const int d = (k - 1) % 4;
            const std::string n = std::to_string(k), caption(1, c.buttons[d]);
            EXPECT_EQ(r.Paint({"LmpIns" + n, "LmpVal" + n, "LmpAct" + n}), c.lamps[d]) << k;
            EXPECT_EQ(r.Text("BtnAct" + n), caption) << c.model << k;
            EXPECT_EQ(r.at("BtnAct" + n).enabled(), caption != "U") << c.model << k;
        }
    }
}

// ---- configuration --------------------------------------------------------------------

TEST(SwitchWindow, HoldOffsAreBroughtIntoRangeWithANote) {
    SwitchRig r;
    r.OpenToConfig();
    const size_t mark = r.port.sent.size();
    r.Edit("ConfBKH", "150");
    r.Shows("Notice=Note: value has been corrected to highest permitted|ConfBKH= 99");
    ASSERT_TRUE(r.Settle());
    // The status box as the box, until the next reading.
    r.Shows("StaBKH= 99|Instruction=Click on a box to change the information");
    r.Edit("ConfRSH", "0");
    EXPECT_EQ(r.Text("Notice"), "Note: value has been corrected to lowest permitted");
    ASSERT_TRUE(r.Settle());
    // The same value goes out again when the box is left.
    r.Edit("ConfRSH", " 1");
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.Commands(mark), (Lines{"BKH=99", "RSH=01", "RSH=01"}));
}

TEST(SwitchWindow, MaskCheckBoxesSendTheirSumAndAReadingTicksThem) {
    SwitchRig r;
    r.OpenToConfig();
    const size_t mark = r.port.sent.size();
    for (const char* box : {"ConfMamRx", "ConfAamSw", "ConfAamMdm"})
        ASSERT_TRUE(r.w->check(box, true) && r.Settle()) << box;
    EXPECT_EQ(r.Commands(mark), (Lines{"MAM=2", "AAM=1", "AAM=3"}));
    // The switch's own masks come back with a full reading.
    ASSERT_TRUE(r.w->click("BtnConfig") && r.UntilSent("<1000/SID?") && r.Settle());
    EXPECT_EQ(r.Flags(&Control::checked, {"ConfMamRx", "ConfMamTx"}), "10");
    EXPECT_EQ(r.Text("AudioState"), "Audio Alarm Disabled");
    EXPECT_EQ(r.Paint({"MskRx", "MskTx", "AudioState"}), "gray yellow yellow");
}

TEST(SwitchWindow, BridgeOrBackupIsAskedFirstAndReadBackByTheStatusLoop) {
    SwitchRig r;
    r.OpenToConfig();
    EXPECT_FALSE(r.at("ConfBBM").enabled()); // automatic operation
    ASSERT_TRUE(r.w->choose("ConfOPM", 0) && r.Settle());
    // A refused entry's notice is cleared by the idle a declined change goes to.
    r.Edit("ConfBKH", "x");
    const std::string refused = r.Text("Notice");
    r.op.answers.push_back(Answer::No);
    r.w->choose("ConfBBM", 1);
    r.Tick(2);
    EXPECT_EQ(refused + "|" + r.Text("Notice"),
              "Enter an integer value for Holdoff Time, between 1 and 99|");
    r.op.answers.push_back(Answer::Yes);
    EXPECT_EQ(r.Sent([&] { r.w->choose("ConfBBM", 1); }), Lines{"BBU=101"});
    ASSERT_TRUE(r.w->click("BtnStatus") && r.UntilText("StaBBU", " Backing up TM # 1"));
    EXPECT_EQ(r.Colour("StaBBU"), "red");
}

TEST(SwitchWindow, ActivateButtonsChangeOneFlagOfWhatTheSwitchSaidAndWaitForIt) {
    SwitchRig r("420", '1', "3220000000");
    r.OpenToConfig();
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnAct2"));
    // Accepted, but not read back yet: a press in the pause would undo it.
    ASSERT_TRUE(r.Until([&] { return !r.tx.AwaitingReply; }));
    EXPECT_FALSE(r.w->click("BtnAct3"));
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.Commands(mark), (Lines{"ACT=1100000000", "AMQ?", "ACT?"}));
    EXPECT_EQ(r.Text("BtnAct2") + r.Paint({"LmpAct2"}), "Dlime");
    EXPECT_EQ(r.Press("BtnAct1"), (Lines{"ACT=0100000000", "AMQ?", "ACT?"}));

    // Found in local mode and made remote from the window: each press is still read back.
    SwitchRig l("420", '0', "3220000000");
    l.OpenToConfig();
    ASSERT_TRUE(l.w->choose("ConfLRS", 1) && l.Settle());
    const Lines second = l.Press("BtnAct2");
    EXPECT_EQ(second + l.Press("BtnAct3"),
              (Lines{"ACT=1100000000", "AMQ?", "ACT?", "ACT=1110000000", "AMQ?", "ACT?"}));

    // No ten flags from the switch: no button can be pressed.
    SwitchRig n("420", '1', "3220000000");
    n.unit->setAnswer("ACT", "=110");
    n.OpenToConfig();
    EXPECT_EQ(n.Text("BtnAct2"), "A");
    EXPECT_FALSE(n.w->click("BtnAct2"));
}

// ---- utilities ----------------------------------------------------------------------------

TEST(SwitchWindow, MemoriesArePreviewedBeforeALoadOrAnOverwrite) {
    SwitchRig r;
    r.Open();
    const auto load = [&](int location) {
        return r.w->choose("MemoryList", location) && r.w->click("BtnLoad") &&
               r.Until([&] { return r.at("BtnMemConfirm").visible(); });
    };
    ASSERT_TRUE(r.ToUtilities() && load(1));
    r.Shows("MemoryMsg=Config present in memory location 1. Confirm load.|MemPreview=Content of "
            "Config Store #1|PrvMode=Manual Operation|PrvLines=Redundant Modem Bridging TM# "
            "3\nBack-up Holdoff Time : 7 sec\nRestore Holdoff Time : 20 sec");
    EXPECT_EQ(r.Paint({"PrvLmp1", "PrvLmp2"}), "lime gray");
    // Another read of a location takes the old preview's Confirm away.
    ASSERT_TRUE(r.w->choose("MemoryList", 2) && r.w->click("BtnLoad"));
    EXPECT_FALSE(r.w->click("BtnMemConfirm"));
    // The location previewed is loaded, not the one chosen since.
    ASSERT_TRUE(r.Idle("BtnLoad") && load(1) && r.w->choose("MemoryList", 2));
    size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnMemConfirm"));
    ASSERT_TRUE(r.UntilText("MemoryMsg", "Modem re-configured using memory location 1"));
    EXPECT_FALSE(r.at("MemPreview").visible());
    const int loaded = r.ticks;
    ASSERT_TRUE(r.UntilSent("<1000/DAY?"));
    EXPECT_GE(r.ticks - loaded, 30); // the switch re-configures itself meanwhile
    EXPECT_EQ(r.Commands(mark).front(), "CLD=1");

    // An empty location: nothing to load; a store goes straight in.
    ASSERT_TRUE(r.w->choose("MemoryList", 5) && r.w->click("BtnLoad"));
    ASSERT_TRUE(r.UntilText("MemoryMsg", "No config is stored in memory 5"));
    EXPECT_EQ(r.at("MemoryMsg").textColour(), Colours::purple);
    mark = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnStore"));
    ASSERT_TRUE(r.UntilText("MemoryMsg", "Current config now stored in memory 5"));
    EXPECT_EQ(r.Commands(mark), (Lines{"CST?5", "CST=5"}));
    // Now it holds data: overwriting is asked first.
    ASSERT_TRUE(r.UntilSent("<1000/TIM?") && r.w->click("BtnStore"));
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    r.Shows("BtnMemConfirm=Over&Write|MemoryMsg=Warning! Location 5 contains data. Overwrite?");
    ASSERT_TRUE(r.w->click("BtnMemCancel"));
    EXPECT_EQ(r.Text("MemoryMsg") + r.Flags(&Control::visible, {"MemPreview"}), "0");
    // A refusal is said in red.
    r.Once(sim::Injection::refuse('?'), "CST");
    ASSERT_TRUE(r.UntilSent("<1000/TIM?") && r.w->click("BtnStore"));
    ASSERT_TRUE(r.UntilText("MemoryMsg", "Invalid args"));
    EXPECT_EQ(r.at("MemoryMsg").textColour(), Colours::red);
}

TEST(SwitchWindow, TheClockIsSetWithTheOffsetAcrossMidnight) {
    SwitchRig r;
    r.clock.set({2026, 12, 31, 23, 50, 10, 0});
    r.Open();
    ASSERT_TRUE(r.ToUtilities());
    ASSERT_TRUE(r.w->choose("HourOffset", 22) && r.w->choose("QuarterOffset", 2)); // +1 1/4
    r.Tick();
    EXPECT_EQ(r.Text("BtnSetTime"), "Set &Offset Time + Date");
    EXPECT_TRUE(r.at("ClockOffset").visible() && !r.at("PanelStatus").visible());
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnSetTime"));
    EXPECT_EQ(r.Text("LblDate"), "Setting date...");
    ASSERT_TRUE(r.UntilText("LblTime", "Time set OK"));
    const Lines sent = r.Commands(mark);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[sent.size() - 2] + " " + sent.back().substr(0, 8), "DAY=010127 TIM=0105");
    // The messages stay for ten clock readings.
    ASSERT_TRUE(r.UntilSent("<1000/TIM?") && r.UntilSent("<1000/TIM?"));
    EXPECT_EQ(r.Text("LblDate") + r.Text("LblTime"), "Date set OKTime set OK");
}

// ---- the event log ------------------------------------------------------------------------

TEST(SwitchWindow, EventLogLinesNameEverySourceAndAppendWithoutABlankLine) {
    SwitchRig r;
    r.unit->setClock(sim::civilSeconds(2026, 12, 5, 14, 3, 9), 0);
    r.unit->addEvent('F', '7', '2', 0);
    r.unit->addEvent('I', 'E', '1', 0);
    r.unit->addEvent('F', 'C', 'E', 0);
    r.dir.write("events.txt", "1000  old line\r\n");
    r.Open();
    ASSERT_TRUE(r.Idle("BtnLogs") && r.w->click("BtnLogs"));
    ASSERT_TRUE(r.UntilText("LogCount", "Number of unread Log events: 11"));
    EXPECT_EQ(r.Text("LogTopLine"),
              "Choose a data file name so that Switch event data can be retained");
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.ToFile("events.txt", "BtnAppend") && r.w->click("BtnReadLog") && r.LogRead());
    EXPECT_EQ(r.Commands(mark), (Lines{"RNE?", "RNE?", "RNE?", "RNE?", "CAE="}));
    EXPECT_EQ(r.Text("LogTopLine"), "Event data stored in events.txt");
    const std::string d = "1000  21 Jun 2011  14:00:00  ", t = "1000  05 Dec 2026  14:03:09  ";
    std::string want = "1000  old line\r\n";
    for (const std::string& l :
         {d + "Power on", d + "Modem 3, TX fault", d + "Modem 3, TX fault cleared",
          d + "Modem 10, RX fault", d + "R. Modem, Unit fault", d + "Switch, +5V PSU-A under fault",
          d + "Switch, +5V PSU-A under fault cleared", d + "Modem 0, TX fault",
          t + "Modem 7, RX fault", t + "unexpected: IE1051226140309",
          t + "Switch, TMI:I/F mismatch fault"})
        want += l + "\r\n";
    EXPECT_EQ(r.dir.read("events.txt"), want);
    EXPECT_EQ(r.unit->events().size(), 0u);

    // No answer half way: what was read is stored and nothing is cleared in the switch.
    for (char code : {'1', '2', '3', '4', '5', '6', '7'})
        r.unit->addEvent('F', code, '2', 0);
    ASSERT_TRUE(r.w->click("BtnUtilities") && r.Idle("BtnLogs") && r.w->click("BtnLogs"));
    ASSERT_TRUE(r.Idle("BtnChooseFile") && r.ToFile("cut.txt", "BtnNewFile"));
    const size_t cut = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnReadLog"));
    ASSERT_TRUE(r.Until([&] { return r.Commands(cut) == Lines{"RNE?"}; }));
    r.Once(sim::Injection::silence(), "RNE");
    ASSERT_TRUE(r.UntilText("LogProgress", "Log: No comms"));
    EXPECT_EQ(r.at("LogProgress").textColour(), Colours::red);
    EXPECT_EQ(r.Commands(cut), (Lines{"RNE?", "RNE?"}));
    EXPECT_EQ(r.File("cut.txt").size(), 5u);
    EXPECT_EQ(r.unit->events().size(), 7u);
}

// ---- opening from the summary -----------------------------------------------------------

// Opened over a slow line while a poll is in flight, closed by its button or its frame
// (mid-exchange): the summary takes the port back and polls on.
TEST(SwitchWindow, OpensFromTheSummaryAtOnceAndGivesThePortBack) {
    for (const bool frame : {false, true}) {
        StationHarness s;
        s.bus.setLatencyMs(300);
        s.bus.add("0012", "350");
        s.bus.add("1000", "430");
        s.Make();
        s.top->Activate(false);
        s.top->Setup().rec(1).Mod1Addr = "0012";
        s.top->Setup().rec(41).Mod1Addr = "1000";
        s.top->Setup().RecomputeAnyEndActive();
        s.Main().click("BtnProceed");
        s.Tick(3);
        ASSERT_TRUE(s.top->Cycle().tx.AwaitingReply); // a poll in flight
        const size_t mark = s.wire.size();
        ASSERT_TRUE(s.Main().doubleClick(SummaryScreen::IconName(41)));
        s.Tick(2);
        ASSERT_EQ(s.Front()->name(), "DetailSwitch");
        ASSERT_GT(s.wire.size(), mark);
        EXPECT_EQ(s.wire[mark], "<1000/EID?\r");
        if (frame) {
            ASSERT_TRUE(s.top->Cycle().tx.AwaitingReply && s.Front()->requestClose());
        } else {
            s.Tick(60);
            ASSERT_TRUE(s.Front()->click("BtnClose"));
        }
        s.Tick(frame ? 3 : 20);
        EXPECT_EQ(s.Front(), &s.Main()) << frame;
        EXPECT_EQ(s.top->Cycle().tx.CurrentMode, Modes::AllLinks);
        const size_t back = s.wire.size();
        s.Tick(20);
        EXPECT_GT(s.wire.size(), back) << frame;
    }
}

// The rules every window keeps, asked of this family.
namespace linvar::rules {
// clang-format off
INSTANTIATE_TEST_SUITE_P(Switch, Rules, testing::Values(WindowRules{
    "switch", OpenSwitch, "ConfBKH", "7", "BKH=07", nullptr, " 5",
    "Instruction", "blue", kRefused, kRefused, 2, 20, "BKH?", kNoComms, nullptr, nullptr,
    41, [](DetailRig& r) { ASSERT_TRUE(r.w->choose("ConfOPM", 0) && r.Settle()); }, "ConfBTM", " 3",
    "Change Bridge/Backup mode to Bridging TM# 3. Comms may be affected."}), Named);
// clang-format on
} // namespace linvar::rules
