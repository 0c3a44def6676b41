#include "DemoInstallation.h"
#include "StationHarness.h"

#include "app/Demo.h"
#include "app/Replay.h"
#include "setup/SetupFile.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

// The station on the demo installation, the simulator in-process, driven by a script.
struct Session : StationHarness {
    ScriptedOperator& person = StationHarness::person;
    ReplayOperator op{person};
    std::unique_ptr<Replay> replay;
    int ticks = 0;

    Session() {
        WriteDemoFiles(dir.path());
        sim::SetupResult r = sim::populateDemo(bus, (dir.path() / "SysSetup.txt").string());
        EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
        Make(&op);
        top->Activate(false);
        replay = std::make_unique<Replay>(*top, op);
        beforeTick = [this] { sim::advanceDemo(bus, clock.monotonicMs()); };
    }
    void Tick() {
        StationHarness::Tick();
        ++ticks;
        replay->tick();
    }
    // Ticks until the script is over (at most a simulated minute).
    void Play(const std::vector<std::string>& script) {
        replay->load(script);
        for (int i = 0; i < 1200 && !replay->done(); ++i)
            Tick();
    }
};

} // namespace

TEST(Replay, DemoInstallationPolledAndALinkOpenedAndClosed) {
    Session run;
    run.replay->setPatienceMs(20000); // one round of the whole installation
    std::vector<std::filesystem::path> shots;
    run.replay->setScreenshot([&shots](const std::filesystem::path& f) {
        shots.push_back(f);
        return true;
    });
    run.Play({
        "# the demo's summary",
        "click BtnProceed",
        "expect SumBox visible true",
        "expect EndL1 colour lime",
        "expect EndD3 colour red",  // DISTANT modem with a Tx fault
        "expect EndD4 colour blue", // silent DISTANT modem
        "expect EndD6 colour red",  // faulty transceiver
        "screenshot summary.png",
        "",
        "double-click EndL1",
        "expect LinkBox visible true",
        "expect LinkBox text Link 1",
        "expect SumBox visible false",
        "expect LogLine text Link Log enabled",
        "click BtnClose",
        "expect SumBox visible true",
        "expect LinkBox visible false",
        "expect EndD5 colour lime",
        "wait 20000",
        "expect EndD5 colour red", // the fault that comes and goes
        "expect EndD5 colour lime",
    });
    EXPECT_TRUE(run.replay->done());
    EXPECT_EQ(run.replay->failureText() + std::to_string(run.replay->exitCode()), "0");
    EXPECT_EQ(shots, std::vector<std::filesystem::path>{"summary.png"});
    EXPECT_TRUE(run.person.reports.empty());

    // The sample set-up as the station keeps it: 441 lines, link 1 logged, auto-log on.
    SystemSetup loaded;
    LoadSetup(loaded, run.dir.path());
    EXPECT_EQ(std::tuple(std::string(loaded.rec(1).IdText), loaded.LinkLogged(1),
                         loaded.AutoLogEnabled, loaded.AutoLogIntervalMinutes,
                         std::string(loaded.rec(SystemSetup::RedundantModemRecord(1)).Mod1Addr)),
              std::tuple(std::string("LONDON-1"), true, true, 10, std::string("2100")));
    EXPECT_EQ(run.dir.read("comms.txt"), "1,9600,0\r\n");
    run.Play({"click BtnComms"}); // the dialog shows the line format in use
    EXPECT_EQ(run.top->CommsScreen().at("CboFormat").selectedText(), "8N1");
}

TEST(Replay, AFailureIsReportedByItsLineAndTheScriptGoesOnUnlessItCannot) {
    struct Case {
        int patienceMs, maxTicks;
        std::vector<std::string> script;
        const char* failures;
    };
    const Case cases[] = {
        {200,
         3 * 5 + 2, // each expectation gives up after its patience
         {"# line 1", "", "expect BtnQuit text Nothing", "expect BtnProceed visible true",
          "expect-title Something else", "expect NoSuchControl colour lime"},
         "line 3: expected 'BtnQuit' text \"Nothing\", found \"&Quit\"\n"
         "line 5: expected the title \"Something else\", found \"Linvar\"\n"
         "line 6: expected colour of 'NoSuchControl', but no open window has it\n"},
        // A control that never shows stops the script: the quit is never clicked.
        {250,
         1200,
         {"click BtnClose", "click BtnQuit"},
         "line 1: 'BtnClose' is not shown; the script stops here\n"},
        // A script with a mistake runs nothing.
        {250,
         1200,
         {"click BtnQuit", "jump BtnQuit", "wait soon", "expect BtnQuit size 3"},
         "line 2: unknown action 'jump': jump BtnQuit\n"
         "line 3: wait needs milliseconds: wait soon\n"
         "line 4: expect can check text, colour, textcolour, visible, enabled, checked or bold: "
         "expect BtnQuit size 3\n"},
        // expect-sent reads the requests in order ("..." passes over the rest of a round).
        {20000,
         1200,
         {"wait 200", "expect-sent", "click BtnProceed", "expect-sent <1100/FLT? <0111/SFS?",
          "expect-sent ... <1100/FLT?", "expect-sent <0111/SFS?", "expect-sent <0099/FLT?",
          "expect-sent ... <0099/FLT?", "expect-sent ...", "wait 300", "expect-sent"},
         "line 7: expected sent <0099/FLT?, found <0150/FLT?\n"
         "line 8: expected sent ... <0099/FLT?, found <0150/FLT? <0151/SFS? <1200/FLT? <0201/FLT? "
         "<0211/SFS? <0212/SFS? <0250/FLT? <0250/OUS? ...\n"
         "line 11: expected sent nothing, found <0150/FLT?\n"},
    };
    for (const Case& c : cases) {
        Session run;
        run.replay->setPatienceMs(c.patienceMs);
        run.Play(c.script);
        EXPECT_TRUE(run.replay->done());
        EXPECT_EQ(run.replay->failureText(), c.failures);
        EXPECT_EQ(run.replay->exitCode(), 1);
        EXPECT_LE(run.ticks, c.maxTicks);
        EXPECT_TRUE(run.person.questions.empty());
    }
    // A script that is not there is said without a line number.
    Session run;
    run.replay->loadFile(run.dir.path() / "none.txt");
    EXPECT_EQ(run.replay->failureText(),
              "the script " + (run.dir.path() / "none.txt").string() + " does not exist\n");
}

TEST(Replay, AControlNameThatDoesNotExistIsReportedAndTheStationGoesOn) {
    Session run;
    // A handler that names a control its window no longer has.
    run.top->Main().onClick("BtnAlarms", [&run] { run.top->Main()["AlarmCounter"].setText("0"); });
    run.Play({"click BtnAlarms", "click BtnProceed", "expect EndL1 colour lime"});
    EXPECT_EQ(run.replay->exitCode(), 0) << run.replay->failureText();
    EXPECT_EQ(run.person.reports,
              std::vector<std::string>{"No control named AlarmCounter on Main"});
}
