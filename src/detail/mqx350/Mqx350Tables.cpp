// The MQX-350 family as data: its description, the entries of its drop-downs, one row a
// configuration box, the commands built from several boxes, the alarm masks and the
// memory previews.

#include "detail/mqx350/Mqx350Tables.h"
#include "detail/modem/ModemRows.h"
#include "detail/mqx350/Mqx350Window.h"

#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

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
const Entries kClockExtModes{" None", " Tx-Lock", " Rx-Enable"};
const Entries kClockExtInterfaces{" T1", " E1-Balanced", " E1-Unbalanced"};
const Entries kBuffers{" +/-   1024 bits",  " +/-   2048 bits",  " +/-   4096 bits",
                       " +/-   8192 bits",  " +/- 16384 bits",   " +/- 32768 bits",
                       " +/-     128 bits", " +/-     256 bits", " +/-     512 bits"};
const Entries kTestModes{" Normal",      " IF Loopback", " Digital Loopback", " I/O Loopback",
                         " RF Loopback", " Tx CW",       " Tx alt 101010"};
const Entries kRts{" RTS/CTS loop;  No action", " Loop;  RTS controls Tx O/P",
                   " Ignore RTS;  Assert CTS"};
const Entries kRemoteStates{" Local mode", " Serial Remote", " reserved index", " Ethernet Remote"};
const Entries kLockOut{" No lock-out", " Front-panel Lock-out"};
const Entries kLnbPower{" Off", " On, 13 volts", " On, 18 volts", " On, 24 volts"};
const char* const kIess = " IESS-315";

} // namespace u350

using namespace u350;
using namespace ModemEntries;

namespace {

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

FamilyDescription Mqx350Window::Describe() const {
    FamilyDescription f = ModemFamily();
    f.replies.plusClass = true;
    f.remoteStateRereads = true;
    f.memory.preview = ConfigPreview();
    if (IsL()) {
        f.memory.preludes = {"OGC?"};
        f.memory.preludePreviews = {OduPreview()};
    }
    return f;
}

// ---- the configuration boxes -----------------------------------------------------------

// The table: one row a box. Fields left out keep BoxRow's defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<BoxRow> Mqx350Window::ConfigBoxes() const {
    namespace Row = ModemRows;
    const ModelLimits& m = LimitsOf(IsL());
    const std::vector<Range>& freq = m.freq;
    const std::string& band = m.band;
    Entries modulations = kModulations;
    if (options_[6] == '0')
        modulations.pop_back(); // no " 8-QAM" without the modulation option
    const std::string ratePrompt =
        "Enter Tx data rate, between 2.4 and " + LimitText(rateMax_) + " kbps";
    const std::string rxRatePrompt =
        "Enter Rx data rate, between 2.4 and " + LimitText(rateMax_) + " kbps";
    const auto O = Source::Odu;
    const auto N = Source::None;
    const auto R = Gate::Remote;
    using K = BoxKind;
    BoxRow oduBase = Row::OduComms(N, 0, "ODU");
    oduBase.models = kModel350;
    oduBase.reread = Reread::At(kOduRead);
    BoxRow oduL = Row::OduComms(O, 3, "BCE");
    oduL.models = kModel351;

