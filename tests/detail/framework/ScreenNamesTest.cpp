// Every family's window built at every model it knows: each group, box, mask and part its
// rows name exists, and each phase runs against a unit of its family without an error.

#include "detail/DetailRig.h"

#include "detail/mqx310/Mqx310Window.h"
#include "detail/mqx330/Mqx330Window.h"
#include "detail/mqx350/Mqx350Window.h"
#include "detail/mqx370/Mqx370Window.h"
#include "detail/pld/PldWindow.h"
#include "detail/switch/SwitchWindow.h"
#include "detail/vorn/VornWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace linvar;

namespace {

struct Model {
    const char* unit;     // the simulated unit's model
    const char* identity; // what the opener read of it
    int record;
    std::function<void(DetailRig&, const std::string& identity)> open;
};

template <class W> auto Opens() {
    return [](DetailRig& r, const std::string& identity) { r.Create<W>(identity); };
}

} // namespace

TEST(DetailScreens, EveryFamilyBuildsAtEveryModelAndRunsEachPhaseWithoutAnError) {
    std::vector<Model> models{
        {"350", "0350110000", 3, Opens<Mqx350Window>()},
        {"351", "0351110000", 4, Opens<Mqx350Window>()},
        {"310", "0310100000", 3, Opens<Mqx310Window>()},
        {"7010", "7010200000", 3, Opens<Mqx310Window>()},
        {"VORN", "", 3, Opens<VornWindow>()},
        {"VORN", "", 4, Opens<VornWindow>()},
        {"PLD", "", 3, Opens<PldWindow>()},
        {"430", "", 41, Opens<SwitchWindow>()},
    };
    for (const char* id : {"0370000000", "0371000000", "0372000000", "0373000000"})
        models.push_back({"371", id, 3, Opens<Mqx370Window>()});
    // Options 0-7 (AUPC, Reed-Solomon, Turbo, IP), both bands, receive only.
    for (const char* id : {"0330110000", "1330210000", "2330110000", "3330110000", "4330110000",
                           "5330110000", "6330110000", "7330120000", "0330120000", "2330120000"})
        models.push_back({"331", id, 3, Opens<Mqx330Window>()});
    for (const Model& m : models) {
        SCOPED_TRACE(std::string(m.unit) + " " + m.identity + " at " + std::to_string(m.record));
        DetailRig r;
        r.Place(m.unit, m.record, "0500");
        r.unit->setIdentity(m.identity);
        m.open(r, m.identity);
        ASSERT_FALSE(r.w->Closed());
        for (const char* button : {"BtnStatus", "BtnConfig", "BtnLogs", "BtnUtilities"}) {
            r.Until([&] { return r.at(button).enabled() && !r.tx.AwaitingReply; }, 400);
            r.w->click(button);
            r.Tick(200);
            // Screen texts are in the station's 8-bit code page: a UTF-8 literal would
            // reach the operator twice encoded ("Â°C").
            for (const Control* c : r.w->controls())
                EXPECT_EQ(c->text().find_first_of("\xC2\xC3"), std::string::npos)
                    << c->name() << ": " << c->text();
        }
        EXPECT_EQ(r.op.reports, std::vector<std::string>{});
        EXPECT_FALSE(r.w->Closed());
    }
}
