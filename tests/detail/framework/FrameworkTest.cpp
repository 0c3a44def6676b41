// The detail window's own rules, driven through a small made-up family.

#include "detail/DetailRig.h"

#include "logging/Capture.h"
#include "setup/SystemSetup.h"
#include "ui/Scheduler.h"
#include "wire/TextFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace linvar;

// Rows name only the fields they set, as the families' tables do.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// A family without logs, utilities or memories, in the modems' dialect.
FamilyDescription PlainFamily() {
    FamilyDescription f;
    f.panels = {.logs = false, .utilities = false, .buffer = false, .switchover = false};
    f.memory.present = false;
    return f;
}

// Two status readings in a loop ("LVL?", then the slow "TST?"), one configuration string
// ("CFG?": the level in characters 1-4, the mode's code in 5), a level edit box and a
// mode drop-down whose entries have codes of their own.
class FakeFamily : public DetailWindow {
public:
    static constexpr int kConfigStep = 51; // step steering: where the configuration is read

    FakeFamily(DetailDeps deps, DetailInputs in, FamilyDescription description,
               const std::function<void(FakeFamily&)>& rules)
        : DetailWindow(deps, std::move(in), "DetailFake"), description_(std::move(description)) {
        if (rules)
            rules(*this);
        const auto show = [this](const char* label) {
            return [this, label](const std::string& r) {
                const bool ok = StartsWith(r, "=");
                SetValue(label, ok ? r.substr(1) : r, ok ? Colours::white : State().ReplyColour);
                EnableButtons(false, true, false, false);
                return 0;
            };
        };
        const auto fill = [this](const std::string& r) {
            if (StartsWith(r, "="))
                FillBoxes(Source::Config, r.substr(1));
            return 0;
        };
        status_ = {{1, "LVL?", show("StaLVL"), 3}, {3, "TST?", show("StaTST"), 1}};
        config_ = {{1, "CFG?", fill, ConfigSteps::Unlock}};
        steps_ = status_;
        steps_.push_back({kConfigStep, "CFG?",
                          [this, fill](const std::string& r) {
                              EnableButtons(true, false, false, false);
                              ShowPanels(false, true, false, false);
                              LockConfig(false);
                              return fill(r);
                          },
                          ConfigSteps::Idle});
    }

    // The level box's rules, set before Activate.
    Validation levelCheck = Validation::RefuseCaption;
    Confirmation levelConfirm = Confirmation::DistantOnly; // the modems' default
    Reread levelReread = Reread::Panel();
    std::string levelName = "ConfLVL", levelGroup = "GrpSettings";
    std::vector<CompositeRow> composites;

protected:
    std::string Identify() override { return "FAKE-1"; }
    FamilyDescription Describe() const override { return description_; }
    std::vector<BoxRow> ConfigBoxes() const override {
        const std::string note = "Note: level corrected to the nearest limit";
        // clang-format off
        const BoxRow level{.control = levelName, .caption = "Level", .group = levelGroup,
            .pos = 1, .len = 4, .show = Show::Real, .width = 4, .decimals = 1, .command = "LVL",
            .value = Value::Real, .cmdWidth = 4, .cmdDecimals = 1, .ranges = {{0, 20}},
            .resolution = 0.5, .prompt = "Enter level, 0-20 dB in steps of 0.5 dB",
            .error = "ERROR: Bad level. Please correct it", .confirm = "Level to ", .unit = " dB",
            .confirmation = levelConfirm, .validation = levelCheck, .noteLow = note,
            .noteHigh = note, .reread = levelReread};
        const BoxRow mode{.control = "ConfMOD", .caption = "Mode", .kind = BoxKind::Combo,
            .group = "GrpSettings", .entries = {" Off", " Low", " High"}, .codes = {"0", "L", "H"},
            .unknownEntry = 0, .pos = 5, .command = "MOD", .confirm = "Mode to"};
        // clang-format on
        return {level, mode};
    }
    std::vector<CompositeRow> Composites() const override { return composites; }
    void BuildFamily() override {
        AddGroup("PanelStatus", "GrpReadings", "Readings");
        AddValue("GrpReadings", "StaLVL", "Level");
        AddValue("GrpReadings", "StaTST", "Self test");
        AddGroup("PanelConfig", "GrpSettings", "Settings");
    }
    void IdentityStep() override {
        SetCurrentMode(Phases::Status2);
        state().StepNo = 1;
    }
    void StatusStep() override { RunSteps(status_); }
    void ConfigStep() override { RunSteps(config_); }
    // Steered by steps: the configuration panel takes changes while it is shown.
    bool InConfiguration() const override {
        return DetailWindow::InConfiguration() ||
               (Family().steering == Steering::Steps && shown("PanelConfig"));
    }
    int FullReadStep() const override {
        return Family().steering == Steering::Steps ? kConfigStep : 1;
    }
    void Step() override {
        if (StepNo == 0)
            state().StepNo = 1;
        else
            RunSteps(steps_);
    }

private:
    FamilyDescription description_;
    std::vector<ReadStep> status_, config_, steps_;
};

