#include "ui/Clock.h"
#include "wire/TextFormats.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

FakeClock clockWithTime(const std::string& longTime) {
    FakeClock c;
    c.setFormats({longTime, "dd/mm/yyyy"});
    return c;
}

} // namespace

TEST(DateTimeText, TimeKeepsTheHourInTwoColumns) {
    const FakeClock twoDigit = clockWithTime("hh:nn:ss");
    EXPECT_EQ(TimeText("095900", twoDigit), "09:59:00");
    EXPECT_EQ(TimeText("235959", twoDigit), "23:59:59");
    const FakeClock oneDigit = clockWithTime("h:nn:ss AM/PM");
    EXPECT_EQ(TimeText("095900", oneDigit), " 9:59:00 AM");
    EXPECT_EQ(TimeText("134501", oneDigit), " 1:45:01 PM");
    EXPECT_EQ(TimeText("000000", oneDigit), "12:00:00 AM");
    // Only the first six characters are the time.
    EXPECT_EQ(TimeText("1200001", twoDigit), "12:00:00");
}

TEST(DateTimeText, InvalidTimesAreEmpty) {
    const FakeClock c;
    for (const char* bad :
         {"240000", "126000", "120060", "12a000", "12 000", "-10000", "12000", ""})
        EXPECT_EQ(TimeText(bad, c), "") << bad;
}

TEST(DateTimeText, DayMonthYearWithCenturyRule) {
    EXPECT_EQ(DateTextDMY("010197"), "01 Jan 1997");
    EXPECT_EQ(DateTextDMY("010196"), "01 Jan 2096");
    EXPECT_EQ(DateTextDMY("151200"), "15 Dec 2000");
    // The day is copied as received.
    EXPECT_EQ(DateTextDMY("x50626"), "x5 Jun 2026");
    // A month out of range has no name but keeps both blanks.
    EXPECT_EQ(DateTextDMY("011326"), "01  2026");
    for (const char* bad : {"01xx99", "0101yy", "01-199", "0101"})
        EXPECT_EQ(DateTextDMY(bad), "date") << bad;
}

TEST(DateTimeText, MonthFirstDates) {
    EXPECT_EQ(DateTextMDY("122597"), "25 Dec 1997");
    EXPECT_EQ(DateTextMDY("070426"), "04 Jul 2026");
    EXPECT_EQ(DateTextMDY("xx0426"), " unset date");
    EXPECT_EQ(DateTextMDY("0704zz"), " unset date");
    EXPECT_EQ(DateTextMDY(""), " unset date");
}

TEST(SmallReaders, IntegersFromConfigurationFields) {
    EXPECT_EQ(IntOfText("  42abc"), 42);
    EXPECT_EQ(IntOfText("007"), 7);
    EXPECT_EQ(IntOfText("x7"), 0);
    EXPECT_EQ(IntOfText(""), 0);
    EXPECT_EQ(IntOfText("-3"), -3);
    EXPECT_EQ(IntOfText("99999999999999"), INT_MAX);
    EXPECT_EQ(HexDigitValue("F0"), 15);
    EXPECT_EQ(HexDigitValue("9"), 9);
    EXPECT_EQ(HexDigitValue("G"), 0);
    EXPECT_EQ(HexDigitChar(9), '9');
    EXPECT_EQ(HexDigitChar(10), 'A');
}

TEST(SmallReaders, RealFieldsOfTheConfigurationString) {
    const std::string conf = "=0070.0000  1.5xx";
    EXPECT_EQ(RealField(conf, 2, 9, 4, 9), " 70.0000");
    EXPECT_EQ(RealField(conf, 11, 5, 1, 4), " 1.5");
    EXPECT_EQ(RealField(conf, 16, 2, 2, 6), " 0.00");
    EXPECT_EQ(RealField(conf, 40, 4, 1, 4), " 0.0");
}
