// The MQX-370 lists that follow other boxes: Reed-Solomon sets by framing and rate, the
// scramblers by FEC type, the fixed rates by interface, framing and drop/insert type;
// and the drop and insert channel tables with their "DNI=" value.

#include "detail/mqx370/Mqx370Tables.h"
#include "detail/mqx370/Mqx370Window.h"

#include "wire/TextFormats.h"

namespace linvar {

using namespace u370;

namespace {

// A timeslot as one character: "0" none, "1"-"9", "A" = 10 ... "V" = 31.
int SlotOf(char c) {
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'V')
        return c - 'A' + 10;
    return 0;
}

char SlotChar(int n) {
    if (n <= 0)
        return '0';
    return n <= 9 ? static_cast<char>('0' + n) : static_cast<char>('A' + n - 10);
}

std::string SlotText(int n) {
    return n <= 0 ? "na" : std::to_string(n);
}

std::string Channel(bool drop, const char* part, int i) {
    return std::string(drop ? "Drop" : "Insert") + part + std::to_string(i + 1);
}

} // namespace

// ---- lists rebuilt from the configuration -----------------------------------------------

std::vector<std::string> Mqx370Window::ReedSolomonEntries(bool tx) const {
    const std::string framing = FieldOf(tx ? "ConfTFM" : "ConfRFM");
    const std::string control = tx ? "ConfTRS" : "ConfRRS";
    const std::vector<std::string> unchanged =
        has(control) && !at(control).items().empty() ? at(control).items() : kReedSolomon;
    if (framing == "0")
        return {"Normal   (220/200)", "IESS-310 (219/201)", "Quorin   (225/205)",
                "IBS      (126/112)"};
    if (framing == "1" || framing == "3")
        return {"Normal   (126/112)", "IESS-310 (219/201)"};
    if (framing == "4")
        return {"Normal   (200/180)"};
    if (framing == "5")
        return {"Normal   (126/112)"};
    if (framing != "2")
        return unchanged;
    // IDR: by the fixed rate of that direction.
    const std::vector<std::string> rates = RateEntries(tx);
    const int i = RateEntry(rates, tx);
    const std::string rate = i >= 0 ? rates[static_cast<size_t>(i)] : std::string();
    if (rate == "1544.000")
        return {"Normal   (225/205)", "IESS-310 (219/201)"};
    if (rate == "2048.000")
        return {"Normal   (219/201)", "IESS-310 (219/201)"};
    if (rate == "6312.000" || rate == "8448.000")
        return {"Normal   (194/178)", "IESS-310 (219/201)"};
    return unchanged;
}

std::vector<std::string> Mqx370Window::ScramblerEntries(bool tx) const {
    std::vector<std::string> e = ModemEntries::kOffOn;
    const std::string fec = FieldOf(tx ? "ConfTFT" : "ConfRFT");
    if ((fec == "0" || fec == "1" || fec == "8") && options_[8] == '1')
        e.push_back(" OM-73");
    else if (fec == "7")
        e.push_back(" IESS-315");
    return e;
}

std::vector<std::string> Mqx370Window::RateEntries(bool tx) const {
    const std::string framing = FieldOf(tx ? "ConfTFM" : "ConfRFM");
    if (framing == "3") {
        const int type = at(tx ? "ConfDTY" : "ConfITY").selected();
        if (type == 3)
            return {"64", "128", "256", "384", "512", "768", "1024", "1536", "1920"};
        std::vector<std::string> t1{"64",  "128", "192", "256",  "320",  "384", "512",
                                    "640", "768", "960", "1024", "1280", "1536"};
        if (type == 2)
            t1.push_back("1920");
        return t1;
    }
    if (framing == "5") {
        std::vector<std::string> e;
        for (int k = 64; k <= 1536; k += 64)
            e.push_back(std::to_string(k));
        return e;
    }
    std::vector<std::string> e{"1544.000", "2048.000", "6312.000", "8448.000",
                               "0512.AUX", "1024.AUX", "2048.AUX"};
    // The two highest rates need the rate option, and are not offered with the first
    // turbo codec's TPC.
    const bool tpc = FieldOf(tx ? "ConfTFT" : "ConfRFT") == "7";
    if (options_[4] == '0' || (options_[0] == '1' && tpc))
        e.erase(e.begin() + 2, e.begin() + 4);
    return e;
}

