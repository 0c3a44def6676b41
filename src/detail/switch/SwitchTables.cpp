// The redundancy switch as data: its description, its configuration boxes, the status
// panel's value groups, the lamp table of each model, the reading steps and the texts of
// its event log.

#include "detail/switch/SwitchWindow.h"

#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

namespace linvar {

namespace {

constexpr const char* kHoldPrompt = "Enter an integer value for Holdoff Time, between 1 and 99";
constexpr int kFailure = 110;

// A list entry and its colour on the status panel.
const std::vector<std::string> kModes{" Manual Operation", " Automatic Operation"};
const std::vector<std::string> kLocalRemote{" Local Mode", " Remote Mode"};
const std::vector<std::string> kBridge{" Bridging", " Backing up"};
const std::vector<std::string> kSwitchMasks{" None masked", " Mask PSU-A fault",
                                            " Mask PSU-B fault "};

std::vector<std::string> TrafficModems(bool codes) {
    std::vector<std::string> out;
    for (int k = 1; k <= 10; ++k)
        out.push_back(codes ? TwoDigits(k) : " " + std::to_string(k));
    return out;
}

} // namespace

FamilyDescription SwitchWindow::Describe() const {
    FamilyDescription f;
    f.replies = {.plusClass = false,
                 .tildeText = "",
                 .bangText = "",
                 .timeoutNotice = "Communications were timed out, check system",
                 .slowMnemonic = "",
                 .slowSeconds = 0};
    f.helpTopic = 7;
    f.rejection = {.refused = "Command was not accepted; parameter re-read from unit...",
                   .timedOut = "",
                   .onInstructionLine = true,
                   .pauseTicks = 0,
                   .clearAfterTicks = 20};
    f.sentText = "Re-configuration sent, please wait...";
    f.logNoun = "Switch";
    f.logs = {{.name = "Events",
               .stored = "Event",
               .countQuery = "NUE",
               .readQuery = "RNE",
               .clearCommand = "CAE",
               .button = "BtnChooseFile",
               .caption = "Choose File &Name",
               .countLabel = "LogCount",
               .recordWidth = 15,
               .decode = EventLine}};
    f.logTexts.goingToStore = "Going to store event data to: ";
    f.logTexts.newFile =
        "There is no pre-existing data file. A new file will be made to store the event data";
    f.logTexts.readHint = "Now read the Switch and store the event information to file";
    f.logTexts.readButton = "&Read Switch Events";
    f.logTexts.readStep = kLogRead;
    f.logTexts.writeStep = kLogWrite;
    f.logTexts.idleStep = kLogIdle;
    f.blankLineOnAppend = false;
    f.clock = {.monthFirst = false, .unitCaption = "Switch:", .hourZero = "0"};
    // The preview's lamps and mode are the window's own labels; the memo holds the lines.
    f.memory.query = "CST?";
    f.memory.preview = {
        {"PrvLines",
         {{"Redundant Modem ", Preview::Custom(13, 3,
                                               [](const std::string& c) {
                                                   return std::string(c.substr(0, 1) == "1"
                                                                          ? "Bridging TM# "
                                                                          : "Backing-up TM# ") +
                                                          SubInt(c, 2, 2);
                                               })},
          {"Back-up Holdoff Time : ", Preview::Int(16, 2), " sec"},
          {"Restore Holdoff Time : ", Preview::Int(18, 2), " sec"}},
         true}};
    f.panels = {.logs = true, .utilities = true, .buffer = false, .switchover = false};
    f.steering = Steering::Steps;
    f.configCaption = "Con&figuration";
    f.statusStep = kStatus;
    f.configStep = kConfig;
    f.logsStep = kLog;
    f.utilitiesStep = kUtilities;
    return f;
}

// ---- the configuration boxes -------------------------------------------------------

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<BoxRow> SwitchWindow::ConfigBoxes() const {
    const auto E = BoxKind::Edit;
    const auto L = BoxKind::Combo;
    const auto N = Source::None;
    const auto never = Confirmation::Never;
    // clang-format off
    std::vector<BoxRow> rows = {
        {.control = "ConfOPM", .caption = "Auto/Manual state", .kind = L,
         .group = "GrpSwitchConf", .entries = kModes, .source = N, .command = "OPM",
         .confirmation = never, .retry = Reread::At(kReadOpm)},
        {.control = "ConfLRS", .caption = "Local/Remote state", .kind = L,
         .group = "GrpSwitchConf", .entries = kLocalRemote, .source = N, .command = "LRS",
         .gate = Gate::Always, .confirmation = never, .retry = Reread::At(kReadLrs)},
        {.control = "ConfSID", .caption = "Switch ID", .kind = E,
         .group = "GrpSwitchConf", .source = N, .command = "SID", .value = Value::Upper,
         .cmdWidth = 24,
         .prompt = "Enter Switch ID, up to 24 chars, including )(*+-., 0 to 9, A to Z (ALL "
                   "CAPITALS)",
         .confirmation = never, .sendUnchanged = true, .retry = Reread::At(kReadSid)},
        {.control = "ConfBKH", .caption = "Backup Holdoff Delay Time (sec)", .kind = E,
         .group = "GrpSwitchConf", .source = N, .show = Show::Int, .command = "BKH",
         .value = Value::Digits, .cmdWidth = 2, .ranges = {{1, 99}}, .integer = true,
         .prompt = kHoldPrompt, .error = kHoldPrompt, .confirmation = never,
         .validation = Validation::Clamp,
         .noteLow = "Note: value has been corrected to lowest permitted",
         .noteHigh = "Note: value has been corrected to highest permitted",
         .sendUnchanged = true, .retry = Reread::At(kReadBkh)},
        {.control = "ConfBBM", .caption = "", .kind = L, .group = "GrpBridgeConf",
         .entries = kBridge, .source = N, .command = "BBU",
         .confirmation = Confirmation::Always, .retry = Reread::At(kReadBbu)},
        {.control = "ConfBTM", .caption = "Traffic Modem #", .kind = L,
         .group = "GrpBridgeConf", .entries = TrafficModems(false), .codes = TrafficModems(true),
         .source = N, .command = "BBU", .confirmation = Confirmation::Always, .retry = Reread::At(kReadBbu)},
        {.control = "ConfSAM", .caption = "Switch Alarm Mask", .kind = L,
         .group = "GrpMaskConf", .entries = kSwitchMasks, .source = N, .command = "SAM",
         .confirmation = never, .retry = Reread::At(kReadSam)},
    };
    // clang-format on
    // The restore hold-off is the backup hold-off's twin.
    BoxRow restore = rows[3];
    restore.control = "ConfRSH";
    restore.caption = "Restore Holdoff Delay Time (sec)";
    restore.command = "RSH";
    restore.retry = Reread::At(kReadRsh);
    rows.insert(rows.begin() + 4, restore);
    return rows;
}
#pragma GCC diagnostic pop

std::vector<CompositeRow> SwitchWindow::Composites() const {
    return {
        {"BBU", {"ConfBBM", "ConfBTM"}, {"Bridge/Backup mode to", "$ConfBBM", " TM#", "$ConfBTM"}}};
}

// ---- the status panel ---------------------------------------------------------------

std::vector<StatusGroup> SwitchWindow::StatusPanel() {
    return {
        {"StatusRight",
         "GrpSystem",
         "System",
         {{"StaOPM", "", 20},
          {"StaBKH", "Backup Holdoff Delay Time (sec)", 6},
          {"StaRSH", "Restore Holdoff Delay Time (sec)", 6},
          {"StaNUE", "Number of Unread Alarms", 6},
          {"StaLRS", "", 20},
          {"StaSID", "Switch ID", 30}}},
        {"StatusRight",
         "GrpRedundant",
         "Redundant Modem",
         {{"StaRMC", "Comms", 16}, {"StaBBU", "Bridge/Backup", 24}}},
        {"StatusRight",
         "GrpSwitchAlarms",
         "Switch Unit Alarms",
         {{"StaPSA", "PSU  A ", 18}, {"StaPSB", "PSU  B ", 18}, {"StaTMI", "TMIs OK", 18}}},
    };
}

SwitchWindow::InterfaceLook SwitchWindow::LookOf(const std::string& model, char digit) {
    using namespace Colours;
    // Installed / Valid Configuration / Active and the button, by state digit 0-3.
    static const InterfaceLook m420[] = {{gray, gray, gray, "U"},
                                         {lime, red, gray, "U"},
                                         {lime, lime, gray, "A"},
                                         {lime, lime, lime, "D"}};
    static const InterfaceLook m430[] = {{gray, gray, gray, "U"},
                                         {lime, gray, gray, "A"},
                                         {lime, lime, lime, "D"},
                                         {lime, red, lime, "D"}};
    const int d = digit >= '0' && digit <= '3' ? digit - '0' : 0;
    return model == "430" ? m430[d] : m420[d];
}

// ---- the reading steps ----------------------------------------------------------------

std::vector<ReadStep> SwitchWindow::ReadingSteps() {
    // An "=" reply is shown and the list goes on at `next` (or the configuration's next);
    // any other reply goes to the failure step.
    const auto read = [this](int step, const char* request, int next, bool configNext,
                             std::function<void(const std::string&)> show) {
        return ReadStep{step, request,
                        [this, next, configNext, show](const std::string& r) {
                            if (!StartsWith(r, "="))
                                return kFailure;
                            show(r);
                            return configNext ? ConfigNext(next) : next;
                        },
                        next, kFailure};
    };
    const auto digit = [](const std::string& r) { return r.size() > 1 ? r[1] : ' '; };
    return {
        read(1, "EID?", 3, false,
             [this](const std::string& r) {
                 modelCode_ = Chars(r, 3, 3);
                 at("StaTMI").setVisible(modelCode_ == "430");
                 at("StaTMICap").setVisible(modelCode_ == "430");
                 setCaption("Detail of a Arvelle Redundancy Switch, TRV-" + modelCode_);
             }),
        // A switch without the long serial number answers the short one.
        {3, "ESN?",
         [this](const std::string& r) {
             if (!StartsWith(r, "="))
                 return 5;
             ShowCaption(", s/n " + Chars(r, 2, 11));
             return 7;
         }},
        read(5, "SNO?", 7, false,
             [this](const std::string& r) { ShowCaption(", s/n " + Chars(r, 2, 10)); }),
        read(7, "SWR?", 21, false,
             [this](const std::string& r) { ShowCaption(", software rev " + Chars(r, 2, 4)); }),
        read(kReadSid, "SID?", 25, true,
             [this](const std::string& r) {
                 SetValue("StaSID", Chars(r, 2, 24), Colours::white);
                 SetBoxText("ConfSID", Chars(r, 2, 24));
             }),
        read(25, "MAM?", 29, true, [this, digit](const std::string& r) { DecodeMam(digit(r)); }),
        read(kReadSam, "SAM?", 33, true,
             [this, digit](const std::string& r) { DecodeSam(digit(r)); }),
        read(33, "AAM?", 37, true,
             [this, digit](const std::string& r) {
                 DecodeAam(digit(r));
                 ShowInstruction("");
             }),
        read(kReadOpm, "OPM?", 41, true,
             [this, digit](const std::string& r) { DecodeOpm(digit(r)); }),
        read(kReadBkh, "BKH?", 45, true,
             [this](const std::string& r) {
                 const std::string v = std::to_string(IntOfText(Chars(r, 2, 2)));
                 SetValue("StaBKH", v, Colours::white);
                 SetBoxText("ConfBKH", " " + v);
             }),
        read(kReadRsh, "RSH?", 71, true,
             [this](const std::string& r) {
                 const std::string v = std::to_string(IntOfText(Chars(r, 2, 2)));
                 SetValue("StaRSH", v, Colours::white);
                 SetBoxText("ConfRSH", " " + v);
             }),
        read(71, "AMQ?", 73, false,
             [this](const std::string& r) {
                 flagsMatchCaptions_ = false;
                 DecodeInterfaces(r);
             }),
        read(73, "ACT?", 75, true,
             [this](const std::string& r) {
                 actFlags_ = r;
                 flagsMatchCaptions_ = true;
                 EnableActivateButtons();
             }),
        read(75, "FLT?", 79, false, [this](const std::string& r) { DecodeFaults(r); }),
        read(kReadBbu, "BBU?", 83, true, [this](const std::string& r) { DecodeBridge(r); }),
        read(83, "NUE?", 87, false, [this](const std::string& r) { DecodeUnread(r); }),
        {kReadLrs, "LRS?",
         [this](const std::string& r) {
             return StartsWith(r, "=") ? DecodeLocalRemote(r) : kFailure;
         }},
    };
}

// ---- the event log ------------------------------------------------------------------------

std::string SwitchWindow::EventLine(const std::string& record, const Clock& clock) {
    if (record.empty() || record[0] == '0')
        return "";
    const char kind = record[0];
    const std::string source = Chars(record, 2, 1);
    const std::string code = Chars(record, 3, 1);
    const std::string kindText = kind == 'F' ? " fault" : kind == 'C' ? " fault cleared" : "";
    static const std::vector<const char*> modemCodes{", Unit", ", RX", ", TX"};
    static const char* const switchCodes[] = {"PSUs OK",
                                              ", R. Modem, No comms",
                                              ", +5V PSU-A under",
                                              ", +5V PSU-A over",
                                              ", +5V PSU-B under",
                                              ", +5V PSU-B over",
                                              ", +12V PSU-A under",
                                              ", +12V PSU-A over",
                                              ", +12V PSU-B under",
                                              ", +12V PSU-B over",
                                              ", -12V PSU-A under",
                                              ", -12V PSU-A over",
                                              ", -12V PSU-B under",
                                              ", -12V PSU-B over",
                                              ", TMI:I/F mismatch",
                                              ", active mdm:no-comms"};
    const auto modemCode = [&] {
        const int c = code.empty() ? 0 : code[0] - '0';
        return c >= 1 && c <= 3 ? std::string(modemCodes[static_cast<size_t>(c - 1)])
                                : "unexpected code: " + code;
    };
    const std::string hex = "0123456789ABCDEF";
    std::string description;
    const char s = source.empty() ? ' ' : source[0];
    if ((s >= '0' && s <= '9') || s == 'A') {
        // Traffic modems 1 to 10: the tenth is "A".
        description = "Modem " + std::to_string(HexDigitValue(source)) + modemCode() + kindText;
    } else if (s == 'B') {
        description = "R. Modem" + modemCode() + kindText;
    } else if (s == 'C') {
        const size_t i = code.empty() ? std::string::npos : hex.find(code[0]);
        description = std::string("Switch") +
                      (i == std::string::npos ? "unexpected code: " + code : switchCodes[i]) +
                      kindText;
    } else if (s == 'D') {
        description = EventText(code);
    } else {
        description = "unexpected: " + record;
    }
    return DateTextDMY(Chars(record, 4, 6)) + "  " + TimeText(Chars(record, 10, 6), clock) + "  " +
           description;
}

} // namespace linvar
