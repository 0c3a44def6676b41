#include "Vorn.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace linvar::sim {

namespace {

std::string format(const char* f, double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}

std::string digits(long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*ld", width, v);
    return buf;
}

// A whole value text: digits with at most one point and an optional leading minus.
bool number(const std::string& text, double& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && text.find_first_not_of("0123456789.-") == std::string::npos;
}

bool bit(const std::string& v) {
    return v == "0" || v == "1";
}

} // namespace

VornBehaviour::VornBehaviour(Unit& unit, bool yran) : unit_(unit), yran_(yran) {
    // The two siblings cover different parts of the band.
    up_.lowMhz = yran ? 5850 : 5850;
    up_.spanMhz = yran ? 875 : 575;
    down_.lowMhz = yran ? 3400 : 3625;
    down_.spanMhz = yran ? 800 : 575;
    up_.tenths = yran ? 61250 : 59250;
    down_.tenths = yran ? 37000 : 37025;
    up_.hundredths = 1025;
    down_.hundredths = 500;
    addStoredEvent("POWER ON     ", 0);
    addStoredEvent("REF UNLOCK   ", 0);
    addStoredEvent("REF LOCKED   ", 0);
}

// Event text, time HHMMSS and date MMDDYY of the unit's clock.
void VornBehaviour::addStoredEvent(const std::string& text, int64_t nowMs) {
    std::string t = text;
    t.resize(13, ' ');
    const int64_t now = unit_.clock(nowMs);
    events_.push_back(t + " " + timeHHMMSS(now) + " " + dateMMDDYY(now));
}

void VornBehaviour::setStoredEventCount(size_t n, int64_t nowMs) {
    events_.clear();
    eventsRead_ = 0;
    for (size_t i = 0; i < n; ++i)
        addStoredEvent("EVENT " + digits(static_cast<long>(i + 1), 3), nowMs);
}

std::optional<std::string> VornBehaviour::payload(Unit& unit, const std::string& m, bool isQuery,
                                                  const std::string& value, int64_t nowMs) {
    if (isQuery) {
        if (!value.empty())
            return "?";
        if (m == "LNA")
            return readEvents();
        return query(unit, m, nowMs);
    }
    return setting(unit, m, value, nowMs);
}

// ---- queries -----------------------------------------------------------------------------------

std::optional<std::string> VornBehaviour::query(Unit& unit, const std::string& m,
                                                int64_t nowMs) const {
    const auto mode = [](const Converter& c) -> std::string {
        return c.present ? std::string("=") + c.slopeMode : "*";
    };
    const auto gain = [](const Converter& c) -> std::string {
        return c.present ? "=" + format("-%4.2f", c.gainOffset * 0.25) : "*";
    };
    if (m == "RSN")
        return std::string("=") + (yran_ ? "YR" : "VN") + "0" + unit.address() + "731";
    if (m == "USM")
        return mode(up_);
    if (m == "DSM")
        return mode(down_);
    if (m == "CUS") {
        const auto slope = [](const Converter& c) {
            return c.present ? format("%3.1f", c.slope / 10.0) : std::string("X.X");
        };
        return "=0" + digits(ref_, 3) + slope(up_) + slope(down_);
    }
    if (m == "CLS") {
        if (!lnaSupply_ || !down_.present)
            return "*";
        return std::string("=") + lnaSource_ + digits(lnaWindow_, 2) + lnaFaultLogic_;
    }
    if (m == "CCS")
        return "=" + ccs(unit);
    if (m == "CAS")
        return "=" + alarms();
    if (m == "TNA")
        return "=" + digits(static_cast<long>(std::min<size_t>(unreadEvents(), 99)), 2);
    if (m == "RRS")
        return "=" + rrs_;
    if (m == "RAM")
        return autoMode_ ? "=1" : "=0";
    if (m == "CMS")
        return "=" + cms(unit, nowMs);
    if (m == "UGO")
        return gain(up_);
    if (m == "DGO")
        return gain(down_);
    if (m == "XRF")
        return std::string("=") + extFaultLogic_;
    if (m == "UIF")
        return factoryOn_ ? "=" + limits(up_) : "*";
    if (m == "DIF")
        return factoryOn_ ? "=" + limits(down_) : "*";
    if (m == "MUT")
        return "=" + std::to_string(muteMode_);
    if (m == "FAC" || m == "CAA" || m == "CAL" || m == "RTG")
        return "?"; // settings only
    if (m == "UFQ" || m == "DFQ" || m == "UAT" || m == "DAT" || m == "REF" || m == "UMU" ||
        m == "DMU" || m == "AMP" || m == "AFR" || m == "CLD" || m == "USA" || m == "DSA" ||
        m == "LCW" || m == "LCS" || m == "LFL")
        return "?"; // read through the combined replies
    return std::nullopt;
}

