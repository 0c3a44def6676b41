#include "Replies.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

// The window's tests read and set these units; here the values they never send.
TEST(SimMqx350, BadValuesAndLocalModeAreRefused) {
    Unit u("0012", "350");
    const std::string fresh = u.payload("MGC?", 0);
    AllAnswer(u, "?",
              "TFQ=0095.0000 TFQ=0049.9999 TFQ=0180.0001 TFQ=70 TFQ=0070,0000 TPL=25.1 TPL=-3.0 "
              "TDR=2048.001 TDR=0002.399 RSW=033 RSW=000 EBA=00.0 ESA=0125 TFT=3 TFT=6 TFT=7 "
              "TMD=4 TMD=5 RMD=A ITF=A APP=00F.00 APP=20A.00 APP=005.0 MSK=10101010101 "
              "MSK=10101010102 CEX=00 LRS=2 ADJ=1000 IPA=1.2.3.4 IPA=256.0.0.1.24 CID=abc MGC?x "
              "CST= CLD=4 DAY=310211 DAY=290225 TIM=240000 TIM=12300 FSW=1");
    Replies{u, 0} = {{"BCH=0600", "!", "no BUC on the IF model"},
                     {"MGC?", fresh, "nothing changed"}};
    // The IF model's two bands end inclusive; the L band has its own limits.
    AllAnswer(u, "=", "TFQ=0090.0000 TFQ=0100.0000 RFQ=0050.0000 TPL=25.0");
    Unit l("0013", "351");
    AllAnswer(l, "?", "TFQ=0949.9000 BCL=3100 BLO=02999+");
    AllAnswer(l, "=", "TFQ=1950.0000 TPL=40.0 RSW=200 BLO=00000+");

    // Not taken in the present configuration.
    EXPECT_EQ(u.payload("TSC=2", 0), "*") << "IESS-315 needs TPC";
    u.setIdentity("2350133001"); // TPC/LDPC, 9980 kbps, all modulations, clock extension
    AllAnswer(u, "=", "TFT=6 TSC=2 TFT=7 TDR=9980.000 CEX=21 FRM=0");
    EXPECT_EQ(u.payload("AUP=1", 0), "*") << "AUPC needs OBLIX framing";
    u.payload("ITF=6", 0);
    EXPECT_EQ(u.payload("TDR=0064.000", 0), "*") << "G.703 fixes the rate";

    // Local mode refuses every setting but the way back to remote.
    u.setRemoteState('0');
    AllAnswer(u, "*",
              "TFQ=0070.0000 TFQ=9 CAE= CAS= CST=1 CLD=1 CID=X TXO=1 DAY=010112 FSW= RCB= "
              "FPL=1");
    EXPECT_EQ(u.payload("MGC?", 0).substr(0, 1), "=") << "queries still answered";
    u.setDistant(true);
    EXPECT_EQ(u.payload("TFQ=0075.0000", 0), "=") << "a slave takes the channel's settings";
    u.setDistant(false);
    Replies{u, 0} = {{"LRS=3", "="},
                     {"TFQ=0075.0000", "*", "ethernet remote"},
                     {"LRS=1", "="},
                     {"TFQ=0076.0000", "="}};
}
