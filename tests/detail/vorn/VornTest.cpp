// The VORN/YRAN window against the simulated transceiver: the reading sequence, what each
// status reply shows, the value checks, the enabling rules, the change cycle, the stored
// events and the utilities.

#include "Vorn.h"
#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"

#include "detail/vorn/VornWindow.h"

using namespace linvar;

namespace {

using Rig = DetailRig;
using V = sim::VornBehaviour;

// A VORN at the LOCAL end of link 2, or its DISTANT end; `prepare` before it opens.
void OpenVorn(Rig& r, int record = 3, bool pair = false,
              const std::function<void(Rig&)>& prepare = {}) {
    r.Place("VORN", record, "0211", pair);
    if (prepare)
        prepare(r);
    r.name =
        std::string(record % 2 ? "Transceiver 1, Local" : "Transceiver 1, Distant") + ",  VORN";
    r.Create<VornWindow>();
}

} // namespace

TEST(DetailVorn, ReadsEverythingOnceThenLoopsOnTheStatusUntilTheLimitsAreKnown) {
    Rig r;
    OpenVorn(r);
    EXPECT_FALSE(r.at("BtnConfig").enabled());
    ASSERT_TRUE(r.Ready());
    EXPECT_EQ(r.Commands(), (Lines{"RET?", "CID?",   "RSN?", "USM?", "DSM?",   "CUS?", "CLS?",
                                   "CCS?", "CAS?",   "SFS?", "TNA?", "CMS?",   "UGO?", "DGO?",
                                   "XRF?", "FAC=E ", "UIF?", "DIF?", "FAC=D ", "MUT?"}));
    // Limits known: the loop is steps 8 to 14 alone.
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() >= mark + 10; }));
    EXPECT_EQ(r.Commands(mark), (Lines{"CCS?", "CAS?", "SFS?", "TNA?", "CMS?", "CCS?", "CAS?",
                                       "SFS?", "TNA?", "CMS?"}));
    EXPECT_EQ(r.w->caption(), "Detail of Transceiver 1, Local,  VORN, Link: MADRID-2");
    // "012.5" loses its leading 0.
    r.Shows("StaRET=VORN-C 10W XCVR       s/n VN00211731|RET=VORN-C 10W XCVR       s/n "
            "VN00211731|StaUFQ=5925.0 MHz|UFQ= 5925.0|StaUAT=10.25 dB|UAT= 10.25|StaREF= "
            "128|REF=128|USA= 0.5|UMU= Disabled|StaONL=On Line|StaTNA=3|StaMUT=Mute Mode is: "
            "Unmuted after frequency change|M24V= 24.1 V |MRfPower=12.5 dB");
    EXPECT_EQ(r.Paint({"StaUFQ", "StaAMP", "StaCLD", "StaSFS"}), "white lime green lime");
    // Not a pair: no redundancy box.
    EXPECT_EQ(r.Flags(&Control::visible, {"GrpRedundancy"}), "0");

    // "Read Status" from another panel starts again at step 8.
    ASSERT_TRUE(r.w->click("BtnConfig") && r.Settle() && r.w->click("BtnStatus"));
    r.Tick(2);
    EXPECT_EQ(r.port.sent.back(), "<0211/CCS?");
    EXPECT_EQ(r.Flags(&Control::visible, {"PanelStatus"}) +
                  r.Flags(&Control::enabled, {"BtnStatus"}),
              "10");
}

TEST(DetailVorn, AMissingConverterOrLnaSupplyTakesItsGroupsAway) {
    const Lines groups{"GrpUp", "GrpDown", "GrpLna", "GrpLnaCal", "GrpLnaConf"};
    const struct {
        std::function<void(Rig&)> prepare;
        const char* shown; // the groups above
        const char* na;    // the status boxes that say "NA"
    } cases[] = {
        {[](Rig& r) { r.Sim<V>().setUpConverter(false); }, "01111", "UFQ UAT USM USA UGO"},
        {[](Rig& r) { r.Sim<V>().setDownConverter(false); }, "10000", "DFQ DAT DSM DSA DGO"},
        // A unit without LNA supply refuses "CLS?": only the LNA groups go.
        {[](Rig& r) { r.Sim<V>().setLnaSupply(false); }, "11010", ""},
        // No answer to "CLS?" says nothing of the supply: the groups stay.
        {[](Rig& r) { r.Once(sim::Injection::silence(), "CLS"); }, "11111", ""},
    };
    for (const auto& c : cases) {
        Rig r;
        OpenVorn(r, 3, false, c.prepare);
        ASSERT_TRUE(r.Ready());
        EXPECT_EQ(r.Flags(&Control::visible, groups), c.shown);
        std::string na;
        for (const char* s : {"UFQ", "UAT", "USM", "USA", "UGO", "DFQ", "DAT", "DSM", "DSA", "DGO"})
            if (r.Text(std::string("Sta") + s) == "NA")
                na += (na.empty() ? "" : " ") + std::string(s);
        EXPECT_EQ(na, c.na) << c.shown;
    }
    Rig up;
    OpenVorn(up, 3, false, cases[0].prepare);
    ASSERT_TRUE(up.Ready());
    EXPECT_EQ(up.Paint({"StaUFQ", "StaUGO", "MRfPower"}), "gray gray gray");
}

