#pragma once
// The station's texts are 8-bit, in the Windows code page 1252, as its files hold them
// and as its screens carry them. What leaves the station for a Unicode world (the
// windows on screen, the alarm journal, the status export) is converted here, and what
// the operator types comes back the same way.

#include <string>
#include <string_view>

namespace linvar {

// Every byte is a character: the five bytes the code page leaves unassigned become the
// control characters of the same number, as Windows reads them. The result is always
// valid UTF-8.
std::string Cp1252ToUtf8(std::string_view text);
// The reverse: a character the code page has no byte for, or a byte that is not valid
// UTF-8, becomes "?".
std::string Utf8ToCp1252(std::string_view text);
// Whether the text is well-formed UTF-8 (plain ASCII is).
bool IsUtf8(std::string_view text);

} // namespace linvar
