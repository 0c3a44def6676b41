// The VORN/YRAN window against the simulated transceiver: the reading sequence, what each
// status reply shows, the value checks, the enabling rules, the change cycle, the stored
// events and the utilities.

#include "Vorn.h"
#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"

#include "detail/vorn/VornWindow.h"
#include "ui/TextFile.h"

using namespace linvar;

namespace {

using Rig = DetailRig;

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
    const Lines firstPass{"RET?", "CID?",   "RSN?", "USM?", "DSM?",   "CUS?", "CLS?",
                          "CCS?", "CAS?",   "SFS?", "TNA?", "CMS?",   "UGO?", "DGO?",
                          "XRF?", "FAC=E ", "UIF?", "DIF?", "FAC=D ", "MUT?"};
    EXPECT_EQ(r.Commands(), firstPass);
    // Limits known: the loop is steps 8 to 14 alone.
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() >= mark + 10; }));
    EXPECT_EQ(r.Commands(mark), (Lines{"CCS?", "CAS?", "SFS?", "TNA?", "CMS?", "CCS?", "CAS?",
                                       "SFS?", "TNA?", "CMS?"}));

    EXPECT_EQ(r.w->caption(), "Detail of Transceiver 1, Local,  VORN, Link: MADRID-2");
    EXPECT_EQ(r.Text("StaRET"), "VORN-C 10W XCVR       s/n VN00211731");
    EXPECT_EQ(r.Text("RET"), r.Text("StaRET"));
    r.Shows({{"StaUFQ", "5925.0 MHz", "white"},
             {"UFQ", " 5925.0"},
             {"StaUAT", "10.25 dB"},
             {"UAT", " 10.25"},
             {"StaREF", " 128"}});
    EXPECT_EQ(r.at("USA").selectedText(), " 0.5");
    EXPECT_EQ(r.Text("StaONL"), "On Line");
    r.Shows(
        {{"StaAMP", nullptr, "lime"}, {"StaCLD", nullptr, "green"}, {"StaSFS", nullptr, "lime"}});
    r.Shows("StaTNA=3|StaMUT=Mute Mode is: Unmuted after frequency change|M24V= 24.1 V ");
    EXPECT_EQ(r.Text("MRfPower"), "12.5 dB");      // "012.5" loses its leading 0
    EXPECT_FALSE(r.at("GrpRedundancy").visible()); // not a pair
    EXPECT_FALSE(r.at("BtnStatus").enabled());

    // "Read Status" from another panel starts again at step 8.
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Settle());
    r.w->click("BtnStatus");
    r.Tick(2);
    EXPECT_EQ(r.port.sent.back(), "<0211/CCS?");
    EXPECT_TRUE(r.at("PanelStatus").visible());
    EXPECT_FALSE(r.at("BtnStatus").enabled());
}

TEST(DetailVorn, AMissingConverterOrLnaSupplyTakesItsGroupsAway) {
    Rig up;
    OpenVorn(up, 3, false, [](Rig& r) { r.Sim<sim::VornBehaviour>().setUpConverter(false); });
    ASSERT_TRUE(up.Ready());
    for (const char* l : {"StaUFQ", "StaUAT", "StaUSM", "StaUSA", "StaUGO"}) {
        EXPECT_EQ(up.Text(l), "NA") << l;
        EXPECT_EQ(up.Colour(l), "gray") << l;
    }
    EXPECT_EQ(up.Text("StaDFQ"), "3702.5 MHz");
    EXPECT_FALSE(up.at("GrpUp").visible());
    EXPECT_TRUE(up.at("GrpDown").visible());
    EXPECT_FALSE(up.win<VornWindow>().UpSlopeKnown);
    up.Shows({{"MRfPower", "NA", "gray"}});

    Rig down;
    OpenVorn(down, 3, false, [](Rig& r) { r.Sim<sim::VornBehaviour>().setDownConverter(false); });
    ASSERT_TRUE(down.Ready());
    for (const char* l : {"StaDFQ", "StaDAT", "StaDSM", "StaDSA", "StaDGO"})
        EXPECT_EQ(down.Text(l), "NA") << l;
    down.Visible({"GrpDown", "GrpLna", "GrpLnaCal"}, false);
    EXPECT_TRUE(down.at("GrpUp").visible());

    // A unit without LNA supply refuses "CLS?": only the LNA groups go.
    Rig lna;
    OpenVorn(lna, 3, false, [](Rig& r) { r.Sim<sim::VornBehaviour>().setLnaSupply(false); });
    ASSERT_TRUE(lna.Ready());
    lna.Visible({"GrpLna", "GrpLnaConf"}, false);
    EXPECT_TRUE(lna.at("GrpDown").visible());

    // No answer to "CLS?" says nothing of the supply: the groups stay.
    Rig lost;
    OpenVorn(lost, 3, false, [](Rig& r) { r.Once(sim::Injection::silence(), "CLS"); });
    ASSERT_TRUE(lost.Ready());
    lost.Visible({"GrpLna", "GrpLnaConf"}, true);
}

