#include "poll/Families.h"
#include "detail/DetailRig.h"

#include <set>

using namespace linvar;

// The registry and the windows it makes say the same of every family: the opener's help
// topic and steering are the window's own.
TEST(Families, EveryFamilyHasOneRowAndTheWindowItMakesAgreesWithIt) {
    std::set<DetailFamily> seen;
    for (const FamilyRow& row : Families()) {
        EXPECT_TRUE(seen.insert(row.family).second) << row.name;
        EXPECT_EQ(&FamilyOf(row.family), &row) << row.name;
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
    EXPECT_EQ(seen.size(), static_cast<size_t>(DetailFamily::Switch) + 1);
}
