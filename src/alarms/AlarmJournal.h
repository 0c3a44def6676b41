#pragma once
// The alarm journal: every change of a unit's state as the summary shows it, every
// configuration-change report and every acknowledgement, appended as it happens to a
// daily file in the data folder (Alarms-YYYYMMDD.csv), and the alarms active now (units
// not lime). The active alarms are rebuilt from the files at start-up.

#include "ui/Clock.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace linvar {

class SystemSetup;
struct UnitStateEvent;

// The state names of the journal, by status code ("No fault", "Fault", ...).
std::string AlarmStateName(int status);
// A status code of a state name; -1 for none.
int AlarmStateCode(const std::string& name);
// "Modem 1", "Transceiver 2", "Switch 1", "Redundant modem 2".
std::string AlarmUnitName(int record, int slot);

// One line of the journal.
struct AlarmEntry {
    LocalDateTime at;
    std::string event; // "State", "Configuration", "Flapping", "Settled", "Acknowledged"
    int record = 0;
    int slot = 0;
    std::string address;
    std::string linkId;
    std::string from; // state names
    std::string to;
    std::string detail;

    // The link number (0 for switches and redundant modems) and "LOCAL"/"DISTANT"/"".
    int link() const;
    std::string end() const;
    // The reading a "Reading" entry (or its acknowledgement) is about ("Eb/No"); empty
    // for the unit's own state.
    std::string reading() const;
};

// A unit that is not lime now.
struct ActiveAlarm {
    int record = 0;
    int slot = 0;
    std::string address;
    std::string linkId;
    std::string state; // a state name, or "Flapping"
    int status = 0;    // its code; 0 while flapping
    LocalDateTime since;
    int64_t sinceMs = 0; // monotonic, for "how long"; 0 when rebuilt from the files
    bool acknowledged = false;
    LocalDateTime acknowledgedAt;
    std::string reading; // a reading beyond its level ("Eb/No"); empty: the unit's state
};

class AlarmJournal {
public:
    struct Settings {
        int retentionDays = 90;
        // More changes than this within a minute make a unit flap.
        int flapChanges = 5;
        int64_t flapWindowMs = 60000;
    };
    using Reporter = std::function<void(const std::string&)>;

    AlarmJournal(const Clock& clock, const SystemSetup& setup, std::filesystem::path folder,
                 Reporter report);
    AlarmJournal(const Clock& clock, const SystemSetup& setup, std::filesystem::path folder,
                 Reporter report, Settings settings);

    static std::string FileName(const LocalDateTime& day);
    static const char* const kHeader;
    // One CSV line of an entry, and back (nothing for a line that is not an entry).
    static std::string CsvLine(const AlarmEntry& e);
    static std::optional<AlarmEntry> ParseLine(const std::string& line);

    // Start-up: the active alarms from the journal files in the folder.
    void Rebuild();
    // A unit state decided by the poll.
    void Observe(const UnitStateEvent& event);
    // A reading of a unit crossed a level of the readings settings, or came back (state
    // codes 1 no fault, 2 warning, 3 fault); `detail` says it ("Eb/No low 5.4 dB < 6.0")
    // and begins with the reading's label.
    void ObserveReading(int record, int slot, const std::string& label, int from, int to,
                        const std::string& detail);
    // Once a tick or so: retention at the change of day, and settling of flapping units.
    void Tick();

    // Acknowledges the unacknowledged active alarms among these (record, slot) keys.
    void Acknowledge(const std::vector<std::pair<int, int>>& units);
    void AcknowledgeAll();

    const std::vector<ActiveAlarm>& Active() const { return active_; }
    int UnacknowledgedCount() const;
    // The entries written (or read at start-up from today's file), oldest first, at most
    // the last `kRecentKept`.
    static constexpr size_t kRecentKept = 2000;
    const std::deque<AlarmEntry>& Recent() const { return recent_; }
    // Rises each time a unit turns to "Fault" (the audible alert listens).
    uint64_t FaultsBegun() const { return faultsBegun_; }
    // Rises with every change of the active alarms or the entries.
    uint64_t Revision() const { return revision_; }
    // Removes the journal files older than the retention (done at each change of day).
    void RemoveOldFiles();

private:
    using Key = std::pair<int, int>;
    struct Track {
        int status = -1; // the last state decided (-1: none seen yet)
        std::deque<int64_t> changes;
        bool flapping = false;
        int flapFrom = -1;
        int64_t lastChangeMs = 0;
        bool configMark = false; // the mark stays up until the configuration is read
    };

    AlarmEntry MakeEntry(const std::string& event, int record, int slot) const;
    void Write(AlarmEntry e);
    void Apply(const AlarmEntry& e, int64_t nowMs);
    ActiveAlarm* Find(int record, int slot, const std::string& reading = {});
    void Settle(const Key& key, Track& t);

    const Clock& clock_;
    const SystemSetup& setup_;
    std::filesystem::path folder_;
    Reporter report_;
    Settings settings_;
    std::map<Key, Track> tracks_;
    int flappingCount_ = 0; // tracks with flapping set
    std::vector<ActiveAlarm> active_;
    std::deque<AlarmEntry> recent_;
    uint64_t revision_ = 0;
    uint64_t faultsBegun_ = 0;
    bool failureReported_ = false;
    // Entries a failed write left behind, oldest first: they go before the next one.
    std::deque<AlarmEntry> unwritten_;
    int64_t day_ = -1;
};

} // namespace linvar
