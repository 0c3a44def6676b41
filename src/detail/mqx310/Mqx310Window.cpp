// The MQX-310 window as the MQX-330 window's differences: its string layout, the rows it
// changes, its own identity, status and configuration steps where its units answer
// otherwise, its lock and gate, and its log and memory texts.

#include "detail/mqx310/Mqx310Window.h"

#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

#include <algorithm>

namespace linvar {

using namespace u330;

namespace {

// The rows of `from` for these steps, in this order.
std::vector<ReadStep> Pick(const std::vector<ReadStep>& from, std::initializer_list<int> steps) {
    std::vector<ReadStep> out;
    for (int step : steps)
        for (const ReadStep& row : from)
            if (row.step == step)
                out.push_back(row);
    return out;
}

} // namespace

Mqx310Window::Mqx310Window(DetailDeps deps, DetailInputs inputs)
    : Mqx330Window(deps, std::move(inputs), "Detail310") {}

// ---- what the units are ----------------------------------------------------------------

// clang-format off
const StringLayout& Mqx310Window::Layout() const {
    static const StringLayout layout = [] {
        StringLayout l{};
        const auto set = [&l](Field f, int pos, int len = 1) {
            l[static_cast<size_t>(f)] = {pos, len};
        };
        set(Field::TxFreq, 1, 8);       set(Field::TxRate, 9, 7);
        set(Field::TxFecRate, 16);      set(Field::TxMod, 17);
        set(Field::TxSpectrum, 18);     set(Field::TxScrambler, 19);
        set(Field::TxPower, 20, 4);     set(Field::TxClock, 24);
        set(Field::TxCarrier, 25);      set(Field::RxFreq, 26, 8);
        set(Field::RxRate, 34, 7);      set(Field::RxFecRate, 41);
        set(Field::RxMod, 42);          set(Field::RxSpectrum, 43);
        set(Field::RxDescrambler, 44);  set(Field::RxSweep, 45, 2);
        set(Field::RxClockMode, 47);    set(Field::EbNoAlarm, 48, 4);
        set(Field::RxBuffer, 52);       set(Field::Interface, 53);
        set(Field::Framing, 54);        set(Field::TestMode, 55);
        set(Field::Impedance, 56);      set(Field::Masks, 57, 5);
        set(Field::OduComms, 62);       set(Field::OblixAddress, 63, 4);
        return l;
    }();
    return layout;
}
// clang-format on

std::string Mqx310Window::Identify() {
    // Known once the unit has answered EID? (identity steps).
    model_ = 310;
    band_ = '1';
    SetFrequencyBand();
    SetCurrentModelCode(310);
    return "MQX-310";
}

double Mqx310Window::RateCeiling(int, int mod) const {
    if (mod == 0)
        return model_ == 310 ? 256 : 1024;
    return model_ == 310 ? 512 : 2048;
}

FamilyDescription Mqx310Window::Describe() const {
    FamilyDescription f = Mqx330Window::Describe();
    // Its own time-out notice, no capture line for it and no longer wait for a self test.
    f.replies.timeoutNotice = "Communications were timed out, check system";
    f.replies.traceTimeout = false;
    f.replies.slowMnemonic.clear();
    f.logs.resize(1);
    f.logs[0].caption = "Choose File &Name";
    LogTexts& t = f.logTexts;
    t.title = "Stored Events";
    t.counting = "Reading number of modem log events...";
    t.countPrefix = "Number of unread stored events: ";
    t.choose = "Choose a data file name so that modem event data will not be lost once read from "
               "the modem";
    t.goingToStore = "Going to store event data to: ";
    t.newFile = "There is no pre-existing data file. A new file will be made to store the event "
                "data.";
    t.readHint = "Now read the modem and store the event information to file";
    t.readButton = "&Read Modem Events";
    t.completed = "Reading log completed";
    t.storedIn = "Event data stored in ";
    t.clearFailed = "Clearing log:";
    f.clock.stateFirst = false;
    f.rejection.pauseTicks = 14;
    MemoryTexts& m = f.memory.texts;
    m.confirm = "Confir&m";
    m.overwrite = "Over&Write";
    m.loaded = "Modem re-configured using memory location ";
    m.stored = "Current modem config now stored in memory ";
    m.loadRefused = "Problem! Is the Modem in Remote mode?";
    m.storeRefused = "Problem! Is Modem in Remote mode?";
    PreviewStyle style;
    style.tx = "TX";
    style.rx = "RX";
    style.fecTypeField = false;
    style.powerUnit = " dB";
    style.sweep = "Sweep width ";
    style.aupc = false;
    f.memory.preview = ConfigPreview(style);
    return f;
}

// ---- the rows it changes -----------------------------------------------------------------

std::vector<BoxRow> Mqx310Window::ConfigBoxes() const {
    std::vector<BoxRow> rows = Mqx330Window::ConfigBoxes();
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [](const BoxRow& b) { return b.control == "ssi"; }),
               rows.end());
    const auto direction = [](const BoxRow& b) { return b.control[0] == 'T' ? "TX" : "RX"; };
    for (BoxRow& b : rows) {
        const std::string dir = direction(b);
        if (b.control == "TxFECtype" || b.control == "RxFECtype") {
            // Always Viterbi: shown, never sent.
            b.entries = {kFecTypes.begin() + 1, kFecTypes.begin() + 5};
            b.codes = {"1", "2", "3", "4"};
            b.entriesNow = nullptr;
            b.source = Source::None;
            b.pos = 0;
        } else if (b.control == "TxFreq" || b.control == "RxFreq") {
            b.promptNow = [this, dir] {
                return "Enter a " + dir + " frequency, between " + FixedReal(freq_.low, 0) +
                       " and " + FixedReal(freq_.high, 0) + " MHz, resolution 100Hz.";
            };
        } else if (b.control == "TxDataRate" || b.control == "RxDataRate") {
            const bool tx = dir == "TX";
            b.promptNow = [this, tx, dir] {
                const Range r = RateLimits(tx);
                return "Enter a " + dir + " data rate, between " + FixedReal(r.low, 1) + " and " +
                       FixedReal(r.high, 0) + " kbps, resolution 1 bps, up to " +
                       (model_ == 310 ? "7 characters." : "8 characters.");
            };
            b.value = Value::Encoded;
            b.encode = [this](double v) {
                const int width = model_ == 310 ? 7 : 8;
                return RealTextZeroPad(FixedReal(v, 3), width, 3);
            };
        } else if (b.control == "TxPowLev") {
            b.prompt = "Enter TX power level, between 0 and -20 dBm, resolution .1 dB.";
        } else if (b.control == "RxSweep") {
            b.prompt = "Enter an RX demodulator acquisition sweep range, integer between 1 and 30.";
        } else if (b.control == "EbNoAlarmPt") {
            b.prompt = "Enter an Eb/No alarm point, up to 4 digits, between 2 and 16 dB, "
                       "resolution .1 dB.";
            b.ranges = {{2, 16}};
        } else if (b.control == "TxMod" || b.control == "RxMod") {
            b.entries = {kModulations[0], kModulations[1]};
            b.codes = {"1", "2"};
            b.promptNow = [this] {
                return DistantEnd ? "Choose from the selection provided. May affect FEC code "
                                    "rate and/or data rate"
                                  : "Choose from the selection provided. Change will cause "
                                    "re-read of configuration";
            };
        } else if (b.control == "FramingMode") {
            b.entries = {" Unframed - OBLIX off", " Framed - OBLIX on"};
        } else if (b.control == "IFimpedance") {
            b.entries = {" 50 ohms", " 75 ohms"};
        }
    }
    return rows;
}

