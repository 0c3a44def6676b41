// Garbled replies against every detail window and the summary poll: whatever a unit answers
// (line noise, a wrong length, a truncated reply, a refusal, a reply meant for another unit
// or command, nothing at all) and whatever the operator does meanwhile, no tick or operator
// event throws anything but the station's own UserError, and once the unit answers truly
// again the window goes on asking and closes.
//
// And the unit changes only what the operator asked for: every command that sets something
// goes out after the operator worked the box or button that makes it, never straight after
// a No, a memory is stored or loaded only at the location the operator had shown, an
// activation flips only the modems the operator clicked, and what the unit holds at the
// end (its configuration, carrier, remote state, circuit, memories) changed only where such
// a command was taken.
//
// The first byte picks the family (or the summary poll) and the end; the rest is read a
// byte at a time: at each request, how its reply is spoilt; now and then an operator action.

#include "Bus.h"

#include "detail/framework/DetailHost.h"
#include "detail/framework/DetailWindow.h"
#include "logging/Capture.h"
#include "logging/Print.h"
#include "poll/PollCycle.h"
#include "serial/Framer.h"
#include "setup/SystemSetup.h"
#include "summary/SummaryScreen.h"
#include "ui/Clock.h"
#include "ui/Operator.h"
#include "ui/UserError.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace linvar;

// LINVAR_FUZZ_TRACE=1 shows the wire and the operator's actions of a run.
const bool kTrace = std::getenv("LINVAR_FUZZ_TRACE") != nullptr;
void Trace(const std::string& line) {
    if (kTrace)
        std::fprintf(stderr, "%s\n", line.c_str());
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "detail_replies: %s\n", what.c_str());
    std::abort();
}

// The fuzz input, a byte at a time; zeros once it is used up.
struct Data {
    const uint8_t* p;
    size_t left;
    bool done() const { return left == 0; }
    uint8_t byte() {
        if (left == 0)
            return 0;
        --left;
        return *p++;
    }
    std::string bytes(size_t n) {
        std::string s;
        while (n-- > 0 && left > 0)
            s.push_back(static_cast<char>(byte()));
        return s;
    }
};

// One folder for the whole process: log files the operator saves go there.
const std::filesystem::path& Folder() {
    static const std::filesystem::path dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "linvar-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            Fail("no temporary folder");
        return std::filesystem::path(pattern);
    }();
    return dir;
}

// What the operator asked of the unit, from the controls it worked, and the check of every
// request and of the unit's state against it.
class Oracle {
public:
    // The mnemonics a control's own command may carry: a box's row names its mnemonic, a
    // part of a command built from several boxes or a mask names it in its own name
    // ("ConfCEXMode", "ConfMamTx" for "MAM="), the rest are listed (a log read into a
    // file is cleared in the unit).
    static std::vector<std::string> Makes(const DetailWindow& w, const std::string& control) {
        static const std::pair<const char*, const char*> listed[] = {
            {"BtnStore", "CST"},     {"BtnMemConfirm", "CST"}, {"BtnMemConfirm", "CLD"},
            {"BtnSetTime", "DAY"},   {"BtnSetTime", "TIM"},    {"BtnCenterBuffer", "RCB"},
            {"BtnSwitch", "FSW"},    {"BtnDniSend", "DNI"},    {"ConfAPM", "APP"},
            {"ConfAPU", "APP"},      {"ConfAPI", "APP"},       {"ConfBBM", "BBU"},
            {"ConfBTM", "BBU"},      {"BtnCalibrate", "CAL"},  {"BtnCalLna", "CAL"},
            {"BtnForce", "RTG"},     {"BtnAutoManual", "RAM"}, {"BtnReadEvents", "CAE"},
            {"BtnReadStats", "CAS"}, {"BtnChooseFile", "CAE"}, {"BtnChooseFile", "CAA"},
            {"BtnReadLog", "CAE"},   {"BtnReadLog", "CAS"},    {"BtnReadLog", "CAA"}};
        std::vector<std::string> makes;
        for (const auto& [name, mnemonic] : listed)
            if (control == name)
                makes.push_back(mnemonic);
        if (control.rfind("BtnAct", 0) == 0)
            makes.push_back("ACT");
        if (control.rfind("Mask", 0) == 0)
            makes.push_back("MSK");
        for (const BoxRow& row : w.Boxes())
            if (row.control == control && !row.command.empty())
                makes.push_back(row.command);
        if (control.rfind("Conf", 0) == 0 && control.size() >= 7) {
            std::string m = control.substr(4, 3);
            for (char& c : m)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            makes.push_back(m);
        }
        return makes;
    }

