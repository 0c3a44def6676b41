#include "alarms/AlarmJournal.h"

#include "poll/PollCycle.h"
#include "setup/SystemSetup.h"
#include "ui/Cp1252.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"
#include "wire/FaultReply.h"
#include "wire/FaultTables.h"

#include <algorithm>
#include <cstdio>

namespace linvar {

namespace {

constexpr const char* kFilePrefix = "Alarms-";
constexpr const char* kFileSuffix = ".csv";

std::string TwoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

std::string DateText(const LocalDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day);
    return buf;
}

std::string TimeText(const LocalDateTime& t) {
    return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

bool ParseInts(const std::string& s, char sep, int& a, int& b, int& c) {
    char s1 = 0, s2 = 0;
    char rest = 0;
    return std::sscanf(s.c_str(), "%d%c%d%c%d%c", &a, &s1, &b, &s2, &c, &rest) == 5 && s1 == sep &&
           s2 == sep;
}

// The fault text of a modem's or switch's FLT answer: unit, Tx and Rx groups.
std::string FaultDetail(const std::string& reply, int status) {
    if (status == 5)
        return reply; // the refusal as received
    if (status != 3 || reply.empty() || reply[0] != '=')
        return {};
    // The summary does not identify a unit: its reply's shape says which texts read it,
    // whatever window was opened last.
    const FaultReplyShape& shape = ModemShapeOfReply(reply);
    if (shape.groups > 4)
        return {}; // the ten-group form and the switch's have no texts of their own here
    const FaultReply f = ReadFaultReply(reply, shape);
    std::string text;
    const auto add = [&](const FaultText& t) {
        if (t.text.empty())
            return;
        if (!text.empty())
            text += "; ";
        text += t.text;
    };
    const auto group = [&](size_t i) { return i < f.codes.size() ? f.codes[i] : '0'; };
    if (group(0) != '0')
        add(UnitFaultText(group(0), shape.textModel));
    if (group(1) != '0')
        add(TxFaultText(group(1), shape.textModel));
    if (group(2) != '0')
        add(RxFaultText(group(2), shape.textModel));
    return text;
}

} // namespace

std::string AlarmStateName(int status) {
    switch (status) {
    case 1:
        return "No fault";
    case 2:
        return "Warning";
    case 3:
        return "Fault";
    case 4:
        return "No communication";
    case 5:
    case 6:
        return "Problem";
    default:
        return "Unknown";
    }
}

int AlarmStateCode(const std::string& name) {
    for (int code = 1; code <= 5; ++code)
        if (AlarmStateName(code) == name)
            return code;
    return -1;
}

std::string AlarmUnitName(int record, int slot) {
    if (record == 41 || record == 43)
        return "Switch " + std::to_string(record == 41 ? 1 : 2);
    if (record == 42 || record == 44)
        return "Redundant modem " + std::to_string(record == 42 ? 1 : 2);
    static const char* names[] = {"Modem 1", "Modem 2", "Transceiver 1", "Transceiver 2"};
    return (slot >= 0 && slot < UnitSlotCount) ? names[slot] : "Unit";
}

int AlarmEntry::link() const {
    return record >= 1 && record <= 40 ? (record + 1) / 2 : 0;
}

std::string AlarmEntry::end() const {
    if (record < 1 || record > 40)
        return {};
    return record % 2 == 1 ? "LOCAL" : "DISTANT";
}

std::string AlarmEntry::reading() const {
    if (event == "Acknowledged")
        return detail;
    if (event != "Reading")
        return {};
    for (const char* word : {" low ", " high ", " back "})
        if (const size_t at = detail.find(word); at != std::string::npos)
            return detail.substr(0, at);
    return detail;
}

const char* const AlarmJournal::kHeader =
    "Date,Time,Event,Link,End,Unit,Address,Link ID,From,To,Detail";

AlarmJournal::AlarmJournal(const Clock& clock, const SystemSetup& setup,
                           std::filesystem::path folder, Reporter report)
    : AlarmJournal(clock, setup, std::move(folder), std::move(report), Settings{}) {}

AlarmJournal::AlarmJournal(const Clock& clock, const SystemSetup& setup,
                           std::filesystem::path folder, Reporter report, Settings settings)
    : clock_(clock), setup_(setup), folder_(std::move(folder)), report_(std::move(report)),
      settings_(settings) {}

std::string AlarmJournal::FileName(const LocalDateTime& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%04d%02d%02d%s", kFilePrefix, d.year, d.month, d.day,
                  kFileSuffix);
    return buf;
}

