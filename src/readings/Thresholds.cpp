#include "readings/Thresholds.h"

#include <cstdio>

namespace linvar {

std::string ValueText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, (v != 0 && (v < 0.01 && v > -0.01)) ? "%.2g" : "%.1f", v);
    return buf;
}

void Thresholds::Observe(const std::string& address, const std::string& kind,
                         const std::string& label, const std::string& unit, double value,
                         std::vector<ThresholdEvent>& events) {
    const auto key = std::make_pair(address, kind);
    if (!tracks_.count(key))
        if (auto seed = seeds_.find({address, label}); seed != seeds_.end())
            tracks_[key].state = seed->second;
    Track& t = tracks_[key];
    t.beyond.resize(rules_.size(), 0);
    int to = 1;
    const ThresholdRule* cause = nullptr;
    for (size_t i = 0; i < rules_.size(); ++i) {
        const ThresholdRule& r = rules_[i];
        if (r.kind != kind)
            continue;
        const bool beyond = r.below ? value < r.level : value > r.level;
        t.beyond[i] = beyond ? t.beyond[i] + 1 : 0;
        const int state = r.fault ? 3 : 2;
        if (beyond && t.beyond[i] >= r.passes && state > to) {
            to = state;
            cause = &r;
        }
    }
    // A raised alarm stays while the reading is still beyond a level it has not yet held
    // for long enough: only a reading back within every level clears it.
    if (to < t.state) {
        bool within = true;
        for (size_t i = 0; i < rules_.size(); ++i)
            if (rules_[i].kind == kind && t.beyond[i] > 0)
                within = false;
        if (!within)
            return;
    }
    if (to == t.state)
        return;
    ThresholdEvent e{address, kind, label, t.state, to, {}};
    const std::string reading = ValueText(value) + (unit.empty() ? "" : " " + unit);
    if (cause)
        e.detail = label + (cause->below ? " low " : " high ") + reading +
                   (cause->below ? " < " : " > ") + ValueText(cause->level);
    else
        e.detail = label + " back " + reading;
    t.state = to;
    events.push_back(e);
}

void Thresholds::Seed(const std::string& address, const std::string& label, int state) {
    seeds_[{address, label}] = state;
}

int Thresholds::State(const std::string& address, const std::string& kind) const {
    auto it = tracks_.find({address, kind});
    return it == tracks_.end() ? 1 : it->second.state;
}

} // namespace linvar
