#pragma once
// The station's readings: what the readings pass reads goes to the history, to the
// levels of the settings and to the last values the export shows. Made at start-up from
// the settings file when readings are on.

#include "poll/ReadingsPass.h"
#include "readings/ReadingsDatabase.h"
#include "readings/ReadingsSettings.h"
#include "readings/Thresholds.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace linvar {

class Clock;

// The last value of one reading of one unit (the export's gauges).
struct LastReading {
    std::string address;
    int link = 0;
    std::string end;
    std::string kind;
    double value = 0;
    int64_t atMs = 0; // monotonic
};

class Readings {
public:
    Readings(const Clock& clock, std::filesystem::path folder, const ReadingsSettings& settings);

    // A reading of the pass; the changes of alarm state it makes go to `events`.
    void Take(const ReadingSample& sample, std::vector<ThresholdEvent>& events);
    // The last values not older than two intervals (or two of the passes' real length,
    // when a large installation's pass takes longer than its interval).
    std::vector<LastReading> Last(int64_t passMs = 0) const;
    ReadingsDatabase& History() { return *db_; }
    Thresholds& Levels() { return thresholds_; }
    const ReadingsSettings& Settings() const { return settings_; }

    // "Modem 1, Local end", "Redundant modem 2": a unit as the history names it.
    static UnitOfRecord UnitOf(int record, int slot, const std::string& address);

private:
    const Clock& clock_;
    ReadingsSettings settings_;
    std::unique_ptr<ReadingsDatabase> db_;
    Thresholds thresholds_;
    std::map<std::pair<std::string, std::string>, LastReading> last_;
};

} // namespace linvar
