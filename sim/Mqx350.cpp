// The MQX-350 family's own commands: status readings, the configuration and ODU strings,
// every setting with the unit's own checks, and the stored configurations 0-9.

#include "Mqx350.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace linvar::sim {

namespace {

enum class Store { Mgc, Odu, Reading };

enum class Form {
    Index,   // one digit: the selected entry, lo..hi
    Hex,     // one hex digit, lo..hi
    Indices, // one digit per entry, each 0..hi
    Fixed,   // digits with a point before `frac` fraction digits, e.g. 0070.0000
    Digits,  // an integer in exactly `len` digits, lo..hi, a multiple of `step`
    Flags,   // "0" or "1" per character
    Signed,  // "+" or "-" and three digits, lo..hi
    LoFreq,  // five digits and the mix sign "+" or "-"; 0 or lo..hi
    Aupc,    // action at max, action at unlock, target d.f (d hex 0-E), max increase
    Address, // xxx.xxx.xxx.xxx.yy, groups of one to three digits
};

constexpr int base = 1, lband = 2, both = base | lband;

// One setting: where its value lives and what the unit takes. A reading's value is the
// whole stored text (pos and len unused for the store, len still the value's length).
struct Field {
    const char* mnemonic;
    Store store;
    int pos, len;
    Form form;
    int frac;
    double lo, hi;   // MQX-350
    double loL, hiL; // MQX-350L
    int step;
    int models;
};

// clang-format off
constexpr Field fields[] = {
    // mnemonic  store  pos len form  frac  MQX-350 range  MQX-350L range  step models
    {"ITF", Store::Mgc,   1, 1, Form::Index,   0,   0,    9,    0,    9,   1, both},
    {"LBO", Store::Mgc,   2, 1, Form::Index,   0,   0,    4,    0,    4,   1, both},
    {"FRM", Store::Mgc,   3, 1, Form::Index,   0,   0,    2,    0,    2,   1, both},
    {"TFQ", Store::Mgc,   4, 9, Form::Fixed,   4,  50,  180,  950, 1950,   1, both},
    {"TFT", Store::Mgc,  13, 1, Form::Index,   0,   0,    7,    0,    7,   1, both},
    {"TMD", Store::Mgc,  14, 1, Form::Index,   0,   0,    5,    0,    5,   1, both},
    {"TCR", Store::Mgc,  15, 1, Form::Index,   0,   0,    7,    0,    7,   1, both},
    {"TDR", Store::Mgc,  16, 8, Form::Fixed,   3, 2.4, 9980,  2.4, 9980,   1, both},
    {"TSI", Store::Mgc,  24, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},
    {"TSC", Store::Mgc,  25, 1, Form::Index,   0,   0,    2,    0,    2,   1, both},
    {"TPL", Store::Mgc,  26, 4, Form::Fixed,   1,   0,   25,    0,   40,   1, both},
    {"TCK", Store::Mgc,  30, 1, Form::Index,   0,   0,    2,    0,    2,   1, both},
    {"TDI", Store::Mgc,  31, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},
    {"TXO", Store::Mgc,  32, 1, Form::Index,   0,   0,    3,    0,    3,   1, both},
    {"AUP", Store::Mgc,  33, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},
    {"APP", Store::Mgc,  34, 6, Form::Aupc,    0,   0,    0,    0,    0,   1, both},
    {"WUD", Store::Mgc,  40, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},
    {"CEX", Store::Mgc,  41, 2, Form::Indices, 0,   0,    2,    0,    2,   1, both},
    {"RFQ", Store::Mgc,  48, 9, Form::Fixed,   4,  50,  180,  950, 1950,   1, both},
    {"RFT", Store::Mgc,  57, 1, Form::Index,   0,   0,    7,    0,    7,   1, both},
    {"RMD", Store::Mgc,  58, 1, Form::Hex,     0,   0,    5,    0,    5,   1, both},
    {"RCR", Store::Mgc,  59, 1, Form::Index,   0,   0,    7,    0,    7,   1, both},
    {"RDR", Store::Mgc,  60, 8, Form::Fixed,   3, 2.4, 9980,  2.4, 9980,   1, both},
    {"RSI", Store::Mgc,  68, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},
    {"RDS", Store::Mgc,  69, 1, Form::Index,   0,   0,    2,    0,    2,   1, both},
    {"RDI", Store::Mgc,  70, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},
    {"RSW", Store::Mgc,  71, 3, Form::Digits,  0,   1,   32,    1,  200,   1, both},
    {"EBA", Store::Mgc,  74, 4, Form::Fixed,   1, 0.1,   16,  0.1,   16,   1, both},
    {"RBS", Store::Mgc,  78, 1, Form::Index,   0,   0,    8,    0,    8,   1, both},
    {"ERF", Store::Mgc,  87, 1, Form::Index,   0,   0,    5,    0,    5,   1, both},
    {"EFM", Store::Mgc,  88, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},
    {"ESA", Store::Mgc,  89, 4, Form::Digits,  0,   0, 9990,    0, 9990,  10, both},
    {"TST", Store::Mgc,  93, 1, Form::Index,   0,   0,    6,    0,    6,   1, both},
    {"MSK", Store::Mgc,  94, 12, Form::Flags,  0,   0,    0,    0,    0,   1, both},
    {"RTS", Store::Mgc, 106, 1, Form::Index,   0,   0,    2,    0,    2,   1, both},
    {"SSI", Store::Mgc, 107, 1, Form::Index,   0,   0,    9,    0,    9,   1, both},
    {"ABA", Store::Mgc, 108, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},
    {"ALA", Store::Mgc, 109, 1, Form::Index,   0,   0,    1,    0,    1,   1, both},

    {"BAD", Store::Odu,   1, 2, Form::Digits,  0,   1,   15,    1,   15,   1, lband},
    {"BCE", Store::Odu,   3, 1, Form::Index,   0,   0,    1,    0,    1,   1, lband},
    {"BPC", Store::Odu,   4, 1, Form::Index,   0,   0,    1,    0,    1,   1, lband},
    {"BFR", Store::Odu,   5, 1, Form::Index,   0,   0,    1,    0,    1,   1, lband},
    {"BOE", Store::Odu,   6, 1, Form::Index,   0,   0,    1,    0,    1,   1, lband},
    {"BCL", Store::Odu,  11, 4, Form::Digits,  0,   0, 3000,    0, 3000, 100, lband},
    {"BCH", Store::Odu,  15, 4, Form::Digits,  0, 500, 4000,  500, 4000, 100, lband},
    {"BLO", Store::Odu,  19, 6, Form::LoFreq,  0, 3000, 65000, 3000, 65000, 1, lband},
    {"LPC", Store::Odu,  31, 1, Form::Index,   0,   0,    3,    0,    3,   1, lband},
    {"LFR", Store::Odu,  32, 1, Form::Index,   0,   0,    1,    0,    1,   1, lband},
    {"LCL", Store::Odu,  33, 3, Form::Digits,  0,  10,  400,   10,  400,   1, lband},
    {"LCH", Store::Odu,  36, 3, Form::Digits,  0,  50,  600,   50,  600,   1, lband},
    {"LLO", Store::Odu,  39, 6, Form::LoFreq,  0, 3000, 65000, 3000, 65000, 1, lband},

    {"FPL", Store::Reading, 0, 1, Form::Index,  0,    0,   1,    0,   1,   1, both},
    {"ADJ", Store::Reading, 0, 4, Form::Signed, 0, -999, 999, -999, 999,   1, both},
    {"IPA", Store::Reading, 0, 18, Form::Address, 0,  0,   0,    0,   0,   1, both},
    {"ODU", Store::Reading, 0, 1, Form::Index,  0,    0,   1,    0,   1,   1, base},
};

// Values the unit reports and nobody sets over the line (tests may, with setReading).
const struct {
    const char* mnemonic;
    const char* value;
    int models;
} readingDefaults[] = {
    {"IMG", "1", both},
    {"SWR", "BOOT 1.10  APP 3.41  FPGA 2.07      ", both},
    {"EBN", "12.3", both},   {"RFO", "+001.2", both}, {"BER", "1.0E7", both},
    {"BFS", "50", both},     {"RSL", "==45.0", both}, {"TMP", "+35", both},
    {"REB", "11.0", both},   {"PLI", "0.0", both},    {"CTD", "000", both},
    {"FPL", "0", both},      {"ADJ", "+000", both},   {"IPA", "192.168.001.010.24", both},
    {"ODU", "0", base},
    {"BDC", "0450", lband},  {"BDV", "24.0", lband},  {"LDC", "120", lband},
    {"LDV", "18.0", lband},  {"BOL", "10.5", lband},  {"BUT", "+045", lband},
    {"BPA", "0", lband},     {"BSV", "12", lband},
};
// clang-format on

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

// A limit counted in the last digit of a fixed-point value, for exact comparisons.
long long scaled(double v, int frac) {
    return std::llround(v * std::pow(10.0, frac));
}

// Fixed-point text of exactly `len` characters with `frac` fraction digits, read as an
// integer count of its last digit; -1 when it is not that form.
long long readFixed(const std::string& v, int len, int frac) {
    if (static_cast<int>(v.size()) != len)
        return -1;
    const size_t point = frac > 0 ? static_cast<size_t>(len - frac - 1) : v.size();
    long long n = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        if (i == point) {
            if (v[i] != '.')
                return -1;
            continue;
        }
        if (!digit(v[i]))
            return -1;
        n = n * 10 + (v[i] - '0');
    }
    return n;
}

