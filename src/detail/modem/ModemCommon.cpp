#include "detail/modem/ModemCommon.h"

#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

#include <cmath>
#include <cstdio>

namespace linvar {

namespace {

std::optional<double> NumberIn(const std::string& text);

} // namespace

namespace ModemEntries {
const Entries kOffOn{" Off", " On"};
const Entries kDisabledEnabled{" Disabled", " Enabled"};
const Entries kNormalInverted{" Normal", " Inverted"};
const Entries kNoYes{" No", " Yes"};
const Entries kCarrier{" Off", " On", " RTI"};
const Entries kAtMaximum{" No action", " Generate TX alarm"};
const Entries kAtUnlock{" Go to Nominal Power", " Go to Maximum Power"};
const Entries kIncrease{" 0 dB", " 1 dB", " 2 dB", " 3 dB", " 4 dB",
                        " 5 dB", " 6 dB", " 7 dB", " 8 dB", " 9 dB"};
const Entries kStatsLog{" Disabled",   " 10 minutes", " 20 minutes", " 30 minutes", " 40 minutes",
                        " 50 minutes", " 60 minutes", " 70 minutes", " 80 minutes", " 90 minutes"};
const Entries kReferences{" Internal", " Ext 1MHz",  " Ext 2MHz",
                          " Ext 5MHz", " Ext 10MHz", " Ext 20MHz"};
const Entries kBucAddresses{"1", "2",  "3",  "4",  "5",  "6",  "7", "8",
                            "9", "10", "11", "12", "13", "14", "15"};
const Entries kBucCodes{"01", "02", "03", "04", "05", "06", "07", "08",
                        "09", "10", "11", "12", "13", "14", "15"};
const Entries kMix{"+", "-"};
const Entries kOblix{" OBLIX idle", " OBLIX Master"};
const char* const kOblixSlave = " OBLIX slave";
} // namespace ModemEntries

std::string LimitText(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    std::string s = b;
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0)
        s.resize(s.size() - 2);
    return s;
}

Reading BucTemperatureReading(const std::string& value) {
    std::string t = Chars(value, 1, 4);
    if (t.size() > 1 && t[1] == '0')
        t[1] = ' ';
    return {t + " \xB0"
                "C"};
}

Reading PllReading(const std::string& value) {
    const bool locked = Chars(value, 1, 1) == "0";
    return {locked ? "Locked" : "Unlocked", locked ? Colours::white : Colours::yellow};
}

std::string DropLeadingZero(const std::string& text) {
    return !text.empty() && text[0] == '0' ? text.substr(1) : text;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += (out.empty() ? "" : "\n") + l;
    return out;
}

std::string EntryOf(const Entries& entries, char digit) {
    const int i = HexDigitValue(std::string(1, digit));
    return i >= 0 && i < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(i)]
                                                          : std::string();
}

namespace {

std::optional<double> NumberIn(const std::string& text) {
    const ParsedReal r = ParseReal(text);
    return r.ok ? std::optional<double>(r.value) : std::nullopt;
}

} // namespace

Reading EbNoReading(const std::string& value) {
    const std::string v = Chars(value, 1, 4);
    if (v == "99.9")
        return {"Unlocked"};
    if (v == "+016")
        return {"> 16 dB", Colours::white, 16.0};
    return {DropLeadingZero(v) + " dB", Colours::white, NumberIn(v)};
}

Reading FreqOffsetReading(const std::string& value) {
    const std::string v = Chars(value, 1, 6);
    if (v == "+999.9")
        return {"Unlocked"};
    return {v + " kHz", Colours::white, NumberIn(v)};
}

Reading BerReading(const std::string& value) {
    if (Chars(value, 1, 5) == "99999")
        return {"Unlocked"};
    const std::optional<double> mantissa = NumberIn(Chars(value, 1, 3));
    const std::optional<double> exponent = NumberIn(Chars(value, 5, 1));
    std::optional<double> ber;
    if (mantissa && exponent)
        ber = *mantissa * std::pow(10.0, -*exponent);
    return {Chars(value, 1, 3) + " E-" + Chars(value, 5, 1), Colours::white, ber};
}

Reading BufferFillReading(const std::string& value) {
    const std::string v = Chars(value, 1, 2);
    return {v == "00" ? "Unlocked" : DropLeadingZero(v) + " %"};
}