TEST(DetailVorn, StatusRepliesShowTheirEdgeCases) {
    Rig r;
    OpenVorn(r, 3, true);
    for (const auto& [m, v] : {std::pair{"CLS", "=1990"}, std::pair{"TNA", "=86"},
                               std::pair{"CAS", "=01X200000010000000"},
                               std::pair{"RRS", "=TX SW=OK RX SW=FL 5V=5.1 12V=12.1"}})
        r.unit->setAnswer(m, v);
    r.Sim<V>().setRfPower("34.0+");
    ASSERT_TRUE(r.Ready() && r.UntilSent("<0211/CMS?"));
    r.Tick(4);
    EXPECT_EQ(r.at("LCW").selected(), 31);
    // The on-line unit of a pair reads the redundancy box; maintenance readings take their
    // alarm's colour.
    r.Shows("StaLCW=Disabled|StaTNA=86|LogCount=Number of unread Log events: 86|MRfPower=>34.0 "
            "dB|StaRedMo=Automatic mode|Mp5Vr=5.1 V|M12Vr=12.1 V");
    EXPECT_EQ(r.Paint({"StaLFL", "StaTNA", "CAS1", "CAS2", "CAS3", "CAS4"}),
              "green yellow lime red gray gray");
    EXPECT_EQ(r.Paint({"M20V", "M12V", "MRef", "StaTXsw", "StaRXsw", "MRfPower"}),
              "red gray red lime red white");
    EXPECT_TRUE(r.at("GrpRedundancy").visible());

    r.unit->setAnswer("CLS", "=1351");
    r.unit->setAnswer("TNA", "=85");
    r.Sim<V>().setRfPower("00.5-");
    r.w->click("BtnConfig"); // the re-read from step 1 takes the new LNA window
    r.Tick(2);
    ASSERT_TRUE(r.w->click("BtnConfig") && r.Settle());
    EXPECT_EQ(r.Text("StaLCW") + r.Selected("LCW"), "35 % 35 %");
    ASSERT_TRUE(r.w->click("BtnStatus") && r.UntilSent("<0211/CMS?"));
    r.Tick(4);
    EXPECT_EQ(r.Colour("StaTNA"), "white");
    EXPECT_EQ(r.Text("MRfPower"), "<00.5 dB"); // the leading-0 rule sees the "<"
}

