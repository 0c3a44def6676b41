// The configuration boxes: built, filled and locked from their descriptor rows, and the
// configuration phases' common steps. "The value the unit holds" (a box's held state) is
// written only by what the unit said and by a command it accepted (DetailChanges.cpp).

#include "detail/framework/DetailWindow.h"

#include "ui/UserError.h"
#include "wire/TextFormats.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace linvar {

// ---- building and filling -----------------------------------------------------------

// A name the rows give that the screen lacks would fail only once the operator reaches
// that box (or, for a command of several boxes, be refused for good): it fails the build.
void DetailWindow::CheckRows(const std::set<std::string>& familyBoxes) const {
    const auto fail = [this](const std::string& what) { throw UserError(what + " on " + name()); };
    const auto needControl = [&](const std::string& control, const std::string& of) {
        if (!has(control))
            fail("No control named " + control + " (" + of + ")");
    };
    std::set<std::string> declared;
    const auto declare = [&](const std::string& control) {
        if (control.empty() || has(control) || !declared.insert(control).second)
            fail("Control " + control + " declared twice or unnamed");
    };
    for (const BoxRow& b : boxes_) {
        needControl(b.group, "group of " + b.control);
        declare(b.control);
        declare(b.control + "Cap");
    }
    for (const MaskSlot& slot : masks_.slots) {
        if (slot.control.empty())
            continue;
        needControl(masks_.group, "group of " + slot.control);
        declare(slot.control);
    }
    for (const CompositeRow& c : composites_) {
        size_t boxes = 0, present = 0;
        for (const std::string& part : c.parts) {
            if (StartsWith(part, "'"))
                continue;
            if (!familyBoxes.count(part))
                fail("No box named " + part + " (part of " + c.command + ")");
            ++boxes;
            present += BoxByControl(part) ? 1 : 0;
        }
        // A model without one of the parts could never send the command.
        if (present != 0 && present != boxes)
            fail("A part of " + c.command + " is missing at this model");
        for (const std::string& piece : c.confirm)
            if ((StartsWith(piece, "$") || StartsWith(piece, "#")) &&
                std::find(c.parts.begin(), c.parts.end(), piece.substr(1)) == c.parts.end())
                fail("No part named " + piece.substr(1) + " (confirmation of " + c.command + ")");
    }
    if (!remoteStateBox_.empty() && !BoxByControl(remoteStateBox_))
        fail("No box named " + remoteStateBox_ + " (the remote state)");
}

void DetailWindow::BuildConfigBoxes() {
    for (const BoxRow& b : boxes_) {
        add(b.group, b.control + "Cap", ControlKind::Label, b.caption);
        const ControlKind kind = b.kind == BoxKind::Edit    ? ControlKind::Edit
                                 : b.kind == BoxKind::Combo ? ControlKind::Combo
                                                            : ControlKind::Check;
        Control& c = add(b.group, b.control, kind);
        if (b.kind == BoxKind::Combo)
            c.setItems(EntriesOf(b));
        if (b.kind == BoxKind::Edit)
            c.setWidth(b.value == Value::Upper || b.value == Value::Typed ? 26 : 11);
        const std::string name = b.control;
        if (b.kind == BoxKind::Edit) {
            onEnter(name, [this, name] { EnterEdit(*BoxByControl(name)); });
            onLeave(name, [this, name] { LeaveEdit(*BoxByControl(name)); });
        } else {
            onEnter(name, [this, name] { EnterCombo(*BoxByControl(name)); });
            onChange(name, [this, name] { ChangeCombo(*BoxByControl(name)); });
        }
    }
    for (const MaskSlot& slot : masks_.slots) {
        if (slot.control.empty())
            continue;
        add(masks_.group, slot.control, ControlKind::Check, slot.caption);
        // The masks are one group: what was ticked goes out once the group is left, so
        // moving from one box to the next is not leaving it.
        onEnter(slot.control, [this] { EnterMasks(); });
        onChange(slot.control, [this] {
            if (!InConfiguration())
                SetMasks(HeldText(masksRow_.control));
        });
        onLeave(slot.control, [this] { masksLeft_ = true; });
    }
}

std::vector<std::string> DetailWindow::EntriesOf(const BoxRow& b) const {
    return b.entriesNow ? b.entriesNow() : b.entries;
}

std::vector<Range> DetailWindow::RangesOf(const BoxRow& b) const {
    return b.rangesNow ? b.rangesNow() : b.ranges;
}

int DetailWindow::EntryOfCode(const BoxRow& b, const std::string& code) const {
    if (!b.codes.empty()) {
        const auto it = std::find(b.codes.begin(), b.codes.end(), code);
        return it == b.codes.end() ? b.unknownEntry : static_cast<int>(it - b.codes.begin());
    }
    if (code.empty() || !std::isalnum(static_cast<unsigned char>(code[0])))
        return -1;
    return HexDigitValue(code);
}

