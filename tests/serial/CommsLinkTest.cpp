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

namespace {

// The link on COM5, a pseudo-terminal, with the capture file in a fresh folder.
struct LinkRig {
    TempDir dir;
    FakeClock clock{{2026, 5, 1, 8, 30, 0, 0}};
    Capture capture{clock, dir.path()};
    CommsLink link{capture};
    Pty pty;
    UiQueue ui;
    std::vector<std::string> reports;
    std::unique_ptr<SerialPort> port;

    explicit LinkRig(bool fullDisk = false) {
        if (fullDisk)
            std::filesystem::create_symlink("/dev/full", dir.path() / "CaptureM.txt");
        ui.dispatcher.setErrorSink([&](const std::string& text) { reports.push_back(text); });
        ComPortMap map;
        map.set(5, pty.name());
        port = std::make_unique<SerialPort>(ui.dispatcher, map);
        ConnectCommsPort(*port, link);
        port->SetPort(5);
        port->SetOpen(true);
    }
    ~LinkRig() { port->SetOpen(false); }
    // The far end answers; true once the link holds `reply`.
    bool Answer(const std::string& bytes, const std::string& reply) {
        return pty.send(bytes) && ui.pumpUntil([&] { return link.ReceivedMessage() == reply; });
    }
};

} // namespace

TEST(CommsLink, RequestAndReplyOverTheLine) {
    LinkRig r;
    ASSERT_TRUE(r.port->IsOpen() && r.port->DataBits() == d8bit);
    r.capture.ToggleCapture();
    r.link.WriteRequest("<0012/FLT?");
    EXPECT_EQ(r.pty.receive("\r"), "<0012/FLT?\r");
    ASSERT_TRUE(r.Answer("\n>0012/FLT=0000\r\n", ">0012/FLT=0000\r\n"));

    // The next request forgets the last reply before it goes out.
    r.link.WriteRequest("<0012/FAC=E 1234");
    EXPECT_EQ(r.link.ReceivedMessage(), "");
    EXPECT_EQ(r.pty.receive("\r"), "<0012/FAC=E 1234\r");
    r.capture.SwitchOff();
    r.link.WriteRequest("<0012/FLT?"); // capture off: sent, not traced
    EXPECT_EQ(r.pty.receive("\r"), "<0012/FLT?\r");
    EXPECT_EQ(r.dir.read("CaptureM.txt"), "[start]\r\n"
                                          "08:30:00 [out]<0012/FLT?[cr]\r\n"
                                          "08:30:00 [ in]>0012/FLT=0000[cr][lf]\r\n"
                                          "08:30:00 [out]Factory mode enabled\r\n");

    // A port error is only noted: no box, nothing thrown.
    r.port->SetOpen(false);
    r.link.WriteRequest("<0012/FLT?");
    EXPECT_EQ(r.port->ErrorCode(), EBADF);
    EXPECT_TRUE(r.reports.empty());
}

// Capture on a full disk: the reply still reaches the station, the failure is reported
// once through the hand-off's error report, capture goes off and the line keeps working.
TEST(CommsLink, ACaptureFileOnAFullDeviceNeverStopsTheLine) {
    LinkRig r(true);
    ASSERT_TRUE(r.port->IsOpen());
    EXPECT_THROW(r.capture.ToggleCapture(), UserError); // "[start]" does not fit either
    ASSERT_TRUE(r.capture.CaptureOn());
    // The request goes out although its trace line cannot be written.
    EXPECT_THROW(r.link.WriteRequest("<0012/FLT?"), UserError);
    EXPECT_FALSE(r.capture.CaptureOn());
    EXPECT_THROW(r.capture.ToggleCapture(), UserError);
    ASSERT_TRUE(r.capture.CaptureOn());
    ASSERT_TRUE(r.Answer(">0012/FLT=0000\r\n", ">0012/FLT=0000\r\n"));
    ASSERT_TRUE(r.ui.pumpUntil([&] { return !r.reports.empty(); }));
    EXPECT_EQ(r.reports, std::vector<std::string>{"Disk full"});
    EXPECT_FALSE(r.capture.CaptureOn());

    // The receive thread was not left waiting: the next reply comes through.
    r.link.WriteRequest("<0012/TMP?");
    EXPECT_EQ(r.pty.receive("TMP?\r"), "<0012/FLT?\r<0012/TMP?\r");
    ASSERT_TRUE(r.Answer(">0012/TMP=035\r\n", ">0012/TMP=035\r\n"));
    EXPECT_EQ(r.reports.size(), 1u);
}
