#include "qt/QtScheduler.h"

#include "ui/UserError.h"

#include <QDebug>

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
    ++ticks_;
    runReported(op_, tick_);
    inTick_ = false;
}

} // namespace linvar
