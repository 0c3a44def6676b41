// The poll cycle's way into the detail windows: the operator's double-clicks, the
// identity queries of "DetMod" and "DetTra" that choose a window's family, and the steps
// that follow when the window is closed.

#include "poll/PollCycle.h"

#include "poll/AutoLog.h"
#include "summary/SummaryScreen.h"
#include "ui/Operator.h"
#include "wire/FaultReply.h"
#include "wire/TextFormats.h"

namespace linvar {

// ---- double-clicks ----

void PollCycle::DoubleClickLink(int link) {
    ChosenLink = SystemSetup::LocalRecord(link);
    RequestMode(Modes::OneLink);
}

void PollCycle::DoubleClickSwitch(int sw) {
    const EndRecord& e = d_.setup.rec(SystemSetup::SwitchRecord(sw));
    // The switch's window opens at once, so not in the middle of a run of automatic
    // logging: the run would never end and polling never resume.
    if (e.Mod1Addr.empty() || autoLog_->InAutoLog)
        return;
    SetTimer(false);
    DetailRequest req;
    req.family = &FamilyOfKind(UnitKind::Switch);
    req.UnitAddress = e.Mod1Addr;
    req.UnitName = "switch " + std::to_string(sw);
    req.CurrentEnd = SystemSetup::SwitchRecord(sw);
    auto closed = [this](bool) {
        RequestMode(Modes::AllLinks);
        if (onCaptureCaptions)
            onCaptureCaptions();
        SetTimer(true);
    };
    if (!windows_ || !windows_->open(req, closed)) {
        NoWindowYet(*req.family);
        RequestMode(Modes::AllLinks);
        SetTimer(true);
    }
}

void PollCycle::DoubleClickRedundantModem(int sw) {
    const int r = SystemSetup::RedundantModemRecord(sw);
    if (d_.setup.rec(r).Mod1Addr.empty())
        return;
    // The mode change itself starts the sequence at step 0, once no reply is awaited.
    UnitCaption = "Redundant Modem, Switch " + std::to_string(sw);
    ChosenLink = SelectedLink = r;
    RequestMode(Modes::DetMod);
}

void PollCycle::DoubleClickUnit(int slot, bool distant) {
    static const char* const captions[2][4] = {{"Modem 1, Local end", "Modem 2, Local end",
                                                "Transceiver 1, Local", "Transceiver 2, Local"},
                                               {"Modem 1, Distant end", "Modem 2, Distant end",
                                                "Transceiver 1, Distant",
                                                "Transceiver 2, Distant"}};
    if (SelectedLink < 1 || SelectedLink > 2 * SystemSetup::LinkCount)
        return;
    const int r = SelectedLink + (distant ? 1 : 0);
    if (d_.setup.rec(r).addr(slot).empty())
        return;
    UnitCaption = captions[distant ? 1 : 0][slot];
    ChosenLink = SelectedLink;
    RequestMode(slot <= Modem2 ? Modes::DetMod : Modes::DetTra);
}

// ---- identification and detail windows ----

void PollCycle::BackToSingleLink() {
    d_.screen.ShowCommunicatingNotice(false);
    d_.screen["LinkBox"].setVisible(true);
    // A redundant modem belongs to no link: its way back is the summary of all links.
    RequestMode(SelectedLink > 2 * SystemSetup::LinkCount ? Modes::AllLinks : Modes::OneLink);
}

void PollCycle::NoWindowYet(const FamilyRow& family) {
    // A unit the station knows: field staff must not read it as an unknown model.
    d_.op.ask("Detail window", "No detail window for " + std::string(family.name) + " units yet",
              BoxIcon::Information, Buttons::Ok, nullptr);
}

void PollCycle::ModelUnknown() {
    d_.op.ask("Problem - Model unknown", "Contact factory", BoxIcon::Exclamation, Buttons::Ok,
              nullptr);
}

void PollCycle::DetModStart() {
    SystemSetup& su = d_.setup;
    EndIsDistant = Contains(UnitCaption, "Distant");
    CurrentEnd = SelectedLink + (EndIsDistant ? 1 : 0);
    const EndRecord& e = su.rec(CurrentEnd);
    if (CurrentEnd > 40)
        PollAddress = e.Mod1Addr;
    else if (!Contains(UnitCaption, "Modem 1"))
        PollAddress = e.Mod2Addr;
    else
        PollAddress = e.Mod1Addr;
    d_.screen.ShowCommunicatingNotice(true, "Communicating...");
    d_.screen["LinkBox"].setVisible(false);
    ModemPairPresent = !e.Mod1Addr.empty() && !e.Mod2Addr.empty();
    StepNo = 1;
    SummarySend("EID?");
}

void PollCycle::AskDistantNoComms() {
    d_.op.ask("Distant modem no comms", "Modem not responding. Will attempt to turn on RF",
              BoxIcon::Exclamation, Buttons::OkCancel, [this](Answer a) {
                  if (a == Answer::Ok) {
                      d_.screen.ShowCommunicatingNotice(true, "Turning Distant RF on....");
                      StepNo = 10;
                  } else {
                      BackToSingleLink();
                  }
              });
}

void PollCycle::AskLocalNoComms() {
    d_.op.ask("Local Modem no comms", "Return to Summary", BoxIcon::Exclamation, Buttons::Ok,
              [this](Answer) { BackToSingleLink(); });
}

void PollCycle::OpenDetail(const DetailRequest& req, bool modem) {
    SetHelpTopic(req.family->helpTopic);
    auto closed = [this, modem](bool configChanged) {
        DetailConfigChanged = configChanged;
        if (modem) {
            tx.CurrentMode = Modes::DetMod;
            StepNo = 400;
        } else {
            RequestMode(Modes::OneLink);
        }
        if (onCaptureCaptions)
            onCaptureCaptions();
        SetTimer(true);
    };
    if (windows_ && windows_->open(req, closed))
        return;
    StepNo = 99;
    NoWindowYet(*req.family);
    if (!modem)
        d_.screen["LinkBox"].setVisible(true);
    RequestMode(modem && SelectedLink > 40 ? Modes::AllLinks : Modes::OneLink);
    if (onCaptureCaptions)
        onCaptureCaptions();
    SetTimer(true);
}

void PollCycle::DetModStep() {
    switch (StepNo) {
    case 1:
        SummarySend("EID?");
        break;
    case 2: {
        const std::string r = SummaryReceive("EID");
        if (r == kCountedOut)
            return;
        d_.screen.ShowCommunicatingNotice(false);
        if (!StartsWith(r, "=")) {
            d_.screen["LinkBox"].setVisible(false);
            StepNo = 99;
            if (EndIsDistant)
                AskDistantNoComms();
            else
                AskLocalNoComms();
            return;
        }
        IdentityCode = Chars(r, 2, 10);
        const FamilyRow* family = Recognise(UnitKind::Modem, IdentityCode);
        if (!family) {
            StepNo = 99;
            ModelUnknown();
            RequestMode(SelectedLink > 40 ? Modes::AllLinks : Modes::OneLink);
            if (onCaptureCaptions)
                onCaptureCaptions();
            SetTimer(true);
            return;
        }
        DetailRequest req;
        req.family = family;
        req.UnitAddress = PollAddress;
        req.UnitName = family->unitName(UnitCaption, IdentityCode);
        req.IdentityCode = IdentityCode;
        req.CurrentEnd = CurrentEnd;
        req.ModemPairPresent = ModemPairPresent;
        SetTimer(false);
        OpenDetail(req, true);
        break;
    }
    case 10:
        txoAttempts_ = 0;
        StepNo = 11;
        break;
    case 11:
        txoAttempts_ += 1;
        SummarySend("TXO=1");
        break;
    case 12: {
        const std::string r = SummaryReceive("TXO");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            d_.screen.ShowCommunicatingNotice(false);
            StepNo = 1;
        } else if (txoAttempts_ < 3) {
            StepNo = 11;
        } else {
            StepNo = 99;
            d_.screen.ShowCommunicatingNotice(false);
            AskDistantNoComms();
        }
        break;
    }
    case 400:
        if (DetailConfigChanged && LinkLoggedForRecord(CurrentEnd)) {
            SavedStep = 405;
            ChangeLogAddress = PollAddress;
            StepNo = 403;
        } else {
            SummarySend("FLT?");
        }
        break;
    case 401: {
        const std::string r = SummaryReceive("FLT");
        if (r == kCountedOut)
            return;
        Trace(r, "[resp]");
        StepNo = 405;
        const bool mark = StartsWith(r, "=") && ReadFaultReply(r, ModemShapeOfReply(r)).changeMark;
        if (mark && LinkLoggedForRecord(CurrentEnd)) {
            SavedStep = 405;
            ChangeLogAddress = PollAddress;
            StepNo = 403;
        }
        break;
    }
    case 403:
    case 404:
        autoLog_->Step();
        break;
    case 405:
        RequestMode(CurrentEnd > 40 ? Modes::AllLinks : Modes::OneLink);
        break;
    default:
        break;
    }
}

