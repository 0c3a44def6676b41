// The transceivers' reading sequence, their configuration wait and the field tables.

#include "detail/transceiver/TransceiverCommon.h"

#include "wire/TextFormats.h"

namespace linvar {

namespace TrxEntries {
const Entries kOffOn{" Off", " On"};
const Entries kDisabledEnabled{" Disabled", " Enabled"};
} // namespace TrxEntries

namespace {

constexpr const char* kTimedOut = "Communications were timed out, check system";

} // namespace

TransceiverWindow::TransceiverWindow(DetailDeps deps, DetailInputs inputs, std::string screenName)
    : DetailWindow(deps, std::move(inputs), std::move(screenName)) {}

FamilyDescription TransceiverWindow::TransceiverFamily() {
    FamilyDescription f;
    // "=", "*", "?" and "~" only; the steps say when the unit did not answer.
    f.replies.tildeText = "TOBLIX timeout";
    f.replies.bangText.clear();
    f.replies.timeoutNotice.clear();
    f.helpTopic = 6;
    f.rejection = {.refused = "Command was not accepted; parameter re-read from unit...",
                   .timedOut = "",
                   .onInstructionLine = true,
                   .pauseTicks = 0,
                   .clearAfterTicks = 42};
    f.memory.present = false;
    f.steering = Steering::Steps;
    f.statusStep = kStatusButton;
    f.configStep = kConfigButton;
    f.configCaption = "Con&figuration";
    f.rereadOnCancel = true;
    return f;
}

std::vector<ReadStep> TransceiverWindow::Readings(const std::vector<Reading>& rows) {
    std::vector<ReadStep> out;
    for (const Reading& row : rows)
        out.push_back({S(row.k), row.request, [this, row](const std::string& r) {
                           if (StartsWith(row.request, "FAC=D"))
                               factoryAccess_ = false; // whatever the answer
                           const int n = row.decode ? row.decode(r) : 0;
                           if (row.backToWait && StartsWith(r, "=") && BackToWait())
                               return kWait;
                           return S(n ? n : row.next);
                       }});
    return out;
}

void TransceiverWindow::SetSequence(std::vector<ReadStep> readings, std::vector<ReadStep> others) {
    readings_ = std::move(readings);
    others_ = std::move(others);
}

bool TransceiverWindow::InConfiguration() const {
    return shown("PanelConfig") && StepNo == kIdle;
}

void TransceiverWindow::Step() {
    const int step = StepNo;
    switch (step) {
    case 0:
        Opening();
        state().StepNo = S(1);
        return;
    case kStatusButton:
        RereadAll = false;
        ShowPanels(true, false, false, false);
        EnableButtons(false, true, true, true);
        ShowInstruction("");
        state().StepNo = S(8);
        return;
    case kConfigButton:
        EnableButtons(true, true, true, true);
        if (shown("PanelConfig")) {
            RereadAll = true;
            ShowInstruction("Re-reading configuration...");
            state().StepNo = S(1);
        } else {
            ShowPanels(false, true, false, false);
            state().StepNo = kWait;
        }
        return;
    case kWait:
        // A rejected or cancelled change keeps its message until it is cleared.
        if (!InstructionHeld())
            ShowInstruction(WaitInstruction());
        LockConfig(false);
        state().StepNo = kIdle;
        return;
    case kIdle:
        return;
    case S(23):
        EndOfPass();
        state().StepNo = S(8);
        return;
    default:
        break;
    }
    if (OwnStep() || RunSteps(others_))
        return;
    // From the moment it is asked for, whatever the answer, the steps go on to give the
    // access back.
    for (const ReadStep& row : readings_)
        if (row.step == step && StartsWith(row.request, "FAC=E"))
            factoryAccess_ = true;
    const bool reply = step % 2 == 0;
    if (RunSteps(readings_) && reply && StepNo != step)
        TimeoutLine(State().LastReply);
}

void TransceiverWindow::TimeoutLine(const std::string& reply) {
    if (StartsWith(reply, "T"))
        ShowNotice(kTimedOut, Colours::red);
    else if (at("Notice").text() == kTimedOut)
        ShowNotice("", Colours::black); // an entry's note stays until the next entry
}

void TransceiverWindow::ShowResult(const std::string& label, const std::string& text, bool ok) {
    at(label).setText(text).setTextColour(ok ? Colours::blue : Colours::red);
}

// ---- field tables ---------------------------------------------------------------------

void TransceiverWindow::ShowFields(const std::string& value, const ReplyFields& fields, bool gray) {
    using Form = ReplyField::Form;
    for (const ReplyField& f : fields) {
        const std::string chars = Chars(value, f.pos, f.len);
        const char first = chars.empty() ? ' ' : chars[0];
        const Colour colour = gray ? Colours::gray : f.colour ? f.colour(first) : Colours::white;
        switch (f.form) {
        case Form::Text:
            SetValue(f.label, chars + f.unit, colour);
            break;
        case Form::Lamp:
            at(f.label).setBackground(colour);
            break;
        case Form::Word: {
            const size_t i = first >= '0' && first <= '9' ? static_cast<size_t>(first - '0') : 99;
            SetValue(f.label, f.words.empty() ? "" : f.words[std::min(i, f.words.size() - 1)],
                     colour);
            break;
        }
        case Form::Leading:
            SetValue(f.label, (first >= '0' && first < '7' ? "1" : "") + chars, colour);
            break;
        case Form::Version:
            SetValue(f.label,
                     Chars(chars, 1, 2) + "." + Chars(chars, 3, 2) + "." + Chars(chars, 5, 2),
                     colour);
            break;
        }
    }
}

void TransceiverWindow::ClearFields(const ReplyFields& fields) {
    for (const ReplyField& f : fields)
        if (f.form == ReplyField::Form::Lamp)
            at(f.label).clearBackground();
        else
            ClearValue(f.label);
}

// ---- limits -------------------------------------------------------------------------------

void TransceiverWindow::TakeLimits(const std::string& r, bool up, bool freq) {
    if (!StartsWith(r, "="))
        return;
    const std::string v = r.substr(1);
    (up ? UpAttenMax : DownAttenMax) = ParseInt(Chars(v, 39, 2)).value;
    if (!freq)
        return;
    const int low = ParseInt(Chars(v, 1, 5)).value;
    (up ? UpFreqMin : DownFreqMin) = low;
    (up ? UpFreqMax : DownFreqMax) = low + ParseInt(Chars(v, 7, 4)).value;
}

// Until the limits are read, the unit's own check stands: an entry is not corrected to 0.
std::vector<Range> TransceiverWindow::FreqRange(bool up) const {
    if (!LimitsKnown(up))
        return {};
    return {{static_cast<double>(up ? UpFreqMin : DownFreqMin),
             static_cast<double>(up ? UpFreqMax : DownFreqMax)}};
}

std::vector<Range> TransceiverWindow::AttenRange(bool up) const {
    const int high = up ? UpAttenMax : DownAttenMax;
    return {{0, high > 0 ? static_cast<double>(high) : 1e9}};
}

// ---- boxes both windows have ---------------------------------------------------------------

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
BoxRow TransceiverWindow::CircuitIdBox(const std::string& group) const {
    return {.control = "CID",
            .caption = "Circuit ID",
            .group = group,
            .source = Source::None,
            .query = "CID",
            .pos = 1,
            .len = 24,
            .show = Show::Text,
            .command = "CID",
            .value = Value::Upper,
            .cmdWidth = 24,
            .prompt = "Enter Circuit ID, up to 24 chars, including )(*+-., 0 to 9, A to Z (ALL "
                      "CAPITALS)",
            .confirmation = Confirmation::Never,
            .reread = ReadFrom(2),
            .retry = ReadFrom(2)};
}

BoxRow TransceiverWindow::RefBox(const std::string& group) const {
    return {.control = "REF",
            .caption = "Ref Osc Adjust",
            .group = group,
            .source = Source::None,
            .command = "REF",
            .value = Value::Digits,
            .cmdWidth = 3,
            .ranges = {{0, 255}},
            .integer = true,
            .prompt = "Enter the Reference Oscillator Adjust value, between 0 and 255",
            .confirm = "Ref Osc adjust to",
            .validation = Validation::Clamp,
            .noteLow = "Note: have corrected Ref value to lowest permitted value",
            .noteHigh = "Note: have corrected Ref value to top permitted value"};
}
#pragma GCC diagnostic pop

} // namespace linvar
