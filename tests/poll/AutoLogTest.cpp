#include "PollHarness.h"

#include "wire/FaultTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <sys/stat.h>

using namespace linvar;

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

// A harness whose clock (and the units' clocks) start at the given time of 6/12/2026.
void StartAt(PollHarness& h, int hour, int minute, int second = 0) {
    h.clock.set({2026, 12, 6, hour, minute, second, 0});
    h.bus.setClockAtZero(sim::civilSeconds(2026, 12, 6, hour, minute, second));
}

void Logged(PollHarness& h, int link) {
    h.setup.rec(SystemSetup::DistantRecord(link)).InfoText = "Log";
}

void EveryMinutes(PollHarness& h, int interval, int offset) {
    h.setup.AutoLogEnabled = true;
    h.setup.AutoLogIntervalMinutes = interval;
    h.setup.AutoLogOffsetIndex = offset;
}

// Modem 0012 of logged link 1, logged every ten minutes at offset 5.
sim::Unit* LoggedModem(PollHarness& h, int hour, int minute, int second = 0) {
    StartAt(h, hour, minute, second);
    auto* m = h.Unit(1, Modem1, "0012", "350");
    Logged(h, 1);
    EveryMinutes(h, 10, 5);
    return m;
}

// Distinct letters from `first` on, so that any misplaced cut shows.
std::string Alphabet(size_t n, char first) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(first + i % 26);
    return s;
}

// Ticks through one whole run of automatic logging.
bool RunOneLog(PollHarness& h) {
    auto& al = h.cycle.autoLog();
    return TicksUntil(h, 200000, [&] { return al.InAutoLog; }) >= 0 &&
           TicksUntil(h, 20000, [&] { return !al.InAutoLog; }) >= 0;
}

// The start times of the runs after each jump of the clock ("D HH:MM:SS>HH:MM": to that
// day of December 2026 and time, then on until HH:MM). The first jump is the start.
std::string RunStarts(PollHarness& h, const std::string& jumps) {
    std::string starts;
    bool was = false, started = false;
    std::istringstream in(jumps);
    for (std::string day, from; in >> day >> from;) {
        LocalDateTime t{2026, 12, std::stoi(day)};
        std::sscanf(from.c_str(), "%d:%d:%d", &t.hour, &t.minute, &t.second);
        h.clock.set(t);
        if (!std::exchange(started, true)) {
            h.bus.setClockAtZero(sim::civilSeconds(2026, 12, t.day, t.hour, t.minute, t.second));
            h.Start();
        }
        while (h.clock.timeText().substr(0, 5) != from.substr(9)) {
            h.Tick();
            const bool run = h.cycle.autoLog().InAutoLog;
            if (run && !was)
                starts += (starts.empty() ? "" : " ") + h.clock.timeText();
            was = run;
        }
    }
    return starts;
}

} // namespace

TEST(AutoLog, RunsStartAtTheMinutesOfIntervalAndOffsetOnlyOnce) {
    struct Case {
        int interval, offset; // interval 0: switched off
        bool logged;
        const char *jumps, *starts;
    };
    const Case cases[] = {
        // The run ends within its minute and is not started again in it.
        {60, 5, true, "6 00:04:50>00:07 6 01:04:30>01:07 6 02:04:50>02:06",
         "00:05:00 01:05:00 02:05:00"},
        // The 23-minute default with offset 1 counts the minutes of the day: 1404 and 1427
        // (23:24, 23:47), then 1, 24, 47 after midnight. No link logged: runs still end.
        {23, 1, false,
         "6 23:23:50>23:25 6 23:46:50>23:48 6 23:59:50>00:02 7 00:23:50>00:25 7 00:46:50>00:48",
         "23:24:00 23:47:00 00:01:00 00:24:00 00:47:00"},
        // Every minute qualifies: a run at once, then a minute after each start.
        {1, 0, true, "6 00:04:50>00:07", "00:04:50 00:05:50 00:06:50"},
        {0, 0, true, "6 00:09:50>00:11", ""},
    };
    for (const Case& c : cases) {
        PollHarness h;
        h.Unit(1, Modem1, "0012", "350");
        if (c.logged)
            Logged(h, 1);
        if (c.interval != 23) // else the set-up's own default
            EveryMinutes(h, c.interval, c.offset);
        h.setup.AutoLogEnabled = c.interval > 0;
        EXPECT_EQ(RunStarts(h, c.jumps), c.starts) << c.interval;
        EXPECT_FALSE(h.cycle.autoLog().InAutoLog);
        EXPECT_EQ(std::filesystem::exists(h.dir.path() / "0012.txt"), c.interval > 0 && c.logged);
    }
}