void PollCycle::DetTraStart() {
    EndIsDistant = Contains(UnitCaption, "Distant");
    CurrentEnd = SelectedLink + (EndIsDistant ? 1 : 0);
    const EndRecord& e = d_.setup.rec(CurrentEnd);
    PollAddress = Contains(UnitCaption, "Transceiver 1") ? e.Tr1Addr.str() : e.Tr2Addr.str();
    d_.screen.ShowCommunicatingNotice(true, "Communicating...");
    d_.screen["LinkBox"].setVisible(false);
    StepNo = 1;
    SummarySend("RET?");
}

void PollCycle::DetTraStep() {
    if (StepNo == 1) {
        SummarySend("RET?");
        return;
    }
    if (StepNo != 2)
        return;
    const std::string r = SummaryReceive("RET");
    if (r == kCountedOut)
        return;
    d_.screen.ShowCommunicatingNotice(false);
    if (!StartsWith(r, "=")) {
        d_.screen["LinkBox"].setVisible(false);
        StepNo = 99;
        AskLocalNoComms();
        return;
    }
    DetailRequest req;
    req.UnitAddress = PollAddress;
    req.CurrentEnd = CurrentEnd;
    // The two transceivers of the end form a 1:1 pair.
    const EndRecord& e = d_.setup.rec(CurrentEnd);
    req.ModemPairPresent = !e.Tr1Addr.empty() && !e.Tr2Addr.empty();
    const FamilyRow* family = Recognise(UnitKind::Transceiver, r);
    if (!family) {
        StepNo = 99;
        ModelUnknown();
        d_.screen["LinkBox"].setVisible(true);
        RequestMode(Modes::OneLink);
        SetTimer(true);
        return;
    }
    req.family = family;
    req.UnitName = family->unitName(UnitCaption, r);
    SetTimer(false);
    OpenDetail(req, false);
}

} // namespace linvar
