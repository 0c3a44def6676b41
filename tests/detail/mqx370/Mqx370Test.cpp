#include "detail/DetailRig.h"

#include "detail/mqx370/Mqx370Window.h"
#include "wire/TextFormats.h"

#include <iterator>
#include <sstream>

using namespace linvar;

namespace {

Lines Words(const std::string& s) {
    std::istringstream in(s);
    return {std::istream_iterator<std::string>(in), {}};
}

// An MQX-370 family window on the simulated unit of that model.
struct Rig : DetailRig {
    explicit Rig(const std::string& identity, int record = 3, const std::string& address = "0370",
                 bool read = false)
        : window(Open(identity, record, address)) {
        if (read)
            ReadConfig();
    }
    Mqx370Window& Open(const std::string& identity, int record, const std::string& address) {
        Place(identity.substr(1, 3), record, address).setIdentity(identity);
        return Create<Mqx370Window>(identity);
    }
    Mqx370Window& window;
    // The unit's answers, as "MNEreply|MNEreply".
    void Answers(const std::string& table) {
        for (size_t from = 0; from < table.size();) {
            const size_t bar = std::min(table.find('|', from), table.size());
            unit->setAnswer(table.substr(from, 3), table.substr(from + 3, bar - from - 3));
            from = bar + 1;
        }
    }
};

// The unit's configuration string with `text` from position `pos` (1 = the first).
std::string With(std::string s, int pos, const std::string& text) {
    s.replace(static_cast<size_t>(pos - 1), text.size(), text);
    return s;
}

} // namespace

TEST(Detail370, IdentityOptionsShapeTheListsAndPanels) {
    // identity, model, code; the last FEC entries LDPC (Tx, Rx), 8-QAM offered, the last
    // modulation 16-QAMe; shown: D+I, audio, ODU button, impedance, reference adjust
    for (const auto& [identity, model, code, flags] :
         std::vector<std::tuple<const char*, std::string, uint16_t, std::string>>{
             {"0370000000", "MQX-370", 370, "000000010"},
             {"2370001101", "MQX-370", 370, "111010011"},
             {"0373002220", "MQX-370", 370, "111101010"},
             {"1371003311", "MQX-370L", 371, "000011100"},
             {"3372000000", "BLQ-7370L", 372, "111000100"}}) {
        SCOPED_TRACE(identity);
        Rig r(identity);
        EXPECT_EQ(r.window.ModelName, model);
        EXPECT_EQ(CurrentModelCode(), code);
        EXPECT_EQ(r.w->caption(), "Detail of Modem 1, Local end, link: MADRID-2       " + model);
        const auto& mods = r.at("ConfTMD").items();
        std::string got;
        for (const bool b :
             {r.at("ConfTFT").items().back() == " LDPC", r.at("ConfRFT").items().back() == " LDPC",
              std::count(mods.begin(), mods.end(), " 8-QAM") == 1, mods.back() == " 16-QAMe"})
            got += b ? '1' : '0';
        EXPECT_EQ(got + r.Flags(&Control::visible,
                                {"BtnDni", "GrpAudio", "BtnOdu", "GrpImpedance", "ConfADJ"}),
                  flags);
    }
    // The attenuator of an L-band unit adds the low-power AUPC modes.
    Rig r("1371003311");
    EXPECT_EQ(r.at("ConfAUP").items(), (Lines{" Manual", " AUPC", " Manual-low", " AUPC-low"}));
}

