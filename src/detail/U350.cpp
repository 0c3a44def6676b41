#include "detail/U350.h"

#include "logging/Print.h"
#include "protocol/FaultTables.h"
#include "protocol/PollCycle.h"
#include "protocol/TextFormats.h"

#include <cmath>
#include <map>

namespace linvar {

namespace {

using Entries = std::vector<std::string>;

// ---- the entries of the drop-down boxes ----------------------------------------------

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
const Entries kNormalInverted{" Normal", " Inverted"};
const Entries kOffOn{" Off", " On"};
const Entries kClockSources{" Internal", " Tx Terrestrial (TT)", " Rx Loop-Timed"};
const Entries kCarrier{" Off", " On", " RTI"};
const Entries kDisabledEnabled{" Disabled", " Enabled"};
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
const Entries kNoYes{" No", " Yes"};
const Entries kRemoteStates{" Local mode", " Serial Remote", " reserved index", " Ethernet Remote"};
const Entries kLockOut{" No lock-out", " Front-panel Lock-out"};
const Entries kBucAddresses{"1", "2",  "3",  "4",  "5",  "6",  "7", "8",
                            "9", "10", "11", "12", "13", "14", "15"};
const Entries kMix{"+", "-"};
const Entries kLnbPower{" Off", " On, 13 volts", " On, 18 volts", " On, 24 volts"};
const char* const kIess = " IESS-315";
const char* const kOblixSlave = " OBLIX slave";

// ---- fault decoders: one character in, text out (severity 1 for "0", else 3) ----------

struct FaultTable {
    const char* codes;
    std::vector<const char*> texts;
    const char* invalid;
};

const FaultTable kUnitFaults{"0123456789ABCDEF",
                             {"OK", "5V PSU", "12V PSU", "-5V PSU", "23V PSU", "-12V PSU",
                              "Tx synthesizer lock", "Rx synthesizer1 lock", "Rx synthesizer2 lock",
                              "Ref PLL lock", "TBD", "TBD", "TBD", "TBD", "IP module",
                              "EEPROM chksum error"},
                             "Invalid code rcvd: "};
const FaultTable kTxFaults{"013457 9B",
                           {"Tx traffic OK", "No clock from terr. interface", "Tx FIFO slip",
                            "CEX G.703 loss of signal", "No Ext REF", "AUPC upper limit reached",
                            "", "AIS detected on incoming data", "Bipolar violation on G.703"},
                           "Invalid code recvd: "};
const FaultTable kRxFaults{"01357ABEF",
                           {"Rx traffic OK", "Demodulator unlocked",
                            "AGC Alarm - signal level out of range", "RS Frame sync lost",
                            "OBLIX Frame sync lost", "Buffer underflow", "Buffer overflow",
                            "Eb/No threshold exceeded", "AIS detected on incoming data"},
                           "Invalid code recvd: "};
const FaultTable kOduFaults{"013579BD",
                            {"OK", "BUC PLL fault", "BUC current fault", "BUC voltage fault",
                             "LNB current fault", "LNB voltage fault", "BUC checksum fault",
                             "BUC temperature fault"},
                            "Invalid code recvd: "};

FaultText Decode(const FaultTable& t, char code) {
    const std::string codes = t.codes;
    const size_t i = code == ' ' ? std::string::npos : codes.find(code);
    if (i == std::string::npos || i >= t.texts.size() || !*t.texts[i])
        return {t.invalid + std::string(1, code), sevFault};
    return {t.texts[i], code == '0' ? sevNoFault : sevFault};
}

std::string Entry(const Entries& e, char digit) {
    const int i = HexDigitValue(std::string(1, digit));
    return i >= 0 && i < static_cast<int>(e.size()) ? e[static_cast<size_t>(i)] : std::string();
}

std::string DropLeadingZero(const std::string& s) {
    return !s.empty() && s[0] == '0' ? s.substr(1) : s;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += (out.empty() ? "" : "\n") + l;
    return out;
}

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

} // namespace

TDetail350::TDetail350(DetailDeps deps, DetailInputs inputs)
    : DetailWindow(deps, std::move(inputs), "Detail350") {}

// ---- identification ------------------------------------------------------------------

void TDetail350::Identify() {
    options_ = IdentityCode;
    options_.resize(10, '0');
    if (options_[9] == 'x')
        options_[9] = '0';
    model_ = options_.substr(1, 3) == "351" ? 351 : 350;
    ModelName = IsL() ? "MQX-350L" : "MQX-350";
    SetCurrentModelCode(static_cast<uint16_t>(model_));
    static const double maxima[] = {512, 2048, 5000, 9980};
    const int rate = options_[5] - '0';
    rateMax_ = maxima[rate >= 0 && rate <= 3 ? rate : 0];
}

// ---- the configuration boxes -----------------------------------------------------------

// The table: one row a box. Fields left out keep BoxSpec's defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<BoxSpec> TDetail350::ConfigBoxes() const {
    const bool l = IsL();
    const std::vector<Range> freq =
        l ? std::vector<Range>{{950, 1950}} : std::vector<Range>{{50, 90}, {100, 180}};
    const std::string band = l ? "950-1950 MHz" : "50-90 MHz or 100-180 MHz";
    const double powerLow = l ? -40 : -25;
    const int sweepMax = l ? 200 : 32;
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
         .entries = kDisabledEnabled, .source = l ? O : N, .pos = l ? 3 : 0,
         .command = l ? "BCE" : "ODU", .confirm = "ODU communications state to",
         .reread = l ? 99 : 13},
        {.tag = 15, .control = "ConfIPA", .caption = "IP address", .kind = K::Edit,
         .group = "GrpUnit", .source = N, .show = Show::Text, .command = "IPA",
         .value = Value::Typed, .prompt = "Enter IP address, format xxx.xxx.xxx.xxx.yy", .gate = R},
        // ---- clock extension
        {.tag = 46, .control = "ConfCEXMode", .caption = "Mode", .kind = K::Combo,
         .group = "GrpClockExt", .entries = kClockExtModes, .pos = 41, .command = "CEX",
         .value = Value::Custom, .confirm = "Clk Extension parameters"},
        {.tag = 46, .control = "ConfCEXItf", .caption = "Interface", .kind = K::Combo,
         .group = "GrpClockExt", .entries = kClockExtInterfaces, .pos = 42, .command = "CEX",
         .value = Value::Custom, .confirm = "Clk Extension parameters"},
        // ---- AUPC parameters (one "APP=" command for the four)
        {.tag = 9, .control = "ConfAPPc", .caption = "Target Eb/No (dB)", .kind = K::Edit,
         .group = "GrpAupc", .source = N, .show = Show::Real, .width = 3, .decimals = 1,
         .command = "APP", .value = Value::Custom, .ranges = {{0, 14.9}}, .resolution = 0.1,
         .prompt = "Enter target Eb/No for the remote demod, between 0 and 14.9 dB",
         .error = "ERROR: Bad value. Please correct it", .confirm = "AUPC Eb/No target value to ",
         .unit = " dB", .redCaption = false},
        {.tag = 52, .control = "ConfAPI", .caption = "Maximum power increase", .kind = K::Combo,
         .group = "GrpAupc", .entries = kIncrease, .pos = 39, .command = "APP",
         .value = Value::Custom, .confirm = "max power increase permitted to"},
        {.tag = 53, .control = "ConfAPM", .caption = "Action at maximum power", .kind = K::Combo,
         .group = "GrpAupc", .entries = kAtMaximum, .pos = 34, .command = "APP",
         .value = Value::Custom, .confirm = "action on reaching max power to"},
        {.tag = 54, .control = "ConfAPU", .caption = "Action at remote demod unlock",
         .kind = K::Combo, .group = "GrpAupc", .entries = kAtUnlock, .pos = 35, .command = "APP",
         .value = Value::Custom, .confirm = "action on demod unlock to"},
        // ---- ODU parameters (MQX-350L)
        {.tag = 102, .control = "ConfBAD", .caption = "BUC address", .kind = K::Combo,
         .group = "GrpOdu", .entries = kBucAddresses, .source = N, .command = "BAD",
         .value = Value::Custom, .confirm = "ODU address to "},
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
         .value = Value::Custom, .ranges = {{0, 0}, {3000, 65000}}, .integer = true,
         .prompt = kLoPrompt, .error = kBadLo, .confirm = "Tx LO frequency to ",
         .unit = " MHz, mix: "},
        {.tag = 105, .control = "ConfBLOMix", .caption = "BUC LO mix", .kind = K::Combo,
         .group = "GrpOdu", .entries = kMix, .source = N, .command = "BLO", .value = Value::Custom,
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
         .value = Value::Custom, .ranges = {{0, 0}, {3000, 65000}}, .integer = true,
         .prompt = kLoPrompt, .error = kBadLo, .confirm = "Rx LO frequency to ",
         .unit = " MHz, mix: "},
        {.tag = 106, .control = "ConfLLOMix", .caption = "LNB LO mix", .kind = K::Combo,
         .group = "GrpOdu", .entries = kMix, .source = N, .command = "LLO", .value = Value::Custom,
         .confirm = "Rx LO frequency to "},
    };
    // clang-format on
}
#pragma GCC diagnostic pop

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
             {"MaskLos", "G.703 LOS"}},
            94,
            12,
            "MSK",
            "alarms masks"};
}

