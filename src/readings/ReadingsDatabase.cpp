#include "readings/ReadingsDatabase.h"

#include "ui/Clock.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace linvar {

namespace {

constexpr const char* kSchema = R"(
PRAGMA journal_mode=WAL;
PRAGMA synchronous=NORMAL;
CREATE TABLE IF NOT EXISTS series(
    id INTEGER PRIMARY KEY, address TEXT NOT NULL, link INTEGER, end_name TEXT, caption TEXT,
    kind TEXT NOT NULL, label TEXT, unit TEXT, UNIQUE(address, kind));
CREATE TABLE IF NOT EXISTS reading(
    series INTEGER NOT NULL, t INTEGER NOT NULL, value REAL, PRIMARY KEY(series, t))
    WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS hourly(
    series INTEGER NOT NULL, hour INTEGER NOT NULL, min REAL, sum REAL, max REAL,
    count INTEGER, PRIMARY KEY(series, hour)) WITHOUT ROWID;
CREATE VIEW IF NOT EXISTS readings AS
    SELECT strftime('%Y-%m-%dT%H:%M:%SZ', r.t, 'unixepoch') AS time_utc, s.address, s.link,
           s.end_name AS "end", s.kind AS reading, r.value, s.unit
    FROM reading r JOIN series s ON s.id = r.series;
)";

// A prepared statement that finalises itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        ok_ = sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) == SQLITE_OK;
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return ok_; }
    Statement& bind(int i, int64_t v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    Statement& bind(int i, double v) {
        sqlite3_bind_double(s_, i, v);
        return *this;
    }
    Statement& bind(int i, const std::string& v) {
        sqlite3_bind_text(s_, i, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool row() { return ok_ && sqlite3_step(s_) == SQLITE_ROW; }
    bool run() {
        if (!ok_)
            return false;
        const int rc = sqlite3_step(s_);
        sqlite3_reset(s_);
        return rc == SQLITE_DONE || rc == SQLITE_ROW;
    }
    int64_t integer(int c) { return sqlite3_column_int64(s_, c); }
    double real(int c) { return sqlite3_column_double(s_, c); }
    std::string text(int c) {
        const unsigned char* t = sqlite3_column_text(s_, c);
        return t ? reinterpret_cast<const char*>(t) : "";
    }

private:
    sqlite3_stmt* s_ = nullptr;
    bool ok_ = false;
};

std::string Message(sqlite3* db) {
    return db ? sqlite3_errmsg(db) : "out of memory";
}

std::string Number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

} // namespace

ReadingsDatabase::ReadingsDatabase(std::filesystem::path file, Options options)
    : file_(std::move(file)), options_(options) {
    thread_ = std::thread([this] { Writer(); });
}

ReadingsDatabase::~ReadingsDatabase() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
    sqlite3_close(writeDb_);
    sqlite3_close(readDb_);
}

void ReadingsDatabase::Add(const UnitOfRecord& unit, const ReadingKind& kind, int64_t utcMs,
                           double value) {
    {
        std::lock_guard lock(mutex_);
        // A disk that cannot keep up must not take the station's memory: the oldest go.
        if (queue_.size() >= 100000)
            queue_.pop_front();
        queue_.push_back({unit, kind, utcMs, value});
        if (queue_.size() > 1)
            return; // the writer is awake already, collecting
    }
    wake_.notify_one();
}

void ReadingsDatabase::Flush() {
    std::unique_lock lock(mutex_);
    ++flushing_;
    wake_.notify_all();
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
    --flushing_;
}

std::optional<std::string> ReadingsDatabase::TakeReport() {
    std::lock_guard lock(problemMutex_);
    if (problem_.empty() || reported_)
        return std::nullopt;
    reported_ = true;
    return problem_;
}

std::string ReadingsDatabase::problem() const {
    std::lock_guard lock(problemMutex_);
    return problem_;
}

void ReadingsDatabase::Fail(const std::string& what) {
    std::lock_guard lock(problemMutex_);
    if (problem_ != what)
        reported_ = false;
    problem_ = what;
}

bool ReadingsDatabase::Open() {
    if (writeDb_)
        return true;
    const std::string name = file_.filename().string();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file_.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        Fail("The readings history " + name + " could not be opened: " + Message(db));
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 2000);
    char* error = nullptr;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, &error) != SQLITE_OK) {
        Fail("The readings history " + name +
             " could not be opened: " + (error ? error : Message(db)));
        sqlite3_free(error);
        sqlite3_close(db);
        return false;
    }
    writeDb_ = db;
    return true;
}

