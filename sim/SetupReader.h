#pragma once
// Fills a bus with the units of a station set-up file: 44 blocks of ten lines
// (Mod1Addr, Mod2Addr, Tr1Addr, Tr2Addr, IdText, InfoText, DelayText, TimeoutText,
// AddrSpec, PairFlag) and a settings line. Records 41 and 43 are the switches,
// 42 and 44 their redundant modems.

#include "Bus.h"

#include <string>
#include <vector>

namespace linvar::sim {

struct SetupDefaults {
    std::string modem = "350";
    std::string transceiver = "VORN";
    std::string switchModel = "420";
};

struct SetupResult {
    int units = 0;                     // units added
    std::vector<std::string> warnings; // addresses skipped, duplicates
};

SetupResult populateFromSetup(Bus& bus, const std::vector<std::string>& lines,
                              const SetupDefaults& defaults = {});
// Throws std::runtime_error with a readable message when the file cannot be read.
SetupResult populateFromSetupFile(Bus& bus, const std::string& path,
                                  const SetupDefaults& defaults = {});

} // namespace linvar::sim
