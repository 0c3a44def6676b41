#include "trends/JournalMarks.h"

#include "alarms/AlarmJournal.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"

#include <ctime>

namespace linvar {

namespace {

constexpr int64_t kDayMs = 24 * 60 * 60 * 1000;

int64_t UtcMsOfLocal(const LocalDateTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&tm)) * 1000 + t.millisecond;
}

LocalDateTime LocalOf(int64_t utcMs) {
    const std::time_t s = static_cast<std::time_t>(utcMs / 1000);
    std::tm tm{};
    localtime_r(&s, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0};
}

} // namespace

std::optional<TrendMark> MarkOf(const AlarmEntry& e, const UnitOfRecord& unit) {
    if (e.address != unit.address || (unit.link && e.link() && e.link() != unit.link))
        return std::nullopt;
    if (e.event == "Acknowledged")
        return std::nullopt; // the operator's, not the unit's
    TrendMark m;
    m.utcMs = UtcMsOfLocal(e.at);
    // A change of the unit's state reads as its new state; any other entry (a reading
    // beyond its level, a configuration change) as what it says.
    const bool state = e.event == "State" || e.event == "Settled" || e.event == "Flapping";
    m.text = state || e.detail.empty() ? (e.to.empty() ? e.event : e.to) : e.detail;
    if (e.to == AlarmStateName(1))
        m.kind = TrendMark::Kind::Clear;
    else if (AlarmStateCode(e.to) > 1 || e.to == "Flapping")
        m.kind = TrendMark::Kind::Alarm;
    return m;
}

TrendMarksSource JournalMarks(std::filesystem::path folder) {
    return [folder](const UnitOfRecord& unit, int64_t fromMs, int64_t toMs) {
        std::vector<TrendMark> marks;
        // Local days may sit either side of the UTC span's ends.
        const LocalDateTime first = LocalOf(fromMs - kDayMs);
        const LocalDateTime last = LocalOf(toMs + kDayMs);
        for (int64_t d = daysFromCivil(first.year, first.month, first.day);
             d <= daysFromCivil(last.year, last.month, last.day); ++d) {
            LocalDateTime day;
            civilFromDays(d, day.year, day.month, day.day);
            std::optional<std::vector<std::string>> lines;
            try {
                lines = TextFile::readLines(folder / AlarmJournal::FileName(day));
            } catch (const UserError&) {
                continue; // an unreadable day leaves its marks out, the others still show
            }
            for (const std::string& line : lines.value_or(std::vector<std::string>{}))
                if (auto e = AlarmJournal::ParseLine(line))
                    if (auto m = MarkOf(*e, unit); m && m->utcMs >= fromMs && m->utcMs <= toMs)
                        marks.push_back(*m);
        }
        return marks;
    };
}

} // namespace linvar
