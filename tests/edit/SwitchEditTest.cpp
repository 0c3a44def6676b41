#include "EditHarness.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(SwitchEdit, AddressesFollowTheSwitch) {
    EditHarness h;
    h.setup.rec(9).Mod1Addr = "1500"; // link 5, traffic modem 5
    h.setup.rec(10).Tr1Addr = "0051"; // its DISTANT end
    h.setup.rec(5).Mod1Addr = "0042"; // link 3: a stand-alone modem
    h.setup.rec(42).Tr1Addr = "0099"; // redundant modem record, a stray unit
    h.OpenSwitch(1);
    ASSERT_TRUE(h.sw.Editing());
    EXPECT_TRUE(h.swShown);
    EXPECT_FALSE(h.cycle.TimerEnabled());
    EXPECT_EQ(h.sw.at("SwList").selected(), 0);
    EXPECT_FALSE(h.sw.shown("SwDetails"));

    // Choosing " Disable" with the switch off all along leaves the links alone.
    h.sw.choose("SwList", 0);
    EXPECT_EQ(h.setup.rec(5).Mod1Addr, "0042");

    h.sw.choose("SwList", 2);
    EXPECT_TRUE(h.sw.shown("SwDetails"));
    EXPECT_EQ(h.setup.rec(41).Mod1Addr, "1000");
    EXPECT_EQ(h.sw.at("SwM3").text(), "1300");
    EXPECT_EQ(h.sw.at("SwRM").text(), "2100");
    EXPECT_EQ(h.setup.rec(5).Mod1Addr, "1300"); // enabled: moved to the switch's scheme
    EXPECT_EQ(h.SwColour("SwM3"), "lime");
    EXPECT_EQ(h.SwColour("SwM4"), "green");
    h.sw.click("SwM4");
    EXPECT_EQ(h.setup.rec(7).Mod1Addr, "1400");
    EXPECT_EQ(h.SwColour("SwM4"), "lime");
    h.sw.click("SwRM");
    EXPECT_EQ(h.setup.rec(42).Mod1Addr, "2100");
    EXPECT_EQ(colourName(h.setup.rec(42).EndColour), "green");

    // Disabling M5 clears every address of link 5, both ends.
    h.sw.click("SwM5");
    EXPECT_EQ(h.SwColour("SwM5"), "green");
    for (int r : {9, 10})
        for (int slot = 0; slot < UnitSlotCount; ++slot)
            EXPECT_TRUE(h.setup.rec(r).addr(slot).empty());

    // Moving the switch moves every enabled unit and keeps the disabled ones empty.
    h.sw.choose("SwList", 3);
    EXPECT_EQ(h.setup.rec(41).Mod1Addr, "3000");
    EXPECT_EQ(h.setup.rec(5).Mod1Addr, "3300");
    EXPECT_EQ(h.setup.rec(7).Mod1Addr, "3400");
    EXPECT_EQ(h.setup.rec(42).Mod1Addr, "4100");
    EXPECT_TRUE(h.setup.rec(9).Mod1Addr.empty());
    EXPECT_TRUE(h.setup.rec(1).Mod1Addr.empty());

    // " Disable" clears the switch and its redundant modem, keeps the links.
    h.sw.choose("SwList", 0);
    EXPECT_TRUE(h.setup.rec(41).Mod1Addr.empty());
    for (int slot = 0; slot < UnitSlotCount; ++slot)
        EXPECT_TRUE(h.setup.rec(42).addr(slot).empty());
    EXPECT_EQ(h.setup.rec(5).Mod1Addr, "3300");
    EXPECT_FALSE(h.sw.shown("SwDetails"));
}

