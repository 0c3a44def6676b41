// The port component over real pseudo-terminals: each failure path once.
#include "serial/ComPortMap.h"
#include "serial/PosixPort.h"
#include "serial/SerialPort.h"

#include "PtyHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

using namespace linvar;
using Texts = std::vector<std::string>;

namespace {

// Forwards to the real device and counts opens and closes.
class CountingDevice : public PosixPortDevice {
public:
    using PosixPortDevice::PosixPortDevice;
    bool open(const std::string& name) override {
        ++opens;
        lastName = name;
        return PosixPortDevice::open(name);
    }
    bool setLineSettings(const LineSettings& s) override {
        settings = s;
        return PosixPortDevice::setLineSettings(s);
    }
    void close() override {
        closes += lost() ? 0 : 1;
        PosixPortDevice::close();
    }
    int opens = 0, closes = 0;
    std::string lastName; // as the port map is asked for it
    LineSettings settings;
};

ComPortMap mapTo(int n, const std::string& path) {
    ComPortMap map;
    map.set(n, path);
    return map;
}

// Messages as the user-interface thread got them, and the error boxes.
struct Received {
    std::mutex mutex;
    Texts messages, boxes;
    std::atomic<int> errors{0};
    size_t count() { return all().size(); }
    Texts all() {
        std::lock_guard lock(mutex);
        return messages;
    }
    // Frames '>' to '\n'; port errors as events when `events`, else as boxes.
    explicit Received(SerialPort& port, bool events = false) {
        port.SetMessageStartChar('>');
        port.SetMessageEndChar('\n');
        port.SetOnMessage([this](SerialPort&, const std::string& m) {
            std::lock_guard lock(mutex);
            messages.push_back(m);
        });
        port.SetErrorDialog([this](const std::string& t) { boxes.push_back(t); });
        port.SetNotifyErrors(events ? neEvent : neDialog);
        port.SetOnError([this](SerialPort&) { ++errors; });
    }
};

long rssKb() {
    std::ifstream in("/proc/self/status");
    std::string key;
    for (long v = 0; in >> key;)
        if (key == "VmRSS:" && in >> v)
            return v;
    return 0;
}

} // namespace

TEST(SerialPort, SpeedsAndWriteAllowance) {
    DirectDispatcher ui;
    SerialPort port(ui, ComPortMap{});
    Received r(port);
    port.SetBaudrate(9000);
    EXPECT_EQ(port.Baudrate(), 9600);
    port.SetBaudrate(256000);
    EXPECT_EQ(port.Baudrate(), 256000);
    EXPECT_EQ(r.boxes, Texts{"Baudrate is not valid"});
    // (bytes, baud) -> ms
    for (auto [length, baud, ms] : {std::tuple<size_t, int32_t, int>{10, 1200, 500},
                                    {100, 1200, 1600},
                                    {100, 38400, 500},
                                    {1000, 9600, 2000}})
        EXPECT_EQ(SerialPort::WriteAllowanceMs(length, baud), ms) << length << "@" << baud;
}

TEST(SerialPort, RoundTripsAtSeveralLineSettings) {
    Pty pty;
    DirectDispatcher ui;
    SerialPort port(ui, mapTo(4, pty.name()));
    Received got(port);
    port.SetPort(4);
    // (baud, bits, parity, stop bits) -> flags, speed (0: none standard, left to the driver)
    const std::tuple<int32_t, eDataBits, eParity, eStopBits, tcflag_t, speed_t> rows[] = {
        {9600, d8bit, paNone, st1bit, CS8, B9600},
        {19200, d7bit, paEven, st2bit, CS7 | PARENB | CSTOPB, B19200},
        {1200, d7bit, PaOdd, st2bit, CS7 | PARENB | PARODD | CSTOPB, B1200},
        {57600, d8bit, paMark, st1bit, CS8 | PARENB | PARODD | CMSPAR, B57600},
        {14400, d7bit, paSpace, st1bit, CS7 | PARENB | CMSPAR, 0},
    };
    for (const auto& [baud, bits, parity, stop, cflag, speed] : rows) {
        SCOPED_TRACE(baud);
        port.SetBaudrate(baud);
        port.SetDataBits(bits);
        port.SetParity(parity);
        port.SetStopBits(stop);
        port.SetOpen(true);
        ASSERT_TRUE(port.IsOpen()) << port.ErrorCode();
        // A pseudo-terminal keeps 8 bits and no parity whatever it is told.
        const termios t = pty.slaveSettings();
        const tcflag_t kept = PARODD | CMSPAR | CSTOPB;
        termios made{};
        MakeTermios({.baudrate = baud, .dataBits = bits, .parity = parity, .stopBits = stop}, made);
        EXPECT_EQ(std::tuple(t.c_cflag & kept, made.c_cflag & (CSIZE | PARENB | kept),
                             t.c_lflag & (ICANON | ECHO | ISIG), speed ? ::cfgetospeed(&t) : 0),
                  std::tuple(cflag & kept, cflag, 0u, speed));
        port.WriteText("<0012/FLT?\r");
        EXPECT_EQ(pty.receive("\r"), "<0012/FLT?\r");
        port.WriteText("x"); // a write of one byte goes out once
        port.WriteText("\r");
        EXPECT_EQ(pty.receive("\r"), "x\r");
        const size_t before = got.count();
        ASSERT_TRUE(pty.send("xx>0012/FLT=0000\r\n") &&
                    waitFor([&] { return got.count() == before + 1; }));
        EXPECT_EQ(got.all().back(), ">0012/FLT=0000\r\n");
        port.SetOpen(false);
    }
}

