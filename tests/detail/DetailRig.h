#pragma once
// One detail window of any family on a fake clock, talking to an in-process simulated unit
// through the same framing as the serial port. Each tick moves time on 50 ms, hands over
// the reply bytes that are due, runs the one-shot timers and the window's tick. The
// operator is strict: every question the window asks must have its answer queued.

#include "poll/PollHarness.h"

#include "detail/framework/DetailWindow.h"
#include "detail/mqx350/Mqx350Window.h"
#include "detail/switch/SwitchWindow.h"
#include "ui/Scheduler.h"
#include "ui/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// An MQX-350 configuration string with a different value in every field (positions from 1).
inline std::string KnownConfig(const std::string& txFreq = "0070.0000") {
    return std::string("0") + "1" + "1" + txFreq + "1" + "1" + "4" + "0064.000" + "0" + "1" +
           "10.0" + "1" + "0" + "1" + "1" + "1" + "0" + "C.5" + "3" + "1" + "1" + "2" + "00000" +
           "0140.0000" + "2" + "1" + "3" + "0128.000" + "1" + "0" + "1" + "032" + "05.5" + "4" +
           "00000000" + "0" + "1" + "0120" + "0" + "101010101010" + "1" + "3" + "1" + "0";
}

// An MQX-350L ODU configuration string.
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
    linvar::sim::Unit* partner = nullptr; // the other unit of a pair
    std::unique_ptr<linvar::DetailWindow> w;
    std::string addr = "0350";
    int record = 3;
    bool paired = false; // both units of the end set up
    std::string name;    // the opener's name for the unit; empty: its slot's
    int ticks = 0;
    // Watches the wire: called once the reply bytes are handed over (false) and once the
    // window's tick has run (true).
    std::function<void(bool ticked)> watch;

    DetailRig() {
        op.strict = true;
        bus.setLatencyMs(20);
    }
    ~DetailRig() {
        for (const auto& q : op.unexpected)
            ADD_FAILURE() << "unexpected question \"" << q.title << "\": " << q.text;
    }
    DetailRig(const DetailRig&) = delete;
    DetailRig& operator=(const DetailRig&) = delete;

    // The end's record (3: LOCAL end of link 2, 4: its DISTANT end, 41: switch 1) and a
    // simulated unit of this model at `address`; `pair` adds its partner one address on.
    linvar::sim::Unit& Place(const std::string& model, int rec = 3,
                             const std::string& address = "0350", bool pair = false) {
        const bool xcvr = model.rfind("VORN", 0) == 0 || model.rfind("PLD", 0) == 0;
        if (xcvr)
            bus.setClockAtZero(linvar::sim::civilSeconds(2026, 12, 6, 9, 0, 0));
        record = rec;
        addr = address;
        paired = paired || pair;
        linvar::EndRecord& e = setup.rec(rec);
        (xcvr ? e.Tr1Addr : e.Mod1Addr) = address;
        e.IdText = "MADRID-2";
        e.TimeoutText = "2";
        if (rec == 41)
            e.DelayText = "50";
        unit = bus.add(address, model);
        unit->setOnline(true);
        if (pair) {
            const std::string other = address.substr(0, 3) + char(address.back() + 1);
            (xcvr ? e.Tr2Addr : e.Mod2Addr) = other;
            partner = bus.add(other, model);
            unit->setPartner(partner);
            partner->setPartner(unit);
        }
        return *unit;
    }
    linvar::DetailDeps Deps() {
        return {tx, port, capture, clock, op, timers, setup, print, dir.path()};
    }
    // What the opener hands a window: the unit's name is its slot's unless `name` is set.
    linvar::DetailInputs Inputs(const std::string& identity) const {
        const std::string slot = record == 41 ? "switch 1"
                                 : record % 2 ? "Modem 1, Local end"
                                              : "Modem 1, Distant end";
        return {addr, name.empty() ? slot : name, identity, record, paired};
    }
    // The window made, activated, its errors reported to the operator.
    void Adopt(std::unique_ptr<linvar::DetailWindow> made) {
        w = std::move(made);
        w->setErrorReporter([this](const std::string& t) { op.report(t); });
        w->Activate();
    }
    // The window of a family on the placed unit, activated.
    template <class W, class... Extra> W& Create(const std::string& identity = "", Extra&&... x) {
        Adopt(std::make_unique<W>(Deps(), Inputs(identity), std::forward<Extra>(x)...));
        return static_cast<W&>(*w);
    }
    // A modem of this simulated model and identity, its window opened; `prepare` sets the
    // unit up before.
    template <class W>
    W& Open(const std::string& model, const std::string& identity, int rec = 3,
            const std::string& address = "0330",
            const std::function<void(linvar::sim::Unit&)>& prepare = {}) {
        Place(model, rec, address).setIdentity(identity);
        unit->setDistant(rec % 2 == 0 && rec <= 40); // 42, 44 stand by the switch
        if (prepare)
            prepare(*unit);
        return Create<W>(identity);
    }
    // The MQX-350 of the record, its unit answering with fixed values.
    linvar::Mqx350Window& Open350(const std::string& identity = "0350110000", int rec = 3,
                                  const std::string& address = "0350") {
        Place(identity.substr(1, 3), rec, address).setIdentity(identity);
        const std::string answers =
            "LRS=1|CID=LINK TWO|IMG=2|SWR=1.07 2.03|SNO=35012345|MGC=" + KnownConfig() +
            "|OGC=" + KnownOdu() + "|ODU=1|ADJ=-012|FPL=1|IPA=192.168.001.020.24";
        for (size_t from = 0; from < answers.size();) {
            const size_t bar = std::min(answers.find('|', from), answers.size());
            unit->setAnswer(answers.substr(from, 3), answers.substr(from + 3, bar - from - 3));
            from = bar + 1;
        }
        return Create<linvar::Mqx350Window>(identity);
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(linvar::kTickMs);
            port.Pump();
            if (watch)
                watch(false);
            timers.advance(linvar::kTickMs);
            w->Tick();
            ++ticks;
            if (watch)
                watch(true);
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
    // A request as it goes out: the command gets the unit's address.
    std::string Req(const std::string& command) const {
        return command.rfind('<', 0) == 0 ? command : "<" + addr + "/" + command;
    }
    bool WasSent(const std::string& command, size_t mark = 0) const {
        return std::find(port.sent.begin() + static_cast<long>(mark), port.sent.end(),
                         Req(command)) != port.sent.end();
    }
    // Ticks until this request has gone out (counting from now).
    bool UntilSent(const std::string& command, int limit = 3000) {
        const size_t mark = port.sent.size();
        return Until([&] { return WasSent(command, mark); }, limit);
    }
    // Ticks until a request beginning with this text has gone out; returns it.
    std::string UntilSentPrefix(const std::string& prefix, int limit = 2000) {
        const size_t mark = port.sent.size();
        std::string found;
        Until(
            [&] {
                for (size_t i = mark; i < port.sent.size() && found.empty(); ++i)
                    if (port.sent[i].rfind(Req(prefix), 0) == 0)
                        found = port.sent[i];
                return !found.empty();
            },
            limit);
        return found;
    }
    bool UntilText(const std::string& box, const std::string& text, int limit = 3000) {
        return Until([&] { return Text(box) == text; }, limit);
    }
    Lines SentSince(size_t mark) const {
        return {port.sent.begin() + static_cast<long>(mark), port.sent.end()};
    }
    // What went out since `mark`, without the address.
    Lines Commands(size_t mark = 0) const {
        Lines out;
        for (const std::string& s : SentSince(mark))
            out.push_back(s.substr(s.find('/') + 1));
        return out;
    }
    bool Settle(int limit = 3000) {
        // The step where the configuration panel waits for the operator.
        const int idle = dynamic_cast<const linvar::SwitchWindow*>(w.get())
                             ? linvar::SwitchWindow::kConfigIdle
                             : linvar::ConfigSteps::Idle;
        return Until([&] { return w->StepNo == idle && !tx.AwaitingReply; }, limit);
    }
    bool Ready() {
        return Until([&] { return at("BtnConfig").enabled(); });
    }
    bool Idle(const char* button) {
        return Until([&] { return at(button).enabled() && !tx.AwaitingReply; });
    }
    // The window has read its unit: a modem its redundancy state, others a whole pass.
    void ReadStatus() {
        if (w->Family().steering == linvar::Steering::Phases) {
            ASSERT_TRUE(UntilSent("RED?")) << "no redundancy reading";
            Tick(4);
        } else {
            ASSERT_TRUE(Idle("BtnConfig"));
        }
    }
    // From the status loop, a phase's panel once its first request `first` has gone out.
    void ToPanel(const char* button, const std::string& first) {
        ReadStatus();
        w->click(button);
        ASSERT_TRUE(UntilSent(first));
        Tick(3);
    }
    // Reads the configuration; returns the requests of the reading.
    Lines ReadConfig() {
        ReadStatus();
        const size_t mark = port.sent.size();
        w->click("BtnConfig");
        Tick();
        EXPECT_TRUE(Settle());
        return Commands(mark);
    }
    // What went out while `action` ran and the window settled again.
    Lines Sent(const std::function<void()>& action) {
        const size_t mark = port.sent.size();
        action();
        Tick(4);
        Settle();
        Tick(2);
        return Commands(mark);
    }
    // The settings among them.
    Lines Settings(const std::function<void()>& action) {
        Lines out;
        for (const std::string& s : Sent(action))
            if (s.find('=') != std::string::npos)
                out.push_back(s);
        return out;
    }
    void Edit(const std::string& box, const std::string& text) {
        w->enter(box);
        w->type(box, text);
        w->leave(box);
    }
    bool Choose(const std::string& box, int index) {
        w->enter(box);
        return w->choose(box, index);
    }
    // Chooses an entry by its text; false when the list has no such entry.
    bool Choose(const std::string& box, const std::string& entry) {
        const auto& items = at(box).items();
        const auto it = std::find(items.begin(), items.end(), entry);
        return it != items.end() && Choose(box, static_cast<int>(it - items.begin()));
    }
    // The settings sent for an entry: a list's entry is chosen, other boxes are typed in.
    Lines Set(const std::string& box, const std::string& value) {
        return Settings([&] {
            if (at(box).kind() == linvar::ControlKind::Combo)
                Choose(box, value);
            else
                Edit(box, value);
        });
    }
    // The instruction the window shows while `box` has the focus.
    std::string Prompt(const std::string& box) {
        w->enter(box);
        const std::string shown = Text("Instruction");
        w->leave(box);
        return shown;
    }
    // Ticks or clears a check box and leaves it.
    void Check(const std::string& box, bool on) {
        w->enter(box);
        w->check(box, on);
        w->leave(box);
    }
    void Once(linvar::sim::Injection i, const char* mnemonic) {
        i.mnemonic = mnemonic;
        i.count = 1;
        unit->inject(i);
    }
    template <class B> B& Sim() { return *dynamic_cast<B*>(unit->behaviour()); }

    // Names the file the log goes to and whether it starts anew, is added to or replaced.
    bool ToFile(const std::string& file, const char* mode) {
        op.files.push_back(file);
        return w->click("BtnChooseFile") && w->click(mode);
    }
    // A modem's log (its events or statistics button) read to a new file.
    void ReadModemLog(const char* log, const std::string& file) {
        op.files.push_back(file);
        w->click(log);
        w->click("BtnNewFile");
        w->click("BtnReadLog");
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
    bool LogRead() { return UntilText("LogProgress", "Reading log completed"); }
    Lines File(const std::string& file) const {
        return linvar::TextFile::readLines(dir.path() / file).value_or(Lines{});
    }

    const linvar::Control& at(const std::string& n) const { return w->at(n); }
    std::string Text(const std::string& n) const { return w->at(n).text(); }
    std::string Colour(const std::string& n) const {
        return linvar::colourName(w->at(n).background());
    }
    std::string Selected(const std::string& n) const { return w->at(n).selectedText(); }
    // What a box shows: a list its chosen entry, another control its text.
    std::string Shown(const std::string& n) const {
        const linvar::Control& c = at(n);
        return c.kind() == linvar::ControlKind::Combo ? c.selectedText() : c.text();
    }
    // What the boxes show, as "box=shown|box=shown".
    void Shows(const std::string& table) const {
        for (size_t from = 0; from < table.size();) {
            const size_t bar = std::min(table.find('|', from), table.size());
            const size_t eq = table.find('=', from);
            const std::string box = table.substr(from, eq - from);
            EXPECT_EQ(Shown(box), table.substr(eq + 1, bar - eq - 1)) << box;
            from = bar + 1;
        }
    }
    // What the operator sees in each box: its text and, where given, its background.
    struct Look {
        const char* box;
        const char* text;
        const char* colour = nullptr;
    };
    void Shows(std::initializer_list<Look> looks) const {
        for (const Look& l : looks) {
            EXPECT_EQ(l.text ? Shown(l.box) : "", l.text ? l.text : "") << l.box;
            EXPECT_EQ(l.colour ? Colour(l.box) : "", l.colour ? l.colour : "") << l.box;
        }
    }
    // The boxes' backgrounds, one colour name each, space-separated.
    std::string Paint(const Lines& boxes) const {
        std::string out;
        for (const std::string& b : boxes)
            out += (out.empty() ? "" : " ") + Colour(b);
        return out;
    }
    void Enabled(const Lines& boxes, bool on) const {
        for (const std::string& b : boxes)
            EXPECT_EQ(at(b).enabled(), on) << b;
    }
    // One character a control: 1 where `flag` holds.
    std::string Flags(bool (linvar::Control::*flag)() const, const Lines& boxes) const {
        std::string out;
        for (const std::string& box : boxes)
            out += (at(box).*flag)() ? '1' : '0';
        return out;
    }
};
