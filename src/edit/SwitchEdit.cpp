#include "edit/SwitchEdit.h"

#include "poll/PollCycle.h"
#include "setup/SystemSetup.h"
#include "summary/SummaryScreen.h"
#include "ui/Operator.h"
#include "wire/TextFormats.h"

namespace linvar {

std::string SwitchEdit::ModemBoxName(int k) {
    return k > 10 ? "SwRM" : "SwM" + std::to_string(k);
}

const std::vector<std::string>& SwitchEdit::ListEntries() {
    static const std::vector<std::string> list{" Disable", " 0000  RS-232", " 1000",
                                               " 3000",    " 5000",         " 7000"};
    return list;
}

SwitchEdit::SwitchEdit(PollCycle& cycle)
    : Screen("SwitchEdit", "Edit Mode - Switch #1"), cycle_(cycle), setup_(cycle.setup()) {
    setHelpTopic(HelpTopic);
    Build();

    onChange("SwList", [this] { Choose(); });
    for (int k = 1; k <= 10; ++k)
        onClick(ModemBoxName(k), [this, k] { ClickModem(k); });
    onClick("SwRM", [this] { ClickRedundantModem(); });
    onLeave("SwID", [this] {
        setup_.rec(SystemSetup::SwitchRecord(switch_)).IdText = at("SwID").text();
        at("SwMsg").setText("");
    });
    onLeave("SwDlay", [this] { LeaveTiming("SwDlay", true); });
    onLeave("SwTout", [this] { LeaveTiming("SwTout", false); });
    setCloseControl("BtnExitSw");
    onClick("BtnExitSw", [this] { Exit(); });
    onClick("BtnSwHelp", [this] { cycle_.op().showHelp(HelpTopic); });

    SummaryScreen& s = cycle_.screen();
    for (int sw = 1; sw <= 2; ++sw)
        s.onClick(SummaryScreen::EditButtonName(SystemSetup::SwitchRecord(sw)),
                  [this, sw] { Request(sw); });
    cycle_.onSwitchEdit = [this] { Enter(requested_); };
}

void SwitchEdit::Build() {
    add("", "SwGroup", ControlKind::Group, "Edit Mode - Switch #1").setLayout(Layout::Column);
    add("SwGroup", "SwInstr", ControlKind::Label,
        "Enable the Switch by selecting an address from the list, or Disable")
        .setTextColour(Colours::blue);
    add("SwGroup", "SwNote", ControlKind::Label, "Note: Changes here affect the System Setup")
        .setTextColour(Colours::red)
        .setFont(12, true);
    add("SwGroup", "SwList", ControlKind::Combo).setItems(ListEntries()).setWidth(14);

    add("SwGroup", "SwDetails", ControlKind::Panel).setLayout(Layout::Column).setVisible(false);
    add("SwDetails", "SwModems", ControlKind::Panel).setLayout(Layout::Grid, 12);
    add("SwModems", "SwHeadNone", ControlKind::Label);
    for (int k = 1; k <= 10; ++k)
        add("SwModems", "SwHead" + std::to_string(k), ControlKind::Label, std::to_string(k));
    add("SwModems", "SwHeadRM", ControlKind::Label, "RM");
    add("SwModems", "SwHeadModem", ControlKind::Label, "Modem");
    for (int k = 1; k <= 11; ++k)
        add("SwModems", ModemBoxName(k), ControlKind::Label)
            .setBackground(Colours::green)
            .setWidth(5);
    add("SwDetails", "SwClickHint", ControlKind::Label,
        "Click on a box to Enable/Disable a Traffic Modem.  ");
    add("SwDetails", "SwLegend", ControlKind::Panel).setLayout(Layout::Row);
    add("SwLegend", "SwLegGreen", ControlKind::Label).setBackground(Colours::green).setWidth(3);
    add("SwLegend", "SwLblDisabled", ControlKind::Label, "=Disabled");
    add("SwLegend", "SwLegLime", ControlKind::Label).setBackground(Colours::lime).setWidth(3);
    add("SwLegend", "SwLblEnabled", ControlKind::Label, "=Enabled");

    add("SwDetails", "SwFields", ControlKind::Panel).setLayout(Layout::Grid, 2);
    add("SwFields", "SwLblId", ControlKind::Label, "Switch ID");
    add("SwFields", "SwID", ControlKind::Edit).setMaxLength(12).setWidth(12);
    add("SwFields", "SwLblDelay", ControlKind::Label, "Delay (msec)");
    add("SwFields", "SwDlay", ControlKind::Edit).setMaxLength(6).setWidth(6);
    add("SwFields", "SwLblTimeout", ControlKind::Label, "Timeout (sec)");
    add("SwFields", "SwTout", ControlKind::Edit).setMaxLength(6).setWidth(6);
    add("SwDetails", "SwMsg", ControlKind::Label).setTextColour(Colours::red);
    add("SwDetails", "SwNote1", ControlKind::Label, "Addresses are dictated by the Switch spec.");
    add("SwDetails", "SwNote2", ControlKind::Label, "Address is shown within the box.");
    add("SwDetails", "SwNote3", ControlKind::Label,
        "Go to the individual link Edit Mode screen for further data entry");

    add("SwGroup", "SwButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("SwButtons", "BtnExitSw", ControlKind::Button, "&Exit Edit");
    add("SwButtons", "BtnSwHelp", ControlKind::Button, "&Help");
}

void SwitchEdit::Request(int s) {
    requested_ = s;
    cycle_.RequestMode(Modes::ConfSw);
}

void SwitchEdit::ShowSummary(bool shown) {
    SummaryScreen& s = cycle_.screen();
    for (const char* c : {"SumBox", "SumHint", "BtnSave"})
        s[c].setVisible(shown);
}

void SwitchEdit::Enter(int s) {
    if (editing_)
        return;
    if (s != 1 && s != 2) {
        cycle_.RequestMode(Modes::AllLinks);
        return;
    }
    cycle_.SetTimer(false);
    cycle_.SetHelpTopic(HelpTopic);
    ShowSummary(false);
    editing_ = true;
    switch_ = s;
    const std::string caption = "Edit Mode - Switch #" + std::to_string(s);
    at("SwGroup").setText(caption);
    setCaption(caption);

    const EndRecord& sw = setup_.rec(SystemSetup::SwitchRecord(s));
    at("SwID").setText(sw.IdText);
    at("SwDlay").setText(sw.DelayText);
    at("SwTout").setText(sw.TimeoutText);
    at("SwMsg").setText("");

    // An address that is none of the list's (a hand-made set-up file) is shown as an
    // entry of its own: choosing any list entry on entering would move or switch off
    // the switch and its traffic modems before the operator did anything.
    std::vector<std::string> items = ListEntries();
    int index = 0;
    if (!sw.Mod1Addr.empty()) {
        const auto& addrs = SystemSetup::SwitchAddresses();
        index = -1;
        for (size_t i = 0; i < addrs.size(); ++i)
            if (sw.Mod1Addr == addrs[i])
                index = static_cast<int>(i) + 1;
        if (index < 0) {
            items.push_back(" " + sw.Mod1Addr.str());
            index = static_cast<int>(items.size()) - 1;
        }
    }
    at("SwList").setItems(items).setSelected(index);
    // Addresses of an earlier visit must not reach this switch's links.
    for (int k = 1; k <= 11; ++k)
        at(ModemBoxName(k)).setText("");
    ApplySelection();
    ColourBoxes();
    if (onShown)
        onShown(true);
}

void SwitchEdit::ApplySelection() {
    const int index = at("SwList").selected();
    EndRecord& sw = setup_.rec(SystemSetup::SwitchRecord(switch_));
    if (index <= 0) {
        sw.Mod1Addr.clear();
        sw.EndColour = Colours::gray;
    } else {
        const std::string entry = at("SwList").selectedText();
        const std::string addr = entry.substr(1, 4);
        sw.Mod1Addr = addr;
        for (int k = 1; k <= 10; ++k)
            at(ModemBoxName(k)).setText(SystemSetup::TrafficModemAddress(addr, k));
        at("SwRM").setText(SystemSetup::RedundantModemAddress(addr));
    }
    at("SwDetails").setVisible(index >= 1);
}

void SwitchEdit::ColourBoxes() {
    for (int k = 1; k <= 10; ++k) {
        const bool on = !setup_.rec(SystemSetup::TrafficModemRecord(switch_, k)).Mod1Addr.empty();
        at(ModemBoxName(k)).setBackground(on ? Colours::lime : Colours::green);
    }
    const bool rm = !setup_.rec(SystemSetup::RedundantModemRecord(switch_)).Mod1Addr.empty();
    at("SwRM").setBackground(rm ? Colours::lime : Colours::green);
}

void SwitchEdit::Choose() {
    if (!editing_)
        return;
    const int index = at("SwList").selected();
    at("SwDetails").setVisible(index >= 1);
    EndRecord& rm = setup_.rec(SystemSetup::RedundantModemRecord(switch_));
    if (index == 0)
        for (int slot = 0; slot < UnitSlotCount; ++slot)
            rm.addr(slot).clear();
    ApplySelection();
    ColourBoxes();
    // Enabled units move with the switch. A box without an address (the switch was off
    // all along) leaves its link as it is.
    for (int k = 1; k <= 10; ++k) {
        const Control& box = at(ModemBoxName(k));
        EndRecord& local = setup_.rec(SystemSetup::TrafficModemRecord(switch_, k));
        if (box.background() == Colours::lime) {
            if (!box.text().empty())
                local.Mod1Addr = box.text();
        } else {
            local.Mod1Addr.clear();
        }
    }
    if (index >= 1 && !rm.Mod1Addr.empty() && !at("SwRM").text().empty())
        rm.Mod1Addr = at("SwRM").text();
}

void SwitchEdit::ClickModem(int k) {
    if (!editing_)
        return;
    Control& box = at(ModemBoxName(k));
    if (box.text().empty())
        return;
    const int local = SystemSetup::TrafficModemRecord(switch_, k);
    if (box.background() == Colours::lime) {
        box.setBackground(Colours::green);
        for (int r : {local, local + 1})
            for (int slot = 0; slot < UnitSlotCount; ++slot)
                setup_.rec(r).addr(slot).clear();
    } else {
        box.setBackground(Colours::lime);
        setup_.rec(local).Mod1Addr = box.text();
    }
}

void SwitchEdit::ClickRedundantModem() {
    if (!editing_)
        return;
    Control& box = at("SwRM");
    if (box.text().empty())
        return;
    EndRecord& rm = setup_.rec(SystemSetup::RedundantModemRecord(switch_));
    if (box.background() == Colours::lime) {
        box.setBackground(Colours::green);
        rm.Mod1Addr.clear();
        rm.EndColour = Colours::gray;
    } else {
        box.setBackground(Colours::lime);
        rm.Mod1Addr = box.text();
        rm.EndColour = Colours::green;
    }
}

void SwitchEdit::LeaveTiming(const std::string& name, bool delay) {
    if (!editing_)
        return;
    Control& box = at(name);
    const std::string cleaned = CleanNumber(box.text());
    box.setText(cleaned);
    const int minimum = delay ? 50 : 1;
    int value = IntOfText(cleaned);
    if (value < minimum) {
        value = minimum;
        at("SwMsg").setText("Value was corrected");
    } else {
        at("SwMsg").setText("");
    }
    const std::string text = std::to_string(value);
    box.setText(text);
    EndRecord& sw = setup_.rec(SystemSetup::SwitchRecord(switch_));
    (delay ? sw.DelayText : sw.TimeoutText) = text;
}

void SwitchEdit::Exit() {
    if (!editing_)
        return;
    editing_ = false;
    setup_.RecomputeAnyEndActive();
    setup_.ResetColoursAfterSwitchEdit();
    SummaryScreen& s = cycle_.screen();
    s.RefreshSummary(setup_, cycle_.WorstStatus);
    s.RefreshIds(setup_);
    cycle_.RequestMode(Modes::AllLinks);
    if (onShown)
        onShown(false);
    ShowSummary(true);
    cycle_.SetTimer(true);
}

} // namespace linvar