TEST(Detail370, StatusLoopReadsFaultsAndTheLBandOdu) {
    Rig r("0371003310", 3, "0371");
    r.unit->setFaults("C25A");
    r.unit->setReading("SWR", "1.3.0");
    r.Answers("RFO=99999|RSL=LT-72.5|TXO=4|RED=0|HRV=0200");
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("OTP?"));
    r.Tick(3);
    const Lines sent = r.Commands(mark);
    // Firmware 130 on an L-band unit: no OUS; no CTD without the reference module.
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "OUS?") +
                  std::count(sent.begin(), sent.end(), "CTD?"),
              0);
    EXPECT_EQ(*(std::find(sent.begin(), sent.end(), "TXO?") + 1), "REB?"); // not a pair
    Lines tail(std::find(sent.begin(), sent.end(), "PLI?"), sent.end());
    tail.resize(std::min<size_t>(tail.size(), 12));
    EXPECT_EQ(tail, Words("PLI? ODP? ODU? OOL? ODT? OLL? ODC? OSV? OPC? ODV? LNC? OTP?"));
    // Code C reads "PiV IP module" on an MQX-370L.
    r.Shows("StaUnit=PiV IP module|StaTx=Tx FIFO slip|StaRx=Buffer overflow|StaONet=IDR Rx "
            "BWA4|StaFreqOffset=Unlocked|StaRSL=< -72.5 dBm|StaTXO=Off for BUC warm-up|StaRED=Off "
            "line|StaHRV=0200|StaSWR=1.3.0|StaODP=Enabled|StaFSK=Enabled|StaOPC=10.0 "
            "watt|StaLNC=120 mA|StaOTP=10.0 dB");
    EXPECT_EQ(r.Colour("StaONet"), "yellow");

    // The FSK link off ends the loop there.
    r.unit->setAnswer("ODU", "=0");
    ASSERT_TRUE(r.UntilSent("ODU?") && r.UntilSent("LRS?"));
    EXPECT_EQ(r.Text("StaFSK"), "Disabled");
}

TEST(Detail370, FirmwareDecidesTheOfflineUnitQuery) {
    struct Case {
        const char *identity, *swr;
        bool ous;
    };
    for (const Case& c : {Case{"0370000001", "2.0.0", false}, Case{"0370000001", "2.0.1", true},
                          Case{"0371000000", "1.3.1", true}, Case{"0372000000", "1.3.0", false}}) {
        SCOPED_TRACE(std::string(c.identity) + " " + c.swr);
        Rig r(c.identity);
        r.unit->setReading("SWR", c.swr);
        r.unit->setAnswer("OUS", "=NoComm");
        const size_t mark = r.port.sent.size();
        ASSERT_TRUE(r.UntilSent("RSL?"));
        const Lines sent = r.Commands(mark);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "OUS?"), c.ous ? 1 : 0);
        if (c.ous)
            r.Shows({{"StaOUS", "NoComm", "gray"}});
    }
    // The offline unit's faults, and a unit that has no partner.
    Rig r("0370000001");
    r.unit->setAnswer("OUS", "=0100xx");
    ASSERT_TRUE(r.UntilSent("RSL?"));
    r.Shows({{"StaOUS", "FT: 0100", "red"}});
    r.unit->setAnswer("OUS", "=No1fr1");
    ASSERT_TRUE(r.UntilSent("OUS?"));
    r.Tick(3);
    EXPECT_FALSE(r.at("StaOUS").visible());
}

namespace {

// A configuration string with a different value in every field (positions from 1).
std::string KnownConfig370() {
    std::string c = std::string("071.2345") + "01544.000" + "2" + "1" + "3" + "A" + "1" + "1" +
                    "12.5" + "1" + "1" + "0" + "C.5" + "4" + "3" + "2" + "3" + "1" + "2" + "1" +
                    "104.5000" + "00512.AUX" + "7" + "0" + "5" + "2" + "0" + "2" + "16" + "1" +
                    "06.5" + "04096" + "4" + "3" + "0" + "1" + "1" + "52" + "00" + "4" + "101001" +
                    "0" + "3" + "1" + "1" + "0" + "1020" + "1100" + "-4+2" + "+0+4" + "00" + "1" +
                    "1";
    c.resize(120, '0');
    return c;
}

} // namespace

