// The VORN/YRAN window's code: the reading sequence, the decoders its tables cannot say,
// the utilities, and what a staged change shows at once.

#include "detail/vorn/VornWindow.h"
#include "detail/vorn/VornTables.h"

#include "wire/StatusColours.h"
#include "wire/TextFormats.h"

namespace linvar {

namespace {

constexpr const char* kLimited = "Only limited re-configuration is permitted on the off-line unit";
const char* const kResultLines[] = {"LnaCalMsg", "ForceMsg", "RedMsg"};

// The reply from its second character: what a refusal shows.
std::string Problem(const std::string& reply, int length = 21) {
    return Chars(reply, 2, length);
}

} // namespace

VornWindow::VornWindow(DetailDeps deps, DetailInputs inputs)
    : TransceiverWindow(deps, std::move(inputs), "DetailVorn") {
    SetSequence(Readings(Sequence()), Readings(Utilities()));
}

std::string VornWindow::Identify() {
    // The opener names the family after the slot: "Transceiver 1, Local,  VORN".
    const size_t comma = UnitName.rfind(",  ");
    return comma == std::string::npos ? "VORN" : UnitName.substr(comma + 3);
}

void VornWindow::ActivateFamily() {
    at("CID").setMaxLength(36);
    at("REF").setMaxLength(5);
    UpSlopeKnown = DownSlopeKnown = RedundancyAuto = false;
    upPresent_ = downPresent_ = lnaSupply_ = true;
    muteSettled_ = false;
    ShowMaintenance(false);
}

void VornWindow::ClearStatus() {
    for (const char* v : vorn::kValues)
        ClearValue(v);
    for (const char* v : vorn::kLamps)
        at(v).clearBackground();
    for (const vorn::Maintenance& m : vorn::kCms)
        ClearValue(m.label);
    ClearFields(vorn::kCcs);
    ClearFields(vorn::kCls);
    ClearFields(vorn::kCas);
}

void VornWindow::Opening() {
    ClearStatus();
    for (const char* c : kResultLines)
        at(c).setText("");
    ShowMaintenance(false);
    ShowPanels(true, false, false, false);
    EnableButtons(false, false, false, false);
}

std::string VornWindow::WaitInstruction() const {
    return IsPair() && !OnlineUnit ? kLimited : "Click on a box to change the information";
}

void VornWindow::EndOfPass() {
    if (shown("PanelConfig") && !InstructionHeld())
        ShowInstruction(WaitInstruction());
    // The buttons come once the unit has answered the last step; a unit without a mute
    // mode refuses "MUT?", and is no less there.
    if (!StartsWith(State().LastReply, "T") && shown("PanelStatus"))
        EnableButtons(false, true, true, true);
    LockConfig(false);
}

void VornWindow::ShowMaintenance(bool on) {
    maintenance_ = on;
    at("GrpMaint").setVisible(on);
    at("BtnMaint").setText(on ? "Hide &Maint" : "Show &Maint");
    for (const char* g : {"GrpUpSet", "GrpDownSet", "GrpUnitSet", "GrpOnOff"})
        at(g).setVisible(!on);
    RefreshGroups();
}

// What the converters, the LNA supply and the pair decide about the groups shown.
void VornWindow::RefreshGroups() {
    const bool lna = downPresent_ && lnaSupply_;
    at("GrpUp").setVisible(upPresent_);
    at("GrpDown").setVisible(downPresent_);
    at("GrpLnaConf").setVisible(lna);
    at("GrpLna").setVisible(lna && !maintenance_);
    at("GrpLnaCal").setVisible(downPresent_);
    at("GrpRedundancy").setVisible(IsPair());
    const bool box = IsPair() && OnlineUnit;
    at("StaRedMo").setVisible(box);
    at("StaRedMoCap").setVisible(box);
    at("GrpRedBox").setVisible(box);
}

// ---- the reading sequence -------------------------------------------------------------------

std::vector<TransceiverWindow::Reading> VornWindow::Sequence() {
    // Shows an accepted reply's value; a refused one leaves the display as it was.
    const auto on = [](std::function<void(const std::string&)> show) {
        return [show](const std::string& r) {
            if (StartsWith(r, "="))
                show(r.substr(1));
            return 0;
        };
    };
    const auto slopeMode = [this](const char* query, const char* label, bool& known) {
        return [this, query, label, &known](const std::string& v) {
            FillBoxesFrom(query, v);
            SetValue(label, at(query).selectedText() + " ", Colours::white);
            known = true;
        };
    };
    const auto gain = [this](const char* query, const char* label) {
        return [this, query, label](const std::string& v) {
            SetValue(label, Chars(v, 1, 5), Colours::white);
            FillBoxesFrom(query, v);
        };
    };
    return {
        {1, "RET?", on([this](const std::string& v) {
             SetValue("StaRET", Chars(v, 1, 20), Colours::white);
             SetValue("RET", Chars(v, 1, 20), Colours::white);
             setCaption("Detail of " + UnitName + ", Link: " + IdText());
         }),
         2, true},
        {2, "CID?", on([this](const std::string& v) {
             SetValue("StaCID", Chars(v, 1, 24), Colours::white);
             FillBoxesFrom("CID", v);
         }),
         3, true},
        {3, "RSN?", on([this](const std::string& v) {
             const std::string text = at("StaRET").text() + "  s/n " + Chars(v, 1, 10);
             SetValue("StaRET", text, Colours::white);
             SetValue("RET", text, Colours::white);
         }),
         4, true},
        {4, "USM?", on(slopeMode("USM", "StaUSM", UpSlopeKnown)), 5, true},
        {5, "DSM?", on(slopeMode("DSM", "StaDSM", DownSlopeKnown)), 6, true},
        {6, "CUS?", on([this](const std::string& v) { TakeCus(v); }), 7, true},
        {7, "CLS?",
         [this](const std::string& r) {
             TakeCls(r);
             return 0;
         },
         8, true},
        {8, "CCS?", on([this](const std::string& v) { TakeCcs(v); }), 9, true},
        {9, "CAS?", on([this](const std::string& v) {
             cas_ = v;
             ShowFields(v, vorn::kCas);
         }),
         10},
        {10, "SFS?", on([this](const std::string& v) {
             const ParsedInt s = ParseInt(Chars(v, 1, 1));
             at("StaSFS").setBackground(s.ok && s.value == 0 ? Colours::lime : Colours::red);
         }),
         11},
        {11, "TNA?",
         [this](const std::string& r) {
             if (StartsWith(r, "=")) {
                 StoredEventCount = ParseInt(Chars(r, 2, 2)).value;
                 SetValue("StaTNA", std::to_string(StoredEventCount),
                          StoredEventCount > 85 ? Colours::yellow : Colours::white);
                 at("LogCount")
                     .setText("Number of unread Log events: " + std::to_string(StoredEventCount));
             }
             return IsPair() && OnlineUnit ? 12 : 14;
         }},
        {12, "RRS?", on([this](const std::string& v) { TakeRrs(v); }), 13},
        {13, "RAM?",
         [this](const std::string& r) {
             TakeRam(r, false);
             return 0;
         },
         14},
        {14, "CMS?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 TakeCms(r.substr(1));
             // The limits, and the mute mode, are read until known.
             return UpFreqMax == 0 ? 15 : muteSettled_ ? 8 : 22;
         }},
        {15, "UGO?", on(gain("UGO", "StaUGO")), 16},
        {16, "DGO?", on(gain("DGO", "StaDGO")), 17},
        {17, "XRF?", on([this](const std::string& v) { FillBoxesFrom("XRF", v); }), 18},
        // The limits need the unit's factory access, given and taken back around them.
        {18, "FAC=E ", [](const std::string& r) { return StartsWith(r, "=") ? 19 : 21; }},
        {19, "UIF?",
         [this](const std::string& r) {
             std::string v = r;
             if (v.size() > 1 && v[1] != '0' && v[1] != '1')
                 v[1] = '0';
             TakeLimits(v, true);
             return 0;
         },
         20},
        {20, "DIF?",
         [this](const std::string& r) {
             TakeLimits(r, false);
             return 0;
         },
         21},
        {21, "FAC=D ", nullptr, 22},
        {22, "MUT?", [this](const std::string& r) { return TakeMute(r); }},
        {24, "MUT=0",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 SetBoxIndex("MUT", 0);
             muteSettled_ = !StartsWith(r, "T"); // unanswered: asked again next pass
             ShowMute(true);
             return 23;
         }},
    };
}

