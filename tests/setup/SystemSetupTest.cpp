#include "setup/SystemSetup.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

using namespace linvar;
using Texts = std::vector<std::string>;

TEST(SystemSetup, RecordNumbersAndAddressesOfLinksSwitchesAndRedundantModems) {
    using S = SystemSetup;
    // (function, argument, record or number)
    const std::tuple<int (*)(int), int, int> rows[] = {
        {S::LocalRecord, 1, 1},           {S::DistantRecord, 1, 2},
        {S::LocalRecord, 20, 39},         {S::DistantRecord, 20, 40},
        {S::LinkOfRecord, 39, 20},        {S::LinkOfRecord, 40, 20},
        {S::LinkOfRecord, 41, 0},         {S::SwitchRecord, 2, 43},
        {S::RedundantModemRecord, 1, 42}, {S::SwitchOfRedundantModemRecord, 44, 2},
        {S::SwitchOfLink, 10, 1},         {S::SwitchOfLink, 11, 2},
    };
    for (const auto& [fn, arg, want] : rows)
        EXPECT_EQ(fn(arg), want) << arg;
    // Traffic modem 10 of switch 2 is Modem 1 of the LOCAL end of link 20.
    EXPECT_EQ(std::pair(S::TrafficModemRecord(2, 10), S::TrafficModemRecord(1, 1)),
              std::pair(39, 1));
    EXPECT_EQ((Texts{S::RedundantModemAddress("7000"), S::RedundantModemAddress("0000"),
                     S::RedundantModemAddress(""), S::TrafficModemAddress("0000", 1),
                     S::TrafficModemAddress("1000", 10), S::TrafficModemAddress("5000", 3)}),
              (Texts{"8100", "1100", "", "0100", "2000", "5300"}));
    EXPECT_EQ(S::SwitchAddresses().size(), 5u);

    SystemSetup setup;
    EXPECT_THROW(setup.rec(0), std::out_of_range);
    EXPECT_THROW(setup.rec(45), std::out_of_range);
    EXPECT_THROW(S::LocalRecord(21), std::out_of_range);
    EXPECT_THROW(S::SwitchRecord(3), std::out_of_range);
    EXPECT_THROW(S::SwitchOfRedundantModemRecord(41), std::out_of_range);
    EXPECT_THROW(setup.rec(1).addr(4), std::out_of_range);
}

TEST(SystemSetup, ActiveEndsAndDisplayColours) {
    SystemSetup setup;
    // The second units of a pair alone leave the end inactive and gray.
    setup.rec(3).Mod2Addr = "0101";
    setup.rec(4).Tr2Addr = "0102";
    setup.RecomputeAnyEndActive();
    EXPECT_FALSE(setup.EndActive(3) || setup.EndActive(4) || setup.AnyEndActive);
    setup.ResetDisplayColours();
    const EndRecord &r3 = setup.rec(3), &r44 = setup.rec(44);
    EXPECT_EQ((std::vector{r3.EndColour, r3.Mod2Colour, r3.Mod1Colour}),
              (std::vector{Colours::gray, Colours::aqua, Colours::silver}));
    setup.rec(44).Tr1Addr = "8100";
    setup.RecomputeAnyEndActive();
    EXPECT_TRUE(setup.EndActive(44) && setup.AnyEndActive);
    setup.ResetDisplayColours(44);
    EXPECT_EQ(std::pair(r44.EndColour, r44.unitColour(Transceiver1)),
              std::pair(Colours::green, Colours::aqua));
    setup.ResetColoursAfterSwitchEdit();
    EXPECT_EQ((std::vector{r44.EndColour, r44.Tr1Colour, r3.Mod2Colour, r3.EndColour}),
              (std::vector{Colours::green, Colours::silver, Colours::silver, Colours::gray}));
}

TEST(SystemSetup, LoggedLinkNeedsExactlyLogOnItsDistantEnd) {
    SystemSetup setup;
    setup.rec(SystemSetup::DistantRecord(5)).InfoText = "Log";
    setup.rec(SystemSetup::DistantRecord(6)).InfoText = "Log ";
    setup.rec(SystemSetup::DistantRecord(7)).InfoText = "log";
    setup.rec(SystemSetup::LocalRecord(8)).InfoText = "Log";
    EXPECT_EQ((std::vector<bool>{setup.LinkLogged(5), setup.LinkLogged(6), setup.LinkLogged(7),
                                 setup.LinkLogged(8)}),
              (std::vector<bool>{true, false, false, false}));
}

TEST(SystemSetup, IntervalChoiceRebuildsTheOffsetList) {
    SystemSetup setup;
    EXPECT_EQ(SystemSetup::AutoLogOffsetEntries(4).back(), " 19");
    setup.SettleAutoLogLists(SystemSetup::NoEntry);
    // (choose interval or offset, its index) -> interval index, minutes, offset index, and
    // the length of the offset list
    const struct {
        char what;
        int index;
        std::array<int, 4> after;
    } steps[] = {
        {'i', 10, {10, 1440, 0, 20}}, {'o', 15, {10, 1440, 15, 20}},
        {'i', 3, {3, 60, 15, 20}}, // no move to or from index 0: offset kept
        {'i', 0, {0, 10, 0, 10}},     {'o', 12, {0, 10, 0, 10}}, // not in the short list
        {'o', 7, {0, 10, 7, 10}},     {'i', 2, {2, 30, 7, 20}},
        {'i', 11, {2, 30, 7, 20}}, // ignored
    };
    for (const auto& s : steps) {
        s.what == 'i' ? setup.ChooseAutoLogInterval(s.index) : setup.ChooseAutoLogOffset(s.index);
        EXPECT_EQ((std::array{setup.AutoLogIntervalIndex, setup.AutoLogIntervalMinutes,
                              setup.AutoLogOffsetIndex,
                              static_cast<int>(setup.AutoLogOffsetList().size())}),
                  s.after)
            << s.what << s.index;
    }
}