// ---- the panels -----------------------------------------------------------------------------

void TDetail350::BuildFamily() {
    remoteStateBox_ = "ConfLRS";
    // Status panel: three columns.
    for (const char* col : {"StatusLeft", "StatusMid", "StatusRight"})
        add("PanelStatus", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("StatusLeft", "GrpReceive", "Receive");
    AddValue("GrpReceive", "StaEbNo", "Eb/No");
    AddValue("GrpReceive", "StaFreqOffset", "Freq Offset");
    AddValue("GrpReceive", "StaBER", "BER");
    AddValue("GrpReceive", "StaBFS", "Buffer Fill State");
    AddValue("GrpReceive", "StaRSL", "Receive Signal Level");
    AddValue("GrpReceive", "StaRED", "Redundancy ");
    AddValue("GrpReceive", "StaTMP", "Temperature");
    AddGroup("StatusLeft", "GrpFaults", "Faults");
    AddValue("GrpFaults", "StaUnit", "Unit").setWidth(30);
    AddValue("GrpFaults", "StaTx", "Tx").setWidth(30);
    AddValue("GrpFaults", "StaRx", "Rx").setWidth(30);
    AddValue("GrpFaults", "StaODU", "ODU").setWidth(30);
    AddValue("GrpFaults", "StaTXO", "Tx carrier");
    add("GrpFaults", "StaCTDCap", ControlKind::Label, "");
    add("GrpFaults", "StaCTD", ControlKind::Label).setBackground(Colours::yellow).setVisible(false);
    AddValue("GrpFaults", "StaOUS", "Offline Unit Status");
    AddGroup("StatusLeft", "OusBox", "Offline Unit Status (1:1 system)");
    AddValue("OusBox", "OusUnit", "Unit").setWidth(30);
    AddValue("OusBox", "OusRx", "Rx").setWidth(30);
    AddValue("OusBox", "OusTx", "Tx").setWidth(30);
    AddValue("OusBox", "OusODU", "ODU").setWidth(30);

    AddGroup("StatusMid", "AupcStatus", "Automatic Uplink Power Control");
    AddValue("AupcStatus", "StaREB", "Eb/No of Remote Demodulator");
    AddValue("AupcStatus", "StaPLI", "Tx Power Level Increase");
    AddGroup("StatusMid", "UnitStatus", "Unit");
    AddValue("UnitStatus", "StaSNO", "Serial Number");
    AddValue("UnitStatus", "StaSWR", "S/W Versions").setWidth(36);
    AddValue("UnitStatus", "StaLRS", "Local/Remote");
    AddValue("UnitStatus", "StaCID", "Circuit ID").setWidth(26);
    AddValue("UnitStatus", "StaNUE", "Events Log, unread lines");
    AddValue("UnitStatus", "StaNUS", "Statistics Log, unread lines");
    AddValue("UnitStatus", "StaIMG", "Active Image");

    AddGroup("StatusRight", "OduStatus", "350L ODU settings");
    AddValue("OduStatus", "StaFSK", "FSK link");
    AddValue("OduStatus", "StaBPC", "BUC DC power");
    AddValue("OduStatus", "StaBDC", "BUC current");
    AddValue("OduStatus", "StaBDV", "Voltage ");
    AddValue("OduStatus", "StaLPC", "LNB DC power");
    AddValue("OduStatus", "StaLDC", "LNB current");
    AddValue("OduStatus", "StaLDV", "Voltage");
    AddGroup("StatusRight", "BucStatus", "350L BUC status");
    AddValue("BucStatus", "StaBOL", "BUC output power level");
    AddValue("BucStatus", "StaBUT", "BUC temperature");
    AddValue("BucStatus", "StaBPA", "BUC phase lock loop");
    AddValue("BucStatus", "StaBSV", "BUC software version");
    add("StatusRight", "BtnOptions", ControlKind::Button, "Show Installed &Options");
    AddGroup("StatusRight", "OptionsBox", "Installed Options");
    for (const auto& [name, caption] : std::vector<std::pair<const char*, const char*>>{
             {"OptTurbo", "Turbo"},
             {"OptRS", "Reed-Solomon"},
             {"OptDataRate", "Data rate"},
             {"OptModulation", "Modulation"},
             {"OptBucPower", "BUC power supply"},
             {"OptIP", "IP module"},
             {"OptClockExt", "G.703 Clock Extension"}}) {
        add("OptionsBox", std::string(name) + "Cap", ControlKind::Label, caption);
        add("OptionsBox", name, ControlKind::Edit).setReadOnly(true).setWidth(22);
    }
    add("OptionsBox", "OptNote", ControlKind::Label,
        "Other available options may be viewed. Contact factory to upgrade unit.");

    // Configuration panel: three columns and the family's buttons.
    for (const char* col : {"ConfLeft", "ConfMid", "ConfRight"})
        add("PanelConfig", col, ControlKind::Panel).setLayout(Layout::Column);
    AddGroup("ConfLeft", "GrpTx", "Tx");
    AddGroup("ConfLeft", "GrpClocks", "Clocks");
    AddGroup("ConfMid", "GrpRx", "Rx");
    AddGroup("ConfMid", "GrpMasks", "Alarm Masks", 3);
    AddGroup("ConfRight", "GrpUnit", "Unit");
    AddGroup("ConfRight", "GrpOdu", "ODU parameters").setVisible(false);
    AddGroup("ConfRight", "GrpAupc", "AUPC parameters").setVisible(false);
    AddGroup("ConfRight", "GrpClockExt", "G.703 Clock Extension").setVisible(false);
    add("ConfRight", "ConfButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("ConfButtons", "BtnAupc", ControlKind::Button, "View AU&PC");
    add("ConfButtons", "BtnOdu", ControlKind::Button, "View &ODU param");
    add("ConfButtons", "BtnSendToUnit", ControlKind::Button, "Send To U&nit");

    // Memory previews on the utilities panel.
    AddGroup("MemoryBox", "MemPreview", "Memory location  0 preview", 0).setVisible(false);
    add("MemPreview", "MemMemos", ControlKind::Panel).setLayout(Layout::Row);
    for (const char* m : {"MemTx", "MemRx", "MemUnit", "MemAupc", "MemBuc", "MemLnb"})
        add("MemMemos", m, ControlKind::Memo).setReadOnly(true).setWidth(24);

    onClick("BtnOptions", [this] {
        const bool show = !at("OptionsBox").visible();
        at("OptionsBox").setVisible(show);
        at("BtnOptions").setText(show ? "Hide Installed &Options" : "Show Installed &Options");
    });
    onClick("BtnAupc", [this] {
        const bool show = !at("GrpAupc").visible();
        at("GrpAupc").setVisible(show);
        at("BtnAupc").setText(show ? "Hide AU&PC" : "View AU&PC");
        if (show) {
            at("GrpOdu").setVisible(false);
            at("GrpUnit").setVisible(true);
            at("BtnOdu").setText("View &ODU param");
        }
    });
    onClick("BtnOdu", [this] {
        const bool show = !at("GrpOdu").visible();
        at("GrpOdu").setVisible(show);
        at("GrpUnit").setVisible(!show);
        at("BtnOdu").setText(show ? "Hide &ODU param" : "View &ODU param");
    });
}

void TDetail350::ActivateFamily() {
    const bool l = IsL();
    at("BtnOdu").setVisible(l);
    at("OduStatus").setVisible(l);
    at("BucStatus").setVisible(false);
    at("MaskBuc").setVisible(l);
    at("MaskLnb").setVisible(l);
    at("GrpClockExt").setVisible(options_[9] == '1');
    at("OptionsBox").setVisible(false);
    for (const char* c : {"GrpTx", "GrpRx", "GrpUnit", "StaTXO", "StaTXOCap", "AupcStatus",
                          "ConfTST", "ConfESA", "MaskTxFifo", "MaskTxAis"})
        at(c).setVisible(true);
    at("ConfLRS").setVisible(!DistantEnd);
    at("ConfLRSCap").setVisible(!DistantEnd);
    at("ConfADJ").setReadOnly(DistantEnd);
    at("ConfADJCap").setTextColour(DistantEnd ? Colours::gray : Colours::black);
    static const Entries turbo{" None", " TPC", " TPC/LDPC"};
    static const Entries none1{" None", " Installed"};
    static const Entries rates{" Base, to 512kbps", " to 2048kbps", " to 5000kbps", " to 9980kbps"};
    static const Entries mods{" Standard", " 8PSK + 8QAM", " 16QAM", " 8PSK, 8QAM and 16QAM"};
    static const Entries buc{" None", " 100W", " 150W"};
    at("OptTurbo").setText(Entry(turbo, options_[0]));
    at("OptRS").setText(Entry(none1, options_[4]));
    at("OptDataRate").setText(Entry(rates, options_[5]));
    at("OptModulation").setText(Entry(mods, options_[6]));
    at("OptBucPower").setText(Entry(buc, options_[8]));
    at("OptIP").setText(Entry(none1, options_[8]));
    at("OptClockExt").setText(Entry(none1, options_[9]));
}

void TDetail350::OnModeAdopted() {
    at("OptionsBox").setVisible(false);
    at("BtnOptions").setText("Show Installed &Options");
}

void TDetail350::ClearStatus() {
    for (const Control* c : controls())
        if (c->name().rfind("Sta", 0) == 0 && c->kind() == ControlKind::Label &&
            c->name().find("Cap") == std::string::npos)
            ClearValue(c->name());
    at("StaCTD").setBackground(Colours::yellow).setVisible(false);
    SetValue("StaOUS", "Unavailable", Colours::yellow);
    for (const char* c : {"OusUnit", "OusRx", "OusTx", "OusODU"})
        ClearValue(c);
}

void TDetail350::ClearConfigExtra() {
    at("ConfEFM").setItems(kOblix);
    at("ConfTSC").setItems(kOffOn);
    at("ConfRDS").setItems(kOffOn);
}

// ---- status -------------------------------------------------------------------------------

void TDetail350::OtherReply(const std::string& label, const std::string& reply, int length) {
    SetValue(label, Chars(reply, 2, length), ReplyColour);
}

void TDetail350::FaultLine(const std::string& name, int severity, const std::string& text) {
    SetValue(name, text, StatusColour(severity));
}

void TDetail350::DecodeFaults(const std::string& codes, const char* unit, const char* tx,
                              const char* rx, const char* odu) {
    const auto c = [&](size_t i) { return i < codes.size() ? codes[i] : ' '; };
    const FaultText u = Decode(kUnitFaults, c(0));
    const FaultText t = Decode(kTxFaults, c(1));
    const FaultText r = Decode(kRxFaults, c(2));
    const FaultText o = Decode(kOduFaults, c(3));
    FaultLine(unit, u.severity, u.text);
    FaultLine(tx, t.severity, t.text);
    FaultLine(rx, r.severity, r.text);
    FaultLine(odu, o.severity, o.text);
}

void TDetail350::IdentityStep() {
    struct Query {
        int step;
        const char* mnemonic;
        const char* label;
        int length; // characters shown of an "=" reply
    };
    static const Query queries[] = {{3, "CID", "StaCID", 25},
                                    {5, "IMG", "StaIMG", 1},
                                    {7, "SWR", "StaSWR", 36},
                                    {9, "SNO", "StaSNO", 8}};
    if (StepNo == 1) {
        SendRequest("LRS?");
        return;
    }
    if (StepNo == 2) {
        const std::string r = TakeReply("LRS");
        if (r == kCountedOut)
            return;
        DecodeLrs(r, "StaLRS");
        StepNo = 3;
        return;
    }
    if (StepNo == 21) {
        SetCurrentMode(Phases::Status2);
        StepNo = 1;
        return;
    }
    for (const Query& q : queries) {
        if (StepNo == q.step) {
            SendRequest(std::string(q.mnemonic) + "?");
            return;
        }
        if (StepNo == q.step + 1) {
            const std::string r = TakeReply(q.mnemonic);
            if (r == kCountedOut)
                return;
            if (StartsWith(r, "="))
                SetValue(q.label, Chars(r, 2, q.length), Colours::white);
            else
                SetValue(q.label, Chars(r, 2, 14), Colours::yellow);
            StepNo = q.step == 9 ? 21 : q.step + 2;
            return;
        }
    }
}

void TDetail350::StatusStep() {
    StatusLoopStep();
    // A reply that failed restarts the loop at LRS.
    if (!deps().tx.AwaitingReply && StartsWith(LastReply, "T"))
        StepNo = 1;
}

void TDetail350::StatusLoopStep() {
    // Odd steps send the query of the pair; even steps decode it.
    static const std::map<int, const char*> queries{
        {1, "LRS"},  {3, "NUE"},  {103, "NUE"}, {5, "FLT"},  {7, "EBN"},  {9, "RFO"},
        {11, "BER"}, {13, "BFS"}, {15, "RED"},  {17, "OUS"}, {19, "RSL"}, {21, "TMP"},
        {23, "TXO"}, {25, "SNO"}, {27, "CID"},  {29, "REB"}, {31, "PLI"}, {35, "CTD"},
        {61, "BPC"}, {63, "BDC"}, {65, "BDV"},  {67, "LPC"}, {69, "LDC"}, {71, "LDV"},
        {75, "BCE"}, {81, "BOL"}, {83, "BUT"},  {85, "BPA"}, {87, "BSV"}};
    const bool even = StepNo % 2 == 0;
    auto it = queries.find(even ? StepNo - 1 : StepNo);
    if (it == queries.end())
        return;
    std::string mnemonic = it->second;
    if (StepNo == 103 || StepNo == 104)
        mnemonic = "NUS";
    if (!even) {
        SendRequest(mnemonic + "?");
        return;
    }
    const std::string r = TakeReply(mnemonic);
    if (r == kCountedOut)
        return;
    const bool ok = StartsWith(r, "=");
    const auto value = [&](const char* label, const std::string& text) {
        SetValue(label, text, Colours::white);
    };
    switch (StepNo) {
    case 2:
        DecodeLrs(r, "StaLRS");
        StepNo = 3;
        break;
    case 4:
    case 104: {
        const char* label = StepNo == 4 ? "StaNUE" : "StaNUS";
        if (ok) {
            const int n = IntOfText(Chars(r, 2, 3));
            SetValue(label, std::to_string(n), n < 221 ? Colours::white : Colours::yellow);
        } else {
            OtherReply(label, r, 14);
        }
        StepNo = StepNo == 4 ? 103 : 5;
        break;
    }
    case 6:
        if (ok) {
            DecodeFaults(Chars(r, 2, 4), "StaUnit", "StaTx", "StaRx", "StaODU");
            if (Chars(r, 7, 1) == "1")
                DetailConfigChanged = true;
            deps().print.PrintFaultLine(Chars(r, 2, 6), UnitName, IdText(), clock());
        } else {
            SetValue("StaUnit", Chars(r, 2, 20), Colours::yellow);
            SetValue("StaTx", "", Colours::gray);
            SetValue("StaRx", "", Colours::gray);
        }
        StepNo = 7;
        break;
    case 8: {
        const std::string v = Chars(r, 2, 4);
        if (!ok)
            OtherReply("StaEbNo", r);
        else
            value("StaEbNo", v == "99.9"   ? "Unlocked"
                             : v == "+016" ? "> 16 dB"
                                           : DropLeadingZero(v) + " dB");
        StepNo = 9;
        break;
    }
    case 10: {
        const std::string v = Chars(r, 2, 6);
        if (!ok)
            OtherReply("StaFreqOffset", r);
        else
            value("StaFreqOffset", v == "+999.9" ? "Unlocked" : v + " kHz");
        StepNo = 11;
        break;
    }
    case 12:
        if (!ok)
            OtherReply("StaBER", r);
        else
            value("StaBER",
                  Chars(r, 2, 5) == "99999" ? "Unlocked" : Chars(r, 2, 3) + " E-" + Chars(r, 6, 1));
        StepNo = 13;
        break;
    case 14: {
        const std::string v = Chars(r, 2, 2);
        if (!ok)
            OtherReply("StaBFS", r);
        else
            value("StaBFS", v == "00" ? "Unlocked" : DropLeadingZero(v) + " %");
        StepNo = 15;
        break;
    }
    case 16: {
        const std::string v = Chars(r, 2, 1);
        if (ok && v == "0") {
            SetValue("StaRED", "Offline", Colours::yellow);
        } else if (ok && v == "1") {
            SetValue("StaRED", "Online", Colours::white);
            OnlineUnit = true;
        } else {
            SetValue("StaRED", "Invalid code received: " + r, ReplyColour);
        }
        EnableButtons(false, true, true, true);
        StepNo = 17;
        break;
    }
    case 18:
        if (ok && Chars(r, 2, 6) == "xxxxxx") {
            at("OusBox").setVisible(false);
            SetValue("StaOUS", "unavailable", Colours::yellow);
        } else if (ok) {
            at("OusBox").setVisible(true);
            at("StaOUS").setVisible(true);
            at("StaOUSCap").setVisible(true);
            DecodeFaults(Chars(r, 2, 4), "OusUnit", "OusTx", "OusRx", "OusODU");
        } else {
            at("StaOUS").setVisible(false);
            at("StaOUSCap").setVisible(false);
        }
        EnableButtons(false, true, true, true);
        StepNo = 19;
        break;
    case 20: {
        const std::string head = Chars(r, 2, 2);
        if (!ok)
            OtherReply("StaRSL", r);
        else if (head == "GT")
            value("StaRSL", "> -" + Chars(r, 4, 13) + " dBm");
        else if (head == "LT")
            value("StaRSL", "< -" + Chars(r, 4, 13) + " dBm");
        else if (head == "==")
            value("StaRSL", "-" + Chars(r, 4, 13) + " dBm");
        else
            value("StaRSL", Chars(r, 2, 13));
        StepNo = 21;
        break;
    }
    case 22:
        if (!ok)
            OtherReply("StaTMP", r);
        else
            value("StaTMP", Chars(r, 2, 3) + " \u00B0C");
        StepNo = 23;
        break;
    case 24: {
        if (!ok) {
            OtherReply("StaTXO", r, 31);
        } else {
            const std::string c = Chars(r, 2, 1);
            if (c == "0")
                SetValue("StaTXO", "Off", Colours::yellow);
            else if (c == "1")
                SetValue("StaTXO", "On", Colours::lime);
            else if (c == "2")
                SetValue("StaTXO", "Under RTI control", Colours::yellow);
            else if (c == "3")
                SetValue("StaTXO", "Off by External Control", Colours::red);
            else if (c == "4")
                SetValue("StaTXO", "Off during Warm-Up", Colours::yellow);
            else
                SetValue("StaTXO", "Other: " + c, Colours::red);
        }
        StepNo = PairFlag() == "1" ? 25 : 29;
        break;
    }
    case 26:
        if (ok)
            value("StaSNO", Chars(r, 2, 8));
        else
            SetValue("StaSNO", Chars(r, 2, 14), Colours::yellow);
        StepNo = 27;
        break;
    case 28:
        if (ok)
            value("StaCID", Chars(r, 2, 25));
        else
            SetValue("StaCID", Chars(r, 2, 14), Colours::yellow);
        StepNo = 29;
        break;
    case 30: {
        const std::string v = Chars(r, 2, 4);
        if (!ok)
            OtherReply("StaREB", r);
        else
            value("StaREB", v == "99.9"   ? "Unlocked"
                            : v == "xx.x" ? "Not available"
                            : v == "16.0" ? "> 16 dB"
                                          : DropLeadingZero(v) + " dB");
        StepNo = 31;
        break;
    }
    case 32: {
        const std::string v = Chars(r, 2, 3);
        if (!ok)
            OtherReply("StaPLI", r);
        else
            value("StaPLI", v == "x.x" ? "Not available" : v + " dB");
        StepNo = 35;
        break;
    }
    case 36: {
        const std::string v = Chars(r, 2, 3);
        if (ok && v != "000")
            at("StaCTD").setText(v + " sec").setVisible(true);
        else
            at("StaCTD").setVisible(false);
        StepNo = IsL() ? 61 : 1;
        break;
    }
    case 62:
        if (ok)
            SetValue("StaBPC", Chars(r, 2, 1) == "1" ? "Enabled" : "Disabled",
                     Chars(r, 2, 1) == "1" ? Colours::lime : Colours::green);
        else
            OtherReply("StaBPC", r);
        StepNo = ok ? 63 : 1;
        break;
    case 64:
    case 66:
    case 82: {
        const char* label = StepNo == 64 ? "StaBDC" : StepNo == 66 ? "StaBDV" : "StaBOL";
        const char* unit = StepNo == 64 ? " mA" : StepNo == 66 ? " V" : " dB";
        if (ok)
            value(label, Chars(r, 2, 4) + unit);
        else
            OtherReply(label, r);
        StepNo = ok ? StepNo + 1 : 1;
        break;
    }
    case 68:
        if (ok)
            SetValue("StaLPC", Chars(r, 2, 1) == "0" ? "Disabled" : "Enabled",
                     Chars(r, 2, 1) == "0" ? Colours::green : Colours::lime);
        else
            OtherReply("StaLPC", r);
        StepNo = ok ? 69 : 1;
        break;
    case 70:
        if (ok)
            value("StaLDC", Chars(r, 2, 3) + " mA");
        else
            SetValue("StaLDC", "N/A", Colours::gray);
        StepNo = 71;
        break;
    case 72:
        if (ok)
            value("StaLDV", Chars(r, 2, 4) + " V");
        else
            OtherReply("StaLDV", r);
        StepNo = 75;
        break;
    case 76: {
        const bool on = ok && Chars(r, 2, 1) == "1";
        if (ok)
            SetValue("StaFSK", on ? "Enabled" : "Disabled", on ? Colours::lime : Colours::green);
        else
            OtherReply("StaFSK", r);
        at("BucStatus").setVisible(on);
        StepNo = on ? 81 : 1;
        break;
    }
    case 84: {
        std::string v = Chars(r, 2, 4);
        if (v.size() > 1 && v[1] == '0')
            v[1] = ' ';
        if (ok)
            value("StaBUT", v + " \u00B0C");
        else
            OtherReply("StaBUT", r);
        StepNo = ok ? 85 : 1;
        break;
    }
    case 86:
        if (ok)
            SetValue("StaBPA", Chars(r, 2, 1) == "0" ? "Locked" : "Unlocked",
                     Chars(r, 2, 1) == "0" ? Colours::white : Colours::yellow);
        else
            OtherReply("StaBPA", r);
        StepNo = ok ? 87 : 1;
        break;
    case 88:
        if (ok)
            value("StaBSV", Chars(r, 2, 2));
        else
            OtherReply("StaBSV", r);
        StepNo = 1;
        break;
    default:
        break;
    }
}

// ---- configuration read --------------------------------------------------------------------

void TDetail350::ConfigStep() {
    switch (StepNo) {
    case 1:
        SendRequest("CID?");
        break;
    case 2: {
        const std::string r = TakeReply("CID");
        if (r == kCountedOut)
            return;
        SetBoxText("ConfCID", Chars(r, 2, 24));
        StepNo = 5;
        break;
    }
    case 5:
        SendRequest("LRS?");
        break;
    case 6: {
        const std::string r = TakeReply("LRS");
        if (r == kCountedOut)
            return;
        StepNo = ConfigLrs(r, 9);
        break;
    }
    case 9:
        SendRequest("MGC?");
        break;
    case 10: {
        const std::string r = TakeReply("MGC");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            ConfigString = r.substr(1, 115);
            FillBoxes(Source::Config, ConfigString);
        } else {
            ShowInstruction("problem reading MGC...");
            LockConfig(false);
        }
        StepNo = IsL() ? 15 : 13;
        break;
    }
    case 13:
        SendRequest("ODU?");
        break;
    case 14: {
        const std::string r = TakeReply("ODU");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            SetBoxIndex("ConfODU", HexDigitValue(Chars(r, 2, 1)));
        StepNo = 17;
        break;
    }
    case 15:
        SendRequest("OGC?");
        break;
    case 16: {
        const std::string r = TakeReply("OGC");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            OduString = r.substr(1, 120);
            FillBoxes(Source::Odu, OduString);
        }
        StepNo = 17;
        break;
    }
    case 17:
        SendRequest("ADJ?");
        break;
    case 18: {
        const std::string r = TakeReply("ADJ");
        if (r == kCountedOut)
            return;
        SetBoxText("ConfADJ", StartsWith(r, "=") ? SubInt(r, 2, 4) : "0");
        StepNo = 19;
        break;
    }
    case 19:
        SendRequest("FPL?");
        break;
    case 20: {
        const std::string r = TakeReply("FPL");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            SetBoxIndex("ConfFPL", HexDigitValue(Chars(r, 2, 1)));
        StepNo = 21;
        break;
    }
    case 21:
        SendRequest("IPA?");
        break;
    case 22: {
        const std::string r = TakeReply("IPA");
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "="))
            SetBoxText("ConfIPA", Chars(r, 2, 18));
        StepNo = ConfigSteps::Unlock;
        break;
    }
    case 105:
        SendRequest("ESA?");
        break;
    case 106: {
        const std::string r = TakeReply("ESA");
        if (r == kCountedOut)
            return;
        if (r == kNoComms) {
            ShowInstruction("No comms with modem. Config data not avail.");
            LockConfig(false);
            StepNo = ConfigSteps::Idle;
            return;
        }
        if (StartsWith(r, "="))
            SetBoxText("ConfESA", SubInt(r, 2, 4));
        StepNo = ConfigSteps::SetConfig;
        break;
    }
    default:
        break;
    }
}

