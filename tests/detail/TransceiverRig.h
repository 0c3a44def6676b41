#pragma once
// One transceiver (or switch) detail window on a fake clock, talking to an in-process
// simulated unit through the same framing as the serial port (see DetailRig.h for the
// modems').

#include "poll/PollHarness.h"

#include "detail/transceiver/TransceiverCommon.h"
#include "ui/Scheduler.h"
#include "ui/TextFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

template <class Window, class Behaviour> struct TransceiverRig {
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
    linvar::sim::Unit* partner = nullptr; // the other transceiver of a pair
    std::unique_ptr<Window> w;
    std::string addr = "0211";
    int ticks = 0;

    TransceiverRig() { op.strict = true; }
    ~TransceiverRig() {
        for (const auto& q : op.unexpected)
            ADD_FAILURE() << "unexpected question \"" << q.title << "\": " << q.text;
    }
    TransceiverRig(const TransceiverRig&) = delete;
    TransceiverRig& operator=(const TransceiverRig&) = delete;

    // The unit at 0211 in slot Transceiver 1 of record 3 (LOCAL end of link 2) or 4 (its
    // DISTANT end); `pair` adds 0212 in slot Transceiver 2. `prepare` sets the unit up
    // before the window opens.
    void Make(const std::string& model, int record = 3, bool pair = false) {
        bus.setLatencyMs(20);
        bus.setClockAtZero(linvar::sim::civilSeconds(2026, 12, 6, 9, 0, 0));
        setup.rec(record).Tr1Addr = "0211";
        setup.rec(record).IdText = "LISBON-2";
        setup.rec(record).TimeoutText = "2";
        unit = bus.add("0211", model);
        if (pair) {
            setup.rec(record).Tr2Addr = "0212";
            partner = bus.add("0212", model);
            unit->setPartner(partner);
            partner->setPartner(unit);
            unit->setOnline(true);
        }
        record_ = record;
        pair_ = pair;
    }
    void Open(const std::string& name) {
        linvar::DetailDeps deps{tx, port, capture, clock, op, timers, setup, print, dir.path()};
        w = std::make_unique<Window>(deps, linvar::DetailInputs{addr, name, "", record_, pair_});
        w->setErrorReporter([this](const std::string& t) { op.report(t); });
        w->Activate();
    }
    Behaviour& Sim() { return *dynamic_cast<Behaviour*>(unit->behaviour()); }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(linvar::kTickMs);
            port.Pump();
            timers.advance(linvar::kTickMs);
            w->Tick();
            ++ticks;
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
    bool UntilSent(const std::string& request, int limit = 3000) {
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
    bool UntilText(const std::string& box, const std::string& text) {
        return Until([&] { return Text(box) == text; });
    }
    bool UntilStep(int step) {
        return Until([&] { return w->StepNo == step && !tx.AwaitingReply; });
    }
    bool UntilIdle() { return UntilStep(linvar::TransceiverWindow::kIdle); }
    bool Idle(const char* button) {
        return Until([&] { return at(button).enabled() && !tx.AwaitingReply; });
    }
    std::vector<std::string> SentSince(size_t mark) const {
        return {port.sent.begin() + static_cast<long>(mark), port.sent.end()};
    }
    // The first pass is over (the buttons came), then the configuration panel waits.
    void ReadConfig() {
        ASSERT_TRUE(Until([&] { return at("BtnConfig").enabled(); }));
        w->click("BtnConfig");
        ASSERT_TRUE(UntilIdle());
    }
    // What went out since `mark`, without the address.
    std::vector<std::string> Commands(size_t mark = 0) const {
        std::vector<std::string> out;
        for (const std::string& s : SentSince(mark))
            out.push_back(s.substr(s.find('/') + 1));
        return out;
    }
    // What went out while `action` ran and the window waited again.
    std::vector<std::string> Sent(const std::function<void()>& action) {
        const size_t mark = port.sent.size();
        action();
        Tick(2);
        UntilIdle();
        return Commands(mark);
    }
    void Edit(const std::string& box, const std::string& text) {
        w->enter(box);
        w->type(box, text);
        w->leave(box);
    }
    void Choose(const std::string& box, int index) {
        w->enter(box);
        w->choose(box, index);
    }
    // Names the file the log goes to and whether it starts anew, is added to or replaced.
    bool ToFile(const std::string& file, const char* mode) {
        op.files.push_back(file);
        return w->click("BtnChooseFile") && w->click(mode);
    }
    // From any panel: the log panel afresh, a file named, and the reading started.
    bool StartLog(const std::string& file, const char* mode = "BtnNewFile") {
        if (!Idle("BtnLogs") || !w->click("BtnLogs"))
            return false;
        Tick();
        return Until([&] {
                   return Idle("BtnChooseFile") &&
                          Text("LogTopLine").rfind("Choose a data file", 0) == 0;
               }) &&
               ToFile(file, mode) && w->click("BtnReadLog");
    }
    size_t FileLines(const std::string& file) const {
        return linvar::TextFile::readLines(dir.path() / file)
            .value_or(std::vector<std::string>{})
            .size();
    }
    bool LogRead() {
        return Until([&] { return Text("LogProgress") == "Reading log completed"; });
    }
    bool Ready() {
        return Until([&] { return at("BtnConfig").enabled(); });
    }
    void Once(linvar::sim::Injection i, const char* mnemonic) {
        i.mnemonic = mnemonic;
        i.count = 1;
        unit->inject(i);
    }
    // What the operator sees in each box: its text and, where given, its background.
    struct Look {
        const char* box;
        const char* text;
        const char* colour = nullptr;
    };
    void Shows(std::initializer_list<Look> looks) const {
        for (const Look& l : looks) {
            if (l.text) {
                EXPECT_EQ(Text(l.box), l.text) << l.box;
            }
            if (l.colour) {
                EXPECT_EQ(Colour(l.box), l.colour) << l.box;
            }
        }
    }
    using Names = std::initializer_list<const char*>;
    void Visible(Names boxes, bool shown) const {
        for (const char* b : boxes)
            EXPECT_EQ(at(b).visible(), shown) << b;
    }
    void Enabled(Names boxes, bool on) const {
        for (const char* b : boxes)
            EXPECT_EQ(at(b).enabled(), on) << b;
    }
    const linvar::Control& at(const std::string& n) const { return w->at(n); }
    std::string Text(const std::string& n) const { return w->at(n).text(); }
    std::string Colour(const std::string& n) const {
        return linvar::colourName(w->at(n).background());
    }

    int record_ = 3;
    bool pair_ = false;
};
