#include "Bus.h"
#include "Replies.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

namespace {

// The configuration string of a new MQX-350, written out by position.
const std::string mgc350 = std::string("001") + "0070.0000" + "114" + "0064.000" + "01" + "10.0" +
                           "001" + "000" + "7.0" + "000" + "0" + "00000" + "0070.0000" + "114" +
                           "0064.000" + "010" + "030" + "04.0" + "0" + "00000000" + "00" + "0000" +
                           "0" + "000000000000" + "0100";

std::string withAt(std::string s, int pos, const std::string& text) {
    s.replace(static_cast<size_t>(pos - 1), text.size(), text);
    return s;
}

} // namespace

TEST(SimMqx350, RepliesHaveTheirLayouts) {
    Bus bus;
    bus.setLatencyMs(0);
    bus.add("0012", "350");
    bus.receive("<0012/MGC?\r<0012/EBN?\r<0012/ODU?\r<0012/BPC?\r", 0);
    EXPECT_EQ(bus.poll(0),
              ">0012/MGC=" + mgc350 + "\r\n>0012/EBN=12.3\r\n>0012/ODU=0\r\n" + ">0012/BPC!\r\n");

    Unit u("0012", "350");
    // A demodulator out of lock reads so everywhere.
    u.setFault(3, '1');
    Replies{u, 0} = {{"EBN?", "=99.9"}, {"RFO?", "=+999.9"}, {"BER?", "=99999"}, {"BFS?", "=00"}};

    // The L variant: the ODU string; no ODU? of its own.
    Unit l("0013", "351");
    EXPECT_EQ(l.payload("OGC?", 0), "=01111000001000300013050+0000002105050010750-");
    EXPECT_EQ(l.payload("ODU?", 0), "!");
    // Power settings show in the readings.
    Replies{l, 0} = {
        {"LPC=1", "="}, {"LDV?", "=13.0"}, {"BPC=0", "="}, {"BDC?", "=0000"}, {"BDV?", "=00.0"}};
}

TEST(SimMqx350, EverySettingLandsAtItsPosition) {
    const struct {
        const char* command;
        int pos;
    } rows[] = {
        {"ITF=1", 1},       {"TFQ=0100.0000", 4}, {"TDR=2048.000", 16},     {"TPL=03.0", 26},
        {"APP=01C.53", 34}, {"RSW=032", 71},      {"MSK=101010101010", 94}, {"ALA=1", 109},
    };
    for (const auto& row : rows) {
        Unit u("0012", "350");
        const std::string cmd = row.command;
        const std::string value = cmd.substr(4);
        EXPECT_EQ(u.payload(cmd, 1000), "=") << cmd;
        EXPECT_EQ(u.payload("FLT?", 1000), "=000001") << cmd << " raises the change mark";
        EXPECT_EQ(u.payload("MGC?", 1000), "=" + withAt(mgc350, row.pos, value)) << cmd;
        EXPECT_EQ(u.payload("FLT?", 1000), "=000000") << cmd;
        EXPECT_EQ(u.payload(cmd.substr(0, 3) + "?", 1000), "=" + value) << cmd << " reads back";
    }

    const std::string ogc = Unit("0013", "351").oduConfig();
    const struct {
        const char* command;
        int pos;
    } oduRows[] = {{"BAD=15", 1}, {"BCL=2000", 11}, {"BLO=12800-", 19}, {"LLO=09750+", 39}};
    for (const auto& row : oduRows) {
        Unit l("0013", "351");
        const std::string cmd = row.command;
        EXPECT_EQ(l.payload(cmd, 0), "=") << cmd;
        EXPECT_EQ(l.payload("OGC?", 0), "=" + withAt(ogc, row.pos, cmd.substr(4))) << cmd;
        EXPECT_EQ(l.payload("FLT?", 0).substr(6), "1") << cmd;
    }

    // Values kept outside the two strings.
    Unit u("0012", "350");
    Replies{u,
            0} = {{"ADJ=-012", "="},           {"ADJ?", "=-012"},
                  {"IPA=10.0.0.1.24", "="},    {"IPA?", "=010.000.000.001.24"},
                  {"CID=LINK 7 )(*+-.,", "="}, {"CID?", "=LINK 7 )(*+-.," + std::string(26, ' ')}};
}

