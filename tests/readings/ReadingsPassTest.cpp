// The readings pass on the wire: nothing new while off (see the pace); when on, which units are
// asked what, once an interval has passed and a summary cycle has completed; units that do not
// answer and refused requests; the summary's pace; a view change in the middle.

#include "poll/PollHarness.h"

#include "poll/ReadingsPass.h"
#include "readings/Thresholds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

using namespace linvar;

namespace {

const std::set<std::string> kSummary = {"FLT?", "SFS?", "RED?", "ONL?", "OUS?"};
using Asked = std::map<std::string, std::vector<std::string>>;

std::string AddressOf(const std::string& request) {
    return request.substr(1, 4);
}
std::string CommandOf(const std::string& request) {
    return request.substr(6);
}

// Link 1: an MQX-350 and a VORN at the LOCAL end, an MQX-370 and a PLD at the DISTANT
// end; switch 1.
struct PassRig : PollHarness {
    std::vector<ReadingSample> samples;
    explicit PassRig(int64_t intervalMs) {
        Unit(1, Modem1, "0101", "350");
        Unit(1, Transceiver1, "0103", "VORN");
        Unit(2, Modem1, "0201", "370");
        Unit(2, Transceiver1, "0203", "PLD");
        setup.rec(SystemSetup::SwitchRecord(1)).Mod1Addr = "9001";
        bus.add("9001", "420");
        cycle.readings().SetInterval(intervalMs);
        cycle.readings().onReading = [this](const ReadingSample& s) { samples.push_back(s); };
        Start();
    }
    // The requests that are not the summary's, by address, from `mark` on.
    Asked Readings(size_t mark = 0) const {
        Asked out;
        for (const std::string& r : SentSince(mark))
            if (!kSummary.count(CommandOf(r)))
                out[AddressOf(r)].push_back(CommandOf(r));
        return out;
    }
    bool RunPasses(int passes) {
        return TicksUntil(*this, 20000, [&] { return cycle.readings().PassesDone() >= passes; }) >=
               0;
    }
};

} // namespace

TEST(ReadingsPass, EachFamilyIsAskedItsStatusRequestsOnceAnIntervalHasPassed) {
    PassRig h(60000);
    h.Ticks(59 * 20);
    EXPECT_EQ(h.Readings(), Asked{}) << "nothing before the first interval";
    ASSERT_TRUE(h.RunPasses(1));
    // Identity first, once; the switch and the PLD give no readings.
    EXPECT_EQ(h.Readings(), (Asked{{"0101", {"EID?", "EBN?", "BER?", "RSL?", "RFO?", "TMP?"}},
                                   {"0103", {"RET?", "CMS?"}},
                                   {"0201", {"EID?", "EBN?", "BER?", "RSL?", "RFO?", "TMP?"}},
                                   {"0203", {"RET?"}}}));
    const size_t mark = h.port.sent.size();
    const int64_t end = h.clock.monotonicMs();
    ASSERT_TRUE(h.RunPasses(2));
    EXPECT_EQ(h.Readings(mark), (Asked{{"0101", {"EBN?", "BER?", "RSL?", "RFO?", "TMP?"}},
                                       {"0103", {"CMS?"}},
                                       {"0201", {"EBN?", "BER?", "RSL?", "RFO?", "TMP?"}}}));
    // Passes start an interval apart, not an interval after the last one ended.
    EXPECT_LT(h.clock.monotonicMs() - end, 60000);
    // The readings carry the values the units give: "address kind value", with the record.
    std::set<std::string> got;
    for (const ReadingSample& s : h.samples) {
        got.insert(s.address + " " + s.row->id + " " + ValueText(s.value));
        EXPECT_EQ(s.record, s.address[1] == '1' ? 1 : 2) << s.address;
    }
    for (const char* want :
         {"0101 ebno_db 12.3", "0101 ber 1e-07", "0101 rsl_dbm -45.0", "0101 offset_khz 1.2",
          "0101 temp_c 35.0", "0201 ebno_db 12.3", "0201 rsl_dbm -45.0", "0201 offset_khz 1.2",
          "0103 temp_c 38.0", "0103 lna_ma 45.0"})
        EXPECT_TRUE(got.count(want)) << want;
}