TEST(Detail370, ConfigurationReadFillsEveryBox) {
    Rig r("2370235321");
    r.unit->setConfig(KnownConfig370());
    r.unit->setReading("SWR", "2.1.0");
    r.ReadConfig();
    // clang-format off
    for (const auto& [box, text] : std::vector<std::pair<const char*, const char*>>{
             {"ConfTFQ", "71.2345"}, {"ConfTDR", "1544.000"}, {"ConfTPL", "- 12.5"}, {"ConfAPPc", "12.5"},
             {"ConfRFQ", "104.5000"}, {"ConfRDR", "512.000"}, {"ConfRSW", "16"}, {"ConfEBA", "6.5"},
             {"ConfRBS", "4096"}, {"ConfREF", "00010.000"}, {"ConfCID", ""}, {"ConfADJ", "0"}})
        // clang-format on
        EXPECT_EQ(LeftTrim(r.Text(box)), text) << box;
    // clang-format off
    const std::string entries[] = { // box|entry
        "ConfTFT| Viterbi + Reed-Solomon", "ConfTCR| Rate 2/3", "ConfTMD| 16-QAMa",
        "ConfTSI| Inverted", "ConfAUP| AUPC", "ConfAPM| Generate TX alarm",
        "ConfAPU| Go to Nominal Power", "ConfAPI| 4 dB", "ConfTCK| External Clock", "ConfTXO| RTI",
        "ConfTIT| G.703 B", "ConfTTC| B8ZS", "ConfTFM| IDR", "ConfTIP| 75 ohm", "ConfTRL|1544.000",
        "ConfTRS|IESS-310 (219/201)", "ConfRFT| TPC", "ConfRCR| Rate 21/44", "ConfRMD| OQPSK",
        "ConfRSI| Normal", "ConfRDS| IESS-315", "ConfRCK| Tx Terrestrial (TT)", "ConfRIT| G.703 U",
        "ConfRTC| HDB3", "ConfRFM| None", "ConfRIP| 75 ohm", "ConfRRL|0512.AUX",
        "ConfRRS|Normal   (220/200)", "ConfESC| On", "ConfSCPBaud| 38400", "ConfSCPFormat| 7O2",
        "ConfTST| RF loopback", "ConfERF| Internal", "ConfSSI| 30 minutes", "ConfRTE| Enabled",
        "ConfTTA| Masked", "ConfODU| Disabled", "ConfTBA1| S/W", "ConfTBA3| H/W", "ConfRBA1| On",
        "ConfRBA3| Off", "ConfTVL1| -4", "ConfTVL2| +2", "ConfRVL1| +0", "ConfRVL2| +4",
        "ConfTET| 2 Audio channels", "ConfRET| 2 Audio channels", "ConfDTY| E1-CCS"};
    // clang-format on
    for (const std::string& e : entries)
        EXPECT_EQ(r.at(e.substr(0, e.find('|'))).selectedText(), e.substr(e.find('|') + 1)) << e;
    // The masks in their string order, the fourth being the fixed "0".
    EXPECT_EQ(
        r.Flags(&Control::checked, {"MaskTxAis", "MaskRxAis", "MaskBuffer", "MaskAgc", "MaskEbNo"}),
        "10101");
    // A G.703 interface and IDR framing: the fixed-rate lists stand for the rate boxes.
    EXPECT_EQ(r.Flags(&Control::visible, {"ConfTRL", "ConfTDR", "ConfRRL"}), "101");
    // With ESC shown the OBLIX mode and slave address are not; an RF loopback: no changes.
    EXPECT_EQ(r.Flags(&Control::visible, {"ConfEFM", "GrpEsc"}) +
                  r.Flags(&Control::readOnly, {"ConfTFQ"}),
              "011");
    EXPECT_EQ(r.Text("Notice"), "IF/RF loopback. Cannot change configuration.");
    EXPECT_EQ(r.window.Firmware(), 210);
}

