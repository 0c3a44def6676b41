// The redundancy switch window's utilities (the switch's clock, its configuration
// memories with their preview) and the download of its event log.

#include "detail/switch/SwitchWindow.h"

#include "ui/Clock.h"
#include "wire/TextFormats.h"

#include <iterator>

namespace linvar {

namespace {

std::string Numbered(const char* name, int k) {
    return name + std::to_string(k);
}

} // namespace

void SwitchWindow::BuildUtilityExtras() {
    // The clock group as this window names it; no buffer or switchover here.
    at("ClockBox").setText("Date and Time");
    at("HourOffsetCap").setText("Select an hour offset, if desired");
    at("QuarterOffsetCap").setText("Time offset");
    at("BtnSetTime").setText("Set &Time (including offset)");
    at("MemoryBox").setText("Load and Store");
    at("BtnMemConfirm").setText("Confir&m");
    add("MemoryBox", "MemoryHint", ControlKind::Label,
        "Select a memory location above, then click on a button below:");
    at("MemPreview").setText("Location Contents");
    add("MemPreview", "PrvMode", ControlKind::Label).setWidth(22);
    add("MemPreview", "PrvLamps", ControlKind::Panel).setLayout(Layout::Row);
    for (int k = 1; k <= 10; ++k)
        add("PrvLamps", Numbered("PrvLmp", k), ControlKind::Label, std::to_string(k)).setWidth(3);
    add("MemPreview", "PrvLegend", ControlKind::Panel).setLayout(Layout::Row);
    add("PrvLegend", "PrvActive", ControlKind::Label, "=active").setBackground(Colours::lime);
    add("PrvLegend", "PrvIdle", ControlKind::Label, "=not active").setBackground(Colours::gray);

    onClick("BtnSetTime", [this] {
        ClearUtilityLabels();
        at("LblDate").setText("Setting date...").setTextColour(Colours::blue);
        RequestStep(kSetTime);
    });
    const auto memoryButton = [this](bool load) {
        // The confirmation of an earlier preview goes: it named another reading.
        HideMemoryQuestion();
        state().LoadMemory = load;
        at(load ? "BtnLoad" : "BtnStore").setEnabled(false);
        ClearUtilityLabels();
        RequestStep(kMemoryRead);
    };
    onClick("BtnLoad", [memoryButton] { memoryButton(true); });
    onClick("BtnStore", [memoryButton] { memoryButton(false); });
    onClick("BtnMemConfirm", [this] {
        HideMemoryQuestion();
        const bool load = State().LoadMemory;
        at("MemoryMsg").setText(load ? "Loading..." : "Storing...").setTextColour(Colours::blue);
        RequestStep(load ? kMemoryLoad : kMemoryStore);
    });
    onClick("BtnMemCancel", [this] {
        HideMemoryQuestion();
        messageHoldTicks_ = 1;
        ClearUtilityLabels();
    });
}

// ---- utilities ------------------------------------------------------------------------------

std::string SwitchWindow::MemoryNumber() const {
    return MemoryDigit();
}

void SwitchWindow::PreviewLocation(const std::string& reply) {
    at("MemPreview").setText("Content of Config Store #" + MemoryNumber());
    SetValue("PrvMode", Chars(reply, 2, 1) == "0" ? "Manual Operation" : "Automatic Operation",
             Colours::lime);
    for (int k = 1; k <= 10; ++k)
        at(Numbered("PrvLmp", k))
            .setBackground(Chars(reply, 2 + k, 1) == "1" ? Colours::lime : Colours::gray);
    FillPreview(Family().memory.preview, reply);
    ShowMemoryPreview(true, false);
}

bool SwitchWindow::UtilityStep() {
    int& step = state().StepNo;
    const bool remote = RemoteMode;
    const std::string n = MemoryNumber();
    Control& msg = at("MemoryMsg");
    const auto red = [](const std::string& r) { return Chars(r, 2, 21); };
    switch (step) {
    case kUtilities:
        // Away from the status loop (a memory load may activate or deactivate modems): the
        // activate buttons wait for the interfaces and their flags to be read again.
        flagsMatchCaptions_ = false;
        at("BtnLoad").setEnabled(true);
        at("BtnStore").setEnabled(remote);
        at("BtnSetTime").setEnabled(remote);
        at("BtnMemConfirm").setVisible(false);
        at("BtnMemCancel").setVisible(false);
        ShowInstruction("");
        ShowPanels(false, false, true, false);
        EnableButtons(true, true, false, true);
        step = kClockLoop;
        return true;
    case 501:
        SendRequest("DAY?");
        return true;
    case 503:
        SendRequest("TIM?");
        return true;
    case kSetTime:
        at("ClockModem").setText("Setting time, date...");
        SendRequest(SetDateCommand());
        return true;
    case 533:
        SendRequest(SetTimeCommand());
        return true;
    case kMemoryRead:
        msg.setText("Reading location...").setTextColour(Colours::blue);
        SendRequest("CST?" + LatchMemoryLocation());
        return true;
    case kMemoryLoad:
        SendRequest("CLD=" + n);
        return true;
    case kMemoryStore:
        SendRequest("CST=" + n);
        return true;
    case 567:
        messageHoldTicks_ = 0;
        step = 568;
        return true;
    case 568:
        if (++messageHoldTicks_ > 30) {
            msg.setText("");
            step = kClockLoop;
        }
        return true;
    default:
        break;
    }
    static const char* const mnemonics[] = {"DAY", "TIM", "DAY", "TIM", "CST", "CLD", "CST"};
    static const int replySteps[] = {502, 504, 532, 534, 552, 564, 566};
    size_t which = 0;
    while (which < std::size(replySteps) && replySteps[which] != step)
        ++which;
    if (which == std::size(replySteps))
        return false;
    const std::string r = TakeReply(mnemonics[which]);
    if (r == kCountedOut)
        return true;
    const bool ok = StartsWith(r, "=");
    switch (step) {
    case 502:
        keptDate_ = ok ? DateTextDMY(Chars(r, 2, 6)) : "";
        if (!ok)
            at("LblDate").setText("Date:" + red(r)).setTextColour(Colours::red);
        step = ok ? 503 : kClockLoop;
        break;
    case 504:
        if (ok) {
            if (messageHoldTicks_ > 0) {
                --messageHoldTicks_;
            } else {
                at("LblDate").setText("");
                at("LblTime").setText("");
            }
            at("ClockModem").setText(TimeText(Chars(r, 2, 6), clock()) + " " + keptDate_);
        } else {
            at("ClockOffsetCap").setVisible(false);
            at("ClockOffset").setVisible(false);
            at("ClockModem").setText(keptDate_);
            at("LblTime").setText("Time:" + red(r)).setTextColour(Colours::red);
        }
        step = kClockLoop;
        break;
    case 532:
        if (ok)
            at("LblDate").setText("Date set OK").setTextColour(Colours::blue);
        else
            at("LblDate").setText("Date:" + red(r)).setTextColour(Colours::red);
        at("LblTime").setText("Setting time...").setTextColour(Colours::blue);
        step = 533;
        break;
    case 534:
        if (ok)
            at("LblTime").setText("Time set OK").setTextColour(Colours::blue);
        else
            at("LblTime").setText("Time:" + red(r)).setTextColour(Colours::red);
        messageHoldTicks_ = 10;
        step = kClockLoop;
        break;
    case 552:
        at("BtnLoad").setEnabled(remote);
        at("BtnStore").setEnabled(remote);
        step = kClockLoop;
        if (ok) {
            PreviewLocation(r);
            if (!remote) {
                msg.setText("Contents of location " + n + " shown. Note: Local mode.");
            } else {
                const bool load = State().LoadMemory;
                msg.setText(load ? "Config present in memory location " + n + ". Confirm load."
                                 : "Warning! Location " + n + " contains data. Overwrite?");
                at("BtnMemConfirm").setText(load ? "Confir&m" : "Over&Write").setVisible(true);
                at("BtnMemCancel").setVisible(true);
            }
            msg.setTextColour(Colours::blue);
        } else if (StartsWith(r, "*") && State().LoadMemory) {
            msg.setText("No config is stored in memory " + n).setTextColour(Colours::purple);
        } else if (StartsWith(r, "*")) {
            // An empty location is stored into without asking.
            msg.setText("Storing...").setTextColour(Colours::blue);
            step = kMemoryStore;
        } else {
            msg.setText(red(r)).setTextColour(Colours::red);
        }
        break;
    case 564:
        if (ok) {
            msg.setText("Modem re-configured using memory location " + n)
                .setTextColour(Colours::blue);
            deps().tx.DelayLeft = 1500;
            step = 567;
        } else {
            msg.setText(StartsWith(r, "?") ? std::string("Problem with memory load.") : red(r))
                .setTextColour(Colours::red);
            step = kClockLoop;
        }
        break;
    case 566:
        if (ok) {
            msg.setText("Current config now stored in memory " + n).setTextColour(Colours::blue);
            step = 567;
        } else {
            msg.setText(StartsWith(r, "?") ? std::string("Problem with memory store") : red(r))
                .setTextColour(Colours::red);
            step = kClockLoop;
        }
        break;
    default:
        break;
    }
    return true;
}

// ---- the event log ----------------------------------------------------------------------------

bool SwitchWindow::LogStep() {
    int& step = state().StepNo;
    const auto red = [](const std::string& r) { return Chars(r, 2, 21); };
    const auto finished = [&] {
        at("LogTopLine").setText("Event data stored in " + State().LogFileName);
        at("BtnChooseFile").setVisible(false);
        at("LogCount").setText("");
        EnableButtons(true, true, true, false);
        step = kLogDone;
    };
    switch (step) {
    case kLog: {
        flagsMatchCaptions_ = false;
        ShowPanels(false, false, false, true);
        EnableButtons(true, true, true, false);
        ShowInstruction("");
        at("LogMemo").setText("").setVisible(false);
        for (const char* c : {"FileExistsBox", "FileNewBox", "ReadLogBox", "LogWarning"})
            at(c).setVisible(false);
        at("LogProgress").setText("");
        const bool remote = RemoteMode;
        at("LogTopLine")
            .setText(remote ? "Choose a data file name so that Switch event data can be retained"
                            : "Unit must be in remote mode to download log");
        at("BtnChooseFile").setVisible(true).setEnabled(remote);
        step = 601;
        return true;
    }
    case 601:
        SendRequest("NUE?");
        return true;
    case kLogRead:
        SendRequest("RNE?");
        return true;
    case kLogWrite:
        if (!WriteLogFile())
            return true;
        if (StartsWith(State().LastReply, "T")) {
            // The reading was cut short by a failed exchange: the unread events stay in
            // the switch.
            at("LogProgress").setText("Log: " + red(State().LastReply)).setTextColour(Colours::red);
            finished();
            return true;
        }
        SendRequest("CAE=");
        return true;
    case kLogIdle:
    case kLogDone:
        return true;
    default:
        break;
    }
    if (step != 602 && step != 604 && step != 612)
        return false;
    const char* mnemonic = step == 602 ? "NUE" : step == 604 ? "RNE" : "CAE";
    const std::string r = TakeReply(mnemonic);
    if (r == kCountedOut)
        return true;
    const bool ok = StartsWith(r, "=");
    switch (step) {
    case 602:
        if (ok) {
            at("LogCount")
                .setText("Number of unread Log events: " +
                         std::to_string(IntOfText(Chars(r, 2, 2))))
                .setTextColour(Colours::black)
                .clearBackground();
            ShowNotice("", Colours::black);
        } else {
            at("LogCount").setText(red(r)).setTextColour(Colours::red).clearBackground();
        }
        step = kLogIdle;
        break;
    case 604:
        // A reply without any record ends the reading like a refusal.
        step = TakeLogRecords(Family().logs.front(), r) > 0 ? kLogRead : kLogWrite;
        break;
    case 612:
        if (ok)
            at("LogProgress").setText("Reading log completed").setTextColour(Colours::blue);
        else
            at("LogProgress").setText("Clearing log:" + red(r)).setTextColour(Colours::red);
        finished();
        break;
    default:
        break;
    }
    return true;
}

} // namespace linvar