// The fake family at address 0420 against a simulated unit that answers every query of it;
// `rules` sets the level box up.
FakeFamily& Open(DetailRig& r, FamilyDescription description = PlainFamily(), int record = 3,
                 const std::function<void(FakeFamily&)>& rules = {}) {
    r.Place("350", record, "0420");
    for (const auto& [m, v] : std::vector<std::pair<const char*, const char*>>{
             {"LVL", "=12.5"}, {"TST", "=PASS"}, {"CFG", "=12.5L"}, {"MOD", "="}})
        r.unit->setAnswer(m, v);
    return r.Create<FakeFamily>("0999000000", std::move(description), rules);
}

// The configuration read and idle, from the status loop.
void ReadConfig(DetailRig& r) {
    ASSERT_TRUE(r.Idle("BtnConfig"));
    ASSERT_TRUE(r.w->click("BtnConfig"));
    ASSERT_TRUE(r.UntilSent("CFG?"));
    ASSERT_TRUE(r.Settle());
}

constexpr const char* kTimedOut = "Communications were timed out, check system set-up";

} // namespace

// ---- the exchange and the tick --------------------------------------------------------

TEST(DetailFramework, AButtonTakesEffectOnlyOnceTheAwaitedReplyOrItsTimeOutIsIn) {
    DetailRig r;
    Open(r);
    ASSERT_TRUE(r.UntilSent("<0420/TST?")); // the level has switched the buttons on
    r.unit->setAnswer("LVL", "=13.0");
    r.Once(sim::Injection::late(400), "LVL");
    ASSERT_TRUE(r.UntilSent("<0420/LVL?"));
    size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnConfig"));
    r.Tick();
    EXPECT_TRUE(r.at("WaitText").visible());
    EXPECT_TRUE(r.at("WaitMs").visible());
    EXPECT_EQ(r.Text("WaitMs"), "1950 msec");
    r.Tick();
    EXPECT_EQ(r.Text("WaitMs"), "1900 msec");
    ASSERT_TRUE(r.Until([&] { return r.Text("StaLVL") == "13.0"; }));
    EXPECT_EQ(r.w->CurrentMode(), Phases::Status2);
    EXPECT_EQ(r.SentSince(mark), Lines{});
    r.Tick(2);
    EXPECT_FALSE(r.at("WaitText").visible());
    EXPECT_FALSE(r.at("WaitMs").visible());
    EXPECT_EQ(r.SentSince(mark), Lines{"<0420/CFG?"}); // not the self test that was due

    // No answer at all: the button waits for the time-out (three seconds for "TST").
    DetailRig t;
    Open(t);
    ASSERT_TRUE(t.UntilSent("<0420/LVL?"));
    t.Once(sim::Injection::silence(), "TST");
    ASSERT_TRUE(t.UntilSent("<0420/TST?"));
    mark = t.port.sent.size();
    ASSERT_TRUE(t.w->click("BtnConfig"));
    t.Tick();
    EXPECT_EQ(t.Text("WaitMs"), "2950 msec");
    ASSERT_TRUE(t.Until([&] { return t.Text("Notice") == kTimedOut; }));
    EXPECT_EQ(t.Text("StaTST"), "TNo comms");
    EXPECT_EQ(t.SentSince(mark), Lines{});
    ASSERT_TRUE(t.UntilSent("<0420/CFG?", 3));
    EXPECT_EQ(t.SentSince(mark), Lines{"<0420/CFG?"});
}

