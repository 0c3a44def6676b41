#pragma once
// The MQX-350 and MQX-350L modems: status readings, the configuration string (MGC?), the
// ODU string (OGC?, MQX-350L), every setting with the unit's own checks, and the stored
// configurations 0-9.

#include "Unit.h"

#include <array>
#include <string>

namespace linvar::sim {

class Mqx350Behaviour : public FamilyBehaviour {
public:
    explicit Mqx350Behaviour(Unit& unit);

    std::optional<std::string> payload(Unit& unit, const std::string& mnemonic, bool query,
                                       const std::string& value, int64_t nowMs) override;

    const std::string& memory(int slot) const override {
        return memories_.at(static_cast<size_t>(slot));
    }
    // The ODU string stored with a configuration (MQX-350L).
    const std::string& oduMemory(int slot) const {
        return oduMemories_.at(static_cast<size_t>(slot));
    }

private:
    std::string query(const Unit& unit, const std::string& mnemonic) const;

    bool lBand_;
    std::array<std::string, Unit::memoryCount> memories_;
    std::array<std::string, Unit::memoryCount> oduMemories_;
};

} // namespace linvar::sim
