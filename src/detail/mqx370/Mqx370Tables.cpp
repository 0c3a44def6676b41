// The MQX-370 family as data: its description, the entries of its drop-downs, one row a
// configuration box (the rows it shares with the MQX-350 come from ModemRows), the
// commands built from several boxes, the alarm masks and the status panel.

#include "detail/mqx370/Mqx370Tables.h"
#include "detail/modem/ModemRows.h"
#include "detail/mqx370/Mqx370Window.h"

#include "wire/TextFormats.h"

namespace linvar {

namespace u370 {

using namespace ModemEntries;

const Entries kFecTx{
    " None, diff-encoder on",  " Viterbi", " Viterbi + Reed-Solomon", " Sequential",
    " Seq + Reed-Solomon",     " TCM",     " TCM + Reed-Solomon",     " TPC",
    " None, diff-encoder off", " LDPC"};
const Entries kFecRx{
    " None, diff-decoder on",  " Viterbi", " Viterbi + Reed-Solomon", " Sequential",
    " Seq + Reed-Solomon",     " TCM",     " TCM + Reed-Solomon",     " TPC",
    " None, diff-decoder off", " LDPC"};
const Entries kCodings{" Rate 1/2", " Rate 3/4",   " Rate 7/8",  " Rate 2/3",
                       " Rate 1/1", " Rate 21/44", " Rate 5/16", " Rate 0.95"};
const Entries kModulations{" BPSK", " QPSK", " OQPSK", " 8-PSK", " 16-QAM", " 8-QAM"};
const Entries kQamVariants{" 16-QAMa", " 16-QAMb", " 16-QAMc", " 16-QAMd", " 16-QAMe"};
const Entries kModulationCodes{"0", "1", "2", "3", "4", "5", "A", "B", "C", "D", "E"};
const Entries kReedSolomon{" Normal     (200/180)", " IESS-310 (219/201)"};
const Entries kInterfaces{" RS422", " V.35", " RS232", " G.703 B", " G.703 U", " Audio", " LVDS"};
const Entries kTxFraming{" None", " IBS", " IDR", " Drop", " OBLIX", " D&I++"};
const Entries kRxFraming{" None", " IBS", " IDR", " Insert", " OBLIX", " D&I++"};
const Entries kTernary{" AMI", " B8ZS", " B6ZS", " HDB3"};
const Entries kEscTypes{" 64k data channel", " 2 Audio channels"};
const Entries kImpedances{" 50 ohm", " 75 ohm"};
const Entries kVolumes{" -6", " -4", " -2", " +0", " +2", " +4", " +6"};
const Entries kVolumeCodes{"-6", "-4", "-2", "+0", "+2", "+4", "+6"};
const Entries kTxClocks{" Internal", " Tx Terrestrial (TT)", " Rx Loop-Timed", " External Clock"};
const Entries kRxClocks{" Rx Satellite", " Tx Terrestrial (TT)", " External Clock", " Insert"};
const Entries kMasterReferences{" Internal",       " External 1 MHz",  " External 2 MHz",
                                " External 5 MHz", " External 10 MHz", " External 20 MHz"};
const Entries kTxBackward{" Off", " S/W", " H/W"};
const Entries kEsc{" Off", " On"};
const Entries kBauds{" 1200", " 2400", " 4800", " 9600", " 19200", " 38400"};
const Entries kFormats{" 8N1", " 7E2", " 7O2"};
const Entries kTestModes{" Normal",      " Tx CW",       " Tx alt 101010",
                         " IF loopback", " RF loopback", " Digital Loopback",
                         " I/O loopback"};
const Entries kRemoteStates{" Local mode", " Remote mode"};
const Entries kAupc{" Manual", " AUPC"};
const Entries kAupcLow{" Manual-low", " AUPC-low"};
const Entries kDropTypes{" T1-D4", " T1-ESF", " E1-CCS", " E1-CAS"};
const Entries kLnbVoltages{" 13 volts", " 18 volts", " 24 volts"};
const Entries kInputs{" Unbalanced", " Balanced"};
const Entries kInputCodes{"U", "B"};

} // namespace u370

using namespace u370;
using namespace ModemEntries;

FamilyDescription Mqx370Window::Describe() const {
    FamilyDescription f = ModemFamily();
    f.memory.preview = ConfigPreview();
    f.remoteStateRereads = true;
    if (IsL()) {
        f.memory.preludes.push_back("OGC?");
        f.memory.preludePreviews.push_back(OduPreview());
    }
    if (HasDropInsert()) {
        f.memory.preludes.push_back("DNI?");
        f.memory.preludePreviews.push_back(DropInsertPreview());
    }
    return f;
}

// ---- the configuration boxes -----------------------------------------------------------

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<BoxRow> Mqx370Window::ConfigBoxes() const {
    namespace Row = ModemRows;
    using K = BoxKind;
    const auto N = Source::None;
    const auto O = Source::Odu;
    const auto R = Gate::Remote;
    const int specials = options_[8] - '0';
    const bool ldpc = options_[0] - '0' >= 2 || specials >= 2;
    Entries fecTx = kFecTx, fecRx = kFecRx, modulations = kModulations;
    if (!ldpc) {
        fecTx.pop_back(); // " LDPC"
        fecRx.pop_back();
        modulations.pop_back(); // " 8-QAM"
    }
    if (specials >= 2)
        modulations.insert(modulations.end(), kQamVariants.begin(), kQamVariants.end());
    Entries aupc = kAupc;
    if (IsL() && options_[9] == '1')
        aupc.insert(aupc.end(), kAupcLow.begin(), kAupcLow.end());

    // The frequencies: the L-band units keep them as eight digits with no point.
    const auto frequency = [this](bool tx) {
        BoxRow b = Row::Frequency(tx, tx ? 1 : 41, 8, IsL() ? 9 : 8, {}, "");
        b.rangesNow = [this] { return FrequencyRanges(); };
        b.promptNow = [this, tx] { return FrequencyPrompt(tx); };
        if (IsL())
            b.form = [](const std::string& f) {
                return RealText(ParseReal(f.substr(0, 4) + "." + f.substr(4)).value, 9, 4);
            };
        return b;
    };
    // The data rates: "AU" in the seventh and eighth characters marks an auxiliary rate.
    const auto rate = [this](bool tx) {
        BoxRow b = Row::DataRate(tx, tx ? 9 : 49, 9, 9, 9, {}, "");
        b.reread = Reread::At(kReferenceRead);
        b.rangesNow = [this, tx] {
            return std::vector<Range>{{tx ? txMin_ : rxMin_, tx ? txMax_ : rxMax_}};
        };
        b.promptNow = [this, tx] {
            return std::string(tx ? "Enter Tx data rate, between "
                                  : "Enter Rx data rate, between ") +
                   LimitText(tx ? txMin_ : rxMin_) + " and " + LimitText(tx ? txMax_ : rxMax_) +
                   " kbps";
        };
        b.form = [](const std::string& f) {
            const std::string digits = f.substr(6, 2) == "AU" ? f.substr(0, 6) + "000" : f;
            return RealField(digits, 1, 9, 3, 9);
        };
        return b;
    };
    const auto rateList = [](bool tx) {
        return BoxRow{.control = tx ? "ConfTRL" : "ConfRRL",
                      .caption = "Data Rate (kbps)",
                      .kind = K::Combo,
                      .group = tx ? "GrpTx" : "GrpRx",
                      .source = Source::None,
                      .command = tx ? "TDR" : "RDR",
                      .value = Value::Custom,
                      .confirm = tx ? "Tx data rate to " : "Rx data rate to ",
                      .unit = " kbps",
                      .reread = Reread::At(kReferenceRead)};
    };
    const auto withCodes = [](BoxRow b, Entries codes) {
        b.codes = std::move(codes);
        return b;
    };
    const auto rereading = [](BoxRow b, Reread step) {
        b.reread = step;
        return b;
    };
    BoxRow power = Row::PowerLevel(24, -20);
    power.rangesNow = [this] { return std::vector<Range>{{PowerLow(), PowerHigh()}}; };
    power.promptNow = [this] {
        return "Enter Tx power level, between " + LimitText(PowerLow()) + " and " +
               LimitText(PowerHigh()) + " dBm, resolution 0.1 dB";
    };
    BoxRow target = Row::AupcTarget();
    target.source = Source::Config;
    target.pos = 31;
    target.len = 3;
    target.form = AupcTargetText;
    BoxRow reference = Row::Reference(92, "EFR");
    reference.models = kModel370;
    BoxRow masterReference = Row::Reference(92, "MRC");
    masterReference.models = kModelL;
    masterReference.caption = "Master reference";
    masterReference.entries = kMasterReferences;
    masterReference.confirm = "Master reference to";
    masterReference.reread = Reread::Panel();

    // A framing change re-reads the drop and insert set-up, where the unit has it.
    const Reread framingReread = HasDropInsert() ? Reread::At(kDniReadStep) : Reread::Full();
    const auto combo = [](const char* control, const char* caption, const char* group,
                          Entries entries, int pos, const char* command, const char* confirm,
                          Reread reread = Reread::Panel()) {
        return BoxRow{.control = control,
                      .caption = caption,
                      .kind = K::Combo,
                      .group = group,
                      .entries = std::move(entries),
                      .pos = pos,
                      .command = command,
                      .confirm = confirm,
                      .reread = reread};
    };
    const auto volume = [](const char* control, const char* caption, const char* group, int pos,
                           const char* command, const char* confirm) {
        return BoxRow{.control = control,
                      .caption = caption,
                      .kind = K::Combo,
                      .group = group,
                      .entries = kVolumes,
                      .codes = kVolumeCodes,
                      .unknownEntry = 0,
                      .pos = pos,
                      .len = 2,
                      .command = command,
                      .value = Value::Position,
                      .confirm = confirm};
    };
    const auto impedance = [](bool tx) {
        return BoxRow{.control = tx ? "ConfTIP" : "ConfRIP",
                      .caption = tx ? "Tx" : "Rx",
                      .kind = K::Combo,
                      .group = "GrpImpedance",
                      .entries = kImpedances,
                      .pos = tx ? 40 : 79,
                      .command = tx ? "TIP" : "RIP",
                      .value = Value::Custom,
                      .confirm = tx ? "Tx Impedance to" : "Rx Impedance to",
                      .reread = Reread::Full()};
    };
    const auto odu = [](const char* control, const char* caption, Entries entries, int pos,
                        const char* command, std::string confirm, Reread reread = Reread::Panel()) {
        return BoxRow{.control = control,
                      .caption = caption,
                      .kind = K::Combo,
                      .group = "GrpOdu",
                      .entries = std::move(entries),
                      .source = Source::Odu,
                      .pos = pos,
                      .command = command,
                      .confirm = std::move(confirm),
                      .reread = reread};
    };
    const auto current = [](const char* control, const char* caption, int pos, int len,
                            const char* command, Range range, double resolution,
                            const char* prompt) {
        BoxRow b =
            ModemRows::Current(control, caption, pos, len, command, range, resolution, prompt);
        b.confirmation = Confirmation::Never; // R boxes go out without a question
        return b;
    };
    constexpr const char* kBucPrompt =
        "Enter current value, integer between 0 and 4000 (mA), resolution 100 (mA)";
    constexpr const char* kLnbPrompt = "Enter current value, integer between 0 and 500 (mA)";

    // clang-format off
    std::vector<BoxRow> rows{
        // ---- transmit
        frequency(true),
        rate(true),
        rateList(true),
        Row::FecType(true, 18, fecTx),
        combo("ConfTRS", "Reed-Solomon", "GrpTx", kReedSolomon, 19, "TRS", "Tx Reed-Sol setting to"),
        Row::FecCoding(true, 20, kCodings),
        withCodes(Row::Modulation(true, 21, modulations), kModulationCodes),
        Row::Spectrum(true, 22),
        Row::Scrambler(true, 23),
        power,
        Row::Carrier(36),
        Row::Aupc(28, aupc),
        combo("ConfTIT", "Interface", "GrpTx", kInterfaces, 37, "TIT", "Tx Interface type to", Reread::Full()),
        combo("ConfTTC", "Ternary code", "GrpTx", kTernary, 38, "TTC", "Tx Ternary code to"),
        combo("ConfTFM", "Framing", "GrpTx", kTxFraming, 39, "TFM", "Tx framing mode to",
              framingReread),
        combo("ConfTET", "IDR ESC type", "GrpTx", kEscTypes, 115, "TET", "IDR Tx ESC type to"),
        // ---- receive
        frequency(false),
        rate(false),
        rateList(false),
        Row::FecType(false, 58, fecRx),
        combo("ConfRRS", "Reed-Solomon", "GrpRx", kReedSolomon, 59, "RRS", "Rx Reed-Sol setting to"),
        Row::FecCoding(false, 60, kCodings),
        withCodes(Row::Modulation(false, 61, modulations), kModulationCodes),
        Row::Spectrum(false, 62),
        Row::Scrambler(false, 63),
        Row::Sweep(64, 2, 32),
        Row::EbNoAlarm(67),
        combo("ConfRIT", "Interface", "GrpRx", kInterfaces, 76, "RIT", "Rx Interface type to", Reread::Full()),
        combo("ConfRTC", "Ternary code", "GrpRx", kTernary, 77, "RTC", "Rx Ternary code to"),
        combo("ConfRFM", "Framing", "GrpRx", kRxFraming, 78, "RFM", "Rx framing mode to",
              framingReread),
        combo("ConfRET", "IDR ESC type", "GrpRx", kEscTypes, 116, "RET", "IDR Rx ESC type to"),
        // ---- clocks and reference
        rereading(Row::ClockSource(35, kTxClocks), Reread::At(kReferenceRead)),
        combo("ConfRCK", "Rx Clock Mode", "GrpClocks", kRxClocks, 66, "RCK", "Rx clock mode to"),
        {.control = "ConfRBS", .caption = "Buffer size (bytes)", .kind = K::Edit,
         .group = "GrpClocks", .pos = 71, .len = 5, .show = Show::Int, .command = "RBS",
         .value = Value::Digits, .cmdWidth = 5, .ranges = {{16, 32768}}, .resolution = 2,
         .integer = true,
         .prompt = "Enter buffer size, an integer value between 16 and 32768, increment 2",
         .error = "ERROR: Bad buffer size. Please correct it", .confirm = "Buffer size to ",
         .unit = " bytes"},
        reference,
        masterReference,
        Row::Adjust(),
        {.control = "ConfREF", .caption = "Ext reference (MHz)", .kind = K::Edit,
         .group = "GrpClocks", .source = N, .show = Show::Real, .width = 9, .decimals = 3,
         .command = "REF", .value = Value::Real, .cmdWidth = 9, .cmdDecimals = 3,
         // The command carries MHz with three decimals: whole kHz, of which 3 kHz is the
         // lowest the reference input takes (2.4 kHz).
         .ranges = {{0.003, 20}}, .resolution = 0.001,
         .prompt = "Enter Ext Ref Freq, between 3 kHz and 20 MHz, in whole kHz",
         .error = "ERROR: Bad value. The unit takes whole kHz from 3 kHz to 20 MHz. Please "
                  "correct it",
         .confirm = "Ext REF to",
         .unit = " MHz,", .retry = Reread::At(kReferenceRead)},
        {.control = "ConfREFInput", .caption = "Ext reference input", .kind = K::Combo,
         .group = "GrpClocks", .entries = kInputs, .codes = kInputCodes, .source = N,
         .command = "REF", .confirm = "Ext REF to", .retry = Reread::At(kReferenceRead)},
        // ---- unit
        Row::RemoteState(kRemoteStates),
        Row::CircuitId(40),
        Row::TestMode(85, kTestModes),
        Row::StatsLog(93),
        rereading(Row::OduComms(Source::Config, 96, "ODU"), Reread::At(kOduRead)),
        Row::OblixMode(80),
        Row::SlaveAddress(81),
        impedance(true),
        impedance(false),
        // ---- ESC
        combo("ConfESC", "ESC", "GrpEsc", kEsc, 80, "ESC", "ESC to", Reread::Full()),
        rereading(combo("ConfSCPBaud", "Baud", "GrpEsc", kBauds, 81, "SCP", "ESC parameters to"), Reread::Full()),
        rereading(combo("ConfSCPFormat", "Format", "GrpEsc", kFormats, 82, "SCP", "ESC parameters to"), Reread::Full()),
        // ---- audio
        volume("ConfTVL1", "Tx volume 1", "GrpAudio", 105, "TVL", "Tx audio volume to"),
        volume("ConfTVL2", "Tx volume 2", "GrpAudio", 107, "TVL", "Tx audio volume to"),
        volume("ConfRVL1", "Rx volume 1", "GrpAudio", 109, "RVL", "Rx audio volume to"),
        volume("ConfRVL2", "Rx volume 2", "GrpAudio", 111, "RVL", "Rx audio volume to"),
        // ---- AUPC parameters (one "APP=" command for the four)
        target,
        Row::AupcIncrease(34),
        Row::AupcAtMaximum(29),
        Row::AupcAtUnlock(30),
        // ---- drop and insert: the types and terrestrial alarms (the channels are the
        // family's own tables)
        {.control = "ConfDTY", .caption = "Drop type", .kind = K::Combo,
         .group = "GrpDrop", .entries = kDropTypes, .source = N, .command = "DTY",
         .confirm = "Drop type to", .reread = Reread::At(kDniReadStep), .retry = Reread::At(kDniReadStep)},
        combo("ConfTTA", "Tx Terr Alarm", "GrpDrop", {" Active", " Masked"}, 95, "TTA", "Tx Terr Alarm to"),
        {.control = "ConfITY", .caption = "Insert type", .kind = K::Combo,
         .group = "GrpInsert", .entries = kDropTypes, .source = N, .command = "ITY",
         .confirm = "Insert type to", .reread = Reread::At(kDniReadStep), .retry = Reread::At(kDniReadStep)},
        combo("ConfRTE", "Rx Terr Alarm", "GrpInsert", kDisabledEnabled, 94, "RTE", "Rx Terr Alarm to"),
        {.control = "ConfDNILoop", .caption = "D+I Internal Loop", .kind = K::Combo,
         .group = "GrpDni", .entries = kOffOn, .source = N},
    };
    // Backward alarms: four Tx ("TBA=") and four Rx ("RBA=") boxes.
    for (int i = 1; i <= 4; ++i)
        rows.push_back(combo(("ConfTBA" + std::to_string(i)).c_str(),
                             ("Tx " + std::to_string(i)).c_str(), "GrpBkwd", kTxBackward,
                             96 + i, "TBA", "Tx Backward Alarms"));
    for (int i = 1; i <= 4; ++i)
        rows.push_back(combo(("ConfRBA" + std::to_string(i)).c_str(),
                             ("Rx " + std::to_string(i)).c_str(), "GrpBkwd", kOffOn, 100 + i,
                             "RBA", "Rx Backward Alarms"));
    // ---- ODU parameters (L-band)
    const std::vector<BoxRow> oduRows{
        Row::BucAddress(1, "OAD", "ODU address to "),
        odu("ConfOOP", "BUC output power", kDisabledEnabled, 3, "OOP", "BUC output power to"),
        odu("ConfOPL", "BUC power leveling", kDisabledEnabled, 4, "OPL", "BUC power leveling to"),
        odu("ConfODP", "BUC DC power supply", kDisabledEnabled, 5, "ODP", "BUC DC power supply to", Reread::At(kOduRead)),
        odu("ConfODR", "10 MHz Reference", kDisabledEnabled, 6, "ODR", "10 MHz Reference to"),
        {.control = "ConfOOD", .caption = "Carrier-on delay", .kind = K::Edit,
         .group = "GrpOdu", .source = O, .pos = 7, .len = 5, .show = Show::Text, .command = "OOD",
         .value = Value::Custom,
         .prompt = "Enter ODU carrier-on delay, in the form mm:ss, up to 20 minutes",
         .error = "ERROR: Bad value. Please correct it", .confirm = "ODU carrier-on delay to ",
         .gate = R},
        current("ConfODL","BUC current limit Low (mA)", 12, 4, "ODL", {0, 4000}, 100, kBucPrompt),
        current("ConfODH","BUC current limit High (mA)", 16, 4, "ODH", {0, 4000}, 100, kBucPrompt),
        odu("ConfLNV", "Voltage", kLnbVoltages, 24, "LNV", "LNB Voltage to"),
        odu("ConfLNB", "LNB DC power supply", kDisabledEnabled, 25, "LNB", "LNB DC power supply to", Reread::At(kOduRead)),
        odu("ConfLNR", "10 MHz Reference (LNB)", kDisabledEnabled, 26, "LNR", "LNB 10 MHz Reference to"),
        current("ConfLNL","LNB current limit Low (mA)", 27, 3, "LNL", {0, 250}, 0, kLnbPrompt),
        current("ConfLNH","LNB current limit High (mA)", 30, 3, "LNH", {0, 500}, 0, kLnbPrompt),
        Row::LoFrequency("ConfTLO","BUC LO frequency", 33, "TLO", "BUC Tx LO frequency to "),
        Row::LoMix("ConfTLOMix","BUC LO mix", 38, "TLO", "BUC Tx LO frequency to "),
        Row::LoFrequency("ConfRLO","LNB LO frequency", 39, "RLO", "BUC Rx LO frequency to "),
        Row::LoMix("ConfRLOMix","LNB LO mix", 44, "RLO", "BUC Rx LO frequency to "),
    };
    // clang-format on
    for (BoxRow b : oduRows) {
        b.models = kModelL;
        rows.push_back(std::move(b));
    }
    // The lists rebuilt from the configuration before their index is set.
    for (BoxRow& b : rows) {
        const bool tx = b.control == "ConfTRS" || b.control == "ConfTSC";
        if (b.control == "ConfTRS" || b.control == "ConfRRS")
            b.entriesNow = [this, tx] { return ReedSolomonEntries(tx); };
        if (b.control == "ConfTSC" || b.control == "ConfRDS")
            b.entriesNow = [this, tx] { return ScramblerEntries(tx); };
    }
    return rows;
}
#pragma GCC diagnostic pop

std::vector<CompositeRow> Mqx370Window::Composites() const {
    return {
        ModemRows::AupcCommand(),
        {"TBA", {"ConfTBA1", "ConfTBA2", "ConfTBA3", "ConfTBA4"}, {"Tx Backward Alarms"}},
        {"RBA", {"ConfRBA1", "ConfRBA2", "ConfRBA3", "ConfRBA4"}, {"Rx Backward Alarms"}},
        {"TVL",
         {"ConfTVL1", "',", "ConfTVL2"},
         {"Tx audio volume to", "$ConfTVL1", ",", "$ConfTVL2"}},
        {"RVL",
         {"ConfRVL1", "',", "ConfRVL2"},
         {"Rx audio volume to", "$ConfRVL1", ",", "$ConfRVL2"}},
        {"SCP",
         {"ConfSCPBaud", "ConfSCPFormat"},
         {"ESC parameters to", "$ConfSCPBaud", " baud,", "$ConfSCPFormat"}},
        {"REF", {"ConfREF", "ConfREFInput"}, {"Ext REF to", "$ConfREF", " MHz,", "#ConfREFInput"}},
        ModemRows::LoCommand("TLO", "ConfTLO", "ConfTLOMix", "BUC Tx LO frequency to "),
        ModemRows::LoCommand("RLO", "ConfRLO", "ConfRLOMix", "BUC Rx LO frequency to ")};
}

MaskLayout Mqx370Window::Masks() const {
    return {"GrpMasks",
            {{"MaskTxAis", "Tx AIS"},
             {"MaskRxAis", "Rx AIS"},
             {"MaskBuffer", "Buffer"},
             {"", "", '0'},
             {"MaskAgc", "Rx AGC"},
             {"MaskEbNo", "Eb/No"}},
            86,
            "MSK",
            "alarms masks"};
}

// ---- the status panel -------------------------------------------------------------------

std::vector<StatusGroup> Mqx370Window::StatusPanel() {
    constexpr int wide = 30;
    return {{"StatusLeft",
             "GrpReceive",
             "Receive",
             {{"StaEbNo", "Eb/No"},
              {"StaFreqOffset", "Freq Offset"},
              {"StaBER", "BER"},
              {"StaBFS", "Buffer Fill State"},
              {"StaRSL", "Receive Signal Level"},
              {"StaRED", "Redundancy "},
              {"StaTMP", "Temperature"}}},
            {"StatusLeft",
             "GrpFaults",
             "Faults",
             {{"StaUnit", "Unit", wide},
              {"StaTx", "Tx", wide},
              {"StaRx", "Rx", wide},
              {"StaONet", "Open Network", wide},
              {"StaTXO", "Tx carrier"},
              {"StaCTD", ""},
              {"StaOUS", "Offline Unit Status"}}},
            {"StatusMid",
             "AupcStatus",
             "Automatic Uplink Power Control",
             {{"StaREB", "Eb/No of Remote Demodulator"}, {"StaPLI", "Tx Power Level Increase"}}},
            {"StatusMid",
             "UnitStatus",
             "Unit",
             {{"StaSNO", "Serial Number"},
              {"StaSWR", "S/W Versions"},
              {"StaHRV", "Hardware:"},
              {"StaLRS", "Local/Remote"},
              {"StaCID", "Circuit ID", 40},
              {"StaNUE", "Events Log, unread lines"},
              {"StaNUS", "Statistics Log, unread lines"}}},
            {"StatusRight",
             "OduStatus",
             "ODU status",
             {{"StaODP", "BUC DC power"},
              {"StaFSK", "FSK link"},
              {"StaOOL", "BUC output power level"},
              {"StaODT", "BUC temperature"},
              {"StaOLL", "BUC phase lock loop"},
              {"StaODC", "BUC current"},
              {"StaOSV", "BUC software version"},
              {"StaOPC", "BUC power"},
              {"StaODV", "BUC voltage"},
              {"StaLNC", "LNB current"},
              {"StaOTP", "Tx target power"}}}};
}

} // namespace linvar