TEST(DetailVorn, FrequencyAndAttenuationAreCorrectedOrRoundedBeforeTheyGo) {
    Rig r;
    OpenVorn(r);
    r.ReadConfig();
    EXPECT_EQ(r.Prompt("UFQ"),
              "Enter the UP Freq between 5850 and 6425 MHz, resolution 1 or 2.5MHz");
    const char *freqRounded = "Note: have rounded freq value to nearest permitted value",
               *freqLow = "Note: have corrected freq value to lowest permitted value",
               *freqTop = "Note: have corrected freq value to top permitted value",
               *attRounded = "Note: have rounded atten value to nearest permitted value",
               *attTop = "Note: have corrected atten value to top permitted value",
               *refTop = "Note: have corrected Ref value to top permitted value",
               *refLow = "Note: have corrected Ref value to lowest permitted value";
    // The box, the entry, what goes out, the notice and what else shows.
    const struct {
        const char *box, *entry;
        Lines sent;
        const char *notice, *shows; // null: not looked at
    } cases[] = {
        {"UFQ", "5927.3", {"UFQ=5927.0", "CCS?"}, freqRounded, "StaUFQ=5927.0 MHz|UFQ= 5927.0"},
        {"UFQ", "5927.5", {"UFQ=5927.5", "CCS?"}, "", "StaUFQ=5927.5 MHz"},
        {"UFQ", "5800", {"UFQ=5850.0", "CCS?"}, freqLow, ""},
        {"DFQ", "4500", {"DFQ=4200.0", "CCS?"}, freqTop, ""},
        {"UAT", "12.30", {"UAT=12.25", "CCS?"}, attRounded, "StaUAT=12.25 dB"},
        {"DAT", "99", {"DAT=20.00", "CCS?"}, attTop, ""},
        // The same number sends nothing; a text that is no number is refused.
        {"DAT", "20", {}, nullptr, ""},
        {"UAT", "twelve", {}, "ERROR: Bad attenuation value. Please correct it", ""},
        {"REF", "256", {"REF=255", "CUS?"}, refTop, ""},
        {"REF", "-4", {"REF=000", "CUS?"}, refLow, "StaREF= 0"},
        {"REF", "12.7", {"REF=012", "CUS?"}, "", "StaREF= 12"}, // the whole part
    };
    for (const auto& c : cases) {
        EXPECT_EQ(r.Sent([&] { r.Edit(c.box, c.entry); }), c.sent) << c.entry;
        if (c.notice) {
            EXPECT_EQ(r.Text("Notice"), c.notice) << c.entry;
        }
        if (*c.shows)
            r.Shows(c.shows);
    }
    // Configuration again while it is shown: read again from the identity.
    EXPECT_EQ(r.Sent([&] { r.w->click("BtnConfig"); }).front(), "RET?");
}

TEST(DetailVorn, WithoutFactoryAccessEntriesGoUncorrectedAndARefusalIsReReadAndCleared) {
    Rig r;
    OpenVorn(r, 3, false, [](Rig& r) { r.Sim<V>().setFactoryAccess(false); });
    ASSERT_TRUE(r.Ready());
    // Refused access skips the limit queries but still gives the access back; the loop
    // keeps trying while the limits are unknown.
    ASSERT_TRUE(r.UntilSent("<0211/FAC=D "));
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("<0211/FAC=E "));
    EXPECT_EQ(r.Commands(mark).front(), "MUT?");

    ASSERT_TRUE(r.w->click("BtnConfig") && r.Settle());
    EXPECT_EQ(r.Prompt("UFQ"),
              "Enter the UP Freq (limits not read from the unit), resolution 1 or 2.5MHz");
    EXPECT_EQ(r.Sent([&] { r.Edit("UFQ", "6000.2"); }), (Lines{"UFQ=6000.0", "CCS?"}));
    // What the command cannot carry is refused, not sent malformed.
    for (const auto& [box, bad, what] : {std::tuple{"UFQ", "-5", "frequency"},
                                         {"UFQ", "-0.5", "frequency"},
                                         {"UFQ", "123456", "frequency"},
                                         {"UAT", "1234", "attenuation"}}) {
        EXPECT_EQ(r.Sent([&, b = box, v = bad] { r.Edit(b, v); }), Lines{}) << bad;
        EXPECT_EQ(r.Text("Notice"),
                  std::string("ERROR: Bad ") + what + " value. Please correct it");
    }
    // Beyond what the unit takes: it refuses, and the box is read back from step 8.
    EXPECT_EQ(r.Sent([&] { r.Edit("UAT", "30"); }), (Lines{"UAT=30.00", "CCS?"}));
    r.Shows("Instruction=Command was not accepted; parameter re-read from unit...|UAT= 10.25");
}

TEST(DetailVorn, TheOffLineUnitOfAPairIsLimitedAndADistantUnitKeepsItsDownMute) {
    Rig off;
    OpenVorn(off, 3, true, [](Rig& r) {
        r.unit->setOnline(false);
        r.partner->setOnline(true);
    });
    off.ReadConfig();
    const char* limited = "Only limited re-configuration is permitted on the off-line unit";
    EXPECT_EQ(off.Text("Instruction"), limited);
    EXPECT_EQ(off.Flags(&Control::readOnly, {"UFQ", "DFQ", "UAT", "DAT"}), "1111");
    for (const char* e : {"UFQCap", "DFQCap", "UATCap", "DATCap"})
        EXPECT_EQ(colourName(off.at(e).textColour()), "gray") << e;
    EXPECT_EQ(off.Flags(&Control::enabled,
                        {"AFR", "CLD", "UGO", "DGO", "XRF", "UMU", "DMU", "LCW", "MUT"}),
              "001111111");
    // The off-line unit does not ask the redundancy box; a read-only box gives no prompt.
    EXPECT_EQ(off.Flags(&Control::visible, {"StaRedMo"}) + off.Prompt("UFQ"),
              std::string("0") + limited);

    Rig distant;
    OpenVorn(distant, 4);
    distant.ReadConfig();
    EXPECT_EQ(distant.Text("Instruction"), "Click on a box to change the information");
    // Gain offsets belong to a pair; the slope is set by hand only in Manual.
    EXPECT_EQ(distant.Flags(&Control::enabled, {"DMU", "MUT", "UGO", "UMU", "USA"}), "00010");
    EXPECT_EQ(distant.at("USM").selectedText(), " Calibrated");
    // Settings without a confirmation text go at once, in capitals and padded.
    EXPECT_EQ(distant.Sent([&] { distant.Edit("CID", "north dish"); }),
              (Lines{"CID=NORTH DISH              ", "CID?"}));
}

