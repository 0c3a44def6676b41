// The port component over real pseudo-terminals.
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
#include <tuple>
#include <vector>

using namespace linvar;

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
    int opens = 0;
    int closes = 0;
    std::string lastName;
    LineSettings settings;
};

ComPortMap mapTo(int n, const std::string& path) {
    ComPortMap map;
    map.set(n, path);
    return map;
}

// Messages as the user-interface thread got them.
struct Received {
    std::mutex mutex;
    std::vector<std::string> messages;
    void add(const std::string& m) {
        std::lock_guard lock(mutex);
        messages.push_back(m);
    }
    size_t count() {
        std::lock_guard lock(mutex);
        return messages.size();
    }
    std::vector<std::string> all() {
        std::lock_guard lock(mutex);
        return messages;
    }
};

void messageMode(SerialPort& port, Received& got) {
    port.SetMessageStartChar('>');
    port.SetMessageEndChar('\n');
    port.SetOnMessage([&got](SerialPort&, const std::string& m) { got.add(m); });
}

bool waitFor(const std::function<bool()>& pred, int timeoutMs = 3000) {
    const auto start = std::chrono::steady_clock::now();
    while (!pred()) {
        if (elapsedMs(start) > timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

long rssKb() {
    std::ifstream in("/proc/self/status");
    std::string key;
    while (in >> key) {
        long v = 0;
        if (key == "VmRSS:" && in >> v)
            return v;
        std::getline(in, key);
    }
    return 0;
}

} // namespace

TEST(SerialPort, SpeedsAndWriteAllowance) {
    DirectDispatcher ui;
    SerialPort port(ui, ComPortMap{});
    std::vector<std::string> boxes;
    port.SetErrorDialog([&](const std::string& t) { boxes.push_back(t); });
    port.SetBaudrate(9000);
    EXPECT_EQ(port.Baudrate(), 9600);
    EXPECT_EQ(boxes, std::vector<std::string>{"Baudrate is not valid"});
    port.SetBaudrate(256000);
    EXPECT_EQ(port.Baudrate(), 256000);
    EXPECT_EQ(boxes.size(), 1u);

    for (const auto& [length, baud, ms] : std::vector<std::tuple<size_t, int32_t, int>>{
             {10, 1200, 500}, {100, 1200, 1600}, {100, 38400, 500}, {1000, 9600, 2000}})
        EXPECT_EQ(SerialPort::WriteAllowanceMs(length, baud), ms) << length << " at " << baud;
}

TEST(SerialPort, RoundTripsAtSeveralLineSettings) {
    Pty pty;
    ASSERT_FALSE(pty.name().empty());
    DirectDispatcher ui;
    SerialPort port(ui, mapTo(4, pty.name()));
    Received got;
    messageMode(port, got);
    port.SetPort(4);

    struct Case {
        int32_t baud;
        eDataBits bits;
        eParity parity;
        eStopBits stop;
        tcflag_t cflag;
        speed_t speed; // 0: no standard speed, left to the driver
    };
    const Case cases[] = {
        {9600, d8bit, paNone, st1bit, CS8, B9600},
        {19200, d7bit, paEven, st2bit, CS7 | PARENB | CSTOPB, B19200},
        {1200, d7bit, PaOdd, st2bit, CS7 | PARENB | PARODD | CSTOPB, B1200},
        {57600, d8bit, paMark, st1bit, CS8 | PARENB | PARODD | CMSPAR, B57600},
        {14400, d7bit, paSpace, st1bit, CS7 | PARENB | CMSPAR, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        port.SetBaudrate(c.baud);
        port.SetDataBits(c.bits);
        port.SetParity(c.parity);
        port.SetStopBits(c.stop);
        port.SetOpen(true);
        ASSERT_TRUE(port.IsOpen()) << port.ErrorCode();
        const termios t = pty.slaveSettings();
        // A pseudo-terminal keeps 8 bits and no parity whatever it is told; the rest
        // of the character format reaches it.
        EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR | CSTOPB), c.cflag & (PARODD | CMSPAR | CSTOPB));
        termios made{};
        LineSettings ls;
        ls.baudrate = c.baud;
        ls.dataBits = c.bits;
        ls.parity = c.parity;
        ls.stopBits = c.stop;
        MakeTermios(ls, made);
        EXPECT_EQ(made.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.cflag);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
        if (c.speed) {
            EXPECT_EQ(::cfgetospeed(&t), c.speed);
        }

        port.WriteText("<0012/FLT?\r");
        EXPECT_EQ(pty.receive("\r"), "<0012/FLT?\r");
        const size_t before = got.count();
        ASSERT_TRUE(pty.send("xx>0012/FLT=0000\r\n"));
        ASSERT_TRUE(waitFor([&] { return got.count() == before + 1; }));
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
    EXPECT_EQ(port.Parity(), paEven);

    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(dev.lastName, "COM2");
    EXPECT_EQ(dev.settings.parity, paEven);
    port.SetParity(PaOdd);
    EXPECT_EQ(dev.opens, 2);
    EXPECT_EQ(dev.closes, 1);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(dev.settings.parity, PaOdd);
    EXPECT_TRUE(pty.slaveSettings().c_cflag & PARODD);
    port.SetParity(PaOdd); // unchanged: nothing
    port.SetBaudrate(9600);
    EXPECT_EQ(dev.opens, 2);
    port.SetBaudrate(4800);
    port.SetDataBits(d8bit);
    port.SetStopBits(st2bit);
    EXPECT_EQ(dev.opens, 5);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(dev.settings.baudrate, 4800);
    EXPECT_EQ(dev.settings.dataBits, d8bit);
    EXPECT_EQ(dev.settings.stopBits, st2bit);
    port.SetOpen(false);
    port.SetBaudrate(9600);
    EXPECT_EQ(dev.opens, 5);
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPort, MissingDeviceAndDeviceInUse) {
    Pty pty;
    DirectDispatcher ui;
    ComPortMap map = mapTo(1, pty.name());
    map.set(7, "/dev/linvar-no-such-port");
    SerialPort first(ui, map);
    std::vector<std::string> boxes;
    first.SetErrorDialog([&](const std::string& t) { boxes.push_back(t); });
    first.SetPort(7);
    first.SetOpen(true);
    EXPECT_FALSE(first.IsOpen());
    EXPECT_EQ(first.ErrorCode(), ENOENT);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], std::system_category().message(ENOENT));

    first.SetPort(1);
    first.SetOpen(true);
    ASSERT_TRUE(first.IsOpen());

    SerialPort second(ui, map);
    int errors = 0;
    second.SetNotifyErrors(neEvent);
    second.SetOnError([&](SerialPort&) { ++errors; });
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    const auto filesBefore = openFiles();
    second.SetOpen(true);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.ErrorCode(), EBUSY);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(openFiles(), filesBefore); // a refused open keeps nothing open: retries add up
    // Writing to a port that is not open is an error too, not a crash.
    second.SetNotifyErrors(neNone);
    second.WriteText("x");
    EXPECT_EQ(second.ErrorCode(), EBADF);

    first.SetOpen(false);
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
    Received got;
    messageMode(port, got);
    std::atomic<int> errors{0};
    port.SetNotifyErrors(neEvent);
    port.SetOnError([&](SerialPort&) { ++errors; });
    port.SetPort(3);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());

    double cpu = processCpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double idleCpu = processCpuMs() - cpu;
    std::printf("receive thread CPU, idle port: %.1f ms in 1 s\n", idleCpu);
    EXPECT_LT(idleCpu, 50.0);

    pty->closeMaster(); // the adapter pulled out
    ASSERT_TRUE(waitFor([&] { return errors == 1; }));
    EXPECT_EQ(port.ErrorCode(), EIO);
    EXPECT_TRUE(port.PortLost());
    cpu = processCpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double lostCpu = processCpuMs() - cpu;
    std::printf("receive thread CPU, lost port: %.1f ms in 1 s\n", lostCpu);
    EXPECT_LT(lostCpu, 50.0);
    EXPECT_EQ(errors, 1);

    // A write to the lost port fails at once.
    const auto start = std::chrono::steady_clock::now();
    port.WriteText("<0001/FLT?\r");
    EXPECT_LT(elapsedMs(start), 500);
    EXPECT_EQ(errors, 2);

    // Closing a lost port is quick, and it opens again once the device is back.
    const auto closeStart = std::chrono::steady_clock::now();
    port.SetOpen(false);
    EXPECT_LT(elapsedMs(closeStart), 250);
    pty = std::make_unique<Pty>();
    std::filesystem::remove(link);
    std::filesystem::create_symlink(pty->name(), link);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());
    EXPECT_FALSE(port.PortLost());
    ASSERT_TRUE(pty->send(">0001/FLT=0000\r\n"));
    EXPECT_TRUE(waitFor([&] { return got.count() == 1; }));
    port.WriteText("<0001/FLT?\r");
    EXPECT_EQ(pty->receive("\r"), "<0001/FLT?\r");
    EXPECT_EQ(errors, 2);
}

