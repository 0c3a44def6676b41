#include "TempDir.h"

#include "logging/Capture.h"
#include "ui/Clock.h"
#include "ui/UserError.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(Capture, AFullDiskSwitchesCaptureOffWithOneReport) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    std::filesystem::create_symlink("/dev/full", dir.path() / "CaptureM.txt");
    FakeClock clock;
    Capture capture(clock, dir.path());
    // The "[start]" line fails: reported, and capture stays on as switched.
    EXPECT_THROW(capture.ToggleCapture(), UserError);
    EXPECT_TRUE(capture.CaptureOn());
    try {
        capture.CaptureLine("<0012/FLT?\r", "[out]");
        FAIL() << "a write to a full disk went unnoticed";
    } catch (const UserError& e) {
        EXPECT_STREQ(e.what(), "Disk full");
    }
    // One report, then polling goes on without capture.
    EXPECT_FALSE(capture.CaptureOn());
    EXPECT_NO_THROW(capture.CaptureLine("<0013/FLT?\r", "[out]"));
}
