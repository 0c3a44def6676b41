#include "TempDir.h"

#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace linvar;
namespace fs = std::filesystem;

namespace {

bool mentions(const CommandLine& cl, const std::string& piece) {
    for (const auto& e : cl.errors)
        if (e.find(piece) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST(CommandLine, ReadsEveryOptionInBothForms) {
    CommandLine none = ParseCommandLine({});
    EXPECT_TRUE(none.ok());
    EXPECT_FALSE(none.directStart || none.demo || none.help || none.dataDir || none.replay);
    EXPECT_EQ(none.com.devicePath(1), "/dev/ttyS0");

    CommandLine cl = ParseCommandLine({"Brivola", "--com", "1=/dev/pts/7", "--com=12=/dev/ttyUSB0",
                                       "--data-dir", "/srv/station", "--replay=demo.txt"});
    ASSERT_TRUE(cl.ok()) << cl.errors.front();
    EXPECT_TRUE(cl.directStart);
    EXPECT_EQ(cl.com.devicePath(1), "/dev/pts/7");
    EXPECT_EQ(cl.com.devicePath(12), "/dev/ttyUSB0");
    EXPECT_EQ(cl.com.devicePath(3), "/dev/ttyS2");
    EXPECT_EQ(cl.comNumbers, (std::vector<int>{1, 12}));
    EXPECT_EQ(cl.dataDir, fs::path("/srv/station"));
    EXPECT_EQ(cl.replay, fs::path("demo.txt"));

    // A later mapping of the same port wins.
    CommandLine twice = ParseCommandLine({"--com", "2=/a", "--com", "2=b", "--demo", "--help"});
    EXPECT_TRUE(twice.ok());
    EXPECT_EQ(twice.com.devicePath(2), "b"); // a one-letter path is a path
    EXPECT_EQ(twice.comNumbers, std::vector<int>{2});
    EXPECT_TRUE(twice.demo && twice.help);
}

TEST(CommandLine, MistakesGiveClearMessages) {
    // The keyword counts only first and in exactly this case; any other word is said and
    // the station starts on its start panel all the same.
    CommandLine lower = ParseCommandLine({"brivola"});
    EXPECT_FALSE(lower.directStart);
    EXPECT_TRUE(lower.ok());
    ASSERT_EQ(lower.warnings.size(), 1u);
    EXPECT_NE(lower.warnings[0].find("\"Brivola\", in that case"), std::string::npos);
    CommandLine late = ParseCommandLine({"--demo", "Brivola"});
    EXPECT_FALSE(late.directStart);
    EXPECT_TRUE(late.ok() && late.demo);
    EXPECT_EQ(late.warnings.size(), 1u);
    CommandLine stray = ParseCommandLine({"Brivola", "now", "-x"});
    EXPECT_TRUE(stray.ok() && stray.directStart);
    EXPECT_EQ(stray.warnings.size(), 2u);
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);

    EXPECT_TRUE(mentions(ParseCommandLine({"--com"}), "--com needs N=PATH"));
    EXPECT_TRUE(mentions(ParseCommandLine({"--com", "1"}), "--com needs N=PATH"));
    EXPECT_TRUE(mentions(ParseCommandLine({"--com", "1="}), "--com needs N=PATH"));
    EXPECT_TRUE(mentions(ParseCommandLine({"--com", "0=/dev/x"}), "from 1 to 99"));
    EXPECT_TRUE(mentions(ParseCommandLine({"--com", "100=/dev/x"}), "from 1 to 99"));
    EXPECT_TRUE(mentions(ParseCommandLine({"--com", "x=/dev/x"}), "from 1 to 99"));
    EXPECT_TRUE(mentions(ParseCommandLine({"--verbose"}), "unknown option '--verbose'"));
    EXPECT_TRUE(mentions(ParseCommandLine({"--replay"}), "--replay needs a script file"));

    // An option is not taken as the value of the one before it.
    CommandLine missing = ParseCommandLine({"--data-dir", "--demo"});
    EXPECT_TRUE(mentions(missing, "--data-dir needs a folder"));
    EXPECT_TRUE(missing.demo);
    EXPECT_TRUE(mentions(ParseCommandLine({"--demo", "--data-dir", "/x"}), "own data folder"));
    EXPECT_TRUE(
        mentions(ParseCommandLine({"--data-dir", "/a", "--data-dir=/b"}), "more than once"));

    EXPECT_NE(UsageText().find("--com N=PATH"), std::string::npos);
    EXPECT_NE(UsageText().find("Brivola"), std::string::npos);
}

TEST(CommandLine, DataFolderIsTheGivenOneOrTheProgramsOrTheUsers) {
    TempDir t;
    std::map<std::string, std::string> env;
    auto lookup = [&env](const char* name) -> const char* {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };

    // --data-dir: used as it is, or a clear message.
    DataFolder given = ChooseDataFolder(t.path(), "/nowhere", lookup);
    EXPECT_TRUE(given.ok());
    EXPECT_EQ(given.path, t.path());
    DataFolder missing = ChooseDataFolder(t.path() / "gone", "/nowhere", lookup);
    EXPECT_EQ(missing.error,
              "The data folder " + (t.path() / "gone").string() + " does not exist.");
    t.write("plain", "x");
    EXPECT_NE(ChooseDataFolder(t.path() / "plain", "/", lookup).error.find("is not a folder"),
              std::string::npos);
    fs::create_directory(t.path() / "locked");
    ::chmod((t.path() / "locked").c_str(), 0555);
    if (::geteuid() != 0) { // the superuser writes anywhere
        DataFolder locked = ChooseDataFolder(t.path() / "locked", "/", lookup);
        EXPECT_NE(locked.error.find("is not writable"), std::string::npos);
        // A locked program folder sends the files to the user's data folder.
        env["HOME"] = t.path().string();
        DataFolder home = ChooseDataFolder({}, t.path() / "locked", lookup);
        EXPECT_TRUE(home.ok()) << home.error;
        EXPECT_EQ(home.path, t.path() / ".local/share/linvar");
        env.clear();
    }

    // Default: the program's folder when it can be written.
    fs::create_directory(t.path() / "bin");
    EXPECT_EQ(ChooseDataFolder({}, t.path() / "bin", lookup).path, t.path() / "bin");

    // Else the user's data folder, made when missing.
    env["XDG_DATA_HOME"] = (t.path() / "xdg").string();
    env["HOME"] = (t.path() / "home").string();
    DataFolder xdg = ChooseDataFolder({}, t.path() / "no-such-bin", lookup);
    EXPECT_TRUE(xdg.ok()) << xdg.error;
    EXPECT_EQ(xdg.path, t.path() / "xdg" / "linvar");
    EXPECT_TRUE(fs::is_directory(xdg.path));
    env.erase("XDG_DATA_HOME");
    EXPECT_EQ(ChooseDataFolder({}, t.path() / "no-such-bin", lookup).path,
              t.path() / "home" / ".local" / "share" / "linvar");
    env.clear();
    EXPECT_NE(ChooseDataFolder({}, t.path() / "no-such-bin", lookup).error.find("--data-dir"),
              std::string::npos);
}

TEST(CommandLine, TheStatusExportIsOffAndOnLoopbackUnlessAsked) {
    CommandLine none = ParseCommandLine({});
    EXPECT_FALSE(none.statusPort);
    EXPECT_EQ(none.statusBind, "127.0.0.1");

    CommandLine on = ParseCommandLine({"--status-port", "9310", "--status-bind=0.0.0.0"});
    ASSERT_TRUE(on.ok()) << on.errors.front();
    EXPECT_EQ(on.statusPort, 9310);
    EXPECT_EQ(on.statusBind, "0.0.0.0");

    for (const char* bad : {"0", "65536", "80x", "-1", "999999"}) {
        CommandLine cl = ParseCommandLine({std::string("--status-port=") + bad});
        ASSERT_EQ(cl.errors.size(), 1u) << bad;
        EXPECT_EQ(cl.errors[0], std::string("--status-port ") + bad +
                                    ": the port must be a number from 1 to 65535");
    }
    // Opening it wider is only ever on purpose, beside a port.
    EXPECT_EQ(ParseCommandLine({"--status-bind", "0.0.0.0"}).errors,
              std::vector<std::string>{"--status-bind needs --status-port"});
    EXPECT_EQ(ParseCommandLine({"--status-port"}).errors,
              std::vector<std::string>{"--status-port needs a port number"});
}
