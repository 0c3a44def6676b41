// The rules every family's window keeps; each family's row is in its own test file.

#include "detail/framework/Rules.h"

using namespace linvar;
using namespace linvar::rules;

// Sent as the row says; refused: the family's text, its pause, the box read back.
TEST_P(Rules, ARefusedChangeIsToldPausesAndIsReadBack) {
    Open();
    r.ReadConfig();
    if (f.same) {
        EXPECT_EQ(r.Set(f.box, f.same), Lines{}) << "an unchanged value";
        EXPECT_EQ(r.Text(f.box), f.held);
    }
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "no answer" : "refused");
        r.Once(silent ? sim::Injection::silence() : sim::Injection::refuse('*'),
               std::string(f.wire).substr(0, 3).c_str());
        r.unit->setAnswer(std::string(f.wire).substr(0, 3), "");
        r.Edit(f.box, f.entry);
        ASSERT_TRUE(
            r.Until([&] { return r.Text(f.line) == (silent ? f.timedOut : f.refused); }, 200));
        EXPECT_EQ(colourName(r.at(f.line).textColour()), f.colour);
        const int told = r.ticks;
        int reread = -1, cleared = -1;
        const size_t mark = r.port.sent.size();
        r.Until(
            [&] {
                if (reread < 0 && r.port.sent.size() > mark)
                    reread = r.ticks - told;
                if (cleared < 0 && r.Text(f.line).empty())
                    cleared = r.ticks - told;
                return reread >= 0 && cleared >= 0;
            },
            100);
        EXPECT_NEAR(reread, f.pause, 1);
        EXPECT_EQ(cleared, f.cleared);
        EXPECT_EQ(r.Commands(mark).front(), f.reread);
        ASSERT_TRUE(r.Settle());
        EXPECT_EQ(r.Text(f.box), f.held);
    }
    EXPECT_EQ(r.Set(f.box, f.entry), Lines{f.wire});
}

TEST_P(Rules, NoToTheQuestionSendsNothingAndGivesTheHeldValueBack) {
    Open(f.asking);
    r.ReadConfig();
    if (f.beforeAsk)
        f.beforeAsk(r);
    const std::string held = r.Shown(f.askBox);
    r.op.answers.push_back(Answer::No);
    EXPECT_EQ(r.Set(f.askBox, f.askEntry), Lines{});
    ASSERT_EQ(r.op.questions.size(), 1u);
    EXPECT_EQ(r.op.questions[0].title + ": " + r.op.questions[0].text,
              std::string("Confirm: ") + f.question);
    EXPECT_EQ(r.Shown(f.askBox), held);
    EXPECT_EQ(r.Text("Instruction"), "Edit of parameter has been replaced with previous value");
}

// No reply, or one from another address or for another command: nothing is taken.
TEST_P(Rules, AStatusReplyThatDoesNotComeIsToldAndTheLoopGoesOn) {
    for (const auto& wrong : {sim::Injection::silence(), sim::Injection::wrongAddress(),
                              sim::Injection::wrongMnemonic()}) {
        DetailRig t;
        Open(t);
        t.ReadStatus();
        t.unit->inject(wrong);
        ASSERT_TRUE(t.Until([&] { return !t.Text("Notice").empty(); }, 200));
        EXPECT_EQ(t.Text("Notice"), f.noComms);
        EXPECT_EQ(t.at("Notice").textColour(), Colours::red);
        if (f.lostLabel) {
            EXPECT_EQ(t.Text(f.lostLabel), f.lostText);
        }
        t.unit->clearInjections();
        const size_t mark = t.port.sent.size();
        ASSERT_TRUE(t.Until([&] { return t.port.sent.size() > mark + 3 && !t.tx.AwaitingReply; }));
    }
}

TEST_P(Rules, AnEndDelayThatIsNotANumberIsReportedOnceAndTheWindowGoesOn) {
    r.setup.rec(3).DelayText = "fast";
    Open();
    r.setup.rec(r.record).DelayText = "fast"; // the switch's record is set up on opening
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() >= 8; }));
    EXPECT_EQ(r.op.reports, Lines{"'fast' is not a valid integer value (delay of " + r.w->UnitName +
                                  ", link: MADRID-2)"});
}

// "&Close" takes the awaited reply first, then the window closes and the line is free.
TEST_P(Rules, CloseEndsTheExchangesAndFreesTheLine) {
    Open();
    r.ReadStatus();
    r.Tick(2);
    ASSERT_TRUE(r.w->click("BtnClose") && r.Until([&] { return r.w->Closed(); }, 200));
    EXPECT_FALSE(r.tx.AwaitingReply);
    const size_t mark = r.port.sent.size();
    r.Tick(60);
    EXPECT_EQ(r.SentSince(mark), Lines{});
}
