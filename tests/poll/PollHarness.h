#pragma once
// The polling engine on a fake clock, talking to the in-process simulator through the
// same framing as the serial port: every tick moves time on 50 ms, hands over the reply
// bytes that are due, then runs the main timer's tick.

#include "SimPort.h"
#include "TempDir.h"

#include "logging/Capture.h"
#include "logging/Print.h"
#include "poll/AutoLog.h"
#include "poll/PollCycle.h"
#include "summary/SummaryScreen.h"
#include "ui/Operator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

struct PollHarness {
    TempDir dir;
    linvar::FakeClock clock{{2026, 12, 6, 9, 0, 0, 0}};
    linvar::sim::Bus bus;
    SimPort port{bus, clock};
    linvar::SystemSetup setup;
    linvar::SummaryScreen screen;
    linvar::ScriptedOperator op;
    linvar::PrintState print;
    linvar::Capture capture{clock, dir.path()};
    linvar::PollCycle cycle{{setup, port, capture, clock, print, screen, op, dir.path()}};

    explicit PollHarness(uint64_t seed = 1) : bus(seed) {
        bus.setLatencyMs(20);
        screen.setErrorReporter([this](const std::string& t) { op.report(t); });
    }

    // A unit present in the set-up and on the bus.
    linvar::sim::Unit* Unit(int record, int slot, const std::string& address,
                            const std::string& model) {
        setup.rec(record).addr(slot) = address;
        setup.RecomputeAnyEndActive();
        return bus.add(address, model);
    }

    void Start() {
        setup.RecomputeAnyEndActive();
        setup.ResetDisplayColours();
        cycle.StartPolling();
    }

    void Tick() {
        clock.advanceMs(linvar::kTickMs);
        port.Pump();
        cycle.Tick();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Tick();
    }
    // Ticks until `count` more requests went out (at most `limit` ticks).
    bool RunRequests(size_t count, int limit = 2000) {
        const size_t target = port.sent.size() + count;
        for (int i = 0; i < limit && port.sent.size() < target; ++i)
            Tick();
        return port.sent.size() >= target;
    }
    // Requests sent since the mark, in order.
    std::vector<std::string> SentSince(size_t mark) const {
        return {port.sent.begin() + static_cast<long>(mark), port.sent.end()};
    }
    long Count(const std::string& request) const {
        return std::count(port.sent.begin(), port.sent.end(), request);
    }
    std::string Colour(const std::string& control) const {
        return linvar::colourName(screen.at(control).background());
    }
};

// The detail windows: notes what is asked for and keeps the close call for the test.
class FakeWindows : public linvar::DetailWindows {
public:
    explicit FakeWindows(PollHarness& h) { h.cycle.SetDetailWindows(this); }
    bool open(const linvar::DetailRequest& r, std::function<void(bool)> closed) override {
        opened.push_back(r);
        onClose = std::move(closed);
        return true;
    }
    std::vector<linvar::DetailRequest> opened;
    std::function<void(bool)> onClose;
};

// Ticks until `done` holds (at most `limit` ticks); returns the ticks taken, -1 if never.
template <typename Pred> int TicksUntil(PollHarness& h, int limit, Pred done) {
    for (int i = 0; i < limit; ++i) {
        if (done())
            return i;
        h.Tick();
    }
    return done() ? limit : -1;
}

// Double-clicks a unit and ticks until a detail window opens or the operator is asked.
inline void DoubleClickUnit(PollHarness& h, const FakeWindows& windows, const std::string& icon) {
    const size_t opened = windows.opened.size(), asked = h.op.questions.size();
    ASSERT_TRUE(h.screen.doubleClick(icon)) << icon;
    TicksUntil(h, 400,
               [&] { return windows.opened.size() != opened || h.op.questions.size() != asked; });
}

// The single-link view of link 1, settled.
inline void OpenLink(PollHarness& h) {
    h.Start();
    h.screen.doubleClick("EndL1");
    h.Ticks(10);
}
