#include "Replies.h"

#include <gtest/gtest.h>

using namespace linvar::sim;

TEST(SimMqx370, RangesFollowTheRevisionAndUnheldValuesAreRefused) {
    Unit u("0370", "370");
    // The IF range: 52-88 / 104-176 MHz, or 50-90 / 100-180 with a revision digit.
    Replies{u, 0} = {{"TFQ=0050.0000", "?"}, {"TFQ=0052.0000", "="}};
    u.setReading("HRV", "0301");
    EXPECT_EQ(u.payload("TFQ=0050.0000", 0), "=");
    Replies{u, 0} = {{"MSK=000101", "?", "the fourth mask is always 0"},
                     {"RBS=00017", "?"},
                     {"OOD=01:00", "!", "no ODU on an MQX-370"},
                     {"OGC?", "!"}};
    u.setRemoteState('0');
    EXPECT_EQ(u.payload("TSI=1", 0), "*");
    Unit l("0371", "371");
    Replies{l, 0} = {{"ODH=3500", "="}, {"ODH=3550", "?"}, {"OOD=21:00", "?"}};
}
