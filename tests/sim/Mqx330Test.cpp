#include "Replies.h"
#include "Unit.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

// The window's tests go through these units; here what they could not see: the codes a
// unit refuses, and the values it cannot hold.
TEST(SimMqx330, FecCodesFollowTheOptionsAndTheSoftwareVersion) {
    const struct {
        const char *identity, *version, *taken;
    } rows[] = {{"0330110000", "1.24", "12"},
                {"1330110000", "1.24", "1234"},
                {"4330110000", "V1.0", "0125"},
                {"4330110000", "1.19", "01258"},
                {"7330110000", "1.23", "0125678"}};
    for (const auto& r : rows) {
        Unit u("0330", "331");
        u.setIdentity(r.identity);
        u.setReading("SWR", r.version);
        std::string codes;
        for (char code = '0'; code <= '9'; ++code)
            if (u.payload(std::string("TFT=") + code, 0) == "=")
                codes += code;
        EXPECT_EQ(codes, r.taken) << r.identity << " " << r.version;
        EXPECT_EQ(u.payload("TXO=3", 0), *r.version == 'V' ? "?" : "=") << "RTI from 1.11";
    }
}

TEST(SimMqx330, ValuesOutsideTheBandOrTheGridAreRefused) {
    Unit u("0330", "331");
    AllAnswer(u, "?", "TFQ=090.0000 TDR=128.000 ESA=0125 CLD=4");
    u.setRemoteState('0');
    EXPECT_EQ(u.payload("CLD=3", 0), "*");
    Unit rx("0331", "331"); // receive-only at 140 MHz and level 4
    rx.setIdentity("2330220000");
    rx.setReading("LBL", "4");
    Replies{rx, 0} = {{"RFQ=103.0000", "="}, {"TFQ=150.0000", "?"}};
    Unit old("0310", "310");
    AllAnswer(old, "?", "TDR=0256.000 TMD=3");
    EXPECT_EQ(old.payload("ESA=0130", 0), "=");
}
