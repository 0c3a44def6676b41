// Where the Trends window is asked for: the main window's button on no unit in particular,
// a detail window's on its own unit, whatever the family.

#include "StationHarness.h"
#include "detail/framework/DetailWindow.h"
#include "summary/SummaryScreen.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(TrendsOpening, FromTheMainWindowAndFromADetailWindowForItsUnit) {
    for (const char* model : {"350", "370"}) {
        SCOPED_TRACE(model);
        StationHarness s;
        s.dir.write("SysSetup.txt", OneLinkSetup());
        s.bus.add("0012", model);
        s.Make();
        std::vector<std::string> asked;
        s.top->onTrends = [&asked](const std::string& address) { asked.push_back(address); };
        s.top->Activate(true);
        s.Tick(6);
        ASSERT_TRUE(s.Main().click("BtnTrends"));
        s.Main().doubleClick("EndL1");
        s.Tick(6);
        s.Main().doubleClick(SummaryScreen::UnitIconName(0, false));
        for (int i = 0; i < 200 && !dynamic_cast<DetailWindow*>(s.Front()); ++i)
            s.Tick();
        Screen* detail = s.Front();
        ASSERT_NE(detail, &s.Main());
        EXPECT_TRUE(detail->shown("BtnTrends"));
        EXPECT_TRUE(detail->click("BtnTrends"));
        EXPECT_EQ(asked, (std::vector<std::string>{"", "0012"}));
        // Polling and the window go on: the Trends window is not one of the station's.
        EXPECT_EQ(s.Front(), detail);
    }
}
