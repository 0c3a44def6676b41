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
//   set REC Id|Info|Delay|Timeout|Pair TEXT   a field of a set-up record
//   sim ADDR answer MNEMONIC PAYLOAD | silence [N] | refuse C [N] | wrong-address |
//            wrong-mnemonic | faults CHARS | latency MS | online on|off | config TEXT
//   port lost|back|missing       the serial adapter pulled out, plugged in, absent
//   inactive                     another program has the focus
//   expect-port BAUD FORMAT      what the port was opened with ("9600 8N1")
//   expect-windows N             the windows open, now
//   expect-opens N               the times the port was opened since the last "port"
//   expect-help TOPIC...         the help topics shown so far
//   expect-report [TEXT]         the next error report (none: none since the last)
// These world's expectations hold at once or fail: they do not wait.

#include "StationHarness.h"

#include "app/Replay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

using namespace linvar;

namespace {

std::vector<std::filesystem::path> Scripts() {
    std::vector<std::filesystem::path> all;
    for (const auto& e : std::filesystem::directory_iterator(LINVAR_SCRIPTS))
        if (e.path().extension() == ".txt")
            all.push_back(e.path());
    std::sort(all.begin(), all.end());
    return all;
}

struct World : StationHarness {
    ReplayOperator op{person};
    std::unique_ptr<Replay> replay;
    bool started = false;
    size_t reportsSeen = 0;
    int opensMark = 0;

    World() {
        Make(&op);
        replay = std::make_unique<Replay>(*top, op);
        for (const auto& [name, fn] : Verbs())
            replay->addVerb(name, fn);
    }

    std::string Format() const {
        static const char parities[] = "NOEMS";
        return std::to_string(static_cast<int>(port.dataBits) + 7) + parities[port.parity] +
               (port.stopBits == st1bit ? "1" : "2");
    }

    std::map<std::string, Replay::VerbFn> Verbs() {
        using W = std::vector<std::string>;
        return {
            {"write",
             [this](const W& w) {
                 std::string text;
                 for (size_t i = 1; i < w.size(); ++i)
                     text += w[i] + "\r\n";
                 dir.write(w.at(0), text);
                 return std::string();
             }},
            {"full",
             [this](const W& w) {
                 std::filesystem::create_symlink("/dev/full", dir.path() / w.at(0));
                 return std::string();
             }},
            {"block",
             [this](const W& w) {
                 const auto file = dir.path() / w.at(0);
                 std::filesystem::rename(file, file.string() + ".kept");
                 std::filesystem::create_directory(file);
                 return std::string();
             }},
            {"unblock",
             [this](const W& w) {
                 const auto file = dir.path() / w.at(0);
                 std::filesystem::remove(file);
                 std::filesystem::rename(file.string() + ".kept", file);
                 return std::string();
             }},
            {"start",
             [this](const W& w) {
                 started = true;
                 top->Activate(!w.empty() && w[0] == kDirectStartKeyword);
                 return std::string();
             }},
            {"clock",
             [this](const W& w) {
                 LocalDateTime t;
                 if (w.size() != 2 ||
                     std::sscanf(w[0].c_str(), "%d-%d-%d", &t.year, &t.month, &t.day) != 3 ||
                     std::sscanf(w[1].c_str(), "%d:%d:%d", &t.hour, &t.minute, &t.second) != 3)
                     return std::string("clock needs YYYY-MM-DD HH:MM:SS");
                 clock.set(t);
                 bus.setClockAtZero(
                     sim::civilSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second) -
                     clock.monotonicMs() / 1000);
                 return std::string();
             }},
            {"unit",
             [this](const W& w) {
                 static const std::map<std::string, int> slots{{"Mod1", Modem1},
                                                               {"Mod2", Modem2},
                                                               {"Tr1", Transceiver1},
                                                               {"Tr2", Transceiver2}};
                 if (w.size() < 3 || !slots.count(w[1]))
                     return std::string("unit needs a record, a slot and an address");
                 top->Setup().rec(std::stoi(w[0])).addr(slots.at(w[1])) = w[2];
                 top->Setup().RecomputeAnyEndActive();
                 if (w.size() > 3)
                     bus.add(w[2], w[3]);
                 return std::string();
             }},
            {"set",
             [this](const W& w) {
                 if (w.size() != 3)
                     return std::string("set needs a record, a field and a text");
                 EndRecord& r = top->Setup().rec(std::stoi(w[0]));
                 const std::map<std::string, std::function<void()>> fields{
                     {"Id", [&] { r.IdText = w[2]; }},
                     {"Info", [&] { r.InfoText = w[2]; }},
                     {"Delay", [&] { r.DelayText = w[2]; }},
                     {"Timeout", [&] { r.TimeoutText = w[2]; }},
                     {"Pair", [&] { r.PairFlag = w[2]; }}};
                 if (!fields.count(w[1]))
                     return "no field " + w[1];
                 fields.at(w[1])();
                 return std::string();
             }},
            {"sim", [this](const W& w) { return Sim(w); }},
            {"expect-windows",
             [this](const W& w) {
                 const std::string found = std::to_string(top->Windows().size());
                 return w.size() == 1 && w[0] == found ? std::string()
                                                       : "expected " + (w.empty() ? "?" : w[0]) +
                                                             " windows open, found " + found;
             }},
            {"expect-opens",
             [this](const W& w) {
                 const int found = port.opens - opensMark;
                 return w.size() == 1 && std::to_string(found) == w[0]
                            ? std::string()
                            : "expected the port opened " + (w.empty() ? "?" : w[0]) +
                                  " times, found " + std::to_string(found);
             }},
            {"port",
             [this](const W& w) {
                 opensMark = port.opens;
                 const std::string what = w.empty() ? "" : w[0];
                 port.lost = what == "lost";
                 if (what == "back")
                     port.devices = {1};
                 else
                     port.devices.clear();
                 return std::string();
             }},
            {"inactive",
             [this](const W&) {
                 active = false;
                 return std::string();
             }},
            {"expect-port",
             [this](const W& w) {
                 const std::string found = std::to_string(port.baud) + " " + Format();
                 const std::string want = w.size() == 2 ? w[0] + " " + w[1] : "?";
                 return found == want ? std::string()
                                      : "expected the port at " + want + ", found " + found;
             }},
            {"expect-help",
             [this](const W& w) {
                 std::string found, want;
                 for (int t : person.helpTopics)
                     found += " " + std::to_string(t);
                 for (const std::string& t : w)
                     want += " " + t;
                 return found == want ? std::string()
                                      : "expected help topics" + want + ", found" + found;
             }},
            {"expect-report",
             [this](const W& w) {
                 const auto& all = op.reports();
                 if (w.empty())
                     return reportsSeen == all.size()
                                ? std::string()
                                : "unexpected report \"" + all[reportsSeen] + "\"";
                 if (reportsSeen >= all.size())
                     return "expected the report \"" + w[0] + "\", none came";
                 const std::string found = all[reportsSeen++];
                 return found == w[0]
                            ? std::string()
                            : "expected the report \"" + w[0] + "\", found \"" + found + "\"";
             }},
        };
    }

