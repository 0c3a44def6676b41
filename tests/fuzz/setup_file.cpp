// Any bytes as a set-up file or a name file: no crash, the saved form always has 441
// lines and loads back to itself, and no name leads out of the program's folder.
#include "setup/SetupFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The same line split as the text file reader: LF ends a line, a CR before it goes.
std::vector<std::string> splitLines(const std::string& data) {
    std::vector<std::string> lines;
    std::istringstream in(data);
    for (std::string line; std::getline(in, line); lines.push_back(line))
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace linvar;
    const std::vector<std::string> lines =
        splitLines(std::string(reinterpret_cast<const char*>(data), size));

    SystemSetup setup;
    LoadSetupLines(setup, lines);
    const std::vector<std::string> saved = SetupLines(setup);
    if (saved.size() != SetupFileLineCount)
        std::abort();
    for (const auto& line : saved)
        if (line.find_first_of("\r\n") != std::string::npos)
            std::abort();

    SystemSetup again;
    LoadSetupLines(again, saved);
    if (SetupLines(again) != saved)
        std::abort();

    const std::filesystem::path dir = "/nonexistent/linvar";
    const std::string name = lines.empty() ? std::string() : lines.front();
    const std::filesystem::path path = SetupFilePath(name, dir);
    const std::string file = path.filename().string();
    if (path.parent_path() != dir || file.empty() || file == "." || file == "..")
        std::abort();
    return 0;
}
