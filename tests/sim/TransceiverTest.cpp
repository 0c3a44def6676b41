// The simulated transceivers: values the unit cannot take are refused, and the variants
// (missing converters, LNB, pairs, refused factory access) refuse as the equipment does.

#include "Pld.h"
#include "Replies.h"
#include "Unit.h"
#include "Vorn.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

TEST(SimTransceiver, AVornRefusesWhatItsBandGridAndStateForbid) {
    Unit u("0211", "VORN");
    AllAnswer(u, "?", "UFQ=5927.3 UFQ=6500.0 UAT=12.30 UAT=21.00 REF=256 LCW=51 UGO=-1.30 MUT=2");
    Replies{u, 0} = {
        {"UIF?", "*", "the limits need the factory access"}, {"MUT=1", "="}, {"DFQ=3700.0", "="}};
    auto& vorn = dynamic_cast<VornBehaviour&>(*u.behaviour());
    EXPECT_TRUE(vorn.downMuted()) << "muted after a frequency change";
    vorn.setFactoryAccess(false);
    Replies{u, 0} = {{"FAC=E ", "*"}, {"DIF?", "*"}};

    Unit y("0212", "YRAN");
    auto& yran = dynamic_cast<VornBehaviour&>(*y.behaviour());
    yran.setUpConverter(false);
    AllAnswer(y, "*", "UFQ=6000.0 USM?");
    yran.setDownConverter(false);
    AllAnswer(y, "*", "CLS? CAL=");

    Unit a("0213", "VORN"), b("0214", "VORN");
    a.setPartner(&b);
    b.setPartner(&a);
    a.setOnline(true);
    EXPECT_EQ(b.payload("RTG=", 0), "*") << "only the on-line unit hands over";
}

TEST(SimTransceiver, APldSwitchesItsRfOffForANewFrequencyAndAnLnbKeepsToItsBand) {
    Unit p("0411", "PLD");
    EXPECT_EQ(p.payload("UFQ=14249.0", 0), "=RF_OFF");
    for (const char* bad : {"UFQ=14600.0", "UFQ=14249.5", "DAT=21.0", "UMU=3", "SRB=A"})
        EXPECT_NE(p.payload(bad, 0)[0], '=') << bad;
    Replies{p, 0} = {{"SRB?", "*"}, {"LOK=1", "="}, {"AGC=0", "*", "lock mode keeps the settings"}};
    Unit lnb("0412", "PLD-LNB");
    Replies{lnb, 0} = {
        {"DFQ=11500.0", "?", "band B starts at 11700"}, {"SRB=A", "="}, {"DFQ=11500.0", "="}};
}
