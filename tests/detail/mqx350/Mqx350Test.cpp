#include "detail/DetailRig.h"
#include "detail/framework/Rules.h"

#include "detail/mqx370/Mqx370Window.h"
#include "wire/FaultTables.h"

#include <filesystem>
#include <iterator>
#include <sstream>

using namespace linvar;

namespace {

using V = Lines;

V Words(const std::string& s) {
    std::istringstream in(s);
    return {std::istream_iterator<std::string>(in), {}};
}

const char* const kEdit = "Click on a box to change the configuration parameters";
const char* const kLoaded = "Unit re-configured using memory location 3";

// An MQX-350 (the L when the identity says 351) answering with fixed values; its
// configuration read where asked.
struct Rig : DetailRig {
    explicit Rig(const std::string& identity = "0350110000", int rec = 3,
                 const std::string& address = "0350", bool read = false) {
        Open350(identity, rec, address);
        if (read)
            ReadConfig();
    }
    // The unit's answers, as "MNEreply|MNEreply".
    void Answers(const std::string& table) {
        for (size_t from = 0; from < table.size();) {
            const size_t bar = std::min(table.find('|', from), table.size());
            unit->setAnswer(table.substr(from, 3), table.substr(from + 3, bar - from - 3));
            from = bar + 1;
        }
    }
    // The next request to go out, without the address.
    std::string Next() {
        const size_t mark = port.sent.size();
        Until([&] { return port.sent.size() > mark; });
        return port.sent.size() > mark ? Commands(mark).front() : "";
    }
    // A list's entry chosen by its place; the settings sent.
    V Pick(const std::string& box, int index) {
        return Settings([&] { w->choose(box, index); });
    }
    // The last question asked.
    std::string Asked() const { return op.questions.empty() ? "" : op.questions.back().text; }
    void Ink(const std::string& box, linvar::Colour text) const {
        EXPECT_EQ(at(box).textColour(), text) << box;
    }
    bool Step(int step, int limit = 3000) {
        return Until([&] { return w->StepNo == step; }, limit);
    }
    // The configuration read again from the configuration panel.
    void Reread() {
        w->click("BtnConfig");
        ASSERT_TRUE(UntilSent("MGC?"));
        ASSERT_TRUE(Settle());
    }
    // Events with these codes in the unit's log; the lines a download writes for them.
    V AddEvents(const std::string& codes) {
        unit->setStatisticsInterval(0);
        for (char code : codes)
            unit->addEvent('1', '3', code, clock.monotonicMs());
        V out;
        for (const std::string& rec : unit->events())
            out.push_back(w->UnitAddress + "  " + EventEntryText(rec, clock));
        return out;
    }
    void OpenLogs() {
        ReadStatus();
        w->click("BtnLogs");
        ASSERT_TRUE(Until([&] { return tx.CurrentMode == "READLOG" && w->StepNo == 6; }));
    }
    // The memory load of location 3 up to the moment "CLD=3" has gone out.
    void ConfirmLoad() {
        w->choose("MemoryList", 3);
        w->click("BtnLoad");
        ASSERT_TRUE(Until([&] { return tx.CurrentMode == "LOADSTMEM" && w->StepNo == 500; }));
        ASSERT_EQ(Text("MemoryMsg"), "Config present in memory location 3. Confirm load.");
        w->click("BtnMemConfirm");
        ASSERT_EQ(port.sent.back(), Req("CLD=3"));
        EXPECT_EQ(Text("MemoryMsg"), "Loading...");
    }
    // The text of `box` once it shows none of `passing`.
    std::string After(const std::string& box, const Lines& passing, int limit = 300) {
        Until([&] { return std::count(passing.begin(), passing.end(), Text(box)) == 0; }, limit);
        return Text(box);
    }
};

} // namespace

