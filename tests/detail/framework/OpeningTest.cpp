// A double-click on a unit of the single-link view: its identity chooses the family's
// window, the summary's timer stops, and closing the window gives the line back to the
// poll cycle, which asks the unit again.

#include "poll/PollHarness.h"

#include "detail/framework/DetailHost.h"
#include "detail/mqx310/Mqx310Window.h"
#include "detail/mqx330/Mqx330Window.h"
#include "detail/mqx350/Mqx350Window.h"
#include "detail/pld/PldWindow.h"
#include "detail/vorn/VornWindow.h"

#include <gtest/gtest.h>

#include <functional>

using namespace linvar;

namespace {

template <class W> bool Is(DetailWindow* w) {
    return dynamic_cast<W*>(w) != nullptr;
}

struct Case {
    int slot;
    const char* model;
    const char* identity; // "EID?" of a modem, the "RET?" reply of a transceiver
    std::function<bool(DetailWindow*)> window;
    const char* shown; // the caption's end (modems) or the unit's name (transceivers)
    const char* after; // what the poll cycle asks once the window is closed
};

const Case kCases[] = {
    {Modem1, "350", "1350110000", Is<Mqx350Window>, "MQX-350", "FLT?"},
    {Modem1, "331", "5330120000",
     [](DetailWindow* w) { return Is<Mqx330Window>(w) && !Is<Mqx310Window>(w); },
     "MQX-330R DEMOD, 70 MHz IF band, Turbo Codec installed, RX only", "FLT?"},
    {Modem1, "7010", "7010200000", Is<Mqx310Window>, "RDX-7010", "FLT?"},
    {Transceiver2, "VORN", "=VORN-C 10W XCVR     ", Is<VornWindow>, "Transceiver 2, Local,  VORN",
     "SFS?"},
    {Transceiver2, "VORN", "=YRAN-C 8W XCVR      ", Is<VornWindow>, "Transceiver 2, Local,  YRAN",
     "SFS?"},
    // "PLD" at value positions 2-4, whatever comes first.
    {Transceiver2, "VORN", "=0PLD-KU25A 25W SSPA ", Is<PldWindow>, "Transceiver 2, Local", "SFS?"},
};

} // namespace

TEST(Opening, TheIdentityChoosesTheWindowAndClosingGivesTheLineBack) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.identity);
        PollHarness h;
        std::vector<Screen*> shown;
        DetailHost host(
            {h.cycle.tx, h.port, h.capture, h.clock, h.op, h.setup, h.print, h.dir.path()},
            [&](Screen& s, bool on) {
                if (on)
                    shown.push_back(&s);
                else
                    shown.erase(std::find(shown.begin(), shown.end(), &s));
            });
        h.cycle.SetDetailWindows(&host);
        const bool modem = c.slot == Modem1;
        h.Unit(3, Modem1, "1300", modem ? c.model : "350")->setIdentity(c.identity);
        h.Unit(3, Transceiver1, "1301", "VORN");
        sim::Unit* unit = modem ? nullptr : h.Unit(3, Transceiver2, "1302", c.model);
        if (unit)
            unit->setAnswer("RET", c.identity);
        const std::string address = modem ? "1300" : "1302";
        h.Start();
        h.Ticks(20);
        h.cycle.DoubleClickLink(2);
        h.Ticks(40);
        h.cycle.DoubleClickUnit(c.slot, false);
        const auto run = [&](int limit, const std::function<bool()>& done) {
            for (int i = 0; i < limit && !done(); ++i) {
                h.Tick();
                host.Tick();
            }
        };
        run(400, [&] { return host.IsOpen() && host.Window()->CurrentMode() == Phases::Status2; });
        ASSERT_TRUE(host.IsOpen());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(c.window(host.Window()));
        const std::string caption = host.Window()->caption();
        EXPECT_EQ(caption.rfind(modem ? "Detail of Modem 1, Local end, link: " : "Detail of ", 0),
                  0u);
        EXPECT_EQ(modem ? caption.substr(caption.rfind("       ") + 7) : host.Window()->UnitName,
                  c.shown);
        EXPECT_EQ(host.Window()->ModemPairPresent, !modem); // both transceivers of the end
        EXPECT_FALSE(h.cycle.TimerEnabled());
        run(60, [] { return false; });
        EXPECT_EQ(h.port.sent.back().substr(0, 6), "<" + address + "/");
        host.Window()->click("BtnClose");
        run(100, [&] { return !host.IsOpen(); });
        EXPECT_FALSE(host.IsOpen());
        EXPECT_TRUE(shown.empty());
        EXPECT_TRUE(h.cycle.TimerEnabled());
        const size_t mark = h.port.sent.size();
        ASSERT_TRUE(h.RunRequests(6));
        const auto sent = h.SentSince(mark);
        // A modem's faults are asked once more at once; a transceiver is polled again.
        EXPECT_NE(std::find(sent.begin(), modem ? sent.begin() + 1 : sent.end(),
                            "<" + address + "/" + c.after),
                  modem ? sent.begin() + 1 : sent.end());
    }
}

TEST(Opening, ATransceiverOfNoKnownFamilyIsToldAndTheLinkStays) {
    PollHarness h;
    DetailHost host({h.cycle.tx, h.port, h.capture, h.clock, h.op, h.setup, h.print, h.dir.path()},
                    [](Screen&, bool) {});
    h.cycle.SetDetailWindows(&host);
    h.Unit(3, Modem1, "1300", "350");
    h.Unit(3, Transceiver2, "1302", "VORN")->setAnswer("RET", "=XVRN-C 10W XCVR     ");
    h.Start();
    h.Ticks(20);
    h.cycle.DoubleClickLink(2);
    h.Ticks(40);
    h.cycle.DoubleClickUnit(Transceiver2, false);
    for (int i = 0; i < 200 && h.op.questions.empty(); ++i) {
        h.Tick();
        host.Tick();
    }
    EXPECT_FALSE(host.IsOpen());
    ASSERT_EQ(h.op.questions.size(), 1u);
    EXPECT_EQ(h.op.questions[0].title, "Problem - Model unknown");
    EXPECT_EQ(h.op.questions[0].text, "Contact factory");
    h.Ticks(3);
    EXPECT_EQ(h.cycle.tx.CurrentMode, Modes::OneLink);
    EXPECT_TRUE(h.screen.at("LinkBox").visible());
}