void ReadingsDatabase::Writer() {
    std::unique_lock lock(mutex_);
    // Opened at once: a folder that cannot take the file is said before any reading.
    lock.unlock();
    Open();
    lock.lock();
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        // Readings come a few a second: one transaction for a few seconds' worth keeps
        // the disk and the processor quiet.
        wake_.wait_for(lock, std::chrono::seconds(2),
                       [this] { return stop_ || flushing_ || queue_.size() >= 1000; });
        if (queue_.empty() && stop_)
            break;
        std::vector<Item> batch(std::make_move_iterator(queue_.begin()),
                                std::make_move_iterator(queue_.end()));
        queue_.clear();
        busy_ = true;
        lock.unlock();
        WriteBatch(batch);
        lock.lock();
        busy_ = false;
        if (queue_.empty())
            idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

int64_t ReadingsDatabase::SeriesId(const Item& item) {
    const auto key = std::make_pair(item.unit.address, item.kind.id);
    if (auto it = seriesIds_.find(key); it != seriesIds_.end())
        return it->second;
    Statement insert(writeDb_,
                     "INSERT INTO series(address, link, end_name, caption, kind, label, unit) "
                     "VALUES(?,?,?,?,?,?,?) ON CONFLICT(address, kind) DO UPDATE SET "
                     "link = excluded.link, end_name = excluded.end_name, caption = "
                     "excluded.caption, label = excluded.label, unit = excluded.unit");
    insert.bind(1, item.unit.address)
        .bind(2, int64_t{item.unit.link})
        .bind(3, item.unit.end)
        .bind(4, item.unit.caption)
        .bind(5, item.kind.id)
        .bind(6, item.kind.label)
        .bind(7, item.kind.unit);
    if (!insert.run())
        return -1;
    Statement select(writeDb_, "SELECT id FROM series WHERE address = ? AND kind = ?");
    select.bind(1, item.unit.address).bind(2, item.kind.id);
    if (!select.row())
        return -1;
    const int64_t id = select.integer(0);
    seriesIds_[key] = id;
    return id;
}

void ReadingsDatabase::WriteBatch(std::vector<Item>& batch) {
    if (batch.empty() || !Open())
        return;
    const std::string name = file_.filename().string();
    bool ok = sqlite3_exec(writeDb_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    {
        Statement raw(writeDb_, "INSERT OR REPLACE INTO reading(series, t, value) VALUES(?,?,?)");
        Statement hour(writeDb_, "INSERT INTO hourly(series, hour, min, sum, max, count) "
                                 "VALUES(?1,?2,?3,?3,?3,1) ON CONFLICT(series, hour) DO UPDATE SET "
                                 "min = min(min, excluded.min), max = max(max, excluded.max), "
                                 "sum = sum + excluded.sum, count = count + 1");
        ok = ok && raw.ok() && hour.ok();
        for (const Item& item : batch) {
            if (!ok)
                break;
            const int64_t id = SeriesId(item);
            const int64_t t = item.utcMs / 1000;
            ok = id >= 0 && raw.bind(1, id).bind(2, t).bind(3, item.value).run() &&
                 hour.bind(1, id).bind(2, t / 3600).bind(3, item.value).run();
        }
    }
    if (ok)
        ok = sqlite3_exec(writeDb_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok) {
        Fail("The readings history " + name + " could not be written: " + Message(writeDb_));
        sqlite3_exec(writeDb_, "ROLLBACK", nullptr, nullptr, nullptr);
        seriesIds_.clear();
        return;
    }
    {
        std::lock_guard lock(problemMutex_);
        problem_.clear();
        reported_ = false;
    }
    Prune(batch.back().utcMs);
}

void ReadingsDatabase::Prune(int64_t nowMs) {
    const int64_t day = nowMs / 86400000;
    if (day == prunedDay_)
        return;
    prunedDay_ = day;
    const int64_t now = nowMs / 1000;
    Statement raw(writeDb_, "DELETE FROM reading WHERE t < ?");
    raw.bind(1, now - int64_t{options_.rawDays} * 86400).run();
    Statement hours(writeDb_, "DELETE FROM hourly WHERE hour < ?");
    hours.bind(1, (now - int64_t{options_.retentionDays} * 86400) / 3600).run();
}

// The readers' own connection, apart from the writer thread's, opened on first use;
// called with readMutex_ held.
bool ReadingsDatabase::Reader() const {
    if (readDb_)
        return true;
    if (sqlite3_open_v2(file_.string().c_str(), &readDb_, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK)
        return true;
    sqlite3_close(readDb_);
    readDb_ = nullptr;
    return false;
}

std::vector<UnitOfRecord> ReadingsDatabase::units() const {
    std::lock_guard lock(readMutex_);
    std::vector<UnitOfRecord> out;
    if (!Reader())
        return out;
    Statement s(readDb_, "SELECT DISTINCT address, link, end_name, caption FROM series "
                         "ORDER BY link = 0, link, end_name DESC, caption, address");
    while (s.row())
        out.push_back({s.text(0), static_cast<int>(s.integer(1)), s.text(2), s.text(3)});
    return out;
}

std::vector<ReadingKind> ReadingsDatabase::kindsOf(const std::string& address) const {
    std::lock_guard lock(readMutex_);
    std::vector<ReadingKind> out;
    if (!Reader())
        return out;
    Statement s(readDb_, "SELECT kind, label, unit FROM series WHERE address = ? ORDER BY id");
    s.bind(1, address);
    while (s.row())
        out.push_back({s.text(0), s.text(1), s.text(2)});
    return out;
}

std::vector<SeriesPoint> ReadingsDatabase::series(const std::string& address,
                                                  const std::string& kind, int64_t fromMs,
                                                  int64_t toMs, int maxPoints) const {
    std::lock_guard lock(readMutex_);
    std::vector<SeriesPoint> out;
    if (toMs < fromMs || maxPoints < 1)
        return out;
    if (!Reader())
        return out;
    const int64_t from = fromMs / 1000, to = toMs / 1000;
    Statement id(readDb_, "SELECT id FROM series WHERE address = ? AND kind = ?");
    id.bind(1, address).bind(2, kind);
    if (!id.row())
        return out;
    const int64_t series = id.integer(0);
    Statement count(readDb_, "SELECT count(*) FROM reading WHERE series = ? AND t BETWEEN ? AND ?");
    count.bind(1, series).bind(2, from).bind(3, to);
    const int64_t raw = count.row() ? count.integer(0) : 0;
    const int64_t span = to - from + 1;
    int64_t width = (span + maxPoints - 1) / maxPoints;
    // Where the raw readings no longer reach, only the hours tell.
    Statement newest(readDb_, "SELECT max(t) FROM reading WHERE series = ?");
    newest.bind(1, series);
    const int64_t last = newest.row() ? newest.integer(0) : 0;
    const bool oldest = from < last - int64_t{options_.rawDays} * 86400;
    if (raw <= maxPoints && !oldest) {
        Statement s(
            readDb_,
            "SELECT t, value FROM reading WHERE series = ? AND t BETWEEN ? AND ? ORDER BY t");
        s.bind(1, series).bind(2, from).bind(3, to);
        while (s.row()) {
            const double v = s.real(1);
            out.push_back({s.integer(0) * 1000, v, v, v, 1});
        }
        return out;
    }
    // Spans of an hour or more come from the hourly summaries, spans of whole hours.
    if (width >= 3600 || oldest) {
        width = std::max<int64_t>(1, (width + 3599) / 3600) * 3600;
        const int64_t start = from / 3600 * 3600;
        Statement s(readDb_,
                    "SELECT (hour * 3600 - ?1) / ?2 AS b, min(min), sum(sum) / sum(count), "
                    "max(max), sum(count) FROM hourly WHERE series = ?3 AND hour BETWEEN ?4 AND "
                    "?5 GROUP BY b ORDER BY b");
        s.bind(1, start).bind(2, width).bind(3, series).bind(4, from / 3600).bind(5, to / 3600);
        while (s.row())
            out.push_back({(start + s.integer(0) * width) * 1000, s.real(1), s.real(2), s.real(3),
                           static_cast<int>(s.integer(4))});
        return out;
    }
    Statement s(readDb_, "SELECT (t - ?1) / ?2 AS b, min(value), avg(value), max(value), "
                         "count(*) FROM reading WHERE series = ?3 AND t BETWEEN ?1 AND ?4 "
                         "GROUP BY b ORDER BY b");
    s.bind(1, from).bind(2, width).bind(3, series).bind(4, to);
    while (s.row())
        out.push_back({(from + s.integer(0) * width) * 1000, s.real(1), s.real(2), s.real(3),
                       static_cast<int>(s.integer(4))});
    return out;
}

std::string ReadingsDatabase::Csv(const std::string& address, const std::string& kind,
                                  int64_t fromMs, int64_t toMs) const {
    std::lock_guard lock(readMutex_);
    std::string out = "time_utc,address,link,end,reading,value,unit\n";
    if (!Reader())
        return out;
    Statement s(readDb_,
                "SELECT r.t, s.address, s.link, s.end_name, s.kind, r.value, s.unit FROM reading r "
                "JOIN series s ON s.id = r.series WHERE s.address = ? AND (? = '' OR s.kind = ?) "
                "AND r.t BETWEEN ? AND ? ORDER BY r.t, s.kind");
    s.bind(1, address).bind(2, kind).bind(3, kind).bind(4, fromMs / 1000).bind(5, toMs / 1000);
    while (s.row())
        out += isoUtcText(s.integer(0) * 1000) + "," + s.text(1) + "," +
               std::to_string(s.integer(2)) + "," + s.text(3) + "," + s.text(4) + "," +
               Number(s.real(5)) + "," + s.text(6) + "\n";
    return out;
}

} // namespace linvar