TEST(Detail350, IdentityAndStatusLoopShowWhatTheUnitReports) {
    Rig r;
    r.Answers("NUE=221|NUS=012|FLT=031001|EBN=08.5|RFO=+001.2|BER=1.0E7|BFS=50|RED=1|OUS=xxxxxx|"
              "RSL=GT60|TMP=035|TXO=4|REB=16.0|PLI=x.x|CTD=000|SNO=123456789");
    EXPECT_EQ(r.w->caption(), "Detail of Modem 1, Local end, link: MADRID-2       MQX-350");
    EXPECT_EQ(r.Text("WaitText"), "Waiting for response, please wait...");
    EXPECT_EQ(CurrentModelCode(), 350);
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("CTD?") && r.UntilSent("LRS?"));
    EXPECT_EQ(r.Commands(mark), Words("LRS? CID? IMG? SWR? SNO? LRS? NUE? NUS? FLT? EBN? RFO? BER? "
                                      "BFS? RED? OUS? RSL? TMP? TXO? REB? PLI? CTD? LRS?"));
    r.Shows("StaLRS=REMOTE|StaCID=LINK TWO|StaSWR=1.07 2.03|StaRx=Demodulator unlocked|"
            "StaEbNo=8.5 dB|StaFreqOffset=+001.2 kHz|StaBER=1.0 E-7|StaBFS=50 %|StaRED=Online|"
            "StaSNO=12345678|StaRSL=> -60 dBm|StaTXO=Off during Warm-Up|StaREB=> 16 dB|StaPLI=Not "
            "available|"
            "StaTMP=035 \xB0"
            "C");
    r.Shows({{"StaNUE", "221", "yellow"},
             {"StaNUS", nullptr, "white"},
             {"StaUnit", "OK", "lime"},
             {"StaTx", "Tx FIFO slip", "red"}});
    EXPECT_TRUE(r.w->DetailConfigChanged);
    // the ODU button and BUC mask, the offline unit's box, the countdown; the phase buttons
    EXPECT_EQ(r.Flags(&Control::visible, {"BtnOdu", "MaskBuc", "OusBox", "StaCTD"}) +
                  r.Flags(&Control::enabled, {"BtnConfig", "BtnStatus"}),
              "000010");
    // A reply that failed ("~") restarts the loop at LRS.
    r.Answers("BER~|CTD=012");
    ASSERT_TRUE(r.UntilSent("BER?"));
    EXPECT_EQ(r.Next(), "LRS?");
    r.Shows({{"StaBER", "Oblix timeout", "blue"}});
    // Any other answer to the carrier query shows its first 31 characters.
    r.Answers("BER|TXOE" + std::string(40, 'x'));
    ASSERT_TRUE(r.UntilSent("TXO?") && r.UntilSent("REB?"));
    EXPECT_EQ(r.Text("StaTXO"), std::string(31, 'x'));
}

TEST(Detail350, TheL350ReadsItsOduStatusAndTheCountdownShows) {
    Rig r("0351110001", 3, "0351");
    r.Answers("CTD=030|BPC=1|BDC=1200|BDV=24.0|LPC=1|LDC?|LDV=18.0|BCE=1|BOL=10.5|BUT=+045|BPA=0|"
              "BSV=12");
    EXPECT_EQ(r.w->ModelName, "MQX-350L");
    ASSERT_TRUE(r.UntilSent("CTD?"));
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(r.UntilSent("LRS?"));
    EXPECT_EQ(r.Commands(mark),
              Words("BPC? BDC? BDV? LPC? LDC? LDV? BCE? BOL? BUT? BPA? BSV? LRS?"));
    r.Tick(3);
    r.Shows("StaCTD=030 sec|StaBPC=Enabled|StaBDC=1200 mA|StaFSK=Enabled|StaBPA=Locked|"
            "StaBSV=12|StaBUT=+ 45 \xB0"
            "C");
    r.Shows({{"StaLDC", "N/A", "gray"}});
    EXPECT_EQ(r.Flags(&Control::visible, {"StaCTD", "BucStatus", "GrpClockExt"}), "111");
    // With the G.703 option the clock extension box shows; "x" means not reported.
    EXPECT_FALSE(Rig("035011000x").at("GrpClockExt").visible());
}