void TDetail350::ScramblerEntries(const char* box, int fecType, int stored) {
    Entries e = kOffOn;
    if (fecType == 6)
        e.push_back(kIess); // the third entry exists only with TPC
    at(box).setItems(e);
    SetBoxIndex(box, stored);
}

void TDetail350::AfterFill(Source source) {
    const std::string& c = ConfigString;
    const auto digit = [&](const std::string& s, int pos) {
        return static_cast<size_t>(pos) <= s.size() ? HexDigitValue(Chars(s, pos, 1)) : -1;
    };
    if (source == Source::Config) {
        ScramblerEntries("ConfTSC", digit(c, 13), digit(c, 25));
        ScramblerEntries("ConfRDS", digit(c, 57), digit(c, 69));
        // A slave unit shows the slave entry, which the operator cannot choose.
        if (digit(c, 88) == 2) {
            Entries e = kOblix;
            e.push_back(kOblixSlave);
            at("ConfEFM").setItems(e);
            SetBoxIndex("ConfEFM", 2);
        } else {
            at("ConfEFM").setItems(kOblix);
            SetBoxIndex("ConfEFM", digit(c, 88));
        }
        const bool internal = digit(c, 87) == 0;
        at("ConfADJ").setVisible(internal);
        at("ConfADJCap").setVisible(internal);
        // The AUPC target: one hex digit for the whole dB, then "." and the tenths.
        const std::string t = Chars(c, 36, 3);
        if (t.size() == 3) {
            const int whole = HexDigitValue(t.substr(0, 1));
            SetBoxText("ConfAPPc", whole < 10
                                       ? " " + t.substr(0, 1) + "." + t.substr(2, 1)
                                       : "1" + std::to_string(whole - 10) + "." + t.substr(2, 1));
        }
    } else if (source == Source::Odu) {
        const std::string& o = OduString;
        SetBoxIndex("ConfBAD", IntOfText(Chars(o, 1, 2)) - 1);
        if (o.size() >= 24)
            SetBoxIndex("ConfBLOMix", o[23] == '+' ? 0 : 1);
        if (o.size() >= 44)
            SetBoxIndex("ConfLLOMix", o[43] == '+' ? 0 : 1);
    }
}

