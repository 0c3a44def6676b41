#include "Bus.h"

#include <gtest/gtest.h>

#include <regex>

using namespace linvar::sim;

TEST(SimBus, RequestsAreReassembledAndJunkIgnored) {
    Bus bus;
    bus.setLatencyMs(0);
    bus.add("0012", "350");
    // (bytes in, reply out) in turn: pieces, noise, an abandoned start, nobody there, a
    // malformed address, a runaway request, a query that is no command form.
    const std::pair<std::string, std::string> rows[] = {
        {"<0012/F", ""},
        {"LT?\r", ">0012/FLT=000000\r\n"},
        {"xx\n\x01\xff<00<0012/RED?\r\n", ">0012/RED=0\r\n"},
        {"<0099/FLT?\r<12/FLT?\r<0012FLT?\r", ""},
        {"<0012/" + std::string(1000, 'A') + "\r", ""},
        {"<0012/FLT?\r", ">0012/FLT=000000\r\n"},
        {"<0012/FL\r", ">0012/FL?\r\n"},
    };
    for (const auto& [in, out] : rows) {
        bus.receive(in, 100);
        EXPECT_EQ(bus.poll(100), out) << in;
    }
    EXPECT_EQ(bus.requestLog().back(), "<0012/FL");
}

TEST(SimBus, InjectedFaultsShowOnTheWire) {
    Bus bus;
    bus.setLatencyMs(10);
    Unit& u = *bus.add("0012", "350");
    Injection twiceOnFlt = Injection::silence();
    twiceOnFlt.count = 2;
    twiceOnFlt.mnemonic = "FLT";
    // (faults, requests, extra wait) -> what went out before the reply was due, and at it;
    // the faults the station's own tests inject are left to them.
    const std::tuple<std::vector<Injection>, std::string, int, std::string, std::string> rows[] = {
        {{Injection::late(2000)}, "<0012/FLT?\r", 2000, "", ">0012/FLT=000000\r\n"},
        {{Injection::echo(), Injection::garbageBytes("\x13zz")},
         "<0012/FLT?\r",
         0,
         "<0012/FLT?\r",
         "\x13zz>0012/FLT=000000\r\n"},
        {{twiceOnFlt},
         "<0012/RED?\r<0012/FLT?\r<0012/FLT?\r<0012/FLT?\r",
         0,
         "",
         ">0012/RED=0\r\n>0012/FLT=000000\r\n"},
    };
    for (const auto& [faults, asked, wait, early, due] : rows) {
        u.clearInjections();
        for (const Injection& i : faults)
            u.inject(i);
        bus.receive(asked, 0);
        const std::string before = bus.poll(wait + 9);
        EXPECT_EQ(before + "|" + bus.poll(wait + 10), early + "|" + due);
    }
    EXPECT_EQ(u.injectionCount(), 0u) << "a counted fault ends by itself";
    u.inject(Injection::garbageBytes());
    bus.receive("<0012/FLT?\r", 0);
    const std::string out = bus.poll(10);
    EXPECT_EQ(out.find('>'), out.size() - 18) << "random garbage never starts a frame";
}

TEST(SimBus, RandomFaultsAreRepeatableWithTheSeed) {
    auto run = [](uint64_t seed) {
        Bus bus(seed);
        bus.setLatencyMs(0);
        Unit& u = *bus.add("0012", "370");
        bus.setRandomFaultRate(0.3);
        Injection flaky = Injection::silence();
        flaky.probability = 0.2;
        u.inject(flaky);
        std::string wire;
        for (int i = 0; i < 200; ++i) {
            bus.receive("<0012/FLT?\r", i * 100);
            wire += bus.poll(i * 100) + "|";
        }
        return wire;
    };
    const std::string a = run(7);
    EXPECT_EQ(a, run(7));
    EXPECT_NE(a, run(8));
    EXPECT_NE(a.find("||"), std::string::npos) << "some requests went unanswered";
    EXPECT_NE(a.find("=000000"), std::string::npos);
    EXPECT_TRUE(std::regex_search(a, std::regex("FLT=(?!0000)"))) << "fault codes come and go";
}
