// The Alarms window and the main window's count, on the whole station polling the
// in-process simulator.

#include "StationHarness.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

struct AlarmStation : StationHarness {
    sim::Unit* modem = nullptr;

    AlarmStation() {
        dir.write("SysSetup.txt", SetupFile({{1, "0012"}, {11, "0020"}, {21, "0030"}}));
        modem = bus.add("0012", "350");
        modem->setFaults("100");
        bus.add("0030", "350");
        Make();
        top->Activate(true);
        Tick(400);
    }
};

} // namespace

TEST(AlarmsWindow, TheSoundIsOffUntilAskedAndNeverRepeatsWithinHalfAMinute) {
    AlarmStation s; // a fault already began at start-up: silent, the sound was off
    EXPECT_EQ(s.beeps, 0);
    ASSERT_TRUE(s.Main().click("BtnAlarms"));
    AlarmsScreen& a = s.top->Alarms();
    EXPECT_EQ(a.at("AlState0").fontSize(), 0); // the window's own size, only bold
    ASSERT_TRUE(a.check("AlSound", true));
    const auto cycleFault = [&s](const char* faults) {
        s.modem->setFaults(faults);
        s.Tick(100);
    };
    cycleFault("000");
    EXPECT_EQ(s.beeps, 0); // a repair is no new fault
    cycleFault("100");
    EXPECT_EQ(s.beeps, 1);
    cycleFault("000");
    cycleFault("100"); // 10 s later: too soon
    EXPECT_EQ(s.beeps, 1);
    s.Tick(1300); // past the flapping bound too
    cycleFault("000");
    cycleFault("100");
    EXPECT_EQ(s.beeps, 2);
    ASSERT_TRUE(a.check("AlSound", false)); // muted
    s.Tick(1300);
    cycleFault("000");
    cycleFault("100");
    EXPECT_EQ(s.beeps, 2);
    // The history of every link, then of the switches alone: none.
    EXPECT_NE(a.at("HistoryText").text().find("Fault"), std::string::npos);
    ASSERT_TRUE(a.choose("FilterLink", SystemSetup::LinkCount + 1));
    EXPECT_EQ(a.at("HistoryText").text(), "");
}
