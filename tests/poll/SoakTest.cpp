// A long stretch of polling a full installation on the fake clock: twenty links with every
// unit at both ends, both switches with their redundant modems, 1:1 pairs, logged links
// and automatic logging every ten minutes, with random faults, silence, garbage, late and
// misaddressed replies from the simulator.

#include "PollHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_SANITIZED 1
#endif
#endif

using namespace linvar;

namespace {

// A week; three hours in the sanitizer build. LINVAR_SOAK_HOURS sets another span.
#ifdef SOAK_SANITIZED
constexpr int kDefaultHours = 3;
#else
constexpr int kDefaultHours = 7 * 24;
#endif

int SoakHours() {
    if (const char* v = std::getenv("LINVAR_SOAK_HOURS"); v && std::atoi(v) > 0)
        return std::atoi(v);
    return kDefaultHours;
}

constexpr int kTimeoutMs = 1000;
constexpr int kInterval = 10;
constexpr int kOffset = 3;

// Watches the line: one request at a time, each answered or timed out.
class WatchingPort : public RequestPort {
public:
    WatchingPort(sim::Bus& bus, FakeClock& clock) : bus_(bus), clock_(clock) {}

    void WriteRequest(const std::string& text) override {
        const int64_t now = clock_.monotonicMs();
        if (outstanding_ && !answered_) {
            if (now - sentAt_ <= kTimeoutMs)
                ++overlapping;
            else
                ++timedOut;
        }
        ++written;
        outstanding_ = true;
        answered_ = false;
        address_ = text.substr(1, 4);
        mnemonic_ = text.substr(6, 3);
        sentAt_ = now;
        received_.clear();
        bus_.receive(text + "\r", now);
    }
    const std::string& ReceivedMessage() const override { return received_; }

    void Pump() {
        for (char b : bus_.poll(clock_.monotonicMs())) {
            if (!framer_.feed(b))
                continue;
            received_ = framer_.message();
            if (outstanding_ && !answered_ && received_.compare(1, 4, address_) == 0 &&
                received_.compare(6, 3, mnemonic_) == 0) {
                answered_ = true;
                ++answered;
            }
        }
    }
    bool Unresolved() const { return outstanding_ && !answered_; }

    uint64_t written = 0, answered = 0, timedOut = 0, overlapping = 0;

private:
    sim::Bus& bus_;
    FakeClock& clock_;
    MessageFramer framer_{'>', '\n', 0};
    std::string received_;
    bool outstanding_ = false;
    bool answered_ = false;
    std::string address_, mnemonic_;
    int64_t sentAt_ = 0;
};

struct Installation {
    TempDir dir;
    FakeClock clock{{2026, 12, 6, 0, 0, 0, 0}};
    sim::Bus bus{7};
    WatchingPort port{bus, clock};
    SystemSetup setup;
    SummaryScreen screen;
    ScriptedOperator op;
    PrintState print;
    Capture capture{clock, dir.path()};
    PollCycle cycle{{setup, port, capture, clock, print, screen, op, dir.path()}};
    std::vector<std::string> loggedModems;
    std::vector<sim::Unit*> units;

    static std::string Address(int record, int slot) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%02d%02d", record, slot + 1);
        return buf;
    }

    Installation() {
        screen.setErrorReporter([this](const std::string& t) { op.report(t); });
        bus.setClockAtZero(sim::civilSeconds(2026, 12, 6, 0, 0, 0));
        bus.setLatencyMs(20);
        bus.setRandomFaultRate(0.002);
        static const char* modems[] = {"350", "370", "330", "310"};
        static const char* xcvrs[] = {"VORN", "YRAN", "PLD"};
        for (int r = 1; r <= 40; ++r) {
            EndRecord& e = setup.rec(r);
            e.IdText = "END-" + std::to_string(r);
            e.TimeoutText = std::to_string(kTimeoutMs / 1000);
            e.DelayText = r % 7 == 0 ? "120" : "50";
            for (int slot = 0; slot < UnitSlotCount; ++slot) {
                const std::string a = Address(r, slot);
                e.addr(slot) = a;
                units.push_back(
                    bus.add(a, slot <= Modem2 ? modems[(r + slot) % 4] : xcvrs[(r + slot) % 3]));
            }
        }
        for (int n = 5; n <= 20; n += 5) {
            setup.rec(2 * n).PairFlag = "1";
            bus.find(Address(2 * n, Modem1))->setPartner(bus.find(Address(2 * n, Modem2)));
        }
        for (int n = 2; n <= 20; n += 3) {
            setup.rec(2 * n).InfoText = "Log";
            for (int r : {2 * n - 1, 2 * n})
                for (int slot : {Modem1, Modem2})
                    loggedModems.push_back(Address(r, slot));
        }
        for (int s = 1; s <= 2; ++s) {
            const int sw = SystemSetup::SwitchRecord(s);
            for (int r : {sw, sw + 1}) {
                setup.rec(r).Mod1Addr = "900" + std::to_string(r - 40);
                setup.rec(r).TimeoutText = "1";
                units.push_back(bus.add(setup.rec(r).Mod1Addr, r == sw ? "420" : "350"));
            }
        }
        // Now and then a unit misbehaves on the wire.
        auto sometimes = [](sim::Injection i, double p) {
            i.probability = p;
            return i;
        };
        for (auto* u : units) {
            u->inject(sometimes(sim::Injection::silence(), 0.002));
            u->inject(sometimes(sim::Injection::garbageBytes(), 0.005));
            u->inject(sometimes(sim::Injection::late(300), 0.005));
            u->inject(sometimes(sim::Injection::late(2500), 0.001)); // after its timeout
            u->inject(sometimes(sim::Injection::wrongAddress(), 0.0005));
            u->inject(sometimes(sim::Injection::echo(), 0.002));
            u->inject(sometimes(sim::Injection::refuse('*'), 0.001));
        }
        setup.AutoLogEnabled = true;
        setup.AutoLogIntervalMinutes = kInterval;
        setup.AutoLogOffsetIndex = kOffset;
        setup.RecomputeAnyEndActive();
        setup.ResetDisplayColours();
        cycle.StartPolling();
    }

