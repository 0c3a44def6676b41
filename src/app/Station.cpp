#include "app/Station.h"

#include "export/StatusServer.h"
#include "logging/Print.h"
#include "poll/AutoLog.h"
#include "setup/SetupFile.h"
#include "ui/Operator.h"
#include "ui/UserError.h"

#include <algorithm>
#include <cstdio>

namespace linvar {

Station::Station(Platform platform)
    : p_(std::move(platform)), capture_(p_.clock, p_.programDir), link_(capture_, p_.transmit),
      linkPort_(link_), comms_(p_.port, capture_, p_.programDir), commsScreen_(comms_),
      saveDialog_(setup_, p_.programDir),
      cycle_({setup_, linkPort_, capture_, p_.clock, Printing(), screen_, p_.op, p_.programDir}),
      linkEdit_(cycle_), switchEdit_(cycle_) {
    auto report = [this](const std::string& t) { Report(t); };
    for (Screen* s : std::initializer_list<Screen*>{&screen_, &commsScreen_, &saveDialog_,
                                                    &linkEdit_, &switchEdit_})
        s->setErrorReporter(report);
    // Link and switch edit open in front of the main window while polling is suspended.
    linkEdit_.onShown = [this](bool on) { on ? Show(linkEdit_) : Close(linkEdit_); };
    switchEdit_.onShown = [this](bool on) { on ? Show(switchEdit_) : Close(switchEdit_); };
    BuildStartPanel();

    screen_.onClick("BtnComms", [this] { ShowCommsDialog(); });
    screen_.onClick("BtnCapture", [this] {
        capture_.ToggleCapture();
        RefreshCaptureCaptions();
    });
    screen_.onClick("BtnPrint", [this] {
        Printing().PrintToggle(p_.clock);
        const bool printing = Printing().printActive();
        screen_["BtnPrint"].setText(printing ? "Disable &Print" : "Enable &Print");
        screen_["PrintState"].setText(printing ? "Print Enabled" : "Print Disabled");
    });
    screen_.onClick("BtnHelp", [this] { p_.op.showHelp(cycle_.HelpTopic); });
    screen_.onClick("BtnQuit", [this] { Quit(); });
    screen_.onClick("BtnSave", [this] { ShowSaveDialog(); });
    screen_.onClick("BtnProceed", [this] { DirectStart(); });
    screen_.onClick("BtnChoose", [this] { ShowCommsDialog(); });
    screen_.onClick("BtnStartQuit", [this] { quit_ = true; });
    screen_.onClick("BtnStartHelp", [this] { p_.op.showHelp(cycle_.HelpTopic); });
    cycle_.onCaptureCaptions = [this] { RefreshCaptureCaptions(); };
    // Detail windows open in front of the main window and drive the port while open.
    detailHost_ = std::make_unique<DetailHost>(
        DetailHost::StationParts{cycle_.tx, linkPort_, capture_, p_.clock, p_.op, setup_,
                                 Printing(), p_.programDir},
        [this](Screen& s, bool on) { on ? Show(s) : Close(s); });
    cycle_.SetDetailWindows(detailHost_.get());
    cycle_.autoLog().showNotice = [this](bool on) {
        if (!on)
            Close(notice_);
        else if (!p_.active || p_.active())
            Show(notice_);
    };
    journal_ = std::make_unique<AlarmJournal>(p_.clock, setup_, p_.programDir, report);
    cycle_.onUnitState = [this](const UnitStateEvent& e) { UnitState(e); };
    // The Alarms window stays open beside the main window; polling goes on.
    alarms_ = std::make_unique<AlarmsScreen>(*journal_, p_.clock);
    alarms_->setErrorReporter(report);
    alarms_->onClose = [this] { Close(*alarms_); };
    alarms_->onHelp = [this] { p_.op.showHelp(AlarmsScreen::kHelpTopic); };
    screen_.onClick("BtnAlarms", [this] {
        alarms_->Refresh();
        Show(*alarms_);
    });
    // The Trends window is drawn by the Qt layer; the main window opens it on no unit in
    // particular, a detail window on its own unit.
    screen_.onClick("BtnTrends", [this] {
        if (onTrends)
            onTrends({});
    });
    detailHost_->onTrends = [this](const std::string& address) {
        if (onTrends)
            onTrends(address);
    };
    windows_.push_back(&screen_);
}

Station::~Station() = default;

void Station::BuildStartPanel() {
    SummaryScreen& s = screen_;
    s.add("", "StartGroup", ControlKind::Panel).setLayout(Layout::Column);
    s.add("StartGroup", "Logo", ControlKind::Picture, "Arvelle Quorin");
    s.add("StartGroup", "ProductName", ControlKind::Label, "Linvar").setFont(28, true);
    s.add("StartGroup", "ProductLine", ControlKind::Label,
          "Monitor and Control Software for Arvelle Quorin MQX Modems and VORN/PLD "
          "Transceivers");
    s.add("StartGroup", "ResizeHint", ControlKind::Label, "Resize screen now, if necessary");
    s.add("StartGroup", "ResolutionHint", ControlKind::Label,
          "Minimum recommended resolution is 800 x 600 (96 ppi) with 256 colors");
    s.add("StartGroup", "ContactFrame", ControlKind::Group).setLayout(Layout::Column);
    s.add("ContactFrame", "Contact", ControlKind::Label, "Arvelle Quorin");
    s.add("ContactFrame", "Version", ControlKind::Label, "Version 4.7");
    s.add("StartGroup", "UsingSettings", ControlKind::Label, "using comms settings:");
    s.add("StartGroup", "StartSettings", ControlKind::Label);
    s.add("StartGroup", "PortFailed", ControlKind::Label, "Port did not open.")
        .setTextColour(Colours::red)
        .setVisible(false);
    s.add("StartGroup", "StartButtons", ControlKind::Panel).setLayout(Layout::Row);
    s.add("StartButtons", "BtnProceed", ControlKind::Button, "&Proceed");
    s.add("StartButtons", "BtnChoose", ControlKind::Button, "&Choose I/O and Proceed");
    s.add("StartButtons", "BtnStartQuit", ControlKind::Button, "&Quit");
    s.add("StartButtons", "BtnStartHelp", ControlKind::Button, "&Help");
}

void Station::Report(const std::string& text) {
    p_.op.report(text);
}

void Station::Show(Screen& s) {
    if (!IsShown(s))
        windows_.push_back(&s);
}

void Station::Close(Screen& s) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), &s), windows_.end());
}

