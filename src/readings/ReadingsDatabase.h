#pragma once
// The readings history in an SQLite file of the data folder (Readings.sqlite, WAL). One
// writer thread owns the writing connection: the tick only queues readings. Every
// reading is kept for the raw days; a summary per hour (min, mean, max) for the whole
// retention, so a year is read from some nine thousand rows rather than a hundred
// thousand. The view "readings" gives one row per reading (time UTC, address, link,
// end, reading, value, unit) for whoever opens the file.
//
// A file that cannot be opened or written is said once (TakeReport) and the station goes
// on: readings are then dropped.

#include "readings/ReadingsStore.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct sqlite3;

namespace linvar {

class ReadingsDatabase : public ReadingsHistory {
public:
    static constexpr const char* kFileName = "Readings.sqlite";
    struct Options {
        int retentionDays = 400;
        int rawDays = 31;
    };

    ReadingsDatabase(std::filesystem::path file, Options options);
    ~ReadingsDatabase() override;
    ReadingsDatabase(const ReadingsDatabase&) = delete;
    ReadingsDatabase& operator=(const ReadingsDatabase&) = delete;

    // Queued for the writer; never waits for the disk.
    void Add(const UnitOfRecord& unit, const ReadingKind& kind, int64_t utcMs, double value);
    // Waits until everything queued is written (tests, benchmarks, closing).
    void Flush();
    // The problem not yet said, once.
    std::optional<std::string> TakeReport();

    std::vector<UnitOfRecord> units() const override;
    std::vector<ReadingKind> kindsOf(const std::string& address) const override;
    std::vector<SeriesPoint> series(const std::string& address, const std::string& kind,
                                    int64_t fromMs, int64_t toMs, int maxPoints) const override;
    std::string problem() const override;

    // The readings of one unit between two instants as CSV: "time_utc,address,link,end,
    // reading,value,unit", one line a reading, oldest first.
    std::string Csv(const std::string& address, const std::string& kind, int64_t fromMs,
                    int64_t toMs) const;

private:
    struct Item {
        UnitOfRecord unit;
        ReadingKind kind;
        int64_t utcMs;
        double value;
    };
    void Writer();
    bool Open();
    void WriteBatch(std::vector<Item>& batch);
    void Prune(int64_t nowMs);
    void Fail(const std::string& what);
    int64_t SeriesId(const Item& item);
    bool Reader() const;

    std::filesystem::path file_;
    Options options_;
    sqlite3* writeDb_ = nullptr;
    mutable sqlite3* readDb_ = nullptr;
    mutable std::mutex readMutex_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Item> queue_;
    bool busy_ = false;
    bool stop_ = false;
    int flushing_ = 0; // callers waiting in Flush: the writer does not wait to collect
    std::map<std::pair<std::string, std::string>, int64_t> seriesIds_; // writer's own
    int64_t prunedDay_ = -1;

    mutable std::mutex problemMutex_;
    std::string problem_;
    bool reported_ = false;
    std::thread thread_;
};

} // namespace linvar