int Mqx370Window::RateEntry(const std::vector<std::string>& entries, bool tx) const {
    const std::string field = FieldOf(tx ? "ConfTDR" : "ConfRDR");
    if (field.size() < 9)
        return -1;
    const bool aux = field.substr(6, 2) == "AU";
    const std::string digits = aux ? field.substr(0, 6) + "000" : field;
    const std::string kbps = std::to_string(static_cast<long>(ParseReal(digits).value));
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string head = entries[i].substr(0, 4);
        if (head != kbps && head != "0" + kbps)
            continue;
        if (aux && entries[i] == "2048.000")
            for (size_t j = 0; j < entries.size(); ++j)
                if (entries[j] == "2048.AUX")
                    return static_cast<int>(j);
        return static_cast<int>(i);
    }
    return -1;
}

bool Mqx370Window::RateListShown(bool tx) const {
    const std::string itf = FieldOf(tx ? "ConfTIT" : "ConfRIT");
    const std::string framing = FieldOf(tx ? "ConfTFM" : "ConfRFM");
    return itf == "3" || itf == "4" || framing == "2" || framing == "3" || framing == "5";
}

void Mqx370Window::FillRateList(bool tx) {
    const std::string list = tx ? "ConfTRL" : "ConfRRL";
    const std::string box = tx ? "ConfTDR" : "ConfRDR";
    const std::vector<std::string> entries = RateEntries(tx);
    at(list).setItems(entries);
    SetBoxIndex(list, RateEntry(entries, tx));
    const bool shown = RateListShown(tx);
    at(list).setVisible(shown);
    at(list + "Cap").setVisible(shown);
    at(box).setVisible(!shown);
    at(box + "Cap").setVisible(!shown);
}

// ---- drop and insert -------------------------------------------------------------------------

void Mqx370Window::BuildDropInsert() {
    Control& box = AddGroup("ConfRight", "GrpDni", "Drop + Insert", 0);
    box.setVisible(false);
    for (const bool drop : {true, false}) {
        const std::string side = drop ? "Drop" : "Insert";
        AddGroup("GrpDni", "Grp" + side, side);
        const std::string table = side + "Table";
        add("GrpDni", table, ControlKind::Panel).setLayout(Layout::Grid, kChannels + 1);
        add(table, side + "ChCap", ControlKind::Label, "Channel:");
        for (int i = 0; i < kChannels; ++i)
            add(table, Channel(drop, "Ch", i), ControlKind::Label, std::to_string(i + 1))
                .setWidth(2);
        add(table, side + "SlotCap", ControlKind::Label, "Timeslot:");
        for (int i = 0; i < kChannels; ++i) {
            add(table, Channel(drop, "Slot", i), ControlKind::Label, "na")
                .setWidth(2)
                .setBackground(Colours::white);
            onClick(Channel(drop, "Slot", i), [this, drop, i] { SelectChannel(drop, i); });
        }
        const std::string buttons = side + "Buttons";
        add("GrpDni", buttons, ControlKind::Panel).setLayout(Layout::Row);
        for (const bool up : {true, false}) {
            const std::string b = "Btn" + side + (up ? "Up" : "Down");
            add(buttons, b, ControlKind::Button, up ? "Up" : "Down");
            onClick(b, [this, drop, up] { StepTimeslot(drop, up); });
            // Moving between the table's own buttons is not leaving it.
            onEnter(b, [this, drop] { (drop ? dropLeft_ : insertLeft_) = false; });
            onLeave(b, [this, drop] { LeaveChannels(drop); });
        }
    }
    add("GrpDni", "DniHint", ControlKind::Label,
        "Select a Timeslot. Edit  the number using the Up and Down buttons. When done, click on "
        "the Configure D+I button.")
        .setTextColour(Colours::blue);
    add("GrpDni", "BtnDniSend", ControlKind::Button, "Confi&gure D+I");
    onClick("BtnDniSend", [this] { SendDropInsert(true); });
}

