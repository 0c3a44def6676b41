#include "ui/Scheduler.h"

namespace linvar {

void ManualScheduler::after(int ms, std::function<void()> fn) {
    due_.emplace(std::make_pair(now_ + (ms < 0 ? 0 : ms), seq_++), std::move(fn));
}

void ManualScheduler::advance(int64_t ms) {
    const int64_t until = now_ + ms;
    while (!due_.empty() && due_.begin()->first.first <= until) {
        auto it = due_.begin();
        now_ = it->first.first;
        auto fn = std::move(it->second);
        due_.erase(it);
        fn();
    }
    now_ = until;
}

} // namespace linvar
