#include "qt/QtScheduler.h"

#include "ui/UserError.h"

#include <QDebug>
#include <algorithm>
#include <cstdio>

namespace linvar {

namespace {

void runReported(Operator* op, const std::function<void()>& fn) {
    try {
        fn();
    } catch (const UserError& e) {
        if (op)
            op->report(e.what());
        else
            qWarning("%s", e.what());
    }
}

} // namespace

void QtScheduler::after(int ms, std::function<void()> fn) {
    Operator* op = op_;
    QTimer::singleShot(ms, Qt::PreciseTimer, context_,
                       [op, fn = std::move(fn)] { runReported(op, fn); });
}

void TickLateness::add(int64_t lateUs) {
    lateUs = std::max<int64_t>(0, lateUs);
    ++histogram_[static_cast<size_t>(std::min<int64_t>(lateUs / StepUs, Steps - 1))];
    ++count_;
    maxUs_ = std::max(maxUs_, lateUs);
}

int64_t TickLateness::percentileUs(double fraction) const {
    if (count_ == 0)
        return 0;
    const auto wanted = static_cast<uint64_t>(std::clamp(fraction, 0.0, 1.0) * count_ + 0.5);
    uint64_t seen = 0;
    for (int i = 0; i < Steps; ++i) {
        seen += histogram_[static_cast<size_t>(i)];
        if (seen >= std::max<uint64_t>(wanted, 1))
            return std::min<int64_t>(int64_t{i + 1} * StepUs, maxUs_);
    }
    return maxUs_;
}

std::string TickLateness::report() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, "ticks %llu\np50_ms %.1f\np99_ms %.1f\nmax_ms %.1f\n",
                  static_cast<unsigned long long>(count_), percentileUs(0.5) / 1000.0,
                  percentileUs(0.99) / 1000.0, maxUs_ / 1000.0);
    return buf;
}

TickTimer::TickTimer(Operator* op, std::function<void()> tick, QObject* parent)
    : QObject(parent), op_(op), tick_(std::move(tick)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(IntervalMs);
    connect(&timer_, &QTimer::timeout, this, &TickTimer::fire);
}

void TickTimer::fire() {
    // A message box or a dialog may run events inside a tick; never nest ticks.
    if (inTick_)
        return;
    inTick_ = true;
    if (measuring_) {
        if (sinceLast_.isValid())
            lateness_.add(sinceLast_.nsecsElapsed() / 1000 - int64_t{IntervalMs} * 1000);
        sinceLast_.start();
    }
    ++ticks_;
    runReported(op_, tick_);
    inTick_ = false;
}

} // namespace linvar