bool Station::IsShown(const Screen& s) const {
    return std::find(windows_.begin(), windows_.end(), &s) != windows_.end();
}

std::string Station::CommsText(const char* separator) const {
    const CommsSelection& sel = comms_.Selection();
    return "Com" + sel.portText() + separator + sel.speedText();
}

std::string Station::FormatText() const {
    const int format = comms_.Selection().format;
    return CommsFormatEntries()[static_cast<size_t>(std::max(format, 0))];
}

void Station::Activate(bool directStart) {
    cycle_.SetTimer(false);
    cycle_.ResetPollState();
    for (int slot = 0; slot < UnitSlotCount; ++slot) {
        for (bool distant : {false, true}) {
            screen_[SummaryScreen::UnitIconName(slot, distant)].setText("");
            screen_[SummaryScreen::UnitMarkerName(slot, distant)].setText("");
        }
    }
    // The summary waits behind the start panel until polling starts.
    screen_["SumBox"].setVisible(false);
    screen_["SumHint"].setVisible(false);
    screen_["BtnSave"].setVisible(false);
    screen_["BtnPrint"].setEnabled(true);
    screen_.guarded([this] {
        ReadSetupFileName(setup_, p_.programDir);
        LoadSetup(setup_, p_.programDir);
    });
    setup_.RecomputeAnyEndActive();
    setup_.ResetDisplayColours();
    journal_->Rebuild();
    StartReadings();
    screen_.RefreshSummary(setup_, cycle_.WorstStatus);
    screen_.RefreshIds(setup_);
    screen_.RefreshPollMarks(setup_);
    screen_.setCaption("Arvelle Quorin  M&C  Software          Linvar  Ver 4.7   (" +
                       p_.programFileName + ")");
    screen_.guarded([this] {
        if (auto problem = comms_.ReadCommsSettings())
            Report(problem->what());
    });
    screen_["StartSettings"].setText(CommsText(", ") + " baud, " + FormatText());
    screen_["CommsLabel"].setText(CommsText(",") + "bd," + FormatText());
    RefreshCaptureCaptions();
    if (directStart)
        DirectStart();
}

