#pragma once
// The station's view of time: the local wall clock for time stamps and log instants,
// a monotonic count for waits, and the operator's regional time and date formats.
// The Qt layer supplies the system's clock; tests use FakeClock.

#include <cstdint>
#include <string>

namespace linvar {

struct LocalDateTime {
    int year = 2000;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    int minuteOfDay() const { return hour * 60 + minute; }
    int64_t msOfDay() const {
        return ((hour * 60 + minute) * 60 + second) * int64_t{1000} + millisecond;
    }
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Regional formats as patterns. Time: h (hour), hh (two-digit hour), nn (minute),
// ss (second), AM/PM (12-hour clock with suffix). Date: d, dd, m, mm, mmm (month
// abbreviation), yy, yyyy. Anything else is copied.
struct RegionalFormats {
    std::string longTime = "hh:nn:ss";
    std::string shortDate = "dd/mm/yyyy";
};

std::string formatTime(const std::string& pattern, int hour, int minute, int second);
std::string formatDate(const std::string& pattern, int year, int month, int day);

// Days since 1970-01-01 for a civil date, and back; used for date arithmetic.
int64_t daysFromCivil(int year, int month, int day);
void civilFromDays(int64_t days, int& year, int& month, int& day);
// Milliseconds since 1970 UTC as ISO 8601 ("2026-12-07T14:05:00Z"; milliseconds shown only
// when there are any).
std::string isoUtcText(int64_t utcMs);

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
    virtual int64_t monotonicMs() const = 0;
    virtual RegionalFormats formats() const { return RegionalFormats{}; }
    // Milliseconds since 1970 UTC (the readings history); a clock without a zone takes
    // its wall time for UTC.
    virtual int64_t utcMs() const;

    // Time of day in the long-time format.
    std::string timeText() const;
    // Date and time in the short-date and long-time formats ("date-time now").
    std::string dateTimeText() const;
    std::string timeText(const LocalDateTime& t) const;
    std::string dateText(const LocalDateTime& t) const;
};

// The host's clock (localtime and steady_clock); formats default to 24-hour time and a
// numeric date unless set.
class SystemClock : public Clock {
public:
    LocalDateTime now() const override;
    int64_t monotonicMs() const override;
    int64_t utcMs() const override;
    RegionalFormats formats() const override { return formats_; }
    void setFormats(RegionalFormats f) { formats_ = std::move(f); }

private:
    RegionalFormats formats_;
};

// A clock that moves only when told to: wall time and monotonic count advance together,
// across midnight, month and year ends.
class FakeClock : public Clock {
public:
    explicit FakeClock(LocalDateTime start = {2026, 12, 6, 9, 0, 0, 0}) : now_(start) {}
    LocalDateTime now() const override { return now_; }
    int64_t monotonicMs() const override { return mono_; }
    RegionalFormats formats() const override { return formats_; }

    void set(const LocalDateTime& t) { now_ = t; }
    void setFormats(RegionalFormats f) { formats_ = std::move(f); }
    void advanceMs(int64_t ms);

private:
    LocalDateTime now_;
    int64_t mono_ = 0;
    RegionalFormats formats_;
};

} // namespace linvar
