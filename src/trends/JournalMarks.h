#pragma once
// The alarm journal entries of one unit over a span, read from the journal's daily files
// (a year of them for the longest span), as marks for the Trends window's time axis.

#include "trends/TrendsModel.h"

#include <filesystem>
#include <optional>

namespace linvar {

struct AlarmEntry;

// Reads the journal files in `folder`; the station's local time of each entry becomes UTC.
TrendMarksSource JournalMarks(std::filesystem::path folder);

// The mark of one entry of the unit; nothing for another unit or an acknowledgement.
std::optional<TrendMark> MarkOf(const AlarmEntry& e, const UnitOfRecord& unit);

} // namespace linvar