    void Tick() {
        clock.advanceMs(kTickMs);
        port.Pump();
        cycle.Tick();
    }
};

} // namespace

TEST(Soak, DaysOfPollingAFullInstallation) {
    Installation in;
    const int hours = SoakHours();
    const int64_t ticks = int64_t{hours} * 3600 * 1000 / kTickMs;
    const size_t injections = in.units.front()->injectionCount();
    std::mt19937 rng(11);

    int runs = 0, ends = 0, badMinutes = 0;
    int64_t runStart = 0, longestRun = 0, lastRunStart = -600000;
    bool wasLogging = false;
    size_t maxPending = 0;
    for (int64_t i = 0; i < ticks || in.cycle.autoLog().InAutoLog; ++i) {
        in.Tick();
        const int64_t now = in.clock.monotonicMs();
        const bool logging = in.cycle.autoLog().InAutoLog;
        if (logging && !wasLogging) {
            ++runs;
            const int minute = in.clock.now().minuteOfDay();
            if ((minute - kOffset) % kInterval != 0 || now - lastRunStart < 60000)
                ++badMinutes;
            runStart = lastRunStart = now;
        } else if (!logging && wasLogging) {
            ++ends;
            longestRun = std::max(longestRun, now - runStart);
        }
        wasLogging = logging;
        maxPending = std::max(maxPending, in.bus.pendingReplies());
        // Every half hour a modem somewhere gets a new configuration.
        if (i % 36000 == 17999) {
            auto* u = in.units[rng() % in.units.size()];
            if (u->isModem())
                u->setConfig(std::string(60, static_cast<char>('A' + rng() % 26)), now);
        }
        ASSERT_EQ(in.port.overlapping, 0u) << "at tick " << i;
    }

    // Every request was answered or timed out.
    EXPECT_EQ(in.port.written,
              in.port.answered + in.port.timedOut + (in.port.Unresolved() ? 1u : 0u));
    EXPECT_GT(in.port.timedOut, 0u); // the injected faults did happen
    EXPECT_GT(in.port.answered, in.port.written * 9 / 10);
    EXPECT_EQ(in.port.written, in.bus.requestCount());

    // Every run started at a matching minute, once, and ended within its interval.
    EXPECT_EQ(runs, hours * 60 / kInterval);
    EXPECT_EQ(ends, runs);
    EXPECT_EQ(badMinutes, 0);
    EXPECT_LT(longestRun, kInterval * 60000);

    // Nothing piles up: the simulator's queues, its logs, the injections, the operator.
    EXPECT_LE(maxPending, 4u);
    EXPECT_LE(in.bus.requestLog().size(), sim::Bus::requestLogCapacity);
    for (auto* u : in.units) {
        EXPECT_LE(u->events().size(), sim::Unit::eventCapacity);
        EXPECT_LE(u->statistics().size(), sim::Unit::statisticsCapacity);
        EXPECT_EQ(u->injectionCount(), injections);
    }
    EXPECT_TRUE(in.op.questions.empty());
    EXPECT_TRUE(in.op.reports.empty()) << in.op.reports.front();
    EXPECT_FALSE(in.capture.CaptureOn());

    // One log file for every modem of a logged link, each written by every run.
    std::vector<std::string> files;
    for (const auto& f : std::filesystem::directory_iterator(in.dir.path()))
        files.push_back(f.path().filename().string().substr(0, 4));
    std::sort(files.begin(), files.end());
    std::sort(in.loggedModems.begin(), in.loggedModems.end());
    EXPECT_EQ(files, in.loggedModems);
    const std::string one = in.dir.read(in.loggedModems.front() + ".txt");
    size_t entries = 0;
    for (size_t p = one.find("Auto Log at "); p != std::string::npos;
         p = one.find("Auto Log at ", p + 1))
        ++entries;
    EXPECT_EQ(entries, static_cast<size_t>(runs));
}
