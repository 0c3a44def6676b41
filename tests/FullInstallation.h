#pragma once
// A full installation on the in-process simulator: twenty links with every unit at both
// ends (modem and transceiver models mixed), both switches with their redundant modems.

#include "Bus.h"

#include "setup/SystemSetup.h"

#include <cstdio>
#include <string>
#include <vector>

struct InstallationOptions {
    bool pairs = true;   // links 5, 10, 15 and 20 are 1:1 at their DISTANT end
    int firstLogged = 0; // links logged: this one, then every `logEvery` (0: none)
    int logEvery = 1;
    bool slowEnds = false;  // every seventh end has a delay of 120 ms
    int autoLogMinutes = 0; // automatic logging at this interval, offset 3 (0: off)
};

inline std::string InstallationAddress(int record, int slot) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%02d", record, slot + 1);
    return buf;
}

// Fills the set-up and the bus; returns every unit.
inline std::vector<linvar::sim::Unit*> FullInstallation(linvar::SystemSetup& setup,
                                                        linvar::sim::Bus& bus,
                                                        const InstallationOptions& o = {}) {
    using namespace linvar;
    static const char* modems[] = {"350", "370", "330", "310"};
    static const char* xcvrs[] = {"VORN", "YRAN", "PLD"};
    std::vector<sim::Unit*> units;
    for (int r = 1; r <= 40; ++r) {
        EndRecord& e = setup.rec(r);
        e.IdText = "END-" + std::to_string(r);
        e.TimeoutText = "1";
        e.DelayText = o.slowEnds && r % 7 == 0 ? "120" : "50";
        for (int slot = 0; slot < UnitSlotCount; ++slot) {
            const std::string a = InstallationAddress(r, slot);
            e.addr(slot) = a;
            units.push_back(
                bus.add(a, slot <= Modem2 ? modems[(r + slot) % 4] : xcvrs[(r + slot) % 3]));
        }
    }
    for (int n = 5; o.pairs && n <= 20; n += 5) {
        setup.rec(2 * n).PairFlag = "1";
        bus.find(InstallationAddress(2 * n, Modem1))
            ->setPartner(bus.find(InstallationAddress(2 * n, Modem2)));
    }
    for (int n = o.firstLogged; n >= 1 && n <= 20; n += o.logEvery)
        setup.rec(2 * n).InfoText = "Log";
    for (int r = SystemSetup::SwitchRecord(1); r <= SystemSetup::SwitchRecord(2) + 1; ++r) {
        const std::string a = "900" + std::to_string(r - 40);
        setup.rec(r).Mod1Addr = a;
        setup.rec(r).TimeoutText = "1";
        units.push_back(bus.add(a, r % 2 ? "420" : "350"));
    }
    if (o.autoLogMinutes > 0) {
        setup.AutoLogEnabled = true;
        setup.AutoLogIntervalMinutes = o.autoLogMinutes;
        setup.AutoLogOffsetIndex = 3;
    }
    setup.RecomputeAnyEndActive();
    setup.ResetDisplayColours();
    return units;
}