MaskLayout Mqx310Window::Masks() const {
    MaskLayout m = Mqx330Window::Masks();
    m.prompt = "Check boxes of desired alarms to be masked.";
    return m;
}

// ---- the panels -----------------------------------------------------------------------------

void Mqx310Window::BuildFamily() {
    Mqx330Window::BuildFamily();
    AddGroup("StatusLeft", "ModelStatus", "Model");
    AddValue("ModelStatus", "ModelNo", "Model");
    AddValue("ModelStatus", "IFband", "IF band");
    AddValue("ModelStatus", "RXoption", "Option");
    // Beside each direction's coding: why its FEC rate cannot be chosen.
    for (const auto& [column, name] :
         {std::pair{"ConfLeft", "TxModNote"}, std::pair{"ConfMid", "RxModNote"}})
        add(column, name, ControlKind::Label, "With BPSK modulation, FEC is limited to rate 1/2")
            .setVisible(false);
}

void Mqx310Window::ActivateFamily() {
    Mqx330Window::ActivateFamily();
    setCaption("Detail of a MQX310 Modem");
    for (const char* c : {"NrLogStats", "StaAGC"}) {
        at(c).setVisible(false);
        at(std::string(c) + "Cap").setVisible(false);
    }
    for (const char* c : {"AupcStatus", "IpStatus", "BtnAupc"})
        at(c).setVisible(false);
    at("NrLogEventsCap").setText("Number of unread stored events");
    at("BtnSendToUnit").setText("   Send To Unit");
}