TEST(DetailVorn, ADistantUnitIsNeverLeftMutedAfterAFrequencyChange) {
    const std::string unmuted = "Mute Mode is: Unmuted after frequency change";
    // Mode 1 at the DISTANT end: "MUT=0" goes out without a question.
    Rig r;
    OpenVorn(r, 4, false, [](Rig& r) { r.Sim<V>().setMuteMode(1); });
    ASSERT_TRUE(r.Ready());
    const Lines sent = r.Commands();
    const auto mut = std::find(sent.begin(), sent.end(), "MUT?");
    ASSERT_NE(mut, sent.end());
    EXPECT_EQ(*(mut + 1), "MUT=0");
    EXPECT_EQ(r.at("MUT").selected(), 0);
    EXPECT_EQ(r.Text("StaMUT"), unmuted);
    EXPECT_TRUE(r.op.questions.empty());

    // Mode 1 at the LOCAL end is shown and may be changed, without a question.
    Rig local;
    OpenVorn(local, 3, false, [](Rig& r) { r.Sim<V>().setMuteMode(1); });
    local.ReadConfig();
    EXPECT_EQ(local.Text("StaMUT"), "Mute Mode is: Muted after frequency change");
    EXPECT_EQ(local.Sent([&] { local.Choose("MUT", 0); }), (Lines{"MUT=0", "MUT?", "CCS?"}));
    // A lamp's setting recolours its lamp as it goes, and leaves the mute line alone.
    ASSERT_TRUE(local.Choose("AMP", 0));
    EXPECT_EQ(local.Colour("StaAMP"), "green");
    ASSERT_TRUE(local.Settle());
    EXPECT_EQ(local.Text("StaMUT"), unmuted);

    // A unit without a mute mode: the controls go, the buttons still come.
    Rig none;
    OpenVorn(none);
    none.unit->setAnswer("MUT", "?");
    ASSERT_TRUE(none.Ready());
    EXPECT_EQ(none.Flags(&Control::visible, {"MUT", "StaMUT"}), "00");

    // "MUT?" silent once on the first pass: the controls stay, the next pass asks again.
    Rig q;
    OpenVorn(q);
    q.Once(sim::Injection::silence(), "MUT");
    ASSERT_TRUE(q.Ready());
    EXPECT_EQ(q.Flags(&Control::visible, {"BtnLogs", "MUT"}) + q.Text("StaMUT"), "11" + unmuted);
    EXPECT_EQ(std::count(q.port.sent.begin(), q.port.sent.end(), "<0211/MUT?"), 2);

    // Configuration chosen while a later pass asks "MUT?" (the limits were refused once, so
    // the mute is read again): "MUT=0" goes out once the status loop is back.
    Rig c;
    OpenVorn(c, 4, false, [](Rig& r) { r.Sim<V>().setMuteMode(1); });
    c.Once(sim::Injection::refuse('*'), "FAC");
    ASSERT_TRUE(c.Ready());
    c.Sim<V>().setMuteMode(1);
    ASSERT_TRUE(c.UntilSent("<0211/MUT?") && c.w->click("BtnConfig") && c.Settle());
    EXPECT_TRUE(c.w->click("BtnStatus") && c.UntilSent("<0211/MUT=0"));

    // "MUT=0" silent at the DISTANT end: sent again until the unit is no longer muted.
    Rig d;
    OpenVorn(d, 4, false, [](Rig& r) { r.Sim<V>().setMuteMode(1); });
    ASSERT_TRUE(d.UntilSent("<0211/MUT?") && d.Until([&] { return !d.tx.AwaitingReply; }));
    d.Once(sim::Injection::silence(), "MUT");
    ASSERT_TRUE(d.Ready());
    EXPECT_EQ(std::count(d.port.sent.begin(), d.port.sent.end(), "<0211/MUT=0"), 2);
    EXPECT_EQ(d.Text("StaMUT"), unmuted);
}