void Station::DirectStart() {
    const CommsSelection& sel = comms_.Selection();
    if (sel.port >= 0 && sel.speed >= 0) {
        p_.port.SetBaudrate(std::stoi(sel.speedText()));
        p_.port.SetPort(static_cast<uint8_t>(std::stoi(sel.portText())));
        // Equipment set to 7E2 or 7O2 answers nothing at 8N1.
        if (sel.format >= 0) {
            const CommsFormat f = CommsFormatAt(sel.format);
            p_.port.SetParity(f.parity);
            p_.port.SetDataBits(f.dataBits);
            p_.port.SetStopBits(f.stopBits);
        }
        p_.port.SetOpen(true);
    }
    if (p_.port.IsOpen()) {
        StartPolling();
        return;
    }
    screen_["BtnProceed"].setEnabled(false);
    screen_["StartSettings"].setVisible(false);
    screen_["PortFailed"].setVisible(true);
}

void Station::StartPolling() {
    screen_["StartGroup"].setVisible(false);
    cycle_.StartPolling();
}

void Station::ShowCommsDialog() {
    commsScreen_.Activate();
    RefreshCaptureCaptions(); // the dialog switches capture off
    Show(commsScreen_);
}

void Station::CommsDialogClosed() {
    Close(commsScreen_);
    if (comms_.DialogResult() != CommsDialog::drOK)
        return;
    screen_["CommsLabel"].setText(CommsText(", ") + "bd," + FormatText());
    if (cycle_.tx.CurrentMode.empty()) {
        StartPolling();
        return;
    }
    // Already polling: the all-links view starts afresh once no reply is awaited, rather
    // than the all-links cycle running on under whatever view was on screen.
    cycle_.RequestMode(Modes::AllLinks);
    cycle_.SetTimer(true);
}

void Station::ShowSaveDialog() {
    saveDialog_.Activate();
    cycle_.SetHelpTopic(2);
    Show(saveDialog_);
}

void Station::SaveDialogClosed() {
    Close(saveDialog_);
    setup_.ResetDisplayColours();
    screen_.RefreshSummary(setup_, cycle_.WorstStatus);
    screen_.RefreshIds(setup_);
    screen_.RefreshPollMarks(setup_);
    cycle_.SetHelpTopic(1);
}

void Station::Quit() {
    p_.op.ask("Quit Program", "You really want to quit the program? Is everything stored?",
              BoxIcon::Exclamation, Buttons::YesNo, [this](Answer a) {
                  if (a != Answer::Yes)
                      return;
                  screen_.guarded([this] { capture_.SwitchOff(); });
                  quit_ = true;
              });
}

void Station::RefreshCaptureCaptions() {
    const bool on = capture_.CaptureOn();
    screen_["BtnCapture"].setText(on ? "Disable &I/O Capture File" : "Enable &I/O Capture File");
    screen_["CaptureState"].setText(on ? "Capture enabled" : "Capture disabled");
}