TEST(SwitchEdit, Switch2FieldsAndLeaving) {
    EditHarness h;
    h.setup.rec(43).Mod1Addr = "7000";
    h.setup.rec(43).IdText = "SW-B";
    h.setup.rec(43).DelayText = "120";
    h.setup.rec(44).Mod1Addr = "8100";
    h.setup.rec(21).Mod1Addr = "7100";
    h.Start();
    h.Ticks(10);
    h.OpenSwitch(2);
    EXPECT_EQ(h.sw.at("SwList").selected(), 5);
    EXPECT_EQ(h.sw.at("SwID").text(), "SW-B");
    EXPECT_EQ(h.sw.at("SwDlay").text(), "120");
    EXPECT_EQ(h.sw.at("SwM10").text(), "8000");
    EXPECT_EQ(h.sw.at("SwRM").text(), "8100");
    EXPECT_EQ(h.SwColour("SwRM"), "lime");
    EXPECT_EQ(h.SwColour("SwM1"), "lime");
    h.sw.click("SwM10");
    EXPECT_EQ(h.setup.rec(39).Mod1Addr, "8000"); // link 20
    h.sw.click("SwM1");
    EXPECT_TRUE(h.setup.rec(21).Mod1Addr.empty()); // link 11, polled until now

    h.Enter(h.sw, "SwDlay", "30");
    EXPECT_EQ(h.sw.at("SwMsg").text(), "Value was corrected");
    EXPECT_EQ(h.sw.at("SwDlay").text(), "50");
    EXPECT_EQ(h.setup.rec(43).DelayText, "50");
    h.Enter(h.sw, "SwTout", "0");
    EXPECT_EQ(h.setup.rec(43).TimeoutText, "1");
    h.Enter(h.sw, "SwTout", "3x");
    EXPECT_EQ(h.sw.at("SwMsg").text(), "");
    EXPECT_EQ(h.setup.rec(43).TimeoutText, "3");
    h.Enter(h.sw, "SwDlay", "abc");
    EXPECT_EQ(h.setup.rec(43).DelayText, "50");
    EXPECT_EQ(h.sw.at("SwMsg").text(), "Value was corrected");
    h.Enter(h.sw, "SwID", "SWITCH-TWO-XYZ");
    EXPECT_EQ(h.setup.rec(43).IdText, "SWITCH-TWO-X");
    EXPECT_EQ(h.sw.at("SwMsg").text(), "");

    h.sw.click("BtnExitSw");
    EXPECT_FALSE(h.swShown);
    EXPECT_TRUE(h.cycle.TimerEnabled());
    EXPECT_EQ(h.cycle.tx.RequestedMode, Modes::AllLinks);
    EXPECT_EQ(colourName(h.setup.rec(39).EndColour), "green");
    EXPECT_EQ(colourName(h.setup.rec(21).EndColour), "gray");
    EXPECT_EQ(colourName(h.setup.rec(39).Mod1Colour), "silver");
    EXPECT_EQ(h.screen.at("Switch2").text(), "SWITCH-TWO-X");
}

TEST(SwitchEdit, AnAddressOffTheListIsShownAndKept) {
    EditHarness h;
    h.setup.rec(41).Mod1Addr = "2000";
    h.setup.rec(3).Mod1Addr = "2200";
    h.OpenSwitch(1);
    EXPECT_EQ(h.sw.at("SwList").selectedText(), " 2000");
    EXPECT_TRUE(h.sw.shown("SwDetails"));
    EXPECT_EQ(h.sw.at("SwM2").text(), "2200");
    EXPECT_EQ(h.SwColour("SwM2"), "lime");
    h.sw.click("BtnExitSw");
    EXPECT_EQ(h.setup.rec(41).Mod1Addr, "2000");
    EXPECT_EQ(h.setup.rec(3).Mod1Addr, "2200");

    // The next switch opened shows only the list's entries.
    h.OpenSwitch(2);
    EXPECT_EQ(h.sw.at("SwList").items().size(), 6u);
}

TEST(SwitchEdit, DisablingTheOnlyUnitStopsThePolling) {
    EditHarness h;
    h.setup.rec(43).Mod1Addr = "7000";
    h.Start();
    h.Ticks(10);
    h.OpenSwitch(2);
    h.sw.choose("SwList", 0);
    h.sw.click("BtnExitSw");
    h.Ticks(50);
    const size_t sent = h.port.sent.size();
    h.Ticks(200);
    EXPECT_EQ(h.port.sent.size(), sent);
}
