#pragma once
// The timers on the Qt event loop: one-shot timers for the screens and the 50 ms tick
// that drives the port. A UserError out of either goes to the general error report and
// the timers keep running.

#include "ui/Operator.h"
#include "ui/Scheduler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace linvar {

class QtScheduler : public Scheduler {
public:
    // `context` bounds the timers' life: they are dropped when it is destroyed.
    QtScheduler(QObject* context, Operator* op = nullptr) : context_(context), op_(op) {}
    void after(int ms, std::function<void()> fn) override;

private:
    QObject* context_;
    Operator* op_;
};

// How late the ticks come: the gap between two ticks beyond the interval, in a fixed
// histogram of 0.1 ms steps up to one second (later ticks count in the last step).
class TickLateness {
public:
    static constexpr int StepUs = 100;
    static constexpr int Steps = 10001;

    void add(int64_t lateUs);
    uint64_t count() const { return count_; }
    int64_t maxUs() const { return maxUs_; }
    // The lateness that `fraction` (0 to 1) of the ticks do not exceed, in microseconds.
    int64_t percentileUs(double fraction) const;
    // "ticks N", "p50_ms", "p99_ms", "max_ms" one a line.
    std::string report() const;

private:
    std::array<uint32_t, Steps> histogram_{};
    uint64_t count_ = 0;
    int64_t maxUs_ = 0;
};

class TickTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 50;

    TickTimer(Operator* op, std::function<void()> tick, QObject* parent = nullptr);
    void start() { timer_.start(); }
    void stop() { timer_.stop(); }
    bool isActive() const { return timer_.isActive(); }
    // Ticks run so far (a tick that starts while another still runs is skipped).
    uint64_t ticks() const { return ticks_; }
    // Off by default: the measurement costs a clock read a tick.
    void measureLateness(bool on) { measuring_ = on; }
    const TickLateness& lateness() const { return lateness_; }

private:
    void fire();

    QTimer timer_;
    Operator* op_;
    std::function<void()> tick_;
    bool inTick_ = false;
    uint64_t ticks_ = 0;
    bool measuring_ = false;
    QElapsedTimer sinceLast_;
    TickLateness lateness_;
};

} // namespace linvar
