#include "Bus.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

TEST(SimBus, RepliesAreDueAfterTheLatency) {
    Bus bus;
    bus.setLatencyMs(30);
    Unit& u = *bus.add("0012", "350");
    bus.receive("<0012/FLT?\r", 1000);
    EXPECT_EQ(bus.nextDueMs(), 1030);
    EXPECT_EQ(bus.poll(1029), "");
    EXPECT_EQ(bus.poll(1030), ">0012/FLT=000000\r\n");
    EXPECT_EQ(bus.poll(5000), "");

    // Two requests back to back: both replies, in order.
    u.setLatencyMs(0);
    bus.receive("<0012/FLT?\r<0012/RED?\r", 3000);
    EXPECT_EQ(bus.pendingReplies(), 2u);
    EXPECT_EQ(bus.poll(3030), ">0012/FLT=000000\r\n>0012/RED=0\r\n");
    EXPECT_EQ(bus.nextDueMs(), -1);
}

TEST(SimBus, RequestsAreReassembledAndJunkIgnored) {
    Bus bus;
    bus.setLatencyMs(0);
    bus.add("0012", "350");
    bus.receive("<0012/F", 0);
    EXPECT_EQ(bus.poll(100), "");
    bus.receive("LT?\r", 100);
    EXPECT_EQ(bus.poll(100), ">0012/FLT=000000\r\n");

    // Noise between requests, an abandoned start, a stray line feed.
    bus.receive("xx\n\x01\xff", 200);
    bus.receive("<00<0012/RED?\r\n", 200);
    EXPECT_EQ(bus.poll(200), ">0012/RED=0\r\n");
    ASSERT_GE(bus.requestLog().size(), 2u);
    EXPECT_EQ(bus.requestLog().back(), "<0012/RED?");

    // Nobody at 0099, a malformed address, a runaway request: all quiet.
    bus.receive("<0099/FLT?\r<12/FLT?\r<0012FLT?\r", 300);
    bus.receive("<0012/" + std::string(1000, 'A'), 300);
    bus.receive("\r", 300);
    EXPECT_EQ(bus.poll(1000), "");
    // The line recovers at the next request.
    bus.receive("<0012/FLT?\r", 400);
    EXPECT_EQ(bus.poll(400), ">0012/FLT=000000\r\n");

    // A query that is not a command form gets "?".
    bus.receive("<0012/FL\r", 500);
    EXPECT_EQ(bus.poll(500), ">0012/FL?\r\n");
}

TEST(SimBus, InjectedFaultsShowOnTheWire) {
    Bus bus;
    bus.setLatencyMs(10);
    Unit& u = *bus.add("0012", "350");

    u.inject(Injection::silence());
    bus.receive("<0012/FLT?\r", 0);
    EXPECT_EQ(bus.poll(10000), "");
    u.clearInjections();

    const std::pair<Injection, std::string> oneReply[] = {
        {Injection::refuse('*'), ">0012/FLT*\r\n"},
        {Injection::refuse('?'), ">0012/FLT?\r\n"},
        {Injection::refuse('!'), ">0012/FLT!\r\n"},
        {Injection::refuse('~'), ">0012/FLT~\r\n"},
        {Injection::wrongAddress(), ">0013/FLT=000000\r\n"},
        {Injection::wrongMnemonic(), ">0012/RED=000000\r\n"}};
    for (const auto& [injection, wire] : oneReply) {
        u.inject(injection);
        bus.receive("<0012/FLT?\r", 0);
        EXPECT_EQ(bus.poll(10), wire);
        u.clearInjections();
    }

    u.inject(Injection::late(2000));
    bus.receive("<0012/FLT?\r", 0);
    EXPECT_EQ(bus.poll(2009), "");
    EXPECT_EQ(bus.poll(2010), ">0012/FLT=000000\r\n");
    u.clearInjections();

    // Echo goes out at once, the reply after the latency; garbage precedes the reply.
    u.inject(Injection::echo());
    u.inject(Injection::garbageBytes("\x13zz"));
    bus.receive("<0012/FLT?\r", 0);
    EXPECT_EQ(bus.poll(0), "<0012/FLT?\r");
    EXPECT_EQ(bus.poll(10), "\x13zz>0012/FLT=000000\r\n");
    u.clearInjections();
    u.inject(Injection::garbageBytes());
    bus.receive("<0012/FLT?\r", 0);
    std::string out = bus.poll(10);
    ASSERT_GT(out.size(), 18u);
    EXPECT_EQ(out.find('>'), out.size() - 18) << "random garbage never starts a frame";
    u.clearInjections();

    // A counted fault for one mnemonic: twice silent on FLT, RED untouched.
    Injection twice = Injection::silence();
    twice.count = 2;
    twice.mnemonic = "FLT";
    u.inject(twice);
    bus.receive("<0012/RED?\r<0012/FLT?\r<0012/FLT?\r<0012/FLT?\r", 0);
    EXPECT_EQ(bus.poll(10), ">0012/RED=0\r\n>0012/FLT=000000\r\n");
    EXPECT_EQ(u.injectionCount(), 0u);
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
    std::string a = run(7);
    EXPECT_EQ(a, run(7));
    EXPECT_NE(a, run(8));
    EXPECT_NE(a.find("||"), std::string::npos) << "some requests went unanswered";
    EXPECT_NE(a.find("=000000"), std::string::npos);
    // Fault codes come and go: some reply carries a non-zero group.
    bool faulted = false;
    for (size_t p = a.find("FLT="); p != std::string::npos; p = a.find("FLT=", p + 1))
        faulted = faulted || a.compare(p + 4, 4, "0000") != 0;
    EXPECT_TRUE(faulted);
}
