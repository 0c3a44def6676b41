// The two edit screens in the station: opened from the summary in front of the main
// window, closed again when left, with the help topic of the screen in front.

#include "StationHarness.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

struct StationRig : StationHarness {
    ScriptedOperator& op = person;
    StationRig() {
        dir.write("comms.txt", "1,9600,0\r\n");
        Make();
    }
};

} // namespace

TEST(StationEdit, EditScreensOpenInFrontAndPollingResumes) {
    StationRig s;
    s.bus.add("0700", "350");
    s.top->Activate(true);
    s.Tick(3);
    EXPECT_TRUE(s.wire.empty()); // nothing configured yet

    SummaryScreen& m = s.top->Main();
    ASSERT_TRUE(m.click("BtnEdit4"));
    s.Tick(2);
    ASSERT_EQ(s.Front(), &s.top->LinkEditScreen());
    EXPECT_EQ(s.top->HelpTopic(), 4);
    m.click("BtnHelp");
    EXPECT_EQ(s.op.helpTopics.back(), 4);

    Screen& edit = *s.Front();
    edit.type("AddrMod1L", "700");
    edit.leave("AddrMod1L");
    edit.click("BtnExitEdit");
    EXPECT_EQ(s.top->Windows().size(), 1u);
    s.Tick(6);
    ASSERT_FALSE(s.wire.empty());
    EXPECT_EQ(s.wire.front(), "<0700/FLT?\r");
    EXPECT_EQ(colourName(m.at("LblMod1L").background()), "lime");
    EXPECT_EQ(s.top->HelpTopic(), 3);

    ASSERT_TRUE(m.click("BtnClose"));
    s.Tick(4);
    ASSERT_TRUE(m.click("BtnEditSw1"));
    s.Tick(4);
    ASSERT_EQ(s.Front(), &s.top->SwitchEditScreen());
    EXPECT_EQ(s.top->HelpTopic(), 8);
    s.Front()->click("BtnExitSw");
    EXPECT_EQ(s.top->Windows().size(), 1u);
    s.Tick(2);
    EXPECT_EQ(s.top->HelpTopic(), 1);
}
