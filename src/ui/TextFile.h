#pragma once
// The station's text files: 8-bit characters, lines ending in CR LF. Reading accepts
// LF alone too. Failures raise UserError with the system's texts.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

namespace TextFile {

// The lines of a file without their line ends, or nothing when the file does not exist.
std::optional<std::vector<std::string>> readLines(const std::filesystem::path& path);

// Replaces the file with these lines, each ended by CR LF. The lines go to a temporary
// file in the same folder which then takes the old file's place, so a failure part-way
// or a crash leaves the old file whole.
void replace(const std::filesystem::path& path, const std::vector<std::string>& lines);

// Appends these lines, each ended by CR LF, creating the file when it is missing.
void append(const std::filesystem::path& path, const std::vector<std::string>& lines);

bool exists(const std::filesystem::path& path);

} // namespace TextFile

// A CSV field as a spreadsheet reads it back: quoted when it holds a comma, a quote or a
// line break, quotes doubled.
std::string CsvField(const std::string& s);
// The fields of one CSV line; nothing when a quote is left open.
std::optional<std::vector<std::string>> CsvFields(const std::string& line);

// A file kept open for appending (the capture file). Each line is written through at
// once so that nothing is lost when the program dies.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    void open(const std::filesystem::path& path);
    void writeLine(const std::string& line);
    void close();
    bool isOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace linvar
