// Levels on readings: how many passes beyond a level raise a warning or a fault, what
// clears it, and the words of the journal entry.

#include "readings/Thresholds.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

// The events of a run of Eb/No readings of one unit, as "from>to detail".
std::vector<std::string> Events(const std::vector<std::string>& settings,
                                const std::vector<double>& values) {
    Thresholds t(ReadingsSettings::Parse(settings).thresholds);
    std::vector<std::string> out;
    for (double v : values) {
        std::vector<ThresholdEvent> events;
        t.Observe("0101", "ebno_db", "Eb/No", "dB", v, events);
        // Another unit and another kind never change this one's state.
        t.Observe("0202", "ebno_db", "Eb/No", "dB", 1.0, events);
        t.Observe("0101", "temp_c", "Temperature", "C", 99, events);
        for (const ThresholdEvent& e : events)
            if (e.address == "0101" && e.kind == "ebno_db")
                out.push_back(std::to_string(e.from) + ">" + std::to_string(e.to) + " " + e.detail);
    }
    return out;
}

} // namespace

TEST(Thresholds, PersistenceRaisesAndTheFirstReadingBackClears) {
    const std::vector<std::string> both = {"warning ebno_db < 6 for 2", "fault ebno_db < 4 for 2"};
    struct Case {
        std::vector<std::string> settings;
        std::vector<double> values;
        std::vector<std::string> want;
    } cases[] = {
        {{"warning ebno_db < 6 for 2"},
         {7, 5.4, 7, 5.4, 5.0, 5.2, 6.0, 7.1},
         {"1>2 Eb/No low 5.0 dB < 6.0", "2>1 Eb/No back 6.0 dB"}},
        {{"warning ebno_db < 6"}, {5.9}, {"1>2 Eb/No low 5.9 dB < 6.0"}},
        {both,
         {5, 5, 3, 3, 5, 7},
         {"1>2 Eb/No low 5.0 dB < 6.0", "2>3 Eb/No low 3.0 dB < 4.0", "3>1 Eb/No back 7.0 dB"}},
        // A fault still beyond the warning level stays until the reading is back.
        {both, {3, 3, 5, 5, 5}, {"1>3 Eb/No low 3.0 dB < 4.0"}},
        {{"fault ebno_db > 15 for 1"},
         {14, 15.5, 14},
         {"1>3 Eb/No high 15.5 dB > 15.0", "3>1 Eb/No back 14.0 dB"}},
        {{"warning temp_c > 1"}, {1, 2, 3}, {}},
        {{}, {0, 0, 0}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Events(c.settings, c.values), c.want)
            << c.settings.size() << " " << c.values.size();
}

TEST(Thresholds, ValuesAreSaidAsTheOperatorReadsThem) {
    EXPECT_EQ(ValueText(5.44) + " " + ValueText(-45) + " " + ValueText(1e-6) + " " + ValueText(0),
              "5.4 -45.0 1e-06 0.0");
}

TEST(Thresholds, AnAlarmRaisedBeforeAStartIsKeptOrClearedByTheFirstReading) {
    for (double first : {5.0, 7.0}) {
        Thresholds t(ReadingsSettings::Parse({"warning ebno_db < 6 for 2"}).thresholds);
        t.Seed("0101", "Eb/No", 2);
        std::vector<ThresholdEvent> events;
        t.Observe("0101", "ebno_db", "Eb/No", "dB", first, events);
        EXPECT_EQ(t.State("0101", "ebno_db"), first < 6 ? 2 : 1);
        std::string said;
        for (const ThresholdEvent& e : events)
            said += e.detail;
        EXPECT_EQ(said, first < 6 ? "" : "Eb/No back 7.0 dB");
    }
}
