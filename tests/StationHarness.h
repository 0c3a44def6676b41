#pragma once
// The whole station (Station) on a fake clock and a fake port, with the in-process
// simulator on the line: every tick moves time on 50 ms, hands over the reply bytes that
// are due, then runs the station's tick.

#include "Bus.h"
#include "TempDir.h"

#include "app/Station.h"
#include "logging/Print.h"
#include "serial/Framer.h"
#include "ui/Clock.h"
#include "ui/Operator.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// A port that opens only where a device is said to be, and can be "pulled out".
class FakePort : public linvar::CommsPort {
public:
    bool IsOpen() const override { return open_; }
    void SetOpen(bool open) override {
        opens += open;
        open_ = open && devices.count(port_);
    }
    void SetPort(uint8_t p) override { port_ = p; }
    void SetBaudrate(int32_t b) override { baud = b; }
    void SetParity(linvar::eParity p) override { parity = p; }
    void SetDataBits(linvar::eDataBits d) override { dataBits = d; }
    void SetStopBits(linvar::eStopBits b) override { stopBits = b; }
    void PurgeReceive() override {}
    bool PortLost() const override { return open_ && lost; }

    std::set<int> devices{1};
    int32_t baud = 0;
    linvar::eParity parity = linvar::paNone;
    linvar::eDataBits dataBits = linvar::d8bit;
    linvar::eStopBits stopBits = linvar::st1bit;
    bool lost = false;
    int opens = 0;

private:
    bool open_ = false;
    int port_ = 1;
};

// A set-up file with these lines (from 1) and the rest empty.
inline std::string SetupFile(const std::map<int, std::string>& lines) {
    std::string f;
    for (int line = 1; line <= 440; ++line)
        f += (lines.count(line) ? lines.at(line) : "") + "\r\n";
    return f + "0,0,0\r\n";
}
// Link 1's LOCAL Modem 1 at 0012 and nothing else.
inline std::string OneLinkSetup() {
    return SetupFile({{1, "0012"}});
}

struct StationHarness {
    TempDir dir;
    linvar::FakeClock clock{{2026, 12, 6, 9, 0, 0, 0}};
    linvar::ScriptedOperator person;
    FakePort port;
    linvar::sim::Bus bus;
    linvar::MessageFramer framer{'>', '\n', 0};
    // Every write to the line, as bytes.
    std::vector<std::string> wire;
    std::unique_ptr<linvar::Station> top;
    // Runs on every tick after the simulator's replies, before the station's tick.
    std::function<void()> beforeTick;
    // The station is the active application.
    bool active = true;
    // The alert sounds heard.
    int beeps = 0;

    // The station over the files already in `dir`; `op` answers for the person.
    void Make(linvar::Operator* op = nullptr) {
        linvar::Printing().reset();
        top = std::make_unique<linvar::Station>(linvar::Station::Platform{
            clock, op ? *op : person, port,
            [this](const std::string& bytes) {
                wire.push_back(bytes);
                bus.receive(bytes, clock.monotonicMs());
            },
            dir.path(), "linvar", [this] { return active; }, [this] { ++beeps; }});
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(linvar::kTickMs);
            for (char b : bus.poll(clock.monotonicMs()))
                if (framer.feed(b)) // where the program's port hands its replies
                    top->Link().OnMessage(framer.message());
            if (beforeTick)
                beforeTick();
            top->Tick();
        }
    }
    linvar::SummaryScreen& Main() { return top->Main(); }
    linvar::Screen* Front() const { return top->Windows().back(); }
};