void Mqx370Window::DecodeDropInsert(const std::string& value) {
    const auto c = [&](size_t i) { return i < value.size() ? value[i] : '0'; };
    for (size_t i = 0; i < kChannels; ++i) {
        drop_[i] = SlotOf(c(i));
        insert_[i] = SlotOf(c(25 + i));
    }
    const auto index = [&](size_t i) {
        return i < value.size() ? HexDigitValue(std::string(1, value[i])) : -1;
    };
    SetBoxIndex("ConfDTY", index(24));
    SetBoxIndex("ConfITY", index(49));
    SetBoxIndex("ConfDNILoop", index(50));
    ShowChannels(true);
    ShowChannels(false);
    dniHeld_ = DropInsertValue();
}

std::string Mqx370Window::DropInsertValue() const {
    std::string v;
    for (int n : drop_)
        v += SlotChar(n);
    v += SlotChar(std::max(at("ConfDTY").selected(), 0));
    for (int n : insert_)
        v += SlotChar(n);
    v += SlotChar(std::max(at("ConfITY").selected(), 0));
    v += SlotChar(std::max(at("ConfDNILoop").selected(), 0));
    return v;
}

void Mqx370Window::ShowChannels(bool drop) {
    const Channels& t = drop ? drop_ : insert_;
    const int selected = drop ? dropChannel_ : insertChannel_;
    for (int i = 0; i < kChannels; ++i)
        at(Channel(drop, "Slot", i))
            .setText(SlotText(t[static_cast<size_t>(i)]))
            .setBackground(i == selected ? Colours::aqua : Colours::white);
}

void Mqx370Window::SelectChannel(bool drop, int channel) {
    (drop ? dropChannel_ : insertChannel_) = channel;
    ShowChannels(drop);
}

void Mqx370Window::StepTimeslot(bool drop, bool up) {
    const int channel = drop ? dropChannel_ : insertChannel_;
    if (channel < 0 || EffectivelyLocked() || !InConfiguration())
        return;
    const int type = at(drop ? "ConfDTY" : "ConfITY").selected();
    const int highest = type >= 2 ? 31 : 24;
    const bool cas = type == 3; // E1-CAS signals in timeslot 16
    int& slot = (drop ? drop_ : insert_)[static_cast<size_t>(channel)];
    if (up)
        slot = cas && slot == 15 ? 17 : std::min(slot + 1, highest);
    else if (slot > 0)
        slot = cas && slot == 17 ? 15 : slot - 1;
    ShowChannels(drop);
}

void Mqx370Window::LeaveChannels(bool drop) {
    (drop ? dropLeft_ : insertLeft_) = true;
}

void Mqx370Window::OnTick() {
    if (!dropLeft_ && !insertLeft_)
        return;
    if (deps().tx.AwaitingReply)
        return;
    dropLeft_ = insertLeft_ = false;
    SendDropInsert(false);
}

void Mqx370Window::SendDropInsert(bool always) {
    // One command for the change, however it was asked for (leaving a table, the button).
    dropLeft_ = insertLeft_ = false;
    const std::string v = DropInsertValue();
    if ((!always && v == dniHeld_) || EffectivelyLocked())
        return;
    dniPending_ = v;
    SendCommand("DNI=" + v, "D+I configuration", Reread::At(kDniReadStep));
}

} // namespace linvar
