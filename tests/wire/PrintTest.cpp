#include "logging/Print.h"
#include "ui/Clock.h"
#include "wire/FaultTables.h"

#include <gtest/gtest.h>

#include <vector>

using namespace linvar;
using Lines = std::vector<std::string>;

namespace {

struct PrintFixture : ::testing::Test {
    PrintState print;
    Lines lines;
    FakeClock clock{{2026, 12, 6, 9, 5, 7, 0}};
    ModelCodeScope model{350};

    void SetUp() override {
        print.setSink([this](const std::string& l) { lines.push_back(l); });
    }
    // Printing on, its own line dropped.
    void On() {
        print.PrintToggle(clock);
        lines.clear();
    }
};

} // namespace

TEST_F(PrintFixture, ToggleSwitchesAndAsksForARestartedPass) {
    print.PrintToggle(clock);
    EXPECT_TRUE(print.printActive() && print.takePollCycleRestart());
    EXPECT_FALSE(print.pollCycleRestart());
    print.PrintToggle(clock);
    EXPECT_EQ(std::pair(print.printActive(), print.pollCycleRestart()), std::pair(false, false));
    EXPECT_EQ(lines, (Lines{"\r\n06/12/2026 09:05:07 Printing activated",
                            "\r\n\r\n06/12/2026 09:05:07 Printing de-activated"}));
}

TEST_F(PrintFixture, FaultLinesOnlyWhilePrinting) {
    print.PrintFaultLine({"110", true}, "Mod1", "Link A", clock);
    EXPECT_TRUE(lines.empty());
    On();
    print.PrintFaultLine({"111", false}, "Mod1", "Link A", clock); // no change: name only
    print.PrintFaultLine({"114", true}, "Mod2", "Link A", clock);  // rx fault as its text
    print.PrintFaultLine({"000", true}, "Mod1", "Link A", clock);
    print.PrintFaultLine({"0A0", true}, "Mod1", "Link A", clock); // "A" is not a digit 1-9
    EXPECT_EQ(lines, (Lines{"\r\n06/12/2026 09:05:07 Link A       Mod1:",
                            "\r\n06/12/2026 09:05:07 Link A       Mod2: unit fault tx faultBuffer "
                            "underflow",
                            "\r\n06/12/2026 09:05:07 Link A       Mod1: No faults",
                            "\r\n06/12/2026 09:05:07 Link A       Mod1:"}));
}

TEST_F(PrintFixture, FirstPassListsEveryModemAndNamesTakeTwelveColumns) {
    On();
    print.setFirstPass(true);
    print.PrintFaultLine({"000", false}, "Mod1", "A very long link name", clock);
    print.PrintFaultLine({"010", false}, "Mod2", "", clock);
    print.PrintFaultLine({"", false}, "Mod2", "L", clock);
    EXPECT_EQ(lines, (Lines{"\r\n06/12/2026 09:05:07 A very long  Mod1: No faults",
                            "\r\n06/12/2026 09:05:07              Mod2: tx fault",
                            "\r\n06/12/2026 09:05:07 L            Mod2:"}));
}

TEST_F(PrintFixture, LinesAreCutAndNoSinkIsNoFailure) {
    print.PrintLine(std::string(300, 'x'));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), PrintState::kMaxLine);
    EXPECT_EQ(lines[0].substr(0, 3), "\r\nx");
    PrintState fresh;
    fresh.PrintToggle(clock); // no sink: nothing goes anywhere, the flags still change
    EXPECT_TRUE(fresh.printActive());
}
