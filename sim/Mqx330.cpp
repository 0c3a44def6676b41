// The MQX-330 family and the MQX-310 / RDX-7010 as the units answer: readings, the
// configuration string (MGC?) and its settings with the unit's own checks, the FEC
// codes the installed options and the software version allow, the memories (CST, CLD).

#include "Mqx330.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace linvar::sim {

namespace {

// What the unit is, from its model and identity.
struct Kind {
    bool old = false; // MQX-310 / RDX-7010
    int code = 330;
    bool rxOnly = false, ip = false, aupc = false, rs = false, turbo = false, both = false;
    char band = '1';
    double version = 0;
};

double versionOf(const Unit& u) {
    std::string v = u.reading("SWR");
    if (v.empty())
        v = u.family() == "MQX-310" ? "1.05" : "1.24";
    return v[0] == 'V' ? 1.10 : std::atof(v.c_str());
}

Kind kindOf(const Unit& u) {
    Kind k;
    const std::string id = u.identity() + std::string(10, ' ');
    k.old = u.family() == "MQX-310";
    k.code = u.modelCode();
    k.band = id[4];
    k.version = versionOf(u);
    if (k.old)
        return k;
    const char o = id[0];
    k.rs = o == '1' || o == '3';
    k.aupc = o >= '2' && o <= '7';
    k.turbo = o == '4' || o == '5' || o == '7';
    k.both = o == '5' || o == '7';
    k.ip = o == '6' || o == '7';
    k.rxOnly = id[5] == '2';
    return k;
}

enum class Form {
    Codes,  // one character of `codes`
    Fixed,  // digits with a point before `frac` fraction digits, lo..hi
    Digits, // an integer of exactly `len` digits, lo..hi, a multiple of `step`
    Flags,  // "0" or "1" for each character
    Aupc,   // action at max, action at unlock, target d.d, max increase
};

enum Needs { Any = 0, Tx = 1, Aupc = 2, New = 4 }; // New: not on the MQX-310

struct Setting {
    const char* mnemonic;
    int pos, len;       // MQX-330 string
    int oldPos, oldLen; // MQX-310 string (0: none)
    Form form;
    const char* codes;
    int frac;
    double lo, hi;
    int step;
    int needs;
};

// clang-format off
constexpr Setting settings[] = {
    // mnemonic 330 pos/len 310 pos/len form        codes     frac lo   hi    step needs
    {"TFQ",  1, 8,  1, 8, Form::Fixed,  "",        4,  0,    0,    1, Tx},
    {"TDR",  9, 8,  9, 7, Form::Fixed,  "",        3,  0,    2500, 1, Tx},
    {"TFT", 17, 1,  0, 0, Form::Codes,  "",        0,  0,    0,    1, Tx | New},
    {"TCR", 18, 1, 16, 1, Form::Codes,  "137",     0,  0,    0,    1, Tx},
    {"TMD", 19, 1, 17, 1, Form::Codes,  "123",     0,  0,    0,    1, Tx},
    {"TSI", 20, 1, 18, 1, Form::Codes,  "01",      0,  0,    0,    1, Tx},
    {"TSC", 21, 1, 19, 1, Form::Codes,  "01",      0,  0,    0,    1, Tx},
    {"TPL", 22, 4, 20, 4, Form::Fixed,  "",        1,  0,    20,   1, Tx},
    {"TCK", 26, 1, 24, 1, Form::Codes,  "123",     0,  0,    0,    1, Tx},
    {"TXO", 27, 1, 25, 1, Form::Codes,  "01",      0,  0,    0,    1, Tx},
    {"RFQ", 28, 8, 26, 8, Form::Fixed,  "",        4,  0,    0,    1, Any},
    {"RDR", 36, 8, 34, 7, Form::Fixed,  "",        3,  0,    2500, 1, Any},
    {"RFT", 44, 1,  0, 0, Form::Codes,  "",        0,  0,    0,    1, New},
    {"RCR", 45, 1, 41, 1, Form::Codes,  "137",     0,  0,    0,    1, Any},
    {"RMD", 46, 1, 42, 1, Form::Codes,  "123",     0,  0,    0,    1, Any},
    {"RSI", 47, 1, 43, 1, Form::Codes,  "01",      0,  0,    0,    1, Any},
    {"RDS", 48, 1, 44, 1, Form::Codes,  "01",      0,  0,    0,    1, Any},
    {"RSW", 49, 2, 45, 2, Form::Digits, "",        0,  1,    30,   1, Any},
    {"RCK", 51, 1, 47, 1, Form::Codes,  "01",      0,  0,    0,    1, Any},
    {"EBA", 52, 4, 48, 4, Form::Fixed,  "",        1,  0,    16,   1, Any},
    {"RBS", 56, 1, 52, 1, Form::Codes,  "12345",   0,  0,    0,    1, Any},
    {"ITF", 57, 1, 53, 1, Form::Codes,  "123",     0,  0,    0,    1, Any},
    {"FRM", 58, 1, 54, 1, Form::Codes,  "01",      0,  0,    0,    1, Any},
    {"TST", 59, 1, 55, 1, Form::Codes,  "012345",  0,  0,    0,    1, Tx},
    {"IMP", 60, 1, 56, 1, Form::Codes,  "57",      0,  0,    0,    1, Any},
    {"MSK", 61, 5, 57, 5, Form::Flags,  "",        0,  0,    0,    1, Any},
    {"ODU", 66, 1, 62, 1, Form::Codes,  "01",      0,  0,    0,    1, Any},
    {"ESA", 67, 4, 63, 4, Form::Digits, "",        0,  0,    9990, 10, Tx},
    {"AUP", 71, 1,  0, 0, Form::Codes,  "01",      0,  0,    0,    1, Tx | Aupc},
    {"APP", 72, 6,  0, 0, Form::Aupc,   "",        0,  0,    0,    1, Aupc},
    {"SSI", 78, 1,  0, 0, Form::Codes,  "0123456789", 0, 0,  0,    1, New},
};
// clang-format on

bool digit(char c) {
    return c >= '0' && c <= '9';
}

// Fixed-point text of exactly `len` characters with `frac` fraction digits; false when
// it is not that form.
bool readFixed(const std::string& v, int len, int frac, double& out) {
    if (static_cast<int>(v.size()) != len)
        return false;
    const size_t point = static_cast<size_t>(len - frac - 1);
    for (size_t i = 0; i < v.size(); ++i)
        if (i == point ? v[i] != '.' : !digit(v[i]))
            return false;
    out = std::atof(v.c_str());
    return true;
}

std::string fecCodes(const Kind& k) {
    std::string c = k.aupc ? "012" : "12";
    if (k.rs)
        c += "34";
    if (k.turbo)
        c += "5";
    if (k.both)
        c += "67";
    if (k.turbo && k.version >= 1.19 - 1e-9)
        c += "8";
    if (k.turbo && k.version > 1.23 + 1e-9)
        c += "9";
    return c;
}

// The IF band's frequencies; the 140 MHz band at level 4 reaches further.
void frequencyRange(const Unit& u, const Kind& k, double& lo, double& hi) {
    if (k.band == '2') {
        const bool wide = !k.old && u.reading("LBL") == "4";
        lo = wide ? 102 : 104;
        hi = wide ? 178 : 176;
    } else {
        lo = 52;
        hi = 88;
    }
}

bool wellFormed(const Setting& s, const std::string& v, const Unit& u, const Kind& k) {
    const int len = k.old ? s.oldLen : s.len;
    switch (s.form) {
    case Form::Codes: {
        std::string codes = s.codes;
        if (!std::strcmp(s.mnemonic, "TFT") || !std::strcmp(s.mnemonic, "RFT"))
            codes = fecCodes(k);
        else if (!std::strcmp(s.mnemonic, "TXO") && k.version >= 1.11 - 1e-9)
            codes = "013";
        else if (!std::strcmp(s.mnemonic, "ITF") && k.ip)
            codes = "1234";
        else if (k.old && (!std::strcmp(s.mnemonic, "TMD") || !std::strcmp(s.mnemonic, "RMD")))
            codes = "12"; // no OQPSK
        return v.size() == 1 && codes.find(v[0]) != std::string::npos;
    }
    case Form::Fixed: {
        double x = 0;
        if (!readFixed(v, len, s.frac, x))
            return false;
        double lo = s.lo, hi = s.hi;
        if (s.mnemonic[1] == 'F' && s.mnemonic[2] == 'Q')
            frequencyRange(u, k, lo, hi);
        if (!std::strcmp(s.mnemonic, "EBA") && k.old)
            lo = 2;
        return x >= lo - 1e-9 && x <= hi + 1e-9;
    }
    case Form::Digits: {
        if (static_cast<int>(v.size()) != len || !std::all_of(v.begin(), v.end(), digit))
            return false;
        const int n = std::atoi(v.c_str());
        return n >= s.lo && n <= s.hi && n % s.step == 0;
    }
    case Form::Flags:
        return static_cast<int>(v.size()) == len &&
               std::all_of(v.begin(), v.end(), [](char c) { return c == '0' || c == '1'; });
    case Form::Aupc:
        return v.size() == 6 && (v[0] == '0' || v[0] == '1') && (v[1] == '0' || v[1] == '1') &&
               digit(v[2]) && v[3] == '.' && digit(v[4]) && digit(v[5]);
    }
    return false;
}

const std::map<std::string, std::string>& readingDefaults() {
    static const std::map<std::string, std::string> d{
        {"ESN", "330123456"}, {"SNO", "33012345"}, {"EBN", "12.3"}, {"RFO", "+0012"},
        {"BER", "1.0E7"},     {"BFS", "50"},       {"AGC", "45"},   {"REB", "11.0"},
        {"PLI", "0.0"},       {"LBL", "2"},        {"LNB", "1"},    {"IPA", "192.168.001.010.24"}};
    return d;
}

} // namespace