TEST(SimMqx350, BadValuesAndLocalModeAreRefused) {
    Unit u("0012", "350");
    const char* bad[] = {
        "TFQ=0095.0000", "TFQ=0049.9999", "TFQ=0180.0001", "TFQ=70",          "TFQ=0070,0000",
        "TPL=25.1",      "TPL=-3.0",      "TDR=2048.001",  "TDR=0002.399",    "RSW=033",
        "RSW=000",       "EBA=00.0",      "ESA=0125",      "TFT=3",           "TFT=6",
        "TFT=7",         "TMD=4",         "TMD=5",         "RMD=A",           "ITF=A",
        "APP=00F.00",    "APP=20A.00",    "APP=005.0",     "MSK=10101010101", "MSK=10101010102",
        "CEX=00",        "LRS=2",         "ADJ=1000",      "IPA=1.2.3.4",     "IPA=256.0.0.1.24",
        "CID=abc",       "MGC?x",         "CST=",          "CLD=4",           "DAY=310211",
        "TIM=240000",    "TIM=12300",     "FSW=1",
    };
    for (const char* command : bad)
        EXPECT_EQ(u.payload(command, 0), "?") << command;
    Replies{u, 0} = {{"BCH=0600", "!", "no BUC on the IF model"},
                     {"MGC?", "=" + mgc350, "nothing changed"}};

    // The IF model's two bands end inclusive; the L band has its own limits.
    for (const char* command : {"TFQ=0090.0000", "TFQ=0100.0000", "RFQ=0050.0000", "TPL=25.0"})
        EXPECT_EQ(u.payload(command, 0), "=") << command;
    Unit l("0013", "351");
    Replies{l, 0} = {{"TFQ=0949.9000", "?"},
                     {"TFQ=1950.0000", "="},
                     {"TPL=40.0", "="},
                     {"RSW=200", "="},
                     {"BCL=3100", "?"},
                     {"BLO=02999+", "?"},
                     {"BLO=00000+", "=", "0 = no LO"}};

    // Not taken in the present configuration.
    EXPECT_EQ(u.payload("TSC=2", 0), "*") << "IESS-315 needs TPC";
    u.setIdentity("2350133001"); // TPC/LDPC, 9980 kbps, all modulations, clock extension
    Replies{u, 0} = {{"TFT=6", "="}, {"TSC=2", "="}, {"TFT=7", "="}};
    EXPECT_EQ(u.payload("MGC?", 0).substr(25, 1), "1") << "IESS-315 leaves with TPC";
    Replies{u, 0} = {{"TDR=9980.000", "="},
                     {"CEX=21", "="},
                     {"FRM=0", "="},
                     {"AUP=1", "*", "AUPC needs OBLIX framing"}};

    // Local mode refuses every setting but the way back to remote.
    u.setRemoteState('0');
    EXPECT_EQ(u.payload("LRS?", 0), "=0");
    for (const char* command : {"TFQ=0070.0000", "TFQ=9", "CAE=", "CAS=", "CST=1", "CLD=1", "CID=X",
                                "TXO=1", "DAY=010112", "FSW=", "RCB=", "FPL=1"})
        EXPECT_EQ(u.payload(command, 0), "*") << command;
    EXPECT_EQ(u.payload("MGC?", 0).substr(0, 1), "=") << "queries still answered";
    u.setDistant(true);
    EXPECT_EQ(u.payload("TFQ=0075.0000", 0), "=") << "a slave takes the channel's settings";
    u.setDistant(false);
    Replies{u, 0} = {{"LRS=3", "="},
                     {"TFQ=0075.0000", "*", "ethernet remote"},
                     {"LRS=1", "="},
                     {"TFQ=0076.0000", "="}};
}

