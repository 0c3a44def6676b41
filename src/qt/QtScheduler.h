#pragma once
// The timers on the Qt event loop: one-shot timers for the screens and the 50 ms tick
// that drives the port. A UserError out of either goes to the general error report and
// the timers keep running.

#include "ui/Operator.h"
#include "ui/Scheduler.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

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

private:
    void fire();

    QTimer timer_;
    Operator* op_;
    std::function<void()> tick_;
    bool inTick_ = false;
    uint64_t ticks_ = 0;
};

} // namespace linvar