    std::string Sim(const std::vector<std::string>& w) {
        if (w.size() < 2)
            return "sim needs an address and what the unit does";
        sim::Unit* u = bus.find(w[0]);
        if (!u)
            return "no unit " + w[0] + " on the bus";
        const std::string& what = w[1];
        const int times = w.size() > 2 && what == "silence"  ? std::stoi(w[2])
                          : w.size() > 3 && what == "refuse" ? std::stoi(w[3])
                                                             : -1;
        if (what == "answer" && w.size() == 4)
            u->setAnswer(w[2], w[3]);
        else if (what == "silence" || what == "refuse") {
            sim::Injection i = what == "silence" ? sim::Injection::silence()
                                                 : sim::Injection::refuse(w.at(2).at(0));
            i.count = times;
            u->inject(i);
        } else if (what == "wrong-address" || what == "wrong-mnemonic") {
            sim::Injection i = what == "wrong-address" ? sim::Injection::wrongAddress()
                                                       : sim::Injection::wrongMnemonic();
            i.count = 1;
            u->inject(i);
        } else if (what == "faults" && w.size() == 3)
            u->setFaults(w[2], clock.monotonicMs());
        else if (what == "latency" && w.size() == 3)
            u->setLatencyMs(std::stoi(w[2]));
        else if (what == "online" && w.size() == 3)
            u->setOnline(w[2] == "on");
        else if (what == "config" && w.size() == 3)
            u->setConfig(w[2], clock.monotonicMs());
        else
            return "sim cannot " + what;
        return std::string();
    }
};

class Script : public testing::TestWithParam<std::filesystem::path> {};

} // namespace

TEST_P(Script, HoldsToItsEnd) {
    World run;
    run.replay->loadFile(GetParam());
    // Four simulated hours at most: a script that never ends fails on its patience first.
    for (int i = 0; i < 4 * 72000 && !run.replay->done(); ++i) {
        run.Tick();
        run.replay->tick();
    }
    EXPECT_TRUE(run.replay->done());
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
