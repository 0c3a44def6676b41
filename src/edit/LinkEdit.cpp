#include "edit/LinkEdit.h"

#include "poll/PollCycle.h"
#include "setup/SystemSetup.h"
#include "summary/SummaryScreen.h"
#include "ui/Operator.h"
#include "wire/StatusColours.h"
#include "wire/TextFormats.h"

#include <cmath>

namespace linvar {

namespace {

const char* const kLocalBoxes[] = {"AddrMod1L", "AddrMod2L", "AddrRFT1L", "AddrRFT2L"};
const char* const kDistantBoxes[] = {"AddrMod1", "AddrMod2", "AddrRFT1", "AddrRFT2"};
const char* const kRowCaptions[] = {"Modem 1", "Modem 2", "Transceiver 1", "Transceiver 2"};
const char* const kRowNotes[] = {"Stand-alone modem or primary modem in a 1:1 pair",
                                 "Secondary modem in a 1:1 pair",
                                 "Stand-alone transceiver or primary transceiver in a 1:1 pair",
                                 "Secondary transceiver in a 1:1 pair"};

const char* const kInstr1Initial =
    "Enter an address, 0-9999, into an edit box and click on <Enter> to ENABLE a unit";
const char* const kInstr2Initial = "To DISABLE a unit, remove the address";

// A box holding nothing but blanks is an empty box: a stray blank must not enable a
// unit at "0000".
bool blank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

std::string LinkEdit::AddressBoxName(int slot, bool distant) {
    return distant ? kDistantBoxes[slot] : kLocalBoxes[slot];
}

LinkEdit::LinkEdit(PollCycle& cycle)
    : Screen("LinkEdit", "Edit Mode"), cycle_(cycle), setup_(cycle.setup()) {
    setHelpTopic(HelpTopic);
    Build();

    for (int slot = 0; slot < UnitSlotCount; ++slot) {
        for (bool distant : {false, true}) {
            const std::string box = AddressBoxName(slot, distant);
            onLeave(box, [this, slot, distant] { LeaveAddress(slot, distant); });
            onClick(box, [this, slot, distant] { ClickAddress(slot, distant); });
        }
    }
    onLeave("TdelayL", [this] { LeaveTiming("TdelayL", false, true); });
    onLeave("Tdelay", [this] { LeaveTiming("Tdelay", true, true); });
    onLeave("TimOutL", [this] { LeaveTiming("TimOutL", false, false); });
    onLeave("TimOut", [this] { LeaveTiming("TimOut", true, false); });
    onLeave("LinkIDL", [this] { Local().IdText = at("LinkIDL").text(); });
    onLeave("LinkID", [this] {
        if (IsLink())
            Distant().IdText = at("LinkID").text();
    });
    // The Enter key ends the entry instead of starting a new line; a line break pasted
    // inside the text becomes one blank, so the words do not run together.
    onChange("LkInfo", [this] {
        const std::string in = at("LkInfo").text();
        std::string t;
        for (size_t i = 0; i < in.size(); ++i) {
            if (in[i] != '\r' && in[i] != '\n') {
                t += in[i];
                continue;
            }
            while (i + 1 < in.size() && (in[i + 1] == '\r' || in[i + 1] == '\n'))
                ++i;
            if (i + 1 < in.size() && !t.empty())
                t += ' ';
        }
        at("LkInfo").setText(t);
    });
    onLeave("LkInfo", [this] { Local().InfoText = at("LkInfo").text(); });
    onChange("ChkLinkLog", [this] {
        if (IsLink())
            Distant().InfoText =
                at("ChkLinkLog").checked() ? std::string(SystemSetup::LogMarker) : std::string();
    });
    onChange("ChkPair", [this] {
        if (IsLink())
            Distant().PairFlag = at("ChkPair").checked() ? "1" : "0";
    });
    // Clicking takes the focus out of the box being edited; leaving it does the work.
    onClick("BtnEnter", [] {});
    setCloseControl("BtnExitEdit");
    onClick("BtnExitEdit", [this] { Exit(); });
    onClick("BtnLinkHelp", [this] { cycle_.op().showHelp(HelpTopic); });

    // Entered from the summary's "Edit" buttons; the single-link view's "&Enter Edit
    // Mode" requests the mode for the link it shows.
    SummaryScreen& s = cycle_.screen();
    for (int n = 1; n <= SystemSetup::LinkCount; ++n) {
        const int local = SystemSetup::LocalRecord(n);
        s.onClick(SummaryScreen::EditButtonName(local), [this, local] {
            cycle_.ChosenLink = cycle_.SelectedLink = local;
            cycle_.EnterEditMode();
        });
    }
    for (int sw = 1; sw <= 2; ++sw) {
        const int rm = SystemSetup::RedundantModemRecord(sw);
        s.onClick(SummaryScreen::EditButtonName(rm), [this, sw, rm] {
            if (setup_.rec(SystemSetup::SwitchRecord(sw)).Mod1Addr.empty())
                return;
            cycle_.ChosenLink = cycle_.SelectedLink = rm;
            cycle_.EnterEditMode();
        });
    }
    s.onClick("BtnClose", [this] {
        EndEditing();
        cycle_.CloseSingleLink();
    });
    cycle_.onLinkEdit = [this] { Enter(cycle_.SelectedLink); };
}

void LinkEdit::Build() {
    add("", "EditGroup", ControlKind::Group).setLayout(Layout::Column);

    // The instructions and the legend of the address boxes.
    add("EditGroup", "UnitsGroup", ControlKind::Group).setLayout(Layout::Column);
    add("UnitsGroup", "LblInstr1", ControlKind::Label, kInstr1Initial).setTextColour(Colours::blue);
    add("UnitsGroup", "LblInstr2", ControlKind::Label, kInstr2Initial).setTextColour(Colours::blue);
    add("UnitsGroup", "LegendRow", ControlKind::Panel).setLayout(Layout::Row);
    add("LegendRow", "LegEnabled", ControlKind::Label).setBackground(Colours::aqua).setWidth(3);
    add("LegendRow", "LblEnabled", ControlKind::Label, "= Enabled");
    add("LegendRow", "LegDisabled", ControlKind::Label).setBackground(Colours::silver).setWidth(3);
    add("LegendRow", "LblDisabled", ControlKind::Label, "= Disabled");
    add("LegendRow", "BtnEnter", ControlKind::Button, "E&nter");

    // One grid, so that every LOCAL box stands under "LOCAL END" and every DISTANT box
    // under "DISTANT END": caption, LOCAL, DISTANT, note.
    const std::string g = "EditGrid";
    add("EditGroup", g, ControlKind::Panel).setLayout(Layout::Grid, 4);
    add(g, "LblHeadNone", ControlKind::Label);
    add(g, "LblLocalEnd", ControlKind::Label, "LOCAL END").setFont(0, true);
    add(g, "LblDistantEnd", ControlKind::Label, "DISTANT END").setFont(0, true);
    add(g, "LblHeadNote", ControlKind::Label);
    add(g, "LblIdHint", ControlKind::Label, "Enter a short link ID, up to 12 characters");
    add(g, "LinkIDL", ControlKind::Edit).setMaxLength(12).setWidth(12);
    add(g, "LinkID", ControlKind::Edit).setMaxLength(12).setWidth(12);
    add(g, "LblIdNote", ControlKind::Label, "ID is shown on the Summary Screen in a colored icon");
    for (int slot = 0; slot < UnitSlotCount; ++slot) {
        const std::string n = std::to_string(slot + 1);
        // The Modem 2 row has neither caption nor note: its DISTANT place holds the 1:1
        // check box.
        add(g, "LblUnit" + n, ControlKind::Label, kRowCaptions[slot]).setVisible(slot != Modem2);
        add(g, AddressBoxName(slot, false), ControlKind::Edit).setMaxLength(4).setWidth(5);
        if (slot == Modem2)
            add(g, "ChkPair", ControlKind::Check, "Connected to a 1:1 system");
        else
            add(g, AddressBoxName(slot, true), ControlKind::Edit).setMaxLength(4).setWidth(5);
        add(g, "LblNote" + n, ControlKind::Label, kRowNotes[slot]).setVisible(slot != Modem2);
    }
    add(g, "LblDelay", ControlKind::Label, "Delay");
    add(g, "TdelayL", ControlKind::Edit).setMaxLength(4).setWidth(5);
    add(g, "Tdelay", ControlKind::Edit).setMaxLength(4).setWidth(5);
    add(g, "LblDelayNote", ControlKind::Label,
        "Time to wait before next message is sent, in msec. Min value is 50 msec.");
    add(g, "LblTimeout", ControlKind::Label, "Timeout");
    add(g, "TimOutL", ControlKind::Edit).setMaxLength(2).setWidth(3);
    add(g, "TimOut", ControlKind::Edit).setMaxLength(2).setWidth(3);
    add(g, "LblTimeoutNote", ControlKind::Label,
        "Max time to wait for response to message, in seconds. Min value is 1 second.");
    // The DISTANT Modem 2 is the off-line unit of a 1:1 pair: its box is never shown.
    add(g, AddressBoxName(Modem2, true), ControlKind::Edit).setMaxLength(4).setVisible(false);

    add("EditGroup", "NoteHelp", ControlKind::Label, "Click <Help> for Addressing spec information")
        .setTextColour(Colours::red);
    add("EditGroup", "NoteChecked", ControlKind::Label, "Entries are checked on exit of a box");
    add("EditGroup", "NoteEdit", ControlKind::Label,
        "To edit, move the mouse cursor into the box, click the left mouse button and begin "
        "typing")
        .setTextColour(Colours::blue);
    add("EditGroup", "LblError", ControlKind::Label).setTextColour(Colours::red);

    add("EditGroup", "LblInfo", ControlKind::Label,
        "Enter some general link information, eg. local contacts, telephone numbers");
    add("EditGroup", "LkInfo", ControlKind::Memo).setMaxLength(250).setWidth(60);
    add("EditGroup", "LblInfoMax", ControlKind::Label, "250 characters maximum");

    add("EditGroup", "ChkLinkLog", ControlKind::Check,
        "Auto Logging of this link (enabled when checked)");
    add("EditGroup", "LblLogNote", ControlKind::Label,
        "Needs AutoLog enabling, via AutoLog+Save button");

    add("EditGroup", "LblResume", ControlKind::Label, "Polling will resume on exit of Edit Mode");
    add("EditGroup", "EditButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("EditButtons", "BtnExitEdit", ControlKind::Button, "E&xit Edit Mode");
    add("EditButtons", "BtnLinkHelp", ControlKind::Button, "&Help");
}

// ---- the edited item ----

int LinkEdit::SwitchNumber() const {
    if (item_ > 40)
        return SystemSetup::SwitchOfRedundantModemRecord(item_);
    return SystemSetup::SwitchOfLink(SystemSetup::LinkOfRecord(item_));
}

std::string LinkEdit::SwitchAddress() const {
    return setup_.rec(SystemSetup::SwitchRecord(SwitchNumber())).Mod1Addr;
}

bool LinkEdit::SwitchOn() const {
    return !SwitchAddress().empty();
}

EndRecord& LinkEdit::Local() {
    return setup_.rec(item_);
}

EndRecord& LinkEdit::Distant() {
    // A redundant modem has no DISTANT end; its boxes are hidden and never reach here.
    return setup_.rec(IsLink() ? item_ + 1 : item_);
}

// ---- entering and ending ----

void LinkEdit::Enter(int item) {
    const bool valid = (item >= 1 && item <= 39 && item % 2 == 1) || item == 42 || item == 44;
    if (editing_)
        return;
    if (!valid) {
        // No link to edit: back to the summary with the timer still running.
        cycle_.RequestMode(Modes::AllLinks);
        return;
    }
    cycle_.SetTimer(false);
    cycle_.SetHelpTopic(HelpTopic);
    editing_ = true;
    item_ = item;

    const std::string title =
        IsLink() ? "Link " + std::to_string(SystemSetup::LinkOfRecord(item)) + ", Edit Mode"
                 : "Redundant Modem, Switch " + std::to_string(SwitchNumber()) + ", Edit Mode";
    at("EditGroup").setText(title);
    setCaption(title);
    at("LkInfo").setText(Local().InfoText);
    // A redundant modem has no DISTANT record to hold the log marker.
    at("ChkLinkLog").setVisible(IsLink());
    at("LblLogNote").setVisible(IsLink());
    at("ChkLinkLog").setChecked(IsLink() && Distant().InfoText == SystemSetup::LogMarker);
    // The block addressing counts eight addresses over both ends of a link; a redundant
    // modem is one unit whose address its switch dictates.
    newSpec_ = IsLink() && Local().AddrSpec == "52";
    ShowError("");
    Fill();
    if (onShown)
        onShown(true);
}

void LinkEdit::EndEditing() {
    if (!editing_)
        return;
    cycle_.SetTimer(true);
    editing_ = false;
    cycle_.CurrentEnd = item_;
    setup_.RecomputeAnyEndActive();
    setup_.ResetDisplayColours(item_);
    // A redundant modem has no DISTANT record: the next one is switch 2, or none at all.
    if (IsLink())
        setup_.ResetDisplayColours(item_ + 1);
    SummaryScreen& s = cycle_.screen();
    s.RefreshSummary(setup_, cycle_.WorstStatus);
    s.RefreshIds(setup_);
    if (IsLink())
        s.FillSingleLink(setup_, item_);
    if (onShown)
        onShown(false);
    cycle_.Status.fill(0);
    cycle_.StepNo = 0;
    cycle_.tx.TimeoutLeft = 0;
    cycle_.tx.DelayLeft = 0;
    cycle_.SummaryDelay = 0;
}

void LinkEdit::Exit() {
    const bool oneLink = IsLink() && setup_.EndActive(item_);
    EndEditing();
    cycle_.RequestMode(oneLink ? Modes::OneLink : Modes::AllLinks);
}

// ---- filling the screen ----

void LinkEdit::ShowBox(int slot, bool distant, const std::string& text, bool typeable) {
    at(AddressBoxName(slot, distant))
        .setText(text)
        .setReadOnly(!typeable)
        .setBackground(SelectColour(RecordOf(distant).addr(slot).str()));
}

void LinkEdit::Fill() {
    const bool link = IsLink();
    at("LblDistantEnd").setVisible(link);
    for (int slot : {Modem1, Transceiver1, Transceiver2})
        at(AddressBoxName(slot, true)).setVisible(link);
    for (const char* c : {"LinkID", "Tdelay", "TimOut", "ChkPair"})
        at(c).setVisible(link);

    if (newSpec_)
        FillNew();
    else
        FillOriginal();

    EndRecord& l = Local();
    at("LinkIDL").setText(l.IdText);
    at("TdelayL").setText(l.DelayText);
    at("TimOutL").setText(l.TimeoutText);
    if (link) {
        EndRecord& d = Distant();
        at("LinkID").setText(d.IdText);
        at("Tdelay").setText(d.DelayText);
        at("TimOut").setText(d.TimeoutText);
        at("ChkPair").setChecked(d.PairFlag == "1");
    }
}

void LinkEdit::FillOriginal() {
    const bool on = SwitchOn();
    if (on) {
        at("LblInstr1")
            .setText("Switch is on. Click on Modem 1 to enable/disable. Other devices: type/delete "
                     "entry");
        // The screen's own second line, not whatever an earlier link or layout left there.
        at("LblInstr2").setText(kInstr2Initial);
    } else {
        at("LblInstr1")
            .setText("To activate a device, enter an address, 0-9999, and click on "
                     "<Enter>");
        at("LblInstr2").setText("To de-activate a device, remove the address completely");
    }
    EndRecord& l = Local();
    for (int slot : {Modem2, Transceiver1, Transceiver2})
        ShowBox(slot, false, l.addr(slot), true);

    if (!IsLink()) {
        ShowBox(Modem1, false, SystemSetup::RedundantModemAddress(SwitchAddress()), false);
        return;
    }
    std::string m1 = l.Mod1Addr;
    if (on && m1.empty()) {
        // The address the switch gives this link's traffic modem.
        const int n = SystemSetup::LinkOfRecord(item_);
        m1 = SystemSetup::TrafficModemAddress(SwitchAddress(), (n - 1) % 10 + 1);
    }
    ShowBox(Modem1, false, m1, !on);
    EndRecord& d = Distant();
    for (int slot = 0; slot < UnitSlotCount; ++slot)
        ShowBox(slot, true, d.addr(slot), slot != Modem2);
}

void LinkEdit::FillNew() {
    const bool on = SwitchOn();
    EndRecord& l = Local();
    EndRecord& d = Distant();
    const bool m1Present = !l.Mod1Addr.empty();
    std::string text[2][UnitSlotCount];

    if (m1Present) {
        text[0][Modem1] = l.Mod1Addr;
        const ParsedInt m = ParseIntStrict(l.Mod1Addr);
        for (int k = 1; k < 8 && m.ok; ++k)
            text[k / 4][k % 4] = Addr4(m.value + k);
        at("LblInstr1")
            .setText(on ? "Switch System - deactivate Local Modem1 via Switch Edit "
                          "Screen"
                        : "To deactivate Modem1, clear the address, and click on "
                          "<Enter>");
        at("LblInstr2").setText("Click in a box to activate/deactivate other devices");
    } else if (!l.Tr1Addr.empty()) {
        text[0][Transceiver1] = l.Tr1Addr;
        const ParsedInt t = ParseIntStrict(l.Tr1Addr);
        if (t.ok)
            text[0][Transceiver2] = Addr4(t.value + 1);
        at("LblInstr1")
            .setText("To deactivate Transceiver1, clear the address, and click on "
                     "<Enter>");
        at("LblInstr2").setText("Click to activate/deactivate Transceiver2");
    } else {
        // Without a LOCAL Modem 1 or Transceiver 1 there is no block, and nothing of the
        // link can be reached.
        for (int slot = 0; slot < UnitSlotCount; ++slot) {
            l.addr(slot).clear();
            d.addr(slot).clear();
        }
        if (on) {
            at("LblInstr1")
                .setText("Switch System - activate Local modem1 via Switch Edit "
                         "Screen");
            at("LblInstr2")
                .setText("To activate Local Transceiver1, enter an address, 0-9999, "
                         "and click on <Enter>");
        } else {
            at("LblInstr1")
                .setText("To activate a Local Modem1 or Transceiver1, enter an "
                         "address, 0-9999, and click on <Enter>");
            at("LblInstr2").setText("");
        }
    }
    for (int slot = 0; slot < UnitSlotCount; ++slot) {
        for (bool distant : {false, true}) {
            bool typeable = false;
            if (!distant && slot == Modem1)
                typeable = !on;
            else if (!distant && slot == Transceiver1)
                typeable = !m1Present;
            ShowBox(slot, distant, text[distant][slot], typeable);
        }
    }
}

// ---- entries ----

void LinkEdit::ShowError(const std::string& text) {
    at("LblError").setText(text);
}

bool LinkEdit::Normalise(const std::string& entry, std::string& out) {
    const std::string text = BlanksToZeros(entry);
    // A minus sign or a fraction is no bus address: "00-5" would be polled and never
    // answer, and 1.5 would quietly become unit 0002.
    double real = 0;
    const bool fraction = ReadRealText(CleanNumber(text), real) && real != std::floor(real);
    if (text.find('-') != std::string::npos || fraction) {
        ShowError("Address entry was invalid: " + entry);
        return false;
    }
    const ParsedInt v = ParseInt(text);
    out = v.ok ? Addr4(v.value) : "0000";
    ShowError("");
    return true;
}

void LinkEdit::LeaveAddress(int slot, bool distant) {
    if (!editing_)
        return;
    if (!distant && slot == Modem1) {
        LeaveLocalModem1();
        return;
    }
    if (!distant && slot == Transceiver1) {
        LeaveLocalTransceiver1();
        return;
    }
    Control& box = at(AddressBoxName(slot, distant));
    if (box.readOnly() || (distant && !IsLink()))
        return;
    FixedText<4>& field = RecordOf(distant).addr(slot);
    std::string text = blank(box.text()) ? std::string() : box.text();
    if (text == field.str())
        return;
    if (!text.empty() && !Normalise(text, text)) {
        box.setText(field);
        return;
    }
    field = text;
    RecordOf(distant).unitColour(slot) = SelectColour(text);
    Fill();
}

void LinkEdit::LeaveLocalModem1() {
    Control& box = at("AddrMod1L");
    if (SwitchOn() || box.readOnly())
        return;
    EndRecord& l = Local();
    std::string text = blank(box.text()) ? std::string() : box.text();
    if (text == l.Mod1Addr.str())
        return;
    if (!text.empty() && !Normalise(text, text)) {
        box.setText(l.Mod1Addr);
        return;
    }
    if (text != l.Mod1Addr.str()) {
        l.Mod1Addr = text;
        l.Mod1Colour = SelectColour(text);
        if (newSpec_) {
            // The block moves with Modem 1: the other units are enabled again one by one.
            EndRecord& d = Distant();
            for (int slot = 0; slot < UnitSlotCount; ++slot) {
                if (slot != Modem1)
                    l.addr(slot).clear();
                d.addr(slot).clear();
            }
        }
    }
    Fill();
}

void LinkEdit::LeaveLocalTransceiver1() {
    Control& box = at("AddrRFT1L");
    if (box.readOnly())
        return;
    EndRecord& l = Local();
    std::string text = blank(box.text()) ? std::string() : box.text();
    if (!text.empty() && !Normalise(text, text)) {
        box.setText(l.Tr1Addr);
        return;
    }
    // In the block addressing Transceiver 2 sits at Transceiver 1 + 1: when Transceiver 1
    // moves or goes, a Transceiver 2 left at the old place would be polled where no box
    // shows it.
    if (newSpec_ && text != l.Tr1Addr.str())
        l.Tr2Addr.clear();
    l.Tr1Addr = text;
    l.Tr1Colour = SelectColour(text);
    Fill();
}

void LinkEdit::ClickAddress(int slot, bool distant) {
    if (!editing_)
        return;
    Control& box = at(AddressBoxName(slot, distant));
    if (!box.readOnly() || box.text().empty())
        return;
    // With block addressing the switch edit screen enables and disables Modem 1.
    if (newSpec_ && !distant && slot == Modem1)
        return;
    if (distant && !IsLink())
        return;
    EndRecord& r = RecordOf(distant);
    if (!r.addr(slot).empty()) {
        r.addr(slot).clear();
        r.unitColour(slot) = Colours::silver;
    } else {
        r.addr(slot) = box.text();
        r.unitColour(slot) = Colours::aqua;
    }
    Fill();
}

void LinkEdit::LeaveTiming(const std::string& name, bool distant, bool delay) {
    if (!editing_ || (distant && !IsLink()))
        return;
    Control& box = at(name);
    EndRecord& r = RecordOf(distant);
    FixedText<6>& field = delay ? r.DelayText : r.TimeoutText;
    const std::string cleaned = CleanNumber(box.text());
    box.setText(cleaned);
    int value = -1;
    if (!ReadIntText(cleaned, value))
        value = -1;
    const std::string what = delay ? "Time delay" : "Timeout";
    if (value == -1) {
        ShowError(what + " entry was invalid: " + cleaned);
        box.setText(field);
    } else if (value < (delay ? 50 : 1)) {
        ShowError(what + " entry was corrected");
        box.setText(field);
    } else {
        ShowError("");
        field = cleaned;
    }
}

} // namespace linvar
