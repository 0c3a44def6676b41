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

TEST(AlarmsWindow, ActiveAlarmsInBoldUntilAcknowledgedAndTheMainWindowCounts) {
    AlarmStation s;
    SummaryScreen& m = s.Main();
    EXPECT_EQ(m.at("AlarmCount").text(), "2 unacknowledged");
    ASSERT_TRUE(m.click("BtnAlarms"));
    AlarmsScreen& a = s.top->Alarms();
    ASSERT_EQ(s.Front(), &a);
    EXPECT_FALSE(a.modal());
    EXPECT_EQ(a.at("AlSel0").text(), "Link 1 LOCAL Modem 1 (0012)");
    EXPECT_EQ(a.at("AlState0").text(), "Fault");
    EXPECT_EQ(a.at("AlSince0").text(), "2026-12-06 09:00:00");
    EXPECT_EQ(a.at("AlSel1").text(), "Link 1 DISTANT Modem 1 (0020)");
    EXPECT_EQ(a.at("AlState1").text(), "No communication");
    EXPECT_TRUE(a.at("AlSel0").bold() && a.at("AlFor1").bold());
    EXPECT_FALSE(a.shown("AlSel2"));

    // Polling goes on with the window open; the time they last grows.
    const size_t sent = s.wire.size();
    s.Tick(100);
    EXPECT_GT(s.wire.size(), sent);
    EXPECT_EQ(a.at("AlFor0").text(), "0:00:25");

    ASSERT_TRUE(a.check("AlSel1", true));
    ASSERT_TRUE(a.click("BtnAckSelected"));
    s.Tick();
    EXPECT_EQ(m.at("AlarmCount").text(), "1 unacknowledged");
    // Unacknowledged stay on top; the acknowledged one moved down, no longer bold.
    EXPECT_EQ(a.at("AlSel0").text(), "Link 1 LOCAL Modem 1 (0012)");
    EXPECT_TRUE(a.at("AlSel0").bold());
    EXPECT_EQ(a.at("AlSel1").text(), "Link 1 DISTANT Modem 1 (0020)");
    EXPECT_FALSE(a.at("AlSel1").bold());
    EXPECT_EQ(a.at("AlAck1").text(), "2026-12-06 09:00:25");
    EXPECT_FALSE(a.at("AlSel1").checked());

    // The repair ends the alarm; the history keeps every step, newest first.
    s.modem->setFaults("000");
    s.Tick(100);
    EXPECT_EQ(a.at("AlSel0").text(), "Link 1 DISTANT Modem 1 (0020)");
    EXPECT_FALSE(a.shown("AlSel1"));
    EXPECT_EQ(m.at("AlarmCount").text(), "");
    const std::string history = a.at("HistoryText").text();
    EXPECT_EQ(history.substr(0, history.find("\r\n")),
              "2026-12-06 09:00:" + history.substr(17, 2) +
                  "  State  Link 1 LOCAL Modem 1 (0012)  Fault -> No fault");

    ASSERT_TRUE(a.choose("FilterUnit", 1)); // Modem 1: both ends
    ASSERT_TRUE(a.type("FilterDate", "2026-12-07"));
    EXPECT_EQ(a.at("HistoryText").text(), "");
    ASSERT_TRUE(a.type("FilterDate", "2026-12-06"));
    ASSERT_TRUE(a.choose("FilterLink", 2)); // link 2: nothing there
    EXPECT_EQ(a.at("HistoryText").text(), "");
    ASSERT_TRUE(a.choose("FilterLink", 1));
    EXPECT_EQ(
        std::count(a.at("HistoryText").text().begin(), a.at("HistoryText").text().end(), '\n'),
        3); // four lines: two alarms, an acknowledgement, a repair

    EXPECT_FALSE(a.at("BtnAckAll").enabled()); // nothing left to acknowledge
    ASSERT_TRUE(a.click("BtnAlarmsHelp"));
    EXPECT_EQ(s.person.helpTopics.back(), AlarmsScreen::kHelpTopic);
    EXPECT_EQ(s.Front(), &a); // help leaves the window open
    ASSERT_TRUE(a.click("BtnAlarmsClose"));
    EXPECT_EQ(s.Front(), &m);
}

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
