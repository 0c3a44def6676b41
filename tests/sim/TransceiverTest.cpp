// The simulated transceivers: settings change what a re-read reports, values the unit
// cannot take are refused, and the variants (missing converters, LNB, pairs, refused
// factory access) answer as the equipment does.

#include "Pld.h"
#include "Replies.h"
#include "Unit.h"
#include "Vorn.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

namespace {

VornBehaviour& VornOf(Unit& u) {
    return *dynamic_cast<VornBehaviour*>(u.behaviour());
}
PldBehaviour& PldOf(Unit& u) {
    return *dynamic_cast<PldBehaviour*>(u.behaviour());
}

} // namespace

TEST(SimTransceiver, AVornTakesWhatItsBandAndGridAllowAndReportsIt) {
    Unit u("0211", "VORN");
    Replies{u, 0} = {
        {"CCS?", "=5925.03702.510.2505.00111010011"}, {"UFQ=5927.5", "="}, {"UAT=02.25", "="}};
    EXPECT_EQ(u.payload("CCS?", 0).substr(0, 18), "=5927.53702.502.25");
    for (const char* bad : {"UFQ=5927.3", "UFQ=6500.0", "UAT=12.30", "UAT=21.00", "REF=256",
                            "LCW=51", "UGO=-1.30", "MUT=2"})
        EXPECT_EQ(u.payload(bad, 0), "?") << bad;
    Replies{u, 0} = {{"LCW=99", "="}, {"CLS?", "=1991"}};

    // Muted after a frequency change when its mute mode says so.
    Replies{u, 0} = {{"MUT=1", "="}, {"DFQ=3700.0", "="}};
    EXPECT_TRUE(VornOf(u).downMuted());

    // The limits need the factory access; a unit may refuse it.
    Replies{u, 0} = {{"UIF?", "*"}, {"FAC=E ", "="}};
    const std::string limits = u.payload("UIF?", 0);
    EXPECT_EQ(limits.substr(1, 10), "05850,0575");
    EXPECT_EQ(limits.substr(39, 2), "20");
    EXPECT_EQ(u.payload("FAC=D ", 0), "=");
    VornOf(u).setFactoryAccess(false);
    Replies{u, 0} = {{"FAC=E ", "*"}, {"DIF?", "*"}};
}

TEST(SimTransceiver, AMissingConverterReadsXAndTakesNoSetting) {
    Unit u("0211", "YRAN");
    VornOf(u).setUpConverter(false);
    const std::string ccs = u.payload("CCS?", 0);
    EXPECT_EQ(ccs.substr(1, 6), "XXXXXX");
    EXPECT_EQ(ccs.substr(24, 3), "XXX");
    Replies{u, 0} = {{"UFQ=6000.0", "*"}, {"USM?", "*"}};
    EXPECT_EQ(u.payload("CUS?", 0).substr(5, 3), "X.X");
    VornOf(u).setDownConverter(false);
    Replies{u, 0} = {{"CLS?", "*"}, {"CAL=", "*"}};
}

TEST(SimTransceiver, OnlyTheOnLineUnitOfAPairHandsOver) {
    Unit a("0211", "VORN"), b("0212", "VORN");
    a.setPartner(&b);
    b.setPartner(&a);
    a.setOnline(true);
    EXPECT_EQ(b.payload("RTG=", 0), "*");
    Replies{a, 0} = {{"RTG=", "="}, {"ONL?", "=0"}};
    EXPECT_EQ(b.payload("ONL?", 0), "=1");
    EXPECT_EQ(a.payload("CCS?", 0).substr(23, 1), "0");
    Replies{a, 0} = {{"RAM=0", "="}, {"RAM?", "=0"}};
}

TEST(SimTransceiver, APldSwitchesItsRfOffForANewFrequencyAndAnLnbKeepsToItsBand) {
    Unit p("0411", "PLD");
    EXPECT_EQ(p.payload("RET?", 0).substr(0, 11), "=1PLD-KU25A");
    const std::string rcs = p.payload("RCS?", 0);
    EXPECT_EQ(rcs.substr(6, 7), "14250.0");
    EXPECT_EQ(rcs.substr(30, 1), "1");
    EXPECT_EQ(p.payload("UFQ=14249.0", 0), "=RF_OFF");
    EXPECT_EQ(p.payload("RCS?", 0).substr(30, 1), "0");
    for (const char* bad : {"UFQ=14600.0", "UFQ=14249.5", "DAT=21.0", "UMU=3", "SRB=A"})
        EXPECT_NE(p.payload(bad, 0)[0], '=') << bad;
    EXPECT_EQ(p.payload("SRB?", 0), "*");

    EXPECT_EQ(p.payload("LOK=1", 0), "=");
    EXPECT_EQ(p.payload("AGC=0", 0), "*"); // lock mode keeps the settings
    EXPECT_EQ(p.payload("LOK=0", 0), "=");
    PldOf(p).setUpConverter(false);
    EXPECT_EQ(p.payload("RCS?", 0).substr(2, 1), "X");

    Unit lnb("0412", "PLD-LNB");
    EXPECT_EQ(lnb.payload("RET?", 0).substr(2, 9), "PLD-KU25B");
    EXPECT_EQ(lnb.payload("SRB?", 0), "=B");
    EXPECT_EQ(lnb.payload("DFQ=11500.0", 0), "?"); // band B starts at 11700
    Replies{lnb, 0} = {{"SRB=A", "="}, {"DFQ=11500.0", "="}};
    EXPECT_EQ(PldOf(lnb).downFrequency(), 11500);
}
