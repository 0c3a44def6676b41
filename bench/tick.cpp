// Cost of one tick of the main timer for a full installation: twenty links with every
// unit at both ends, both switches with their redundant modems, some 1:1 pairs and logged
// links, automatic logging every ten minutes, all answered by the in-process simulator.
// Prints the mean and the 99th percentile in nanoseconds per tick.

#include "FullInstallation.h"
#include "poll/PollHarness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace linvar;

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 2000000;
    PollHarness h;
    h.clock.set({2026, 12, 6, 0, 0, 0, 0});
    h.bus.setClockAtZero(sim::civilSeconds(2026, 12, 6, 0, 0, 0));
    h.port.keep = false;
    FullInstallation(h.setup, h.bus, {true, 3, 6, false, 10});
    h.cycle.StartPolling();

    using Clk = std::chrono::steady_clock;
    std::vector<int64_t> ns(static_cast<size_t>(ticks));
    const auto all0 = Clk::now();
    for (long i = 0; i < ticks; ++i) {
        h.clock.advanceMs(kTickMs);
        const auto t0 = Clk::now();
        h.port.Pump();
        h.cycle.Tick();
        ns[static_cast<size_t>(i)] =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clk::now() - t0).count();
    }
    const double wall = std::chrono::duration<double>(Clk::now() - all0).count();

    double sum = 0;
    for (int64_t v : ns)
        sum += static_cast<double>(v);
    std::sort(ns.begin(), ns.end());
    const auto at = [&](double q) { return ns[static_cast<size_t>(q * (ns.size() - 1))]; };
    std::printf("ticks %ld (%.1f simulated hours), %llu requests, wall %.2f s\n", ticks,
                static_cast<double>(ticks) * kTickMs / 3600000.0,
                static_cast<unsigned long long>(h.bus.requestCount()), wall);
    std::printf("ns per tick: mean %.0f  p50 %lld  p99 %lld  max %lld\n",
                sum / static_cast<double>(ns.size()), static_cast<long long>(at(0.5)),
                static_cast<long long>(at(0.99)), static_cast<long long>(ns.back()));
    return 0;
}
