// The Trends window's model on a fake history: what it asks the history for, what the chart
// draws on which axis, what the cursor reads, the CSV the operator exports, and the alarm
// journal's marks read from the journal files.

#include "trends/TrendsModel.h"
#include "TempDir.h"
#include "alarms/AlarmJournal.h"
#include "trends/FakeHistory.h"
#include "trends/JournalMarks.h"
#include "ui/Clock.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

constexpr int64_t kMin = 60 * 1000, kHour = 60 * kMin, kDay = 24 * kHour;
// 2026-12-07 12:00:00 UTC
const int64_t kNow = daysFromCivil(2026, 12, 7) * kDay + 12 * kHour;

struct Rig {
    FakeHistory h;
    std::vector<TrendMark> marks;
    std::unique_ptr<TrendsModel> m;

    Rig() {
        h.unitList = {{"0100", 1, "LOCAL", "Modem 1, Local end"},
                      {"0200", 2, "LOCAL", "Modem 1, Local end"},
                      {"0201", 2, "DISTANT", "Modem 1, Distant end"}};
        h.kinds["0100"] = {{"ebno", "Eb/No", "dB"},   {"rsl", "Rx level", "dBm"},
                           {"tx", "Tx power", "dBm"}, {"esno", "Es/No", "dB"},
                           {"temp", "Temp", "C"},     {"off", "Offset, Rx", "Hz"}};
        h.kinds["0200"] = {{"rsl", "Rx level", "dBm"}, {"ebno", "Eb/No", "dB"}};
        h.kinds["0201"] = {{"ebno", "Eb/No", "dB"}};
    }
    TrendsModel& Open(const std::string& address = {}, int room = 60) {
        m = std::make_unique<TrendsModel>(
            &h, [this](const UnitOfRecord&, int64_t, int64_t) { return marks; },
            [] { return kNow; }, address, room);
        return *m;
    }
    // What the history was asked last: "address kind from..to (minutes before now) points".
    std::string Asked() const {
        const FakeHistory::Ask& a = h.asked.back();
        return a.address + " " + a.kind + " " + std::to_string((kNow - a.from) / kMin) + ".." +
               std::to_string((kNow - a.to) / kMin) + " " + std::to_string(a.maxPoints);
    }
    // Readings of `kind` at 0100, `value(i)` every `step` from `from`.
    void Fill(const std::string& kind, int64_t from, int64_t step, int n, double base = 10) {
        auto& pts = h.points[{"0100", kind}];
        for (int i = 0; i < n; ++i)
            pts.push_back({from + i * step, 0, base + i % 7, 0, 1});
    }
};

TEST(TrendsModel, OpensOnAUnitAndAsksTheHistoryForTheLastDay) {
    // Room for 250 points over a day: one every 10 min, a round length.
    // "link: what the history was asked once: title"
    const std::pair<std::string, std::string> cases[] = {
        {"", "1: 0100 ebno 1440..0 144: Trends - Modem 1, Local end (0100)"},
        {"0201", "2: 0201 ebno 1440..0 144: Trends - Modem 1, Distant end (0201)"},
        {"0200", "2: 0200 rsl 1440..0 144: Trends - Modem 1, Local end (0200)"},
        {"9999", "1: 0100 ebno 1440..0 144: Trends - Modem 1, Local end (0100)"},
    };
    for (const auto& [address, want] : cases) {
        Rig r;
        TrendsModel& m = r.Open(address, 250);
        EXPECT_EQ(std::to_string(m.Link()) + ": " + r.Asked() + ": " + m.Title(), want);
        EXPECT_EQ(r.h.asked.size(), 1u);
    }
}

TEST(TrendsModel, LinksAndUnitsAndTheReadingsKeptAcrossUnits) {
    Rig r;
    TrendsModel& m = r.Open();
    EXPECT_EQ(m.Links(), (std::vector<int>{1, 2}));
    ASSERT_EQ(m.UnitsOn(2).size(), 2u);
    EXPECT_EQ(m.UnitsOn(2)[1].address, "0201");
    EXPECT_EQ(m.Toggle("rsl") + m.Toggle("tx"), "");
    // Link 2's first unit has Rx level and Eb/No, not Tx power.
    m.ChooseLink(2);
    EXPECT_EQ(m.Unit()->address, "0200");
    EXPECT_EQ(m.Chosen(), (std::vector<std::string>{"ebno", "rsl"}));
    // The distant unit has none of Rx level: what it has is chosen.
    m.Toggle("ebno");
    EXPECT_TRUE(m.ChooseUnit("0201"));
    EXPECT_EQ(m.Chosen(), (std::vector<std::string>{"ebno"}));
    EXPECT_FALSE(m.ChooseUnit("0999"));
}

