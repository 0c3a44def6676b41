// The rules every family's window keeps, run over each family as it is described: a
// refused change, "No" to a confirmation, an unchanged value, a time-out, an end delay
// that is not a number, and closing.

#include "detail/DetailRig.h"

#include "detail/mqx310/Mqx310Window.h"
#include "detail/mqx330/Mqx330Window.h"
#include "detail/mqx370/Mqx370Window.h"
#include "detail/pld/PldWindow.h"
#include "detail/vorn/VornWindow.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

struct Family {
    const char* name;
    std::function<void(DetailRig&, int record)> open;
    // A change: the box, an entry and its command, the value held written otherwise (null
    // where the family sends it again) and as the box shows it.
    const char *box, *entry, *wire, *same, *held;
    // A refusal: where it is told, in which colour and words, the ticks before the read
    // back and until the line is clear again, and the request that reads it back.
    const char *line, *colour, *refused, *timedOut;
    int pause, cleared;
    const char* reread;
    // A status reply that did not come: the notice, and the label that tells (or null).
    const char *noComms, *lostLabel, *lostText;
    // The record whose changes are confirmed, what sets it up, the box, entry, question.
    int asking;
    std::function<void(DetailRig&)> beforeAsk;
    const char *askBox, *askEntry, *question;
};

void Switch(DetailRig& r, int) {
    r.Place("420", 41, "1000").setRemoteState('1');
    r.Create<SwitchWindow>();
}
template <class W> auto Transceiver(const char* model, const char* type) {
    return [=](DetailRig& r, int record) {
        r.Place(model, record, "0211");
        r.name = std::string("Transceiver 1, ") + (record % 2 ? "Local" : "Distant") + type;
        r.Create<W>();
    };
}

const std::string kPlain330 = "070.00000064.000132"
                              "0110.011070.00000064.0001320130104.02100500000000000005.001";
const std::string kPlain310 = "070.0000064.000320110.021070.0000064.000320130104.0210050000000000";

const char* const kRefused = "Command was not accepted; parameter re-read from unit...";
const char* const kNoComms = "Communications were timed out, check system";
const std::string kSetUp = std::string(kNoComms) + " set-up";
const char* const kTfq = "Change Tx frequency to 71.0000 MHz. Comms may be affected.";
const char* const kTdr = "Change Tx data rate to 128.000 kbps. Comms may be affected.";
const char* const k350Refused = "Command was not accepted. Re-reading unit...";
const char* const k350Timed = "Timed out. Check Timeout-Time. Re-reading unit...";
const char* const k330Refused = "Command was not accepted, re-reading from unit...";

// clang-format off
const Family kFamilies[] = {
    {"MQX-350", [](DetailRig& r, int rec) { r.Open350("0350110000", rec, rec == 4 ? "0450" : "0350"); },
     "ConfTFQ", "71", "TFQ=0071.0000", "70.00", " 70.0000", "Notice", "red", k350Refused, k350Timed,
     32, 33, "MGC?", kSetUp.c_str(), "StaTMP", "No comms", 4, {}, "ConfTFQ", "71", kTfq},
    {"MQX-330",
     [](DetailRig& r, int rec) {
         r.Open<Mqx330Window>("331", "2330110000", rec, "0330", [](sim::Unit& u) { u.setConfig(kPlain330); });
     },
     "TxPowLev", "-5", "TPL=05.0", "-10", "- 10.0", "Notice", "red", k330Refused, k330Refused,
     22, 23, "MGC?", kSetUp.c_str(), "StaREB", "TNo comms", 4, {}, "TxDataRate", "128", kTdr},
    {"MQX-310",
     [](DetailRig& r, int rec) {
         r.Open<Mqx310Window>("310", "0310100000", rec, "0330", [](sim::Unit& u) {
             u.setConfig(kPlain310);
             u.setRemoteState('1');
         });
     },
     "TxPowLev", "-5", "TPL=05.0", "-10", "- 10.0", "Notice", "red", k330Refused, k330Refused,
     16, 17, "MGC?", kNoComms, "NrLogEvents", "No comms", 4, {}, "TxDataRate", "128", kTdr},
    {"MQX-370", [](DetailRig& r, int rec) { r.Open<Mqx370Window>("370", "0370000000", rec, "0370"); },
     "ConfTFQ", "71", "TFQ=0071.0000", "70", " 70.0000", "Notice", "red", k350Refused, k350Timed,
     32, 33, "MGC?", kSetUp.c_str(), "StaTMP", "No comms", 4, {}, "ConfTFQ", "71", kTfq},
    {"VORN", Transceiver<VornWindow>("VORN", ",  VORN"), "UFQ", "5930", "UFQ=5930.0", "5925.00",
     " 5925.0", "Instruction", "blue", kRefused, kRefused, 2, 42, "CCS?", kNoComms, nullptr, nullptr,
     4, {}, "UFQ", "5930", "Change Up Frequency to 5930.0 MHz. Comms may be affected."},
    {"PLD", Transceiver<PldWindow>("PLD", ""), "REF", "100", "REF=100", "128.0", " 128",
     "Instruction", "blue", kRefused, kRefused, 2, 42, "REF?", kNoComms, nullptr, nullptr, 4, {},
     "UFQ", "14249", "Change Up Frequency to 14249 MHz.  RF will be turned off. Comms may be affected."},
    {"switch", Switch, "ConfBKH", "7", "BKH=07", nullptr, " 5", "Instruction", "blue", kRefused,
     kRefused, 2, 20, "BKH?", kNoComms, nullptr, nullptr, 41,
     [](DetailRig& r) { ASSERT_TRUE(r.w->choose("ConfOPM", 0) && r.Settle()); }, "ConfBTM", " 3",
     "Change Bridge/Backup mode to Bridging TM# 3. Comms may be affected."},
};
// clang-format on

