#include "setup/SetupFile.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

// 441 lines of a set-up file with every end timed as the link edit leaves it.
std::vector<std::string> plainLines(const std::string& settings = "0,0,0") {
    std::vector<std::string> lines;
    for (int r = 1; r <= 44; ++r)
        for (const char* f : {"", "", "", "", "", "", "50", "5", "90", ""})
            lines.push_back(f);
    lines.push_back(settings);
    return lines;
}

void setField(std::vector<std::string>& lines, int record, int line, const std::string& text) {
    lines[static_cast<std::size_t>((record - 1) * 10 + line - 1)] = text;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines)
        bytes += l + "\r\n";
    return bytes;
}

} // namespace

TEST(SetupFile, HandWrittenFileLoadsIntoItsFieldsAndSavesBackUnchanged) {
    auto lines = plainLines("1,3,5");
    for (int f = 1; f <= 10; ++f) // record 1: every field its own text
        setField(lines, 1, f,
                 std::vector<std::string>{"0100", "0110", "0200", "0210", "LINK-1 LOC",
                                          "Uplink to the far site", "120", "3", "52", ""}[f - 1]);
    setField(lines, 2, 1, "0101");
    setField(lines, 2, 6, "Log");
    setField(lines, 2, 10, "1");
    setField(lines, 39, 1, "2000");
    setField(lines, 41, 1, "1000");
    setField(lines, 41, 5, "SWITCH A");
    setField(lines, 42, 1, "2100");
    setField(lines, 44, 4, "9999");

    TempDir dir;
    const std::string bytes = crlf(lines);
    dir.write("SysSet3.txt", bytes);
    SystemSetup setup;
    setup.SetupFileName = " SysSet3.txt";
    LoadSetup(setup, dir.path());

    const EndRecord& l1 = setup.rec(1);
    EXPECT_EQ(l1.Mod1Addr, "0100");
    EXPECT_EQ(l1.Mod2Addr, "0110");
    EXPECT_EQ(l1.Tr1Addr, "0200");
    EXPECT_EQ(l1.Tr2Addr, "0210");
    EXPECT_EQ(l1.IdText, "LINK-1 LOC");
    EXPECT_EQ(l1.InfoText, "Uplink to the far site");
    EXPECT_EQ(l1.DelayText, "120");
    EXPECT_EQ(l1.TimeoutText, "3");
    EXPECT_EQ(l1.AddrSpec, "52");
    EXPECT_EQ(l1.PairFlag, "");
    EXPECT_EQ(l1.EndColour, Colours::gray);
    EXPECT_EQ(setup.rec(2).Mod1Addr, "0101");
    EXPECT_TRUE(setup.LinkLogged(1));
    EXPECT_EQ(setup.rec(2).PairFlag, "1");
    EXPECT_EQ(setup.rec(SystemSetup::TrafficModemRecord(2, 10)).Mod1Addr, "2000");
    EXPECT_EQ(setup.rec(41).IdText, "SWITCH A");
    EXPECT_EQ(setup.rec(42).Mod1Addr, "2100");
    EXPECT_EQ(setup.rec(44).Tr2Addr, "9999");
    EXPECT_FALSE(setup.EndActive(44));
    EXPECT_TRUE(setup.AnyEndActive);
    EXPECT_TRUE(setup.AutoLogEnabled);
    EXPECT_EQ(setup.AutoLogIntervalIndex, 3);
    EXPECT_EQ(setup.AutoLogIntervalMinutes, 60);
    EXPECT_EQ(setup.AutoLogOffsetIndex, 5);

    SaveSetup(setup, dir.path());
    EXPECT_EQ(dir.read("SysSet3.txt"), bytes);
    EXPECT_EQ(dir.read("SetFname.txt"), " SysSet3.txt\r\n");
}

