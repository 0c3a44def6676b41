#include "PollHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>

using namespace linvar;

namespace {

class FakeWindows : public DetailWindows {
public:
    explicit FakeWindows(PollHarness& h) { h.cycle.SetDetailWindows(this); }
    bool open(const DetailRequest& r, std::function<void(bool)> closed) override {
        opened.push_back(r);
        if (!known)
            return false;
        onClose = std::move(closed);
        return true;
    }
    std::vector<DetailRequest> opened;
    std::function<void(bool)> onClose;
    bool known = true;
};

// Double-clicks a unit of the single-link view and ticks until a detail window opens or
// the operator is asked something.
void DoubleClickUnit(PollHarness& h, const FakeWindows& windows, const std::string& icon) {
    const size_t opened = windows.opened.size();
    const size_t asked = h.op.questions.size();
    ASSERT_TRUE(h.screen.doubleClick(icon)) << icon;
    TicksUntil(h, 400,
               [&] { return windows.opened.size() != opened || h.op.questions.size() != asked; });
}

// The single-link view of link 1, settled.
void OpenLink(PollHarness& h) {
    h.Start();
    h.screen.doubleClick("EndL1");
    h.Ticks(10);
}

} // namespace

TEST(PollCycle, AllLinksPollsEachActiveEndInRecordOrder) {
    PollHarness h;
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(1, Transceiver1, "0013", "VORN");
    h.Unit(4, Modem1, "0020", "350");
    h.Unit(4, Modem2, "0021", "350");
    h.Unit(41, Modem1, "1000", "420");
    h.Start();
    ASSERT_TRUE(h.RunRequests(6));
    EXPECT_EQ(h.SentSince(0), (std::vector<std::string>{"<0012/FLT?", "<0013/SFS?", "<0020/FLT?",
                                                        "<0021/FLT?", "<1000/FLT?", "<0012/FLT?"}));
    EXPECT_EQ(h.Colour("EndL1"), "lime");
    EXPECT_EQ(h.Colour("EndD2"), "lime");
    EXPECT_EQ(h.Colour("Switch1"), "lime");
    EXPECT_EQ(h.Colour("EndD1"), "gray"); // nothing configured there
    EXPECT_EQ(h.screen.Title(), "Linvar");
}

TEST(PollCycle, FaultsColourUnitsEndsAndTitle) {
    PollHarness h;
    auto* m = h.Unit(1, Modem1, "0012", "350");
    auto* t = h.Unit(3, Transceiver1, "0030", "VORN");
    auto* sw = h.Unit(43, Modem1, "3000", "420");
    m->setAnswer("FLT", "=100001");
    t->setAnswer("SFS", "=A");
    sw->setAnswer("FLT", "=0000000000000");
    h.Start();
    ASSERT_TRUE(h.RunRequests(4));
    EXPECT_EQ(h.Colour("EndL1"), "red");
    EXPECT_EQ(colourName(h.setup.rec(1).Mod1Colour), "red");
    EXPECT_EQ(h.Colour("EndL2"), "purple");
    EXPECT_EQ(h.Colour("Switch2"), "lime");
    EXPECT_EQ(h.screen.Title(), "Linvar:problem");

    // Refusals are a problem, an OBLIX timeout and silence are lost communication.
    m->setAnswer("FLT", "");
    m->inject(sim::Injection::refuse('*'));
    t->setAnswer("SFS", "");
    t->inject(sim::Injection::refuse('~'));
    ASSERT_TRUE(h.RunRequests(4));
    h.Ticks(3);
    EXPECT_EQ(colourName(h.setup.rec(1).Mod1Colour), "fuchsia");
    EXPECT_EQ(colourName(h.setup.rec(3).Tr1Colour), "blue");
}

