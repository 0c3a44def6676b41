#include "Switch.h"
#include "Replies.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

namespace {

SwitchBehaviour& Of(Unit& u) {
    return *dynamic_cast<SwitchBehaviour*>(u.behaviour());
}

} // namespace

TEST(SimSwitch, SettingsChangeWhatItReportsAndValuesItCannotHoldAreRefused) {
    Unit u("1000", "TRV-420");
    Replies{u, 0} = {{"EID?", "=0420000000"},
                     {"ESN?", "!"},
                     {"SNO?", "=4200009921"},
                     {"FLT?", "=0000000000000"}};
    struct Case {
        const char* set;
        const char* query;
        const char* reported;
    };
    for (const Case c :
         {Case{"SID=LINK 1-10 (MAIN)", "SID?", "=LINK 1-10 (MAIN)        "},
          Case{"MAM=3", "MAM?", "=3"}, Case{"SAM=2", "SAM?", "=2"}, Case{"AAM=1", "AAM?", "=1"},
          Case{"BKH=99", "BKH?", "=99"}, Case{"RSH=01", "RSH?", "=01"}, Case{"OPM=0", "OPM?", "=0"},
          Case{"BBU=107", "BBU?", "=107"}}) {
        EXPECT_EQ(u.payload(c.set, 0), "=") << c.set;
        EXPECT_EQ(u.payload(c.query, 0), c.reported) << c.set;
    }
    for (const char* bad : {"SID=lower case", "SID=0123456789012345678901234", "MAM=4", "SAM=3",
                            "OPM=2", "BKH=00", "BKH=100", "RSH=5", "BBU=111", "BBU=200", "ACT=11",
                            "ACT=2000000000", "CST=A", "AMQ=0", "SID?1"})
        EXPECT_EQ(u.payload(bad, 0), "?") << bad;
    EXPECT_EQ(u.payload("BKH?", 0), "=99");

    // In automatic operation the switch chooses the redundant modem's role itself; in
    // local mode it takes nothing but the way back to remote.
    Replies{u, 0} = {{"OPM=1", "="}, {"BBU=001", "*"}};
    u.setRemoteState('0');
    Replies{u, 0} = {{"MAM=0", "*"}, {"LRS=1", "="}, {"MAM=0", "="}};
}

TEST(SimSwitch, ActiveFlagsFollowActivationAsEachModelCountsItsStates) {
    Unit a("1000", "420");
    Of(a).setInterfaces("3210");
    Replies{a, 0} = {{"AMQ?", "=3210000000"},
                     {"ACT?", "=1000000000"},
                     {"ACT=1010000000", "*", "interface 3 has a bad configuration"},
                     {"ACT=0100000000", "="},
                     {"AMQ?", "=2310000000"},
                     {"ACT?", "=0100000000"}};

    Unit b("7000", "430");
    EXPECT_EQ(b.payload("ESN?", 0), "=43000017342");
    Of(b).setInterfaces("1230");
    Replies{b, 0} = {{"ACT?", "=0110000000"},
                     {"ACT=1000000000", "="},
                     {"AMQ?", "=2110000000"},
                     {"ACT=0001000000", "*", "interface 4 is not installed"}};
    // Each activation is logged as a redundancy change.
    EXPECT_EQ(b.events().back().substr(0, 3), "ID4");
}
