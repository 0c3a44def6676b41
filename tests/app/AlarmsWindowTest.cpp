// The Alarms window and the main window's count, on the whole station polling the
// in-process simulator.

#include "StationHarness.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

struct AlarmStation : StationHarness {
    sim::Unit* modem = nullptr;

    AlarmStation() {
        std::string f;
        for (int line = 1; line <= 440; ++line) {
            f += line == 1 ? "0012" : line == 11 ? "0020" : line == 21 ? "0030" : "";
            f += "\r\n";
        }
        dir.write("SysSetup.txt", f + "0,0,0\r\n");
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
}
