#pragma once
// The MQX-350 entry lists that more than its box table reads: the memory previews and the
// lists the window rebuilds from the configuration.

#include "detail/modem/ModemCommon.h"

namespace linvar::u350 {

extern const Entries kInterfaces, kBuildOut, kFraming, kFecTypes, kModulations, kCodings,
    kClockSources, kClockExtModes, kClockExtInterfaces, kBuffers, kTestModes, kRts, kLnbPower;
extern const char* const kIess;

} // namespace linvar::u350