Mqx330Behaviour::Mqx330Behaviour(Unit& u) {
    if (kindOf(u).old)
        u.resetConfig(std::string("070.0000") + "064.000" + "3201" + "10.0" + "11" + "070.0000" +
                      "064.000" + "3201" + "30" + "1" + "04.0" + "11005" + "00000" + "0" + "0000");
    else
        u.resetConfig(std::string("070.0000") + "0064.000" + "13201" + "10.0" + "11" + "070.0000" +
                      "0064.000" + "13201" + "30" + "1" + "04.0" + "11005" + "00000" + "0" +
                      "0000" + "000" + "7.0" + "0" + "1");
}

std::optional<std::string> Mqx330Behaviour::payload(Unit& u, const std::string& m, bool query,
                                                    const std::string& value, int64_t nowMs) {
    const Kind k = kindOf(u);
    const std::string& config = u.config();
    // Queries of the unit's own readings.
    if (query) {
        if (!value.empty() && m != "CST")
            return std::nullopt; // the unit's common answers say what is wrong
        if (m == "SWR") {
            const std::string v = u.reading("SWR");
            return "=" + (v.empty() ? (k.old ? std::string("1.05") : std::string("1.24")) : v);
        }
        if (m == "CST") {
            if (value.size() != 1 || !digit(value[0]))
                return "?";
            const std::string& stored = memory(value[0] - '0');
            return stored.empty() ? "*" : "=" + stored;
        }
        if (m == "ESA")
            return "=" + config.substr(static_cast<size_t>((k.old ? 63 : 67) - 1), 4);
        const bool own = m == "SNO" || m == "EBN" || m == "RFO" || m == "BER" || m == "BFS" ||
                         (!k.old && (m == "ESN" || m == "AGC" || m == "LBL")) ||
                         (k.aupc && (m == "REB" || m == "PLI")) || (k.rxOnly && m == "LNB") ||
                         (k.ip && m == "IPA");
        if (!own)
            return std::nullopt;
        const bool unlocked = u.faults().size() >= 3 && u.faults()[2] == '1';
        static const std::map<std::string, std::string> lost{
            {"EBN", "99.9"}, {"RFO", "99999"}, {"BER", "99999"}, {"BFS", "00"}};
        if (unlocked && lost.count(m))
            return "=" + lost.at(m);
        if (!k.old && config.size() >= 71 && config[70] == '0' && (m == "REB" || m == "PLI"))
            return m == "REB" ? "=xx.x" : "=x.x"; // AUPC off
        const std::string v = u.reading(m);
        return "=" + (v.empty() ? readingDefaults().at(m) : v);
    }

    // Settings: every one is refused while the unit is in local mode.
    if (m == "CST" || m == "CLD" || (k.rxOnly && m == "LNB") || (k.ip && m == "IPA")) {
        if (!u.acceptsSettings())
            return "*";
        if (m == "LNB" || m == "IPA") {
            if (m == "LNB" ? (value != "0" && value != "1") : value.empty() || value.size() > 18)
                return "?";
            u.setReading(m, value);
            return "=";
        }
        if (value.size() != 1 || !digit(value[0]))
            return "?";
        std::string& slot = memories_[static_cast<size_t>(value[0] - '0')];
        if (m == "CST") {
            slot = config;
            return "=";
        }
        if (slot.empty())
            return "?"; // nothing stored there
        u.setConfig(slot, nowMs);
        u.setTxCarrier(slot[static_cast<size_t>((k.old ? 25 : 27) - 1)]);
        return "=";
    }
    const Setting* s = nullptr;
    for (const Setting& row : settings)
        if (m == row.mnemonic)
            s = &row;
    if (!s || (k.old && s->oldPos == 0) || ((s->needs & Aupc) && !k.aupc))
        return std::nullopt;
    if ((s->needs & Tx) && k.rxOnly)
        return "?"; // a demodulator has no transmit side
    if (!u.acceptsSettings())
        return "*";
    if (!wellFormed(*s, value, u, k))
        return "?";
    std::string next = config;
    const size_t pos = static_cast<size_t>((k.old ? s->oldPos : s->pos) - 1);
    if (next.size() < pos + value.size())
        next.resize(pos + value.size(), '0');
    next.replace(pos, value.size(), value);
    u.setConfig(next, nowMs);
    if (m == "TXO")
        u.setTxCarrier(value[0]);
    return "=";
}

} // namespace linvar::sim
