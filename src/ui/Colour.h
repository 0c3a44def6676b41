#pragma once
// The station's palette: named 24-bit RGB colours shared by the model, the screens and
// the decoders.

#include <cstdint>
#include <string>

namespace linvar {

struct Colour {
    uint32_t rgb = 0; // 0xRRGGBB
    friend bool operator==(Colour, Colour) = default;
};

namespace Colours {
inline constexpr Colour black{0x000000};
inline constexpr Colour green{0x008000};
inline constexpr Colour lime{0x00FF00};
inline constexpr Colour yellow{0xFFFF00};
inline constexpr Colour red{0xFF0000};
inline constexpr Colour blue{0x0000FF};
inline constexpr Colour fuchsia{0xFF00FF};
inline constexpr Colour purple{0x800080};
inline constexpr Colour gray{0x808080};
inline constexpr Colour silver{0xC0C0C0};
inline constexpr Colour aqua{0x00FFFF};
inline constexpr Colour white{0xFFFFFF};
} // namespace Colours

// The palette name of a colour ("lime"), or "#RRGGBB" for one outside the palette;
// tests and scripts read colours by these names.
std::string colourName(Colour c);

} // namespace linvar
