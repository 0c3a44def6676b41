// The detail window's own rules, driven through a small made-up family.

#include "detail/DetailRig.h"

#include "logging/Capture.h"
#include "wire/TextFormats.h"

#include <limits>

using namespace linvar;

// Rows name only the fields they set, as the families' tables do.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

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
            .confirmation = Confirmation::DistantOnly, .validation = levelCheck, .noteLow = note,
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

// The fake family at address 0420 (a family without logs, utilities or memories, in the
// modems' dialect) against a unit that answers every query of it; `family` changes the
// description, `rules` the level box.
struct FakeRig : DetailRig {
    explicit FakeRig(const std::function<void(FamilyDescription&)>& family = {},
                     const std::function<void(FakeFamily&)>& rules = {}) {
        Place("350", 3, "0420");
        for (const auto& [m, v] : {std::pair{"LVL", "=12.5"}, std::pair{"TST", "=PASS"},
                                   std::pair{"CFG", "=12.5L"}, std::pair{"MOD", "="}})
            unit->setAnswer(m, v);
        FamilyDescription f;
        f.panels = {.logs = false, .utilities = false, .buffer = false, .switchover = false};
        f.memory.present = false;
        if (family)
            family(f);
        Create<FakeFamily>("0999000000", f, rules);
    }
    // The configuration read and idle, from the status loop.
    void ToConfig() {
        ASSERT_TRUE(Idle("BtnConfig") && w->click("BtnConfig") && UntilSent("CFG?") && Settle());
    }
    // The request goes out with `i` to come of it; returns the mark after it.
    size_t Await(sim::Injection i, const char* mnemonic) {
        Once(i, mnemonic);
        EXPECT_TRUE(UntilSent(std::string(mnemonic) + "?"));
        return port.sent.size();
    }
    std::string Wait() const { return Flags(&Control::visible, {"WaitText"}) + Text("WaitMs"); }
};

void Steps(FamilyDescription& f) {
    f.steering = Steering::Steps;
    f.statusStep = 1;
    f.configStep = FakeFamily::kConfigStep;
}

constexpr const char* kTimedOut = "Communications were timed out, check system set-up";

} // namespace

// ---- the exchange and the tick --------------------------------------------------------

TEST(DetailFramework, AButtonTakesEffectOnlyOnceTheAwaitedReplyOrItsTimeOutIsIn) {
    FakeRig r;
    ASSERT_TRUE(r.UntilSent("<0420/TST?")); // the level has switched the buttons on
    r.unit->setAnswer("LVL", "=13.0");
    size_t mark = r.Await(sim::Injection::late(400), "LVL");
    ASSERT_TRUE(r.w->click("BtnConfig"));
    r.Tick(2);
    EXPECT_EQ(r.Wait(), "11900 msec");
    ASSERT_TRUE(r.UntilText("StaLVL", "13.0"));
    EXPECT_EQ(r.SentSince(mark), Lines{});
    r.Tick(2);
    EXPECT_EQ(r.Flags(&Control::visible, {"WaitText", "WaitMs"}), "00");
    EXPECT_EQ(r.SentSince(mark), Lines{"<0420/CFG?"}); // not the self test that was due

    // No answer at all: the button waits for the time-out (three seconds for "TST").
    FakeRig t;
    ASSERT_TRUE(t.UntilSent("<0420/LVL?"));
    mark = t.Await(sim::Injection::silence(), "TST");
    ASSERT_TRUE(t.w->click("BtnConfig"));
    t.Tick();
    EXPECT_EQ(t.Text("WaitMs"), "2950 msec");
    ASSERT_TRUE(t.UntilText("Notice", kTimedOut));
    EXPECT_EQ(t.Text("StaTST"), "TNo comms");
    ASSERT_TRUE(t.UntilSent("<0420/CFG?", 3));
    EXPECT_EQ(t.SentSince(mark), Lines{"<0420/CFG?"});

    // Steered by steps: the button asks for a step, taken once the reply is in.
    FakeRig s(Steps);
    ASSERT_TRUE(s.UntilSent("<0420/TST?"));
    mark = s.Await(sim::Injection::late(300), "LVL");
    ASSERT_TRUE(s.w->click("BtnConfig"));
    s.Tick(3);
    EXPECT_EQ(s.Wait(), "11850 msec");
    ASSERT_TRUE(s.Settle());
    EXPECT_EQ(s.SentSince(mark), Lines{"<0420/CFG?"});
    // No reply awaited: the next tick takes the step.
    ASSERT_TRUE(s.w->click("BtnStatus"));
    s.Tick();
    EXPECT_EQ(s.port.sent.back(), "<0420/LVL?");
}

