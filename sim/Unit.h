#pragma once
// One addressed unit of the simulated installation: a modem, a transceiver or a
// 1:N redundancy switch, with the state its remote-control commands report.

#include "Models.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace linvar::sim {

// Civil time helpers (no time zones: the units keep local wall time).
int64_t civilSeconds(int year, int month, int day, int hour, int minute, int second);
std::string dateDDMMYY(int64_t civil);
std::string dateMMDDYY(int64_t civil);
std::string timeHHMMSS(int64_t civil);

// A fault the unit shows on the wire, settable at run time.
struct Injection {
    enum class Kind { Silence, Refuse, WrongAddress, WrongMnemonic, Late, Garbage, Echo };
    Kind kind = Kind::Silence;
    char refusal = '*';     // Refuse: '*', '?', '!' or '~'
    int extraMs = 0;        // Late: added to the reply's latency
    std::string garbage;    // Garbage: bytes sent before the reply; empty = random bytes
    int count = -1;         // requests still affected; -1 = until cleared
    double probability = 1; // chance that one request is affected
    std::string mnemonic;   // only requests with this mnemonic; empty = all

    static Injection of(Kind kind) {
        Injection i;
        i.kind = kind;
        return i;
    }
    static Injection silence() { return of(Kind::Silence); }
    static Injection refuse(char c) {
        Injection i = of(Kind::Refuse);
        i.refusal = c;
        return i;
    }
    static Injection wrongAddress() { return of(Kind::WrongAddress); }
    static Injection wrongMnemonic() { return of(Kind::WrongMnemonic); }
    static Injection late(int ms) {
        Injection i = of(Kind::Late);
        i.extraMs = ms;
        return i;
    }
    static Injection garbageBytes(std::string bytes = {}) {
        Injection i = of(Kind::Garbage);
        i.garbage = std::move(bytes);
        return i;
    }
    static Injection echo() { return of(Kind::Echo); }
};

// What one request produces on the wire.
struct Response {
    bool silent = false; // no reply at all
    std::string echo;    // bytes sent back at once (the request itself)
    std::string bytes;   // the reply frame, garbage included
    int extraMs = 0;     // latency added by the unit's faults
};

class Unit;

// A family's own commands and the state behind them, beside what every unit answers
// (identity, faults, logs, clock, CID, TXO, LRS...). A family's file makes one per unit
// (the model table, sim/Models.cpp, says which file serves which model).
class FamilyBehaviour {
public:
    virtual ~FamilyBehaviour() = default;
    // The payload of a command of the family's own ("=" + value or a class character);
    // nothing when the command is not one of them.
    virtual std::optional<std::string> payload(Unit& unit, const std::string& mnemonic, bool query,
                                               const std::string& value, int64_t nowMs) = 0;
    // The configuration stored in slot 0-9; empty when nothing is stored there.
    virtual const std::string& memory(int slot) const;
};

class Unit {
public:
    static constexpr size_t eventCapacity = 99;
    static constexpr size_t statisticsCapacity = 220;

    // model: "310", "7010", "330", "331", "350", "351", "370".."373", "VORN", "YRAN",
    // "PLD", "PLD-LNB", "420", "430" (an "MQX-" or "TRV-" prefix is allowed). Unknown ->
    // MQX-350.
    Unit(std::string address, const std::string& model, int64_t clockAtZero = 0, uint64_t seed = 1);

    const std::string& address() const { return address_; }

    // Changes the kind; identity, faults and configuration get that model's defaults.
    bool setModel(const std::string& model);
    static bool knownModel(const std::string& model);
    std::string family() const { return model_->family; }
    int modelCode() const { return model_->code; } // 0 for transceivers, 1 for a PLD with an LNB
    std::string modelName() const { return model_->display; }
    bool isModem() const { return model_->commands.kind == Commands::Kind::Modem; }
    bool isTransceiver() const { return model_->commands.kind == Commands::Kind::Transceiver; }
    bool isSwitch() const { return model_->commands.kind == Commands::Kind::Switch; }