int TDetail350::RereadStep(const std::string& mnemonic, bool accepted) const {
    if (accepted && (mnemonic == "LNB" || mnemonic == "ODP"))
        return 15;
    if (!accepted && mnemonic == "REF")
        return 9;
    return DetailWindow::RereadStep(mnemonic, accepted);
}

// ---- locking and the irregular commands ------------------------------------------------------

bool TDetail350::InLoopback() const {
    const int t = at("ConfTST").selected();
    return t == 1 || t == 4;
}

void TDetail350::FecRules(const char* type, const char* mod, const char* coding) {
    const int fec = at(type).selected();
    const int modulation = at(mod).selected();
    at(mod).setEnabled(fec != 5);
    at(coding).setEnabled(fec != 5 && fec != 0 && !(modulation == 0 && fec != 7));
}

void TDetail350::LockExtra(bool effectiveLock, bool requested) {
    const Colour caption = effectiveLock ? Colours::gray : Colours::black;
    for (const char* g : {"GrpTx", "GrpRx", "GrpUnit", "GrpClocks", "GrpAupc"})
        at(g).setTextColour(caption);
    // A unit in loopback can still be brought back.
    at("ConfTST").setEnabled(!requested && ChangesPossible());
    const bool g703 = at("ConfITF").selected() >= 3 && at("ConfITF").selected() <= 8;
    if (g703) {
        at("ConfTDR").setReadOnly(true);
        at("ConfRDR").setReadOnly(true);
    }
    // The distant unit's reference is adjusted at that end only.
    if (DistantEnd) {
        at("ConfADJ").setReadOnly(true);
        at("ConfADJCap").setTextColour(Colours::gray);
    }
    const int framing = at("ConfFRM").selected();
    if (effectiveLock)
        return;
    FecRules("ConfTFT", "ConfTMD", "ConfTCR");
    FecRules("ConfRFT", "ConfRMD", "ConfRCR");
    at("ConfAUP").setEnabled(framing > 0);
    if (DistantEnd) {
        at("ConfFRM").setEnabled(framing == 0);
        at("ConfEFM").setEnabled(false);
        at("ConfESA").setReadOnly(true);
    } else {
        at("ConfEFM").setEnabled(at("ConfEFM").selected() != 2);
        at("ConfESA").setReadOnly(!(RemoteMode && framing > 0));
    }
}