// "10.0.0.1.24" -> "010.000.000.001.24"; empty when not an address.
std::string normalAddress(const std::string& v) {
    std::string out;
    size_t start = 0;
    for (int group = 0; group < 5; ++group) {
        size_t end = v.find('.', start);
        if ((end == std::string::npos) != (group == 4))
            return {};
        std::string part = v.substr(start, end == std::string::npos ? end : end - start);
        if (part.size() < 1 || part.size() > (group == 4 ? 2u : 3u) || !allDigits(part))
            return {};
        int n = std::stoi(part);
        if (n > (group == 4 ? 32 : 255))
            return {};
        part.insert(0, (group == 4 ? 2 : 3) - part.size(), '0');
        out += (group ? "." : "") + part;
        start = end + 1;
    }
    return out;
}

// The value as the unit would take it, before its rules about the other settings.
bool wellFormed(const Field& f, const std::string& v, bool lBand) {
    const double lo = lBand ? f.loL : f.lo, hi = lBand ? f.hiL : f.hi;
    const int len = static_cast<int>(v.size());
    switch (f.form) {
    case Form::Index:
        return len == 1 && digit(v[0]) && v[0] - '0' >= lo && v[0] - '0' <= hi;
    case Form::Hex:
        return len == 1 && hexValue(v[0]) >= lo && hexValue(v[0]) <= hi;
    case Form::Indices:
        return len == f.len &&
               std::all_of(v.begin(), v.end(), [&](char c) { return digit(c) && c - '0' <= hi; });
    case Form::Fixed: {
        const long long n = readFixed(v, f.len, f.frac);
        return n >= 0 && n >= scaled(lo, f.frac) && n <= scaled(hi, f.frac);
    }
    case Form::Digits: {
        if (len != f.len || !allDigits(v))
            return false;
        const int n = std::stoi(v);
        return n >= lo && n <= hi && n % f.step == 0;
    }
    case Form::Flags:
        return len == f.len &&
               std::all_of(v.begin(), v.end(), [](char c) { return c == '0' || c == '1'; });
    case Form::Signed: {
        if (len != 4 || (v[0] != '+' && v[0] != '-') || !allDigits(v.substr(1)))
            return false;
        const int n = std::stoi(v);
        return n >= lo && n <= hi;
    }
    case Form::LoFreq: {
        if (len != 6 || !allDigits(v.substr(0, 5)) || (v[5] != '+' && v[5] != '-'))
            return false;
        const int n = std::stoi(v.substr(0, 5));
        return n == 0 || (n >= lo && n <= hi);
    }
    case Form::Aupc: {
        // the target's whole dB is one hex digit 0-E (A = 10 ... E = 14)
        if (len != 6 || (v[0] != '0' && v[0] != '1') || (v[1] != '0' && v[1] != '1'))
            return false;
        const int whole = hexValue(v[2]);
        return whole >= 0 && whole <= 14 && v[3] == '.' && digit(v[4]) && digit(v[5]);
    }
    case Form::Address:
        return !normalAddress(v).empty();
    }
    return false;
}

