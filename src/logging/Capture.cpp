#include "logging/Capture.h"

#include "ui/UserError.h"

namespace linvar {

namespace {

void replaceFirst(std::string& text, char what, const char* with, int limit) {
    size_t at = 0;
    for (int n = 0; n < limit; ++n) {
        at = text.find(what, at);
        if (at == std::string::npos)
            return;
        text.replace(at, 1, with);
        at += 4;
    }
}

} // namespace

std::string TraceText(const std::string& text) {
    std::string s = text;
    replaceFirst(s, '\n', "[lf]", 4);
    replaceFirst(s, '\r', "[cr]", 9);
    if (s.find("FAC=E ") != std::string::npos)
        return "Factory mode enabled";
    if (s.find("FAC=D ") != std::string::npos)
        return "Factory mode disabled";
    if (s.find("FAC=") != std::string::npos)
        return "Factory mode message accepted";
    return s;
}

Capture::Capture(const Clock& clock, std::filesystem::path programDir)
    : clock_(clock), programDir_(std::move(programDir)) {}

void Capture::ToggleCapture(const std::string& fileName) {
    if (on_) {
        SwitchOff();
        return;
    }
    file_.open(programDir_ / fileName);
    on_ = true;
    file_.writeLine("[start]");
}

void Capture::SwitchOff() {
    if (!on_)
        return;
    on_ = false;
    file_.close();
}

void Capture::CaptureLine(const std::string& text, const std::string& tag) {
    if (!on_ || text.empty() || tag.empty() || text == lastText_)
        return;
    std::string formatted = TraceText(text);
    try {
        file_.writeLine(clock_.timeText() + " " + tag + formatted);
    } catch (const UserError&) {
        // A full disk must not stop the polling it would record: capture goes off and
        // the failure is reported once.
        on_ = false;
        try {
            file_.close();
        } catch (const UserError&) {
        }
        throw;
    }
    lastText_ = std::move(formatted);
}

} // namespace linvar
