#pragma once
// The PLD window's status tables, shared by its sources.

#include "detail/transceiver/TransceiverCommon.h"

#include <vector>

namespace linvar::pld {

extern const ReplyFields kRcs;       // "RCS?": converter settings and states
extern const ReplyFields kCls;       // "CLS?": LNA (or LNB) power and fault logic
extern const ReplyFields kAnm;       // "ANM?": assembly numbers
extern const ReplyFields kSnm;       // "SNM?": serial numbers
extern const ReplyFields kFrw;       // "FRW?": firmware numbers and versions
extern const ReplyFields kSupplies;  // "CES?"
extern const ReplyFields kReference; // "CRS?" characters 3-6
extern const ReplyFields kAgc;       // "CAS?"
extern const ReplyFields kUpConv;    // "CUS?"
extern const ReplyFields kDownConv;  // "CDS?"
extern const ReplyFields kHpa;       // "CHS?"

// Value labels emptied when the window opens, and lamps that keep their names.
extern const std::vector<const char*> kValues;
extern const std::vector<const char*> kLamps;

} // namespace linvar::pld
