#include "ui/Colour.h"

#include <cstdio>

namespace linvar {

std::string colourName(Colour c) {
    static const struct {
        Colour colour;
        const char* name;
    } names[] = {
        {Colours::black, "black"},     {Colours::green, "green"},   {Colours::lime, "lime"},
        {Colours::yellow, "yellow"},   {Colours::red, "red"},       {Colours::blue, "blue"},
        {Colours::fuchsia, "fuchsia"}, {Colours::purple, "purple"}, {Colours::gray, "gray"},
        {Colours::silver, "silver"},   {Colours::aqua, "aqua"},     {Colours::white, "white"}};
    for (const auto& n : names)
        if (n.colour == c)
            return n.name;
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06X", c.rgb & 0xFFFFFFu);
    return buf;
}

} // namespace linvar
