#pragma once
// What the Trends window shows, without Qt: the unit and up to four of its readings over a
// span, the points as the chart draws them (merged where there are more than it has room
// for, broken where readings stopped), which axis each reading is drawn on, the unit's
// alarm journal entries on the time axis, what the cursor reads and the CSV export. The Qt
// view draws this and hands back the operator's choices.

#include "readings/ReadingsStore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace linvar {

enum class TrendSpan { Hour, Day, Week, Month, Year, Custom };

// One alarm journal entry of the unit, as a mark on the time axis.
struct TrendMark {
    enum class Kind { Alarm, Clear, Note };
    int64_t utcMs = 0;
    std::string text; // "Fault", "No fault", "Configuration changed"
    Kind kind = Kind::Note;
};

// The journal entries of a unit between two instants (UTC ms), oldest first.
using TrendMarksSource =
    std::function<std::vector<TrendMark>(const UnitOfRecord&, int64_t fromMs, int64_t toMs)>;

// One reading on the chart.
struct TrendSeries {
    ReadingKind kind;
    int axis = 0; // 0: left, 1: right
    std::vector<SeriesPoint> points;
    // Some points stand for several readings: their min-max band is drawn.
    bool band = false;
    // Runs of points [first, end) drawn as one line; a pause in the readings breaks it.
    std::vector<std::pair<size_t, size_t>> runs;
};

struct TrendAxis {
    std::string unit; // empty while no reading is drawn on it
    double min = 0;
    double max = 1;
};

struct TimeTick {
    int64_t utcMs = 0;
    std::string label;
};

class TrendsModel {
public:
    static constexpr int kMaxReadings = 4;
    static constexpr int kDefaultPoints = 600;
    static constexpr int kHelpTopic = 10;

    // `history` may be null (readings are off); `marks` may be empty. The chart opens on
    // the unit at `address` (the first unit when empty or unknown) over the last 24 h.
    TrendsModel(const ReadingsHistory* history, TrendMarksSource marks,
                std::function<int64_t()> utcNowMs, const std::string& address = {},
                int room = kDefaultPoints);

    // ---- what the operator chooses from
    std::vector<int> Links() const;
    std::vector<UnitOfRecord> UnitsOn(int link) const;
    const std::vector<ReadingKind>& Kinds() const { return kinds_; }

    // ---- choosing; each reloads the chart
    // The link's first unit.
    void ChooseLink(int link);
    // A unit by its address (its link with it); false when the history holds none such.
    bool ChooseUnit(const std::string& address);
    // Adds or removes a reading. Returns why an addition is refused, or "".
    std::string Toggle(const std::string& kindId);
    void SetSpan(TrendSpan span);
    // A range of the operator's own (UTC ms). Returns why it is refused, or "".
    std::string SetCustom(int64_t fromMs, int64_t toMs);
    // How many points the chart has room for (about one every two pixels).
    void SetRoom(int points);
    // Reads the chosen readings over the span again (the preset spans end now).
    void Reload();

    // ---- what the chart shows
    int Link() const { return link_; }
    const UnitOfRecord* Unit() const { return unit_ < 0 ? nullptr : &units_[unit_]; }
    const std::vector<std::string>& Chosen() const { return chosen_; }
    bool IsChosen(const std::string& kindId) const;
    TrendSpan Span() const { return span_; }
    int64_t From() const { return from_; }
    int64_t To() const { return to_; }
    const std::vector<TrendSeries>& Series() const { return series_; }
    const TrendAxis& Axis(int side) const { return axes_[side == 0 ? 0 : 1]; }
    const std::vector<TrendMark>& Marks() const { return marks_; }
    std::vector<TimeTick> TimeTicks() const;
    // The line above the chart: why nothing (or not all) can be shown, or "".
    const std::string& Notice() const { return notice_; }
    std::string Title() const;

    // What the cursor at this instant reads: the time and each reading's value there.
    std::string CursorText(int64_t utcMs) const;
    // The chart's data: a header row, then one row an instant, UTC ISO-8601.
    std::vector<std::string> CsvLines() const;

    static std::string ValueText(double v);
    static int64_t SpanMs(TrendSpan span);

private:
    void ChooseIndex(int unit);
    void Load();
    void AssignAxes();
    std::string UnitOfKind(const std::string& kindId) const;
    const ReadingKind* KindOf(const std::string& kindId) const;
    int64_t Bucket() const;

    const ReadingsHistory* history_;
    TrendMarksSource marksSource_;
    std::function<int64_t()> now_;
    std::vector<UnitOfRecord> units_;
    std::vector<ReadingKind> kinds_;
    int link_ = -1;
    int unit_ = -1;
    std::vector<std::string> chosen_;
    TrendSpan span_ = TrendSpan::Day;
    int64_t customFrom_ = 0;
    int64_t customTo_ = 0;
    int64_t from_ = 0;
    int64_t to_ = 0;
    int room_ = kDefaultPoints;
    std::vector<TrendSeries> series_;
    TrendAxis axes_[2];
    std::vector<TrendMark> marks_;
    std::string notice_;
};

} // namespace linvar
