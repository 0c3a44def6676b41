// The readings pass and history on a full installation (twenty links with every unit at
// both ends, both switches with their redundant modems), answered by the in-process
// simulator on a fake clock. Prints, for readings off and on:
//   - the summary cycle's length (between two summary requests to the first unit),
//     mean and longest, and how long one readings pass takes to go round;
//   - the processor time of the station per simulated minute (the writer thread's too);
// then the size of the history after a simulated year at the default interval and
// retention: every series with a year of hourly summaries and the raw days of readings
// every five minutes.
//
//   bench_readings [MINUTES]      simulated minutes of polling each way (default 60)

#include "FullInstallation.h"
#include "poll/PollHarness.h"

#include "poll/ReadingsPass.h"
#include "readings/Readings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace linvar;

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Figures {
    double meanCycleMs = 0;
    int64_t longestCycleMs = 0;
    int passes = 0;
    int64_t passMs = 0;
    double cpuMsPerMinute = 0;
    size_t series = 0;
};

Figures Poll(bool readingsOn, int minutes) {
    PollHarness h;
    h.clock.set({2026, 12, 6, 0, 0, 0, 0});
    h.bus.setClockAtZero(sim::civilSeconds(2026, 12, 6, 0, 0, 0));
    h.bus.setMoving(true);
    h.port.keep = false;
    std::vector<int64_t> starts;
    h.port.onWrite = [&](const std::string& text) {
        if (text == "<0101/FLT?")
            starts.push_back(h.clock.monotonicMs());
    };
    FullInstallation(h.setup, h.bus, {.pairs = false});
    std::unique_ptr<Readings> readings;
    std::set<std::pair<std::string, std::string>> series;
    if (readingsOn) {
        readings = std::make_unique<Readings>(h.clock, h.dir.path(), ReadingsSettings{});
        h.cycle.readings().SetInterval(ReadingsSettings{}.intervalMs);
        h.cycle.readings().onReading = [&](const ReadingSample& s) {
            std::vector<ThresholdEvent> events;
            readings->Take(s, events);
            series.insert({s.address, s.row->id});
        };
    }
    h.cycle.StartPolling();
    const double cpu0 = CpuSeconds();
    for (long i = 0; i < minutes * 60L * 20; ++i)
        h.Tick();
    if (readings)
        readings->History().Flush();
    Figures f;
    f.cpuMsPerMinute = (CpuSeconds() - cpu0) * 1000 / minutes;
    for (size_t i = 1; i < starts.size(); ++i)
        f.longestCycleMs = std::max(f.longestCycleMs, starts[i] - starts[i - 1]);
    if (starts.size() > 1)
        f.meanCycleMs = static_cast<double>(starts.back() - starts.front()) /
                        static_cast<double>(starts.size() - 1);
    f.passes = h.cycle.readings().PassesDone();
    f.passMs = h.cycle.readings().LastPassMs();
    f.series = series.size();
    return f;
}

// A year of hourly summaries of every series and the raw days of readings every five
// minutes: the history at the default settings after a year.
double YearMegabytes(size_t seriesCount, const std::filesystem::path& dir) {
    const auto file = dir / "Year.sqlite";
    std::filesystem::remove(file);
    const ReadingsSettings defaults;
    {
        ReadingsDatabase db(file, {defaults.retentionDays, defaults.rawDays});
        const int64_t start = 20793LL * 86400000; // 2026-12-06
        const int64_t rawFrom = start + (365LL - defaults.rawDays) * 86400000;
        const int64_t end = start + 365LL * 86400000;
        const int64_t step = 300000;
        for (int64_t t = start; t < end; t += t < rawFrom ? 3600000 : step) {
            for (size_t s = 0; s < seriesCount; ++s) {
                const UnitOfRecord unit{
                    InstallationAddress(static_cast<int>(s / 8 + 1), static_cast<int>(s % 4)),
                    static_cast<int>(s / 16 + 1), s % 2 ? "DISTANT" : "LOCAL",
                    "Modem 1, Local end"};
                db.Add(unit, {"kind" + std::to_string(s % 8), "Reading", "dB"}, t,
                       10.0 + static_cast<double>((t / step + static_cast<int64_t>(s)) % 37) / 10);
            }
            if ((t - start) % (30LL * 86400000) == 0)
                db.Flush();
        }
        db.Flush();
    }
    std::error_code ec;
    double bytes = static_cast<double>(std::filesystem::file_size(file, ec));
    for (const char* extra : {"-wal", "-shm"}) {
        const auto more = std::filesystem::path(file.string() + extra);
        if (std::filesystem::exists(more))
            bytes += static_cast<double>(std::filesystem::file_size(more, ec));
    }
    return bytes / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 60;
    const TempDir dir;
    const Figures off = Poll(false, minutes);
    const Figures on = Poll(true, minutes);
    std::printf("full installation, %d simulated minutes each way, default interval 5 min\n",
                minutes);
    std::printf("summary cycle, readings off: mean %.0f ms, longest %lld ms\n", off.meanCycleMs,
                static_cast<long long>(off.longestCycleMs));
    std::printf(
        "summary cycle, readings on:  mean %.0f ms, longest %lld ms (%+.1f %% mean, "
        "%+.1f %% longest; goal at most +10 %%)\n",
        on.meanCycleMs, static_cast<long long>(on.longestCycleMs),
        100 * (on.meanCycleMs / off.meanCycleMs - 1),
        100 *
            (static_cast<double>(on.longestCycleMs) / static_cast<double>(off.longestCycleMs) - 1));
    std::printf("readings passes completed %d, the last took %.1f min, %zu series\n", on.passes,
                static_cast<double>(on.passMs) / 60000, on.series);
    std::printf("station CPU per simulated minute: off %.1f ms, on %.1f ms (%+.1f %%; goal within "
                "10 %%)\n",
                off.cpuMsPerMinute, on.cpuMsPerMinute,
                100 * (on.cpuMsPerMinute / off.cpuMsPerMinute - 1));
    const double mb = YearMegabytes(on.series ? on.series : 480, dir.path());
    std::printf("history after a year (%zu series, hourly for the year, raw for %d days every "
                "5 min): %.1f MB (goal under 100 MB)\n",
                on.series ? on.series : size_t{480}, ReadingsSettings{}.rawDays, mb);
    return 0;
}
