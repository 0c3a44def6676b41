// The MQX-370 family's own commands: status readings, the data-rate limits, the external
// reference, drop and insert, every setting of the configuration and ODU strings with the
// unit's checks, and the stored configurations 0-9 with their ODU and D+I parts.

#include "Mqx370.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>

namespace linvar::sim::mqx370 {

namespace {

enum class Store { Mgc, Odu };

enum class Form {
    Index,     // one digit 0..hi
    Hex,       // one hex digit: 0-5, and A-E with the 16-QAM variants
    Indices,   // `len` digits, each 0..hi
    Fixed,     // digits with a point before `frac` fraction digits, lo..hi
    Digits,    // `len` digits, lo..hi, a multiple of `step`
    Flags,     // "0" or "1" per character
    Aupc,      // action at max, at unlock, target d.f (d hex 0-E), max increase
    LoFreq,    // five digits and "+" or "-"; 0 or 3000..65000
    Volumes,   // two indices 0-6 separated by ","
    Impedance, // 5 (50 ohm) or 7 (75 ohm)
    Delay,     // mm:ss up to 20 minutes
    Rate,      // nine characters with three fraction digits, or "0" + a fixed rate
    Frequency, // four fraction digits, within the unit's band
};

struct Field {
    const char* mnemonic;
    Store store;
    int pos, len;
    Form form;
    int frac;
    double lo, hi;
    int step;
    bool lBand; // the ODU string: L-band units only
};

// clang-format off
constexpr Field fields[] = {
    {"TFQ", Store::Mgc,   1, 8, Form::Frequency, 4, 0, 0, 1, false},
    {"TDR", Store::Mgc,   9, 9, Form::Rate,      3, 0, 0, 1, false},
    {"TFT", Store::Mgc,  18, 1, Form::Index,     0, 0, 9, 1, false},
    {"TRS", Store::Mgc,  19, 1, Form::Index,     0, 0, 3, 1, false},
    {"TCR", Store::Mgc,  20, 1, Form::Index,     0, 0, 7, 1, false},
    {"TMD", Store::Mgc,  21, 1, Form::Hex,       0, 0, 0, 1, false},
    {"TSI", Store::Mgc,  22, 1, Form::Index,     0, 0, 1, 1, false},
    {"TSC", Store::Mgc,  23, 1, Form::Index,     0, 0, 2, 1, false},
    {"TPL", Store::Mgc,  24, 4, Form::Fixed,     1, 0, 65, 1, false},
    {"AUP", Store::Mgc,  28, 1, Form::Index,     0, 0, 3, 1, false},
    {"APP", Store::Mgc,  29, 6, Form::Aupc,      0, 0, 0, 1, false},
    {"TCK", Store::Mgc,  35, 1, Form::Index,     0, 0, 3, 1, false},
    {"TXO", Store::Mgc,  36, 1, Form::Index,     0, 0, 2, 1, false},
    {"TIT", Store::Mgc,  37, 1, Form::Index,     0, 0, 6, 1, false},
    {"TTC", Store::Mgc,  38, 1, Form::Index,     0, 0, 3, 1, false},
    {"TFM", Store::Mgc,  39, 1, Form::Index,     0, 0, 5, 1, false},
    {"TIP", Store::Mgc,  40, 1, Form::Impedance, 0, 0, 0, 1, false},
    {"RFQ", Store::Mgc,  41, 8, Form::Frequency, 4, 0, 0, 1, false},
    {"RDR", Store::Mgc,  49, 9, Form::Rate,      3, 0, 0, 1, false},
    {"RFT", Store::Mgc,  58, 1, Form::Index,     0, 0, 9, 1, false},
    {"RRS", Store::Mgc,  59, 1, Form::Index,     0, 0, 3, 1, false},
    {"RCR", Store::Mgc,  60, 1, Form::Index,     0, 0, 7, 1, false},
    {"RMD", Store::Mgc,  61, 1, Form::Hex,       0, 0, 0, 1, false},
    {"RSI", Store::Mgc,  62, 1, Form::Index,     0, 0, 1, 1, false},
    {"RDS", Store::Mgc,  63, 1, Form::Index,     0, 0, 2, 1, false},
    {"RSW", Store::Mgc,  64, 2, Form::Digits,    0, 1, 32, 1, false},
    {"RCK", Store::Mgc,  66, 1, Form::Index,     0, 0, 3, 1, false},
    {"EBA", Store::Mgc,  67, 4, Form::Fixed,     1, 0.1, 16, 1, false},
    {"RBS", Store::Mgc,  71, 5, Form::Digits,    0, 16, 32768, 2, false},
    {"RIT", Store::Mgc,  76, 1, Form::Index,     0, 0, 6, 1, false},
    {"RTC", Store::Mgc,  77, 1, Form::Index,     0, 0, 3, 1, false},
    {"RFM", Store::Mgc,  78, 1, Form::Index,     0, 0, 5, 1, false},
    {"RIP", Store::Mgc,  79, 1, Form::Impedance, 0, 0, 0, 1, false},
    {"ESC", Store::Mgc,  80, 1, Form::Index,     0, 0, 1, 1, false},
    {"EFM", Store::Mgc,  80, 1, Form::Index,     0, 0, 1, 1, false},
    {"SCP", Store::Mgc,  81, 2, Form::Indices,   0, 0, 5, 1, false},
    {"ESA", Store::Mgc,  81, 4, Form::Digits,    0, 0, 9990, 10, false},
    {"TST", Store::Mgc,  85, 1, Form::Index,     0, 0, 6, 1, false},
    {"MSK", Store::Mgc,  86, 6, Form::Flags,     0, 0, 0, 1, false},
    {"EFR", Store::Mgc,  92, 1, Form::Index,     0, 0, 5, 1, false},
    {"MRC", Store::Mgc,  92, 1, Form::Index,     0, 0, 5, 1, false},
    {"SSI", Store::Mgc,  93, 1, Form::Index,     0, 0, 9, 1, false},
    {"RTE", Store::Mgc,  94, 1, Form::Index,     0, 0, 1, 1, false},
    {"TTA", Store::Mgc,  95, 1, Form::Index,     0, 0, 1, 1, false},
    {"ODU", Store::Mgc,  96, 1, Form::Index,     0, 0, 1, 1, false},
    {"TBA", Store::Mgc,  97, 4, Form::Indices,   0, 0, 2, 1, false},
    {"RBA", Store::Mgc, 101, 4, Form::Indices,   0, 0, 1, 1, false},
    {"TVL", Store::Mgc, 105, 4, Form::Volumes,   0, 0, 0, 1, false},
    {"RVL", Store::Mgc, 109, 4, Form::Volumes,   0, 0, 0, 1, false},
    {"TET", Store::Mgc, 115, 1, Form::Index,     0, 0, 1, 1, false},
    {"RET", Store::Mgc, 116, 1, Form::Index,     0, 0, 1, 1, false},

    {"OAD", Store::Odu,   1, 2, Form::Digits,    0, 1, 15, 1, true},
    {"OOP", Store::Odu,   3, 1, Form::Index,     0, 0, 1, 1, true},
    {"OPL", Store::Odu,   4, 1, Form::Index,     0, 0, 1, 1, true},
    {"ODP", Store::Odu,   5, 1, Form::Index,     0, 0, 1, 1, true},
    {"ODR", Store::Odu,   6, 1, Form::Index,     0, 0, 1, 1, true},
    {"OOD", Store::Odu,   7, 5, Form::Delay,     0, 0, 0, 1, true},
    {"ODL", Store::Odu,  12, 4, Form::Digits,    0, 0, 4000, 100, true},
    {"ODH", Store::Odu,  16, 4, Form::Digits,    0, 0, 4000, 100, true},
    {"LNV", Store::Odu,  24, 1, Form::Index,     0, 0, 2, 1, true},
    {"LNB", Store::Odu,  25, 1, Form::Index,     0, 0, 1, 1, true},
    {"LNR", Store::Odu,  26, 1, Form::Index,     0, 0, 1, 1, true},
    {"LNL", Store::Odu,  27, 3, Form::Digits,    0, 0, 250, 1, true},
    {"LNH", Store::Odu,  30, 3, Form::Digits,    0, 0, 500, 1, true},
    {"TLO", Store::Odu,  33, 6, Form::LoFreq,    0, 0, 0, 1, true},
    {"RLO", Store::Odu,  39, 6, Form::LoFreq,    0, 0, 0, 1, true},
};
// clang-format on

const char* const volumeCodes[] = {"-6", "-4", "-2", "+0", "+2", "+4", "+6"};

bool digit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), digit);
}