const Field* findField(const std::string& mnemonic, int model) {
    for (const Field& f : fields)
        if (mnemonic == f.mnemonic && (f.models & model))
            return &f;
    return nullptr;
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

// Maximum data rate (kbps) of the data-rate option in identity position 6.
int maxDataRate(char option) {
    switch (option) {
    case '1':
        return 2048;
    case '2':
        return 5000;
    case '3':
        return 9980;
    default:
        return 512;
    }
}

bool circuitText(const std::string& v) {
    return v.size() <= 40 && std::all_of(v.begin(), v.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || digit(c) || std::strchr(" )(*+-.,", c);
           });
}

} // namespace

Mqx350Behaviour::Mqx350Behaviour(Unit& unit) : lBand_(unit.modelCode() == 351) {
    const int model = lBand_ ? lband : base;
    std::string config = std::string("001") + (lBand_ ? "1400.0000" : "0070.0000") + "114" +
                         "0064.000" + "01" + "10.0" + "001" + "000" + "7.0" + "000" + "0" +
                         "00000" + (lBand_ ? "1100.0000" : "0070.0000") + "114" + "0064.000" +
                         "010" + "030" + "04.0" + "0" + "00000000" + "00" + "0000" + "0" +
                         "000000000000" + "0100";
    std::string odu;
    if (lBand_) // BUC at address 1 with FSK, DC power and reference on; LNB fed 18 V.
        odu = std::string("01") + "1110" + "0000" + "1000" + "3000" + "13050+" + "000000" + "21" +
              "050" + "500" + "10750-";
    unit.resetConfig(std::move(config), std::move(odu));
    for (const auto& r : readingDefaults)
        if (r.models & model)
            unit.setReading(r.mnemonic, r.value);
    unit.setReading("SNO", std::to_string(unit.modelCode()) + unit.address().substr(0, 4) + "1");
}

