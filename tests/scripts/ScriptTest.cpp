// Every tests/scripts/*.txt is an operator script run on the whole station, with the
// simulator in-process on a fake clock: a tick is 50 ms of the script's time and none of
// ours. Besides the operator's verbs a script sets up its world:
//
//   write FILE LINE...           a data file, each word a line ("" an empty one)
//   full FILE                    a data file on a disk that is full
//   block FILE | unblock FILE    a data file that cannot be written, and again can
//   start [Brivola]              the main window becomes active (with the keyword)
//   clock YYYY-MM-DD HH:MM:SS    the computer's clock; units added later keep it too
//   unit REC Mod1|Mod2|Tr1|Tr2 ADDR [MODEL]   an address in the set-up, on the bus
//   set REC Id|Info|Timeout|Pair TEXT   a field of a set-up record
//   sim ADDR answer MNEMONIC PAYLOAD | silence | refuse C | faults CHARS | latency MS |
//            online on|off
//   port lost|back|missing       the serial adapter pulled out, plugged in, absent
//   inactive                     another program has the focus
//   expect-port BAUD FORMAT      what the port was opened with ("9600 8N1")
//   expect-windows N             the windows open, now
//   expect-opens N               the times the port was opened since the last "port"
//   expect-help TOPIC...         the help topics shown so far
//   expect-report [TEXT]         the next error report (none: none since the last)
//   autolog INTERVAL OFFSET      automatic logging on, as the set-up dialog's entries
// These expectations of the world hold at once or fail: they do not wait. A verb that
// cannot be done throws, which stops the script at its line.

#include "StationHarness.h"

#include "app/Replay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

using namespace linvar;

namespace {

using Words = std::vector<std::string>;

std::string Joined(const Words& w, size_t from = 0) {
    std::string out;
    for (size_t i = from; i < w.size(); ++i)
        out += (i > from ? " " : "") + w[i];
    return out;
}

struct World : StationHarness {
    ReplayOperator op{person};
    std::unique_ptr<Replay> replay;
    size_t reportsSeen = 0;
    int opensMark = 0;

    World() {
        Make(&op);
        replay = std::make_unique<Replay>(*top, op);
        for (const char* verb : {"write", "full", "block", "unblock", "start", "clock", "unit",
                                 "set", "autolog", "sim", "port", "inactive", "expect-port",
                                 "expect-opens", "expect-windows", "expect-help", "expect-report"})
            replay->addVerb(verb, [this, verb](const Words& w) { return Verb(verb, w); });
    }

    // An expectation: nothing when `found` is what the script said.
    static std::string Same(const std::string& what, const std::string& want,
                            const std::string& found) {
        return want == found ? "" : "expected " + what + " " + want + ", found " + found;
    }