Reading RslReading(const std::string& value) {
    const std::string head = Chars(value, 1, 2);
    const std::string level = Chars(value, 3, 13);
    // Beyond the measured range the limit is the value: a chart shows it flat there.
    std::optional<double> dbm = NumberIn(level);
    if (dbm)
        dbm = -*dbm;
    if (head == "GT")
        return {"> -" + level + " dBm", Colours::white, dbm};
    if (head == "LT")
        return {"< -" + level + " dBm", Colours::white, dbm};
    if (head == "==")
        return {"-" + level + " dBm", Colours::white, dbm};
    return {Chars(value, 1, 13)};
}

Reading TemperatureReading(const std::string& value) {
    const std::string t = Chars(value, 1, 3);
    return {t + " \xB0"
                "C",
            Colours::white, NumberIn(t)};
}

Reading TxCarrierReading(const std::string& value) {
    const std::string c = Chars(value, 1, 1);
    if (c == "0")
        return {"Off", Colours::yellow};
    if (c == "1")
        return {"On", Colours::lime};
    if (c == "2")
        return {"Under RTI control", Colours::yellow};
    if (c == "3")
        return {"Off by External Control", Colours::red};
    if (c == "4")
        return {"Off during Warm-Up", Colours::yellow};
    return {"Other: " + c, Colours::red};
}

Reading RemoteEbNoReading(const std::string& value) {
    const std::string t = Chars(value, 1, 4);
    return {t == "99.9"   ? "Unlocked"
            : t == "xx.x" ? "Not available"
            : t == "16.0" ? "> 16 dB"
                          : DropLeadingZero(t) + " dB"};
}

Reading PowerIncreaseReading(const std::string& value) {
    const std::string t = Chars(value, 1, 3);
    return {t == "x.x" ? "Not available" : t + " dB"};
}

std::string AupcTargetCode(double db) {
    const long tenths = std::lround(db * 10);
    const long whole = tenths / 10;
    return std::string(1, HexDigitChar(static_cast<int>(whole))) + "." +
           std::to_string(tenths % 10);
}

std::string AupcTargetText(const std::string& code) {
    if (code.size() != 3)
        return {};
    const int whole = HexDigitValue(code.substr(0, 1));
    return whole < 10 ? " " + code.substr(0, 1) + "." + code.substr(2, 1)
                      : "1" + std::to_string(whole - 10) + "." + code.substr(2, 1);
}

FaultText DecodeFault(const FaultTable& t, char code) {
    const std::string codes = t.codes;
    const size_t i = code == ' ' ? std::string::npos : codes.find(code);
    if (i == std::string::npos || i >= t.texts.size() || !*t.texts[i])
        return {t.invalid + std::string(1, code), sevFault};
    return {t.texts[i], code == '0' ? sevNoFault : sevFault};
}

Entries PreviewTestModes(const Entries& modes) {
    Entries e{"Normal Operation"};
    for (size_t i = 1; i < modes.size(); ++i)
        e.push_back("Test: " + modes[i]);
    return e;
}

PreviewMemo AupcPreview(const Entries& modes, int mode, int atMaximum, int atUnlock, int target,
                        int increase) {
    using Preview::Entry;
    // The target's three characters as a number of dB ("C.5" is 12.5).
    const auto db = [](const std::string& code) {
        if (code.size() != 3)
            return std::string("?");
        return std::to_string(HexDigitValue(code.substr(0, 1))) + "." + code.substr(2, 1);
    };
    return {"MemAupc",
            {{Entry(modes, mode)},
             {"Target EbNo: ", Preview::Custom(target, 3, db), " dB"},
             {"Max increase: ", Entry(ModemEntries::kIncrease, increase)},
             {Entry(ModemEntries::kAtMaximum, atMaximum), " on Pmax"},
             {Entry(ModemEntries::kAtUnlock, atUnlock), " w/Unlock"}}};
}

FamilyDescription ModemFamily() {
    FamilyDescription f;
    f.logs = {{.name = "Events",
               .stored = "Event",
               .countQuery = "NUE",
               .readQuery = "RNE",
               .clearCommand = "CAE",
               .button = "BtnReadEvents",
               .caption = "Read &Events Log",
               .countLabel = "LogEventsCount",
               .recordWidth = 15,
               .decode = EventEntryText},
              {.name = "Statistics",
               .stored = "Statistics",
               .countQuery = "NUS",
               .readQuery = "RNS",
               .clearCommand = "CAS",
               .button = "BtnReadStats",
               .caption = "Read Sta&tistics Log",
               .countLabel = "LogStatsCount",
               .recordWidth = 26,
               .decode = StatisticsEntryText}};
    return f;
}

} // namespace linvar