TEST(TrendsModel, SpansAskTheHistoryForTheirTime) {
    Rig r;
    TrendsModel& m = r.Open();
    for (auto [span, asked] : std::vector<std::pair<TrendSpan, std::string>>{
             {TrendSpan::Hour, "0100 ebno 60..0 60"},
             {TrendSpan::Day, "0100 ebno 1440..0 48"},
             {TrendSpan::Week, "0100 ebno 10080..0 56"},
             {TrendSpan::Month, "0100 ebno 43200..0 60"},
             {TrendSpan::Year, "0100 ebno 525600..0 53"}}) {
        m.SetSpan(span);
        EXPECT_EQ(r.Asked(), asked);
    }
    EXPECT_EQ(m.SetCustom(kNow - 3 * kDay, kNow - 2 * kDay), "");
    EXPECT_EQ(r.Asked(), "0100 ebno 4320..2880 48");
    EXPECT_EQ(m.SetCustom(kNow, kNow), "The range must end after it begins.");
    EXPECT_EQ(m.From(), kNow - 3 * kDay);
    // Back to a preset and to the custom range again: the range is remembered.
    m.SetSpan(TrendSpan::Hour);
    m.SetSpan(TrendSpan::Custom);
    EXPECT_EQ(r.Asked(), "0100 ebno 4320..2880 48");
}

TEST(TrendsModel, ReadingsGoOnTwoAxesByUnitOfMeasure) {
    // A step: the reading toggled, then the axis of each chosen reading and the axes' units.
    const std::pair<const char*, std::string> steps[] = {
        {"rsl", "01 dB|dBm"},
        {"esno", "010 dB|dBm"},
        {"temp",
         "Two units of measure at most on one chart: Temp (C) needs a third axis. 010 dB|dBm"},
        {"tx", "0101 dB|dBm"},
        {"off", "Four readings at most on one chart. 0101 dB|dBm"},
        // The first reading goes: Rx level's unit takes the left axis.
        {"ebno", "010 dBm|dB"},
        {"esno", "00 dBm|"},
        {"temp", "001 dBm|C"},
    };
    Rig r;
    TrendsModel& m = r.Open();
    for (const auto& [toggle, want] : steps) {
        const std::string refusal = m.Toggle(toggle);
        std::string said = refusal.empty() ? "" : refusal + " ";
        for (const TrendSeries& ts : m.Series())
            said += std::to_string(ts.axis);
        EXPECT_EQ(said + " " + m.Axis(0).unit + "|" + m.Axis(1).unit, want) << toggle;
        EXPECT_TRUE(refusal.empty() || m.Notice() == refusal) << m.Notice();
    }
}

TEST(TrendsModel, MoreReadingsThanRoomAreMergedIntoABand) {
    Rig r;
    r.h.fold = false; // the history gives more than asked: 12 for room for 10
    auto& pts = r.h.points[{"0100", "ebno"}];
    pts = {{kNow - kDay, 9, 10, 11, 3}, {kNow - 23 * kHour, 13, 14, 15, 2}};
    r.Fill("ebno", kNow - 18 * kHour, kMin, 10);
    TrendsModel& m = r.Open({}, 10);
    // Three-hour points: the first two readings' extremes, and their mean by count.
    std::string merged;
    for (const SeriesPoint& p : m.Series()[0].points)
        merged += std::to_string((kNow - p.utcMs) / kMin) + ":" + TrendsModel::ValueText(p.min) +
                  "/" + TrendsModel::ValueText(p.mean) + "/" + TrendsModel::ValueText(p.max) + "x" +
                  std::to_string(p.count) + " ";
    EXPECT_EQ(merged, "1440:9.00/11.6/15.0x5 1080:10.0/12.4/16.0x10 ");
    EXPECT_TRUE(m.Series()[0].band);
    // Fewer readings than room: drawn as they are, with no band, and the axis holds
    // their values (raw readings carry no min and max of their own).
    pts.clear();
    r.Fill("ebno", kNow - 60 * kMin, kMin, 60);
    m.SetRoom(100);
    m.SetSpan(TrendSpan::Hour);
    EXPECT_TRUE(m.Series()[0].points.size() == 60u && !m.Series()[0].band);
    EXPECT_EQ(TrendsModel::ValueText(m.Axis(0).min) + ".." + TrendsModel::ValueText(m.Axis(0).max),
              "9.70..16.3");
}

