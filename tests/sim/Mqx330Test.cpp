#include "Unit.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

TEST(SimMqx330, FecCodesFollowTheOptionsAndTheSoftwareVersion) {
    struct Row {
        const char* identity;
        const char* version;
        const char* taken; // the FEC type codes the unit takes
    };
    for (const Row& row : std::vector<Row>{{"0330110000", "1.24", "12"},
                                           {"1330110000", "1.24", "1234"},
                                           {"2330110000", "1.24", "012"},
                                           {"4330110000", "V1.0", "0125"},
                                           {"4330110000", "1.19", "01258"},
                                           {"5330110000", "1.24", "01256789"},
                                           {"7330110000", "1.23", "0125678"}}) {
        SCOPED_TRACE(std::string(row.identity) + " " + row.version);
        Unit u("0330", "331");
        u.setIdentity(row.identity);
        u.setReading("SWR", row.version);
        std::string taken;
        for (char code = '0'; code <= '9'; ++code)
            if (u.payload(std::string("TFT=") + code, 0) == "=")
                taken += code;
        EXPECT_EQ(taken, row.taken);
        EXPECT_EQ(u.payload("TXO=3", 0), row.version[0] == 'V' ? "?" : "=") << "RTI from 1.11";
    }
}

TEST(SimMqx330, SettingsChangeTheStringAndBadOnesAreRefused) {
    Unit u("0330", "331");
    EXPECT_EQ(u.payload("MGC?", 0).size(), 79u);
    EXPECT_EQ(u.payload("TFQ=071.5000", 0), "=");
    EXPECT_EQ(u.payload("TFQ=090.0000", 0), "?") << "beyond the 70 MHz band";
    EXPECT_EQ(u.payload("TDR=0128.000", 0), "=");
    EXPECT_EQ(u.payload("TDR=128.000", 0), "?");
    EXPECT_EQ(u.payload("APP=103.52", 0), "=");
    EXPECT_EQ(u.payload("RSW=31", 0), "?");
    EXPECT_EQ(u.payload("ESA=0125", 0), "?") << "a multiple of 10";
    EXPECT_EQ(u.payload("FRM=1", 0), "=");
    EXPECT_EQ(u.payload("ESA?", 0), "=0000");
    const std::string c = u.payload("MGC?", 0).substr(1);
    EXPECT_EQ(c.substr(0, 16), "071.50000128.000");
    EXPECT_EQ(c.substr(57, 1), "1");
    EXPECT_EQ(c.substr(71, 6), "103.52");
    EXPECT_EQ(u.payload("FLT?", 0), "=00000") << "the read cleared the change mark";

    // The memories keep the string; a load brings it back.
    EXPECT_EQ(u.payload("CST?3", 0), "*");
    EXPECT_EQ(u.payload("CST=3", 0), "=");
    EXPECT_EQ(u.payload("CST?3", 0), "=" + c);
    EXPECT_EQ(u.payload("TFQ=060.0000", 0), "=");
    EXPECT_EQ(u.payload("CLD=3", 0), "=");
    EXPECT_EQ(u.payload("MGC?", 0), "=" + c);
    EXPECT_EQ(u.payload("CLD=4", 0), "?");
    u.setRemoteState('0');
    EXPECT_EQ(u.payload("TFQ=060.0000", 0), "*");
    EXPECT_EQ(u.payload("CLD=3", 0), "*");

    // The 140 MHz band at level 4 reaches 102-178 MHz; a demodulator has no transmit side.
    Unit rx("0331", "331");
    rx.setIdentity("2330220000");
    EXPECT_EQ(rx.payload("RFQ=103.0000", 0), "?");
    rx.setReading("LBL", "4");
    EXPECT_EQ(rx.payload("RFQ=103.0000", 0), "=");
    EXPECT_EQ(rx.payload("TFQ=150.0000", 0), "?");
    EXPECT_EQ(rx.payload("LNB?", 0), "=1");
    EXPECT_EQ(rx.payload("LNB=0", 0), "=");
    EXPECT_EQ(rx.payload("LNB?", 0), "=0");
}

TEST(SimMqx310, TheShorterStringAndItsOwnLimits) {
    Unit u("0310", "310");
    EXPECT_EQ(u.payload("MGC?", 0).size(), 67u);
    EXPECT_EQ(u.payload("TDR=256.000", 0), "=");
    EXPECT_EQ(u.payload("TDR=0256.000", 0), "?") << "seven characters";
    EXPECT_EQ(u.payload("TMD=3", 0), "?") << "no OQPSK";
    EXPECT_EQ(u.payload("EBA=01.5", 0), "?");
    EXPECT_EQ(u.payload("TFT=1", 0), "!");
    EXPECT_EQ(u.payload("ESN?", 0), "!");
    EXPECT_EQ(u.payload("NUS?", 0), "!");
    EXPECT_EQ(u.payload("SWR?", 0), "=1.05");
    EXPECT_EQ(u.payload("ESA=0130", 0), "=");
    EXPECT_EQ(u.payload("MGC?", 0).substr(9, 7), "256.000");
    EXPECT_EQ(u.payload("ESA?", 0), "=0130");
}
