// The MQX-350 family as data: its description, the entries of its drop-downs, one row a
// configuration box, the commands built from several boxes, the alarm masks and the
// memory previews.

#include "detail/U350Tables.h"
#include "detail/U350.h"

#include "protocol/FaultTables.h"
#include "protocol/TextFormats.h"

namespace linvar {

namespace u350 {

using namespace ModemEntries;

const Entries kInterfaces{" EIA-422",
                          " V.35",
                          " EIA-232",
                          " G.703 T1 AMI",
                          " G.703 T1 B8ZS",
                          " G.703 E1 unbal AMI",
                          " G.703 E1 unbal HDB3",
                          " G.703 E1 bal AMI",
                          " G.703 E1 bal HDB3",
                          " IP"};
const Entries kBuildOut{"     0-133 feet", " 133-266 feet", " 266-399 feet", " 399-533 feet",
                        " 533-655 feet"};
const Entries kFraming{" None", " OBLIX", " OBLIX-2"};
const Entries kFecTypes{" None, diff-encoder on",
                        " Viterbi",
                        " Viterbi + Reed-Solomon",
                        " reserved",
                        " reserved",
                        " TCM + Reed-Solomon",
                        " TPC",
                        " LDPC"};
const Entries kModulations{" BPSK", " QPSK", " OQPSK", " 8-PSK", " 16-QAM", " 8-QAM"};
const Entries kCodings{" Rate 5/16", " Rate 21/44", " Rate 1/2",  " Rate 2/3",
                       " Rate 3/4",  " Rate 7/8",   " Rate 0.95", " Rate 1/1"};
const Entries kClockSources{" Internal", " Tx Terrestrial (TT)", " Rx Loop-Timed"};
const Entries kCarrier{" Off", " On", " RTI"};
const Entries kAtMaximum{" No action", " Generate TX alarm"};
const Entries kAtUnlock{" Go to Nominal Power", " Go to Maximum Power"};
const Entries kIncrease{" 0 dB", " 1 dB", " 2 dB", " 3 dB", " 4 dB",
                        " 5 dB", " 6 dB", " 7 dB", " 8 dB", " 9 dB"};
const Entries kClockExtModes{" None", " Tx-Lock", " Rx-Enable"};
const Entries kClockExtInterfaces{" T1", " E1-Balanced", " E1-Unbalanced"};
const Entries kBuffers{" +/-   1024 bits",  " +/-   2048 bits",  " +/-   4096 bits",
                       " +/-   8192 bits",  " +/- 16384 bits",   " +/- 32768 bits",
                       " +/-     128 bits", " +/-     256 bits", " +/-     512 bits"};
const Entries kReferences{" Internal", " Ext 1MHz",  " Ext 2MHz",
                          " Ext 5MHz", " Ext 10MHz", " Ext 20MHz"};
const Entries kOblix{" OBLIX idle", " OBLIX Master"};
const Entries kTestModes{" Normal",      " IF Loopback", " Digital Loopback", " I/O Loopback",
                         " RF Loopback", " Tx CW",       " Tx alt 101010"};
const Entries kRts{" RTS/CTS loop;  No action", " Loop;  RTS controls Tx O/P",
                   " Ignore RTS;  Assert CTS"};
const Entries kStatsLog{" Disabled",   " 10 minutes", " 20 minutes", " 30 minutes", " 40 minutes",
                        " 50 minutes", " 60 minutes", " 70 minutes", " 80 minutes", " 90 minutes"};
const Entries kRemoteStates{" Local mode", " Serial Remote", " reserved index", " Ethernet Remote"};
const Entries kLockOut{" No lock-out", " Front-panel Lock-out"};
const Entries kBucAddresses{"1", "2",  "3",  "4",  "5",  "6",  "7", "8",
                            "9", "10", "11", "12", "13", "14", "15"};
const Entries kMix{"+", "-"};
const Entries kLnbPower{" Off", " On, 13 volts", " On, 18 volts", " On, 24 volts"};
const char* const kIess = " IESS-315";
const char* const kOblixSlave = " OBLIX slave";
const Entries kBucCodes{"01", "02", "03", "04", "05", "06", "07", "08",
                        "09", "10", "11", "12", "13", "14", "15"};

} // namespace u350

using namespace u350;
using namespace ModemEntries;

namespace {

constexpr const char* kBadFrequency = "ERROR: Bad frequency value. Please correct it";
constexpr const char* kBadRate = "ERROR: Bad data rate value. Please correct it";
constexpr const char* kBadCurrent = "ERROR: Bad current value. Please correct it";
constexpr const char* kBadLo = "ERROR: Bad LO frequency value. Please correct it";
constexpr const char* kLoPrompt = "Enter LO frequency, integer between 3000 and 65000 MHz, or 0";

std::string Number(double v) {
    std::string s = DetailWindow::FixedReal(v, 1);
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0)
        s.resize(s.size() - 2);
    return s;
}

// What the two models differ in; the rows name these, not the model.
struct ModelLimits {
    std::vector<Range> freq;
    std::string band;
    double powerLow;
    int sweepMax;
};

const ModelLimits& LimitsOf(bool l) {
    static const ModelLimits m350{{{50, 90}, {100, 180}}, "50-90 MHz or 100-180 MHz", -25, 32};
    static const ModelLimits m351{{{950, 1950}}, "950-1950 MHz", -40, 200};
    return l ? m351 : m350;
}

} // namespace