std::string DetailWindow::ComboValue(const BoxRow& b, int index) const {
    if (!b.codes.empty() && b.value != Value::Position)
        return index >= 0 && index < static_cast<int>(b.codes.size())
                   ? b.codes[static_cast<size_t>(index)]
                   : std::string();
    if (b.value == Value::HexIndex)
        return std::string(1, HexDigitChar(index));
    return std::to_string(index);
}

std::string DetailWindow::HeldText(const std::string& control) const {
    const auto it = boxState_.find(control);
    return it == boxState_.end() || !it->second.held ? std::string() : it->second.held->text;
}

int DetailWindow::HeldIndex(const std::string& control) const {
    const auto it = boxState_.find(control);
    return it == boxState_.end() || !it->second.held ? -1 : it->second.held->index;
}

std::string DetailWindow::NumberText(const BoxRow& b, double v) {
    const std::string digits = RealText(v, b.width, b.decimals);
    return b.show == Show::NegReal ? "-" + digits : digits;
}

std::string DetailWindow::FieldOf(const std::string& control) const {
    const BoxRow* b = BoxByControl(control);
    if (!b || b->pos < 1 || b->source == Source::None)
        return {};
    return Chars(b->source == Source::Odu ? s_.OduString : s_.ConfigString, b->pos, b->len);
}

void DetailWindow::FillBox(const BoxRow& b, const std::string& text) {
    Control& c = at(b.control);
    const bool present = b.pos >= 1 && text.size() >= static_cast<size_t>(b.pos + b.len - 1);
    if (b.kind == BoxKind::Combo) {
        if (b.entriesNow)
            c.setItems(EntriesOf(b));
        SetBoxIndex(b.control, present ? EntryOfCode(b, Chars(text, b.pos, b.len)) : -1);
        return;
    }
    if (b.kind == BoxKind::Check) {
        c.setChecked(present && text[static_cast<size_t>(b.pos - 1)] == '1');
        boxState_[b.control].held = Held{"", c.checked() ? 1 : 0};
        return;
    }
    std::string shown;
    if (present && b.form) {
        shown = b.form(Chars(text, b.pos, b.len));
    } else if (present) {
        switch (b.show) {
        case Show::Real:
        case Show::NegReal:
            shown = NumberText(b, ParseReal(Chars(text, b.pos, b.len)).value);
            break;
        case Show::Int:
            shown = SubInt(text, b.pos, b.len);
            break;
        case Show::Index:
        case Show::Text:
            shown = Chars(text, b.pos, b.len);
            break;
        }
    }
    SetBoxText(b.control, shown);
}

void DetailWindow::SetBoxText(const std::string& control, const std::string& text) {
    at(control).setText(text);
    boxState_[control].held = Held{text, -1};
}

void DetailWindow::SetBoxIndex(const std::string& control, int index) {
    at(control).setSelected(index);
    boxState_[control].held = Held{"", at(control).selected()};
}

void DetailWindow::FillBoxes(Source source, const std::string& text) {
    for (const BoxRow& b : boxes_)
        if (b.source == source && b.pos > 0)
            FillBox(b, text);
    if (source == Source::Config && masks_.pos > 0)
        SetMasks(Chars(text, masks_.pos, static_cast<int>(masks_.slots.size())));
    AfterFill(source);
}

void DetailWindow::FillBoxesFrom(const std::string& query, const std::string& value) {
    for (const BoxRow& b : boxes_)
        if (b.source == Source::None && b.query == query && b.pos > 0)
            FillBox(b, value);
}

// ---- locking and the gate -------------------------------------------------------------

bool DetailWindow::BoxLocked(const BoxRow& box) const {
    if (box.gate == Gate::Always)
        return lockRequested_;
    if (effectiveLock_ && box.lockable)
        return true;
    if (box.enabledNow && !box.enabledNow())
        return true;
    return box.gate == Gate::Remote && !s_.RemoteMode;
}

bool DetailWindow::EffectiveLock(bool requested) const {
    return requested || !ChangesPossible() || InLoopback() || !OnlineOrAlone();
}

void DetailWindow::LockConfig(bool locked) {
    lockRequested_ = locked;
    effectiveLock_ = EffectiveLock(locked);
    for (const BoxRow& b : boxes_) {
        const bool lock = BoxLocked(b);
        Control& c = at(b.control);
        if (b.kind == BoxKind::Edit)
            c.setReadOnly(lock);
        else
            c.setEnabled(!lock);
        at(b.control + "Cap").setTextColour(lock ? Colours::gray : Colours::black);
    }
    for (const MaskSlot& slot : masks_.slots)
        if (!slot.control.empty())
            at(slot.control).setEnabled(!effectiveLock_);
    LockExtra(effectiveLock_, locked);
}

