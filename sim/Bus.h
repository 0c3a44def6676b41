#pragma once
// The serial bus of the simulated installation: requests in, replies out when due.

#include "Unit.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace linvar::sim {

class Bus {
public:
    static constexpr size_t requestLogCapacity = 1000;

    explicit Bus(uint64_t seed = 1);

    // Adds a unit at a four-digit address; an existing unit there gets the new model
    // and stays the same object. Returns nullptr for an address that is not 4 digits.
    Unit* add(const std::string& address, const std::string& model);
    Unit* find(const std::string& address);
    const Unit* find(const std::string& address) const;
    std::vector<std::string> addresses() const;
    size_t size() const { return units_.size(); }

    // Latency of every reply (the unit's own latency and late-reply faults add to it).
    void setLatencyMs(int ms) { latencyMs_ = ms; }
    int latencyMs() const { return latencyMs_; }
    // Wall-clock time of new units at nowMs = 0 (civil seconds).
    void setClockAtZero(int64_t civil) { clockAtZero_ = civil; }
    // Chance per status query of a random fault change, for every unit.
    void setRandomFaultRate(double rate);
    // Readings that move (Unit::setMoving), for every unit, those added later too.
    void setMoving(bool on);

    // Request bytes as written on the line at nowMs; partial requests are kept until
    // their CR arrives, bytes outside "<" ... CR are ignored.
    void receive(const std::string& bytes, int64_t nowMs);
    // Reply bytes due by nowMs, in the order they go out on the line.
    std::string poll(int64_t nowMs);
    // When the next reply is due; -1 when none is pending.
    int64_t nextDueMs() const;
    size_t pendingReplies() const { return queue_.size(); }

    // Complete requests seen, without CR, oldest first (the last requestLogCapacity).
    const std::deque<std::string>& requestLog() const { return requestLog_; }
    void clearRequestLog() { requestLog_.clear(); }
    uint64_t requestCount() const { return requestCount_; }

private:
    struct Due {
        int64_t dueMs;
        std::string bytes;
    };
    void handleRequest(const std::string& request, int64_t nowMs);
    void enqueue(int64_t dueMs, std::string bytes);

    std::map<std::string, std::unique_ptr<Unit>> units_;
    std::deque<Due> queue_;
    std::string partial_;
    std::deque<std::string> requestLog_;
    uint64_t requestCount_ = 0;
    uint64_t seed_;
    uint64_t unitsMade_ = 0;
    int latencyMs_ = 20;
    int64_t clockAtZero_;
    double randomFaultRate_ = 0;
    bool moving_ = false;
};

} // namespace linvar::sim
