// The switch's own commands. Settings are taken in remote mode only, and a value the
// switch cannot hold is refused with "?"; an activation the interface cannot take with "*".

#include "Switch.h"

#include <algorithm>
#include <cstdio>

namespace linvar::sim {

namespace {

std::string two(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v % 100);
    return b;
}

bool isDigits(const std::string& s, size_t n) {
    return s.size() == n &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// One digit from lo to hi, or 0 when the text is not one.
char digitIn(const std::string& v, char lo, char hi) {
    return v.size() == 1 && v[0] >= lo && v[0] <= hi ? v[0] : 0;
}

} // namespace

SwitchBehaviour::SwitchBehaviour(Unit& unit)
    : m430_(unit.modelCode() == 430), interfaces_(m430_ ? "2113100000" : "3221200000") {
    memories_[1] = std::string("0") + "1000000000" + "1" + "03" + "07" + "20";
    // A history for the log: power on, faults of traffic modems, the redundant modem and
    // the switch's own supplies, some of them cleared.
    if (unit.events().empty())
        for (const char* e : {"ID1", "F33", "C33", "FA2", "FB1", "FC2", "CC2", "F03"})
            unit.addEvent(e[0], e[1], e[2], 0);
}

bool SwitchBehaviour::active(size_t i) const {
    const char d = interfaces_[i];
    return m430_ ? d == '2' || d == '3' : d == '3';
}

bool SwitchBehaviour::activatable(size_t i) const {
    return interfaces_[i] == (m430_ ? '1' : '2');
}

void SwitchBehaviour::setInterfaces(const std::string& digits) {
    interfaces_ = digits;
    interfaces_.resize(10, '0');
}

std::string SwitchBehaviour::activeFlags() const {
    std::string f;
    for (size_t i = 0; i < 10; ++i)
        f += active(i) ? '1' : '0';
    return f;
}

void SwitchBehaviour::setMemory(int slot, std::string value) {
    if (slot >= 0 && slot < Unit::memoryCount)
        memories_[static_cast<size_t>(slot)] = std::move(value);
}

const std::string& SwitchBehaviour::memory(int slot) const {
    static const std::string none;
    return slot >= 0 && slot < Unit::memoryCount ? memories_[static_cast<size_t>(slot)] : none;
}

std::string SwitchBehaviour::current() const {
    // The stored form marks bridging with "1".
    return std::string(1, mode_) + activeFlags() + (bridge_ == '0' ? "1" : "0") +
           two(trafficModem_) + two(backupHold_) + two(restoreHold_);
}

std::optional<std::string> SwitchBehaviour::payload(Unit& unit, const std::string& m, bool query,
                                                    const std::string& value, int64_t nowMs) {
    static const char* const own[] = {"ESN", "SNO", "SWR", "SID", "MAM", "SAM", "AAM", "OPM",
                                      "BKH", "RSH", "AMQ", "ACT", "BBU", "CST", "CLD"};
    if (std::none_of(std::begin(own), std::end(own), [&](const char* o) { return m == o; }))
        return std::nullopt;
    if (m == "ESN" && !m430_)
        return "!"; // the TRV-420 has only the short serial number
    if (m == "CST" && query) {
        if (!digitIn(value, '0', '9'))
            return "?";
        const std::string& stored = memory(value[0] - '0');
        return stored.empty() ? "*" : "=" + stored;
    }
    if (!query)
        return setting(unit, m, value, nowMs);
    if (!value.empty())
        return "?";
    if (m == "ESN")
        return "=43000017342";
    if (m == "SNO")
        return "=4200009921";
    if (m == "SWR")
        return m430_ ? "=3.12" : "=2.05";
    if (m == "SID") {
        std::string id = switchId_;
        id.resize(24, ' ');
        return "=" + id;
    }
    if (m == "MAM")
        return std::string("=") + alarmMask_;
    if (m == "SAM")
        return std::string("=") + supplyMask_;
    if (m == "AAM")
        return std::string("=") + audioMask_;
    if (m == "OPM")
        return std::string("=") + mode_;
    if (m == "BKH")
        return "=" + two(backupHold_);
    if (m == "RSH")
        return "=" + two(restoreHold_);
    if (m == "AMQ")
        return "=" + interfaces_;
    if (m == "ACT")
        return "=" + activeFlags();
    if (m == "BBU")
        return std::string("=") + bridge_ + two(trafficModem_);
    return "?"; // "CLD" is a command only
}

std::string SwitchBehaviour::setting(Unit& unit, const std::string& m, const std::string& v,
                                     int64_t nowMs) {
    if (m == "ESN" || m == "SNO" || m == "SWR" || m == "AMQ")
        return "?"; // queries only
    if (!unit.acceptsSettings())
        return "*";
    if (m == "SID") {
        if (v.size() > 24 || v.find_first_not_of(")(*+-., 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ") !=
                                 std::string::npos)
            return "?";
        switchId_ = v;
        return "=";
    }
    char* masks[] = {&alarmMask_, &supplyMask_, &audioMask_, &mode_};
    const char* names[] = {"MAM", "SAM", "AAM", "OPM"};
    const char highest[] = {'3', '2', '3', '1'};
    for (size_t i = 0; i < 4; ++i) {
        if (m != names[i])
            continue;
        const char d = digitIn(v, '0', highest[i]);
        if (!d)
            return "?";
        *masks[i] = d;
        return "=";
    }
    if (m == "BKH" || m == "RSH") {
        if (!isDigits(v, 2) || v == "00")
            return "?";
        (m == "BKH" ? backupHold_ : restoreHold_) = std::stoi(v);
        return "=";
    }
    if (m == "BBU") {
        if (v.size() != 3 || !digitIn(v.substr(0, 1), '0', '1') || !isDigits(v.substr(1), 2))
            return "?";
        const int tm = std::stoi(v.substr(1));
        if (tm < 1 || tm > 10)
            return "?";
        if (mode_ != '0')
            return "*"; // the switch chooses for itself in automatic operation
        bridge_ = v[0];
        trafficModem_ = tm;
        return "=";
    }
    if (m == "ACT") {
        if (!isDigits(v, 10) || v.find_first_not_of("01") != std::string::npos)
            return "?";
        for (size_t i = 0; i < 10; ++i)
            if (v[i] == '1' && !active(i) && !activatable(i))
                return "*";
        for (size_t i = 0; i < 10; ++i) {
            if (v[i] == '1' && !active(i))
                interfaces_[i] = m430_ ? '2' : '3';
            else if (v[i] == '0' && active(i))
                interfaces_[i] = m430_ ? '1' : '2';
        }
        unit.addEvent('I', 'D', '4', nowMs); // redundancy configuration changed
        return "=";
    }
    const char slot = digitIn(v, '0', '9');
    if (!slot)
        return "?";
    const size_t s = static_cast<size_t>(slot - '0');
    if (m == "CST") {
        memories_[s] = current();
        return "=";
    }
    // CLD: the stored mode, activity, bridge and hold-offs.
    const std::string& c = memories_[s];
    if (c.size() != 18)
        return "?";
    mode_ = c[0];
    for (size_t i = 0; i < 10; ++i) {
        if (c[1 + i] == '1' && activatable(i))
            interfaces_[i] = m430_ ? '2' : '3';
        else if (c[1 + i] == '0' && active(i))
            interfaces_[i] = m430_ ? '1' : '2';
    }
    bridge_ = c[11] == '1' ? '0' : '1';
    trafficModem_ = std::stoi(c.substr(12, 2));
    backupHold_ = std::stoi(c.substr(14, 2));
    restoreHold_ = std::stoi(c.substr(16, 2));
    unit.addEvent('I', 'D', '3', nowMs);
    return "=";
}

} // namespace linvar::sim
