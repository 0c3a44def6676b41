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
#include <tuple>

using namespace linvar;

namespace {

template <class W> bool Is(DetailWindow* w) {
    return dynamic_cast<W*>(w) != nullptr;
}

// Link 2 polled, its single-link view open, a modem at 1300 and transceivers at 1301 and
// 1302 (answering `identity` to "RET?"), and the unit in `slot` double-clicked.
struct Opened {
    PollHarness h;
    std::vector<Screen*> shown;
    DetailHost host{{h.cycle.tx, h.port, h.capture, h.clock, h.op, h.setup, h.print, h.dir.path()},
                    [this](Screen& s, bool on) {
                        if (on)
                            shown.push_back(&s);
                        else
                            shown.erase(std::find(shown.begin(), shown.end(), &s));
                    }};
    Opened(int slot, const char* model, const char* identity) {
        h.cycle.SetDetailWindows(&host);
        const bool modem = slot == Modem1;
        h.Unit(3, Modem1, "1300", modem ? model : "350")->setIdentity(identity);
        h.Unit(3, Transceiver1, "1301", "VORN");
        if (!modem)
            h.Unit(3, Transceiver2, "1302", model)->setAnswer("RET", identity);
        h.Start();
        h.Ticks(20);
        h.cycle.DoubleClickLink(2);
        h.Ticks(40);
        h.cycle.DoubleClickUnit(slot, false);
    }
    void Run(int limit, const std::function<bool()>& done) {
        for (int i = 0; i < limit && !done(); ++i) {
            h.Tick();
            host.Tick();
        }
    }
};

struct Case {
    int slot;
    const char* model;
    const char* identity; // "EID?" of a modem, the "RET?" reply of a transceiver
    std::function<bool(DetailWindow*)> window;
    const char* shown; // the caption's end (modems) or the unit's name (transceivers)
};

const Case kCases[] = {
    {Modem1, "350", "1350110000", Is<Mqx350Window>, "MQX-350"},
    {Modem1, "331", "5330120000",
     [](DetailWindow* w) { return Is<Mqx330Window>(w) && !Is<Mqx310Window>(w); },
     "MQX-330R DEMOD, 70 MHz IF band, Turbo Codec installed, RX only"},
    {Modem1, "7010", "7010200000", Is<Mqx310Window>, "RDX-7010"},
    {Transceiver2, "VORN", "=VORN-C 10W XCVR     ", Is<VornWindow>, "Transceiver 2, Local,  VORN"},
    {Transceiver2, "VORN", "=YRAN-C 8W XCVR      ", Is<VornWindow>, "Transceiver 2, Local,  YRAN"},
    // "PLD" at value positions 2-4, whatever comes first.
    {Transceiver2, "VORN", "=0PLD-KU25A 25W SSPA ", Is<PldWindow>, "Transceiver 2, Local"},
};

} // namespace

TEST(Opening, TheIdentityChoosesTheWindowAndClosingGivesTheLineBack) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.identity);
        Opened o(c.slot, c.model, c.identity);
        DetailHost& host = o.host;
        o.Run(400,
              [&] { return host.IsOpen() && host.Window()->CurrentMode() == Phases::Status2; });
        ASSERT_TRUE(host.IsOpen());
        ASSERT_EQ(o.shown.size(), 1u);
        EXPECT_TRUE(c.window(host.Window()));
        const bool modem = c.slot == Modem1;
        const std::string caption = host.Window()->caption(), address = modem ? "1300" : "1302";
        EXPECT_EQ(caption.rfind(modem ? "Detail of Modem 1, Local end, link: " : "Detail of ", 0),
                  0u);
        EXPECT_EQ(modem ? caption.substr(caption.rfind("       ") + 7) : host.Window()->UnitName,
                  c.shown);
        EXPECT_EQ(host.Window()->ModemPairPresent, !modem); // both transceivers of the end
        EXPECT_FALSE(o.h.cycle.TimerEnabled());
        o.Run(60, [] { return false; });
        EXPECT_EQ(o.h.port.sent.back().substr(0, 6), "<" + address + "/");
        host.Window()->click("BtnClose");
        o.Run(100, [&] { return !host.IsOpen(); });
        // Closed, off the screen, and the summary's timer running again.
        EXPECT_EQ(std::tuple(host.IsOpen(), o.shown.size(), o.h.cycle.TimerEnabled()),
                  std::tuple(false, 0u, true));
        const size_t mark = o.h.port.sent.size();
        ASSERT_TRUE(o.h.RunRequests(6));
        const auto sent = o.h.SentSince(mark);
        // A modem's faults are asked once more at once; a transceiver is polled again.
        const auto end = modem ? sent.begin() + 1 : sent.end();
        EXPECT_NE(std::find(sent.begin(), end, "<" + address + (modem ? "/FLT?" : "/SFS?")), end);
    }
}
