#include "SetupReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace linvar::sim {

namespace {

constexpr int records = 44;
constexpr int linesPerRecord = 10;

std::string field(const std::vector<std::string>& lines, size_t index, size_t capacity) {
    if (index >= lines.size())
        return {};
    std::string s = lines[index];
    if (!s.empty() && s.back() == '\r')
        s.pop_back();
    return s.substr(0, std::min(capacity, s.size()));
}

bool fourDigits(const std::string& s) {
    return s.size() == 4 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

SetupResult populateFromSetup(Bus& bus, const std::vector<std::string>& lines,
                              const SetupDefaults& defaults) {
    SetupResult result;
    for (int record = 1; record <= records; ++record) {
        const size_t base = static_cast<size_t>(record - 1) * linesPerRecord;
        std::string addr[4];
        for (int slot = 0; slot < 4; ++slot)
            addr[slot] = field(lines, base + static_cast<size_t>(slot), 4);
        const std::string idText = field(lines, base + 4, 12);
        const std::string pairFlag = field(lines, base + 9, 1);
        const bool isSwitch = record == 41 || record == 43;
        const bool isRedundant = record == 42 || record == 44;

        Unit* units[4] = {nullptr, nullptr, nullptr, nullptr};
        for (int slot = 0; slot < 4; ++slot) {
            if (addr[slot].empty())
                continue;
            if ((isSwitch || isRedundant) && slot > 0)
                continue; // only Mod1Addr is used there
            if (!fourDigits(addr[slot])) {
                result.warnings.push_back("record " + std::to_string(record) + ": address '" +
                                          addr[slot] + "' is not four digits, skipped");
                continue;
            }
            if (bus.find(addr[slot])) {
                result.warnings.push_back("record " + std::to_string(record) + ": address " +
                                          addr[slot] + " is used twice, first use kept");
                continue;
            }
            const std::string& model = isSwitch   ? defaults.switchModel
                                       : slot < 2 ? defaults.modem
                                                  : defaults.transceiver;
            Unit* u = bus.add(addr[slot], model);
            if (!u)
                continue;
            u->setCircuitId(idText);
            units[slot] = u;
            ++result.units;
        }
        // A pair: the first unit is on line; the modem pair's off-line unit answers
        // through OUS? of the on-line one.
        if (units[0] && units[1]) {
            units[0]->setOnline(true);
            units[0]->setPartner(units[1]);
        } else if (units[0] && pairFlag == "1" && record % 2 == 0 && !isRedundant) {
            // 1:1 at the distant end with no address for its off-line modem: that
            // modem is healthy and reached only through the on-line one.
            units[0]->setOnline(true);
            units[0]->setAnswer("OUS", "=000000");
        }
        if (units[2] && units[3]) {
            units[2]->setOnline(true);
            units[2]->setPartner(units[3]);
            units[3]->setPartner(units[2]);
        }
    }
    return result;
}

SetupResult populateFromSetupFile(Bus& bus, const std::string& path,
                                  const SetupDefaults& defaults) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read set-up file " + path + ": " + std::strerror(errno));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    if (in.bad())
        throw std::runtime_error("error reading set-up file " + path);
    return populateFromSetup(bus, lines, defaults);
}

} // namespace linvar::sim