TEST(Detail350, ConfigurationReadFillsEveryBoxFromItsPosition) {
    Rig r("0351110000", 3, "0351");
    const V read = r.ReadConfig();
    const auto mgc = std::find(read.begin(), read.end(), "MGC?");
    ASSERT_TRUE(mgc - read.begin() >= 2 && read.end() - mgc >= 5);
    EXPECT_EQ(V(mgc - 2, mgc + 5), Words("CID? LRS? MGC? OGC? ADJ? FPL? IPA?"));
    r.Shows("ConfTFQ= 70.0000|ConfTDR= 64.000|ConfTPL=- 10.0|ConfAPPc=12.5|ConfRFQ= 140.0000|"
            "ConfRDR= 128.000|ConfRSW=32|ConfEBA= 5.5|ConfESA=120|ConfCID=LINK TWO|ConfADJ=-12|"
            "ConfIPA=192.168.001.020.24|ConfODL=800|ConfODH=3000|ConfBLO=13050|ConfLNL=50|"
            "ConfLNH=500|ConfLLO=10750|Instruction=" +
            std::string(kEdit) + "|BtnConfig=Re-Read Con&fig");
    // The entry each list shows, by its place in the list.
    const V picks = Words(
        "ConfITF 0 ConfLBO 1 ConfFRM 1 ConfTFT 1 ConfTMD 1 ConfTCR 4 ConfTSI 0 ConfTSC 1 ConfTCK 1 "
        "ConfTDI 0 ConfTXO 1 ConfAUP 1 ConfAPM 1 ConfAPU 0 ConfAPI 3 ConfWUD 1 ConfCEXMode 1 "
        "ConfCEXItf 2 ConfRFT 2 ConfRMD 1 ConfRCR 3 ConfRSI 1 ConfRDS 0 ConfRDI 1 ConfRBS 4 "
        "ConfERF 0 ConfEFM 1 ConfTST 0 ConfRTS 1 ConfSSI 3 ConfABA 1 ConfALA 0 ConfLRS 1 "
        "ConfFPL 1 ConfBAD 2 ConfODU 1 ConfBPC 1 ConfBFR 0 ConfBOE 1 ConfBLOMix 0 ConfLPC 2 "
        "ConfLFR 1 ConfLLOMix 1");
    for (size_t i = 0; i + 1 < picks.size(); i += 2)
        EXPECT_EQ(r.at(picks[i]).selected(), std::stoi(picks[i + 1])) << picks[i];
    EXPECT_EQ(r.w->Boxes().size(), picks.size() / 2 + 18) << "every box is covered above";
    EXPECT_EQ(r.Flags(&Control::checked,
                      {"MaskTxFifo", "MaskBpv", "MaskTxAis", "MaskAgc", "MaskEbNo", "MaskRxAis",
                       "MaskBuffer", "MaskExtRef", "MaskBuc", "MaskLnb", "MaskLos"}),
              "10101010101");
    // Without the 8-QAM option the lists stop at 16-QAM; Viterbi shows no IESS-315.
    EXPECT_EQ(r.at("ConfTMD").items().back(), " 16-QAM");
    EXPECT_EQ(r.at("ConfTSC").items().size(), 2u);
    // A slave unit shows the slave entry, selected and out of reach; TPC adds IESS-315.
    std::string slave = KnownConfig();
    slave[87] = '2';
    slave[12] = '6';
    slave[24] = '2';
    slave[86] = '1'; // an external reference: no adjust box
    slave[2] = '0';  // unframed: no slave address to give
    r.unit->setAnswer("MGC", "=" + slave);
    ASSERT_NO_FATAL_FAILURE(r.Reread());
    r.Shows("ConfEFM= OBLIX slave|ConfTSC= IESS-315");
    EXPECT_FALSE(r.at("ConfADJ").visible());
    EXPECT_TRUE(r.at("ConfESA").readOnly());
    EXPECT_FALSE(r.at("ConfEFM").enabled());
}

