// The PLD window as data: its description, its panels, one row a configuration box, and
// the fields of its status replies.

#include "detail/pld/PldTables.h"
#include "detail/pld/PldWindow.h"

#include "wire/StatusColours.h"

namespace linvar {

using namespace TrxEntries;

namespace {

const Entries kBits{"0", "1"};
const Entries kBands{" A  (10950-11700MHz)", " B  (11700-12200MHz)", " C  (12250-12750MHz)"};

std::string Whole(int v) {
    return std::to_string(v);
}

} // namespace

FamilyDescription PldWindow::Describe() const {
    FamilyDescription f = TransceiverFamily();
    f.sentText = "Re-configuration sent, please wait...";
    f.panels = {.logs = false, .utilities = false, .buffer = false, .switchover = false};
    return f;
}

// ---- the configuration boxes ----------------------------------------------------------------

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<BoxRow> PldWindow::ConfigBoxes() const {
    const auto N = Source::None;
    using K = BoxKind;
    // Lock mode keeps the unit's settings as they are.
    const auto unlocked = [this] { return at(pld::box::Lock).selected() != 1; };
    const auto freq = [&](bool up) {
        const auto prompt = [this, up] {
            const std::string dir = up ? "UP" : "DOWN";
            const std::string end = up ? " MHz, resolution 1MHz." : " MHz, resolution 1MHz";
            if (!LimitsKnown(up))
                return "Enter the " + dir +
                       " Freq (limits not read from the unit), resolution 1MHz";
            return "Enter the " + dir + " Freq between " + Whole(up ? UpFreqMin : DownFreqMin) +
                   " and " + Whole(up ? UpFreqMax : DownFreqMax) + end;
        };
        return BoxRow{.control = up ? pld::box::UpFreq : pld::box::DownFreq,
                      .caption = "Frequency (MHz)",
                      .group = up ? pld::group::Up : pld::group::Down,
                      .source = N,
                      .query = "RCS",
                      .pos = up ? 6 : 18,
                      .len = 7,
                      .show = Show::Text,
                      .command = up ? "UFQ" : "DFQ",
                      .value = Value::Real,
                      .cmdWidth = 7,
                      .cmdDecimals = 1,
                      .integer = true,
                      .error = "ERROR: Bad frequency value. Please correct it",
                      .confirm = up ? "Up Frequency to" : "Down Frequency to",
                      // A new up frequency switches the RF off.
                      .unit = up ? " MHz.  RF will be turned off" : " MHz",
                      .validation = Validation::Clamp,
                      .noteLow = kFreqLow,
                      .noteHigh = kFreqHigh,
                      .reread = Reread::Full(),
                      .retry = Reread::Full(),
                      .rangesNow = [this, up] { return FreqRange(up); },
                      .promptNow = prompt,
                      .enabledNow = unlocked};
    };
    const auto atten = [&](bool up) {
        const auto prompt = [this, up] {
            const int high = up ? UpAttenMax : DownAttenMax;
            const std::string dir = up ? "UP" : "DOWN";
            if (high == 0)
                return "Enter the " + dir +
                       " attenuation (upper limit not read from the unit), resolution 1 dB";
            return "Enter the " + dir + " attenuation between 0 and " + Whole(high) +
                   " dB, resolution 1 dB";
        };
        return BoxRow{.control = up ? pld::box::UpAtten : pld::box::DownAtten,
                      .caption = "Attenuation (dB)",
                      .group = up ? pld::group::Up : pld::group::Down,
                      .source = N,
                      .query = "RCS",
                      .pos = up ? 36 : 45,
                      .len = 4,
                      .show = Show::Text,
                      .command = up ? "UAT" : "DAT",
                      .value = Value::Real,
                      .cmdWidth = 4,
                      .cmdDecimals = 1,
                      .integer = true,
                      .error = "ERROR: Bad attenuation value. Please correct it",
                      .confirm = up ? "Up Attenuation to" : "Down Attenuation to",
                      .unit = " dB",
                      .validation = Validation::Clamp,
                      .noteLow = kAttenLow,
                      .noteHigh = kAttenHigh,
                      .reread = Reread::Full(),
                      .retry = Reread::Full(),
                      .rangesNow = [this, up] { return AttenRange(up); },
                      .promptNow = prompt,
                      .enabledNow = unlocked};
    };
    // A drop-down filled from one reply's character; asked first at the DISTANT end.
    const auto choice = [&](const char* control, const char* caption, const char* group,
                            const Entries& entries, const Entries& codes, const char* query,
                            int pos, const char* confirm, bool comms, Reread reread) {
        return BoxRow{.control = control,
                      .caption = caption,
                      .kind = K::Combo,
                      .group = group,
                      .entries = entries,
                      .codes = codes,
                      .source = N,
                      .query = query,
                      .pos = pos,
                      .command = control,
                      .confirm = confirm,
                      .commsNote = comms,
                      .reread = reread,
                      .retry = reread,
                      .enabledNow = unlocked};
    };
    BoxRow ref = RefBox(pld::group::Unit);
    ref.commsNote = false;
    ref.reread = ref.retry = ReadFrom(6);
    ref.error = "ERROR: Bad Ref value. Please correct it";
    ref.enabledNow = unlocked;
    BoxRow cid = CircuitIdBox(pld::group::Unit);
    cid.enabledNow = unlocked;
    // Its own re-read: from "UAT?" the wait would come before "LOK?" shows what it holds.
    BoxRow lock = choice(pld::box::Lock, "Lock Mode", pld::group::Lock, kOffOn, kBits, "LOK", 1,
                         "Lock Mode to", false, ReadFrom(22));
    lock.enabledNow = nullptr;

    // clang-format off
    return {
        freq(true),
        atten(true),
        choice(pld::box::RfOutput, "RF Output", pld::group::Up, {" Off", " On", " Warm"}, {"0", "1", "2"}, "RCS", 30,
               "RF On/Off setting to", true, ReadFrom(8)),
        choice(pld::box::Agc, "AGC", pld::group::Up, {" Off", " On", " Burst"}, {"0", "1", "2"}, "RCS", 60,
               "AGC setting to", true, ReadFrom(8)),
        choice(pld::box::HpaPower, "HPA Power", pld::group::Hpa, kOffOn, kBits, "RCS", 66, "HPA power to", false, ReadFrom(7)),
        choice(pld::box::HpaFault, "HPA Fault Logic", pld::group::Hpa, kDisabledEnabled, kBits, "RCS", 67,
               "HPA Fault Enable to", false, ReadFrom(7)),
        freq(false),
        atten(false),
        choice(pld::box::LnaPower, "LNA Power", pld::group::Lna, kOffOn, kBits, "CLS", 1, "LNA on/off to", false, ReadFrom(7)),
        choice(pld::box::LnaFault, "LNA Fault Logic", pld::group::Lna, kDisabledEnabled, kBits, "CLS", 2,
               "LNA Fault Logic to", false, ReadFrom(7)),
        choice(pld::box::RxBand, "Rx Band", pld::group::Lna, kBands, {"A", "B", "C"}, "SRB", 1,
               "LNB Rx band to", false, ReadFrom(16)),
        ref,
        cid,
        lock,
    };
    // clang-format on
}
#pragma GCC diagnostic pop

// ---- the status replies' fields -------------------------------------------------------------

namespace pld {

using F = ReplyField::Form;

const ReplyFields kRcs{
    {.label = "StaUFQ", .pos = 6, .len = 7, .unit = " MHz"},
    {.label = "StaDFQ", .pos = 18, .len = 7, .unit = " MHz"},
    {.label = "StaUAT", .pos = 36, .len = 4, .unit = " dB"},
    {.label = "StaDAT", .pos = 45, .len = 4, .unit = " dB"},
    {.label = "StaUMU",
     .pos = 30,
     .form = F::Word,
     .colour = StateColour,
     .words = {"Off", "On", "Off"}},
    {.label = "StaAGC",
     .pos = 60,
     .form = F::Word,
     .colour = StateColour,
     .words = {"Off", "On", "Burst"}},
    {.label = "StaAMP", .pos = 66, .form = F::Lamp, .colour = StateColour},
    {.label = "StaKFE", .pos = 67, .form = F::Lamp, .colour = StateColour},
};

const ReplyFields kCls{
    {.label = "StaLCS", .pos = 1, .form = F::Lamp, .colour = StateColour},
    {.label = "StaLCS2", .pos = 1, .form = F::Lamp, .colour = StateColour},
    {.label = "StaLFL", .pos = 2, .form = F::Lamp, .colour = StateColour},
    {.label = "StaLFL2", .pos = 2, .form = F::Lamp, .colour = StateColour},
};

// Four assemblies: the monitor and control board, the up and down converters, the HPA.
ReplyFields Parts(const char* prefix, int width, int len, F form, int offset = 0) {
    ReplyFields out;
    for (int k = 0; k < 4; ++k)
        out.push_back({.label = prefix + std::to_string(k + 1),
                       .pos = 1 + k * width + offset,
                       .len = len,
                       .form = form,
                       .colour = nullptr});
    return out;
}
const ReplyFields kAnm = Parts("a", 7, 7, F::Leading);
const ReplyFields kSnm = Parts("s", 9, 9, F::Text);
ReplyFields Firmware() {
    ReplyFields out = Parts("f", 13, 7, F::Leading);
    for (const ReplyField& v : Parts("v", 13, 6, F::Version, 7))
        out.push_back(v);
    return out;
}
const ReplyFields kFrw = Firmware();

// Alarm lamps: one character each, from the first.
ReplyFields Lamps(const char* prefix, int count, int first = 1) {
    ReplyFields out;
    for (int k = 0; k < count; ++k)
        out.push_back({.label = prefix + std::to_string(k + first),
                       .pos = k + first,
                       .form = F::Lamp,
                       .colour = AlarmColour});
    return out;
}
const ReplyFields kSupplies = Lamps("CES", 4);
const ReplyFields kReference = Lamps("CRS", 4, 3);
const ReplyFields kAgc = Lamps("CAS", 3);
const ReplyFields kUpConv = Lamps("CUS", 4);
const ReplyFields kDownConv = Lamps("CDS", 4);
const ReplyFields kHpa = Lamps("CHS", 5);

const std::vector<const char*> kValues = {"StaRET",   "StaRET2",   "StaCID", "StaREF",
                                          "LNBband2", "CrsSource", "CrsOsc"};
const std::vector<const char*> kLamps = {"StaSFS", "CLS"};

} // namespace pld

// ---- the panels
// ----------------------------------------------------------------------------------

void PldWindow::BuildFamily() {
    BuildStatus();
    BuildConfig();
}

void PldWindow::BuildStatus() {
    const auto lamp = [](const char* name, const char* caption) {
        return StatusValue{name, caption, 4};
    };
    AddStatusGroups("PanelStatus", {"StatusLeft", "StatusMid", "StatusRight"},
                    {{"StatusLeft",
                      "GrpIdent",
                      "Transceiver",
                      {{"StaRET", "Model", 22}, {"StaRET2", "", 22}, {"StaCID", "Circuit ID", 26}}},
                     {"StatusLeft",
                      "GrpSettings",
                      "Settings",
                      {{"StaUFQ", "Up Frequency"},
                       {"StaUAT", "Up Attenuation"},
                       {"StaUMU", "RF Output", 8},
                       {"StaAGC", "AGC", 8},
                       {"StaDFQ", "Down Frequency"},
                       {"StaDAT", "Down Attenuation"},
                       {"StaREF", "Ref Osc Adjust", 6},
                       lamp("StaAMP", "HPA Power"),
                       lamp("StaKFE", "HPA Fault Logic")}},
                     {"StatusMid",
                      "GrpLnaSta",
                      "LNA",
                      {lamp("StaLCS", "Power"), lamp("StaLFL", "Fault Logic")}},
                     {"StatusMid",
                      "GrpLnb",
                      "LNB",
                      {lamp("StaLCS2", "LNB Power"),
                       lamp("StaLFL2", "LNB Fault Logic"),
                       {"LNBband2", "Rx Band", 8}}},
                     {"StatusMid",
                      "GrpRef",
                      "Reference",
                      {{"CrsSource", "Source", 10}, {"CrsOsc", "Oscillator", 10}}}});
    const auto alarms = [this](const char* column, const char* group, const char* caption,
                               const char* prefix, std::vector<const char*> names, int first = 1) {
        AddGroup(column, group, caption, 2);
        for (size_t k = 0; k < names.size(); ++k)
            add(group, prefix + std::to_string(k + static_cast<size_t>(first)), ControlKind::Label,
                names[k])
                .setWidth(13);
    };
    add("GrpLnaSta", "CLS", ControlKind::Label, "LNA").setWidth(13);
    alarms("StatusMid", "GrpSupplies", "Supplies", "CES", {"-7V", "+7V", "+12V", "+17V"});
    alarms("GrpRef", "GrpRefAlarms", "", "CRS", {"72M Lock", "Lock", "Phase N", "Range"}, 3);
    alarms("StatusRight", "GrpAgc", "AGC Alarms", "CAS", {"Loop Conv", "Excess Pwr", "Insuff Pwr"});
    alarms("StatusRight", "GrpUpConv", "Up Converter", "CUS",
           {"Over Temp", "S-band Lock", "Ku-band Lock", "Comms"});
    alarms("StatusRight", "GrpDnConv", "Down Converter", "CDS",
           {"Over Temp", "L-band Lock", "Ku-band Lock", "Comms"});
    alarms("StatusRight", "GrpHpaAlm", "HPA", "CHS",
           {"Over Temp", "9.75V", "-5V", "Bias V", "Comms"});

    // Assembly, serial and firmware numbers, one row an assembly.
    AddGroup("StatusLeft", "GrpParts", "Part Numbers", 5);
    for (const char* h : {"", "Assembly", "Serial", "Firmware", "Version"})
        add("GrpParts", std::string("PartsHead") + h, ControlKind::Label, h);
    const char* const rows[] = {"M+C :", "Up Conv :", "Dn Conv :", "HPA : "};
    for (int k = 1; k <= 4; ++k) {
        const std::string n = std::to_string(k);
        add("GrpParts", "a" + n + "Cap", ControlKind::Label, rows[k - 1]);
        for (const char* p : {"a", "s", "f", "v"})
            add("GrpParts", p + n, ControlKind::Label).setWidth(10);
    }

    AddGroup("StatusMid", "GrpSummary", "", 0);
    add("GrpSummary", "StaSFS", ControlKind::Label, "Summary Fault Status").setWidth(20);
    AddGroup("StatusRight", "GrpKey", "Key", 2);
    add("GrpKey", "KeyOn", ControlKind::Label, "On/OK").setBackground(Colours::lime);
    add("GrpKey", "KeyOff", ControlKind::Label, "Off").setBackground(Colours::green);
    add("GrpKey", "KeyFault", ControlKind::Label, "Fault").setBackground(Colours::red);
    add("GrpKey", "KeyNA", ControlKind::Label, "Not available").setBackground(Colours::gray);
}

void PldWindow::BuildConfig() {
    for (const char* col : {"ConfUpCol", "ConfDownCol", "ConfUnitCol"})
        add("PanelConfig", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("ConfUpCol", pld::group::Up, "Up");
    AddGroup("ConfUpCol", pld::group::Hpa, "High Power Amplifier");
    AddGroup("ConfDownCol", pld::group::Down, "Down");
    AddGroup("ConfDownCol", pld::group::Lna, "Low Noise Amplifier");
    AddGroup("ConfUnitCol", "GrpConfIdent", "Transceiver", 0);
    add("GrpConfIdent", "RET", ControlKind::Label).setWidth(22);
    add("GrpConfIdent", "RET2", ControlKind::Label).setWidth(22);
    AddGroup("ConfUnitCol", pld::group::Unit, "Unit");
    AddGroup("ConfUnitCol", pld::group::Lock, "");
    // The LNA calibration: once, between two exchanges.
    AddGroup("ConfDownCol", pld::group::LnaCal, "", 0);
    add(pld::group::LnaCal, "BtnCalibrate", ControlKind::Button, "Cali&brate ");
    add(pld::group::LnaCal, "LnaCalMsg", ControlKind::Label);
    onClick("BtnCalibrate", [this] {
        ShowResult("LnaCalMsg", "Calibrating LNA current...", true);
        RequestStep(S(kCalibrate));
    });
}

} // namespace linvar
