#include "PollHarness.h"

#include <gtest/gtest.h>

#include <limits>

using namespace linvar;

namespace {

// Title and text of every question asked, in order.
std::vector<std::string> Asked(const PollHarness& h) {
    std::vector<std::string> all;
    for (const auto& q : h.op.questions)
        all.push_back(q.title + ": " + q.text);
    return all;
}

// Back on the single-link view, polling on.
void BackOnOneLink(PollHarness& h, const std::string& why) {
    h.Ticks(3);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink) << why;
    EXPECT_TRUE(h.screen.shown("LinkBox")) << why;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(PollCycle, WeeksWithNothingToPollNeverTurnTheReplyWaitIntoALongOne) {
    PollHarness h;
    h.Start();
    h.cycle.tx.TimeoutLeft = std::numeric_limits<int>::min() + 20; // ~25 days of ticks
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
    EXPECT_EQ(Asked(h)[0],
              "Distant modem no comms: Modem not responding. Will attempt to turn on RF");
    EXPECT_EQ(h.Count("<0022/TXO=1"), 3);
    h.Ticks(2);
    BackOnOneLink(h, "");
}

TEST(PollCycle, PrintingListsTheFaultsAndRestartsAtTheFirstEnd) {
    PollHarness h;
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(3, Modem1, "0030", "350");
    h.Unit(5, Modem1, "0050", "350");
    h.Unit(5, Modem2, "0051", "330")->setAnswer("FLT", "=00000");
    Texts printed;
    h.print.setSink([&](const std::string& l) { printed.push_back(l); });
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

    // Each family's mark where it puts it: the MQX-330 after a spare, the MQX-310 at once.
    PollHarness f;
    f.Unit(1, Modem1, "0012", "330")->setAnswer("FLT", "=10001");
    f.Unit(1, Modem2, "0014", "310")->setAnswer("FLT", "=0101");
    printed.clear();
    f.print.setSink([&](const std::string& l) { printed.push_back(l); });
    f.print.PrintToggle(f.clock);
    f.Start();
    ASSERT_TRUE(f.RunRequests(5)); // a first pass lists everything; the second by the mark
    f.Ticks(3);
    ASSERT_GE(printed.size(), 5u);
    EXPECT_NE(printed[3].find(" Mod1: unit fault"), std::string::npos) << printed[3];
    EXPECT_NE(printed[4].find(" Mod2: tx fault"), std::string::npos) << printed[4];
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
    EXPECT_TRUE(waited >= 20 && waited <= 22) << waited;
    h.Ticks(2);
    EXPECT_EQ(h.Colour("EndL1"), "blue");
}

TEST(PollCycle, SilenceOrARepliesForAnotherMnemonicOrAddressTimesOutAndPollingGoesOn) {
    for (const auto& [injection, arrived] :
         {std::pair{sim::Injection::silence(), ""},
          std::pair{sim::Injection::wrongMnemonic(), ">0012/RED="},
          std::pair{sim::Injection::wrongAddress(), ">0013/FLT="}}) {
        PollHarness h;
        sim::Injection once = injection;
        once.count = 1;
        h.Unit(1, Modem1, "0012", "350")->inject(once);
        h.Unit(3, Modem1, "0030", "350");
        h.setup.rec(1).TimeoutText = "1";
        h.Start();
        ASSERT_TRUE(h.RunRequests(1));
        h.Tick();
        ASSERT_EQ(h.port.ReceivedMessage().substr(0, 10), arrived);
        // A wrong reply on the line is not the answer: the request waits for its own until
        // its second has passed (the 21st tick); then the unit is lost and the next end is
        // polled at the next tick.
        h.Ticks(19);
        EXPECT_TRUE(h.cycle.tx.AwaitingReply) << arrived;
        EXPECT_EQ(h.port.sent.size(), 1u) << arrived;
        h.Ticks(2);
        EXPECT_EQ(h.SentSince(1), Texts{"<0030/FLT?"}) << arrived;
        EXPECT_EQ(colourName(h.setup.rec(1).Mod1Colour), "blue") << arrived;
        EXPECT_EQ(h.Colour("EndL1") + h.screen.Title(), "blueLinvar:NoComms") << arrived;
    }
}

TEST(PollCycle, EveryModelNumberFindsItsModemWindowAndOnly7010KeepsItsThousands) {
    const std::pair<const char*, const char*> cases[] = {
        {"=7010100000", "MQX-310"}, {"=0310100000", "MQX-310"}, {"=2310100000", "MQX-310"},
        {"=2330110000", "MQX-330"}, {"=0351000000", "MQX-350"}, {"=0370111000", "MQX-370"},
        {"=1373111000", "MQX-370"}, {"=8010100000", nullptr},   {"=0010100000", nullptr},
        {"=0374111000", nullptr},   {"=MQX3501000", nullptr}, // none: no window
    };
    for (const auto& [eid, family] : cases) {
        PollHarness h;
        FakeWindows windows(h);
        h.Unit(1, Modem1, "0012", "350")->setAnswer("EID", eid);
        OpenLink(h);
        DoubleClickUnit(h, windows, "LblMod1L");
        if (!family) {
            EXPECT_TRUE(windows.opened.empty()) << eid;
            EXPECT_EQ(Asked(h), Texts{"Problem - Model unknown: Contact factory"}) << eid;
            BackOnOneLink(h, eid);
            continue;
        }
        ASSERT_EQ(windows.opened.size(), 1u) << eid;
        const DetailRequest& r = windows.opened[0];
        EXPECT_EQ(r.family->name + ("|" + r.IdentityCode + "|" + r.UnitName),
                  family + ("|" + std::string(eid + 1) + "|Modem 1, Local end"));
        EXPECT_TRUE(h.op.questions.empty()) << eid;
        // The window has the port until it closes; then the link polls on.
        const size_t mark = h.port.sent.size();
        h.Ticks(5);
        EXPECT_EQ(h.port.sent.size(), mark) << eid;
        windows.onClose(false);
        ASSERT_TRUE(h.RunRequests(1));
        EXPECT_EQ(h.port.sent.back(), "<0012/FLT?") << eid;
    }
}

TEST(PollCycle, TheTransceiverAnswerChoosesThePldOrVornWindowOrNone) {
    struct Case {
        const char* icon;
        const char* ret;    // empty: the transceiver refuses
        const char* opened; // family|address|name, or the question asked
    };
    const Case cases[] = {
        {"LblRFT1L", "=1PLD-KU 25W OEM SSPA", "PLD|0013|Transceiver 1, Local"},
        {"LblRFT2", "=VORN-C 10W XCVR", "VORN/YRAN|0024|Transceiver 2, Distant,  VORN"},
        {"LblRFT1L", "=YRAN-KU 8W XCVR", "VORN/YRAN|0013|Transceiver 1, Local,  YRAN"},
        {"LblRFT1L", "=PLD-KU 25W", "Problem - Model unknown: Contact factory"}, // PLD too early
        {"LblRFT1L", "=Vorn-C 10W", "Problem - Model unknown: Contact factory"},
        {"LblRFT2", "=0371111000", "Problem - Model unknown: Contact factory"},
        {"LblRFT1L", "", "Local Modem no comms: Return to Summary"},
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
        DoubleClickUnit(h, windows, c.icon);
        EXPECT_EQ(h.Count("<" + asked->address() + "/RET?"), 1) << c.ret;
        EXPECT_EQ(h.screen.at("CommNotice").text(), "Communicating...") << c.ret;
        std::string seen = Asked(h).empty() ? "" : Asked(h)[0];
        if (!windows.opened.empty()) {
            const DetailRequest& r = windows.opened[0];
            seen = r.family->name + ("|" + r.UnitAddress + "|" + r.UnitName);
            EXPECT_TRUE(h.op.questions.empty()) << c.ret;
            EXPECT_FALSE(h.cycle.TimerEnabled()) << c.ret; // the window has the port
            windows.onClose(false);
        }
        EXPECT_EQ(seen, c.opened);
        // Either way the single-link view comes back and polls on, from the DISTANT end.
        const size_t back = h.port.sent.size();
        BackOnOneLink(h, c.ret);
        ASSERT_TRUE(h.port.sent.size() > back || h.RunRequests(1)) << c.ret;
        EXPECT_EQ(h.port.sent[back], "<0022/FLT?") << c.ret;
    }
}

TEST(PollCycle, OnOneLinkASilentTransceiverIsNotAskedWhetherItIsOnline) {
    PollHarness h;
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(1, Transceiver1, "0013", "VORN")->setUnreachable(true);
    h.Unit(1, Transceiver2, "0015", "VORN");
    h.setup.rec(1).TimeoutText = "1";
    OpenLink(h);
    ASSERT_GE(TicksUntil(h, 2000, [&] { return h.Count("<0015/ONL?") >= 2; }), 0);
    EXPECT_EQ(h.Count("<0013/ONL?"), 0);
}

TEST(PollCycle, APairedDistantModemSilentOnItsStandbyStateShowsTheStandbyAsNoComms) {
    PollHarness h;
    h.Unit(1, Modem1, "0012", "350");
    sim::Injection silent = sim::Injection::silence();
    silent.mnemonic = "OUS";
    h.Unit(2, Modem1, "0022", "370")->inject(silent);
    h.setup.rec(2).PairFlag = "1";
    h.setup.rec(2).TimeoutText = "1";
    h.Start();
    const auto last = [&] { return h.port.sent.empty() ? "" : h.port.sent.back(); };
    ASSERT_GE(TicksUntil(h, 400, [&] { return last() == "<0022/OUS?"; }), 0);
    ASSERT_GE(TicksUntil(h, 400, [&] { return last() != "<0022/OUS?"; }), 0);
    EXPECT_EQ(colourName(h.setup.rec(2).Mod2Colour), "blue");
}