    std::string Verb(const std::string& v, const Words& w) {
        const auto file = dir.path() / (w.empty() ? "" : w[0]);
        const auto rec = [&] { return &top->Setup().rec(std::stoi(w.at(0))); };
        if (v == "write") {
            std::string text;
            for (size_t i = 1; i < w.size(); ++i)
                text += w[i] + "\r\n";
            dir.write(w.at(0), text);
        } else if (v == "full") {
            std::filesystem::create_symlink("/dev/full", file);
        } else if (v == "block") {
            std::filesystem::rename(file, file.string() + ".kept");
            std::filesystem::create_directory(file);
        } else if (v == "unblock") {
            std::filesystem::remove(file);
            std::filesystem::rename(file.string() + ".kept", file);
        } else if (v == "start") {
            top->Activate(!w.empty() && w[0] == kDirectStartKeyword);
        } else if (v == "clock") {
            LocalDateTime t;
            if (std::sscanf(Joined(w).c_str(), "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day,
                            &t.hour, &t.minute, &t.second) != 6)
                return "clock needs YYYY-MM-DD HH:MM:SS";
            clock.set(t);
            bus.setClockAtZero(
                sim::civilSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second) -
                clock.monotonicMs() / 1000);
        } else if (v == "unit") {
            static const std::map<std::string, int> slots{
                {"Mod1", Modem1}, {"Mod2", Modem2}, {"Tr1", Transceiver1}, {"Tr2", Transceiver2}};
            rec()->addr(slots.at(w.at(1))) = w.at(2);
            top->Setup().RecomputeAnyEndActive();
            if (w.size() > 3)
                bus.add(w[2], w[3]);
        } else if (v == "set") {
            const std::map<std::string, std::function<void()>> fields{
                {"Id", [&] { rec()->IdText = w.at(2); }},
                {"Info", [&] { rec()->InfoText = w.at(2); }},
                {"Timeout", [&] { rec()->TimeoutText = w.at(2); }},
                {"Pair", [&] { rec()->PairFlag = w.at(2); }}};
            fields.at(w.at(1))();
        } else if (v == "autolog") {
            top->Setup().AutoLogEnabled = true;
            top->Setup().ChooseAutoLogInterval(std::stoi(w.at(0)));
            top->Setup().ChooseAutoLogOffset(std::stoi(w.at(1)));
        } else if (v == "sim") {
            return Sim(w);
        } else if (v == "port") {
            opensMark = port.opens;
            port.lost = w.at(0) == "lost";
            port.devices = w[0] == "back" ? std::set<int>{1} : std::set<int>{};
        } else if (v == "inactive") {
            active = false;
        } else if (v == "expect-port") {
            static const char parities[] = "NOEMS";
            return Same("the port at", Joined(w),
                        std::to_string(port.baud) + " " + std::to_string(port.dataBits + 7) +
                            parities[port.parity] + (port.stopBits == st1bit ? "1" : "2"));
        } else if (v == "expect-opens") {
            return Same("opens of the port", Joined(w), std::to_string(port.opens - opensMark));
        } else if (v == "expect-windows") {
            return Same("windows open", Joined(w), std::to_string(top->Windows().size()));
        } else if (v == "expect-help") {
            std::string found;
            for (int t : person.helpTopics)
                found += (found.empty() ? "" : " ") + std::to_string(t);
            return Same("help topics", Joined(w), found);
        } else if (v == "expect-report") {
            const auto& all = op.reports();
            const std::string found = reportsSeen < all.size() ? all[reportsSeen++] : "";
            return Same("the report", '"' + Joined(w) + '"', '"' + found + '"');
        }
        return "";
    }

    std::string Sim(const Words& w) {
        sim::Unit* u = bus.find(w.at(0));
        if (!u)
            return "no unit " + w[0] + " on the bus";
        const std::string& what = w.at(1);
        const std::string arg = w.size() > 2 ? w[2] : "";
        if (what == "silence")
            u->inject(sim::Injection::silence());
        else if (what == "refuse")
            u->inject(sim::Injection::refuse(arg.at(0)));
        else if (what == "answer")
            u->setAnswer(arg, w.size() > 3 ? w[3] : "");
        else if (what == "faults")
            u->setFaults(arg, clock.monotonicMs());
        else if (what == "latency")
            u->setLatencyMs(std::stoi(arg));
        else if (what == "online")
            u->setOnline(arg == "on");
        else
            return "sim cannot " + what;
        return "";
    }
};

std::vector<std::filesystem::path> Scripts() {
    std::vector<std::filesystem::path> all;
    for (const auto& e : std::filesystem::directory_iterator(LINVAR_SCRIPTS))
        if (e.path().extension() == ".txt")
            all.push_back(e.path());
    std::sort(all.begin(), all.end());
    return all;
}

class Script : public testing::TestWithParam<std::filesystem::path> {};

} // namespace

TEST_P(Script, HoldsToItsEnd) {
    World run;
    run.replay->loadFile(GetParam());
    // Four simulated hours at most: a script that never ends fails on its patience first.
    int ticks = 0;
    for (; ticks < 4 * 72000 && !run.replay->done(); ++ticks) {
        run.Tick();
        run.replay->tick();
    }
    EXPECT_TRUE(run.replay->done());
    EXPECT_GT(ticks, 0) << "a script that runs nothing";
    EXPECT_EQ(run.replay->failureText(), "");
}

INSTANTIATE_TEST_SUITE_P(, Script, testing::ValuesIn(Scripts()),
                         [](const testing::TestParamInfo<std::filesystem::path>& p) {
                             std::string name = p.param.stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });
