// The change cycle: an entry validated by its row, the command built (from several boxes
// where the family says so, with the values the unit holds for the others), confirmed
// when the row's policy asks for it, sent, and restored on a No.

#include "detail/framework/DetailWindow.h"

#include "ui/Operator.h"
#include "ui/Scheduler.h"
#include "wire/TextFormats.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace linvar {

namespace {

constexpr const char* kAffected = ". Comms may be affected.";

// Texts that are not numbers: the family's own command reads them (a time "mm:ss").
bool IsFreeText(const BoxRow& b) {
    return b.value == Value::Upper || b.value == Value::Typed ||
           (b.value == Value::Custom && b.show == Show::Text);
}

} // namespace

// ---- changing a parameter ------------------------------------------------------------

DetailWindow::Held DetailWindow::TakeEntered(const BoxRow& box) {
    BoxState& st = boxState_[box.control];
    const Held before = st.entered ? *st.entered : st.held.value_or(Held{});
    st.entered.reset();
    return before;
}

void DetailWindow::Enter(const BoxRow& box, const Held& shown) {
    // One box is entered at a time; the one whose change is out keeps its value before it.
    for (auto& [control, st] : boxState_)
        if (!inFlight_ || control != inFlight_->control)
            st.entered.reset();
    BoxState& st = boxState_[box.control];
    // "Unchanged" means what the unit holds, not what the box shows (a refused entry).
    st.entered = st.held.value_or(shown);
}

void DetailWindow::Stage(const BoxRow* box, const Held& before, const Held& now) {
    for (auto& [control, st] : boxState_)
        st.pending.reset();
    inFlight_ = box;
    if (!box)
        return;
    BoxState& st = boxState_[box->control];
    st.entered = before;
    st.pending = now;
}

void DetailWindow::EndStaged(bool accepted) {
    if (inFlight_) {
        BoxState& st = boxState_[inFlight_->control];
        if (accepted && st.pending)
            st.held = st.pending;
        st.pending.reset();
        st.entered.reset();
    }
}

void DetailWindow::EnterEdit(const BoxRow& box) {
    const Control& c = at(box.control);
    Enter(box, {c.text(), -1});
    if (ChangesPossible() && !c.readOnly())
        ShowInstruction(box.promptNow ? box.promptNow() : box.prompt);
}

void DetailWindow::EnterCombo(const BoxRow& box) {
    const std::string prompt = box.promptNow ? box.promptNow() : box.prompt;
    ShowInstruction(prompt.empty() ? "Choose from the selection provided" : prompt);
    Enter(box, {"", at(box.control).selected()});
}

