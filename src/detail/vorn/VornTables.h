#pragma once
// The VORN/YRAN window's status tables, shared by its sources.

#include "detail/transceiver/TransceiverCommon.h"

#include <vector>

namespace linvar::vorn {

extern const ReplyFields kCcs; // "CCS?": settings and state lamps
extern const ReplyFields kCls; // "CLS?": the LNA supply lamps
extern const ReplyFields kCas; // "CAS?": the eighteen alarms
extern const char* const kAlarmNames[18];

// One "CMS?" reading: its label, its unit and the alarm (1-18) whose colour it takes; 0:
// white.
struct Maintenance {
    const char* label;
    const char* unit;
    int alarm;
};
extern const Maintenance kCms[16];

// Value labels emptied when the window opens, and lamps that keep their names.
extern const std::vector<const char*> kValues;
extern const std::vector<const char*> kLamps;

} // namespace linvar::vorn
