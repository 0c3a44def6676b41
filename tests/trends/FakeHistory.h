#pragma once
// A readings history in memory: the units, kinds and points a test gives, what it was asked
// for, and (like the store) points folded into spans when there are more than asked for.

#include "readings/ReadingsStore.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace linvar {

struct FakeHistory : ReadingsHistory {
    struct Ask {
        std::string address, kind;
        int64_t from, to;
        int maxPoints;
    };
    std::vector<UnitOfRecord> unitList;
    std::map<std::string, std::vector<ReadingKind>> kinds;
    std::map<std::pair<std::string, std::string>, std::vector<SeriesPoint>> points;
    std::string trouble;
    bool fold = true; // false: every point in range, however many were asked for
    mutable std::vector<Ask> asked;

    std::vector<UnitOfRecord> units() const override { return unitList; }
    std::vector<ReadingKind> kindsOf(const std::string& address) const override {
        auto it = kinds.find(address);
        return it == kinds.end() ? std::vector<ReadingKind>{} : it->second;
    }
    std::vector<SeriesPoint> series(const std::string& address, const std::string& kind,
                                    int64_t from, int64_t to, int maxPoints) const override {
        asked.push_back({address, kind, from, to, maxPoints});
        std::vector<SeriesPoint> out;
        auto it = points.find({address, kind});
        if (it == points.end())
            return out;
        const auto& all = it->second;
        auto lo = std::lower_bound(all.begin(), all.end(), from,
                                   [](const SeriesPoint& p, int64_t t) { return p.utcMs < t; });
        auto hi = std::upper_bound(lo, all.end(), to,
                                   [](int64_t t, const SeriesPoint& p) { return t < p.utcMs; });
        const int64_t n = hi - lo;
        if (!fold || n <= maxPoints || maxPoints <= 0)
            return {lo, hi};
        const int64_t width = (to - from) / maxPoints + 1;
        for (auto p = lo; p != hi; ++p) {
            const int64_t start = from + (p->utcMs - from) / width * width;
            if (out.empty() || out.back().utcMs != start) {
                out.push_back({start, p->mean, p->mean * p->count, p->mean, p->count});
                continue;
            }
            SeriesPoint& m = out.back();
            m.min = std::min(m.min, p->mean);
            m.max = std::max(m.max, p->mean);
            m.mean += p->mean * p->count;
            m.count += p->count;
        }
        for (SeriesPoint& m : out)
            m.mean /= m.count;
        return out;
    }
    std::string problem() const override { return trouble; }
};

// A year of one modem read every five minutes up to `endMs`: Eb/No and Rx level with a
// daily swing and noise, Tx power steady, the temperature following the seasons; a rain
// fade on the tenth day before the end and five days without readings a month before it.
inline FakeHistory YearOfOneUnit(int64_t endMs) {
    FakeHistory h;
    h.unitList = {{"0450", 1, "LOCAL", "Modem 1, Local end"},
                  {"0451", 1, "DISTANT", "Modem 1, Distant end"}};
    h.kinds["0450"] = {{"ebno_db", "Eb/No", "dB"},
                       {"rsl_dbm", "Rx level", "dBm"},
                       {"txpower_dbm", "Tx power", "dBm"},
                       {"temp_c", "Temperature", "\u00b0C"},
                       {"ber", "BER", ""}};
    h.kinds["0451"] = {{"ebno_db", "Eb/No", "dB"}};
    const int64_t step = 5 * 60 * 1000, day = 24 * 3600 * 1000LL;
    const int64_t start = endMs - 365 * day;
    uint32_t seed = 2026;
    auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24) - 0.5;
    };
    auto& ebno = h.points[{"0450", "ebno_db"}];
    auto& rsl = h.points[{"0450", "rsl_dbm"}];
    auto& tx = h.points[{"0450", "txpower_dbm"}];
    auto& temp = h.points[{"0450", "temp_c"}];
    auto& ber = h.points[{"0450", "ber"}];
    for (int64_t t = start; t <= endMs; t += step) {
        if (t > endMs - 35 * day && t < endMs - 30 * day)
            continue;
        const double daily = std::sin(double(t % day) / day * 2 * M_PI);
        const double season = std::cos(double(t - start) / (365.0 * day) * 2 * M_PI);
        const double fadeHours = double(t - (endMs - 10 * day)) / 3600000.0;
        const double fade = fadeHours > 0 && fadeHours < 3 ? 6 * std::sin(fadeHours / 3 * M_PI) : 0;
        const double e = 11.5 + 0.6 * daily + 0.4 * noise() - fade;
        ebno.push_back({t, e, e, e, 1});
        rsl.push_back({t, 0, -48 + 0.8 * daily + 0.5 * noise() - fade, 0, 1});
        tx.push_back({t, 0, 3.0 + 0.05 * noise(), 0, 1});
        temp.push_back({t, 0, 31 - 6 * season + 4 * daily + noise(), 0, 1});
        ber.push_back({t, 0, std::pow(10.0, -9 + fade), 0, 1});
    }
    return h;
}

} // namespace linvar
