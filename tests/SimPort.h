#pragma once
// The station's request port wired to the in-process simulator through the same framing
// as the serial port: a write goes on the bus at once, Pump() hands over the reply bytes
// that are due by the fake clock.

#include "Bus.h"

#include "serial/Framer.h"
#include "ui/Clock.h"
#include "wire/Transaction.h"

#include <functional>
#include <string>
#include <vector>

class SimPort : public linvar::RequestPort {
public:
    SimPort(linvar::sim::Bus& bus, linvar::FakeClock& clock) : bus_(bus), clock_(clock) {}

    void WriteRequest(const std::string& text) override {
        if (onWrite)
            onWrite(text);
        received_.clear();
        if (keep)
            sent.push_back(text);
        bus_.receive(text + "\r", clock_.monotonicMs());
    }
    const std::string& ReceivedMessage() const override { return received_; }

    void Pump() {
        for (char b : bus_.poll(clock_.monotonicMs()))
            if (framer_.feed(b)) {
                received_ = framer_.message();
                if (onReply)
                    onReply(received_);
            }
    }

    std::vector<std::string> sent; // every request, unless !keep (a long run)
    bool keep = true;
    std::function<void(const std::string&)> onWrite, onReply;

private:
    linvar::sim::Bus& bus_;
    linvar::FakeClock& clock_;
    linvar::MessageFramer framer_{'>', '\n', 0};
    std::string received_;
};
