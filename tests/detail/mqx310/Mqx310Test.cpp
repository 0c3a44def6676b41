#include "detail/ModemRig.h"

#include "detail/mqx310/Mqx310Window.h"
#include "ui/TextFile.h"
#include "wire/FaultTables.h"

using namespace linvar;

namespace {

using Rig = ModemRig<Mqx310Window>;
using V = std::vector<std::string>;

// A 66-position configuration string with a different value in every field.
std::string Known310() {
    return std::string("071.2345") + "128.000" + "7" + "2" + "1" + "0" + "12.5" + "2" + "1" +
           "084.5000" + "256.000" + "3" + "2" + "0" + "1" + "25" + "1" + "06.5" + "4" + "2" + "0" +
           "0" + "7" + "10110" + "1" + "0120";
}

// QPSK 3/4 both ways at 64 kbps, unframed, normal operation.
std::string Plain310(const std::string& txCoding = "32") {
    return std::string("070.0000") + "064.000" + txCoding + "01" + "10.0" + "21" + "070.0000" +
           "064.000" + "32" + "01" + "30" + "1" + "04.0" + "2" + "1" + "0" + "0" + "5" + "00000" +
           "0" + "0000";
}

} // namespace

TEST(Detail310, TheWindowReadsTheIdentityItself) {
    struct Row {
        const char* model;
        const char* identity;
        const char* name;
        const char* band;
        const char* range;
    };
    for (const Row& row :
         std::vector<Row>{{"310", "0310100000", "MQX-310", "70 MHz", "52 and 88"},
                          {"7010", "7010200000", "RDX-7010", "140 MHz", "104 and 176"}}) {
        SCOPED_TRACE(row.identity);
        Rig r;
        r.Open(row.model, row.identity, 3, [](sim::Unit& u) { u.setConfig(Plain310()); });
        EXPECT_EQ(r.w->caption(), "Detail of a MQX310 Modem");
        const size_t mark = r.port.sent.size();
        ASSERT_TRUE(r.UntilSent("TXO?"));
        ASSERT_TRUE(r.UntilSent("LRS?"));
        EXPECT_EQ(r.SentSince(mark),
                  (V{"LRS?", "CID?", "EID?", "SWR?", "SNO?", "LRS?", "NUE?", "FLT?", "EBN?", "RFO?",
                     "BER?", "BFS?", "RED?", "TXO?", "LRS?"}));
        EXPECT_EQ(r.w->caption(),
                  std::string("Detail of Modem 1, Local end, link: OSLO-2       ") + row.name);
        EXPECT_EQ(r.Text("ModelNo"), row.name);
        EXPECT_EQ(r.Text("IFband"), row.band);
        EXPECT_EQ(r.Text("RXoption"), "RX / TX");
        EXPECT_EQ(r.Text("StaSWR"), "1.05");
        EXPECT_EQ(r.Text("NrLogEventsCap"), "Number of unread stored events");
        EXPECT_FALSE(r.at("NrLogStats").visible());
        EXPECT_TRUE(r.at("BtnConfig").enabled());
        r.w->click("BtnConfig");
        r.Tick();
        ASSERT_TRUE(
            r.Until([&] { return r.w->StepNo == ConfigSteps::Idle && !r.tx.AwaitingReply; }));
        EXPECT_EQ(r.at("TxMod").items(), (V{" BPSK", " QPSK"}));
        r.w->enter("TxFreq");
        EXPECT_EQ(r.Text("Instruction"), std::string("Enter a TX frequency, between ") + row.range +
                                             " MHz, resolution 100Hz.");
    }
}

TEST(Detail310, TheShorterStringFillsEveryBox) {
    Rig r;
    r.Open("310", "0310100000", 3, [](sim::Unit& u) { u.setConfig(Known310()); });
    EXPECT_EQ(r.ReadConfig(), (V{"CID?", "MGC?"}));
    EXPECT_EQ(r.Text("Instruction"), "Click on a box to change the information");
    const std::vector<std::pair<const char*, const char*>> expected{
        {"TxFreq", " 71.2345"},
        {"TxDataRate", " 128.000"},
        {"TxFECtype", " Viterbi"},
        {"TxFECrate", " Rate 7/8"},
        {"TxMod", " QPSK"},
        {"TxSpectrum", " Inverted"},
        {"TxScrambler", " Off"},
        {"TxPowLev", "- 12.5"},
        {"TxClkSrc", " External"},
        {"TxCarrier", " On"},
        {"RxFreq", " 84.5000"},
        {"RxDataRate", " 256.000"},
        {"RxFECtype", " Viterbi"},
        {"RxFECrate", " Rate 3/4"},
        {"RxMod", " QPSK"},
        {"RxSpectrum", " Normal"},
        {"RxDescrambler", " On"},
        {"RxSweep", "25"},
        {"RxClkMode", " Buffer enabled"},
        {"RxBuffer", " +/- 2048 bits"},
        {"EbNoAlarmPt", " 6.5"},
        {"InterfaceType", " V.35 DCE"},
        {"FramingMode", " Unframed - OBLIX off"},
        {"TestMode", " Normal"},
        {"IFimpedance", " 75 ohms"},
        {"ODUcomms", " Enabled"},
        {"OBLIXslaveAdd", "120"}};
    for (const auto& [box, shown] : expected) {
        const Control& c = r.at(box);
        EXPECT_EQ(c.kind() == ControlKind::Combo ? c.selectedText() : c.text(), shown) << box;
    }
    EXPECT_TRUE(r.at("MaskTxAis").checked());
    EXPECT_FALSE(r.at("MaskRxAgc").checked());
    EXPECT_FALSE(r.w->has("ssi"));
    EXPECT_FALSE(r.w->has("ConfAUP"));
    EXPECT_FALSE(r.at("TxFECtype").enabled());
    EXPECT_TRUE(r.at("FramingMode").enabled());
}

