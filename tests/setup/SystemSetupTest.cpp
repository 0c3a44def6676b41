#include "setup/SystemSetup.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

using namespace linvar;

TEST(SystemSetup, RecordNumbersOfLinksSwitchesAndRedundantModems) {
    // Each function at a few arguments: (function, argument, record or number).
    const std::vector<std::tuple<int (*)(int), int, int>> rows = {
        {SystemSetup::LocalRecord, 1, 1},
        {SystemSetup::DistantRecord, 1, 2},
        {SystemSetup::LocalRecord, 20, 39},
        {SystemSetup::DistantRecord, 20, 40},
        {SystemSetup::LinkOfRecord, 39, 20},
        {SystemSetup::LinkOfRecord, 40, 20},
        {SystemSetup::LinkOfRecord, 41, 0},
        {SystemSetup::SwitchRecord, 2, 43},
        {SystemSetup::RedundantModemRecord, 1, 42},
        {SystemSetup::SwitchOfRedundantModemRecord, 44, 2},
        {SystemSetup::SwitchOfLink, 10, 1},
        {SystemSetup::SwitchOfLink, 11, 2},
    };
    for (const auto& [fn, arg, want] : rows)
        EXPECT_EQ(fn(arg), want) << arg;
    // Traffic modem 10 of switch 2 is Modem 1 of the LOCAL end of link 20.
    EXPECT_EQ(SystemSetup::TrafficModemRecord(2, 10), 39);
    EXPECT_EQ(SystemSetup::TrafficModemRecord(1, 1), 1);

    SystemSetup setup;
    EXPECT_THROW(setup.rec(0), std::out_of_range);
    EXPECT_THROW(setup.rec(45), std::out_of_range);
    EXPECT_THROW(SystemSetup::LocalRecord(21), std::out_of_range);
    EXPECT_THROW(SystemSetup::SwitchRecord(3), std::out_of_range);
    EXPECT_THROW(SystemSetup::SwitchOfRedundantModemRecord(41), std::out_of_range);
    EXPECT_THROW(setup.rec(1).addr(4), std::out_of_range);
}

TEST(SystemSetup, SwitchUnitAddresses) {
    EXPECT_EQ(SystemSetup::RedundantModemAddress("7000"), "8100");
    EXPECT_EQ(SystemSetup::TrafficModemAddress("0000", 1), "0100");
    EXPECT_EQ(SystemSetup::TrafficModemAddress("1000", 10), "2000");
    EXPECT_EQ(SystemSetup::TrafficModemAddress("5000", 3), "5300");
    EXPECT_EQ(SystemSetup::RedundantModemAddress("0000"), "1100");
    EXPECT_EQ(SystemSetup::RedundantModemAddress(""), "");
    EXPECT_EQ(SystemSetup::SwitchAddresses().size(), 5u);
}

TEST(SystemSetup, TextFieldsAreCutToTheirCapacity) {
    // (The set-up file's load cuts the others.)
    EndRecord e;
    e.PairFlag = "10";
    e.DelayText = "1234567";
    e.IdText = "ABCDEFGHIJKLMNOP";
    e.Tr2Addr = e.IdText; // from a longer field too
    EXPECT_EQ(e.PairFlag, "1");
    EXPECT_EQ(e.DelayText, "123456");
    EXPECT_EQ(e.Tr2Addr, "ABCD");
    e.addr(Transceiver1) = "0200";
    EXPECT_EQ(e.Tr1Addr, "0200");
}

TEST(SystemSetup, ActiveEndsAndDisplayColours) {
    SystemSetup setup;
    setup.RecomputeAnyEndActive();
    EXPECT_FALSE(setup.AnyEndActive);

    // The second units of a pair alone leave the end inactive and gray.
    setup.rec(3).Mod2Addr = "0101";
    setup.rec(4).Tr2Addr = "0102";
    setup.RecomputeAnyEndActive();
    EXPECT_FALSE(setup.EndActive(3));
    EXPECT_FALSE(setup.EndActive(4));
    EXPECT_FALSE(setup.AnyEndActive);
    setup.ResetDisplayColours();
    EXPECT_EQ(setup.rec(3).EndColour, Colours::gray);
    EXPECT_EQ(setup.rec(3).Mod2Colour, Colours::aqua);
    EXPECT_EQ(setup.rec(3).Mod1Colour, Colours::silver);

    setup.rec(44).Tr1Addr = "8100";
    setup.RecomputeAnyEndActive();
    EXPECT_TRUE(setup.EndActive(44));
    EXPECT_TRUE(setup.AnyEndActive);
    setup.ResetDisplayColours(44);
    EXPECT_EQ(setup.rec(44).EndColour, Colours::green);
    EXPECT_EQ(setup.rec(44).unitColour(Transceiver1), Colours::aqua);

    setup.ResetColoursAfterSwitchEdit();
    EXPECT_EQ(setup.rec(44).EndColour, Colours::green);
    EXPECT_EQ(setup.rec(44).Tr1Colour, Colours::silver);
    EXPECT_EQ(setup.rec(3).Mod2Colour, Colours::silver);
    EXPECT_EQ(setup.rec(3).EndColour, Colours::gray);
}

TEST(SystemSetup, LoggedLinkNeedsExactlyLog) {
    SystemSetup setup;
    setup.rec(SystemSetup::DistantRecord(5)).InfoText = "Log";
    setup.rec(SystemSetup::DistantRecord(6)).InfoText = "Log ";
    setup.rec(SystemSetup::DistantRecord(7)).InfoText = "log";
    setup.rec(SystemSetup::LocalRecord(8)).InfoText = "Log";
    EXPECT_TRUE(setup.LinkLogged(5));
    EXPECT_FALSE(setup.LinkLogged(6));
    EXPECT_FALSE(setup.LinkLogged(7));
    EXPECT_FALSE(setup.LinkLogged(8));
}

TEST(SystemSetup, IntervalChoiceRebuildsTheOffsetList) {
    SystemSetup setup;
    EXPECT_EQ(SystemSetup::AutoLogOffsetEntries(4).back(), " 19");

    setup.SettleAutoLogLists(SystemSetup::NoEntry);
    setup.ChooseAutoLogInterval(10);
    EXPECT_EQ(setup.AutoLogIntervalMinutes, 1440);
    setup.ChooseAutoLogOffset(15);
    EXPECT_EQ(setup.AutoLogOffsetIndex, 15);
    setup.ChooseAutoLogInterval(3); // no move to or from index 0: offset kept
    EXPECT_EQ(setup.AutoLogOffsetIndex, 15);
    EXPECT_EQ(setup.AutoLogIntervalMinutes, 60);
    setup.ChooseAutoLogInterval(0);
    EXPECT_EQ(setup.AutoLogOffsetIndex, 0);
    EXPECT_EQ(setup.AutoLogOffsetList().size(), 10u);
    setup.ChooseAutoLogOffset(12); // not in the short list
    EXPECT_EQ(setup.AutoLogOffsetIndex, 0);
    setup.ChooseAutoLogOffset(7);
    setup.ChooseAutoLogInterval(2);
    EXPECT_EQ(setup.AutoLogOffsetIndex, 7);
    EXPECT_EQ(setup.AutoLogIntervalMinutes, 30);
    setup.ChooseAutoLogInterval(11); // ignored
    EXPECT_EQ(setup.AutoLogIntervalIndex, 2);
}