TEST(DetailFramework, AReplyFromAnotherAddressOrForAnotherCommandIsNotTheAnswer) {
    for (const sim::Injection& wrong :
         {sim::Injection::wrongAddress(), sim::Injection::wrongMnemonic()}) {
        SCOPED_TRACE(wrong.kind == sim::Injection::Kind::WrongAddress ? "address" : "command");
        DetailRig r;
        Open(r);
        r.Once(wrong, "LVL");
        ASSERT_TRUE(r.UntilSent("<0420/LVL?"));
        r.Tick(39);
        EXPECT_FALSE(r.port.ReceivedMessage().empty()); // on hand, and not taken
        EXPECT_EQ(r.port.sent.size(), 1u);
        EXPECT_EQ(r.Text("StaLVL"), "");
        EXPECT_EQ(r.Text("Notice"), "");
        r.Tick(); // two seconds
        EXPECT_EQ(r.Text("StaLVL"), "TNo comms");
        EXPECT_EQ(r.Text("Notice"), kTimedOut);
        EXPECT_EQ(r.at("Notice").textColour(), Colours::red);
        EXPECT_TRUE(r.UntilSent("<0420/TST?", 3));
    }
}

TEST(DetailFramework, AReplyIsFollowedByTheEndsDelayOfAtLeastFiftyMs) {
    struct Case {
        const char* delay;
        int delayLeft;
        int pauseTicks; // between the tick that takes the reply and the next request
    };
    for (const Case c : {Case{"75", 75, 2}, Case{"100", 100, 2}, Case{"0", 50, 1}}) {
        SCOPED_TRACE(c.delay);
        DetailRig r;
        Open(r);
        r.setup.rec(3).DelayText = c.delay;
        ASSERT_TRUE(r.UntilSent("<0420/LVL?"));
        ASSERT_TRUE(r.Until([&] { return !r.tx.AwaitingReply; }));
        EXPECT_EQ(r.tx.DelayLeft, c.delayLeft);
        r.Tick(c.pauseTicks - 1);
        EXPECT_EQ(r.port.sent.size(), 1u);
        r.Tick();
        EXPECT_EQ(r.port.sent.back(), "<0420/TST?");
    }
}

TEST(DetailFramework, TheSelfTestGetsAtLeastThreeSecondsToAnswer) {
    DetailRig r;
    Open(r);
    r.setup.rec(3).TimeoutText = "1";
    r.w->click("BtnCapture");
    r.Once(sim::Injection::silence(), "LVL");
    r.Once(sim::Injection::silence(), "TST");
    ASSERT_TRUE(r.UntilSent("<0420/LVL?"));
    int sent = r.ticks;
    ASSERT_TRUE(r.Until([&] { return r.Text("StaLVL") == "TNo comms"; }));
    EXPECT_EQ(r.ticks - sent, 20);
    ASSERT_TRUE(r.UntilSent("<0420/TST?"));
    sent = r.ticks;
    EXPECT_EQ(r.tx.TimeoutLeft, 3000);
    ASSERT_TRUE(r.Until([&] { return r.Text("StaTST") == "TNo comms"; }));
    EXPECT_EQ(r.ticks - sent, 60);
    // The capture file tells how long each wait was.
    const std::string capture = r.dir.read(CaptureFileName);
    EXPECT_NE(capture.find("[timed out] at 1 sec"), std::string::npos) << capture;
    EXPECT_NE(capture.find("[timed out] at 3 sec"), std::string::npos) << capture;
    // A longer time-out of the end stands.
    r.setup.rec(3).TimeoutText = "5";
    ASSERT_TRUE(r.UntilSent("<0420/TST?"));
    EXPECT_EQ(r.tx.TimeoutLeft, 5000);
}

TEST(DetailFramework, OnceAChangeIsAcceptedRepliesAreFollowedByNoPause) {
    DetailRig r;
    Open(r, PlainFamily(), 3, [](FakeFamily& f) { f.levelReread = Reread::At(1); });
    r.setup.rec(3).DelayText = "150";
    ReadConfig(r);
    // Reading the configuration: the end's pause after the change's reply.
    r.Edit("ConfLVL", "15");
    ASSERT_EQ(r.port.sent.back(), "<0420/LVL=15.0");
    ASSERT_TRUE(r.Until([&] { return !r.tx.AwaitingReply; }));
    EXPECT_EQ(r.tx.DelayLeft, 150);
    int replied = r.ticks;
    ASSERT_TRUE(r.UntilSent("<0420/CFG?"));
    EXPECT_EQ(r.ticks - replied, 3);
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.w->CurrentMode(), Phases::Config);

    // An accepted drop-down change: "SETCONFIG", where replies take no pause.
    ASSERT_TRUE(r.w->choose("ConfMOD", 2));
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.w->CurrentMode(), Phases::SetConfig);
    r.Edit("ConfLVL", "16");
    ASSERT_EQ(r.port.sent.back(), "<0420/LVL=16.0");
    ASSERT_TRUE(r.Until([&] { return !r.tx.AwaitingReply; }));
    EXPECT_EQ(r.tx.DelayLeft, 0);
    replied = r.ticks;
    ASSERT_TRUE(r.UntilSent("<0420/CFG?"));
    EXPECT_EQ(r.ticks - replied, 1);
}

