#pragma once
// The units of the demo installation. The station writes the demo's set-up file; this
// side reads it like any other and then gives the units their models and faults by
// address: varied families, a 1:1 pair, a switch with its redundant modem, faults, a
// silent unit and a fault that comes and goes.

#include "Bus.h"
#include "SetupReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace linvar::sim {

struct DemoUnit {
    const char* address;
    const char* model;
    const char* faults; // fault characters, "" = healthy
};

const std::vector<DemoUnit>& demoUnits();
inline constexpr const char* demoSilentUnit = "0450";
inline constexpr const char* demoChangingUnit = "0550";
// The changing unit's Rx fault is on for one period, off for the next.
inline constexpr int64_t demoFaultPeriodMs = 20000;
// The fading unit's Eb/No falls for two minutes of every ten.
inline constexpr const char* demoFadingUnit = "0150";
inline constexpr int64_t demoFadePeriodMs = 600000;
inline constexpr int64_t demoFadeMs = 120000;

// Fills the bus from the demo folder's set-up file and applies the demo's models and
// faults. Throws std::runtime_error when the file cannot be read.
SetupResult populateDemo(Bus& bus, const std::string& setupPath);
// The fault that comes and goes; call with the bus's time (a PtyServer ticker).
void advanceDemo(Bus& bus, int64_t nowMs);

} // namespace linvar::sim
