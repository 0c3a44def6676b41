// The alarm journal fed by the real poll cycle against the in-process simulator.

#include "poll/PollHarness.h"

#include "alarms/AlarmJournal.h"

#include "wire/FaultTables.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace linvar;

namespace {

struct JournalRig : PollHarness {
    AlarmJournal journal{clock, setup, dir.path(), [this](const std::string& t) { op.report(t); }};
    sim::Unit* modem = nullptr;
    sim::Unit* trx = nullptr;

    JournalRig() {
        setup.rec(1).IdText = "PARIS-1";
        modem = Unit(1, Modem1, "0012", "350");
        trx = Unit(1, Transceiver1, "0030", "VORN");
        cycle.onUnitState = [this](const UnitStateEvent& e) { journal.Observe(e); };
        journal.Rebuild();
    }
    // One more pass over the end: both units answer (or time out).
    void Pass() {
        ASSERT_TRUE(RunRequests(2, 4000));
        Ticks(2);
        journal.Tick();
    }
    std::vector<std::string> File() const {
        return TextFile::readLines(dir.path() / AlarmJournal::FileName(clock.now()))
            .value_or(std::vector<std::string>{});
    }
};

} // namespace

TEST(AlarmJournal, AFaultNoCommunicationAndRecoveryGiveTheseLines) {
    JournalRig h;
    h.Start();
    h.Pass(); // all well at start-up: nothing to say
    EXPECT_TRUE(h.File().empty());

    h.modem->setFaults("110");
    h.Pass();
    h.modem->inject(sim::Injection::silence());
    h.Pass();
    h.modem->clearInjections();
    h.modem->setFaults("000");
    h.Pass();
    h.modem->setConfig("NEWCONFIG", h.clock.monotonicMs());
    h.Pass();
    h.Pass(); // the mark is still up: one report only

    const std::vector<std::string> lines = h.File();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], AlarmJournal::kHeader);
    EXPECT_EQ(lines[1].substr(10), ",09:00:00,State,1,LOCAL,Modem 1,0012,PARIS-1,No fault,Fault,"
                                   "5V PSU; No clock from terr. interface");
    EXPECT_EQ(lines[2].substr(19), ",State,1,LOCAL,Modem 1,0012,PARIS-1,Fault,No communication,");
    EXPECT_EQ(lines[3].substr(19),
              ",State,1,LOCAL,Modem 1,0012,PARIS-1,No communication,No fault,");
    EXPECT_EQ(lines[4].substr(19),
              ",Configuration,1,LOCAL,Modem 1,0012,PARIS-1,,,Configuration changed");
    EXPECT_TRUE(h.journal.Active().empty());
    EXPECT_TRUE(h.op.reports.empty());
}

// The summary identifies no unit: the reply's own shape says which texts read it, not the
// window that was opened last.
TEST(AlarmJournal, AFaultIsNamedByTheTextsOfItsReplysShape) {
    JournalRig h;
    ModelCodeScope lastWindow(370);
    h.journal.Observe({1, Modem1, 3, "=C001", false}); // an MQX-310's reply
    const std::vector<std::string> lines = h.File();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(lines[1].rfind(',') + 1), "PiV IP module");
}

TEST(AlarmJournal, QuotingFollowsTheSpreadsheetRulesAndReadsBack) {
    AlarmEntry e;
    e.at = {2026, 12, 6, 23, 59, 58, 0};
    e.event = "State";
    e.record = 44;
    e.linkId = "A,\"B\"\x80"; // as the set-up files hold it
    e.to = "Fault";
    e.detail = "line\r\nbreak";
    const std::string line = AlarmJournal::CsvLine(e);
    EXPECT_EQ(line, "2026-12-06,23:59:58,State,,,Redundant modem 2,,\"A,\"\"B\"\"\u20AC\",,Fault,"
                    "\"line\r\nbreak\"");
    const auto back = AlarmJournal::ParseLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->record, 44);
    EXPECT_EQ(back->linkId, "A,\"B\"\x80");
    EXPECT_EQ(back->detail, "line\r\nbreak");
    // A line written before the journal was UTF-8 keeps its 8-bit link ID.
    const auto old = AlarmJournal::ParseLine("2026-12-06,09:00:00,State,1,LOCAL,Modem 1,0012,"
                                             "PAR\xC9S,No fault,Fault,");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->linkId, "PAR\xC9S");
    // What is not a line of ours is skipped at start-up, never taken for some other unit.
    EXPECT_FALSE(AlarmJournal::ParseLine(AlarmJournal::kHeader));
    EXPECT_FALSE(AlarmJournal::ParseLine("2026-12-06,09:00:00,State,21,LOCAL,Modem 1,,,,Fault,"));
    EXPECT_FALSE(AlarmJournal::ParseLine("2026-12-06,09:00:00,State,2,LOCAL,Switch 1,,,,Fault,"));
    EXPECT_FALSE(AlarmJournal::ParseLine("2026-12-06,09:00:00,State,2,\"LOCAL,,,,Fault,"));
    const auto distant =
        AlarmJournal::ParseLine("2026-12-06,09:00:00,State,20,DISTANT,Transceiver 2,,,,Fault,");
    ASSERT_TRUE(distant);
    EXPECT_EQ(distant->record, 40);
    EXPECT_EQ(distant->slot, Transceiver2);
}