std::optional<std::string> TDetail350::AupcCommand(const std::string& targetText) const {
    const ParsedReal p = ParseReal(targetText);
    if (!p.ok)
        return std::nullopt;
    const long tenths = std::lround(p.value * 10);
    const long whole = tenths / 10;
    if (tenths < 0 || whole > 14)
        return std::nullopt;
    const auto idx = [this](const char* c) {
        const int i = at(c).selected();
        return std::to_string(i < 0 ? 0 : i);
    };
    return "APP=" + idx("ConfAPM") + idx("ConfAPU") +
           std::string(1, HexDigitChar(static_cast<int>(whole))) + "." +
           std::to_string(tenths % 10) + idx("ConfAPI");
}

std::optional<std::string> TDetail350::CustomCommand(const BoxSpec& box, const std::string& text) {
    const std::string& m = box.command;
    if (m == "APP") {
        SavedIndex =
            ShownIndex("ConfAPM") * 100 + ShownIndex("ConfAPU") * 10 + ShownIndex("ConfAPI");
        // A drop-down goes with the target the unit holds, not a bad entry in its box.
        return AupcCommand(box.control == "ConfAPPc" ? text : ShownText("ConfAPPc"));
    }
    if (m == "CEX") {
        const auto idx = [this](const char* c) {
            return std::to_string(std::max(0, at(c).selected()));
        };
        // One question for the pair of boxes, without either selection.
        ConfirmText = "Change " + box.confirm + ". Comms may be affected.";
        return "CEX=" + idx("ConfCEXMode") + idx("ConfCEXItf");
    }
    if (m == "TST") {
        // At the DISTANT end only the I/O loopback keeps the management channel.
        if (DistantEnd && at("ConfTST").selected() != 3) {
            at("ConfTST").setSelected(0);
            ConfirmText = "Change Unit Test Mode to" + at("ConfTST").selectedText() +
                          ". Comms may be affected.";
        }
        return "TST=" + std::to_string(at("ConfTST").selected());
    }
    if (m == "BAD") {
        const int a = at("ConfBAD").selected() + 1;
        return std::string("BAD=") + (a < 10 ? "0" : "") + std::to_string(a);
    }
    if (m == "BLO" || m == "LLO") {
        const std::string lo = m == "BLO" ? "ConfBLO" : "ConfLLO";
        const std::string mix = lo + "Mix";
        const ParsedInt v = ParseInt(at(lo).text());
        if (!v.ok)
            return std::nullopt;
        std::string digits = std::to_string(v.value);
        digits.insert(0, digits.size() < 5 ? 5 - digits.size() : 0, '0');
        const std::string sign = at(mix).selected() == 1 ? "-" : "+";
        ConfirmText = "Change " + std::string(m == "BLO" ? "Tx" : "Rx") + " LO frequency to " +
                      std::to_string(v.value) + " MHz, mix: " + sign + ". Comms may be affected.";
        return m + "=" + digits + sign;
    }
    return std::nullopt;
}

