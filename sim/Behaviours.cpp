// Which file serves the own commands of which family. A family without a behaviour
// answers only what every unit answers (and the MQX-350 its commands in Mqx350.cpp).

#include "Pld.h"
#include "Unit.h"
#include "Vorn.h"

namespace linvar::sim {

std::unique_ptr<FamilyBehaviour> MakeBehaviour(Family family, Unit& unit) {
    switch (family) {
    case Family::Vorn:
    case Family::Yran:
        return std::make_unique<VornBehaviour>(unit, family == Family::Yran);
    case Family::Pld:
        return std::make_unique<PldBehaviour>(unit);
    default:
        return nullptr;
    }
}

} // namespace linvar::sim
