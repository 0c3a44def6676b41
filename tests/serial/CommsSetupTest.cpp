// The comms settings file, the trace form of messages, the capture file and the comms
// dialog's open sequence.
#include "logging/Capture.h"
#include "serial/CommsDialog.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

std::string describe(const CommsSelection& s) {
    return s.portText() + "," + s.speedText() + "," +
           (s.format >= 0 ? CommsFormatEntries()[static_cast<size_t>(s.format)] : "-");
}

} // namespace

TEST(CommsSettings, ReadsEachLineForm) {
    const struct {
        const char* file; // nullptr: no file
        CommsSelection before;
        const char* read; // and what is reported, if anything
    } rows[] = {
        {nullptr, {}, "1,9600,8N1"},
        {"3,19200,1\r\n", {}, "3,19200,7E2"},
        {"2,4800\r\n", {0, 0, 2}, "2,4800,8N1"},
        {"1,9600,0\r\n12,57600,2\r\n", {}, "12,57600,7O2"},
        {"100,9601,2", {}, ",,7O2"}, // no list entry: that list without a selection
        {"4,115200", {}, "4,,8N1"},  // speed cut to "11520"
        {"5,2400,7", {}, "5,2400,-"},
        {"5,2400,12", {}, "5,2400,7E2"},        // the first digit counts
        {"5,2400,", {0, 0, 2}, "5,2400,7O2"},   // an empty format field keeps the format
        {"7,1200,1\r\n\r\n", {}, "7,1200,7E2"}, // a stray blank last line
        {"", {}, ",,-"},
        {"1,9600,2\r\n6,38400,x\r\n", {}, "6,38400,7O2 | 'x' is not a valid integer value"},
    };
    for (const auto& r : rows) {
        TempDir dir;
        if (r.file)
            dir.write("comms.txt", r.file);
        CommsSelection s = r.before, remembered;
        const auto report = ReadCommsSettings(dir.path(), s, remembered);
        EXPECT_EQ(describe(s) + (report ? std::string(" | ") + report->what() : ""), r.read);
        EXPECT_EQ(remembered, s) << r.read;
    }
}

TEST(CommsSettings, SavesOnlyAChangeAndThenRemembersIt) {
    TempDir dir;
    CommsSelection s, remembered;
    ReadCommsSettings(dir.path(), s, remembered);
    EXPECT_FALSE(SaveCommsSettings(dir.path(), s, remembered));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "comms.txt"));
    // (port, format) -> file; back to the values of start-up, the file must follow; no
    // format: the two-field form.
    const struct {
        int port, format;
        const char* file;
    } rows[] = {{2, 1, "3,9600,1\r\n"}, {0, 0, "1,9600,0\r\n"}, {0, -1, "1,9600\r\n"}};
    for (const auto& r : rows) {
        s.port = r.port;
        s.format = r.format;
        EXPECT_TRUE(SaveCommsSettings(dir.path(), s, remembered)) << r.file;
        EXPECT_EQ(dir.read("comms.txt"), r.file);
    }
    CommsSelection again, r2;
    EXPECT_FALSE(ReadCommsSettings(dir.path(), again, r2).has_value());
    EXPECT_EQ(describe(again), "1,9600,8N1");
}

TEST(TraceText, ControlCharactersAndFactoryMode) {
    const std::pair<std::string, std::string> rows[] = {
        {"<0012/FLT?\r", "<0012/FLT?[cr]"},
        {">0012/FLT=0000\r\n", ">0012/FLT=0000[cr][lf]"},
        {"a\nb\nc\nd\ne\nf", "a[lf]b[lf]c[lf]d[lf]e\nf"},
        {std::string(10, '\r'), "[cr][cr][cr][cr][cr][cr][cr][cr][cr]\r"}, // nine at most
        {"<0012/FAC=E 1234\r", "Factory mode enabled"},
        {">0012/FAC=D 0\r\n", "Factory mode disabled"},
        {">0012/FAC=E\r\n", "Factory mode message accepted"},
        {"", ""},
    };
    for (const auto& [message, trace] : rows)
        EXPECT_EQ(TraceText(message), trace);
}

TEST(Capture, LinesStartsAndDuplicates) {
    TempDir dir;
    FakeClock clock({2026, 3, 4, 13, 5, 9, 0});
    Capture capture(clock, dir.path());
    capture.CaptureLine("ignored", "[out]"); // off: nothing, no error
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "CaptureM.txt"));
    capture.ToggleCapture("CaptureM.txt");
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
    Capture nowhere(clock, dir.path() / "missing");
    EXPECT_THROW(nowhere.ToggleCapture("CaptureM.txt"), UserError);
    EXPECT_FALSE(nowhere.CaptureOn());
}