TEST(AutoLog, FirstAndLaterRunsWriteTheUnitFile) {
    PollHarness h;
    StartAt(h, 9, 4);
    h.bus.setLatencyMs(0);
    auto* m = h.Unit(1, Modem1, "0012", "370");
    h.Unit(1, Transceiver1, "0013", "VORN");
    h.Unit(3, Modem1, "0030", "350");
    m->setStatisticsInterval(0);
    h.setup.rec(1).IdText = "EAST-1";
    h.setup.rec(2).IdText = "WEST-1";
    Logged(h, 1);
    EveryMinutes(h, 10, 5);
    const std::string cid = "CIRCUIT EAST-WEST 1";
    m->setCircuitId(cid);
    const std::string cfg = "001070.00001140064.00001100.0001000" + std::string(25, '7');
    m->setAnswer("MGC", "=" + cfg);
    m->setAnswer("FLT", "=230000"); // 7 characters: four fault lines
    m->addEvent('F', '1', '2', 30000);
    m->addStatistics("07.209.11E5020", 45000);
    const ModelCodeScope window{350}; // the unit whose window was opened last
    h.Start();
    ASSERT_TRUE(RunOneLog(h));
    // The log read the unit's own texts and left the window's to the rest of the station.
    EXPECT_EQ(CurrentModelCode(), 350);

    const std::string first =
        Lines({"Link ID : EAST-1   Local Modem 1", " ", "Auto Log at 06/12/2026 09:05:00",
               "CID : " + cid + std::string(30 - cid.size(), ' '), "Glbl: " + cfg.substr(0, 27),
               "Glbl: " + cfg.substr(27), "Unit: 12V PSU", "TX  : AIS detected on incoming data",
               "RX  : Rx traffic OK", "ONet: OK", "LogE: 06 Dec 2026  09:04:00  Power on",
               "LogE: 06 Dec 2026  09:04:30  Unit fault, 12V PSU",
               "Stat: 06 Dec 2026  09:04:45  07.2 09.1 1E5 020"});
    EXPECT_EQ(h.dir.read("0012.txt"), first);
    // Only the logged link's modems have files.
    EXPECT_FALSE(TextFile::exists(h.dir.path() / "0030.txt") ||
                 TextFile::exists(h.dir.path() / "0013.txt"));

    // The next run: no header, no identity; an answer of another length gives three lines.
    m->setAnswer("FLT", "=00100"); // no configuration-change mark
    m->addEvent('C', '1', '2', 70000);
    h.clock.set({2026, 12, 6, 9, 14, 50, 0}); // the units' clocks run on
    ASSERT_TRUE(RunOneLog(h));
    const std::string later =
        Lines({" ", "Auto Log at 06/12/2026 09:15:00", "Unit: OK", "TX  : Tx traffic OK",
               "RX  : Demodulator unlocked", "LogE: 06 Dec 2026  09:05:10  Unit clear, 12V PSU"});
    EXPECT_EQ(h.dir.read("0012.txt"), first + later);
}

