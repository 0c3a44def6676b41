#pragma once
// What a person answers: questions and reports in message boxes, file choices and help.
// Every answer comes back through a callback, so no screen waits in a nested loop.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

enum class Answer { Ok, Cancel, Yes, No };
enum class Buttons { Ok, OkCancel, YesNo };
enum class BoxIcon { None, Information, Exclamation, Error, Question };

class Operator {
public:
    using AnswerFn = std::function<void(Answer)>;
    using FileFn = std::function<void(std::optional<std::string>)>;

    virtual ~Operator() = default;
    virtual void ask(const std::string& title, const std::string& text, BoxIcon icon,
                     Buttons buttons, AnswerFn done) = 0;
    // The general error report: a message box with the error's text and OK.
    virtual void report(const std::string& text) = 0;
    virtual void chooseFile(const std::string& filter, const std::string& defaultExt,
                            const std::string& title, FileFn done) = 0;
    virtual void showHelp(int topic) = 0;
};

// A scripted person for tests: answers from a queue (Ok, or Yes for Yes/No questions,
// when the queue is empty) and remembers everything it was shown. A strict one also
// keeps the questions that found no answer queued, so a test can tell a question it
// expected from one the program should not have asked.
class ScriptedOperator : public Operator {
public:
    struct Question {
        std::string title;
        std::string text;
        BoxIcon icon;
        Buttons buttons;
    };

    void ask(const std::string& title, const std::string& text, BoxIcon icon, Buttons buttons,
             AnswerFn done) override;
    void report(const std::string& text) override { reports.push_back(text); }
    void chooseFile(const std::string& filter, const std::string& defaultExt,
                    const std::string& title, FileFn done) override;
    void showHelp(int topic) override { helpTopics.push_back(topic); }

    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;
    std::vector<Question> questions;
    bool strict = false;
    std::vector<Question> unexpected; // strict: asked with no answer queued
    std::vector<std::string> reports;
    std::vector<int> helpTopics;
};

} // namespace linvar
