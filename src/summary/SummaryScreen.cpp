#include "summary/SummaryScreen.h"

namespace linvar {

namespace {

const char* const kSlotNames[] = {"Mod1", "Mod2", "RFT1", "RFT2"};
const char* const kSlotLegends[] = {"Modem 1", "Modem 2", "Transceiver 1", "Transceiver 2"};
const char* const kSlotRoles[] = {"Stand-alone modem or on-line modem in a 1:1 pair",
                                  "Off-line modem in a 1:1 pair (view via Online unit)",
                                  "Stand-alone transceiver or primary transceiver in a 1:1 pair",
                                  "Secondary transceiver in a 1:1 pair"};

std::string side(bool distant) {
    return distant ? "" : "L";
}

} // namespace

namespace {

// Names per record: LOCAL and DISTANT ends carry the link number, the switch records
// their own names.
struct RecordNames {
    const char* local;
    const char* distant;
    const char* switches[4]; // records 41..44
};

std::string recordName(const RecordNames& n, int record) {
    if (record > 40)
        return n.switches[record - 41];
    return (record % 2 ? n.local : n.distant) + std::to_string((record + 1) / 2);
}

} // namespace

std::string SummaryScreen::IconName(int record) {
    static const RecordNames names{"EndL", "EndD", {"Switch1", "RedMod1", "Switch2", "RedMod2"}};
    return recordName(names, record);
}

std::string SummaryScreen::PollMarkName(int record) {
    static const RecordNames names{"PollL", "PollD", {"PollSw1", "PollRM1", "PollSw2", "PollRM2"}};
    return recordName(names, record);
}

std::string SummaryScreen::EditButtonName(int record) {
    static const RecordNames names{
        "BtnEdit", "BtnEdit", {"BtnEditSw1", "BtnEditRM1", "BtnEditSw2", "BtnEditRM2"}};
    return recordName(names, record);
}

std::string SummaryScreen::UnitIconName(int slot, bool distant) {
    return std::string("Lbl") + kSlotNames[slot] + side(distant);
}

std::string SummaryScreen::UnitMarkerName(int slot, bool distant) {
    return std::string("Mrk") + kSlotNames[slot] + side(distant);
}

std::string SummaryScreen::OnlineMarkerName(int slot, bool distant) {
    return std::string("Onl") + kSlotNames[slot] + side(distant);
}

SummaryScreen::SummaryScreen()
    : Screen("Main", "Arvelle Quorin  M&C  Software          Linvar  Ver 4.7") {
    setCloseControl("BtnQuit");
    add("", "AppTitle", ControlKind::Label, "Linvar").setVisible(false);

    // The fixed parts, in every view.
    add("", "Fixed", ControlKind::Panel).setLayout(Layout::Row);
    add("Fixed", "BtnComms", ControlKind::Button, "C&omms");
    add("Fixed", "CommsLabel", ControlKind::Label, "comms");
    add("Fixed", "BtnCapture", ControlKind::Button, "Enable &I/O Capture File");
    add("Fixed", "CaptureState", ControlKind::Label, "Capture disabled");
    add("Fixed", "BtnPrint", ControlKind::Button, "Enable P&rint");
    add("Fixed", "PrintState", ControlKind::Label, "Print Disabled");
    add("Fixed", "BtnAlarms", ControlKind::Button, "&Alarms");
    add("Fixed", "AlarmCount", ControlKind::Label).setTextColour(Colours::red);
    add("Fixed", "BtnTrends", ControlKind::Button, "Tre&nds");
    add("Fixed", "BtnHelp", ControlKind::Button, "&Help");
    add("Fixed", "BtnQuit", ControlKind::Button, "&Quit");

    add("", "AutoLogPanel", ControlKind::Panel).setVisible(false);
    add("AutoLogPanel", "AlTime", ControlKind::Label);
    add("AutoLogPanel", "AlEvery", ControlKind::Label);

    add("", "WaitNotice", ControlKind::Panel).setVisible(false);
    add("WaitNotice", "WaitText", ControlKind::Label, "Waiting for response, please wait...")
        .setTextColour(Colours::red);
    add("WaitNotice", "WaitMsec", ControlKind::Label);
    add("", "CommNotice", ControlKind::Label, "Communicating with the device...")
        .setTextColour(Colours::blue)
        .setVisible(false);

    // All-links summary: links 1-10, switch 1 and its redundant modem on the left,
    // links 11-20, switch 2 and its redundant modem on the right.
    add("", "SumBox", ControlKind::Group, "System Summary").setLayout(Layout::Row);
    for (int half = 0; half < 2; ++half) {
        const std::string panel = half == 0 ? "SumLeft" : "SumRight";
        add("SumBox", panel, ControlKind::Panel).setLayout(Layout::Grid, 6);
        const std::string h = std::to_string(half + 1);
        add(panel, "HeadNo" + h, ControlKind::Label, "");
        add(panel, "HeadL" + h, ControlKind::Label, "LOCAL");
        add(panel, "HeadPL" + h, ControlKind::Label, "");
        add(panel, "HeadD" + h, ControlKind::Label, "DISTANT");
        add(panel, "HeadPD" + h, ControlKind::Label, "");
        add(panel, "HeadE" + h, ControlKind::Label, "");
        for (int n = half * 10 + 1; n <= half * 10 + 10; ++n) {
            const int local = 2 * n - 1;
            add(panel, "LinkNo" + std::to_string(n), ControlKind::Label, std::to_string(n));
            add(panel, IconName(local), ControlKind::Label).setWidth(12);
            add(panel, PollMarkName(local), ControlKind::Label, " ").setWidth(1);
            add(panel, IconName(local + 1), ControlKind::Label).setWidth(12);
            add(panel, PollMarkName(local + 1), ControlKind::Label, " ").setWidth(1);
            add(panel, EditButtonName(local), ControlKind::Button, "Edit");
        }
        const int sw = 41 + 2 * half;
        const std::string grpSw = "GrpSw" + h;
        add(panel, grpSw, ControlKind::Group, "1:N Switch").setLayout(Layout::Row);
        add(grpSw, IconName(sw), ControlKind::Label).setWidth(12);
        add(grpSw, PollMarkName(sw), ControlKind::Label, " ").setWidth(1);
        add(grpSw, EditButtonName(sw), ControlKind::Button, "Edit");
        const std::string grpRm = "GrpRM" + h;
        add(panel, grpRm, ControlKind::Group, "Redundant Modem").setLayout(Layout::Row);
        add(grpRm, IconName(sw + 1), ControlKind::Label).setWidth(12);
        add(grpRm, PollMarkName(sw + 1), ControlKind::Label, " ").setWidth(1);
        add(grpRm, EditButtonName(sw + 1), ControlKind::Button, "Edit");
    }
    add("", "SumHint", ControlKind::Label,
        "Double click on an icon to see detailed information, <Edit> to change set-up")
        .setTextColour(Colours::blue);
    add("", "BtnSave", ControlKind::Button, "AutoLog + &Save");

    // Single-link view.
    add("", "LinkBox", ControlKind::Group, "One Link").setLayout(Layout::Column).setVisible(false);
    add("LinkBox", "LinkUnits", ControlKind::Panel).setLayout(Layout::Grid, 8);
    add("LinkUnits", "HeadLocal", ControlKind::Label, "LOCAL END");
    add("LinkUnits", "HeadLocalM", ControlKind::Label, "");
    add("LinkUnits", "HeadLocalO", ControlKind::Label, "");
    add("LinkUnits", "HeadLegend", ControlKind::Label, "");
    add("LinkUnits", "HeadRole", ControlKind::Label, "");
    add("LinkUnits", "HeadDistant", ControlKind::Label, "DISTANT END");
    add("LinkUnits", "HeadDistantM", ControlKind::Label, "");
    add("LinkUnits", "HeadDistantO", ControlKind::Label, "");
    for (int slot = 0; slot < UnitSlotCount; ++slot) {
        add("LinkUnits", UnitIconName(slot, false), ControlKind::Label).setWidth(12);
        add("LinkUnits", UnitMarkerName(slot, false), ControlKind::Label).setWidth(1);
        add("LinkUnits", OnlineMarkerName(slot, false), ControlKind::Label, "\xBB")
            .setVisible(false);
        add("LinkUnits", std::string("Leg") + kSlotNames[slot], ControlKind::Label,
            kSlotLegends[slot]);
        add("LinkUnits", std::string("Role") + kSlotNames[slot], ControlKind::Label,
            kSlotRoles[slot]);
        add("LinkUnits", UnitIconName(slot, true), ControlKind::Label).setWidth(12);
        add("LinkUnits", UnitMarkerName(slot, true), ControlKind::Label).setWidth(1);
        add("LinkUnits", OnlineMarkerName(slot, true), ControlKind::Label, "\xBB")
            .setVisible(false);
    }
    add("LinkBox", "LegOnline", ControlKind::Label, "\xBB  indicates the Online unit of a 1:1 pair")
        .setVisible(false);
    add("LinkBox", "LinkIds", ControlKind::Panel).setLayout(Layout::Row);
    add("LinkIds", "LblLinkId", ControlKind::Label, "Link Id");
    add("LinkIds", "ShowIdL", ControlKind::Label).setBackground(Colours::white).setWidth(12);
    add("LinkIds", "ShowId", ControlKind::Label).setBackground(Colours::white).setWidth(12);
    add("LinkBox", "LblInfo", ControlKind::Label, "Information");
    add("LinkBox", "ShowInfo", ControlKind::Memo).setReadOnly(true);
    add("LinkBox", "LogLine", ControlKind::Label, "Link Log disabled");
    add("LinkBox", "LinkHint1", ControlKind::Label,
        "Double click on a colored icon to see detailed unit information")
        .setTextColour(Colours::blue);
    add("LinkBox", "LinkHint2", ControlKind::Label,
        "Enter Edit Mode to view/edit the setup of this link. Polling will be suspended.")
        .setTextColour(Colours::blue);
    add("LinkBox", "LinkButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("LinkButtons", "BtnClose", ControlKind::Button, "&Close");
    add("LinkButtons", "BtnEnterEdit", ControlKind::Button, "&Enter Edit Mode");

    for (int r = 1; r <= SystemSetup::RecordCount; ++r) {
        icon_[r] = &at(IconName(r));
        pollMark_[r] = &at(PollMarkName(r));
    }
    for (int d = 0; d < 2; ++d) {
        for (int slot = 0; slot < UnitSlotCount; ++slot) {
            unitIcon_[d][slot] = &at(UnitIconName(slot, d == 1));
            unitMarker_[d][slot] = &at(UnitMarkerName(slot, d == 1));
            online_[d][slot] = &at(OnlineMarkerName(slot, d == 1));
        }
    }
}

std::string SummaryScreen::ProgramTitle(int worstStatus) {
    std::string title = "Linvar";
    if (worstStatus == 2)
        title += ":Warning";
    else if (worstStatus == 3)
        title += ":FAULT";
    else if (worstStatus == 4)
        title += ":NoComms";
    else if (worstStatus > 4)
        title += ":problem";
    return title;
}

void SummaryScreen::RefreshSummary(const SystemSetup& setup, int worstStatus) {
    for (int r = 1; r <= SystemSetup::RecordCount; ++r)
        icon_[r]->setBackground(setup.rec(r).EndColour);
    at("AppTitle").setText(ProgramTitle(worstStatus));
}

void SummaryScreen::RefreshIds(const SystemSetup& setup) {
    for (int r = 1; r <= SystemSetup::RecordCount; ++r)
        at(IconName(r)).setText(setup.rec(r).IdText);
}

void SummaryScreen::RefreshPollMarks(const SystemSetup& setup) {
    for (int r = 1; r <= SystemSetup::RecordCount; ++r)
        pollMark_[r]->setText(setup.rec(r).PollMark);
}

void SummaryScreen::PaintUnitIcons(const EndRecord& end, bool distant) {
    for (int slot = 0; slot < UnitSlotCount; ++slot)
        unitIcon_[distant][slot]->setBackground(end.unitColour(slot));
}

void SummaryScreen::FillSingleLink(const SystemSetup& setup, int local) {
    const EndRecord& l = setup.rec(local);
    const EndRecord& d = setup.rec(local + 1);
    for (int slot = 0; slot < UnitSlotCount; ++slot) {
        for (bool distant : {false, true}) {
            at(UnitIconName(slot, distant)).setText("");
            at(UnitMarkerName(slot, distant)).setText("");
        }
        at(UnitIconName(slot, false)).setText(" " + l.addr(slot).str());
    }
    at("LinkBox").setText("Link " + std::to_string((local + 1) / 2));
    PaintUnitIcons(l, false);
    at("ShowIdL").setText(l.IdText);
    at("LogLine").setText(d.InfoText == SystemSetup::LogMarker ? "Link Log enabled"
                                                               : "Link Log disabled");
    at(UnitIconName(Modem1, true)).setText(d.Mod1Addr);
    at(UnitIconName(Transceiver1, true)).setText(d.Tr1Addr);
    at(UnitIconName(Transceiver2, true)).setText(d.Tr2Addr);
    // The DISTANT Modem 2 is the off-line unit of a 1:1 pair: no address of its own.
    at(UnitIconName(Modem2, true)).setText(d.PairFlag == "1" ? "OFFLINE UNIT" : "");
    PaintUnitIcons(d, true);
    at("ShowId").setText(d.IdText);
    at("ShowInfo").setText(l.InfoText);
}

void SummaryScreen::ClearUnitMarkers(bool distant) {
    for (int slot = 0; slot < UnitSlotCount; ++slot)
        unitMarker_[distant][slot]->setText("");
}

void SummaryScreen::SetUnitMarker(int slot, bool distant) {
    unitMarker_[distant][slot]->setText(">");
}

void SummaryScreen::HideOnlineMarkers() {
    for (auto& side : online_)
        for (Control* c : side)
            c->setVisible(false);
}

bool SummaryScreen::AnyOnlineMarkerShown() const {
    for (const auto& side : online_)
        for (const Control* c : side)
            if (c->visible())
                return true;
    return false;
}

void SummaryScreen::ShowWaitingNotice(bool shown) {
    at("WaitNotice").setVisible(shown);
}

void SummaryScreen::ShowCountdown(int timeoutLeftMs) {
    at("WaitMsec").setText(std::to_string(timeoutLeftMs) + " msec");
}

void SummaryScreen::ShowCommunicatingNotice(bool shown, const std::string& text) {
    if (!text.empty())
        at("CommNotice").setText(text);
    at("CommNotice").setVisible(shown);
}

} // namespace linvar
