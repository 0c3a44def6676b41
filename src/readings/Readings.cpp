#include "readings/Readings.h"

#include "setup/SystemSetup.h"
#include "ui/Clock.h"
#include "ui/Cp1252.h"

#include <algorithm>

namespace linvar {

Readings::Readings(const Clock& clock, std::filesystem::path folder,
                   const ReadingsSettings& settings)
    : clock_(clock), settings_(settings),
      db_(std::make_unique<ReadingsDatabase>(
          folder / ReadingsDatabase::kFileName,
          ReadingsDatabase::Options{settings.retentionDays, settings.rawDays})),
      thresholds_(settings.thresholds) {}

UnitOfRecord Readings::UnitOf(int record, int slot, const std::string& address) {
    UnitOfRecord u;
    u.address = address;
    if (record >= 1 && record <= 2 * SystemSetup::LinkCount) {
        static const char* const names[] = {"Modem 1", "Modem 2", "Transceiver 1", "Transceiver 2"};
        const bool local = record % 2 == 1;
        u.link = (record + 1) / 2;
        u.end = local ? "LOCAL" : "DISTANT";
        u.caption = std::string(names[slot >= 0 && slot < UnitSlotCount ? slot : 0]) +
                    (local ? ", Local end" : ", Distant end");
    } else {
        u.caption = "Redundant modem " + std::to_string(record == 42 ? 1 : 2);
    }
    return u;
}

void Readings::Take(const ReadingSample& s, std::vector<ThresholdEvent>& events) {
    const UnitOfRecord unit = UnitOf(s.record, s.slot, s.address);
    // The history and the export speak UTF-8; the station's texts are 8-bit.
    const ReadingKind kind{s.row->id, Cp1252ToUtf8(s.row->label), Cp1252ToUtf8(s.row->unit)};
    db_->Add(unit, kind, clock_.utcMs(), s.value);
    last_[{s.address, kind.id}] = {s.address, unit.link, unit.end,
                                   kind.id,   s.value,   clock_.monotonicMs()};
    thresholds_.Observe(s.address, s.row->id, s.row->label, s.row->unit, s.value, events);
}

std::vector<LastReading> Readings::Last(int64_t passMs) const {
    std::vector<LastReading> out;
    const int64_t now = clock_.monotonicMs();
    const int64_t interval = std::max(settings_.intervalMs, passMs);
    for (const auto& [key, r] : last_)
        if (now - r.atMs <= 2 * interval)
            out.push_back(r);
    return out;
}

} // namespace linvar