bool TDetail350::RestoreBox(const std::string& mnemonic) {
    if (mnemonic == "APP") {
        for (const char* c : {"ConfAPM", "ConfAPU", "ConfAPI"})
            at(c).setSelected(ShownIndex(c));
        at("ConfAPPc").setText(ShownText("ConfAPPc"));
        return true;
    }
    if (mnemonic == "CEX" || mnemonic == "BLO" || mnemonic == "LLO") {
        for (const BoxSpec& b : Boxes())
            if (b.command == mnemonic) {
                if (b.kind == BoxKind::Edit)
                    at(b.control).setText(ShownText(b.control));
                else
                    at(b.control).setSelected(ShownIndex(b.control));
            }
        return true;
    }
    return false;
}

// ---- memories ---------------------------------------------------------------------------------

void TDetail350::FillMemoryPreview(const std::string& c) {
    const auto e = [&](const Entries& list, int pos) {
        return Entry(list, static_cast<size_t>(pos) <= c.size() ? c[pos - 1] : ' ');
    };
    Entries scr = kOffOn;
    scr.push_back(kIess);
    Entries oblix = kOblix;
    oblix.push_back(kOblixSlave);
    std::string carrier = e(kCarrier, 32);
    if (Chars(c, 32, 1) == "3")
        carrier = kCarrier[2];
    std::vector<std::string> tx{RealField(c, 4, 9, 4, 9) + " MHz",
                                e(kFecTypes, 13) + " encoding",
                                e(kCodings, 15) + " " + e(kModulations, 14),
                                RealField(c, 16, 8, 3, 8) + " kbps",
                                e(kNormalInverted, 24) + " Spectrum ",
                                e(kNormalInverted, 31) + " Data ",
                                "Scrambler" + e(scr, 25),
                                "Power -" + RealField(c, 26, 4, 1, 4) + " dBm",
                                e(kClockSources, 30) + " clock",
                                "Carrier" + carrier,
                                "Warm-up delay: " + e(kDisabledEnabled, 40)};
    if (options_[9] == '1')
        tx.push_back("ClkEx: " + e(kClockExtModes, 41) + "," + e(kClockExtInterfaces, 42));
    const std::vector<std::string> rx{RealField(c, 48, 9, 4, 9) + " MHz",
                                      e(kFecTypes, 57) + " decoding",
                                      e(kCodings, 59) + " " + e(kModulations, 58),
                                      RealField(c, 60, 8, 3, 8) + " kbps",
                                      e(kNormalInverted, 68) + " Spectrum ",
                                      e(kNormalInverted, 70) + " Data ",
                                      "De-Scrambler" + e(scr, 69),
                                      "Sweep width +/-" + SubInt(c, 71, 3) + " kHz",
                                      "Buffer:" + e(kBuffers, 78),
                                      "Eb/No Alarm @ " + RealField(c, 74, 4, 1, 4) + " dB"};
    const std::string test = e(kTestModes, 93);
    const std::vector<std::string> unit{"Interface:" + e(kInterfaces, 1),
                                        "Framing:" + e(kFraming, 3),
                                        "T1 Line Build-out:" + e(kBuildOut, 2),
                                        e(oblix, 88),
                                        "OBLIX slave address " + SubInt(c, 89, 4),
                                        "Stats Interval:" + e(kStatsLog, 107),
                                        "RTS:" + e(kRts, 106),
                                        Chars(c, 93, 1) == "0" ? "Normal Operation"
                                                               : "Test: " + test,
                                        "ExtRef:" + e(kReferences, 87)};
    const std::string t = Chars(c, 36, 3);
    const int whole = t.empty() ? 0 : HexDigitValue(t.substr(0, 1));
    const std::string target =
        t.size() == 3 ? std::to_string(whole) + "." + t.substr(2, 1) : std::string("?");
    const std::vector<std::string> aupc{
        Chars(c, 33, 1) == "1" ? "AUPC on" : "Manual mode", "Target EbNo: " + target + " dB",
        "Max increase: " + e(kIncrease, 39), e(kAtMaximum, 34) + " on Pmax",
        e(kAtUnlock, 35) + " w/Unlock"};
    at("MemPreview")
        .setText("Memory location " + Chars(at("MemoryList").selectedText(), 2, 1) + " preview");
    at("MemTx").setText(Joined(tx));
    at("MemRx").setText(Joined(rx));
    at("MemUnit").setText(Joined(unit));
    at("MemAupc").setText(Joined(aupc));
}

