#include "StationHarness.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

struct StationRig : StationHarness {
    ScriptedOperator& op = person;
    // An MQX-350 at 0012 on link 1, set from the start panel, polled for `ticks`.
    void PollOneLink(int ticks) {
        bus.add("0012", "350");
        Make();
        top->Activate(false);
        top->Setup().rec(1).Mod1Addr = "0012";
        top->Setup().RecomputeAnyEndActive();
        Main().click("BtnProceed");
        Tick(ticks);
    }
};

} // namespace

TEST(TopModule, StartPanelShowsTheSavedSettingsAndProceedStartsPolling) {
    StationRig s;
    s.dir.write("comms.txt", "1,19200,0\r\n");
    s.Make();
    s.top->Activate(false);
    SummaryScreen& m = s.Main();
    EXPECT_EQ(m.caption(), "Arvelle Quorin  M&C  Software          Linvar  Ver 4.7   (linvar)");
    EXPECT_EQ(m.at("StartSettings").text(), "Com1, 19200 baud, 8N1");
    EXPECT_EQ(m.at("CommsLabel").text(), "Com1,19200bd,8N1");
    EXPECT_TRUE(m.shown("BtnProceed"));
    EXPECT_EQ(s.top->HelpTopic(), 0);
    s.Tick(5);
    EXPECT_TRUE(s.wire.empty()); // nothing is polled before the start

    EXPECT_TRUE(m.click("BtnProceed"));
    EXPECT_EQ(s.port.baud, 19200);
    EXPECT_FALSE(m.shown("StartGroup"));
    s.Tick(2);
    EXPECT_TRUE(m.shown("SumBox"));
    EXPECT_EQ(s.top->HelpTopic(), 1);
}

TEST(TopModule, HelpOpensTheTopicOfTheScreenInFront) {
    StationRig s;
    s.bus.add("0012", "350");
    s.Make();
    s.top->Activate(false);
    SummaryScreen& m = s.Main();
    ASSERT_TRUE(m.click("BtnStartHelp"));
    EXPECT_EQ(s.op.helpTopics, std::vector<int>{0});
    EXPECT_TRUE(m.shown("StartGroup")); // help leaves the panel where it is

    s.top->Setup().rec(1).Mod1Addr = "0012";
    s.top->Setup().RecomputeAnyEndActive();
    m.click("BtnProceed");
    s.Tick(4);
    ASSERT_TRUE(m.click("BtnHelp"));
    EXPECT_EQ(s.op.helpTopics.back(), 1);
    m.doubleClick("EndL1");
    s.Tick(6);
    ASSERT_TRUE(m.shown("LinkBox"));
    ASSERT_TRUE(m.click("BtnHelp"));
    EXPECT_EQ(s.op.helpTopics, (std::vector<int>{0, 1, 3}));
}

TEST(TopModule, DirectStartPollsAtOnceAndAFailedPortStaysOnThePanel) {
    StationRig s;
    s.dir.write("SysSetup.txt", OneLinkSetup());
    s.bus.add("0012", "350");
    s.Make();
    s.top->Activate(true);
    s.Tick(3);
    ASSERT_FALSE(s.wire.empty());
    EXPECT_EQ(s.wire[0], "<0012/FLT?\r");
    s.Tick(3);
    EXPECT_EQ(colourName(s.Main().at("EndL1").background()), "lime");

    StationRig f;
    f.dir.write("comms.txt", "4,9600,0\r\n");
    f.Make();
    f.top->Activate(true);
    EXPECT_TRUE(f.Main().shown("StartGroup"));
    EXPECT_TRUE(f.Main().shown("PortFailed"));
    EXPECT_FALSE(f.Main().shown("StartSettings"));
    EXPECT_FALSE(f.Main().at("BtnProceed").enabled());
    EXPECT_TRUE(f.Main().click("BtnChoose")); // the comms dialog is still there
    EXPECT_EQ(f.top->Windows().back(), &f.top->CommsScreen());
}

TEST(TopModule, ProceedAndTheKeywordOpenWithTheSavedCharacterFormat) {
    StationRig s;
    s.dir.write("comms.txt", "1,4800,1\r\n");
    s.Make();
    s.top->Activate(true);
    EXPECT_FALSE(s.Main().shown("StartGroup"));
    EXPECT_EQ(s.port.baud, 4800);
    EXPECT_EQ(s.port.parity, paEven);
    EXPECT_EQ(s.port.dataBits, d7bit);
    EXPECT_EQ(s.port.stopBits, st2bit);
    EXPECT_EQ(s.Main().at("CommsLabel").text(), "Com1,4800bd,7E2");

    StationRig p;
    p.dir.write("comms.txt", "1,9600,2\r\n");
    p.Make();
    p.top->Activate(false);
    EXPECT_EQ(p.Main().at("StartSettings").text(), "Com1, 9600 baud, 7O2");
    ASSERT_TRUE(p.Main().click("BtnProceed"));
    EXPECT_EQ(p.port.parity, PaOdd);
    EXPECT_EQ(p.port.dataBits, d7bit);
    EXPECT_EQ(p.port.stopBits, st2bit);
}