TEST(DetailFramework, AWindowIdleForWeeksShowsNoWaitAndStillTimesOut) {
    DetailRig r;
    Open(r);
    ReadConfig(r);
    // About 25 days at the idle configuration panel.
    r.tx.TimeoutLeft = std::numeric_limits<int>::min() + 20;
    r.Tick(3);
    EXPECT_LE(r.tx.TimeoutLeft, 0);
    ASSERT_TRUE(r.w->click("BtnStatus"));
    r.Once(sim::Injection::silence(), "LVL");
    ASSERT_TRUE(r.UntilSent("<0420/LVL?"));
    EXPECT_EQ(r.tx.TimeoutLeft, 2000);
    ASSERT_TRUE(r.Until([&] { return r.Text("StaLVL") == "TNo comms"; }, 41));
}

TEST(DetailFramework, ClosingWhileAReplyIsAwaited) {
    // By the window's frame: at once, and nothing more goes out.
    DetailRig r;
    Open(r);
    r.Once(sim::Injection::silence(), "LVL");
    ASSERT_TRUE(r.UntilSent("<0420/LVL?"));
    EXPECT_TRUE(r.w->requestClose());
    EXPECT_TRUE(r.w->Closed());
    r.Tick(80);
    EXPECT_EQ(r.port.sent.size(), 1u);

    // "&Close" is a button like the others: the reply is taken first, then the window
    // closes and sends nothing more.
    DetailRig c;
    Open(c);
    c.Once(sim::Injection::late(200), "LVL");
    ASSERT_TRUE(c.UntilSent("<0420/LVL?"));
    ASSERT_TRUE(c.w->click("BtnClose"));
    c.Tick();
    EXPECT_FALSE(c.w->Closed());
    EXPECT_TRUE(c.at("WaitText").visible());
    ASSERT_TRUE(c.Until([&] { return c.w->Closed(); }));
    EXPECT_EQ(c.Text("StaLVL"), "12.5");
    c.Tick(80);
    EXPECT_EQ(c.port.sent.size(), 1u);
}

TEST(DetailFramework, AnEndTimeOutThatIsNotANumberIsReportedOnceAndTwoSecondsStand) {
    DetailRig t;
    Open(t);
    t.setup.rec(3).TimeoutText = "two";
    t.Once(sim::Injection::silence(), "LVL");
    ASSERT_TRUE(t.UntilSent("<0420/LVL?"));
    const int sent = t.ticks;
    ASSERT_TRUE(t.Until([&] { return t.Text("StaLVL") == "TNo comms"; }));
    EXPECT_EQ(t.ticks - sent, 40);
    ASSERT_TRUE(t.Until([&] { return t.port.sent.size() >= 6; }));
    ASSERT_EQ(t.op.reports.size(), 1u);
    EXPECT_NE(t.op.reports[0].find("'two'"), std::string::npos);
    EXPECT_NE(t.op.reports[0].find("Modem 1, Local end, link: MADRID-2"), std::string::npos);
}

// ---- what the family says -------------------------------------------------------------

