// The comms settings file, the trace form of messages, the capture file and the comms
// dialog's open sequence.
#include "logging/Capture.h"
#include "serial/CommsDialog.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

CommsSelection readLine(const TempDir& dir, const std::string& content, CommsSelection start = {}) {
    dir.write("comms.txt", content);
    CommsSelection remembered;
    EXPECT_FALSE(ReadCommsSettings(dir.path(), start, remembered).has_value()) << content;
    EXPECT_EQ(start, remembered);
    return start;
}

std::string describe(const CommsSelection& s) {
    return s.portText() + "," + s.speedText() + "," +
           (s.format >= 0 ? CommsFormatEntries()[static_cast<size_t>(s.format)] : "-");
}

} // namespace

TEST(CommsSettings, ReadsEachLineForm) {
    TempDir dir;
    EXPECT_EQ(describe(readLine(dir, "3,19200,1\r\n")), "3,19200,7E2");
    EXPECT_EQ(describe(readLine(dir, "2,4800\r\n", {0, 0, 2})), "2,4800,8N1");
    EXPECT_EQ(describe(readLine(dir, "1,9600,0\r\n12,57600,2\r\n")), "12,57600,7O2");
    // An entry that is no list entry leaves that list without a selection.
    EXPECT_EQ(describe(readLine(dir, "100,9601,2")), ",,7O2");
    EXPECT_EQ(describe(readLine(dir, "4,115200")), "4,,8N1"); // speed cut to "11520"
    // A format index outside the list leaves no format; its first digit is what counts.
    EXPECT_EQ(describe(readLine(dir, "5,2400,7")), "5,2400,-");
    EXPECT_EQ(describe(readLine(dir, "5,2400,12")), "5,2400,7E2");
    // An empty format field keeps the format chosen before.
    EXPECT_EQ(describe(readLine(dir, "5,2400,", {0, 0, 2})), "5,2400,7O2");
    // A stray blank last line does not clear the settings.
    EXPECT_EQ(describe(readLine(dir, "7,1200,1\r\n\r\n")), "7,1200,7E2");
    EXPECT_EQ(describe(readLine(dir, "")), ",,-");

    // No file: port 1, 9600 baud, "8N1".
    TempDir empty;
    CommsSelection s, remembered;
    EXPECT_FALSE(ReadCommsSettings(empty.path(), s, remembered).has_value());
    EXPECT_EQ(describe(s), "1,9600,8N1");
}

TEST(CommsSettings, NonDigitFormatIsReportedAndTheRestKept) {
    TempDir dir;
    dir.write("comms.txt", "1,9600,2\r\n6,38400,x\r\n");
    CommsSelection s, remembered;
    const auto report = ReadCommsSettings(dir.path(), s, remembered);
    ASSERT_TRUE(report.has_value());
    EXPECT_STREQ(report->what(), "'x' is not a valid integer value");
    EXPECT_EQ(describe(s), "6,38400,7O2");
    EXPECT_EQ(remembered, s);
}

TEST(CommsSettings, SavesOnlyAChangeAndThenRemembersIt) {
    TempDir dir;
    CommsSelection s, remembered;
    ReadCommsSettings(dir.path(), s, remembered);
    EXPECT_FALSE(SaveCommsSettings(dir.path(), s, remembered));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "comms.txt"));

    s.port = 2;
    s.format = 1;
    EXPECT_TRUE(SaveCommsSettings(dir.path(), s, remembered));
    EXPECT_EQ(dir.read("comms.txt"), "3,9600,1\r\n");

    // Back to the values of start-up: the file must follow.
    s.port = 0;
    s.format = 0;
    EXPECT_TRUE(SaveCommsSettings(dir.path(), s, remembered));
    EXPECT_EQ(dir.read("comms.txt"), "1,9600,0\r\n");

    // No format chosen: the two-field form, which reads back without a report.
    s.format = -1;
    EXPECT_TRUE(SaveCommsSettings(dir.path(), s, remembered));
    EXPECT_EQ(dir.read("comms.txt"), "1,9600\r\n");
    CommsSelection again, r2;
    EXPECT_FALSE(ReadCommsSettings(dir.path(), again, r2).has_value());
    EXPECT_EQ(describe(again), "1,9600,8N1");
}

