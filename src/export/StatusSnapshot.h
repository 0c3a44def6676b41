#pragma once
// What the status export serves: an immutable picture of the station made on the
// user-interface thread, and its three renderings (status and alarms as JSON, metrics in
// the Prometheus text format). The server thread only ever reads a finished snapshot.

#include "alarms/AlarmJournal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

struct UnitSnapshot {
    int record = 0;
    int slot = 0;
    int link = 0; // 0 for switches and redundant modems
    std::string end;
    std::string unit;
    std::string address;
    std::string linkId;
    int status = -1;    // -1 before its first answer
    std::string colour; // as the summary paints it
    std::string lastAnswer;
};

struct EndSnapshot {
    int link = 0;
    std::string end;
    std::string linkId;
    std::string colour; // the end's colour in the all-links summary
};

// The last value of one reading of one unit.
struct ReadingGauge {
    std::string address;
    int link = 0;
    std::string end;
    std::string reading; // "ebno_db"
    double value = 0;
};

struct StatusSnapshot {
    std::string time;
    std::string title; // the program title with the worst state
    bool polling = false;
    bool portUp = false;
    std::vector<EndSnapshot> ends;
    std::vector<UnitSnapshot> units;
    uint64_t requests = 0;
    uint64_t answers = 0;
    uint64_t timeouts = 0;
    std::vector<ActiveAlarm> active;
    std::vector<AlarmEntry> recent; // newest last
    int unacknowledged = 0;
    std::vector<ReadingGauge> readings;
};

std::string StatusJson(const StatusSnapshot& s);
std::string AlarmsJson(const StatusSnapshot& s);
std::string MetricsText(const StatusSnapshot& s);

// Date and time as the export writes them ("2026-12-06T09:00:00").
std::string IsoTime(const LocalDateTime& t);
// An instant of a query as ms since 1970 UTC: seconds since 1970, or
// "2026-12-06T09:00[:00][Z]"; none when it is neither.
std::optional<int64_t> ParseUtcMs(const std::string& text);

} // namespace linvar
