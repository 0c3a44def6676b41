#pragma once
// The MQX-370 family: the MQX-370 (370, or 373 with the wide IF range), the MQX-370L (371)
// and the BLQ-7370L (372). The configuration string (MGC?) and the ODU string (OGC?) are
// kept by the unit; the drop and insert setting, the readings and the memories here.

#include "Unit.h"

namespace linvar::sim::mqx370 {

std::unique_ptr<FamilyBehaviour> MakeBehaviour(Unit& unit);

} // namespace linvar::sim::mqx370