TEST(TrendsModel, APauseInTheReadingsBreaksTheLine) {
    Rig r;
    r.Fill("ebno", kNow - 50 * kMin, kMin, 20);
    r.Fill("ebno", kNow - 25 * kMin, kMin, 10); // six minutes without readings before
    r.Fill("ebno", kNow - 13 * kMin, kMin, 13); // three here, which is no pause
    TrendsModel& m = r.Open();
    m.SetSpan(TrendSpan::Hour);
    using Runs = std::vector<std::pair<size_t, size_t>>;
    EXPECT_EQ(m.Series()[0].runs, (Runs{{0, 20}, {20, 43}}));
    // The cursor reads the last reading before the pause, and nothing in it.
    EXPECT_EQ(m.CursorText(kNow - 31 * kMin + 30000), "2026-12-07 11:29:30 UTC   Eb/No 15.0 dB");
    EXPECT_EQ(m.CursorText(kNow - 28 * kMin), "2026-12-07 11:32:00 UTC   Eb/No -");
}

TEST(TrendsModel, TheCursorReadsTimeValuesAndNearbyJournalEntries) {
    Rig r;
    r.h.points[{"0100", "ebno"}] = {{kNow - 40 * kMin, 0, 9.8512, 0, 1},
                                    {kNow - 30 * kMin, 9.1, 9.6, 10.4, 12},
                                    {kNow - 20 * kMin, 0, 9.7, 0, 1}};
    r.h.points[{"0100", "rsl"}] = {{kNow - 40 * kMin, 0, -45.23, 0, 1}};
    r.marks = {{kNow - 29 * kMin - 45000, "Fault", TrendMark::Kind::Alarm}};
    TrendsModel& m = r.Open();
    m.Toggle("rsl");
    m.SetSpan(TrendSpan::Hour);
    struct Case {
        int64_t at;
        std::string text;
    } cases[] = {
        {kNow - 40 * kMin + 20000, "2026-12-07 11:20:20 UTC   Eb/No 9.85 dB   Rx level -45.2 dBm"},
        // A lone reading is read for a pixel's time only.
        {kNow - 35 * kMin, "2026-12-07 11:25:00 UTC   Eb/No 9.85 dB   Rx level -"},
        {kNow - 28 * kMin,
         "2026-12-07 11:32:00 UTC   Eb/No 9.60 dB (9.10 to 10.4, 12 readings)   Rx level -"
         "   Fault at 11:30:15"},
        {kNow - 41 * kMin, "2026-12-07 11:19:00 UTC   Eb/No -   Rx level -"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m.CursorText(c.at), c.text);
    // Longer spans read to the minute.
    m.SetSpan(TrendSpan::Week);
    EXPECT_EQ(m.CursorText(kNow - 35 * kMin).substr(0, 21), "2026-12-07 11:25 UTC ");
}

TEST(TrendsModel, CsvHasOneHeaderRowWithUnitsAndOneRowAnInstantInUtc) {
    Rig r;
    r.h.points[{"0100", "ebno"}] = {{kNow - 2 * kMin, 9.1, 9.6, 10.25, 12},
                                    {kNow - kMin + 250, 0, 9.75, 0, 1}};
    r.h.points[{"0100", "off"}] = {{kNow - 2 * kMin, 0, -1200, 0, 1}};
    TrendsModel& m = r.Open();
    m.Toggle("off");
    EXPECT_EQ(m.CsvLines(), (std::vector<std::string>{
                                "time_utc,Eb/No (dB),Eb/No min (dB),Eb/No max (dB),Eb/No "
                                "readings,\"Offset, Rx (Hz)\",\"Offset, Rx min (Hz)\","
                                "\"Offset, Rx max (Hz)\",\"Offset, Rx readings\"",
                                "2026-12-07T11:58:00Z,9.6,9.1,10.25,12,-1200,-1200,-1200,1",
                                "2026-12-07T11:59:00.250Z,9.75,9.75,9.75,1,,,,",
                            }));
}

TEST(TrendsModel, NoticesSayWhyTheChartIsEmpty) {
    struct Case {
        std::string trouble;
        bool units, history;
        std::string notice;
    } cases[] = {
        {"", true, false, "Readings are not being kept: the readings history is off."},
        {"disk full", true, true, "The readings history cannot be read: disk full"},
        {"", false, true, "No readings have been kept yet."},
        {"", true, true, "No readings of this unit in this span."},
    };
    for (const Case& c : cases) {
        Rig r;
        r.h.trouble = c.trouble;
        if (!c.units)
            r.h.unitList.clear();
        TrendsModel m(c.history ? &r.h : nullptr, nullptr, [] { return kNow; });
        EXPECT_EQ(m.Notice(), c.notice);
        EXPECT_TRUE(m.Series().empty() || m.Series()[0].points.empty());
    }
}

TEST(TrendsModel, TimeAxisTicksFallOnRoundUtcInstants) {
    Rig r;
    TrendsModel& m = r.Open();
    auto labels = [&m] {
        std::string s;
        for (const TimeTick& t : m.TimeTicks())
            s += t.label + "|";
        return s;
    };
    const std::pair<TrendSpan, const char*> spans[] = {
        {TrendSpan::Hour, "11:10|11:20|11:30|11:40|11:50|12:00|"},
        {TrendSpan::Year, "Jan 2026|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec|"},
        {TrendSpan::Day, "15:00|18:00|21:00|07 Dec|03:00|06:00|09:00|12:00|"}};
    for (const auto& [span, want] : spans) {
        m.SetSpan(span);
        EXPECT_EQ(labels(), want);
    }
    EXPECT_EQ(m.TimeTicks()[3].utcMs, daysFromCivil(2026, 12, 7) * kDay);
    m.SetCustom(kNow - 11 * kMin, kNow); // eleven minutes: every two
    EXPECT_EQ(labels(), "11:50|11:52|11:54|11:56|11:58|12:00|");
    m.SetCustom(kNow - 700 * kDay, kNow - 10 * kDay);
    EXPECT_EQ(labels(), "Mar|May|Jul|Sep|Nov|Jan 2026|Mar|May|Jul|Sep|Nov|");
}

TEST(JournalMarks, TheUnitsEntriesOfTheSpanFromTheDailyFiles) {
    TempDir dir;
    setenv("TZ", "UTC", 1);
    tzset();
    const std::string head = std::string(AlarmJournal::kHeader) + "\r\n";
    dir.write("Alarms-20261206.csv",
              head + "2026-12-06,23:59:00,State,1,LOCAL,Modem 1,0100,L1,No fault,Fault,\r\n");
    dir.write("Alarms-20261207.csv",
              head + "2026-12-07,08:00:00,State,1,LOCAL,Modem 1,0100,L1,Fault,No fault,\r\n" +
                  "2026-12-07,08:01:00,State,2,LOCAL,Modem 1,0200,L2,No fault,Fault,\r\n" +
                  "2026-12-07,08:02:00,Acknowledged,1,LOCAL,Modem 1,0100,L1,,,\r\n" +
                  "2026-12-07,08:02:30,Reading,1,LOCAL,Modem 1,0100,L1,No fault,Warning,"
                  "Eb/No low 5.4 dB < 6.0\r\n" +
                  "2026-12-07,08:03:00,Configuration,1,LOCAL,Modem 1,0100,L1,,,"
                  "Configuration changed\r\n" +
                  "2026-12-07,13:00:00,State,1,LOCAL,Modem 1,0100,L1,No fault,Fault,\r\n");
    const auto marks = JournalMarks(dir.path())({"0100", 1, "LOCAL", ""}, kNow - 13 * kHour, kNow);
    std::string seen;
    for (const TrendMark& m : marks)
        seen += std::to_string((kNow - m.utcMs) / kMin) + " " + m.text + " " +
                "ACN"[static_cast<int>(m.kind)] + "|";
    EXPECT_EQ(seen, "721 Fault A|240 No fault C|237 Eb/No low 5.4 dB < 6.0 A|237 "
                    "Configuration changed N|");
}

} // namespace