// A status reading as the unit reports it now; empty when it has none.
std::string Mqx350Behaviour::query(const Unit& unit, const std::string& m) const {
    const std::string value = unit.reading(m);
    if (value.empty())
        return {};
    const std::string& faults = unit.faults();
    const bool unlocked = faults.size() >= 3 && faults[2] == '1';
    if (unlocked) {
        static const std::map<std::string, std::string> lost = {
            {"EBN", "99.9"}, {"RFO", "+999.9"}, {"BER", "99999"}, {"BFS", "00"}};
        if (auto l = lost.find(m); l != lost.end())
            return l->second;
    }
    if (at(unit.config(), 33) == '0') { // AUPC off: nothing to report from the far end
        if (m == "REB")
            return "xx.x";
        if (m == "PLI")
            return "x.x";
    }
    if (lBand_) {
        const std::string& odu = unit.oduConfig();
        const bool bucPower = at(odu, 4) != '0';
        const char lnbPower = at(odu, 31);
        if (m == "BDC" && !bucPower)
            return "0000";
        if (m == "BDV" && !bucPower)
            return "00.0";
        if (m == "LDC" && lnbPower == '0')
            return "000";
        if (m == "LDV")
            return lnbPower == '1'   ? "13.0"
                   : lnbPower == '2' ? "18.0"
                   : lnbPower == '3' ? "24.0"
                                     : "00.0";
    }
    return value;
}