TEST(DetailVorn, StoredEventsGoToANewAnAppendedOrAReplacedFile) {
    Rig r;
    OpenVorn(r);
    r.Sim<V>().setStoredEventCount(7, 0);
    ASSERT_TRUE(r.StartLog("events.txt") && r.LogRead());
    EXPECT_EQ(r.Text("LogTopLine"), "Event data stored in events.txt");
    const Lines lines = r.File("events.txt");
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "0211  06 Dec 2026  09:00:00  EVENT 001    ");
    EXPECT_EQ(r.Sim<V>().storedEvents(), 0u); // "CAA=" cleared the unit's store
    EXPECT_TRUE(r.UntilText("LogCount", "Number of unread stored events: 0"));
    EXPECT_EQ(r.at("LogCount").textColour(), Colours::blue);

    // A refused count is said in red.
    r.unit->setAnswer("TNA", "*");
    EXPECT_TRUE(r.Idle("BtnLogs") && r.w->click("BtnLogs"));
    EXPECT_TRUE(r.UntilText("LogCount", "Not permitted"));
    EXPECT_EQ(r.at("LogCount").textColour(), Colours::red);
    r.unit->setAnswer("TNA", "");

    // Appended without a blank line, or replaced.
    for (const auto& [count, mode, lines] :
         {std::tuple{2, "BtnAppend", 9u}, std::tuple{1, "BtnOverwrite", 1u}}) {
        r.Sim<V>().setStoredEventCount(count, 0);
        ASSERT_TRUE(r.StartLog("events.txt", mode) && r.LogRead());
        EXPECT_EQ(r.File("events.txt").size(), lines) << mode;
    }

    // No answer half way: what was read is stored, the rest stays in the unit.
    r.Sim<V>().setStoredEventCount(7, 0);
    ASSERT_TRUE(r.StartLog("cut.txt") && r.UntilSent("<0211/LNA?"));
    r.Once(sim::Injection::silence(), "LNA");
    ASSERT_TRUE(r.UntilText("LogProgress", "Log: No comms"));
    EXPECT_EQ(r.at("LogProgress").textColour(), Colours::red);
    EXPECT_EQ(r.File("cut.txt").size(), 5u);
    EXPECT_EQ(r.Sim<V>().storedEvents(), 7u); // no "CAA="

    // Closed during a download, what was read is kept; the next window reads the rest and
    // the store is cleared only once both are on file.
    Rig c;
    OpenVorn(c, 3, false, [](Rig& r) { r.Sim<V>().setStoredEventCount(7, 0); });
    ASSERT_TRUE(c.StartLog("first.txt"));
    ASSERT_TRUE(c.Until([&] { return !c.Text("LogMemo").empty(); }));
    c.w->click("BtnClose");
    ASSERT_TRUE(c.Until([&] { return c.w->Closed(); }));
    EXPECT_EQ(c.File("first.txt").size(), 5u);
    c.Create<VornWindow>();
    ASSERT_TRUE(c.StartLog("second.txt") && c.LogRead());
    EXPECT_EQ(c.File("second.txt").size(), 2u);
    EXPECT_EQ(c.Sim<V>().storedEvents(), 0u);
}

