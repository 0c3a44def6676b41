// The PLD window against the simulated transceiver: identification and the reading
// sequence, the LNB variant's band, the gated alarms, the value checks with the RF-off
// warning, lock mode and the LNA calibration.

#include "Pld.h"
#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"

#include "detail/pld/PldWindow.h"

#include <cstring>

using namespace linvar;

namespace {

using Rig = DetailRig;
using P = sim::PldBehaviour;

void OpenPld(Rig& r, const std::string& model = "PLD", int record = 3,
             const std::function<void(Rig&)>& prepare = {}) {
    r.Place(model, record, "0211");
    if (prepare)
        prepare(r);
    r.name = record % 2 ? "Transceiver 1, Local" : "Transceiver 1, Distant";
    r.Create<PldWindow>();
}

} // namespace

TEST(DetailPld, IdentifiesTheUnitReadsEverythingOnceThenLoopsOnItsAlarms) {
    Rig r;
    OpenPld(r);
    ASSERT_TRUE(r.Ready());
    EXPECT_EQ(r.Commands(), (Lines{"RET?", "CID?",   "ANM?", "SNM?", "FRW?",   "REF?", "CLS?",
                                   "RCS?", "CFS?",   "CES?", "CRS?", "CAS?",   "CUS?", "CDS?",
                                   "CHS?", "FAC=E ", "UIF?", "DIF?", "FAC=D ", "UAT?", "LOK?"}));
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.Until([&] { return r.port.sent.size() >= mark + 9; }));
    EXPECT_EQ(r.Commands(mark),
              (Lines{"RCS?", "CFS?", "CES?", "CRS?", "CAS?", "CUS?", "CDS?", "CHS?", "RCS?"}));

    EXPECT_EQ(r.w->caption(), "Detail of PLD-KU25A    Transceiver 1, Local, Link: MADRID-2");
    // Assembly and firmware numbers below 7 get their leading 1.
    r.Shows("StaRET2=HPA type: OEM-SSPA|RET2=HPA type: OEM-SSPA|RET=PLD-KU25A 25W SSPA  |StaUFQ="
            "14250.0 MHz|UFQ=14250.0|StaUAT=10.0 dB|UAT=10.0|StaUMU=On|StaAGC=On|StaREF=128|REF= "
            "128|a1=16012345|a2=7012345|a3=10345678|s4=PLD001011|f1=16100123|f4=8100999|v2=02.01."
            "00|CrsSource=External|CrsOsc=Osc: Warm");
    EXPECT_EQ(r.Paint({"StaUMU", "StaSFS"}), "lime lime");
    // No LNB, no log, no utilities; the status button stays off while the status loop runs.
    EXPECT_EQ(r.Flags(&Control::visible, {"GrpLnb", "SRB", "BtnLogs", "BtnUtilities"}), "0000");
    EXPECT_FALSE(r.at("BtnStatus").enabled());

    Rig twt;
    OpenPld(twt, "PLD", 3, [](Rig& r) { r.unit->setIdentity("2PLD-KU40A 40W TWTA  "); });
    ASSERT_TRUE(twt.Ready());
    EXPECT_EQ(twt.Text("StaRET2"), "HPA type: OEM-TWTA");
}

TEST(DetailPld, AnLnbUnitTakesItsDownLimitsFromTheChosenBand) {
    Rig r;
    OpenPld(r, "PLD-LNB");
    ASSERT_TRUE(r.Ready());
    EXPECT_EQ(r.Flags(&Control::visible, {"GrpLnb", "SRB"}), "11");
    r.Shows("GrpLnaConf=Low Noise Block|LCSCap=LNB Power|CLS=LNB|LNBband2=Band B");
    // Band B, not the 10950-12750 MHz that "DIF?" reports.
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("<0211/SRB?"));
    EXPECT_EQ(r.Commands(mark).front(), "RCS?");

    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.Prompt("DFQ"), "Enter the DOWN Freq between 11700 and 12200 MHz, resolution 1MHz");
    EXPECT_EQ(r.Sent([&] { r.Edit("DFQ", "12500"); }), (Lines{"DFQ=12200.0", "RCS?"}));
    EXPECT_EQ(r.Text("Notice"), "Note: have corrected freq value to top permitted value");
    EXPECT_EQ(r.Sent([&] { r.Choose("SRB", 0); }), (Lines{"SRB=A", "SRB?", "RCS?"}));
    EXPECT_EQ(r.Text("LNBband2"), "Band A");
    EXPECT_EQ(r.Sent([&] { r.Edit("DFQ", "12500"); }), (Lines{"DFQ=11700.0", "RCS?"}));
}