TEST(TopModule, QuitAsksAndCaptureAndPrintButtonsFollowTheirState) {
    StationRig s;
    s.Make();
    s.top->Activate(false);
    SummaryScreen& m = s.Main();
    m.click("BtnCapture");
    EXPECT_EQ(m.at("BtnCapture").text(), "Disable &I/O Capture File");
    EXPECT_EQ(m.at("CaptureState").text(), "Capture enabled");
    EXPECT_EQ(m.at("BtnPrint").text(), "Enable P&rint");
    m.click("BtnPrint");
    EXPECT_EQ(m.at("BtnPrint").text(), "Disable &Print");
    EXPECT_EQ(m.at("PrintState").text(), "Print Enabled");
    m.click("BtnPrint");
    EXPECT_EQ(m.at("BtnPrint").text(), "Enable &Print");

    s.op.answers = {Answer::No};
    m.click("BtnQuit");
    EXPECT_FALSE(s.top->QuitRequested());
    EXPECT_EQ(s.op.questions.back().title, "Quit Program");
    EXPECT_EQ(s.op.questions.back().buttons, Buttons::YesNo);
    EXPECT_EQ(s.op.questions.back().text,
              "You really want to quit the program? Is everything stored?");
    EXPECT_TRUE(s.top->CaptureFile().CaptureOn());
    s.op.answers = {Answer::Yes};
    m.click("BtnQuit");
    EXPECT_TRUE(s.top->QuitRequested());
    EXPECT_FALSE(s.top->CaptureFile().CaptureOn());
    EXPECT_NE(s.dir.read("CaptureM.txt").find("[start]"), std::string::npos);
}

TEST(TopModule, SaveDialogSavesLoadsAndRedrawsOnClose) {
    StationRig s;
    s.Make();
    s.top->Activate(false);
    s.top->Setup().rec(1).Mod1Addr = "0012";
    s.top->Setup().rec(1).IdText = "Alpha";
    s.Main().click("BtnProceed");
    s.Tick(2);
    s.Main().click("BtnSave");
    SetupFilesScreen& d = s.top->SaveDialog();
    EXPECT_EQ(d.at("SaveStatus").text(), " SysSetup.txt system file data currently loaded");
    d.choose("CboFile", 1);
    d.click("BtnSaveFile");
    EXPECT_EQ(d.at("SaveConfirm").text(), "System data saved in file: SysSet2.txt");
    EXPECT_TRUE(d.at("SaveConfirm").visible());
    EXPECT_EQ(s.dir.read("SetFname.txt"), " SysSet2.txt\r\n");
    d.check("ChkAutoLog", true);
    d.choose("CboInterval", 3);
    EXPECT_TRUE(s.top->Setup().AutoLogEnabled);
    EXPECT_EQ(s.top->Setup().AutoLogIntervalMinutes, 60);
    EXPECT_EQ(d.at("CboOffset").items().size(), 20u);
    d.click("BtnSaveClose");
    s.Tick(1);
    // 09:00 with offset 0 is a logging instant: the notice, not the dialog, is in front.
    ASSERT_EQ(s.top->Windows().size(), 2u);
    EXPECT_EQ(s.top->Windows().back(), &s.top->AutoLogNotice());
    EXPECT_EQ(s.Main().at("EndL1").text(), "Alpha");
    EXPECT_EQ(s.top->HelpTopic(), 1);
}

TEST(TopModule, LoadingASetUpNeverSavedIsRefusedAndChangesNothing) {
    StationRig s;
    s.dir.write("SysSetup.txt", "0012\r\n\r\n\r\n\r\nAlpha\r\n");
    s.Make();
    s.top->Activate(true);
    s.Tick(2);
    ASSERT_TRUE(s.Main().click("BtnSave"));
    SetupFilesScreen& d = s.top->SaveDialog();
    d.choose("CboFile", 2);
    EXPECT_TRUE(d.click("BtnLoadFile"));
    EXPECT_EQ(s.op.reports, std::vector<std::string>{
                                "File not found: SysSet3.txt; the system setup in use is kept"});
    EXPECT_EQ(d.at("SaveStatus").text(), " SysSetup.txt system file data currently loaded");
    EXPECT_FALSE(std::filesystem::exists(s.dir.path() /
                                         "SetFname.txt")); // the next start loads the same set-up
    d.click("BtnSaveClose");
    s.Tick(1);
    EXPECT_EQ(s.top->Setup().rec(1).Mod1Addr, "0012");
    EXPECT_EQ(s.Main().at("EndL1").text(), "Alpha");
}

