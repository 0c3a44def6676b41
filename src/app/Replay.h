#pragma once
// Operator scripts: one action a line, by control name, run from the station's 50 ms
// tick. For demos, documentation screenshots and end-to-end checks.
//
//   double-click NAME | click NAME | enter NAME | leave NAME
//   type NAME TEXT...          choose NAME INDEX-or-TEXT      check NAME on|off
//   answer Yes|No|Ok|Cancel    (for the next question the operator is asked)
//   wait MS                    screenshot FILE                quit
//   expect NAME text|colour|textcolour|visible|enabled VALUE...
//   expect-title TEXT
//
// Blank lines and lines starting with "#" are skipped. A VALUE or TEXT in double quotes
// keeps its blanks. NAME is looked up in the open windows from the front one back. An
// action waits, tick by tick, for its control to be shown and enabled; an expectation
// waits for its value; both give up after the patience (5 s) with a message.

#include "ui/Operator.h"
#include "ui/Screen.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
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
    const std::vector<Answered>& answered() const { return answered_; }
    const std::vector<std::string>& reports() const { return reports_; }

private:
    Operator& real_;
    std::deque<Answer> queued_;
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

    static constexpr int TickMs = 50;
    static constexpr int DefaultPatienceMs = 5000;

    // windows: the open windows, main window first, the front one last.
    Replay(WindowsFn windows, ReplayOperator& op);
    Replay(Station& top, ReplayOperator& op);

    // A script in memory; lines that cannot be read are failures and nothing is run.
    void load(const std::vector<std::string>& lines);
    // A script file; relative screenshot files are taken from the script's folder.
    void loadFile(const std::filesystem::path& file);

    void setScreenshot(ScreenshotFn fn) { screenshot_ = std::move(fn); }
    void setQuit(std::function<void()> fn) { quit_ = std::move(fn); }
    void setPatienceMs(int ms) { patienceTicks_ = std::max(1, ms / TickMs); }

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
        Quit
    };
    struct Step {
        int line = 0;
        Kind kind = Kind::Click;
        std::string name;
        std::string what;  // expect: text, colour, ...
        std::string value; // text, entry, expected value, file
        int number = 0;    // wait ticks, choose index (-1 = by text), answer
        bool flag = false; // check on/off, expected visible/enabled
    };
    // Done: next step at once. Acted: next step on the next tick. Pending: this step goes
    // on next tick (a wait). Retry: not yet possible, counts against the patience.
    enum class Outcome { Done, Acted, Pending, Retry };

    bool parse(int line, const std::string& text, Step& step);
    Outcome run(const Step& step, std::string& problem);
    Outcome act(const Step& step, std::string& problem);
    Outcome expect(const Step& step, std::string& problem);
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
};

} // namespace linvar
