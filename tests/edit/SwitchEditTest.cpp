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
    EXPECT_EQ(std::tuple(h.sw.Editing(), h.swShown, h.cycle.TimerEnabled(),
                         h.sw.at("SwList").selected(), h.sw.shown("SwDetails")),
              std::tuple(true, true, false, 0, false));
    h.sw.choose("SwList", 0); // " Disable" with the switch off all along: links left alone
    EXPECT_EQ(h.setup.rec(5).Mod1Addr, "0042");

    h.sw.choose("SwList", 2); // link 3 enabled: moved to the switch's scheme
    EXPECT_TRUE(h.sw.shown("SwDetails"));
    EXPECT_EQ(h.setup.rec(41).Mod1Addr + "," + h.setup.rec(5).Mod1Addr, "1000,1300");
    EXPECT_EQ(h.SwBoxes({"SwM3", "SwM4", "SwRM"}),
              (Texts{"1300/lime", "1400/green", "2100/green"}));
    h.sw.click("SwM4");
    h.sw.click("SwRM");
    EXPECT_EQ(h.SwBoxes({"SwM4"}), Texts{"1400/lime"});
    EXPECT_EQ(h.setup.rec(7).Mod1Addr + "," + h.setup.rec(42).Mod1Addr + "," +
                  colourName(h.setup.rec(42).EndColour),
              "1400,2100,green");

    // Disabling M5 clears every address of link 5, both ends.
    h.sw.click("SwM5");
    EXPECT_EQ(h.SwBoxes({"SwM5"}), Texts{"1500/green"});
    EXPECT_EQ(h.Addrs(9) + ";" + h.Addrs(10), ",,,;,,,");

    // Moving the switch moves every enabled unit and keeps the disabled ones empty.
    h.sw.choose("SwList", 3);
    EXPECT_EQ((Texts{h.setup.rec(41).Mod1Addr, h.setup.rec(5).Mod1Addr, h.setup.rec(7).Mod1Addr,
                     h.setup.rec(42).Mod1Addr, h.setup.rec(9).Mod1Addr, h.setup.rec(1).Mod1Addr}),
              (Texts{"3000", "3300", "3400", "4100", "", ""}));

    // " Disable" clears the switch and its redundant modem, keeps the links.
    h.sw.choose("SwList", 0);
    EXPECT_EQ(h.setup.rec(41).Mod1Addr + ";" + h.Addrs(42) + ";" + h.setup.rec(5).Mod1Addr.str(),
              ";,,,;3300");
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
    EXPECT_EQ(h.sw.at("SwID").text() + "," + h.sw.at("SwDlay").text(), "SW-B,120");
    EXPECT_EQ(h.SwBoxes({"SwM10", "SwRM", "SwM1"}),
              (Texts{"8000/green", "8100/lime", "7100/lime"}));
    h.sw.click("SwM10");
    h.sw.click("SwM1");
    EXPECT_EQ(h.setup.rec(39).Mod1Addr + "," + h.setup.rec(21).Mod1Addr, "8000,"); // links 20, 11

    // (box, typed) -> message, box, stored
    const struct {
        const char *box, *typed, *message, *shown, *stored;
    } rows[] = {
        {"SwDlay", "30", "Value was corrected", "50", "50"},
        {"SwTout", "0", "Value was corrected", "1", "1"},
        {"SwTout", "3x", "", "3", "3"},
        {"SwDlay", "abc", "Value was corrected", "50", "50"},
        {"SwID", "SWITCH-TWO-XYZ", "", "SWITCH-TWO-X", "SWITCH-TWO-X"},
    };
    const EndRecord& sw2 = h.setup.rec(43);
    for (const auto& r : rows) {
        h.Enter(h.sw, r.box, r.typed);
        const std::string box = r.box;
        const std::string stored = box == "SwDlay"   ? sw2.DelayText.str()
                                   : box == "SwTout" ? sw2.TimeoutText.str()
                                                     : sw2.IdText.str();
        EXPECT_EQ((Texts{h.sw.at("SwMsg").text(), h.sw.at(r.box).text(), stored}),
                  (Texts{r.message, r.shown, r.stored}))
            << r.box << " <- " << r.typed;
    }

    h.sw.click("BtnExitSw");
    EXPECT_EQ(std::tuple(h.swShown, h.cycle.TimerEnabled(), h.cycle.tx.RequestedMode),
              std::tuple(false, true, Modes::AllLinks));
    EXPECT_EQ((Texts{colourName(h.setup.rec(39).EndColour), colourName(h.setup.rec(21).EndColour),
                     colourName(h.setup.rec(39).Mod1Colour)}),
              (Texts{"green", "gray", "silver"}));
    EXPECT_EQ(h.screen.at("Switch2").text(), "SWITCH-TWO-X");
}

TEST(SwitchEdit, AnAddressOffTheListIsShownAndKept) {
    EditHarness h;
    h.setup.rec(41).Mod1Addr = "2000";
    h.setup.rec(3).Mod1Addr = "2200";
    h.OpenSwitch(1);
    EXPECT_EQ(std::pair(h.sw.at("SwList").selectedText(), h.sw.shown("SwDetails")),
              std::pair(std::string(" 2000"), true));
    EXPECT_EQ(h.SwBoxes({"SwM2"}), Texts{"2200/lime"});
    h.sw.click("BtnExitSw");
    EXPECT_EQ(h.setup.rec(41).Mod1Addr + "," + h.setup.rec(3).Mod1Addr, "2000,2200");
    h.OpenSwitch(2); // the next switch opened shows only the list's entries
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