void Station::Tick() {
    // A failure in one part is reported and the other parts of the tick still run.
    screen_.guarded([this] {
        if (IsShown(commsScreen_)) {
            commsScreen_.Tick();
            if (comms_.DialogResult() != CommsDialog::drNone)
                CommsDialogClosed();
        }
    });
    screen_.guarded([this] {
        if (IsShown(saveDialog_) && saveDialog_.Closed())
            SaveDialogClosed();
    });
    screen_.guarded([this] { detailHost_->Tick(); });
    screen_.guarded([this] { WatchPort(); });
    screen_.guarded([this] { cycle_.Tick(); });
    screen_.guarded([this] {
        if (readings_)
            if (auto problem = readings_->History().TakeReport())
                Report(*problem);
        journal_->Tick();
        if (IsShown(*alarms_))
            alarms_->Tick();
        RefreshAlarmCount();
    });
    SoundAlarm();
    if (onSnapshot)
        PublishSnapshot();
    // Capture may have gone off by itself (a file that cannot be written).
    screen_.guarded([this] { RefreshCaptureCaptions(); });
}

void Station::RefreshAlarmCount() {
    const int n = journal_->UnacknowledgedCount();
    screen_["AlarmCount"].setText(n == 0 ? "" : std::to_string(n) + " unacknowledged");
}

void Station::SoundAlarm() {
    const uint64_t faults = journal_->FaultsBegun();
    if (faults == faultsHeard_)
        return;
    const int64_t now = p_.clock.monotonicMs();
    if (!alarms_->SoundOn() || (beeped_ && now - beepedAt_ < AlarmsScreen::kSoundRepeatMs)) {
        faultsHeard_ = faults; // a fault while muted or just after a sound stays silent
        return;
    }
    faultsHeard_ = faults;
    beeped_ = true;
    beepedAt_ = now;
    if (p_.beep)
        p_.beep();
}

void Station::UnitState(const UnitStateEvent& e) {
    UnitSeen& u = units_[{e.record, e.slot}];
    u.status = e.status;
    if (e.status == 4)
        ++timeouts_;
    else
        u.lastAnswer = IsoTime(p_.clock.now());
    journal_->Observe(e);
}

void Station::StartReadings() {
    if (readings_)
        return;
    const ReadingsSettings settings = ReadingsSettings::Read(p_.programDir);
    for (const std::string& problem : settings.problems)
        Report(problem);
    if (settings.intervalMs <= 0)
        return;
    readings_ = std::make_unique<Readings>(p_.clock, p_.programDir, settings);
    // A reading alarm of the last run stays until the reading says otherwise.
    for (const ActiveAlarm& a : journal_->Active())
        if (!a.reading.empty())
            readings_->Levels().Seed(a.address, a.reading, a.status);
    ReadingsPass& pass = cycle_.readings();
    pass.SetInterval(settings.intervalMs);
    pass.onReading = [this](const ReadingSample& s) { Reading(s); };
    ConnectReadingsExport();
}

void Station::ConnectReadingsExport() {
    if (!readings_ || !exportServer_)
        return;
    ReadingsDatabase* db = &readings_->History();
    exportServer_->SetReadings(
        [db](const std::string& address, const std::string& reading, int64_t fromMs, int64_t toMs) {
            return db->Csv(address, reading, fromMs, toMs);
        });
}

void Station::Reading(const ReadingSample& sample) {
    std::vector<ThresholdEvent> events;
    readings_->Take(sample, events);
    for (const ThresholdEvent& e : events)
        journal_->ObserveReading(sample.record, sample.slot, e.label, e.from, e.to, e.detail);
}

void Station::PublishSnapshot() {
    const int64_t now = p_.clock.monotonicMs();
    const uint64_t changes = linkPort_.requests + link_.Answers() + journal_->Revision() +
                             (p_.port.IsOpen() && !p_.port.PortLost() ? 1 : 0);
    if (changes == published_ || now - publishedAt_ < 1000)
        return;
    published_ = changes;
    publishedAt_ = now;
    onSnapshot(Snapshot());
}