TEST(PollCycle, SilentUnitTimesOutAfterItsTimeoutAndPollingGoesOn) {
    PollHarness h;
    auto* m = h.Unit(1, Modem1, "0012", "350");
    h.Unit(3, Modem1, "0030", "350");
    h.setup.rec(1).TimeoutText = "1";
    m->inject(sim::Injection::silence());
    h.Start();
    ASSERT_TRUE(h.RunRequests(1));
    // More than 1000 ms after the send is the 21st tick; the next end begins at the next.
    EXPECT_EQ(TicksUntil(h, 100, [&] { return h.port.sent.size() >= 2; }), 22);
    EXPECT_EQ(h.port.sent.back(), "<0030/FLT?");
    EXPECT_EQ(colourName(h.setup.rec(1).Mod1Colour), "blue");
    h.Ticks(3);
    EXPECT_EQ(h.screen.Title(), "Linvar:NoComms");
}

TEST(PollCycle, WeeksWithNothingToPollNeverTurnTheReplyWaitIntoALongOne) {
    PollHarness h;
    h.Start();
    // About 25 days of ticks with no request sent.
    h.cycle.tx.TimeoutLeft = std::numeric_limits<int>::min() + 20;
    h.Ticks(3);
    EXPECT_LE(h.cycle.tx.TimeoutLeft, 0);
    EXPECT_EQ(h.screen.at("WaitMsec").text(), "");
}

TEST(PollCycle, RequestsArePacedByTheEndsDelay) {
    for (auto [delay, gap] : {std::pair{"50", 2}, std::pair{"100", 3}, std::pair{"120", 4}}) {
        PollHarness h;
        h.bus.setLatencyMs(0);
        h.Unit(1, Modem1, "0012", "350");
        h.setup.rec(1).DelayText = delay;
        h.Start();
        ASSERT_TRUE(h.RunRequests(1));
        EXPECT_EQ(TicksUntil(h, 50, [&] { return h.port.sent.size() >= 2; }), gap) << delay;
    }
}

TEST(PollCycle, SingleLinkAlternatesEndsAndAsksOnlineState) {
    PollHarness h;
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(1, Modem2, "0014", "350")->setOnline(false);
    h.Unit(2, Modem1, "0022", "350");
    h.Unit(2, Transceiver1, "0023", "VORN");
    h.Unit(2, Transceiver2, "0024", "VORN");
    h.bus.find("0012")->setOnline(true);
    h.Start();
    h.Ticks(3);
    h.screen.doubleClick("EndD1");
    ASSERT_TRUE(h.RunRequests(16));
    std::vector<std::string> all = h.port.sent;
    // Find the first request after the mode change (the LOCAL end begins).
    auto it = std::find(all.begin() + 1, all.end(), "<0012/FLT?");
    ASSERT_NE(it, all.end());
    ASSERT_GE(all.end() - it, 11);
    std::vector<std::string> seq(it, it + 11);
    // No Modem 2 at the DISTANT end: no RED? there; a transceiver pair: ONL? for both.
    EXPECT_EQ(seq, (std::vector<std::string>{"<0012/FLT?", "<0012/RED?", "<0014/FLT?", "<0014/RED?",
                                             "<0022/FLT?", "<0023/SFS?", "<0023/ONL?", "<0024/SFS?",
                                             "<0024/ONL?", "<0012/FLT?", "<0012/RED?"}));
    EXPECT_TRUE(h.screen.at("LinkBox").visible());
    EXPECT_FALSE(h.screen.at("SumBox").visible());
    EXPECT_EQ(h.screen.at("LinkBox").text(), "Link 1");
    EXPECT_EQ(h.screen.at("LblMod1L").text(), " 0012");
    EXPECT_EQ(h.screen.at("LblMod1").text(), "0022");
    EXPECT_TRUE(h.screen.at("OnlMod1L").visible());
    EXPECT_FALSE(h.screen.at("OnlMod2L").visible());
    EXPECT_TRUE(h.screen.at("LegOnline").visible());
    EXPECT_EQ(h.cycle.HelpTopic, 3);
}

TEST(PollCycle, ModeChangeWaitsForTheReplyInFlight) {
    PollHarness h;
    auto* m = h.Unit(1, Modem1, "0012", "350");
    m->setLatencyMs(400);
    h.Start();
    ASSERT_TRUE(h.RunRequests(1));
    h.Tick();
    h.screen.doubleClick("EndL1");
    h.Tick();
    EXPECT_TRUE(h.screen.at("WaitNotice").visible());
    EXPECT_TRUE(h.screen.at("SumBox").visible());
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::AllLinks);
    h.Ticks(8);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);
    EXPECT_FALSE(h.screen.at("WaitNotice").visible());
    EXPECT_TRUE(h.screen.at("LinkBox").visible());
}

