#include "Switch.h"
#include "Replies.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

TEST(SimSwitch, ValuesItCannotHoldAndModesThatForbidAreRefused) {
    Unit u("1000", "TRV-420");
    AllAnswer(u, "?",
              "SID=lower SID=0123456789012345678901234 MAM=4 SAM=3 OPM=2 BKH=00 BKH=100 RSH=5 "
              "BBU=111 BBU=200 ACT=11 ACT=2000000000 CST=A AMQ=0 SID?1");
    // In automatic operation the switch chooses the redundant modem's role itself; in
    // local mode it takes nothing but the way back to remote.
    Replies{u, 0} = {{"OPM=1", "="}, {"BBU=001", "*"}};
    u.setRemoteState('0');
    Replies{u, 0} = {{"MAM=0", "*"}, {"LRS=1", "="}, {"MAM=0", "="}};

    auto& a = dynamic_cast<SwitchBehaviour&>(*u.behaviour());
    a.setInterfaces("3210");
    Replies{u, 0} = {{"ACT=1010000000", "*", "interface 3 has a bad configuration"},
                     {"ACT=0100000000", "="},
                     {"AMQ?", "=2310000000"}};
    Unit b("7000", "430");
    dynamic_cast<SwitchBehaviour&>(*b.behaviour()).setInterfaces("1230");
    Replies{b, 0} = {{"ACT?", "=0110000000", "each model counts its states"},
                     {"ACT=0001000000", "*", "interface 4 is not installed"}};
}
