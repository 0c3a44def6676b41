// The numbers the readings history takes from each family's status replies: the status
// panel's own decoders, reached through the family registry as the pass reaches them.

#include "poll/Families.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace linvar;

namespace {

std::optional<double> Decode(const char* family, const char* query, const char* kind,
                             const std::string& value) {
    const FamilyRow* f = FindFamily(family);
    if (!f || !f->readings)
        return std::nullopt;
    for (const ReadingRequest& r : *f->readings)
        if (std::string(r.query) == query)
            for (const ReadingRow& row : r.readings)
                if (std::string(row.id) == kind)
                    return row.value(value);
    ADD_FAILURE() << family << " has no " << query << " " << kind;
    return std::nullopt;
}

// Sixteen five-character maintenance readings of a VORN, with three of them given.
std::string Cms(const std::string& lna, const std::string& upTemp, const std::string& rf) {
    std::string s;
    for (int k = 1; k <= 16; ++k)
        s += k == 12 ? lna : k == 14 ? upTemp : k == 15 ? rf : " 10.0";
    return s;
}

} // namespace

TEST(ReadingDecoders, EachFamilysRepliesGiveTheirNumbersAndNothingWhenUnlocked) {
    using Values = std::vector<std::pair<std::string, std::optional<double>>>;
    const std::string cms = Cms(" 45.0", " 38.0", "10.5 ");
    struct Case {
        const char *family, *query, *kind;
        Values values;
    } cases[] = {
        {"MQX-350", "EBN?", "ebno_db", {{"12.3", 12.3}, {"05.4", 5.4}, {"+016", 16}, {"99.9", {}}}},
        {"MQX-350", "BER?", "ber", {{"1.0E7", 1e-7}, {"2.5E4", 2.5e-4}, {"99999", {}}}},
        {"MQX-350", "RSL?", "rsl_dbm", {{"==45.0", -45}, {"GT60.0", -60}}},
        {"MQX-350", "RFO?", "offset_khz", {{"-002.5", -2.5}, {"+999.9", {}}}},
        {"MQX-350", "TMP?", "temp_c", {{"+35", 35}, {"-05", -5}}},
        {"MQX-370", "RSL?", "rsl_dbm", {{"==-52.5", -52.5}, {"LT70.0", -70}}},
        {"MQX-370", "RFO?", "offset_khz", {{"+001.2", 1.2}, {"99999", {}}}},
        {"MQX-330", "RFO?", "offset_khz", {{"+0123", 123}, {"-0012", -12}, {"99999", {}}}},
        {"MQX-310", "EBN?", "ebno_db", {{"08.0", 8}}},
        {"VORN/YRAN", "CMS?", "lna_ma", {{cms, 45}}},
        {"VORN/YRAN", "CMS?", "temp_c", {{cms, 38}, {Cms(" 45.0", "XXXXX", "XXXXX"), {}}}},
        {"VORN/YRAN", "CMS?", "txpower_db", {{cms, 10.5}, {Cms(" 45.0", " 38.0", "20.0+"), 20}}},
    };
    for (const Case& c : cases)
        for (const auto& [value, want] : c.values) {
            const std::optional<double> got = Decode(c.family, c.query, c.kind, value);
            EXPECT_TRUE(got.has_value() == want.has_value() &&
                        (!got || std::abs(*got - *want) <= std::abs(*want) * 1e-9))
                << c.family << " " << c.query << " " << value << " gave " << got.value_or(-1);
        }
}
