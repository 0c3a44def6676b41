// Golden wire transcripts of the MQX-350 window, one per phase (the configuration at
// either end), kept in tests/detail/golden and compared exactly. After a change of the
// window's traffic that is meant, rewrite them with
//     LINVAR_REGOLD=1 build/test_detail --gtest_filter='Golden*'
// and read the difference in the commit before keeping it.

#include "DetailRig.h"
#include "WireTranscript.h"

#include "ui/TextFile.h"
#include "wire/FaultTables.h"

#include <algorithm>

using namespace linvar;

namespace {

size_t Count(const std::vector<std::string>& sent, const std::string& request) {
    return static_cast<size_t>(std::count(sent.begin(), sent.end(), request));
}

// The status loop has just read the redundancy state: the phase buttons are on and no
// reply is awaited when the operator clicks.
void StatusRead(DetailRig& r) {
    ASSERT_TRUE(r.UntilSent("<" + r.w->UnitAddress + "/RED?"));
    r.Tick(3);
    ASSERT_FALSE(r.tx.AwaitingReply);
}

} // namespace

TEST(Golden350, IdentityAndTwoTurnsOfTheStatusLoopOfAnL) {
    DetailRig r;
    WireTranscript wire(r.port);
    r.watch = wire.Watcher();
    r.Open("0351110000", 3, "0351");
    r.unit->setAnswer("BCE", "=1"); // the FSK link up, so the BUC is read too
    // The identity's LRS, then the loop's first, second and the third turn's first.
    ASSERT_TRUE(r.Until([&] { return Count(r.port.sent, "<0351/LRS?") == 4; }));
    EXPECT_EQ(r.tx.CurrentMode, "STATUS2");
    EXPECT_EQ(r.Text("StaFSK"), "Enabled");
    EXPECT_TRUE(r.at("BucStatus").visible());
    EXPECT_TRUE(r.op.questions.empty());
    ExpectGolden("350L-status.txt", wire.Text());
}

TEST(Golden350, ConfigurationReadAnAcceptedAndARefusedChange) {
    DetailRig r;
    // A pause of three ticks after a reply, which only an accepted change takes away.
    r.setup.rec(3).DelayText = "150";
    r.Open();
    // The unit's own configuration, so that what it took shows in the re-read.
    r.unit->setAnswer("MGC", "");
    r.unit->setConfig(KnownConfig());
    StatusRead(r);
    WireTranscript wire(r.port);
    r.watch = wire.Watcher();

    wire.Note("click BtnConfig");
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(r.Text("ConfTFQ"), " 70.0000");

    wire.Note("edit ConfTFQ 75");
    r.Edit("ConfTFQ", "75");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(r.tx.CurrentMode, "SETCONFIG");

    sim::Injection refuse = sim::Injection::refuse('*');
    refuse.mnemonic = "TFQ";
    refuse.count = 1;
    r.unit->inject(refuse);
    wire.Note("edit ConfTFQ 76, refused");
    r.Edit("ConfTFQ", "76");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::PauseFirst; }));
    EXPECT_EQ(r.Text("Notice"), "Command was not accepted. Re-reading unit...");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(r.Text("ConfTFQ"), " 75.0000"); // what the unit holds
    r.Tick(5);                                // idle: nothing more goes out
    EXPECT_TRUE(r.op.questions.empty());
    ExpectGolden("350-config.txt", wire.Text());
}

TEST(Golden350, DistantChangesGoOutOnlyOnceConfirmed) {
    DetailRig r;
    r.Open("0350110000", 4, "0450");
    r.unit->setDistant(true);
    r.unit->setAnswer("LRS", "=0"); // a slave to its partner
    r.unit->setAnswer("MGC", "");
    r.unit->setConfig(KnownConfig());
    StatusRead(r);
    WireTranscript wire(r.port);
    r.watch = wire.Watcher();

    wire.Note("click BtnConfig");
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(r.Text("StaLRS"), "SLAVE");

    const auto change = [&](const std::string& note, Answer answer,
                            const std::function<void()>& action) {
        r.op.answers.push_back(answer);
        wire.Note(note);
        action();
        r.Tick(3); // the question comes 100 ms later
        ASSERT_TRUE(r.op.answers.empty());
        ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
        r.Tick(2);
    };
    change("edit ConfTFQ 71, Yes", Answer::Yes, [&] { r.Edit("ConfTFQ", "71"); });
    EXPECT_EQ(r.Text("ConfTFQ"), " 71.0000");
    change("edit ConfTFQ 72, No", Answer::No, [&] { r.Edit("ConfTFQ", "72"); });
    EXPECT_EQ(r.Text("ConfTFQ"), " 71.0000");
    // Only the I/O loopback keeps the management channel: Normal goes out instead.
    change("choose ConfTST Tx CW, Yes", Answer::Yes, [&] { r.w->choose("ConfTST", 5); });
    ASSERT_EQ(r.op.questions.size(), 3u);
    EXPECT_EQ(r.op.questions[0].text, "Change Tx frequency to 71.0000 MHz. Comms may be affected.");
    EXPECT_EQ(r.op.questions[1].text, "Change Tx frequency to 72.0000 MHz. Comms may be affected.");
    EXPECT_EQ(r.op.questions[2].text, "Change Unit Test Mode to Normal. Comms may be affected.");
    ExpectGolden("350-distant-config.txt", wire.Text());
}

TEST(Golden350, EventsLogDownloadToANewFile) {
    DetailRig r;
    r.Open();
    r.unit->setStatisticsInterval(0);
    // With the power-on event seven: one full reply of five and one of two.
    for (char code : {'1', '3', '5', '7', '9', 'B'})
        r.unit->addEvent('1', '3', code, r.clock.monotonicMs());
    std::vector<std::string> expected;
    for (const std::string& rec : r.unit->events())
        expected.push_back("0350  " + EventEntryText(rec, r.clock));
    StatusRead(r);
    WireTranscript wire(r.port);
    r.watch = wire.Watcher();

    wire.Note("click BtnLogs");
    r.w->click("BtnLogs");
    ASSERT_TRUE(r.Until([&] { return r.tx.CurrentMode == "READLOG" && r.w->StepNo == 6; }));
    EXPECT_EQ(r.Text("LogEventsCount"), "7 Events Log lines to read");

    r.op.files.push_back("events.txt");
    wire.Note("click BtnReadEvents, choose events.txt, BtnNewFile, BtnReadLog");
    r.w->click("BtnReadEvents");
    ASSERT_TRUE(r.at("FileNewBox").visible());
    r.w->click("BtnNewFile");
    r.w->click("BtnReadLog");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == 6; }));
    EXPECT_EQ(r.Text("LogProgress"), "Reading Events Log completed");
    EXPECT_EQ(*TextFile::readLines(r.dir.path() / "events.txt"), expected);
    EXPECT_TRUE(r.unit->events().empty());
    EXPECT_TRUE(r.op.files.empty());
    EXPECT_TRUE(r.op.questions.empty());
    ExpectGolden("350-events-log.txt", wire.Text());
}
