#include "SetupReader.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace linvar::sim;

namespace {

// A 441-line set-up: every field empty except those given as (record, line, text).
std::vector<std::string>
setupLines(std::initializer_list<std::tuple<int, int, std::string>> fields) {
    std::vector<std::string> lines(441);
    for (int r = 0; r < 44; ++r) {
        lines[static_cast<size_t>(r * 10 + 6)] = "50";
        lines[static_cast<size_t>(r * 10 + 7)] = "2";
    }
    lines[440] = "1,0,3";
    for (const auto& [record, line, text] : fields)
        lines[static_cast<size_t>((record - 1) * 10 + line - 1)] = text;
    return lines;
}

std::string fileText(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines)
        s += l + "\r\n";
    return s;
}

} // namespace

TEST(SimSetup, UnitsOfEveryRoleComeFromTheirRecords) {
    Bus bus;
    auto lines = setupLines({
        {1, 1, "0012"},
        {1, 2, "0013"},
        {1, 3, "0112"},
        {1, 5, "LINK1 LOC"},
        {2, 1, "0022"},
        {2, 2, "0023"},
        {2, 10, "1"},
        {2, 3, "0122"},
        {2, 4, "0123"},
        {3, 1, "0032"},
        {4, 1, "0042"},
        {4, 10, "1"},
        {41, 1, "1000"},
        {41, 2, "9999"},
        {42, 1, "2100"},
        {43, 1, "3000"},
        {44, 1, "4100"},
    });
    SetupResult r = populateFromSetup(bus, lines);
    EXPECT_TRUE(r.warnings.empty());
    EXPECT_EQ(r.units, 13);
    EXPECT_EQ(bus.addresses(),
              (std::vector<std::string>{"0012", "0013", "0022", "0023", "0032", "0042", "0112",
                                        "0122", "0123", "1000", "2100", "3000", "4100"}));
    EXPECT_EQ(bus.size(), 13u) << "9999 on a switch record's Mod2 line is not a unit";

    EXPECT_EQ(bus.find("0012")->family(), "MQX-350");
    EXPECT_EQ(bus.find("0112")->family(), "VORN");
    EXPECT_TRUE(bus.find("1000")->isSwitch());
    EXPECT_EQ(bus.find("2100")->family(), "MQX-350") << "redundant modem";
    EXPECT_EQ(bus.find("0012")->payload("CID?", 0).substr(1, 9), "LINK1 LOC");

    // Pairs: on-line first unit; the distant 1:1 modem answers OUS? for its partner.
    EXPECT_EQ(bus.find("0012")->payload("RED?", 0), "=1");
    EXPECT_EQ(bus.find("0013")->payload("RED?", 0), "=0");
    EXPECT_EQ(bus.find("0122")->payload("ONL?", 0), "=1");
    EXPECT_EQ(bus.find("0123")->payload("ONL?", 0), "=0");
    bus.find("0023")->setFault(1, '5');
    EXPECT_EQ(bus.find("0022")->payload("OUS?", 0), "=500000");
    EXPECT_EQ(bus.find("0042")->payload("OUS?", 0), "=000000");
    EXPECT_EQ(bus.find("0032")->payload("OUS?", 0), "=xxxxxx");
}

TEST(SimSetup, BadAddressesAndShortFilesAreReported) {
    Bus bus;
    auto lines = setupLines({{1, 1, "12"}, {1, 2, "0012"}, {3, 1, "0012"}, {5, 3, "00123"}});
    lines.resize(25); // cut short inside record 3
    SetupResult r = populateFromSetup(bus, lines);
    EXPECT_EQ(bus.addresses(), (std::vector<std::string>{"0012"}));
    ASSERT_EQ(r.warnings.size(), 2u);
    EXPECT_EQ(r.warnings[0], "record 1: address '12' is not four digits, skipped");
    EXPECT_EQ(r.warnings[1], "record 3: address 0012 is used twice, first use kept");

    TempDir dir;
    dir.write("SysSetup.txt", fileText(setupLines({{5, 3, "00123"}, {7, 1, "0070"}})));
    Bus fromFile;
    SetupDefaults defaults;
    defaults.modem = "370";
    r = populateFromSetupFile(fromFile, (dir.path() / "SysSetup.txt").string(), defaults);
    EXPECT_EQ(fromFile.addresses(), (std::vector<std::string>{"0012", "0070"}))
        << "an over-long address keeps its first four characters";
    EXPECT_EQ(fromFile.find("0012")->family(), "VORN");
    EXPECT_EQ(fromFile.find("0070")->modelCode(), 370);
    EXPECT_THROW(populateFromSetupFile(fromFile, (dir.path() / "none.txt").string()),
                 std::runtime_error);
}

TEST(SimProgram, ServesASetupOnAPseudoTerminal) {
    namespace fs = std::filesystem;
    fs::path self = fs::read_symlink("/proc/self/exe");
    fs::path program = self.parent_path() / "linvar-sim";
    if (!fs::exists(program))
        GTEST_SKIP() << "no linvar-sim next to " << self;

    TempDir dir;
    dir.write("SysSetup.txt", fileText(setupLines({{1, 1, "0012"}, {1, 3, "0112"}})));
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        std::string setup = (dir.path() / "SysSetup.txt").string();
        execl(program.c_str(), "linvar-sim", "--setup", setup.c_str(), "--pty", "--latency", "5",
              "--model", "0012=370", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string path;
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (path.size() < 200 && poll(&p, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n')
        path += c;
    close(out[0]);
    ASSERT_FALSE(path.empty()) << "the program printed no terminal path";

    int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0) << path;
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    std::string request = "<0012/FLT?\r";
    ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    std::string reply;
    pollfd q{fd, POLLIN, 0};
    while (reply.find('\n') == std::string::npos && poll(&q, 1, 3000) > 0) {
        char buf[64];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        reply.append(buf, static_cast<size_t>(n));
    }
    EXPECT_EQ(reply, ">0012/FLT=000000\r\n");
    close(fd);

    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "SIGTERM ends it cleanly";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