    // Before and after the operator works a control.
    void Acting(const DetailWindow& w, const std::string& control) {
        for (const std::string& m : Makes(w, control))
            licensed_.insert(m);
        if (control.rfind("BtnAct", 0) == 0)
            clicked_.insert(std::atoi(control.c_str() + 6));
        refused_ = false;
        last_ = control;
    }
    void Acted(const Screen& w, const std::string& control) {
        // A memory is chosen by the location shown when a memory button is pressed or the
        // list is changed.
        if (w.has("MemoryList") &&
            (control == "BtnLoad" || control == "BtnStore" || control == "MemoryList"))
            locations_.insert(LeftTrim(w.at("MemoryList").selectedText()));
    }
    void Answered(bool yes) { refused_ = !yes; }
    // The switch's activity flags as the station was told them are not the switch's own.
    void FlagsSpoilt() { flagsTrue_ = false; }

    // Each request as it goes out, with the unit it goes to (or none).
    void Request(const std::string& text, sim::Unit* unit, int64_t nowMs) {
        const size_t slash = text.find('/');
        if (slash == std::string::npos || text.size() < slash + 5 || text[slash + 4] != '=')
            return;
        const std::string mnemonic = text.substr(slash + 1, 3);
        const std::string value = text.substr(slash + 5);
        // Factory access opens the limits for reading; it sets nothing.
        if (mnemonic == "FAC")
            return;
        const std::string q = "\"" + text + "\"";
        if (!licensed_.count(mnemonic))
            Fail(q + " goes out, but the operator worked no control making it" + Worked());
        if (refused_)
            Fail(q + " goes out after the operator said No" + Worked());
        if ((mnemonic == "CST" || mnemonic == "CLD") && !locations_.count(value))
            Fail(q + ": a memory location the operator never chose");
        if (mnemonic == "ACT" && unit != nullptr && flagsTrue_) {
            const std::string now = unit->payload("ACT?", nowMs);
            for (size_t k = 0; k + 1 < now.size() && k < value.size(); ++k)
                if (now[k + 1] != value[k] && !clicked_.count(static_cast<int>(k) + 1))
                    Fail(q + " flips modem " + std::to_string(k + 1) +
                         ", which the operator did not click (the switch says " + now + ")");
        }
    }

    // What the unit holds that an operator may change.
    struct Held {
        std::string config, odu, circuit;
        char carrier = 0, remote = 0;
        std::vector<std::string> memories;
    };
    static Held Of(const sim::Unit& u) {
        Held h{u.config(), u.oduConfig(), u.circuitId(), u.txCarrier(), u.remoteState(), {}};
        for (int slot = 0; slot < sim::Unit::memoryCount; ++slot)
            h.memories.push_back(u.memory(slot));
        return h;
    }
    void Compare(const Held& start, const Held& end) const {
        auto must = [&](bool changed, std::initializer_list<const char*> by, const char* what) {
            if (!changed)
                return;
            for (const char* m : by)
                if (licensed_.count(m))
                    return;
            Fail(std::string(what) + " changed, but the operator asked for no such change" +
                 Worked());
        };
        must(start.carrier != end.carrier, {"TXO", "CLD"}, "the carrier");
        must(start.remote != end.remote, {"LRS"}, "the remote state");
        must(start.circuit != end.circuit, {"CID"}, "the circuit");
        if ((start.config != end.config || start.odu != end.odu) && licensed_.empty())
            Fail("the configuration changed, but the operator asked for no change" + Worked());
        for (int slot = 0; slot < sim::Unit::memoryCount; ++slot)
            if (start.memories[slot] != end.memories[slot] &&
                !locations_.count(std::to_string(slot)))
                Fail("memory " + std::to_string(slot) + " written, a location nobody chose");
    }

private:
    std::string Worked() const {
        std::string s = " (worked:";
        for (const std::string& m : licensed_)
            s += " " + m;
        return s + "; last " + last_ + ")";
    }
    static std::string LeftTrim(const std::string& s) {
        const size_t b = s.find_first_not_of(' ');
        return b == std::string::npos ? "" : s.substr(b);
    }
    std::set<std::string> licensed_, locations_;
    std::set<int> clicked_;
    bool refused_ = false, flagsTrue_ = true;
    std::string last_;
};