TEST(SerialPort, SettersReopenAnOpenPortOnly) {
    Pty pty;
    DirectDispatcher ui;
    auto device = std::make_unique<CountingDevice>(mapTo(2, pty.name()));
    CountingDevice& dev = *device;
    SerialPort port(ui, std::move(device));
    port.SetPort(2);
    port.SetParity(paEven); // closed: stored only
    EXPECT_EQ(dev.opens, 0);
    port.SetOpen(true);
    EXPECT_EQ(std::pair(dev.lastName, dev.settings.parity), std::pair(std::string("COM2"), paEven));
    port.SetParity(PaOdd);
    EXPECT_EQ(std::pair(dev.opens, dev.closes), std::pair(2, 1));
    EXPECT_TRUE(pty.slaveSettings().c_cflag & PARODD);
    port.SetParity(PaOdd); // unchanged: nothing
    port.SetBaudrate(9600);
    EXPECT_EQ(dev.opens, 2);
    port.SetBaudrate(4800);
    port.SetDataBits(d8bit);
    port.SetStopBits(st2bit);
    EXPECT_TRUE(dev.opens == 5 && port.IsOpen());
    const LineSettings& s = dev.settings;
    EXPECT_EQ(std::tuple(s.baudrate, s.dataBits, s.stopBits), std::tuple(4800, d8bit, st2bit));
    port.SetOpen(false);
    port.SetBaudrate(9600);
    EXPECT_EQ(std::pair(dev.opens, port.IsOpen()), std::pair(5, false));
}

TEST(SerialPort, APortThatDoesNotOpenNamesTheReasonAndKeepsNothingOpen) {
    Pty pty;
    TempDir dir;
    dir.write("plain.txt", "");
    DirectDispatcher ui;
    SerialPort holder(ui, mapTo(1, pty.name())); // the device in use elsewhere
    holder.SetOpen(true);
    ASSERT_TRUE(holder.IsOpen());
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const std::tuple<std::string, int, const char*> rows[] = {
        {"/dev/linvar-no-such-port", ENOENT, "No such file or directory"},
        {"/sys/kernel/uevent_seqnum", EACCES, "Permission denied"}, // read-only, even for root
        {(dir.path() / "plain.txt").string(), ENOTTY, "Inappropriate ioctl for device"},
        {pty.name(), EBUSY, "Device or resource busy"},
    };
    for (const auto& [device, code, said] : rows) {
        if (code == EACCES && !std::filesystem::exists(device))
            continue;
        SerialPort port(ui, mapTo(2, device));
        Received r(port);
        port.SetPort(2);
        const auto filesBefore = openFiles();
        port.SetOpen(true);
        EXPECT_EQ(std::tuple(port.IsOpen(), port.ErrorCode(), r.boxes),
                  std::tuple(false, code, Texts{said}))
            << device;
        EXPECT_EQ(openFiles(), filesBefore) << device << ": retries would add up";
    }
    SerialPort second(ui, mapTo(1, pty.name()));
    holder.SetOpen(false);
    second.SetOpen(true);
    EXPECT_TRUE(second.IsOpen());
}

