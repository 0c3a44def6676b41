#include "serial/CommsSettings.h"

#include "ui/TextFile.h"

#include <algorithm>

namespace linvar {

namespace {

int indexOf(const std::vector<std::string>& entries, const std::string& text) {
    const auto it = std::find(entries.begin(), entries.end(), text);
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

std::vector<std::string> makePortEntries() {
    std::vector<std::string> entries;
    for (int n = 1; n <= 99; ++n)
        entries.push_back(std::to_string(n));
    return entries;
}

std::string settingsLine(const CommsSelection& s) {
    std::string line = s.portText() + "," + s.speedText();
    // No format chosen (an index outside the list was read): the old two-field form,
    // which reads back as "8N1", the format the port then keeps. A "-1" would be
    // refused as a number on the next start.
    if (s.format >= 0)
        line += "," + std::to_string(s.format);
    return line;
}

} // namespace

const std::vector<std::string>& CommsPortEntries() {
    static const std::vector<std::string> entries = makePortEntries();
    return entries;
}

const std::vector<std::string>& CommsSpeedEntries() {
    static const std::vector<std::string> entries = {"1200",  "2400",  "4800", "9600",
                                                     "19200", "38400", "57600"};
    return entries;
}

const std::vector<std::string>& CommsFormatEntries() {
    static const std::vector<std::string> entries = {"8N1", "7E2", "7O2"};
    return entries;
}

CommsFormat CommsFormatAt(int index) {
    switch (index) {
    case 1:
        return {paEven, d7bit, st2bit};
    case 2:
        return {PaOdd, d7bit, st2bit};
    default:
        return {paNone, d8bit, st1bit};
    }
}

std::string CommsSelection::portText() const {
    return port >= 0 ? CommsPortEntries()[static_cast<size_t>(port)] : std::string();
}

std::string CommsSelection::speedText() const {
    return speed >= 0 ? CommsSpeedEntries()[static_cast<size_t>(speed)] : std::string();
}

std::optional<UserError> ReadCommsSettings(const std::filesystem::path& programDir,
                                           CommsSelection& selection, CommsSelection& remembered) {
    const auto lines = TextFile::readLines(programDir / CommsSettingsFileName);
    std::optional<UserError> report;
    if (!lines) {
        selection.port = indexOf(CommsPortEntries(), "1");
        selection.speed = indexOf(CommsSpeedEntries(), "9600");
        selection.format = 0;
    } else {
        for (const std::string& line : *lines) {
            // A blank line (a stray line end left by an editor) is no settings line:
            // it would otherwise clear every list.
            if (line.empty())
                continue;
            const size_t comma = line.find(',');
            // Without a comma the port text is empty and the line is all "rest".
            const std::string port = comma == std::string::npos ? "" : line.substr(0, comma);
            const std::string rest =
                comma == std::string::npos ? line.substr(0, 10) : line.substr(comma + 1, 10);
            const size_t next = rest.find(',');
            std::string speed;
            if (next == std::string::npos) {
                speed = rest.substr(0, 5);
                selection.format = 0;
            } else {
                speed = rest.substr(0, next);
                const std::string format = rest.substr(next + 1, 10);
                if (!format.empty()) {
                    const char c = format[0];
                    if (c >= '0' && c <= '9') {
                        const int index = c - '0';
                        selection.format =
                            index < static_cast<int>(CommsFormatEntries().size()) ? index : -1;
                    } else {
                        report = UserError::notInteger(std::string(1, c));
                    }
                }
            }
            selection.port = indexOf(CommsPortEntries(), port);
            selection.speed = indexOf(CommsSpeedEntries(), speed);
        }
    }
    remembered = selection;
    return report;
}

bool SaveCommsSettings(const std::filesystem::path& programDir, const CommsSelection& selection,
                       CommsSelection& remembered) {
    if (selection == remembered)
        return false;
    TextFile::replace(programDir / CommsSettingsFileName, {settingsLine(selection)});
    // Remember what the file now holds, so that going back to the values read at
    // start-up writes the file again.
    remembered = selection;
    return true;
}

} // namespace linvar