// Frequencies, attenuations, on-line state and the state characters of both converters.
std::string VornBehaviour::ccs(const Unit& unit) const {
    const auto state = [](bool present, bool on) { return present ? (on ? '1' : '0') : 'X'; };
    std::string s;
    s += up_.present ? format("%06.1f", up_.tenths / 10.0) : "XXXXXX";
    s += down_.present ? format("%06.1f", down_.tenths / 10.0) : "XXXXXX";
    s += up_.present ? format("%05.2f", up_.hundredths / 100.0) : "XXXXX";
    s += down_.present ? format("%05.2f", down_.hundredths / 100.0) : "XXXXX";
    s += unit.online() || !unit.partner() ? '1' : '0'; // a unit on its own carries the traffic
    s += state(up_.present, up_.on && !up_.mute);      // transmitter
    s += state(up_.present, up_.on);                   // amplifier
    s += state(up_.present, up_.mute);
    s += state(down_.present, down_.on && !down_.mute); // receiver
    s += state(down_.present, down_.mute);
    s += coldStart_;
    s += autoRecovery_;
    s += '1'; // external reference present
    return s;
}

// A missing converter's alarms are not available.
std::string VornBehaviour::alarms() const {
    std::string a = alarms_;
    a.resize(18, '0');
    if (!up_.present)
        a[6] = a[7] = 'X';
    if (!down_.present)
        a[8] = a[9] = a[11] = 'X';
    return a;
}

std::string VornBehaviour::cms(const Unit& unit, int64_t nowMs) const {
    // Still unless the unit's readings move.
    const auto at = [&](double base, double swing, double noise, int salt) {
        return unit.moving() ? unit.moved(base, swing, noise, nowMs, salt) : base;
    };
    const double volts[] = {24.1, 20.2, 12.1, 10.0, 5.0, -5.0, 3.2, 4.1, 3.3, 4.0, 2.5};
    std::string s;
    for (double v : volts)
        s += format("%5.1f", v);
    s += down_.present ? format("%5.1f", at(45.0, 0.5, 0.5, 11)) : "XXXXX"; // LNA current, mA
    s += format("%5.1f", 120.0);                                            // fan current, mA
    s += up_.present ? format("%5.1f", at(38.0, 5.0, 0.5, 12)) : "XXXXX";
    std::string rf = up_.present ? rfPower_ : "XXXXX";
    rf.resize(5, ' ');
    s += rf;
    s += down_.present ? format("%5.1f", 36.5) : "XXXXX";
    if (!up_.present)
        s.replace(30, 10, "XXXXXXXXXX"); // up tuning voltages
    if (!down_.present)
        s.replace(40, 10, "XXXXXXXXXX");
    return s;
}

// Lowest frequency (5 digits), span (4), the converter's other factory data, and the
// highest attenuation at positions 39-40.
std::string VornBehaviour::limits(const Converter& c) const {
    std::string s = digits(c.lowMhz, 5) + "," + digits(c.spanMhz, 4) + ",";
    s += "0070.0,0140.0,01,02,03,04,05,0";
    s.resize(38, '0');
    return s + digits(attenMax_, 2);
}

std::string VornBehaviour::readEvents() {
    if (eventsRead_ >= events_.size())
        return "*"; // nothing left
    const size_t n = std::min<size_t>(5, events_.size() - eventsRead_);
    std::string out = "=" + std::to_string(n);
    for (size_t i = 0; i < 5; ++i) {
        out += i < n ? events_[eventsRead_ + i] : std::string(27, '0'); // "0": an empty slot
        out += ',';
    }
    eventsRead_ += n;
    return out;
}

// ---- settings ----------------------------------------------------------------------------------

