#include "setup/SetupFile.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace linvar;
namespace fs = std::filesystem;
using Records = std::vector<std::pair<int, std::string>>;

namespace {

// A set-up file's 441 lines: every end timed as the link edit leaves it, the given records'
// ten fields ('|' between them) as written, and the settings line.
std::vector<std::string> fileLines(const Records& records, const std::string& settings = "0,0,0") {
    std::vector<std::string> lines;
    for (int r = 1; r <= 44; ++r)
        for (const char* f : {"", "", "", "", "", "", "50", "5", "90", ""})
            lines.push_back(f);
    lines.push_back(settings);
    for (const auto& [record, fields] : records) {
        std::istringstream in(fields + "|");
        auto line = lines.begin() + (record - 1) * 10;
        for (std::string f; std::getline(in, f, '|');)
            *line++ = f;
    }
    return lines;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines)
        bytes += l + "\r\n";
    return bytes;
}

// The ten fields of a record as loaded, '|' between them.
std::string Fields(const EndRecord& e) {
    std::string s;
    for (const std::string& f :
         {e.Mod1Addr.str(), e.Mod2Addr.str(), e.Tr1Addr.str(), e.Tr2Addr.str(), e.IdText.str(),
          e.InfoText.str(), e.DelayText.str(), e.TimeoutText.str(), e.AddrSpec.str()})
        s += f + "|";
    return s + e.PairFlag.str();
}

// Automatic logging as loaded: enabled, interval index, minutes, offset index.
std::string AutoLog(const SystemSetup& s) {
    return std::to_string(s.AutoLogEnabled) + "," + std::to_string(s.AutoLogIntervalIndex) + "," +
           std::to_string(s.AutoLogIntervalMinutes) + "," + std::to_string(s.AutoLogOffsetIndex);
}

} // namespace

TEST(SetupFile, HandWrittenFileLoadsIntoItsFieldsAndSavesBackUnchanged) {
    const Records records = {
        {1, "0100|0110|0200|0210|LINK-1 LOC|Uplink to the far site|120|3|52|"},
        {2, "0101|||||Log|50|5|90|1"},
        {39, "2000||||||50|5|90|"},
        {41, "1000||||SWITCH A||50|5|90|"},
        {42, "2100||||||50|5|90|"},
        {44, "|||9999|||50|5|90|"},
    };
    const std::string bytes = crlf(fileLines(records, "1,3,5"));
    TempDir dir;
    dir.write("SysSet3.txt", bytes);
    SystemSetup setup;
    setup.SetupFileName = " SysSet3.txt";
    LoadSetup(setup, dir.path());
    for (const auto& [record, fields] : records)
        EXPECT_EQ(Fields(setup.rec(record)), fields) << record;
    EXPECT_EQ(setup.rec(1).EndColour, Colours::gray);
    EXPECT_TRUE(setup.LinkLogged(1));
    EXPECT_FALSE(setup.EndActive(44));
    EXPECT_TRUE(setup.AnyEndActive);
    EXPECT_EQ(AutoLog(setup), "1,3,60,5");
    SaveSetup(setup, dir.path());
    EXPECT_EQ(dir.read("SysSet3.txt"), bytes);
    EXPECT_EQ(dir.read("SetFname.txt"), " SysSet3.txt\r\n");
}

TEST(SetupFile, LoadDefaultsAndCuts) {
    // An empty delay or "54" reads 50; other empty fields take their defaults; a long
    // line is cut and does not spill over.
    const std::string info(251, 'i');
    const std::tuple<int, std::string, std::string> rows[] = {
        {1, "||||||54|5|90|", "||||||50|5|90|"},
        {3, "||||||540|5|90|", "||||||540|5|90|"},
        {5, "||||||55|5|90|", "||||||55|5|90|"},
        {7, "|||||||||", "||||||50|2|90|"},
        {9, "012345 rest skipped||||ABCDEFGHIJKLMNOPQ|" + info + "|50|5|90|",
         "0123||||ABCDEFGHIJKL|" + info.substr(1) + "|50|5|90|"},
        {11, "||||||50|5|521|", "||||||50|5|52|"},
    };
    Records records;
    for (const auto& [record, written, loaded] : rows)
        records.emplace_back(record, written);
    auto lines = fileLines(records);
    SystemSetup setup;
    LoadSetupLines(setup, lines);
    for (const auto& [record, written, loaded] : rows)
        EXPECT_EQ(Fields(setup.rec(record)), loaded) << record;

    // A truncated file: the missing fields read empty and take the load defaults.
    lines.resize(25);
    LoadSetupLines(setup, lines);
    EXPECT_EQ(Fields(setup.rec(2)) + Fields(setup.rec(3)) + Fields(setup.rec(44)),
              "||||||50|5|90|||||||50|2|90|||||||50|2|90|");
    EXPECT_FALSE(setup.AnyEndActive);
    EXPECT_FALSE(setup.AutoLogEnabled);

    // No file at all: defaults without a message.
    TempDir dir;
    setup.rec(9).Mod1Addr = "0100";
    setup.rec(9).DelayText = "120";
    LoadSetup(setup, dir.path());
    EXPECT_EQ(Fields(setup.rec(9)), "||||||50|5|90|");
    EXPECT_FALSE(setup.AnyEndActive);
}