TEST(Detail370, EditLimitsOfPowerBufferAndCircuitId) {
    // The rate option 2: data rates up to 20 Mbps.
    Rig r("0371200001", 3, "0371");
    r.unit->setConfig(With(r.unit->config(), 39, "1")); // IBS framing: AUPC may be chosen
    r.ReadConfig();
    EXPECT_EQ(r.Prompt("ConfTDR"), "Enter Tx data rate, between 4.8 and 20000 kbps");
    EXPECT_EQ(r.Prompt("ConfRDR"), "Enter Rx data rate, between 4.8 and 20000 kbps");
    EXPECT_EQ(r.Prompt("ConfTPL"),
              "Enter Tx power level, between -45 and 0 dBm, resolution 0.1 dB");
    EXPECT_EQ(r.Set("ConfTPL", "-30"), Lines{"TPL=30.0"});
    // " Manual-low" lowers the range to -65 .. -20.
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfAUP", 2); }), Lines{"AUP=2"});
    EXPECT_EQ(r.Prompt("ConfTPL"),
              "Enter Tx power level, between -65 and -20 dBm, resolution 0.1 dB");
    EXPECT_EQ(r.Set("ConfTPL", "-10"), Lines{});
    EXPECT_EQ(r.Set("ConfTPL", "-64.5"), Lines{"TPL=64.5"});

    EXPECT_EQ(r.Prompt("ConfRBS"),
              "Enter buffer size, an integer value between 16 and 32768, increment 2");
    EXPECT_EQ(r.Set("ConfRBS", "17"), Lines{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad buffer size. Please correct it");
    EXPECT_EQ(r.Set("ConfRBS", "16"), Lines{"RBS=00016"});
    EXPECT_EQ(r.Set("ConfRBS", "32768"), Lines{"RBS=32768"});
    EXPECT_EQ(r.Set("ConfRBS", "32770"), Lines{});

    for (const std::string& id : {std::string("abc"), std::string(45, 'x')}) {
        const Lines sent = r.Set("ConfCID", id);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].size(), 4u + 40u) << sent[0];
    }
    EXPECT_EQ(r.unit->circuitId().substr(0, 5), "XXXXX");

    // Back from local to remote, the whole configuration is read again.
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfLRS", 0); }), Lines{"LRS=0"});
    EXPECT_EQ(r.Sent([&] { r.w->choose("ConfLRS", 1); }),
              (Lines{"LRS=1", "MGC?", "DRL?", "OGC?", "ADJ?"}));
}

