#pragma once
// The capture file: every message on the serial line and the poll cycle's progress,
// one line each, appended to "CaptureM.txt" while capture is on.

#include "ui/Clock.h"
#include "ui/TextFile.h"

#include <filesystem>
#include <string>

namespace linvar {

inline constexpr const char* CaptureFileName = "CaptureM.txt";

// The capture form of a text: the first four line feeds as "[lf]", the first nine
// carriage returns as "[cr]"; factory-mode messages replaced by a fixed text.
std::string TraceText(const std::string& text);

class Capture {
public:
    Capture(const Clock& clock, std::filesystem::path programDir);

    // Off: closes the file. On: opens the file for appending (creating it when missing)
    // and writes "[start]". A file error raises UserError; the state reached so far
    // stays (an open that failed leaves capture off, a failed "[start]" leaves it on).
    void ToggleCapture(const std::string& fileName = CaptureFileName);

    // One line: time of day, a blank, the tag and the trace form of the text. Nothing
    // when capture is off, the text or the tag is empty, or the text equals the last
    // text written (compared after that one's formatting).
    void CaptureLine(const std::string& text, const std::string& tag);

    bool CaptureOn() const { return on_; }
    const std::string& LastText() const { return lastText_; }
    // The comms dialog's activation forgets the last text.
    void ResetLastText() { lastText_.clear(); }
    // Turns capture off and closes the file when it is on (quit, comms dialog).
    void SwitchOff();

private:
    const Clock& clock_;
    std::filesystem::path programDir_;
    AppendFile file_;
    bool on_ = false;
    std::string lastText_;
};

} // namespace linvar
