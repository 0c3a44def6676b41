#include "logging/Print.h"

#include "ui/Clock.h"
#include "wire/FaultTables.h"

namespace linvar {

PrintState& Printing() {
    static PrintState state;
    return state;
}

void PrintState::PrintToggle(const Clock& clock) {
    if (active_) {
        active_ = false;
        PrintLine("\r\n" + clock.dateTimeText() + " Printing de-activated");
    } else {
        active_ = true;
        restart_ = true;
        PrintLine(clock.dateTimeText() + " Printing activated");
    }
}

void PrintState::PrintFaultLine(const FaultReply& faults, const std::string& label,
                                const std::string& name, const Clock& clock) {
    if (!active_)
        return;
    std::string padded = name;
    padded.resize(12, ' ');
    std::string line = clock.dateTimeText() + " " + padded + " " + label + ":";
    const std::string& codes = faults.codes;
    if (faults.changeMark || firstPass_) {
        const auto faulty = [&](size_t i) {
            return i < codes.size() && codes[i] >= '1' && codes[i] <= '9';
        };
        if (codes.compare(0, 3, "000") == 0) {
            line += " No faults";
        } else {
            if (faulty(0))
                line += " unit fault";
            if (faulty(1))
                line += " tx fault";
            if (faulty(2))
                line += RxFaultText(codes[2]).text;
        }
    }
    PrintLine(line);
}

void PrintState::PrintLine(const std::string& text) {
    std::string line = "\r\n" + text;
    if (line.size() > kMaxLine)
        line.resize(kMaxLine);
    if (sink_)
        sink_(line);
}

} // namespace linvar
