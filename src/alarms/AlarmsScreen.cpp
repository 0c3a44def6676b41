#include "alarms/AlarmsScreen.h"

#include "setup/SystemSetup.h"
#include "ui/Colour.h"

namespace linvar {

namespace {

std::string Row(int i, const char* what) {
    return std::string("Al") + what + std::to_string(i);
}

int64_t SecondsOf(const LocalDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::string Stamp(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return buf;
}

const std::vector<std::string>& UnitFilterItems() {
    static const std::vector<std::string> items = {
        "All units", "Modem 1",  "Modem 2",           "Transceiver 1",    "Transceiver 2",
        "Switch 1",  "Switch 2", "Redundant modem 1", "Redundant modem 2"};
    return items;
}

} // namespace

std::string AlarmsScreen::DurationText(int64_t s) {
    if (s < 0)
        s = 0;
    char buf[48];
    if (s >= 86400)
        std::snprintf(buf, sizeof buf, "%lldd %lld:%02lld:%02lld", (long long)(s / 86400),
                      (long long)(s / 3600 % 24), (long long)(s / 60 % 60), (long long)(s % 60));
    else
        std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", (long long)(s / 3600),
                      (long long)(s / 60 % 60), (long long)(s % 60));
    return buf;
}

std::string AlarmsScreen::UnitText(int record, int slot, const std::string& address,
                                   const std::string& linkId) {
    AlarmEntry where;
    where.record = record;
    std::string text =
        where.link() ? "Link " + std::to_string(where.link()) + " " + where.end() + " " : "";
    text += AlarmUnitName(record, slot);
    if (!address.empty())
        text += " (" + address + ")";
    if (!linkId.empty())
        text += " " + linkId;
    return text;
}

AlarmsScreen::AlarmsScreen(AlarmJournal& journal, const Clock& clock)
    : Screen("Alarms", "Alarms"), journal_(journal), clock_(clock) {
    setModal(false);
    setHelpTopic(kHelpTopic);
    setCloseControl("BtnAlarmsClose");
    add("", "ActiveBox", ControlKind::Group, "Active alarms").setLayout(Layout::Grid, 5);
    for (const char* head : {"Unit", "State", "Since", "For", "Acknowledged"})
        add("ActiveBox", std::string("AlHead") + head, ControlKind::Label, head).setFont(0, true);
    for (int i = 0; i < kRows; ++i) {
        add("ActiveBox", Row(i, "Sel"), ControlKind::Check).setWidth(44);
        add("ActiveBox", Row(i, "State"), ControlKind::Label).setWidth(16);
        add("ActiveBox", Row(i, "Since"), ControlKind::Label).setWidth(19);
        add("ActiveBox", Row(i, "For"), ControlKind::Label).setWidth(10);
        add("ActiveBox", Row(i, "Ack"), ControlKind::Label).setWidth(19);
    }
    add("", "AlNone", ControlKind::Label, "No active alarms");
    add("", "AlMore", ControlKind::Label).setVisible(false);
    add("", "AlButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("AlButtons", "BtnAckSelected", ControlKind::Button, "Acknowledge &selected");
    add("AlButtons", "BtnAckAll", ControlKind::Button, "Acknowledge &all");
    add("AlButtons", "AlSound", ControlKind::Check, "Sound on a new &fault");
    add("AlButtons", "BtnAlarmsClose", ControlKind::Button, "&Close");
    add("AlButtons", "BtnAlarmsHelp", ControlKind::Button, "&Help");

    add("", "HistoryBox", ControlKind::Group, "History").setLayout(Layout::Column);
    add("HistoryBox", "FilterRow", ControlKind::Panel).setLayout(Layout::Row);
    add("FilterRow", "FilterLinkLabel", ControlKind::Label, "Link");
    std::vector<std::string> links = {"All links"};
    for (int n = 1; n <= SystemSetup::LinkCount; ++n)
        links.push_back(std::to_string(n));
    links.push_back("Switches");
    add("FilterRow", "FilterLink", ControlKind::Combo).setItems(links).setSelected(0);
    add("FilterRow", "FilterUnitLabel", ControlKind::Label, "Unit");
    add("FilterRow", "FilterUnit", ControlKind::Combo).setItems(UnitFilterItems()).setSelected(0);
    add("FilterRow", "FilterDateLabel", ControlKind::Label, "Date (YYYY-MM-DD)");
    add("FilterRow", "FilterDate", ControlKind::Edit).setMaxLength(10).setWidth(11);
    add("HistoryBox", "HistoryText", ControlKind::Memo).setReadOnly(true).setWidth(110);

    onClick("BtnAckSelected", [this] {
        journal_.Acknowledge(Selected());
        for (int i = 0; i < kRows; ++i)
            at(Row(i, "Sel")).setChecked(false);
        Refresh();
    });
    onClick("BtnAckAll", [this] {
        journal_.AcknowledgeAll();
        Refresh();
    });
    onClick("BtnAlarmsClose", [this] {
        if (onClose)
            onClose();
    });
    onClick("BtnAlarmsHelp", [this] {
        if (onHelp)
            onHelp();
    });
    for (const char* f : {"FilterLink", "FilterUnit", "FilterDate"})
        onChange(f, [this] { RefreshHistory(); });
    Refresh();
}

std::vector<std::pair<int, int>> AlarmsScreen::Selected() const {
    std::vector<std::pair<int, int>> keys;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (at(Row(static_cast<int>(i), "Sel")).checked())
            keys.push_back(rows_[i]);
    return keys;
}

void AlarmsScreen::Tick() {
    const LocalDateTime now = clock_.now();
    if (journal_.Revision() != revision_ || now.second != shownSecond_)
        Refresh();
}

void AlarmsScreen::Refresh() {
    const LocalDateTime now = clock_.now();
    shownSecond_ = now.second;
    const bool changed = journal_.Revision() != revision_;
    // Unacknowledged first, each group oldest first.
    std::vector<const ActiveAlarm*> list;
    for (bool acked : {false, true})
        for (const ActiveAlarm& a : journal_.Active())
            if (a.acknowledged == acked)
                list.push_back(&a);
    const std::vector<std::pair<int, int>> before = rows_;
    rows_.clear();
    for (int i = 0; i < kRows; ++i) {
        const bool used = i < static_cast<int>(list.size());
        for (const char* what : {"Sel", "State", "Since", "For", "Ack"})
            at(Row(i, what)).setVisible(used);
        if (!used)
            continue;
        const ActiveAlarm& a = *list[static_cast<size_t>(i)];
        rows_.emplace_back(a.record, a.slot);
        Control& sel = at(Row(i, "Sel"));
        sel.setText(UnitText(a.record, a.slot, a.address, a.linkId) +
                    (a.reading.empty() ? "" : "  " + a.reading));
        // A row that now shows another unit starts unselected.
        if (static_cast<size_t>(i) >= before.size() || before[size_t(i)] != rows_.back())
            sel.setChecked(false);
        at(Row(i, "State"))
            .setText(a.state)
            .setTextColour(a.status == 3   ? Colours::red
                           : a.status == 4 ? Colours::blue
                                           : Colours::black);
        at(Row(i, "Since")).setText(Stamp(a.since));
        at(Row(i, "For")).setText(DurationText(SecondsOf(now) - SecondsOf(a.since)));
        at(Row(i, "Ack")).setText(a.acknowledged ? Stamp(a.acknowledgedAt) : "");
        for (const char* what : {"Sel", "State", "Since", "For", "Ack"})
            at(Row(i, what)).setFont(0, !a.acknowledged);
    }
    at("AlNone").setVisible(list.empty());
    const int more = static_cast<int>(list.size()) - kRows;
    at("AlMore").setVisible(more > 0).setText("and " + std::to_string(more) + " more");
    at("BtnAckAll").setEnabled(journal_.UnacknowledgedCount() > 0);
    at("BtnAckSelected").setEnabled(journal_.UnacknowledgedCount() > 0);
    if (changed)
        RefreshHistory();
    revision_ = journal_.Revision();
}

void AlarmsScreen::RefreshHistory() {
    const std::string link = at("FilterLink").selectedText();
    const std::string unit = at("FilterUnit").selectedText();
    const std::string date = at("FilterDate").text();
    std::string text;
    size_t lines = 0;
    const auto& recent = journal_.Recent();
    for (auto it = recent.rbegin(); it != recent.rend() && lines < kHistoryLines; ++it) {
        const AlarmEntry& e = *it;
        if (link == "Switches" ? e.link() != 0
                               : (link != "All links" && link != std::to_string(e.link())))
            continue;
        if (unit != "All units" && unit != AlarmUnitName(e.record, e.slot))
            continue;
        if (Stamp(e.at).rfind(date, 0) != 0)
            continue;
        std::string line =
            Stamp(e.at) + "  " + e.event + "  " + UnitText(e.record, e.slot, e.address, e.linkId);
        if (e.event == "Acknowledged")
            line += "  " + e.to;
        else if (!e.from.empty() || !e.to.empty())
            line += "  " + (e.from.empty() ? std::string("-") : e.from) + " -> " + e.to;
        if (!e.detail.empty())
            line += "  " + e.detail;
        text += (lines ? "\r\n" : "") + line;
        ++lines;
    }
    at("HistoryText").setText(text);
}

} // namespace linvar
