#include "Bus.h"

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
    EXPECT_EQ(u.payload("EID?", 0), "=0350110000");
    EXPECT_EQ(u.payload("IMG?", 0), "=1");
    EXPECT_EQ(u.payload("SWR?", 0).size(), 37u);
    EXPECT_EQ(u.payload("SNO?", 0), "=35000121");
    EXPECT_EQ(u.payload("RFO?", 0), "=+001.2");
    EXPECT_EQ(u.payload("BER?", 0), "=1.0E7");
    EXPECT_EQ(u.payload("BFS?", 0), "=50");
    EXPECT_EQ(u.payload("RSL?", 0), "===45.0");
    EXPECT_EQ(u.payload("TMP?", 0), "=+35");
    EXPECT_EQ(u.payload("CTD?", 0), "=000");
    EXPECT_EQ(u.payload("ESA?", 0), "=0000");
    EXPECT_EQ(u.payload("ADJ?", 0), "=+000");
    EXPECT_EQ(u.payload("IPA?", 0), "=192.168.001.010.24");
    EXPECT_EQ(u.payload("LRS?", 0), "=1");
    EXPECT_EQ(u.payload("NUE?", 0), "=001");
    EXPECT_EQ(u.payload("NUS?", 0), "=000");
    EXPECT_EQ(u.payload("REB?", 0), "=xx.x") << "AUPC off";
    EXPECT_EQ(u.payload("PLI?", 0), "=x.x");
    EXPECT_EQ(u.payload("EBN?1", 0), "?");

    // A demodulator out of lock reads so everywhere.
    u.setFault(3, '1');
    EXPECT_EQ(u.payload("EBN?", 0), "=99.9");
    EXPECT_EQ(u.payload("RFO?", 0), "=+999.9");
    EXPECT_EQ(u.payload("BER?", 0), "=99999");
    EXPECT_EQ(u.payload("BFS?", 0), "=00");
    u.setReading("TMP", "+51");
    EXPECT_EQ(u.payload("TMP?", 0), "=+51");

    // The L variant: the ODU string and the BUC and LNB status; no ODU? of its own.
    Unit l("0013", "351");
    EXPECT_EQ(l.payload("EID?", 0), "=0351110000");
    EXPECT_EQ(l.payload("MGC?", 0).substr(4, 9), "1400.0000");
    EXPECT_EQ(l.payload("OGC?", 0), "=01111000001000300013050+0000002105050010750-");
    const char* odu[][2] = {{"BPC?", "=1"}, {"BDC?", "=0450"}, {"BDV?", "=24.0"},
                            {"LPC?", "=2"}, {"LDC?", "=120"},  {"LDV?", "=18.0"},
                            {"BCE?", "=1"}, {"BOL?", "=10.5"}, {"BUT?", "=+045"},
                            {"BPA?", "=0"}, {"BSV?", "=12"},   {"ODU?", "!"}};
    for (const auto& [query, reply] : odu)
        EXPECT_EQ(l.payload(query, 0), reply) << query;
    EXPECT_EQ(Unit("0012", "350").payload("OGC?", 0), "!");

    // Power settings show in the readings.
    EXPECT_EQ(l.payload("LPC=1", 0), "=");
    EXPECT_EQ(l.payload("LDV?", 0), "=13.0");
    EXPECT_EQ(l.payload("BPC=0", 0), "=");
    EXPECT_EQ(l.payload("BDC?", 0), "=0000");
    EXPECT_EQ(l.payload("BDV?", 0), "=00.0");
}

