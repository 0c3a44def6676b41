// The alarm journal fed by the real poll cycle against the in-process simulator.

#include "poll/PollHarness.h"

#include "alarms/AlarmJournal.h"

#include "wire/FaultTables.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace linvar;

namespace {

using Lines = std::vector<std::string>;

struct JournalRig : PollHarness {
    AlarmJournal journal{clock, setup, dir.path(), [this](const std::string& t) { op.report(t); }};
    sim::Unit* modem = nullptr;
    sim::Unit* trx = nullptr;

    explicit JournalRig(const std::string& id = "PARIS-1") {
        setup.rec(1).IdText = id;
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
    Lines File() const {
        return TextFile::readLines(dir.path() / AlarmJournal::FileName(clock.now()))
            .value_or(Lines{});
    }
    // The journal's lines after the header, without their date and time.
    Lines Events() const {
        Lines all = File();
        for (auto& l : all)
            l = l.substr(std::min(l.size(), size_t{20}));
        return all.empty() ? all : Lines(all.begin() + 1, all.end());
    }
    // Every active alarm: slot, state, link ID, the second it began and whether it was
    // acknowledged, sorted.
    Lines Alarms() const {
        Lines all;
        for (const ActiveAlarm& a : journal.Active())
            all.push_back(std::to_string(a.slot) + " " + a.state + " " + a.linkId + " " +
                          std::to_string(a.since.second) + (a.acknowledged ? " ack" : ""));
        std::sort(all.begin(), all.end());
        return all;
    }
    // A new station on this one's journal.
    std::unique_ptr<JournalRig> Restart() const {
        auto again = std::make_unique<JournalRig>(setup.rec(1).IdText);
        std::filesystem::copy(dir.path() / AlarmJournal::FileName(clock.now()), again->dir.path());
        again->clock.set(clock.now());
        again->journal.Rebuild();
        return again;
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

    EXPECT_EQ(h.File()[0], AlarmJournal::kHeader);
    EXPECT_EQ(h.File()[1].substr(0, 20), "2026-12-06,09:00:00,");
    EXPECT_EQ(h.Events(),
              (Lines{"State,1,LOCAL,Modem 1,0012,PARIS-1,No fault,Fault,"
                     "5V PSU; No clock from terr. interface",
                     "State,1,LOCAL,Modem 1,0012,PARIS-1,Fault,No communication,",
                     "State,1,LOCAL,Modem 1,0012,PARIS-1,No communication,No fault,",
                     "Configuration,1,LOCAL,Modem 1,0012,PARIS-1,,,Configuration changed"}));
    EXPECT_TRUE(h.journal.Active().empty());
    EXPECT_TRUE(h.op.reports.empty());
}

// The summary identifies no unit: the reply's own shape says which texts read it, not the
// window that was opened last.
TEST(AlarmJournal, AFaultIsNamedByTheTextsOfItsReplysShape) {
    JournalRig h;
    ModelCodeScope lastWindow(370);
    h.journal.Observe({1, Modem1, 3, "=C001", false}); // an MQX-310's reply
    EXPECT_EQ(h.Events(), Lines{"State,1,LOCAL,Modem 1,0012,PARIS-1,,Fault,PiV IP module"});
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
    EXPECT_EQ(std::tuple(back->record, back->linkId, back->detail),
              std::tuple(44, std::string("A,\"B\"\x80"), std::string("line\r\nbreak")));
    const std::string at = "2026-12-06,09:00:00,State,";
    // A line written before the journal was UTF-8 keeps its 8-bit link ID.
    const auto old = AlarmJournal::ParseLine(at + "1,LOCAL,Modem 1,0012,PAR\xC9S,No fault,Fault,");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->linkId, "PAR\xC9S");
    // What is not a line of ours is skipped at start-up, never taken for some other unit.
    for (const std::string& bad :
         {std::string(AlarmJournal::kHeader), at + "21,LOCAL,Modem 1,,,,Fault,",
          at + "2,LOCAL,Switch 1,,,,Fault,", at + "2,\"LOCAL,,,,Fault,"})
        EXPECT_FALSE(AlarmJournal::ParseLine(bad)) << bad;
    const auto distant = AlarmJournal::ParseLine(at + "20,DISTANT,Transceiver 2,,,,Fault,");
    ASSERT_TRUE(distant);
    EXPECT_EQ(std::pair(distant->record, distant->slot), std::pair(40, int(Transceiver2)));
    EXPECT_EQ(AlarmJournal::CsvLine(*distant), at + "20,DISTANT,Transceiver 2,,,,Fault,");
}

TEST(AlarmJournal, AcknowledgeIsJournalledAndARestartKeepsActiveAlarmsAndTheirAcks) {
    const std::string id = "A,\"B\" \x80"; // 8-bit, as the set-up files hold it
    JournalRig h(id);
    h.Start();
    h.Pass();
    h.modem->setFaults("100");
    h.trx->setFaults("1");
    h.Pass();
    EXPECT_EQ(h.journal.UnacknowledgedCount(), 2);
    h.clock.advanceMs(5000);
    h.journal.Acknowledge({{1, Modem1}});
    h.journal.Acknowledge({{1, Modem1}}); // twice: journalled once
    EXPECT_EQ(h.journal.UnacknowledgedCount(), 1);
    const Lines events = h.Events();
    EXPECT_EQ(events.back(),
              "Acknowledged,1,LOCAL,Modem 1,0012,\"A,\"\"B\"\" \u20AC\",Fault,Fault,");
    EXPECT_EQ(events[events.size() - 2].substr(0, 6), "State,");
    EXPECT_EQ(h.File().back().substr(0, 17), "2026-12-06,09:00:");

    auto again = h.Restart();
    EXPECT_EQ(again->Alarms(), h.Alarms());
    EXPECT_EQ(again->Alarms(), (Lines{"0 Fault " + id + " 0 ack", "2 Fault " + id + " 0"}));
    ASSERT_FALSE(again->journal.Recent().empty());
    EXPECT_EQ(again->journal.Recent().back().linkId + again->journal.Recent().back().event,
              id + "Acknowledged");

    // The same states polled again say nothing new; the repair does.
    again->modem->setFaults("100");
    again->trx->setFaults("1");
    again->Start();
    const size_t before = again->File().size();
    again->Pass();
    EXPECT_EQ(again->File().size(), before);
    again->journal.AcknowledgeAll();
    EXPECT_EQ(again->journal.UnacknowledgedCount(), 0);
    again->modem->setFaults("000");
    again->Pass();
    EXPECT_EQ(again->Alarms(), (Lines{"2 Fault " + id + " 0 ack"}));
}

TEST(AlarmJournal, OldFilesGoAtStartAndAtMidnightAndTheNewDayHasItsOwnFile) {
    JournalRig h;
    const Lines files = {"Alarms-20260906.csv", "Alarms-20260907.csv", "Alarms-20260908.csv",
                         "Alarms-20261205.csv", "Other-20200101.csv",  "Alarms-20261206.csv",
                         "Alarms-20261207.csv"};
    for (size_t i = 0; i < 5; ++i)
        TextFile::append(h.dir.path() / files[i], {AlarmJournal::kHeader});
    const auto present = [&] {
        std::string s;
        for (const auto& f : files)
            s += TextFile::exists(h.dir.path() / f) ? '1' : '0';
        return s;
    };
    h.clock.set({2026, 12, 6, 23, 59, 0, 0});
    h.journal.Rebuild();
    h.Start();
    h.Pass();
    h.journal.Tick();
    EXPECT_EQ(present(), "0111100");
    h.clock.advanceMs(60000); // 00:00 on the 7th: 90 days back is 8 September
    h.modem->setFaults("100");
    h.Pass();
    EXPECT_EQ(present(), "0011101");
}

TEST(AlarmJournal, AFlappingUnitIsJournalledOnceUntilItSettles) {
    JournalRig h;
    h.Start();
    h.Pass();
    for (int i = 0; i < 10; ++i) {
        h.modem->setFaults(i % 2 ? "000" : "100");
        h.Pass();
    }
    // Five changes within the minute are journalled, the sixth makes it flap.
    ASSERT_EQ(h.Events().size(), 6u);
    EXPECT_EQ(h.Events()[5],
              "Flapping,1,LOCAL,Modem 1,0012,PARIS-1,Fault,Flapping,6 changes in a minute");
    EXPECT_EQ(h.Alarms(), Lines{"0 Flapping PARIS-1 1"});
    h.modem->setFaults("100");
    h.Pass();
    EXPECT_EQ(h.Events().size(), 6u);
    for (const int64_t calm = h.clock.monotonicMs(); h.clock.monotonicMs() - calm < 61000;)
        h.Pass();
    ASSERT_EQ(h.Events().size(), 7u);
    EXPECT_EQ(h.Events()[6], "Settled,1,LOCAL,Modem 1,0012,PARIS-1,Flapping,Fault,");
    EXPECT_EQ(h.Alarms(), Lines{"0 Fault PARIS-1 1"});
}