void VornWindow::TakeCcs(const std::string& v) {
    FillBoxesFrom("CCS", v);
    ShowFields(v, vorn::kCcs);
    state().OnlineUnit = Chars(v, 23, 1) == "1";
    upPresent_ = Chars(v, 1, 1) != "X";
    downPresent_ = Chars(v, 7, 1) != "X";
    if (!upPresent_) {
        for (const char* l : {"StaUFQ", "StaUAT", "StaUSM", "StaUSA", "StaUGO"})
            SetValue(l, "NA", Colours::gray);
        UpSlopeKnown = false;
    }
    if (!downPresent_) {
        for (const char* l : {"StaDFQ", "StaDAT", "StaDSM", "StaDSA", "StaDGO"})
            SetValue(l, "NA", Colours::gray);
        DownSlopeKnown = false;
    }
    RefreshGroups();
    if (RereadAll) {
        RereadAll = false;
        ShowInstruction("");
    }
}

void VornWindow::TakeCus(const std::string& v) {
    FillBoxesFrom("CUS", v);
    SetValue("StaREF", " " + std::to_string(ParseInt(Chars(v, 2, 3)).value), Colours::white);
    const auto slope = [this, &v](const char* label, int pos) {
        if (Chars(v, pos, 1) == "X")
            SetValue(label, "NA", Colours::gray);
        else
            SetValue(label, Chars(v, pos, 3), Colours::white);
    };
    slope("StaUSA", 5);
    slope("StaDSA", 8);
}

