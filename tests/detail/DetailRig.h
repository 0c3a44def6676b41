#pragma once
// One detail window (an MQX-350's unless a test opens another family's) on a fake clock,
// talking to an in-process simulated unit through the same framing as the serial port. Each tick
// moves time on 50 ms, hands over the reply bytes that are due, runs the one-shot timers and the
// window's tick.

#include "poll/PollHarness.h"

#include "detail/mqx350/Mqx350Window.h"
#include "ui/Scheduler.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// A configuration string with a different value in every field (positions from 1).
inline std::string KnownConfig(const std::string& txFreq = "0070.0000") {
    std::string c = std::string("0") + "1" + "1" + txFreq + "1" + "1" + "4" + "0064.000" + "0" +
                    "1" + "10.0" + "1" + "0" + "1" + "1" + "1" + "0" + "C.5" + "3" + "1" + "1" +
                    "2" + "00000" + "0140.0000" + "2" + "1" + "3" + "0128.000" + "1" + "0" + "1" +
                    "032" + "05.5" + "4" + "00000000" + "0" + "1" + "0120" + "0" + "101010101010" +
                    "1" + "3" + "1" + "0";
    return c;
}

// An ODU configuration string (MQX-350L).
inline std::string KnownOdu() {
    return std::string("03") + "1" + "1" + "0" + "1" + "0000" + "0800" + "3000" + "13050" + "+" +
           "000000" + "2" + "1" + "050" + "500" + "10750" + "-";
}

struct DetailRig {
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
    std::unique_ptr<linvar::DetailWindow> w;
    bool paired = false; // both modems of the end set up
    // Watches the wire: called once the reply bytes are handed over (false) and once the
    // window's tick has run (true).
    std::function<void(bool ticked)> watch;

    // Every question the window asks must have its answer queued by the test.
    DetailRig() { op.strict = true; }
    ~DetailRig() {
        for (const auto& q : op.unexpected)
            ADD_FAILURE() << "unexpected question \"" << q.title << "\": " << q.text;
    }
    DetailRig(const DetailRig&) = delete;
    DetailRig& operator=(const DetailRig&) = delete;

    // Record 3 is a LOCAL end, 4 the DISTANT end of link 2.
    void Open(const std::string& identity = "0350110000", int record = 3,
              const std::string& address = "0350") {
        bus.setLatencyMs(20);
        setup.rec(record).Mod1Addr = address;
        setup.rec(record).IdText = "MADRID-2";
        setup.rec(record).TimeoutText = "2";
        unit = bus.add(address, identity.substr(1, 3));
        unit->setIdentity(identity);
        unit->setOnline(true);
        for (const auto& [m, v] :
             std::vector<std::pair<const char*, std::string>>{{"LRS", "=1"},
                                                              {"CID", "=LINK TWO"},
                                                              {"IMG", "=2"},
                                                              {"SWR", "=1.07 2.03"},
                                                              {"SNO", "=35012345"},
                                                              {"MGC", "=" + KnownConfig()},
                                                              {"OGC", "=" + KnownOdu()},
                                                              {"ODU", "=1"},
                                                              {"ADJ", "=-012"},
                                                              {"FPL", "=1"},
                                                              {"IPA", "=192.168.001.020.24"}})
            unit->setAnswer(m, v);
        Create<linvar::Mqx350Window>(identity, record, address);
    }

    // The end's record and a simulated unit of this model, before the window opens.
    void Place(const std::string& model, int record, const std::string& address) {
        bus.setLatencyMs(20);
        setup.rec(record).Mod1Addr = address;
        setup.rec(record).IdText = "MADRID-2";
        setup.rec(record).TimeoutText = "2";
        unit = bus.add(address, model);
        unit->setOnline(true);
    }
    // The window of a family on the placed unit, activated.
    template <class Window>
    Window& Create(const std::string& identity, int record, const std::string& address) {
        linvar::DetailDeps deps{tx, port, capture, clock, op, timers, setup, print, dir.path()};
        auto window = std::make_unique<Window>(
            deps, linvar::DetailInputs{address,
                                       record % 2 ? "Modem 1, Local end" : "Modem 1, Distant end",
                                       identity, record, paired});
        Window& made = *window;
        w = std::move(window);
        w->setErrorReporter([this](const std::string& t) { op.report(t); });
        w->Activate();
        return made;
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(linvar::kTickMs);
            port.Pump();
            if (watch)
                watch(false);
            timers.advance(linvar::kTickMs);
            w->Tick();
            if (watch)
                watch(true);
        }
    }
    bool Until(const std::function<bool()>& done, int limit = 2000) {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return true;
            Tick();
        }
        return done();
    }
    // Ticks until this request has gone out (counting from now).
    bool UntilSent(const std::string& request, int limit = 2000) {
        const size_t mark = port.sent.size();
        return Until(
            [&] {
                for (size_t i = mark; i < port.sent.size(); ++i)
                    if (port.sent[i] == request)
                        return true;
                return false;
            },
            limit);
    }
    // Ticks until a request beginning with this text has gone out; returns it.
    std::string UntilSentPrefix(const std::string& prefix, int limit = 2000) {
        const size_t mark = port.sent.size();
        std::string found;
        Until(
            [&] {
                for (size_t i = mark; i < port.sent.size(); ++i)
                    if (port.sent[i].rfind(prefix, 0) == 0) {
                        found = port.sent[i];
                        return true;
                    }
                return false;
            },
            limit);
        return found;
    }
    std::vector<std::string> SentSince(size_t mark) const {
        return {port.sent.begin() + static_cast<long>(mark), port.sent.end()};
    }
    // The configuration panel read and idle.
    void ReadConfig() {
        ASSERT_TRUE(UntilSent("<0350/RED?") || UntilSent("<" + w->UnitAddress + "/RED?"));
        Tick(3);
        w->click("BtnConfig");
        ASSERT_TRUE(Until([&] { return w->StepNo == linvar::ConfigSteps::Idle; }));
    }
    const linvar::Control& at(const std::string& n) const { return w->at(n); }
    std::string Text(const std::string& n) const { return w->at(n).text(); }
    std::string Colour(const std::string& n) const {
        return linvar::colourName(w->at(n).background());
    }
    // The settings (requests with "=", without the address) that went out while `action`
    // ran and the window settled again.
    std::vector<std::string> Settings(const std::function<void()>& action) {
        const size_t mark = port.sent.size();
        action();
        Tick(4);
        Until([&] { return w->StepNo == linvar::ConfigSteps::Idle && !tx.AwaitingReply; });
        Tick(2);
        std::vector<std::string> out;
        for (const std::string& s : SentSince(mark))
            if (s.find('=') != std::string::npos)
                out.push_back(s.substr(s.find('/') + 1));
        return out;
    }
    // An edit as the operator makes it.
    void Edit(const std::string& box, const std::string& text) {
        w->enter(box);
        w->type(box, text);
        w->leave(box);
    }
};
