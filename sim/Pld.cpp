#include "Pld.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace linvar::sim {

namespace {

std::string digits(long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*ld", width, v);
    return buf;
}

// A whole number written with one fraction digit of 0 ("14249.0", "05.0").
bool wholeTenth(const std::string& v, int width, int& out) {
    if (static_cast<int>(v.size()) != width || v.compare(v.size() - 2, 2, ".0") != 0)
        return false;
    const std::string whole = v.substr(0, v.size() - 2);
    if (whole.empty() || whole.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::atoi(whole.c_str());
    return true;
}

bool oneOf(const std::string& v, const char* codes) {
    return v.size() == 1 && std::string(codes).find(v[0]) != std::string::npos;
}

// Band letter: its down-converter limits.
int bandLow(char b) {
    return b == 'A' ? 10950 : b == 'B' ? 11700 : 12250;
}
int bandHigh(char b) {
    return b == 'A' ? 11700 : b == 'B' ? 12200 : 12750;
}

} // namespace

PldBehaviour::PldBehaviour(Unit& unit) : lnb_(unit.modelCode() == 1) {
    // HPA type, then the model text: its ninth character "B" marks the LNB variant.
    std::string identity = std::string("1") + (lnb_ ? "PLD-KU25B 25W LNB" : "PLD-KU25A 25W SSPA");
    identity.resize(21, ' ');
    unit.setIdentity(identity);
    up_ = {true, 14250, 10, 14000, 500};
    down_ = {true, lnb_ ? 11900 : 11450, 5, 10950, 1800};
}

void PldBehaviour::setAlarms(const std::string& reply, const std::string& chars) {
    if (std::string* a = alarms(reply))
        *a = chars;
}

std::string* PldBehaviour::alarms(const std::string& m) {
    return m == "CFS"   ? &cfs_
           : m == "CES" ? &ces_
           : m == "CRS" ? &crs_
           : m == "CAS" ? &cas_
           : m == "CUS" ? &cus_
           : m == "CDS" ? &cds_
           : m == "CHS" ? &chs_
                        : nullptr;
}

bool PldBehaviour::inBand(int mhz) const {
    if (lnb_)
        return mhz >= bandLow(band_) && mhz <= bandHigh(band_);
    return mhz >= down_.lowMhz && mhz <= down_.lowMhz + down_.spanMhz;
}

// Converter settings: "X" at 2 and 18 marks a missing converter.
std::string PldBehaviour::rcs() const {
    std::string s(67, ' ');
    s.replace(0, 5, up_.present ? "UU:F=" : "UX:F=");
    s.replace(5, 7, up_.present ? digits(up_.mhz, 5) + ".0" : "XXXXXXX");
    s.replace(12, 5, " D:F=");
    s.replace(17, 7, down_.present ? digits(down_.mhz, 5) + ".0" : "XXXXXXX");
    s.replace(24, 5, " RF:=");
    s[29] = up_.present ? rf_ : 'X';
    s.replace(30, 5, " UA:=");
    s.replace(35, 4, up_.present ? digits(up_.db, 2) + ".0" : "XXXX");
    s.replace(39, 5, " DA:=");
    s.replace(44, 4, down_.present ? digits(down_.db, 2) + ".0" : "XXXX");
    s.replace(54, 5, " AG:=");
    s[59] = agc_;
    s.replace(60, 5, " HP:=");
    s[65] = up_.present ? hpa_ : 'X';
    s[66] = up_.present ? hpaFault_ : 'X';
    return s;
}

std::string PldBehaviour::limits(const Converter& c) const {
    std::string s = digits(c.lowMhz, 5) + "," + digits(c.spanMhz, 4) + ",";
    s.resize(38, '0');
    return s + "20";
}

std::optional<std::string> PldBehaviour::payload(Unit& unit, const std::string& m, bool query,
                                                 const std::string& v, int64_t) {
    static const char* const own[] = {"ANM", "SNM", "FRW", "REF", "CLS", "RCS", "CFS", "CES",
                                      "CRS", "CAS", "CUS", "CDS", "CHS", "SRB", "FAC", "UIF",
                                      "DIF", "UAT", "LOK", "UFQ", "DFQ", "DAT", "UMU", "AGC",
                                      "AMP", "KFE", "LCS", "LFL", "CAL"};
    if (std::none_of(std::begin(own), std::end(own), [&](const char* s) { return m == s; }))
        return std::nullopt;
    if (query) {
        if (!v.empty())
            return "?";
        if (m == "ANM")
            return "=6012345701234503456781234567";
        if (m == "SNM")
            return "=PLD000123PLD000456PLD000789PLD001011";
        if (m == "FRW")
            return "=6100123010203"
                   "7100456020100"
                   "0510078010500"
                   "8100999010000";
        if (m == "REF")
            return "=" + digits(ref_, 3);
        if (m == "CLS")
            return std::string("=") + lnaPower_ + lnaFault_;
        if (m == "RCS")
            return "=" + rcs();
        if (std::string* a = alarms(m))
            return "=" + *a;
        if (m == "SRB")
            return lnb_ ? std::string("=") + band_ : "*";
        if (m == "UIF")
            return factoryOn_ ? "=" + limits(up_) : "*";
        if (m == "DIF")
            return factoryOn_ ? "=" + limits(down_) : "*";
        if (m == "UAT")
            return up_.present ? "=" + digits(up_.db, 2) + ".0" : "*";
        if (m == "LOK")
            return std::string("=") + lock_;
        return "?"; // settings only
    }
    if (m == "FAC") {
        if (v == "E " || v == "E") {
            factoryOn_ = factoryAllowed_;
            return factoryAllowed_ ? "=" : "*";
        }
        if (v == "D " || v == "D") {
            factoryOn_ = false;
            return "=";
        }
        return "?";
    }
    if (!unit.acceptsSettings() || (lock_ == '1' && m != "LOK"))
        return "*";
    int n = 0;
    if (m == "UFQ" || m == "DFQ") {
        Converter& c = m == "UFQ" ? up_ : down_;
        if (!c.present)
            return "*";
        if (!wholeTenth(v, 7, n))
            return "?";
        if (m == "UFQ" ? n < c.lowMhz || n > c.lowMhz + c.spanMhz : !inBand(n))
            return "?";
        c.mhz = n;
        if (m == "DFQ")
            return "=";
        rf_ = '0'; // a new up frequency switches the RF off
        return "=RF_OFF";
    }
    if (m == "UAT" || m == "DAT") {
        Converter& c = m == "UAT" ? up_ : down_;
        if (!c.present)
            return "*";
        if (!wholeTenth(v, 4, n) || n > 20)
            return "?";
        c.db = n;
        return "=";
    }
    if (m == "REF") {
        if (v.size() != 3 || v.find_first_not_of("0123456789") != std::string::npos ||
            std::atoi(v.c_str()) > 255)
            return "?";
        ref_ = std::atoi(v.c_str());
        return "=";
    }
    if (m == "SRB") {
        if (!lnb_)
            return "*";
        if (!oneOf(v, "ABC"))
            return "?";
        band_ = v[0];
        down_.mhz = std::clamp(down_.mhz, bandLow(band_), bandHigh(band_));
        return "=";
    }
    if (m == "CAL") {
        if (!v.empty())
            return "?";
        if (lnaPower_ != '1' || !down_.present)
            return "*";
        ++calibrations_;
        return "=";
    }
    const bool three = m == "UMU" || m == "AGC";
    if (!oneOf(v, three ? "012" : "01"))
        return "?";
    char& target = m == "UMU"   ? rf_
                   : m == "AGC" ? agc_
                   : m == "AMP" ? hpa_
                   : m == "KFE" ? hpaFault_
                   : m == "LCS" ? lnaPower_
                   : m == "LFL" ? lnaFault_
                                : lock_;
    target = v[0];
    return "=";
}

} // namespace linvar::sim
