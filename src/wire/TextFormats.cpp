#include "wire/TextFormats.h"

#include "ui/Clock.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace linvar {

bool ReadIntText(const std::string& text, int& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool ReadRealText(const std::string& text, double& value) {
    // Sign, digits with at most one point, optional exponent; nothing else.
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        size_t expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != text.size())
        return false;
    errno = 0;
    const double v = std::strtod(text.c_str(), nullptr);
    if (errno == ERANGE)
        return false;
    value = v;
    return true;
}

std::string CleanNumber(const std::string& text) {
    std::string s = text;
    const size_t minus = s.find('-');
    if (minus != std::string::npos)
        s = s.substr(minus, 33);
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != ' ')
            out += c;
    return out;
}

std::string BlanksToZeros(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == ' ')
            c = '0';
    return out;
}

ParsedReal ParseReal(const std::string& text) {
    ParsedReal r;
    double v = 0;
    if (ReadRealText(CleanNumber(text), v)) {
        r.value = v;
        r.ok = true;
    }
    return r;
}

ParsedInt ParseIntStrict(const std::string& text) {
    std::string s = CleanNumber(text);
    const size_t point = s.find('.');
    if (point != std::string::npos)
        s.erase(point);
    ParsedInt r;
    int v = 0;
    if (ReadIntText(s, v)) {
        r.value = v;
        r.ok = true;
    }
    return r;
}

ParsedInt ParseInt(const std::string& text) {
    if (text.empty() || text == " ")
        return ParseIntStrict("0");
    return ParseIntStrict(text);
}

namespace {

std::string fixed(double value, int width, int decimals) {
    if (decimals < 0)
        decimals = 0;
    if (decimals > 30)
        decimals = 30;
    if (width < 0)
        width = 0;
    if (width > 64)
        width = 64;
    char buf[512];
    std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, value);
    return buf;
}

} // namespace

std::string RealText(double value, int width, int decimals) {
    return " " + CleanNumber(fixed(value, width, decimals));
}

std::string RealTextZeroPad(const std::string& text, int width, int decimals) {
    double v = 0;
    if (!ReadRealText(text, v))
        return text;
    std::string out = fixed(v, width, decimals);
    for (size_t i = 0; i < out.size() && i < 4; ++i)
        if (out[i] == ' ')
            out[i] = '0';
    return out;
}

std::string Addr4(int value) {
    const std::string s = "000" + std::to_string(value);
    return s.substr(s.size() - 4);
}

std::string SubInt(const std::string& text, int start, int length) {
    if (start < 1)
        start = 1;
    if (length < 0)
        length = 0;
    const size_t from = static_cast<size_t>(start - 1);
    const std::string part = from < text.size() ? text.substr(from, length) : std::string();
    int v = 0;
    if (!ReadIntText(part, v))
        return "0";
    return std::to_string(v);
}

int NormaliseTime(int& hours, int& minutes) {
    if (minutes >= 60) {
        minutes -= 60;
        ++hours;
    } else if (minutes < 0) {
        minutes += 60;
        --hours;
    }
    if (hours > 23) {
        hours -= 24;
        return 1;
    }
    if (hours < 0) {
        hours += 24;
        return -1;
    }
    return 0;
}

namespace {

bool allDigits(const std::string& s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A two-character year or month field as the equipment sends it; a sign makes no sense
// here, so a negative reading counts as "not a number".
bool readField(const std::string& text, size_t at, int& value) {
    if (at + 2 > text.size())
        return false;
    return ReadIntText(text.substr(at, 2), value) && value >= 0;
}

std::string fullYear(int yy) {
    return std::to_string(yy >= 97 ? 1900 + yy : 2000 + yy);
}

} // namespace

std::string MonthAbbrev(int month) {
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12)
        return "";
    return names[month - 1];
}

std::string TimeText(const std::string& hhmmss, const Clock& clock) {
    if (hhmmss.size() < 6 || !allDigits(hhmmss.substr(0, 6)))
        return "";
    const int h = std::stoi(hhmmss.substr(0, 2));
    const int m = std::stoi(hhmmss.substr(2, 2));
    const int s = std::stoi(hhmmss.substr(4, 2));
    if (h > 23 || m > 59 || s > 59)
        return "";
    std::string out = formatTime(clock.formats().longTime, h, m, s);
    // A one-digit hour: keep the columns of a log aligned.
    if (out.size() >= 2 && out[1] == ':')
        out = " " + out;
    return out;
}

std::string DateTextDMY(const std::string& ddmmyy) {
    int month = 0, year = 0;
    if (!readField(ddmmyy, 2, month) || !readField(ddmmyy, 4, year))
        return "date";
    return ddmmyy.substr(0, 2) + " " + MonthAbbrev(month) + " " + fullYear(year);
}

std::string DateTextMDY(const std::string& mmddyy) {
    int month = 0, year = 0;
    if (!readField(mmddyy, 0, month) || !readField(mmddyy, 4, year))
        return " unset date";
    return mmddyy.substr(2, 2) + " " + MonthAbbrev(month) + " " + fullYear(year);
}

char HexDigitChar(int value) {
    // Unsigned arithmetic: any value gives some character, never an overflow.
    const unsigned v = static_cast<unsigned>(value);
    return static_cast<char>(value >= 0 && value < 10 ? '0' + v : v + ('A' - 10u));
}

int HexDigitValue(const std::string& text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'F')
        return 10 + (text[0] - 'A');
    return IntOfText(text);
}

int IntOfText(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > INT_MAX)
            v = static_cast<long long>(INT_MAX) + 1; // keeps the next step in range
    }
    if (negative)
        v = -v;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

std::string RealField(const std::string& text, int start, int length, int decimals, int width) {
    if (start < 1)
        start = 1;
    if (length < 0)
        length = 0;
    const size_t from = static_cast<size_t>(start - 1);
    const std::string part = from < text.size() ? text.substr(from, length) : std::string();
    return RealText(ParseReal(part).value, width, decimals);
}

std::string Chars(const std::string& text, int from, int count) {
    if (from < 1 || count <= 0 || static_cast<size_t>(from) > text.size())
        return {};
    return text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(count));
}

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

std::string LeftTrim(const std::string& text) {
    const size_t i = text.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : text.substr(i);
}

std::string ZeroFill(long value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    return (value < 0 ? "-" : "") + digits;
}

std::string TwoDigits(int value) {
    const int v = ((value % 100) + 100) % 100;
    return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
}

} // namespace linvar
