#include "EditHarness.h"

#include "wire/TextFormats.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace linvar;

TEST(LinkEdit, EntriesGoToTheirOwnRecordAndField) {
    EditHarness h;
    h.setup.rec(5).Mod1Addr = "0300";
    h.setup.rec(6).InfoText = "Log";
    h.OpenLink(3);
    ASSERT_TRUE(h.link.Editing());
    EXPECT_TRUE(h.linkShown);
    EXPECT_FALSE(h.cycle.TimerEnabled());
    EXPECT_TRUE(h.link.at("ChkLinkLog").checked());
    EXPECT_FALSE(h.link.shown("AddrMod2"));

    h.Enter("AddrRFT2L", "7");
    h.Enter("AddrMod1", "1 2"); // blanks count as zeros
    h.Enter("AddrRFT1", "abc"); // unreadable
    EXPECT_EQ(h.Boxes({"AddrRFT2L", "AddrMod2L"}), (Texts{"0007/aqua", "/silver"}));
    EXPECT_EQ(h.Addrs(5) + ";" + h.Addrs(6), "0300,,,0007;0102,,0000,");
    h.Enter("AddrRFT2L", "");
    EXPECT_EQ(h.Boxes({"AddrRFT2L"}), Texts{"/silver"});
    EXPECT_EQ(h.Addrs(5), "0300,,,");

    // A minus sign or a fraction is refused and the stored address comes back.
    for (const char* bad : {"-5", "1.5", ".5e0"}) {
        h.Enter("AddrMod1", bad);
        EXPECT_EQ(h.Error(), std::string("Address entry was invalid: ") + bad);
        EXPECT_EQ(h.Text("AddrMod1") + "," + h.setup.rec(6).Mod1Addr.str(), "0102,0102");
    }
    h.Enter("AddrMod2L", "12");
    EXPECT_EQ(h.Error(), "");
    EXPECT_EQ(h.setup.rec(5).Mod2Addr, "0012");

    h.Enter("LinkIDL", "LONDON");
    h.Enter("LinkID", "PARIS");
    h.Enter("LkInfo", "Call Jo\r\non 123\tor 456");
    h.link.check("ChkLinkLog", false);
    h.link.check("ChkPair", true);
    EXPECT_EQ(h.setup.rec(5).IdText + "," + h.setup.rec(6).IdText, "LONDON,PARIS");
    EXPECT_EQ(h.setup.rec(5).InfoText, "Call Jo on 123\tor 456"); // a blank, no new line
    h.Enter("LkInfo", "Rack 4\r\n");                              // the Enter key ends the entry
    EXPECT_EQ(h.setup.rec(5).InfoText, "Rack 4");
    EXPECT_EQ(h.setup.rec(6).InfoText + "," + h.setup.rec(6).PairFlag, ",1");
    h.link.check("ChkPair", false);
    EXPECT_EQ(h.setup.rec(6).PairFlag, "0");

    // Leaving a box unchanged stores nothing; LOCAL Transceiver 1 is stored again.
    h.setup.rec(5).Tr1Colour = Colours::red;
    h.link.leave("AddrMod2L");
    h.link.leave("AddrRFT1L");
    EXPECT_EQ(colourName(h.setup.rec(5).Tr1Colour), "silver");
}

TEST(LinkEdit, DelayAndTimeoutChecks) {
    EditHarness h;
    h.setup.rec(1).Mod1Addr = "0100";
    h.setup.rec(2).Mod1Addr = "0200";
    h.setup.rec(2).DelayText = "200";
    h.OpenLink(1);
    // What is refused or corrected leaves the stored value, and the box shows it again;
    // nothing too short is raised to 50. Boxes ending in L are the LOCAL record's.
    const struct {
        const char *box, *typed, *error, *stored;
    } rows[] = {{"TdelayL", "120", "", "120"},
                {"TdelayL", "49", "Time delay entry was corrected", "120"},
                {"TdelayL", "50", "", "50"},
                {"Tdelay", "ab", "Time delay entry was invalid: ab", "200"},
                {"TimOut", "0", "Timeout entry was corrected", "5"},
                {"TimOutL", "", "Timeout entry was invalid: ", "5"},
                {"TimOutL", " 9", "", "9"}};
    for (const auto& r : rows) {
        h.Enter(r.box, r.typed);
        const std::string box = r.box;
        const EndRecord& end = h.setup.rec(box.back() == 'L' ? 1 : 2);
        EXPECT_EQ(
            (Texts{h.Error(), h.Text(r.box), box[1] == 'd' ? end.DelayText : end.TimeoutText}),
            (Texts{r.error, r.stored, r.stored}))
            << r.box << " <- '" << r.typed << "'";
    }

    // The DISTANT boxes act on the DISTANT record whatever was edited before, and the
    // LOCAL Modem 1 box on the LOCAL record only.
    h.Enter("Tdelay", "300");
    h.Enter("AddrMod1L", "");
    EXPECT_EQ(h.setup.rec(2).DelayText + "," + h.setup.rec(1).DelayText, "300,50");
    EXPECT_EQ(h.Addrs(1) + ";" + h.Addrs(2), ",,,;0200,,,");
    EXPECT_EQ(colourName(h.setup.rec(1).Mod1Colour), "silver");
    EXPECT_FALSE(h.setup.EndActive(1));
    EXPECT_TRUE(h.setup.EndActive(2));
}

