// Link names and comments from old set-up files are 8-bit (code page 1252): the windows
// carry them as they are, and a save writes back the same bytes.

#include "StationHarness.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(EightBitTexts, ShownInTheWindowsAndSavedAsTheyWere) {
    const std::string id = "Z\xFCrich \x80";                         // ü and the euro sign
    const std::string info = "\x93Nord\x94, salle 2 \x96 \xE9t\xE9"; // quotes, dash, é
    StationHarness s;
    std::string f;
    for (int line = 1; line <= 440; ++line)
        f += (line == 1 ? "0012" : line == 5 ? id : line == 6 ? info : "") + std::string("\r\n");
    s.dir.write("SysSetup.txt", f + "0,0,0\r\n");
    s.bus.add("0012", "350");
    s.Make();
    s.top->Activate(true);
    s.Tick(10);
    EXPECT_EQ(s.Main().at("EndL1").text(), id);

    ASSERT_TRUE(s.Main().click("BtnSave"));
    SetupFilesScreen& d = s.top->SaveDialog();
    EXPECT_GE(d.at("CboOffset").selected(), 0); // the auto-log offset shown, to choose from
    ASSERT_TRUE(d.choose("CboFile", 1));
    ASSERT_TRUE(d.click("BtnSaveFile"));
    const std::string saved = s.dir.read("SysSet2.txt");
    EXPECT_EQ(saved.substr(0, f.find(info) + info.size() + 2),
              f.substr(0, f.find(info) + info.size() + 2));
    ASSERT_TRUE(d.click("BtnSaveClose"));
    s.Tick(2);

    ASSERT_TRUE(s.Main().doubleClick("EndL1"));
    s.Tick(10);
    ASSERT_TRUE(s.Main().shown("LinkBox"));
    EXPECT_EQ(s.Main().at("ShowInfo").text(), info);
}
