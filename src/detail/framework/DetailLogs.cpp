// The log download: the unit's stored logs (one or two, as the family describes them)
// read record by record into a memo, written to a file the operator names, and cleared
// in the unit only once a file holds them.
//
// Log n (0 or 1) uses the steps 50 n + 1/2 (count), 50 n + 3/4 (read), 50 n + 11/12
// (write, clear); 5 offers the read buttons, 6 idles, 70 and 71 report the end.

#include "detail/framework/DetailWindow.h"

#include "ui/Operator.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"
#include "wire/TextFormats.h"

namespace linvar {

namespace {

constexpr const char* kReservedWarning =
    "Warning: Reserved files: Comms.txt, CaptureM.txt, SetFname.txt and SysSetup.txt - do not "
    "use them for your Log data.";

constexpr int kLogStepBase = 50;

} // namespace

void DetailWindow::BuildLogs() {
    const LogTexts& texts = family_.logTexts;
    AddGroup("PanelLogs", "LogBox", texts.title, 0);
    add("LogBox", "LogTopLine", ControlKind::Label);
    for (const LogDescription& log : family_.logs)
        add("LogBox", log.countLabel, ControlKind::Label).setTextColour(Colours::blue);
    add("LogBox", "LogProgress", ControlKind::Label).setTextColour(Colours::blue);
    add("LogBox", "LogButtons", ControlKind::Panel).setLayout(Layout::Row);
    for (const LogDescription& log : family_.logs)
        add("LogButtons", log.button, ControlKind::Button, log.caption);
    add("LogBox", "LogWarning", ControlKind::Label, kReservedWarning)
        .setTextColour(Colours::purple)
        .setVisible(false);
    AddGroup("LogBox", "FileExistsBox", "A data file of that name exists. Please choose to:", 0)
        .setVisible(false);
    add("FileExistsBox", "BtnOverwrite", ControlKind::Button, "&Overwrite Data File");
    add("FileExistsBox", "BtnAppend", ControlKind::Button, "&Append to Data File");
    AddGroup("LogBox", "FileNewBox", texts.newFile, 0).setVisible(false);
    add("FileNewBox", "BtnNewFile", ControlKind::Button, "Ne&w Data File");
    AddGroup("LogBox", "ReadLogBox", "", 0).setVisible(false);
    add("ReadLogBox", "ReadLogHint", ControlKind::Label, texts.readHint);
    add("ReadLogBox", "BtnReadLog", ControlKind::Button, texts.readButton);
    add("PanelLogs", "LogMemo", ControlKind::Memo).setWidth(70).setVisible(false);

    for (size_t i = 0; i < family_.logs.size(); ++i)
        onClick(family_.logs[i].button, [this, i] { ChooseLogFile(static_cast<int>(i)); });
    auto mode = [this](int m) {
        s_.LogWriteMode = m;
        at("FileExistsBox").setVisible(false);
        at("FileNewBox").setVisible(false);
        at("ReadLogBox").setVisible(true);
    };
    onClick("BtnOverwrite", [mode] { mode(2); });
    onClick("BtnAppend", [mode] { mode(1); });
    onClick("BtnNewFile", [mode] { mode(2); });
    onClick("BtnReadLog", [this] {
        const bool inLogs = family_.steering == Steering::Steps ? shown("PanelLogs")
                                                                : CurrentMode() == Phases::ReadLog;
        if (!inLogs || d_.tx.AwaitingReply)
            return;
        const LogTexts& dialog = family_.logTexts;
        at("ReadLogBox").setVisible(false);
        EnableButtons(false, false, false, false);
        at("LogMemo").setVisible(true);
        const int base = kLogStepBase * s_.LogKind;
        if (logUnwritten_) {
            // The lines are still here: they go to the new file without reading again.
            s_.StepNo = dialog.writeStep ? dialog.writeStep : base + 11;
            return;
        }
        logLines_.clear();
        logCutShort_ = false;
        at("LogMemo").setText("");
        at("LogProgress").setText("Reading...").setTextColour(Colours::blue);
        s_.StepNo = dialog.readStep ? dialog.readStep : base + 3;
    });
}

void DetailWindow::LogStart() {
    ShowPanels(false, false, false, true);
    EnableButtons(true, true, true, false);
    ShowInstruction("");
    logLines_.clear();
    logUnwritten_ = false;
    logCutShort_ = false;
    at("LogMemo").setText("").setVisible(false);
    for (const char* c : {"FileExistsBox", "FileNewBox", "ReadLogBox", "LogWarning"})
        at(c).setVisible(false);
    for (size_t i = 0; i < family_.logs.size(); ++i) {
        const std::string& counting = family_.logTexts.counting;
        at(family_.logs[i].countLabel)
            .setText(i > 0              ? ""
                     : counting.empty() ? "Reading number of " + family_.logNoun + " Log events..."
                                        : counting);
        at(family_.logs[i].button).setEnabled(false);
    }
    at("LogProgress").setText("");
    s_.StepNo = 1;
}

void DetailWindow::ChooseLogFile(int kind) {
    s_.LogKind = kind;
    for (const LogDescription& log : family_.logs)
        at(log.button).setEnabled(false);
    at("LogWarning").setVisible(true);
    std::weak_ptr<bool> alive = alive_;
    // The top line before the chosen name.
    const std::string& going = family_.logTexts.goingToStore;
    const std::string top =
        going.empty()
            ? "Going to store " + family_.logs[static_cast<size_t>(kind)].name + " Log data to: "
            : going;
    d_.op.chooseFile("Text Files|*.txt|", "txt", "Choose a filename for storing Log data",
                     [this, alive, top](std::optional<std::string> file) {
                         if (alive.expired() || !*alive.lock())
                             return;
                         at("LogWarning").setVisible(false);
                         if (!file || file->empty())
                             return;
                         s_.LogFileName = *file;
                         at("LogTopLine").setText(top + s_.LogFileName);
                         std::filesystem::path path(s_.LogFileName);
                         if (path.is_relative())
                             path = d_.programDir / path;
                         const bool exists = TextFile::exists(path);
                         at("FileExistsBox").setVisible(exists);
                         at("FileNewBox").setVisible(!exists);
                     });
}

void DetailWindow::PutLogLines() {
    std::filesystem::path path(s_.LogFileName);
    if (path.is_relative())
        path = d_.programDir / path;
    if (s_.LogWriteMode == 1) {
        std::vector<std::string> lines;
        if (family_.blankLineOnAppend)
            lines.push_back(" ");
        lines.insert(lines.end(), logLines_.begin(), logLines_.end());
        TextFile::append(path, lines);
    } else {
        TextFile::replace(path, logLines_);
    }
}

void DetailWindow::KeepUnwrittenLog() {
    if (!logUnwritten_ || s_.LogFileName.empty())
        return;
    try {
        PutLogLines();
        logUnwritten_ = false;
    } catch (const UserError& e) {
        d_.op.report(e.what());
    }
}

bool DetailWindow::WriteLogFile() {
    try {
        PutLogLines();
    } catch (const UserError& e) {
        // The lines stay here and nothing is cleared in the unit: another file is asked for.
        d_.op.report(e.what());
        logUnwritten_ = true;
        at("LogProgress").setText(std::string("Log: ") + e.what()).setTextColour(Colours::red);
        s_.StepNo = family_.logTexts.idleStep;
        EnableButtons(true, true, true, true);
        ChooseLogFile(s_.LogKind);
        return false;
    }
    logUnwritten_ = false;
    return true;
}

int DetailWindow::TakeLogRecords(const LogDescription& log, const std::string& reply) {
    // Records from the reply's third character, each followed by one separator.
    if (!StartsWith(reply, "="))
        return 0;
    int found = 0;
    const std::string body = reply.size() > 2 ? reply.substr(2) : std::string();
    for (int i = 0; i < log.recordsPerReply; ++i) {
        const std::string rec = Chars(body, 1 + i * (log.recordWidth + 1), log.recordWidth);
        const std::string entry = log.decode ? log.decode(rec, d_.clock) : rec;
        if (!entry.empty()) {
            logLines_.push_back(UnitAddress + "  " + entry);
            logUnwritten_ = true; // read from the unit: no longer there to read again
            ++found;
        }
    }
    std::string memo;
    for (const std::string& l : logLines_)
        memo += (memo.empty() ? "" : "\n") + l;
    at("LogMemo").setText(memo);
    return found;
}

void DetailWindow::LogStep() {
    if (family_.logs.empty())
        return;
    const int step = s_.StepNo;
    const size_t kind = static_cast<size_t>(step > kLogStepBase && step < 70 ? 1 : 0);
    if (kind >= family_.logs.size() && step != 5 && step != 70 && step != 71)
        return;
    const LogDescription& log = family_.logs[std::min(kind, family_.logs.size() - 1)];
    int& linesLeft = kind == 0 ? s_.EventLinesLeft : s_.StatsLinesLeft;
    const int base = kLogStepBase * static_cast<int>(kind);
    const bool last = kind + 1 == family_.logs.size();
    switch (step - base) {
    case 1:
        linesLeft = 0;
        SendRequest(log.countQuery + "?");
        return;
    case 2: {
        const std::string r = TakeReply(log.countQuery);
        if (r == kCountedOut)
            return;
        if (StartsWith(r, "=")) {
            linesLeft = IntOfText(Chars(r, 2, 3));
            const std::string& prefix = family_.logTexts.countPrefix;
            at(log.countLabel)
                .setText(prefix.empty()
                             ? std::to_string(linesLeft) + " " + log.name + " Log lines to read"
                             : prefix + (family_.logTexts.countAsNumber ? std::to_string(linesLeft)
                                                                        : Chars(r, 2, 2)))
                .setTextColour(Colours::blue);
        } else {
            linesLeft = 0;
            at(log.countLabel)
                .setText(Chars(r, 2, 20))
                .setTextColour(family_.logTexts.countRefusedRed ? Colours::red : Colours::blue);
        }
        if (last) {
            at("LogTopLine").setText(family_.logTexts.choose);
            s_.StepNo = 5;
        } else {
            s_.StepNo = base + kLogStepBase + 1;
        }
        return;
    }
    case 3:
        SendRequest(log.readQuery + "?");
        return;
    case 4: {
        const std::string r = TakeReply(log.readQuery);
        if (r == kCountedOut)
            return;
        // A reply without any record ends the download like a refusal. A failed exchange
        // (no answer, the far end silent) is not the log's end: the records not yet read
        // must stay in the unit.
        logCutShort_ = StartsWith(r, "T");
        s_.StepNo = TakeLogRecords(log, r) > 0 ? base + 3 : base + 11;
        return;
    }
    case 11:
        if (!WriteLogFile())
            return;
        at("LogTopLine")
            .setText((family_.logTexts.storedIn.empty() ? log.stored + " Log data stored in "
                                                        : family_.logTexts.storedIn) +
                     s_.LogFileName);
        if (kind > 0)
            at(log.countLabel).setText("");
        if (logCutShort_)
            s_.StepNo = 71; // what was read is kept; the failed reply is said
        else if (!log.clearCommand.empty() && ChangesPossible())
            SendRequest(log.clearCommand + "=");
        else
            s_.StepNo = 70;
        return;
    case 12: {
        const std::string r = TakeReply(log.clearCommand);
        if (r == kCountedOut)
            return;
        s_.StepNo = StartsWith(r, "=") ? 70 : 71;
        return;
    }
    default:
        break;
    }
    switch (step) {
    case 5: {
        EnableButtons(true, true, true, true);
        const int left[] = {s_.EventLinesLeft, s_.StatsLinesLeft};
        for (size_t i = 0; i < family_.logs.size() && i < 2; ++i)
            at(family_.logs[i].button).setEnabled(left[i] >= 1);
        s_.StepNo = 6;
        break;
    }
    case 70: {
        const LogDescription& done = family_.logs[static_cast<size_t>(s_.LogKind)];
        at("LogProgress")
            .setText(family_.logTexts.completed.empty() ? "Reading " + done.name + " Log completed"
                                                        : family_.logTexts.completed)
            .setTextColour(Colours::blue);
        s_.StepNo = 1;
        break;
    }
    case 71:
        at("LogProgress")
            .setText((logCutShort_ ? family_.logTexts.readFailed : family_.logTexts.clearFailed) +
                     Chars(s_.LastReply, 2, 20))
            .setTextColour(Colours::red);
        s_.StepNo = 1;
        break;
    default:
        break;
    }
}

} // namespace linvar