TEST(LinkEdit, SwitchDecidesLocalModem1) {
    EditHarness h;
    h.setup.rec(43).Mod1Addr = "3000";
    h.OpenLink(12);
    EXPECT_EQ(h.Boxes({"AddrMod1L"}), Texts{"3200/silver"});
    EXPECT_FALSE(h.link.type("AddrMod1L", "5"));
    h.link.click("AddrMod1L");
    EXPECT_EQ(h.setup.rec(23).Mod1Addr, "3200");
    EXPECT_EQ(h.Boxes({"AddrMod1L"}), Texts{"3200/aqua"});
    h.link.click("AddrMod1L");
    h.link.click("AddrRFT1L"); // a typeable box is not switched by a click
    EXPECT_EQ(h.Addrs(23), ",,,");
}

TEST(LinkEdit, BlockAddressingOfTheNewSpec) {
    EditHarness h;
    EndRecord& l = h.setup.rec(1);
    l.AddrSpec = "52";
    l.Mod1Addr = "1000";
    l.Tr1Addr = "1002";
    h.setup.rec(2).Mod1Addr = "1004";
    h.OpenLink(1);
    ASSERT_TRUE(h.link.NewSpec());
    const Texts boxes = {"AddrMod1L", "AddrMod2L", "AddrRFT1L", "AddrRFT2L",
                         "AddrMod1",  "AddrMod2",  "AddrRFT1",  "AddrRFT2"};
    EXPECT_EQ(h.Boxes(boxes), (Texts{"1000/aqua", "1001/silver", "1002/aqua", "1003/silver",
                                     "1004/aqua", "1005/silver", "1006/silver", "1007/silver"}));
    EXPECT_TRUE(h.link.at("AddrRFT1L").readOnly());
    EXPECT_FALSE(h.link.type("AddrRFT2", "5"));
    h.link.click("AddrRFT2");
    EXPECT_EQ(h.setup.rec(2).Tr2Addr, "1007");
    EXPECT_EQ(h.Boxes({"AddrRFT2"}), Texts{"1007/aqua"});
    h.link.click("AddrRFT2");
    EXPECT_EQ(h.setup.rec(2).Tr2Addr, "");
    EXPECT_EQ(h.Boxes({"AddrRFT2"}), Texts{"1007/silver"});
    h.link.click("AddrRFT2L");
    EXPECT_EQ(l.Tr2Addr, "1003");

    // A new Modem 1 address moves the block and disables every other unit of the link.
    h.Enter("AddrMod1L", "2000");
    EXPECT_EQ(h.Addrs(1) + ";" + h.Addrs(2), "2000,,,;,,,");
    EXPECT_EQ(h.Boxes({"AddrRFT2"}), Texts{"2007/silver"});

    // Without Modem 1, Transceiver 1 is typed and Transceiver 2 follows it.
    h.Enter("AddrMod1L", "");
    h.Enter("AddrRFT1L", "500");
    EXPECT_EQ(l.Tr1Addr, "0500");
    EXPECT_EQ(h.Text("AddrRFT2L"), "0501");
    h.link.click("AddrRFT2L");
    EXPECT_EQ(l.Tr2Addr, "0501");
    h.Enter("AddrRFT1L", "600"); // Transceiver 2 does not stay behind at 0501
    EXPECT_EQ(h.Addrs(1) + " " + h.Text("AddrRFT2L"), ",,0600, 0601");
    h.Enter("AddrRFT1L", "");
    EXPECT_EQ(h.Addrs(1) + " " + h.Text("AddrRFT2L"), ",,, ");
}