std::string AlarmJournal::CsvLine(const AlarmEntry& e) {
    const int link = e.link();
    const std::vector<std::string> fields = {DateText(e.at), TimeText(e.at),
                                             e.event,        link ? std::to_string(link) : "",
                                             e.end(),        AlarmUnitName(e.record, e.slot),
                                             e.address,      e.linkId,
                                             e.from,         e.to,
                                             e.detail};
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i)
            line += ',';
        line += CsvField(fields[i]);
    }
    // The journal is read by spreadsheets and other programs: UTF-8, not the set-up's page.
    return Cp1252ToUtf8(line);
}

std::optional<AlarmEntry> AlarmJournal::ParseLine(const std::string& line) {
    // Lines written before the journal was UTF-8 hold the set-up's 8-bit texts as they are.
    const auto f = CsvFields(IsUtf8(line) ? Utf8ToCp1252(line) : line);
    if (!f || f->size() != 11)
        return std::nullopt;
    AlarmEntry e;
    if (!ParseInts((*f)[0], '-', e.at.year, e.at.month, e.at.day) ||
        !ParseInts((*f)[1], ':', e.at.hour, e.at.minute, e.at.second))
        return std::nullopt;
    e.event = (*f)[2];
    const std::string& link = (*f)[3];
    const std::string& end = (*f)[4];
    const std::string& unit = (*f)[5];
    // The record and slot back from link, end and unit name.
    bool found = false;
    if (link.empty()) {
        for (int r = 41; r <= 44 && !found; ++r)
            if (end.empty() && AlarmUnitName(r, Modem1) == unit) {
                e.record = r;
                found = true;
            }
    } else {
        int n = 0;
        for (char c : link)
            n = (c >= '0' && c <= '9' && n < 100) ? n * 10 + (c - '0') : 1000;
        if (n >= 1 && n <= SystemSetup::LinkCount && (end == "LOCAL" || end == "DISTANT")) {
            e.record = 2 * n - (end == "LOCAL" ? 1 : 0);
            for (int s = 0; s < UnitSlotCount && !found; ++s)
                if (AlarmUnitName(e.record, s) == unit) {
                    e.slot = s;
                    found = true;
                }
        }
    }
    if (!found)
        return std::nullopt;
    e.address = (*f)[6];
    e.linkId = (*f)[7];
    e.from = (*f)[8];
    e.to = (*f)[9];
    e.detail = (*f)[10];
    return e;
}

AlarmEntry AlarmJournal::MakeEntry(const std::string& event, int record, int slot) const {
    AlarmEntry e;
    e.at = clock_.now();
    e.at.millisecond = 0; // as the file keeps it
    e.event = event;
    e.record = record;
    e.slot = slot;
    if (record >= 1 && record <= SystemSetup::RecordCount) {
        e.address = std::string(setup_.rec(record).addr(slot));
        e.linkId = std::string(setup_.rec(record).IdText);
    }
    return e;
}

void AlarmJournal::Write(AlarmEntry e) {
    unwritten_.push_back(e);
    if (unwritten_.size() > kRecentKept)
        unwritten_.pop_front();
    std::filesystem::path file;
    try {
        // What a failed write left behind goes first, each entry to the file of its day.
        while (!unwritten_.empty()) {
            file = folder_ / FileName(unwritten_.front().at);
            std::vector<std::string> lines;
            if (!TextFile::exists(file))
                lines.push_back(kHeader);
            lines.push_back(CsvLine(unwritten_.front()));
            TextFile::append(file, lines);
            unwritten_.pop_front();
        }
        failureReported_ = false;
    } catch (const UserError& err) {
        // Said once; polling and the alarms in memory go on, and the next write tries again
        // with what is still unwritten.
        if (!failureReported_ && report_)
            report_("The alarm journal " + file.filename().string() +
                    " could not be written: " + err.what());
        failureReported_ = true;
    }
    if ((e.event == "State" || e.event == "Settled") && e.to == AlarmStateName(3))
        ++faultsBegun_;
    Apply(e, clock_.monotonicMs());
}