    // clang-format off
    return {
        // ---- transmit
        Row::Frequency(true, 4, 9, 9, freq, "Enter Tx frequency, " + band + ", resolution 100 Hz"),
        Row::FecType(true, 13, kFecTypes),
        Row::Modulation(true, 14, modulations),
        Row::FecCoding(true, 15, kCodings),
        Row::DataRate(true, 16, 8, 8, 8, {{2.4, rateMax_}}, ratePrompt),
        Row::Spectrum(true, 24),
        Row::Scrambler(true, 25),
        Row::PowerLevel(26, m.powerLow),
        {.control = "ConfTDI", .caption = "Tx Data", .kind = K::Combo, .group = "GrpTx",
         .entries = kNormalInverted, .pos = 31, .command = "TDI", .confirm = "Tx Data to"},
        Row::Carrier(32),
        Row::Aupc(33, kDisabledEnabled),
        {.control = "ConfWUD", .caption = "Warm-up Delay", .kind = K::Combo,
         .group = "GrpTx", .entries = kDisabledEnabled, .pos = 40, .command = "WUD",
         .confirm = "Warm-up Delay to"},
        // ---- receive
        Row::Frequency(false, 48, 9, 9, freq, "Enter Rx frequency, " + band + ", resolution 100 Hz"),
        Row::FecType(false, 57, kFecTypes),
        Row::Modulation(false, 58, modulations),
        Row::FecCoding(false, 59, kCodings),
        Row::DataRate(false, 60, 8, 8, 8, {{2.4, rateMax_}}, rxRatePrompt),
        Row::Spectrum(false, 68),
        Row::Scrambler(false, 69),
        {.control = "ConfRDI", .caption = "Rx Data", .kind = K::Combo, .group = "GrpRx",
         .entries = kNormalInverted, .pos = 70, .command = "RDI", .confirm = "Rx Data to"},
        Row::Sweep(71, 3, m.sweepMax),
        Row::EbNoAlarm(74),
        // ---- clocks
        Row::ClockSource(30, kClockSources),
        {.control = "ConfRBS", .caption = "Buffer Size", .kind = K::Combo,
         .group = "GrpClocks", .entries = kBuffers, .pos = 78, .command = "RBS",
         .confirm = "Rx Buffer size to"},
        Row::Reference(87, "ERF"),
        Row::Adjust(),
        // ---- unit
        Row::RemoteState(kRemoteStates),
        Row::CircuitId(24),
        {.control = "ConfITF", .caption = "Interface", .kind = K::Combo,
         .group = "GrpUnit", .entries = kInterfaces, .pos = 1, .command = "ITF",
         .confirm = "Interface type to", .reread = Reread::Full()},
        {.control = "ConfLBO", .caption = "T1 Line Build-out", .kind = K::Combo,
         .group = "GrpUnit", .entries = kBuildOut, .pos = 2, .command = "LBO",
         .confirm = "Line Build-out to"},
        {.control = "ConfFRM", .caption = "Framing", .kind = K::Combo, .group = "GrpUnit",
         .entries = kFraming, .pos = 3, .command = "FRM", .confirm = "Framing mode to",
         .reread = Reread::Full()},
        Row::OblixMode(88),
        Row::SlaveAddress(89),
        Row::TestMode(93, kTestModes),
        {.control = "ConfRTS", .caption = "Request-to-Send", .kind = K::Combo,
         .group = "GrpUnit", .entries = kRts, .pos = 106, .command = "RTS",
         .confirm = "RTS control to"},
        Row::StatsLog(107),
        {.control = "ConfABA", .caption = "Attach BUC alarm to Tx fault",
         .kind = K::Combo, .group = "GrpUnit", .entries = kNoYes, .pos = 108, .command = "ABA",
         .confirm = "Attach BUC fault to Tx:"},
        {.control = "ConfALA", .caption = "Attach LNB alarm to Rx fault",
         .kind = K::Combo, .group = "GrpUnit", .entries = kNoYes, .pos = 109, .command = "ALA",
         .confirm = "Attach LNB fault to Rx:"},
        {.control = "ConfFPL", .caption = "Front-panel lock-out", .kind = K::Combo,
         .group = "GrpUnit", .entries = kLockOut, .source = N, .command = "FPL",
         .confirm = "Front panel lock-out to"},
        oduBase,
        oduL,
        {.control = "ConfIPA", .caption = "IP address", .kind = K::Edit,
         .group = "GrpUnit", .source = N, .show = Show::Text, .command = "IPA",
         .value = Value::Typed, .prompt = "Enter IP address, format xxx.xxx.xxx.xxx.yy", .gate = R},
        // ---- clock extension
        {.control = "ConfCEXMode", .caption = "Mode", .kind = K::Combo,
         .group = "GrpClockExt", .entries = kClockExtModes, .pos = 41, .command = "CEX",
         .confirm = "Clk Extension parameters"},
        {.control = "ConfCEXItf", .caption = "Interface", .kind = K::Combo,
         .group = "GrpClockExt", .entries = kClockExtInterfaces, .pos = 42, .command = "CEX",
         .confirm = "Clk Extension parameters"},
        // ---- AUPC parameters (one "APP=" command for the four)
        Row::AupcTarget(),
        Row::AupcIncrease(39),
        Row::AupcAtMaximum(34),
        Row::AupcAtUnlock(35),
        // ---- ODU parameters (MQX-350L)
        Row::BucAddress(1, "BAD", "ODU address to "),
        {.control = "ConfBPC", .caption = "BUC DC power supply", .kind = K::Combo,
         .group = "GrpOdu", .entries = kDisabledEnabled, .source = O, .pos = 4, .command = "BPC",
         .confirm = "BUC DC power supply to"},
        {.control = "ConfBFR", .caption = "10 MHz Reference (BUC)", .kind = K::Combo,
         .group = "GrpOdu", .entries = kDisabledEnabled, .source = O, .pos = 5, .command = "BFR",
         .confirm = "10 MHz Reference (BUC) to"},
        {.control = "ConfBOE", .caption = "BUC output power", .kind = K::Combo,
         .group = "GrpOdu", .entries = kDisabledEnabled, .source = O, .pos = 6, .command = "BOE",
         .confirm = "BUC output power to"},
        Row::Current("ConfODL","BUC current limit Low (mA)", 11, 4, "BCL", {0, 3000}, 100,
                     "Enter current value, integer between 0 and 3000 (mA), resolution 100 (mA)"),
        Row::Current("ConfODH","BUC current limit High (mA)", 15, 4, "BCH", {500, 4000}, 100,
                     "Enter current limit, integer between 500 and 4000 (mA), resolution 100 (mA)"),
        Row::LoFrequency("ConfBLO","BUC LO frequency (MHz)", 19, "BLO", "Tx LO frequency to "),
        Row::LoMix("ConfBLOMix","BUC LO mix", 24, "BLO", "Tx LO frequency to "),
        {.control = "ConfLPC", .caption = "LNB DC power supply", .kind = K::Combo,
         .group = "GrpOdu", .entries = kLnbPower, .source = O, .pos = 31, .command = "LPC",
         .confirm = "LNB DC power supply to"},
        {.control = "ConfLFR", .caption = "10 MHz Reference (LNB)", .kind = K::Combo,
         .group = "GrpOdu", .entries = kDisabledEnabled, .source = O, .pos = 32, .command = "LFR",
         .confirm = "10 MHz Reference (LNB) to"},
        Row::Current("ConfLNL","LNB current limit Low (mA)", 33, 3, "LCL", {10, 400}, 0,
                     "Enter current limit, integer between 10 and 400 (mA)"),
        Row::Current("ConfLNH","LNB current limit High (mA)", 36, 3, "LCH", {50, 600}, 0,
                     "Enter current limit, integer between 50 and 600 (mA)"),
        Row::LoFrequency("ConfLLO","LNB LO frequency (MHz)", 39, "LLO", "Rx LO frequency to "),
        Row::LoMix("ConfLLOMix","LNB LO mix", 44, "LLO", "Rx LO frequency to "),
    };
    // clang-format on
}
#pragma GCC diagnostic pop

std::vector<CompositeRow> Mqx350Window::Composites() const {
    return {ModemRows::AupcCommand(),
            {"CEX", {"ConfCEXMode", "ConfCEXItf"}, {"Clk Extension parameters"}},
            ModemRows::LoCommand("BLO", "ConfBLO", "ConfBLOMix", "Tx LO frequency to "),
            ModemRows::LoCommand("LLO", "ConfLLO", "ConfLLOMix", "Rx LO frequency to ")};
}

MaskLayout Mqx350Window::Masks() const {
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

std::vector<StatusGroup> Mqx350Window::StatusPanel() {
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
