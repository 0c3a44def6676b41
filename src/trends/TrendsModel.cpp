#include "trends/TrendsModel.h"

#include "ui/Clock.h"
#include "ui/TextFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>

namespace linvar {

namespace {

constexpr int64_t kMinute = 60 * 1000;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDay = 24 * kHour;

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct Civil {
    int year, month, day, hour, minute, second, ms;
};

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

Civil CivilOf(int64_t utcMs) {
    const int64_t days = FloorDiv(utcMs, kDay);
    const int64_t rest = utcMs - days * kDay;
    Civil c{};
    civilFromDays(days, c.year, c.month, c.day);
    c.hour = static_cast<int>(rest / kHour);
    c.minute = static_cast<int>(rest / kMinute % 60);
    c.second = static_cast<int>(rest / 1000 % 60);
    c.ms = static_cast<int>(rest % 1000);
    return c;
}

std::string Printf(const char* format, auto... args) {
    char b[96];
    std::snprintf(b, sizeof b, format, args...);
    return b;
}

// Raw readings carry their value alone; their band is the value itself.
double Low(const SeriesPoint& p) {
    return p.count > 1 ? std::min(p.min, p.mean) : p.mean;
}
double High(const SeriesPoint& p) {
    return p.count > 1 ? std::max(p.max, p.mean) : p.mean;
}

// Points folded into buckets of `width` from `from`: a bucket keeps its first start, the
// extremes, and the mean weighted by how many readings each point stands for.
std::vector<SeriesPoint> Merge(const std::vector<SeriesPoint>& in, int64_t from, int64_t width) {
    std::vector<SeriesPoint> out;
    int64_t bucket = std::numeric_limits<int64_t>::min();
    double sum = 0;
    for (const SeriesPoint& p : in) {
        const int64_t b = FloorDiv(p.utcMs - from, width);
        const int n = std::max(p.count, 1);
        if (out.empty() || b != bucket) {
            if (!out.empty())
                out.back().mean = sum / out.back().count;
            bucket = b;
            out.push_back({p.utcMs, Low(p), p.mean, High(p), n});
            sum = p.mean * n;
            continue;
        }
        SeriesPoint& m = out.back();
        m.min = std::min(m.min, Low(p));
        m.max = std::max(m.max, High(p));
        m.count += n;
        sum += p.mean * n;
    }
    if (!out.empty())
        out.back().mean = sum / out.back().count;
    return out;
}

// A pause in the readings breaks the line: a step more than three times the usual one.
std::vector<std::pair<size_t, size_t>> Runs(const std::vector<SeriesPoint>& pts) {
    std::vector<std::pair<size_t, size_t>> runs;
    if (pts.empty())
        return runs;
    std::vector<int64_t> steps;
    for (size_t i = 1; i < pts.size(); ++i)
        steps.push_back(pts[i].utcMs - pts[i - 1].utcMs);
    int64_t usual = 0;
    if (!steps.empty()) {
        std::vector<int64_t> sorted = steps;
        std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
        usual = sorted[sorted.size() / 2];
    }
    size_t first = 0;
    for (size_t i = 1; i < pts.size(); ++i) {
        if (steps.size() >= 2 && steps[i - 1] > 3 * usual) {
            runs.emplace_back(first, i);
            first = i;
        }
    }
    runs.emplace_back(first, pts.size());
    return runs;
}

} // namespace

TrendsModel::TrendsModel(const ReadingsHistory* history, TrendMarksSource marks,
                         std::function<int64_t()> utcNowMs, const std::string& address, int room)
    : history_(history), marksSource_(std::move(marks)), now_(std::move(utcNowMs)) {
    SetRoom(room);
    if (history_ && history_->problem().empty())
        units_ = history_->units();
    std::stable_sort(units_.begin(), units_.end(),
                     [](const UnitOfRecord& a, const UnitOfRecord& b) { return a.link < b.link; });
    if (units_.empty())
        Load();
    else if (address.empty() || !ChooseUnit(address))
        ChooseIndex(0);
}

std::vector<int> TrendsModel::Links() const {
    std::vector<int> links;
    for (const UnitOfRecord& u : units_)
        if (links.empty() || links.back() != u.link)
            links.push_back(u.link);
    return links;
}

std::vector<UnitOfRecord> TrendsModel::UnitsOn(int link) const {
    std::vector<UnitOfRecord> out;
    for (const UnitOfRecord& u : units_)
        if (u.link == link)
            out.push_back(u);
    return out;
}

void TrendsModel::ChooseLink(int link) {
    for (size_t i = 0; i < units_.size(); ++i)
        if (units_[i].link == link) {
            ChooseIndex(static_cast<int>(i));
            return;
        }
}

bool TrendsModel::ChooseUnit(const std::string& address) {
    for (size_t i = 0; i < units_.size(); ++i)
        if (units_[i].address == address) {
            ChooseIndex(static_cast<int>(i));
            return true;
        }
    return false;
}

void TrendsModel::ChooseIndex(int unit) {
    unit_ = unit;
    link_ = units_[unit].link;
    kinds_ = history_->kindsOf(units_[unit].address);
    // The readings chosen for the last unit stay chosen where this unit has them too.
    std::vector<std::string> kept;
    for (const std::string& id : chosen_)
        if (KindOf(id))
            kept.push_back(id);
    chosen_ = std::move(kept);
    if (chosen_.empty() && !kinds_.empty())
        chosen_.push_back(kinds_.front().id);
    Load();
}

const ReadingKind* TrendsModel::KindOf(const std::string& kindId) const {
    for (const ReadingKind& k : kinds_)
        if (k.id == kindId)
            return &k;
    return nullptr;
}

std::string TrendsModel::UnitOfKind(const std::string& kindId) const {
    const ReadingKind* k = KindOf(kindId);
    return k ? k->unit : std::string();
}

bool TrendsModel::IsChosen(const std::string& kindId) const {
    return std::find(chosen_.begin(), chosen_.end(), kindId) != chosen_.end();
}

std::string TrendsModel::Toggle(const std::string& kindId) {
    if (IsChosen(kindId)) {
        chosen_.erase(std::find(chosen_.begin(), chosen_.end(), kindId));
        Load();
        return {};
    }
    const ReadingKind* k = KindOf(kindId);
    if (!k)
        return {};
    std::string refusal;
    std::set<std::string> units;
    for (const std::string& id : chosen_)
        units.insert(UnitOfKind(id));
    if (static_cast<int>(chosen_.size()) >= kMaxReadings) {
        refusal = "Four readings at most on one chart.";
    } else if (units.size() >= 2 && !units.count(k->unit)) {
        refusal = "Two units of measure at most on one chart: " + k->label + " (" + k->unit +
                  ") needs a third axis.";
    }
    if (!refusal.empty()) {
        notice_ = refusal;
        return refusal;
    }
    chosen_.push_back(kindId);
    Load();
    return {};
}

void TrendsModel::SetSpan(TrendSpan span) {
    if (span == TrendSpan::Custom && customTo_ <= customFrom_) {
        customTo_ = to_;
        customFrom_ = from_;
    }
    span_ = span;
    Load();
}

std::string TrendsModel::SetCustom(int64_t fromMs, int64_t toMs) {
    if (toMs <= fromMs) {
        notice_ = "The range must end after it begins.";
        return notice_;
    }
    customFrom_ = fromMs;
    customTo_ = toMs;
    span_ = TrendSpan::Custom;
    Load();
    return {};
}

void TrendsModel::SetRoom(int points) {
    room_ = std::max(points, 10);
}

void TrendsModel::Reload() {
    Load();
}

int64_t TrendsModel::SpanMs(TrendSpan span) {
    switch (span) {
    case TrendSpan::Hour:
        return kHour;
    case TrendSpan::Day:
        return kDay;
    case TrendSpan::Week:
        return 7 * kDay;
    case TrendSpan::Month:
        return 30 * kDay;
    case TrendSpan::Year:
        return 365 * kDay;
    case TrendSpan::Custom:
        break;
    }
    return 0;
}

int64_t TrendsModel::Bucket() const {
    // A round length, so that a daily swing merges alike into every point.
    static const int64_t lengths[] = {
        1000,        2000,        5000,         10000,        15000,        30000,   kMinute,
        2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute, kHour,   2 * kHour,
        3 * kHour,   6 * kHour,   12 * kHour,   kDay,         2 * kDay,     7 * kDay};
    const int64_t least = (to_ - from_ + room_ - 1) / room_;
    for (int64_t l : lengths)
        if (l >= least)
            return l;
    return least;
}

void TrendsModel::Load() {
    if (span_ == TrendSpan::Custom) {
        from_ = customFrom_;
        to_ = customTo_;
    } else {
        to_ = now_();
        from_ = to_ - SpanMs(span_);
    }
    series_.clear();
    marks_.clear();
    notice_.clear();
    if (!history_) {
        notice_ = "Readings are not being kept: the readings history is off.";
    } else if (!history_->problem().empty()) {
        notice_ = "The readings history cannot be read: " + history_->problem();
    } else if (units_.empty()) {
        notice_ = "No readings have been kept yet.";
    }
    if (!notice_.empty() || unit_ < 0) {
        AssignAxes();
        return;
    }
    const UnitOfRecord& unit = units_[unit_];
    bool any = false;
    for (const std::string& id : chosen_) {
        TrendSeries s;
        s.kind = *KindOf(id);
        const int asked = static_cast<int>((to_ - from_ + Bucket() - 1) / Bucket());
        std::vector<SeriesPoint> pts = history_->series(unit.address, id, from_, to_, asked);
        std::stable_sort(pts.begin(), pts.end(), [](const SeriesPoint& a, const SeriesPoint& b) {
            return a.utcMs < b.utcMs;
        });
        std::erase_if(pts, [this](const SeriesPoint& p) {
            return p.utcMs < from_ || p.utcMs > to_ || !std::isfinite(p.mean);
        });
        // The history gives about as many as asked; more than the chart has room for are
        // folded here, so a line never crowds its pixels.
        if (static_cast<int>(pts.size()) > room_)
            pts = Merge(pts, from_, Bucket());
        s.band = std::any_of(pts.begin(), pts.end(),
                             [](const SeriesPoint& p) { return p.count > 1 && High(p) > Low(p); });
        s.runs = Runs(pts);
        any = any || !pts.empty();
        s.points = std::move(pts);
        series_.push_back(std::move(s));
    }
    if (chosen_.empty())
        notice_ = "Choose a reading to draw.";
    else if (!any)
        notice_ = "No readings of this unit in this span.";
    AssignAxes();
    if (marksSource_)
        marks_ = marksSource_(unit, from_, to_);
}

void TrendsModel::AssignAxes() {
    axes_[0] = axes_[1] = TrendAxis{};
    for (TrendSeries& s : series_) {
        if (axes_[0].unit.empty() || axes_[0].unit == s.kind.unit) {
            axes_[0].unit = s.kind.unit;
            s.axis = 0;
        } else {
            axes_[1].unit = s.kind.unit;
            s.axis = 1;
        }
    }
    for (int side = 0; side < 2; ++side) {
        double lo = std::numeric_limits<double>::infinity();
        double hi = -lo;
        for (const TrendSeries& s : series_)
            if (s.axis == side)
                for (const SeriesPoint& p : s.points) {
                    lo = std::min(lo, Low(p));
                    hi = std::max(hi, High(p));
                }
        TrendAxis& a = axes_[side];
        if (lo > hi) {
            a.min = 0;
            a.max = 1;
        } else if (hi - lo < 1e-12 * std::max(1.0, std::fabs(hi))) {
            // A flat line sits in the middle of the axis, not on its edge.
            const double pad = std::max(std::fabs(hi) * 0.05, 1e-9);
            a.min = lo - pad;
            a.max = hi + pad;
        } else {
            const double pad = (hi - lo) * 0.05;
            a.min = lo - pad;
            a.max = hi + pad;
        }
    }
}

std::string TrendsModel::Title() const {
    if (unit_ < 0)
        return "Trends";
    const UnitOfRecord& u = units_[unit_];
    return "Trends - " + (u.caption.empty() ? u.address : u.caption + " (" + u.address + ")");
}

std::vector<TimeTick> TrendsModel::TimeTicks() const {
    std::vector<TimeTick> ticks;
    const int64_t span = to_ - from_;
    if (span <= 0)
        return ticks;
    // About eight ticks, on round UTC times.
    static const int64_t steps[] = {kMinute,      2 * kMinute,  5 * kMinute, 10 * kMinute,
                                    15 * kMinute, 30 * kMinute, kHour,       2 * kHour,
                                    3 * kHour,    6 * kHour,    12 * kHour,  kDay,
                                    2 * kDay,     5 * kDay,     7 * kDay,    14 * kDay};
    int64_t step = 0;
    for (int64_t s : steps)
        if (span / s <= 10) {
            step = s;
            break;
        }
    if (step) {
        for (int64_t t = (FloorDiv(from_, step) + 1) * step; t <= to_; t += step) {
            if (t == from_)
                continue;
            const Civil c = CivilOf(t);
            const bool midnight = t % kDay == 0;
            ticks.push_back({t, step < kDay && !midnight
                                    ? Printf("%02d:%02d", c.hour, c.minute)
                                    : Printf("%02d %s", c.day, kMonths[c.month - 1])});
        }
        return ticks;
    }
    // Months: every one, two or three, on the first of the month.
    const int64_t months = span / (30 * kDay);
    const int every = months <= 13 ? 1 : months <= 26 ? 2 : 3;
    Civil c = CivilOf(from_);
    int year = c.year, month = c.month;
    for (;;) {
        if (++month > 12) {
            month = 1;
            ++year;
        }
        if ((month - 1) % every != 0)
            continue;
        const int64_t t = daysFromCivil(year, month, 1) * kDay;
        if (t > to_)
            break;
        ticks.push_back({t, month == 1 ? Printf("Jan %d", year) : kMonths[month - 1]});
    }
    return ticks;
}

std::string TrendsModel::ValueText(double v) {
    const double a = std::fabs(v);
    if (a == 0)
        return "0";
    if (a < 0.01 || a >= 1e7)
        return Printf("%.2e", v);
    return Printf(a >= 100 ? "%.0f" : a >= 10 ? "%.1f" : "%.2f", v);
}

std::string TrendsModel::CursorText(int64_t t) const {
    const Civil c = CivilOf(t);
    std::string text = to_ - from_ <= kDay ? Printf("%04d-%02d-%02d %02d:%02d:%02d UTC", c.year,
                                                    c.month, c.day, c.hour, c.minute, c.second)
                                           : Printf("%04d-%02d-%02d %02d:%02d UTC", c.year, c.month,
                                                    c.day, c.hour, c.minute);
    for (const TrendSeries& s : series_) {
        text += "   " + s.kind.label + " ";
        // The point whose step holds the instant; none across a pause or off the ends.
        const SeriesPoint* at = nullptr;
        for (const auto& [first, end] : s.runs) {
            const auto& pts = s.points;
            auto it = std::upper_bound(pts.begin() + first, pts.begin() + end, t,
                                       [](int64_t v, const SeriesPoint& p) { return v < p.utcMs; });
            if (it == pts.begin() + first)
                continue;
            const size_t i = static_cast<size_t>(it - pts.begin()) - 1;
            const int64_t step = i + 1 < end ? pts[i + 1].utcMs - pts[i].utcMs
                                 : i > first ? pts[i].utcMs - pts[i - 1].utcMs
                                             : Bucket();
            if (t - pts[i].utcMs <= step)
                at = &pts[i];
        }
        if (!at) {
            text += "-";
            continue;
        }
        text += ValueText(at->mean) + " " + s.kind.unit;
        if (at->count > 1)
            text += " (" + ValueText(Low(*at)) + " to " + ValueText(High(*at)) + ", " +
                    std::to_string(at->count) + " readings)";
    }
    // A journal entry within a few pixels of the cursor is read with the values.
    const int64_t near = 3 * Bucket();
    for (const TrendMark& m : marks_)
        if (std::llabs(m.utcMs - t) <= near) {
            const Civil mc = CivilOf(m.utcMs);
            text +=
                Printf("   %s at %02d:%02d:%02d", m.text.c_str(), mc.hour, mc.minute, mc.second);
        }
    return text;
}

std::vector<std::string> TrendsModel::CsvLines() const {
    std::string header = "time_utc";
    for (const TrendSeries& s : series_) {
        const std::string unit = s.kind.unit.empty() ? "" : " (" + s.kind.unit + ")";
        for (const std::string& column : {s.kind.label + unit, s.kind.label + " min" + unit,
                                          s.kind.label + " max" + unit, s.kind.label + " readings"})
            header += "," + CsvField(column);
    }
    std::vector<std::string> lines{header};
    // One row an instant: readings of one poll pass share theirs.
    std::vector<size_t> next(series_.size(), 0);
    for (;;) {
        int64_t t = std::numeric_limits<int64_t>::max();
        for (size_t k = 0; k < series_.size(); ++k)
            if (next[k] < series_[k].points.size())
                t = std::min(t, series_[k].points[next[k]].utcMs);
        if (t == std::numeric_limits<int64_t>::max())
            break;
        std::string row = isoUtcText(t);
        for (size_t k = 0; k < series_.size(); ++k) {
            const auto& pts = series_[k].points;
            if (next[k] < pts.size() && pts[next[k]].utcMs == t) {
                const SeriesPoint& p = pts[next[k]++];
                row +=
                    Printf(",%.10g,%.10g,%.10g,%d", p.mean, Low(p), High(p), std::max(p.count, 1));
            } else {
                row += ",,,,";
            }
        }
        lines.push_back(row);
    }
    return lines;
}

} // namespace linvar
