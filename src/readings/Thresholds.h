#pragma once
// The levels of the readings settings applied to each new reading: a reading beyond a
// level for the rule's number of passes in a row raises a warning or a fault; the first
// reading back within the levels clears it. Each change is one event, in the words the
// alarm journal keeps ("Eb/No low 5.4 dB < 6.0").

#include "readings/ReadingsSettings.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace linvar {

struct ThresholdEvent {
    std::string address;
    std::string kind;  // "ebno_db"
    std::string label; // "Eb/No"
    int from = 1;      // state codes: 1 no fault, 2 warning, 3 fault
    int to = 1;
    std::string detail; // "Eb/No low 5.4 dB < 6.0", "Eb/No back 7.1 dB"
};

class Thresholds {
public:
    explicit Thresholds(std::vector<ThresholdRule> rules) : rules_(std::move(rules)) {}
    bool Empty() const { return rules_.empty(); }
    // A new reading; the change it makes, if any, is added to `events`.
    void Observe(const std::string& address, const std::string& kind, const std::string& label,
                 const std::string& unit, double value, std::vector<ThresholdEvent>& events);
    // A state raised before the station started (the journal's active alarms): the first
    // reading of that label decides whether it stays.
    void Seed(const std::string& address, const std::string& label, int state);
    // The state now of one reading of one unit (1 when none is raised).
    int State(const std::string& address, const std::string& kind) const;

private:
    struct Track {
        int state = 1;
        std::vector<int> beyond; // readings in a row beyond each rule's level
    };
    std::vector<ThresholdRule> rules_;
    std::map<std::pair<std::string, std::string>, Track> tracks_;
    std::map<std::pair<std::string, std::string>, int> seeds_; // by address and label
};

// "5.4", "1e-07": a value as an alarm text says it.
std::string ValueText(double v);

} // namespace linvar
