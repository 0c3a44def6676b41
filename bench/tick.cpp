// Cost of one tick of the main timer for a full installation: twenty links with every
// unit at both ends, both switches with their redundant modems, some 1:1 pairs and logged
// links, automatic logging every ten minutes, all answered by the in-process simulator.
// Prints the mean and the 99th percentile in nanoseconds per tick.

#include "Bus.h"

#include "logging/Capture.h"
#include "logging/Print.h"
#include "poll/AutoLog.h"
#include "poll/PollCycle.h"
#include "serial/Framer.h"
#include "summary/SummaryScreen.h"
#include "ui/Clock.h"
#include "ui/Operator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace linvar;

namespace {

class BenchPort : public RequestPort {
public:
    BenchPort(sim::Bus& bus, FakeClock& clock) : bus_(bus), clock_(clock) {}
    void WriteRequest(const std::string& text) override {
        received_.clear();
        bus_.receive(text + "\r", clock_.monotonicMs());
    }
    const std::string& ReceivedMessage() const override { return received_; }
    void Pump() {
        for (char b : bus_.poll(clock_.monotonicMs()))
            if (framer_.feed(b))
                received_ = framer_.message();
    }

private:
    sim::Bus& bus_;
    FakeClock& clock_;
    MessageFramer framer_{'>', '\n', 0};
    std::string received_;
};

std::string Address(int record, int slot) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%02d", record, slot + 1);
    return buf;
}

void FullInstallation(SystemSetup& setup, sim::Bus& bus) {
    static const char* modems[] = {"350", "370", "330", "310"};
    static const char* xcvrs[] = {"VORN", "YRAN", "PLD"};
    for (int r = 1; r <= 40; ++r) {
        EndRecord& e = setup.rec(r);
        e.IdText = "END-" + std::to_string(r);
        e.TimeoutText = "1";
        for (int slot = 0; slot < UnitSlotCount; ++slot) {
            const std::string a = Address(r, slot);
            e.addr(slot) = a;
            bus.add(a, slot <= Modem2 ? modems[(r + slot) % 4] : xcvrs[(r + slot) % 3]);
        }
    }
    for (int n = 5; n <= 20; n += 5) {
        setup.rec(2 * n).PairFlag = "1";
        bus.find(Address(2 * n, Modem1))->setPartner(bus.find(Address(2 * n, Modem2)));
    }
    for (int n = 3; n <= 20; n += 6)
        setup.rec(2 * n).InfoText = "Log";
    for (int s = 1; s <= 2; ++s) {
        const int sw = SystemSetup::SwitchRecord(s);
        setup.rec(sw).Mod1Addr = "900" + std::to_string(2 * s - 1);
        setup.rec(sw + 1).Mod1Addr = "900" + std::to_string(2 * s);
        bus.add(setup.rec(sw).Mod1Addr, "420");
        bus.add(setup.rec(sw + 1).Mod1Addr, "350");
    }
    setup.AutoLogEnabled = true;
    setup.AutoLogIntervalMinutes = 10;
    setup.AutoLogOffsetIndex = 3;
    setup.RecomputeAnyEndActive();
    setup.ResetDisplayColours();
}

} // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 2000000;
    std::string pattern = (std::filesystem::temp_directory_path() / "linvar-bench-XXXXXX").string();
    const std::filesystem::path dir = ::mkdtemp(pattern.data());

    FakeClock clock({2026, 12, 6, 0, 0, 0, 0});
    sim::Bus bus;
    bus.setClockAtZero(sim::civilSeconds(2026, 12, 6, 0, 0, 0));
    bus.setLatencyMs(20);
    BenchPort port(bus, clock);
    SystemSetup setup;
    SummaryScreen screen;
    ScriptedOperator op;
    PrintState print;
    Capture capture(clock, dir);
    PollCycle cycle({setup, port, capture, clock, print, screen, op, dir});
    FullInstallation(setup, bus);
    cycle.StartPolling();

    using Clk = std::chrono::steady_clock;
    std::vector<int64_t> ns(static_cast<size_t>(ticks));
    const auto all0 = Clk::now();
    for (long i = 0; i < ticks; ++i) {
        clock.advanceMs(kTickMs);
        const auto t0 = Clk::now();
        port.Pump();
        cycle.Tick();
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
                static_cast<unsigned long long>(bus.requestCount()), wall);
    std::printf("ns per tick: mean %.0f  p50 %lld  p99 %lld  max %lld\n",
                sum / static_cast<double>(ns.size()), static_cast<long long>(at(0.5)),
                static_cast<long long>(at(0.99)), static_cast<long long>(ns.back()));
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
