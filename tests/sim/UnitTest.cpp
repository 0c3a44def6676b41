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

TEST(SimUnit, EventAndStatisticsLogsReadInFivesAndKeepTheirCapacity) {
    Unit u("0012", "350", civilSeconds(2011, 6, 21, 14, 3, 27));
    // Power-on record from the start, then the faults as they come and go.
    u.setFault(1, '1', 5000);
    u.setFault(1, '0', 65000);
    u.setConfig(u.config(), 70000);
    EXPECT_EQ(u.events(), (std::deque<std::string>{"I41210611140327", "F11210611140332",
                                                   "C11210611140432", "I43210611140437"}));
    const std::string rne = u.payload("RNE?", 70000);
    ASSERT_EQ(rne.size(), 2u + 5 * 16);
    EXPECT_EQ(rne.substr(18, 15) + rne.substr(66, 15), "F11210611140332" + std::string(15, '0'));
    Replies{u, 70000} = {{"RNE?", "*", "nothing unread is left"}, {"NUE?", "=000"}};

    // A statistics record every ten minutes of the unit's clock.
    const int64_t hour = 3600 * 1000;
    EXPECT_EQ(u.payload("NUS?", hour), "=006");
    const std::string rns = u.payload("RNS?", hour);
    ASSERT_EQ(rns.size(), 2u + 5 * 27);
    EXPECT_NE(rns[4], '0') << "a stored record is not an empty one";
    EXPECT_EQ(rns.substr(16, 12) + rns.substr(43, 12), "210611141327210611142327");
    EXPECT_EQ(u.payload("RNS?", hour).substr(29, 26), std::string(26, '0'));
    EXPECT_EQ(u.payload("RNS?", hour), "*");

    // A week later the logs stay within their capacity.
    u.setRandomFaultRate(0.5);
    for (int i = 0; i < 2000; ++i)
        u.payload("FLT?", hour + i * 300000LL);
    EXPECT_EQ(u.events().size(), Unit::eventCapacity);
    EXPECT_EQ(u.statistics().size(), Unit::statisticsCapacity);
    Replies{u, 0} = {{"NUE?", "=099"}, {"CAE=", "="}, {"RNE?", "*"}};
}
