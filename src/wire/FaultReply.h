#pragma once
// The "FLT" value of each unit family: one character a fault group from value position 1,
// and where the family puts its configuration-change mark. The summary, automatic logging,
// printing and the windows all read a fault reply through these shapes.

#include <cstdint>
#include <string>

namespace linvar {

struct FaultReplyShape {
    int groups = 0; // fault characters, from value position 1
    int markAt = 0; // value position of the configuration-change mark; 0: none
    // The model code whose texts read the groups when the unit itself is not identified.
    uint16_t textModel = 0;
};

namespace FaultShapes {
inline constexpr FaultReplyShape Mqx310{3, 4, 310};
inline constexpr FaultReplyShape Mqx330{3, 5, 330}; // a spare character before the mark
inline constexpr FaultReplyShape Mqx350{4, 6, 350}; // the fourth group is the ODU
inline constexpr FaultReplyShape Mqx370{4, 6, 370}; // the fourth group is the Open Network
inline constexpr FaultReplyShape Wide{10, 0, 330};  // the ten-group form
inline constexpr FaultReplyShape Switch{13, 0, 0};
} // namespace FaultShapes

// A fault reply read through its shape.
struct FaultReply {
    std::string codes; // one character a group (shorter when the reply is cut)
    bool changeMark = false;
    // Every group reads "0" (a cut reply is not clear).
    bool Clear(const FaultReplyShape& shape) const;
};

// An "=" result (its first character is not looked at) read through `shape`.
FaultReply ReadFaultReply(const std::string& result, const FaultReplyShape& shape);

// The shape of a modem's "=" result when only its length is known (the summary and
// automatic logging do not identify the unit): six value characters are the four-group
// form, four the MQX-310's, twelve the ten-group form, anything else the MQX-330's.
const FaultReplyShape& ModemShapeOfReply(const std::string& result);

} // namespace linvar