TEST(SimMqx350, EverySettingLandsAtItsPosition) {
    const struct {
        const char* command;
        int pos;
    } rows[] = {
        {"ITF=1", 1},         {"LBO=4", 2},         {"FRM=2", 3},
        {"TFQ=0100.0000", 4}, {"TFT=2", 13},        {"TMD=3", 14},
        {"TCR=2", 15},        {"TDR=2048.000", 16}, {"TSI=1", 24},
        {"TSC=0", 25},        {"TPL=03.0", 26},     {"TCK=2", 30},
        {"TDI=1", 31},        {"TXO=2", 32},        {"AUP=1", 33},
        {"APP=01C.53", 34},   {"WUD=1", 40},        {"RFQ=0050.0000", 48},
        {"RFT=2", 57},        {"RMD=2", 58},        {"RCR=2", 59},
        {"RDR=0002.400", 60}, {"RSI=1", 68},        {"RDS=0", 69},
        {"RDI=1", 70},        {"RSW=032", 71},      {"EBA=16.0", 74},
        {"RBS=8", 78},        {"ERF=5", 87},        {"EFM=1", 88},
        {"ESA=0120", 89},     {"TST=6", 93},        {"MSK=101010101010", 94},
        {"RTS=2", 106},       {"SSI=9", 107},       {"ABA=1", 108},
        {"ALA=1", 109},
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
    } oduRows[] = {{"BAD=15", 1},     {"BCE=0", 3},     {"BPC=0", 4},     {"BFR=0", 5},
                   {"BOE=1", 6},      {"BCL=2000", 11}, {"BCH=4000", 15}, {"BLO=12800-", 19},
                   {"LPC=3", 31},     {"LFR=0", 32},    {"LCL=400", 33},  {"LCH=060", 36},
                   {"LLO=09750+", 39}};
    for (const auto& row : oduRows) {
        Unit l("0013", "351");
        const std::string cmd = row.command;
        EXPECT_EQ(l.payload(cmd, 0), "=") << cmd;
        EXPECT_EQ(l.payload("OGC?", 0), "=" + withAt(ogc, row.pos, cmd.substr(4))) << cmd;
        EXPECT_EQ(l.payload("FLT?", 0).substr(6), "1") << cmd;
    }

    // Values kept outside the two strings.
    Unit u("0012", "350");
    EXPECT_EQ(u.payload("FPL=1", 0), "=");
    EXPECT_EQ(u.payload("FPL?", 0), "=1");
    EXPECT_EQ(u.payload("ADJ=-012", 0), "=");
    EXPECT_EQ(u.payload("ADJ?", 0), "=-012");
    EXPECT_EQ(u.payload("IPA=10.0.0.1.24", 0), "=");
    EXPECT_EQ(u.payload("IPA?", 0), "=010.000.000.001.24");
    EXPECT_EQ(u.payload("ODU=1", 0), "=");
    EXPECT_EQ(u.payload("ODU?", 0), "=1");
    EXPECT_EQ(u.payload("CID=LINK 7 )(*+-.,", 0), "=");
    EXPECT_EQ(u.payload("CID?", 0), "=LINK 7 )(*+-.," + std::string(26, ' '));
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
    EXPECT_EQ(u.payload("BCH=0600", 0), "!") << "no BUC on the IF model";
    EXPECT_EQ(u.payload("MGC?", 0), "=" + mgc350) << "nothing changed";

    // The IF model's two bands end inclusive; the L band has its own limits.
    for (const char* command : {"TFQ=0090.0000", "TFQ=0100.0000", "RFQ=0050.0000", "TPL=25.0"})
        EXPECT_EQ(u.payload(command, 0), "=") << command;
    Unit l("0013", "351");
    EXPECT_EQ(l.payload("TFQ=0949.9000", 0), "?");
    EXPECT_EQ(l.payload("TFQ=1950.0000", 0), "=");
    EXPECT_EQ(l.payload("TPL=40.0", 0), "=");
    EXPECT_EQ(l.payload("RSW=200", 0), "=");
    EXPECT_EQ(l.payload("BCL=3100", 0), "?");
    EXPECT_EQ(l.payload("BLO=02999+", 0), "?");
    EXPECT_EQ(l.payload("BLO=00000+", 0), "=") << "0 = no LO";

    // Not taken in the present configuration.
    EXPECT_EQ(u.payload("TSC=2", 0), "*") << "IESS-315 needs TPC";
    u.setIdentity("2350133001"); // TPC/LDPC, 9980 kbps, all modulations, clock extension
    EXPECT_EQ(u.payload("TFT=6", 0), "=");
    EXPECT_EQ(u.payload("TSC=2", 0), "=");
    EXPECT_EQ(u.payload("TFT=7", 0), "=");
    EXPECT_EQ(u.payload("MGC?", 0).substr(25, 1), "1") << "IESS-315 leaves with TPC";
    EXPECT_EQ(u.payload("TDR=9980.000", 0), "=");
    EXPECT_EQ(u.payload("CEX=21", 0), "=");
    EXPECT_EQ(u.payload("FRM=0", 0), "=");
    EXPECT_EQ(u.payload("AUP=1", 0), "*") << "AUPC needs OBLIX framing";

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
    EXPECT_EQ(u.payload("LRS=3", 0), "=");
    EXPECT_EQ(u.payload("TFQ=0075.0000", 0), "*") << "ethernet remote";
    EXPECT_EQ(u.payload("LRS=1", 0), "=");
    EXPECT_EQ(u.payload("TFQ=0076.0000", 0), "=");

    // Refusals on the wire.
    Bus bus;
    bus.setLatencyMs(0);
    bus.add("0012", "350")->setRemoteState('0');
    bus.receive("<0012/TPL=03.0\r<0012/LRS=1\r<0012/TPL=3\r<0012/TPL=03.0\r", 0);
    EXPECT_EQ(bus.poll(0), ">0012/TPL*\r\n>0012/LRS=\r\n>0012/TPL?\r\n>0012/TPL=\r\n");
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
    EXPECT_EQ(u.payload("TDR=0064.000", 0), "*") << "G.703 fixes the rate";
    EXPECT_EQ(u.payload("AUP=1", 0), "=");
    EXPECT_EQ(u.payload("REB?", 0), "=11.0");
    EXPECT_EQ(u.payload("FRM=0", 0), "=");
    EXPECT_EQ(u.payload("AUP?", 0), "=0") << "no AUPC without framing";
    EXPECT_EQ(u.payload("TXO=0", 0), "=");
    EXPECT_EQ(u.payload("TXO?", 0), "=0");

    // Switchover swaps the pair; re-centring is acknowledged.
    Bus bus;
    Unit& on = *bus.add("0030", "350");
    Unit& off = *bus.add("0031", "350");
    on.setOnline(true);
    on.setPartner(&off);
    EXPECT_EQ(on.payload("FSW=", 0), "=");
    EXPECT_EQ(on.payload("RED?", 0), "=0");
    EXPECT_EQ(off.payload("RED?", 0), "=1");
    EXPECT_EQ(off.payload("OUS?", 0), "=000000");
    EXPECT_EQ(on.payload("RCB=", 0), "=");
}