TEST(Detail350, EditsAreValidatedAndSentInTheUnitsFormat) {
    Rig r;
    r.Answers("TFQ=|TPL=|APP=|RSW=|ESA=");
    r.ReadConfig();
    EXPECT_EQ(r.Flags(&Control::enabled, {"ConfTCR", "ConfTMD"}), "11");
    // Tx frequency: 95 lies between the two bands of the MQX-350.
    EXPECT_EQ(r.Set("ConfTFQ", "95"), V{});
    r.Ink("ConfTFQCap", Colours::red);
    r.Shows("Notice=ERROR: Bad frequency value. Please correct it|ConfTFQ=95");
    EXPECT_EQ(r.Set("ConfTFQ", "90"), V{"TFQ=0090.0000"});
    EXPECT_EQ(r.Set("ConfTFQ", "100"), V{"TFQ=0100.0000"});
    // The same number written otherwise sends nothing and the box shows it as before.
    EXPECT_EQ(r.Set("ConfTFQ", "100.00"), V{});
    EXPECT_EQ(r.Text("ConfTFQ"), " 100.0000");
    EXPECT_EQ(r.Set("ConfTFQ", "70.00005"), V{});
    // Power: the level travels without its sign.
    EXPECT_EQ(r.Set("ConfTPL", "-3"), V{"TPL=03.0"});
    EXPECT_EQ(r.Set("ConfTPL", "+1"), V{});
    EXPECT_EQ(r.Set("ConfTPL", "-26"), V{});
    // AUPC target: one hex digit for the whole dB.
    r.w->click("BtnAupc");
    EXPECT_EQ(r.Set("ConfAPPc", "9.5"), V{"APP=109.53"});
    EXPECT_EQ(r.Set("ConfAPPc", "12.5"), V{"APP=10C.53"});
    EXPECT_EQ(r.Set("ConfAPPc", "15"), V{});
    EXPECT_EQ(r.Pick("ConfAPI", 7), V{"APP=10C.57"});
    // Sweep width up to 32 kHz on the MQX-350; the slave address in tens.
    EXPECT_EQ(r.Set("ConfRSW", "33"), V{});
    EXPECT_EQ(r.Set("ConfRSW", "5"), V{"RSW=005"});
    EXPECT_EQ(r.Set("ConfESA", "125"), V{});
    EXPECT_EQ(r.Set("ConfESA", "130"), V{"ESA=0130"});

    // The MQX-350L: 949.9 MHz is below its band; the LO is whole MHz and carries its mix
    // sign; the AUPC group takes the ODU group's place.
    Rig l("0351110000", 3, "0351");
    l.Answers("TFQ=|BLO=");
    l.ReadConfig();
    EXPECT_EQ(l.Set("ConfTFQ", "949.9"), V{});
    EXPECT_EQ(l.Set("ConfTFQ", "950"), V{"TFQ=0950.0000"});
    l.w->click("BtnOdu");
    EXPECT_EQ(l.Set("ConfBLO", "3000.5"), V{});
    EXPECT_EQ(l.Pick("ConfBLOMix", 1), V{"BLO=13050-"});
    l.w->click("BtnAupc");
    EXPECT_EQ(l.Flags(&Control::visible, {"GrpAupc", "GrpUnit", "GrpOdu"}), "110");
}