TEST(Detail370, DropAndInsertTablesStepAndSendTheirValue) {
    Rig r("0370000100");
    // Drop channel 1 in timeslot 11 ("B"), channel 2 none; insert channel 1 in 24.
    const std::string dni =
        std::string("B0") + std::string(22, '0') + "3" + "O" + std::string(23, '0') + "0" + "1";
    r.unit->setAnswer("DNI", "=" + dni);
    r.ReadConfig();
    r.unit->setAnswer("DNI", "");
    r.w->click("BtnDni");
    r.Shows("DropSlot1=11|DropSlot2=na|InsertSlot1=24|ConfDTY= E1-CAS|ConfDNILoop= On");

    // E1-CAS skips timeslot 16 both ways; a T1 type stops at 24, E1-CCS at 31.
    // The slot, the buttons pressed, what the slot shows after each.
    for (const auto& [slot, presses, shown] : std::vector<std::array<std::string, 3>>{
             {"DropSlot1", "BtnDropUp BtnDropUp BtnDropUp BtnDropUp BtnDropUp BtnDropDown",
              "12 13 14 15 17 15"},
             {"InsertSlot1", "BtnInsertUp", "24"}, // T1-D4
             {"DropSlot2", "BtnDropDown BtnDropUp BtnDropDown", "na 1 na"}}) {
        r.w->click(slot);
        Lines after;
        for (const std::string& button : Words(presses)) {
            r.w->click(button);
            after.push_back(r.Text(slot));
        }
        EXPECT_EQ(after, Words(shown)) << slot;
    }

    // Moving between the table's buttons sends nothing; leaving the table sends it once,
    // with "na" as "0".
    const Lines sent = r.Settings([&] {
        r.w->enter("BtnDropUp");
        r.w->leave("BtnDropUp");
        r.w->enter("BtnDropDown");
        r.Tick(2);
        r.w->leave("BtnDropDown");
    });
    EXPECT_EQ(sent, Lines{"DNI=F0" + std::string(22, '0') + "3O" + std::string(23, '0') + "01"});
    EXPECT_EQ(r.Settings([&] { r.w->leave("BtnDropUp"); }), Lines{});

    // E1-CCS goes up to 31.
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfDTY", 2); }), Lines{"DTY=2"});
    r.w->click("DropSlot1");
    for (int i = 0; i < 20; ++i)
        r.w->click("BtnDropUp");
    EXPECT_EQ(r.Text("DropSlot1"), "31");
    EXPECT_EQ(r.Settings([&] { r.w->click("BtnDniSend"); }),
              Lines{"DNI=V0" + std::string(22, '0') + "2O" + std::string(23, '0') + "01"});

    // A refused "DNI=" reads the tables back from the unit: the refused timeslot leaves the
    // screen and leaving the table has nothing to send.
    r.Once(sim::Injection::refuse('*'), "DNI");
    r.w->click("BtnDropDown");
    EXPECT_EQ(r.Settings([&] { r.w->click("BtnDniSend"); }),
              Lines{"DNI=U0" + std::string(22, '0') + "2O" + std::string(23, '0') + "01"});
    EXPECT_EQ(r.Text("DropSlot1"), "31");
    EXPECT_EQ(r.Settings([&] { r.w->leave("BtnDropDown"); }), Lines{});
    // A refused "DNI?" leaves no earlier timeslot shown.
    r.unit->setAnswer("DNI", "?");
    r.Sent([&] { r.w->click("BtnConfig"); });
    EXPECT_EQ(r.Text("DropSlot1"), "na");
}

TEST(Detail370, MasksBackwardAlarmsVolumesAndReference) {
    Rig r("0370000201", 3, "0370", true);
    const auto visit = [&](const char* box, bool tick) {
        return r.Settings([&] {
            r.w->enter(box);
            if (tick)
                r.w->check(box, true);
            r.w->leave(box);
        });
    };
    EXPECT_EQ(visit("MaskEbNo", true), Lines{"MSK=000001"});
    EXPECT_EQ(visit("MaskAgc", false), Lines{});
    EXPECT_EQ(r.unit->config().substr(85, 6), "000001");
    r.w->click("BtnBkwd");
    EXPECT_FALSE(r.at("GrpClocks").visible());
    EXPECT_EQ(r.Text("BtnBkwd"), "Hide &Bkwd Alarms");
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfTBA3", 2); }), Lines{"TBA=0020"});
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfRBA1", 1); }), Lines{"RBA=1000"});
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfTVL2", 5); }), Lines{"TVL=3,5"});
    EXPECT_EQ(r.unit->config().substr(104, 4), "+0+4");
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfTIP", 1); }), Lines{"TIP=7"});
    r.w->click("BtnBkwd");
    EXPECT_TRUE(r.at("GrpClocks").visible());
    EXPECT_EQ(r.Set("ConfREF", "5"), Lines{"REF=00005.000U"});
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfREFInput", 1); }), Lines{"REF=00005.000B"});
    // The wire carries whole kHz: the prompt names the lowest of them, and an entry
    // between two is refused with the reason, never rounded.
    EXPECT_EQ(r.Prompt("ConfREF"), "Enter Ext Ref Freq, between 3 kHz and 20 MHz, in whole kHz");
    for (const char* refused : {"21", "0.0024", "5.0005"}) {
        EXPECT_EQ(r.Set("ConfREF", refused), Lines{}) << refused;
        EXPECT_EQ(r.Text("Notice"),
                  "ERROR: Bad value. The unit takes whole kHz from 3 kHz to 20 MHz. Please "
                  "correct it");
    }
    EXPECT_EQ(r.Set("ConfREF", "0.003"), Lines{"REF=00000.003B"});
    // At the DISTANT end a test mode other than I/O loopback goes out as Normal.
    Rig d("0370000201", 4, "0370", true);
    d.op.answers.push_back(Answer::Yes);
    EXPECT_EQ(d.Settings([&] { d.w->choose("ConfTST", 1); }), Lines{"TST=0"});
    d.op.answers.push_back(Answer::Yes);
    EXPECT_EQ(d.Settings([&] { d.w->choose("ConfTST", 6); }), Lines{"TST=6"});
}

