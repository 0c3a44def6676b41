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

// The configuration boxes and groups that both the rows and the window's code name, so
// that a misspelt one does not compile. A box's caption label is its name + "Cap".
namespace box {
inline constexpr const char* UpFreq = "UFQ";
inline constexpr const char* DownFreq = "DFQ";
inline constexpr const char* UpAtten = "UAT";
inline constexpr const char* DownAtten = "DAT";
inline constexpr const char* RfOutput = "UMU";
inline constexpr const char* Agc = "AGC";
inline constexpr const char* HpaPower = "AMP";
inline constexpr const char* HpaFault = "KFE";
inline constexpr const char* LnaPower = "LCS";
inline constexpr const char* LnaFault = "LFL";
inline constexpr const char* RxBand = "SRB";
inline constexpr const char* Lock = "LOK";
} // namespace box
namespace group {
inline constexpr const char* Up = "GrpUp";
inline constexpr const char* Hpa = "GrpHpa";
inline constexpr const char* Down = "GrpDown";
inline constexpr const char* Lna = "GrpLnaConf";
inline constexpr const char* LnaCal = "GrpLnaCal";
inline constexpr const char* Unit = "GrpUnit";
inline constexpr const char* Lock = "GrpLock";
} // namespace group

// Value labels emptied when the window opens, and lamps that keep their names.
extern const std::vector<const char*> kValues;
extern const std::vector<const char*> kLamps;

} // namespace linvar::pld
