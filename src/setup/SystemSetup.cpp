#include "setup/SystemSetup.h"

#include "wire/TextFormats.h"

#include <stdexcept>

namespace linvar {

namespace {

void checkSlot(int slot) {
    if (slot < 0 || slot >= UnitSlotCount)
        throw std::out_of_range("unit slot " + std::to_string(slot));
}

constexpr std::array<int, 11> intervalMinutes{10, 20, 30, 60, 120, 180, 240, 360, 480, 720, 1440};

int offsetCount(int intervalIndex) {
    return intervalIndex == 0 ? 10 : 20;
}

} // namespace

FixedText<4>& EndRecord::addr(int slot) {
    checkSlot(slot);
    switch (slot) {
    case Modem1:
        return Mod1Addr;
    case Modem2:
        return Mod2Addr;
    case Transceiver1:
        return Tr1Addr;
    default:
        return Tr2Addr;
    }
}

const FixedText<4>& EndRecord::addr(int slot) const {
    return const_cast<EndRecord*>(this)->addr(slot);
}

Colour& EndRecord::unitColour(int slot) {
    checkSlot(slot);
    switch (slot) {
    case Modem1:
        return Mod1Colour;
    case Modem2:
        return Mod2Colour;
    case Transceiver1:
        return Tr1Colour;
    default:
        return Tr2Colour;
    }
}

Colour EndRecord::unitColour(int slot) const {
    return const_cast<EndRecord*>(this)->unitColour(slot);
}

void EndRecord::SetDefaults() {
    for (int slot = 0; slot < UnitSlotCount; ++slot)
        addr(slot).clear();
    IdText.clear();
    InfoText.clear();
    DelayText = "50";
    TimeoutText = "5";
    AddrSpec = "90";
    PairFlag.clear();
}

SystemSetup::SystemSetup() {
    for (auto& r : records_)
        r.SetDefaults();
}

EndRecord& SystemSetup::rec(int r) {
    if (r < 1 || r > RecordCount)
        throw std::out_of_range("record " + std::to_string(r));
    return records_[static_cast<std::size_t>(r - 1)];
}

const EndRecord& SystemSetup::rec(int r) const {
    return const_cast<SystemSetup*>(this)->rec(r);
}

bool SystemSetup::EndActive(int r) const {
    const EndRecord& e = rec(r);
    return !e.Mod1Addr.empty() || !e.Tr1Addr.empty();
}

void SystemSetup::RecomputeAnyEndActive() {
    AnyEndActive = false;
    for (int r = 1; r <= RecordCount; ++r)
        AnyEndActive = AnyEndActive || EndActive(r);
}

void SystemSetup::ResetDisplayColours(int r) {
    EndRecord& e = rec(r);
    for (int slot = 0; slot < UnitSlotCount; ++slot)
        e.unitColour(slot) = e.addr(slot).empty() ? Colours::silver : Colours::aqua;
    e.EndColour = EndActive(r) ? Colours::green : Colours::gray;
}

void SystemSetup::ResetDisplayColours() {
    for (int r = 1; r <= RecordCount; ++r)
        ResetDisplayColours(r);
}

void SystemSetup::ResetColoursAfterSwitchEdit() {
    for (int r = 1; r <= RecordCount; ++r) {
        EndRecord& e = rec(r);
        for (int slot = 0; slot < UnitSlotCount; ++slot)
            e.unitColour(slot) = Colours::silver;
        e.EndColour = EndActive(r) ? Colours::green : Colours::gray;
    }
}

int SystemSetup::checkLink(int n) {
    if (n < 1 || n > LinkCount)
        throw std::out_of_range("link " + std::to_string(n));
    return n;
}

int SystemSetup::checkSwitch(int s) {
    if (s < 1 || s > 2)
        throw std::out_of_range("switch " + std::to_string(s));
    return s;
}

int SystemSetup::LinkOfRecord(int r) {
    if (r < 1 || r > RecordCount)
        throw std::out_of_range("record " + std::to_string(r));
    return r < 41 ? (r + 1) / 2 : 0;
}

int SystemSetup::SwitchOfRedundantModemRecord(int r) {
    if (r != 42 && r != 44)
        throw std::out_of_range("redundant modem record " + std::to_string(r));
    return r / 2 - 20;
}

int SystemSetup::TrafficModemRecord(int s, int k) {
    if (k < 1 || k > 10)
        throw std::out_of_range("traffic modem " + std::to_string(k));
    return LocalRecord(10 * (checkSwitch(s) - 1) + k);
}

const std::array<std::string, 5>& SystemSetup::SwitchAddresses() {
    static const std::array<std::string, 5> list{"0000", "1000", "3000", "5000", "7000"};
    return list;
}

namespace {

std::string offsetAddress(const std::string& switchAddr, int offset) {
    if (switchAddr.empty())
        return "";
    const ParsedInt a = ParseIntStrict(switchAddr);
    if (!a.ok || a.value < 0 || a.value > 9999)
        return "";
    return Addr4(a.value + offset);
}

} // namespace

std::string SystemSetup::TrafficModemAddress(const std::string& switchAddr, int k) {
    if (k < 1 || k > 10)
        throw std::out_of_range("traffic modem " + std::to_string(k));
    return offsetAddress(switchAddr, 100 * k);
}

std::string SystemSetup::RedundantModemAddress(const std::string& switchAddr) {
    return offsetAddress(switchAddr, 1100);
}

const std::array<std::string, 11>& SystemSetup::AutoLogIntervalEntries() {
    static const std::array<std::string, 11> list{" 10 mins", " 20 mins",  " 30 mins", " 1 hour",
                                                  " 2 hours", " 3 hours",  " 4 hours", " 6 hours",
                                                  " 8 hours", " 12 hours", " 24 hours"};
    return list;
}

int SystemSetup::AutoLogMinutesOf(int intervalIndex) {
    if (intervalIndex < 0 || intervalIndex >= static_cast<int>(intervalMinutes.size()))
        return 0;
    return intervalMinutes[static_cast<std::size_t>(intervalIndex)];
}

std::vector<std::string> SystemSetup::AutoLogOffsetEntries(int intervalIndex) {
    std::vector<std::string> list;
    for (int k = 0; k < offsetCount(intervalIndex); ++k)
        list.push_back(" " + std::to_string(k));
    return list;
}

std::string SystemSetup::AutoLogOffsetText(int intervalIndex, int entry) {
    if (entry < 0 || entry >= offsetCount(intervalIndex))
        return {};
    return " " + std::to_string(entry);
}

void SystemSetup::rebuildOffsetList() {
    if (offsetEntry_ >= offsetCount(AutoLogIntervalIndex) || offsetEntry_ < 0)
        offsetEntry_ = 0;
    AutoLogOffsetIndex = offsetEntry_;
}

void SystemSetup::SettleAutoLogLists(int offsetEntry) {
    offsetEntry_ = offsetEntry == NoEntry ? 0 : offsetEntry;
    if (AutoLogIntervalIndex == NoEntry)
        AutoLogIntervalIndex = 0;
    rebuildOffsetList();
}

void SystemSetup::ChooseAutoLogInterval(int index) {
    if (AutoLogMinutesOf(index) == 0)
        return;
    const int old = AutoLogIntervalIndex;
    AutoLogIntervalIndex = index;
    // Only a move to or from the 10-minute interval changes the length of the list.
    if ((old == 0) != (index == 0))
        rebuildOffsetList();
    AutoLogIntervalMinutes = AutoLogMinutesOf(index);
}

void SystemSetup::ChooseAutoLogOffset(int index) {
    if (index < 0 || index >= offsetCount(AutoLogIntervalIndex))
        return;
    offsetEntry_ = index;
    AutoLogOffsetIndex = index;
}

const std::array<std::string, 4>& SystemSetup::SetupFileEntries() {
    static const std::array<std::string, 4> list{" SysSetup.txt", " SysSet2.txt", " SysSet3.txt",
                                                 " SysSet4.txt"};
    return list;
}

} // namespace linvar