TEST(PollCycle, DistantEndOfOneToOneLinkAsksTheStandbyState) {
    PollHarness h;
    h.Unit(1, Modem1, "0012", "350");
    auto* d = h.Unit(2, Modem1, "0022", "350");
    h.setup.rec(2).PairFlag = "1";
    d->setAnswer("OUS", "=0000xx");
    h.Start();
    // One pass is FLT? to each end and OUS? to the DISTANT Modem 1; the end's colour
    // takes the standby's state at the following pass.
    auto pass = [&h] {
        const size_t mark = h.port.sent.size();
        EXPECT_TRUE(h.RunRequests(3));
        h.Tick(); // the standby's state is taken, the next pass not yet begun
        return h.SentSince(mark);
    };
    EXPECT_EQ(pass(), (std::vector<std::string>{"<0012/FLT?", "<0022/FLT?", "<0022/OUS?"}));
    EXPECT_EQ(colourName(h.setup.rec(2).Mod2Colour), "lime");
    pass();
    EXPECT_EQ(h.Colour("EndD1"), "lime"); // a healthy pair

    d->setAnswer("OUS", "=NoComm");
    pass();
    EXPECT_EQ(colourName(h.setup.rec(2).Mod2Colour), "blue");
    pass();
    EXPECT_EQ(h.Colour("EndD1"), "yellow"); // the on-line modem is healthy, its standby lost
    EXPECT_EQ(colourName(h.setup.rec(2).Mod1Colour), "lime");

    d->setAnswer("OUS", "=No1fr1");
    pass();
    EXPECT_EQ(colourName(h.setup.rec(2).Mod2Colour), "silver");
    d->setAnswer("OUS", "=0000xx");
    pass();
    EXPECT_EQ(colourName(h.setup.rec(2).Mod2Colour), "lime");
    pass();
    EXPECT_EQ(h.Colour("EndD1"), "lime");
}

TEST(PollCycle, ModemIdentificationChoosesTheWindowFamily) {
    PollHarness h;
    FakeWindows windows(h);
    auto* m = h.Unit(1, Modem1, "0012", "350");
    OpenLink(h);
    m->setAnswer("EID", "=1350xxxxxx");
    h.screen.doubleClick("LblMod1L");
    ASSERT_TRUE(h.RunRequests(1));
    while (!h.port.sent.empty() && h.port.sent.back() != "<0012/EID?")
        ASSERT_TRUE(h.RunRequests(1));
    h.Ticks(3);
    ASSERT_EQ(windows.opened.size(), 1u);
    EXPECT_STREQ(windows.opened[0].family->name, "MQX-350");
    EXPECT_EQ(windows.opened[0].UnitName, "Modem 1, Local end");
    EXPECT_EQ(windows.opened[0].IdentityCode, "1350xxxxxx");
    EXPECT_FALSE(h.cycle.TimerEnabled());
    const size_t mark = h.port.sent.size();
    h.Ticks(5);
    EXPECT_EQ(h.port.sent.size(), mark); // the detail window has the port now

    windows.onClose(false);
    ASSERT_TRUE(h.RunRequests(1));
    EXPECT_EQ(h.port.sent.back(), "<0012/FLT?");
    h.Ticks(4);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);

    // An unknown model: "Contact factory", back to the link.
    m->setAnswer("EID", "=0360xxxxxx");
    h.screen.doubleClick("LblMod1L");
    TicksUntil(h, 40, [&] { return !h.op.questions.empty(); });
    ASSERT_EQ(h.op.questions.size(), 1u);
    EXPECT_EQ(h.op.questions[0].title, "Problem - Model unknown");
    EXPECT_EQ(h.op.questions[0].text, "Contact factory");
    EXPECT_EQ(windows.opened.size(), 1u);
    h.Ticks(3);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);
}