TEST(SetupFile, LoadDefaultsAndCuts) {
    auto lines = plainLines();
    setField(lines, 1, 7, "54");
    setField(lines, 3, 7, "540");
    setField(lines, 5, 7, "55");
    setField(lines, 7, 7, "");
    setField(lines, 7, 8, "");
    setField(lines, 7, 9, "");
    setField(lines, 9, 1, "012345 rest skipped");
    setField(lines, 9, 5, "ABCDEFGHIJKLMNOPQ");
    setField(lines, 9, 6, std::string(250, 'i'));
    setField(lines, 11, 6, std::string(251, 'j'));
    setField(lines, 11, 9, "521");

    SystemSetup setup;
    LoadSetupLines(setup, lines);
    EXPECT_EQ(setup.rec(1).DelayText, "50");
    EXPECT_EQ(setup.rec(3).DelayText, "540");
    EXPECT_EQ(setup.rec(5).DelayText, "55");
    EXPECT_EQ(setup.rec(7).DelayText, "50");
    EXPECT_EQ(setup.rec(7).TimeoutText, "2");
    EXPECT_EQ(setup.rec(7).AddrSpec, "90");
    EXPECT_EQ(setup.rec(9).Mod1Addr, "0123");
    EXPECT_EQ(setup.rec(9).Mod2Addr, ""); // the rest of a long line does not spill over
    EXPECT_EQ(setup.rec(9).IdText, "ABCDEFGHIJKL");
    EXPECT_EQ(setup.rec(9).InfoText, std::string(250, 'i'));
    EXPECT_EQ(setup.rec(11).InfoText, std::string(250, 'j'));
    EXPECT_EQ(setup.rec(11).AddrSpec, "52");

    // A truncated file: the missing fields read empty and take the load defaults.
    lines.resize(25);
    LoadSetupLines(setup, lines);
    EXPECT_EQ(setup.rec(3).DelayText, "50");
    EXPECT_EQ(setup.rec(2).TimeoutText, "5");
    EXPECT_EQ(setup.rec(3).TimeoutText, "2");
    EXPECT_EQ(setup.rec(44).AddrSpec, "90");
    EXPECT_EQ(setup.rec(9).Mod1Addr, "");
    EXPECT_FALSE(setup.AnyEndActive);
    EXPECT_FALSE(setup.AutoLogEnabled);

    // No file at all: defaults without a message.
    TempDir dir;
    setup.rec(9).Mod1Addr = "0100";
    LoadSetup(setup, dir.path());
    EXPECT_EQ(setup.rec(9).Mod1Addr, "");
    EXPECT_EQ(setup.rec(9).DelayText, "50");
    EXPECT_EQ(setup.rec(9).TimeoutText, "5");
    EXPECT_EQ(setup.rec(9).AddrSpec, "90");
    EXPECT_FALSE(setup.AnyEndActive);
}

TEST(SetupFile, SettingsLine) {
    // The last line, "enabled,interval,offset", as automatic logging takes it.
    const struct {
        const char* line;
        bool enabled;
        int interval, minutes, offset;
    } rows[] = {
        {nullptr, false, 0, 23, 0}, // no settings line: off, 23 minutes, first entries
        {"1,0,15", true, 0, 10, 0}, // the 10-minute interval has offsets 0-9 only
        {"1,10,19", true, 10, 1440, 19}, {"10,x,4", true, 0, 10, 4}, // begins with "1"
        {" 1,11,20", false, 0, 23, 0}, // both out of their lists: minutes stay 23
        {"1,2,-3", true, 2, 30, 0},      {"1", false, 0, 23, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line ? r.line : "none");
        SystemSetup setup;
        auto lines = plainLines(r.line ? r.line : "");
        if (!r.line)
            lines.pop_back();
        LoadSetupLines(setup, lines);
        EXPECT_EQ(setup.AutoLogEnabled, r.enabled);
        EXPECT_EQ(setup.AutoLogIntervalIndex, r.interval);
        EXPECT_EQ(setup.AutoLogIntervalMinutes, r.minutes);
        EXPECT_EQ(setup.AutoLogOffsetIndex, r.offset);
    }

    // Index 10 and the offsets past the short list survive a save and a load.
    TempDir dir;
    for (int offset : {10, 19}) {
        SystemSetup a;
        a.SetupFileName = " SysSet4.txt";
        LoadSetup(a, dir.path());
        a.ChooseAutoLogInterval(10);
        a.ChooseAutoLogOffset(offset);
        a.AutoLogEnabled = true;
        SaveSetup(a, dir.path());
        SystemSetup b;
        b.SetupFileName = " SysSet4.txt";
        LoadSetup(b, dir.path());
        EXPECT_TRUE(b.AutoLogEnabled);
        EXPECT_EQ(b.AutoLogIntervalIndex, 10);
        EXPECT_EQ(b.AutoLogOffsetIndex, offset);
    }
}

TEST(SetupFile, LineBreaksInTextsDoNotShiftLaterFields) {
    TempDir dir;
    SystemSetup setup;
    setup.rec(1).InfoText = "first line\r\nsecond";
    setup.rec(1).IdText = "ID\nX";
    setup.rec(2).Mod1Addr = "0101";
    setup.AutoLogEnabled = true;
    SaveSetup(setup, dir.path());
    const auto lines = TextFile::readLines(dir.path() / "SysSetup.txt");
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 441u);

    SystemSetup back;
    LoadSetup(back, dir.path());
    EXPECT_EQ(back.rec(1).InfoText, "first line  second");
    EXPECT_EQ(back.rec(1).IdText, "ID X");
    EXPECT_EQ(back.rec(2).Mod1Addr, "0101");
    EXPECT_TRUE(back.AutoLogEnabled);
}