TEST(DetailVorn, UtilitiesSetTheClockMonthFirstAndDriveThePair) {
    Rig r;
    OpenVorn(r, 3, true);
    ASSERT_TRUE(r.Idle("BtnUtilities") && r.w->click("BtnUtilities") && r.UntilSent("<0211/RAM?"));
    r.Tick(3);
    // "DAY?" is month first.
    EXPECT_EQ(r.Text("ClockModem").substr(0, 6) + r.Text("ClockModem").substr(8),
              "09:00: 06 Dec 2026");
    EXPECT_TRUE(r.at("BtnForce").enabled());
    EXPECT_EQ(r.Flags(&Control::enabled, {"BtnStatus", "BtnConfig", "BtnUtilities"}), "110");
    r.Shows("RedText=The redundancy controller is in Automatic mode|BtnAutoManual=Change to Manual "
            "mode");

    // An hour offset that crosses midnight gives tomorrow's date, month first.
    r.w->choose("HourOffset", r.at("HourOffset").selected() - 15); // "+15"
    ASSERT_TRUE(r.w->click("BtnSetTime") && r.UntilSent("<0211/DAY=120726") &&
                r.UntilText("LblTime", "Time set OK"));
    EXPECT_EQ(r.port.sent.back().substr(0, 12), "<0211/TIM=00");

    ASSERT_TRUE(r.w->click("BtnAutoManual") && r.UntilSent("<0211/RAM=0") &&
                r.UntilText("RedMsg", "Redundancy mode change accepted"));
    ASSERT_TRUE(r.w->click("BtnCalLna") && r.UntilSent("<0211/CAL=") &&
                r.UntilText("LnaCalMsg", "Calibration point set"));
    EXPECT_EQ(r.at("LnaCalMsg").textColour(), Colours::blue);
    ASSERT_TRUE(r.w->click("BtnForce") && r.UntilSent("<0211/RTG=") &&
                r.UntilText("ForceMsg", "Switchover acknowledged"));
    // Now the partner carries the traffic: this unit may no longer switch.
    ASSERT_TRUE(r.Until([&] { return !r.at("BtnForce").enabled(); }));
    EXPECT_EQ(r.Text("ForceText"),
              "Switching may only be done from the On-Line unit in a 1:1 system");

    r.unit->setAnswer("CAL", "*");
    ASSERT_TRUE(r.w->click("BtnCalLna") && r.UntilText("LnaCalMsg", "Cal prob: Not permitted"));
    EXPECT_EQ(colourName(r.at("LnaCalMsg").textColour()), "red");

    // A clock the unit will not give is said in red, with no offset time beside it.
    EXPECT_TRUE(r.at("ClockOffset").visible());
    r.Once(sim::Injection::refuse('?'), "TIM");
    ASSERT_TRUE(r.UntilText("LblTime", "Time:Invalid args"));
    EXPECT_FALSE(r.at("ClockOffset").visible());
    // "Set Time" overtaken by "Read Status" is dropped, not sent when the utilities return.
    r.w->click("BtnSetTime");
    r.w->click("BtnStatus");
    ASSERT_TRUE(r.Idle("BtnUtilities"));
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.w->click("BtnUtilities") && r.UntilSent("<0211/TIM?"));
    r.Tick(20);
    for (const std::string& c : r.Commands(mark))
        EXPECT_NE(c.substr(0, 4), "DAY=");
}

TEST(DetailVorn, FactoryAccessIsTakenBackWhateverTheOperatorPresses) {
    // Limits the unit will not give: every pass opens factory access, and the buttons are
    // there meanwhile. A panel button waits until the access is given back.
    Rig r;
    OpenVorn(r);
    r.unit->setAnswer("UIF", "*");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnUtilities").enabled(); }));
    ASSERT_TRUE(r.UntilSent("<0211/FAC=E "));
    const size_t mark = r.port.sent.size() - 1;
    r.w->click("BtnUtilities");
    ASSERT_TRUE(r.UntilSent("<0211/DAY?"));
    EXPECT_EQ(r.Commands(mark), (Lines{"FAC=E ", "UIF?", "DIF?", "FAC=D ", "DAY?"}));

    // "&Close" on the first pass, and the window's frame.
    for (const bool frame : {false, true}) {
        Rig c;
        OpenVorn(c);
        ASSERT_TRUE(c.UntilSent("<0211/FAC=E "));
        frame ? c.w->requestClose() : c.w->click("BtnClose");
        ASSERT_TRUE(c.Until([&] { return c.w->Closed(); })) << frame;
        EXPECT_EQ(c.port.sent.back(), "<0211/FAC=D ") << frame;
    }
}

// The rules every window keeps, asked of this family.
namespace linvar::rules {
// clang-format off
INSTANTIATE_TEST_SUITE_P(Vorn, Rules, testing::Values(WindowRules{
    "VORN", OpenTransceiver<VornWindow>("VORN", ",  VORN"), "UFQ", "5930", "UFQ=5930.0", "5925.00",
    " 5925.0", "Instruction", "blue", kRefused, kRefused, 2, 42, "CCS?", kNoComms, nullptr, nullptr,
    4, {}, "UFQ", "5930", "Change Up Frequency to 5930.0 MHz. Comms may be affected."}), Named);
// clang-format on
} // namespace linvar::rules
