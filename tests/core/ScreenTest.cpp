#include "ui/Screen.h"
#include "ui/Operator.h"
#include "ui/Scheduler.h"
#include "ui/UserError.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(Screen, EventsReachHandlersOnlyOnShownEnabledControls) {
    Screen s("Test", "Caption");
    s.add("", "Grp", ControlKind::Group, "Group");
    s.add("Grp", "BtnGo", ControlKind::Button, "&Go");
    s.add("Grp", "Addr", ControlKind::Edit).setMaxLength(4);
    s.add("", "BtnSave", ControlKind::Button, "&Save");
    int clicks = 0;
    std::string typed;
    std::vector<std::string> reports;
    s.onClick("BtnGo", [&] { ++clicks; });
    s.onChange("Addr", [&] { typed = s["Addr"].text(); });
    s.setErrorReporter([&](const std::string& t) { reports.push_back(t); });
    s.onClick("BtnSave", [] { throw UserError("Disk full"); });

    EXPECT_TRUE(s.click("BtnGo"));
    s["BtnGo"].setEnabled(false);
    EXPECT_FALSE(s.click("BtnGo"));
    s["BtnGo"].setEnabled(true);
    s["Grp"].setVisible(false);
    EXPECT_FALSE(s.click("BtnGo") || s.shown("BtnGo"));
    EXPECT_EQ(clicks, 1);
    s["Grp"].setVisible(true);
    EXPECT_TRUE(s.type("Addr", "123456"));
    EXPECT_EQ(typed, "1234");
    s["Addr"].setReadOnly(true);
    EXPECT_EQ(std::pair(s.type("Addr", "9"), s.click("NoSuchControl")), std::pair(false, false));
    EXPECT_TRUE(s.click("BtnSave")) << "a failing handler goes to the error report";
    EXPECT_EQ(reports, std::vector<std::string>{"Disk full"});
}

TEST(Screen, RevisionsMoveOnlyOnRealChanges) {
    Screen s("Test", "Caption");
    Control& c = s.add("", "Lbl", ControlKind::Label, "x");
    const auto r0 = c.revision();
    c.setText("x").setBackground(Colours::lime);
    EXPECT_EQ(c.revision(), r0 + 1);
    c.setBackground(Colours::lime).setVisible(true).setText("x");
    EXPECT_EQ(c.revision(), r0 + 1);
    c.setItems({"a", "b"}).selectText("b");
    const int b = c.selected();
    EXPECT_EQ(std::pair(b, c.selectText("zz").selected()), std::pair(1, -1));
}

TEST(Scheduler, OneShotsRunInTimeOrder) {
    ManualScheduler sched;
    std::string order;
    sched.after(100, [&] { order += "b"; });
    sched.after(50, [&] { order += "a"; });
    sched.advance(60);
    EXPECT_EQ(order, "a");
    sched.after(10, [&] { order += "c"; }); // due at 70, before b
    sched.advance(100);
    EXPECT_EQ(order, "acb");
    EXPECT_TRUE(sched.idle());
}
