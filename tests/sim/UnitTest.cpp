#include "Unit.h"
#include "Replies.h"

#include <gtest/gtest.h>

#include <deque>

using namespace linvar::sim;

TEST(SimUnit, RefusalsAndTheDistantChannel) {
    Unit u("0012", "350");
    Replies{u, 0} = {{"XYZ?", "!"}, {"FLT=1", "?"}, {"FL", "?"}, {"CAE?", "?"}};
    u.setUnreachable(true, 3);
    Replies{u, 0} = {{"FLT?", "~"},          {"EID?", "~"},
                     {"XYZ?", "~"},          {"TXO=1", "~"},
                     {"TXO=1", "~"},         {"TXO=1", "=", "third attempt gets through"},
                     {"EID?", "=0350110000"}};
    u.setUnreachable(true, 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(u.payload("TXO=1", 0), "~");
    EXPECT_EQ(Unit("0015", "310").payload("RNS?", 0), "!") << "no statistics log";
}

TEST(SimUnit, EventAndStatisticsLogsKeepTheirCapacity) {
    Unit u("0012", "350", civilSeconds(2011, 6, 21, 14, 3, 27));
    // Power-on record from the start, then the faults as they come and go.
    u.setFault(1, '1', 5000);
    u.setFault(1, '0', 65000);
    u.setConfig(u.config(), 70000);
    EXPECT_EQ(u.events(), (std::deque<std::string>{"I41210611140327", "F11210611140332",
                                                   "C11210611140432", "I43210611140437"}));

    // The station reads the records themselves; here how many there are, and how many kept.
    Replies{u, 70000} = {{"NUE?", "=004"}};
    const int64_t hour = 3600 * 1000;
    EXPECT_EQ(u.payload("NUS?", hour), "=006");

    // A week later the logs stay within their capacity.
    u.setRandomFaultRate(0.5);
    for (int i = 0; i < 2000; ++i)
        u.payload("FLT?", hour + i * 300000LL);
    EXPECT_EQ(u.events().size(), Unit::eventCapacity);
    EXPECT_EQ(u.statistics().size(), Unit::statisticsCapacity);
    Replies{u, 0} = {{"NUE?", "=099"}, {"CAE=", "="}, {"RNE?", "*"}};
}
