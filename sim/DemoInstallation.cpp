#include "DemoInstallation.h"

namespace linvar::sim {

const std::vector<DemoUnit>& demoUnits() {
    static const std::vector<DemoUnit> units{
        // Link 1: healthy, logged.
        {"1100", "350", ""},
        {"0111", "VORN", ""},
        {"0150", "350", ""},
        {"0151", "VORN", ""},
        // Link 2: a 1:1 modem pair and a transceiver pair at the LOCAL end.
        {"1200", "370", ""},
        {"0201", "370", ""},
        {"0211", "YRAN", ""},
        {"0212", "YRAN", ""},
        {"0250", "371", ""},
        {"0251", "YRAN", ""},
        // Link 3: the DISTANT modem has a Tx fault; a Ku-band transceiver with an LNB.
        {"1300", "330", ""},
        {"0311", "PLD-LNB", ""},
        {"0350", "331", "030"},
        // Link 4: the DISTANT modem does not answer.
        {"1400", "310", ""},
        {"0411", "PLD", ""},
        {"0450", "350", ""},
        // Link 5: an Rx fault that comes and goes.
        {"1500", "351", ""},
        {"0550", "351", ""},
        {"0551", "YRAN", ""},
        // Link 6: a faulty transceiver.
        {"1600", "7010", ""},
        {"0650", "310", ""},
        {"0651", "VORN", "2"},
        // Switch 1 and its redundant modem.
        {"1000", "420", ""},
        {"2100", "350", ""},
        // Switch 2, the other model, and its redundant modem.
        {"7000", "430", ""},
        {"8100", "351", ""},
    };
    return units;
}

SetupResult populateDemo(Bus& bus, const std::string& setupPath) {
    bus.setMoving(true); // the demo's charts live
    SetupResult result = populateFromSetupFile(bus, setupPath);
    for (const DemoUnit& d : demoUnits()) {
        Unit* u = bus.find(d.address);
        if (!u) {
            result.warnings.push_back(std::string("demo unit ") + d.address +
                                      " is not in the set-up file");
            continue;
        }
        u->setModel(d.model);
        if (*d.faults)
            u->setFaults(d.faults);
    }
    if (Unit* u = bus.find(demoSilentUnit))
        u->inject(Injection::silence());
    return result;
}

void advanceDemo(Bus& bus, int64_t nowMs) {
    if (Unit* u = bus.find(demoChangingUnit))
        u->setFault(3, (nowMs / demoFaultPeriodMs) % 2 ? '1' : '0', nowMs);
    if (Unit* u = bus.find(demoFadingUnit))
        if (u->fadeDb(nowMs) == 0 && nowMs % demoFadePeriodMs >= demoFadePeriodMs / 2)
            u->startFade(nowMs - nowMs % demoFadePeriodMs + demoFadePeriodMs / 2, demoFadeMs);
}

} // namespace linvar::sim