TEST(AutoLog, EveryModemSlotOfALoggedLinkHasItsOwnFile) {
    PollHarness h;
    StartAt(h, 9, 4, 30);
    h.bus.setLatencyMs(0);
    h.Unit(1, Modem1, "0012", "350");
    h.setup.rec(1).InfoText = "Log"; // the LOCAL record's text does not mark the link
    h.Unit(3, Modem2, "0032", "350")->setAnswer("MGC", "=short");
    h.Unit(4, Modem1, "0041", "310");
    auto* d = h.Unit(4, Modem2, "0044", "370");
    h.setup.rec(3).IdText = "EAST-2";
    h.setup.rec(4).IdText = "WEST-2";
    Logged(h, 2);
    EveryMinutes(h, 10, 5);
    const std::string cfg = Alphabet(130, 'A');
    d->setAnswer("MGC", "=" + cfg);
    h.Start();
    ASSERT_TRUE(RunOneLog(h));
    EXPECT_FALSE(std::filesystem::exists(h.dir.path() / "0012.txt"));
    const std::string f32 = h.dir.read("0032.txt");
    EXPECT_EQ(f32.substr(0, f32.find("CID")),
              Lines({"Link ID : EAST-2   Local Modem 2", " ", "Auto Log at 06/12/2026 09:05:00"}));
    // A short configuration answer: characters 2 to 28 and 29 to 79 (nothing there).
    EXPECT_NE(f32.find("Glbl: short\r\nGlbl: \r\n"), std::string::npos) << f32;
    const std::string f41 = h.dir.read("0041.txt");
    EXPECT_EQ(f41.substr(0, f41.find(" \r\n")), Lines({"Link ID : WEST-2   Distant Modem 1"}));
    // A 5-character fault answer: three fault lines, no open network.
    EXPECT_NE(f41.find("RX  : Rx traffic OK\r\nLogE: "), std::string::npos) << f41;
    EXPECT_EQ(f41.find("ONet"), std::string::npos);
    // 100 characters or more: characters 2 to 41 and 42 to 191.
    const std::string f44 = h.dir.read("0044.txt");
    EXPECT_EQ(f44.substr(0, f44.find(" \r\n")), Lines({"Link ID : WEST-2   Distant Modem 2"}));
    EXPECT_NE(f44.find(Lines({"Glbl: " + cfg.substr(0, 40), "Glbl: " + cfg.substr(40)})),
              std::string::npos)
        << f44;
}

TEST(AutoLog, ReadOnlyFileIsMadeWritableAndLogged) {
    PollHarness h;
    h.bus.setLatencyMs(0);
    auto* m = LoggedModem(h, 9, 4);
    m->setStatisticsInterval(0);
    m->setAnswer("RNE", "*");
    const auto path = h.dir.path() / "0012.txt";
    TextFile::append(path, {"Link ID : old"});
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    h.capture.ToggleCapture();
    h.Start();
    ASSERT_TRUE(RunOneLog(h));
    h.capture.ToggleCapture();

    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0644));
    EXPECT_EQ(h.dir.read("0012.txt"),
              Lines({"Link ID : old", " ", "Auto Log at 06/12/2026 09:05:00", "Unit: OK",
                     "TX  : Tx traffic OK", "RX  : Rx traffic OK", "ONet: OK"}));
    const std::string capture = h.dir.read(CaptureFileName);
    EXPECT_NE(capture.find("[ALog]file is ReadOnly: " + path.string()), std::string::npos)
        << capture;
    EXPECT_NE(capture.find("[ALog] start at 06/12/2026 09:05:00"), std::string::npos);
    EXPECT_NE(capture.find("[ALog] Link 1, modem 1"), std::string::npos);
}

TEST(AutoLog, ConfigurationChangeReportedByTheSummaryPollIsLogged) {
    for (const char* model : {"350", "330", "310"}) {
        SCOPED_TRACE(model);
        PollHarness h;
        StartAt(h, 9, 0);
        auto* m = h.Unit(1, Modem1, "0012", model);
        auto* other = h.Unit(3, Modem1, "0030", "350");
        h.Unit(1, Transceiver1, "0013", "VORN");
        Logged(h, 1);
        const std::string cfg = Alphabet(90, 'a');
        m->setConfig(cfg);
        other->setConfig(cfg); // link 2 is not logged: no change log
        h.Start();
        ASSERT_TRUE(h.RunRequests(6));
        EXPECT_EQ(h.SentSince(0),
                  (std::vector<std::string>{"<0012/FLT?", "<0012/MGC?", "<0013/SFS?", "<0030/FLT?",
                                            "<0012/FLT?", "<0013/SFS?"}));
        // No header in a file made by a change log; characters 2 to 28 and 29 to 83.
        EXPECT_EQ(h.dir.read("0012.txt"),
                  Lines({" ", "Change of configuration  06/12/2026 09:00:00",
                         "Glbl: " + cfg.substr(0, 27), "Glbl: " + cfg.substr(27, 55)}));
        EXPECT_FALSE(std::filesystem::exists(h.dir.path() / "0030.txt"));
    }
}