TEST(DetailVorn, StatusRepliesShowTheirEdgeCases) {
    Rig r;
    OpenVorn(r, 3, true);
    r.unit->setAnswer("CLS", "=1990");
    r.unit->setAnswer("TNA", "=86");
    r.unit->setAnswer("CAS", "=01X200000010000000");
    r.unit->setAnswer("RRS", "=TX SW=OK RX SW=FL 5V=5.1 12V=12.1");
    r.Sim<sim::VornBehaviour>().setRfPower("34.0+");
    ASSERT_TRUE(r.Ready());
    ASSERT_TRUE(r.UntilSent("<0211/CMS?"));
    r.Tick(4);
    EXPECT_EQ(r.Text("StaLCW"), "Disabled");
    EXPECT_EQ(r.at("LCW").selected(), 31);
    r.Shows({{"StaLFL", nullptr, "green"},
             {"StaTNA", "86", "yellow"},
             {"LogCount", "Number of unread Log events: 86"}});
    r.Shows({{"CAS1", nullptr, "lime"},
             {"CAS2", nullptr, "red"},
             {"CAS3", nullptr, "gray"},
             {"CAS4", nullptr, "gray"}});
    // The maintenance readings take their alarm's colour.
    r.Shows({{"M20V", nullptr, "red"}, {"M12V", nullptr, "gray"}, {"MRef", nullptr, "red"}});
    EXPECT_EQ(r.Text("MRfPower"), ">34.0 dB");
    // The on-line unit of a pair reads the redundancy box.
    EXPECT_TRUE(r.at("GrpRedundancy").visible());
    EXPECT_EQ(r.Text("StaRedMo"), "Automatic mode");
    r.Shows({{"StaTXsw", nullptr, "lime"}, {"StaRXsw", nullptr, "red"}});
    r.Shows("Mp5Vr=5.1 V|M12Vr=12.1 V");

    r.unit->setAnswer("CLS", "=1351");
    r.unit->setAnswer("TNA", "=85");
    r.Sim<sim::VornBehaviour>().setRfPower("00.5-");
    r.w->click("BtnConfig"); // the re-read from step 1 takes the new LNA window
    r.Tick(2);
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.Text("StaLCW"), "35 %");
    EXPECT_EQ(r.at("LCW").selected(), 15);
    r.w->click("BtnStatus");
    ASSERT_TRUE(r.UntilSent("<0211/CMS?"));
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
    EXPECT_EQ(r.Sent([&] { r.Edit("UFQ", "5927.3"); }), (Lines{"UFQ=5927.0", "CCS?"}));
    r.Shows("Notice=Note: have rounded freq value to nearest permitted value|UFQ= 5927.0");
    EXPECT_EQ(r.Text("StaUFQ"), "5927.0 MHz");
    EXPECT_EQ(r.Sent([&] { r.Edit("UFQ", "5927.5"); }), (Lines{"UFQ=5927.5", "CCS?"}));
    EXPECT_EQ(r.Text("Notice"), "");
    EXPECT_EQ(r.Sent([&] { r.Edit("UFQ", "5800"); }), (Lines{"UFQ=5850.0", "CCS?"}));
    EXPECT_EQ(r.Text("Notice"), "Note: have corrected freq value to lowest permitted value");
    EXPECT_EQ(r.Sent([&] { r.Edit("DFQ", "4500"); }), (Lines{"DFQ=4200.0", "CCS?"}));
    EXPECT_EQ(r.Text("Notice"), "Note: have corrected freq value to top permitted value");

    EXPECT_EQ(r.Sent([&] { r.Edit("UAT", "12.30"); }), (Lines{"UAT=12.25", "CCS?"}));
    r.Shows("Notice=Note: have rounded atten value to nearest permitted value|StaUAT=12.25 dB");
    EXPECT_EQ(r.Sent([&] { r.Edit("DAT", "99"); }), (Lines{"DAT=20.00", "CCS?"}));
    EXPECT_EQ(r.Text("Notice"), "Note: have corrected atten value to top permitted value");
    // The same number sends nothing; a text that is no number is refused.
    EXPECT_EQ(r.Sent([&] { r.Edit("DAT", "20"); }), Lines{});
    EXPECT_EQ(r.Sent([&] { r.Edit("UAT", "twelve"); }), Lines{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad attenuation value. Please correct it");

    EXPECT_EQ(r.Sent([&] { r.Edit("REF", "256"); }), (Lines{"REF=255", "CUS?"}));
    EXPECT_EQ(r.Text("Notice"), "Note: have corrected Ref value to top permitted value");
    EXPECT_EQ(r.Sent([&] { r.Edit("REF", "-4"); }), (Lines{"REF=000", "CUS?"}));
    EXPECT_EQ(r.Text("StaREF"), " 0");
}

TEST(DetailVorn, WithoutFactoryAccessEntriesGoUncorrectedAndARefusalIsReReadAndCleared) {
    Rig r;
    OpenVorn(r, 3, false, [](Rig& r) { r.Sim<sim::VornBehaviour>().setFactoryAccess(false); });
    ASSERT_TRUE(r.Ready());
    // Refused access skips the limit queries but still gives the access back; the loop
    // keeps trying while the limits are unknown.
    ASSERT_TRUE(r.UntilSent("<0211/FAC=D "));
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("<0211/FAC=E "));
    EXPECT_EQ(r.Commands(mark).front(), "MUT?");
    EXPECT_EQ(r.win<VornWindow>().UpFreqMax, 0);

    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.Prompt("UFQ"),
              "Enter the UP Freq (limits not read from the unit), resolution 1 or 2.5MHz");
    EXPECT_EQ(r.Sent([&] { r.Edit("UFQ", "6000.2"); }), (Lines{"UFQ=6000.0", "CCS?"}));
    // What the command cannot carry is refused, not sent malformed.
    for (const char* bad : {"-5", "-0.5", "123456"}) {
        EXPECT_EQ(r.Sent([&] { r.Edit("UFQ", bad); }), Lines{}) << bad;
        EXPECT_EQ(r.Text("Notice"), "ERROR: Bad frequency value. Please correct it") << bad;
    }
    EXPECT_EQ(r.Sent([&] { r.Edit("UAT", "1234"); }), Lines{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad attenuation value. Please correct it");

    // Beyond what the unit takes: it refuses, the box is read back from step 8, and the
    // message stays 42 ticks.
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
    EXPECT_EQ(off.Text("Instruction"),
              "Only limited re-configuration is permitted on the off-line unit");
    for (const char* e : {"UFQ", "DFQ", "UAT", "DAT"}) {
        EXPECT_TRUE(off.at(e).readOnly()) << e;
        EXPECT_EQ(colourName(off.at(std::string(e) + "Cap").textColour()), "gray") << e;
    }
    off.Enabled({"AFR", "CLD"}, false);
    off.Enabled({"UGO", "DGO", "XRF", "UMU", "DMU", "LCW", "MUT"}, true);
    EXPECT_FALSE(off.at("StaRedMo").visible()); // the off-line unit does not ask the box
    off.w->enter("UFQ");                        // a read-only box gives no prompt
    EXPECT_EQ(off.Text("Instruction"),
              "Only limited re-configuration is permitted on the off-line unit");

    Rig distant;
    OpenVorn(distant, 4);
    distant.ReadConfig();
    EXPECT_EQ(distant.Text("Instruction"), "Click on a box to change the information");
    distant.Enabled({"DMU", "MUT", "UGO"}, false); // gain offsets belong to a pair
    EXPECT_TRUE(distant.at("UMU").enabled());
    EXPECT_EQ(distant.at("USM").selectedText(), " Calibrated");
    EXPECT_FALSE(distant.at("USA").enabled()); // the slope is set by hand only in Manual
}

TEST(DetailVorn, ADistantUnitIsNeverLeftMutedAfterAFrequencyChange) {
    // Mode 1 at the DISTANT end: "MUT=0" goes out without a question.
    Rig r;
    OpenVorn(r, 4, false, [](Rig& r) { r.Sim<sim::VornBehaviour>().setMuteMode(1); });
    ASSERT_TRUE(r.Ready());
    const Lines sent = r.Commands();
    const auto mut = std::find(sent.begin(), sent.end(), "MUT?");
    ASSERT_NE(mut, sent.end());
    EXPECT_EQ(*(mut + 1), "MUT=0");
    EXPECT_EQ(r.at("MUT").selected(), 0);
    EXPECT_EQ(r.Text("StaMUT"), "Mute Mode is: Unmuted after frequency change");
    EXPECT_TRUE(r.op.questions.empty());

    // Mode 1 at the LOCAL end is shown and may be changed, without a question.
    Rig local;
    OpenVorn(local, 3, false, [](Rig& r) { r.Sim<sim::VornBehaviour>().setMuteMode(1); });
    local.ReadConfig();
    EXPECT_EQ(local.Text("StaMUT"), "Mute Mode is: Muted after frequency change");
    EXPECT_EQ(local.Sent([&] { local.Choose("MUT", 0); }), (Lines{"MUT=0", "MUT?", "CCS?"}));
    // A lamp's setting recolours its lamp as it goes, and leaves the mute line alone.
    ASSERT_TRUE(local.Choose("AMP", 0));
    EXPECT_EQ(local.Colour("StaAMP"), "green");
    ASSERT_TRUE(local.Settle());
    EXPECT_EQ(local.Text("StaMUT"), "Mute Mode is: Unmuted after frequency change");

    // A unit without a mute mode: the controls go, the buttons still come.
    Rig none;
    OpenVorn(none);
    none.unit->setAnswer("MUT", "?");
    ASSERT_TRUE(none.Ready());
    none.Visible({"MUT", "StaMUT"}, false);
}

TEST(DetailVorn, ADistantChangeIsConfirmedAndANoPutsTheValueBack) {
    Rig r;
    OpenVorn(r, 4);
    r.ReadConfig();
    // No: nothing goes out but the re-read of the box's step, and the box has its value
    // back.
    r.op.answers.push_back(Answer::No);
    EXPECT_EQ(r.Sent([&] { r.Choose("LCW", 20); }), Lines{"CLS?"});
    EXPECT_EQ(r.op.questions[0].text, "Change LNA Current Window to 40 %");
    EXPECT_EQ(r.at("LCW").selectedText(), " 35 %");
    EXPECT_EQ(r.Text("Instruction"), "Edit of parameter has been replaced with previous value");

    // Settings without a confirmation text go at once.
    EXPECT_EQ(r.Sent([&] { r.Edit("CID", "north dish"); }),
              (Lines{"CID=NORTH DISH              ", "CID?"}));
    EXPECT_EQ(r.Text("StaCID"), "NORTH DISH              ");
    EXPECT_EQ(r.op.questions.size(), 1u);
}

TEST(DetailVorn, StoredEventsGoToANewAnAppendedOrAReplacedFile) {
    Rig r;
    OpenVorn(r);
    r.Sim<sim::VornBehaviour>().setStoredEventCount(7, 0);
    ASSERT_TRUE(r.StartLog("events.txt") && r.LogRead());
    EXPECT_EQ(r.Text("LogTopLine"), "Event data stored in events.txt");
    const Lines lines = TextFile::readLines(r.dir.path() / "events.txt").value_or(Lines{});
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "0211  06 Dec 2026  09:00:00  EVENT 001    ");
    EXPECT_EQ(r.Sim<sim::VornBehaviour>().storedEvents(), 0u); // "CAA=" cleared the unit's store
    EXPECT_TRUE(r.UntilText("LogCount", "Number of unread stored events: 0"));
    EXPECT_EQ(r.at("LogCount").textColour(), Colours::blue);

    // A refused count is said in red.
    r.unit->setAnswer("TNA", "*");
    EXPECT_TRUE(r.Until([&] { return r.at("BtnLogs").enabled() && !r.tx.AwaitingReply; }));
    r.w->click("BtnLogs");
    EXPECT_TRUE(r.UntilText("LogCount", "Not permitted"));
    EXPECT_EQ(r.at("LogCount").textColour(), Colours::red);
    EXPECT_EQ(r.Text("LogTopLine"),
              "Choose a data file name so that transceiver event data can be retained");
    r.unit->setAnswer("TNA", "");

    r.Sim<sim::VornBehaviour>().setStoredEventCount(2, 0);
    ASSERT_TRUE(r.StartLog("events.txt", "BtnAppend") && r.LogRead());
    EXPECT_EQ(r.File("events.txt").size(), 9u); // no blank line

    r.Sim<sim::VornBehaviour>().setStoredEventCount(1, 0);
    ASSERT_TRUE(r.StartLog("events.txt", "BtnOverwrite") && r.LogRead());
    EXPECT_EQ(r.File("events.txt").size(), 1u);

    // No answer half way: what was read is stored, the rest stays in the unit.
    r.Sim<sim::VornBehaviour>().setStoredEventCount(7, 0);
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.StartLog("cut.txt"));
    ASSERT_TRUE(r.UntilSent("<0211/LNA?"));
    r.Once(sim::Injection::silence(), "LNA");
    ASSERT_TRUE(r.UntilText("LogProgress", "Log: No comms"));
    EXPECT_EQ(r.at("LogProgress").textColour(), Colours::red);
    EXPECT_EQ(r.File("cut.txt").size(), 5u);
    EXPECT_EQ(r.Sim<sim::VornBehaviour>().storedEvents(), 7u);
    for (const std::string& s : r.SentSince(mark))
        EXPECT_EQ(s.find("CAA="), std::string::npos);
}

