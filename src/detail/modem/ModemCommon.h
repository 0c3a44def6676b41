#pragma once
// What the modem windows share: the status readings every modem family decodes the same
// way, the AUPC target's three characters, one-character fault tables, the entry lists
// that recur in every family, and the modem family description.

#include "detail/framework/Family.h"
#include "ui/Colour.h"
#include "wire/FaultTables.h"

#include <optional>
#include <string>
#include <vector>

namespace linvar {

using Entries = std::vector<std::string>;

namespace ModemEntries {
extern const Entries kOffOn;                           // " Off", " On"
extern const Entries kDisabledEnabled;                 // " Disabled", " Enabled"
extern const Entries kNormalInverted;                  // " Normal", " Inverted"
extern const Entries kNoYes;                           // " No", " Yes"
extern const Entries kCarrier;                         // " Off", " On", " RTI"
extern const Entries kAtMaximum, kAtUnlock, kIncrease; // the AUPC parameters
extern const Entries kStatsLog;       // " Disabled", " 10 minutes" ... " 90 minutes"
extern const Entries kReferences;     // " Internal", " Ext 1MHz" ... " Ext 20MHz"
extern const Entries kBucAddresses;   // "1" to "15"
extern const Entries kBucCodes;       // "01" to "15"
extern const Entries kMix;            // "+", "-"
extern const Entries kOblix;          // " OBLIX idle", " OBLIX Master"
extern const char* const kOblixSlave; // shown, never chosen
} // namespace ModemEntries

// The configuration read steps the MQX-350 and MQX-370 share: "CID?" first, "ESA?" after an
// OBLIX mode change.
namespace ModemReads {
inline constexpr int CircuitId = 1;
inline constexpr int SlaveAddress = 105;
} // namespace ModemReads

// The texts the modem families share.
namespace ModemTexts {
inline constexpr const char* kBadFrequency = "ERROR: Bad frequency value. Please correct it";
inline constexpr const char* kBadRate = "ERROR: Bad data rate value. Please correct it";
inline constexpr const char* kBadCurrent = "ERROR: Bad current value. Please correct it";
inline constexpr const char* kBadLo = "ERROR: Bad LO frequency value. Please correct it";
inline constexpr const char* kLoPrompt =
    "Enter LO frequency, integer between 3000 and 65000 MHz, or 0";
} // namespace ModemTexts

// A limit as prompts name it: "2048", "4.8", "-20".
std::string LimitText(double v);

// A reading as the status panel shows it, and as a number for the readings history (none
// when the unit gives none: unlocked, not available).
struct Reading {
    std::string text;
    Colour colour = Colours::white;
    std::optional<double> value = std::nullopt;
};

// The value characters of an "=" reply (the reply from its second character).
Reading EbNoReading(const std::string& value);        // "EBN"
Reading FreqOffsetReading(const std::string& value);  // "RFO"
Reading BerReading(const std::string& value);         // "BER"
Reading BufferFillReading(const std::string& value);  // "BFS"
Reading RslReading(const std::string& value);         // "RSL"
Reading TxCarrierReading(const std::string& value);   // "TXO", codes 0-4
Reading TemperatureReading(const std::string& value); // "TMP", "+35"
// A BUC's temperature (a "0" in its second character becomes a blank) and its PLL.
Reading BucTemperatureReading(const std::string& value);
Reading PllReading(const std::string& value);           // "0" locked
Reading RemoteEbNoReading(const std::string& value);    // "REB"
Reading PowerIncreaseReading(const std::string& value); // "PLI"

// The AUPC target Eb/No: d.f below 10 dB, one hex digit for 10-14 dB ("C.5" is 12.5 dB).
std::string AupcTargetCode(double db);
// The box text of those three characters (" 5.5", "12.5"); empty when not three.
std::string AupcTargetText(const std::string& code);

// One fault character: its text and severity (1 for "0", else 3).
struct FaultTable {
    const char* codes;
    std::vector<const char*> texts; // "" marks a code without text
    const char* invalid;            // + the character, for a code not listed
};
FaultText DecodeFault(const FaultTable& table, char code);

// The entry of a list for a hex-digit code; empty when there is none.
std::string EntryOf(const Entries& entries, char digit);
std::string JoinLines(const std::vector<std::string>& lines);
std::string DropLeadingZero(const std::string& text);

// The test modes as a memory preview says them: "Normal Operation", else "Test: " and
// the mode.
Entries PreviewTestModes(const Entries& modes);

// The memory preview of the AUPC parameters, from where the configuration string keeps
// them; `modes` names the AUPC box's entries as the preview says them.
PreviewMemo AupcPreview(const Entries& modes, int mode, int atMaximum, int atUnlock, int target,
                        int increase);

// The modems' family description: the two logs (events and statistics), day-first
// dates, "MGC?" memories with the 50/75-tick wait after a load, a 30-tick pause after a
// rejection. A family changes what its Part gives otherwise.
FamilyDescription ModemFamily();

} // namespace linvar
