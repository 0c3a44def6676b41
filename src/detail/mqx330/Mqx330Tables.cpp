// The MQX-330 family as data: its description, the layout of its configuration string,
// the entries of its drop-downs, one row a configuration box, the AUPC command, the
// alarm masks, the status panel and the memory preview.

#include "detail/mqx330/Mqx330Window.h"

#include "wire/TextFormats.h"

namespace linvar {

namespace u330 {

using namespace ModemEntries;

// Index = code: the list shows those the unit has, each with its own code.
const Entries kFecTypes{" None (uncoded)",   " Viterbi",           " Sequential",
                        " Viterbi + R-S",    " Sequential + R-S",  " Turbo  3/4  QPSK",
                        " Turbo 21/44 BPSK", " Turbo  5/16  BPSK", " Turbo  3/4  OQPSK",
                        " Turbo  1/2  QPSK"};
const Entries kFecRates{" Rate 1/2", " Rate 3/4", " Rate 7/8"};
const Entries kModulations{" BPSK", " QPSK", " OQPSK"};
const Entries kClockSources{" Internal", " External", " Loop timed"};
const Entries kClockModes{" Buffer disabled", " Buffer enabled"};
const Entries kBuffers{" +/-  256 bits", " +/-  512 bits", " +/- 1024 bits", " +/- 2048 bits",
                       " +/- 4096 bits"};
const Entries kInterfaces{" RS422/EIA530 DCE", " V.35 DCE", " RS232", " IP interface"};
const Entries kFraming{" Unframed", " Framed"};
const Entries kTestModes{" Normal",       " IF loopback", " Digital Loopback",
                         " I/O loopback", " Tx CW",       " Tx alt 101010"};
const Entries kImpedances{" 50 ohm", " 75 ohm"};
const Entries kRemoteStates{" Local", " Remote"};

} // namespace u330

using namespace u330;
using namespace ModemEntries;

namespace {

constexpr const char* kBadFrequency = "ERROR: Bad frequency value. Please correct it";
constexpr const char* kBadRate = "ERROR: Bad data rate value. Please correct it";

// "52", "7.2": a limit as the prompts name it.
std::string Number(double v, int decimals = 1) {
    std::string s = DetailWindow::FixedReal(v, decimals);
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0)
        s.resize(s.size() - 2);
    return s;
}

Entries Codes(int first, size_t count) {
    Entries c;
    for (size_t i = 0; i < count; ++i)
        c.push_back(std::to_string(first + static_cast<int>(i)));
    return c;
}

} // namespace

// clang-format off
const StringLayout& Mqx330Window::Layout() const {
    static const StringLayout layout = [] {
        StringLayout l{};
        const auto set = [&l](Field f, int pos, int len = 1) {
            l[static_cast<size_t>(f)] = {pos, len};
        };
        set(Field::TxFreq, 1, 8);       set(Field::TxRate, 9, 8);
        set(Field::TxFecType, 17);      set(Field::TxFecRate, 18);
        set(Field::TxMod, 19);          set(Field::TxSpectrum, 20);
        set(Field::TxScrambler, 21);    set(Field::TxPower, 22, 4);
        set(Field::TxClock, 26);        set(Field::TxCarrier, 27);
        set(Field::RxFreq, 28, 8);      set(Field::RxRate, 36, 8);
        set(Field::RxFecType, 44);      set(Field::RxFecRate, 45);
        set(Field::RxMod, 46);          set(Field::RxSpectrum, 47);
        set(Field::RxDescrambler, 48);  set(Field::RxSweep, 49, 2);
        set(Field::RxClockMode, 51);    set(Field::EbNoAlarm, 52, 4);
        set(Field::RxBuffer, 56);       set(Field::Interface, 57);
        set(Field::Framing, 58);        set(Field::TestMode, 59);
        set(Field::Impedance, 60);      set(Field::Masks, 61, 5);
        set(Field::OduComms, 66);       set(Field::OblixAddress, 67, 4);
        set(Field::AupcEnable, 71);     set(Field::AupcAtMax, 72);
        set(Field::AupcAtUnlock, 73);   set(Field::AupcTarget, 74, 3);
        set(Field::AupcIncrease, 77);   set(Field::StatsInterval, 78);
        return l;
    }();
    return layout;
}
// clang-format on