TEST(PollCycle, DistantModemSilentGetsThreeRfAttemptsPerOk) {
    PollHarness h;
    FakeWindows windows(h);
    h.Unit(1, Modem1, "0012", "350");
    auto* d = h.Unit(2, Modem1, "0022", "350");
    h.setup.rec(2).TimeoutText = "1";
    OpenLink(h);
    d->inject(sim::Injection::silence());
    for (int i = 0; i < 5; ++i)
        d->inject(sim::Injection::refuse('~'));
    h.op.answers = {Answer::Ok, Answer::Cancel};
    h.screen.doubleClick("LblMod1");
    TicksUntil(h, 400, [&] { return h.op.questions.size() >= 2; });
    ASSERT_EQ(h.op.questions.size(), 2u);
    EXPECT_EQ(h.op.questions[0].title, "Distant modem no comms");
    EXPECT_EQ(h.op.questions[0].text, "Modem not responding. Will attempt to turn on RF");
    EXPECT_EQ(std::count(h.port.sent.begin(), h.port.sent.end(), "<0022/TXO=1"), 3);
    h.Ticks(5);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);
    EXPECT_TRUE(h.screen.at("LinkBox").visible());
}

TEST(PollCycle, SwitchingPrintingOnRestartsAtTheFirstEnd) {
    PollHarness h;
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(3, Modem1, "0030", "350");
    h.Unit(5, Modem1, "0050", "350");
    std::vector<std::string> printed;
    h.print.setSink([&](const std::string& l) { printed.push_back(l); });
    h.Unit(5, Modem2, "0051", "330")->setAnswer("FLT", "=00000");
    h.Start();
    ASSERT_TRUE(h.RunRequests(2));
    EXPECT_TRUE(printed.empty()); // printing is off
    h.print.PrintToggle(h.clock);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_NE(printed[0].find(" Printing activated"), std::string::npos);
    ASSERT_TRUE(h.RunRequests(5));
    EXPECT_EQ(h.port.sent[2], "<0012/FLT?");
    h.Ticks(3);
    // The first pass prints every modem whose answer is not the 7-character form: here
    // the MQX-330 at 0051 with its five fault characters, as "No faults".
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_NE(printed[1].find(" Mod2:"), std::string::npos);
    EXPECT_NE(printed[1].find(" No faults"), std::string::npos);
}

TEST(PollCycle, APrintedLineListsTheFaultsOfAModemReportingAChange) {
    PollHarness h;
    // Each family's mark where it puts it: the MQX-330 after a spare, the MQX-310 at once.
    h.Unit(1, Modem1, "0012", "330")->setAnswer("FLT", "=10001");
    h.Unit(1, Modem2, "0014", "310")->setAnswer("FLT", "=0101");
    std::vector<std::string> printed;
    h.print.setSink([&](const std::string& l) { printed.push_back(l); });
    h.print.PrintToggle(h.clock);
    h.Start();
    ASSERT_TRUE(h.RunRequests(5)); // a first pass lists everything; the second by the mark
    h.Ticks(3);
    ASSERT_GE(printed.size(), 5u);
    EXPECT_NE(printed[3].find(" Mod1: unit fault"), std::string::npos) << printed[3];
    EXPECT_NE(printed[4].find(" Mod2: tx fault"), std::string::npos) << printed[4];
}

TEST(PollCycle, SecondTransceiverAloneFollowsTheModems) {
    PollHarness h;
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(1, Transceiver2, "0014", "VORN");
    h.Unit(3, Modem1, "0030", "350");
    h.Start();
    ASSERT_TRUE(h.RunRequests(3));
    EXPECT_EQ(h.SentSince(0), (std::vector<std::string>{"<0012/FLT?", "<0014/SFS?", "<0030/FLT?"}));
}

