#include "wire/TextFormats.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace linvar;
using Texts = std::vector<std::string>;

namespace {

// fn of each input, as text; a refused parse as "!value".
template <class Fn> Texts Each(Fn fn, const Texts& inputs) {
    Texts out;
    for (const auto& in : inputs) {
        std::ostringstream s;
        if constexpr (std::is_same_v<decltype(fn(in)), std::string>) {
            s << fn(in);
        } else {
            const auto p = fn(in);
            s << (p.ok ? "" : "!") << p.value;
        }
        out.push_back(s.str());
    }
    return out;
}

} // namespace

TEST(Numbers, ParseFollowsTheCleaningRules) {
    EXPECT_EQ(Each(ParseInt, {"12.9", " ", "", "abc-5", "1 2", "x12", "99999999999"}),
              (Texts{"12", "0", "0", "-5", "12", "!0", "!0"}));
    EXPECT_EQ(Each(ParseIntStrict, {"", "7"}), (Texts{"!0", "7"}));
    EXPECT_EQ(Each(ParseReal, {"1 000.5", "tx-12.25", "1.2.3", "", "inf"}),
              (Texts{"1000.5", "-12.25", "!0", "!0", "!0"}));
    EXPECT_EQ(CleanNumber("ab - 1 2"), "-12");
    EXPECT_EQ(CleanNumber("-" + std::string(40, '9')).size(), 33u);
}

TEST(Numbers, FormsOfNumbersAndAddresses) {
    EXPECT_EQ((Texts{RealText(12.5, 8, 1), RealText(-3.25, 8, 2)}), (Texts{" 12.5", " -3.25"}));
    EXPECT_EQ(Each([](const std::string& s) { return RealTextZeroPad(s, 9, 4); }, {"70", "7x"}),
              (Texts{"0070.0000", "7x"}));
    EXPECT_EQ(RealTextZeroPad("12.5", 6, 1), "0012.5");
    EXPECT_EQ((Texts{Addr4(7), Addr4(12345), Addr4(8100)}), (Texts{"0007", "2345", "8100"}));
    EXPECT_EQ(
        Each([](const std::string& s) { return SubInt(s, 3, 4); }, {"ab0042cd", "ab00x2cd", "ab"}),
        (Texts{"42", "0", "0"}));
    EXPECT_EQ(BlanksToZeros(" 1 2"), "0102");
}

TEST(Numbers, NormaliseTimeCarriesOneStep) {
    for (auto [h, m, carry, wantH, wantM] :
         {std::array{23, 75, 1, 0, 15}, {0, -15, -1, 23, 45}, {12, 30, 0, 12, 30}}) {
        EXPECT_EQ(NormaliseTime(h, m), carry);
        EXPECT_EQ(std::pair(h, m), std::pair(wantH, wantM));
    }
}
