#include "SetupReader.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace linvar::sim;

namespace {

using Lines = std::vector<std::string>;

// A 441-line set-up: every field empty except the given records' first fields ('|'
// between them).
Lines setupLines(std::initializer_list<std::pair<int, std::string>> records) {
    Lines lines(441);
    lines[440] = "1,0,3";
    for (const auto& [record, fields] : records) {
        std::istringstream in(fields);
        auto line = lines.begin() + (record - 1) * 10;
        for (std::string f; std::getline(in, f, '|');)
            *line++ = f;
    }
    return lines;
}

} // namespace

TEST(SimSetup, UnitsOfEveryRoleComeFromTheirRecords) {
    Bus bus;
    const SetupResult r = populateFromSetup(bus, setupLines({{1, "0012|0013|0112||LINK1 LOC"},
                                                             {2, "0022|0023|0122|0123||||||1"},
                                                             {3, "0032"},
                                                             {4, "0042|||||||||1"},
                                                             {41, "1000|9999"},
                                                             {42, "2100"},
                                                             {44, "4100"}}));
    EXPECT_EQ(std::pair(r.warnings.size(), r.units), std::pair(size_t{0}, 12));
    EXPECT_EQ(bus.addresses(), (Lines{"0012", "0013", "0022", "0023", "0032", "0042", "0112",
                                      "0122", "0123", "1000", "2100", "4100"}))
        << "9999 on a switch record's Mod2 line is not a unit";
    std::string families;
    for (const char* a : {"0012", "0112", "1000", "2100"})
        families += bus.find(a)->family() + ",";
    EXPECT_EQ(families, "MQX-350,VORN,TRV-4xx,MQX-350,");
    EXPECT_EQ(bus.find("0012")->payload("CID?", 0).substr(1, 9), "LINK1 LOC");

    // Pairs: on-line first unit; the distant 1:1 modem answers OUS? for its partner.
    bus.find("0023")->setFault(1, '5');
    const std::pair<const char*, const char*> asked[] = {
        {"0012", "RED?"}, {"0013", "RED?"}, {"0122", "ONL?"}, {"0123", "ONL?"},
        {"0022", "OUS?"}, {"0042", "OUS?"}, {"0032", "OUS?"}};
    std::string answers;
    for (const auto& [address, command] : asked)
        answers += bus.find(address)->payload(command, 0) + " ";
    EXPECT_EQ(answers, "=1 =0 =1 =0 =500000 =000000 =xxxxxx ");
}

TEST(SimSetup, BadAddressesAndShortFilesAreReported) {
    Bus bus;
    auto lines = setupLines({{1, "12|0012"}, {3, "0012"}, {5, "||00123"}});
    lines.resize(25); // cut short inside record 3
    const SetupResult r = populateFromSetup(bus, lines);
    EXPECT_EQ(bus.addresses(), (Lines{"0012"}));
    EXPECT_EQ(r.warnings, (Lines{"record 1: address '12' is not four digits, skipped",
                                 "record 3: address 0012 is used twice, first use kept"}));

    TempDir dir;
    std::string text;
    for (const auto& l : setupLines({{5, "||00123"}, {7, "0070"}}))
        text += l + "\r\n";
    dir.write("SysSetup.txt", text);
    Bus fromFile;
    SetupDefaults defaults;
    defaults.modem = "370";
    populateFromSetupFile(fromFile, (dir.path() / "SysSetup.txt").string(), defaults);
    EXPECT_EQ(fromFile.addresses(), (Lines{"0012", "0070"}))
        << "an over-long address keeps its first four characters";
    EXPECT_EQ(fromFile.find("0012")->family(), "VORN");
    EXPECT_EQ(fromFile.find("0070")->modelCode(), 370);
    EXPECT_THROW(populateFromSetupFile(fromFile, (dir.path() / "none.txt").string()),
                 std::runtime_error);
}