void TDetail350::FillMemoryPrelude(const std::string& reply) {
    const std::string o = reply.substr(1);
    const auto e = [&](const Entries& list, int pos) {
        return Entry(list, static_cast<size_t>(pos) <= o.size() ? o[pos - 1] : ' ');
    };
    at("MemBuc").setText(
        Joined({"BUC", "FSK Comms: " + e(kDisabledEnabled, 3), "Address: " + SubInt(o, 1, 2),
                "DC Power: " + e(kDisabledEnabled, 4), "10MHz Ref: " + e(kDisabledEnabled, 5),
                "Alarm limits: " + SubInt(o, 11, 4) + " - " + SubInt(o, 15, 4) + " mA",
                "Tx output: " + e(kDisabledEnabled, 6)}));
    at("MemLnb").setText(
        Joined({"LNB", "DC Power: " + e(kLnbPower, 31), "10MHz Ref: " + e(kDisabledEnabled, 32),
                "Alarm limits: " + SubInt(o, 33, 3) + " - " + SubInt(o, 36, 3) + " mA",
                "Tx LO frequency: " + SubInt(o, 19, 5) + " MHz",
                "Rx LO frequency: " + SubInt(o, 39, 5) + " MHz"}));
}

void TDetail350::ShowMemoryPreview(bool show) {
    at("MemPreview").setVisible(show);
    at("MemBuc").setVisible(show && IsL());
    at("MemLnb").setVisible(show && IsL());
}

} // namespace linvar
