// The configuration memories 0-9: a location is read (with the family's prelude queries)
// and previewed, then loaded or stored once the operator confirms.

#include "detail/framework/DetailWindow.h"

#include "ui/Clock.h"
#include "wire/TextFormats.h"

namespace linvar {

const std::string& DetailWindow::LatchMemoryLocation() {
    memoryLocation_ = LeftTrim(at("MemoryList").selectedText());
    return memoryLocation_;
}

void DetailWindow::FillPreview(const std::vector<PreviewMemo>& memos, const std::string& text) {
    for (const PreviewMemo& memo : memos) {
        std::string shown;
        for (const PreviewLine& line : memo.lines) {
            shown += shown.empty() ? "" : "\n";
            for (const PreviewPiece& piece : line) {
                shown += piece.text;
                const PreviewField& f = piece.field;
                if (f.pos == 0)
                    continue;
                if (f.custom) {
                    shown += f.custom(Chars(text, f.pos, f.len));
                    continue;
                }
                switch (f.as) {
                case PreviewField::As::Entry: {
                    const int i = HexDigitValue(Chars(text, f.pos, 1));
                    if (i >= 0 && i < static_cast<int>(f.entries.size()))
                        shown += f.entries[static_cast<size_t>(i)];
                    break;
                }
                case PreviewField::As::Real:
                    shown += RealField(text, f.pos, f.len, f.decimals, f.width);
                    break;
                case PreviewField::As::Int:
                    shown += SubInt(text, f.pos, f.len);
                    break;
                case PreviewField::As::Text:
                    shown += Chars(text, f.pos, f.len);
                    break;
                }
            }
        }
        at(memo.control).setText(shown);
    }
}

void DetailWindow::ShowMemoryPreview(bool configuration, bool preludes) {
    if (!family_.panels.utilities || !family_.memory.present)
        return;
    at("MemPreview").setVisible(configuration || (preludes && !family_.memory.preludes.empty()));
    for (const PreviewMemo& m : family_.memory.preview)
        at(m.control).setVisible(configuration);
    for (const auto& prelude : family_.memory.preludePreviews)
        for (const PreviewMemo& m : prelude)
            at(m.control).setVisible(preludes);
}

bool DetailWindow::MemoryPossible(bool load) const {
    // A load re-configures the traffic path: only the on-line unit of a pair takes one,
    // and a unit on its own only while it says it is on line.
    return ChangesPossible() && (!load || s_.OnlineUnit);
}

void DetailWindow::MemoryStart() {
    // The redundancy state may have changed since the button was pressed.
    if (at("MemoryList").selected() < 0 || !MemoryPossible(s_.LoadMemory)) {
        ReturnTo(Phases::Utilities);
        return;
    }
    LatchMemoryLocation();
    ClearUtilityLabels();
    ShowPanels(false, false, true, false);
    memoryPrelude_ = 0;
    if (!family_.memory.preludes.empty()) {
        ShowMemoryPreview(false, true);
        s_.StepNo = 15;
        SendRequest(family_.memory.preludes.front() + MemoryDigit());
        return;
    }
    s_.StepNo = 1;
    SendRequest(family_.memory.query + MemoryDigit());
}

void DetailWindow::MemoryStep() {
    const std::string d = MemoryDigit();
    const MemoryRules& memory = family_.memory;
    Control& msg = at("MemoryMsg");
    switch (s_.StepNo) {
    case 15:
        SendRequest(memory.preludes[memoryPrelude_] + d);
        break;
    case 16: {
        const std::string r = TakeReply(memory.preludes[memoryPrelude_].substr(0, 3));
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=") && memoryPrelude_ < memory.preludePreviews.size())
            FillPreview(memory.preludePreviews[memoryPrelude_], r.substr(1));
        ++memoryPrelude_;
        s_.StepNo = memoryPrelude_ < memory.preludes.size() ? 15 : 1;
        break;
    }
    case 1:
        SendRequest(memory.query + d);
        break;
    case 2: {
        const std::string r = TakeReply(memory.query.substr(0, 3));
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            if (s_.LoadMemory) {
                msg.setText("Config present in memory location " + d + ". Confirm load.");
                at("BtnMemConfirm").setText(memory.texts.confirm);
            } else {
                msg.setText("Warning! Location " + d + " contains data. Overwrite?");
                at("BtnMemConfirm").setText(memory.texts.overwrite);
            }
            msg.setTextColour(Colours::blue);
            at("MemPreview").setText("Memory location " + d + memory.texts.previewTitle);
            FillPreview(memory.preview, r.substr(1));
            ShowMemoryPreview(true, !memory.preludes.empty());
            at("BtnMemConfirm").setVisible(true);
            at("BtnMemCancel").setVisible(true);
            s_.StepNo = 500;
        } else if (StartsWith(r, "*")) {
            if (s_.LoadMemory) {
                msg.setText("No config is stored in memory " + d).setTextColour(Colours::purple);
                s_.StepNo = 7;
            } else {
                msg.setText("Storing...").setTextColour(Colours::blue);
                s_.StepNo = 5;
                SendRequest("CST=" + d);
            }
        } else {
            msg.setText(Chars(r, 2, 20)).setTextColour(Colours::red);
            s_.StepNo = memory.askAgainWhenRefused ? 0 : 7;
        }
        break;
    }
    case 3:
        Trace(std::to_string(++memoryTicks_), "[delay]");
        if (memoryTicks_ > (s_.DistantEnd ? memory.loadWaitTicksDistant : memory.loadWaitTicks)) {
            // The unit re-configures itself during the wait: its reply time-out starts now.
            d_.tx.Sent(TimeoutSeconds() * 1000, clock().monotonicMs(),
                       TransactionState::WaitEnd::Reached);
            s_.StepNo = 4;
        }
        break;
    case 4: {
        const std::string r = TakeReply("CLD");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            msg.setText(memory.texts.loaded + d).setTextColour(Colours::blue);
            d_.tx.DelayLeft = 2500;
        } else if (StartsWith(r, "?")) {
            msg.setText("Problem with memory load.").setTextColour(Colours::red);
        } else {
            // A refusal or no answer at all would otherwise leave the phase waiting for good.
            msg.setText(memory.texts.loadRefused.empty() ? Chars(r, 2, 20)
                                                         : memory.texts.loadRefused)
                .setTextColour(Colours::red);
        }
        ReturnTo(Phases::Utilities);
        break;
    }
    case 6: {
        const std::string r = TakeReply("CST");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            msg.setText(memory.texts.stored + d).setTextColour(Colours::blue);
        else if (StartsWith(r, "?"))
            msg.setText("Problem with memory store").setTextColour(Colours::red);
        else
            msg.setText(memory.texts.storeRefused.empty() ? Chars(r, 2, 20)
                                                          : memory.texts.storeRefused)
                .setTextColour(Colours::red);
        s_.StepNo = 7;
        break;
    }
    case 7:
        memoryTicks_ = 0;
        s_.StepNo = 8;
        break;
    case 8:
        if (++memoryTicks_ >= 12)
            ReturnTo(Phases::Utilities);
        break;
    default:
        break;
    }
}

void DetailWindow::HideMemoryQuestion() {
    ShowMemoryPreview(false, false);
    at("BtnMemConfirm").setVisible(false);
    at("BtnMemCancel").setVisible(false);
}

void DetailWindow::MemoryConfirm() {
    if (CurrentMode() != Phases::LoadStMem || s_.StepNo != 500 || d_.tx.AwaitingReply)
        return;
    HideMemoryQuestion();
    const std::string d = MemoryDigit();
    if (s_.LoadMemory) {
        at("MemoryMsg").setText("Loading...").setTextColour(Colours::blue);
        s_.StepNo = 2;
        SendRequest("CLD=" + d);
        memoryTicks_ = 0;
    } else {
        at("MemoryMsg").setText("Storing...").setTextColour(Colours::blue);
        s_.StepNo = 5;
        SendRequest("CST=" + d);
    }
}

void DetailWindow::MemoryCancel() {
    HideMemoryQuestion();
    ClearUtilityLabels();
    RequestMode(Phases::Utilities);
}

} // namespace linvar