TEST(SetupFile, NameFile) {
    TempDir dir;
    SystemSetup setup;
    ReadSetupFileName(setup, dir.path());
    EXPECT_EQ(setup.SetupFileName, " SysSetup.txt");

    dir.write("SetFname.txt", " SysSet2.txt\r\n");
    ReadSetupFileName(setup, dir.path());
    EXPECT_EQ(setup.SetupFileName, " SysSet2.txt");

    // A name without " S" is used for loading, but the next save stores the default.
    dir.write("SetFname.txt", " mySetup.txt\r\n");
    auto lines = plainLines();
    setField(lines, 1, 1, "0300");
    dir.write("mySetup.txt", crlf(lines));
    ReadSetupFileName(setup, dir.path());
    EXPECT_EQ(setup.SetupFileName, " mySetup.txt");
    LoadSetup(setup, dir.path());
    EXPECT_EQ(setup.rec(1).Mod1Addr, "0300");
    WriteSetupFileName(setup, dir.path());
    EXPECT_EQ(dir.read("SetFname.txt"), " SysSetup.txt\r\n");

    // Save picks the first entry for a name that is not one of the four.
    setup.SetupFileName = " mySetup.txt";
    SaveSetup(setup, dir.path());
    EXPECT_EQ(setup.SetupFileName, " SysSetup.txt");
    EXPECT_EQ(dir.read("SysSetup.txt").substr(0, 6), "0300\r\n");
    EXPECT_EQ(dir.read("SetFname.txt"), " SysSetup.txt\r\n");
    setup.SetupFileName = " SysSet2.txt";
    SaveSetup(setup, dir.path());
    EXPECT_EQ(dir.read("SetFname.txt"), " SysSet2.txt\r\n");

    // Characters 2 to 13 name the file; nothing may lead out of the folder.
    EXPECT_EQ(SetupFilePath(" SysSetup.txtXYZ", dir.path()), dir.path() / "SysSetup.txt");
    for (const char* bad : {" ../../etc/pa", " ..", " /etc/passwd", " a\\b", "", " ", "x"}) {
        EXPECT_FALSE(SetupFileNameIsSafe(bad)) << bad;
        EXPECT_EQ(SetupFilePath(bad, dir.path()), dir.path() / "SysSetup.txt") << bad;
    }
    dir.write("SetFname.txt", " ../SysSetup\r\n");
    ReadSetupFileName(setup, dir.path());
    LoadSetup(setup, dir.path()); // reads SysSetup.txt of the folder
    EXPECT_EQ(setup.rec(1).Mod1Addr, "0300");
}

TEST(SetupFile, FailedSaveLeavesTheOldFileWhole) {
    TempDir dir;
    SystemSetup setup;
    setup.rec(1).Mod1Addr = "0100";
    SaveSetup(setup, dir.path());
    const std::string before = dir.read("SysSetup.txt");
    const std::string nameBefore = dir.read("SetFname.txt");

    // The temporary file cannot be made: the save fails with the error report.
    std::filesystem::create_directory(dir.path() / "SysSetup.txt.tmp");
    std::filesystem::create_directory(dir.path() / "SysSetup.txt.tmp" / "x");
    setup.rec(1).Mod1Addr = "0999";
    EXPECT_THROW(SaveSetup(setup, dir.path()), UserError);
    EXPECT_EQ(dir.read("SysSetup.txt"), before);
    EXPECT_EQ(dir.read("SetFname.txt"), nameBefore);

    // An unreadable set-up file (here a folder) is reported, not taken as missing.
    std::filesystem::create_directory(dir.path() / "SysSet2.txt");
    setup.SetupFileName = " SysSet2.txt";
    EXPECT_THROW(LoadSetup(setup, dir.path()), UserError);
    EXPECT_EQ(setup.rec(1).Mod1Addr, "0999");
}

TEST(SetupFile, AReadOnlyFileIsRefusedAndALinkedNameSavesThroughToItsFile) {
    TempDir dir;
    SystemSetup setup;
    setup.rec(1).Mod1Addr = "0100";
    SaveSetup(setup, dir.path());
    const std::filesystem::path file = dir.path() / "SysSetup.txt";
    const std::string before = dir.read("SysSetup.txt");

    // Made read-only by the operator: "File access denied", the file stays as it was.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    setup.rec(1).Mod1Addr = "0200";
    try {
        SaveSetup(setup, dir.path());
        ADD_FAILURE() << "a read-only set-up file was replaced";
    } catch (const UserError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_EQ(dir.read("SysSetup.txt"), before);
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);

    // A name that is a link to a set-up kept elsewhere: the link stays, the file changes
    // and keeps its permissions.
    std::filesystem::create_directory(dir.path() / "shared");
    const std::filesystem::path target = dir.path() / "shared" / "Station.txt";
    dir.write("shared/Station.txt", before);
    std::filesystem::permissions(
        target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                    std::filesystem::perms::group_read | std::filesystem::perms::group_write);
    std::filesystem::create_symlink(target, dir.path() / "SysSet2.txt");
    setup.SetupFileName = " SysSet2.txt";
    SaveSetup(setup, dir.path());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "SysSet2.txt"));
    EXPECT_NE(dir.read("shared/Station.txt").find("0200"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(target).permissions() & std::filesystem::perms::group_write,
              std::filesystem::perms::group_write);
}