ActiveAlarm* AlarmJournal::Find(int record, int slot, const std::string& reading) {
    for (ActiveAlarm& a : active_)
        if (a.record == record && a.slot == slot && a.reading == reading)
            return &a;
    return nullptr;
}

void AlarmJournal::Apply(const AlarmEntry& e, int64_t nowMs) {
    recent_.push_back(e);
    if (recent_.size() > kRecentKept)
        recent_.pop_front();
    ++revision_;
    const std::string reading = e.reading();
    ActiveAlarm* a = Find(e.record, e.slot, reading);
    if (e.event == "Acknowledged") {
        if (a) {
            a->acknowledged = true;
            a->acknowledgedAt = e.at;
        }
        return;
    }
    if (e.event != "State" && e.event != "Flapping" && e.event != "Settled" && e.event != "Reading")
        return;
    const int code = AlarmStateCode(e.to);
    if (code == 1) {
        std::erase_if(active_, [&](const ActiveAlarm& x) {
            return x.record == e.record && x.slot == e.slot && x.reading == reading;
        });
        return;
    }
    if (!a) {
        active_.push_back({});
        a = &active_.back();
        a->record = e.record;
        a->slot = e.slot;
        a->since = e.at;
        a->sinceMs = nowMs;
        a->reading = reading;
    }
    // A new state of an active alarm asks for the operator's eye again.
    a->address = e.address;
    a->linkId = e.linkId;
    a->state = e.to;
    a->status = code > 0 ? code : 0;
    a->acknowledged = false;
}

void AlarmJournal::Rebuild() {
    // A station that never runs across midnight still keeps only its days.
    RemoveOldFiles();
    active_.clear();
    recent_.clear();
    tracks_.clear();
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& de : std::filesystem::directory_iterator(folder_, ec)) {
        const std::string name = de.path().filename().string();
        if (name.size() == FileName({}).size() && name.rfind(kFilePrefix, 0) == 0 &&
            name.ends_with(kFileSuffix))
            files.push_back(de.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::optional<std::vector<std::string>> lines;
        try {
            lines = TextFile::readLines(file);
        } catch (const UserError&) {
            continue; // an unreadable day is skipped, the others still count
        }
        for (const std::string& line : lines.value_or(std::vector<std::string>{}))
            if (auto e = ParseLine(line))
                Apply(*e, 0);
    }
    for (ActiveAlarm& a : active_) {
        if (!a.reading.empty())
            continue; // the readings' levels keep their own state
        Track& t = tracks_[{a.record, a.slot}];
        t.status = a.status;
        t.flapping = a.state == "Flapping";
    }
    flappingCount_ = static_cast<int>(std::count_if(
        tracks_.begin(), tracks_.end(), [](const auto& kv) { return kv.second.flapping; }));
    day_ = daysFromCivil(clock_.now().year, clock_.now().month, clock_.now().day);
    ++revision_;
}

void AlarmJournal::Observe(const UnitStateEvent& ev) {
    if (ev.record < 1 || ev.record > SystemSetup::RecordCount || ev.status <= 0)
        return;
    const Key key{ev.record, ev.slot};
    Track& t = tracks_[key];
    const int64_t now = clock_.monotonicMs();
    const bool rising = ev.configMark && !t.configMark;
    if (ev.status != 4)
        t.configMark = ev.configMark;
    if (rising) {
        AlarmEntry e = MakeEntry("Configuration", ev.record, ev.slot);
        e.detail = "Configuration changed";
        Write(e);
    }
    if (t.status == ev.status) {
        if (t.flapping && now - t.lastChangeMs >= settings_.flapWindowMs)
            Settle(key, t);
        return;
    }
    const int old = t.status;
    t.status = ev.status;
    t.lastChangeMs = now;
    // The first state after start-up is a change only when it is not lime: a unit that
    // answers well at start-up has nothing to say.
    if (old < 0 && ev.status == 1)
        return;
    t.changes.push_back(now);
    while (!t.changes.empty() && now - t.changes.front() > settings_.flapWindowMs)
        t.changes.pop_front();
    if (t.flapping)
        return;
    if (static_cast<int>(t.changes.size()) > settings_.flapChanges) {
        t.flapping = true;
        ++flappingCount_;
        t.flapFrom = old;
        AlarmEntry e = MakeEntry("Flapping", ev.record, ev.slot);
        e.from = AlarmStateName(old);
        e.to = "Flapping";
        e.detail = std::to_string(t.changes.size()) + " changes in a minute";
        Write(e);
        return;
    }
    AlarmEntry e = MakeEntry("State", ev.record, ev.slot);
    e.from = old < 0 ? "" : AlarmStateName(old);
    e.to = AlarmStateName(ev.status);
    e.detail = FaultDetail(ev.reply, ev.status);
    Write(e);
}