// A memory's preview asks the L-band and drop and insert strings first, then the
// configuration, and shows the coding and an auxiliary rate as stored.
TEST(Detail370, TheMemoryPreviewReadsEachStringOfTheLocation) {
    Rig r("1371003311");
    r.ToPanel("BtnUtilities", "TIM?");
    r.w->choose("MemoryList", 3);
    r.unit->setAnswer("MGC", "=" + KnownConfig370());
    const size_t mark = r.port.sent.size();
    r.w->click("BtnLoad");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    Lines asked;
    for (const std::string& s : r.Commands(mark))
        if (s.find("?3") != std::string::npos)
            asked.push_back(s);
    EXPECT_EQ(asked, (Lines{"OGC?3", "DNI?3", "MGC?3"}));
    EXPECT_NE(r.Text("MemTx").find("\n Viterbi + Reed-Solomon encoding\n"), std::string::npos);
    EXPECT_NE(r.Text("MemRx").find("\n0512 AUX kbps\n"), std::string::npos);
}

TEST(Detail370, RateListsAndReedSolomonSetsFollowTheFraming) {
    Rig r("0370000000");
    std::string c = r.unit->config();
    c = With(c, 9, "02048.000"); // Tx 2048, IDR
    c = With(c, 39, "2");
    c = With(c, 49, "02048.AUX"); // Rx auxiliary 2048, G.703 B
    c = With(c, 76, "3");
    r.unit->setConfig(c);
    r.ReadConfig();
    EXPECT_EQ(r.at("ConfTRS").items(), (Lines{"Normal   (219/201)", "IESS-310 (219/201)"}));
    EXPECT_EQ(r.at("ConfTRL").selectedText(), "2048.000");
    EXPECT_EQ(r.at("ConfRRL").selectedText(), "2048.AUX");
    EXPECT_EQ(r.at("ConfRRS").items().size(), 4u) << "Rx framing None";
    // The rate option 0 offers no 6312 and 8448.
    EXPECT_EQ(r.at("ConfTRL").items(),
              (Lines{"1544.000", "2048.000", "0512.AUX", "1024.AUX", "2048.AUX"}));
    EXPECT_EQ(r.Settings([&] { r.w->choose("ConfTRL", 3); }), Lines{"TDR=01024.AUX"});
    // Drop framing: the D+I rates of the drop type.
    r.unit->setConfig(With(With(r.unit->config(), 39, "3"), 37, "1"));
    r.w->click("BtnConfig");
    r.Tick(3);
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.at("ConfTRL").items().back(), "1536");
    EXPECT_EQ(r.at("ConfTRS").items(), (Lines{"Normal   (126/112)", "IESS-310 (219/201)"}));
    // D&I++ framing: 64 to 1536 in steps of 64.
    r.unit->setConfig(With(r.unit->config(), 39, "5"));
    r.w->click("BtnConfig");
    r.Tick(3);
    ASSERT_TRUE(r.Settle());
    EXPECT_EQ(r.at("ConfTRL").items().front() + " " + r.at("ConfTRL").items().back(), "64 1536");
}