TEST(LinkEdit, LeavingResumesPollingOfTheNewUnit) {
    EditHarness h;
    h.Unit(1, Modem1, "0100", "350");
    h.bus.add("0200", "350");
    h.Start();
    h.Ticks(4);
    h.OpenLink(2);
    const size_t sent = h.port.sent.size();
    h.Ticks(20);
    EXPECT_EQ(h.port.sent.size(), sent); // nothing is polled while editing

    h.Enter("AddrMod1L", "200");
    h.link.click("BtnExitEdit");
    EXPECT_FALSE(h.link.Editing() || h.linkShown);
    EXPECT_EQ(h.cycle.tx.RequestedMode, Modes::OneLink);
    EXPECT_EQ(colourName(h.setup.rec(3).EndColour), "green");
    ASSERT_TRUE(h.RunRequests(1));
    EXPECT_EQ(h.port.sent.back(), "<0200/FLT?");
    h.Ticks(4);
    EXPECT_EQ(h.Colour("LblMod1L"), "lime");
    EXPECT_EQ(h.screen.at("LinkBox").text(), "Link 2");

    // "&Close" of the single-link view ends a pending edit and goes to the summary.
    h.ClickEdit("BtnEnterEdit");
    ASSERT_TRUE(h.link.Editing());
    h.screen.click("BtnClose");
    EXPECT_FALSE(h.link.Editing());
    EXPECT_EQ(h.cycle.tx.RequestedMode, Modes::AllLinks);

    // An unconfigured link left without an address goes back to the summary.
    h.Ticks(4);
    h.OpenLink(5);
    h.link.click("BtnExitEdit");
    EXPECT_EQ(h.cycle.tx.RequestedMode, Modes::AllLinks);
}

TEST(LinkEdit, RedundantModem) {
    EditHarness h;
    h.setup.rec(44).AddrSpec = "52"; // a redundant modem has no block of addresses
    h.ClickEdit("BtnEditRM2");
    EXPECT_FALSE(h.link.Editing()); // switch 2 is off

    h.setup.rec(43).Mod1Addr = "5000";
    h.ClickEdit("BtnEditRM2");
    ASSERT_TRUE(h.link.Editing());
    EXPECT_FALSE(h.link.NewSpec());
    EXPECT_EQ(h.Text("AddrMod1L"), "6100");
    EXPECT_TRUE(h.link.at("AddrMod1L").readOnly());
    for (const char* hidden : {"AddrMod1", "AddrRFT1", "AddrRFT2", "LinkID", "Tdelay", "TimOut",
                               "ChkPair", "ChkLinkLog"})
        EXPECT_FALSE(h.link.shown(hidden)) << hidden;
    h.link.click("AddrMod1L");
    h.Enter("LinkIDL", "SPARE");
    h.Enter("TdelayL", "80");
    h.Enter("LkInfo", "Rack 4");
    const EndRecord& rm = h.setup.rec(44);
    EXPECT_EQ((Texts{rm.Mod1Addr, rm.IdText, rm.DelayText, rm.InfoText}),
              (Texts{"6100", "SPARE", "80", "Rack 4"}));
    EXPECT_EQ(h.setup.rec(43).Mod1Addr, "5000"); // the switch is untouched
    h.link.click("BtnExitEdit");
    EXPECT_EQ(h.cycle.tx.RequestedMode, Modes::AllLinks);
}

namespace {

// The place a control takes in its grid: its row and column.
std::pair<int, int> GridCell(const Screen& s, const std::string& grid, const std::string& name) {
    const Control& g = s.at(grid);
    const auto& c = g.children();
    const int i = static_cast<int>(std::find(c.begin(), c.end(), name) - c.begin());
    return {i / g.columns(), i % g.columns()};
}

int GridColumn(const Screen& s, const std::string& grid, const std::string& name) {
    return GridCell(s, grid, name).second;
}

} // namespace

TEST(LinkEdit, EachEndsBoxesStandUnderItsHeading) {
    EditHarness h;
    const std::vector<std::pair<std::string, std::string>> under = {{"LblLocalEnd", "LinkIDL"},
                                                                    {"LblDistantEnd", "LinkID"},
                                                                    {"LblLocalEnd", "TdelayL"},
                                                                    {"LblDistantEnd", "Tdelay"}};
    for (const auto& [heading, box] : under)
        EXPECT_EQ(GridColumn(h.link, "EditGrid", box), GridColumn(h.link, "EditGrid", heading))
            << box;
    // Captions on their boxes' row.
    for (const auto& [caption, box] : {std::pair{"LblIdHint", "LinkIDL"}, {"LblDelay", "TdelayL"}})
        EXPECT_EQ(GridCell(h.link, "EditGrid", caption).first,
                  GridCell(h.link, "EditGrid", box).first)
            << caption;
    // The summary likewise: each end's icon under "LOCAL" or "DISTANT".
    for (int half : {1, 2}) {
        const std::string p = half == 1 ? "SumLeft" : "SumRight", n = std::to_string(half);
        const int link = half == 1 ? 3 : 13;
        EXPECT_EQ(GridColumn(h.screen, p, SummaryScreen::IconName(2 * link - 1)),
                  GridColumn(h.screen, p, "HeadL" + n));
        EXPECT_EQ(GridColumn(h.screen, p, SummaryScreen::IconName(2 * link)),
                  GridColumn(h.screen, p, "HeadD" + n));
    }
    // The single-link view: each unit under its end.
    for (bool distant : {false, true})
        EXPECT_EQ(GridColumn(h.screen, "LinkUnits", SummaryScreen::UnitIconName(1, distant)),
                  GridColumn(h.screen, "LinkUnits", distant ? "HeadDistant" : "HeadLocal"));
}
