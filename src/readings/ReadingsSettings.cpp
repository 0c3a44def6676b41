#include "readings/ReadingsSettings.h"

#include "ui/TextFile.h"
#include "ui/UserError.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace linvar {

namespace {

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

bool Number(const std::string& text, double& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end && *end == '\0';
}

bool Whole(const std::string& text, long& out, long low, long high) {
    double v = 0;
    if (!Number(text, v) || v != static_cast<double>(static_cast<long>(v)))
        return false;
    out = static_cast<long>(v);
    return out >= low && out <= high;
}

// "5" minutes, "30s" seconds, "off" or "0": none. Empty on success, else why not.
std::string Interval(const std::string& v, int64_t& ms) {
    if (v == "off" || v == "0") {
        ms = 0;
        return {};
    }
    const bool seconds = !v.empty() && v.back() == 's';
    long n = 0;
    if (!Whole(seconds ? v.substr(0, v.size() - 1) : v, n, 1, seconds ? 86400 : 1440))
        return "the interval is minutes (1 to 1440), seconds such as \"30s\", or \"off\"";
    ms = n * (seconds ? 1000 : 60000);
    return {};
}

std::string Threshold(const std::vector<std::string>& w, ThresholdRule& t) {
    // warning|fault KIND <|> LEVEL [for N]
    if (w.size() != 4 && w.size() != 6)
        return "a level reads \"" + w[0] + " KIND < LEVEL\" or \"" + w[0] + " KIND > LEVEL for N\"";
    t.fault = w[0] == "fault";
    t.kind = w[1];
    if (w[2] != "<" && w[2] != ">")
        return "the comparison is \"<\" or \">\", not \"" + w[2] + "\"";
    t.below = w[2] == "<";
    if (!Number(w[3], t.level))
        return "\"" + w[3] + "\" is not a number";
    if (w.size() == 6) {
        long n = 0;
        if (w[4] != "for" || !Whole(w[5], n, 1, 1000))
            return "the persistence reads \"for N\" with N passes from 1 to 1000";
        t.passes = static_cast<int>(n);
    }
    return {};
}

} // namespace

ReadingsSettings ReadingsSettings::Parse(const std::vector<std::string>& lines) {
    ReadingsSettings s;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (const size_t hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        line = Trim(line);
        if (line.empty())
            continue;
        std::string why;
        if (const size_t eq = line.find('='); eq != std::string::npos) {
            const std::string key = Trim(line.substr(0, eq));
            const std::string value = Trim(line.substr(eq + 1));
            long n = 0;
            if (key == "interval")
                why = Interval(value, s.intervalMs);
            else if (key == "retention")
                why = Whole(value, n, 1, 36500) ? (s.retentionDays = static_cast<int>(n), "")
                                                : "the retention is days, from 1 to 36500";
            else if (key == "raw")
                why = Whole(value, n, 1, 36500) ? (s.rawDays = static_cast<int>(n), "")
                                                : "the raw readings are kept days, from 1 to 36500";
            else
                why = "unknown setting \"" + key + "\"";
        } else {
            std::istringstream words(line);
            std::vector<std::string> w;
            for (std::string x; words >> x;)
                w.push_back(x);
            if (w[0] == "warning" || w[0] == "fault") {
                ThresholdRule t;
                why = Threshold(w, t);
                if (why.empty())
                    s.thresholds.push_back(t);
            } else {
                why = "not a setting: \"" + line + "\"";
            }
        }
        if (!why.empty())
            s.problems.push_back(std::string(kFileName) + " line " + std::to_string(i + 1) + ": " +
                                 why);
    }
    if (s.rawDays > s.retentionDays)
        s.rawDays = s.retentionDays;
    return s;
}

ReadingsSettings ReadingsSettings::Read(const std::filesystem::path& folder) {
    try {
        const auto lines = TextFile::readLines(folder / kFileName);
        return Parse(lines.value_or(std::vector<std::string>{}));
    } catch (const UserError& e) {
        ReadingsSettings s;
        s.problems.push_back(std::string(kFileName) + ": " + e.what());
        return s;
    }
}

} // namespace linvar
