// The readings settings file: what each line sets, and what the operator is told of a
// line that cannot be read.

#include "TempDir.h"

#include "readings/ReadingsSettings.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(ReadingsSettings, LinesSetTheIntervalRetentionAndLevels) {
    struct Case {
        std::vector<std::string> lines;
        int64_t intervalMs;
        int retention;
        int raw;
        size_t levels;
    } cases[] = {
        {{}, 300000, 400, 31, 0},
        {{"interval = 1", "retention = 30"}, 60000, 30, 30, 0},
        {{"interval=30s  # for the demo", "raw = 7"}, 30000, 400, 7, 0},
        {{"interval = off"}, 0, 400, 31, 0},
        {{"interval = 0"}, 0, 400, 31, 0},
        {{"# a comment", "", "warning ebno_db < 6 for 2", "fault ebno_db < 4"}, 300000, 400, 31, 2},
    };
    for (const Case& c : cases) {
        const ReadingsSettings s = ReadingsSettings::Parse(c.lines);
        EXPECT_EQ(s.intervalMs, c.intervalMs) << c.lines.size();
        EXPECT_EQ(s.retentionDays, c.retention);
        EXPECT_EQ(s.rawDays, c.raw);
        EXPECT_EQ(s.thresholds.size(), c.levels);
        EXPECT_TRUE(s.problems.empty()) << s.problems.front();
    }
    const ReadingsSettings s =
        ReadingsSettings::Parse({"warning temp_c > 60.5 for 3", "fault ebno_db < 4"});
    ASSERT_EQ(s.thresholds.size(), 2u);
    EXPECT_EQ(s.thresholds[0].kind, "temp_c");
    EXPECT_FALSE(s.thresholds[0].fault);
    EXPECT_FALSE(s.thresholds[0].below);
    EXPECT_DOUBLE_EQ(s.thresholds[0].level, 60.5);
    EXPECT_EQ(s.thresholds[0].passes, 3);
    EXPECT_TRUE(s.thresholds[1].fault);
    EXPECT_TRUE(s.thresholds[1].below);
    EXPECT_EQ(s.thresholds[1].passes, 1);
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
    EXPECT_EQ(s.intervalMs, 300000);
    EXPECT_EQ(s.retentionDays, 400);
    ASSERT_EQ(s.thresholds.size(), 1u);
    EXPECT_EQ(s.thresholds[0].passes, 2);
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
    EXPECT_EQ(ReadingsSettings::Read(dir.path()).intervalMs, 300000);
    dir.write("Readings.cfg", "interval = 2\r\nfault temp_c > 70\r\n");
    const ReadingsSettings s = ReadingsSettings::Read(dir.path());
    EXPECT_EQ(s.intervalMs, 120000);
    EXPECT_EQ(s.thresholds.size(), 1u);
}
