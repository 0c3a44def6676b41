#pragma once
// Status characters of the equipment's replies as the colours of the lamps and labels.

#include "ui/Colour.h"

#include <string>

namespace linvar {

// One status character: "0", "1", "2", "X" or anything else.
Colour StateColour(char status); // green, lime, yellow, gray, fuchsia
Colour AlarmColour(char status); // lime, red, gray, gray, fuchsia
Colour OnOffColour(char status); // yellow, lime, fuchsia, gray, fuchsia
// The same for a text that should hold exactly one status character; any other text
// (empty, longer) takes the colour of an unknown status.
Colour StateColour(const std::string& status);
Colour AlarmColour(const std::string& status);
Colour OnOffColour(const std::string& status);

// Aqua for a selected (non-empty) entry, silver for an empty one.
Colour SelectColour(const std::string& text);

} // namespace linvar