FamilyDescription Mqx330Window::Describe() const {
    FamilyDescription f = ModemFamily();
    f.rejection.refused = "Command was not accepted, re-reading from unit...";
    f.rejection.timedOut.clear(); // a time-out is reported like any refusal
    f.rejection.pauseTicks = 20;
    f.remoteStateRereads = true;
    f.logNoun = rxOnly_ ? "Demod" : "Modem";
    f.memory.query = "CST?";
    f.memory.texts.previewTitle = " contents";
    f.memory.preview = ConfigPreview({});
    f.memory.askAgainWhenRefused = false;
    return f;
}

// ---- the configuration boxes -----------------------------------------------------------

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<BoxRow> Mqx330Window::ConfigBoxes() const {
    using K = BoxKind;
    const auto C = Source::Config;
    const auto N = Source::None;
    const auto Box = Validation::RefuseBox;
    const unsigned tx = Having(0, kRx);
    const auto pos = [this](Field f) { return At(f).pos; };
    const auto len = [this](Field f) { return At(f).len; };
    const auto freqRanges = [this] { return std::vector<Range>{freq_}; };
    const auto freqPrompt = [this](const char* dir) {
        return [this, dir] {
            return std::string("Enter a ") + dir + " frequency, between " + Number(freq_.low) +
                   " and " + Number(freq_.high) + " MHz, resolution 100Hz";
        };
    };
    const auto rateRanges = [this](bool isTx) {
        return [this, isTx] { return std::vector<Range>{RateLimits(isTx)}; };
    };
    const auto ratePrompt = [this](bool isTx) {
        return [this, isTx] {
            const Range r = RateLimits(isTx);
            return std::string("Enter ") + (isTx ? "Tx" : "Rx") + " data rate, between " +
                   FixedReal(r.low, 1) + " and " + Number(r.high) +
                   " kbps, resolution 1 bps, up to 8 characters";
        };
    };
    // The lists that grow with the software version keep their codes: the entries
    // shown are the first of the codes the options allow.
    const Entries fecCodes = FecCodes();
    const auto fecNow = [this] { return FecEntriesNow(); };
    const auto carrierNow = [this] {
        return version_ >= 1.11 - 1e-9 ? kCarrier : Entries{kCarrier[0], kCarrier[1]};
    };
    Entries interfaces = kInterfaces;
    if (!opt_.ip)
        interfaces.pop_back();
    const Entries modCodes = Codes(1, 3);

    // clang-format off
    return {
        // ---- transmit
        {.control = "TxFreq", .caption = "Frequency (MHz)", .kind = K::Edit,
         .group = "GrpTx", .models = tx, .source = C, .pos = pos(Field::TxFreq),
         .len = len(Field::TxFreq), .show = Show::Real, .width = 8, .decimals = 4,
         .command = "TFQ", .value = Value::Real, .cmdWidth = 8, .cmdDecimals = 4,
         .error = kBadFrequency, .confirm = "Tx frequency to", .unit = " MHz",
         .validation = Box, .rangesNow = freqRanges, .promptNow = freqPrompt("Tx")},
        {.control = "TxDataRate", .caption = "Data rate (kbps)", .kind = K::Edit,
         .group = "GrpTx", .models = tx, .source = C, .pos = pos(Field::TxRate),
         .len = len(Field::TxRate), .show = Show::Real, .width = 8, .decimals = 3,
         .command = "TDR", .value = Value::Real, .cmdWidth = 8, .cmdDecimals = 3,
         .error = kBadRate, .confirm = "Tx data rate to", .unit = " kbps", .validation = Box,
         .rangesNow = rateRanges(true), .promptNow = ratePrompt(true)},
        {.control = "TxFECtype", .caption = "FEC type", .kind = K::Combo,
         .group = "GrpTx", .codes = fecCodes, .models = tx, .source = C,
         .pos = pos(Field::TxFecType), .command = "TFT", .confirm = "Tx FEC type to",
         .entriesNow = fecNow},
        {.control = "TxFECrate", .caption = "FEC rate", .kind = K::Combo,
         .group = "GrpTx", .entries = kFecRates, .codes = {"1", "3", "7"}, .unknownEntry = 2,
         .models = tx, .source = C, .pos = pos(Field::TxFecRate), .command = "TCR",
         .confirm = "Tx FEC rate to"},
        {.control = "TxMod", .caption = "Modulation", .kind = K::Combo,
         .group = "GrpTx", .entries = kModulations, .codes = modCodes, .models = tx,
         .source = C, .pos = pos(Field::TxMod), .command = "TMD",
         .confirm = "Tx modulation type to"},
        {.control = "TxSpectrum", .caption = "Spectrum", .kind = K::Combo,
         .group = "GrpTx", .entries = kNormalInverted, .models = tx, .source = C,
         .pos = pos(Field::TxSpectrum), .command = "TSI", .confirm = "Tx spectrum to"},
        {.control = "TxScrambler", .caption = "Scrambler", .kind = K::Combo,
         .group = "GrpTx", .entries = kOffOn, .models = tx, .source = C,
         .pos = pos(Field::TxScrambler), .command = "TSC", .confirm = "Tx scrambler to"},
        {.control = "TxPowLev", .caption = "Power level (dBm)", .kind = K::Edit,
         .group = "GrpTx", .models = tx, .source = C, .pos = pos(Field::TxPower),
         .len = len(Field::TxPower), .show = Show::NegReal, .width = 4, .decimals = 1,
         .command = "TPL", .value = Value::NegReal, .cmdWidth = 4, .cmdDecimals = 1,
         .ranges = {{-20, 0}},
         .prompt = "Enter Tx power level, between 0 and -20 dBm, resolution .1 dB",
         .error = "ERROR: Bad power level rate value. Please correct it",
         .confirm = "Tx power level to -", .unit = " dBm", .validation = Box},
        {.control = "TxClkSrc", .caption = "Clock source", .kind = K::Combo,
         .group = "GrpTx", .entries = kClockSources, .codes = Codes(1, 3), .models = tx,
         .source = C, .pos = pos(Field::TxClock), .command = "TCK",
         .confirm = "Tx clock source to"},
        {.control = "TxCarrier", .caption = "Carrier", .kind = K::Combo,
         .group = "GrpTx", .codes = {"0", "1", "3"}, .models = tx, .source = C,
         .pos = pos(Field::TxCarrier), .command = "TXO", .confirm = "Tx carrier setting to",
         .entriesNow = carrierNow},
        // ---- receive
        {.control = "RxFreq", .caption = "Frequency (MHz)", .kind = K::Edit,
         .group = "GrpRx", .source = C, .pos = pos(Field::RxFreq), .len = len(Field::RxFreq),
         .show = Show::Real, .width = 8, .decimals = 4, .command = "RFQ", .value = Value::Real,
         .cmdWidth = 8, .cmdDecimals = 4, .error = kBadFrequency,
         .confirm = "Rx frequency to", .unit = " MHz", .validation = Box,
         .rangesNow = freqRanges, .promptNow = freqPrompt("Rx")},
        {.control = "RxDataRate", .caption = "Data rate (kbps)", .kind = K::Edit,
         .group = "GrpRx", .source = C, .pos = pos(Field::RxRate), .len = len(Field::RxRate),
         .show = Show::Real, .width = 8, .decimals = 3, .command = "RDR", .value = Value::Real,
         .cmdWidth = 8, .cmdDecimals = 3, .error = kBadRate, .confirm = "Rx data rate to",
         .unit = " kbps", .validation = Box, .rangesNow = rateRanges(false),
         .promptNow = ratePrompt(false)},
        {.control = "RxFECtype", .caption = "FEC type", .kind = K::Combo,
         .group = "GrpRx", .codes = fecCodes, .source = C, .pos = pos(Field::RxFecType),
         .command = "RFT", .confirm = "Rx FEC type to", .entriesNow = fecNow},
        {.control = "RxFECrate", .caption = "FEC rate", .kind = K::Combo,
         .group = "GrpRx", .entries = kFecRates, .codes = {"1", "3", "7"}, .unknownEntry = 2,
         .source = C, .pos = pos(Field::RxFecRate), .command = "RCR",
         .confirm = "Rx FEC rate to"},
        {.control = "RxMod", .caption = "Modulation", .kind = K::Combo,
         .group = "GrpRx", .entries = kModulations, .codes = modCodes, .source = C,
         .pos = pos(Field::RxMod), .command = "RMD", .confirm = "Rx modulation type to"},
        {.control = "RxSpectrum", .caption = "Spectrum", .kind = K::Combo,
         .group = "GrpRx", .entries = kNormalInverted, .source = C,
         .pos = pos(Field::RxSpectrum), .command = "RSI", .confirm = "Rx spectrum to"},
        {.control = "RxDescrambler", .caption = "De-scrambler", .kind = K::Combo,
         .group = "GrpRx", .entries = kOffOn, .source = C, .pos = pos(Field::RxDescrambler),
         .command = "RDS", .confirm = "Rx De-scrambler to"},
        {.control = "RxSweep", .caption = "Sweep width (kHz)", .kind = K::Edit,
         .group = "GrpRx", .source = C, .pos = pos(Field::RxSweep), .len = len(Field::RxSweep),
         .show = Show::Int, .command = "RSW", .value = Value::Digits, .cmdWidth = 2,
         .ranges = {{1, 30}}, .integer = true,
         .prompt = "Enter Rx demodulator acquisition sweep range, integer between 1 and 30",
         .error = "ERROR: Bad sweep width. Please correct it",
         .confirm = "Rx sweep width to +/-", .unit = " kHz", .validation = Box},
        {.control = "RxClkMode", .caption = "Clock mode", .kind = K::Combo,
         .group = "GrpRx", .entries = kClockModes, .source = C, .pos = pos(Field::RxClockMode),
         .command = "RCK", .confirm = "Rx clock mode to"},
        {.control = "RxBuffer", .caption = "Buffer", .kind = K::Combo,
         .group = "GrpRx", .entries = kBuffers, .codes = Codes(1, 5), .source = C,
         .pos = pos(Field::RxBuffer), .command = "RBS", .confirm = "Rx buffer mode to"},
        {.control = "EbNoAlarmPt", .caption = "Eb/No alarm point (dB)",
         .kind = K::Edit, .group = "GrpRx", .source = C, .pos = pos(Field::EbNoAlarm),
         .len = len(Field::EbNoAlarm), .show = Show::Real, .width = 4, .decimals = 1,
         .command = "EBA", .value = Value::Real, .cmdWidth = 4, .cmdDecimals = 1,
         .ranges = {{0, 16}},
         .prompt = "Enter an Eb/No alarm point, up to 4 digits, between 0 and 16 dB, resolution .1 dB",
         .error = "ERROR: Bad alarm point value. Please correct it",
         .confirm = "Eb/No alarm point to", .unit = " dB", .validation = Box},
        // ---- unit
        {.control = "CircuitID", .caption = "Circuit ID", .kind = K::Edit,
         .group = "GrpUnit", .source = N, .show = Show::Text, .command = "CID",
         .value = Value::Upper, .cmdWidth = 24,
         .prompt = "Enter Circuit ID, up to 24 chars, including )(*+-., 0 to 9, A to Z (ALL CAPITALS)",
         .confirm = "Circuit ID to ", .gate = Gate::Remote, .lockable = false},
        {.control = "ConfLRS", .caption = "Local/Remote", .kind = K::Combo,
         .group = "GrpUnit", .entries = kRemoteStates, .models = Having(kAupc), .source = N,
         .command = "LRS", .gate = Gate::Always},
        {.control = "InterfaceType", .caption = "Interface", .kind = K::Combo,
         .group = "GrpUnit", .entries = interfaces, .codes = Codes(1, interfaces.size()),
         .source = C, .pos = pos(Field::Interface), .command = "ITF",
         .confirm = "Unit Interface type to"},
        {.control = "FramingMode", .caption = "Framing", .kind = K::Combo,
         .group = "GrpUnit", .entries = kFraming, .source = C, .pos = pos(Field::Framing),
         .command = "FRM"},
        {.control = "TestMode", .caption = "Test mode", .kind = K::Combo,
         .group = "GrpUnit", .entries = kTestModes, .models = tx, .source = C,
         .pos = pos(Field::TestMode), .command = "TST", .confirm = "Unit Test Mode to"},
        {.control = "IFimpedance", .caption = "IF impedance", .kind = K::Combo,
         .group = "GrpUnit", .entries = kImpedances, .codes = {"5", "7"}, .unknownEntry = 1,
         .source = C, .pos = pos(Field::Impedance), .command = "IMP",
         .confirm = "Unit Impedance to"},
        {.control = "ODUcomms", .caption = "ODU comms", .kind = K::Combo,
         .group = "GrpUnit", .entries = kDisabledEnabled, .source = C,
         .pos = pos(Field::OduComms), .command = "ODU",
         .confirm = "ODU communications state to"},
        {.control = "OBLIXslaveAdd", .caption = "OBLIX slave address",
         .kind = K::Edit, .group = "GrpUnit", .models = tx, .source = C,
         .pos = pos(Field::OblixAddress), .len = len(Field::OblixAddress), .show = Show::Int,
         .command = "ESA", .value = Value::Digits, .cmdWidth = 4, .ranges = {{0, 9990}},
         .resolution = 10, .integer = true,
         .prompt = "Enter OBLIX slave address range, 4 digits max, integer multiple of 10",
         .error = "ERROR: Bad slave address value. Please correct it",
         .confirmation = Confirmation::Never, .validation = Box},
        {.control = "ssi", .caption = "Statistics log interval", .kind = K::Combo,
         .group = "GrpUnit", .entries = kStatsLog, .source = C,
         .pos = pos(Field::StatsInterval), .command = "SSI",
         .confirm = "Statistics Log Interval to"},
        // ---- receive only
        {.control = "BoxLNB", .caption = "12V LNB Power", .kind = K::Combo,
         .group = "GrpRxOnly", .entries = kOffOn, .models = Having(kRx), .source = N,
         .command = "LNB", .confirmation = Confirmation::Never, .retry = Reread::At(kLnbRead)},
        // ---- PiV-330
        {.control = "IPaddress", .caption = "IP address", .kind = K::Edit,
         .group = "GrpIp", .models = Having(kIp), .source = N, .show = Show::Text,
         .command = "IPA", .value = Value::Typed,
         .prompt = "Enter an IP address and range, format: aaa.bbb.ccc.ddd.ee",
         .confirmation = Confirmation::Never},
        // ---- AUPC (one "APP=" for the four parameters)
        {.control = "ConfAUP", .caption = "AUPC", .kind = K::Combo,
         .group = "GrpAupc", .entries = kDisabledEnabled, .models = Having(kAupc, kRx),
         .source = C, .pos = pos(Field::AupcEnable), .command = "AUP",
         .confirm = "AUPControl to"},
        {.control = "ConfAPPa", .caption = "When maximum power reached",
         .kind = K::Combo, .group = "GrpAupc", .entries = kAtMaximum, .models = Having(kAupc),
         .source = C, .pos = pos(Field::AupcAtMax), .command = "APP",
         .confirm = "action on reaching max power to"},
        {.control = "ConfAPPb", .caption = "When remote demod unlocked",
         .kind = K::Combo, .group = "GrpAupc", .entries = kAtUnlock, .models = Having(kAupc),
         .source = C, .pos = pos(Field::AupcAtUnlock), .command = "APP",
         .confirm = "action on demod unlock to"},
        {.control = "ConfAPPc", .caption = "Target Eb/No (dB)", .kind = K::Edit,
         .group = "GrpAupc", .models = Having(kAupc), .source = C,
         .pos = pos(Field::AupcTarget), .len = len(Field::AupcTarget), .show = Show::Real,
         .width = 3, .decimals = 1, .command = "APP", .value = Value::Real, .cmdWidth = 3,
         .cmdDecimals = 1, .ranges = {{0, 9.9}},
         .prompt = "Enter the target Eb/No for the remote demod, between 0 and 9.9 dB",
         .error = "ERROR: Bad value. Please correct it",
         .confirm = "AUPC Eb/No target value to ", .unit = " dB",
         .validation = Validation::Restore},
        {.control = "ConfAPPd", .caption = "Maximum increase in Tx power",
         .kind = K::Combo, .group = "GrpAupc", .entries = kIncrease, .models = Having(kAupc),
         .source = C, .pos = pos(Field::AupcIncrease), .command = "APP",
         .confirm = "max power increase permitted to"},
    };
    // clang-format on
}
#pragma GCC diagnostic pop