TEST(Detail350, RemoteStateRulesAfterAChange) {
    Rig r;
    r.unit->setAnswer("LRS", "=0");
    r.ReadConfig();
    r.Shows({{"StaLRS", "LOCAL", "yellow"},
             {"Notice", "Unit is in LOCAL mode. Need REMOTE to change configuration"},
             {"Instruction", ""}});
    EXPECT_EQ(r.Flags(&Control::readOnly, {"ConfTFQ"}) +
                  r.Flags(&Control::enabled, {"ConfTFT", "ConfLRS"}),
              "101");
    EXPECT_EQ(r.Sent([&] { r.Edit("ConfTFQ", "75"); }), V{});
    // Local to remote: the whole configuration is read again; back to local, the LRS step.
    r.unit->setAnswer("LRS", "=1");
    for (const auto& [entry, sent, next] : {std::tuple{1, "LRS=1", "MGC?"}, {0, "LRS=0", "LRS?"}}) {
        r.w->choose("ConfLRS", entry);
        ASSERT_EQ(r.port.sent.back(), r.Req(sent));
        EXPECT_EQ(r.Next(), next);
        ASSERT_TRUE(r.Settle());
        EXPECT_TRUE(entry == 0 || !r.at("ConfTFQ").readOnly());
    }
    // A refused circuit ID is read again from the circuit ID, not from the configuration.
    r.unit->setAnswer("CID", "*");
    r.Edit("ConfCID", "new");
    ASSERT_TRUE(r.Step(1));
    r.Tick(2);
    EXPECT_EQ(r.port.sent.back(), "<0350/CID?");
}

// The lock follows every redundancy reading, in both families: the off-line modem of a
// pair takes no changes, a unit on its own does.
TEST(Detail350, AnOfflineUnitOfAPairIsReadOnlyAUnitOnItsOwnIsNot) {
    for (const bool is370 : {false, true})
        for (const bool paired : {false, true}) {
            SCOPED_TRACE(std::string(is370 ? "370 " : "350 ") + (paired ? "paired" : "alone"));
            DetailRig r;
            r.paired = paired;
            if (is370)
                r.Open<Mqx370Window>("370", "0370000000", 3, "0370");
            else
                r.Open350();
            r.unit->setOnline(false);
            r.ReadConfig();
            EXPECT_EQ(r.Text("StaRED"), is370 ? "Off line" : "Offline");
            EXPECT_EQ(r.Flags(&Control::readOnly, {"ConfTFQ"}) +
                          r.Flags(&Control::enabled, {"ConfTFT"}),
                      paired ? "10" : "01");
            EXPECT_TRUE(!paired || r.Set("ConfTFQ", "70.5").empty());
        }
}

TEST(Detail350, LogsDownloadToNewAppendedAndOverwrittenFiles) {
    Rig r;
    const V first = r.AddEvents("135");
    r.OpenLogs();
    r.Shows("LogEventsCount=4 Events Log lines to read|"
            "LogTopLine=Select Log to download; data will be saved to disk");
    const auto download = [&](const std::string& file, const char* choice) {
        r.op.files.push_back(file);
        r.w->click("BtnReadEvents");
        EXPECT_FALSE(r.at("BtnReadStats").enabled());
        EXPECT_EQ(r.Text("LogTopLine"), "Going to store Events Log data to: " + file);
        r.w->click(choice);
        r.w->click("BtnReadLog");
        EXPECT_EQ(r.Text("LogProgress"), "Reading...");
        return r.Step(6);
    };
    ASSERT_TRUE(download("ev.txt", "BtnNewFile"));
    EXPECT_EQ(r.Text("LogProgress"), "Reading Events Log completed");
    EXPECT_EQ(r.File("ev.txt"), first);
    EXPECT_TRUE(r.WasSent("CAE="));
    EXPECT_FALSE(r.at("BtnReadEvents").enabled()); // nothing left to read
    // One more event, and the logs page again; the line it downloads as.
    const auto another = [&](char code) {
        r.unit->addEvent('1', '3', code, r.clock.monotonicMs());
        r.w->click("BtnLogs");
        EXPECT_TRUE(r.Until([&] { return r.w->StepNo == 6 && r.at("BtnReadEvents").enabled(); }));
        return "0350  " + EventEntryText(r.unit->events().back(), r.clock);
    };
    V appended = first;
    appended.push_back(" ");
    appended.push_back(another('7'));
    const size_t mark = r.port.sent.size();
    ASSERT_TRUE(download("ev.txt", "BtnAppend"));
    const V asked = r.Commands(mark); // a reply of one record is not the log's end
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "RNE?"), 2);
    EXPECT_EQ(r.File("ev.txt"), appended);
    const std::string third = another('9');
    ASSERT_TRUE(download("ev.txt", "BtnOverwrite"));
    EXPECT_EQ(r.File("ev.txt"), V{third});
    // A cancelled file choice leaves both read buttons off until "&Logs" again.
    another('1');
    r.w->click("BtnReadEvents");
    EXPECT_EQ(r.Flags(&Control::enabled, {"BtnReadEvents"}) +
                  r.Flags(&Control::visible, {"FileNewBox"}),
              "00");
}

