#include "Replies.h"
#include "Unit.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

// The window's tests go through these units; here what they could not see: the codes a
// unit refuses, and the state behind the settings.
TEST(SimMqx330, FecCodesFollowTheOptionsAndTheSoftwareVersion) {
    for (const auto& [identity, version, taken] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"0330110000", "1.24", "12"},
             {"1330110000", "1.24", "1234"},
             {"4330110000", "V1.0", "0125"},
             {"4330110000", "1.19", "01258"},
             {"7330110000", "1.23", "0125678"}}) {
        SCOPED_TRACE(std::string(identity) + " " + version);
        Unit u("0330", "331");
        u.setIdentity(identity);
        u.setReading("SWR", version);
        std::string codes;
        for (char code = '0'; code <= '9'; ++code)
            if (u.payload(std::string("TFT=") + code, 0) == "=")
                codes += code;
        EXPECT_EQ(codes, taken);
        EXPECT_EQ(u.payload("TXO=3", 0), *version == 'V' ? "?" : "=") << "RTI from 1.11";
    }
}

TEST(SimMqx330, SettingsChangeTheStringAndTheMemoriesKeepIt) {
    Unit u("0330", "331");
    Replies{u, 0} = {{"TFQ=090.0000", "?", "beyond the 70 MHz band"},
                     {"TDR=128.000", "?"},
                     {"ESA=0125", "?", "a multiple of 10"}};
    for (const char* setting : {"TFQ=071.5000", "TDR=0128.000", "APP=103.52", "FRM=1", "CST=3"})
        EXPECT_EQ(u.payload(setting, 0), "=") << setting;
    const std::string c = u.payload("MGC?", 0).substr(1);
    EXPECT_EQ(c.substr(0, 16) + c.substr(57, 1) + c.substr(71, 6), "071.50000128.0001103.52");
    Replies{u, 0} = {{"FLT?", "=00000", "the read cleared the change mark"},
                     {"TFQ=060.0000", "="},
                     {"CLD=3", "="},
                     {"MGC?", "=" + c},
                     {"CLD=4", "?", "nothing stored there"}};
    u.setRemoteState('0');
    EXPECT_EQ(u.payload("CLD=3", 0), "*");

    // A receive-only unit at 140 MHz and level 4; the MQX-310's shorter string.
    Unit rx("0331", "331");
    rx.setIdentity("2330220000");
    rx.setReading("LBL", "4");
    Replies{rx, 0} = {{"RFQ=103.0000", "="}, {"TFQ=150.0000", "?"}};
    Unit old("0310", "310");
    Replies{old, 0} = {
        {"TDR=0256.000", "?", "seven characters"}, {"TMD=3", "?", "no OQPSK"}, {"ESA=0130", "="}};
    EXPECT_EQ(old.payload("MGC?", 0).substr(63), "0130");
}
