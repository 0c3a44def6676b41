#include "ui/Clock.h"
#include "wire/TextFormats.h"

#include <gtest/gtest.h>

using namespace linvar;
using Texts = std::vector<std::string>;

namespace {

template <class Fn> Texts Each(Fn fn, const Texts& inputs) {
    Texts out;
    for (const auto& in : inputs)
        out.push_back(fn(in));
    return out;
}

} // namespace

TEST(DateTimeText, TimeKeepsTheHourInTwoColumnsAndRefusesWhatIsNoTime) {
    FakeClock two, one;
    two.setFormats({"hh:nn:ss", "dd/mm/yyyy"});
    one.setFormats({"h:nn:ss AM/PM", "dd/mm/yyyy"});
    // Only the first six characters are the time.
    EXPECT_EQ(Each([&](auto t) { return TimeText(t, two); }, {"095900", "235959", "1200001"}),
              (Texts{"09:59:00", "23:59:59", "12:00:00"}));
    EXPECT_EQ(Each([&](auto t) { return TimeText(t, one); }, {"095900", "134501", "000000"}),
              (Texts{" 9:59:00 AM", " 1:45:01 PM", "12:00:00 AM"}));
    EXPECT_EQ(Each([&](auto t) { return TimeText(t, two); },
                   {"240000", "126000", "120060", "12a000", "12 000", "-10000", "12000", ""}),
              Texts(8, ""));
}

TEST(DateTimeText, DatesWithTheCenturyRule) {
    // The day is copied as received; a month out of range has no name but keeps both blanks.
    EXPECT_EQ(Each(DateTextDMY, {"010197", "010196", "151200", "x50626", "011326", "01xx99",
                                 "0101yy", "01-199", "0101"}),
              (Texts{"01 Jan 1997", "01 Jan 2096", "15 Dec 2000", "x5 Jun 2026", "01  2026", "date",
                     "date", "date", "date"}));
    EXPECT_EQ(Each(DateTextMDY, {"122597", "070426", "xx0426", "0704zz", ""}),
              (Texts{"25 Dec 1997", "04 Jul 2026", " unset date", " unset date", " unset date"}));
}

TEST(SmallReaders, FieldsOfTheConfigurationString) {
    std::vector<int> ints;
    for (const char* t : {"  42abc", "007", "x7", "", "-3", "99999999999999"})
        ints.push_back(IntOfText(t));
    EXPECT_EQ(ints, (std::vector<int>{42, 7, 0, 0, -3, INT_MAX}));
    EXPECT_EQ((std::vector<int>{HexDigitValue("F0"), HexDigitValue("9"), HexDigitValue("G")}),
              (std::vector<int>{15, 9, 0}));
    EXPECT_EQ(std::string({HexDigitChar(9), HexDigitChar(10)}), "9A");
    const std::string conf = "=0070.0000  1.5xx";
    EXPECT_EQ((Texts{RealField(conf, 2, 9, 4, 9), RealField(conf, 11, 5, 1, 4),
                     RealField(conf, 16, 2, 2, 6), RealField(conf, 40, 4, 1, 4)}),
              (Texts{" 70.0000", " 1.5", " 0.00", " 0.0"}));
}