TEST(Detail350, SetTimeWithOffsetsAcrossMidnight) {
    struct Case {
        LocalDateTime now;
        const char *day, *time, *list; // the unit's clock; the offset list
        int entry;                     // "+1" hour, "-1/2" hour
        const char *date, *sent;       // what goes out
    };
    for (const Case& c : {Case{{2026, 12, 31, 23, 50, 10, 0},
                               "=311226",
                               "=235010",
                               "HourOffset",
                               22,
                               "010127",
                               "0050"},
                          Case{{2027, 1, 1, 0, 10, 0, 0},
                               "=010127",
                               "=001000",
                               "QuarterOffset",
                               5,
                               "311226",
                               "2340"}}) {
        SCOPED_TRACE(c.date);
        DetailRig r;
        r.clock.set(c.now);
        r.Open350();
        r.unit->setAnswer("DAY", c.day);
        r.unit->setAnswer("TIM", c.time);
        r.ToPanel("BtnUtilities", "TIM?");
        r.w->choose(c.list, c.entry);
        r.Tick(2);
        if (c.entry == 22) {
            r.Shows("ClockModem=23:50:10 31 Dec 2026|HourOffset=+1|"
                    "BtnSetTime=Set &Offset Time + Date");
            EXPECT_TRUE(r.at("ClockOffset").visible());
        }
        r.w->click("BtnSetTime");
        EXPECT_EQ(r.Text("LblDate"), "Setting date...");
        ASSERT_EQ(r.UntilSentPrefix("DAY=", 200), r.Req("DAY=") + c.date);
        EXPECT_EQ(r.UntilSentPrefix("TIM=", 200).substr(0, 14), r.Req("TIM=") + c.sent);
        r.Tick(3);
        EXPECT_EQ(r.Text("LblTime"), "Time set OK");
    }
}

TEST(Detail350, MemoryStoreAndLoadWithTheirPreviews) {
    Rig r("0351110000", 3, "0351");
    r.ToPanel("BtnUtilities", "TIM?");
    r.w->choose("MemoryList", 3);
    // Storing into an empty location goes straight on.
    r.Answers("MGC*|OGC*|CST=");
    r.w->click("BtnStore");
    ASSERT_TRUE(r.UntilSent("CST=3"));
    r.Tick(3);
    EXPECT_EQ(r.Text("MemoryMsg"), "Current config now stored in memory 3");
    ASSERT_TRUE(r.Until([&] { return r.tx.CurrentMode == "UTILITIES"; }));
    // Loading: the ODU and the configuration previews, then the load command.
    r.Answers("MGC=" + KnownConfig() + "|OGC=" + KnownOdu() + "|CLD=");
    r.Tick(3);
    const size_t mark = r.port.sent.size();
    r.w->click("BtnLoad");
    ASSERT_TRUE(r.Step(500));
    V asked;
    for (const std::string& s : r.Commands(mark))
        if (s.find("GC?") != std::string::npos)
            asked.push_back(s);
    EXPECT_EQ(asked, (V{"OGC?3", "MGC?3"}));
    r.Shows("MemoryMsg=Config present in memory location 3. Confirm load.|"
            "MemPreview=Memory location 3 preview|"
            "MemTx= 70.0000 MHz\n Viterbi encoding\n Rate 3/4  QPSK\n 64.000 kbps\n "
            "Normal Spectrum \n Normal Data \nScrambler On\nPower - 10.0 dBm\n "
            "Tx Terrestrial (TT) clock\nCarrier On\nWarm-up delay:  Enabled");
    EXPECT_NE(r.Text("MemAupc").find("Target EbNo: 12.5 dB"), std::string::npos);
    EXPECT_NE(r.Text("MemLnb").find("Rx LO frequency: 10750 MHz"), std::string::npos);
    EXPECT_NE(r.Text("MemBuc").find("Alarm limits: 800 - 3000 mA"), std::string::npos);
    EXPECT_NE(r.Text("MemBuc").find("10MHz Ref:  Disabled"), std::string::npos);
    r.w->click("BtnMemConfirm");
    EXPECT_EQ(r.port.sent.back(), "<0351/CLD=3");
    EXPECT_FALSE(r.at("MemPreview").visible());
    r.Tick(45);
    EXPECT_EQ(r.Text("MemoryMsg"), "Loading...");
    ASSERT_TRUE(r.Until([&] { return r.tx.RequestedMode == "UTILITIES"; }, 20));
    EXPECT_EQ(r.Text("MemoryMsg"), kLoaded);
    // The clock loop that follows leaves the memory's result on screen.
    ASSERT_TRUE(r.UntilSent("TIM?"));
    r.Tick(5);
    EXPECT_EQ(r.Text("MemoryMsg"), kLoaded);
}

