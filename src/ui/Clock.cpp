#include "ui/Clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace linvar {

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string two(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

bool startsWith(const std::string& s, size_t at, const char* what) {
    return s.compare(at, std::char_traits<char>::length(what), what) == 0;
}

} // namespace

std::string formatTime(const std::string& p, int hour, int minute, int second) {
    const bool twelve = p.find("AM/PM") != std::string::npos;
    int h = hour;
    if (twelve) {
        h = hour % 12;
        if (h == 0)
            h = 12;
    }
    std::string out;
    for (size_t i = 0; i < p.size();) {
        if (startsWith(p, i, "AM/PM")) {
            out += hour < 12 ? "AM" : "PM";
            i += 5;
        } else if (startsWith(p, i, "hh")) {
            out += two(h);
            i += 2;
        } else if (p[i] == 'h') {
            out += std::to_string(h);
            i += 1;
        } else if (startsWith(p, i, "nn")) {
            out += two(minute);
            i += 2;
        } else if (startsWith(p, i, "ss")) {
            out += two(second);
            i += 2;
        } else {
            out += p[i++];
        }
    }
    return out;
}

std::string formatDate(const std::string& p, int year, int month, int day) {
    std::string out;
    for (size_t i = 0; i < p.size();) {
        if (startsWith(p, i, "yyyy")) {
            out += std::to_string(year);
            i += 4;
        } else if (startsWith(p, i, "yy")) {
            out += two(year % 100);
            i += 2;
        } else if (startsWith(p, i, "mmm")) {
            out += (month >= 1 && month <= 12) ? kMonths[month - 1] : "";
            i += 3;
        } else if (startsWith(p, i, "mm")) {
            out += two(month);
            i += 2;
        } else if (p[i] == 'm') {
            out += std::to_string(month);
            i += 1;
        } else if (startsWith(p, i, "dd")) {
            out += two(day);
            i += 2;
        } else if (p[i] == 'd') {
            out += std::to_string(day);
            i += 1;
        } else {
            out += p[i++];
        }
    }
    return out;
}

// Howard Hinnant's civil-date algorithms.
int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

std::string isoUtcText(int64_t utcMs) {
    constexpr int64_t kDay = 86400000;
    const int64_t days = utcMs / kDay - (utcMs % kDay < 0 ? 1 : 0);
    const int64_t rest = utcMs - days * kDay;
    int year = 0, month = 0, day = 0;
    civilFromDays(days, year, month, day);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day,
                  static_cast<int>(rest / 3600000), static_cast<int>(rest / 60000 % 60),
                  static_cast<int>(rest / 1000 % 60));
    std::string text = buf;
    if (rest % 1000) {
        std::snprintf(buf, sizeof buf, ".%03d", static_cast<int>(rest % 1000));
        text += buf;
    }
    return text + "Z";
}

std::string Clock::timeText(const LocalDateTime& t) const {
    return formatTime(formats().longTime, t.hour, t.minute, t.second);
}

std::string Clock::dateText(const LocalDateTime& t) const {
    return formatDate(formats().shortDate, t.year, t.month, t.day);
}

std::string Clock::timeText() const {
    return timeText(now());
}

std::string Clock::dateTimeText() const {
    const LocalDateTime t = now();
    return dateText(t) + " " + timeText(t);
}

LocalDateTime SystemClock::now() const {
    using namespace std::chrono;
    const auto tp = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(tp);
    std::tm tm{};
    localtime_r(&secs, &tm);
    LocalDateTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond =
        static_cast<int>(duration_cast<milliseconds>(tp.time_since_epoch()).count() % 1000);
    return t;
}

int64_t Clock::utcMs() const {
    const LocalDateTime t = now();
    return daysFromCivil(t.year, t.month, t.day) * 86400000 + t.msOfDay();
}

int64_t SystemClock::utcMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int64_t SystemClock::monotonicMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void FakeClock::advanceMs(int64_t ms) {
    mono_ += ms;
    int64_t total = now_.msOfDay() + ms;
    int64_t days = daysFromCivil(now_.year, now_.month, now_.day);
    const int64_t dayMs = 86400000;
    days += total >= 0 ? total / dayMs : (total - dayMs + 1) / dayMs;
    total = ((total % dayMs) + dayMs) % dayMs;
    civilFromDays(days, now_.year, now_.month, now_.day);
    now_.millisecond = static_cast<int>(total % 1000);
    total /= 1000;
    now_.second = static_cast<int>(total % 60);
    total /= 60;
    now_.minute = static_cast<int>(total % 60);
    now_.hour = static_cast<int>(total / 60);
}

} // namespace linvar
