#pragma once
// The MQX-330 family (MQX-330, MQX-330T, PiV-330, the receive-only MQX-330R DEMOD) and
// the MQX-310 / RDX-7010: their readings, their configuration strings and settings,
// and the stored configurations 0-9.

#include "Unit.h"

#include <array>
#include <string>

namespace linvar::sim {

class Mqx330Behaviour : public FamilyBehaviour {
public:
    explicit Mqx330Behaviour(Unit& unit);

    std::optional<std::string> payload(Unit& unit, const std::string& mnemonic, bool query,
                                       const std::string& value, int64_t nowMs) override;

    // A stored configuration; empty when nothing is stored there.
    const std::string& memory(int slot) const override {
        return memories_.at(static_cast<size_t>(slot));
    }

private:
    std::array<std::string, Unit::memoryCount> memories_;
};

} // namespace linvar::sim