void Mqx310Window::ClearStatus() {
    Mqx330Window::ClearStatus();
    for (const char* c : {"ModelNo", "IFband", "RXoption"})
        ClearValue(c);
}

// ---- identity and status --------------------------------------------------------------------

std::vector<ReadStep> Mqx310Window::IdentitySteps() {
    std::vector<ReadStep> steps = Pick(Mqx330Window::IdentitySteps(), {1, 3});
    steps[1].decode = [this](const std::string& r) {
        SetValue("CircuitID2", Chars(r, 2, 30), Colours::white);
        return 5;
    };
    steps.push_back({5, "EID?", [this](const std::string& r) {
                         if (!StartsWith(r, "=")) {
                             for (const char* c : {"ModelNo", "IFband", "RXoption"})
                                 SetValue(c, Chars(r, 2, 21), Colours::white);
                             return 7;
                         }
                         model_ = IntOfText(Chars(r, 2, 4)) == 7010 ? 7010 : 310;
                         band_ = Chars(r, 6, 1) == "1" ? '1' : '2';
                         SetFrequencyBand();
                         SetCurrentModelCode(static_cast<uint16_t>(model_));
                         state().ModelName = model_ == 7010 ? "RDX-7010" : "MQX-310";
                         SetValue("ModelNo", ModelName, Colours::white);
                         SetValue("IFband", band_ == '1' ? "70 MHz" : "140 MHz", Colours::white);
                         SetValue("RXoption", "RX / TX", Colours::white);
                         setCaption("Detail of " + UnitName + ", link: " + IdText() + "       " +
                                    ModelName);
                         return 7;
                     }});
    steps.push_back({7, "SWR?", [this](const std::string& r) {
                         const bool ok = StartsWith(r, "=");
                         SetValue("StaSWR", ok ? Chars(r, 2, 4) : Chars(r, 2, 8), Colours::white);
                         version_ = ok ? ParseReal(Chars(r, 2, 4)).value : 0;
                         return 9;
                     }});
    steps.push_back({9, "SNO?", [this](const std::string& r) {
                         SetValue("SerialNo", Chars(r, 2, 8), Colours::white);
                         return 11;
                     }});
    return steps;
}

void Mqx310Window::IdentityStep() {
    if (StepNo == 11) {
        // The phases open once the unit is known (the loop itself leaves the buttons).
        EnableButtons(false, true, true, true);
        SetCurrentMode(Phases::Status2);
        state().StepNo = 1;
        return;
    }
    RunSteps(Tables().identity);
}

// LRS, the events count, faults, readings, redundancy and carrier; a refused reading goes
// back to the faults, a refused redundancy state to LRS.
std::vector<ReadStep> Mqx310Window::StatusSteps() {
    std::vector<ReadStep> steps = Pick(Mqx330Window::StatusSteps(), {1, 3, 9, 11, 13});
    steps[1].next = 5;
    steps.push_back({5, "FLT?", [this](const std::string& r) {
                         if (!ShowFaults(r, FaultShapes::Mqx310))
                             return 5;
                         ShowNotice("", Colours::black);
                         return 7;
                     }});
    steps.push_back({7, "EBN?", [this](const std::string& r) {
                         if (!StartsWith(r, "=")) {
                             SetValue("StaEbNo", r, Colours::white);
                             return 5;
                         }
                         const std::string v = Chars(r, 2, 8);
                         SetValue("StaEbNo",
                                  Chars(r, 2, 4) == "99.9"
                                      ? "Unlocked"
                                      : (Contains(v, "+0") ? "> 16" : v) + " dB",
                                  Colours::white);
                         return 9;
                     }});
    steps.push_back({15, "RED?", [this](const std::string& r) {
                         const std::string v = Chars(r, 2, 1);
                         state().OnlineUnit = StartsWith(r, "=") && v == "1";
                         if (!StartsWith(r, "=")) {
                             SetValue("StaRED", r, Colours::white);
                             return 1;
                         }
                         SetValue("StaRED",
                                  v == "0"   ? "Off line"
                                  : v == "1" ? "On line"
                                             : "Invalid code received: " + r,
                                  Colours::white);
                         return 23;
                     }});
    steps.push_back({23, "TXO?", [this](const std::string& r) {
                         const std::string c = Chars(r, 2, 1);
                         if (!StartsWith(r, "=")) {
                             SetValue("StaTXO", Chars(r, 2, 23), Colours::white);
                             return 5;
                         }
                         if (c == "0")
                             SetValue("StaTXO", "Off", Colours::yellow);
                         else if (c == "1")
                             SetValue("StaTXO", "On", Colours::lime);
                         else if (c == "2")
                             SetValue("StaTXO", "Off by External Control", Colours::red);
                         else
                             SetValue("StaTXO", "Other: " + c, Colours::red);
                         return 1;
                     }});
    return steps;
}