// Answers every question Yes or No, and every file choice with a file or a cancel, from
// the data.
class FuzzOperator : public Operator {
public:
    FuzzOperator(Data& data, Oracle& oracle) : data_(data), oracle_(oracle) {}
    void ask(const std::string& title, const std::string& text, BoxIcon, Buttons buttons,
             AnswerFn done) override {
        const bool yes = data_.done() || (data_.byte() & 1);
        Trace("asked \"" + title + "\": " + text + " -> " + (yes ? "yes" : "no"));
        if (buttons == Buttons::YesNo)
            oracle_.Answered(yes);
        const Answer a = buttons == Buttons::YesNo       ? (yes ? Answer::Yes : Answer::No)
                         : yes || buttons == Buttons::Ok ? Answer::Ok
                                                         : Answer::Cancel;
        if (done)
            done(a);
    }
    void report(const std::string&) override { ++reports; }
    void chooseFile(const std::string&, const std::string&, const std::string&,
                    FileFn done) override {
        std::optional<std::string> file;
        if (!data_.done() && (data_.byte() & 1))
            file = (Folder() / "unit-log.txt").string();
        if (done)
            done(file);
    }
    void showHelp(int) override {}
    int reports = 0;

private:
    Data& data_;
    Oracle& oracle_;
};

// The serial line between the station and the simulated bus: each reply the bus sends is
// framed, then spoilt as the data says for the request it answers, then framed again as the
// station's port frames it.
class FuzzPort : public RequestPort {
public:
    FuzzPort(sim::Bus& bus, FakeClock& clock, Data& data, Oracle& oracle)
        : bus_(bus), clock_(clock), data_(data), oracle_(oracle) {}

    void WriteRequest(const std::string& text) override {
        received_.clear();
        ++requests;
        // The spoiling of the reply to come is chosen now, while the data lasts.
        plan_ = data_.done() ? 0 : data_.byte();
        planned_ = true;
        act_ = plan_ / 20 % 4 == 1;
        const size_t slash = text.find('/');
        address_ = slash == std::string::npos ? "" : text.substr(1, slash - 1);
        mnemonic_ = slash == std::string::npos ? "" : text.substr(slash + 1, 3);
        Trace(std::to_string(clock_.monotonicMs()) + " out " + text + " (plan " +
              std::to_string(plan_) + ")");
        oracle_.Request(text, bus_.find(address_), clock_.monotonicMs());
        bus_.receive(text + "\r", clock_.monotonicMs());
    }
    const std::string& ReceivedMessage() const override { return received_; }
    // The operator acts while the last request is answered.
    bool ActNow() { return std::exchange(act_, false); }

    void Pump() {
        const int64_t now = clock_.monotonicMs();
        for (char b : bus_.poll(now))
            if (truth_.feed(b))
                Spoil(truth_.message(), now);
        while (!late_.empty() && late_.front().first <= now) {
            Deliver(late_.front().second);
            late_.pop_front();
        }
    }
    void Honest() {
        late_.clear();
        planned_ = act_ = false;
    }

