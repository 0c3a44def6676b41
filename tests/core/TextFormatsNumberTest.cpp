#include "wire/TextFormats.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(Numbers, ParseFollowsTheCleaningRules) {
    EXPECT_EQ(ParseInt("12.9").value, 12);
    EXPECT_EQ(ParseInt(" ").value, 0);
    EXPECT_TRUE(ParseInt("").ok);
    EXPECT_FALSE(ParseIntStrict("").ok);
    EXPECT_EQ(ParseInt("abc-5").value, -5);
    EXPECT_EQ(ParseInt("1 2").value, 12);
    EXPECT_FALSE(ParseInt("x12").ok);
    EXPECT_EQ(ParseInt("x12").value, 0);
    EXPECT_FALSE(ParseInt("99999999999").ok);
    EXPECT_DOUBLE_EQ(ParseReal("1 000.5").value, 1000.5);
    EXPECT_DOUBLE_EQ(ParseReal("tx-12.25").value, -12.25);
    EXPECT_FALSE(ParseReal("1.2.3").ok);
    EXPECT_FALSE(ParseReal("").ok);
    EXPECT_FALSE(ParseReal("inf").ok);
    EXPECT_EQ(CleanNumber("ab - 1 2"), "-12");
    EXPECT_EQ(CleanNumber("-" + std::string(40, '9')).size(), 33u);
}

TEST(Numbers, FormsOfNumbersAndAddresses) {
    EXPECT_EQ(RealText(12.5, 8, 1), " 12.5");
    EXPECT_EQ(RealText(-3.25, 8, 2), " -3.25");
    EXPECT_EQ(RealTextZeroPad("12.5", 6, 1), "0012.5");
    EXPECT_EQ(RealTextZeroPad("70", 9, 4), "0070.0000");
    EXPECT_EQ(RealTextZeroPad("7x", 9, 4), "7x");
    EXPECT_EQ(Addr4(7), "0007");
    EXPECT_EQ(Addr4(12345), "2345");
    EXPECT_EQ(Addr4(8100), "8100");
    EXPECT_EQ(SubInt("ab0042cd", 3, 4), "42");
    EXPECT_EQ(SubInt("ab00x2cd", 3, 4), "0");
    EXPECT_EQ(SubInt("ab", 5, 4), "0");
    EXPECT_EQ(BlanksToZeros(" 1 2"), "0102");
}

TEST(Numbers, NormaliseTimeCarriesOneStep) {
    int h = 23, m = 75;
    EXPECT_EQ(NormaliseTime(h, m), 1);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 15);
    h = 0, m = -15;
    EXPECT_EQ(NormaliseTime(h, m), -1);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(m, 45);
    h = 12, m = 30;
    EXPECT_EQ(NormaliseTime(h, m), 0);
}
