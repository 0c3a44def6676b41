#pragma once
// What the modem windows share: the status readings every modem family decodes the same
// way, the AUPC target's three characters, one-character fault tables, the entry lists
// that recur in every family, and the modem family description.

#include "detail/Family.h"
#include "protocol/FaultTables.h"
#include "ui/Colour.h"

#include <string>
#include <vector>

namespace linvar {

using Entries = std::vector<std::string>;

namespace ModemEntries {
extern const Entries kOffOn;           // " Off", " On"
extern const Entries kDisabledEnabled; // " Disabled", " Enabled"
extern const Entries kNormalInverted;  // " Normal", " Inverted"
extern const Entries kNoYes;           // " No", " Yes"
} // namespace ModemEntries

// A reading as the status panel shows it.
struct Reading {
    std::string text;
    Colour colour = Colours::white;
};

// The value characters of an "=" reply (the reply from its second character).
Reading EbNoReading(const std::string& value);          // "EBN"
Reading FreqOffsetReading(const std::string& value);    // "RFO"
Reading BerReading(const std::string& value);           // "BER"
Reading BufferFillReading(const std::string& value);    // "BFS"
Reading RslReading(const std::string& value);           // "RSL"
Reading TxCarrierReading(const std::string& value);     // "TXO", codes 0-4
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

// The modems' family description: the two logs (events and statistics), day-first
// dates, "MGC?" memories with the 50/75-tick wait after a load, a 30-tick pause after a
// rejection. A family changes what its Part gives otherwise.
FamilySpec ModemFamily();

} // namespace linvar