// Closed by the window's frame while a reply is awaited: at once, and nothing more goes out.
TEST(DetailFramework, ClosingByTheFrameWhileAReplyIsAwaited) {
    FakeRig r;
    r.Await(sim::Injection::silence(), "LVL");
    EXPECT_TRUE(r.w->requestClose());
    EXPECT_TRUE(r.w->Closed());
    r.Tick(80);
    EXPECT_EQ(r.port.sent.size(), 1u);
}

TEST(DetailFramework, AReplyIsFollowedByTheEndsDelayOfAtLeastFiftyMs) {
    // The end's delay, what is left of it once the reply is in, and the ticks from then to
    // the next request.
    for (const auto& [delay, left, pause] :
         {std::tuple{"75", 75, 2}, std::tuple{"100", 100, 2}, std::tuple{"0", 50, 1}}) {
        FakeRig r;
        r.setup.rec(3).DelayText = delay;
        ASSERT_TRUE(r.UntilSent("<0420/LVL?") && r.Until([&] { return !r.tx.AwaitingReply; }));
        EXPECT_EQ(r.tx.DelayLeft, left);
        r.Tick(pause - 1);
        EXPECT_EQ(r.port.sent.size(), 1u) << delay;
        r.Tick();
        EXPECT_EQ(r.port.sent.back(), "<0420/TST?") << delay;
    }
}

// The self test gets at least three seconds; a time-out of the end that is not a number
// is reported once and two seconds stand. The capture file tells how long each wait was.
TEST(DetailFramework, TheTimeOutIsTheEndsWithThreeSecondsForTheSelfTest) {
    const char* report = "'two' is not a valid integer value (time-out of Modem 1, Local end, "
                         "link: MADRID-2)";
    const struct {
        const char *timeout, *silent;
        int ticks;
        Lines reports;
    } cases[] = {{"1", "LVL", 20, {}},
                 {"1", "TST", 60, {}},
                 {"5", "TST", 100, {}},
                 {"two", "LVL", 40, {report}}};
    for (const auto& c : cases) {
        FakeRig r;
        r.setup.rec(3).TimeoutText = c.timeout;
        r.w->click("BtnCapture");
        if (std::string(c.silent) == "TST") {
            ASSERT_TRUE(r.UntilSent("<0420/LVL?"));
        }
        r.Await(sim::Injection::silence(), c.silent);
        const int sent = r.ticks;
        ASSERT_TRUE(r.UntilText(std::string("Sta") + c.silent, "TNo comms"));
        EXPECT_EQ(r.ticks - sent, c.ticks) << c.timeout << c.silent;
        const std::string waited = "[timed out] at " + std::to_string(c.ticks / 20) + " sec";
        EXPECT_NE(r.dir.read(CaptureFileName).find(waited), std::string::npos) << waited;
        ASSERT_TRUE(r.Until([&] { return r.port.sent.size() >= 6; }));
        EXPECT_EQ(r.op.reports, c.reports);
    }
}

TEST(DetailFramework, OnceAChangeIsAcceptedRepliesAreFollowedByNoPause) {
    FakeRig r({}, [](FakeFamily& f) { f.levelReread = Reread::At(1); });
    r.setup.rec(3).DelayText = "150";
    r.ToConfig();
    // Reading the configuration: the end's pause after the change's reply; an accepted
    // drop-down change then gives "SETCONFIG", where replies take no pause.
    for (const auto& [level, pause, mode] :
         {std::tuple{"15", 3, Phases::Config}, std::tuple{"16", 1, Phases::SetConfig}}) {
        r.Edit("ConfLVL", level);
        ASSERT_TRUE(r.Until([&] { return !r.tx.AwaitingReply; }));
        const int replied = r.ticks;
        ASSERT_TRUE(r.UntilSent("<0420/CFG?"));
        EXPECT_EQ(r.ticks - replied, pause);
        ASSERT_TRUE(r.Settle());
        EXPECT_EQ(r.w->CurrentMode(), mode);
        ASSERT_TRUE(r.w->choose("ConfMOD", 2) && r.Settle());
        EXPECT_EQ(r.w->CurrentMode(), Phases::SetConfig);
    }
}

TEST(DetailFramework, AWindowIdleForWeeksShowsNoWaitAndStillTimesOut) {
    FakeRig r;
    r.ToConfig();
    // About 25 days at the idle configuration panel.
    r.tx.TimeoutLeft = std::numeric_limits<int>::min() + 20;
    r.Tick(3);
    EXPECT_LE(r.tx.TimeoutLeft, 0);
    ASSERT_TRUE(r.w->click("BtnStatus"));
    r.Await(sim::Injection::silence(), "LVL");
    EXPECT_EQ(r.tx.TimeoutLeft, 2000);
    ASSERT_TRUE(r.UntilText("StaLVL", "TNo comms", 41));
}