std::optional<std::string> Mqx350Behaviour::payload(Unit& unit, const std::string& m, bool query,
                                                    const std::string& value, int64_t nowMs) {
    const int model = lBand_ ? lband : base;
    const std::string& identity = unit.identity();

    if (query) {
        if (m == "MGC" && value.empty())
            return std::nullopt; // as every modem reads it, clearing the change mark
        if (m == "MGC" || (m == "OGC" && lBand_)) {
            if (value.empty())
                return "=" + unit.oduConfig();
            if (value.size() == 1 && digit(value[0])) {
                // a stored configuration, "*" when that memory is empty
                const int slot = value[0] - '0';
                const std::string& stored = m == "MGC" ? memory(slot) : oduMemory(slot);
                return stored.empty() ? "*" : "=" + stored;
            }
            return "?";
        }
        if (m == "TXO")
            return std::nullopt; // the carrier's state, which may differ from its setting
        // A setting reads back from where it is kept; the rest are readings.
        std::string v = this->query(unit, m);
        if (const Field* f = findField(m, model); f && f->store != Store::Reading) {
            const std::string& from = f->store == Store::Mgc ? unit.config() : unit.oduConfig();
            const size_t pos = static_cast<size_t>(f->pos - 1);
            v = pos < from.size() ? from.substr(pos, static_cast<size_t>(f->len)) : "";
        }
        if (v.empty())
            return std::nullopt;
        return value.empty() ? "=" + v : "?";
    }

    // Settings from here on; every one is refused while the unit is in local mode.
    if (m == "CST" || m == "CLD") {
        if (!unit.acceptsSettings())
            return "*";
        if (value.size() != 1 || !digit(value[0]))
            return "?";
        const size_t slot = static_cast<size_t>(value[0] - '0');
        if (m == "CST") {
            memories_[slot] = unit.config();
            oduMemories_[slot] = unit.oduConfig();
            return "=";
        }
        if (memories_[slot].empty())
            return "?"; // nothing stored there
        const std::string& config = memories_[slot];
        unit.setConfig(
            config, lBand_ && !oduMemories_[slot].empty() ? oduMemories_[slot] : unit.oduConfig(),
            nowMs);
        unit.setTxCarrier(at(config, 32));
        unit.setStatisticsInterval((at(config, 107) - '0') * 10, nowMs);
        return "=";
    }
    if (m == "CID") {
        if (!unit.acceptsSettings())
            return "*";
        if (!circuitText(value))
            return "?";      // capitals, digits, blanks and )(*+-., only
        return std::nullopt; // stored as every modem stores it
    }

    const Field* f = findField(m, model);
    if (!f)
        return std::nullopt;
    if (!unit.acceptsSettings())
        return "*";
    if (!wellFormed(*f, value, lBand_))
        return "?";

    // The unit's rules about the other settings: "?" for what it can never take, "*"
    // for what it does not take in its present configuration.
    const std::string& config = unit.config();
    const int index = f->form == Form::Index || f->form == Form::Hex ? hexValue(value[0]) : -1;
    const bool tx = m[0] == 'T';
    if ((m == "TFQ" || m == "RFQ") && !lBand_) {
        const long long n = readFixed(value, f->len, f->frac);
        if (n > scaled(90, 4) && n < scaled(100, 4))
            return "?"; // between the two IF bands
    }
    if (m == "TDR" || m == "RDR") {
        if (readFixed(value, f->len, f->frac) > scaled(maxDataRate(at(identity, 6)), 3))
            return "?";
        const char itf = at(config, 1);
        if (itf >= '3' && itf <= '8')
            return "*"; // a G.703 interface fixes the rate
    }
    if (m == "TFT" || m == "RFT") {
        const char turbo = at(identity, 1);
        if (index == 3 || index == 4 || (index == 6 && turbo < '1') ||
            (index == 7 && turbo != '2') || ((index == 2 || index == 5) && at(identity, 5) != '1'))
            return "?"; // reserved, or the card is not installed
    }
    if (m == "TMD" || m == "RMD") {
        const char option = at(identity, 7);
        if ((index == 4 && option != '2' && option != '3') ||
            (index == 5 && option != '1' && option != '3'))
            return "?";
    }
    if ((m == "TSC" || m == "RDS") && index == 2 && at(config, tx ? 13 : 57) != '6')
        return "*"; // IESS-315 scrambling goes with TPC only
    if (m == "AUP" && index == 1 && at(config, 3) == '0')
        return "*"; // AUPC needs the OBLIX channel
    if (m == "CEX" && at(identity, 10) != '1')
        return "?";

    const std::string stored = f->form == Form::Address ? normalAddress(value) : value;
    if (f->store == Store::Reading) {
        if (unit.reading(m) != stored) {
            unit.setReading(m, stored);
            unit.noteConfigChange(nowMs);
        }
        return "=";
    }
    const bool mgc = f->store == Store::Mgc;
    std::string target = mgc ? config : unit.oduConfig();
    put(target, f->pos, stored);
    // Settings that carry others with them.
    if (m == "TFT" || m == "RFT") {
        const int fec = tx ? 13 : 57, scrambler = tx ? 25 : 69;
        if (index == 5) { // TCM: 8-PSK rate 2/3
            put(target, fec + 1, "3");
            put(target, fec + 2, "3");
        } else if (index == 0) {
            put(target, fec + 2, "7"); // uncoded
        }
        if (index != 6 && at(target, scrambler) == '2')
            put(target, scrambler, "1");
    } else if (m == "ITF" && index >= 3 && index <= 8) {
        const std::string rate = index <= 4 ? "1544.000" : "2048.000";
        put(target, 16, rate);
        put(target, 60, rate);
    } else if (m == "FRM" && index == 0) {
        put(target, 33, "0");
    } else if (m == "TXO") {
        unit.setTxCarrier(value[0]);
    } else if (m == "SSI") {
        unit.setStatisticsInterval(index * 10, nowMs);
    }
    if (target != (mgc ? config : unit.oduConfig())) {
        if (mgc)
            unit.setConfig(target, nowMs);
        else
            unit.setOduConfig(target, nowMs);
    }
    return "=";
}

} // namespace linvar::sim