TEST(DetailVorn, UtilitiesSetTheClockMonthFirstAndDriveThePair) {
    Rig r;
    OpenVorn(r, 3, true);
    ASSERT_TRUE(r.Until([&] { return r.at("BtnUtilities").enabled(); }));
    r.w->click("BtnUtilities");
    ASSERT_TRUE(r.UntilSent("<0211/RAM?"));
    r.Tick(3);
    EXPECT_EQ(r.Text("ClockModem").substr(0, 6), "09:00:");
    EXPECT_EQ(r.Text("ClockModem").substr(8), " 06 Dec 2026"); // "DAY?" is month first
    EXPECT_TRUE(r.at("BtnForce").enabled());
    r.Shows("RedText=The redundancy controller is in Automatic mode|BtnAutoManual=Change to Manual "
            "mode");

    // An hour offset that crosses midnight gives tomorrow's date, month first.
    r.w->choose("HourOffset", r.at("HourOffset").selected() - 15); // "+15"
    r.w->click("BtnSetTime");
    ASSERT_TRUE(r.UntilSent("<0211/DAY=120726") && r.UntilText("LblTime", "Time set OK"));
    EXPECT_EQ(r.port.sent.back().substr(0, 12), "<0211/TIM=00");

    r.w->click("BtnAutoManual");
    ASSERT_TRUE(r.UntilSent("<0211/RAM=0"));
    ASSERT_TRUE(r.UntilText("RedMsg", "Redundancy mode change accepted"));
    r.w->click("BtnCalLna");
    ASSERT_TRUE(r.UntilSent("<0211/CAL=") && r.UntilText("LnaCalMsg", "Calibration point set"));
    EXPECT_EQ(r.at("LnaCalMsg").textColour(), Colours::blue);
    r.w->click("BtnForce");
    ASSERT_TRUE(r.UntilSent("<0211/RTG=") && r.UntilText("ForceMsg", "Switchover acknowledged"));
    // Now the partner carries the traffic: this unit may no longer switch.
    ASSERT_TRUE(r.Until([&] { return !r.at("BtnForce").enabled(); }));
    EXPECT_EQ(r.Text("ForceText"),
              "Switching may only be done from the On-Line unit in a 1:1 system");

    r.unit->setAnswer("CAL", "*");
    r.w->click("BtnCalLna");
    ASSERT_TRUE(r.UntilText("LnaCalMsg", "Cal prob: Not permitted"));
    EXPECT_EQ(colourName(r.at("LnaCalMsg").textColour()), "red");

    // A clock the unit will not give is said in red, with no offset time beside it.
    EXPECT_TRUE(r.at("ClockOffset").visible());
    r.Once(sim::Injection::refuse('?'), "TIM");
    ASSERT_TRUE(r.UntilText("LblTime", "Time:Invalid args"));
    EXPECT_FALSE(r.at("ClockOffset").visible());
}

