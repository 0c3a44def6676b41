// The comms link: what goes over the line for a request, what the station keeps of a
// reply, and the capture lines of both.
#include "serial/CommsLink.h"
#include "logging/Capture.h"
#include "serial/ComPortMap.h"
#include "serial/CommsDialog.h"
#include "serial/SerialPort.h"

#include "PtyHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(CommsLink, RequestAndReplyOverTheLine) {
    TempDir dir;
    FakeClock clock({2026, 5, 1, 8, 30, 0, 0});
    Capture capture(clock, dir.path());
    CommsLink link(capture);
    Pty pty;
    UiQueue ui;
    ComPortMap map;
    map.set(5, pty.name());
    SerialPort port(ui.dispatcher, map);
    ConnectCommsPort(port, link);
    EXPECT_EQ(port.DataBits(), d8bit);
    port.SetPort(5);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());

    capture.ToggleCapture();
    link.WriteRequest("<0012/FLT?");
    EXPECT_EQ(pty.receive("\r"), "<0012/FLT?\r");
    ASSERT_TRUE(pty.send("\n>0012/FLT=0000\r\n"));
    ASSERT_TRUE(ui.pumpUntil([&] { return !link.ReceivedMessage().empty(); }));
    EXPECT_EQ(link.ReceivedMessage(), ">0012/FLT=0000\r\n");

    // The next request forgets the last reply before it goes out.
    link.WriteRequest("<0012/FAC=E 1234");
    EXPECT_EQ(link.ReceivedMessage(), "");
    EXPECT_EQ(pty.receive("\r"), "<0012/FAC=E 1234\r");
    capture.SwitchOff();
    link.WriteRequest("<0012/FLT?"); // capture off: sent, not traced
    EXPECT_EQ(pty.receive("\r"), "<0012/FLT?\r");

    EXPECT_EQ(dir.read("CaptureM.txt"), "[start]\r\n"
                                        "08:30:00 [out]<0012/FLT?[cr]\r\n"
                                        "08:30:00 [ in]>0012/FLT=0000[cr][lf]\r\n"
                                        "08:30:00 [out]Factory mode enabled\r\n");

    // A port error is only noted: no box, nothing thrown.
    port.SetOpen(false);
    link.WriteRequest("<0012/FLT?");
    EXPECT_EQ(port.ErrorCode(), EBADF);
}

// Capture on a full disk: the reply still reaches the station, the failure is reported
// once through the hand-off's error report, capture goes off and the line keeps working.
TEST(CommsLink, ACaptureFileOnAFullDeviceNeverStopsTheLine) {
    TempDir dir;
    std::filesystem::create_symlink("/dev/full", dir.path() / "CaptureM.txt");
    FakeClock clock({2026, 5, 1, 8, 30, 0, 0});
    Capture capture(clock, dir.path());
    CommsLink link(capture);
    Pty pty;
    UiQueue ui;
    std::vector<std::string> reports;
    ui.dispatcher.setErrorSink([&](const std::string& text) { reports.push_back(text); });
    ComPortMap map;
    map.set(5, pty.name());
    SerialPort port(ui.dispatcher, map);
    ConnectCommsPort(port, link);
    port.SetPort(5);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());
    EXPECT_THROW(capture.ToggleCapture(), UserError); // "[start]" does not fit either
    ASSERT_TRUE(capture.CaptureOn());

    // The request goes out although its trace line cannot be written.
    EXPECT_THROW(link.WriteRequest("<0012/FLT?"), UserError);
    EXPECT_FALSE(capture.CaptureOn());
    EXPECT_THROW(capture.ToggleCapture(), UserError);
    ASSERT_TRUE(capture.CaptureOn());
    ASSERT_TRUE(pty.send(">0012/FLT=0000\r\n"));
    ASSERT_TRUE(ui.pumpUntil([&] { return !link.ReceivedMessage().empty(); }));
    EXPECT_EQ(link.ReceivedMessage(), ">0012/FLT=0000\r\n");
    ASSERT_TRUE(ui.pumpUntil([&] { return !reports.empty(); }));
    EXPECT_EQ(reports, std::vector<std::string>{"Disk full"});
    EXPECT_FALSE(capture.CaptureOn());

    // The receive thread was not left waiting: the next reply comes through.
    link.WriteRequest("<0012/TMP?");
    EXPECT_EQ(pty.receive("TMP?\r"), "<0012/FLT?\r<0012/TMP?\r");
    ASSERT_TRUE(pty.send(">0012/TMP=035\r\n"));
    ASSERT_TRUE(ui.pumpUntil([&] { return link.ReceivedMessage() == ">0012/TMP=035\r\n"; }));
    EXPECT_EQ(reports.size(), 1u);
    port.SetOpen(false);
}
