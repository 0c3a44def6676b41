#include "wire/StatusColours.h"

namespace linvar {

namespace {

struct StatusMap {
    Colour zero, one, two, x, other;

    Colour of(char c) const {
        switch (c) {
        case '0':
            return zero;
        case '1':
            return one;
        case '2':
            return two;
        case 'X':
            return x;
        default:
            return other;
        }
    }
    Colour of(const std::string& s) const { return s.size() == 1 ? of(s[0]) : other; }
};

using namespace Colours;
constexpr StatusMap kState{green, lime, yellow, gray, fuchsia};
constexpr StatusMap kAlarm{lime, red, gray, gray, fuchsia};
constexpr StatusMap kOnOff{yellow, lime, fuchsia, gray, fuchsia};

} // namespace

Colour StateColour(char status) {
    return kState.of(status);
}
Colour AlarmColour(char status) {
    return kAlarm.of(status);
}
Colour OnOffColour(char status) {
    return kOnOff.of(status);
}
Colour StateColour(const std::string& status) {
    return kState.of(status);
}
Colour AlarmColour(const std::string& status) {
    return kAlarm.of(status);
}
Colour OnOffColour(const std::string& status) {
    return kOnOff.of(status);
}

Colour SelectColour(const std::string& text) {
    return text.empty() ? Colours::silver : Colours::aqua;
}

} // namespace linvar
