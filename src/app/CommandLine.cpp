#include "app/CommandLine.h"

#include "app/Station.h"

#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace linvar {

namespace {

namespace fs = std::filesystem;

// "--name=value" split off; "--name" alone gives no value.
bool optionWithValue(const std::string& arg, const std::string& name, std::string& value,
                     bool& inlineValue) {
    if (arg == name) {
        inlineValue = false;
        return true;
    }
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
        arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        inlineValue = true;
        return true;
    }
    return false;
}

int comNumber(const std::string& text) {
    if (text.empty() || text.size() > 2)
        return 0;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    bool bindGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        bool inlineValue = false;
        // Takes the option's value, from "=value" or the next argument.
        auto takeValue = [&](const char* missing) -> bool {
            if (!inlineValue) {
                if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
                    cl.errors.push_back(missing);
                    return false;
                }
                value = args[++i];
            }
            if (value.empty()) {
                cl.errors.push_back(missing);
                return false;
            }
            return true;
        };

        if (arg == kDirectStartKeyword && i == 0) {
            cl.directStart = true;
        } else if (arg == "--help" || arg == "-h") {
            cl.help = true;
        } else if (arg == "--version") {
            cl.version = true;
        } else if (arg == "--demo") {
            cl.demo = true;
        } else if (optionWithValue(arg, "--data-dir", value, inlineValue)) {
            if (!takeValue("--data-dir needs a folder"))
                continue;
            if (cl.dataDir)
                cl.errors.push_back("--data-dir given more than once");
            cl.dataDir = fs::path(value);
        } else if (optionWithValue(arg, "--replay", value, inlineValue)) {
            if (!takeValue("--replay needs a script file"))
                continue;
            if (cl.replay)
                cl.errors.push_back("--replay given more than once");
            cl.replay = fs::path(value);
        } else if (optionWithValue(arg, "--status-port", value, inlineValue)) {
            if (!takeValue("--status-port needs a port number"))
                continue;
            int port = 0;
            for (char c : value)
                port = (c >= '0' && c <= '9' && port <= 65535) ? port * 10 + (c - '0') : -1;
            if (port < 1 || port > 65535 || value.size() > 5)
                cl.errors.push_back("--status-port " + value +
                                    ": the port must be a number from 1 to 65535");
            else
                cl.statusPort = port;
        } else if (optionWithValue(arg, "--status-bind", value, inlineValue)) {
            if (!takeValue("--status-bind needs an address"))
                continue;
            bindGiven = true;
            cl.statusBind = value;
        } else if (optionWithValue(arg, "--com", value, inlineValue)) {
            if (!takeValue("--com needs N=PATH"))
                continue;
            const size_t eq = value.find('=');
            const int n = eq == std::string::npos ? 0 : comNumber(value.substr(0, eq));
            if (eq == std::string::npos || eq + 1 >= value.size()) {
                cl.errors.push_back("--com needs N=PATH, not '" + value + "'");
            } else if (n < 1 || n > MaxComNumber) {
                cl.errors.push_back("--com " + value + ": N must be a port number from 1 to " +
                                    std::to_string(MaxComNumber));
            } else if (cl.com.parse(value)) {
                std::erase(cl.comNumbers, n);
                cl.comNumbers.push_back(n);
            }
        } else if (arg.rfind("--", 0) == 0) {
            cl.errors.push_back("unknown option '" + arg + "'");
        } else if (arg == kDirectStartKeyword) {
            cl.warnings.push_back(std::string("\"") + kDirectStartKeyword +
                                  "\" counts only as the first argument; starting on the "
                                  "start panel");
        } else {
            // A stray word must not keep the station from starting.
            cl.warnings.push_back("'" + arg + "' is not used; starting on the start panel" +
                                  (arg.size() == std::string(kDirectStartKeyword).size()
                                       ? std::string(" (the keyword is \"") + kDirectStartKeyword +
                                             "\", in that case)"
                                       : std::string()));
        }
    }
    if (bindGiven && !cl.statusPort)
        cl.errors.push_back("--status-bind needs --status-port");
    if (cl.demo && cl.dataDir)
        cl.errors.push_back("--demo makes its own data folder; leave out --data-dir");
    return cl;
}

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return ParseCommandLine(args);
}

std::string UsageText() {
    return "usage: linvar [Brivola] [--data-dir DIR] [--com N=PATH]... [--demo] "
           "[--replay FILE]\n"
           "              [--status-port PORT [--status-bind ADDR]]\n"
           "  Brivola          (first argument) open the saved port and poll at once\n"
           "  --data-dir DIR   folder of the set-up, comms, capture and log files\n"
           "                   (default: the program's folder when writable, else\n"
           "                   $XDG_DATA_HOME/linvar or ~/.local/share/linvar)\n"
           "  --com N=PATH     the device of COM N (1-99); without it COM N is /dev/ttyS<N-1>\n"
           "  --demo           poll a simulated sample installation on a pseudo-terminal\n"
           "  --replay FILE    run an operator script (click, type, expect, ...)\n"
           "  --status-port PORT  serve the state read-only over HTTP (/status, /alarms,\n"
           "                   /metrics) on this port; off by default\n"
           "  --status-bind ADDR  the address it listens on (default 127.0.0.1)\n"
           "  --help           show this text\n"
           "  --version        show the program's version\n";
}

std::string VersionText() {
    return "linvar 4.7\n";
}

bool FolderWritable(const fs::path& folder) {
    std::string probe = (folder / ".linvar-write-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

DataFolder ChooseDataFolder(const std::optional<fs::path>& requested, const fs::path& programFolder,
                            const EnvLookup& env) {
    std::error_code ec;
    if (requested) {
        const fs::path& dir = *requested;
        if (!fs::exists(dir, ec))
            return {dir, "The data folder " + dir.string() + " does not exist."};
        if (!fs::is_directory(dir, ec))
            return {dir, dir.string() + " is not a folder; --data-dir needs a folder."};
        if (!FolderWritable(dir))
            return {dir, "The data folder " + dir.string() +
                             " is not writable: the station cannot keep its files there."};
        return {dir, {}};
    }
    if (!programFolder.empty() && fs::is_directory(programFolder, ec) &&
        FolderWritable(programFolder))
        return {programFolder, {}};

    fs::path dir;
    const char* xdg = env("XDG_DATA_HOME");
    const char* home = env("HOME");
    if (xdg && *xdg && fs::path(xdg).is_absolute())
        dir = fs::path(xdg) / "linvar";
    else if (home && *home)
        dir = fs::path(home) / ".local" / "share" / "linvar";
    else
        return {{},
                "The program's folder " + programFolder.string() +
                    " is not writable and there is no home folder: give one with --data-dir."};
    fs::create_directories(dir, ec);
    if (ec)
        return {dir, "The data folder " + dir.string() + " cannot be made: " + ec.message() + "."};
    if (!FolderWritable(dir))
        return {dir, "The data folder " + dir.string() + " is not writable."};
    return {dir, {}};
}

} // namespace linvar