TEST(PollCycle, PrintingSwitchedOnJustBeforeOpeningALinkRestartsTheAllLinksPassLater) {
    PollHarness h;
    h.print.setSink([](const std::string&) {});
    h.Unit(1, Modem1, "0012", "350")->setLatencyMs(400);
    h.Unit(1, Modem2, "0014", "350");
    h.Unit(2, Modem1, "0022", "350");
    h.Unit(3, Modem1, "0030", "350");
    h.Start();
    ASSERT_TRUE(h.RunRequests(1));
    // Both while the first answer is awaited: the link opens before the restart is taken.
    h.print.PrintToggle(h.clock);
    h.screen.doubleClick("EndL1");
    size_t mark = h.port.sent.size();
    ASSERT_TRUE(h.RunRequests(5));
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);
    EXPECT_EQ(h.SentSince(mark), (std::vector<std::string>{"<0022/FLT?", "<0012/FLT?", "<0012/RED?",
                                                           "<0014/FLT?", "<0014/RED?"}));
    // Back in the all-links view the pass takes the restart from the first end.
    h.Ticks(20);
    h.screen.click("BtnClose");
    TicksUntil(h, 400, [&] { return h.cycle.tx.CurrentMode == Modes::AllLinks; });
    mark = h.port.sent.size();
    ASSERT_TRUE(h.RunRequests(3));
    EXPECT_EQ(h.SentSince(mark),
              (std::vector<std::string>{"<0012/FLT?", "<0014/FLT?", "<0022/FLT?"}));
    EXPECT_FALSE(h.print.pollCycleRestart());
}

TEST(PollCycle, AKnownModelWithoutItsWindowSaysSoAndTransceiverPairsAreNamed) {
    PollHarness h;
    FakeWindows windows(h);
    windows.known = false;
    auto* m = h.Unit(1, Modem1, "0012", "370");
    h.Unit(1, Transceiver1, "0013", "VORN");
    h.Unit(1, Transceiver2, "0014", "VORN");
    OpenLink(h);
    m->setAnswer("EID", "=0371xxxxxx");
    h.screen.doubleClick("LblMod1L");
    TicksUntil(h, 60, [&] { return !h.op.questions.empty(); });
    ASSERT_EQ(h.op.questions.size(), 1u);
    EXPECT_EQ(h.op.questions[0].text, "No detail window for MQX-370 units yet");
    EXPECT_EQ(windows.opened.size(), 1u);
    h.Ticks(3);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);
    EXPECT_TRUE(h.cycle.TimerEnabled());

    // A transceiver: both slots of the end set up make a pair for its window.
    h.screen.doubleClick("LblRFT2L");
    TicksUntil(h, 60, [&] { return h.op.questions.size() >= 2; });
    ASSERT_EQ(windows.opened.size(), 2u);
    EXPECT_STREQ(windows.opened[1].family->name, "VORN/YRAN");
    EXPECT_EQ(windows.opened[1].UnitAddress, "0014");
    EXPECT_TRUE(windows.opened[1].ModemPairPresent);
    ASSERT_EQ(h.op.questions.size(), 2u);
    EXPECT_EQ(h.op.questions[1].text, "No detail window for VORN/YRAN units yet");
}

TEST(PollCycle, ASilentRedundantModemReturnsToTheSummaryOfAllLinks) {
    PollHarness h;
    FakeWindows windows(h);
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(43, Modem1, "0430", "420");
    auto* red = h.Unit(44, Modem1, "0440", "350");
    h.setup.rec(44).TimeoutText = "1";
    h.Start();
    h.Ticks(10);
    red->inject(sim::Injection::silence());
    ASSERT_TRUE(h.screen.doubleClick(SummaryScreen::IconName(44)));
    TicksUntil(h, 400, [&] { return !h.op.questions.empty(); });
    ASSERT_EQ(h.op.questions.size(), 1u);
    EXPECT_EQ(h.op.questions[0].title, "Local Modem no comms");
    EXPECT_EQ(h.op.questions[0].text, "Return to Summary");
    h.Ticks(5);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::AllLinks);
    EXPECT_TRUE(windows.opened.empty());
    // No "Link 22" view: the summary of all links polls on.
    EXPECT_FALSE(h.screen.shown("LinkBox"));
    const size_t mark = h.port.sent.size();
    ASSERT_TRUE(h.RunRequests(4));
    const auto sent = h.SentSince(mark);
    EXPECT_NE(std::find(sent.begin(), sent.end(), "<0012/FLT?"), sent.end());
}

