#include "poll/Families.h"
#include "detail/DetailRig.h"

#include <set>

using namespace linvar;

// The registry and the windows it makes say the same of every family: the opener's help
// topic and steering are the window's own; names are unique and every kind is opened.
TEST(Families, EveryFamilyHasOneRowAndTheWindowItMakesAgreesWithIt) {
    std::set<UnitKind> kinds;
    for (const FamilyRow& row : Families()) {
        kinds.insert(row.kind);
        EXPECT_EQ(FindFamily(row.name), &row) << row.name;
        DetailRig r;
        r.Place("350", 3, "0350");
        DetailDeps deps{r.tx,     r.port,  r.capture, r.clock,     r.op,
                        r.timers, r.setup, r.print,   r.dir.path()};
        r.w = row.make(deps, DetailInputs{"0350", "Modem 1, Local end", "0350110000", 3, false});
        ASSERT_TRUE(r.w) << row.name;
        r.w->Activate();
        EXPECT_EQ(r.w->Family().helpTopic, row.helpTopic) << row.name;
        EXPECT_EQ(r.w->Family().steering == Steering::Phases, std::string(row.steering) == "phases")
            << row.name;
    }
    for (UnitKind kind : kinds)
        EXPECT_EQ(FamilyOfKind(kind).kind, kind);
    EXPECT_EQ(kinds.size(), 3u); // a modem, a transceiver and the switch
}
