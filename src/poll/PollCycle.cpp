#include "poll/PollCycle.h"

#include "logging/Capture.h"
#include "logging/Print.h"
#include "poll/AutoLog.h"
#include "poll/ReadingsPass.h"
#include "summary/SummaryScreen.h"
#include "ui/Clock.h"
#include "ui/Operator.h"
#include "ui/UserError.h"
#include "wire/FaultReply.h"
#include "wire/TextFormats.h"

namespace linvar {

Colour StatusColour(int code) {
    static const Colour table[] = {Colours::gray,   Colours::lime,  Colours::yellow,
                                   Colours::red,    Colours::blue,  Colours::fuchsia,
                                   Colours::purple, Colours::white, Colours::green};
    if (code < 0 || code > 8)
        return Colours::gray;
    return table[code];
}

PollCycle::PollCycle(Deps deps) : d_(std::move(deps)) {
    autoLog_ = new AutoLog(*this);
    readings_ = new ReadingsPass(*this);
    SummaryScreen& s = d_.screen;
    for (int n = 1; n <= SystemSetup::LinkCount; ++n) {
        for (int r : {2 * n - 1, 2 * n}) {
            s.onDoubleClick(SummaryScreen::IconName(r), [this, n] { DoubleClickLink(n); });
            s.onDoubleClick(SummaryScreen::PollMarkName(r), [this, n] { DoubleClickLink(n); });
        }
    }
    for (int sw = 1; sw <= 2; ++sw) {
        const int swRec = SystemSetup::SwitchRecord(sw);
        const int rmRec = SystemSetup::RedundantModemRecord(sw);
        s.onDoubleClick(SummaryScreen::IconName(swRec), [this, sw] { DoubleClickSwitch(sw); });
        s.onDoubleClick(SummaryScreen::PollMarkName(swRec), [this, sw] { DoubleClickSwitch(sw); });
        s.onDoubleClick(SummaryScreen::IconName(rmRec),
                        [this, sw] { DoubleClickRedundantModem(sw); });
        s.onDoubleClick(SummaryScreen::PollMarkName(rmRec),
                        [this, sw] { DoubleClickRedundantModem(sw); });
    }
    for (int slot = 0; slot < UnitSlotCount; ++slot) {
        for (bool distant : {false, true}) {
            auto dc = [this, slot, distant] { DoubleClickUnit(slot, distant); };
            s.onDoubleClick(SummaryScreen::UnitIconName(slot, distant), dc);
            s.onDoubleClick(SummaryScreen::UnitMarkerName(slot, distant), dc);
        }
    }
    s.onClick("BtnClose", [this] { CloseSingleLink(); });
    s.onClick("BtnEnterEdit", [this] { EnterEditMode(); });
    ResetPollState();
}

PollCycle::~PollCycle() {
    delete readings_;
    delete autoLog_;
}

void PollCycle::ResetPollState() {
    autoLog_->Reset();
    CurrentEnd = 0;
    ChosenLink = 0;
    tx.AwaitingReply = false;
    Status.fill(-1);
    SavedStep = 1;
    ConfigChanged = false;
    DetailConfigChanged = false;
    SetHelpTopic(0);
    SummaryDelay = 0;
}

void PollCycle::StartPolling() {
    tx.CurrentMode = Modes::AllLinks;
    SetTimer(true);
}

void PollCycle::SetTimer(bool on) {
    timerEnabled_ = on;
}

void PollCycle::SetHelpTopic(int topic) {
    HelpTopic = topic;
    if (onHelpTopic)
        onHelpTopic(topic);
}

void PollCycle::Trace(const std::string& text, const std::string& tag) {
    if (d_.capture.CaptureOn())
        d_.capture.CaptureLine(text, tag);
}

void PollCycle::Tick() {
    if (!timerEnabled_)
        return;
    Trace(std::to_string(StepNo), "[Pno]");
    if (tx.TimeoutLeft > 0)
        d_.screen.ShowCountdown(tx.TimeoutLeft);
    tx.CountDown(kTickMs);
    ModeChangeCheck();
    if (StepNo == 0)
        RunStart();
    else
        RunStep();
}

void PollCycle::ModeChangeCheck() {
    if (tx.RequestedMode.empty()) {
        d_.screen.ShowWaitingNotice(false);
        return;
    }
    // A run of automatic logging is finished first too: left half way it would never
    // end, and no run would start again.
    if (tx.AwaitingReply || autoLog_->InAutoLog) {
        d_.screen.ShowWaitingNotice(true);
        return;
    }
    if (CurrentEnd >= 1 && CurrentEnd <= SystemSetup::RecordCount)
        d_.setup.rec(CurrentEnd).PollMark = " ";
    CurrentEnd = ChosenLink;
    // A change log that did not start stays in the unit's mark, for a later poll.
    ConfigChanged = false;
    readings_->Interrupted();
    tx.CurrentMode = tx.RequestedMode;
    tx.RequestedMode.clear();
    Trace(tx.CurrentMode, "[New]");
    d_.screen.ShowWaitingNotice(false);
    StepNo = 0;
    tx.DelayLeft = 0;
}

void PollCycle::RunStart() {
    const std::string& m = tx.CurrentMode;
    if (m == Modes::AllLinks)
        AllLinksStart();
    else if (m == Modes::OneLink)
        OneLinkStart();
    else if (m == Modes::DetMod)
        DetModStart();
    else if (m == Modes::DetTra)
        DetTraStart();
    else if (m == Modes::Edit) {
        if (onLinkEdit)
            onLinkEdit();
    } else if (m == Modes::ConfSw) {
        if (onSwitchEdit)
            onSwitchEdit();
    }
}

void PollCycle::RunStep() {
    const std::string& m = tx.CurrentMode;
    if (m == Modes::AllLinks || m == Modes::OneLink)
        PollStep();
    else if (m == Modes::DetMod)
        DetModStep();
    else if (m == Modes::DetTra)
        DetTraStep();
}

void PollCycle::AllLinksStart() {
    SummaryScreen& s = d_.screen;
    s["LinkBox"].setVisible(false);
    s["SumBox"].setVisible(true);
    s["SumHint"].setVisible(true);
    s["BtnSave"].setVisible(true);
    s["BtnPrint"].setEnabled(true);
    s.ClearUnitMarkers(true);
    s.RefreshSummary(d_.setup, WorstStatus);
    Status.fill(0);
    s.RefreshIds(d_.setup);
    s.RefreshPollMarks(d_.setup);
    CurrentEnd = 0;
    SetHelpTopic(1);
    StepNo = 1;
}

void PollCycle::OneLinkStart() {
    SummaryScreen& s = d_.screen;
    SelectedLink = CurrentEnd = ChosenLink;
    s.FillSingleLink(d_.setup, SelectedLink);
    s["SumBox"].setVisible(false);
    s["SumHint"].setVisible(false);
    s["BtnSave"].setVisible(false);
    s["LinkBox"].setVisible(true);
    s["BtnPrint"].setEnabled(false);
    s.HideOnlineMarkers();
    SetHelpTopic(3);
    if (d_.setup.EndActive(SelectedLink))
        StepNo = 1;
    else
        tx.RequestedMode = Modes::Edit; // an unconfigured link opens in link edit
}

// ---- the summary transaction ----

int PollCycle::TimingOf(int r, bool delay) {
    const EndRecord& e = d_.setup.rec(r);
    const std::string& text = delay ? e.DelayText : e.TimeoutText;
    return tx.timings.Read(r, delay ? EndTimings::Delay : EndTimings::Timeout, text, delay ? 50 : 2,
                           [&] { d_.op.report(UserError::notInteger(text).what()); });
}

int PollCycle::EndDelayMs(int r) {
    return TimingOf(r, true);
}
int PollCycle::EndTimeoutS(int r) {
    return TimingOf(r, false);
}

void PollCycle::SummarySend(const std::string& command) {
    const int r = (CurrentEnd >= 1 && CurrentEnd <= SystemSetup::RecordCount) ? CurrentEnd : 1;
    SummaryDelay = EndDelayMs(r);
    RequestText = linvar::RequestText(PollAddress, command);
    tx.AwaitingReply = true;
    d_.port.WriteRequest(RequestText);
    StepNo += 1;
    tx.Sent(EndTimeoutS(r) * 1000, d_.clock.monotonicMs(), TransactionState::WaitEnd::Passed);
    ReplyPayload.clear();
    SetTimer(true);
}

std::string PollCycle::SummaryReceive(const std::string& mnemonic) {
    if (auto payload = MatchReply(d_.port.ReceivedMessage(), PollAddress, mnemonic)) {
        tx.AwaitingReply = false;
        ReplyPayload = ClassifyPayload(*payload, ReplyDialect::Summary);
        return ReplyPayload;
    }
    const int64_t now = d_.clock.monotonicMs();
    if (tx.WaitedOut(now)) {
        tx.AwaitingReply = false;
        Trace("Timed out at " + std::to_string(tx.WaitedMs(now) / 1000) + " sec", "[tim]");
        return kNoComms;
    }
    return kCountedOut;
}

// ---- decoders ----

bool PollCycle::LinkLoggedForRecord(int r) const {
    // The flags of the link the end belongs to; switches and redundant modems are
    // never logged.
    if (r < 1 || r > 2 * SystemSetup::LinkCount)
        return false;
    return d_.setup.LinkLogged(SystemSetup::LinkOfRecord(r));
}

int PollCycle::ModemFaultStatus(const std::string& r, const std::string& unitName) {
    if (r == kCountedOut)
        return 0;
    // Each answer says anew whether this unit's configuration changed: a mark seen
    // before never travels on to the next unit.
    ConfigChanged = false;
    configMark_ = false;
    if (StartsWith(r, "T"))
        return 4;
    if (!StartsWith(r, "="))
        return 5;
    const FaultReplyShape& shape = ModemShapeOfReply(r);
    const FaultReply faults = ReadFaultReply(r, shape);
    configMark_ = faults.changeMark;
    ConfigChanged = configMark_ && LinkLoggedForRecord(CurrentEnd);
    // Only the three-group forms have a printed line in the summary.
    if (shape.groups == 3) {
        const int rec =
            (CurrentEnd >= 1 && CurrentEnd <= SystemSetup::RecordCount) ? CurrentEnd : 1;
        d_.print.PrintFaultLine(faults, unitName, d_.setup.rec(rec).IdText, d_.clock);
    }
    return faults.Clear(shape) ? 1 : 3;
}

int PollCycle::TransceiverStatus(const std::string& r) {
    if (r == kCountedOut)
        return 0;
    if (StartsWith(r, "T"))
        return 4;
    if (!StartsWith(r, "="))
        return 5;
    if (r.size() < 2 || r[1] < '0' || r[1] > '9')
        return 6;
    return r[1] == '0' ? 1 : 3;
}

int PollCycle::SwitchFaultStatus(const std::string& r) {
    if (r == kCountedOut)
        return 0;
    if (StartsWith(r, "T"))
        return 4;
    if (!StartsWith(r, "="))
        return 5;
    return ReadFaultReply(r, FaultShapes::Switch).Clear(FaultShapes::Switch) ? 1 : 3;
}

void PollCycle::EndStatus() {
    EndRecord& e = d_.setup.rec(CurrentEnd);
    const bool distant = CurrentEnd % 2 == 0;
    d_.screen.PaintUnitIcons(e, distant);
    Colour end = Colours::lime;
    for (int k = 2; k <= 6; ++k) {
        for (int s : Status) {
            if (s == k) {
                end = StatusColour(k);
                WorstStatus = k;
                break;
            }
        }
    }
    if (e.PairFlag == "1" &&
        !(d_.screen.at(SummaryScreen::UnitIconName(Modem2, true)).background() == Colours::lime))
        end = Colours::yellow;
    e.EndColour = end;
}

void PollCycle::NextEnd() {
    SystemSetup& su = d_.setup;
    if (!su.AnyEndActive) {
        if (CurrentEnd >= 1 && CurrentEnd <= SystemSetup::RecordCount)
            su.rec(CurrentEnd).EndColour = Colours::gray;
        CurrentEnd = 0;
        ChosenLink = 0;
        return;
    }
    Status.fill(-1);
    if (tx.CurrentMode == Modes::OneLink) {
        if (su.EndActive(SelectedLink) && su.EndActive(SelectedLink + 1) &&
            CurrentEnd == SelectedLink)
            CurrentEnd = SelectedLink + 1;
        else
            CurrentEnd = SelectedLink;
        return;
    }
    if (d_.print.takePollCycleRestart()) {
        CurrentEnd = 0;
        d_.print.setFirstPass(true);
    }
    do {
        CurrentEnd += 1;
        if (CurrentEnd > SystemSetup::RecordCount) {
            CurrentEnd = 1;
            d_.print.setFirstPass(false);
            WorstStatus = 0;
        }
    } while (!su.EndActive(CurrentEnd));
}

// ---- the poll step routine ----

void PollCycle::ClearMarkers() {
    d_.screen.ClearUnitMarkers(CurrentEnd % 2 == 0);
}

void PollCycle::Marker(int slot) {
    ClearMarkers();
    d_.screen.SetUnitMarker(slot, CurrentEnd % 2 == 0);
}

void PollCycle::SetUnitStatus(int slot, int status) {
    Status[static_cast<size_t>(slot)] = status;
    readings_->Observe(CurrentEnd, slot, status);
    d_.setup.rec(CurrentEnd).unitColour(slot) = StatusColour(status);
    EndStatus();
    ClearMarkers();
    if (onUnitState)
        onUnitState({CurrentEnd, slot, status, ReplyPayload, configMark_});
    configMark_ = false;
}

int PollCycle::TransceiverRuleStep() const {
    const EndRecord& e = d_.setup.rec(CurrentEnd);
    if (!e.Tr1Addr.empty())
        return 15;
    if (!e.Tr2Addr.empty())
        return 19;
    return 1;
}

void PollCycle::TransceiverRule() {
    StepNo = TransceiverRuleStep();
}

void PollCycle::AskTransceiverStatus(int slot) {
    Marker(slot);
    PollAddress = d_.setup.rec(CurrentEnd).addr(slot);
    SummarySend("SFS?");
}

int PollCycle::TransceiverAnswer(int slot) {
    const int status = TransceiverStatus(SummaryReceive("SFS"));
    if (status != 0)
        SetUnitStatus(slot, status);
    return status;
}

void PollCycle::GoOnAfterModem(int next) {
    // A change of configuration reported on a logged link is logged before the next unit.
    if (ConfigChanged && LinkLoggedForRecord(CurrentEnd)) {
        SavedStep = next;
        ChangeLogAddress = PollAddress;
        StepNo = 403;
    } else {
        StepNo = next;
    }
}

bool PollCycle::OnlineAnswer(const std::string& mnemonic, int slot) {
    const std::string r = SummaryReceive(mnemonic);
    if (r == kCountedOut)
        return false;
    d_.screen[SummaryScreen::OnlineMarkerName(slot, EndIsDistant)].setVisible(StartsWith(r, "=1"));
    ClearMarkers();
    return true;
}

void PollCycle::OusState(const std::string& r) {
    // A refusal or an OBLIX timeout says nothing about the standby modem.
    if (StartsWith(r, "!") || StartsWith(r, "~") || r == "TOBLIX timeout")
        return;
    EndRecord& e = d_.setup.rec(CurrentEnd);
    int code = -1;
    const std::string state = Chars(r, 2, 6);
    if (StartsWith(r, "T"))
        code = 4; // no answer at all: no communication, like every other decoder
    else if (state == "No1fr1") {
        e.Mod2Colour = Colours::silver;
    } else if (state == "NoComm")
        code = 4;
    else if (state == "xxxxxx" && e.PairFlag == "1")
        code = 4;
    else
        code = Chars(r, 2, 4) == "0000" ? 1 : 3;
    if (code >= 0) {
        Status[Modem2] = code;
        readings_->Observe(CurrentEnd, Modem2, code);
        e.Mod2Colour = StatusColour(code);
        if (onUnitState)
            onUnitState({CurrentEnd, Modem2, code, r, false});
    }
    d_.screen.PaintUnitIcons(e, CurrentEnd % 2 == 0);
}

void PollCycle::PollStep() {
    SummaryScreen& s = d_.screen;
    const LocalDateTime now = d_.clock.now();
    if (now.second != shownSecond_ || now.minute != shownMinute_) {
        shownSecond_ = now.second;
        shownMinute_ = now.minute;
        s["AlTime"].setText("Time: " + d_.clock.timeText(now));
    }
    Trace(std::to_string(StepNo), "[pn ]");
    if (StepNo % 2 == 1 && StepNo < 100 && EndDelayRunning())
        return;
    PollStepBody();
    AfterPollStep();
}

bool PollCycle::EndDelayRunning() {
    if (SummaryDelay <= 54)
        return false;
    SummaryDelay -= kTickMs;
    Trace(std::to_string(SummaryDelay), "[Del]");
    return true;
}

void PollCycle::PollStepBody() {
    SystemSetup& su = d_.setup;
    const bool oneLink = tx.CurrentMode == Modes::OneLink;
    if (StepNo >= 200 && StepNo <= 1000) {
        autoLog_->Step();
        return;
    }
    if (StepNo >= ReadingsPass::kFirstStep && StepNo <= ReadingsPass::kLastStep) {
        readings_->Step();
        return;
    }
    switch (StepNo) {
    case 1: {
        if (CurrentEnd >= 1)
            ClearMarkers();
        NextEnd();
        if (CurrentEnd == 0)
            return; // nothing configured: nothing is polled
        EndIsDistant = CurrentEnd % 2 == 0;
        EndRecord& e = su.rec(CurrentEnd);
        e.PollMark = ">";
        d_.screen.RefreshPollMarks(su);
        if (!e.Mod1Addr.empty()) {
            PollAddress = e.Mod1Addr;
            Marker(Modem1);
            SummarySend("FLT?");
            if (CurrentEnd == 41 || CurrentEnd == 43)
                StepNo = 52;
        } else {
            StepNo = 15;
        }
        break;
    }
    case 2: {
        const int status = ModemFaultStatus(SummaryReceive("FLT"), "Mod1");
        if (status == 0)
            return;
        SetUnitStatus(Modem1, status);
        const EndRecord& e = su.rec(CurrentEnd);
        int next;
        if (e.Mod2Addr.empty())
            next = TransceiverRuleStep();
        else if (!oneLink)
            next = 5;
        else
            next = status == 4 ? 5 : 3;
        if (EndIsDistant && e.PairFlag == "1")
            next = 33;
        GoOnAfterModem(next);
        break;
    }
    case 3:
        Marker(Modem1);
        SummarySend("RED?");
        break;
    case 4:
    case 8:
        if (!OnlineAnswer("RED", StepNo == 4 ? Modem1 : Modem2))
            return;
        if (StepNo == 4)
            StepNo = 5;
        else
            TransceiverRule();
        break;
    case 5:
        PollAddress = su.rec(CurrentEnd).Mod2Addr;
        Marker(Modem2);
        SummarySend("FLT?");
        break;
    case 6: {
        const int status = ModemFaultStatus(SummaryReceive("FLT"), "Mod2");
        if (status == 0)
            return;
        SetUnitStatus(Modem2, status);
        const int next = (oneLink && status != 4) ? 7 : TransceiverRuleStep();
        GoOnAfterModem(next);
        break;
    }
    case 7:
        Marker(Modem2);
        SummarySend("RED?");
        break;
    case 15: {
        const EndRecord& e = su.rec(CurrentEnd);
        if (e.Tr1Addr.empty()) {
            StepNo = 1;
            break;
        }
        AskTransceiverStatus(Transceiver1);
        break;
    }
    case 16: {
        const int status = TransceiverAnswer(Transceiver1);
        if (status == 0)
            return;
        if (su.rec(CurrentEnd).Tr2Addr.empty())
            StepNo = 1;
        else if (!oneLink)
            StepNo = 19;
        else
            StepNo = status == 4 ? 19 : 17;
        break;
    }
    case 17:
    case 21:
        Marker(StepNo == 17 ? Transceiver1 : Transceiver2);
        SummarySend("ONL?");
        break;
    case 18:
    case 22:
        if (!OnlineAnswer("ONL", StepNo == 18 ? Transceiver1 : Transceiver2))
            return;
        StepNo = StepNo == 18 ? 19 : 1;
        break;
    case 19:
        AskTransceiverStatus(Transceiver2);
        break;
    case 20: {
        const int status = TransceiverAnswer(Transceiver2);
        if (status == 0)
            return;
        StepNo = (oneLink && status != 4) ? 21 : 1;
        break;
    }
    case 33:
        PollAddress = su.rec(CurrentEnd).Mod1Addr;
        SummarySend("OUS?");
        break;
    case 34: {
        const std::string r = SummaryReceive("OUS");
        if (r == kCountedOut)
            return;
        OusState(r);
        ClearMarkers();
        TransceiverRule();
        break;
    }
    case 52: {
        const int status = SwitchFaultStatus(SummaryReceive("FLT"));
        if (status == 0)
            return;
        SetUnitStatus(Modem1, status);
        StepNo = 1;
        break;
    }
    default:
        break;
    }
}

void PollCycle::AfterPollStep() {
    SummaryScreen& s = d_.screen;
    SystemSetup& su = d_.setup;
    s["LegOnline"].setVisible(s.AnyOnlineMarkerShown());
    // Not within a run of automatic logging: the restart follows its end. Only the
    // all-links pass takes the restart; a single-link view opened before it did would
    // otherwise go back to step 1 after every answer and ask only Modem 1.
    if (d_.print.pollCycleRestart() && !tx.AwaitingReply && !autoLog_->InAutoLog &&
        tx.CurrentMode == Modes::AllLinks)
        StepNo = 1;
    if (StepNo == 1) {
        if (CurrentEnd >= 1 && CurrentEnd <= SystemSetup::RecordCount)
            su.rec(CurrentEnd).PollMark = " ";
        s.RefreshPollMarks(su);
        s.RefreshSummary(su, WorstStatus);
        Status.fill(0);
    }
    s["AutoLogPanel"].setVisible(su.AutoLogEnabled);
    if (su.AutoLogEnabled) {
        const auto& intervals = SystemSetup::AutoLogIntervalEntries();
        const int i = su.AutoLogIntervalIndex;
        const int o = su.AutoLogOffsetEntry();
        const std::string interval =
            (i >= 0 && i < static_cast<int>(intervals.size())) ? intervals[size_t(i)] : "";
        const std::string offset = SystemSetup::AutoLogOffsetText(i, o);
        s["AlEvery"].setText("Logging every" + interval + ", offset by" + offset);
    }
    autoLog_->StartCheck();
    if (StepNo == 1000)
        autoLog_->EndOfRun();
    readings_->Follow();
}

} // namespace linvar
