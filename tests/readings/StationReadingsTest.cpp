// The whole station with readings: a fade on the simulated unit crosses the level of the
// settings file, which the journal, the Alarms count and the export show, and clears;
// a history that cannot be opened is said once while polling goes on.

#include "StationHarness.h"

#include "export/StatusSnapshot.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace linvar;

namespace {

struct ReadingsStation : StationHarness {
    explicit ReadingsStation(const std::string& settings) {
        dir.write("SysSetup.txt", OneLinkSetup());
        if (!settings.empty())
            dir.write("Readings.cfg", settings);
        sim::Unit* u = bus.add("0012", "350");
        u->setMoving(true);
        Make();
        top->Activate(true);
    }
    std::vector<AlarmEntry> Entries(const std::string& event) const {
        std::vector<AlarmEntry> out;
        for (const AlarmEntry& e : top->Journal().Recent())
            if (e.event == event)
                out.push_back(e);
        return out;
    }
    int Minutes(int n) {
        Tick(n * 60 * 20);
        return n;
    }
};

} // namespace

TEST(StationReadings, AFadeCrossesTheLevelIntoTheJournalAndTheExportAndClears) {
    ReadingsStation s("interval = 1\r\nwarning ebno_db < 6 for 2\r\n");
    // The unit's Eb/No falls by 8 dB from the fourth minute, for ten minutes.
    s.bus.find("0012")->startFade(4 * 60000, 10 * 60000);
    s.Minutes(3);
    ASSERT_NE(s.top->readings(), nullptr);
    EXPECT_TRUE(s.Entries("Reading").empty());
    const std::string metrics = MetricsText(*s.top->Snapshot());
    EXPECT_NE(metrics.find(
                  "linvar_reading{address=\"0012\",link=\"1\",end=\"LOCAL\",reading=\"ebno_db\"} "),
              std::string::npos)
        << metrics;
    EXPECT_NE(metrics.find("reading=\"temp_c\"} "), std::string::npos);

    s.Minutes(6);
    auto raised = s.Entries("Reading");
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].address + " " + raised[0].from + ">" + raised[0].to + " " +
                  raised[0].detail.substr(0, 10) + s.Main().at("AlarmCount").text(),
              "0012 No fault>Warning Eb/No low 1 unacknowledged");
    EXPECT_TRUE(raised[0].detail.ends_with(" dB < 6.0")) << raised[0].detail;
    // The unit itself is still lime: its own state is not the reading's.
    EXPECT_EQ(colourName(s.Main().at("EndL1").background()), "lime");
    const std::string alarms = AlarmsJson(*s.top->Snapshot());
    EXPECT_NE(alarms.find("\"state\":\"Warning\""), std::string::npos) << alarms;

    s.Minutes(8);
    const auto all = s.Entries("Reading");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].to + " " + all[1].detail.substr(0, 11) + s.Main().at("AlarmCount").text(),
              "No fault Eb/No back ");

    // The history holds what the chart shows: the fade's low among the readings.
    s.top->ReadingsState()->History().Flush(); // the writer gathers a few seconds' worth
    const int64_t now = s.clock.utcMs();
    const auto points = s.top->readings()->series("0012", "ebno_db", now - 20 * 60000, now, 1000);
    ASSERT_GE(points.size(), 10u);
    const auto low =
        std::min_element(points.begin(), points.end(),
                         [](const SeriesPoint& a, const SeriesPoint& b) { return a.min < b.min; });
    EXPECT_LT(low->min, 6.0);

    // A unit that stops answering is read no more; its gauges go after two intervals.
    s.bus.find("0012")->inject(sim::Injection::silence());
    s.Minutes(3);
    EXPECT_EQ(MetricsText(*s.top->Snapshot()).find("linvar_reading"), std::string::npos);
}

TEST(StationReadings, OffOrUnopenableTheStationPollsOn) {
    ReadingsStation off("interval = off\r\n");
    off.Minutes(12);
    EXPECT_EQ(off.top->readings(), nullptr);
    for (const std::string& w : off.wire)
        EXPECT_EQ(w, "<0012/FLT?\r");
    EXPECT_FALSE(std::filesystem::exists(off.dir.path() / "Readings.sqlite"));

    ReadingsStation bad("interval = 1\r\nsometimes = yes\r\n");
    EXPECT_EQ(bad.person.reports,
              std::vector<std::string>{"Readings.cfg line 2: unknown setting \"sometimes\""});

    ReadingsStation s("interval = 1\r\n");
    s.top.reset();
    std::filesystem::remove(s.dir.path() / "Readings.sqlite");
    std::filesystem::create_directory(s.dir.path() / "Readings.sqlite");
    s.person.reports.clear();
    s.Make();
    s.top->Activate(true);
    s.Minutes(5);
    ASSERT_EQ(s.person.reports.size(), 1u);
    EXPECT_EQ(
        s.person.reports[0].rfind("The readings history Readings.sqlite could not be opened: ", 0),
        0u)
        << s.person.reports[0];
    ASSERT_NE(s.top->readings(), nullptr);
    EXPECT_NE(s.top->readings()->problem(), "");
    EXPECT_EQ(s.wire.back().rfind("<0012/", 0), 0u);
    EXPECT_GT(std::count(s.wire.begin(), s.wire.end(), "<0012/EBN?\r"), 2) << "readings go on";
}
