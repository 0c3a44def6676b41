#pragma once
// The readings settings, a text file in the data folder read at start: how often the
// readings pass runs, how long the history keeps readings, and the levels of a reading
// kind that raise a warning or a fault. A line that cannot be read is said, with its
// number, and left out; the others still count.
//
//     interval = 5              minutes between passes ("30s": seconds; "off": no readings)
//     retention = 400           days the history keeps
//     raw = 31                  days it keeps every reading (longer: hourly summaries only)
//     warning ebno_db < 6 for 2 a warning when Eb/No is below 6 for 2 passes
//     fault temp_c > 70         a fault when the temperature is above 70 (for 1 pass)

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace linvar {

struct ThresholdRule {
    std::string kind; // "ebno_db"
    bool fault = false;
    bool below = true; // "<": alarm below the level, ">": above
    double level = 0;
    int passes = 1; // readings in a row beyond the level before the alarm
};

struct ReadingsSettings {
    static constexpr const char* kFileName = "Readings.cfg";
    int64_t intervalMs = 5 * 60 * 1000; // 0: off
    int retentionDays = 400;
    int rawDays = 31;
    std::vector<ThresholdRule> thresholds;
    std::vector<std::string> problems; // "Readings.cfg line 3: ..."

    // From the lines of the file (none: the defaults).
    static ReadingsSettings Parse(const std::vector<std::string>& lines);
    // From the file in the folder; a file that cannot be read is one of the problems.
    static ReadingsSettings Read(const std::filesystem::path& folder);
};

} // namespace linvar
