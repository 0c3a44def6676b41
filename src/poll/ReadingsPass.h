#pragma once
// The readings pass: at its interval, after a complete summary cycle, the poll cycle
// lends its steps to reading a few values from every unit that answered, with the
// requests and decoders of each family's status panel (FamilyRow::readings). It takes
// only a share of each cycle's time, so the summary keeps its pace: a pass that does not
// fit goes on after the next cycle. A detail window or automatic logging cuts a slice
// short; the pass goes on later from the unit it was at.

#include "poll/Families.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace linvar {

class PollCycle;

// One value read from one unit.
struct ReadingSample {
    int record = 0; // the end record (1-44)
    int slot = 0;
    std::string address;
    const ReadingRow* row = nullptr;
    double value = 0;
};

class ReadingsPass {
public:
    // The pass's steps in the poll cycle (odd: send, even: the reply).
    static constexpr int kFirstStep = 1100;
    static constexpr int kLastStep = 1199;

    explicit ReadingsPass(PollCycle& cycle) : c_(cycle) {}

    // 0: no pass ever (nothing new on the wire).
    void SetInterval(int64_t ms);
    int64_t Interval() const { return intervalMs_; }
    // The share of the last summary cycle's time one slice of the pass may take.
    void SetShare(double share) { share_ = share; }

    // The state the summary decided for a unit (1-6; 4: no communication).
    void Observe(int record, int slot, int status);
    // After every poll step: starts or resumes a slice when a summary cycle has just
    // completed and the pass is due; notices a slice cut short by another mode.
    void Follow();
    // A change of mode takes the steps.
    void Interrupted();
    // Steps kFirstStep to kLastStep.
    void Step();

    bool InPass() const { return inSlice_; }
    // Passes completed, and the time the last one took (ms, from its start).
    int PassesDone() const { return passesDone_; }
    int64_t LastPassMs() const { return lastPassMs_; }
    // The family each address was recognised as (none: unknown or no answer to identity).
    const FamilyRow* FamilyOf(const std::string& address) const;

    std::function<void(const ReadingSample&)> onReading;
    // A unit recognised, once per address (the history keeps its kinds).
    std::function<void(int record, int slot, const std::string& address, const FamilyRow&)> onUnit;

private:
    struct Target {
        int record = 0;
        int slot = 0;
        std::string address;
    };
    struct Known {
        bool identified = false;
        const FamilyRow* family = nullptr;
        std::set<std::string> refused; // queries the unit would not answer
    };

    bool CycleJustCompleted() const;
    void BeginPass(int64_t now);
    void EndSlice();
    bool OutOfTime(int64_t now) const;
    void NextUnit();
    void NextRequest();
    void Take(const std::string& reply, const ReadingRequest& request);

    PollCycle& c_;
    int64_t intervalMs_ = 0;
    double share_ = 0.08;
    std::map<std::pair<int, int>, int> status_;
    std::map<std::string, Known> known_;
    std::vector<Target> queue_;
    size_t unit_ = 0;    // the unit of the queue being read
    size_t request_ = 0; // its request being asked
    bool passOpen_ = false;
    bool inSlice_ = false;
    bool justEnded_ = false; // a slice ended in this step: the next begins after a cycle
    bool started_ = false;
    int64_t passStartMs_ = 0;
    int64_t lastPassStartMs_ = 0;
    int64_t sliceStartMs_ = 0;
    int64_t cycleStartMs_ = 0; // when the summary cycle under way began
    int64_t cycleMs_ = 0;      // the last summary cycle's time, slices left out
    int exchanges_ = 0;        // in the slice
    int passesDone_ = 0;
    int64_t lastPassMs_ = 0;
    int savedEnd_ = 0;
    std::string savedAddress_;
};

} // namespace linvar
