#include "detail/ModemCommon.h"

#include "protocol/FaultTables.h"
#include "protocol/TextFormats.h"

#include <cmath>

namespace linvar {

namespace ModemEntries {
const Entries kOffOn{" Off", " On"};
const Entries kDisabledEnabled{" Disabled", " Enabled"};
const Entries kNormalInverted{" Normal", " Inverted"};
const Entries kNoYes{" No", " Yes"};
} // namespace ModemEntries

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

Reading EbNoReading(const std::string& value) {
    const std::string v = Chars(value, 1, 4);
    return {v == "99.9" ? "Unlocked" : v == "+016" ? "> 16 dB" : DropLeadingZero(v) + " dB"};
}

Reading FreqOffsetReading(const std::string& value) {
    const std::string v = Chars(value, 1, 6);
    return {v == "+999.9" ? "Unlocked" : v + " kHz"};
}

Reading BerReading(const std::string& value) {
    return {Chars(value, 1, 5) == "99999" ? "Unlocked"
                                          : Chars(value, 1, 3) + " E-" + Chars(value, 5, 1)};
}

Reading BufferFillReading(const std::string& value) {
    const std::string v = Chars(value, 1, 2);
    return {v == "00" ? "Unlocked" : DropLeadingZero(v) + " %"};
}

Reading RslReading(const std::string& value) {
    const std::string head = Chars(value, 1, 2);
    const std::string level = Chars(value, 3, 13);
    if (head == "GT")
        return {"> -" + level + " dBm"};
    if (head == "LT")
        return {"< -" + level + " dBm"};
    if (head == "==")
        return {"-" + level + " dBm"};
    return {Chars(value, 1, 13)};
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

FamilySpec ModemFamily() {
    FamilySpec f;
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
