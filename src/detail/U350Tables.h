#pragma once
// The MQX-350 entry lists that the window's irregular rules rebuild at run time.

#include "detail/ModemCommon.h"

namespace linvar::u350 {

extern const Entries kOblix;
extern const char* const kOblixSlave;
extern const char* const kIess;

} // namespace linvar::u350
