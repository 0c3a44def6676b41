#pragma once
// The readings history: what the station measured, kept for the Trends window, the
// export and the thresholds.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
namespace linvar {
struct ReadingKind {   // one kind of reading a family offers
    std::string id;    // "ebno_db", "ber", "rsl_dbm", "offset_hz", "txpower_dbm", "temp_c"...
    std::string label; // as the operator reads it: "Eb/No"
    std::string unit;  // "dB"
};
struct SeriesPoint {   // one point of a chart: a reading, or a merged span of them
    int64_t utcMs = 0; // the start of the span
    double min = 0, mean = 0, max = 0;
    int count = 1; // readings merged into the point (1: a raw reading)
};
struct UnitOfRecord { // a unit the history holds readings of
    std::string address;
    int link = 0;        // 1..20; 0 for a unit on no link (a redundant modem)
    std::string end;     // "LOCAL" or "DISTANT" (or "" for none)
    std::string caption; // "Modem 1, Local end" as the summary names it
};
class ReadingsHistory { // read side; thread-safe; never blocks the tick for long
public:
    virtual ~ReadingsHistory() = default;
    virtual std::vector<UnitOfRecord> units() const = 0;
    virtual std::vector<ReadingKind> kindsOf(const std::string& address) const = 0;
    // At most about maxPoints points between fromMs and toMs (UTC ms), merged into
    // spans (hourly summaries for long spans) when there are more readings.
    virtual std::vector<SeriesPoint> series(const std::string& address, const std::string& kind,
                                            int64_t fromMs, int64_t toMs, int maxPoints) const = 0;
    // Empty when all is well; otherwise why the history cannot be read or written.
    virtual std::string problem() const = 0;
};
} // namespace linvar
