#include "detail/modem/ModemRows.h"

#include "detail/modem/ModemCommon.h"

namespace linvar::ModemRows {

using namespace ModemEntries;
using namespace ModemTexts;

// Rows as designated initialisers: fields left out keep BoxRow's defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
// clang-format off

BoxRow Frequency(bool tx, int pos, int len, int width, std::vector<Range> ranges,
                  std::string prompt) {
    return {.control = tx ? "ConfTFQ" : "ConfRFQ",
            .caption = tx ? "Tx Frequency" : "Rx Frequency", .kind = BoxKind::Edit,
            .group = tx ? "GrpTx" : "GrpRx", .pos = pos, .len = len, .show = Show::Real,
            .width = width, .decimals = 4, .command = tx ? "TFQ" : "RFQ", .value = Value::Real,
            .cmdWidth = 9, .cmdDecimals = 4, .ranges = std::move(ranges), .resolution = 0.0001,
            .prompt = std::move(prompt), .error = kBadFrequency,
            .confirm = tx ? "Tx frequency to" : "Rx frequency to", .unit = " MHz"};
}

BoxRow DataRate(bool tx, int pos, int len, int width, int cmdWidth, std::vector<Range> ranges,
                 std::string prompt) {
    return {.control = tx ? "ConfTDR" : "ConfRDR",
            .caption = "Data Rate (kbps)", .kind = BoxKind::Edit, .group = tx ? "GrpTx" : "GrpRx",
            .pos = pos, .len = len, .show = Show::Real, .width = width, .decimals = 3,
            .command = tx ? "TDR" : "RDR", .value = Value::Real, .cmdWidth = cmdWidth,
            .cmdDecimals = 3, .ranges = std::move(ranges), .prompt = std::move(prompt),
            .error = kBadRate, .confirm = tx ? "Tx data rate to" : "Rx data rate to",
            .unit = " kbps", .reread = Reread::Full()};
}

BoxRow FecType(bool tx, int pos, Entries entries) {
    return {.control = tx ? "ConfTFT" : "ConfRFT", .caption = "FEC type",
            .kind = BoxKind::Combo, .group = tx ? "GrpTx" : "GrpRx", .entries = std::move(entries),
            .pos = pos, .command = tx ? "TFT" : "RFT",
            .confirm = tx ? "Tx FEC type to" : "Rx FEC type to", .reread = Reread::Full()};
}

BoxRow FecCoding(bool tx, int pos, Entries entries) {
    return {.control = tx ? "ConfTCR" : "ConfRCR", .caption = "FEC coding",
            .kind = BoxKind::Combo, .group = tx ? "GrpTx" : "GrpRx", .entries = std::move(entries),
            .pos = pos, .command = tx ? "TCR" : "RCR",
            .confirm = tx ? "Tx FEC rate to" : "Rx FEC rate to", .reread = Reread::Full()};
}

BoxRow Modulation(bool tx, int pos, Entries entries) {
    return {.control = tx ? "ConfTMD" : "ConfRMD", .caption = "Modulation",
            .kind = BoxKind::Combo, .group = tx ? "GrpTx" : "GrpRx", .entries = std::move(entries),
            .pos = pos, .command = tx ? "TMD" : "RMD",
            .value = tx ? Value::Index : Value::HexIndex,
            .confirm = tx ? "Tx modulation to" : "Rx modulation type to", .reread = Reread::Full()};
}

BoxRow Spectrum(bool tx, int pos) {
    return {.control = tx ? "ConfTSI" : "ConfRSI", .caption = "Spectrum",
            .kind = BoxKind::Combo, .group = tx ? "GrpTx" : "GrpRx", .entries = kNormalInverted,
            .pos = pos, .command = tx ? "TSI" : "RSI",
            .confirm = tx ? "Tx spectrum to" : "Rx spectrum to"};
}

BoxRow Scrambler(bool tx, int pos) {
    return {.control = tx ? "ConfTSC" : "ConfRDS",
            .caption = tx ? "Scrambler" : "De-scrambler", .kind = BoxKind::Combo,
            .group = tx ? "GrpTx" : "GrpRx", .entries = kOffOn, .pos = pos,
            .command = tx ? "TSC" : "RDS",
            .confirm = tx ? "Tx scrambler to" : "Rx De-scrambler to"};
}

BoxRow PowerLevel(int pos, double low) {
    return {.control = "ConfTPL", .caption = "Power Level (dBm)", .kind = BoxKind::Edit,
            .group = "GrpTx", .pos = pos, .len = 4, .show = Show::NegReal, .width = 4,
            .decimals = 1, .command = "TPL", .value = Value::NegReal, .cmdWidth = 4,
            .cmdDecimals = 1, .ranges = {{low, 0}}, .resolution = 0.1,
            .prompt = "Enter Tx power level, between " + LimitText(low) +
                      " and 0 dBm, resolution 0.1 dB",
            .error = "ERROR: Bad power level rate value. Please correct it",
            .confirm = "Tx power level to -", .unit = " dBm"};
}

BoxRow Carrier(int pos) {
    return {.control = "ConfTXO", .caption = "Tx Carrier", .kind = BoxKind::Combo,
            .group = "GrpTx", .entries = kCarrier, .pos = pos, .command = "TXO",
            .confirm = "Tx carrier setting to"};
}

BoxRow Aupc(int pos, Entries entries) {
    return {.control = "ConfAUP", .caption = "AUPC", .kind = BoxKind::Combo,
            .group = "GrpTx", .entries = std::move(entries), .pos = pos, .command = "AUP",
            .confirm = "AUPControl to", .reread = Reread::Full()};
}

BoxRow ClockSource(int pos, Entries entries) {
    return {.control = "ConfTCK", .caption = "Tx Clock Source", .kind = BoxKind::Combo,
            .group = "GrpClocks", .entries = std::move(entries), .pos = pos, .command = "TCK",
            .confirm = "Tx clock source to", .reread = Reread::Full()};
}

BoxRow Sweep(int pos, int len, int max) {
    return {.control = "ConfRSW", .caption = "Sweep Width (kHz)", .kind = BoxKind::Edit,
            .group = "GrpRx", .pos = pos, .len = len, .show = Show::Int, .command = "RSW",
            .value = Value::Digits, .cmdWidth = 3, .ranges = {{1, double(max)}}, .integer = true,
            .prompt = "Enter Rx demodulator acquisition sweep width, integer between 1 and " +
                      std::to_string(max) + " kHz",
            .error = "ERROR: Bad sweep width. Please correct it",
            .confirm = "Rx sweep width to +/-", .unit = " kHz"};
}

BoxRow EbNoAlarm(int pos) {
    return {.control = "ConfEBA", .caption = "Eb/No Alarm Pt (dB)",
            .kind = BoxKind::Edit, .group = "GrpRx", .pos = pos, .len = 4, .show = Show::Real,
            .width = 4, .decimals = 1, .command = "EBA", .value = Value::Real, .cmdWidth = 4,
            .cmdDecimals = 1, .ranges = {{0.1, 16}}, .resolution = 0.1,
            .prompt = "Enter Eb/No alarm point, between 0.1 and 16 dB, resolution 0.1 dB",
            .error = "ERROR: Bad alarm point value. Please correct it",
            .confirm = "Eb/No alarm point to", .unit = " dB"};
}

BoxRow Reference(int pos, const char* command) {
    return {.control = "ConfERF", .caption = "Reference", .kind = BoxKind::Combo,
            .group = "GrpClocks", .entries = kReferences, .pos = pos, .command = command,
            .confirm = "Reference to", .reread = Reread::Full()};
}

BoxRow Adjust() {
    return {.control = "ConfADJ", .caption = "Adjust", .kind = BoxKind::Edit,
            .group = "GrpClocks", .source = Source::None, .show = Show::Int, .command = "ADJ",
            .value = Value::SignedDigits, .cmdWidth = 3, .ranges = {{-999, 999}},
            .integer = true,
            .prompt = "Enter Adjust value for Hi-Stability Reference, integer of +/-999",
            .error = "ERROR: Bad value. Please correct it", .gate = Gate::Remote};
}

BoxRow RemoteState(Entries entries) {
    return {.control = "ConfLRS", .caption = "Local/Remote", .kind = BoxKind::Combo,
            .group = "GrpUnit", .entries = std::move(entries), .source = Source::None,
            .command = "LRS", .gate = Gate::Always, .retry = Reread::RemoteState()};
}

BoxRow CircuitId(int width) {
    return {.control = "ConfCID", .caption = "Circuit ID", .kind = BoxKind::Edit,
            .group = "GrpUnit", .source = Source::None, .show = Show::Text, .command = "CID",
            .value = Value::Upper, .cmdWidth = width,
            .prompt = "Enter Circuit ID, up to 40 chars, including )(*+-., 0 to 9, A to Z (ALL CAPITALS)",
            .confirm = "Circuit ID to ", .retry = Reread::At(ModemReads::CircuitId)};
}

BoxRow OblixMode(int pos) {
    return {.control = "ConfEFM", .caption = "OBLIX mode", .kind = BoxKind::Combo,
            .group = "GrpUnit", .entries = kOblix, .pos = pos, .command = "EFM", .reread = Reread::At(ModemReads::SlaveAddress)};
}

BoxRow SlaveAddress(int pos) {
    return {.control = "ConfESA", .caption = "Slave address", .kind = BoxKind::Edit,
            .group = "GrpUnit", .pos = pos, .len = 4, .show = Show::Int, .command = "ESA",
            .value = Value::Digits, .cmdWidth = 4, .ranges = {{0, 9990}}, .resolution = 10,
            .integer = true,
            .prompt = "Enter OBLIX slave address range, 4 digits max, integer multiple of 10",
            .error = "ERROR: Bad slave address value. Please correct it", .gate = Gate::Remote};
}

BoxRow TestMode(int pos, Entries entries) {
    return {.control = "ConfTST", .caption = "Test Mode", .kind = BoxKind::Combo,
            .group = "GrpUnit", .entries = std::move(entries), .pos = pos, .command = "TST",
            .value = Value::Custom, .confirm = "Unit Test Mode to"};
}

BoxRow StatsLog(int pos) {
    return {.control = "ConfSSI", .caption = "Statistics Log", .kind = BoxKind::Combo,
            .group = "GrpUnit", .entries = kStatsLog, .pos = pos, .command = "SSI",
            .confirm = "Statistics Log Interval to"};
}

BoxRow OduComms(Source source, int pos, const char* command) {
    return {.control = "ConfODU", .caption = "FSK", .kind = BoxKind::Combo,
            .group = "GrpUnit", .entries = kDisabledEnabled, .source = source, .pos = pos,
            .command = command, .confirm = "ODU communications state to"};
}

BoxRow AupcTarget() {
    return {.control = "ConfAPPc", .caption = "Target Eb/No (dB)", .kind = BoxKind::Edit,
            .group = "GrpAupc", .source = Source::None, .show = Show::Real, .width = 3,
            .decimals = 1, .command = "APP", .value = Value::Encoded, .ranges = {{0, 14.9}},
            .resolution = 0.1,
            .prompt = "Enter target Eb/No for the remote demod, between 0 and 14.9 dB",
            .error = "ERROR: Bad value. Please correct it",
            .confirm = "AUPC Eb/No target value to ", .unit = " dB",
            .validation = Validation::Round, .encode = AupcTargetCode};
}

BoxRow AupcIncrease(int pos) {
    return {.control = "ConfAPI", .caption = "Maximum power increase",
            .kind = BoxKind::Combo, .group = "GrpAupc", .entries = kIncrease, .pos = pos,
            .command = "APP", .confirm = "max power increase permitted to"};
}

BoxRow AupcAtMaximum(int pos) {
    return {.control = "ConfAPM", .caption = "Action at maximum power",
            .kind = BoxKind::Combo, .group = "GrpAupc", .entries = kAtMaximum, .pos = pos,
            .command = "APP", .confirm = "action on reaching max power to"};
}

BoxRow AupcAtUnlock(int pos) {
    return {.control = "ConfAPU", .caption = "Action at remote demod unlock",
            .kind = BoxKind::Combo, .group = "GrpAupc", .entries = kAtUnlock, .pos = pos,
            .command = "APP", .confirm = "action on demod unlock to"};
}

CompositeRow AupcCommand() {
    return {"APP", {"ConfAPM", "ConfAPU", "ConfAPPc", "ConfAPI"}, {}};
}

BoxRow BucAddress(int pos, const char* command, const char* confirm) {
    return {.control = "ConfBAD", .caption = "BUC address", .kind = BoxKind::Combo,
            .group = "GrpOdu", .entries = kBucAddresses, .codes = kBucCodes,
            .source = Source::Odu, .pos = pos, .len = 2, .command = command, .confirm = confirm};
}

BoxRow Current(const char* control, const char* caption, int pos, int len,
                const char* command, Range range, double resolution, std::string prompt) {
    return {.control = control, .caption = caption, .kind = BoxKind::Edit,
            .group = "GrpOdu", .source = Source::Odu, .pos = pos, .len = len, .show = Show::Int,
            .command = command, .value = Value::Digits, .cmdWidth = len, .ranges = {range},
            .resolution = resolution, .integer = true, .prompt = std::move(prompt),
            .error = kBadCurrent, .gate = Gate::Remote};
}

BoxRow LoFrequency(const char* control, const char* caption, int pos,
                    const char* command, const char* confirm) {
    return {.control = control, .caption = caption, .kind = BoxKind::Edit,
            .group = "GrpOdu", .source = Source::Odu, .pos = pos, .len = 5, .show = Show::Int,
            .command = command, .value = Value::Digits, .cmdWidth = 5,
            .ranges = {{0, 0}, {3000, 65000}}, .integer = true, .prompt = kLoPrompt,
            .error = kBadLo, .confirm = confirm, .unit = " MHz, mix: "};
}

BoxRow LoMix(const char* control, const char* caption, int pos, const char* command,
              const char* confirm) {
    return {.control = control, .caption = caption, .kind = BoxKind::Combo,
            .group = "GrpOdu", .entries = kMix, .codes = kMix, .unknownEntry = 1,
            .source = Source::Odu, .pos = pos, .command = command, .confirm = confirm};
}

CompositeRow LoCommand(const char* command, const char* frequency, const char* mix,
                        const char* confirm) {
    return {command,
            {frequency, mix},
            {confirm, std::string("$") + frequency, " MHz, mix: ", std::string("$") + mix}};
}

// clang-format on
#pragma GCC diagnostic pop

} // namespace linvar::ModemRows