    // Fault characters as the FLT (modems, switches) or SFS (transceivers) value carries
    // them, without the configuration-change mark. Groups: 1 unit, 2 Tx, 3 Rx, 4 ODU /
    // open network (MQX-350/370); a switch's characters follow its own layout.
    void setFaults(const std::string& chars, int64_t nowMs = 0);
    const std::string& faults() const { return faults_; }
    // Sets one group's code and logs the fault or its clearing in the event log.
    void setFault(int group, char code, int64_t nowMs = 0);
    bool anyFault() const;
    // Chance per FLT/SFS query that a random fault appears (or the present one clears).
    void setRandomFaultRate(double rate) { randomFaultRate_ = rate; }

    void setOnline(bool on) { online_ = on; }
    bool online() const { return online_; }
    // Off-line partner of a 1:1 pair, answered for by OUS?; none = "xxxxxx".
    void setPartner(Unit* partner) { partner_ = partner; }
    Unit* partner() const { return partner_; }
    // A fixed payload for one mnemonic (e.g. "FLT", "=0000000000000" or "OUS",
    // "=NoComm"), answered instead of the unit's own; an empty payload removes it.
    void setAnswer(const std::string& mnemonic, const std::string& payload);

    void setIdentity(std::string value) { identity_ = std::move(value); }
    const std::string& identity() const { return identity_; }
    void setCircuitId(std::string value) { circuitId_ = std::move(value); }
    const std::string& circuitId() const { return circuitId_; }
    // A new configuration raises the configuration-change mark until MGC? is read.
    void setConfig(std::string value, int64_t nowMs = 0);
    // Both strings at once, one change (a stored configuration loaded).
    void setConfig(std::string value, std::string odu, int64_t nowMs);
    // A setting kept beside the strings changed: marked and logged as a new configuration.
    void noteConfigChange(int64_t nowMs);
    // A new unit's configuration and ODU strings: no change mark, nothing logged.
    void resetConfig(std::string value, std::string odu = {});
    const std::string& config() const { return config_; }
    bool configChanged() const { return configChanged_; }
    void setTxCarrier(char code) { txCarrier_ = code; }
    char txCarrier() const { return txCarrier_; }
    // ODU configuration string of an MQX-350L (the OGC? value); empty for other models.
    void setOduConfig(std::string value, int64_t nowMs = 0);
    const std::string& oduConfig() const { return oduConfig_; }

    // Remote/local state as LRS carries it: '0' local, '1' serial remote, '3' ethernet
    // remote. Settings over the serial line are taken only in serial remote.
    void setRemoteState(char digit) { remoteState_ = digit; }
    char remoteState() const { return remoteState_; }
    // A DISTANT unit reached over its partner's management channel: it is a slave and
    // takes settings whatever its own remote/local state.
    void setDistant(bool distant) { distant_ = distant; }
    bool distant() const { return distant_; }
    bool acceptsSettings() const { return distant_ || remoteState_ == '1'; }

    // Plain values that queries report as they are (e.g. "EBN" "12.3", "RSL" "==45.0",
    // "FPL" "0"); the unit derives some from its state (an unlocked demodulator reads
    // "99.9"). Empty = the unit has no such value.
    void setReading(const std::string& mnemonic, std::string value) {
        readings_[mnemonic] = std::move(value);
    }
    std::string reading(const std::string& mnemonic) const;

    // Stored configurations 0-9 (the configuration string as its family keeps it);
    // empty = nothing stored there.
    static constexpr int memoryCount = 10;
    const std::string& memory(int slot) const;

    // DISTANT unit cut off from the management channel: every command answers "~".
    // After txoRestores "TXO=1" requests (0 = never) it is reachable again.
    void setUnreachable(bool off, int txoRestores = 1);
    bool unreachable() const { return unreachable_; }

    void setLatencyMs(int ms) { latencyMs_ = ms; }
    int latencyMs() const { return latencyMs_; }

    // The unit's clock: civil seconds now (it runs with nowMs).
    void setClock(int64_t civil, int64_t nowMs);
    int64_t clock(int64_t nowMs) const { return clockAtZero_ + nowMs / 1000; }