TEST(SimMqx350, MemoriesStoreAndLoad) {
    Unit u("0012", "350");
    EXPECT_EQ(u.payload("MGC?3", 0), "*") << "empty";
    EXPECT_EQ(u.payload("CLD=3", 0), "?");
    EXPECT_EQ(u.payload("CST=3", 0), "=");
    EXPECT_EQ(u.payload("MGC?3", 0), "=" + mgc350);
    EXPECT_EQ(u.memory(3), mgc350);
    EXPECT_EQ(u.payload("TFQ=0080.0000", 0), "=");
    EXPECT_EQ(u.payload("SSI=0", 0), "=");
    EXPECT_EQ(u.payload("TXO=0", 0), "=");
    EXPECT_EQ(u.payload("MGC?", 0),
              "=" + withAt(withAt(withAt(mgc350, 4, "0080.0000"), 107, "0"), 32, "0"));
    EXPECT_EQ(u.payload("MGC?3", 0), "=" + mgc350) << "the memory keeps what was stored";
    EXPECT_EQ(u.payload("CLD=3", 0), "=");
    EXPECT_EQ(u.payload("FLT?", 0), "=000001");
    EXPECT_EQ(u.payload("MGC?", 0), "=" + mgc350);
    EXPECT_EQ(u.payload("TXO?", 0), "=1") << "the carrier follows the loaded setting";
    EXPECT_EQ(u.payload("NUS?", 600000), "=001") << "the statistics interval too";

    Unit l("0013", "351");
    EXPECT_EQ(l.payload("OGC?0", 0), "*");
    EXPECT_EQ(l.payload("CST=0", 0), "=");
    const std::string ogc = l.oduConfig();
    EXPECT_EQ(l.payload("OGC?0", 0), "=" + ogc);
    EXPECT_EQ(l.payload("BAD=07", 0), "=");
    EXPECT_EQ(l.payload("CLD=0", 0), "=");
    EXPECT_EQ(l.payload("OGC?", 0), "=" + ogc);
}

TEST(SimMqx350, ClockAndLogs) {
    Unit u("0012", "350", civilSeconds(2011, 6, 21, 14, 0, 0));
    EXPECT_EQ(u.payload("DAY=291224", 0), "=");
    EXPECT_EQ(u.payload("TIM=235958", 0), "=");
    EXPECT_EQ(u.payload("DAY?", 0), "=291224");
    EXPECT_EQ(u.payload("TIM?", 0), "=235958");
    EXPECT_EQ(u.payload("DAY?", 3000), "=301224") << "the clock runs on";
    EXPECT_EQ(u.payload("DAY=290225", 3000), "?") << "2025 is no leap year";
    EXPECT_EQ(u.payload("DAY=290224", 3000), "=");
    EXPECT_EQ(u.payload("TIM?", 3000), "=000001");

    // Every accepted change is an event; clearing empties each log on its own.
    EXPECT_EQ(u.payload("NUE?", 3000), "=001");
    u.payload("TPL=05.0", 4000);
    u.payload("TPL=05.0", 4000); // the same value again is no change
    u.payload("EBA=05.5", 5000);
    EXPECT_EQ(u.payload("NUE?", 5000), "=003");
    EXPECT_EQ(u.events().back(), "I43290224000003");
    EXPECT_EQ(u.payload("NUS?", 30 * 60000), "=003");
    EXPECT_EQ(u.payload("CAE=", 30 * 60000), "=");
    EXPECT_EQ(u.payload("NUE?", 30 * 60000), "=000");
    EXPECT_EQ(u.payload("NUS?", 30 * 60000), "=003");
    EXPECT_EQ(u.payload("CAS=", 30 * 60000), "=");
    EXPECT_EQ(u.payload("RNS?", 30 * 60000), "*");
    EXPECT_EQ(u.payload("SSI=3", 30 * 60000), "=");
    EXPECT_EQ(u.payload("NUS?", 50 * 60000), "=000");
    EXPECT_EQ(u.payload("NUS?", 60 * 60000), "=001") << "now every 30 minutes";
}
