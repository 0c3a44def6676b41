#pragma once
// Operator scripts: one action a line, by control name, run from the station's 50 ms
// tick. For demos, documentation screenshots and end-to-end checks.
//
//   double-click NAME | click NAME | enter NAME | leave NAME
//   type NAME TEXT...          choose NAME INDEX-or-TEXT      check NAME on|off
//   answer Yes|No|Ok|Cancel    (for the next question the operator is asked)
//   wait MS                    screenshot FILE                quit
//   expect NAME text|colour|textcolour|visible|enabled|checked|bold VALUE...
//   expect-title TEXT
//   expect-sent [...] REQUEST...   the requests that went out next, in order
//   expect-file PATH [...] [LINE]  the next line of a file     expect-no-file PATH
//   file [PATH]                    (for the next file dialog; none: it is cancelled)
//   expect-question TEXT           (the text of the next question the operator is asked)
//
// Blank lines and lines starting with "#" are skipped. A VALUE or TEXT in double quotes
// keeps its blanks, and so does a REQUEST or LINE. NAME is looked up in the open windows
// from the front one back. An action waits, tick by tick, for its control to be shown
// and enabled; an expectation waits for its value; both give up after the patience (5 s)
// with a message. "expect NAME visible false" holds too when no open window has NAME.
// An expectation that holds is passed at once: one that may hold only for a moment, or
// says something is not there, checks the moment it is reached (after a wait, say).
//
// expect-sent reads the requests written to the line (without their CR) from where the
// previous expect-sent stopped, or from the start of the script: they must be exactly the
// REQUESTs given, and the next expect-sent goes on after them. A leading "..." passes
// over any requests before the first REQUEST; "expect-sent ..." alone passes over all
// sent so far, and "expect-sent" alone says that nothing has been sent since.
// expect-file reads a file a line at a time in the same way, each PATH on its own: no
// LINE only says the file exists. A relative PATH (here and for "file") is in the
// station's data folder.
// expect-question is checked when the question is asked, so it comes before the action
// that asks it (and before or after the "answer" that answers it); one never asked by
// the end of the script is a failure.

#include "ui/Operator.h"
#include "ui/Screen.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

class Station;

// Answers questions from the script's queued answers (and remembers them); everything
// else, and questions with nothing queued, go to the real operator.
class ReplayOperator : public Operator {
public:
    struct Answered {
        std::string title;
        std::string text;
        Answer answer;
    };

    explicit ReplayOperator(Operator& real) : real_(real) {}

    void ask(const std::string& title, const std::string& text, BoxIcon icon, Buttons buttons,
             AnswerFn done) override;
    void report(const std::string& text) override;
    void chooseFile(const std::string& filter, const std::string& defaultExt,
                    const std::string& title, FileFn done) override;
    void showHelp(int topic) override { real_.showHelp(topic); }

    void queue(Answer a) { queued_.push_back(a); }
    size_t queued() const { return queued_.size(); }
    // The answer to the next file dialog: a file, or nothing for Cancel.
    void queueFile(std::optional<std::string> file) { files_.push_back(std::move(file)); }
    // The next question's text must be `text`; a question that differs is kept as a
    // mismatch for the script's line.
    void expectQuestion(int line, std::string text) { checks_.push_back({line, std::move(text)}); }
    struct Mismatch {
        int line;
        std::string message;
    };
    // The mismatches since the last call, and (at the end) the checks no question met.
    std::vector<Mismatch> takeMismatches();
    std::vector<Mismatch> takeUnasked();
    const std::vector<Answered>& answered() const { return answered_; }
    const std::vector<std::string>& reports() const { return reports_; }

private:
    Operator& real_;
    std::deque<Answer> queued_;
    std::deque<std::optional<std::string>> files_;
    std::deque<Mismatch> checks_;
    std::vector<Mismatch> mismatches_;
    std::vector<Answered> answered_;
    std::vector<std::string> reports_;
};

class Replay {
public:
    struct Failure {
        int line; // 1-based line of the script; 0 for the script file itself
        std::string message;
    };
    using WindowsFn = std::function<std::vector<Screen*>()>;
    // Saves a picture of the front window; false (or a throw) is a failure.
    using ScreenshotFn = std::function<bool(const std::filesystem::path& file)>;
    // A verb a host adds to the language (a test's simulated world): given the words
    // after it, it acts at once and returns a problem, or nothing when all went well.
    using VerbFn = std::function<std::string(const std::vector<std::string>& words)>;

