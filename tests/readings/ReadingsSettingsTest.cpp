// The readings settings file: what each line sets, and what the operator is told of a
// line that cannot be read.

#include "TempDir.h"

#include "readings/ReadingsSettings.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace linvar;

namespace {

// "interval retention raw | fault ebno_db < 4 for 2 | ..."
std::string Said(const ReadingsSettings& s) {
    std::ostringstream out;
    out << s.intervalMs << " " << s.retentionDays << " " << s.rawDays;
    for (const ThresholdRule& t : s.thresholds)
        out << " | " << (t.fault ? "fault " : "warning ") << t.kind << (t.below ? " < " : " > ")
            << t.level << " for " << t.passes;
    return out.str();
}

} // namespace

TEST(ReadingsSettings, LinesSetTheIntervalRetentionAndLevels) {
    struct Case {
        std::vector<std::string> lines;
        std::string said;
    } cases[] = {
        {{}, "300000 400 31"},
        {{"interval = 1", "retention = 30"}, "60000 30 30"},
        {{"interval=30s  # for the demo", "raw = 7"}, "30000 400 7"},
        {{"interval = off"}, "0 400 31"},
        {{"interval = 0"}, "0 400 31"},
        {{"# a comment", "", "warning ebno_db < 6 for 2", "fault ebno_db < 4"},
         "300000 400 31 | warning ebno_db < 6 for 2 | fault ebno_db < 4 for 1"},
        {{"warning temp_c > 60.5 for 3"}, "300000 400 31 | warning temp_c > 60.5 for 3"},
    };
    for (const Case& c : cases) {
        const ReadingsSettings s = ReadingsSettings::Parse(c.lines);
        EXPECT_EQ(Said(s), c.said);
        EXPECT_TRUE(s.problems.empty()) << s.problems.front();
    }
}

TEST(ReadingsSettings, ABadLineIsSaidWithItsNumberAndTheOthersStillCount) {
    const ReadingsSettings s = ReadingsSettings::Parse({
        "interval = 5",
        "interval = often",
        "retention = -3",
        "warning ebno_db = 6",
        "warning ebno_db < six",
        "fault ebno_db < 4 for ever",
        "colour = red",
        "ebno_db below 6",
        "fault ebno_db < 4 for 2",
    });
    EXPECT_EQ(Said(s), "300000 400 31 | fault ebno_db < 4 for 2");
    const std::vector<std::string> want = {
        "Readings.cfg line 2: the interval is minutes (1 to 1440), seconds such as \"30s\", or "
        "\"off\"",
        "Readings.cfg line 3: the retention is days, from 1 to 36500",
        "Readings.cfg line 4: unknown setting \"warning ebno_db\"",
        "Readings.cfg line 5: \"six\" is not a number",
        "Readings.cfg line 6: the persistence reads \"for N\" with N passes from 1 to 1000",
        "Readings.cfg line 7: unknown setting \"colour\"",
        "Readings.cfg line 8: not a setting: \"ebno_db below 6\"",
    };
    EXPECT_EQ(s.problems, want);
}

TEST(ReadingsSettings, NoFileIsTheDefaults) {
    TempDir dir;
    EXPECT_EQ(Said(ReadingsSettings::Read(dir.path())), "300000 400 31");
    dir.write("Readings.cfg", "interval = 2\r\nfault temp_c > 70\r\n");
    EXPECT_EQ(Said(ReadingsSettings::Read(dir.path())), "120000 400 31 | fault temp_c > 70 for 1");
}