TEST(SerialPort, LostPortIsReportedOnceWithoutSpinningAndReopens) {
    // The station names the device by a link that follows it, as /dev/serial/by-id does.
    TempDir dir;
    const auto link = dir.path() / "adapter";
    auto pty = std::make_unique<Pty>();
    std::filesystem::create_symlink(pty->name(), link);
    DirectDispatcher ui;
    SerialPort port(ui, mapTo(3, link.string()));
    Received got(port, true);
    port.SetPort(3);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());
    EXPECT_LT(cpuMsOverASecond(), 50.0) << "idle port";

    pty->closeMaster(); // the adapter pulled out
    ASSERT_TRUE(waitFor([&] { return got.errors == 1; }));
    EXPECT_EQ(std::pair(port.ErrorCode(), port.PortLost()), std::pair(EIO, true));
    EXPECT_LT(cpuMsOverASecond(), 50.0) << "lost port";
    EXPECT_EQ(got.errors, 1);

    // A write to the lost port fails at once; closing it is quick.
    auto start = SteadyClock::now();
    port.WriteText("<0001/FLT?\r");
    EXPECT_LT(elapsedMs(start), 500);
    EXPECT_EQ(got.errors, 2);
    start = SteadyClock::now();
    port.SetOpen(false);
    EXPECT_LT(elapsedMs(start), 250);

    // It opens again once the device is back.
    pty = std::make_unique<Pty>();
    std::filesystem::remove(link);
    std::filesystem::create_symlink(pty->name(), link);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen() && !port.PortLost());
    ASSERT_TRUE(pty->send(">0001/FLT=0000\r\n") && waitFor([&] { return got.count() == 1; }));
    port.WriteText("<0001/FLT?\r");
    EXPECT_EQ(pty->receive("\r"), "<0001/FLT?\r");
    EXPECT_EQ(got.errors, 2);
}

TEST(SerialPort, WriteToABlockedLineReturnsWithinItsAllowance) {
    Pty pty;
    DirectDispatcher ui;
    SerialPort port(ui, mapTo(1, pty.name()));
    port.SetNotifyErrors(neNone);
    port.SetBaudrate(115200); // 0 ms a byte: the 500 ms minimum applies
    port.SetOpen(true);
    // Nobody reads the far end: the line fills up and then accepts no byte.
    const auto start = SteadyClock::now();
    port.WriteText(std::string(1 << 20, 'w'));
    const int64_t took = elapsedMs(start);
    EXPECT_EQ(port.ErrorCode(), ETIMEDOUT);
    EXPECT_TRUE(took >= 450 && took < 1500) << took;
}

TEST(SerialPort, ClosingDuringHeavyTrafficIsQuick) {
    Pty pty;
    UiQueue ui;
    SerialPort port(ui.dispatcher, mapTo(1, pty.name()));
    Received got(port);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());
    std::atomic<bool> stop{false};
    std::thread flood([&] {
        std::string burst;
        for (int i = 0; i < 50; ++i)
            burst += ">0012/FLT=0000\r\nnoise";
        while (!stop && pty.send(burst)) {
        }
    });
    // The "UI thread" takes messages for a while, then closes the port while the
    // receive thread waits for it to take the next one.
    ui.pumpFor(300);
    ASSERT_GT(got.count(), 10u);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto start = SteadyClock::now();
    port.SetOpen(false);
    EXPECT_LT(elapsedMs(start), 250);
    // What was abandoned in the queue does nothing now.
    const size_t count = got.count();
    ui.pumpFor(50);
    EXPECT_EQ(got.count(), count);
    stop = true;
    pty.closeMaster();
    flood.join();
    EXPECT_EQ(got.all(), Texts(count, ">0012/FLT=0000\r\n"));
}

TEST(SerialPort, LongNoisyStreamKeepsMemoryBounded) {
    Pty pty;
    UiQueue ui;
    SerialPort port(ui.dispatcher, mapTo(1, pty.name()));
    Received got(port);
    port.SetOpen(true);
    const long rssBefore = rssKb();
    std::thread noise([&] {
        std::string chunk(64 * 1024, 'n');
        chunk[0] = '>'; // a message begins and never ends
        for (int i = 0; i < 64 && pty.send(chunk); ++i) {
        }
        pty.send(">0012/FLT=0000\r\n");
    });
    ASSERT_TRUE(ui.pumpUntil([&] { return got.count() == 1; }, 15000));
    noise.join();
    EXPECT_EQ(got.all(), Texts{">0012/FLT=0000\r\n"});
    EXPECT_EQ(port.DroppedFrames(), 64u);
    EXPECT_LT(rssKb() - rssBefore, 4096);
}