TEST(DetailFramework, TheReplyDialectIsTheFamilys) {
    // "+" after a change: accepted only by a family that has the class.
    for (const bool plus : {false, true}) {
        SCOPED_TRACE(plus ? "with +" : "without +");
        FamilyDescription f = PlainFamily();
        f.replies.plusClass = plus;
        DetailRig r;
        Open(r, f);
        ReadConfig(r);
        r.unit->setAnswer("LVL", "+");
        const size_t mark = r.port.sent.size();
        r.Edit("ConfLVL", "15");
        ASSERT_TRUE(r.Until([&] { return !r.tx.AwaitingReply; }));
        EXPECT_EQ(r.Text("Notice"), plus ? "" : "Command was not accepted. Re-reading unit...");
        ASSERT_TRUE(r.Settle());
        const Lines sent = plus ? Lines{"<0420/LVL=15.0"} : Lines{"<0420/LVL=15.0", "<0420/CFG?"};
        EXPECT_EQ(r.SentSince(mark), sent);
        EXPECT_EQ(r.Text("ConfLVL"), plus ? " 15.0" : " 12.5");
        EXPECT_EQ(r.w->CurrentMode(), plus ? Phases::SetConfig : Phases::Config);
    }

    // "~": the family's text, or the reply as it came.
    struct Tilde {
        const char* text;
        const char* shown;
    };
    for (const Tilde c : {Tilde{"TOblix timeout", "TOblix timeout"},
                          Tilde{"TOBLIX timeout", "TOBLIX timeout"}, Tilde{"", "~"}}) {
        SCOPED_TRACE(c.text);
        FamilyDescription f = PlainFamily();
        f.replies.tildeText = c.text;
        DetailRig r;
        Open(r, f);
        r.Once(sim::Injection::refuse('~'), "LVL");
        ASSERT_TRUE(r.Until([&] { return !r.Text("StaLVL").empty(); }));
        EXPECT_EQ(r.Text("StaLVL"), c.shown);
        if (*c.text) {
            EXPECT_EQ(r.at("StaLVL").background(), Colours::blue);
        }
    }

    // A family whose steps tell of a time-out themselves: no notice from the exchange.
    FamilyDescription quiet = PlainFamily();
    quiet.replies.timeoutNotice.clear();
    DetailRig q;
    Open(q, quiet);
    q.Once(sim::Injection::silence(), "LVL");
    ASSERT_TRUE(q.Until([&] { return q.Text("StaLVL") == "TNo comms"; }));
    EXPECT_EQ(q.Text("Notice"), "");
}

TEST(DetailFramework, StepSteeringButtonsAskForAStepTakenBetweenExchanges) {
    FamilyDescription f = PlainFamily();
    f.steering = Steering::Steps;
    f.statusStep = 1;
    f.configStep = FakeFamily::kConfigStep;
    DetailRig r;
    Open(r, f);
    ASSERT_TRUE(r.UntilSent("<0420/TST?"));
    r.Once(sim::Injection::late(300), "LVL");
    ASSERT_TRUE(r.UntilSent("<0420/LVL?"));
    const int awaiting = r.w->StepNo;
    size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnConfig"));
    r.Tick(3);
    EXPECT_EQ(r.w->StepNo, awaiting);
    EXPECT_TRUE(r.at("WaitText").visible());
    EXPECT_EQ(r.Text("WaitMs"), "1850 msec");
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.SentSince(mark), Lines{"<0420/CFG?"});
    EXPECT_EQ(r.Text("ConfLVL"), " 12.5");
    EXPECT_EQ(r.at("ConfMOD").selectedText(), " Low");
    // No reply awaited: the next tick takes the step.
    mark = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnStatus"));
    r.Tick();
    EXPECT_EQ(r.SentSince(mark), Lines{"<0420/LVL?"});
}

TEST(DetailFramework, AStepSteeredWindowTakesTheReplyToAChangeAndPausesAfterARefusal) {
    FamilyDescription f = PlainFamily();
    f.steering = Steering::Steps;
    f.configStep = FakeFamily::kConfigStep;
    f.rejection.pauseTicks = 14;
    DetailRig r;
    Open(r, f, 3, [](FakeFamily& w) { w.levelReread = Reread::At(FakeFamily::kConfigStep); });
    ASSERT_TRUE(r.UntilSent("<0420/TST?"));
    r.Tick(3);
    ASSERT_TRUE(r.w->click("BtnConfig"));
    ASSERT_TRUE(r.Settle());
    // Accepted: the box's re-read step reads the configuration again.
    size_t mark = r.port.sent.size();
    r.Edit("ConfLVL", "15");
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.SentSince(mark), (Lines{"<0420/LVL=15.0", "<0420/CFG?"}));
    // Refused: the family's pause, then its full read.
    r.unit->setAnswer("LVL", "*");
    mark = r.port.sent.size();
    r.Edit("ConfLVL", "16");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::PauseFirst; }));
    const int refused = r.ticks;
    ASSERT_TRUE(r.UntilSent("<0420/CFG?"));
    EXPECT_GE(r.ticks - refused, 14);
    EXPECT_EQ(r.SentSince(mark), (Lines{"<0420/LVL=16.0", "<0420/CFG?"}));
}