std::vector<CompositeRow> Mqx330Window::Composites() const {
    return {{"APP", {"ConfAPPa", "ConfAPPb", "ConfAPPc", "ConfAPPd"}, {}}};
}

MaskLayout Mqx330Window::Masks() const {
    return {"GrpMasks",
            {{"MaskTxAis", "Tx AIS"},
             {"MaskRxAgc", "Rx AGC"},
             {"MaskBuffer", "Buffer"},
             {"MaskRxAis", "Rx AIS"},
             {"MaskEbNo", "Eb/No"}},
            At(Field::Masks).pos,
            "MSK",
            "alarms masks"};
}

// ---- the status panel -------------------------------------------------------------------

std::vector<StatusGroup> Mqx330Window::StatusPanel() {
    constexpr int wide = 30;
    return {{"StatusLeft",
             "UnitStatus",
             "Unit",
             {{"StaLRS", "Local/Remote"},
              {"CircuitID2", "Circuit ID", wide},
              {"StaSWR", "Software version"},
              {"SerialNo", "Serial number"},
              {"NrLogEvents", "Events Log, unread lines"},
              {"NrLogStats", "Statistics Log, unread lines"}}},
            {"StatusLeft",
             "FaultStatus",
             "Faults",
             {{"UnitFault", "Unit", wide},
              {"TXfault", "Tx", wide},
              {"RXfault", "Rx", wide},
              {"StaTXO", "Tx carrier", wide},
              {"StaRED", "Redundancy", wide}}},
            {"StatusMid",
             "RxStatus",
             "Receive",
             {{"StaEbNo", "Eb/No"},
              {"StaRFO", "Freq Offset"},
              {"StaBER", "BER"},
              {"StaBFS", "Buffer Fill State"},
              {"StaAGC", "AGC", wide}}},
            {"StatusMid",
             "AupcStatus",
             "Automatic Uplink Power Control",
             {{"StaREB", "Eb/No of Remote Demodulator"}, {"StaPLI", "Tx Power Level Increase"}}},
            {"StatusMid", "IpStatus", "IP", {{"StaIPA", "IP address", wide}}}};
}