TEST(Detail350, TheStatisticsLogGoesToItsFileAndIsThenCleared) {
    Rig r;
    r.unit->setStatisticsInterval(0);
    for (const char* values : {"08.512.35E6042", "10.211.04E5120", "04.405.02E7000"})
        r.unit->addStatistics(values, r.clock.monotonicMs());
    V expected;
    for (const std::string& rec : r.unit->statistics())
        expected.push_back("0350  " + StatisticsEntryText(rec, r.clock));
    ASSERT_NO_FATAL_FAILURE(r.OpenLogs());
    EXPECT_EQ(r.Text("LogStatsCount"), "3 Statistics Log lines to read");
    const size_t mark = r.port.sent.size();
    r.ReadModemLog("BtnReadStats", "stats.txt");
    ASSERT_TRUE(r.UntilSent("CAS=", 200));
    EXPECT_EQ(r.Text("LogTopLine"), "Statistics Log data stored in stats.txt");
    EXPECT_EQ(r.File("stats.txt"), expected);
    ASSERT_TRUE(r.Step(6, 200));
    r.Shows({{"LogProgress", "Reading Statistics Log completed"},
             {"LogStatsCount", "0 Statistics Log lines to read"}});
    const V sent = r.Commands(mark);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "RNS?"), 2);
    EXPECT_FALSE(r.at("BtnReadStats").enabled());
}

// The downloaded lines are kept and another file is asked for; the unit is cleared only
// once a file holds them. A folder, or a file in a folder that does not exist, cannot be.
TEST(Detail350, ALogFileThatCannotBeWrittenClearsNothingInTheUnit) {
    for (const auto& [file, events] : std::vector<std::pair<std::string, bool>>{
             {"logs", true}, {"logs", false}, {"missing/ev.txt", true}}) {
        SCOPED_TRACE(file + (events ? " events" : " statistics"));
        Rig r;
        std::filesystem::create_directory(r.dir.path() / "logs");
        const V lines = r.AddEvents("1");
        r.unit->addStatistics("08.512.35E6042", r.clock.monotonicMs());
        ASSERT_NO_FATAL_FAILURE(r.OpenLogs());
        r.op.files = {file, "ev.txt"};
        r.w->click(events ? "BtnReadEvents" : "BtnReadStats");
        ASSERT_TRUE(r.w->click("BtnNewFile") || r.w->click("BtnOverwrite"));
        r.w->click("BtnReadLog");
        ASSERT_TRUE(r.Until([&] { return r.op.files.empty(); }, 200));
        r.Tick(20);
        EXPECT_EQ(r.op.reports.size(), 1u);
        EXPECT_FALSE(r.WasSent("CAE=") || r.WasSent("CAS="));
        EXPECT_EQ(r.unit->events().size() + r.unit->statistics().size(), lines.size() + 1);
        ASSERT_TRUE(r.w->click("BtnNewFile") || r.w->click("BtnOverwrite"));
        r.w->click("BtnReadLog");
        ASSERT_TRUE(r.UntilSent(events ? "CAE=" : "CAS=", 200));
        EXPECT_TRUE(!events || r.File("ev.txt") == lines);
    }
}