void DetailWindow::ShowEditGate() {
    if (shown("PanelConfig"))
        ShowInstruction("Click on a box to change the configuration parameters");
    if (InLoopback())
        ShowNotice("IF/RF loopback. Cannot change configuration.", Colours::yellow);
    if (!s_.RemoteMode && !s_.DistantEnd) {
        ShowInstruction("");
        ShowNotice("Unit is in LOCAL mode. Need REMOTE to change configuration", Colours::yellow);
    }
}

// ---- the configuration phases ------------------------------------------------------------

void DetailWindow::ConfigStart() {
    for (const BoxRow& b : boxes_) {
        Control& c = at(b.control);
        if (b.kind == BoxKind::Edit) {
            c.setText("").setBackground(Colours::white);
        } else if (b.kind == BoxKind::Combo) {
            if (b.entriesNow)
                c.setItems(EntriesOf(b));
            c.setSelected(-1);
        } else {
            c.setChecked(false);
        }
        at(b.control + "Cap").setTextColour(Colours::black);
    }
    for (const MaskSlot& slot : masks_.slots)
        if (!slot.control.empty())
            at(slot.control).setChecked(false);
    for (auto& [control, st] : boxState_) {
        st.held.reset();
        st.pending.reset();
    }
    ClearConfigExtra();
    ShowPanels(false, true, false, false);
    EnableButtons(true, true, true, true);
    LockConfig(true);
    ShowInstruction("");
    s_.StepNo = 1;
}

int DetailWindow::RereadStep(const std::string& mnemonic, bool accepted) const {
    (void)mnemonic;
    if (const BoxRow* b = inFlight_)
        return StepOf(accepted ? b->reread : b->retry);
    return accepted ? ConfigSteps::SetConfig : FullReadStep();
}

int DetailWindow::StepOf(const Reread& reread) const {
    switch (reread.kind) {
    case Reread::Kind::Panel:
        return ConfigSteps::SetConfig;
    case Reread::Kind::Full:
        return FullReadStep();
    case Reread::Kind::RemoteState:
        return LrsReadStep();
    case Reread::Kind::Step:
        break;
    }
    return reread.step;
}

void DetailWindow::ConfigTail() {
    switch (s_.StepNo) {
    case ConfigSteps::Unlock:
        LockConfig(false);
        s_.StepNo = ConfigSteps::Gate;
        break;
    case ConfigSteps::Gate:
        ShowEditGate();
        s_.StepNo = ConfigSteps::Idle;
        break;
    case ConfigSteps::SetConfig:
        SetCurrentMode(Phases::SetConfig);
        ShowEditGate();
        LockConfig(false);
        s_.StepNo = ConfigSteps::Idle;
        break;
    case ConfigSteps::Idle:
        break;
    case ConfigSteps::SetReply:
        AfterSetReply();
        break;
    default: // the pause after a rejection, one step a tick
        if (s_.StepNo >= ConfigSteps::PauseFirst + family_.rejection.pauseTicks) {
            s_.StepNo = retryStep_;
            // A window steered by steps reads the one item back and waits with its panel
            // open again; the configuration phases unlock at the end of their read.
            if (family_.steering == Steering::Steps)
                LockConfig(false);
        } else
            ++s_.StepNo;
        break;
    }
}

void DetailWindow::AfterSetReply() {
    const std::string r = TakeReply(s_.LastMnemonic);
    if (r == kCountedOut)
        return;
    const bool accepted = Accepted(r, family_.replies.plusClass);
    if (!accepted) {
        const RejectionRules& rule = family_.rejection;
        const std::string& text =
            StartsWith(r, "T") && !rule.timedOut.empty() ? rule.timedOut : rule.refused;
        if (rule.onInstructionLine) {
            ShowInstruction(text);
            clearInstructionTicks_ = rule.clearAfterTicks;
        } else {
            ShowNotice(text, Colours::red);
        }
        retryStep_ = RereadStep(s_.LastMnemonic, false);
        EndStaged(false);
        inFlight_ = nullptr;
        s_.StepNo = ConfigSteps::PauseFirst;
        return;
    }
    EndStaged(true);
    AfterAccepted(s_.LastMnemonic);
    int next = RereadStep(s_.LastMnemonic, true);
    inFlight_ = nullptr;
    if (family_.remoteStateRereads) {
        if (s_.LrsChanged && s_.RemoteMode)
            next = FullReadStep();
        if (!s_.RemoteMode)
            next = LrsReadStep();
    }
    s_.StepNo = next;
}

} // namespace linvar
