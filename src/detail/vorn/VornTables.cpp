// The VORN/YRAN window as data: its description, its panels, one row a configuration box,
// and the fields of its status replies.

#include "detail/vorn/VornTables.h"
#include "detail/vorn/VornWindow.h"

#include "ui/Clock.h"
#include "wire/StatusColours.h"
#include "wire/TextFormats.h"

#include <algorithm>
#include <cmath>

namespace linvar {

using namespace TrxEntries;

namespace {

Entries Series(double from, double step, int count, int decimals, const char* sign) {
    Entries out;
    for (int i = 0; i < count; ++i)
        out.push_back(sign + DetailWindow::FixedReal(from + step * i, decimals));
    return out;
}

Entries Shown(const Entries& codes) {
    Entries out;
    for (const std::string& c : codes)
        out.push_back(" " + c);
    return out;
}

const Entries kSlopeCodes = Series(0, 0.1, 11, 1, "");  // "0.0" to "1.0"
const Entries kGainCodes = Series(0, 0.25, 17, 2, "-"); // "-0.00" to "-4.00"
const Entries kSlopeModes{" Manual", " Calibrated"};
const Entries kMuteModes{" Unmuted after frequency change", " Muted after frequency change"};
const Entries kBits{"0", "1"};

Entries WindowCodes() {
    Entries codes;
    for (int p = 20; p <= 50; ++p)
        codes.push_back(std::to_string(p));
    codes.push_back("99");
    return codes;
}

Entries WindowEntries() {
    Entries shown;
    for (int p = 20; p <= 50; ++p)
        shown.push_back(" " + std::to_string(p) + " %");
    shown.push_back(" Disabled");
    return shown;
}

// Tenths of a MHz on the 1 MHz or the 2.5 MHz grid; otherwise the nearest below.
double FreqGrid(double mhz) {
    const long t = std::lround(std::floor(mhz * 10 + 1e-6));
    if (t < 0 || t % 25 == 0 || t % 10 == 0)
        return t / 10.0;
    return (t - std::min(t % 25, t % 10)) / 10.0;
}

// Hundredths of a dB down to the 0.25 dB grid.
double AttenGrid(double db) {
    const long h = std::lround(std::floor(db * 100 + 1e-6));
    return (h - h % 25) / 100.0;
}

std::string Whole(int v) {
    return std::to_string(v);
}

} // namespace

// ---- the description ------------------------------------------------------------------------

FamilyDescription VornWindow::Describe() const {
    FamilyDescription f = TransceiverFamily();
    f.logs = {{.name = "Events",
               .stored = "Event",
               .countQuery = "TNA",
               .readQuery = "LNA",
               .clearCommand = "CAA",
               .button = "BtnChooseFile",
               .caption = "Choose File &Name",
               .countLabel = "LogCount",
               .recordWidth = 27,
               .decode = [](const std::string& rec, const Clock& clock) -> std::string {
                   if (rec.empty() || rec[0] == '0')
                       return ""; // an empty slot
                   return DateTextMDY(Chars(rec, 22, 6)) + "  " +
                          TimeText(Chars(rec, 15, 6), clock) + "  " + Chars(rec, 1, 13);
               }}};
    f.logNoun = "Transceiver";
    f.blankLineOnAppend = false;
    LogTexts& t = f.logTexts;
    t.countPrefix = "Number of unread stored events: ";
    t.countAsNumber = true;
    t.countRefusedRed = true;
    t.choose = "Choose a data file name so that transceiver event data can be retained";
    t.readHint = "Now read the transceiver and store the event information to file";
    t.readButton = "&Read Transceiver Events";
    t.completed = "Reading log completed";
    t.storedIn = "Event data stored in ";
    t.clearFailed = "Clearing log:";
    f.logsPhase = true;
    f.clock = {.monthFirst = true,
               .unitCaption = "Transceiver:",
               .hourZero = "0",
               .setCaption = "Set &Time (including offset)"};
    f.logsCaption = "&Log";
    f.panels = {.logs = true, .utilities = true, .buffer = false, .switchover = false};
    f.utilitiesStep = kUtilitiesButton;
    return f;
}

// ---- the configuration boxes ----------------------------------------------------------------

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<BoxRow> VornWindow::ConfigBoxes() const {
    const auto N = Source::None;
    const auto never = Confirmation::Never;
    using K = BoxKind;
    // Limited: on the off-line unit of a pair only some boxes may be changed.
    const auto notLimited = [this] { return !(IsPair() && !OnlineUnit); };
    const auto freqPrompt = [this](bool up) {
        const std::string dir = up ? "UP" : "DOWN";
        if (!LimitsKnown(up))
            return "Enter the " + dir +
                   " Freq (limits not read from the unit), resolution 1 or 2.5MHz";
        return "Enter the " + dir + " Freq between " + Whole(up ? UpFreqMin : DownFreqMin) +
               " and " + Whole(up ? UpFreqMax : DownFreqMax) + " MHz, resolution 1 or 2.5MHz";
    };
    const auto attenPrompt = [this](bool up) {
        const std::string dir = up ? "UP" : "DOWN";
        const int high = up ? UpAttenMax : DownAttenMax;
        if (high == 0)
            return "Enter the " + dir +
                   " attenuation (upper limit not read from the unit), resolution 0.25 dB";
        return "Enter the " + dir + " attenuation between 0 and " + Whole(high) +
               " dB, resolution 0.25 dB";
    };
    const auto freq = [&](bool up) {
        return BoxRow{.control = up ? "UFQ" : "DFQ",
                      .caption = "Frequency (MHz)",
                      .group = up ? "GrpUp" : "GrpDown",
                      .source = N,
                      .query = "CCS",
                      .pos = up ? 1 : 7,
                      .len = 6,
                      .show = Show::Real,
                      .width = 6,
                      .decimals = 1,
                      .command = up ? "UFQ" : "DFQ",
                      .value = Value::Real,
                      .cmdWidth = 6,
                      .cmdDecimals = 1,
                      .error = "ERROR: Bad frequency value. Please correct it",
                      .confirm = up ? "Up Frequency to" : "Down Frequency to",
                      .unit = " MHz",
                      .validation = Validation::Clamp,
                      .noteLow = kFreqLow,
                      .noteHigh = kFreqHigh,
                      .noteGrid = "Note: have rounded freq value to nearest permitted value",
                      .reread = Reread::Full(),
                      .retry = Reread::Full(),
                      .rangesNow = [this, up] { return FreqRange(up); },
                      .promptNow = [freqPrompt, up] { return freqPrompt(up); },
                      .enabledNow = notLimited,
                      .grid = FreqGrid};
    };
    const auto atten = [&](bool up) {
        return BoxRow{.control = up ? "UAT" : "DAT",
                      .caption = "Attenuation (dB)",
                      .group = up ? "GrpUp" : "GrpDown",
                      .source = N,
                      .query = "CCS",
                      .pos = up ? 13 : 18,
                      .len = 5,
                      .show = Show::Real,
                      .width = 3,
                      .decimals = 2,
                      .command = up ? "UAT" : "DAT",
                      .value = Value::Real,
                      .cmdWidth = 5,
                      .cmdDecimals = 2,
                      .error = "ERROR: Bad attenuation value. Please correct it",
                      .confirm = up ? "Up Attenuation to" : "Down Attenuation to",
                      .unit = " dB",
                      .validation = Validation::Clamp,
                      .noteLow = kAttenLow,
                      .noteHigh = kAttenHigh,
                      .noteGrid = "Note: have rounded atten value to nearest permitted value",
                      .reread = Reread::Full(),
                      .retry = Reread::Full(),
                      .rangesNow = [this, up] { return AttenRange(up); },
                      .promptNow = [attenPrompt, up] { return attenPrompt(up); },
                      .enabledNow = notLimited,
                      .grid = AttenGrid};
    };
    // A drop-down filled from one reply's character(s).
    const auto choice = [&](const char* control, const char* caption, const char* group,
                            const Entries& entries, const Entries& codes, const char* query,
                            int pos, int len, Reread reread) {
        return BoxRow{.control = control,
                      .caption = caption,
                      .kind = K::Combo,
                      .group = group,
                      .entries = entries,
                      .codes = codes,
                      .source = N,
                      .query = query,
                      .pos = pos,
                      .len = len,
                      .command = control,
                      .confirmation = never,
                      .reread = reread,
                      .retry = reread};
    };
    // One that asks first at the DISTANT end.
    const auto asked = [&](BoxRow b, const char* confirm, bool comms) {
        b.confirm = confirm;
        b.confirmation = Confirmation::DistantOnly;
        b.commsNote = comms;
        return b;
    };
    const auto when = [](BoxRow b, std::function<bool()> rule) {
        b.enabledNow = std::move(rule);
        return b;
    };

    BoxRow ref = RefBox("GrpUnit");
    ref.query = "CUS";
    ref.pos = 2;
    ref.len = 3;
    ref.show = Show::Int;
    ref.error = "ERROR: Bad Ref value. Please correct it";
    ref.reread = ref.retry = ReadFrom(6);
    BoxRow mute =
        choice("MUT", "Mute Mode", "GrpUnit", kMuteModes, kBits, "MUT", 1, 1, ReadFrom(22));
    mute.lockable = false; // only a DISTANT unit's mute mode is out of reach
    mute.enabledNow = [this] { return !DistantEnd; };

    // clang-format off
    return {
        // ---- up
        freq(true),
        atten(true),
        when(choice("USM", "Slope Mode", "GrpUp", kSlopeModes, kBits, "USM", 1, 1, ReadFrom(4)),
             [this] { return UpSlopeKnown; }),
        when(choice("USA", "Slope Adjust (dB)", "GrpUp", Shown(kSlopeCodes), kSlopeCodes, "CUS", 5, 3, ReadFrom(6)),
             [this] { return at("USM").selected() == 0; }),
        when(choice("UGO", "Gain Offset (dB)", "GrpUp", Shown(kGainCodes), kGainCodes, "UGO", 1, 5, ReadFrom(15)),
             [this] { return IsPair(); }),
        asked(choice("UMU", "Mute", "GrpUp", kDisabledEnabled, kBits, "CCS", 26, 1, ReadFrom(8)),
              "Up Mute to", true),
        asked(choice("AMP", "Amplifier", "GrpUp", kOffOn, kBits, "CCS", 25, 1, ReadFrom(8)),
              "Amp On/Off setting to", true),
        // ---- down
        freq(false),
        atten(false),
        when(choice("DSM", "Slope Mode", "GrpDown", kSlopeModes, kBits, "DSM", 1, 1, ReadFrom(5)),
             [this] { return DownSlopeKnown; }),
        when(choice("DSA", "Slope Adjust (dB)", "GrpDown", Shown(kSlopeCodes), kSlopeCodes, "CUS", 8, 3, ReadFrom(6)),
             [this] { return at("DSM").selected() == 0; }),
        when(choice("DGO", "Gain Offset (dB)", "GrpDown", Shown(kGainCodes), kGainCodes, "DGO", 1, 5, ReadFrom(16)),
             [this] { return IsPair(); }),
        // A DISTANT unit's down mute would cut the path that reaches it.
        when(asked(choice("DMU", "Mute", "GrpDown", kDisabledEnabled, kBits, "CCS", 28, 1, ReadFrom(8)),
                   "Down Mute to", true),
             [this] { return !DistantEnd; }),
        asked(choice("LCW", "Current Alarm Window", "GrpLnaConf", WindowEntries(), WindowCodes(), "CLS", 2, 2, ReadFrom(7)),
              "LNA Current Window to", false),
        asked(choice("LCS", "Current Source", "GrpLnaConf", kDisabledEnabled, kBits, "CLS", 1, 1, ReadFrom(7)),
              "LNA Current Source to", false),
        asked(choice("LFL", "Fault Logic", "GrpLnaConf", kDisabledEnabled, kBits, "CLS", 4, 1, ReadFrom(7)),
              "LNA Fault Logic to", false),
        // ---- unit
        ref,
        CircuitIdBox("GrpUnit"),
        choice("XRF", "Ext Ref Fault Logic", "GrpUnit", kDisabledEnabled, kBits, "XRF", 1, 1, ReadFrom(17)),
        when(choice("AFR", "Auto Fault Recovery", "GrpUnit", {" Disabled", " Enabled "}, kBits, "CCS", 30, 1, ReadFrom(8)),
             notLimited),
        when(asked(choice("CLD", "Cold Start", "GrpUnit", kDisabledEnabled, kBits, "CCS", 29, 1, ReadFrom(8)),
                   "Cold Start setting to", true),
             notLimited),
        mute,
    };
    // clang-format on
}
#pragma GCC diagnostic pop

// ---- the status replies' fields -------------------------------------------------------------

namespace vorn {

using F = ReplyField::Form;

// "CCS?": settings, then one state character a lamp.
const ReplyFields kCcs{
    {.label = "StaUFQ", .pos = 1, .len = 6, .unit = " MHz"},
    {.label = "StaDFQ", .pos = 7, .len = 6, .unit = " MHz"},
    {.label = "StaUAT", .pos = 13, .len = 5, .unit = " dB"},
    {.label = "StaDAT", .pos = 18, .len = 5, .unit = " dB"},
    {.label = "StaONL",
     .pos = 23,
     .form = F::Word,
     .colour = OnOffColour,
     .words = {"Off Line", "On Line", "Off Line"}},
    {.label = "StaXMT", .pos = 24, .form = F::Lamp, .colour = StateColour},
    {.label = "StaAMP", .pos = 25, .form = F::Lamp, .colour = StateColour},
    {.label = "StaUMU", .pos = 26, .form = F::Lamp, .colour = StateColour},
    {.label = "StaRCV", .pos = 27, .form = F::Lamp, .colour = StateColour},
    {.label = "StaDMU", .pos = 28, .form = F::Lamp, .colour = StateColour},
    {.label = "StaCLD", .pos = 29, .form = F::Lamp, .colour = StateColour},
    {.label = "StaAFR", .pos = 30, .form = F::Lamp, .colour = StateColour},
    {.label = "StaEXT", .pos = 31, .form = F::Lamp, .colour = StateColour},
};

// "CLS?": the LNA supply.
const ReplyFields kCls{
    {.label = "StaLCS", .pos = 1, .form = F::Lamp, .colour = StateColour},
    {.label = "StaLFL", .pos = 4, .form = F::Lamp, .colour = StateColour},
};

// "CAS?": one alarm a character; the label's text is the alarm's name.
const char* const kAlarmNames[18] = {"24V",
                                     "20V",
                                     "12V",
                                     "10V",
                                     "5V",
                                     "-5V",
                                     "Up Syn Lock",
                                     "Up IFLO Lock",
                                     "Down Syn Lock",
                                     "Down IFLO Lock",
                                     "Ref Lock",
                                     "LNA Current",
                                     "Fan Current",
                                     "Thermal Warning",
                                     "Thermal Shutdown",
                                     "IIC Bus",
                                     "EEprom",
                                     "Batt V"};

ReplyFields Alarms() {
    ReplyFields out;
    for (int i = 0; i < 18; ++i)
        out.push_back({.label = "CAS" + std::to_string(i + 1),
                       .pos = i + 1,
                       .form = F::Lamp,
                       .colour = AlarmColour});
    return out;
}
const ReplyFields kCas = Alarms();

// "CMS?": sixteen readings of five characters; each label takes the colour of its alarm
// (0: white).
const Maintenance kCms[16] = {
    {"M24V", "V", 1},
    {"M20V", "V", 2},
    {"M12V", "V", 3},
    {"M10V", "V", 4},
    {"M5V", "V", 5},
    {"MM5V", "V", 6},
    {"MUpSyn", "V", 7},
    {"MUpIflo", "V", 8},
    {"MDnSyn", "V", 9},
    {"MDnIflo", "V", 10},
    {"MRef", "V", 11},
    {"MLnaI", "mA", 12},
    {"MFanI", "mA", 13},
    {"MUpTemp",
     "\xB0"
     "C",
     14},
    {"MRfPower", "dB", 0},
    {"MDnTemp",
     "\xB0"
     "C",
     14},
};

// Labels emptied when the window opens (the lamps keep their names).
const std::vector<const char*> kValues = {"StaRET", "StaCID", "StaTNA", "StaRedMo", "StaUSM",
                                          "StaUSA", "StaUGO", "StaDSM", "StaDSA",   "StaDGO",
                                          "StaREF", "StaMUT", "StaLCW", "Mp5Vr",    "M12Vr"};
const std::vector<const char*> kLamps = {"StaSFS", "StaTXsw", "StaRXsw"};

} // namespace vorn

// ---- the panels
// ----------------------------------------------------------------------------------

void VornWindow::BuildFamily() {
    BuildStatus();
    BuildConfig();
    BuildUtilityGroups();
}

void VornWindow::BuildStatus() {
    const auto lamp = [](const char* name, const char* caption) {
        return StatusValue{name, caption, 4};
    };
    AddStatusGroups(
        "PanelStatus", {"StatusLeft", "StatusMid", "StatusRight"},
        {{"StatusLeft",
          "GrpIdent",
          "Transceiver",
          {{"StaRET", "Identity", 36},
           {"StaCID", "Circuit ID", 26},
           {"StaTNA", "Number of New Log Alarms", 6}}},
         {"StatusLeft",
          "GrpRedundancy",
          "Redundancy",
          {{"StaONL", "1:1 State", 10}, {"StaRedMo", "Controller", 16}}},
         {"StatusMid",
          "GrpUpSet",
          "Up Converter",
          {{"StaUFQ", "Frequency"},
           {"StaUAT", "Attenuation"},
           {"StaUSM", "Slope Mode"},
           {"StaUSA", "Slope Adjust"},
           {"StaUGO", "Gain Offset"}}},
         {"StatusMid",
          "GrpDownSet",
          "Down Converter",
          {{"StaDFQ", "Frequency"},
           {"StaDAT", "Attenuation"},
           {"StaDSM", "Slope Mode"},
           {"StaDSA", "Slope Adjust"},
           {"StaDGO", "Gain Offset"}}},
         {"StatusMid",
          "GrpUnitSet",
          "Unit",
          {{"StaREF", "Ref Osc Adjust"}, {"StaMUT", "Mute", 40}}},
         {"StatusMid",
          "GrpOnOff",
          "On/Off",
          {lamp("StaXMT", "Transmitter"), lamp("StaAMP", "Amplifier"), lamp("StaUMU", "Up Mute"),
           lamp("StaRCV", "Receiver"), lamp("StaDMU", "Down Mute"), lamp("StaCLD", "Cold Start"),
           lamp("StaAFR", "Auto Fault Recovery"), lamp("StaEXT", "Ext Reference")}},
         {"StatusMid",
          "GrpLna",
          "LNA",
          {lamp("StaLCS", "Current Source"),
           {"StaLCW", "Current Alarm Window", 10},
           lamp("StaLFL", "Fault Logic")}}});
    // The maintenance readings cover the settings and on/off groups while shown.
    AddGroup("StatusMid", "GrpMaint", "Maintenance", 0).setLayout(Layout::Row).setVisible(false);
    AddStatusGroups("GrpMaint", {"MaintLeft", "MaintRight"},
                    {{"MaintLeft",
                      "MntSupply",
                      "Supply voltages",
                      {{"M24V", "24 volts supply", 9},
                       {"M20V", "20 volts supply", 9},
                       {"M12V", "12 volts supply", 9},
                       {"M10V", "10 volts supply", 9},
                       {"M5V", "5 volts supply", 9},
                       {"MM5V", "-5 volts supply", 9}}},
                     {"MaintLeft",
                      "MntTuning",
                      "Tuning voltages",
                      {{"MUpSyn", "Up Synthesizer", 9},
                       {"MUpIflo", "Up IFLO", 9},
                       {"MDnSyn", "Down Synthesizer", 9},
                       {"MDnIflo", "Down IFLO", 9},
                       {"MRef", "10MHz Reference", 9}}},
                     {"MaintRight",
                      "MntTemps",
                      "Temperatures",
                      {{"MUpTemp", "Up Temperature", 9}, {"MDnTemp", "Down Temperature", 9}}},
                     {"MaintRight",
                      "MntCurrents",
                      "Currents",
                      {{"MLnaI", "LNA Current", 9}, {"MFanI", "Fan Current", 9}}},
                     {"MaintRight", "MntRf", "RF Output", {{"MRfPower", "RF output power", 9}}},
                     {"MaintRight",
                      "GrpRedBox",
                      "Redundancy Box",
                      {{"Mp5Vr", "+5 volts", 9}, {"M12Vr", "+12 volts", 9}}}});
    add("GrpRedBox", "StaTXsw", ControlKind::Label, "Tx switch").setWidth(10);
    add("GrpRedBox", "StaRXsw", ControlKind::Label, "Rx switch").setWidth(10);

    AddGroup("StatusRight", "GrpAlarms", "Alarms", 2);
    for (int i = 0; i < 18; ++i)
        add("GrpAlarms", "CAS" + std::to_string(i + 1), ControlKind::Label, vorn::kAlarmNames[i])
            .setWidth(15);
    AddGroup("StatusLeft", "GrpSummary", "", 0);
    add("GrpSummary", "StaSFS", ControlKind::Label, "Summary Fault Status").setWidth(20);
    add("GrpSummary", "BtnMaint", ControlKind::Button, "Show &Maint");
    AddGroup("StatusLeft", "GrpKey", "Key", 2);
    add("GrpKey", "KeyOn", ControlKind::Label, "On/OK").setBackground(Colours::lime);
    add("GrpKey", "KeyOff", ControlKind::Label, "Off").setBackground(Colours::green);
    add("GrpKey", "KeyFault", ControlKind::Label, "Fault").setBackground(Colours::red);
    add("GrpKey", "KeyNA", ControlKind::Label, "Not available").setBackground(Colours::gray);
    onClick("BtnMaint", [this] { ShowMaintenance(!maintenance_); });
}

void VornWindow::BuildConfig() {
    for (const char* col : {"ConfUpCol", "ConfDownCol", "ConfUnitCol"})
        add("PanelConfig", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("ConfUpCol", "GrpUp", "Up");
    AddGroup("ConfDownCol", "GrpDown", "Down");
    AddGroup("ConfDownCol", "GrpLnaConf", "Low Noise Amplifier");
    AddGroup("ConfUnitCol", "GrpConfIdent", "Transceiver", 0);
    add("GrpConfIdent", "RET", ControlKind::Label).setWidth(36);
    AddGroup("ConfUnitCol", "GrpUnit", "Unit");
}

void VornWindow::BuildUtilityGroups() {
    add("ClockBox", "OffsetHint", ControlKind::Label,
        "Select an hour offset, eg. to set a distant transceiver to local time");
    add("PanelUtilities", "UtilityCol", ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("UtilityCol", "GrpLnaCal", "LNA Current Calibration", 0);
    add("GrpLnaCal", "LnaCalHint", ControlKind::Label,
        "Set the calibration point for the LNA current alarm feature");
    add("GrpLnaCal", "BtnCalLna", ControlKind::Button, "Calibrate L&NA Current");
    add("GrpLnaCal", "LnaCalMsg", ControlKind::Label);
    AddGroup("UtilityCol", "GrpForce", "1:1 Switchover", 0);
    add("GrpForce", "ForceText", ControlKind::Label);
    add("GrpForce", "BtnForce", ControlKind::Button, "Force &1:1 Switch");
    add("GrpForce", "ForceMsg", ControlKind::Label);
    AddGroup("UtilityCol", "GrpRedCtl", "Redundancy Controller", 0);
    add("GrpRedCtl", "RedText", ControlKind::Label);
    add("GrpRedCtl", "BtnAutoManual", ControlKind::Button, "Auto/Manual S&witch");
    add("GrpRedCtl", "RedMsg", ControlKind::Label);
    // Each press sends its command once, between two exchanges.
    onClick("BtnCalLna", [this] {
        ShowResult("LnaCalMsg", "Calibrating LNA current...", true);
        RequestStep(S(156));
    });
    onClick("BtnForce", [this] {
        ShowResult("ForceMsg", "Switching...", true);
        RequestStep(S(157));
    });
    onClick("BtnAutoManual", [this] {
        ShowResult("RedMsg", "Switching...", true);
        RequestStep(S(158));
    });
}

} // namespace linvar
