#include "qt/QtClock.h"

namespace linvar {

namespace {

// Walks a locale format: runs of one pattern letter go to `token`, quoted and other
// literal text is kept when it holds no letters (a letter would read as a pattern).
template <typename TokenFn>
std::optional<std::string> convert(const QString& format, TokenFn token) {
    const std::string f = format.toStdString();
    std::string out;
    for (size_t i = 0; i < f.size();) {
        const unsigned char c = static_cast<unsigned char>(f[i]);
        if (c >= 0x80)
            return std::nullopt; // non-ASCII text: keep to the plain defaults
        if (c == '\'') {
            const size_t end = f.find('\'', i + 1);
            if (end == std::string::npos)
                return std::nullopt;
            if (end == i + 1) {
                out += '\'';
            } else {
                for (size_t k = i + 1; k < end; ++k) {
                    if (std::isalpha(static_cast<unsigned char>(f[k])))
                        return std::nullopt;
                    out += f[k];
                }
            }
            i = end + 1;
            continue;
        }
        if (std::isalpha(c)) {
            size_t n = 1;
            while (i + n < f.size() && f[i + n] == f[i])
                ++n;
            std::string run = f.substr(i, n);
            // "AP" and "ap" are one token of two letters.
            if ((run == "A" || run == "a") && i + 1 < f.size() &&
                (f[i + 1] == 'P' || f[i + 1] == 'p'))
                run += f[i + 1], n = 2;
            auto t = token(run);
            if (!t)
                return std::nullopt;
            out += *t;
            i += n;
            continue;
        }
        out += static_cast<char>(c);
        ++i;
    }
    // Blanks left around a dropped time zone.
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    while (!out.empty() && out.front() == ' ')
        out.erase(out.begin());
    return out;
}

} // namespace

std::optional<std::string> clockTimePattern(const QString& localeFormat) {
    bool hour = false, minute = false;
    auto out = convert(localeFormat, [&](const std::string& run) -> std::optional<std::string> {
        if (run == "h" || run == "H")
            return hour = true, std::string("h");
        if (run == "hh" || run == "HH")
            return hour = true, std::string("hh");
        if (run == "m" || run == "mm")
            return minute = true, std::string("nn");
        if (run == "s" || run == "ss")
            return std::string("ss");
        if (run == "AP" || run == "ap" || run == "A" || run == "a")
            return std::string("AM/PM");
        if (run[0] == 't' || run[0] == 'z')
            return std::string(); // time zone and milliseconds: not shown
        return std::nullopt;
    });
    if (!out || !hour || !minute)
        return std::nullopt;
    return out;
}

std::optional<std::string> clockDatePattern(const QString& localeFormat) {
    bool day = false, month = false, year = false;
    auto out = convert(localeFormat, [&](const std::string& run) -> std::optional<std::string> {
        if (run == "d" || run == "dd")
            return day = true, run;
        if (run == "M" || run == "MM" || run == "MMM")
            return month = true, std::string(run.size(), 'm');
        if (run == "yy" || run == "yyyy")
            return year = true, run;
        return std::nullopt;
    });
    if (!out || !day || !month || !year)
        return std::nullopt;
    return out;
}

RegionalFormats regionalFormats(const QLocale& locale) {
    RegionalFormats f;
    if (auto t = clockTimePattern(locale.timeFormat(QLocale::LongFormat)))
        f.longTime = *t;
    if (auto d = clockDatePattern(locale.dateFormat(QLocale::ShortFormat)))
        f.shortDate = *d;
    return f;
}

} // namespace linvar
