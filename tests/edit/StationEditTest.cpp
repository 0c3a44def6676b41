// The two edit screens in the station: opened from the summary in front of the main
// window, closed again when left, with the help topic of the screen in front.

#include "Bus.h"
#include "TempDir.h"

#include "app/Summaryx.h"
#include "logging/Print.h"
#include "serial/Framer.h"
#include "ui/Clock.h"
#include "ui/Operator.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

class OpenPort : public CommsPort {
public:
    bool IsOpen() const override { return open_; }
    void SetOpen(bool open) override { open_ = open; }
    void SetPort(uint8_t) override {}
    void SetBaudrate(int32_t) override {}
    void SetParity(eParity) override {}
    void SetDataBits(eDataBits) override {}
    void SetStopBits(eStopBits) override {}
    void PurgeReceive() override {}

private:
    bool open_ = false;
};

struct Station {
    TempDir dir;
    FakeClock clock{{2026, 12, 6, 9, 0, 0, 0}};
    ScriptedOperator op;
    OpenPort port;
    sim::Bus bus;
    MessageFramer framer{'>', '\n', 0};
    std::vector<std::string> wire;
    std::unique_ptr<TTopModule> top;

    Station() {
        dir.write("comms.txt", "1,9600,0\r\n");
        Printing().reset();
        top = std::make_unique<TTopModule>(TTopModule::Platform{clock, op, port,
                                                                [this](const std::string& bytes) {
                                                                    wire.push_back(bytes);
                                                                    bus.receive(
                                                                        bytes, clock.monotonicMs());
                                                                },
                                                                dir.path(), "linvar"});
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(50);
            for (char b : bus.poll(clock.monotonicMs()))
                if (framer.feed(b))
                    top->OnMessage(framer.message());
            top->Tick();
        }
    }
    Screen* Front() const { return top->Windows().back(); }
};

} // namespace

TEST(StationEdit, EditScreensOpenInFrontAndPollingResumes) {
    Station s;
    s.bus.add("0700", "350");
    s.top->Activate(true);
    s.Tick(3);
    EXPECT_TRUE(s.wire.empty()); // nothing configured yet

    SummaryScreen& m = s.top->Main();
    ASSERT_TRUE(m.click("BtnEdit4"));
    s.Tick(2);
    ASSERT_EQ(s.Front(), &s.top->LinkEditScreen());
    EXPECT_EQ(s.top->HelpTopic(), 4);
    EXPECT_EQ(s.Front()->caption(), "Link 4, Edit Mode");
    m.click("BtnHelp");
    EXPECT_EQ(s.op.helpTopics.back(), 4);

    Screen& edit = *s.Front();
    edit.type("AddrMod1L", "700");
    edit.leave("AddrMod1L");
    edit.click("BtnExitEdit");
    EXPECT_EQ(s.top->Windows().size(), 1u);
    s.Tick(6);
    ASSERT_FALSE(s.wire.empty());
    EXPECT_EQ(s.wire.front(), "<0700/FLT?\r");
    EXPECT_EQ(colourName(m.at("LblMod1L").background()), "lime");
    EXPECT_EQ(s.top->HelpTopic(), 3);

    ASSERT_TRUE(m.click("BtnClose"));
    s.Tick(4);
    ASSERT_TRUE(m.click("BtnEditSw1"));
    s.Tick(4);
    ASSERT_EQ(s.Front(), &s.top->SwitchEditScreen());
    EXPECT_EQ(s.top->HelpTopic(), 8);
    s.Front()->click("BtnExitSw");
    EXPECT_EQ(s.top->Windows().size(), 1u);
    s.Tick(2);
    EXPECT_EQ(s.top->HelpTopic(), 1);
}
