#pragma once
// The descriptions a family gives of its configuration boxes, of the commands built from
// several boxes, of its alarm masks and of its numbered reading steps. The framework
// builds the panel, fills it from what the unit said, validates an entry, builds the
// command and its confirmation and picks the re-read from these rows alone.

#include <functional>
#include <string>
#include <vector>

namespace linvar {

// The common steps of the configuration phases.
namespace ConfigSteps {
inline constexpr int Unlock = 90;
inline constexpr int Gate = 91;
inline constexpr int SetConfig = 99;
inline constexpr int Idle = 100;
inline constexpr int SetReply = 104;
inline constexpr int PauseFirst = 190;
inline constexpr int Resume = 220;
// The steps the framework runs itself; a family's reading table may not number one so.
constexpr bool Reserved(int step) {
    return step == Unlock || step == Gate || step == SetConfig || step == Idle ||
           step == SetReply || (step >= PauseFirst && step <= Resume);
}
} // namespace ConfigSteps

enum class BoxKind { Edit, Combo, Check };

// Which configuration string fills the box (none: the family fills it from its own query).
enum class Source { None, Config, Odu };

// How the box shows its value.
enum class Show {
    Index,   // the character is the selected entry's code
    Real,    // RealField with `decimals`, `width`
    NegReal, // "-" + the magnitude as Real (stored without its sign)
    Int,     // SubInt (leading zeros dropped)
    Text,    // the characters as they are
};

// How a value becomes the command's value.
enum class Value {
    Index,        // a drop-down's entry code (the index, unless `codes` says otherwise)
    Position,     // the entry's index, even where `codes` read the string's characters
    HexIndex,     // the entry's index as one hex digit
    Real,         // RealTextZeroPad of `cmdWidth`, `cmdDecimals`
    NegReal,      // the magnitude, as Real
    Digits,       // integer, zero-filled to `cmdWidth`
    SignedDigits, // "+" or "-" and the magnitude zero-filled to `cmdWidth`
    Upper,        // text padded with blanks to `cmdWidth`, cut, upper case
    Typed,        // the text as typed
    Encoded,      // the number through `encode`
    Custom,       // the family builds the command (DetailWindow::CustomCommand)
};

// Who may change a box: R = the unit in RemoteMode; R+D = also at the DISTANT end;
// Always = whatever the mode (the remote-state box).
enum class Gate { Remote, RemoteOrDistant, Always };

// What an entry outside the range or off the grid does.
enum class Validation {
    RefuseCaption, // refused: the caption turns red, the error in the notice line
    RefuseBox,     // refused: the box turns red, the error in the notice line
    Restore,       // refused: the value the unit holds comes back
    Clamp,         // brought to the nearest limit, with its note in the notice line
    Round,         // rounded to `resolution`, then checked against the range
};

// When the operator is asked before the command goes out.
enum class Confirmation { DistantOnly, Always, Never, LocalOnly };

struct Range {
    double low = 0;
    double high = 0;
};

// Where the configuration read goes on after a change: back to the panel as it stands,
// the whole configuration read again, the remote state read again, or one of the family's
// own read steps (a constant the family names beside its reading table).
struct Reread {
    enum class Kind { Panel, Full, RemoteState, Step };
    Kind kind = Kind::Panel;
    int step = 0;
    static constexpr Reread Panel() { return {}; }
    static constexpr Reread Full() { return {Kind::Full, 0}; }
    static constexpr Reread RemoteState() { return {Kind::RemoteState, 0}; }
    // Checked when the family's tables compile: a reserved step would resume the
    // framework's own sequence instead of the family's read.
    static consteval Reread At(int familyStep) {
        if (familyStep <= 0 || ConfigSteps::Reserved(familyStep))
            throw "a re-read names a step the framework reserves";
        return {Kind::Step, familyStep};
    }
};

class DetailWindow;

// One configuration box: its place on the panel, in the configuration string and on the
// wire, and the texts the operator sees about it.
struct BoxRow {
    std::string control; // the box
    std::string caption; // its caption label's text (the label is control + "Cap")
    BoxKind kind = BoxKind::Edit;
    std::string group; // the container it is placed in
    std::vector<std::string> entries;
    // The wire code of each entry; empty: the entry's index. A code the unit sends that
    // is not listed selects `unknownEntry` (-1: no selection).
    std::vector<std::string> codes;
    int unknownEntry = -1;
    unsigned models = 0; // the models (family bits) that have this row; 0: every model
    Source source = Source::Config;
    std::string query; // Source::None: the family's own query whose value fills it (FillBoxesFrom)
    int pos = 0;       // first character in the string (1 = the one after "=")
    int len = 1;
    Show show = Show::Index;
    int width = 0; // Real: RealText width and fraction digits of the box
    int decimals = 0;
    std::string command; // mnemonic; empty: the box sends nothing
    Value value = Value::Index;
    int cmdWidth = 0;
    int cmdDecimals = 0;
    std::vector<Range> ranges; // accepted values (edit boxes); empty: any
    double resolution = 0;     // steps of the value; 0: any
    bool integer = false;
    std::string prompt; // a drop-down's own prompt on entry (empty: the common one)
    std::string error;
    std::string confirm; // description before the value ("Tx frequency to")
    std::string unit;    // after the value (" MHz")
    Gate gate = Gate::RemoteOrDistant;
    Confirmation confirmation = Confirmation::DistantOnly;
    bool commsNote = true; // the confirmation ends ". Comms may be affected."
    Validation validation = Validation::RefuseCaption;
    std::string noteLow;             // Clamp: what the notice line says of an entry below the range
    std::string noteHigh;            // and of one above it
    std::string noteGrid;            // `grid`: what it says of an entry it moved
    bool sendUnchanged = false;      // the same value is sent again (a re-trigger)
    Reread reread = Reread::Panel(); // after an accepted change
    Reread retry = Reread::Full();   // after a refused one
    bool lockable = true;            // LockConfig makes it read-only / disabled
    // Worked out when used: entries rebuilt from other boxes or the software version,
    // limits read from the unit, prompts that name them. Unset: the fixed ones above.
    std::function<std::vector<std::string>()> entriesNow;
    std::function<std::vector<Range>()> rangesNow;
    std::function<std::string()> promptNow;
    // Value::Encoded: the number's wire form.
    std::function<std::string(double)> encode;
    // The box text of the string's characters where they are laid out irregularly; it
    // replaces `show` when set.
    std::function<std::string(const std::string& field)> form;
    // The family's own rule on top of the lock: false keeps the box locked.
    std::function<bool()> enabledNow;
    // The family's own grid: an entry inside the range (not one brought to a limit) is
    // moved onto it, with `noteGrid`.
    std::function<double(double)> grid;
};

// A command built from several boxes ("APP=" from the AUPC boxes, "BLO=" from the LO and
// its mix). A change in any of them sends the whole command: the changed box's new value
// and, for the others, the values the unit holds, never a refused entry.
struct CompositeRow {
    std::string command; // "APP"
    // The boxes in command order; a part beginning with "'" is the text after it, sent as
    // it is (the "," of "TVL=3,4").
    std::vector<std::string> parts;
    // The confirmation: literal texts, "$Control" for a box's new shown value and
    // "#Control" for its wire value. Empty: every changed box's own description, value
    // and unit, joined by ", ".
    std::vector<std::string> confirm;
};

// One character of an alarm-mask string: a check box, or a fixed character.
struct MaskSlot {
    std::string control; // empty: `fixed` is sent
    std::string caption;
    char fixed = '0';
};

struct MaskLayout {
    std::string group;
    std::vector<MaskSlot> slots; // one a character, in string order
    int pos = 0;                 // in the configuration string
    std::string command;         // "MSK"
    std::string confirm;         // "alarms masks"
    std::string prompt = "Check boxes of desired alarms to be masked";
};

// A status panel as data: groups of value labels with their captions, in columns.
struct StatusValue {
    std::string name; // the value label; its caption label is name + "Cap"
    std::string caption;
    int width = 16;
};
struct StatusGroup {
    std::string column; // the panel's column it stands in
    std::string name;
    std::string caption;
    std::vector<StatusValue> values;
};

// One numbered reading step: the odd step sends `request`, the following even step takes
// its reply and shows it. The next step is what `decode` returns, or else `next` after an
// "=" reply and `failNext` after any other (0: `next` too).
struct ReadStep {
    int step = 0;
    std::string request;
    std::function<int(const std::string& reply)> decode;
    int next = 0;
    int failNext = 0;
};

} // namespace linvar