TEST(DetailFramework, AnEntryOutsideTheRangeIsClampedOrRoundedAsItsBoxSays) {
    DetailRig c;
    Open(c, PlainFamily(), 3, [](FakeFamily& f) { f.levelCheck = Validation::Clamp; });
    ReadConfig(c);
    c.Edit("ConfLVL", "25");
    EXPECT_EQ(c.port.sent.back(), "<0420/LVL=20.0");
    EXPECT_EQ(c.Text("ConfLVL"), " 20.0");
    EXPECT_EQ(c.Text("Notice"), "Note: level corrected to the nearest limit");
    EXPECT_NE(c.at("ConfLVLCap").textColour(), Colours::red);
    ASSERT_TRUE(c.Settle());
    c.Edit("ConfLVL", "-3");
    EXPECT_EQ(c.port.sent.back(), "<0420/LVL=00.0");

    DetailRig r;
    Open(r, PlainFamily(), 3, [](FakeFamily& f) { f.levelCheck = Validation::Round; });
    ReadConfig(r);
    r.Edit("ConfLVL", "12.3");
    EXPECT_EQ(r.port.sent.back(), "<0420/LVL=12.5");
    ASSERT_TRUE(r.Settle());
    r.Edit("ConfLVL", "3.7");
    EXPECT_EQ(r.port.sent.back(), "<0420/LVL=03.5");
    EXPECT_EQ(r.Text("ConfLVL"), " 3.5");
    ASSERT_TRUE(r.Settle());
    // Rounded and still outside: refused, the entry stays for correction.
    const size_t mark = r.port.sent.size();
    r.Edit("ConfLVL", "20.4");
    EXPECT_EQ(r.SentSince(mark), Lines{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad level. Please correct it");
    EXPECT_EQ(r.Text("ConfLVL"), "20.4");
}

TEST(DetailFramework, ADropDownWithCodesSendsTheCodeAndShowsAnUnlistedOneAsItsEntry) {
    DetailRig r;
    Open(r);
    r.unit->setAnswer("CFG", "=12.5H");
    ReadConfig(r);
    EXPECT_EQ(r.at("ConfMOD").selectedText(), " High");
    ASSERT_TRUE(r.w->choose("ConfMOD", 1));
    EXPECT_EQ(r.port.sent.back(), "<0420/MOD=L");
    ASSERT_TRUE(r.Settle());
    ASSERT_TRUE(r.w->choose("ConfMOD", 0));
    EXPECT_EQ(r.port.sent.back(), "<0420/MOD=0");
    ASSERT_TRUE(r.Settle());

    r.unit->setAnswer("CFG", "=12.5Z");
    ASSERT_TRUE(r.w->click("BtnConfig"));
    ASSERT_TRUE(r.UntilSent("<0420/CFG?"));
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.at("ConfMOD").selected(), 0);
    EXPECT_EQ(r.w->HeldIndex("ConfMOD"), 0);
}

TEST(DetailFramework, ARowNamingWhatTheScreenLacksFailsTheBuildAsTheStationsOwnError) {
    const auto levelMode = [](std::vector<std::string> parts, std::vector<std::string> confirm) {
        return [=](FakeFamily& f) { f.composites = {{"LMO", parts, confirm}}; };
    };
    const struct {
        std::function<void(FakeFamily&)> rules;
        const char* report;
    } cases[] = {
        {[](FakeFamily& f) { f.levelGroup = "GrpSetting"; },
         "No control named GrpSetting (group of ConfLVL) on DetailFake"},
        {[](FakeFamily& f) { f.levelName = "StaLVL"; },
         "Control StaLVL declared twice or unnamed on DetailFake"},
        {levelMode({"ConfLVL", "ConfMDO"}, {}), "No box named ConfMDO (part of LMO) on DetailFake"},
        {levelMode({"ConfLVL", "',", "ConfMOD"}, {"Level and mode to", "$ConfLVL", "#ConfMD"}),
         "No part named ConfMD (confirmation of LMO) on DetailFake"},
    };
    for (const auto& c : cases) {
        DetailRig r;
        Open(r, PlainFamily(), 3, c.rules);
        EXPECT_EQ(r.op.reports, Lines{c.report});
        EXPECT_TRUE(r.w->Closed());
        r.Tick(20);
        EXPECT_TRUE(r.port.sent.empty());
    }
    // Named right, the command of two boxes builds and the window reads its unit.
    DetailRig r;
    Open(r, PlainFamily(), 3, levelMode({"ConfLVL", "',", "ConfMOD"}, {"$ConfLVL", "#ConfMOD"}));
    EXPECT_TRUE(r.op.reports.empty());
    EXPECT_TRUE(r.UntilSent("<0420/LVL?"));
}
