#include "ui/Clock.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(FakeClock, AdvancesAcrossMidnightMonthAndYear) {
    FakeClock clock({2026, 12, 31, 23, 59, 59, 950});
    clock.advanceMs(100);
    EXPECT_EQ(clock.now(), (LocalDateTime{2027, 1, 1, 0, 0, 0, 50}));
    EXPECT_EQ(clock.monotonicMs(), 100);

    FakeClock leap({2028, 2, 28, 12, 0, 0, 0});
    leap.advanceMs(24LL * 3600 * 1000);
    EXPECT_EQ(leap.now(), (LocalDateTime{2028, 2, 29, 12, 0, 0, 0}));

    // A simulated week in one step lands on the same time of day.
    FakeClock week({2026, 12, 6, 9, 30, 0, 0});
    week.advanceMs(7LL * 24 * 3600 * 1000);
    EXPECT_EQ(week.now(), (LocalDateTime{2026, 12, 13, 9, 30, 0, 0}));
}

TEST(Clock, FormatsFollowTheRegionalPatterns) {
    FakeClock clock({2026, 3, 5, 9, 7, 3, 0});
    EXPECT_EQ(clock.timeText(), "09:07:03");
    EXPECT_EQ(clock.dateTimeText(), "05/03/2026 09:07:03");
    clock.setFormats({"h:nn:ss AM/PM", "m/d/yy"});
    EXPECT_EQ(clock.timeText(), "9:07:03 AM");
    EXPECT_EQ(clock.dateTimeText(), "3/5/26 9:07:03 AM");
    clock.set({2026, 3, 5, 0, 15, 0, 0});
    EXPECT_EQ(clock.timeText(), "12:15:00 AM");
}