FamilySpec TDetail350::Describe() const {
    FamilySpec f = ModemFamily();
    f.replies.plusClass = true;
    f.memory.preview = ConfigPreview();
    if (IsL()) {
        f.memory.preludes = {"OGC?"};
        f.memory.preludePreviews = {OduPreview()};
    }
    return f;
}

// ---- the configuration boxes -----------------------------------------------------------

// The table: one row a box. Fields left out keep BoxSpec's defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<BoxSpec> TDetail350::ConfigBoxes() const {
    const ModelLimits& m = LimitsOf(IsL());
    const std::vector<Range>& freq = m.freq;
    const std::string& band = m.band;
    const double powerLow = m.powerLow;
    const int sweepMax = m.sweepMax;
    Entries modulations = kModulations;
    if (options_[6] == '0')
        modulations.pop_back(); // no " 8-QAM" without the modulation option
    const std::string ratePrompt =
        "Enter Tx data rate, between 2.4 and " + Number(rateMax_) + " kbps";
    const std::string rxRatePrompt =
        "Enter Rx data rate, between 2.4 and " + Number(rateMax_) + " kbps";
    const auto C = Source::Config;
    const auto O = Source::Odu;
    const auto N = Source::None;
    const auto R = Gate::Remote;
    const unsigned m350 = kModel350;
    const unsigned m351 = kModel351;
    using K = BoxKind;

    // clang-format off
    return {
        // ---- transmit
        {.tag = 1, .control = "ConfTFQ", .caption = "Tx Frequency", .kind = K::Edit,
         .group = "GrpTx", .source = C, .pos = 4, .len = 9, .show = Show::Real, .width = 9,
         .decimals = 4, .command = "TFQ", .value = Value::Real, .cmdWidth = 9, .cmdDecimals = 4,
         .ranges = freq, .resolution = 0.0001,
         .prompt = "Enter Tx frequency, " + band + ", resolution 100 Hz", .error = kBadFrequency,
         .confirm = "Tx frequency to", .unit = " MHz"},
        {.tag = 1, .control = "ConfTFT", .caption = "FEC type", .kind = K::Combo, .group = "GrpTx",
         .entries = kFecTypes, .pos = 13, .command = "TFT", .confirm = "Tx FEC type to",
         .reread = 9},
        {.tag = 3, .control = "ConfTMD", .caption = "Modulation", .kind = K::Combo,
         .group = "GrpTx", .entries = modulations, .pos = 14, .command = "TMD",
         .confirm = "Tx modulation to", .reread = 9},
        {.tag = 2, .control = "ConfTCR", .caption = "FEC coding", .kind = K::Combo,
         .group = "GrpTx", .entries = kCodings, .pos = 15, .command = "TCR",
         .confirm = "Tx FEC rate to", .reread = 9},
        {.tag = 2, .control = "ConfTDR", .caption = "Data Rate (kbps)", .kind = K::Edit,
         .group = "GrpTx", .pos = 16, .len = 8, .show = Show::Real, .width = 8, .decimals = 3,
         .command = "TDR", .value = Value::Real, .cmdWidth = 8, .cmdDecimals = 3,
         .ranges = {{2.4, rateMax_}}, .prompt = ratePrompt, .error = kBadRate,
         .confirm = "Tx data rate to", .unit = " kbps", .reread = 9},
        {.tag = 5, .control = "ConfTSI", .caption = "Spectrum", .kind = K::Combo, .group = "GrpTx",
         .entries = kNormalInverted, .pos = 24, .command = "TSI", .confirm = "Tx spectrum to"},
        {.tag = 6, .control = "ConfTSC", .caption = "Scrambler", .kind = K::Combo, .group = "GrpTx",
         .entries = kOffOn, .pos = 25, .command = "TSC", .confirm = "Tx scrambler to"},
        {.tag = 3, .control = "ConfTPL", .caption = "Power Level (dBm)", .kind = K::Edit,
         .group = "GrpTx", .pos = 26, .len = 4, .show = Show::NegReal, .width = 4, .decimals = 1,
         .command = "TPL", .value = Value::NegReal, .cmdWidth = 4, .cmdDecimals = 1,
         .ranges = {{powerLow, 0}}, .resolution = 0.1,
         .prompt = "Enter Tx power level, between " + Number(powerLow) + " and 0 dBm, resolution 0.1 dB",
         .error = "ERROR: Bad power level rate value. Please correct it",
         .confirm = "Tx power level to -", .unit = " dBm"},
        {.tag = 15, .control = "ConfTDI", .caption = "Tx Data", .kind = K::Combo, .group = "GrpTx",
         .entries = kNormalInverted, .pos = 31, .command = "TDI", .confirm = "Tx Data to"},
        {.tag = 8, .control = "ConfTXO", .caption = "Tx Carrier", .kind = K::Combo,
         .group = "GrpTx", .entries = kCarrier, .pos = 32, .command = "TXO",
         .confirm = "Tx carrier setting to"},
        {.tag = 51, .control = "ConfAUP", .caption = "AUPC", .kind = K::Combo, .group = "GrpTx",
         .entries = kDisabledEnabled, .pos = 33, .command = "AUP", .confirm = "AUPControl to",
         .reread = 9},
        {.tag = 12, .control = "ConfWUD", .caption = "Warm-up Delay", .kind = K::Combo,
         .group = "GrpTx", .entries = kDisabledEnabled, .pos = 40, .command = "WUD",
         .confirm = "Warm-up Delay to"},
        // ---- receive
        {.tag = 4, .control = "ConfRFQ", .caption = "Rx Frequency", .kind = K::Edit,
         .group = "GrpRx", .pos = 48, .len = 9, .show = Show::Real, .width = 9, .decimals = 4,
         .command = "RFQ", .value = Value::Real, .cmdWidth = 9, .cmdDecimals = 4, .ranges = freq,
         .resolution = 0.0001, .prompt = "Enter Rx frequency, " + band + ", resolution 100 Hz",
         .error = kBadFrequency, .confirm = "Rx frequency to", .unit = " MHz"},
        {.tag = 21, .control = "ConfRFT", .caption = "FEC type", .kind = K::Combo, .group = "GrpRx",
         .entries = kFecTypes, .pos = 57, .command = "RFT", .confirm = "Rx FEC type to",
         .reread = 9},
        {.tag = 23, .control = "ConfRMD", .caption = "Modulation", .kind = K::Combo,
         .group = "GrpRx", .entries = modulations, .pos = 58, .command = "RMD",
         .value = Value::HexIndex, .confirm = "Rx modulation type to", .reread = 9},
        {.tag = 22, .control = "ConfRCR", .caption = "FEC coding", .kind = K::Combo,
         .group = "GrpRx", .entries = kCodings, .pos = 59, .command = "RCR",
         .confirm = "Rx FEC rate to", .reread = 9},
        {.tag = 5, .control = "ConfRDR", .caption = "Data Rate (kbps)", .kind = K::Edit,
         .group = "GrpRx", .pos = 60, .len = 8, .show = Show::Real, .width = 8, .decimals = 3,
         .command = "RDR", .value = Value::Real, .cmdWidth = 8, .cmdDecimals = 3,
         .ranges = {{2.4, rateMax_}}, .prompt = rxRatePrompt, .error = kBadRate,
         .confirm = "Rx data rate to", .unit = " kbps", .reread = 9},
        {.tag = 25, .control = "ConfRSI", .caption = "Spectrum", .kind = K::Combo, .group = "GrpRx",
         .entries = kNormalInverted, .pos = 68, .command = "RSI", .confirm = "Rx spectrum to"},
        {.tag = 26, .control = "ConfRDS", .caption = "De-scrambler", .kind = K::Combo,
         .group = "GrpRx", .entries = kOffOn, .pos = 69, .command = "RDS",
         .confirm = "Rx De-scrambler to"},
        {.tag = 35, .control = "ConfRDI", .caption = "Rx Data", .kind = K::Combo, .group = "GrpRx",
         .entries = kNormalInverted, .pos = 70, .command = "RDI", .confirm = "Rx Data to"},
        {.tag = 6, .control = "ConfRSW", .caption = "Sweep Width (kHz)", .kind = K::Edit,
         .group = "GrpRx", .pos = 71, .len = 3, .show = Show::Int, .command = "RSW",
         .value = Value::Digits, .cmdWidth = 3, .ranges = {{1, double(sweepMax)}}, .integer = true,
         .prompt = "Enter Rx demodulator acquisition sweep width, integer between 1 and " + std::to_string(sweepMax) + " kHz",
         .error = "ERROR: Bad sweep width. Please correct it", .confirm = "Rx sweep width to +/-",
         .unit = " kHz"},
        {.tag = 10, .control = "ConfEBA", .caption = "Eb/No Alarm Pt (dB)", .kind = K::Edit,
         .group = "GrpRx", .pos = 74, .len = 4, .show = Show::Real, .width = 4, .decimals = 1,
         .command = "EBA", .value = Value::Real, .cmdWidth = 4, .cmdDecimals = 1,
         .ranges = {{0.1, 16}}, .resolution = 0.1,
         .prompt = "Enter Eb/No alarm point, between 0.1 and 16 dB, resolution 0.1 dB",
         .error = "ERROR: Bad alarm point value. Please correct it",
         .confirm = "Eb/No alarm point to", .unit = " dB"},
        // ---- clocks
        {.tag = 7, .control = "ConfTCK", .caption = "Tx Clock Source", .kind = K::Combo,
         .group = "GrpClocks", .entries = kClockSources, .pos = 30, .command = "TCK",
         .confirm = "Tx clock source to", .reread = 9},
        {.tag = 34, .control = "ConfRBS", .caption = "Buffer Size", .kind = K::Combo,
         .group = "GrpClocks", .entries = kBuffers, .pos = 78, .command = "RBS",
         .confirm = "Rx Buffer size to"},
        {.tag = 130, .control = "ConfERF", .caption = "Reference", .kind = K::Combo,
         .group = "GrpClocks", .entries = kReferences, .pos = 87, .command = "ERF",
         .confirm = "Reference to", .reread = 9},
        {.tag = 131, .control = "ConfADJ", .caption = "Adjust", .kind = K::Edit,
         .group = "GrpClocks", .source = N, .show = Show::Int, .command = "ADJ",
         .value = Value::SignedDigits, .cmdWidth = 3, .ranges = {{-999, 999}}, .integer = true,
         .prompt = "Enter Adjust value for Hi-Stability Reference, integer of +/-999",
         .error = "ERROR: Bad value. Please correct it", .gate = R},
        // ---- unit
        {.tag = 41, .control = "ConfLRS", .caption = "Local/Remote", .kind = K::Combo,
         .group = "GrpUnit", .entries = kRemoteStates, .source = N, .command = "LRS",
         .gate = Gate::Always, .retry = 5},
        {.tag = 7, .control = "ConfCID", .caption = "Circuit ID", .kind = K::Edit,
         .group = "GrpUnit", .source = N, .show = Show::Text, .command = "CID",
         .value = Value::Upper, .cmdWidth = 24,
         .prompt = "Enter Circuit ID, up to 40 chars, including )(*+-., 0 to 9, A to Z (ALL CAPITALS)",
         .confirm = "Circuit ID to ", .retry = 1},
        {.tag = 10, .control = "ConfITF", .caption = "Interface", .kind = K::Combo,
         .group = "GrpUnit", .entries = kInterfaces, .pos = 1, .command = "ITF",
         .confirm = "Interface type to", .reread = 9},
        {.tag = 4, .control = "ConfLBO", .caption = "T1 Line Build-out", .kind = K::Combo,
         .group = "GrpUnit", .entries = kBuildOut, .pos = 2, .command = "LBO",
         .confirm = "Line Build-out to"},
        {.tag = 9, .control = "ConfFRM", .caption = "Framing", .kind = K::Combo, .group = "GrpUnit",
         .entries = kFraming, .pos = 3, .command = "FRM", .confirm = "Framing mode to",
         .reread = 9},
        {.tag = 42, .control = "ConfEFM", .caption = "OBLIX mode", .kind = K::Combo,
         .group = "GrpUnit", .entries = kOblix, .pos = 88, .command = "EFM", .reread = 105},
        {.tag = 8, .control = "ConfESA", .caption = "Slave address", .kind = K::Edit,
         .group = "GrpUnit", .pos = 89, .len = 4, .show = Show::Int, .command = "ESA",
         .value = Value::Digits, .cmdWidth = 4, .ranges = {{0, 9990}}, .resolution = 10,
         .integer = true,
         .prompt = "Enter OBLIX slave address range, 4 digits max, integer multiple of 10",
         .error = "ERROR: Bad slave address value. Please correct it", .gate = R},
        {.tag = 43, .control = "ConfTST", .caption = "Test Mode", .kind = K::Combo,
         .group = "GrpUnit", .entries = kTestModes, .pos = 93, .command = "TST",
         .value = Value::Custom, .confirm = "Unit Test Mode to"},
        {.tag = 11, .control = "ConfRTS", .caption = "Request-to-Send", .kind = K::Combo,
         .group = "GrpUnit", .entries = kRts, .pos = 106, .command = "RTS",
         .confirm = "RTS control to"},
        {.tag = 45, .control = "ConfSSI", .caption = "Statistics Log", .kind = K::Combo,
         .group = "GrpUnit", .entries = kStatsLog, .pos = 107, .command = "SSI",
         .confirm = "Statistics Log Interval to"},
        {.tag = 16, .control = "ConfABA", .caption = "Attach BUC alarm to Tx fault",
         .kind = K::Combo, .group = "GrpUnit", .entries = kNoYes, .pos = 108, .command = "ABA",
         .confirm = "Attach BUC fault to Tx:"},
        {.tag = 17, .control = "ConfALA", .caption = "Attach LNB alarm to Rx fault",
         .kind = K::Combo, .group = "GrpUnit", .entries = kNoYes, .pos = 109, .command = "ALA",
         .confirm = "Attach LNB fault to Rx:"},
        {.tag = 13, .control = "ConfFPL", .caption = "Front-panel lock-out", .kind = K::Combo,
         .group = "GrpUnit", .entries = kLockOut, .source = N, .command = "FPL",
         .confirm = "Front panel lock-out to"},
        {.tag = 44, .control = "ConfODU", .caption = "FSK", .kind = K::Combo, .group = "GrpUnit",
         .entries = kDisabledEnabled, .models = m350, .source = N, .command = "ODU",
         .confirm = "ODU communications state to", .reread = 13},
        {.tag = 44, .control = "ConfODU", .caption = "FSK", .kind = K::Combo, .group = "GrpUnit",
         .entries = kDisabledEnabled, .models = m351, .source = O, .pos = 3, .command = "BCE",
         .confirm = "ODU communications state to"},
        {.tag = 15, .control = "ConfIPA", .caption = "IP address", .kind = K::Edit,
         .group = "GrpUnit", .source = N, .show = Show::Text, .command = "IPA",
         .value = Value::Typed, .prompt = "Enter IP address, format xxx.xxx.xxx.xxx.yy", .gate = R},
        // ---- clock extension
        {.tag = 46, .control = "ConfCEXMode", .caption = "Mode", .kind = K::Combo,
         .group = "GrpClockExt", .entries = kClockExtModes, .pos = 41, .command = "CEX",
         .confirm = "Clk Extension parameters"},
        {.tag = 46, .control = "ConfCEXItf", .caption = "Interface", .kind = K::Combo,
         .group = "GrpClockExt", .entries = kClockExtInterfaces, .pos = 42, .command = "CEX",
         .confirm = "Clk Extension parameters"},
        // ---- AUPC parameters (one "APP=" command for the four)
        {.tag = 9, .control = "ConfAPPc", .caption = "Target Eb/No (dB)", .kind = K::Edit,
         .group = "GrpAupc", .source = N, .show = Show::Real, .width = 3, .decimals = 1,
         .command = "APP", .value = Value::Encoded, .ranges = {{0, 14.9}}, .resolution = 0.1,
         .prompt = "Enter target Eb/No for the remote demod, between 0 and 14.9 dB",
         .error = "ERROR: Bad value. Please correct it", .confirm = "AUPC Eb/No target value to ",
         .unit = " dB", .validation = Validation::Round, .encode = AupcTargetCode},
        {.tag = 52, .control = "ConfAPI", .caption = "Maximum power increase", .kind = K::Combo,
         .group = "GrpAupc", .entries = kIncrease, .pos = 39, .command = "APP",
         .confirm = "max power increase permitted to"},
        {.tag = 53, .control = "ConfAPM", .caption = "Action at maximum power", .kind = K::Combo,
         .group = "GrpAupc", .entries = kAtMaximum, .pos = 34, .command = "APP",
         .confirm = "action on reaching max power to"},
        {.tag = 54, .control = "ConfAPU", .caption = "Action at remote demod unlock",
         .kind = K::Combo, .group = "GrpAupc", .entries = kAtUnlock, .pos = 35, .command = "APP",
         .confirm = "action on demod unlock to"},
        // ---- ODU parameters (MQX-350L)
        {.tag = 102, .control = "ConfBAD", .caption = "BUC address", .kind = K::Combo,
         .group = "GrpOdu", .entries = kBucAddresses, .codes = kBucCodes, .source = O, .pos = 1, .len = 2, .command = "BAD",
         .confirm = "ODU address to "},
        {.tag = 96, .control = "ConfBPC", .caption = "BUC DC power supply", .kind = K::Combo,
         .group = "GrpOdu", .entries = kDisabledEnabled, .source = O, .pos = 4, .command = "BPC",
         .confirm = "BUC DC power supply to"},
        {.tag = 99, .control = "ConfBFR", .caption = "10 MHz Reference (BUC)", .kind = K::Combo,
         .group = "GrpOdu", .entries = kDisabledEnabled, .source = O, .pos = 5, .command = "BFR",
         .confirm = "10 MHz Reference (BUC) to"},
        {.tag = 97, .control = "ConfBOE", .caption = "BUC output power", .kind = K::Combo,
         .group = "GrpOdu", .entries = kDisabledEnabled, .source = O, .pos = 6, .command = "BOE",
         .confirm = "BUC output power to"},
        {.tag = 101, .control = "ConfODL", .caption = "BUC current limit Low (mA)", .kind = K::Edit,
         .group = "GrpOdu", .source = O, .pos = 11, .len = 4, .show = Show::Int, .command = "BCL",
         .value = Value::Digits, .cmdWidth = 4, .ranges = {{0, 3000}}, .resolution = 100,
         .integer = true,
         .prompt = "Enter current value, integer between 0 and 3000 (mA), resolution 100 (mA)",
         .error = kBadCurrent, .gate = R},
        {.tag = 100, .control = "ConfODH", .caption = "BUC current limit High (mA)",
         .kind = K::Edit, .group = "GrpOdu", .source = O, .pos = 15, .len = 4, .show = Show::Int,
         .command = "BCH", .value = Value::Digits, .cmdWidth = 4, .ranges = {{500, 4000}},
         .resolution = 100, .integer = true,
         .prompt = "Enter current limit, integer between 500 and 4000 (mA), resolution 100 (mA)",
         .error = kBadCurrent, .gate = R},
        {.tag = 105, .control = "ConfBLO", .caption = "BUC LO frequency (MHz)", .kind = K::Edit,
         .group = "GrpOdu", .source = O, .pos = 19, .len = 5, .show = Show::Int, .command = "BLO",
         .value = Value::Digits, .cmdWidth = 5, .ranges = {{0, 0}, {3000, 65000}}, .integer = true,
         .prompt = kLoPrompt, .error = kBadLo, .confirm = "Tx LO frequency to ",
         .unit = " MHz, mix: "},
        {.tag = 105, .control = "ConfBLOMix", .caption = "BUC LO mix", .kind = K::Combo,
         .group = "GrpOdu", .entries = kMix, .codes = kMix, .unknownEntry = 1,
         .source = O, .pos = 24, .command = "BLO",
         .confirm = "Tx LO frequency to "},
        {.tag = 91, .control = "ConfLPC", .caption = "LNB DC power supply", .kind = K::Combo,
         .group = "GrpOdu", .entries = kLnbPower, .source = O, .pos = 31, .command = "LPC",
         .confirm = "LNB DC power supply to"},
        {.tag = 92, .control = "ConfLFR", .caption = "10 MHz Reference (LNB)", .kind = K::Combo,
         .group = "GrpOdu", .entries = kDisabledEnabled, .source = O, .pos = 32, .command = "LFR",
         .confirm = "10 MHz Reference (LNB) to"},
        {.tag = 95, .control = "ConfLNL", .caption = "LNB current limit Low (mA)", .kind = K::Edit,
         .group = "GrpOdu", .source = O, .pos = 33, .len = 3, .show = Show::Int, .command = "LCL",
         .value = Value::Digits, .cmdWidth = 3, .ranges = {{10, 400}}, .integer = true,
         .prompt = "Enter current limit, integer between 10 and 400 (mA)", .error = kBadCurrent,
         .gate = R},
        {.tag = 94, .control = "ConfLNH", .caption = "LNB current limit High (mA)", .kind = K::Edit,
         .group = "GrpOdu", .source = O, .pos = 36, .len = 3, .show = Show::Int, .command = "LCH",
         .value = Value::Digits, .cmdWidth = 3, .ranges = {{50, 600}}, .integer = true,
         .prompt = "Enter current limit, integer between 50 and 600 (mA)", .error = kBadCurrent,
         .gate = R},
        {.tag = 106, .control = "ConfLLO", .caption = "LNB LO frequency (MHz)", .kind = K::Edit,
         .group = "GrpOdu", .source = O, .pos = 39, .len = 5, .show = Show::Int, .command = "LLO",
         .value = Value::Digits, .cmdWidth = 5, .ranges = {{0, 0}, {3000, 65000}}, .integer = true,
         .prompt = kLoPrompt, .error = kBadLo, .confirm = "Rx LO frequency to ",
         .unit = " MHz, mix: "},
        {.tag = 106, .control = "ConfLLOMix", .caption = "LNB LO mix", .kind = K::Combo,
         .group = "GrpOdu", .entries = kMix, .codes = kMix, .unknownEntry = 1,
         .source = O, .pos = 44, .command = "LLO",
         .confirm = "Rx LO frequency to "},
    };
    // clang-format on
}
#pragma GCC diagnostic pop