TEST(DetailVorn, AMuteModeThatWentUnansweredIsAskedAgainAndTheButtonsStillCome) {
    // "MUT?" silent once on the first pass: the controls stay, the next pass asks again.
    Rig r;
    OpenVorn(r);
    r.Once(sim::Injection::silence(), "MUT");
    ASSERT_TRUE(r.Ready());
    EXPECT_TRUE(r.at("BtnLogs").enabled());
    EXPECT_TRUE(r.at("MUT").visible());
    EXPECT_EQ(r.Text("StaMUT"), "Mute Mode is: Unmuted after frequency change");
    EXPECT_EQ(std::count(r.port.sent.begin(), r.port.sent.end(), "<0211/MUT?"), 2);

    // "MUT=0" silent at the DISTANT end: sent again until the unit is no longer muted.
    Rig d;
    OpenVorn(d, 4, false, [](Rig& r) { r.Sim<sim::VornBehaviour>().setMuteMode(1); });
    ASSERT_TRUE(d.UntilSent("<0211/MUT?"));
    ASSERT_TRUE(d.Until([&] { return !d.tx.AwaitingReply; }));
    d.Once(sim::Injection::silence(), "MUT");
    ASSERT_TRUE(d.Ready());
    EXPECT_EQ(std::count(d.port.sent.begin(), d.port.sent.end(), "<0211/MUT=0"), 2);
    EXPECT_EQ(d.Text("StaMUT"), "Mute Mode is: Unmuted after frequency change");
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
        if (frame)
            c.w->requestClose();
        else
            c.w->click("BtnClose");
        ASSERT_TRUE(c.Until([&] { return c.w->Closed(); })) << frame;
        EXPECT_EQ(c.port.sent.back(), "<0211/FAC=D ") << frame;
    }
}