    long requests = 0;

private:
    void Spoil(const std::string& reply, int64_t now) {
        const uint8_t plan = std::exchange(planned_, false) ? plan_ : 0;
        if (mnemonic_ == "ACT" && plan % 20 >= 8)
            oracle_.FlagsSpoilt();
        const std::string out = Spoilt(plan % 20, reply, now);
        previous_ = reply;
        Deliver(out);
    }
    // The reply as the data spoils it.
    std::string Spoilt(int how, std::string out, int64_t now) {
        const std::string prefix = ">" + address_ + "/" + mnemonic_;
        switch (how) {
        case 8: // bytes flipped
            for (int n = 1 + data_.byte() % 4; n > 0 && !out.empty(); --n) {
                const size_t at = data_.byte() % out.size();
                out[at] = static_cast<char>(out[at] ^ (data_.byte() | 1));
            }
            return out;
        case 9: // truncated, its line end kept
            return out.substr(0, data_.byte() % (out.size() + 1)) + "\r\n";
        case 10: // lengthened
            out.insert(out.size() > 2 ? out.size() - 2 : 0, data_.bytes(data_.byte() % 40));
            return out;
        case 11: // the right prefix, any body
            return prefix + data_.bytes(data_.byte() % 48) + "\r\n";
        case 12: { // a refusal
            static const char forms[] = {'?', '*', '~', '!'};
            return prefix + forms[data_.byte() % 4] + data_.bytes(data_.byte() % 6) + "\r\n";
        }
        case 13: // an empty body, with or without its CR
            return prefix + (data_.byte() & 1 ? "\r\n" : "\n");
        case 14: // for another address
            return ">" + data_.bytes(4) + "/" + mnemonic_ +
                   out.substr(std::min<size_t>(9, out.size()));
        case 15: // the reply to the request before
            return previous_.empty() ? out : previous_;
        case 16: // nothing: the station times out
            return "";
        case 17: // late, after the station may have moved on
            late_.push_back({now + 50 * (1 + data_.byte() % 60), out});
            return "";
        case 18: // line noise, whatever frames out of it
            return data_.bytes(data_.byte() % 64);
        case 19: // the body of another command, under this prefix
            return prefix + (previous_.size() > 11 ? previous_.substr(9) : std::string("=\r\n"));
        default: // the true reply
            return out;
        }
    }
    void Deliver(const std::string& bytes) {
        Trace(std::to_string(clock_.monotonicMs()) + " in  " + bytes);
        for (char b : bytes)
            if (framer_.feed(b))
                received_ = framer_.message();
    }

    sim::Bus& bus_;
    FakeClock& clock_;
    Data& data_;
    Oracle& oracle_;
    MessageFramer truth_{'>', '\n', 0};
    MessageFramer framer_{'>', '\n', 0};
    std::string received_, previous_, address_, mnemonic_;
    uint8_t plan_ = 0;
    bool planned_ = false, act_ = false;
    std::deque<std::pair<int64_t, std::string>> late_;
};

struct Family {
    const char *family, *model;
    bool modem;
};

const Family kFamilies[] = {
    {"MQX-350", "350", true},     {"MQX-350", "350L", true},    {"MQX-370", "370", true},
    {"MQX-370", "370L", true},    {"MQX-370", "7370L", true},   {"MQX-330", "330", true},
    {"MQX-330", "330T", true},    {"MQX-310", "310", true},     {"MQX-310", "7010", true},
    {"VORN/YRAN", "VORN", false}, {"VORN/YRAN", "YRAN", false}, {"PLD", "PLD", false},
    {"PLD", "PLD-LNB", false},    {"switch", "420", false},     {"switch", "430", false},
};
constexpr size_t kFamilyCount = sizeof kFamilies / sizeof kFamilies[0];

// Runs a tick or an operator event: the station's own UserError is reported by the code
// that raised it; anything else escaping is a fault.
template <class Fn> void Guard(Fn&& fn, const char* what) {
    try {
        fn();
    } catch (const UserError&) {
    } catch (...) {
        Fail(what);
    }
}

// One operator action on the window, chosen by the data among what is shown and enabled.
void Act(DetailWindow& w, Data& data, Oracle& oracle) {
    // The capture file and help are the station's, not the window's exchange.
    static const std::set<std::string> station = {"BtnCapture", "BtnHelp", "BtnClose"};
    static const std::set<ControlKind> worked = {ControlKind::Button, ControlKind::Edit,
                                                 ControlKind::Combo, ControlKind::Check};
    std::vector<const Control*> live;
    for (const Control* c : w.controls())
        if (worked.count(c->kind()) && !station.count(c->name()) && w.shown(c->name()) &&
            c->enabled())
            live.push_back(c);
    if (live.empty())
        return;
    const Control& c = *live[data.byte() % live.size()];
    const std::string name = c.name();
    Trace("operator: " + name);
    oracle.Acting(w, name);
    Guard(
        [&] {
            switch (c.kind()) {
            case ControlKind::Button:
                w.click(name);
                break;
            case ControlKind::Edit:
                w.enter(name);
                w.type(name, data.bytes(data.byte() % 12));
                w.leave(name);
                break;
            case ControlKind::Combo: {
                const size_t n = c.items().size();
                w.enter(name);
                w.choose(name, n == 0 ? -1 : static_cast<int>(data.byte() % n));
                break;
            }
            default:
                w.check(name, data.byte() & 1);
                break;
            }
        },
        "exception from an operator event");
    oracle.Acted(w, name);
}

