#include "app/Replay.h"

#include "app/Station.h"
#include "ui/Colour.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <utility>

namespace linvar {

// --- ReplayOperator ---

void ReplayOperator::ask(const std::string& title, const std::string& text, BoxIcon icon,
                         Buttons buttons, AnswerFn done) {
    if (!checks_.empty()) {
        const Mismatch check = checks_.front();
        checks_.pop_front();
        if (check.message != text)
            mismatches_.push_back({check.line, "expected the question \"" + check.message +
                                                   "\", asked \"" + text + "\""});
    }
    if (queued_.empty()) {
        real_.ask(title, text, icon, buttons, std::move(done));
        return;
    }
    const Answer a = queued_.front();
    queued_.pop_front();
    answered_.push_back({title, text, a});
    if (done)
        done(a);
}

void ReplayOperator::report(const std::string& text) {
    reports_.push_back(text);
    real_.report(text);
}

void ReplayOperator::chooseFile(const std::string& filter, const std::string& defaultExt,
                                const std::string& title, FileFn done) {
    if (files_.empty()) {
        real_.chooseFile(filter, defaultExt, title, std::move(done));
        return;
    }
    std::optional<std::string> file = files_.front();
    files_.pop_front();
    if (done)
        done(file);
}

std::vector<ReplayOperator::Mismatch> ReplayOperator::takeMismatches() {
    return std::exchange(mismatches_, {});
}

std::vector<ReplayOperator::Mismatch> ReplayOperator::takeUnasked() {
    std::vector<Mismatch> left;
    for (const Mismatch& check : checks_)
        left.push_back({check.line, "no question was asked (expected \"" + check.message + "\")"});
    checks_.clear();
    return left;
}

// --- Replay ---

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The next word from pos, which moves past it and the blanks after it.
std::string word(const std::string& text, size_t& pos) {
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    const size_t start = pos;
    while (pos < text.size() && !isBlank(text[pos]))
        ++pos;
    std::string w = text.substr(start, pos - start);
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    return w;
}

// The rest of the line; quotes around it keep its blanks.
std::string rest(const std::string& text, size_t pos) {
    std::string r = text.substr(std::min(pos, text.size()));
    while (!r.empty() && isBlank(r.back()))
        r.pop_back();
    if (r.size() >= 2 && r.front() == '"' && r.back() == '"')
        r = r.substr(1, r.size() - 2);
    return r;
}

bool wholeNumber(const std::string& s, int& out) {
    if (s.empty() || s.size() > 9)
        return false;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    out = n;
    return true;
}

bool truth(const std::string& s, bool& out) {
    const std::string v = lower(s);
    if (v == "on" || v == "true" || v == "yes" || v == "1")
        out = true;
    else if (v == "off" || v == "false" || v == "no" || v == "0")
        out = false;
    else
        return false;
    return true;
}

std::string trimmed(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && isBlank(s[a]))
        ++a;
    while (b > a && isBlank(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

std::string inQuotes(const std::string& s) {
    return "\"" + s + "\"";
}

// The words from pos to the end; one in double quotes keeps its blanks.
std::vector<std::string> words(const std::string& text, size_t pos) {
    std::vector<std::string> out;
    while (pos < text.size()) {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
        if (pos >= text.size())
            break;
        if (text[pos] == '"') {
            const size_t end = text.find('"', pos + 1);
            const size_t stop = end == std::string::npos ? text.size() : end;
            out.push_back(text.substr(pos + 1, stop - pos - 1));
            pos = stop + 1;
            continue;
        }
        const size_t start = pos;
        while (pos < text.size() && !isBlank(text[pos]))
            ++pos;
        out.push_back(text.substr(start, pos - start));
    }
    return out;
}

std::string listed(const std::vector<std::string>& items, size_t from, size_t count) {
    if (from >= items.size() || count == 0)
        return "nothing";
    std::string out;
    for (size_t i = from; i < items.size() && i < from + std::min<size_t>(count, 8); ++i)
        out += (out.empty() ? "" : " ") + items[i];
    return out + (items.size() - from > 8 && count > 8 ? " ..." : "");
}

} // namespace

Replay::Replay(WindowsFn windows, ReplayOperator& op) : windows_(std::move(windows)), op_(op) {}

Replay::Replay(Station& top, ReplayOperator& op) : Replay([&top] { return top.Windows(); }, op) {
    station_ = &top;
    dataDir_ = top.ProgramDir();
    top.WatchRequests([this](const std::string& request) { sent(request); });
}

Replay::~Replay() {
    if (station_)
        station_->WatchRequests(nullptr);
}

std::filesystem::path Replay::inData(const std::string& path) const {
    std::filesystem::path file = path;
    return file.is_relative() && !dataDir_.empty() ? dataDir_ / file : file;
}

void Replay::fail(int line, const std::string& message) {
    failures_.push_back({line, message});
}

std::string Replay::failureText() const {
    std::string out;
    for (const Failure& f : failures_)
        out += (f.line > 0 ? "line " + std::to_string(f.line) + ": " : std::string()) + f.message +
               "\n";
    return out;
}

void Replay::loadFile(const std::filesystem::path& file) {
    folder_ = file.parent_path();
    try {
        const auto lines = TextFile::readLines(file);
        if (!lines) {
            steps_.clear();
            pc_ = 0;
            fail(0, "the script " + file.string() + " does not exist");
            return;
        }
        load(*lines);
    } catch (const std::exception& e) {
        steps_.clear();
        pc_ = 0;
        fail(0, "the script " + file.string() + " cannot be read: " + e.what());
    }
}

void Replay::load(const std::vector<std::string>& lines) {
    steps_.clear();
    pc_ = 0;
    waited_ = 0;
    finished_ = false;
    bool broken = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string text = lines[i];
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        const std::string t = trimmed(text);
        if (t.empty() || t[0] == '#')
            continue;
        Step step;
        if (parse(static_cast<int>(i + 1), t, step))
            steps_.push_back(step);
        else
            broken = true;
    }
    // A script with a mistake is not run at all: half a demo is worse than none.
    if (broken)
        steps_.clear();
}

bool Replay::parse(int line, const std::string& text, Step& s) {
    s.line = line;
    size_t pos = 0;
    const std::string action = lower(word(text, pos));
    auto bad = [&](const std::string& why) {
        fail(line, why + ": " + text);
        return false;
    };
    auto needName = [&]() {
        s.name = word(text, pos);
        return !s.name.empty();
    };

    static const std::pair<const char*, Kind> plain[] = {{"click", Kind::Click},
                                                         {"double-click", Kind::DoubleClick},
                                                         {"enter", Kind::Enter},
                                                         {"leave", Kind::Leave}};
    for (const auto& [key, kind] : plain) {
        if (action == key) {
            s.kind = kind;
            if (!needName())
                return bad(std::string(key) + " needs a control name");
            if (pos < text.size())
                return bad(std::string(key) + " takes only a control name");
            return true;
        }
    }
    if (action == "type") {
        s.kind = Kind::Type;
        if (!needName())
            return bad("type needs a control name and a text");
        s.value = rest(text, pos);
        return true;
    }
    if (action == "choose") {
        s.kind = Kind::Choose;
        if (!needName() || pos >= text.size())
            return bad("choose needs a control name and an entry (number or text)");
        s.value = rest(text, pos);
        if (!wholeNumber(s.value, s.number))
            s.number = -1;
        return true;
    }
    if (action == "check") {
        s.kind = Kind::Check;
        if (!needName() || !truth(word(text, pos), s.flag))
            return bad("check needs a control name and on or off");
        return true;
    }
    if (action == "answer") {
        s.kind = Kind::Answer;
        const std::string a = lower(word(text, pos));
        static const std::pair<const char*, Answer> answers[] = {{"yes", Answer::Yes},
                                                                 {"no", Answer::No},
                                                                 {"ok", Answer::Ok},
                                                                 {"cancel", Answer::Cancel}};
        for (const auto& [key, value] : answers)
            if (a == key) {
                s.number = static_cast<int>(value);
                return true;
            }
        return bad("answer needs Yes, No, Ok or Cancel");
    }
    if (action == "wait") {
        s.kind = Kind::Wait;
        int ms = 0;
        if (!wholeNumber(word(text, pos), ms))
            return bad("wait needs milliseconds");
        s.number = (ms + TickMs - 1) / TickMs;
        return true;
    }
    if (action == "screenshot") {
        s.kind = Kind::Screenshot;
        s.value = rest(text, pos);
        if (s.value.empty())
            return bad("screenshot needs a file name");
        return true;
    }
    if (action == "expect") {
        s.kind = Kind::Expect;
        if (!needName())
            return bad("expect needs a control name, what to check and a value");
        s.what = lower(word(text, pos));
        if (s.what == "color")
            s.what = "colour";
        else if (s.what == "textcolor")
            s.what = "textcolour";
        s.value = rest(text, pos);
        if (s.what == "visible" || s.what == "enabled" || s.what == "checked" || s.what == "bold") {
            if (!truth(s.value, s.flag))
                return bad("expect " + s.what + " needs true or false");
        } else if (s.what == "colour" || s.what == "textcolour") {
            s.value = lower(s.value);
            if (s.value.empty())
                return bad("expect " + s.what + " needs a colour name");
        } else if (s.what != "text") {
            return bad("expect can check text, colour, textcolour, visible, enabled, checked or "
                       "bold");
        }
        return true;
    }
    if (action == "expect-title") {
        s.kind = Kind::ExpectTitle;
        s.value = rest(text, pos);
        return true;
    }
    if (action == "expect-sent") {
        s.kind = Kind::ExpectSent;
        s.words = words(text, pos);
        s.flag = !s.words.empty() && s.words.front() == "...";
        if (s.flag)
            s.words.erase(s.words.begin());
        return true;
    }
    if (action == "expect-file" || action == "expect-no-file") {
        s.kind = action == "expect-file" ? Kind::ExpectFile : Kind::ExpectNoFile;
        s.words = words(text, pos);
        if (s.words.empty())
            return bad(action + " needs a file");
        s.name = s.words.front();
        s.flag = s.words.size() > 1 && s.words[1] == "...";
        if (s.kind == Kind::ExpectNoFile ? s.words.size() != 1 : s.words.size() > 2u + s.flag)
            return bad(action + " takes a file and at most one line (in quotes if it has blanks)");
        s.number = s.words.size() > 1u + s.flag; // a line to read
        if (s.number)
            s.value = s.words.back();
        return true;
    }
    if (action == "file") {
        s.kind = Kind::File;
        s.value = rest(text, pos);
        return true;
    }
    if (action == "expect-question") {
        s.kind = Kind::ExpectQuestion;
        s.value = rest(text, pos);
        if (s.value.empty())
            return bad("expect-question needs the question's text");
        return true;
    }
    if (action == "quit") {
        s.kind = Kind::Quit;
        return true;
    }
    if (verbs_.count(action)) {
        s.kind = Kind::Verb;
        s.name = action;
        s.words = words(text, pos);
        return true;
    }
    return bad("unknown action '" + action + "'");
}

Screen* Replay::find(const std::string& name) const {
    const std::vector<Screen*> open = windows_();
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (*it && (*it)->has(name))
            return *it;
    return nullptr;
}

void Replay::takeMismatches() {
    for (const auto& m : op_.takeMismatches())
        fail(m.line, m.message);
    if (done() && !finished_) {
        finished_ = true;
        for (const auto& m : op_.takeUnasked())
            fail(m.line, m.message);
    }
}

void Replay::tick() {
    tickSteps();
    takeMismatches();
}

void Replay::tickSteps() {
    takeMismatches();
    // Bounded: a script of only expectations that hold still ends.
    for (size_t guard = 0; guard < 10000 && !done(); ++guard) {
        const Step& step = steps_[pc_];
        std::string problem;
        Outcome o;
        try {
            o = run(step, problem);
        } catch (const std::exception& e) {
            problem = e.what();
            o = Outcome::Retry;
            waited_ = patienceTicks_;
        }
        if (o == Outcome::Pending)
            return;
        if (o == Outcome::Retry) {
            if (++waited_ <= patienceTicks_)
                return;
            // A failed expectation lets the script go on; a failed action stops it.
            const std::string verb = step.kind == Kind::Verb ? step.name : "";
            const bool action = step.kind != Kind::Expect && step.kind != Kind::ExpectTitle &&
                                step.kind != Kind::ExpectSent && step.kind != Kind::ExpectFile &&
                                step.kind != Kind::ExpectNoFile && verb.rfind("expect", 0) != 0;
            fail(step.line, problem + (action ? "; the script stops here" : ""));
            waited_ = 0;
            if (action) {
                pc_ = steps_.size();
                return;
            }
            ++pc_;
            continue;
        }
        ++pc_;
        waited_ = 0;
        if (o == Outcome::Acted || quitRequested_)
            return;
    }
}

Replay::Outcome Replay::run(const Step& s, std::string& problem) {
    switch (s.kind) {
    case Kind::Wait:
        if (waited_ < s.number) {
            ++waited_;
            return Outcome::Pending;
        }
        return Outcome::Done;
    case Kind::Answer:
        op_.queue(static_cast<Answer>(s.number));
        return Outcome::Done;
    case Kind::Screenshot: {
        if (!screenshot_)
            return Outcome::Done; // nothing draws in this run
        std::filesystem::path file = s.value;
        if (file.is_relative() && !folder_.empty())
            file = folder_ / file;
        if (!screenshot_(file))
            fail(s.line, "the screenshot " + file.string() + " could not be saved");
        return Outcome::Done;
    }
    case Kind::Quit:
        quitRequested_ = true;
        pc_ = steps_.size() - 1;
        if (quit_)
            quit_();
        return Outcome::Done;
    case Kind::Expect:
    case Kind::ExpectTitle:
        return expect(s, problem);
    case Kind::ExpectSent:
        return expectSent(s, problem);
    case Kind::ExpectFile:
    case Kind::ExpectNoFile:
        return expectFile(s, problem);
    case Kind::File:
        op_.queueFile(s.value.empty() ? std::nullopt
                                      : std::optional<std::string>(inData(s.value).string()));
        return Outcome::Done;
    case Kind::ExpectQuestion:
        op_.expectQuestion(s.line, s.value);
        return Outcome::Done;
    case Kind::Verb:
        problem = verbs_.at(s.name)(s.words);
        if (problem.empty())
            return Outcome::Done;
        waited_ = patienceTicks_; // no use waiting
        return Outcome::Retry;
    default:
        return act(s, problem);
    }
}

Replay::Outcome Replay::act(const Step& s, std::string& problem) {
    Screen* screen = find(s.name);
    if (!screen) {
        problem = "no control '" + s.name + "' in the open windows";
        return Outcome::Retry;
    }
    if (!screen->shown(s.name)) {
        problem = "'" + s.name + "' is not shown";
        return Outcome::Retry;
    }
    const Control& c = screen->at(s.name);
    if (!c.enabled()) {
        problem = "'" + s.name + "' is not enabled";
        return Outcome::Retry;
    }
    bool taken = false;
    switch (s.kind) {
    case Kind::Click:
        taken = screen->click(s.name);
        break;
    case Kind::DoubleClick:
        taken = screen->doubleClick(s.name);
        break;
    case Kind::Enter:
        taken = screen->enter(s.name);
        break;
    case Kind::Leave:
        taken = screen->leave(s.name);
        break;
    case Kind::Type:
        taken = screen->type(s.name, s.value);
        break;
    case Kind::Check:
        taken = screen->check(s.name, s.flag);
        break;
    case Kind::Choose: {
        int index = s.number;
        if (index < 0) {
            const auto& items = c.items();
            for (size_t i = 0; i < items.size() && index < 0; ++i)
                if (items[i] == s.value)
                    index = static_cast<int>(i);
            for (size_t i = 0; i < items.size() && index < 0; ++i)
                if (trimmed(items[i]) == trimmed(s.value))
                    index = static_cast<int>(i);
        }
        if (index < 0 || index >= static_cast<int>(c.items().size())) {
            problem = "'" + s.name + "' has no entry " + inQuotes(s.value);
            return Outcome::Retry;
        }
        taken = screen->choose(s.name, index);
        break;
    }
    default:
        break;
    }
    if (!taken) {
        problem = "'" + s.name + "' did not take the action";
        return Outcome::Retry;
    }
    return Outcome::Acted;
}

Replay::Outcome Replay::expect(const Step& s, std::string& problem) {
    if (s.kind == Kind::ExpectTitle) {
        // The program title (with the worst state) where the main window keeps it, else
        // the front window's caption.
        std::string title;
        if (Screen* main = find("AppTitle"))
            title = main->at("AppTitle").text();
        else if (const auto open = windows_(); !open.empty() && open.back())
            title = open.back()->caption();
        if (title == s.value)
            return Outcome::Done;
        problem = "expected the title " + inQuotes(s.value) + ", found " + inQuotes(title);
        return Outcome::Retry;
    }
    Screen* screen = find(s.name);
    if (!screen && s.what == "visible" && !s.flag)
        return Outcome::Done; // a closed window shows nothing
    if (!screen) {
        problem = "expected " + s.what + " of '" + s.name + "', but no open window has it";
        return Outcome::Retry;
    }
    const Control& c = screen->at(s.name);
    std::string found;
    bool holds = false;
    if (s.what == "text") {
        found = c.text();
        holds = found == s.value;
    } else if (s.what == "colour") {
        found = colourName(c.background());
        holds = found == s.value;
    } else if (s.what == "textcolour") {
        found = colourName(c.textColour());
        holds = found == s.value;
    } else {
        const bool actual = s.what == "visible"   ? screen->shown(s.name)
                            : s.what == "checked" ? c.checked()
                            : s.what == "bold"    ? c.bold()
                                                  : c.enabled();
        found = actual ? "true" : "false";
        holds = actual == s.flag;
    }
    if (holds)
        return Outcome::Done;
    const std::string wanted =
        s.what == "visible" || s.what == "enabled" || s.what == "checked" || s.what == "bold"
            ? std::string(s.flag ? "true" : "false")
            : s.value;
    problem = "expected '" + s.name + "' " + s.what + " " + inQuotes(wanted) + ", found " +
              inQuotes(found);
    return Outcome::Retry;
}

Replay::Outcome Replay::expectSent(const Step& s, std::string& problem) {
    const std::vector<std::string>& want = s.words;
    const size_t have = sent_.size() - sentMark_;
    if (s.flag) {
        // Passes over what comes before the first request given.
        for (size_t at = sentMark_; at + want.size() <= sent_.size(); ++at) {
            if (std::equal(want.begin(), want.end(), sent_.begin() + static_cast<long>(at))) {
                sentMark_ = at + want.size();
                return Outcome::Done;
            }
        }
        problem = "expected sent ... " + listed(want, 0, want.size()) + ", found " +
                  listed(sent_, sentMark_, have);
        return Outcome::Retry;
    }
    const size_t seen = std::min(have, want.size());
    const bool agree = std::equal(want.begin(), want.begin() + static_cast<long>(seen),
                                  sent_.begin() + static_cast<long>(sentMark_)) &&
                       (!want.empty() || have == 0);
    if (agree && seen == want.size()) {
        sentMark_ += want.size();
        return Outcome::Done;
    }
    problem = "expected sent " + listed(want, 0, want.size()) + ", found " +
              listed(sent_, sentMark_, std::max<size_t>(want.size(), 1));
    if (!agree)
        waited_ = patienceTicks_; // what went out cannot be taken back
    return Outcome::Retry;
}

Replay::Outcome Replay::expectFile(const Step& s, std::string& problem) {
    const std::filesystem::path file = inData(s.name);
    std::optional<std::vector<std::string>> lines;
    try {
        lines = TextFile::readLines(file);
    } catch (const std::exception& e) {
        problem = "the file " + s.name + " cannot be read: " + e.what();
        return Outcome::Retry;
    }
    if (s.kind == Kind::ExpectNoFile) {
        if (!lines)
            return Outcome::Done;
        problem = "expected no file " + s.name + ", but there is one";
        return Outcome::Retry;
    }
    if (!lines) {
        problem = "expected the file " + s.name + ", but there is none";
        return Outcome::Retry;
    }
    if (!s.number)
        return Outcome::Done;
    size_t& mark = fileMark_[file];
    for (size_t at = mark; at < lines->size() && (at == mark || s.flag); ++at) {
        if ((*lines)[at] == s.value) {
            mark = at + 1;
            return Outcome::Done;
        }
    }
    problem = "expected " +
              std::string(s.flag ? "a later line" : "line " + std::to_string(mark + 1)) + " of " +
              s.name + " to be " + inQuotes(s.value) + ", found " +
              (mark < lines->size() ? inQuotes((*lines)[mark]) : std::string("the end"));
    return Outcome::Retry;
}

} // namespace linvar
