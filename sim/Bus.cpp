#include "Bus.h"

#include <algorithm>
#include <cctype>

namespace linvar::sim {

namespace {

constexpr size_t longestRequest = 300;

bool fourDigits(const std::string& s) {
    return s.size() == 4 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

Bus::Bus(uint64_t seed) : seed_(seed), clockAtZero_(civilSeconds(2011, 6, 21, 14, 0, 0)) {}

Unit* Bus::add(const std::string& address, const std::string& model) {
    if (!fourDigits(address))
        return nullptr;
    auto it = units_.find(address);
    if (it != units_.end()) {
        it->second->setModel(model);
        return it->second.get();
    }
    // Each unit draws from its own stream so that one unit's traffic does not change
    // what another one does.
    uint64_t unitSeed = seed_ * 1000003u + std::stoul(address) * 7919u + ++unitsMade_;
    auto unit = std::make_unique<Unit>(address, model, clockAtZero_, unitSeed);
    unit->setRandomFaultRate(randomFaultRate_);
    unit->setMoving(moving_);
    Unit* raw = unit.get();
    units_.emplace(address, std::move(unit));
    return raw;
}

Unit* Bus::find(const std::string& address) {
    auto it = units_.find(address);
    return it == units_.end() ? nullptr : it->second.get();
}

const Unit* Bus::find(const std::string& address) const {
    auto it = units_.find(address);
    return it == units_.end() ? nullptr : it->second.get();
}

std::vector<std::string> Bus::addresses() const {
    std::vector<std::string> out;
    for (const auto& [address, unit] : units_)
        out.push_back(address);
    return out;
}

void Bus::setRandomFaultRate(double rate) {
    randomFaultRate_ = rate;
    for (auto& [address, unit] : units_)
        unit->setRandomFaultRate(rate);
}

void Bus::setMoving(bool on) {
    moving_ = on;
    for (auto& [address, unit] : units_)
        unit->setMoving(on);
}

void Bus::receive(const std::string& bytes, int64_t nowMs) {
    for (char c : bytes) {
        if (c == '<') {
            partial_.assign(1, '<'); // a new request start abandons an unfinished one
        } else if (partial_.empty()) {
            continue; // junk between requests
        } else if (c == '\r') {
            std::string request = std::move(partial_);
            partial_.clear();
            handleRequest(request, nowMs);
        } else if (partial_.size() >= longestRequest) {
            partial_.clear(); // runaway: no CR in sight
        } else {
            partial_ += c;
        }
    }
}

void Bus::handleRequest(const std::string& request, int64_t nowMs) {
    ++requestCount_;
    requestLog_.push_back(request);
    if (requestLog_.size() > requestLogCapacity)
        requestLog_.pop_front();
    // "<" + four-digit address + "/" + command
    if (request.size() < 7 || request[5] != '/')
        return;
    Unit* unit = find(request.substr(1, 4));
    if (!unit)
        return; // nobody at that address: the line stays quiet
    Response r = unit->handle(request.substr(6), nowMs);
    if (!r.echo.empty())
        enqueue(nowMs, std::move(r.echo));
    if (!r.silent)
        enqueue(nowMs + latencyMs_ + unit->latencyMs() + r.extraMs, std::move(r.bytes));
}

void Bus::enqueue(int64_t dueMs, std::string bytes) {
    // In order of due time; replies due together keep the order of their requests.
    auto pos = std::upper_bound(queue_.begin(), queue_.end(), dueMs,
                                [](int64_t t, const Due& d) { return t < d.dueMs; });
    queue_.insert(pos, Due{dueMs, std::move(bytes)});
}

std::string Bus::poll(int64_t nowMs) {
    std::string out;
    while (!queue_.empty() && queue_.front().dueMs <= nowMs) {
        out += queue_.front().bytes;
        queue_.pop_front();
    }
    return out;
}

int64_t Bus::nextDueMs() const {
    return queue_.empty() ? -1 : queue_.front().dueMs;
}

} // namespace linvar::sim