TEST(AutoLog, ConfigurationChangeAfterADetailWindowIsLogged) {
    PollHarness h;
    FakeWindows windows(h);
    StartAt(h, 9, 0);
    auto* m = h.Unit(1, Modem1, "0012", "370");
    h.Unit(2, Modem1, "0022", "350");
    Logged(h, 1);
    const std::string cfg = Alphabet(120, 'A');
    m->setAnswer("MGC", "=" + cfg);
    OpenLink(h);
    DoubleClickUnit(h, windows, "LblMod1L");
    windows.onClose(true);
    size_t mark = h.port.sent.size();
    ASSERT_TRUE(TicksUntil(h, 200, [&] { return h.cycle.tx.CurrentMode == Modes::OneLink; }) >= 0);
    EXPECT_EQ(h.SentSince(mark), (std::vector<std::string>{"<0012/MGC?"}));
    // The detail sequence writes the long form of the configuration lines.
    const std::string entry = Lines({" ", "Change of configuration  06/12/2026 09:00:00",
                                     "Glbl: " + cfg.substr(0, 40), "Glbl: " + cfg.substr(40)});
    EXPECT_EQ(h.dir.read("0012.txt"), entry);

    // Closed without a change, but the modem's answer carries the mark.
    m->setAnswer("FLT", "=000001");
    DoubleClickUnit(h, windows, "LblMod1L");
    windows.onClose(false);
    mark = h.port.sent.size();
    ASSERT_TRUE(TicksUntil(h, 200, [&] { return h.cycle.tx.CurrentMode == Modes::OneLink; }) >= 0);
    EXPECT_EQ(h.SentSince(mark), (std::vector<std::string>{"<0012/FLT?", "<0012/MGC?"}));
    const std::string all = h.dir.read("0012.txt");
    EXPECT_EQ(all.substr(0, entry.size()), entry);
    EXPECT_NE(all.find("Change of configuration", entry.size()), std::string::npos);
}

TEST(AutoLog, LogFileThatCannotBeWrittenIsReportedOnceAndSkipped) {
    PollHarness h;
    h.bus.setLatencyMs(0);
    auto* m = LoggedModem(h, 9, 4, 50);
    h.Unit(1, Modem2, "0014", "350");
    h.Unit(1, Transceiver1, "0013", "VORN");
    // Nothing can be appended to a folder that stands where the unit's file should be.
    std::filesystem::create_directory(h.dir.path() / "0012.txt");
    // The main window's timer: a failure that escapes a tick is reported and the
    // timer goes on.
    auto tick = [&] {
        h.clock.advanceMs(kTickMs);
        h.port.Pump();
        h.screen.guarded([&] { h.cycle.Tick(); });
    };
    h.Start();
    auto& al = h.cycle.autoLog();
    for (bool in : {false, true})
        for (int i = 0; i < 2000 && al.InAutoLog == in; ++i)
            tick();
    EXPECT_FALSE(al.InAutoLog);
    ASSERT_EQ(h.op.reports.size(), 1u);
    EXPECT_NE(h.op.reports[0].find("I/O error"), std::string::npos);
    // The other modem of the link is logged all the same, and polling resumes.
    EXPECT_NE(h.dir.read("0014.txt").find("Auto Log at 06/12/2026 09:05:00"), std::string::npos);
    const long before = h.Count("<0013/SFS?");
    for (int i = 0; i < 40; ++i)
        tick();
    EXPECT_GT(h.Count("<0013/SFS?"), before);

    // A change of configuration that cannot be logged: reported once, the poll goes on.
    h.setup.AutoLogEnabled = false;
    m->setConfig(std::string(90, 'c'));
    const long polled = h.Count("<0013/SFS?");
    for (int i = 0; i < 200; ++i)
        tick();
    // Reported once more (0014.txt was written meanwhile), not at every poll of the modem.
    EXPECT_EQ(h.op.reports.size(), 2u);
    EXPECT_GE(h.Count("<0013/SFS?"), polled + 3);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::AllLinks);
}

