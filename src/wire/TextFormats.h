#pragma once
// The shared text and number functions: every window reads and writes the equipment's
// numbers and the set-up's texts through these, never through copies of its own.
// None raises an error; bad input gives the documented fallback.

#include <string>
#include <string_view>

namespace linvar {

class Clock;

struct ParsedReal {
    double value = 0;
    bool ok = false;
};

struct ParsedInt {
    int value = 0;
    bool ok = false;
};

// Drops everything before the first "-" (keeping at most 33 characters from it), then
// removes every space.
std::string CleanNumber(const std::string& text);
// Every space becomes "0".
std::string BlanksToZeros(const std::string& text);
// CleanNumber, then a real number; 0 and not ok when it is not one.
ParsedReal ParseReal(const std::string& text);
// An empty text or a single space is "0"; CleanNumber; everything from the first "."
// dropped; an integer, 0 and not ok when it is not one.
ParsedInt ParseInt(const std::string& text);
// ParseInt without the empty/space rule.
ParsedInt ParseIntStrict(const std::string& text);
// Fixed notation with that many decimals, without leading blanks, after exactly one blank.
std::string RealText(double value, int width, int decimals);
// A valid real in fixed notation of that width and decimals with the blanks among its
// first four characters turned into "0"; an invalid text comes back unchanged.
std::string RealTextZeroPad(const std::string& text, int width, int decimals);
// The last four characters of "000" and the number: a zero-filled bus address.
std::string Addr4(int value);
// Characters start..start+length-1 (from 1) read as an integer and written back in
// decimal; "0" when they are not a number.
std::string SubInt(const std::string& text, int start, int length);
// One step of minute carry, then the day carry of the hours (+1, -1 or 0).
int NormaliseTime(int& hours, int& minutes);

// Strict readers behind the functions above: a whole text as a decimal integer
// (optional sign, digits) or real (sign, digits, point, exponent).
bool ReadIntText(const std::string& text, int& value);
bool ReadRealText(const std::string& text, double& value);

// --- Dates and times from the equipment ------------------------------------------

// "Jan" to "Dec" for 1-12; nothing for any other value.
std::string MonthAbbrev(int month);
// HHMMSS (the first six characters) in the operator's long-time format, the hour always
// two columns wide (a one-digit hour gets a blank in front). Empty unless all six are
// digits with HH 0-23 and MM, SS 0-59.
std::string TimeText(const std::string& hhmmss, const Clock& clock);
// DDMMYY as "DD Mon YYYY": the two day characters as they are, 19YY from 97 on, else
// 20YY. "date" when MM or YY is not a number; a month outside 1-12 has no name.
std::string DateTextDMY(const std::string& ddmmyy);
// MMDDYY as "DD Mon YYYY", same century rule; " unset date" when MM or YY is not a number.
std::string DateTextMDY(const std::string& mmddyy);

// --- Small readers of the configuration strings ------------------------------------

// "0"-"9" for 0-9, then "A" onwards.
char HexDigitChar(int value);
// 10-15 for a text starting "A"-"F", else IntOfText.
int HexDigitValue(const std::string& text);
// Leading blanks skipped, an optional sign, then the digits up to the first other
// character; 0 when there are none. Saturates instead of overflowing.
int IntOfText(const std::string& text);
// Characters start..start+length-1 (from 1) read as a real (0 when not one), written by
// RealText with that width and fraction digits.
std::string RealField(const std::string& text, int start, int length, int decimals, int width);

// ---- plain text helpers of every window and step machine ----
// Characters from..from+count-1 (from 1); shorter, or empty, where the text ends.
std::string Chars(const std::string& text, int from, int count);
bool StartsWith(const std::string& text, std::string_view prefix);
bool Contains(const std::string& text, std::string_view part);
// Without its leading blanks.
std::string LeftTrim(const std::string& text);
// The value with leading zeros to `width` digits (a sign, if any, comes first).
std::string ZeroFill(long value, int width);
// 0-99 as two digits (the last two digits of larger values).
std::string TwoDigits(int value);

} // namespace linvar