    // Logs: records in the stored layouts (15-character events, 26-character statistics).
    void addEvent(char kind, char group, char code, int64_t nowMs);
    void addStatistics(const std::string& values14, int64_t nowMs);
    // Statistics record every so many minutes of unit time; 0 = none.
    void setStatisticsInterval(int minutes) { statsIntervalMin_ = minutes; }
    // The same, the first record due an interval after nowMs.
    void setStatisticsInterval(int minutes, int64_t nowMs) {
        statsIntervalMin_ = minutes;
        lastStatsMs_ = nowMs;
    }
    const std::deque<std::string>& events() const { return events_; }
    const std::deque<std::string>& statistics() const { return stats_; }
    size_t unreadEvents() const { return events_.size() - eventsRead_; }
    size_t unreadStatistics() const { return stats_.size() - statsRead_; }

    // Readings that move: a slow daily cycle of the unit's clock (highest at 14:00), noise
    // and, while a fade runs, a fall of the receive path (Eb/No down, level weaker).
    void setMoving(bool on) { moving_ = on; }
    bool moving() const { return moving_; }
    // A fade from startMs for lengthMs: down over its first quarter, held, back over its
    // last quarter, by depthDb at its deepest.
    void startFade(int64_t startMs, int64_t lengthMs, double depthDb = 8.0);
    double fadeDb(int64_t nowMs) const;
    // base + the daily swing + noise of at most `noise` either way, as the unit reads it now.
    double moved(double base, double swing, double noise, int64_t nowMs, int salt) const;

    void inject(Injection injection) { injections_.push_back(std::move(injection)); }
    void clearInjections() { injections_.clear(); }
    size_t injectionCount() const { return injections_.size(); }
    void reseed(uint64_t seed) { rng_.seed(seed); }

    // The plain payload ("=" + value, or a class character) for one command text such
    // as "FLT?" or "TXO=1"; the unit's state changes as the command says.
    std::string payload(const std::string& command, int64_t nowMs);
    // The whole wire response to a command, with the injected faults applied.
    Response handle(const std::string& command, int64_t nowMs);

private:
    void applyDefaults();
    void catchUpStatistics(int64_t nowMs);
    void randomFaultStep(int64_t nowMs);
    std::string fltValue() const;
    std::string ousValue() const;
    const std::string* fixedAnswer(const std::string& mnemonic) const;
    std::string readRecords(std::deque<std::string>& log, size_t& readUpTo, size_t width);
    void pushRecord(std::deque<std::string>& log, size_t& readUpTo, size_t capacity,
                    std::string record);
    bool knows(const std::string& mnemonic) const;
    std::string randomGarbage();
    std::string setClockPart(bool date, const std::string& value, int64_t nowMs);
    void moveReadings(int64_t nowMs);

public:
    FamilyBehaviour* behaviour() const { return behaviour_.get(); }

private:
    std::string address_;
    std::unique_ptr<FamilyBehaviour> behaviour_;
    const Model* model_ = nullptr;
    std::string faults_;
    std::string identity_;
    std::string circuitId_;
    std::string config_;
    bool configChanged_ = false;
    char txCarrier_ = '1';
    std::string oduConfig_;
    char remoteState_ = '1';
    bool distant_ = false;
    std::map<std::string, std::string> readings_;
    bool online_ = false;
    Unit* partner_ = nullptr;
    std::vector<std::pair<std::string, std::string>> answers_;
    bool unreachable_ = false;
    int txoRestores_ = 1;
    int txoAttempts_ = 0;
    int latencyMs_ = 0;
    int64_t clockAtZero_ = 0;
    int statsIntervalMin_ = 0;
    int64_t lastStatsMs_ = 0;
    double randomFaultRate_ = 0;
    std::deque<std::string> events_;
    size_t eventsRead_ = 0;
    std::deque<std::string> stats_;
    size_t statsRead_ = 0;
    std::vector<Injection> injections_;
    std::mt19937_64 rng_;
    bool moving_ = false;
    int64_t fadeStartMs_ = 0;
    int64_t fadeLengthMs_ = 0;
    double fadeDepthDb_ = 0;
};

} // namespace linvar::sim
