// The readings history on disk: what a chart is given for short and long spans, what the
// export's CSV says, what retention keeps, and a file that cannot be had.

#include "TempDir.h"

#include "readings/ReadingsDatabase.h"
#include "readings/Thresholds.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace linvar;

namespace {

constexpr int64_t kHour = 3600000;
constexpr int64_t kDay = 24 * kHour;
// 2026-12-06T00:00:00Z
constexpr int64_t kStart = 20793 * kDay;

const UnitOfRecord kModem{"0101", 1, "LOCAL", "Modem 1, Local end"};
const ReadingKind kEbNo{"ebno_db", "Eb/No", "dB"};

// Every five minutes for `days`: 10 dB, but 4 dB from 06:00 to 06:30 each day.
void Fill(ReadingsDatabase& db, int days, int64_t from = kStart) {
    for (int64_t t = from; t < from + days * kDay; t += 300000) {
        const bool fade = (t % kDay) >= 6 * kHour && (t % kDay) < 6 * kHour + kHour / 2;
        db.Add(kModem, kEbNo, t, fade ? 4.0 : 10.0);
    }
    db.Flush();
}

int64_t Rows(const std::filesystem::path& file, const char* table) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, (std::string("SELECT count(*) FROM ") + table).c_str(), -1, &s, nullptr);
    const int64_t n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
    sqlite3_finalize(s);
    sqlite3_close(db);
    return n;
}

} // namespace

// A point as "minutes from the start xCOUNT MIN..MAX".
std::string Said(const SeriesPoint& p) {
    return std::to_string((p.utcMs - kStart) / 60000) + " x" + std::to_string(p.count) + " " +
           ValueText(p.min) + ".." + ValueText(p.max);
}

TEST(ReadingsDatabase, ShortSpansAreRawAndLongOnesMergedWithTheirExtremes) {
    TempDir dir;
    ReadingsDatabase db(dir.path() / "Readings.sqlite", {});
    Fill(db, 3);
    EXPECT_EQ(db.problem(), "");
    ASSERT_EQ(db.units().size(), 1u);
    EXPECT_EQ(db.units()[0].caption + " " + db.kindsOf("0101").at(0).label,
              "Modem 1, Local end Eb/No");

    // An hour: twelve readings as they are; a day in 48 half-hour spans of six readings.
    const auto hour = db.series("0101", "ebno_db", kStart + 6 * kHour, kStart + 7 * kHour - 1, 500);
    ASSERT_EQ(hour.size(), 12u);
    const auto day = db.series("0101", "ebno_db", kStart, kStart + kDay - 1, 48);
    ASSERT_EQ(day.size(), 48u);
    EXPECT_EQ(Said(hour[0]) + ", " + Said(hour[11]) + ", " + Said(day[12]) + ", " + Said(day[13]),
              "360 x1 4.0..4.0, 415 x1 10.0..10.0, 360 x6 4.0..4.0, 390 x6 10.0..10.0");

    // Three days in 10 points: from the hourly summaries, each span keeps the fade's low.
    const auto days = db.series("0101", "ebno_db", kStart, kStart + 3 * kDay - 1, 10);
    ASSERT_LE(days.size(), 10u);
    int total = 0;
    int lows = 0;
    for (const SeriesPoint& p : days) {
        total += p.count;
        lows += p.min == 4.0 && p.max == 10.0;
        EXPECT_TRUE(p.mean >= p.min && p.mean <= p.max && p.utcMs % kHour == 0) << Said(p);
    }
    EXPECT_EQ(total, 3 * 288);
    EXPECT_EQ(lows, 3);
    EXPECT_TRUE(db.series("0101", "rsl_dbm", kStart, kStart + kDay, 10).empty());
    EXPECT_TRUE(db.series("9999", "ebno_db", kStart, kStart + kDay, 10).empty());
}

TEST(ReadingsDatabase, TheCsvHasOneLineAReadingInUtc) {
    TempDir dir;
    ReadingsDatabase db(dir.path() / "Readings.sqlite", {});
    db.Add(kModem, kEbNo, kStart + 9 * kHour, 5.4);
    db.Add(kModem, {"rsl_dbm", "Receive level", "dBm"}, kStart + 9 * kHour, -45.5);
    db.Add(kModem, kEbNo, kStart + 9 * kHour + 300000, 1e-7);
    db.Add({"0102", 1, "DISTANT", "Modem 2, Local end"}, kEbNo, kStart + 9 * kHour, 9);
    db.Flush();
    EXPECT_EQ(db.Csv("0101", "ebno_db", kStart, kStart + kDay),
              "time_utc,address,link,end,reading,value,unit\n"
              "2026-12-06T09:00:00Z,0101,1,LOCAL,ebno_db,5.4,dB\n"
              "2026-12-06T09:05:00Z,0101,1,LOCAL,ebno_db,1e-07,dB\n");
    EXPECT_EQ(db.Csv("0101", "", kStart, kStart + 9 * kHour),
              "time_utc,address,link,end,reading,value,unit\n"
              "2026-12-06T09:00:00Z,0101,1,LOCAL,ebno_db,5.4,dB\n"
              "2026-12-06T09:00:00Z,0101,1,LOCAL,rsl_dbm,-45.5,dBm\n");
}

TEST(ReadingsDatabase, RetentionDropsOldReadingsAndKeepsHoursForTheWholeSpan) {
    TempDir dir;
    const auto file = dir.path() / "Readings.sqlite";
    {
        ReadingsDatabase db(file, {10, 2});
        Fill(db, 12);
    }
    // Two days of readings; ten days of hours (and the hour the pruning day began in).
    const int64_t raw = Rows(file, "reading"), hours = Rows(file, "hourly");
    EXPECT_TRUE(raw >= 2 * 288 && raw <= 3 * 288) << raw;
    EXPECT_TRUE(hours >= 10 * 24 && hours <= 11 * 24 + 1) << hours;
    // Beyond the raw days a span comes from the hours even when it is short.
    ReadingsDatabase again(file, {10, 2});
    const auto old =
        again.series("0101", "ebno_db", kStart + 5 * kDay, kStart + 5 * kDay + 2 * kHour - 1, 500);
    ASSERT_EQ(old.size(), 2u);
    EXPECT_EQ(Said(old[0]), "7200 x12 10.0..10.0");
    // A span starting just the raw days before the newest reading is still raw.
    const int64_t edge = kStart + 10 * kDay - 300000;
    EXPECT_EQ(again.series("0101", "ebno_db", edge, edge + kHour - 1, 500).size(), 12u);
    // The view gives one row a reading.
    EXPECT_EQ(Rows(file, "readings"), Rows(file, "reading"));
}

TEST(ReadingsDatabase, AFileThatCannotBeHadIsSaidOnceAndNothingBlocks) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "Readings.sqlite");
    dir.write("garbage.sqlite", std::string(4096, 'x'));
    for (const char* name : {"Readings.sqlite", "garbage.sqlite", "missing/Readings.sqlite"}) {
        ReadingsDatabase db(dir.path() / name, {});
        Fill(db, 1);
        const auto report = db.TakeReport();
        const std::string said = "The readings history " +
                                 std::filesystem::path(name).filename().string() +
                                 " could not be opened: ";
        ASSERT_EQ(report.value_or("").substr(0, said.size()), said);
        EXPECT_EQ(db.problem(), *report);
        Fill(db, 1);
        EXPECT_FALSE(db.TakeReport().has_value()) << "said once";
        EXPECT_TRUE(db.units().empty() &&
                    db.series("0101", "ebno_db", kStart, kStart + kDay, 10).empty());
    }
}
