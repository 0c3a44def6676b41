// Which file serves the own commands of which family. A family without a behaviour
// answers only what every unit answers (and the MQX-350 its commands in Mqx350.cpp).

#include "Mqx330.h"
#include "Mqx370.h"
#include "Pld.h"
#include "Switch.h"
#include "Unit.h"
#include "Vorn.h"

namespace linvar::sim {

std::unique_ptr<FamilyBehaviour> MakeBehaviour(Family family, Unit& unit) {
    switch (family) {
    case Family::Switch:
        return std::make_unique<SwitchBehaviour>(unit);
    case Family::Mqx370:
        return mqx370::MakeBehaviour(unit);
    case Family::Mqx310:
    case Family::Mqx330:
        return std::make_unique<Mqx330Behaviour>(unit);
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