TEST(ReadingsPass, ReadingsWaitTheEndsDelayLikeTheSummary) {
    PassRig h(60000);
    h.setup.rec(1).DelayText = "400";
    h.cycle.readings().SetShare(1.0); // whole units in a slice
    std::vector<int64_t> at;
    for (int i = 0; i < 12000 && h.cycle.readings().PassesDone() < 1; ++i)
        for (h.Tick(); at.size() < h.port.sent.size();)
            at.push_back(h.clock.monotonicMs());
    // After a request to the LOCAL end, the next waits its 400 ms (the reply comes first).
    int after = 0;
    for (size_t i = 1; i < h.port.sent.size(); ++i) {
        const std::string before = AddressOf(h.port.sent[i - 1]);
        if ((before == "0101" || before == "0103") && !kSummary.count(CommandOf(h.port.sent[i]))) {
            ++after;
            EXPECT_GE(at[i] - at[i - 1], 400) << h.port.sent[i];
        }
    }
    EXPECT_GE(after, 6);
}

TEST(ReadingsPass, AUnitThatDoesNotAnswerIsSkippedAndARefusalIsNotAskedAgain) {
    PassRig h(60000);
    h.bus.find("0201")->inject(sim::Injection::silence());
    h.bus.find("0101")->setAnswer("RSL", "!");
    h.bus.find("0101")->setAnswer("TMP", "?");
    ASSERT_TRUE(h.RunPasses(1));
    // A unit in blue is not asked.
    EXPECT_EQ(h.Readings(), (Asked{{"0101", {"EID?", "EBN?", "BER?", "RSL?", "RFO?", "TMP?"}},
                                   {"0103", {"RET?", "CMS?"}},
                                   {"0203", {"RET?"}}}));
    const size_t mark = h.port.sent.size();
    ASSERT_TRUE(h.RunPasses(2));
    EXPECT_EQ(h.Readings(mark)["0101"], (std::vector<std::string>{"EBN?", "BER?", "RFO?"}));
    // The unit that answers again is asked its identity at the next pass.
    h.bus.find("0201")->clearInjections();
    const size_t again = h.port.sent.size();
    ASSERT_TRUE(h.RunPasses(3));
    EXPECT_EQ(h.Readings(again)["0201"].at(0), "EID?");
}

// Ten full links polled for eight minutes: the longest time between two summary requests
// to the first unit (one cycle), and the readings requests sent.
std::pair<int64_t, long> Pace(int64_t interval) {
    PollHarness h;
    static const char* modems[] = {"350", "370", "330"};
    for (int r = 1; r <= 20; ++r)
        for (int slot = 0; slot < UnitSlotCount; ++slot) {
            char a[8];
            std::snprintf(a, sizeof a, "%02d%02d", r, slot + 1);
            h.Unit(r, slot, a, slot <= Modem2 ? modems[(r + slot) % 3] : "VORN");
        }
    h.cycle.readings().SetInterval(interval);
    h.Start();
    int64_t last = -1, longest = 0;
    for (size_t i = 0, seen = 0; i < 20 * 60 * 8; ++i)
        for (h.Tick(); seen < h.port.sent.size(); ++seen)
            if (h.port.sent[seen] == "<0101/FLT?") {
                longest = last < 0 ? 0 : std::max(longest, h.clock.monotonicMs() - last);
                last = h.clock.monotonicMs();
            }
    return {longest,
            std::count_if(h.port.sent.begin(), h.port.sent.end(),
                          [](const std::string& r) { return !kSummary.count(CommandOf(r)); })};
}

TEST(ReadingsPass, TheSummaryKeepsItsPace) {
    // The pass does not fit in one cycle's share and is spread over many.
    const auto [off, none] = Pace(0);
    const auto [on, readings] = Pace(60000);
    EXPECT_EQ(none, 0);
    EXPECT_GT(readings, 50);
    // A share of the cycle, plus the one exchange that may run past it.
    EXPECT_LE(on, off * 110 / 100 + 200) << "off " << off;
}

TEST(ReadingsPass, AViewChangeCutsThePassWhichGoesOnAfterwards) {
    PassRig h(60000);
    ASSERT_GE(TicksUntil(h, 20000, [&] { return h.Readings()["0101"].size() >= 3; }), 0);
    h.cycle.ChosenLink = 1;
    h.cycle.RequestMode(Modes::OneLink);
    h.Ticks(4);
    const size_t mark = h.port.sent.size();
    h.Ticks(200);
    EXPECT_EQ(h.Readings(mark), Asked{}) << "the single-link view polls only";
    h.cycle.RequestMode(Modes::AllLinks);
    ASSERT_TRUE(h.RunPasses(1));
    const auto asked = h.Readings()["0101"];
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "EID?"), 1);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "TMP?"), 1);
}