    static constexpr int TickMs = 50;
    static constexpr int DefaultPatienceMs = 5000;

    // windows: the open windows, main window first, the front one last.
    Replay(WindowsFn windows, ReplayOperator& op);
    // The station's requests reach expect-sent, its data folder is where files are.
    Replay(Station& top, ReplayOperator& op);
    ~Replay();
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    // A script in memory; lines that cannot be read are failures and nothing is run.
    void load(const std::vector<std::string>& lines);
    // A script file; relative screenshot files are taken from the script's folder.
    void loadFile(const std::filesystem::path& file);

    void setScreenshot(ScreenshotFn fn) { screenshot_ = std::move(fn); }
    void setQuit(std::function<void()> fn) { quit_ = std::move(fn); }
    void setPatienceMs(int ms) { patienceTicks_ = std::max(1, ms / TickMs); }
    void setDataDir(std::filesystem::path dir) { dataDir_ = std::move(dir); }
    // Before load: the verb is known to the scripts loaded after.
    void addVerb(const std::string& name, VerbFn fn) { verbs_[name] = std::move(fn); }
    // A request as it was written to the line (without the CR).
    void sent(const std::string& request) { sent_.push_back(request); }

    // One 50 ms tick: runs actions until one has to wait or has acted on a window.
    void tick();

    bool done() const { return pc_ >= steps_.size(); }
    bool quitRequested() const { return quitRequested_; }
    bool failed() const { return !failures_.empty(); }
    const std::vector<Failure>& failures() const { return failures_; }
    // "line 7: ..." one a line; empty when everything held.
    std::string failureText() const;
    // 0 when the script ran to its end (or quit) with every expectation held.
    int exitCode() const { return done() && failures_.empty() ? 0 : 1; }

private:
    enum class Kind {
        Click,
        DoubleClick,
        Enter,
        Leave,
        Type,
        Choose,
        Check,
        Answer,
        Wait,
        Screenshot,
        Expect,
        ExpectTitle,
        ExpectSent,
        ExpectFile,
        ExpectNoFile,
        ExpectQuestion,
        File,
        Verb,
        Quit
    };
    struct Step {
        int line = 0;
        Kind kind = Kind::Click;
        std::string name;
        std::string what;               // expect: text, colour, ...
        std::string value;              // text, entry, expected value, file
        int number = 0;                 // wait ticks, choose index (-1 = by text), answer
        bool flag = false;              // check on/off, expected visible/enabled; "..." first
        std::vector<std::string> words; // expect-sent requests, a verb's words
    };
    // Done: next step at once. Acted: next step on the next tick. Pending: this step goes
    // on next tick (a wait). Retry: not yet possible, counts against the patience.
    enum class Outcome { Done, Acted, Pending, Retry };

    void tickSteps();
    bool parse(int line, const std::string& text, Step& step);
    Outcome run(const Step& step, std::string& problem);
    Outcome act(const Step& step, std::string& problem);
    Outcome expect(const Step& step, std::string& problem);
    Outcome expectSent(const Step& step, std::string& problem);
    Outcome expectFile(const Step& step, std::string& problem);
    std::filesystem::path inData(const std::string& path) const;
    void takeMismatches();
    Screen* find(const std::string& name) const;
    void fail(int line, const std::string& message);

    WindowsFn windows_;
    ReplayOperator& op_;
    std::vector<Step> steps_;
    size_t pc_ = 0;
    int waited_ = 0; // ticks spent on the current step
    int patienceTicks_ = DefaultPatienceMs / TickMs;
    std::filesystem::path folder_;
    ScreenshotFn screenshot_;
    std::function<void()> quit_;
    bool quitRequested_ = false;
    std::vector<Failure> failures_;
    Station* station_ = nullptr;
    std::filesystem::path dataDir_;
    std::map<std::string, VerbFn> verbs_;
    std::vector<std::string> sent_;
    size_t sentMark_ = 0;
    std::map<std::filesystem::path, size_t> fileMark_; // lines read, per file
    bool finished_ = false;
};

} // namespace linvar
