#include "export/StatusSnapshot.h"

#include "ui/Cp1252.h"

#include <cstdio>

namespace linvar {

namespace {

// The snapshot holds the station's 8-bit texts; what goes out is UTF-8.
std::string Json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : Cp1252ToUtf8(s)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string Label(const std::string& s) {
    std::string out;
    for (char c : Cp1252ToUtf8(s)) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out;
}

std::string EntryJson(const AlarmEntry& e) {
    return "{\"time\":" + Json(IsoTime(e.at)) + ",\"event\":" + Json(e.event) +
           ",\"link\":" + std::to_string(e.link()) + ",\"end\":" + Json(e.end()) +
           ",\"unit\":" + Json(AlarmUnitName(e.record, e.slot)) +
           ",\"address\":" + Json(e.address) + ",\"linkId\":" + Json(e.linkId) +
           ",\"from\":" + Json(e.from) + ",\"to\":" + Json(e.to) + ",\"detail\":" + Json(e.detail) +
           "}";
}

} // namespace

std::string IsoTime(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return buf;
}

std::string StatusJson(const StatusSnapshot& s) {
    std::string out = "{\"time\":" + Json(s.time) + ",\"title\":" + Json(s.title) +
                      ",\"polling\":" + (s.polling ? "true" : "false") +
                      ",\"portUp\":" + (s.portUp ? "true" : "false") + ",\"ends\":[";
    for (size_t i = 0; i < s.ends.size(); ++i) {
        const EndSnapshot& e = s.ends[i];
        out += (i ? "," : "");
        out += "{\"link\":" + std::to_string(e.link) + ",\"end\":" + Json(e.end) +
               ",\"linkId\":" + Json(e.linkId) + ",\"colour\":" + Json(e.colour) + "}";
    }
    out += "],\"units\":[";
    for (size_t i = 0; i < s.units.size(); ++i) {
        const UnitSnapshot& u = s.units[i];
        out += (i ? "," : "");
        out += "{\"link\":" + std::to_string(u.link) + ",\"end\":" + Json(u.end) +
               ",\"unit\":" + Json(u.unit) + ",\"address\":" + Json(u.address) +
               ",\"linkId\":" + Json(u.linkId) + ",\"state\":" + std::to_string(u.status) +
               ",\"stateName\":" + Json(u.status < 0 ? "" : AlarmStateName(u.status)) +
               ",\"colour\":" + Json(u.colour) +
               ",\"lastAnswer\":" + (u.lastAnswer.empty() ? "null" : Json(u.lastAnswer)) + "}";
    }
    return out + "]}\n";
}

std::string AlarmsJson(const StatusSnapshot& s) {
    std::string out = "{\"unacknowledged\":" + std::to_string(s.unacknowledged) + ",\"active\":[";
    for (size_t i = 0; i < s.active.size(); ++i) {
        const ActiveAlarm& a = s.active[i];
        AlarmEntry e;
        e.record = a.record;
        e.slot = a.slot;
        out += (i ? "," : "");
        out += "{\"link\":" + std::to_string(e.link()) + ",\"end\":" + Json(e.end()) +
               ",\"unit\":" + Json(AlarmUnitName(a.record, a.slot)) +
               ",\"address\":" + Json(a.address) + ",\"linkId\":" + Json(a.linkId) +
               (a.reading.empty() ? "" : ",\"reading\":" + Json(a.reading)) +
               ",\"state\":" + Json(a.state) + ",\"since\":" + Json(IsoTime(a.since)) +
               ",\"acknowledged\":" + (a.acknowledged ? "true" : "false") + "}";
    }
    out += "],\"recent\":[";
    for (size_t i = 0; i < s.recent.size(); ++i)
        out += (i ? "," : "") + EntryJson(s.recent[i]);
    return out + "]}\n";
}

std::string MetricsText(const StatusSnapshot& s) {
    std::string out =
        "# HELP linvar_unit_state State code of a unit as the summary shows it: 1 no fault "
        "(lime), 2 warning, 3 fault (red), 4 no communication (blue), 5 and 6 problem, -1 not "
        "answered yet.\n"
        "# TYPE linvar_unit_state gauge\n";
    for (const UnitSnapshot& u : s.units) {
        out += "linvar_unit_state{link=\"" + std::to_string(u.link) + "\",end=\"" + Label(u.end) +
               "\",slot=\"" + Label(u.unit) + "\",address=\"" + Label(u.address) + "\",link_id=\"" +
               Label(u.linkId) + "\"} " + std::to_string(u.status) + "\n";
    }
    const auto counter = [&](const char* name, const char* help, uint64_t v) {
        out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " counter\n" +
               name + " " + std::to_string(v) + "\n";
    };
    counter("linvar_requests_total", "Requests sent on the serial line.", s.requests);
    counter("linvar_answers_total", "Answers received on the serial line.", s.answers);
    counter("linvar_timeouts_total", "Polls that found no communication.", s.timeouts);
    out += "# HELP linvar_port_up Whether the serial port is open and working.\n"
           "# TYPE linvar_port_up gauge\nlinvar_port_up " +
           std::string(s.portUp ? "1" : "0") +
           "\n# HELP linvar_alarms_active Units not lime now.\n"
           "# TYPE linvar_alarms_active gauge\nlinvar_alarms_active " +
           std::to_string(s.active.size()) +
           "\n# HELP linvar_alarms_unacknowledged Active alarms not acknowledged.\n"
           "# TYPE linvar_alarms_unacknowledged gauge\nlinvar_alarms_unacknowledged " +
           std::to_string(s.unacknowledged) + "\n";
    if (!s.readings.empty()) {
        out += "# HELP linvar_reading The last value the readings pass read from a unit, in the "
               "reading's unit of measure (ebno_db in dB...).\n"
               "# TYPE linvar_reading gauge\n";
        for (const ReadingGauge& g : s.readings) {
            char value[32];
            std::snprintf(value, sizeof value, "%.6g", g.value);
            out += "linvar_reading{address=\"" + Label(g.address) + "\",link=\"" +
                   std::to_string(g.link) + "\",end=\"" + Label(g.end) + "\",reading=\"" +
                   Label(g.reading) + "\"} " + value + "\n";
        }
    }
    return out;
}

std::optional<int64_t> ParseUtcMs(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    if (text.find_first_not_of("0123456789") == std::string::npos)
        return text.size() <= 12 ? std::optional<int64_t>(std::stoll(text) * 1000) : std::nullopt;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d%n", &y, &mo, &d, &h, &mi, &used) != 5)
        return std::nullopt;
    std::string rest = text.substr(static_cast<size_t>(used));
    if (rest.size() >= 3 && rest[0] == ':') {
        int n = 0;
        if (std::sscanf(rest.c_str(), ":%2d%n", &sec, &n) != 1)
            return std::nullopt;
        rest = rest.substr(static_cast<size_t>(n));
    }
    if (!(rest.empty() || rest == "Z") || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 ||
        mi > 59 || sec > 59)
        return std::nullopt;
    return ((daysFromCivil(y, mo, d) * 24 + h) * 60 + mi) * 60000 + int64_t{sec} * 1000;
}

} // namespace linvar
