// The numbers the readings history takes from each family's status replies: the status
// panel's own decoders, reached through the family registry as the pass reaches them.

#include "poll/Families.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

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
    const std::optional<double> none;
    struct Case {
        const char* family;
        const char* query;
        const char* kind;
        std::string value;
        std::optional<double> want;
    } cases[] = {
        {"MQX-350", "EBN?", "ebno_db", "12.3", 12.3},
        {"MQX-350", "EBN?", "ebno_db", "05.4", 5.4},
        {"MQX-350", "EBN?", "ebno_db", "+016", 16},
        {"MQX-350", "EBN?", "ebno_db", "99.9", none},
        {"MQX-350", "BER?", "ber", "1.0E7", 1e-7},
        {"MQX-350", "BER?", "ber", "2.5E4", 2.5e-4},
        {"MQX-350", "BER?", "ber", "99999", none},
        {"MQX-350", "RSL?", "rsl_dbm", "==45.0", -45},
        {"MQX-350", "RSL?", "rsl_dbm", "GT60.0", -60},
        {"MQX-350", "RFO?", "offset_khz", "-002.5", -2.5},
        {"MQX-350", "RFO?", "offset_khz", "+999.9", none},
        {"MQX-350", "TMP?", "temp_c", "+35", 35},
        {"MQX-350", "TMP?", "temp_c", "-05", -5},
        {"MQX-370", "RSL?", "rsl_dbm", "==-52.5", -52.5},
        {"MQX-370", "RSL?", "rsl_dbm", "LT70.0", -70},
        {"MQX-370", "RFO?", "offset_khz", "+001.2", 1.2},
        {"MQX-370", "RFO?", "offset_khz", "99999", none},
        {"MQX-330", "RFO?", "offset_khz", "+0123", 123},
        {"MQX-330", "RFO?", "offset_khz", "-0012", -12},
        {"MQX-330", "RFO?", "offset_khz", "99999", none},
        {"MQX-310", "EBN?", "ebno_db", "08.0", 8},
        {"VORN/YRAN", "CMS?", "lna_ma", Cms(" 45.0", " 38.0", "10.5 "), 45},
        {"VORN/YRAN", "CMS?", "temp_c", Cms(" 45.0", " 38.0", "10.5 "), 38},
        {"VORN/YRAN", "CMS?", "txpower_db", Cms(" 45.0", " 38.0", "10.5 "), 10.5},
        {"VORN/YRAN", "CMS?", "txpower_db", Cms(" 45.0", " 38.0", "20.0+"), 20},
        {"VORN/YRAN", "CMS?", "temp_c", Cms(" 45.0", "XXXXX", "XXXXX"), none},
    };
    for (const Case& c : cases) {
        const std::optional<double> got = Decode(c.family, c.query, c.kind, c.value);
        EXPECT_TRUE(got.has_value() == c.want.has_value() &&
                    (!got || std::abs(*got - *c.want) <= std::abs(*c.want) * 1e-9))
            << c.family << " " << c.query << " " << c.value << " gave " << got.value_or(-1);
    }
}