std::vector<CompositeSpec> TDetail350::Composites() const {
    return {{"APP", {"ConfAPM", "ConfAPU", "ConfAPPc", "ConfAPI"}, {}},
            {"CEX", {"ConfCEXMode", "ConfCEXItf"}, {"Clk Extension parameters"}},
            {"BLO",
             {"ConfBLO", "ConfBLOMix"},
             {"Tx LO frequency to ", "$ConfBLO", " MHz, mix: ", "$ConfBLOMix"}},
            {"LLO",
             {"ConfLLO", "ConfLLOMix"},
             {"Rx LO frequency to ", "$ConfLLO", " MHz, mix: ", "$ConfLLOMix"}}};
}

MaskSpec TDetail350::Masks() const {
    return {"GrpMasks",
            {{"MaskTxFifo", "Tx FIFO"},
             {"MaskBpv", "G.703 BPV"},
             {"MaskTxAis", "Tx AIS"},
             {"MaskAgc", "Rx AGC"},
             {"MaskEbNo", "Eb/No"},
             {"MaskRxAis", "Rx AIS"},
             {"MaskBuffer", "Buffer"},
             {"MaskExtRef", "Ext Ref"},
             {"MaskBuc", "BUC"},
             {"MaskLnb", "LNB"},
             {"MaskLos", "G.703 LOS"},
             {"", "", '0'}},
            94,
            "MSK",
            "alarms masks"};
}

