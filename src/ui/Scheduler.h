#pragma once
// One-shot timers (the 100 ms confirmation timer of the detail windows). The Qt layer
// runs them on its event loop; ManualScheduler runs them when a test moves time on.

#include <cstdint>
#include <functional>
#include <map>

namespace linvar {

class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual void after(int ms, std::function<void()> fn) = 0;
};

class ManualScheduler : public Scheduler {
public:
    void after(int ms, std::function<void()> fn) override;
    // Moves time on and runs, in order, every timer that is due.
    void advance(int64_t ms);
    bool idle() const { return due_.empty(); }

private:
    int64_t now_ = 0;
    uint64_t seq_ = 0;
    std::map<std::pair<int64_t, uint64_t>, std::function<void()>> due_;
};

} // namespace linvar
