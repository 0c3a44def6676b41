#pragma once
// The print mode: the operator's print toggle, the flags the poll cycle reads to make one
// printed pass over every modem, and the print lines. Lines are formed but the station
// has no print output: they go to a sink that emits nothing unless one is set.

#include <functional>
#include <string>

#include "wire/FaultReply.h"

namespace linvar {

class Clock;

class PrintState {
public:
    // Takes one formed line (CR LF first, at most kMaxLine characters).
    using Sink = std::function<void(const std::string&)>;
    static constexpr size_t kMaxLine = 255;

    bool printActive() const { return active_; }
    // Set when printing is switched on; the poll cycle takes it and restarts at the first
    // link for one pass with first-pass set.
    bool pollCycleRestart() const { return restart_; }
    void setPollCycleRestart(bool on) { restart_ = on; }
    bool takePollCycleRestart() {
        const bool was = restart_;
        restart_ = false;
        return was;
    }
    bool firstPass() const { return firstPass_; }
    void setFirstPass(bool on) { firstPass_ = on; }

    void setSink(Sink sink) { sink_ = std::move(sink); }
    // All flags clear and no sink: the state at start-up.
    void reset() { *this = PrintState(); }

    // Switches printing on (also asking for a restarted pass) or off, with a line saying so.
    void PrintToggle(const Clock& clock);
    // While printing: the time, the name (12 columns), the label and, when the reply carries
    // the configuration-change mark or in the first pass, its faults (unit, tx, rx groups).
    void PrintFaultLine(const FaultReply& faults, const std::string& label, const std::string& name,
                        const Clock& clock);
    // CR LF and the text, cut to kMaxLine, to the sink.
    void PrintLine(const std::string& text);

private:
    bool active_ = false;
    bool restart_ = false;
    bool firstPass_ = false;
    // The print output is never switched on: no sink, no output.
    Sink sink_;
};

// The station's one print state.
PrintState& Printing();

} // namespace linvar