TEST(AutoLog, ALogThatNeverSaysItIsDoneIsReadAHundredTimesAndTheRunEnds) {
    const std::string events = "=1F11061226075230,000000000000000,000000000000000,"
                               "000000000000000,000000000000000,";
    // A unit whose event log never ends; one whose statistics never end get their full
    // share after two reads of the event log and its end.
    for (auto [rne, rns, events_read, stats_read] :
         {std::tuple{events, "", 100, 1}, {"", "=1F11061226075230000000000000,", 3, 100}}) {
        PollHarness h;
        StartAt(h, 9, 59, 50);
        auto* m = h.Unit(1, Modem1, "0012", "350");
        if (!rne.empty())
            m->setAnswer("RNE", rne);
        for (int i = 0; rne.empty() && i < 6; ++i)
            m->addEvent('F', '1', '2', 1000 * i);
        if (*rns)
            m->setAnswer("RNS", rns);
        Logged(h, 1);
        EveryMinutes(h, 10, 0);
        h.Start();
        ASSERT_TRUE(RunOneLog(h));
        EXPECT_EQ(h.Count("<0012/RNE?"), events_read);
        if (stats_read == 1)
            EXPECT_GE(h.Count("<0012/RNS?"), 1);
        else
            EXPECT_EQ(h.Count("<0012/RNS?"), stats_read);
        EXPECT_LT(h.cycle.StepNo, 200); // polling goes on
    }
}

TEST(AutoLog, AChangeLogThatIsPreemptedStaysWithItsUnitAndIsLoggedLater) {
    PollHarness h;
    StartAt(h, 9, 0);
    auto* m = h.Unit(1, Modem1, "0012", "350");
    auto* silent = h.Unit(3, Modem1, "0030", "350");
    h.setup.rec(3).TimeoutText = "1";
    Logged(h, 1);
    Logged(h, 2);
    m->setConfig(std::string(90, 'c'));
    silent->inject(sim::Injection::silence());
    h.Start();
    // The change is seen; before its log starts the operator opens link 2.
    ASSERT_TRUE(TicksUntil(h, 200, [&] { return h.cycle.StepNo == 403; }) >= 0);
    ASSERT_TRUE(h.screen.doubleClick(SummaryScreen::IconName(3)));
    ASSERT_TRUE(TicksUntil(h, 50, [&] { return h.cycle.tx.CurrentMode == Modes::OneLink; }) >= 0);
    // Link 2's silent modem times out: its change log is not started for it.
    h.Ticks(60);
    EXPECT_EQ(h.Count("<0030/MGC?"), 0);
    EXPECT_FALSE(std::filesystem::exists(h.dir.path() / "0030.txt"));
    // Back on all links the unit still shows its mark and its change is logged then.
    h.cycle.RequestMode(Modes::AllLinks);
    const auto logged = [&] {
        return std::filesystem::exists(h.dir.path() / "0012.txt") &&
               h.dir.read("0012.txt").find("Change of configuration") != std::string::npos;
    };
    EXPECT_GE(TicksUntil(h, 400, logged), 0);
}

TEST(AutoLog, TheSwitchWindowDoesNotOpenInTheMiddleOfARun) {
    PollHarness h;
    StartAt(h, 8, 59, 58);
    h.Unit(1, Modem1, "0012", "350");
    h.Unit(41, Modem1, "1000", "420");
    Logged(h, 1);
    EveryMinutes(h, 60, 0);
    h.Start();
    ASSERT_TRUE(TicksUntil(h, 400, [&] { return h.cycle.autoLog().InAutoLog; }) >= 0);
    EXPECT_TRUE(h.screen.doubleClick(SummaryScreen::IconName(41)));
    EXPECT_TRUE(h.op.questions.empty()); // no window, not even "no window yet"
    EXPECT_TRUE(h.cycle.TimerEnabled());
    ASSERT_TRUE(TicksUntil(h, 4000, [&] { return !h.cycle.autoLog().InAutoLog; }) >= 0);
    EXPECT_EQ(h.Count("<1000/EID?"), 0);
}
