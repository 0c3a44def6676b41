// Every family's window, made by its registry row, at every model it knows: each group,
// box, mask and part its rows name exists, and each phase runs against a unit of its family
// without an error.

#include "detail/DetailRig.h"
#include "poll/Families.h"

#include <set>

using namespace linvar;

TEST(DetailScreens, EveryFamilyBuildsAtEveryModelAndRunsEachPhaseWithoutAnError) {
    // The registry's row, the simulated unit's model, what the opener read of it, the end.
    std::vector<std::tuple<const char*, const char*, std::string, int>> models{
        {"MQX-350", "350", "0350110000", 3},
        {"MQX-350", "351", "0351110000", 4},
        {"MQX-310", "310", "0310100000", 3},
        {"MQX-310", "7010", "7010200000", 3},
        {"VORN/YRAN", "VORN", "", 3},
        {"VORN/YRAN", "VORN", "", 4},
        {"PLD", "PLD", "", 3},
        {"switch", "430", "", 41}};
    for (const char* id : {"0370000000", "0371000000", "0372000000", "0373000000"})
        models.push_back({"MQX-370", "371", id, 3});
    // Options 0-7 (AUPC, Reed-Solomon, Turbo, IP), both bands, receive only.
    for (const char* id : {"0330110000", "1330210000", "2330110000", "3330110000", "4330110000",
                           "5330110000", "6330110000", "7330120000", "0330120000", "2330120000"})
        models.push_back({"MQX-330", "331", id, 3});
    std::set<std::string> made;
    for (const auto& [family, unit, identity, record] : models) {
        SCOPED_TRACE(std::string(unit) + " " + identity + " at " + std::to_string(record));
        const FamilyRow* row = FindFamily(family);
        ASSERT_TRUE(row);
        made.insert(family);
        DetailRig r;
        r.Place(unit, record, "0500").setIdentity(identity);
        r.Adopt(row->make(r.Deps(), r.Inputs(identity)));
        ASSERT_FALSE(r.w->Closed());
        // The opener's help topic and steering are the window's own.
        EXPECT_EQ(r.w->Family().helpTopic, row->helpTopic);
        EXPECT_EQ(r.w->Family().steering == Steering::Phases,
                  std::string(row->steering) == "phases");
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
        EXPECT_EQ(r.op.reports, Lines{});
        EXPECT_FALSE(r.w->Closed());
    }
    // Every row is made here; every kind has its family.
    EXPECT_EQ(made.size(), Families().size());
    for (const UnitKind kind : {UnitKind::Modem, UnitKind::Transceiver, UnitKind::Switch})
        EXPECT_EQ(FamilyOfKind(kind).kind, kind);
}