void VornWindow::TakeCls(const std::string& r) {
    // No answer says nothing of the supply: the groups stay as they are.
    if (StartsWith(r, "T"))
        return;
    // A unit without LNA supply refuses the query: its LNA groups go.
    lnaSupply_ = StartsWith(r, "=");
    RefreshGroups();
    if (!lnaSupply_)
        return;
    const std::string v = r.substr(1);
    FillBoxesFrom("CLS", v);
    ShowFields(v, vorn::kCls);
    const std::string window = Chars(v, 2, 2);
    SetValue("StaLCW", window == "99" ? "Disabled" : std::to_string(ParseInt(window).value) + " %",
             Colours::white);
}

void VornWindow::TakeCms(const std::string& v) {
    for (int k = 1; k <= 16; ++k) {
        const vorn::Maintenance& m = vorn::kCms[k - 1];
        const std::string f = Chars(v, 5 * k - 4, 5);
        const std::optional<double> value = vorn::CmsValue(v, k);
        const bool na = !value;
        std::string text = na ? "NA" : RealText(*value, 5, 1) + " " + m.unit + " ";
        if (k == 15 && !na) {
            // The RF output power says when it is beyond what the unit can measure.
            const std::string last = Chars(f, 5, 1);
            text = last == "+"   ? ">" + Chars(f, 1, 4) + " dB"
                   : last == "-" ? "<" + Chars(f, 1, 4) + " dB"
                                 : f + " dB";
            if (StartsWith(text, "0"))
                text.erase(0, 1);
        }
        Colour colour = m.alarm ? AlarmColour(Chars(cas_, m.alarm, 1)) : Colours::white;
        if (na && k >= 14)
            colour = Colours::gray;
        SetValue(m.label, text, colour);
    }
}

// The redundancy box's reply is searched for its keys.
void VornWindow::TakeRrs(const std::string& v) {
    const auto after = [&v](const char* key, size_t offset, size_t length) -> std::string {
        const size_t at = v.find(key);
        return at == std::string::npos || at + offset >= v.size() ? ""
                                                                  : v.substr(at + offset, length);
    };
    at("StaTXsw").setBackground(after("TX", 6, 2) == "OK" ? Colours::lime : Colours::red);
    at("StaRXsw").setBackground(after("RX", 6, 2) == "OK" ? Colours::lime : Colours::red);
    const auto volts = [this](const char* label, const std::string& text) {
        const ParsedReal p = ParseReal(text);
        if (p.ok)
            SetValue(label, FixedReal(p.value, 1) + " V", Colours::white);
    };
    volts("Mp5Vr", after("5V", 3, 3));
    volts("M12Vr", after("12V", 4, 4));
}

void VornWindow::TakeRam(const std::string& r, bool utilities) {
    if (!StartsWith(r, "=")) {
        if (utilities)
            ShowResult("RedMsg", "Red Auto/Man prob:" + Problem(r), false);
        return;
    }
    const std::string mode = Chars(r, 2, 1);
    // The status loop reads any mode but "0" as automatic, the utilities only "1".
    RedundancyAuto = utilities ? mode == "1" : mode != "0";
    SetValue("StaRedMo", RedundancyAuto ? "Automatic mode" : "Manual mode", Colours::white);
    if (utilities) {
        at("BtnAutoManual")
            .setText(RedundancyAuto ? "Change to Manual mode" : "Change to Auto mode");
        RefreshUtilityGates();
    }
}

void VornWindow::ShowMute(bool on) {
    for (const char* c : {"MUT", "MUTCap", "StaMUT", "StaMUTCap"})
        at(c).setVisible(on);
    if (on)
        SetValue("StaMUT", "Mute Mode is:" + at("MUT").selectedText(), Colours::white);
}

int VornWindow::TakeMute(const std::string& r) {
    if (StartsWith(r, "T"))
        return 23; // no answer says nothing of the mute mode: asked again next pass
    muteSettled_ = true;
    if (!StartsWith(r, "=")) {
        ShowMute(false); // the unit has no mute mode
        return 23;
    }
    FillBoxesFrom("MUT", r.substr(1));
    // A DISTANT unit muted after a frequency change would cut the link that reaches it.
    if (DistantEnd && Chars(r, 2, 1) == "1") {
        muteSettled_ = false;
        return 24;
    }
    ShowMute(true);
    return 23;
}