TEST(SimMqx350, SettingsCarryOthersWithThem) {
    Unit u("0012", "350");
    EXPECT_EQ(u.payload("TFT=5", 0), "=");
    EXPECT_EQ(u.payload("MGC?", 0).substr(13, 3), "533") << "TCM: 8-PSK, rate 2/3";
    EXPECT_EQ(u.payload("RFT=0", 0), "=");
    EXPECT_EQ(u.payload("MGC?", 0).substr(57, 3), "017") << "uncoded";
    EXPECT_EQ(u.payload("ITF=6", 0), "=");
    std::string mgc = u.payload("MGC?", 0);
    EXPECT_EQ(mgc.substr(16, 8), "2048.000");
    EXPECT_EQ(mgc.substr(60, 8), "2048.000");
    Replies{u, 0} = {{"TDR=0064.000", "*", "G.703 fixes the rate"},
                     {"AUP=1", "="},
                     {"REB?", "=11.0"},
                     {"FRM=0", "="},
                     {"AUP?", "=0", "no AUPC without framing"},
                     {"TXO=0", "="},
                     {"TXO?", "=0"}};
}

TEST(SimMqx350, MemoriesStoreAndLoad) {
    Unit u("0012", "350");
    Replies{u,
            0} = {{"MGC?3", "*", "empty"}, {"CLD=3", "?"}, {"CST=3", "="}, {"MGC?3", "=" + mgc350}};
    EXPECT_EQ(u.memory(3), mgc350);
    Replies{u, 0} = {{"TFQ=0080.0000", "="}, {"SSI=0", "="}, {"TXO=0", "="}};
    EXPECT_EQ(u.payload("MGC?", 0),
              "=" + withAt(withAt(withAt(mgc350, 4, "0080.0000"), 107, "0"), 32, "0"));
    Replies{u, 0} = {{"MGC?3", "=" + mgc350, "the memory keeps what was stored"},
                     {"CLD=3", "="},
                     {"FLT?", "=000001"},
                     {"MGC?", "=" + mgc350},
                     {"TXO?", "=1", "the carrier follows the loaded setting"}};
    EXPECT_EQ(u.payload("NUS?", 600000), "=001") << "the statistics interval too";

    Unit l("0013", "351");
    Replies{l, 0} = {{"OGC?0", "*"}, {"CST=0", "="}};
    const std::string ogc = l.oduConfig();
    Replies{l, 0} = {{"OGC?0", "=" + ogc}, {"BAD=07", "="}, {"CLD=0", "="}, {"OGC?", "=" + ogc}};
}

TEST(SimMqx350, ClockAndLogs) {
    Unit u("0012", "350", civilSeconds(2011, 6, 21, 14, 0, 0));
    Replies{u, 0} = {
        {"DAY=291224", "="}, {"TIM=235958", "="}, {"DAY?", "=291224"}, {"TIM?", "=235958"}};
    Replies{u, 3000} = {{"DAY?", "=301224", "the clock runs on"},
                        {"DAY=290225", "?", "2025 is no leap year"},
                        {"DAY=290224", "="},
                        {"TIM?", "=000001"}};

    // Every accepted change is an event; clearing empties each log on its own.
    EXPECT_EQ(u.payload("NUE?", 3000), "=001");
    u.payload("TPL=05.0", 4000);
    u.payload("TPL=05.0", 4000); // the same value again is no change
    u.payload("EBA=05.5", 5000);
    EXPECT_EQ(u.payload("NUE?", 5000), "=003");
    EXPECT_EQ(u.events().back(), "I43290224000003");
    Replies{u, 30 * 60000} = {{"NUS?", "=003"}, {"CAE=", "="}, {"NUE?", "=000"}, {"NUS?", "=003"},
                              {"CAS=", "="},    {"RNS?", "*"}, {"SSI=3", "="}};
    EXPECT_EQ(u.payload("NUS?", 50 * 60000), "=000");
    EXPECT_EQ(u.payload("NUS?", 60 * 60000), "=001") << "now every 30 minutes";
}
