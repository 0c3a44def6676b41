#include "Bus.h"
#include "Replies.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

TEST(SimMqx370, ConfigurationLayoutsAndSettings) {
    Unit u("0370", "370");
    const std::string mgc = u.payload("MGC?", 0);
    ASSERT_EQ(mgc.size(), 121u);
    EXPECT_EQ(mgc.substr(1, 8), "070.0000");
    EXPECT_EQ(mgc.substr(9, 9), "02048.000");
    Replies{u, 0} = {{"OGC?", "!"}, {"DRL?", "=20000.00000004.80020000.00000004.800"}};
    EXPECT_EQ(u.payload("DNI?", 0).size(), 52u);

    // The IF range: 52-88 / 104-176 MHz, or 50-90 / 100-180 with a revision digit.
    Replies{u, 0} = {{"TFQ=0050.0000", "?"}, {"TFQ=0052.0000", "="}};
    u.setReading("HRV", "0301");
    EXPECT_EQ(u.payload("TFQ=0050.0000", 0), "=");
    EXPECT_EQ(u.config().substr(0, 8), "050.0000");
    EXPECT_TRUE(u.configChanged());
    // Composite values as the unit keeps them.
    EXPECT_EQ(u.payload("TVL=1,6", 0), "=");
    EXPECT_EQ(u.config().substr(104, 4), "-4+6");
    EXPECT_EQ(u.payload("TIP=7", 0), "=");
    EXPECT_EQ(u.config()[39], '1');
    EXPECT_EQ(u.payload("TDR=01024.AUX", 0), "=");
    EXPECT_EQ(u.config().substr(8, 9), "01024.AUX");
    EXPECT_EQ(u.payload("RDR=0768", 0), "=");
    EXPECT_EQ(u.config().substr(48, 9), "00768.000");
    Replies{u, 0} = {{"MSK=000101", "?", "the fourth mask is always 0"}, {"RBS=00017", "?"}};
    EXPECT_EQ(u.payload("DNI=" + std::string(51, '0'), 0), "=");
    EXPECT_EQ(u.payload("DTY=3", 0), "=");
    EXPECT_EQ(u.payload("DNI?", 0)[25], '3');
    EXPECT_EQ(u.payload("OOD=01:00", 0), "!") << "no ODU on an MQX-370";

    // Memories keep the D+I setting with the configuration.
    Replies{u, 0} = {{"MGC?4", "*"}, {"CST=4", "="}};
    EXPECT_EQ(u.payload("DNI?4", 0).substr(1), u.payload("DNI?", 0).substr(1));
    u.setRemoteState('0');
    EXPECT_EQ(u.payload("TSI=1", 0), "*");
}

TEST(SimMqx370, LBandOduAndStatus) {
    Unit l("0371", "371");
    EXPECT_EQ(l.payload("EID?", 0), "=2371235301");
    EXPECT_EQ(l.payload("MGC?", 0).substr(1, 8), "14000000");
    EXPECT_EQ(l.payload("OGC?", 0), "=01111102:3010003000"
                                    "10.0111050400"
                                    "13050+10750-");
    Replies{l, 0} = {{"ODH=3500", "="}, {"ODH=3550", "?"}, {"OOD=21:00", "?"}, {"TLO=12000-", "="}};
    EXPECT_EQ(l.oduConfig().substr(32, 6), "12000-");
    EXPECT_EQ(l.payload("TFQ=1234.5678", 0), "=");
    EXPECT_EQ(l.config().substr(0, 8), "12345678");
    Replies{l, 0} = {{"ODP?", "=1"}, {"OPC?", "=10.0"}};
    l.setFault(3, '1');
    EXPECT_EQ(l.payload("RFO?", 0), "=99999");
    EXPECT_EQ(l.payload("FLT?", 0).substr(0, 5), "=0010");
}