TEST(Detail310, DataRatesFollowTheModelAndModulation) {
    Rig r;
    r.Open("310", "0310100000", 3, [](sim::Unit& u) { u.setConfig(Plain310()); });
    r.ReadConfig();
    r.w->enter("TxDataRate");
    EXPECT_EQ(
        r.Text("Instruction"),
        "Enter a TX data rate, between 7.2 and 512 kbps, resolution 1 bps, up to 7 characters.");
    EXPECT_EQ(r.Settings([&] { r.Edit("TxDataRate", "7.1"); }), V{});
    EXPECT_EQ(r.Settings([&] { r.Edit("TxDataRate", "512"); }), V{"TDR=512.000"});
    // BPSK holds the FEC rate at 1/2 and halves the highest rate.
    EXPECT_EQ(r.Settings([&] { r.Choose("TxMod", " BPSK"); }), V{"TMD=1"});
    EXPECT_EQ(r.Text("TxModNote"), "With BPSK modulation, FEC is limited to rate 1/2");
    EXPECT_EQ(r.Selected("TxFECrate"), " Rate 1/2");
    EXPECT_FALSE(r.at("TxFECrate").enabled());
    EXPECT_EQ(colourName(r.at("TxFECrateCap").textColour()), "gray");
    EXPECT_EQ(r.Settings([&] { r.Edit("TxDataRate", "320"); }), V{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad data rate value. Please correct it");
    EXPECT_EQ(r.Settings([&] { r.Edit("TxDataRate", "256"); }), V{"TDR=256.000"});
    EXPECT_EQ(r.Settings([&] { r.Choose("TxMod", " QPSK"); }), V{"TMD=2"});
    EXPECT_TRUE(r.at("TxFECrate").enabled());
    EXPECT_FALSE(r.at("TxModNote").visible());
    // The Eb/No alarm point starts at 2 dB.
    EXPECT_EQ(r.Settings([&] { r.Edit("EbNoAlarmPt", "1.5"); }), V{});
    EXPECT_EQ(r.Text("Notice"), "ERROR: Bad alarm point value. Please correct it");
    EXPECT_EQ(r.Settings([&] { r.Edit("EbNoAlarmPt", "2"); }), V{"EBA=02.0"});
    r.w->enter("MaskTxAis");
    EXPECT_EQ(r.Text("Instruction"), "Check boxes of desired alarms to be masked.");

    // The RDX-7010 reaches 2048 kbps and sends eight characters.
    Rig big;
    big.Open("7010", "7010100000", 3, [](sim::Unit& u) { u.setConfig(Plain310()); });
    big.ReadConfig();
    big.w->enter("TxDataRate");
    EXPECT_EQ(
        big.Text("Instruction"),
        "Enter a TX data rate, between 7.2 and 2048 kbps, resolution 1 bps, up to 8 characters.");
    EXPECT_EQ(big.Settings([&] { big.Edit("TxDataRate", "1024"); }), V{"TDR=1024.000"});
}

TEST(Detail310, RefusedStatusRepliesKeepTheirOwnPlaceInTheLoop) {
    Rig r;
    r.Open("310", "0310100000", 3, [](sim::Unit& u) {
        u.setConfig(Plain310());
        u.setReading("EBN", "+016.0  ");
    });
    ASSERT_TRUE(r.UntilSent("TXO?"));
    r.Tick(3);
    EXPECT_EQ(r.Text("StaEbNo"), "> 16 dB");
    EXPECT_EQ(r.Text("StaRED"), "On line");
    EXPECT_EQ(r.Text("StaTXO"), "On");
    EXPECT_EQ(r.Colour("StaTXO"), "lime");
    EXPECT_TRUE(r.w->DetailConfigChanged) << "the unit's mark is the fourth character";
    const auto next = [&](const char* after) {
        EXPECT_TRUE(r.UntilSent(after));
        const size_t mark = r.port.sent.size();
        EXPECT_TRUE(r.Until([&] { return r.port.sent.size() > mark; }));
        return r.SentSince(mark).front();
    };
    r.unit->setAnswer("FLT", "*");
    EXPECT_EQ(next("FLT?"), "FLT?");
    EXPECT_EQ(r.Text("UnitFault"), "Not permitted");
    r.unit->setAnswer("FLT", "");
    r.unit->setAnswer("RED", "?");
    EXPECT_EQ(next("RED?"), "LRS?");
    EXPECT_FALSE(r.w->OnlineUnit);
    r.unit->setAnswer("RED", "");
    r.unit->setAnswer("BER", "~");
    EXPECT_EQ(next("BER?"), "FLT?");
    r.unit->setAnswer("BER", "");
    r.unit->setAnswer("TXO", "*");
    EXPECT_EQ(next("TXO?"), "FLT?");
    EXPECT_EQ(r.Text("StaTXO"), "Not permitted");
}

TEST(Detail310, LocksAtTheOfflineUnitTheRedundantModemAndTheDistantFraming) {
    struct Row {
        int record;
        bool paired;
        bool online;
        const char* name; // empty: the slot's own
        bool locked;
    };
    for (const Row& row : std::vector<Row>{{3, true, false, "", true},
                                           {3, true, true, "", false},
                                           {4, false, true, "", false},
                                           {42, false, true, "Redundant Modem, Switch 1", true}}) {
        SCOPED_TRACE(row.record);
        Rig r;
        r.paired = row.paired;
        r.name = row.name; // the opener names the redundant modem of a switch
        r.Open("310", "0310100000", row.record, [&](sim::Unit& u) {
            u.setConfig(Plain310());
            u.setOnline(row.online);
        });
        r.ReadConfig();
        EXPECT_EQ(r.at("TxFreq").readOnly(), row.locked);
        EXPECT_EQ(r.at("TxSpectrum").enabled(), !row.locked);
        EXPECT_FALSE(r.at("CircuitID").readOnly());
        EXPECT_FALSE(r.at("TxFECtype").enabled());
        EXPECT_EQ(r.at("FramingMode").enabled(), !row.locked && row.record != 4);
        EXPECT_EQ(r.at("OBLIXslaveAdd").visible(), row.record != 4);
        if (row.record == 4) {
            EXPECT_EQ(r.Text("Notice"),
                      "Click the <SEND TO MODEM> button to send re-configuration info");
        }
    }
    // A LOCAL unit in local mode: said so, and its log is downloaded but not cleared. The
    // redundant modem beside the switch is a LOCAL unit too.
    Rig m;
    m.Open("310", "0310100000", 42, [](sim::Unit& u) { u.setRemoteState('0'); });
    m.ReadConfig();
    EXPECT_EQ(m.Text("Notice"), "Modem is in LOCAL mode, no change of config permitted");
    Rig r;
    r.Open("310", "0310100000", 3, [](sim::Unit& u) {
        u.setConfig(Plain310());
        u.setRemoteState('0');
        u.addEvent('F', '1', '2', 0);
    });
    r.ReadConfig();
    EXPECT_EQ(r.Text("Notice"), "Modem is in LOCAL mode, no change of config permitted");
    r.w->click("BtnLogs");
    r.Tick(2);
    ASSERT_TRUE(r.Until([&] { return r.at("BtnReadEvents").enabled(); }));
    EXPECT_EQ(r.Text("LogEventsCount"), "Number of unread stored events: 03");
    EXPECT_EQ(r.Text("LogTopLine"), "Choose a data file name so that modem event data will not be "
                                    "lost once read from the modem");
    EXPECT_EQ(r.Text("BtnReadEvents"), "Choose File &Name");
    r.op.files.push_back("events310.txt");
    r.w->click("BtnReadEvents");
    EXPECT_EQ(r.Text("LogTopLine"), "Going to store event data to: events310.txt");
    EXPECT_EQ(
        r.Text("FileNewBox"),
        "There is no pre-existing data file. A new file will be made to store the event data.");
    r.w->click("BtnNewFile");
    EXPECT_EQ(r.Text("BtnReadLog"), "&Read Modem Events");
    const size_t mark = r.port.sent.size();
    r.w->click("BtnReadLog");
    ASSERT_TRUE(r.Until([&] { return r.Text("LogProgress") == "Reading log completed"; }));
    EXPECT_EQ(r.SentSince(mark), (V{"RNE?", "RNE?"}));
    EXPECT_EQ(r.Text("LogTopLine"), "Event data stored in events310.txt");
    EXPECT_EQ(TextFile::readLines(r.dir.path() / "events310.txt").value_or(V{}).size(), 3u);
    EXPECT_EQ(r.unit->unreadEvents(), 0u);
    EXPECT_EQ(r.unit->events().size(), 3u) << "nothing cleared in the unit";
}

TEST(Detail310, MemoriesUseTheFamilyTextsAndThreeColumns) {
    Rig r;
    r.Open("310", "0310100000", 3, [](sim::Unit& u) { u.setConfig(Known310()); });
    r.ReadStatus();
    r.w->click("BtnUtilities");
    ASSERT_TRUE(r.UntilSent("DAY?"));
    EXPECT_EQ(r.SentSince(r.port.sent.size() - 1), V{"DAY?"}) << "no LRS in the clock loop";
    r.w->choose("MemoryList", 4);
    r.w->click("BtnStore");
    ASSERT_TRUE(r.UntilSent("CST=4"));
    r.Tick(4);
    EXPECT_EQ(r.Text("MemoryMsg"), "Current modem config now stored in memory 4");
    r.Tick(20);
    r.w->click("BtnLoad");
    ASSERT_TRUE(r.Until([&] { return r.at("BtnMemConfirm").visible(); }));
    EXPECT_EQ(r.Text("BtnMemConfirm"), "Confir&m");
    EXPECT_EQ(r.Text("MemTx"),
              "TX\n 71.2345 MHz\n 128.000 kbps\nViterbi coding\n Rate 7/8 QPSK\n "
              "Inverted\nScrambler Off\nPower - 12.5 dB\n External Clock\nCarrier On");
    EXPECT_NE(r.Text("MemRx").find("Sweep width 25 kHz"), std::string::npos);
    EXPECT_FALSE(r.w->has("MemAupc"));
    r.unit->setRemoteState('0');
    r.w->choose("MemoryList", 1);
    const size_t mark = r.port.sent.size();
    r.w->click("BtnMemConfirm");
    EXPECT_EQ(r.SentSince(mark), V{"CLD=4"});
    ASSERT_TRUE(r.Until([&] { return r.Text("MemoryMsg") != "Loading..."; }));
    EXPECT_EQ(r.Text("MemoryMsg"), "Problem! Is the Modem in Remote mode?");
}

TEST(Detail310, ATimeOutIsToldInTheFamilysWordsAndASelfTestWaitsNoLonger) {
    Rig r;
    r.Open("310", "0310100000", 3, [](sim::Unit& u) { u.setConfig(Plain310()); });
    r.setup.rec(3).TimeoutText = "1";
    r.capture.ToggleCapture();
    r.unit->inject(sim::Injection::silence());
    ASSERT_TRUE(r.Until([&] { return !r.Text("Notice").empty(); }));
    EXPECT_EQ(r.Text("Notice"), "Communications were timed out, check system");
    EXPECT_EQ(r.at("Notice").textColour(), Colours::red);
    const std::string capture = r.dir.read(CaptureFileName);
    EXPECT_EQ(capture.find("[timed out]"), std::string::npos) << capture;
    r.unit->clearInjections();

    ASSERT_TRUE(r.UntilSent("TXO?"));
    r.Tick(3);
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle && !r.tx.AwaitingReply; }));
    r.w->choose("TestMode", 1);
    ASSERT_TRUE(r.tx.AwaitingReply);
    EXPECT_EQ(r.port.sent.back(), "<" + r.w->UnitAddress + "/TST=1");
    EXPECT_EQ(r.tx.TimeoutLeft, 1000);
}

TEST(Detail310, AUnitInLocalModeIsSentNoChange) {
    Rig r;
    r.Open("310", "0310100000", 3, [](sim::Unit& u) {
        u.setConfig(Plain310());
        u.setRemoteState('0');
    });
    r.ReadConfig();
    EXPECT_EQ(r.Text("Notice"), "Modem is in LOCAL mode, no change of config permitted");
    EXPECT_EQ(r.Settings([&] { r.Edit("TxDataRate", "128"); }), V{});
    EXPECT_EQ(r.Text("TxDataRate"), " 64.000");
    EXPECT_EQ(r.Settings([&] { r.Choose("TxSpectrum", " Inverted"); }), V{});
    EXPECT_EQ(r.Selected("TxSpectrum"), " Normal");
    EXPECT_EQ(r.Settings([&] {
        r.w->enter("MaskTxAis");
        r.w->check("MaskTxAis", true);
        r.w->leave("MaskTxAis");
    }),
              V{});
    EXPECT_FALSE(r.at("MaskTxAis").checked());
    EXPECT_EQ(r.Text("Notice"), "Modem is in LOCAL mode, no change of config permitted");
}
