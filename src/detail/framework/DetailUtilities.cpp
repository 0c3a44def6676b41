// The utilities panel: the unit's clock read in a loop and set with the offsets, the
// buffer centring and the forced 1:1 switchover.

#include "detail/framework/DetailWindow.h"

#include "ui/Clock.h"
#include "wire/TextFormats.h"

namespace linvar {

namespace {

// Utility message labels, cleared together; the memory message is the last.
const char* const kUtilityLabels[] = {"LblDate", "LblTime", "BufferMsg", "SwitchMsg", "MemoryMsg"};
constexpr size_t kClockLoopLabels = 4;

} // namespace

void DetailWindow::BuildUtilities() {
    AddGroup("PanelUtilities", "ClockBox", "Time and Date", 2);
    add("ClockBox", "ClockComputerCap", ControlKind::Label, "Computer:");
    add("ClockBox", "ClockComputer", ControlKind::Label).setTextColour(Colours::blue);
    add("ClockBox", "ClockOffsetCap", ControlKind::Label, "Computer w/offset:").setVisible(false);
    add("ClockBox", "ClockOffset", ControlKind::Label)
        .setTextColour(Colours::blue)
        .setVisible(false);
    add("ClockBox", "ClockModemCap", ControlKind::Label, family_.clock.unitCaption);
    add("ClockBox", "ClockModem", ControlKind::Label).setTextColour(Colours::blue);
    add("ClockBox", "HourOffsetCap", ControlKind::Label, "Hour offset");
    std::vector<std::string> hours;
    for (int h = 23; h >= 1; --h)
        hours.push_back("+" + std::to_string(h));
    hours.push_back(family_.clock.hourZero);
    for (int h = 1; h <= 23; ++h)
        hours.push_back("-" + std::to_string(h));
    add("ClockBox", "HourOffset", ControlKind::Combo).setItems(hours);
    add("ClockBox", "QuarterOffsetCap", ControlKind::Label, "Quarter-hour offset");
    add("ClockBox", "QuarterOffset", ControlKind::Combo)
        .setItems({"+3/4", "+1/2", "+1/4", " 0", "-1/4", "-1/2", "-3/4"});
    add("ClockBox", "LblDate", ControlKind::Label);
    add("ClockBox", "LblTime", ControlKind::Label);
    add("ClockBox", "BtnSetTime", ControlKind::Button,
        family_.clock.setCaption.empty() ? "Set &Time and Date" : family_.clock.setCaption);

    AddGroup("PanelUtilities", "BufferBox", "Buffer", 0).setVisible(family_.panels.buffer);
    add("BufferBox", "NotRemoteMsg", ControlKind::Label, "The Modem is not in REMOTE mode")
        .setTextColour(Colours::red);
    add("BufferBox", "BufferNotAllowed", ControlKind::Label,
        "Re-centering of the buffer is not allowed at this time");
    add("BufferBox", "BufferHint", ControlKind::Label,
        "Click on the 'Center Buffer' button below to perform buffer re-centering");
    add("BufferBox", "BtnCenterBuffer", ControlKind::Button, " Center &Buffer");
    add("BufferBox", "BufferMsg", ControlKind::Label);

    AddGroup("PanelUtilities", "SwitchBox", "1:1 Switchover", 0)
        .setVisible(family_.panels.switchover);
    add("SwitchBox", "SwitchNotOnline", ControlKind::Label,
        "Switchover control is only available via the On-line modem in a 1:1 pair.");
    add("SwitchBox", "SwitchHint", ControlKind::Label,
        "Click on the button below to force a switchover of the modems in a 1:1 pair:");
    add("SwitchBox", "BtnSwitch", ControlKind::Button, "Force &1:1 Switch");
    add("SwitchBox", "SwitchMsg", ControlKind::Label);

    AddGroup("PanelUtilities", "MemoryBox", "Configuration memories", 0)
        .setVisible(family_.memory.present);
    std::vector<std::string> locations;
    for (int i = 0; i <= 9; ++i)
        locations.push_back(" " + std::to_string(i));
    add("MemoryBox", "MemoryList", ControlKind::Combo).setItems(locations);
    add("MemoryBox", "MemoryButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("MemoryButtons", "BtnLoad", ControlKind::Button, "L&oad");
    add("MemoryButtons", "BtnStore", ControlKind::Button, "Sto&re");
    add("MemoryButtons", "BtnMemConfirm", ControlKind::Button, "C&onfirm").setVisible(false);
    add("MemoryButtons", "BtnMemCancel", ControlKind::Button, "C&ancel").setVisible(false);
    add("MemoryBox", "MemoryMsg", ControlKind::Label);
    AddGroup("MemoryBox", "MemPreview", "Memory location  0 preview", 0).setVisible(false);
    add("MemPreview", "MemMemos", ControlKind::Panel).setLayout(Layout::Row);
    std::vector<PreviewMemo> memos = family_.memory.preview;
    for (const auto& prelude : family_.memory.preludePreviews)
        memos.insert(memos.end(), prelude.begin(), prelude.end());
    for (const PreviewMemo& m : memos)
        add("MemMemos", m.control, m.label ? ControlKind::Label : ControlKind::Memo)
            .setReadOnly(true)
            .setWidth(m.label ? 0 : 24);

    onClick("BtnSetTime", [this] {
        at("LblDate").setText("Setting date...").setTextColour(Colours::blue);
        s_.PendingUtility = 31;
    });
    onClick("BtnCenterBuffer", [this] {
        at("BufferMsg").setText("Centering buffer...").setTextColour(Colours::blue);
        s_.PendingUtility = 25;
    });
    onClick("BtnSwitch", [this] { RequestMode(Phases::Switchover); });
    onClick("BtnLoad", [this] {
        s_.LoadMemory = true;
        RequestMode(Phases::LoadStMem);
    });
    onClick("BtnStore", [this] {
        s_.LoadMemory = false;
        RequestMode(Phases::LoadStMem);
    });
    onClick("BtnMemConfirm", [this] { MemoryConfirm(); });
    onClick("BtnMemCancel", [this] { MemoryCancel(); });
}

void DetailWindow::ClearUtilityLabels() {
    if (!family_.panels.utilities)
        return;
    for (const char* c : kUtilityLabels)
        at(c).setText("");
}

int DetailWindow::OffsetHours() const {
    return IntOfText(at("HourOffset").selectedText());
}

int DetailWindow::OffsetMinutes() const {
    const int i = at("QuarterOffset").selected();
    return i < 0 ? 0 : (3 - i) * 15;
}

void DetailWindow::RefreshClockLines() {
    const LocalDateTime now = d_.clock.now();
    at("ClockComputer").setText(d_.clock.dateText(now) + " " + d_.clock.timeText(now));
    const int h = OffsetHours();
    const int m = OffsetMinutes();
    int hours = now.hour + h;
    int minutes = now.minute + m;
    s_.TimeOffsetDays = NormaliseTime(hours, minutes);
    const bool offset = h != 0 || m != 0;
    at("ClockOffsetCap").setVisible(offset);
    at("ClockOffset").setVisible(offset);
    if (family_.clock.setCaption.empty())
        at("BtnSetTime").setText(offset ? "Set &Offset Time + Date" : "Set &Time and Date");
    if (offset) {
        LocalDateTime t = now;
        const int64_t days = daysFromCivil(now.year, now.month, now.day) + s_.TimeOffsetDays;
        civilFromDays(days, t.year, t.month, t.day);
        t.hour = hours;
        t.minute = minutes;
        at("ClockOffset").setText(d_.clock.dateText(t) + " " + d_.clock.timeText(t));
    }
}

std::string DetailWindow::SetDateCommand() {
    const LocalDateTime now = d_.clock.now();
    int y = 0, mo = 0, dd = 0;
    civilFromDays(daysFromCivil(now.year, now.month, now.day) + s_.TimeOffsetDays, y, mo, dd);
    const bool monthFirst = family_.clock.monthFirst;
    return "DAY=" + (monthFirst ? TwoDigits(mo) + TwoDigits(dd) : TwoDigits(dd) + TwoDigits(mo)) +
           TwoDigits(y % 100);
}

std::string DetailWindow::SetTimeCommand() {
    const LocalDateTime now = d_.clock.now();
    int hours = now.hour + OffsetHours();
    int minutes = now.minute + OffsetMinutes();
    s_.TimeOffsetDays = NormaliseTime(hours, minutes);
    return "TIM=" + TwoDigits(hours) + TwoDigits(minutes) + TwoDigits(now.second);
}

void DetailWindow::RefreshUtilityGates() {
    const bool possible = ChangesPossible();
    at("NotRemoteMsg").setVisible(!possible);
    at("BufferNotAllowed").setVisible(!possible);
    at("BufferHint").setVisible(possible);
    at("BtnCenterBuffer").setEnabled(possible);
    at("BtnStore").setEnabled(MemoryPossible(false));
    at("BtnSetTime").setEnabled(possible);
    at("BtnLoad").setEnabled(MemoryPossible(true));
    at("SwitchNotOnline").setVisible(!s_.OnlineUnit);
    at("SwitchHint").setVisible(s_.OnlineUnit);
    at("BtnSwitch").setEnabled(s_.OnlineUnit && possible);
}

void DetailWindow::UtilitiesStart() {
    ShowInstruction("");
    ShowPanels(false, false, true, false);
    EnableButtons(true, true, false, true);
    at("BtnMemConfirm").setVisible(false);
    at("BtnMemCancel").setVisible(false);
    RefreshUtilityGates();
    s_.PendingUtility = 0;
    s_.StepNo = 1;
}

int DetailWindow::NextUtility(int n) {
    if (s_.PendingUtility != 0) {
        const int p = s_.PendingUtility;
        s_.PendingUtility = 0;
        return p;
    }
    return n;
}

void DetailWindow::UtilitiesStep() {
    switch (s_.StepNo) {
    case 1:
        if (!family_.clock.stateFirst) {
            s_.StepNo = 3;
            SendRequest("DAY?");
            break;
        }
        SendRequest("LRS?");
        break;
    case 2: {
        const std::string r = TakeReply("LRS");
        if (r == kCountedOut)
            return;
        if (has("StaLRS"))
            DecodeLrs(r, "StaLRS");
        RefreshUtilityGates();
        s_.StepNo = 3;
        break;
    }
    case 3:
        SendRequest("DAY?");
        break;
    case 4: {
        const std::string r = TakeReply("DAY");
        if (r == kCountedOut)
            return;
        s_.StepNo = NextUtility(TakeUnitDate(r) ? 5 : 1);
        break;
    }
    case 5:
        SendRequest("TIM?");
        break;
    case 6: {
        const std::string r = TakeReply("TIM");
        if (r == kCountedOut)
            return;
        if (TakeUnitTime(r))
            s_.StepNo = NextUtility(ChangesPossible() && s_.OnlineUnit ? 15 : 1);
        else
            s_.StepNo = NextUtility(1);
        break;
    }
    case 15:
        SendRequest("RED?");
        break;
    case 16: {
        const std::string r = TakeReply("RED");
        if (r == kCountedOut)
            return;
        s_.OnlineUnit = StartsWith(r, "=") && r.size() > 1 && r[1] == '1';
        RefreshUtilityGates();
        s_.StepNo = NextUtility(1);
        break;
    }
    case 25:
        s_.PendingUtility = 0;
        SendRequest("RCB=");
        break;
    case 26: {
        const std::string r = TakeReply("RCB");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            at("BufferMsg").setText("Buffer centered OK").setTextColour(Colours::blue);
        else
            at("BufferMsg").setText(Chars(r, 2, 20)).setTextColour(Colours::red);
        s_.StepNo = NextUtility(45);
        break;
    }
    case 31:
        SendSetDate();
        break;
    case 32: {
        const std::string r = TakeReply("DAY");
        if (r == kCountedOut)
            return;
        TakeSetDate(r);
        s_.StepNo = 33;
        break;
    }
    case 33:
        SendSetTime();
        break;
    case 34: {
        const std::string r = TakeReply("TIM");
        if (r == kCountedOut)
            return;
        TakeSetTime(r);
        s_.StepNo = NextUtility(51);
        break;
    }
    case 60:
        s_.StepNo = NextUtility(1);
        break;
    default:
        if (s_.StepNo >= 45 && s_.StepNo < 60)
            ++s_.StepNo;
        break;
    }
}

bool DetailWindow::TakeUnitDate(const std::string& r) {
    if (StartsWith(r, "=")) {
        keptDate_ =
            family_.clock.monthFirst ? DateTextMDY(Chars(r, 2, 6)) : DateTextDMY(Chars(r, 2, 6));
        return true;
    }
    at("LblDate").setText("Date:" + Chars(r, 2, 20)).setTextColour(Colours::red);
    return false;
}

bool DetailWindow::TakeUnitTime(const std::string& r) {
    if (StartsWith(r, "=")) {
        at("ClockModem").setText(TimeText(Chars(r, 2, 6), d_.clock) + " " + keptDate_);
        // The result of a memory load or store stays until the next memory action.
        for (size_t i = 0; i < kClockLoopLabels; ++i)
            at(kUtilityLabels[i]).setText("");
        return true;
    }
    at("ClockOffsetCap").setVisible(false);
    at("ClockOffset").setVisible(false);
    at("ClockModem").setText(keptDate_);
    at("LblTime").setText("Time:" + Chars(r, 2, 20)).setTextColour(Colours::red);
    return false;
}

void DetailWindow::SendSetDate() {
    at("ClockModem").setText("Setting time, date...");
    SendRequest(SetDateCommand());
}

void DetailWindow::TakeSetDate(const std::string& r) {
    if (StartsWith(r, "="))
        at("LblDate").setText("Date set OK").setTextColour(Colours::blue);
    else
        at("LblDate").setText("Date:" + Chars(r, 2, 20)).setTextColour(Colours::red);
    at("LblTime").setText("Setting time...").setTextColour(Colours::blue);
}

void DetailWindow::SendSetTime() {
    SendRequest(SetTimeCommand());
}

void DetailWindow::TakeSetTime(const std::string& r) {
    if (StartsWith(r, "="))
        at("LblTime").setText("Time set OK").setTextColour(Colours::blue);
    else
        at("LblTime").setText("Time:" + Chars(r, 2, 20)).setTextColour(Colours::red);
}

void DetailWindow::SwitchoverStart() {
    ClearUtilityLabels();
    s_.StepNo = 1;
    SendRequest("FSW=");
}

void DetailWindow::SwitchoverStep() {
    const std::string r = TakeReply("FSW");
    if (r == kCountedOut)
        return;
    // A far unit may be cut off by the switchover itself, so no answer from it counts as
    // done; a refusal it sends back does not.
    const std::string& tilde = family_.replies.tildeText;
    const bool cutOff = s_.NoComms || (!tilde.empty() && r == tilde);
    if (StartsWith(r, "=") || (s_.DistantEnd && cutOff))
        at("SwitchMsg").setText("Switchover command acknowledged").setTextColour(Colours::blue);
    else
        at("SwitchMsg").setText("No comms").setTextColour(Colours::red);
    ReturnTo(Phases::Utilities);
}

} // namespace linvar