TEST(PollCycle, AStepOfTheTimeOfDayNeitherEndsNorStretchesAReplyWait) {
    PollHarness h;
    h.clock.set({2026, 10, 25, 2, 59, 59, 900});
    h.Unit(1, Modem1, "0012", "350");
    h.setup.rec(1).TimeoutText = "1";
    h.bus.setLatencyMs(300);
    h.Start();
    ASSERT_TRUE(h.RunRequests(1));
    // The clocks go back an hour while the reply is on its way: it still counts.
    h.clock.set({2026, 10, 25, 2, 0, 0, 0});
    h.Ticks(12);
    EXPECT_EQ(h.Colour("EndL1"), "lime");
    // Forward an hour while waiting: no time-out before the real second has passed.
    ASSERT_TRUE(h.RunRequests(1));
    h.clock.set({2026, 10, 25, 3, 0, 0, 0});
    h.Tick();
    EXPECT_TRUE(h.cycle.tx.AwaitingReply);
    h.Ticks(12);
    EXPECT_EQ(h.Colour("EndL1"), "lime");
    // A unit that does not answer still times out after its second, across midnight.
    h.clock.set({2026, 10, 25, 23, 59, 59, 800});
    h.bus.find("0012")->inject(sim::Injection::silence());
    ASSERT_TRUE(h.RunRequests(1));
    const int waited = TicksUntil(h, 100, [&] { return !h.cycle.tx.AwaitingReply; });
    EXPECT_GE(waited, 20);
    EXPECT_LE(waited, 22);
    h.Ticks(2);
    EXPECT_EQ(h.Colour("EndL1"), "blue");
}

TEST(PollCycle, RepliesForAnotherMnemonicOrAddressAreNotTheAnswer) {
    for (const auto& [injection, arrived] :
         {std::pair{sim::Injection::wrongMnemonic(), ">0012/RED="},
          std::pair{sim::Injection::wrongAddress(), ">0013/FLT="}}) {
        PollHarness h;
        auto* m = h.Unit(1, Modem1, "0012", "350");
        h.Unit(3, Modem1, "0030", "350");
        h.setup.rec(1).TimeoutText = "1";
        sim::Injection once = injection;
        once.count = 1;
        m->inject(once);
        h.Start();
        ASSERT_TRUE(h.RunRequests(1));
        h.Tick();
        ASSERT_EQ(h.port.ReceivedMessage().substr(0, 10), arrived);
        // The wrong reply is on the line, yet the request waits for its own, until its
        // second has passed; then the unit is lost and the next end is polled.
        h.Ticks(19);
        EXPECT_TRUE(h.cycle.tx.AwaitingReply) << arrived;
        EXPECT_EQ(h.port.sent.size(), 1u) << arrived;
        h.Ticks(2);
        EXPECT_EQ(h.port.sent.back(), "<0030/FLT?") << arrived;
        EXPECT_EQ(colourName(h.setup.rec(1).Mod1Colour), "blue") << arrived;
        EXPECT_EQ(h.Colour("EndL1"), "blue") << arrived;
        EXPECT_EQ(h.screen.Title(), "Linvar:NoComms") << arrived;
    }
}

TEST(PollCycle, EveryModelNumberFindsItsModemWindowAndOnly7010KeepsItsThousands) {
    struct Case {
        const char* eid;
        const char* family; // none: no window
    };
    const Case cases[] = {
        {"=7010100000", "MQX-310"}, {"=0310100000", "MQX-310"}, {"=2310100000", "MQX-310"},
        {"=2330110000", "MQX-330"}, {"=0351000000", "MQX-350"}, {"=0370111000", "MQX-370"},
        {"=1373111000", "MQX-370"}, {"=8010100000", nullptr},   {"=0010100000", nullptr},
        {"=0374111000", nullptr},   {"=MQX3501000", nullptr},
    };
    for (const Case& c : cases) {
        PollHarness h;
        FakeWindows windows(h);
        h.Unit(1, Modem1, "0012", "350")->setAnswer("EID", c.eid);
        OpenLink(h);
        DoubleClickUnit(h, windows, "LblMod1L");
        if (c.family) {
            ASSERT_EQ(windows.opened.size(), 1u) << c.eid;
            EXPECT_STREQ(windows.opened[0].family->name, c.family) << c.eid;
            EXPECT_EQ(windows.opened[0].IdentityCode, std::string(c.eid + 1)) << c.eid;
            EXPECT_TRUE(h.op.questions.empty()) << c.eid;
        } else {
            EXPECT_TRUE(windows.opened.empty()) << c.eid;
            ASSERT_EQ(h.op.questions.size(), 1u) << c.eid;
            EXPECT_EQ(h.op.questions[0].title, "Problem - Model unknown") << c.eid;
            EXPECT_EQ(h.op.questions[0].text, "Contact factory") << c.eid;
            h.Ticks(3);
            EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink) << c.eid;
            EXPECT_TRUE(h.screen.shown("LinkBox")) << c.eid;
        }
    }
}

