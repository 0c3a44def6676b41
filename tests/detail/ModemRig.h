#pragma once
// A detail window of any modem family on a fake clock against an in-process simulated
// unit that answers as its family does (no fixed answers unless a test sets them).

#include "poll/PollHarness.h"

#include "detail/framework/DetailWindow.h"
#include "ui/Scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

template <class W> struct ModemRig {
    TempDir dir;
    linvar::FakeClock clock{{2026, 12, 6, 9, 0, 0, 0}};
    linvar::sim::Bus bus;
    SimPort port{bus, clock};
    linvar::SystemSetup setup;
    linvar::ScriptedOperator op;
    linvar::PrintState print;
    linvar::Capture capture{clock, dir.path()};
    linvar::TransactionState tx;
    linvar::ManualScheduler timers;
    linvar::sim::Unit* unit = nullptr;
    std::unique_ptr<W> w;
    std::string address;
    bool paired = false;
    std::string name; // the opener's name for the unit; empty: its slot's

    ModemRig() { op.strict = true; }
    ~ModemRig() {
        for (const auto& q : op.unexpected)
            ADD_FAILURE() << "unexpected question \"" << q.title << "\": " << q.text;
    }
    ModemRig(const ModemRig&) = delete;
    ModemRig& operator=(const ModemRig&) = delete;

    // The unit at record 3 (LOCAL) or 4 (DISTANT end of link 2); `prepare` sets it up
    // before the window opens.
    void Open(const std::string& model, const std::string& identity, int record = 3,
              const std::function<void(linvar::sim::Unit&)>& prepare = {}) {
        address = "0330";
        bus.setLatencyMs(20);
        setup.rec(record).Mod1Addr = address;
        setup.rec(record).IdText = "OSLO-2";
        setup.rec(record).TimeoutText = "2";
        unit = bus.add(address, model);
        unit->setIdentity(identity);
        unit->setOnline(true);
        unit->setDistant(record % 2 == 0 && record <= 40); // 42, 44 stand by the switch
        if (prepare)
            prepare(*unit);
        linvar::DetailDeps deps{tx, port, capture, clock, op, timers, setup, print, dir.path()};
        if (name.empty())
            name = record % 2 ? "Modem 1, Local end" : "Modem 1, Distant end";
        w = std::make_unique<W>(deps,
                                linvar::DetailInputs{address, name, identity, record, paired});
        w->setErrorReporter([this](const std::string& t) { op.report(t); });
        w->Activate();
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(linvar::kTickMs);
            port.Pump();
            timers.advance(linvar::kTickMs);
            w->Tick();
        }
    }
    bool Until(const std::function<bool()>& done, int limit = 3000) {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return true;
            Tick();
        }
        return done();
    }
    std::string Req(const std::string& command) const { return "<" + address + "/" + command; }
    bool UntilSent(const std::string& command, int limit = 3000) {
        const size_t mark = port.sent.size();
        return Until(
            [&] {
                for (size_t i = mark; i < port.sent.size(); ++i)
                    if (port.sent[i] == Req(command))
                        return true;
                return false;
            },
            limit);
    }
    // The requests (without the address) sent since `mark`.
    std::vector<std::string> SentSince(size_t mark) const {
        std::vector<std::string> out;
        for (size_t i = mark; i < port.sent.size(); ++i)
            out.push_back(port.sent[i].substr(port.sent[i].find('/') + 1));
        return out;
    }
    // The status loop has gone round once: the configuration may be read.
    void ReadStatus() {
        ASSERT_TRUE(UntilSent("RED?")) << "no redundancy reading";
        Tick(4);
    }
    // Reads the configuration; returns the requests of the reading.
    std::vector<std::string> ReadConfig() {
        ReadStatus();
        const size_t mark = port.sent.size();
        w->click("BtnConfig");
        Tick();
        EXPECT_TRUE(
            Until([&] { return w->StepNo == linvar::ConfigSteps::Idle && !tx.AwaitingReply; }));
        return SentSince(mark);
    }
    // The settings that went out while `action` ran and the window settled again.
    std::vector<std::string> Settings(const std::function<void()>& action) {
        const size_t mark = port.sent.size();
        action();
        Tick(4);
        Until([&] { return w->StepNo == linvar::ConfigSteps::Idle && !tx.AwaitingReply; });
        Tick(2);
        std::vector<std::string> out;
        for (const std::string& s : SentSince(mark))
            if (s.find('=') != std::string::npos)
                out.push_back(s);
        return out;
    }
    void Edit(const std::string& box, const std::string& text) {
        w->enter(box);
        w->type(box, text);
        w->leave(box);
    }
    // Chooses an entry by its text; false when the list has no such entry.
    bool Choose(const std::string& box, const std::string& entry) {
        const auto& items = w->at(box).items();
        const auto it = std::find(items.begin(), items.end(), entry);
        if (it == items.end())
            return false;
        w->enter(box);
        return w->choose(box, static_cast<int>(it - items.begin()));
    }
    const linvar::Control& at(const std::string& n) const { return w->at(n); }
    std::string Text(const std::string& n) const { return w->at(n).text(); }
    std::string Colour(const std::string& n) const {
        return linvar::colourName(w->at(n).background());
    }
    std::string Selected(const std::string& n) const { return w->at(n).selectedText(); }
};
