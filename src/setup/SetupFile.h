#pragma once
// The set-up files (SysSetup.txt, SysSet2.txt, SysSet3.txt, SysSet4.txt: 44 blocks of
// ten lines, one a field, and the auto-log settings line) and the name file
// SetFname.txt that says which of them is loaded at start-up. Read and write failures
// raise UserError.

#include "setup/SystemSetup.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

inline constexpr const char* SetupNameFile = "SetFname.txt";
inline constexpr int SetupFileLineCount = 441;

// SetupFileName becomes the first line of SetFname.txt, unchanged, or " SysSetup.txt"
// when that file is missing.
void ReadSetupFileName(SystemSetup& setup, const std::filesystem::path& programDir);
// A name not beginning with " S" is first replaced by " SysSetup.txt"; then SetFname.txt
// holds SetupFileName as its only line.
void WriteSetupFileName(SystemSetup& setup, const std::filesystem::path& programDir);

// Reads the file named by SetupFileName into the 44 records and the auto-log settings
// and recomputes AnyEndActive. A missing file gives every record the defaults.
void LoadSetup(SystemSetup& setup, const std::filesystem::path& programDir);
// Writes the 44 records and the settings line to the file of SetupFileName (one of the
// four entries, else the first), then WriteSetupFileName. The old file stays whole
// when the write fails.
void SaveSetup(SystemSetup& setup, const std::filesystem::path& programDir);

// The file of a set-up name: characters 2 to 13 of the name in programDir. A name
// whose piece is not a plain file name ("", ".", "..", or with "/" or "\") gives
// SysSetup.txt instead, so that no name can reach outside the folder.
std::filesystem::path SetupFilePath(const std::string& setupFileName,
                                    const std::filesystem::path& programDir);
bool SetupFileNameIsSafe(const std::string& setupFileName);

// The loader and writer on lines in memory; nothing means the file does not exist.
void LoadSetupLines(SystemSetup& setup, const std::optional<std::vector<std::string>>& lines);
std::vector<std::string> SetupLines(const SystemSetup& setup);

} // namespace linvar