TEST(TopModule, TheAutoLoggingNoticeNeverTakesTheFocusFromAnotherProgram) {
    StationRig s;
    s.active = false;
    s.bus.add("0012", "350");
    s.Make();
    s.top->Activate(false);
    s.top->Setup().rec(1).Mod1Addr = "0012";
    s.top->Setup().rec(2).InfoText = std::string(SystemSetup::LogMarker); // link 1 logged
    s.Main().click("BtnProceed");
    s.Tick(2);
    s.Main().click("BtnSave");
    SetupFilesScreen& d = s.top->SaveDialog();
    d.check("ChkAutoLog", true);
    d.choose("CboInterval", 3);
    d.click("BtnSaveClose");
    const size_t mark = s.wire.size();
    s.Tick(40);
    // The run goes on, without the notice in front of the other program.
    EXPECT_EQ(s.top->Windows().size(), 1u);
    EXPECT_EQ(s.top->Windows().back(), &s.Main());
    EXPECT_NE(std::find(s.wire.begin() + static_cast<long>(mark), s.wire.end(), "<0012/CID?\r"),
              s.wire.end());
}

TEST(TopModule, ALostPortIsOpenedAgainByItselfWithBackOff) {
    StationRig s;
    s.PollOneLink(10);
    ASSERT_FALSE(s.wire.empty());
    const int opensBefore = s.port.opens;

    // The adapter is pulled: the device is gone until it is plugged in again.
    s.port.lost = true;
    s.port.devices.clear();
    s.Tick(1);
    EXPECT_EQ(s.Main().at("CommsLabel").text(), "Com1 lost, retrying");
    s.Tick(20); // one second: the first retry
    EXPECT_EQ(s.port.opens, opensBefore + 1);
    s.Tick(40); // two seconds more: the second, backing off
    EXPECT_EQ(s.port.opens, opensBefore + 2);
    s.Tick(20);
    EXPECT_EQ(s.port.opens, opensBefore + 2);
    EXPECT_TRUE(s.op.reports.empty()); // no storm of boxes

    s.port.lost = false;
    s.port.devices = {1};
    s.Tick(80);
    EXPECT_EQ(s.Main().at("CommsLabel").text(), "Com1,9600bd,8N1");
    const size_t sent = s.wire.size();
    s.Tick(10);
    EXPECT_GT(s.wire.size(), sent); // polling resumed
}

TEST(TopModule, CommsDialogWhilePollingReturnsToTheAllLinksView) {
    StationRig s;
    s.PollOneLink(4);
    s.Main().doubleClick("EndL1");
    s.Tick(6);
    ASSERT_TRUE(s.Main().shown("LinkBox"));

    s.Main().click("BtnComms");
    s.top->CommsScreen().choose("CboBaud", 3); // a list change closes the port
    s.top->CommsScreen().click("BtnOpenPort");
    s.Tick(2);
    s.top->CommsScreen().click("BtnCommsProceed");
    s.Tick(6);
    EXPECT_TRUE(s.Main().shown("SumBox"));
    EXPECT_FALSE(s.Main().shown("LinkBox"));
    EXPECT_EQ(s.top->Cycle().tx.CurrentMode, Modes::AllLinks);
    const size_t sent = s.wire.size();
    s.Tick(6);
    EXPECT_GT(s.wire.size(), sent);
}

TEST(TopModule, TheCaptureCaptionsFollowACaptureThatCannotBeWritten) {
    StationRig s;
    s.dir.write("SysSetup.txt", OneLinkSetup());
    std::filesystem::create_symlink("/dev/full", s.dir.path() / "CaptureM.txt");
    s.bus.add("0012", "350");
    s.Make();
    s.top->Activate(false);
    SummaryScreen& m = s.Main();
    // The file opens but "[start]" does not fit: capture is on, and the window says so.
    m.click("BtnCapture");
    s.Tick();
    EXPECT_EQ(s.op.reports, std::vector<std::string>{"Disk full"});
    EXPECT_TRUE(s.top->CaptureFile().CaptureOn());
    EXPECT_EQ(m.at("CaptureState").text(), "Capture enabled");
    EXPECT_EQ(m.at("BtnCapture").text(), "Disable &I/O Capture File");
    // The first request's trace fails: capture goes off, the request still goes out and
    // the polling goes on.
    m.click("BtnProceed");
    s.Tick(8);
    EXPECT_FALSE(s.top->CaptureFile().CaptureOn());
    EXPECT_EQ(m.at("CaptureState").text(), "Capture disabled");
    EXPECT_EQ(m.at("BtnCapture").text(), "Enable &I/O Capture File");
    ASSERT_FALSE(s.wire.empty());
    EXPECT_EQ(s.wire[0], "<0012/FLT?\r");
    EXPECT_EQ(s.op.reports.size(), 2u);
    EXPECT_EQ(colourName(m.at("EndL1").background()), "lime");
}