// ---- the status panel -------------------------------------------------------------------

std::vector<StatusGroup> TDetail350::StatusPanel() {
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
              {"StaODU", "ODU", wide},
              {"StaTXO", "Tx carrier"},
              {"StaCTD", ""},
              {"StaOUS", "Offline Unit Status"}}},
            {"StatusLeft",
             "OusBox",
             "Offline Unit Status (1:1 system)",
             {{"OusUnit", "Unit", wide},
              {"OusRx", "Rx", wide},
              {"OusTx", "Tx", wide},
              {"OusODU", "ODU", wide}}},
            {"StatusMid",
             "AupcStatus",
             "Automatic Uplink Power Control",
             {{"StaREB", "Eb/No of Remote Demodulator"}, {"StaPLI", "Tx Power Level Increase"}}},
            {"StatusMid",
             "UnitStatus",
             "Unit",
             {{"StaSNO", "Serial Number"},
              {"StaSWR", "S/W Versions", 36},
              {"StaLRS", "Local/Remote"},
              {"StaCID", "Circuit ID", 26},
              {"StaNUE", "Events Log, unread lines"},
              {"StaNUS", "Statistics Log, unread lines"},
              {"StaIMG", "Active Image"}}},
            {"StatusRight",
             "OduStatus",
             "350L ODU settings",
             {{"StaFSK", "FSK link"},
              {"StaBPC", "BUC DC power"},
              {"StaBDC", "BUC current"},
              {"StaBDV", "Voltage "},
              {"StaLPC", "LNB DC power"},
              {"StaLDC", "LNB current"},
              {"StaLDV", "Voltage"}}},
            {"StatusRight",
             "BucStatus",
             "350L BUC status",
             {{"StaBOL", "BUC output power level"},
              {"StaBUT", "BUC temperature"},
              {"StaBPA", "BUC phase lock loop"},
              {"StaBSV", "BUC software version"}}}};
}

} // namespace linvar
