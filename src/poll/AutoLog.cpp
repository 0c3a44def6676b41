#include "poll/AutoLog.h"

#include "logging/Capture.h"
#include "poll/PollCycle.h"
#include "ui/Clock.h"
#include "ui/Operator.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"
#include "wire/FaultReply.h"
#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

#include <sys/stat.h>

namespace linvar {

namespace {

// A unit's log file could not be written: the step is abandoned.
struct LogWriteFailed {};

int64_t localMs(const LocalDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400000 + t.msOfDay();
}

} // namespace

void AutoLog::Reset() {
    InAutoLog = false;
    LogLink = -1;
    LogSlot = 1;
    lastStart_.reset();
    lastFailure_.clear();
    if (noticeShown_ && showNotice)
        showNotice(false);
    noticeShown_ = false;
}

std::string AutoLog::DateTime() const {
    return c_.clock().dateTimeText();
}

std::string AutoLog::Path() const {
    return (c_.programDir() / (c_.PollAddress + ".txt")).string();
}

void AutoLog::Write(const std::vector<std::string>& lines) {
    try {
        TextFile::append(Path(), lines);
        lastFailure_.clear();
    } catch (const UserError& e) {
        // Every tick would retry the same write: one report, not one per tick.
        if (lastFailure_ != e.what()) {
            lastFailure_ = e.what();
            c_.op().report(lastFailure_);
        }
        throw LogWriteFailed{};
    }
}

AutoLog::UnitLogState AutoLog::CheckUnitLog(const std::string& address) {
    // An address is four digits; anything that could leave the folder is not logged.
    if (address.empty() || address.find('/') != std::string::npos || address == "." ||
        address == "..")
        return UnitLogState::ReadOnly;
    const std::string path = (c_.programDir() / (address + ".txt")).string();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return UnitLogState::New;
    if (st.st_mode & S_IWUSR)
        return UnitLogState::Writable;
    c_.Trace("file is ReadOnly: " + path, "[ALog]");
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    if (::stat(path.c_str(), &st) != 0 || !(st.st_mode & S_IWUSR))
        return UnitLogState::ReadOnly;
    return UnitLogState::Writable;
}

void AutoLog::StartCheck() {
    const SystemSetup& su = c_.setup();
    if (InAutoLog || !su.AutoLogEnabled || c_.tx.AwaitingReply)
        return;
    const LocalDateTime now = c_.clock().now();
    const int64_t nowMs = localMs(now);
    if (lastStart_) {
        const int64_t since = nowMs > *lastStart_ ? nowMs - *lastStart_ : *lastStart_ - nowMs;
        if (since <= 60000)
            return;
    }
    const int interval = su.AutoLogIntervalMinutes;
    if (interval <= 0)
        return;
    const int diff = now.minuteOfDay() - su.AutoLogOffsetIndex;
    if (diff < 0 || diff % interval != 0)
        return;
    c_.StepNo = 200;
    InAutoLog = true;
    lastStart_ = nowMs;
    noticeShown_ = true;
    if (showNotice)
        showNotice(true);
}

void AutoLog::EndOfRun() {
    c_.StepNo = 1;
    if (noticeShown_ && showNotice)
        showNotice(false);
    noticeShown_ = false;
    InAutoLog = false;
}

std::vector<std::string> AutoLog::ConfigLines(const std::string& r) const {
    if (!StartsWith(r, "="))
        return {"Glbl: " + Chars(r, 2, 21)};
    if (r.size() < 100)
        return {"Glbl: " + Chars(r, 2, 27), "Glbl: " + Chars(r, 29, 51)};
    return {"Glbl: " + Chars(r, 2, 40), "Glbl: " + Chars(r, 42, 150)};
}

int AutoLog::NextSlotStep() {
    return LogSlot == 5 ? 202 : 205;
}

void AutoLog::Step() {
    // Every write comes before the step's request, so nothing is awaited when one fails:
    // the unit is skipped (the run goes on, the summary resumes after a change log).
    const int step = c_.StepNo;
    try {
        StepBody();
    } catch (const LogWriteFailed&) {
        if (step == 403 || step == 404) {
            c_.StepNo = c_.SavedStep;
        } else {
            LogSlot += 1;
            c_.StepNo = NextSlotStep();
        }
    }
}

void AutoLog::StepBody() {
    SystemSetup& su = c_.setup();
    int& step = c_.StepNo;
    switch (step) {
    case 200:
        c_.Trace(" start at " + DateTime(), "[ALog]");
        LogLink = -1;
        step = 202;
        break;
    case 202:
        LogSlot = 1;
        do {
            LogLink += 2;
        } while (LogLink <= 39 && su.rec(LogLink + 1).InfoText != SystemSetup::LogMarker);
        if (LogLink <= 39) {
            step = 205;
        } else {
            LogLink = -1;
            step = 1000;
        }
        break;
    case 205: {
        if (LogSlot >= 5) {
            step = 202;
            break;
        }
        c_.Trace(" Link " + std::to_string(LogLink) + ", modem " + std::to_string(LogSlot),
                 "[ALog]");
        const int r = LogSlot <= 2 ? LogLink : LogLink + 1;
        const std::string& addr = LogSlot % 2 == 1 ? su.rec(r).Mod1Addr : su.rec(r).Mod2Addr;
        if (addr.empty()) {
            LogSlot += 1;
            break;
        }
        c_.PollAddress = addr;
        c_.CurrentEnd = r;
        step = 303;
        break;
    }
    case 303:
        switch (CheckUnitLog(c_.PollAddress)) {
        case UnitLogState::ReadOnly:
            LogSlot += 1;
            step = NextSlotStep();
            break;
        case UnitLogState::Writable:
            Write({" ", "Auto Log at " + DateTime()});
            c_.SummarySend("FLT?");
            step = 312;
            break;
        case UnitLogState::New: {
            const bool distant = LogSlot >= 3;
            const int n = distant ? LogSlot - 2 : LogSlot;
            const int r = distant ? LogLink + 1 : LogLink;
            const std::string header = "Link ID : " + su.rec(r).IdText.str() +
                                       (distant ? "   Distant Modem " : "   Local Modem ") +
                                       std::to_string(n);
            Write({header, " ", "Auto Log at " + DateTime()});
            step = 304;
            break;
        }
        }
        break;
    case 304:
        c_.SummarySend("CID?");
        step = 306;
        break;
    case 306: {
        const std::string r = c_.SummaryReceive("CID");
        if (r == kCountedOut)
            return;
        Write({"CID : " + Chars(r, 2, 30)});
        c_.SummarySend("MGC?");
        step = 308;
        break;
    }
    case 308: {
        const std::string r = c_.SummaryReceive("MGC");
        if (r == kCountedOut)
            return;
        Write(ConfigLines(r));
        c_.SummarySend("FLT?");
        step = 312;
        break;
    }
    case 312: {
        const std::string r = c_.SummaryReceive("FLT");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            // The logged unit's texts; the model code of the window last opened stays.
            const uint16_t model = ModemShapeOfReply(r).textModel;
            std::vector<std::string> lines = {"Unit: " + UnitFaultText(Chars(r, 2, 1), model).text,
                                              "TX  : " + TxFaultText(Chars(r, 3, 1), model).text,
                                              "RX  : " + RxFaultText(Chars(r, 4, 1), model).text};
            if (model == 370)
                lines.push_back("ONet: " + OpenNetworkFaultText(Chars(r, 5, 1)).text);
            Write(lines);
        } else {
            Write({"FLT : " + Chars(r, 2, 21)});
        }
        logReads_ = 0;
        c_.SummarySend("RNE?");
        step = 314;
        break;
    }
    case 314: {
        const std::string r = c_.SummaryReceive("RNE");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            std::string text = Chars(r, 3, 99);
            std::vector<std::string> lines;
            for (int i = 0; i < 5; ++i) {
                const std::string entry = EventEntryText(text.substr(0, 15), c_.clock());
                if (!entry.empty())
                    lines.push_back("LogE: " + entry);
                text = text.size() > 16 ? text.substr(16) : std::string();
            }
            if (!lines.empty())
                Write(lines);
            // A unit that never stops answering "=" must not hold the run for good.
            if (++logReads_ < kMaxLogReads) {
                c_.SummarySend("RNE?");
                step = 314;
                break;
            }
            logReads_ = 0;
            c_.SummarySend("RNS?");
            step = 324;
        } else {
            if (StartsWith(r, "T"))
                Write({"LogE: Timed out"});
            logReads_ = 0;
            c_.SummarySend("RNS?");
            step = 324;
        }
        break;
    }
    case 324: {
        const std::string r = c_.SummaryReceive("RNS");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            std::string text = Chars(r, 3, 159);
            std::vector<std::string> lines;
            for (int i = 0; i < 5; ++i) {
                const std::string entry = StatisticsEntryText(text.substr(0, 26), c_.clock());
                if (!entry.empty())
                    lines.push_back("Stat: " + entry);
                text = text.size() > 27 ? text.substr(27) : std::string();
            }
            if (!lines.empty())
                Write(lines);
            if (++logReads_ < kMaxLogReads) {
                c_.SummarySend("RNS?");
                step = 324;
                break;
            }
            logReads_ = 0;
            step = 353;
        } else {
            if (StartsWith(r, "T"))
                Write({"Stat: Timed out"});
            step = 353;
        }
        break;
    }
    case 353:
        LogSlot += 1;
        step = NextSlotStep();
        break;
    case 403:
        // The change is being logged: a stale mark must not log it again.
        c_.ConfigChanged = false;
        if (c_.PollAddress != c_.ChangeLogAddress ||
            CheckUnitLog(c_.PollAddress) == UnitLogState::ReadOnly) {
            step = c_.SavedStep;
            break;
        }
        if (!TextFile::exists(Path()))
            Write({});
        c_.SummarySend("MGC?");
        step = 404;
        break;
    case 404: {
        const std::string r = c_.SummaryReceive("MGC");
        if (r == kCountedOut)
            return;
        std::vector<std::string> lines = {" ", "Change of configuration  " + DateTime()};
        if (c_.tx.CurrentMode == Modes::DetMod) {
            for (auto& l : ConfigLines(r))
                lines.push_back(l);
        } else {
            lines.push_back("Glbl: " + Chars(r, 2, 27));
            lines.push_back("Glbl: " + Chars(r, 29, 55));
        }
        Write(lines);
        step = c_.SavedStep;
        break;
    }
    default:
        break;
    }
}

} // namespace linvar
