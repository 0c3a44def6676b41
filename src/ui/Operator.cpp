#include "ui/Operator.h"

namespace linvar {

void ScriptedOperator::ask(const std::string& title, const std::string& text, BoxIcon icon,
                           Buttons buttons, AnswerFn done) {
    questions.push_back({title, text, icon, buttons});
    Answer a = buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    if (!answers.empty()) {
        a = answers.front();
        answers.pop_front();
    } else if (strict) {
        unexpected.push_back(questions.back());
    }
    if (done)
        done(a);
}

void ScriptedOperator::chooseFile(const std::string&, const std::string&, const std::string&,
                                  FileFn done) {
    std::optional<std::string> file;
    if (!files.empty()) {
        file = files.front();
        files.pop_front();
    }
    if (done)
        done(file);
}

} // namespace linvar
