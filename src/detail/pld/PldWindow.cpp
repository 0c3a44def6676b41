// The PLD window's code: the reading sequence, identification, the decoders its tables
// cannot say, and what a staged change shows at once.

#include "detail/pld/PldWindow.h"
#include "detail/pld/PldTables.h"

#include "wire/StatusColours.h"
#include "wire/TextFormats.h"

namespace linvar {

PldWindow::PldWindow(DetailDeps deps, DetailInputs inputs)
    : TransceiverWindow(deps, std::move(inputs), "DetailPld") {
    SetSequence(Readings(Sequence()),
                Readings({{kCalibrate, "CAL=",
                           [this](const std::string& r) {
                               if (StartsWith(r, "="))
                                   ShowResult("LnaCalMsg", "Calibration point set", true);
                               else
                                   ShowResult("LnaCalMsg", "Cal prob: " + Chars(r, 2, 30), false);
                               return 0;
                           },
                           8, true}}));
}

void PldWindow::ActivateFamily() {
    at("CID").setMaxLength(36);
    at("REF").setMaxLength(5);
    LnbModel = false;
    AgcState = 0;
    ShowLnb();
}

void PldWindow::ClearStatus() {
    for (const char* v : pld::kValues)
        ClearValue(v);
    for (const char* v : pld::kLamps)
        at(v).clearBackground();
    for (const ReplyFields* t :
         {&pld::kRcs, &pld::kCls, &pld::kAnm, &pld::kSnm, &pld::kFrw, &pld::kSupplies,
          &pld::kReference, &pld::kAgc, &pld::kUpConv, &pld::kDownConv, &pld::kHpa})
        ClearFields(*t);
}

void PldWindow::Opening() {
    ClearStatus();
    ShowPanels(true, false, false, false);
    EnableButtons(false, false, false, false);
}

void PldWindow::EndOfPass() {
    if (shown("PanelConfig") && !InstructionHeld())
        ShowInstruction(WaitInstruction());
    // Whatever the last reply; on the configuration panel both buttons stay.
    if (shown("PanelStatus"))
        EnableButtons(false, true, false, false);
    LockConfig(false);
}

// The LNB variant: its status group and band choice, and the LNA's texts for an LNB.
void PldWindow::ShowLnb() {
    at("GrpLnb").setVisible(LnbModel);
    at(pld::box::RxBand).setVisible(LnbModel);
    at(std::string(pld::box::RxBand) + "Cap").setVisible(LnbModel);
    at(pld::group::Lna).setText(LnbModel ? "Low Noise Block" : "Low Noise Amplifier");
    at(std::string(pld::box::LnaPower) + "Cap").setText(LnbModel ? "LNB Power" : "LNA Power");
    at(std::string(pld::box::LnaFault) + "Cap")
        .setText(LnbModel ? "LNB Fault Logic" : "LNA Fault Logic");
    at("CLS").setText(LnbModel ? "LNB" : "LNA");
}

// ---- the reading sequence -------------------------------------------------------------------

std::vector<TransceiverWindow::Reading> PldWindow::Sequence() {
    const auto on = [](std::function<void(const std::string&)> show) {
        return [show](const std::string& r) {
            if (StartsWith(r, "="))
                show(r.substr(1));
            return 0;
        };
    };
    const auto fields = [this, on](const ReplyFields& table) {
        return on([this, &table](const std::string& v) { ShowFields(v, table); });
    };
    // Converter alarms: a converter the unit cannot talk to shows its other alarms gray.
    const auto converter = [this, on](const ReplyFields& table) {
        return on([this, &table](const std::string& v) {
            const bool noComms = Chars(v, 4, 1) == "1";
            ShowFields(v, {table.begin(), table.begin() + 3}, noComms);
            ShowFields(v, {table.begin() + 3, table.end()});
            SummaryFault(v, 4);
        });
    };
    const auto limitsUnknown = [this] { return UpFreqMax == 0 ? 17 : 8; };
    return {
        {1, "RET?", on([this](const std::string& v) { TakeIdentity(v); }), 2, true},
        {2, "CID?", on([this](const std::string& v) {
             SetValue("StaCID", Chars(v, 1, 24), Colours::white);
             FillBoxesFrom("CID", v);
         }),
         3, true},
        {3, "ANM?", fields(pld::kAnm), 4},
        {4, "SNM?", fields(pld::kSnm), 5},
        {5, "FRW?", fields(pld::kFrw), 6},
        {6, "REF?", on([this](const std::string& v) {
             const std::string n = std::to_string(ParseInt(Chars(v, 1, 3)).value);
             SetValue("StaREF", n, Colours::white);
             SetBoxText("REF", " " + n);
         }),
         7},
        {7, "CLS?", on([this](const std::string& v) {
             ShowFields(v, pld::kCls);
             FillBoxesFrom("CLS", v);
         }),
         8},
        {8, "RCS?", on([this](const std::string& v) { TakeRcs(v); }), 9, true},
        {9, "CFS?", on([this](const std::string& v) {
             at("CLS").setBackground(AlarmColour(Chars(v, 7, 1)));
             at("StaSFS").setBackground(AnyFault(v, 7) ? Colours::red : Colours::lime);
         }),
         10},
        {10, "CES?", on([this](const std::string& v) {
             ShowFields(v, pld::kSupplies);
             SummaryFault(v, 5);
         }),
         11},
        {11, "CRS?", on([this](const std::string& v) { TakeCrs(v); }), 12},
        // The AGC alarms mean something only while the AGC is on.
        {12, "CAS?", on([this](const std::string& v) {
             ShowFields(v, pld::kAgc, AgcState != 1);
             SummaryFault(v, 3);
         }),
         13},
        {13, "CUS?", converter(pld::kUpConv), 14},
        {14, "CDS?", converter(pld::kDownConv), 15},
        {15, "CHS?",
         [this, limitsUnknown](const std::string& r) {
             if (StartsWith(r, "=")) {
                 ShowFields(r.substr(1), pld::kHpa);
                 SummaryFault(r.substr(1), 5);
             }
             return LnbModel ? 16 : limitsUnknown();
         }},
        {16, "SRB?",
         [this, limitsUnknown](const std::string& r) {
             if (StartsWith(r, "="))
                 TakeBand(r.substr(1));
             return limitsUnknown();
         }},
        {17, "FAC=E ", [](const std::string& r) { return StartsWith(r, "=") ? 18 : 20; }},
        {18, "UIF?",
         [this](const std::string& r) {
             TakeLimits(r, true);
             return 0;
         },
         19},
        // An LNB's down limits are its band's.
        {19, "DIF?",
         [this](const std::string& r) {
             TakeLimits(r, false, !LnbModel);
             return 0;
         },
         20},
        {20, "FAC=D ", nullptr, 21},
        {21, "UAT?", on([this](const std::string& v) {
             SetValue("StaUAT", v + " dB", Colours::white);
             SetBoxText(pld::box::UpAtten, v);
         }),
         22, true},
        {22, "LOK?", on([this](const std::string& v) { FillBoxesFrom("LOK", v); }), 23, true},
    };
}

void PldWindow::TakeIdentity(const std::string& v) {
    ModelText = Chars(v, 2, 9);
    LnbModel = ModelText.size() == 9 && ModelText[8] == 'B';
    const char kind = v.empty() ? ' ' : v[0];
    const std::string hpa = kind == '0'   ? "TORV-SSPA"
                            : kind == '1' ? "OEM-SSPA"
                            : kind == '2' ? "OEM-TWTA"
                                          : "None";
    for (const char* l : {"StaRET2", "RET2"})
        SetValue(l, "HPA type: " + hpa, Colours::white);
    for (const char* l : {"StaRET", "RET"})
        SetValue(l, Chars(v, 2, 20), Colours::white);
    setCaption("Detail of " + ModelText + "    " + UnitName + ", Link: " + IdText());
    ShowLnb();
}

void PldWindow::TakeRcs(const std::string& v) {
    FillBoxesFrom("RCS", v);
    ShowFields(v, pld::kRcs);
    AgcState = ParseInt(Chars(v, 60, 1)).value;
    const bool up = Chars(v, 2, 1) != "X";
    const bool down = Chars(v, 18, 1) != "X";
    for (const char* g : {pld::group::Up, pld::group::Hpa})
        at(g).setVisible(up);
    for (const char* g : {pld::group::Down, pld::group::Lna, pld::group::LnaCal})
        at(g).setVisible(down);
    if (!up)
        for (const char* l : {"StaUFQ", "StaUAT"})
            SetValue(l, "NA", Colours::gray);
    if (!down)
        for (const char* l : {"StaDFQ", "StaDAT"})
            SetValue(l, "NA", Colours::gray);
    if (RereadAll) {
        RereadAll = false;
        ShowInstruction("");
    }
}

void PldWindow::TakeCrs(const std::string& v) {
    const std::string source = Chars(v, 1, 1);
    const std::string osc = Chars(v, 2, 1);
    if (source == "0" || source == "1")
        SetValue("CrsSource", source == "0" ? "Internal" : "External", Colours::lime);
    else
        SetValue("CrsSource", "Unknown", Colours::green);
    if (osc == "0" || osc == "1")
        SetValue("CrsOsc", osc == "0" ? "Osc: Cold" : "Osc: Warm",
                 osc == "0" ? Colours::yellow : Colours::lime);
    else
        SetValue("CrsOsc", "Unknown", Colours::green);
    ShowFields(v, pld::kReference);
    // "2": the reference has no such circuit.
    for (int pos = 4; pos <= 6; ++pos)
        at("CRS" + std::to_string(pos)).setVisible(Chars(v, pos, 1) != "2");
}

// The band's entry names its limits: " B  (11700-12200MHz)".
void PldWindow::TakeBand(const std::string& v) {
    FillBoxesFrom("SRB", v);
    SetValue("LNBband2", "Band " + Chars(v, 1, 1), Colours::white);
    const std::string entry = at(pld::box::RxBand).selectedText();
    if (entry.empty())
        return;
    DownFreqMin = ParseInt(Chars(entry, 6, 5)).value;
    DownFreqMax = ParseInt(Chars(entry, 12, 5)).value;
}

// Each character is one alarm: not available ("2", "X") is no fault.
bool PldWindow::AnyFault(const std::string& v, int length) {
    for (const char c : Chars(v, 1, length))
        if (AlarmColour(c) == Colours::red)
            return true;
    return false;
}

void PldWindow::SummaryFault(const std::string& v, int length) {
    if (AnyFault(v, length))
        at("StaSFS").setBackground(Colours::red);
}

// ---- a change ---------------------------------------------------------------------------------

void PldWindow::OnStaged(const BoxRow& box, const std::string& shown) {
    if (box.control == pld::box::UpFreq || box.control == pld::box::DownFreq)
        SetValue("Sta" + box.control, LeftTrim(shown) + " MHz", Colours::white);
    else if (box.control == pld::box::RxBand)
        state().ConfirmText = "Change LNB Rx band toBand " + Chars(shown, 2, 1);
}

// The unit switches the RF off for a new frequency and says so.
void PldWindow::AfterAccepted(const std::string&) {
    if (Contains(State().LastReply, "RF_OFF"))
        SetBoxIndex(pld::box::RfOutput, 0);
}

} // namespace linvar
