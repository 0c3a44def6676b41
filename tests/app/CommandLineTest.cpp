#include "TempDir.h"

#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace linvar;
namespace fs = std::filesystem;

namespace {

// What the station makes of a command line, in one line.
std::string Read(const std::vector<std::string>& args) {
    const CommandLine cl = ParseCommandLine(args);
    std::string s = std::string(cl.directStart ? " direct" : "") + (cl.demo ? " demo" : "") +
                    (cl.help ? " help" : "") + (cl.version ? " version" : "");
    if (cl.dataDir)
        s += " data=" + cl.dataDir->string();
    if (cl.replay)
        s += " replay=" + cl.replay->string();
    for (int n : cl.comNumbers)
        s += " com" + std::to_string(n) + "=" + cl.com.devicePath(n);
    if (cl.statusPort)
        s += " status=" + cl.statusBind + ":" + std::to_string(*cl.statusPort);
    for (const auto& e : cl.errors)
        s += " | error: " + e;
    for (const auto& w : cl.warnings)
        s += " | warning: " + w;
    return s;
}

} // namespace

TEST(CommandLine, ReadsEveryOptionInBothFormsAndSaysWhatItCannot) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, ""},
        {{"Brivola", "--com", "1=/dev/pts/7", "--com=12=/dev/ttyUSB0", "--data-dir", "/srv/station",
          "--replay=demo.txt"},
         " direct data=/srv/station replay=demo.txt com1=/dev/pts/7 com12=/dev/ttyUSB0"},
        // A later mapping of the same port wins; a one-letter path is a path.
        {{"--com", "2=/a", "--com", "2=b", "--demo", "--help"}, " demo help com2=b"},
        // The keyword counts only first and in exactly this case; any other word is said and
        // the station starts on its start panel all the same.
        {{"brivola"},
         " | warning: 'brivola' is not used; starting on the start panel (the keyword is "
         "\"Brivola\", in that case)"},
        {{"--demo", "Brivola"},
         " demo | warning: \"Brivola\" counts only as the first argument; starting on the start "
         "panel"},
        {{"Brivola", "now", "-x"},
         " direct | warning: 'now' is not used; starting on the start panel | warning: '-x' is not "
         "used; starting on the start panel"},
        {{"--version"}, " version"},
        {{"--com"}, " | error: --com needs N=PATH"},
        {{"--com", "1"}, " | error: --com needs N=PATH, not '1'"},
        {{"--com", "1="}, " | error: --com needs N=PATH, not '1='"},
        {{"--verbose"}, " | error: unknown option '--verbose'"},
        {{"--replay"}, " | error: --replay needs a script file"},
        // An option is not taken as the value of the one before it.
        {{"--data-dir", "--demo"}, " demo | error: --data-dir needs a folder"},
        {{"--demo", "--data-dir", "/x"},
         " demo data=/x | error: --demo makes its own data folder; leave out --data-dir"},
        {{"--data-dir", "/a", "--data-dir=/b"},
         " data=/b | error: --data-dir given more than once"},
        // The status export is off and on loopback unless asked; wider only beside a port.
        {{"--status-port", "9310"}, " status=127.0.0.1:9310"},
        {{"--status-port", "9310", "--status-bind=0.0.0.0"}, " status=0.0.0.0:9310"},
        {{"--status-bind", "0.0.0.0"}, " | error: --status-bind needs --status-port"},
        {{"--status-port"}, " | error: --status-port needs a port number"},
    };
    for (const auto& [args, read] : cases)
        EXPECT_EQ(Read(args), read);
    // Numbers out of range or not numbers at all.
    for (const std::string m : {"0=/dev/x", "100=/dev/x", "x=/dev/x"})
        EXPECT_EQ(Read({"--com", m}),
                  " | error: --com " + m + ": N must be a port number from 1 to 99");
    for (const std::string n : {"0", "65536", "80x", "-1", "999999"})
        EXPECT_EQ(Read({"--status-port=" + n}),
                  " | error: --status-port " + n + ": the port must be a number from 1 to 65535");
    EXPECT_EQ(ParseCommandLine({}).com.devicePath(3), "/dev/ttyS2");
    EXPECT_NE(UsageText().find("--com N=PATH"), std::string::npos);
    EXPECT_NE(UsageText().find("Brivola"), std::string::npos);
}

TEST(CommandLine, DataFolderIsTheGivenOneOrTheProgramsOrTheUsers) {
    TempDir t;
    const std::string p = t.path().string();
    t.write("plain", "x");
    fs::create_directory(t.path() / "bin");
    fs::create_directory(t.path() / "locked");
    ::chmod((t.path() / "locked").c_str(), 0555);
    const bool root = ::geteuid() == 0; // the superuser writes anywhere
    struct Case {
        std::string given, program, xdg, home;
        std::string chosen; // the folder, or "!" and a part of the error
    };
    const Case cases[] = {
        // --data-dir: used as it is, or a clear message.
        {p, "/nowhere", "", "", p},
        {p + "/gone", "/nowhere", "", "", "!The data folder " + p + "/gone does not exist."},
        {p + "/plain", "/", "", "", "!is not a folder"},
        {p + "/locked", "/", "", "", root ? p + "/locked" : "!is not writable"},
        // Default: the program's folder when it can be written, else the user's data
        // folder, made when missing.
        {"", p + "/bin", "", "", p + "/bin"},
        {"", p + "/locked", "", p, root ? p + "/locked" : p + "/.local/share/linvar"},
        {"", p + "/no-such-bin", p + "/xdg", p + "/home", p + "/xdg/linvar"},
        {"", p + "/no-such-bin", "", p + "/home", p + "/home/.local/share/linvar"},
        {"", p + "/no-such-bin", "", "", "!--data-dir"},
    };
    for (const Case& c : cases) {
        const std::map<std::string, std::string> env{{"XDG_DATA_HOME", c.xdg}, {"HOME", c.home}};
        auto lookup = [&env](const char* name) -> const char* {
            const std::string& v = env.at(name);
            return v.empty() ? nullptr : v.c_str();
        };
        const DataFolder f = ChooseDataFolder(
            c.given.empty() ? std::nullopt : std::optional<fs::path>(c.given), c.program, lookup);
        if (c.chosen[0] == '!') {
            EXPECT_NE(f.error.find(c.chosen.substr(1)), std::string::npos) << f.error;
            continue;
        }
        EXPECT_TRUE(f.ok()) << f.error;
        EXPECT_EQ(f.path, c.chosen);
        EXPECT_TRUE(fs::is_directory(f.path)) << c.chosen;
    }
}