TEST(Detail350, SwitchoverAndBufferCentringReportTheUnitsAnswer) {
    // The distant unit may be cut off by the switch itself; a refusal it sends is not a
    // switchover. No reply: silent.
    const char* const ok = "Switchover command acknowledged";
    struct Case {
        int record;
        const char *command, *reply, *line, *shown;
    };
    for (const Case& c : {Case{3, "FSW", "=", "SwitchMsg", ok},
                          {3, "FSW", "*", "SwitchMsg", "No comms"},
                          {4, "FSW", "~", "SwitchMsg", ok},
                          {4, "FSW", "*", "SwitchMsg", "No comms"},
                          {4, "FSW", "?", "SwitchMsg", "No comms"},
                          {4, "FSW", nullptr, "SwitchMsg", ok},
                          {3, "RCB", "=", "BufferMsg", "Buffer centered OK"},
                          {3, "RCB", "*", "BufferMsg", "Not permitted"}}) {
        SCOPED_TRACE(std::string(c.command) + std::to_string(c.record) + (c.reply ? c.reply : ""));
        Rig r("0350110000", c.record, c.record == 3 ? "0350" : "0450");
        const bool centre = c.command == std::string("RCB");
        if (c.reply)
            r.unit->setAnswer(c.command, c.reply);
        else
            r.Once(sim::Injection::silence(), c.command);
        r.ToPanel("BtnUtilities", "TIM?");
        ASSERT_TRUE(r.w->click(centre ? "BtnCenterBuffer" : "BtnSwitch"));
        EXPECT_EQ(r.Text(c.line), centre ? "Centering buffer..." : "");
        ASSERT_TRUE(r.UntilSent(c.command + std::string("="), 100));
        // The clock reading that hands over to the centring clears the message line.
        EXPECT_EQ(r.After(c.line, {"", "Centering buffer..."}, 100), c.shown);
        r.Ink(c.line, std::string(c.shown).rfind("No", 0) == 0 ? Colours::red : Colours::blue);
        EXPECT_TRUE(r.UntilSent("TIM?", 100)) << "back to the clock loop";
    }
}

// The rules every window keeps, asked of this family and of the MQX-370.
namespace linvar::rules {
const char* const kRefused350 = "Command was not accepted. Re-reading unit...";
const char* const kTimedOut350 = "Timed out. Check Timeout-Time. Re-reading unit...";
const char* const kAsk350 = "Change Tx frequency to 71.0000 MHz. Comms may be affected.";
// clang-format off
INSTANTIATE_TEST_SUITE_P(Mqx350And370, Rules, testing::Values(
    WindowRules{"MQX-350", [](DetailRig& r, int rec) { r.Open350("0350110000", rec, rec == 4 ? "0450" : "0350"); },
        "ConfTFQ", "71", "TFQ=0071.0000", "70.00", " 70.0000", "Notice", "red", kRefused350, kTimedOut350,
        32, 33, "MGC?", kSetUp.c_str(), "StaTMP", "No comms", 4, {}, "ConfTFQ", "71", kAsk350},
    WindowRules{"MQX-370", [](DetailRig& r, int rec) { r.Open<Mqx370Window>("370", "0370000000", rec, "0370"); },
        "ConfTFQ", "71", "TFQ=0071.0000", "70", " 70.0000", "Notice", "red", kRefused350, kTimedOut350,
        32, 33, "MGC?", kSetUp.c_str(), "StaTMP", "No comms", 4, {}, "ConfTFQ", "71", kAsk350}),
    Named);
// clang-format on
} // namespace linvar::rules