TEST(SerialPort, WriteToABlockedLineReturnsWithinItsAllowance) {
    Pty pty;
    DirectDispatcher ui;
    SerialPort port(ui, mapTo(1, pty.name()));
    port.SetNotifyErrors(neNone);
    port.SetBaudrate(115200); // 0 ms a byte: the 500 ms minimum applies
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());
    // Nobody reads the far end: the line fills up and then accepts no byte.
    const auto start = std::chrono::steady_clock::now();
    port.WriteText(std::string(1 << 20, 'w'));
    const int64_t took = elapsedMs(start);
    EXPECT_EQ(port.ErrorCode(), ETIMEDOUT);
    EXPECT_GE(took, 450);
    EXPECT_LT(took, 1500);
}

TEST(SerialPort, ClosingDuringHeavyTrafficIsQuick) {
    Pty pty;
    UiQueue ui;
    SerialPort port(ui.dispatcher, mapTo(1, pty.name()));
    Received got;
    messageMode(port, got);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());

    std::atomic<bool> stop{false};
    std::thread flood([&] {
        const std::string burst = [] {
            std::string s;
            for (int i = 0; i < 50; ++i)
                s += ">0012/FLT=0000\r\nnoise";
            return s;
        }();
        while (!stop && pty.send(burst)) {
        }
    });
    // The "UI thread" takes messages for a while, then closes the port while the
    // receive thread waits for it to take the next one.
    ui.pumpFor(300);
    ASSERT_GT(got.count(), 10u);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto start = std::chrono::steady_clock::now();
    port.SetOpen(false);
    const int64_t took = elapsedMs(start);
    std::printf("close under traffic: %lld ms\n", static_cast<long long>(took));
    EXPECT_LT(took, 250);
    EXPECT_FALSE(port.IsOpen());
    // What was abandoned in the queue does nothing now.
    const size_t count = got.count();
    ui.pumpFor(50);
    EXPECT_EQ(got.count(), count);
    stop = true;
    pty.closeMaster();
    flood.join();
    for (const auto& m : got.all())
        ASSERT_EQ(m, ">0012/FLT=0000\r\n");
}

TEST(SerialPort, LongNoisyStreamKeepsMemoryBounded) {
    Pty pty;
    UiQueue ui;
    SerialPort port(ui.dispatcher, mapTo(1, pty.name()));
    Received got;
    messageMode(port, got);
    port.SetOpen(true);
    ASSERT_TRUE(port.IsOpen());

    const long rssBefore = rssKb();
    std::atomic<bool> done{false};
    std::thread noise([&] {
        std::string chunk(64 * 1024, 'n');
        chunk[0] = '>'; // a message begins and never ends
        for (int i = 0; i < 64 && pty.send(chunk); ++i) {
        }
        pty.send(">0012/FLT=0000\r\n");
        done = true;
    });
    ASSERT_TRUE(ui.pumpUntil([&] { return got.count() == 1; }, 15000));
    noise.join();
    const long grown = rssKb() - rssBefore;
    std::printf("4 MiB without an end character: RSS grew %ld KiB, %llu frames dropped\n", grown,
                static_cast<unsigned long long>(port.DroppedFrames()));
    EXPECT_EQ(got.all()[0], ">0012/FLT=0000\r\n");
    EXPECT_EQ(port.DroppedFrames(), 64u);
    EXPECT_LT(grown, 4096);
}
