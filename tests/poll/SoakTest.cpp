// A long stretch of polling a full installation on the fake clock: twenty links with every
// unit at both ends, both switches with their redundant modems, 1:1 pairs, logged links
// and automatic logging every ten minutes, with random faults, silence, garbage, late and
// misaddressed replies from the simulator.

#include "FullInstallation.h"
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

constexpr int kTimeoutMs = 1000; // every end's
constexpr int kInterval = 10;

// Watches the line: one request at a time, each answered or timed out.
struct Watch {
    uint64_t written = 0, answered = 0, timedOut = 0, overlapping = 0;
    bool outstanding = false;
    std::string asked; // address and mnemonic of the request awaited
    int64_t sentAt = 0;

    Watch(SimPort& port, FakeClock& clock) {
        port.onWrite = [this, &clock](const std::string& text) {
            const int64_t now = clock.monotonicMs();
            if (outstanding)
                ++(now - sentAt <= kTimeoutMs ? overlapping : timedOut);
            ++written;
            outstanding = true;
            asked = text.substr(1, 8);
            sentAt = now;
        };
        port.onReply = [this](const std::string& reply) {
            if (outstanding && reply.compare(1, 8, asked) == 0) {
                outstanding = false;
                ++answered;
            }
        };
    }
};

struct Installation : PollHarness {
    Watch watch{port, clock};
    std::vector<sim::Unit*> units;
    std::vector<std::string> loggedModems;

    Installation() : PollHarness(7) {
        clock.set({2026, 12, 6, 0, 0, 0, 0});
        bus.setClockAtZero(sim::civilSeconds(2026, 12, 6, 0, 0, 0));
        bus.setRandomFaultRate(0.002);
        port.keep = false;
        units = FullInstallation(setup, bus, {true, 2, 3, true, kInterval});
        for (int r = 1; r <= 40; ++r)
            for (int slot : {Modem1, Modem2})
                if (setup.LinkLogged((r + 1) / 2))
                    loggedModems.push_back(InstallationAddress(r, slot));
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
        cycle.StartPolling();
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
            if ((minute - 3) % kInterval != 0 || now - lastRunStart < 60000)
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
        ASSERT_EQ(in.watch.overlapping, 0u) << "at tick " << i;
    }

    // Every request was answered or timed out.
    const Watch& w = in.watch;
    EXPECT_EQ(w.written, w.answered + w.timedOut + (w.outstanding ? 1u : 0u));
    EXPECT_GT(w.timedOut, 0u); // the injected faults did happen
    EXPECT_GT(w.answered, w.written * 9 / 10);
    EXPECT_EQ(w.written, in.bus.requestCount());

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