TEST(AlarmJournal, AcknowledgeIsJournalledAndARestartKeepsActiveAlarmsAndTheirAcks) {
    auto h = std::make_unique<JournalRig>();
    h->Start();
    h->Pass();
    h->modem->setFaults("100");
    h->trx->setFaults("1");
    h->Pass();
    ASSERT_EQ(h->journal.Active().size(), 2u);
    EXPECT_EQ(h->journal.UnacknowledgedCount(), 2);

    h->clock.advanceMs(5000);
    h->journal.Acknowledge({{1, Modem1}});
    h->journal.Acknowledge({{1, Modem1}}); // twice: journalled once
    EXPECT_EQ(h->journal.UnacknowledgedCount(), 1);
    const auto lines = h->File();
    EXPECT_EQ(lines.back().substr(11),
              "09:00:" + lines.back().substr(17, 2) +
                  ",Acknowledged,1,LOCAL,Modem 1,0012,PARIS-1,Fault,Fault,");
    EXPECT_EQ(std::count_if(
                  lines.begin(), lines.end(),
                  [](const std::string& l) { return l.find("Acknowledged") != std::string::npos; }),
              1);

    // A restart: the same folder, a new station.
    JournalRig again;
    std::filesystem::copy(h->dir.path() / AlarmJournal::FileName(h->clock.now()), again.dir.path());
    again.clock.set(h->clock.now());
    again.journal.Rebuild();
    const auto& active = again.journal.Active();
    ASSERT_EQ(active.size(), 2u);
    const auto unit = [&](int slot) {
        return *std::find_if(active.begin(), active.end(),
                             [&](const ActiveAlarm& a) { return a.slot == slot; });
    };
    EXPECT_EQ(unit(Modem1).state, "Fault");
    EXPECT_TRUE(unit(Modem1).acknowledged);
    EXPECT_FALSE(unit(Transceiver1).acknowledged);
    EXPECT_EQ(unit(Modem1).since, h->journal.Active()[0].since);

    // The same states polled again say nothing new; the repair does.
    again.modem->setFaults("100");
    again.trx->setFaults("1");
    again.Start();
    const size_t before = again.File().size();
    again.Pass();
    EXPECT_EQ(again.File().size(), before);
    again.journal.AcknowledgeAll();
    EXPECT_EQ(again.journal.UnacknowledgedCount(), 0);
    again.modem->setFaults("000");
    again.Pass();
    ASSERT_EQ(again.journal.Active().size(), 1u);
    EXPECT_EQ(again.journal.Active()[0].slot, Transceiver1);
}

TEST(AlarmJournal, AWriteFailureIsReportedOnceAndPollingGoesOn) {
    JournalRig h;
    h.Start();
    h.Pass();
    ::chmod(h.dir.path().c_str(), 0500);
    if (::access((h.dir.path() / "x").c_str(), F_OK) == 0 || ::geteuid() == 0) {
        // root writes anyway: a folder in the way of the file does the same
        ::chmod(h.dir.path().c_str(), 0700);
        std::filesystem::create_directory(h.dir.path() / AlarmJournal::FileName(h.clock.now()));
    }
    const size_t sent = h.port.sent.size();
    for (const char* f : {"100", "000", "100", "000"}) {
        h.modem->setFaults(f);
        h.Pass();
    }
    EXPECT_EQ(h.op.reports.size(), 1u);
    EXPECT_NE(h.op.reports[0].find("could not be written"), std::string::npos);
    EXPECT_GE(h.port.sent.size(), sent + 8);  // polling went on
    EXPECT_EQ(h.journal.Recent().size(), 4u); // still shown in the window
}