TEST(PollCycle, TheTransceiverAnswerChoosesThePldOrVornWindowOrNone) {
    struct Case {
        const char* icon;
        const char* ret;    // empty: the transceiver refuses
        const char* family; // none: no window
        const char* address;
        const char* name;
    };
    const Case cases[] = {
        {"LblRFT1L", "=1PLD-KU 25W OEM SSPA", "PLD", "0013", "Transceiver 1, Local"},
        {"LblRFT2", "=VORN-C 10W XCVR", "VORN/YRAN", "0024", "Transceiver 2, Distant,  VORN"},
        {"LblRFT1L", "=YRAN-KU 8W XCVR", "VORN/YRAN", "0013", "Transceiver 1, Local,  YRAN"},
        {"LblRFT1L", "=PLD-KU 25W", nullptr, "", ""}, // PLD one place too early
        {"LblRFT1L", "=Vorn-C 10W", nullptr, "", ""},
        {"LblRFT2", "=0371111000", nullptr, "", ""},
        {"LblRFT1L", "", nullptr, "", ""},
    };
    for (const Case& c : cases) {
        PollHarness h;
        FakeWindows windows(h);
        h.Unit(1, Modem1, "0012", "350");
        auto* local = h.Unit(1, Transceiver1, "0013", "VORN");
        h.Unit(2, Modem1, "0022", "350");
        auto* distant = h.Unit(2, Transceiver2, "0024", "VORN");
        auto* asked = std::string(c.icon) == "LblRFT1L" ? local : distant;
        if (*c.ret)
            asked->setAnswer("RET", c.ret);
        else
            asked->inject(sim::Injection::refuse('*'));
        OpenLink(h);
        const size_t mark = h.port.sent.size();
        DoubleClickUnit(h, windows, c.icon);
        const auto sent = h.SentSince(mark);
        const std::string ret = "<" + asked->address() + "/RET?";
        EXPECT_NE(std::find(sent.begin(), sent.end(), ret), sent.end()) << c.ret;
        if (c.family) {
            ASSERT_EQ(windows.opened.size(), 1u) << c.ret;
            EXPECT_STREQ(windows.opened[0].family->name, c.family) << c.ret;
            EXPECT_EQ(windows.opened[0].UnitAddress, c.address) << c.ret;
            EXPECT_EQ(windows.opened[0].UnitName, c.name) << c.ret;
            EXPECT_TRUE(h.op.questions.empty()) << c.ret;
            EXPECT_FALSE(h.cycle.TimerEnabled()) << c.ret; // the window has the port
            windows.onClose(false);
        } else {
            EXPECT_TRUE(windows.opened.empty()) << c.ret;
            ASSERT_EQ(h.op.questions.size(), 1u) << c.ret;
            if (*c.ret) {
                EXPECT_EQ(h.op.questions[0].title, "Problem - Model unknown") << c.ret;
                EXPECT_EQ(h.op.questions[0].text, "Contact factory") << c.ret;
            } else {
                EXPECT_EQ(h.op.questions[0].title, "Local Modem no comms");
                EXPECT_EQ(h.op.questions[0].text, "Return to Summary");
            }
        }
        // Either way the single-link view comes back and polls on, from the DISTANT end.
        const size_t back = h.port.sent.size();
        h.Ticks(3);
        EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink) << c.ret;
        EXPECT_TRUE(h.screen.shown("LinkBox")) << c.ret;
        ASSERT_TRUE(h.port.sent.size() > back || h.RunRequests(1)) << c.ret;
        EXPECT_EQ(h.port.sent[back], "<0022/FLT?") << c.ret;
    }
}