TEST(SetupFile, SettingsLine) {
    // The last line, "enabled,interval,offset", as automatic logging takes it.
    const std::pair<const char*, const char*> rows[] = {
        {nullptr, "0,0,23,0"},  // no settings line: off, 23 minutes, first entries
        {"1,0,15", "1,0,10,0"}, // the 10-minute interval has offsets 0-9 only
        {"1,10,19", "1,10,1440,19"}, {"10,x,4", "1,0,10,4"}, // begins with "1"
        {" 1,11,20", "0,0,23,0"}, // both out of their lists: minutes stay 23
        {"1,2,-3", "1,2,30,0"},      {"1", "0,0,23,0"},
    };
    for (const auto& [line, loaded] : rows) {
        SystemSetup setup;
        auto lines = fileLines({}, line ? line : "");
        if (!line)
            lines.pop_back();
        LoadSetupLines(setup, lines);
        EXPECT_EQ(AutoLog(setup), loaded) << (line ? line : "none");
    }
    // Index 10 and the offsets past the short list survive a save and a load.
    TempDir dir;
    for (int offset : {10, 19}) {
        SystemSetup a, b;
        LoadSetup(a, dir.path());
        a.ChooseAutoLogInterval(10);
        a.ChooseAutoLogOffset(offset);
        a.AutoLogEnabled = true;
        SaveSetup(a, dir.path());
        LoadSetup(b, dir.path());
        EXPECT_EQ(AutoLog(b), "1,10,1440," + std::to_string(offset));
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
    EXPECT_EQ(TextFile::readLines(dir.path() / "SysSetup.txt")->size(), 441u);
    SystemSetup back;
    LoadSetup(back, dir.path());
    EXPECT_EQ(Fields(back.rec(1)).substr(0, 30), "||||ID X|first line  second|50");
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
    dir.write("mySetup.txt", crlf(fileLines({{1, "0300"}})));
    ReadSetupFileName(setup, dir.path());
    LoadSetup(setup, dir.path());
    EXPECT_EQ(setup.rec(1).Mod1Addr, "0300");
    WriteSetupFileName(setup, dir.path());
    EXPECT_EQ(dir.read("SetFname.txt"), " SysSetup.txt\r\n");
    // Save picks the first entry for a name that is not one of the four.
    setup.SetupFileName = " mySetup.txt";
    SaveSetup(setup, dir.path());
    EXPECT_EQ(setup.SetupFileName + "|" + dir.read("SetFname.txt") +
                  dir.read("SysSetup.txt").substr(0, 6),
              " SysSetup.txt| SysSetup.txt\r\n0300\r\n");
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

TEST(SetupFile, FailedSavesLeaveTheOldFileWholeAndALinkedNameSavesThrough) {
    TempDir dir;
    SystemSetup setup;
    setup.rec(1).Mod1Addr = "0100";
    SaveSetup(setup, dir.path());
    const std::string before = dir.read("SysSetup.txt"), nameBefore = dir.read("SetFname.txt");
    const auto saveSays = [&] {
        try {
            SaveSetup(setup, dir.path());
        } catch (const UserError& e) {
            return std::string(e.what());
        }
        return std::string("saved");
    };

    // The temporary file cannot be made.
    fs::create_directories(dir.path() / "SysSetup.txt.tmp" / "x");
    setup.rec(1).Mod1Addr = "0999";
    EXPECT_NE(saveSays(), "saved");
    EXPECT_EQ(dir.read("SysSetup.txt") + dir.read("SetFname.txt"), before + nameBefore);
    fs::remove_all(dir.path() / "SysSetup.txt.tmp");
    // Made read-only by the operator: "File access denied", the file stays as it was.
    const fs::path file = dir.path() / "SysSetup.txt";
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(saveSays(), "File access denied");
    EXPECT_EQ(dir.read("SysSetup.txt"), before);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);

    // An unreadable set-up file (here a folder) is reported, not taken as missing.
    fs::create_directory(dir.path() / "SysSet3.txt");
    setup.SetupFileName = " SysSet3.txt";
    EXPECT_THROW(LoadSetup(setup, dir.path()), UserError);
    EXPECT_EQ(setup.rec(1).Mod1Addr, "0999");

    // A name that is a link to a set-up kept elsewhere: the link stays, the file changes
    // and keeps its permissions.
    fs::create_directory(dir.path() / "shared");
    const fs::path target = dir.path() / "shared" / "Station.txt";
    dir.write("shared/Station.txt", before);
    const auto rw = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                    fs::perms::group_write;
    fs::permissions(target, rw);
    fs::create_symlink(target, dir.path() / "SysSet2.txt");
    setup.SetupFileName = " SysSet2.txt";
    EXPECT_EQ(saveSays(), "saved");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "SysSet2.txt") &&
                fs::status(target).permissions() == rw);
    EXPECT_NE(dir.read("shared/Station.txt").find("0999"), std::string::npos);
}