void PrintTo(const Family& f, std::ostream* os) {
    *os << f.name;
}

class Rules : public testing::TestWithParam<Family> {};

std::string Named(const testing::TestParamInfo<Family>& f) {
    std::string n;
    for (const char c : std::string(f.param.name))
        if (std::isalnum(static_cast<unsigned char>(c)))
            n += c;
    return n;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryFamily, Rules, testing::ValuesIn(kFamilies), Named);

// Sent as the row says; refused: the family's text, its pause, the box read back.
TEST_P(Rules, ARefusedChangeIsToldPausesAndIsReadBack) {
    const Family& f = GetParam();
    DetailRig r;
    f.open(r, f.asking == 41 ? 41 : 3);
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
    const Family& f = GetParam();
    DetailRig r;
    f.open(r, f.asking);
    r.ReadConfig();
    if (f.beforeAsk)
        f.beforeAsk(r);
    const std::string held = r.Shown(f.askBox);
    r.op.answers.push_back(Answer::No);
    EXPECT_EQ(r.Set(f.askBox, f.askEntry), Lines{});
    ASSERT_EQ(r.op.questions.size(), 1u);
    EXPECT_EQ(r.op.questions[0].title, "Confirm");
    EXPECT_EQ(r.op.questions[0].text, f.question);
    EXPECT_EQ(r.Shown(f.askBox), held);
    EXPECT_EQ(r.Text("Instruction"), "Edit of parameter has been replaced with previous value");
}

TEST_P(Rules, AStatusReplyThatDoesNotComeIsToldAndTheLoopGoesOn) {
    const Family& f = GetParam();
    DetailRig r;
    f.open(r, f.asking == 41 ? 41 : 3);
    r.ReadStatus();
    r.unit->inject(sim::Injection::silence());
    ASSERT_TRUE(r.Until([&] { return !r.Text("Notice").empty(); }, 200));
    EXPECT_EQ(r.Text("Notice"), f.noComms);
    EXPECT_EQ(r.at("Notice").textColour(), Colours::red);
    if (f.lostLabel) {
        EXPECT_EQ(r.Text(f.lostLabel), f.lostText);
    }
    r.unit->clearInjections();
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() > mark + 3 && !r.tx.AwaitingReply; }));
}

TEST_P(Rules, AnEndDelayThatIsNotANumberIsReportedOnceAndTheWindowGoesOn) {
    const Family& f = GetParam();
    DetailRig r;
    const int record = f.asking == 41 ? 41 : 3;
    r.setup.rec(record).DelayText = "fast";
    f.open(r, record);
    r.setup.rec(record).DelayText = "fast";
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() >= 8; }));
    ASSERT_EQ(r.op.reports.size(), 1u);
    EXPECT_EQ(r.op.reports[0], "'fast' is not a valid integer value (delay of " + r.w->UnitName +
                                   ", link: MADRID-2)");
}

// "&Close" takes the awaited reply first, then the window closes and the line is free.
TEST_P(Rules, CloseEndsTheExchangesAndFreesTheLine) {
    const Family& f = GetParam();
    DetailRig r;
    f.open(r, f.asking == 41 ? 41 : 3);
    r.ReadStatus();
    r.Tick(2);
    ASSERT_TRUE(r.w->click("BtnClose"));
    ASSERT_TRUE(r.Until([&] { return r.w->Closed(); }, 200));
    EXPECT_FALSE(r.tx.AwaitingReply);
    const size_t mark = r.port.sent.size();
    r.Tick(60);
    EXPECT_EQ(r.SentSince(mark), Lines{});
}
