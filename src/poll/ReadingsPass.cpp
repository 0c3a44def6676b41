#include "poll/ReadingsPass.h"

#include "poll/AutoLog.h"
#include "poll/PollCycle.h"
#include "ui/Clock.h"
#include "wire/TextFormats.h"

namespace linvar {

namespace {

// The steps: choose a unit; identity asked and answered; a reading asked and answered.
constexpr int kChoose = ReadingsPass::kFirstStep;
constexpr int kAskIdentity = kChoose + 1;
constexpr int kIdentity = kChoose + 2;
constexpr int kAskReading = kChoose + 3;
constexpr int kReading = kChoose + 4;

bool IsSwitchRecord(int r) {
    return r == SystemSetup::SwitchRecord(1) || r == SystemSetup::SwitchRecord(2);
}

UnitKind KindOfSlot(int slot) {
    return slot <= Modem2 ? UnitKind::Modem : UnitKind::Transceiver;
}

} // namespace

void ReadingsPass::SetInterval(int64_t ms) {
    intervalMs_ = ms > 0 ? ms : 0;
}

void ReadingsPass::Observe(int record, int slot, int status) {
    if (intervalMs_ > 0)
        status_[{record, slot}] = status;
}

const FamilyRow* ReadingsPass::FamilyOf(const std::string& address) const {
    auto it = known_.find(address);
    return it == known_.end() ? nullptr : it->second.family;
}

bool ReadingsPass::CycleJustCompleted() const {
    const SystemSetup& su = c_.setup();
    const int end = c_.CurrentEnd;
    if (end < 1 || end > SystemSetup::RecordCount)
        return false;
    for (int r = end + 1; r <= SystemSetup::RecordCount; ++r)
        if (su.EndActive(r))
            return false;
    return true;
}

void ReadingsPass::Follow() {
    if (intervalMs_ <= 0)
        return;
    const int64_t now = c_.clock().monotonicMs();
    if (!started_) {
        // The first pass comes one interval after polling starts, like every other one.
        started_ = true;
        lastPassStartMs_ = now;
        cycleStartMs_ = now;
    }
    if (justEnded_) {
        justEnded_ = false;
        return;
    }
    if (inSlice_) {
        if (c_.StepNo >= kFirstStep && c_.StepNo <= kLastStep)
            return;
        // Automatic logging or a restart of the cycle took the steps.
        inSlice_ = false;
        if (!c_.autoLog().InAutoLog) {
            c_.CurrentEnd = savedEnd_;
            c_.PollAddress = savedAddress_;
        }
        cycleStartMs_ = now;
        return;
    }
    if (c_.tx.CurrentMode != Modes::AllLinks || c_.StepNo != 1 || c_.autoLog().InAutoLog ||
        c_.tx.AwaitingReply || !CycleJustCompleted())
        return;
    cycleMs_ = now - cycleStartMs_;
    cycleStartMs_ = now;
    if (!passOpen_) {
        if (now - lastPassStartMs_ < intervalMs_)
            return;
        BeginPass(now);
    }
    inSlice_ = true;
    sliceStartMs_ = now;
    exchanges_ = 0;
    savedEnd_ = c_.CurrentEnd;
    savedAddress_ = c_.PollAddress;
    c_.StepNo = kChoose;
}

void ReadingsPass::BeginPass(int64_t now) {
    const SystemSetup& su = c_.setup();
    queue_.clear();
    for (int r = 1; r <= SystemSetup::RecordCount; ++r) {
        if (!su.EndActive(r) || IsSwitchRecord(r))
            continue;
        for (int slot = 0; slot < UnitSlotCount; ++slot) {
            const std::string address(su.rec(r).addr(slot));
            if (!address.empty())
                queue_.push_back({r, slot, address});
        }
    }
    unit_ = 0;
    request_ = 0;
    passOpen_ = true;
    passStartMs_ = now;
    lastPassStartMs_ = now;
}

void ReadingsPass::Interrupted() {
    if (!inSlice_)
        return;
    // The unit under way is read again from the request it was at.
    inSlice_ = false;
    cycleStartMs_ = c_.clock().monotonicMs();
}

void ReadingsPass::EndSlice() {
    inSlice_ = false;
    justEnded_ = true;
    c_.CurrentEnd = savedEnd_;
    c_.PollAddress = savedAddress_;
    c_.StepNo = 1;
    cycleStartMs_ = c_.clock().monotonicMs();
}

bool ReadingsPass::OutOfTime(int64_t now) const {
    return exchanges_ > 0 && static_cast<double>(now - sliceStartMs_) >= share_ * cycleMs_;
}

void ReadingsPass::NextUnit() {
    ++unit_;
    request_ = 0;
    c_.StepNo = kChoose;
}

void ReadingsPass::NextRequest() {
    ++request_;
    c_.StepNo = kAskReading;
}

void ReadingsPass::Take(const std::string& r, const ReadingRequest& request) {
    const Target& t = queue_[unit_];
    if (StartsWith(r, "=")) {
        for (const ReadingRow& row : request.readings) {
            const std::optional<double> v = row.value(r.substr(1));
            if (v && onReading)
                onReading({t.record, t.slot, t.address, &row, *v});
        }
        NextRequest();
    } else if (StartsWith(r, "T")) {
        NextUnit(); // no answer: the rest of the unit waits for the next pass
    } else {
        known_[t.address].refused.insert(request.query);
        NextRequest();
    }
}

void ReadingsPass::Step() {
    const int64_t now = c_.clock().monotonicMs();
    switch (c_.StepNo) {
    case kChoose:
        for (;;) {
            if (unit_ >= queue_.size()) {
                passOpen_ = false;
                ++passesDone_;
                lastPassMs_ = now - passStartMs_;
                EndSlice();
                return;
            }
            const Target& t = queue_[unit_];
            const auto s = status_.find({t.record, t.slot});
            const int status = s == status_.end() ? 0 : s->second;
            const Known& k = known_[t.address];
            // A unit that did not answer the summary well is left for the next pass.
            if (status < 1 || status > 3 || (k.identified && (!k.family || !k.family->readings))) {
                ++unit_;
                request_ = 0;
                continue;
            }
            if (OutOfTime(now)) {
                EndSlice();
                return;
            }
            c_.StepNo = k.identified ? kAskReading : kAskIdentity;
            break;
        }
        if (c_.StepNo == kAskReading)
            Step();
        break;
    case kAskIdentity: {
        if (c_.EndDelayRunning())
            return;
        const Target& t = queue_[unit_];
        c_.PollAddress = t.address;
        c_.CurrentEnd = t.record;
        ++exchanges_;
        c_.SummarySend(KindOfSlot(t.slot) == UnitKind::Modem ? "EID?" : "RET?");
        break;
    }
    case kIdentity: {
        const Target& t = queue_[unit_];
        const bool modem = KindOfSlot(t.slot) == UnitKind::Modem;
        const std::string r = c_.SummaryReceive(modem ? "EID" : "RET");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "T")) {
            NextUnit();
            return;
        }
        Known& k = known_[t.address];
        k.identified = true;
        if (StartsWith(r, "="))
            k.family = Recognise(KindOfSlot(t.slot), modem ? Chars(r, 2, 10) : r);
        if (k.family && onUnit)
            onUnit(t.record, t.slot, t.address, *k.family);
        if (k.family && k.family->readings)
            c_.StepNo = kAskReading;
        else
            NextUnit();
        break;
    }
    case kAskReading: {
        const Target& t = queue_[unit_];
        const Known& k = known_[t.address];
        const std::vector<ReadingRequest>& requests = *k.family->readings;
        while (request_ < requests.size() && k.refused.count(requests[request_].query))
            ++request_;
        if (request_ >= requests.size()) {
            NextUnit();
            return;
        }
        if (OutOfTime(now)) {
            EndSlice();
            return;
        }
        if (c_.EndDelayRunning())
            return;
        c_.PollAddress = t.address;
        c_.CurrentEnd = t.record;
        ++exchanges_;
        c_.SummarySend(requests[request_].query);
        break;
    }
    case kReading: {
        const Known& k = known_[queue_[unit_].address];
        const ReadingRequest& request = (*k.family->readings)[request_];
        const std::string query = request.query;
        const std::string r = c_.SummaryReceive(query.substr(0, query.size() - 1));
        if (r == kCountedOut)
            return;
        Take(r, request);
        break;
    }
    default:
        break;
    }
}

} // namespace linvar