// ---- the utilities ---------------------------------------------------------------------------

int VornWindow::UtilityNext(int k) {
    if (State().PendingUtility == 0)
        return k;
    state().PendingUtility = 0;
    return 166;
}

std::vector<TransceiverWindow::Reading> VornWindow::Utilities() {
    const auto result = [this](const char* label, const char* ok, const char* problem, int length) {
        return [this, label, ok, problem, length](const std::string& r) {
            if (StartsWith(r, "="))
                ShowResult(label, ok, true);
            else
                ShowResult(label, problem + Problem(r, length), false);
            return UtilityNext(151);
        };
    };
    return {
        {151, "DAY?",
         [this](const std::string& r) { return UtilityNext(TakeUnitDate(r) ? 152 : 151); }},
        {152, "TIM?",
         [this](const std::string& r) {
             return UtilityNext(TakeUnitTime(r) && IsPair() ? 153 : 151);
         }},
        {153, "ONL?",
         [this](const std::string& r) {
             if (StartsWith(r, "="))
                 state().OnlineUnit = Chars(r, 2, 1) == "1";
             else
                 ShowResult("ForceMsg", "Online prob:" + Problem(r), false);
             RefreshUtilityGates();
             RefreshGroups();
             return UtilityNext(StartsWith(r, "=") && OnlineUnit ? 154 : 151);
         }},
        {154, "RAM?",
         [this](const std::string& r) {
             TakeRam(r, true);
             return UtilityNext(151);
         }},
        {156, "CAL=", result("LnaCalMsg", "Calibration point set", "Cal prob: ", 30)},
        {157, "RTG=", result("ForceMsg", "Switchover acknowledged", "Switchover prob:", 21)},
        {158, "RAM=", result("RedMsg", "Redundancy mode change accepted", "Red change prob:", 21)},
        {166, "DAY=",
         [this](const std::string& r) {
             TakeSetDate(r);
             return 167;
         }},
        {167, "TIM=",
         [this](const std::string& r) {
             TakeSetTime(r);
             return UtilityNext(151);
         }},
    };
}

bool VornWindow::OwnStep() {
    switch (StepNo) {
    case kUtilitiesButton:
        ShowPanels(false, false, true, false);
        EnableButtons(true, true, false, true);
        ShowInstruction("");
        for (const char* c : kResultLines)
            at(c).setText("");
        RefreshUtilityGates();
        state().PendingUtility = 0;
        state().StepNo = S(151);
        return true;
    case S(158): // the mode the controller is not in
        SendRequest(RedundancyAuto ? "RAM=0" : "RAM=1");
        return true;
    case S(166):
        SendSetDate();
        return true;
    case S(167):
        SendSetTime();
        return true;
    default:
        return false;
    }
}

void VornWindow::RefreshUtilityGates() {
    const bool online = OnlineUnit;
    at("GrpForce").setVisible(IsPair());
    at("GrpRedCtl").setVisible(IsPair());
    at("BtnForce").setEnabled(IsPair() && online);
    at("BtnAutoManual").setEnabled(IsPair() && online);
    at("ForceText")
        .setText(online ? "Press the button below to force a switchover of the units in a 1:1 pair "
                          "or 1:N system"
                        : "Switching may only be done from the On-Line unit in a 1:1 system");
    at("RedText").setText(
        online ? std::string("The redundancy controller is in ") +
                     (RedundancyAuto ? "Automatic" : "Manual") + " mode"
               : "Control of the Redundancy Box may only be done from the On-Line unit in a 1:1 "
                 "system");
}

// ---- a staged change
// -----------------------------------------------------------------------------

void VornWindow::OnStaged(const BoxRow& box, const std::string& shown) {
    const std::string& c = box.control;
    const int index = at(c).selected();
    if (c == "UFQ" || c == "DFQ")
        SetValue("Sta" + c, LeftTrim(shown) + " MHz", Colours::white);
    else if (c == "UAT" || c == "DAT")
        SetValue("Sta" + c, LeftTrim(shown) + " dB", Colours::white);
    else if (c == "CID")
        SetValue("StaCID", shown, Colours::white);
    else if (c == "USM" || c == "DSM" || c == "LCW")
        SetValue("Sta" + c, shown + " ", Colours::white);
    else if ((c == "USA" || c == "DSA") && index >= 0)
        SetValue("Sta" + c, box.codes[static_cast<size_t>(index)], Colours::white);
    else if (c == "MUT")
        SetValue("StaMUT", std::to_string(index), Colours::white);
    else if (c == "AMP" || c == "LCS" || c == "LFL")
        at("Sta" + c).setBackground(StateColour(static_cast<char>('0' + index)));
}

} // namespace linvar