std::optional<std::string> VornBehaviour::setting(Unit& unit, const std::string& m,
                                                  const std::string& v, int64_t nowMs) {
    (void)nowMs;
    static const char* const own[] = {"UFQ", "DFQ", "UAT", "DAT", "REF", "UMU", "DMU", "AMP", "AFR",
                                      "CLD", "USM", "DSM", "USA", "DSA", "UGO", "DGO", "XRF", "MUT",
                                      "LCW", "LCS", "LFL", "FAC", "CAA", "CAL", "RTG", "RAM"};
    if (std::none_of(std::begin(own), std::end(own), [&](const char* s) { return m == s; }))
        return std::nullopt;
    if (m == "FAC") {
        if (v == "E " || v == "E") {
            if (!factoryAllowed_)
                return "*";
            factoryOn_ = true;
            return "=";
        }
        if (v == "D " || v == "D") {
            factoryOn_ = false;
            return "=";
        }
        return "?";
    }
    if (!unit.acceptsSettings())
        return "*";
    const bool isUp = m[0] == 'U';
    Converter& c = isUp ? up_ : down_;
    double x = 0;
    if (m == "UFQ" || m == "DFQ") {
        if (!c.present)
            return "*";
        if (!number(v, x))
            return "?";
        const long t = std::lround(x * 10);
        if (t < c.lowMhz * 10L || t > (c.lowMhz + c.spanMhz) * 10L || (t % 10 && t % 25))
            return "?";
        c.tenths = t;
        if (muteMode_ == 1)
            c.mute = true; // muted after a frequency change
        return "=";
    }
    if (m == "UAT" || m == "DAT") {
        if (!c.present)
            return "*";
        if (!number(v, x))
            return "?";
        const long h = std::lround(x * 100);
        if (h < 0 || h > attenMax_ * 100L || h % 25)
            return "?";
        c.hundredths = h;
        return "=";
    }
    if (m == "USM" || m == "DSM" || m == "UMU" || m == "DMU" || m == "AMP") {
        Converter& of = m == "AMP" ? up_ : c;
        if (!of.present)
            return "*";
        if (!bit(v))
            return "?";
        if (m[1] == 'S')
            of.slopeMode = v[0];
        else if (m == "AMP")
            of.on = v == "1";
        else
            of.mute = v == "1";
        return "=";
    }
    if (m == "USA" || m == "DSA") {
        if (!c.present)
            return "*";
        if (v.size() != 3 || v[1] != '.' || !number(v, x) || x < 0 || x > 1.0)
            return "?";
        c.slope = static_cast<int>(std::lround(x * 10));
        return "=";
    }
    if (m == "UGO" || m == "DGO") {
        if (!c.present)
            return "*";
        if (!number(v, x) || x > 0 || x < -4.0 || std::lround(-x * 100) % 25)
            return "?";
        c.gainOffset = static_cast<int>(std::lround(-x * 4));
        return "=";
    }
    if (m == "REF") {
        if (v.size() != 3 || !number(v, x) || x < 0 || x > 255)
            return "?";
        ref_ = static_cast<int>(x);
        return "=";
    }
    if (m == "MUT") {
        if (!bit(v))
            return "?";
        muteMode_ = v[0] - '0';
        return "=";
    }
    if (m == "AFR" || m == "CLD" || m == "XRF" || m == "LCS" || m == "LFL") {
        if (!bit(v))
            return "?";
        if ((m == "LCS" || m == "LFL") && !lnaSupply_)
            return "*";
        char& target = m == "AFR"   ? autoRecovery_
                       : m == "CLD" ? coldStart_
                       : m == "XRF" ? extFaultLogic_
                       : m == "LCS" ? lnaSource_
                                    : lnaFaultLogic_;
        target = v[0];
        return "=";
    }
    if (m == "LCW") {
        if (!lnaSupply_)
            return "*";
        if (v.size() != 2 || !number(v, x) || ((x < 20 || x > 50) && x != 99))
            return "?";
        lnaWindow_ = static_cast<int>(x);
        return "=";
    }
    if (!v.empty() && m != "RAM")
        return "?";
    if (m == "CAA") {
        events_.clear();
        eventsRead_ = 0;
        return "=";
    }
    if (m == "CAL") {
        if (!lnaSupply_ || !down_.present)
            return "*";
        ++calibrations_;
        return "=";
    }
    if (m == "RTG") {
        // Only the on-line unit hands over; its partner takes the traffic.
        if (!unit.online())
            return "*";
        unit.setOnline(false);
        if (Unit* p = unit.partner())
            p->setOnline(true);
        return "=";
    }
    // RAM=: the redundancy controller's mode.
    if (!bit(v))
        return "?";
    autoMode_ = v == "1";
    return "=";
}

} // namespace linvar::sim
