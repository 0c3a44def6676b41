// The change cycle's promises as the operator meets them on the MQX-350: what goes out is
// built only from what the unit holds and what was accepted, never from a refused entry.

#include "detail/DetailRig.h"

using namespace linvar;

TEST(ChangeCycle, TheAupcCommandCarriesOnlyWhatTheUnitHolds) {
    DetailRig r;
    r.Open350();
    r.unit->setAnswer("APP", "=");
    r.ReadConfig();
    r.w->click("BtnAupc");
    // A target above 14.9 dB is refused; the next drop-down change sends the held 12.5.
    EXPECT_EQ(r.Set("ConfAPPc", "20"), Lines{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad value. Please correct it");
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfAPI", 5); }), Lines{"APP=10C.55"});
    // An entry between tenths is rounded as the unit keeps it, not refused.
    EXPECT_EQ(r.Set("ConfAPPc", "5.25"), Lines{"APP=105.35"});
    EXPECT_EQ(r.Text("ConfAPPc"), " 5.3");
    EXPECT_EQ(r.Set("ConfAPPc", "14.96"), Lines{});
    // A refused command leaves the boxes with what the unit says after the re-read.
    r.unit->setAnswer("APP", "*");
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfAPM", 0); }), Lines{"APP=005.35"});
    r.unit->setAnswer("MGC", "=" + KnownConfig());
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(r.at("ConfAPM").selected(), 1);
    EXPECT_EQ(r.Text("ConfAPPc"), "12.5");
}

TEST(ChangeCycle, ADistantCompositeNamesWhatChangesAndNoRestoresEveryBox) {
    DetailRig r;
    r.Open350("0351110001", 4, "0451");
    r.unit->setAnswer("APP", "=");
    r.unit->setAnswer("BLO", "=");
    r.ReadConfig();
    r.w->click("BtnAupc");
    r.op.answers = {Answer::No, Answer::Yes, Answer::Yes};
    EXPECT_EQ(r.Set("ConfAPPc", "6.4"), Lines{});
    EXPECT_EQ(r.op.questions.at(0).text,
              "Change AUPC Eb/No target value to 6.4 dB. Comms may be affected.");
    EXPECT_EQ(r.Text("ConfAPPc"), "12.5");
    // A drop-down after the refused "No" goes with the target the unit still holds.
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfAPU", 1); }), Lines{"APP=11C.53"});
    EXPECT_EQ(r.op.questions.back().text,
              "Change action on demod unlock to Go to Maximum Power. Comms may be affected.");
    // The LO and its mix: a refused LO never travels with the mix.
    r.w->click("BtnOdu");
    EXPECT_EQ(r.Set("ConfBLO", "70000"), Lines{});
    EXPECT_EQ(r.at("ConfBLOCap").textColour(), Colours::red);
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfBLOMix", 1); }), Lines{"BLO=13050-"});
    EXPECT_EQ(r.op.questions.back().text,
              "Change Tx LO frequency to 13050 MHz, mix: -. Comms may be affected.");
}

TEST(ChangeCycle, ACompositeWithAPartNeverReadLeavesTheDropDownAsTheUnitHasIt) {
    DetailRig r;
    r.Open350();
    // A configuration string cut before the AUPC target: the target box stays empty.
    r.unit->setAnswer("MGC", "=" + KnownConfig().substr(0, 35));
    r.ReadConfig();
    r.w->click("BtnAupc");
    const int held = r.at("ConfAPM").selected();
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfAPM", 0); }), Lines{});
    EXPECT_EQ(r.at("ConfAPM").selected(), held);
    EXPECT_NE(r.at("ConfAPM").selectedText(), "");
    EXPECT_TRUE(r.at("ConfAPM").enabled()); // and open for another choice
}

TEST(ChangeCycle, TheOduPreviewsShowAsSoonAsAMemoryActionStarts) {
    DetailRig r;
    r.Open350("0351110000", 3, "0351");
    r.bus.setLatencyMs(400);
    ASSERT_TRUE(r.UntilSent("<0351/RED?"));
    r.Tick(12);
    ASSERT_TRUE(r.w->click("BtnUtilities") && r.UntilSent("<0351/TIM?"));
    r.Tick(12);
    ASSERT_TRUE(r.w->choose("MemoryList", 2) && r.w->click("BtnStore"));
    ASSERT_TRUE(r.UntilSent("<0351/OGC?2"));
    EXPECT_EQ(r.Flags(&Control::visible, {"MemPreview", "MemBuc", "MemLnb", "MemTx"}), "1110");
}

TEST(ChangeCycle, AReadOnlyBoxGivesNoPromptAndAFailedRedReplyShowsItsText) {
    DetailRig r;
    r.Open350();
    r.unit->setAnswer("RED", "~");
    ASSERT_TRUE(r.UntilText("StaRED", "Oblix timeout"));
    r.unit->setAnswer("RED", "=1");
    // A G.703 interface fixes the data rate: its box is read-only and says nothing.
    r.unit->setAnswer("MGC", "=3" + KnownConfig().substr(1));
    ASSERT_TRUE(r.Ready() && r.w->click("BtnConfig") && r.Settle());
    EXPECT_TRUE(r.at("ConfTDR").readOnly());
    EXPECT_EQ(r.Prompt("ConfTDR"), "Click on a box to change the configuration parameters");
    EXPECT_EQ(r.Prompt("ConfTFQ"),
              "Enter Tx frequency, 50-90 MHz or 100-180 MHz, resolution 100 Hz");
}

TEST(ChangeCycle, NoGivesBackTheChangedBoxWhenTheOperatorHasMovedOnToTheNextOne) {
    DetailRig r;
    r.Open350("0350110001", 4, "0450");
    r.ReadConfig();
    const std::string tx = r.Text("ConfTFQ"), rx = r.Text("ConfRFQ");
    const int modulation = r.at("ConfTMD").selected();
    // The question comes a moment after the box is left: focus is on the next box by then.
    r.op.answers = {Answer::No, Answer::No};
    EXPECT_EQ(r.Settings([&] {
        r.Edit("ConfTFQ", "71");
        r.w->enter("ConfRFQ");
    }),
              Lines{});
    EXPECT_EQ(r.Text("ConfTFQ") + r.Text("ConfRFQ"), tx + rx);
    EXPECT_EQ(r.Settings([&] {
        r.Choose("ConfTMD", modulation == 0 ? 1 : 0);
        r.w->leave("ConfTMD");
        r.w->enter("ConfRMD");
    }),
              Lines{});
    EXPECT_EQ(r.at("ConfTMD").selected(), modulation);
    EXPECT_EQ(r.op.questions.size(), 2u);
}