TEST(PollCycle, DoubleClickingTheAbsentDistantModem2DoesNothing) {
    PollHarness h;
    FakeWindows windows(h);
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(2, Modem1, "0022", "350");
    h.setup.rec(2).PairFlag = "1"; // the standby of a 1:1 pair has no address of its own
    OpenLink(h);
    ASSERT_EQ(h.screen.at("LblMod2").text(), "OFFLINE UNIT");
    const size_t mark = h.port.sent.size();
    EXPECT_TRUE(h.screen.doubleClick("LblMod2"));
    EXPECT_TRUE(h.screen.doubleClick("MrkMod2"));
    EXPECT_TRUE(h.cycle.tx.RequestedMode.empty());
    ASSERT_TRUE(h.RunRequests(6));
    for (const std::string& request : h.SentSince(mark))
        EXPECT_EQ(request.find("/EID?"), std::string::npos) << request;
    EXPECT_TRUE(windows.opened.empty());
    EXPECT_TRUE(h.op.questions.empty());
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);
    EXPECT_TRUE(h.screen.shown("LinkBox"));

    // The DISTANT Modem 1 beside it is identified.
    DoubleClickUnit(h, windows, "LblMod1");
    ASSERT_EQ(windows.opened.size(), 1u);
    EXPECT_EQ(windows.opened[0].UnitAddress, "0022");
    EXPECT_EQ(windows.opened[0].UnitName, "Modem 1, Distant end");
}

TEST(PollCycle, ClosingTheSingleLinkViewWaitsForTheReplyOrItsTimeOut) {
    PollHarness h;
    auto* m = h.Unit(1, Modem1, "0012", "350");
    h.setup.rec(1).TimeoutText = "1";
    h.Start();
    h.screen.doubleClick("EndL1");
    h.Ticks(6);
    ASSERT_TRUE(h.screen.shown("LinkBox"));

    // A slow answer reporting a fault: the view stays until it has come.
    m->setLatencyMs(400);
    m->setAnswer("FLT", "=100001");
    ASSERT_TRUE(h.RunRequests(1));
    ASSERT_TRUE(h.screen.click("BtnClose"));
    size_t mark = h.port.sent.size();
    h.Ticks(7);
    EXPECT_TRUE(h.screen.shown("LinkBox"));
    EXPECT_TRUE(h.screen.shown("WaitNotice"));
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);
    EXPECT_EQ(h.port.sent.size(), mark);
    h.Ticks(3);
    EXPECT_FALSE(h.screen.shown("LinkBox"));
    EXPECT_FALSE(h.screen.shown("WaitNotice"));
    EXPECT_TRUE(h.screen.shown("SumBox"));
    EXPECT_EQ(h.Colour("EndL1"), "red"); // the answer was taken, not dropped

    // A silent unit: the view stays until the time-out, which turns the unit blue.
    h.screen.doubleClick("EndL1");
    TicksUntil(h, 400, [&] { return h.screen.shown("LinkBox"); });
    ASSERT_TRUE(h.screen.shown("LinkBox"));
    m->inject(sim::Injection::silence());
    ASSERT_TRUE(h.RunRequests(1));
    ASSERT_TRUE(h.screen.click("BtnClose"));
    mark = h.port.sent.size();
    h.Ticks(20);
    EXPECT_TRUE(h.screen.shown("LinkBox"));
    EXPECT_TRUE(h.screen.shown("WaitNotice"));
    EXPECT_EQ(h.port.sent.size(), mark);
    h.Ticks(3);
    EXPECT_TRUE(h.screen.shown("SumBox"));
    EXPECT_FALSE(h.screen.shown("LinkBox"));
    EXPECT_EQ(h.Colour("EndL1"), "blue");
}
