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
    EXPECT_EQ(std::tuple(h.link.Editing(), h.linkShown, h.cycle.TimerEnabled(),
                         h.link.at("ChkLinkLog").checked(), h.link.shown("AddrMod2")),
              std::tuple(true, true, false, true, false));

    h.Enter("AddrRFT2L", "7");
    h.Enter("AddrMod1", "1 2"); // blanks count as zeros
    h.Enter("AddrRFT1", "abc"); // unreadable
    EXPECT_EQ(h.Boxes({"AddrRFT2L", "AddrMod2L"}), (Texts{"0007/aqua", "/silver"}));
    EXPECT_EQ(h.Addrs(5) + ";" + h.Addrs(6), "0300,,,0007;0102,,0000,");
    h.Enter("AddrRFT2L", "");
    EXPECT_EQ(h.Boxes({"AddrRFT2L"})[0] + " " + h.Addrs(5), "/silver 0300,,,");

    // A minus sign or a fraction is refused and the stored address comes back.
    for (const char* bad : {"-5", "1.5", ".5e0"}) {
        h.Enter("AddrMod1", bad);
        EXPECT_EQ(h.Error() + " " + h.Text("AddrMod1") + "," + h.setup.rec(6).Mod1Addr,
                  std::string("Address entry was invalid: ") + bad + " 0102,0102");
    }
    h.Enter("AddrMod2L", "12");
    EXPECT_EQ(h.Error() + "|" + h.setup.rec(5).Mod2Addr, "|0012");

    h.Enter("LinkIDL", "LONDON");
    h.Enter("LinkID", "PARIS");
    h.Enter("LkInfo", "Call Jo\r\non 123\tor 456");
    h.link.check("ChkLinkLog", false);
    h.link.check("ChkPair", true);
    // A line break in the comment is stored as a blank; the Enter key ends the entry.
    EXPECT_EQ(h.setup.rec(5).IdText + "," + h.setup.rec(6).IdText + "," + h.setup.rec(5).InfoText,
              "LONDON,PARIS,Call Jo on 123\tor 456");
    h.Enter("LkInfo", "Rack 4\r\n");
    EXPECT_EQ(h.setup.rec(5).InfoText + "," + h.setup.rec(6).InfoText + "," +
                  h.setup.rec(6).PairFlag,
              "Rack 4,,1");
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
    EXPECT_EQ(h.setup.rec(2).DelayText + "," + h.setup.rec(1).DelayText + " " + h.Addrs(1) + ";" +
                  h.Addrs(2),
              "300,50 ,,,;0200,,,");
    EXPECT_EQ(std::tuple(colourName(h.setup.rec(1).Mod1Colour), h.setup.EndActive(1),
                         h.setup.EndActive(2)),
              std::tuple("silver", false, true));
}

TEST(LinkEdit, SwitchDecidesLocalModem1) {
    EditHarness h;
    h.setup.rec(43).Mod1Addr = "3000";
    h.OpenLink(12);
    EXPECT_EQ(h.Boxes({"AddrMod1L"}), Texts{"3200/silver"});
    EXPECT_FALSE(h.link.type("AddrMod1L", "5"));
    h.link.click("AddrMod1L");
    EXPECT_EQ(h.setup.rec(23).Mod1Addr + " " + h.Boxes({"AddrMod1L"})[0], "3200 3200/aqua");
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
    EXPECT_TRUE(h.link.at("AddrRFT1L").readOnly() && !h.link.type("AddrRFT2", "5"));
    h.link.click("AddrRFT2");
    EXPECT_EQ(h.setup.rec(2).Tr2Addr + " " + h.Boxes({"AddrRFT2"})[0], "1007 1007/aqua");
    h.link.click("AddrRFT2");
    EXPECT_EQ(h.setup.rec(2).Tr2Addr + " " + h.Boxes({"AddrRFT2"})[0], " 1007/silver");
    h.link.click("AddrRFT2L");
    EXPECT_EQ(l.Tr2Addr, "1003");

    // A new Modem 1 address moves the block and disables every other unit of the link.
    h.Enter("AddrMod1L", "2000");
    EXPECT_EQ(h.Addrs(1) + ";" + h.Addrs(2) + " " + h.Boxes({"AddrRFT2"})[0],
              "2000,,,;,,, 2007/silver");

    // Without Modem 1, Transceiver 1 is typed and Transceiver 2 follows it.
    h.Enter("AddrMod1L", "");
    h.Enter("AddrRFT1L", "500");
    EXPECT_EQ(h.Addrs(1) + " " + h.Text("AddrRFT2L"), ",,0500, 0501");
    h.link.click("AddrRFT2L");
    EXPECT_EQ(h.Addrs(1), ",,0500,0501");
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
    EXPECT_EQ(h.Colour("LblMod1L") + " " + h.screen.at("LinkBox").text(), "lime Link 2");

    // "&Close" of the single-link view ends a pending edit and goes to the summary.
    h.ClickEdit("BtnEnterEdit");
    ASSERT_TRUE(h.link.Editing());
    h.screen.click("BtnClose");
    EXPECT_EQ(std::tuple(h.link.Editing(), h.cycle.tx.RequestedMode),
              std::tuple(false, Modes::AllLinks));

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
    EXPECT_EQ(std::tuple(h.link.NewSpec(), h.Text("AddrMod1L"), h.link.at("AddrMod1L").readOnly()),
              std::tuple(false, "6100", true));
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

// The row and the column a control takes in its grid.
std::pair<int, int> GridCell(const Screen& s, const std::string& grid, const std::string& name) {
    const Control& g = s.at(grid);
    const auto& c = g.children();
    const int i = static_cast<int>(std::find(c.begin(), c.end(), name) - c.begin());
    return {i / g.columns(), i % g.columns()};
}

} // namespace

TEST(LinkEdit, EachEndsBoxesStandUnderItsHeading) {
    EditHarness h;
    const auto icon = [](int end) { return SummaryScreen::IconName(end); };
    // (screen, grid, a, b, same row) -> a is in b's column, or on its row
    const std::tuple<Screen&, const char*, std::string, std::string, bool> rows[] = {
        {h.link, "EditGrid", "LinkIDL", "LblLocalEnd", false},
        {h.link, "EditGrid", "LinkID", "LblDistantEnd", false},
        {h.link, "EditGrid", "TdelayL", "LblLocalEnd", false},
        {h.link, "EditGrid", "Tdelay", "LblDistantEnd", false},
        {h.link, "EditGrid", "LblIdHint", "LinkIDL", true},
        {h.link, "EditGrid", "LblDelay", "TdelayL", true},
        {h.screen, "SumLeft", icon(5), "HeadL1", false}, // link 3, the summary's left half
        {h.screen, "SumLeft", icon(6), "HeadD1", false},
        {h.screen, "SumRight", icon(25), "HeadL2", false}, // link 13, its right half
        {h.screen, "SumRight", icon(26), "HeadD2", false},
    };
    for (const auto& [screen, grid, a, b, row] : rows) {
        const auto [ca, cb] = std::pair(GridCell(screen, grid, a), GridCell(screen, grid, b));
        EXPECT_EQ(row ? ca.first : ca.second, row ? cb.first : cb.second) << a << " " << b;
    }
    // The single-link view: each unit under its end.
    for (bool distant : {false, true})
        EXPECT_EQ(GridCell(h.screen, "LinkUnits", SummaryScreen::UnitIconName(1, distant)).second,
                  GridCell(h.screen, "LinkUnits", distant ? "HeadDistant" : "HeadLocal").second);
}
