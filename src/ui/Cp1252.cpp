#include "ui/Cp1252.h"

#include <cstdint>
#include <optional>

namespace linvar {

namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePoint(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b;
}

void PutUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char ByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char b : text)
        PutUtf8(out, CodePoint(static_cast<unsigned char>(b)));
    return out;
}

namespace {

// The character that starts at `i`, and how many bytes it takes; nothing for a byte that
// does not start a well-formed character (it takes one byte).
std::optional<char32_t> NextUtf8(std::string_view text, size_t i, size_t& length) {
    const auto b = static_cast<unsigned char>(text[i]);
    length = 1;
    if (b < 0x80)
        return b;
    const size_t more = (b & 0xE0) == 0xC0   ? 1
                        : (b & 0xF0) == 0xE0 ? 2
                        : (b & 0xF8) == 0xF0 ? 3
                                             : 0;
    if (more == 0 || text.size() - i <= more)
        return std::nullopt;
    char32_t c = b & (0x3F >> more);
    for (size_t k = 1; k <= more; ++k) {
        const auto n = static_cast<unsigned char>(text[i + k]);
        if ((n & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (n & 0x3F);
    }
    length = more + 1;
    return c;
}

} // namespace

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t length = 1;
    for (size_t i = 0; i < text.size(); i += length) {
        const std::optional<char32_t> c = NextUtf8(text, i, length);
        out += c ? ByteOf(*c) : '?';
    }
    return out;
}

bool IsUtf8(std::string_view text) {
    size_t length = 1;
    for (size_t i = 0; i < text.size(); i += length)
        if (!NextUtf8(text, i, length))
            return false;
    return true;
}

} // namespace linvar