// ---- configuration --------------------------------------------------------------------------

void Mqx310Window::ClearConfigExtra() {
    ShowInstruction(DistantEnd || RemoteMode ? "Reading configuration data..." : "");
    // The slave address of a DISTANT unit is set at its own end.
    at("OBLIXslaveAdd").setVisible(!DistantEnd);
    at("OBLIXslaveAddCap").setVisible(!DistantEnd);
    SetFrequencyBand();
}

std::vector<ReadStep> Mqx310Window::ConfigReadSteps() {
    return {{1, "CID?",
             [this](const std::string& r) {
                 if (StartsWith(r, "="))
                     SetBoxText("CircuitID", Chars(r, 2, 24));
                 return 3;
             }},
            {3, "MGC?", [this](const std::string& r) {
                 if (r == kNoComms) {
                     ShowInstruction("No comms with modem. Config data not avail.");
                     return ConfigSteps::Idle;
                 }
                 if (StartsWith(r, "=")) {
                     state().ConfigString = r.substr(1, 79);
                     FillBoxes(Source::Config, State().ConfigString);
                 }
                 return ConfigSteps::SetConfig;
             }}};
}

void Mqx310Window::AfterFill(Source source) {
    Mqx330Window::AfterFill(source);
    SetBoxIndex("TxFECtype", 0);
    SetBoxIndex("RxFECtype", 0);
}

int Mqx310Window::RereadStep(const std::string& mnemonic, bool accepted) const {
    if (accepted)
        return ConfigSteps::SetConfig;
    return mnemonic == "CID" ? 1 : 3;
}

// Locked while a change is on its way, at the off-line unit of a 1:1 pair and at the
// redundant modem of a 1:N switch.
bool Mqx310Window::EffectiveLock(bool requested) const {
    return requested || (ModemPairPresent && !OnlineUnit) || Contains(caption(), "edundant");
}

void Mqx310Window::LockExtra(bool locked, bool requested) {
    at("CircuitID").setReadOnly(requested);
    at("CircuitIDCap").setTextColour(requested ? Colours::gray : Colours::black);
    CodingRules(true, locked);
    CodingRules(false, locked);
    for (const char* dir : {"Tx", "Rx"}) {
        const std::string rate = std::string(dir) + "FECrate";
        at(dir + std::string("ModNote")).setVisible(at(dir + std::string("Mod")).selected() == 0);
        at(dir + std::string("FECtype")).setEnabled(false);
        at(rate + "Cap").setTextColour(at(rate).enabled() ? Colours::black : Colours::gray);
    }
    at("FramingMode").setEnabled(!DistantEnd && !locked && !framed_);
}

void Mqx310Window::ShowEditGate() {
    if (shown("PanelConfig"))
        ShowInstruction("Click on a box to change the information");
    ShowNotice("", Colours::black);
    if (!DistantEnd && !RemoteMode)
        ShowNotice("Modem is in LOCAL mode, no change of config permitted", Colours::yellow);
    else if (DistantEnd)
        ShowNotice("Click the <SEND TO MODEM> button to send re-configuration info",
                   Colours::yellow);
    else if (InLoopback())
        ShowNotice("IF loopback - no changes of config permitted", Colours::yellow);
}

} // namespace linvar