std::shared_ptr<const StatusSnapshot> Station::Snapshot() const {
    auto s = std::make_shared<StatusSnapshot>();
    s->time = IsoTime(p_.clock.now());
    s->title = screen_.Title();
    s->polling = !cycle_.tx.CurrentMode.empty();
    s->portUp = p_.port.IsOpen() && !p_.port.PortLost();
    for (int r = 1; r <= SystemSetup::RecordCount; ++r) {
        if (!setup_.EndActive(r))
            continue;
        AlarmEntry end;
        end.record = r;
        s->ends.push_back({end.link(), end.link() ? end.end() : AlarmUnitName(r, 0),
                           std::string(setup_.rec(r).IdText), colourName(setup_.rec(r).EndColour)});
        for (int slot = 0; slot < UnitSlotCount; ++slot) {
            const EndRecord& e = setup_.rec(r);
            if (std::string(e.addr(slot)).empty())
                continue;
            UnitSnapshot u;
            AlarmEntry where;
            where.record = r;
            u.record = r;
            u.slot = slot;
            u.link = where.link();
            u.end = where.end();
            u.unit = AlarmUnitName(r, slot);
            u.address = std::string(e.addr(slot));
            u.linkId = std::string(e.IdText);
            u.colour = colourName(e.unitColour(slot));
            if (auto it = units_.find({r, slot}); it != units_.end()) {
                u.status = it->second.status;
                u.lastAnswer = it->second.lastAnswer;
            }
            s->units.push_back(std::move(u));
        }
    }
    s->requests = linkPort_.requests;
    s->answers = link_.Answers();
    s->timeouts = timeouts_;
    s->active = journal_->Active();
    const auto& recent = journal_->Recent();
    const size_t n = std::min<size_t>(recent.size(), 100);
    s->recent.assign(recent.end() - static_cast<long>(n), recent.end());
    s->unacknowledged = journal_->UnacknowledgedCount();
    if (readings_)
        for (const LastReading& r : readings_->Last(cycle_.readings().LastPassMs()))
            s->readings.push_back({r.address, r.link, r.end, r.kind, r.value});
    return s;
}

bool Station::StartStatusExport(StatusServer& server, const std::string& address, int port) {
    std::string error;
    if (server.Start(address, port, error) < 0) {
        // The export is an addition: the station polls on without it.
        std::fprintf(stderr, "linvar: %s\n", error.c_str());
        Report(error);
        return false;
    }
    onSnapshot = [&server](std::shared_ptr<const StatusSnapshot> s) {
        server.Publish(std::move(s));
    };
    exportServer_ = &server;
    ConnectReadingsExport();
    return true;
}

void Station::WatchPort() {
    if (cycle_.tx.CurrentMode.empty())
        return;
    const int64_t now = p_.clock.monotonicMs();
    if (!portDown_) {
        if (!p_.port.PortLost())
            return;
        // The exchanges in flight time out and the units turn blue meanwhile.
        portDown_ = true;
        reopenDelayMs_ = 1000;
        nextReopenAt_ = now + reopenDelayMs_;
        commsLabel_ = screen_["CommsLabel"].text();
        screen_["CommsLabel"].setText("Com" + comms_.Selection().portText() + " lost, retrying");
        return;
    }
    if (now < nextReopenAt_)
        return;
    p_.port.SetOpen(false);
    p_.port.SetOpen(true);
    if (p_.port.IsOpen() && !p_.port.PortLost()) {
        portDown_ = false;
        screen_["CommsLabel"].setText(commsLabel_);
        return;
    }
    reopenDelayMs_ = std::min(reopenDelayMs_ * 2, 8000);
    nextReopenAt_ = now + reopenDelayMs_;
}

} // namespace linvar