constexpr int kFuzzTicks = 250;     // the garbled part of a run
constexpr int kAskAgainTicks = 200; // a window must ask something again within this
constexpr int kCloseTicks = 200;

// What a run shares: the clock, the simulated bus behind the fuzzed line, the operator and
// the oracle.
struct Rig {
    Data& data;
    FakeClock clock{{2026, 12, 6, 9, 0, 0, 0}};
    sim::Bus bus;
    Oracle oracle;
    FuzzPort port{bus, clock, data, oracle};
    SystemSetup setup;
    FuzzOperator op{data, oracle};
    PrintState print;
    Capture capture{clock, Folder()};
    std::function<void()> step; // the station's part of a tick

    explicit Rig(Data& d) : data(d) { bus.setLatencyMs(20); }
    void Tick() {
        clock.advanceMs(kTickMs);
        port.Pump();
        step();
    }
    // The garbled part: `act` now and then, more when the line is quiet, while `open`.
    void Garble(const std::function<bool()>& open, const std::function<void()>& act) {
        long last = port.requests;
        int quiet = 0;
        for (int i = 0; i < kFuzzTicks && !data.done() && open(); ++i) {
            Tick();
            quiet = port.requests == last ? quiet + 1 : 0;
            last = port.requests;
            if (open() && (quiet >= 10 || port.ActNow())) {
                act();
                quiet = 0;
            }
        }
    }
    // Ticks until a request goes out (true), for as long as a window may take to ask.
    bool Asks() {
        const long mark = port.requests;
        for (int i = 0; i < kAskAgainTicks && port.requests == mark; ++i)
            Tick();
        return port.requests > mark;
    }
    // The unit answers truly again: the window or the poll must ask again, by itself or
    // when the operator reads the status (an open configuration panel waits for it).
    void AsksAgain(DetailHost& host, const char* fault) {
        port.Honest();
        if (Asks())
            return;
        if (host.IsOpen()) {
            Guard([&] { host.Window()->click("BtnStatus"); }, "exception from an operator event");
            if (Asks())
                return;
        }
        Fail(fault);
    }
    void Close(DetailHost& host) {
        Guard([&] { host.Window()->click("BtnClose"); }, "exception from an operator event");
        for (int i = 0; i < kCloseTicks && host.IsOpen(); ++i)
            Tick();
        if (host.IsOpen())
            Fail("the window does not close");
    }
};

void RunDetail(const Family& f, uint8_t first, bool spoilIdentity, Data& data) {
    Rig r(data);
    r.bus.setClockAtZero(sim::civilSeconds(2026, 12, 6, 9, 0, 0));
    TransactionState tx;

    const bool sw = std::string(f.family) == "switch";
    const bool distant = !sw && (first & 0x80);
    const int record = sw ? 41 : distant ? 4 : 3;
    const std::string address = sw ? "1000" : f.modem ? "0350" : "0211";
    EndRecord& e = r.setup.rec(record);
    (sw || f.modem ? e.Mod1Addr : e.Tr1Addr) = address;
    e.IdText = "LINK-2";
    e.DelayText = "50";
    e.TimeoutText = "1";
    sim::Unit* unit = r.bus.add(address, f.model);
    if (unit == nullptr)
        Fail("no simulated unit");
    unit->setOnline(true);
    unit->setDistant(distant);
    const Oracle::Held start = Oracle::Of(*unit);

    DetailRequest req;
    req.family = FindFamily(f.family);
    req.UnitAddress = address;
    req.UnitName = sw        ? "switch 1"
                   : f.modem ? (distant ? "Modem 1, Distant end" : "Modem 1, Local end")
                             : (distant ? "Transceiver 1, Distant" : "Transceiver 1, Local");
    req.IdentityCode = f.modem ? unit->identity() : "";
    // A modem's identity as the summary took it from a garbled "EID?" reply: the model's
    // digits, then whatever came (possibly less than the ten characters).
    if (f.modem && spoilIdentity)
        req.IdentityCode = req.IdentityCode.substr(0, 4) + data.bytes(data.byte() % 8);
    req.CurrentEnd = record;
    req.ModemPairPresent = !sw && (first & 0x40);

    DetailHost host({tx, r.port, r.capture, r.clock, r.op, r.setup, r.print, Folder()},
                    [](Screen&, bool) {});
    bool closed = false;
    Guard([&] { host.open(req, [&](bool) { closed = true; }); }, "exception on opening");
    if (!host.IsOpen())
        Fail("the window did not open");
    r.step = [&] { Guard([&] { host.Tick(); }, "exception from a tick"); };

    r.Garble([&] { return host.IsOpen(); }, [&] { Act(*host.Window(), data, r.oracle); });
    if (!host.IsOpen())
        Fail("the window closed by itself");
    r.AsksAgain(host, "the window waits for good");
    r.Close(host);
    if (!closed)
        Fail("the window closed without saying so");
    if (tx.AwaitingReply)
        Fail("a reply is still awaited after closing");
    r.oracle.Compare(start, Oracle::Of(*unit));
}

