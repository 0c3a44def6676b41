#pragma once
// The VORN/YRAN window's status tables, shared by its sources.

#include "detail/transceiver/TransceiverCommon.h"

#include <optional>
#include <string>
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
// The number of the k-th (1-16) "CMS?" reading; none when the unit says "X" (not
// available). The RF power (15) ends in "+" or "-" beyond what the unit measures: the
// limit is the value.
std::optional<double> CmsValue(const std::string& value, int k);

// Value labels emptied when the window opens, and lamps that keep their names.
extern const std::vector<const char*> kValues;
extern const std::vector<const char*> kLamps;

} // namespace linvar::vorn
