#pragma once
// Automatic logging: at the chosen instants of the clock the poll cycle lends its steps
// to a run over the modems of every logged link, each written to a file named after its
// address; and a modem that reports a change of configuration gets a change entry.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace linvar {

class PollCycle;

class AutoLog {
public:
    enum class UnitLogState { New, Writable, ReadOnly };

    explicit AutoLog(PollCycle& cycle) : c_(cycle) {}

    // Start-up: no run, nothing logged yet.
    void Reset();
    // At the end of every poll tick that ran a step.
    void StartCheck();
    // A tick ended with step 1000.
    void EndOfRun();
    // Steps 200 to 1000 of a run, and 403/404 (the configuration-change log).
    void Step();

    UnitLogState CheckUnitLog(const std::string& address);

    bool InAutoLog = false;
    int LogLink = -1;
    int LogSlot = 1;
    // The notice "Auto Logging" while a run goes on (the Qt layer shows it).
    std::function<void(bool)> showNotice;
    bool NoticeShown() const { return noticeShown_; }

private:
    // Appends to the unit's file; a failure is reported (once while it lasts) and the
    // step is abandoned for the next unit.
    void Write(const std::vector<std::string>& lines);
    void StepBody();
    std::string Path() const;
    std::vector<std::string> ConfigLines(const std::string& result) const;
    std::string DateTime() const;
    int NextSlotStep();

    // A stored log answers in at most some 20 (events) or 44 (statistics) reads of five
    // records; far more means a unit that never says it is done.
    static constexpr int kMaxLogReads = 100;

    PollCycle& c_;
    int logReads_ = 0;
    std::optional<int64_t> lastStart_; // ms since the epoch, local time
    bool noticeShown_ = false;
    std::string lastFailure_; // the report of a failing log file, until a write succeeds
};

} // namespace linvar