void AlarmJournal::Settle(const Key& key, Track& t) {
    t.flapping = false;
    --flappingCount_;
    t.changes.clear();
    AlarmEntry e = MakeEntry("Settled", key.first, key.second);
    e.from = "Flapping";
    e.to = AlarmStateName(t.status);
    Write(e);
}

void AlarmJournal::Tick() {
    const LocalDateTime now = clock_.now();
    const int64_t day = daysFromCivil(now.year, now.month, now.day);
    if (day_ >= 0 && day != day_)
        RemoveOldFiles();
    day_ = day;
    // Most ticks have nothing flapping: no walk over every unit then.
    if (flappingCount_ == 0)
        return;
    const int64_t ms = clock_.monotonicMs();
    for (auto& [key, t] : tracks_)
        if (t.flapping && ms - t.lastChangeMs >= settings_.flapWindowMs)
            Settle(key, t);
}

void AlarmJournal::RemoveOldFiles() {
    const LocalDateTime now = clock_.now();
    int y, m, d;
    civilFromDays(daysFromCivil(now.year, now.month, now.day) - settings_.retentionDays, y, m, d);
    const std::string oldest = FileName({y, m, d, 0, 0, 0, 0});
    std::error_code ec;
    std::vector<std::filesystem::path> doomed;
    for (const auto& de : std::filesystem::directory_iterator(folder_, ec)) {
        const std::string name = de.path().filename().string();
        if (name.size() == oldest.size() && name.rfind(kFilePrefix, 0) == 0 &&
            name.ends_with(kFileSuffix) && name < oldest)
            doomed.push_back(de.path());
    }
    for (const auto& p : doomed)
        std::filesystem::remove(p, ec);
}

void AlarmJournal::Acknowledge(const std::vector<std::pair<int, int>>& units) {
    for (const auto& [record, slot] : units) {
        // A unit's own alarm and those of its readings are acknowledged together.
        std::vector<ActiveAlarm> unit;
        for (const ActiveAlarm& x : active_)
            if (x.record == record && x.slot == slot && !x.acknowledged)
                unit.push_back(x);
        for (const ActiveAlarm& x : unit) {
            AlarmEntry e = MakeEntry("Acknowledged", record, slot);
            e.address = x.address;
            e.linkId = x.linkId;
            e.from = x.state;
            e.to = x.state;
            e.detail = x.reading;
            Write(e);
        }
    }
}

void AlarmJournal::ObserveReading(int record, int slot, const std::string& label, int from, int to,
                                  const std::string& detail) {
    if (record < 1 || record > SystemSetup::RecordCount || label.empty())
        return;
    AlarmEntry e = MakeEntry("Reading", record, slot);
    e.from = AlarmStateName(from);
    e.to = AlarmStateName(to);
    e.detail = detail;
    Write(e);
}

void AlarmJournal::AcknowledgeAll() {
    std::vector<std::pair<int, int>> keys;
    for (const ActiveAlarm& a : active_)
        keys.emplace_back(a.record, a.slot);
    Acknowledge(keys);
}

int AlarmJournal::UnacknowledgedCount() const {
    return static_cast<int>(std::count_if(active_.begin(), active_.end(),
                                          [](const ActiveAlarm& a) { return !a.acknowledged; }));
}

} // namespace linvar
