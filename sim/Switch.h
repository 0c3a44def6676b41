#pragma once
// The 1:N redundancy switches TRV-420 and TRV-430: their own commands and state beside
// what every unit answers (identity, faults, clock, local/remote, the event log).

#include "Unit.h"

#include <array>
#include <memory>
#include <string>

namespace linvar::sim {

class SwitchBehaviour : public FamilyBehaviour {
public:
    explicit SwitchBehaviour(Unit& unit);

    std::optional<std::string> payload(Unit& unit, const std::string& mnemonic, bool query,
                                       const std::string& value, int64_t nowMs) override;

    // Interface state digits 1-10 as "AMQ?" reports them: 0 not installed, then by model
    // (TRV-420: 1 bad configuration, 2 ready, 3 active; TRV-430: 1 ready, 2 active,
    // 3 active with a bad configuration).
    void setInterfaces(const std::string& digits);
    const std::string& interfaces() const { return interfaces_; }
    // "ACT?": one flag per interface, "1" while it carries traffic.
    std::string activeFlags() const;
    // The stored configurations 0-9 ("CST?" values); empty = nothing stored.
    void setMemory(int slot, std::string value);
    const std::string& memory(int slot) const override;
    // What "CST=" stores: mode, active flags, bridging flag, traffic modem, hold-offs.
    std::string current() const;

private:
    bool active(size_t i) const;
    bool activatable(size_t i) const;
    std::string setting(Unit& unit, const std::string& mnemonic, const std::string& value,
                        int64_t nowMs);

    bool m430_;
    std::string interfaces_;
    std::string switchId_ = "SATCOM SWITCH";
    char alarmMask_ = '0';  // MAM: 1 TX, 2 RX, 3 both masked
    char supplyMask_ = '0'; // SAM: 1 PSU-A, 2 PSU-B masked
    char audioMask_ = '0';  // AAM: 1 switch, 2 modem, 3 both masked
    char mode_ = '1';       // OPM: 0 manual, 1 automatic
    int backupHold_ = 5;
    int restoreHold_ = 10;
    char bridge_ = '0'; // BBU: 0 bridging, 1 backing up
    int trafficModem_ = 1;
    std::array<std::string, Unit::memoryCount> memories_;
};

} // namespace linvar::sim