namespace {

class FakePort : public CommsPort {
public:
    bool IsOpen() const override { return open; }
    void SetOpen(bool o) override {
        calls += o ? "open;" : "close;";
        open = o && opens;
    }
    void SetPort(uint8_t p) override { calls += "port " + std::to_string(p) + ";"; }
    void SetBaudrate(int32_t b) override { calls += std::to_string(b) + ";"; }
    void SetParity(eParity p) override { calls += "parity " + std::to_string(p) + ";"; }
    void SetDataBits(eDataBits d) override { calls += "bits " + std::to_string(d) + ";"; }
    void SetStopBits(eStopBits s) override { calls += "stop " + std::to_string(s) + ";"; }
    void PurgeReceive() override { calls += "purge;"; }
    bool open = false;
    bool opens = true;
    std::string calls;
};

// The dialog on a fake port, its settings read from `comms`.
struct DialogRig {
    TempDir dir;
    FakeClock clock;
    Capture capture{clock, dir.path()};
    FakePort port;
    CommsDialog dialog{port, capture, dir.path()};
    explicit DialogRig(const std::string& comms) {
        if (!comms.empty())
            dir.write("comms.txt", comms);
        EXPECT_FALSE(dialog.ReadCommsSettings().has_value());
    }
    // "Open", then `ticks` ticks; the status line shown.
    std::string Open(int ticks = 2) {
        dialog.OpenClick();
        for (int i = 0; i < ticks; ++i)
            dialog.Tick();
        return dialog.StatusText();
    }
};

} // namespace

TEST(CommsDialog, OpenSequenceAndProceed) {
    DialogRig r("3,19200,1\r\n");
    r.capture.ToggleCapture();
    r.dialog.Activate();
    EXPECT_FALSE(r.capture.CaptureOn() || r.dialog.ProceedVisible());
    EXPECT_EQ(r.Open(0), "Opening port...");
    r.dialog.Tick();
    // 19200 baud, even parity (2), 7 bits (0), 2 stop bits (1)
    EXPECT_EQ(r.port.calls, "19200;port 3;parity 2;bits 0;stop 1;open;");
    r.dialog.Tick();
    EXPECT_EQ(std::tuple(r.dialog.StatusText(), r.dialog.ProceedVisible(),
                         r.port.calls.substr(r.port.calls.size() - 11)),
              std::tuple("Port open on Com3, at 19200 baud", true, "open;purge;"));
    EXPECT_EQ(r.Open(1), "That Port is already open. Select again.");
    EXPECT_EQ(r.dialog.OpenState(), 0);
    r.dialog.ProceedClick(); // nothing changed: no file written anew
    EXPECT_EQ(std::tuple(r.dialog.DialogResult(), r.dialog.TimerRunning(), r.dir.read("comms.txt")),
              std::tuple(CommsDialog::drOK, false, "3,19200,1\r\n"));

    r.dialog.Activate();
    r.dialog.SelectSpeed(1);
    EXPECT_FALSE(r.port.open);
    r.port.opens = false;
    EXPECT_EQ(r.Open(20), "Opening port...");
    r.dialog.Tick();
    EXPECT_EQ(std::pair(r.dialog.StatusText(), r.dialog.ProceedVisible()),
              std::pair(std::string("Port failed to open. Select again."), false));
    r.port.opens = true;
    r.Open();
    r.dialog.ProceedClick();
    EXPECT_EQ(std::pair(r.dir.read("comms.txt"), r.dialog.OpenEnabled()),
              std::pair(std::string("3,2400,1\r\n"), true));
    r.dialog.SelectPort(0); // the first port, COM1
    EXPECT_TRUE(r.dialog.OpenEnabled());
    r.dialog.SelectPort(-1);
    EXPECT_FALSE(r.dialog.OpenEnabled());
}

TEST(CommsDialog, SettingsThatCannotBeSavedKeepTheDialogWorking) {
    DialogRig r("");
    std::filesystem::create_directory(r.dir.path() / "comms.txt"); // cannot be replaced
    r.dialog.Activate();
    r.dialog.SelectSpeed(1);
    EXPECT_THROW(r.dialog.ProceedClick(), UserError);
    EXPECT_EQ(std::pair(r.dialog.DialogResult(), r.dialog.TimerRunning()),
              std::pair(CommsDialog::drNone, true));
    EXPECT_EQ(r.Open(), "Port open on Com1, at 2400 baud");
}