std::optional<std::string> DetailWindow::EditValue(const BoxRow& b, const std::string& text,
                                                   std::string& shown, int& clamped) const {
    clamped = 0;
    if (IsFreeText(b)) {
        std::string v = text;
        if (b.value == Value::Upper) {
            v.resize(static_cast<size_t>(b.cmdWidth), ' ');
            for (char& ch : v)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        shown = v;
        return v;
    }
    double v = 0;
    if (b.integer) {
        const ParsedInt p = ParseInt(text);
        if (!p.ok)
            return std::nullopt;
        // A fraction is off the grid of whole numbers: refused, never cut to the number
        // before it (a box that corrects its entries takes the whole part).
        const ParsedReal whole = ParseReal(text);
        if (b.validation != Validation::Clamp && whole.ok &&
            std::fabs(whole.value - p.value) > 1e-9)
            return std::nullopt;
        v = p.value;
    } else {
        const ParsedReal p = ParseReal(text);
        if (!p.ok)
            return std::nullopt;
        v = p.value;
    }
    if (b.validation == Validation::Round && b.resolution > 0)
        v = std::round(v / b.resolution) * b.resolution;
    const std::vector<Range> ranges = RangesOf(b);
    const auto inside = [&](double x) {
        return ranges.empty() || std::any_of(ranges.begin(), ranges.end(), [x](const Range& r) {
                   return x >= r.low - 1e-9 && x <= r.high + 1e-9;
               });
    };
    if (!inside(v) && b.validation == Validation::Clamp) {
        // The nearest limit of any range.
        double best = v;
        double distance = 1e300;
        for (const Range& r : ranges)
            for (double limit : {r.low, r.high})
                if (std::fabs(limit - v) < distance) {
                    distance = std::fabs(limit - v);
                    best = limit;
                }
        clamped = best > v ? -1 : 1;
        v = best;
    }
    if (!inside(v))
        return std::nullopt;
    if (b.grid && clamped == 0) {
        const double on = b.grid(v);
        if (std::fabs(on - v) > 1e-9)
            clamped = 2;
        v = on;
    }
    if (b.resolution > 0 && b.validation != Validation::Round) {
        const double steps = v / b.resolution;
        if (std::fabs(steps - std::round(steps)) > 1e-6)
            return std::nullopt;
    }
    const double magnitude = std::fabs(v);
    switch (b.show) {
    case Show::Real:
        shown = NumberText(b, v);
        break;
    case Show::NegReal:
        shown = NumberText(b, magnitude);
        break;
    default:
        shown = " " + std::to_string(static_cast<long>(std::lround(v)));
        break;
    }
    switch (b.value) {
    case Value::Real: {
        // Unsigned and of a fixed width: what it cannot carry is refused, never sent malformed.
        std::string wire = RealTextZeroPad(FixedReal(v, b.cmdDecimals), b.cmdWidth, b.cmdDecimals);
        if (v < 0 || (b.cmdWidth > 0 && wire.size() > static_cast<size_t>(b.cmdWidth)))
            return std::nullopt;
        return wire;
    }
    case Value::NegReal:
        return RealTextZeroPad(FixedReal(magnitude, b.cmdDecimals), b.cmdWidth, b.cmdDecimals);
    case Value::Digits:
        return ZeroFill(std::lround(v), b.cmdWidth);
    case Value::SignedDigits:
        return std::string(v < 0 ? "-" : "+") + ZeroFill(std::lround(magnitude), b.cmdWidth);
    case Value::Encoded:
        return b.encode ? b.encode(v) : FixedReal(v, b.cmdDecimals);
    default:
        return FixedReal(v, b.cmdDecimals);
    }
}

bool DetailWindow::RefusedInLocal(const BoxRow& b) {
    // Whatever a family's own lock leaves open, a unit in LOCAL mode takes no change but
    // the one of its remote state; the gate says why.
    if (ChangesPossible() || b.gate == Gate::Always)
        return false;
    ShowEditGate();
    return true;
}

void DetailWindow::Refuse(const BoxRow& b) {
    switch (b.validation) {
    case Validation::RefuseBox:
        at(b.control).setBackground(Colours::red).setTextColour(Colours::white);
        break;
    case Validation::Restore:
        at(b.control).setText(HeldText(b.control));
        break;
    case Validation::Round:
        break; // the caption stays black
    default:
        at(b.control + "Cap").setTextColour(Colours::red);
        break;
    }
    ShowNotice(b.error, Colours::red);
}

const CompositeRow* DetailWindow::CompositeOf(const std::string& control) const {
    for (const CompositeRow& c : composites_)
        if (std::find(c.parts.begin(), c.parts.end(), control) != c.parts.end())
            return &c;
    return nullptr;
}

bool DetailWindow::BuildComposite(const CompositeRow& c, const BoxRow& changed, const Held& now) {
    std::string value;
    std::map<std::string, std::string> shownOf, wireOf;
    std::vector<std::string> described;
    for (const std::string& part : c.parts) {
        if (StartsWith(part, "'")) {
            value += part.substr(1);
            continue;
        }
        const BoxRow* b = BoxByControl(part);
        if (!b)
            return false;
        const bool isChanged = part == changed.control;
        const Held h = isChanged ? now : Held{HeldText(part), HeldIndex(part)};
        if (b->kind == BoxKind::Edit) {
            std::string shown;
            int clamped = 0;
            const std::optional<std::string> v = EditValue(*b, h.text, shown, clamped);
            if (!v)
                return false;
            value += *v;
            wireOf[part] = *v;
            shownOf[part] = LeftTrim(shown);
        } else {
            const int index = std::max(h.index, 0);
            wireOf[part] = ComboValue(*b, index);
            value += wireOf[part];
            const std::vector<std::string> entries = EntriesOf(*b);
            shownOf[part] = index < static_cast<int>(entries.size())
                                ? entries[static_cast<size_t>(index)]
                                : std::string();
        }
        const bool differs = isChanged && (b->kind == BoxKind::Edit ? h.text != HeldText(part)
                                                                    : h.index != HeldIndex(part));
        if (differs)
            described.push_back(b->confirm + shownOf[part] + b->unit);
    }
    std::string confirm;
    if (c.confirm.empty()) {
        for (const std::string& d : described)
            confirm += (confirm.empty() ? "" : ", ") + d;
    } else {
        for (const std::string& piece : c.confirm)
            confirm += StartsWith(piece, "$")   ? shownOf[piece.substr(1)]
                       : StartsWith(piece, "#") ? wireOf[piece.substr(1)]
                                                : piece;
    }
    s_.PendingCommand = c.command + "=" + value;
    s_.ConfirmText = "Change " + confirm + kAffected;
    return true;
}

void DetailWindow::LeaveEdit(const BoxRow& b) {
    Control& c = at(b.control);
    const Held before = TakeEntered(b);
    if (c.readOnly() || b.command.empty())
        return;
    const std::string text = c.text();
    // The same number (12.50 and 12.5) or the same text sends nothing.
    bool same = text == before.text;
    if (!same && !IsFreeText(b)) {
        const ParsedReal now = ParseReal(text);
        const ParsedReal was = ParseReal(before.text);
        same = now.ok && was.ok && std::fabs(now.value - was.value) < 1e-9;
    }
    if (same && !b.sendUnchanged) {
        c.setText(before.text);
        if (c.background() == Colours::red || at(b.control + "Cap").textColour() == Colours::red) {
            // The entry that was refused is gone: so is its mark.
            at(b.control + "Cap").setTextColour(Colours::black);
            c.setBackground(Colours::white).setTextColour(Colours::black);
            ShowNotice("", Colours::black);
        }
        return;
    }
    if (d_.tx.AwaitingReply || !InConfiguration() || RefusedInLocal(b)) {
        c.setText(before.text);
        return;
    }
    std::string shown;
    int clamped = 0;
    const std::optional<std::string> value = EditValue(b, text, shown, clamped);
    if (!value) {
        Refuse(b);
        return;
    }
    if (const CompositeRow* composite = CompositeOf(b.control)) {
        if (!BuildComposite(*composite, b, {shown, -1})) {
            Refuse(b);
            return;
        }
    } else if (b.value == Value::Custom) {
        const std::optional<std::string> custom = CustomCommand(b, shown);
        if (!custom) {
            Refuse(b);
            return;
        }
        s_.PendingCommand = *custom;
    } else {
        s_.PendingCommand = b.command + "=" + *value;
        const std::string v = b.value == Value::Upper ? LeftTrim(text) : shown;
        const std::string shownValue =
            b.show == Show::NegReal
                ? LeftTrim(shown.substr(1))
                : (!b.confirm.empty() && b.confirm.back() == ' ' ? LeftTrim(v) : v);
        s_.ConfirmText =
            "Change " + b.confirm + shownValue + b.unit + (b.commsNote ? kAffected : "");
    }
    Stage(&b, before, {shown, -1});
    at(b.control + "Cap").setTextColour(Colours::black);
    c.setBackground(Colours::white).setTextColour(Colours::black);
    // The note of a corrected entry goes to the notice line: the instruction line is the
    // sending's own ("Configuring the ...").
    if (clamped)
        ShowNotice(clamped < 0 ? b.noteLow : clamped == 1 ? b.noteHigh : b.noteGrid, Colours::red);
    else
        ShowNotice("", Colours::black);
    c.setText(shown);
    OnStaged(b, shown);
    SendOrConfirm(b);
}

std::optional<std::string> DetailWindow::CustomCommand(const BoxRow&, const std::string&) {
    return std::nullopt;
}

void DetailWindow::ChangeCombo(const BoxRow& b) {
    Control& c = at(b.control);
    const Held before = TakeEntered(b);
    const int index = c.selected();
    if ((index == before.index && !b.sendUnchanged) || index < 0 || b.command.empty())
        return;
    if (d_.tx.AwaitingReply || !InConfiguration() || RefusedInLocal(b)) {
        c.setSelected(before.index);
        return;
    }
    if (OnComboChange(b))
        return;
    if (b.control == remoteStateBox_) {
        // Moving the box away from local counts as a change of the remote state.
        s_.LrsChanged = before.index == 0 && index != 0;
        s_.RemoteMode = index == 1;
    }
    LockConfig(true);
    if (const CompositeRow* composite = CompositeOf(b.control)) {
        if (!BuildComposite(*composite, b, {c.selectedText(), index})) {
            // A part the unit never gave: the boxes keep what the unit holds.
            for (const std::string& part : composite->parts)
                if (const BoxRow* p = BoxByControl(part))
                    p->kind == BoxKind::Edit ? at(part).setText(HeldText(part))
                                             : at(part).setSelected(HeldIndex(part));
            LockConfig(false);
            return;
        }
    } else {
        s_.PendingCommand = b.command + "=" + ComboValue(b, index);
        s_.ConfirmText =
            "Change " + b.confirm + c.selectedText() + b.unit + (b.commsNote ? kAffected : "");
        if (b.value == Value::Custom) {
            const std::optional<std::string> custom = CustomCommand(b, c.selectedText());
            if (!custom) {
                c.setSelected(before.index);
                LockConfig(false);
                return;
            }
            s_.PendingCommand = *custom;
        }
    }
    Stage(&b, before, {"", c.selected()});
    OnStaged(b, c.selectedText());
    SendOrConfirm(b);
}

void DetailWindow::SendOrConfirm(const BoxRow& b) {
    bool ask = false;
    switch (b.confirmation) {
    case Confirmation::DistantOnly:
        ask = s_.DistantEnd;
        break;
    case Confirmation::Always:
        ask = true;
        break;
    case Confirmation::LocalOnly:
        ask = !s_.DistantEnd;
        break;
    case Confirmation::Never:
        break;
    }
    if (ask) {
        std::weak_ptr<bool> alive = alive_;
        d_.scheduler.after(100, [this, alive] {
            if (alive.expired() || !*alive.lock())
                return;
            d_.op.ask("Confirm", s_.ConfirmText, BoxIcon::Exclamation, Buttons::YesNo,
                      [this, alive](Answer a) {
                          if (alive.expired() || !*alive.lock())
                              return;
                          guarded([&] { Confirmed(a == Answer::Yes); });
                      });
        });
        return;
    }
    LockConfig(true);
    SendRequest(s_.PendingCommand);
    s_.StepNo = ConfigSteps::SetReply;
}

void DetailWindow::SendChange(const std::string& command) {
    BoxRow pseudo;
    pseudo.command = command.substr(0, 3);
    if (RefusedInLocal(pseudo))
        return;
    s_.PendingCommand = command;
    Stage(nullptr, {}, {});
    LockConfig(true);
    SendRequest(command);
    s_.StepNo = ConfigSteps::SetReply;
}

void DetailWindow::Confirmed(bool yes) {
    // A phase chosen while the question was open wins: nothing is sent then.
    const bool stillHere =
        InConfiguration() && !d_.tx.AwaitingReply && d_.tx.RequestedMode.empty() && !closed_;
    if (yes && stillHere) {
        SendRequest(s_.PendingCommand);
        LockConfig(true);
        s_.StepNo = ConfigSteps::SetReply;
        ShowInstruction(family_.sentText);
        return;
    }
    if (stillHere)
        s_.StepNo = family_.rereadOnCancel ? RereadStep(s_.PendingCommand.substr(0, 3), false)
                                           : ConfigSteps::Idle;
    ShowInstruction("Edit of parameter has been replaced with previous value");
    if (stillHere && family_.rereadOnCancel)
        clearInstructionTicks_ = family_.rejection.clearAfterTicks;
    RestorePending();
    LockConfig(false);
}

void DetailWindow::RestorePending() {
    const BoxRow* row = inFlight_;
    const Held before = row ? TakeEntered(*row) : Held{};
    EndStaged(false);
    inFlight_ = nullptr;
    if (row == &masksRow_) {
        SetMasks(HeldText(masksRow_.control));
        return;
    }
    RestoreCommand(s_.PendingCommand.substr(0, 3));
    if (!row || row == &commandRow_)
        return;
    if (const CompositeRow* composite = CompositeOf(row->control)) {
        // Every box of the command goes back to what the unit holds.
        for (const std::string& part : composite->parts)
            if (const BoxRow* b = BoxByControl(part))
                b->kind == BoxKind::Edit ? at(part).setText(HeldText(part))
                                         : at(part).setSelected(HeldIndex(part));
    } else if (row->kind == BoxKind::Edit) {
        at(row->control).setText(before.text);
    } else {
        at(row->control).setSelected(before.index);
    }
}

void DetailWindow::SendCommand(const std::string& command, const std::string& description,
                               Reread retry) {
    BoxRow pseudo;
    pseudo.command = command.substr(0, 3);
    if (d_.tx.AwaitingReply || !InConfiguration() || RefusedInLocal(pseudo))
        return;
    // The family's command is the row in flight: its refusal reads the value back.
    commandRow_ = pseudo;
    commandRow_.retry = retry;
    s_.PendingCommand = command;
    s_.ConfirmText = "Change " + description + kAffected;
    Stage(&commandRow_, {}, {});
    SendOrConfirm(commandRow_);
}

// ---- alarm masks ----------------------------------------------------------------------

std::string DetailWindow::MaskString() const {
    std::string s;
    for (const MaskSlot& slot : masks_.slots)
        s += slot.control.empty() ? slot.fixed : (at(slot.control).checked() ? '1' : '0');
    return s;
}

void DetailWindow::SetMasks(const std::string& masks) {
    for (size_t i = 0; i < masks_.slots.size(); ++i)
        if (!masks_.slots[i].control.empty())
            at(masks_.slots[i].control).setChecked(i < masks.size() && masks[i] == '1');
    boxState_[masksRow_.control].held = Held{MaskString(), -1};
}

void DetailWindow::EnterMasks() {
    masksLeft_ = false;
    ShowInstruction(masks_.prompt);
}

void DetailWindow::ChangeMasks() {
    masksLeft_ = false;
    const std::string now = MaskString();
    const std::string held = HeldText(masksRow_.control);
    if (now == held)
        return;
    if (d_.tx.AwaitingReply || !InConfiguration() || RefusedInLocal(masksRow_)) {
        SetMasks(held);
        return;
    }
    s_.PendingCommand = masks_.command + "=" + now;
    s_.ConfirmText = "Change " + masks_.confirm + kAffected;
    Stage(&masksRow_, {held, -1}, {now, -1});
    SendOrConfirm(masksRow_);
}

} // namespace linvar