TEST(TraceText, ControlCharactersAndFactoryMode) {
    EXPECT_EQ(TraceText("<0012/FLT?\r"), "<0012/FLT?[cr]");
    EXPECT_EQ(TraceText(">0012/FLT=0000\r\n"), ">0012/FLT=0000[cr][lf]");
    EXPECT_EQ(TraceText("a\nb\nc\nd\ne\nf"), "a[lf]b[lf]c[lf]d[lf]e\nf");
    std::string nineCr;
    for (int i = 0; i < 9; ++i)
        nineCr += "[cr]";
    EXPECT_EQ(TraceText(std::string(10, '\r')), nineCr + "\r");
    EXPECT_EQ(TraceText("<0012/FAC=E 1234\r"), "Factory mode enabled");
    EXPECT_EQ(TraceText(">0012/FAC=D 0\r\n"), "Factory mode disabled");
    EXPECT_EQ(TraceText(">0012/FAC=E\r\n"), "Factory mode message accepted");
    EXPECT_EQ(TraceText(""), "");
}

TEST(Capture, LinesStartsAndDuplicates) {
    TempDir dir;
    FakeClock clock({2026, 3, 4, 13, 5, 9, 0});
    Capture capture(clock, dir.path());
    capture.CaptureLine("ignored", "[out]"); // off: nothing, no error
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "CaptureM.txt"));

    capture.ToggleCapture("CaptureM.txt");
    EXPECT_TRUE(capture.CaptureOn());
    capture.CaptureLine("<0012/FLT?\r", "[out]");
    capture.CaptureLine("<0012/FLT?\r", "[out]"); // formatting changes it: written again
    capture.CaptureLine(">0012/FLT=0000", "[ in]");
    capture.CaptureLine(">0012/FLT=0000", "[ in]"); // repeat without control characters
    capture.CaptureLine("", "[ in]");
    capture.CaptureLine("3", "");
    clock.advanceMs(2000);
    capture.CaptureLine("3", "[Pno]");
    capture.ToggleCapture("CaptureM.txt");
    EXPECT_FALSE(capture.CaptureOn());
    capture.ToggleCapture("CaptureM.txt");
    capture.CaptureLine("3", "[Pno]"); // the last text survives a toggle
    capture.ResetLastText();
    capture.CaptureLine("3", "[Pno]");
    capture.SwitchOff();
    capture.SwitchOff();

    EXPECT_EQ(dir.read("CaptureM.txt"), "[start]\r\n"
                                        "13:05:09 [out]<0012/FLT?[cr]\r\n"
                                        "13:05:09 [out]<0012/FLT?[cr]\r\n"
                                        "13:05:09 [ in]>0012/FLT=0000\r\n"
                                        "13:05:11 [Pno]3\r\n"
                                        "[start]\r\n"
                                        "13:05:11 [Pno]3\r\n");
}