TEST(AlarmJournal, OldFilesGoAtStartAndAtMidnightAndTheNewDayHasItsOwnFile) {
    JournalRig h;
    for (const char* old : {"Alarms-20260906.csv", "Alarms-20260907.csv", "Alarms-20260908.csv",
                            "Alarms-20261205.csv", "Other-20200101.csv"})
        TextFile::append(h.dir.path() / old, {AlarmJournal::kHeader});
    h.clock.set({2026, 12, 6, 23, 59, 0, 0});
    h.journal.Rebuild();
    EXPECT_FALSE(TextFile::exists(h.dir.path() / "Alarms-20260906.csv"));
    h.Start();
    h.Pass();
    h.journal.Tick();
    EXPECT_TRUE(TextFile::exists(h.dir.path() / "Alarms-20260907.csv"));
    h.clock.advanceMs(60000); // 00:00 on the 7th: 90 days back is 8 September
    h.modem->setFaults("100");
    h.Pass();
    EXPECT_FALSE(TextFile::exists(h.dir.path() / "Alarms-20260907.csv"));
    EXPECT_TRUE(TextFile::exists(h.dir.path() / "Alarms-20260908.csv"));
    EXPECT_TRUE(TextFile::exists(h.dir.path() / "Alarms-20261205.csv"));
    EXPECT_TRUE(TextFile::exists(h.dir.path() / "Other-20200101.csv"));
    EXPECT_TRUE(TextFile::exists(h.dir.path() / "Alarms-20261207.csv"));
    EXPECT_FALSE(TextFile::exists(h.dir.path() / "Alarms-20261206.csv"));
}

TEST(AlarmJournal, AFlappingUnitIsJournalledOnceUntilItSettles) {
    JournalRig h;
    h.Start();
    h.Pass();
    for (int i = 0; i < 10; ++i) {
        h.modem->setFaults(i % 2 ? "000" : "100");
        h.Pass();
    }
    auto lines = h.File();
    // Five changes within the minute are journalled, the sixth makes it flap.
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_NE(lines[6].find(",Flapping,1,LOCAL,Modem 1,0012,PARIS-1,Fault,Flapping,"
                            "6 changes in a minute"),
              std::string::npos);
    ASSERT_EQ(h.journal.Active().size(), 1u);
    EXPECT_EQ(h.journal.Active()[0].state, "Flapping");

    h.modem->setFaults("100");
    h.Pass();
    EXPECT_EQ(h.File().size(), 7u);
    const int64_t calm = h.clock.monotonicMs();
    while (h.clock.monotonicMs() - calm < 61000)
        h.Pass();
    lines = h.File();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_NE(lines[7].find(",Settled,1,LOCAL,Modem 1,0012,PARIS-1,Flapping,Fault,"),
              std::string::npos);
    EXPECT_EQ(h.journal.Active()[0].state, "Fault");
}

TEST(AlarmJournal, TextsWithCommasAndQuotesSurviveTheFileAndARestart) {
    const std::string id = "A,\"B\" \x80"; // 8-bit, as the set-up files hold it
    auto h = std::make_unique<JournalRig>();
    h->setup.rec(1).IdText = id;
    h->Start();
    h->Pass();
    h->modem->setFaults("100");
    h->Pass();
    h->journal.Acknowledge({{1, Modem1}});
    EXPECT_EQ(h->File().back().substr(20),
              "Acknowledged,1,LOCAL,Modem 1,0012,\"A,\"\"B\"\" \u20AC\",Fault,Fault,");

    JournalRig again;
    std::filesystem::copy(h->dir.path() / AlarmJournal::FileName(h->clock.now()), again.dir.path());
    again.clock.set(h->clock.now());
    again.journal.Rebuild();
    ASSERT_EQ(again.journal.Active().size(), 1u);
    EXPECT_EQ(again.journal.Active()[0].linkId, id);
    EXPECT_TRUE(again.journal.Active()[0].acknowledged);
    ASSERT_FALSE(again.journal.Recent().empty());
    EXPECT_EQ(again.journal.Recent().back().linkId, id);
    EXPECT_EQ(again.journal.Recent().back().event, "Acknowledged");
}