// ---- the memory preview --------------------------------------------------------------------

std::vector<PreviewMemo> Mqx330Window::ConfigPreview(const PreviewStyle& style) const {
    using Preview::Custom;
    using Preview::Entry;
    using Preview::Int;
    using Preview::Real;
    const auto real = [this](Field f, int decimals) {
        return Real(At(f).pos, At(f).len, decimals, At(f).len);
    };
    const auto entry = [this](const Entries& e, Field f) { return Entry(e, At(f).pos); };
    // A list whose codes start at 1.
    const auto from1 = [](const Entries& e) {
        Entries shifted{""};
        shifted.insert(shifted.end(), e.begin(), e.end());
        return shifted;
    };
    // FEC rate and modulation, for the codes that have them (below the turbo codes).
    const auto coding = [this, style, from1](Field type, Field rate, Field mod) {
        const int first = style.fecTypeField ? At(type).pos : At(rate).pos;
        const int span = At(mod).pos - first + 1;
        const int typeAt = At(type).pos - first, rateAt = At(rate).pos - first,
                  modAt = At(mod).pos - first;
        const Entries mods = from1(kModulations);
        return Custom(first, span, [=](const std::string& f) {
            if (style.fecTypeField && IntOfText(f.substr(static_cast<size_t>(typeAt), 1)) >= 5)
                return std::string();
            const char r =
                f.size() > static_cast<size_t>(rateAt) ? f[static_cast<size_t>(rateAt)] : ' ';
            const std::string rate = r == '1'   ? kFecRates[0]
                                     : r == '3' ? kFecRates[1]
                                                : kFecRates[2];
            return rate + EntryOf(mods, f.size() > static_cast<size_t>(modAt)
                                            ? f[static_cast<size_t>(modAt)]
                                            : ' ');
        });
    };
    const auto fec = [&](Field type) -> PreviewLine {
        if (!style.fecTypeField)
            return {"Viterbi coding"};
        return {entry(kFecTypes, type), " coding"};
    };
    const Entries carrier{kCarrier[0], kCarrier[1], "", kCarrier[2]}; // a stored 3 is RTI
    Entries tests{"Normal Operation"};
    for (size_t i = 1; i < kTestModes.size(); ++i)
        tests.push_back("Test: " + kTestModes[i]);
    std::vector<PreviewMemo> memos{
        {"MemTx",
         {{style.tx},
          {real(Field::TxFreq, 4), " MHz"},
          {real(Field::TxRate, 3), " kbps"},
          fec(Field::TxFecType),
          {coding(Field::TxFecType, Field::TxFecRate, Field::TxMod)},
          {entry(kNormalInverted, Field::TxSpectrum)},
          {"Scrambler", entry(kOffOn, Field::TxScrambler)},
          {"Power -", real(Field::TxPower, 1), style.powerUnit},
          {entry(from1(kClockSources), Field::TxClock), " Clock"},
          {"Carrier", entry(carrier, Field::TxCarrier)}}},
        {"MemRx",
         {{style.rx},
          {real(Field::RxFreq, 4), " MHz"},
          {real(Field::RxRate, 3), " kbps"},
          fec(Field::RxFecType),
          {coding(Field::RxFecType, Field::RxFecRate, Field::RxMod)},
          {entry(kNormalInverted, Field::RxSpectrum)},
          {"De-scrambler", entry(kOffOn, Field::RxDescrambler)},
          {style.sweep, Int(At(Field::RxSweep).pos, At(Field::RxSweep).len), " kHz"},
          {"Buffer:", entry(from1(kBuffers), Field::RxBuffer)},
          {"Eb/No Alarm @ ", real(Field::EbNoAlarm, 1), " dB"}}},
        {"MemUnit",
         {{style.unit},
          {entry(from1(kInterfaces), Field::Interface)},
          {Custom(At(Field::Impedance).pos, 1,
                  [](const std::string& c) { return c == "5" ? kImpedances[0] : kImpedances[1]; })},
          {"ODU Comms", entry(kDisabledEnabled, Field::OduComms)},
          {entry(tests, Field::TestMode)},
          {"OBLIX slave address ", Int(At(Field::OblixAddress).pos, At(Field::OblixAddress).len)}}},
    };
    if (style.aupc)
        memos.push_back({"MemAupc",
                         {{"AUPC", entry(kDisabledEnabled, Field::AupcEnable)},
                          {"Target EbNo: ", real(Field::AupcTarget, 1), " dB"},
                          {"Max increase: ", entry(kIncrease, Field::AupcIncrease)},
                          {entry(kAtMaximum, Field::AupcAtMax), " on Pmax"},
                          {entry(kAtUnlock, Field::AupcAtUnlock), " w/Unlock"}}});
    return memos;
}

} // namespace linvar
