#pragma once
// The station's command line and the choice of its data folder (ProgramDir).
//   linvar [Brivola] [--data-dir DIR] [--com N=PATH]... [--demo] [--replay FILE]
//          [--status-port PORT [--status-bind ADDR]] [--help]

#include "serial/ComPortMap.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

struct CommandLine {
    // "Brivola" as the first argument, in exactly that case: poll at once.
    bool directStart = false;
    std::optional<std::filesystem::path> dataDir;
    // COM n -> device, from every --com N=PATH (N from 1 to 99).
    ComPortMap com;
    // The COM numbers given with --com, in the order given.
    std::vector<int> comNumbers;
    bool demo = false;
    std::optional<std::filesystem::path> replay;
    // The read-only status export: off unless a port is given; loopback unless told.
    std::optional<int> statusPort;
    std::string statusBind = "127.0.0.1";
    bool help = false;
    bool version = false;
    // One clear sentence per mistake; the program shows them with the usage text.
    std::vector<std::string> errors;
    // Words the station does not use: said on standard error, the station starts anyway.
    std::vector<std::string> warnings;

    bool ok() const { return errors.empty(); }
};

inline constexpr int MaxComNumber = 99;

// args without the program name. "--opt VALUE" and "--opt=VALUE" both work.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
CommandLine ParseCommandLine(int argc, const char* const* argv);

std::string UsageText();
std::string VersionText();

// The folder that holds every file of the station.
struct DataFolder {
    std::filesystem::path path;
    std::string error; // empty when path is usable

    bool ok() const { return error.empty(); }
};

using EnvLookup = std::function<const char*(const char*)>;

// With --data-dir: that folder, which must exist and be writable. Without: the program's
// folder when writable, else $XDG_DATA_HOME/linvar or ~/.local/share/linvar (created).
DataFolder ChooseDataFolder(
    const std::optional<std::filesystem::path>& requested,
    const std::filesystem::path& programFolder,
    const EnvLookup& env = [](const char* name) { return std::getenv(name); });

// Whether a file can be made in the folder (tried, not guessed from the mode bits, so a
// read-only mount counts too).
bool FolderWritable(const std::filesystem::path& folder);

} // namespace linvar
