#include "logging/Capture.h"

#include "ui/UserError.h"

#include "serial/CommsDialog.h"

namespace linvar {

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