int hexValue(char c) {
    if (digit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char at(const std::string& s, int pos) {
    return pos >= 1 && static_cast<size_t>(pos) <= s.size() ? s[static_cast<size_t>(pos - 1)] : '0';
}

void put(std::string& s, int pos, const std::string& value) {
    const size_t from = static_cast<size_t>(pos - 1);
    if (s.size() < from + value.size())
        s.resize(from + value.size(), '0');
    s.replace(from, value.size(), value);
}

// A number with exactly `frac` fraction digits; nothing when it is not one.
bool readFixed(const std::string& v, int frac, double& out) {
    const size_t point = v.find('.');
    if (point == std::string::npos || v.size() - point - 1 != static_cast<size_t>(frac) ||
        !allDigits(v.substr(0, point)) || !allDigits(v.substr(point + 1)))
        return false;
    out = std::stod(v);
    return true;
}

std::string fixed(double v, int width, int frac) {
    char b[32];
    std::snprintf(b, sizeof b, "%0*.*f", width, frac, v);
    return b;
}

std::string defaultConfig(bool lBand) {
    std::string config = std::string(lBand ? "14000000" : "070.0000") + "02048.000" + "101" + "1" +
                         "0" + "1" + "10.0" + "000" + "7.0" + "3" + "0" + "1" + "1" + "0" + "0" +
                         "0" + (lBand ? "11000000" : "070.0000") + "02048.000" + "101" + "1" + "0" +
                         "1" + "32" + "0" + "04.0" + "02048" + "1" + "0" + "0" + "0" + "0" + "30" +
                         "00" + "0" + "000000" + "0" + "1" + "1" + "0" + "1" + "0000" + "0000" +
                         "+0+0" + "+0+0" + "00" + "0" + "0";
    config.resize(120, '0');
    return config;
}

std::string defaultOdu(bool lBand) {
    return lBand ? std::string("01") + "1" + "1" + "1" + "1" + "02:30" + "1000" + "3000" + "10.0" +
                       "1" + "1" + "1" + "050" + "400" + "13050+" + "10750-"
                 : std::string();
}

class Mqx370 : public FamilyBehaviour {
public:
    explicit Mqx370(Unit& unit) : lBand_(unit.modelCode() == 371 || unit.modelCode() == 372) {
        unit.resetConfig(defaultConfig(lBand_), defaultOdu(lBand_));
        dni_ = std::string("123456") + std::string(18, '0') + "2" + "123456" +
               std::string(18, '0') + "2" + "0";
        // Readings live with the unit, so that a test or a demo can change them.
        for (const auto& [m, v] : std::vector<std::pair<const char*, const char*>>{
                 {"HRV", "0300"}, {"EBN", "12.3"},   {"RFO", "+001.2"}, {"BER", "1.0E7"},
                 {"BFS", "50"},   {"RSL", "==45.0"}, {"TMP", "+35"},    {"REB", "11.0"},
                 {"PLI", "0.0"},  {"CTD", "000"},    {"ADJ", "+000"},   {"REF", "00010.000U"},
                 {"IMG", "1"},    {"OOL", "10.5"},   {"ODT", "+045"},   {"OLL", "0"},
                 {"ODC", "0450"}, {"OSV", "12"},     {"OPC", "10.0"},   {"ODV", "24.0"},
                 {"LNC", "120"},  {"OTP", "10.0"}})
            unit.setReading(m, v);
        unit.setReading("SWR", lBand_ ? "1.3.5   " : "2.1.0   ");
        unit.setReading("SNO",
                        std::to_string(unit.modelCode()) + unit.address().substr(0, 4) + "1");
    }

    std::optional<std::string> payload(Unit& unit, const std::string& m, bool query,
                                       const std::string& value, int64_t nowMs) override {
        if (query)
            return answer(unit, m, value);
        if (m == "CST" || m == "CLD")
            return memoryCommand(unit, m, value, nowMs);
        if (m == "TXO" || m == "CID" || m == "LRS" || m == "DAY" || m == "TIM" || m == "CAE" ||
            m == "CAS" || m == "FSW" || m == "RCB")
            return std::nullopt; // as every modem takes them
        if (!unit.acceptsSettings())
            return "*";
        if (m == "DNI") {
            if (!dropInsert(unit))
                return "*";
            if (value.size() != dni_.size())
                return "?";
            dni_ = value;
            return "=";
        }
        if (m == "DTY" || m == "ITY") {
            if (!dropInsert(unit))
                return "*";
            if (value.size() != 1 || value[0] < '0' || value[0] > '3')
                return "?";
            dni_[m == "DTY" ? 24 : 49] = value[0];
            return "=";
        }
        if (m == "REF") {
            double mhz = 0;
            if (value.size() != 10 || !readFixed(value.substr(0, 9), 3, mhz) || mhz < 0.002 ||
                mhz > 20 || (value[9] != 'U' && value[9] != 'B'))
                return "?";
            unit.setReading("REF", value);
            return "=";
        }
        if (m == "ADJ") {
            if (value.size() != 4 || (value[0] != '+' && value[0] != '-') ||
                !allDigits(value.substr(1)))
                return "?";
            unit.setReading("ADJ", value);
            return "=";
        }
        const Field* f = find(m);
        if (!f)
            return std::nullopt;
        if (f->lBand && !lBand_)
            return "!";
        std::string stored;
        if (!take(unit, *f, value, stored))
            return "?";
        std::string target = f->store == Store::Mgc ? unit.config() : unit.oduConfig();
        const std::string before = target;
        put(target, f->pos, stored);
        if (m == "TXO")
            unit.setTxCarrier(stored[0]);
        if (target != before) {
            if (f->store == Store::Mgc)
                unit.setConfig(target, nowMs);
            else
                unit.setOduConfig(target, nowMs);
        }
        return "=";
    }

private:
    bool dropInsert(const Unit& unit) const { return (at(unit.identity(), 8) - '0') & 1; }

    bool wideRange(const Unit& unit) const {
        const std::string hrv = unit.reading("HRV");
        return unit.modelCode() == 373 || (hrv.size() >= 4 && hrv[3] >= '1' && hrv[3] <= '9');
    }

    static const Field* find(const std::string& m) {
        for (const Field& f : fields)
            if (m == f.mnemonic)
                return &f;
        return nullptr;
    }

    // The unit's form of a setting's value, or false when it does not take it.
    bool take(const Unit& unit, const Field& f, const std::string& v, std::string& out) const {
        out = v;
        const int len = static_cast<int>(v.size());
        switch (f.form) {
        case Form::Index:
            return len == 1 && digit(v[0]) && v[0] - '0' <= f.hi;
        case Form::Hex: {
            const int n = len == 1 ? hexValue(v[0]) : -1;
            const bool variants = at(unit.identity(), 9) >= '2';
            return (n >= 0 && n <= 5) || (variants && n >= 10 && n <= 14);
        }
        case Form::Indices:
            return len == f.len && std::all_of(v.begin(), v.end(),
                                               [&](char c) { return digit(c) && c - '0' <= f.hi; });
        case Form::Fixed: {
            double n = 0;
            if (!readFixed(v, f.frac, n) || n < f.lo || n > f.hi)
                return false;
            out = fixed(n, f.len, f.frac);
            return true;
        }
        case Form::Digits: {
            if (!allDigits(v) || len > 5)
                return false;
            const int n = std::stoi(v);
            if (n < f.lo || n > f.hi || n % f.step != 0)
                return false;
            char b[16];
            std::snprintf(b, sizeof b, "%0*d", f.len, n);
            out = b;
            return true;
        }
        case Form::Flags:
            return len == f.len && v[3] == '0' &&
                   std::all_of(v.begin(), v.end(), [](char c) { return c == '0' || c == '1'; });
        case Form::Aupc: {
            if (len != 6 || (v[0] != '0' && v[0] != '1') || (v[1] != '0' && v[1] != '1'))
                return false;
            const int whole = hexValue(v[2]);
            return whole >= 0 && whole <= 14 && v[3] == '.' && digit(v[4]) && digit(v[5]);
        }
        case Form::LoFreq: {
            if (len != 6 || !allDigits(v.substr(0, 5)) || (v[5] != '+' && v[5] != '-'))
                return false;
            const int n = std::stoi(v.substr(0, 5));
            return n == 0 || (n >= 3000 && n <= 65000);
        }
        case Form::Volumes: {
            if (len != 3 || v[1] != ',' || v[0] < '0' || v[0] > '6' || v[2] < '0' || v[2] > '6')
                return false;
            out = std::string(volumeCodes[v[0] - '0']) + volumeCodes[v[2] - '0'];
            return true;
        }
        case Form::Impedance:
            if (v != "5" && v != "7")
                return false;
            out = v == "5" ? "0" : "1";
            return true;
        case Form::Delay:
            return len == 5 && v[2] == ':' && allDigits(v.substr(0, 2)) && allDigits(v.substr(3)) &&
                   std::stoi(v.substr(0, 2)) <= 20 && std::stoi(v.substr(3)) <= 59;
        case Form::Rate: {
            // A fixed rate from the list: "0" + "1544.000", "0512.AUX" or a D+I rate "64".
            if (len == 9 && v[0] == '0' && v.substr(5) == ".AUX" && allDigits(v.substr(1, 4)))
                return true;
            double kbps = 0;
            if (len >= 2 && len <= 5 && v[0] == '0' && allDigits(v))
                kbps = std::stod(v);
            else if (len != 9 || !readFixed(v, 3, kbps))
                return false;
            const bool tx = f.mnemonic[0] == 'T';
            if (kbps < limit(unit, tx, false) || kbps > limit(unit, tx, true))
                return false;
            out = fixed(kbps, 9, 3);
            return true;
        }
        case Form::Frequency: {
            double mhz = 0;
            if (!readFixed(v, 4, mhz))
                return false;
            if (lBand_) {
                if (mhz < 950 || mhz > 1950)
                    return false;
                const std::string s = fixed(mhz, 9, 4);
                out = s.substr(0, 4) + s.substr(5);
                return true;
            }
            const bool wide = wideRange(unit);
            const bool inside = wide ? (mhz >= 50 && mhz <= 90) || (mhz >= 100 && mhz <= 180)
                                     : (mhz >= 52 && mhz <= 88) || (mhz >= 104 && mhz <= 176);
            out = fixed(mhz, 8, 4);
            return inside;
        }
        }
        return false;
    }

    // Data-rate limits (kbps) by the rate option of the identity.
    static double limit(const Unit& unit, bool /*tx*/, bool high) {
        if (!high)
            return 4.8;
        const char option = at(unit.identity(), 5);
        return option == '2' ? 20000 : option == '1' ? 10000 : 5000;
    }

    std::optional<std::string> answer(Unit& unit, const std::string& m, const std::string& v) {
        if (m == "MGC" || m == "OGC" || m == "DNI") {
            if (m == "OGC" && !lBand_)
                return "!";
            if (m == "DNI" && !dropInsert(unit))
                return "*";
            if (v.empty()) {
                if (m == "MGC")
                    return std::nullopt; // the unit's own answer clears the change mark
                return "=" + (m == "OGC" ? unit.oduConfig() : dni_);
            }
            if (v.size() != 1 || !digit(v[0]))
                return "?";
            const Slot& s = slots_[static_cast<size_t>(v[0] - '0')];
            const std::string& stored = m == "MGC" ? s.config : m == "OGC" ? s.odu : s.dni;
            return stored.empty() ? "*" : "=" + stored;
        }
        if (!v.empty())
            return std::nullopt;
        if (m == "DRL") {
            const std::string hi = fixed(limit(unit, true, true), 9, 3);
            const std::string lo = fixed(limit(unit, true, false), 9, 3);
            return "=" + hi + lo + hi + lo;
        }
        if (m == "ODU" && lBand_)
            return std::string("=") + at(unit.config(), 96);
        if (m == "ODP" && lBand_)
            return std::string("=") + at(unit.oduConfig(), 5);
        const bool unlocked = unit.faults().size() >= 3 && unit.faults()[2] == '1';
        if (unlocked) {
            static const std::map<std::string, std::string> lost = {
                {"EBN", "99.9"}, {"RFO", "99999"}, {"BER", "99999"}, {"BFS", "00"}};
            if (auto l = lost.find(m); l != lost.end())
                return "=" + l->second;
        }
        if (const Field* f = find(m)) {
            if (f->lBand && !lBand_)
                return "!";
            const std::string& from = f->store == Store::Mgc ? unit.config() : unit.oduConfig();
            return "=" + from.substr(static_cast<size_t>(f->pos - 1), static_cast<size_t>(f->len));
        }
        static const char* oduReadings[] = {"OOL", "ODT", "OLL", "ODC", "OSV",
                                            "OPC", "ODV", "LNC", "OTP"};
        const bool odu = std::any_of(std::begin(oduReadings), std::end(oduReadings),
                                     [&](const char* q) { return m == q; });
        if (odu && !lBand_)
            return "!";
        if (m == "CTD" && at(unit.identity(), 10) != '1' && !lBand_)
            return "!";
        const std::string reading = unit.reading(m);
        if (reading.empty())
            return std::nullopt;
        return "=" + reading;
    }

    std::optional<std::string> memoryCommand(Unit& unit, const std::string& m, const std::string& v,
                                             int64_t nowMs) {
        if (!unit.acceptsSettings())
            return "*";
        if (v.size() != 1 || !digit(v[0]))
            return "?";
        Slot& s = slots_[static_cast<size_t>(v[0] - '0')];
        if (m == "CST") {
            s = {unit.config(), lBand_ ? unit.oduConfig() : "", dropInsert(unit) ? dni_ : ""};
            return "=";
        }
        if (s.config.empty())
            return "?"; // nothing stored there
        if (!s.odu.empty())
            unit.setOduConfig(s.odu, nowMs);
        if (!s.dni.empty())
            dni_ = s.dni;
        unit.setConfig(s.config, nowMs);
        unit.setTxCarrier(at(s.config, 36));
        return "=";
    }

    struct Slot {
        std::string config, odu, dni;
    };
    bool lBand_;
    std::string dni_;
    std::array<Slot, Unit::memoryCount> slots_;
};

} // namespace

std::unique_ptr<FamilyBehaviour> MakeBehaviour(Unit& unit) {
    return std::make_unique<Mqx370>(unit);
}

} // namespace linvar::sim::mqx370
