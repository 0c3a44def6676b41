#pragma once
// What differs between the unit families in the mechanisms every detail window shares:
// the reply dialect, help, the rejection of a change, the logs, the clock, the memories,
// the panels and how the window is steered. A family fills one FamilyDescription; the framework
// reads it and has no branch of its own per family.

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace linvar {

class Clock;

// Which reply classes a family's units use and what the transaction says about them.
struct Dialect {
    bool plusClass = false;                    // "+" is accepted like "="
    std::string tildeText = "TOblix timeout";  // "~"; empty: passed on unchanged
    std::string bangText = "TUnknown command"; // "!"; empty: passed on unchanged
    // The notice line on a time-out; empty: the steps say it themselves.
    std::string timeoutNotice = "Communications were timed out, check system set-up";
    std::string slowMnemonic = "TST"; // a request that needs at least `slowSeconds`
    int slowSeconds = 3;
    bool traceTimeout = true; // the capture notes each time-out
};

// A change the unit refused or did not answer.
struct RejectionRules {
    std::string refused = "Command was not accepted. Re-reading unit...";
    std::string timedOut = "Timed out. Check Timeout-Time. Re-reading unit..."; // empty: refused
    bool onInstructionLine = false; // else the notice line, in red
    int pauseTicks = 30;            // before the configuration is read again
    int clearAfterTicks = 0;        // the text is cleared this many ticks later (0: never)
};

// One of the unit's stored logs.
struct LogDescription {
    std::string name;         // "Events"
    std::string stored;       // "Event": "Event Log data stored in ..."
    std::string countQuery;   // "NUE"
    std::string readQuery;    // "RNE"
    std::string clearCommand; // "CAE"; empty: the log is not cleared
    std::string button;       // control of its read button
    std::string caption;      // "Read &Events Log"
    std::string countLabel;   // control that shows the count
    int recordWidth = 15;     // each record is followed by one separator
    int recordsPerReply = 5;
    std::function<std::string(const std::string& record, const Clock&)> decode;
};

// What the log panel says (an empty text is built from the log's name as shown) and, for
// a window steered by steps, the steps its buttons lead to.
struct LogTexts {
    std::string title = "Logs";
    std::string counting;    // "Reading number of " + logNoun + " Log events..."
    std::string countPrefix; // + the count's digits; empty: n + " " + name + " Log lines to read"
    bool countAsNumber = false;   // the count after countPrefix as a number, not its two digits
    bool countRefusedRed = false; // a refused count query is shown in red (else blue)
    std::string choose = "Select Log to download; data will be saved to disk";
    std::string goingToStore; // "Going to store " + name + " Log data to: "
    std::string newFile =
        "There is no pre-existing data file. A new file will be made to store the log data.";
    std::string readHint = "Now read the modem and store the log information to file";
    std::string readButton = "&Read Log";
    std::string completed; // "Reading " + name + " Log completed"
    std::string storedIn;  // stored + " Log data stored in "
    std::string clearFailed = "Log: ";
    std::string readFailed = "Log: "; // a reading cut short by a failed exchange
    int readStep = 0;  // where the read button starts the reading; 0: the log's own step
    int writeStep = 0; // where lines already read go to a newly chosen file; 0: the log's own
    int idleStep = 6;  // where the window waits for another file after a failed write
};

struct ClockRules {
    bool monthFirst = false; // "DAY" dates as MMDDYY (else DDMMYY)
    std::string unitCaption = "Modem:";
    std::string hourZero = " 0"; // the no-offset entry of the hour list
    bool stateFirst = true;      // the clock loop asks the remote state before the date
    // One caption of the set button whatever the offsets; empty: "Set &Time and Date", or
    // "Set &Offset Time + Date" while an offset is chosen.
    std::string setCaption{};
};

// One field of a stored string as a memory preview shows it.
struct PreviewField {
    enum class As { Text, Entry, Real, Int };
    int pos = 0; // 0: no field
    int len = 1;
    As as = As::Text;
    std::vector<std::string> entries; // Entry: chosen by the character as a hex digit
    int decimals = 0;
    int width = 0;
    std::function<std::string(const std::string& field)> custom; // the field's own form
};

// A preview line is texts and fields one after the other.
struct PreviewPiece {
    PreviewPiece(const char* t) : text(t) {}
    PreviewPiece(std::string t) : text(std::move(t)) {}
    PreviewPiece(PreviewField f) : field(std::move(f)) {}
    std::string text;
    PreviewField field;
};
using PreviewLine = std::vector<PreviewPiece>;

// One read-only memo of a memory preview.
struct PreviewMemo {
    std::string control;
    std::vector<PreviewLine> lines;
    bool label = false; // a few lines shown as a label instead of a memo
};

namespace Preview {
inline PreviewField Entry(std::vector<std::string> entries, int pos) {
    PreviewField f;
    f.pos = pos;
    f.as = PreviewField::As::Entry;
    f.entries = std::move(entries);
    return f;
}
inline PreviewField Real(int pos, int len, int decimals, int width) {
    PreviewField f;
    f.pos = pos;
    f.len = len;
    f.as = PreviewField::As::Real;
    f.decimals = decimals;
    f.width = width;
    return f;
}
inline PreviewField Int(int pos, int len) {
    PreviewField f;
    f.pos = pos;
    f.len = len;
    f.as = PreviewField::As::Int;
    return f;
}
inline PreviewField Custom(int pos, int len, std::function<std::string(const std::string&)> form) {
    PreviewField f;
    f.pos = pos;
    f.len = len;
    f.custom = std::move(form);
    return f;
}
} // namespace Preview

// What the memory panel says of a location and of the unit's answers.
struct MemoryTexts {
    std::string previewTitle = " preview"; // "Memory location n" + this
    std::string confirm = "  Confir&m";
    std::string overwrite = " Over&Write";
    std::string loaded = "Unit re-configured using memory location ";
    std::string stored = "Current config now stored in memory ";
    std::string loadRefused;  // a refusal of a load other than "?"; empty: the reply's text
    std::string storeRefused; // likewise of a store
};

struct MemoryRules {
    bool present = true;
    std::string query = "MGC?";        // + the location digit
    std::vector<std::string> preludes; // queries (+ digit) read before it
    int loadWaitTicks = 50;            // after "CLD=", before its reply is looked for
    int loadWaitTicksDistant = 75;
    std::vector<PreviewMemo> preview;                      // of the stored configuration
    std::vector<std::vector<PreviewMemo>> preludePreviews; // of each prelude's reply
    MemoryTexts texts;
    // A refused query (other than "nothing stored") is asked again until another phase is
    // chosen; else its text stays and the panel goes back to the clock.
    bool askAgainWhenRefused = true;
};

struct PanelSet {
    bool logs = true;
    bool utilities = true;
    bool buffer = true;     // the centre-buffer utility
    bool switchover = true; // the forced 1:1 switchover
};

// How the operator's buttons steer the window.
enum class Steering {
    Phases, // a button asks for a phase ("CONFIG"); each phase is a numbered step list
    Steps,  // one numbered step list; a button asks for a step number. The reply to a
            // change (104) and the pause after a rejection (190...) stay the framework's.
};

struct FamilyDescription {
    Dialect replies;
    int helpTopic = 5;
    RejectionRules rejection;
    // The instruction once a confirmed change has gone out.
    std::string sentText = "Distant modem re-configuration sent, please wait...";
    std::string logNoun = "Modem";    // "Reading number of Modem Log events..."
    std::vector<LogDescription> logs; // at most two
    LogTexts logTexts;
    bool blankLineOnAppend = true; // an appended download starts with a blank line
    ClockRules clock;
    MemoryRules memory;
    PanelSet panels;
    Steering steering = Steering::Phases;
    // A fixed caption of the configuration button; empty: "Re-Read Con&fig" while a
    // configuration phase runs, else "Con&figure".
    std::string configCaption;
    std::string logsCaption = "&Logs";
    // Steps steering: the step each phase button asks for.
    int statusStep = 1, configStep = 1, logsStep = 1, utilitiesStep = 1;
    // Steps steering: "&Logs" runs the "READLOG" phase above; a button's step ends it.
    bool logsPhase = false;
    // A confirmation answered No re-reads the box from its step (after a rejection's step).
    bool rereadOnCancel = false;
    // After an accepted change: a unit that has just become remote is read in full, one
    // that is not remote has its remote state read again (FullReadStep, LrsReadStep).
    bool remoteStateRereads = false;
};

} // namespace linvar