// The summary poll over modems, transceivers and a switch; the operator opens the links and
// the units' windows from the summary (the identity exchanges), acts in them and closes them.
void RunPoll(uint8_t first, Data& data) {
    Rig r(data);
    SummaryScreen screen;
    PollCycle cycle({r.setup, r.port, r.capture, r.clock, r.print, screen, r.op, Folder()});
    screen.setErrorReporter([&](const std::string&) { ++r.op.reports; });
    DetailHost host({cycle.tx, r.port, r.capture, r.clock, r.op, r.setup, r.print, Folder()},
                    [](Screen&, bool) {});
    cycle.SetDetailWindows(&host);

    auto place = [&](int record, int slot, const std::string& address, const char* model) {
        r.setup.rec(record).addr(slot) = address;
        r.setup.rec(record).DelayText = "50";
        r.setup.rec(record).TimeoutText = "1";
        r.bus.add(address, model)->setOnline(true);
    };
    static const char* const modems[] = {"350", "370", "330", "310"};
    place(1, 0, "0101", modems[first & 3]);
    place(1, 2, "0111", first & 4 ? "PLD" : "VORN");
    place(2, 0, "0201", modems[(first >> 3) & 3]);
    place(41, 0, "1000", first & 0x20 ? "430" : "420");
    r.setup.RecomputeAnyEndActive();
    r.setup.ResetDisplayColours();
    Guard([&] { cycle.StartPolling(); }, "exception on starting");
    r.step = [&] {
        Guard([&] { cycle.Tick(); }, "exception from a poll tick");
        Guard([&] { host.Tick(); }, "exception from a tick");
    };

    static const char* const opens[] = {"EndL1",    "EndD1",    "Switch1",  "PollL1",
                                        "LblMod1L", "LblRFT1L", "LblMod1D", "LblMod2L"};
    r.Garble([] { return true; },
             [&] {
                 if (host.IsOpen())
                     return Act(*host.Window(), data, r.oracle);
                 Guard(
                     [&] {
                         // A link from all the links, a unit from one link (a double-click
                         // on the link there edits it, which waits for the operator).
                         const bool all = cycle.tx.CurrentMode == Modes::AllLinks;
                         const char* name = opens[data.byte() % 4 + (all ? 0 : 4)];
                         Trace(std::string("operator: double-click ") + name);
                         // What was worked in the window before asks nothing of the next.
                         r.oracle = Oracle();
                         screen.doubleClick(name);
                     },
                     "exception from an operator event");
             });
    r.AsksAgain(host, "the poll waits for good");
    if (host.IsOpen()) {
        r.Close(host);
        if (!r.Asks())
            Fail("the poll does not go on after the window closed");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    Data d{data + 1, size - 1};
    const size_t pick = data[0] & 0x3f;
    if (pick < kFamilyCount * 3)
        RunDetail(kFamilies[pick % kFamilyCount], data[0], pick >= 2 * kFamilyCount, d);
    else
        RunPoll(data[0], d);
    return 0;
}
