#include "SetupReader.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace linvar::sim;

namespace {

// A 441-line set-up: every field empty except those given as (record, line, text).
std::vector<std::string>
setupLines(std::initializer_list<std::tuple<int, int, std::string>> fields) {
    std::vector<std::string> lines(441);
    for (int r = 0; r < 44; ++r) {
        lines[static_cast<size_t>(r * 10 + 6)] = "50";
        lines[static_cast<size_t>(r * 10 + 7)] = "2";
    }
    lines[440] = "1,0,3";
    for (const auto& [record, line, text] : fields)
        lines[static_cast<size_t>((record - 1) * 10 + line - 1)] = text;
    return lines;
}

std::string fileText(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines)
        s += l + "\r\n";
    return s;
}

} // namespace

TEST(SimSetup, UnitsOfEveryRoleComeFromTheirRecords) {
    Bus bus;
    auto lines = setupLines({
        {1, 1, "0012"},
        {1, 2, "0013"},
        {1, 3, "0112"},
        {1, 5, "LINK1 LOC"},
        {2, 1, "0022"},
        {2, 2, "0023"},
        {2, 10, "1"},
        {2, 3, "0122"},
        {2, 4, "0123"},
        {3, 1, "0032"},
        {4, 1, "0042"},
        {4, 10, "1"},
        {41, 1, "1000"},
        {41, 2, "9999"},
        {42, 1, "2100"},
        {43, 1, "3000"},
        {44, 1, "4100"},
    });
    SetupResult r = populateFromSetup(bus, lines);
    EXPECT_TRUE(r.warnings.empty());
    EXPECT_EQ(r.units, 13);
    EXPECT_EQ(bus.addresses(),
              (std::vector<std::string>{"0012", "0013", "0022", "0023", "0032", "0042", "0112",
                                        "0122", "0123", "1000", "2100", "3000", "4100"}));
    EXPECT_EQ(bus.size(), 13u) << "9999 on a switch record's Mod2 line is not a unit";

    EXPECT_EQ(bus.find("0012")->family(), "MQX-350");
    EXPECT_EQ(bus.find("0112")->family(), "VORN");
    EXPECT_TRUE(bus.find("1000")->isSwitch());
    EXPECT_EQ(bus.find("2100")->family(), "MQX-350") << "redundant modem";
    EXPECT_EQ(bus.find("0012")->payload("CID?", 0).substr(1, 9), "LINK1 LOC");

    // Pairs: on-line first unit; the distant 1:1 modem answers OUS? for its partner.
    EXPECT_EQ(bus.find("0012")->payload("RED?", 0), "=1");
    EXPECT_EQ(bus.find("0013")->payload("RED?", 0), "=0");
    EXPECT_EQ(bus.find("0122")->payload("ONL?", 0), "=1");
    EXPECT_EQ(bus.find("0123")->payload("ONL?", 0), "=0");
    bus.find("0023")->setFault(1, '5');
    EXPECT_EQ(bus.find("0022")->payload("OUS?", 0), "=500000");
    EXPECT_EQ(bus.find("0042")->payload("OUS?", 0), "=000000");
    EXPECT_EQ(bus.find("0032")->payload("OUS?", 0), "=xxxxxx");
}

TEST(SimSetup, BadAddressesAndShortFilesAreReported) {
    Bus bus;
    auto lines = setupLines({{1, 1, "12"}, {1, 2, "0012"}, {3, 1, "0012"}, {5, 3, "00123"}});
    lines.resize(25); // cut short inside record 3
    SetupResult r = populateFromSetup(bus, lines);
    EXPECT_EQ(bus.addresses(), (std::vector<std::string>{"0012"}));
    ASSERT_EQ(r.warnings.size(), 2u);
    EXPECT_EQ(r.warnings[0], "record 1: address '12' is not four digits, skipped");
    EXPECT_EQ(r.warnings[1], "record 3: address 0012 is used twice, first use kept");

    TempDir dir;
    dir.write("SysSetup.txt", fileText(setupLines({{5, 3, "00123"}, {7, 1, "0070"}})));
    Bus fromFile;
    SetupDefaults defaults;
    defaults.modem = "370";
    r = populateFromSetupFile(fromFile, (dir.path() / "SysSetup.txt").string(), defaults);
    EXPECT_EQ(fromFile.addresses(), (std::vector<std::string>{"0012", "0070"}))
        << "an over-long address keeps its first four characters";
    EXPECT_EQ(fromFile.find("0012")->family(), "VORN");
    EXPECT_EQ(fromFile.find("0070")->modelCode(), 370);
    EXPECT_THROW(populateFromSetupFile(fromFile, (dir.path() / "none.txt").string()),
                 std::runtime_error);
}