TEST(DetailPld, AlarmsAreGrayWhereTheyCannotMeanAnything) {
    Rig r;
    OpenPld(r, "PLD", 3, [](Rig& r) {
        P& p = r.Sim<P>();
        p.setAgc('0');
        for (const auto& [reply, chars] : {std::pair{"CAS", "101"}, std::pair{"CUS", "1101"},
                                           std::pair{"CDS", "0100"}, std::pair{"CRS", "0X0020"}})
            p.setAlarms(reply, chars);
        p.setUpConverter(false);
    });
    ASSERT_TRUE(r.Ready());
    // The AGC off, and no comms with the up converter: their alarms say nothing.
    EXPECT_EQ(r.Paint({"CAS1", "CAS2", "CAS3", "CUS1", "CUS2", "CUS3", "CUS4", "CDS2", "CDS4"}),
              "gray gray gray gray gray gray red red lime");
    EXPECT_EQ(r.Paint({"StaSFS", "CrsOsc", "StaUAT"}), "red green gray");
    r.Shows("CrsSource=Internal|CrsOsc=Unknown|StaUFQ=NA");
    // "Phase N" is not fitted.
    EXPECT_EQ(r.Flags(&Control::visible, {"CRS4", "CRS5", "GrpUp"}), "100");

    // With the AGC on its alarms count.
    r.Sim<P>().setAgc('1');
    ASSERT_TRUE(r.UntilSent("<0211/CAS?"));
    r.Tick(3);
    EXPECT_EQ(r.Paint({"CAS1", "CAS2"}), "red lime");
}

TEST(DetailPld, AFrequencyEntryIsAWholeNumberWithinTheLimitsAndTurnsTheRfOff) {
    Rig r;
    OpenPld(r, "PLD", 4);
    r.ReadConfig();
    EXPECT_EQ(r.Prompt("UFQ"), "Enter the UP Freq between 14000 and 14500 MHz, resolution 1MHz.");
    r.op.answers.assign(4, Answer::Yes);
    EXPECT_EQ(r.Sent([&] { r.Edit("UFQ", "14249"); }), (Lines{"UFQ=14249.0", "RCS?"}));
    EXPECT_EQ(r.at("UMU").selectedText(), " Off");
    r.Shows("StaUFQ=14249.0 MHz|Instruction=Click on a box to change the information");
    EXPECT_EQ(r.Sent([&] { r.Edit("UFQ", "13000.7"); }), (Lines{"UFQ=14000.0", "RCS?"}));
    EXPECT_EQ(r.Text("Notice"), "Note: have corrected freq value to lowest permitted value");
    EXPECT_EQ(r.Sent([&] { r.Edit("DAT", "30"); }), (Lines{"DAT=20.0", "RCS?"}));
    EXPECT_EQ(r.Text("Notice"), "Note: have corrected atten value to top permitted value");
    // Without the comms note where the change cannot cut the link.
    EXPECT_EQ(r.Sent([&] { r.Choose("KFE", 0); }), (Lines{"KFE=0", "CLS?", "RCS?"}));
    EXPECT_EQ(r.op.questions.back().text, "Change HPA Fault Enable to Disabled");
    EXPECT_EQ(r.Paint({"StaAMP", "StaKFE"}), "lime green");
}

TEST(DetailPld, TheLnaIsCalibratedOnceAndLockModeHoldsTheSettings) {
    Rig r;
    OpenPld(r);
    r.ReadConfig();
    ASSERT_TRUE(r.w->click("BtnCalibrate"));
    ASSERT_TRUE(r.UntilText("LnaCalMsg", "Calibration point set") && r.Settle());
    EXPECT_EQ(r.Sim<P>().calibrations(), 1);
    // Lock mode is read back after its change.
    EXPECT_EQ(r.Sent([&] { r.Choose("LOK", 1); }), (Lines{"LOK=1", "LOK?"}));
    EXPECT_EQ(r.Flags(&Control::enabled, {"UMU", "AGC", "AMP", "LCS", "SRB", "LOK"}), "000001");
    EXPECT_EQ(r.Flags(&Control::readOnly, {"UFQ", "DAT", "REF", "CID"}), "1111");
}

TEST(DetailPld, TheSummaryFaultStatusIsRedOnlyForAFaultCharacter) {
    // Not available ("2", "X") is no fault; a "1" anywhere in the run is one.
    const struct {
        const char *reply, *chars, *colour, *lna = nullptr; // lna: the LNA label's colour
    } cases[] = {
        {"CFS", "100000X", "red"}, {"CFS", "0000002", "lime"}, {"CFS", "0000001", "red", "red"},
        {"CES", "0X100", "red"},   {"CHS", "00002", "lime"},   {"CDS", "X001", "red"},
        {"CAS", "2X0", "lime"}};
    Rig r;
    OpenPld(r);
    ASSERT_TRUE(r.Ready());
    for (const auto& c : cases) {
        r.Sim<P>().setAlarms(c.reply, c.chars);
        ASSERT_TRUE(r.UntilSent("<0211/CFS?") && r.UntilSent("<0211/RCS?")); // a whole pass
        EXPECT_EQ(r.Colour("StaSFS"), c.colour) << c.reply << " " << c.chars;
        EXPECT_EQ(c.lna ? r.Colour("CLS") : "", c.lna ? c.lna : "");
        r.Sim<P>().setAlarms(c.reply, std::string(std::strlen(c.chars), '0'));
    }
}

// The rules every window keeps, asked of this family.
namespace linvar::rules {
// clang-format off
INSTANTIATE_TEST_SUITE_P(Pld, Rules, testing::Values(WindowRules{
    "PLD", OpenTransceiver<PldWindow>("PLD", ""), "REF", "100", "REF=100", "128.0", " 128",
    "Instruction", "blue", kRefused, kRefused, 2, 42, "REF?", kNoComms, nullptr, nullptr, 4, {},
    "UFQ", "14249",
    "Change Up Frequency to 14249 MHz.  RF will be turned off. Comms may be affected."}), Named);
// clang-format on
} // namespace linvar::rules
