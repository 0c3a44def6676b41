#include "Bus.h"
#include "Replies.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

namespace {

// One request through a bus with no latency; the reply bytes as they go out.
std::string ask(Bus& bus, const std::string& address, const std::string& command,
                int64_t nowMs = 0) {
    bus.receive("<" + address + "/" + command + "\r", nowMs);
    return bus.poll(nowMs);
}

std::string value(Unit& unit, const std::string& command, int64_t nowMs = 0) {
    return unit.payload(command, nowMs);
}

} // namespace

TEST(SimUnit, StatusRepliesHaveTheFamilyLayouts) {
    Bus bus;
    bus.setLatencyMs(0);
    bus.add("0012", "350");
    bus.add("0013", "370");
    bus.add("0014", "330");
    bus.add("0015", "310");
    bus.add("0020", "VORN");
    bus.add("0041", "420");
    bus.add("0043", "430");

    EXPECT_EQ(ask(bus, "0012", "FLT?"), ">0012/FLT=000000\r\n");
    EXPECT_EQ(ask(bus, "0013", "FLT?"), ">0013/FLT=000000\r\n");
    EXPECT_EQ(ask(bus, "0014", "FLT?"), ">0014/FLT=00000\r\n");
    EXPECT_EQ(ask(bus, "0015", "FLT?"), ">0015/FLT=0000\r\n");
    EXPECT_EQ(ask(bus, "0041", "FLT?"), ">0041/FLT=0000000000000\r\n");
    EXPECT_EQ(ask(bus, "0043", "FLT?"), ">0043/FLT=00000000000000\r\n");
    EXPECT_EQ(ask(bus, "0020", "SFS?"), ">0020/SFS=0\r\n");
    EXPECT_EQ(ask(bus, "0020", "FLT?"), ">0020/FLT!\r\n");
    EXPECT_EQ(ask(bus, "0012", "SFS?"), ">0012/SFS!\r\n");

    // Faults by group: unit, Tx, Rx, ODU; the configuration-change mark last.
    Unit& m = *bus.find("0012");
    m.setFault(1, '7');
    m.setFault(3, '2');
    EXPECT_EQ(value(m, "FLT?"), "=702000");
    m.setConfig(m.config());
    EXPECT_EQ(value(m, "FLT?"), "=702001");
    value(m, "MGC?");
    EXPECT_EQ(value(m, "FLT?"), "=702000") << "reading the configuration clears the mark";

    Unit& xcvr = *bus.find("0020");
    xcvr.setFault(1, '4');
    EXPECT_EQ(value(xcvr, "SFS?"), "=4");
    xcvr.setFaults("A");
    EXPECT_EQ(value(xcvr, "SFS?"), "=A");
}

TEST(SimUnit, PairsCarrierAndCircuit) {
    Bus bus;
    Unit& on = *bus.add("0030", "350");
    Unit& off = *bus.add("0031", "350");
    EXPECT_EQ(on.payload("OUS?", 0), "=xxxxxx") << "no 1:1 pair";
    on.setOnline(true);
    on.setPartner(&off);
    EXPECT_EQ(on.payload("RED?", 0), "=1");
    EXPECT_EQ(off.payload("RED?", 0), "=0");
    off.setFault(2, '3');
    EXPECT_EQ(on.payload("OUS?", 0), "=030000");
    off.setUnreachable(true);
    EXPECT_EQ(on.payload("OUS?", 0), "=NoComm");
    on.setAnswer("OUS", "=No1fr1");
    EXPECT_EQ(on.payload("OUS?", 0), "=No1fr1");
    on.setAnswer("OUS", "");
    EXPECT_EQ(on.payload("OUS?", 0), "=NoComm");

    Unit& xcvr = *bus.add("0032", "VORN");
    xcvr.setOnline(true);
    EXPECT_EQ(xcvr.payload("ONL?", 0), "=1");

    Replies{on, 0} = {{"TXO?", "=1"}, {"TXO=0", "="}, {"TXO?", "=0"}, {"TXO=7", "?"}};

    on.setCircuitId("LINK 3 LOCAL");
    std::string cid = on.payload("CID?", 0);
    EXPECT_EQ(cid, "=" + std::string("LINK 3 LOCAL") + std::string(28, ' '));
    Replies{xcvr, 0} = {{"CID=SAT 7", "="}, {"CID?", "=SAT 7" + std::string(19, ' ')}};
}

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
}

TEST(SimUnit, EventAndStatisticsLogsReadInFives) {
    Unit u("0012", "350", civilSeconds(2011, 6, 21, 14, 3, 27));
    // Power-on record from the start, then the faults as they come and go.
    u.setFault(1, '1', 5000);
    u.setFault(1, '0', 65000);
    u.setConfig(u.config(), 70000);
    ASSERT_EQ(u.events().size(), 4u);
    EXPECT_EQ(u.events()[0], "I41210611140327");
    EXPECT_EQ(u.events()[1], "F11210611140332");
    EXPECT_EQ(u.events()[2], "C11210611140432");
    EXPECT_EQ(u.events()[3], "I43210611140437");

    EXPECT_EQ(u.payload("NUE?", 70000), "=004");
    std::string rne = u.payload("RNE?", 70000);
    ASSERT_EQ(rne.size(), 2u + 5 * 16);
    EXPECT_EQ(rne.substr(2, 15), "I41210611140327");
    EXPECT_EQ(rne.substr(18, 15), "F11210611140332") << "next record from character 17";
    EXPECT_EQ(rne.substr(66, 15), std::string(15, '0')) << "empty slot";
    Replies{u, 70000} = {{"RNE?", "*", "nothing unread is left"}, {"NUE?", "=000"}};

    // A statistics record every ten minutes of the unit's clock.
    const int64_t hour = 3600 * 1000;
    EXPECT_EQ(u.payload("NUS?", hour), "=006");
    std::string rns = u.payload("RNS?", hour);
    ASSERT_EQ(rns.size(), 2u + 5 * 27);
    std::string first = rns.substr(2, 26);
    EXPECT_NE(first[2], '0') << "a stored record is not an empty one";
    EXPECT_EQ(first.substr(14), "210611141327");
    EXPECT_EQ(rns.substr(29, 26).substr(14), "210611142327");
    std::string rest = u.payload("RNS?", hour);
    EXPECT_EQ(rest.substr(1, 1), "1");
    EXPECT_EQ(rest.substr(29, 26), std::string(26, '0'));
    EXPECT_EQ(u.payload("RNS?", hour), "*");

    // A week later the logs stay within their capacity.
    u.setRandomFaultRate(0.5);
    for (int i = 0; i < 2000; ++i)
        u.payload("FLT?", hour + i * 300000LL);
    EXPECT_EQ(u.events().size(), Unit::eventCapacity);
    EXPECT_EQ(u.statistics().size(), Unit::statisticsCapacity);
    EXPECT_EQ(u.payload("NUE?", 0), "=099");

    Replies{u, 0} = {{"CAE=", "="}, {"RNE?", "*"}};
    EXPECT_EQ(Unit("0015", "310").payload("RNS?", 0), "!") << "no statistics log";
}