TEST(Capture, FileErrorLeavesCaptureOff) {
    TempDir dir;
    FakeClock clock;
    Capture capture(clock, dir.path() / "missing");
    try {
        capture.ToggleCapture("CaptureM.txt");
        FAIL();
    } catch (const UserError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_FALSE(capture.CaptureOn());
}

namespace {

class FakePort : public CommsPort {
public:
    bool IsOpen() const override { return open; }
    void SetOpen(bool o) override {
        calls += o ? "open;" : "close;";
        open = o && opens;
    }
    void SetPort(uint8_t p) override { port = p; }
    void SetBaudrate(int32_t b) override { baud = b; }
    void SetParity(eParity p) override { parity = p; }
    void SetDataBits(eDataBits d) override { dataBits = d; }
    void SetStopBits(eStopBits s) override { stopBits = s; }
    void PurgeReceive() override { calls += "purge;"; }

    bool open = false;
    bool opens = true;
    int port = 0, baud = 0;
    eParity parity = paNone;
    eDataBits dataBits = d8bit;
    eStopBits stopBits = st1bit;
    std::string calls;
};

} // namespace

TEST(CommsDialog, OpenSequenceAndProceed) {
    TempDir dir;
    FakeClock clock;
    Capture capture(clock, dir.path());
    FakePort port;
    CommsDialog dialog(port, capture, dir.path());
    dir.write("comms.txt", "3,19200,1\r\n");
    EXPECT_FALSE(dialog.ReadCommsSettings().has_value());

    capture.ToggleCapture();
    dialog.Activate();
    EXPECT_FALSE(capture.CaptureOn());
    EXPECT_TRUE(dialog.OpenEnabled());
    EXPECT_FALSE(dialog.ProceedVisible());

    dialog.OpenClick();
    EXPECT_EQ(dialog.StatusText(), "Opening port...");
    dialog.Tick();
    EXPECT_EQ(port.port, 3);
    EXPECT_EQ(port.baud, 19200);
    EXPECT_EQ(port.parity, paEven);
    EXPECT_EQ(port.dataBits, d7bit);
    EXPECT_EQ(port.stopBits, st2bit);
    EXPECT_EQ(dialog.OpenState(), 2);
    dialog.Tick();
    EXPECT_EQ(dialog.StatusText(), "Port open on Com3, at 19200 baud");
    EXPECT_TRUE(dialog.ProceedVisible());
    EXPECT_EQ(port.calls, "open;purge;");
    EXPECT_EQ(dialog.OpenState(), 0);

    dialog.OpenClick();
    dialog.Tick();
    EXPECT_EQ(dialog.StatusText(), "That Port is already open. Select again.");

    dialog.ProceedClick(); // nothing changed: no file written anew
    EXPECT_EQ(dialog.DialogResult(), CommsDialog::drOK);
    EXPECT_FALSE(dialog.TimerRunning());
    EXPECT_EQ(dir.read("comms.txt"), "3,19200,1\r\n");

    dialog.Activate();
    dialog.SelectSpeed(1);
    EXPECT_FALSE(port.open);
    port.opens = false;
    dialog.OpenClick();
    dialog.Tick();
    for (int i = 0; i < 19; ++i)
        dialog.Tick();
    EXPECT_EQ(dialog.StatusText(), "Opening port...");
    dialog.Tick();
    EXPECT_EQ(dialog.StatusText(), "Port failed to open. Select again.");
    EXPECT_FALSE(dialog.ProceedVisible());

    port.opens = true;
    dialog.OpenClick();
    dialog.Tick();
    dialog.Tick();
    dialog.ProceedClick();
    EXPECT_EQ(dir.read("comms.txt"), "3,2400,1\r\n");

    dialog.SelectPort(-1);
    EXPECT_FALSE(dialog.OpenEnabled());
}

TEST(CommsDialog, SettingsThatCannotBeSavedKeepTheDialogWorking) {
    TempDir dir;
    FakeClock clock;
    Capture capture(clock, dir.path());
    FakePort port;
    CommsDialog dialog(port, capture, dir.path());
    dialog.ReadCommsSettings();
    std::filesystem::create_directory(dir.path() / "comms.txt"); // cannot be replaced
    dialog.Activate();
    dialog.SelectSpeed(1);
    EXPECT_THROW(dialog.ProceedClick(), UserError);
    EXPECT_EQ(dialog.DialogResult(), CommsDialog::drNone);
    EXPECT_TRUE(dialog.TimerRunning());
    dialog.OpenClick();
    dialog.Tick();
    dialog.Tick();
    EXPECT_EQ(dialog.StatusText(), "Port open on Com1, at 2400 baud");
}