TEST(DetailVorn, ClosingDuringAnEventDownloadKeepsWhatWasRead) {
    Rig r;
    OpenVorn(r);
    r.Sim<sim::VornBehaviour>().setStoredEventCount(7, 0);
    ASSERT_TRUE(r.StartLog("first.txt"));
    ASSERT_TRUE(r.Until([&] { return !r.Text("LogMemo").empty(); }));
    r.w->click("BtnClose");
    ASSERT_TRUE(r.Until([&] { return r.w->Closed(); }));
    EXPECT_EQ(r.File("first.txt").size(), 5u);

    // The next window reads the rest; the store is cleared only once both are on file.
    r.Create<VornWindow>();
    ASSERT_TRUE(r.StartLog("second.txt") && r.LogRead());
    EXPECT_EQ(r.File("second.txt").size(), 2u);
    EXPECT_EQ(r.Sim<sim::VornBehaviour>().storedEvents(), 0u);
}

// The rules every window keeps, asked of this family.
namespace linvar::rules {
INSTANTIATE_TEST_SUITE_P(
    Vorn, Rules,
    testing::Values(WindowRules{
        "VORN",       OpenTransceiver<VornWindow>("VORN", ",  VORN"),
        "UFQ",        "5930",
        "UFQ=5930.0", "5925.00",
        " 5925.0",    "Instruction",
        "blue",       kRefused,
        kRefused,     2,
        42,           "CCS?",
        kNoComms,     nullptr,
        nullptr,      4,
        {},           "UFQ",
        "5930",       "Change Up Frequency to 5930.0 MHz. Comms may be affected."}),
    Named);
} // namespace linvar::rules