// ---- what the family says -------------------------------------------------------------

TEST(DetailFramework, TheReplyDialectIsTheFamilys) {
    // "+" after a change: accepted only by a family that has the class.
    for (const bool plus : {false, true}) {
        FakeRig r([&](FamilyDescription& f) { f.replies.plusClass = plus; });
        r.ToConfig();
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
    for (const auto& [text, shown, colour] :
         {std::tuple{"TOblix timeout", "TOblix timeout", "blue"},
          std::tuple{"TOBLIX timeout", "TOBLIX timeout", "blue"}, std::tuple{"", "~", ""}}) {
        FakeRig r([t = text](FamilyDescription& f) { f.replies.tildeText = t; });
        r.Await(sim::Injection::refuse('~'), "LVL");
        ASSERT_TRUE(r.Until([&] { return !r.Text("StaLVL").empty(); }));
        r.Shows({{"StaLVL", shown, *colour ? colour : nullptr}});
    }
    // A family whose steps tell of a time-out themselves: no notice from the exchange.
    FakeRig q([](FamilyDescription& f) { f.replies.timeoutNotice.clear(); });
    q.Await(sim::Injection::silence(), "LVL");
    ASSERT_TRUE(q.UntilText("StaLVL", "TNo comms"));
    EXPECT_EQ(q.Text("Notice"), "");
}

TEST(DetailFramework, AnEntryOutsideTheRangeIsClampedOrRoundedAsItsBoxSays) {
    const std::string note = "Note: level corrected to the nearest limit";
    const struct {
        Validation check;
        const char* entry;
        Lines sent;
        const char *shown, *notice;
    } cases[] = {
        {Validation::Clamp, "25", {"LVL=20.0"}, " 20.0", note.c_str()},
        {Validation::Clamp, "-3", {"LVL=00.0"}, " 0.0", note.c_str()},
        {Validation::Round, "12.3", {"LVL=12.5"}, " 12.5", ""},
        {Validation::Round, "3.7", {"LVL=03.5"}, " 3.5", ""},
        // Rounded and still outside: refused, the entry stays for correction.
        {Validation::Round, "20.4", {}, "20.4", "ERROR: Bad level. Please correct it"},
    };
    for (const auto& c : cases) {
        FakeRig r({}, [&](FakeFamily& f) { f.levelCheck = c.check; });
        r.ToConfig();
        const size_t mark = r.port.sent.size();
        r.Edit("ConfLVL", c.entry);
        EXPECT_EQ(r.Commands(mark), c.sent) << c.entry;
        r.Shows(std::string("ConfLVL=") + c.shown + "|Notice=" + c.notice);
        EXPECT_NE(r.at("ConfLVLCap").textColour(), Colours::red) << c.entry;
    }
}

TEST(DetailFramework, ARowNamingWhatTheScreenLacksFailsTheBuildAsTheStationsOwnError) {
    const auto levelMode = [](std::vector<std::string> parts, std::vector<std::string> confirm) {
        return [=](FakeFamily& f) { f.composites = {{"LMO", parts, confirm}}; };
    };
    const struct {
        std::function<void(FakeFamily&)> rules;
        Lines reports;
    } cases[] = {
        {[](FakeFamily& f) { f.levelGroup = "GrpSetting"; },
         {"No control named GrpSetting (group of ConfLVL) on DetailFake"}},
        {[](FakeFamily& f) { f.levelName = "StaLVL"; },
         {"Control StaLVL declared twice or unnamed on DetailFake"}},
        {levelMode({"ConfLVL", "ConfMDO"}, {}),
         {"No box named ConfMDO (part of LMO) on DetailFake"}},
        {levelMode({"ConfLVL", "',", "ConfMOD"}, {"Level and mode to", "$ConfLVL", "#ConfMD"}),
         {"No part named ConfMD (confirmation of LMO) on DetailFake"}},
        // Named right, the command of two boxes builds and the window reads its unit.
        {levelMode({"ConfLVL", "',", "ConfMOD"}, {"$ConfLVL", "#ConfMOD"}), {}},
    };
    for (const auto& c : cases) {
        FakeRig r({}, c.rules);
        EXPECT_EQ(r.op.reports, c.reports);
        EXPECT_EQ(r.w->Closed(), !c.reports.empty());
        r.Tick(20);
        EXPECT_EQ(r.port.sent.empty(), !c.reports.empty());
    }
}
