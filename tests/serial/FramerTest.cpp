// Message framing, the port-name map and the hand-off to the user-interface thread.
#include "serial/Framer.h"
#include "serial/ComPortMap.h"

#include "PtyHelpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using namespace linvar;
using Frames = std::vector<std::string>;

TEST(Framer, CutsFramesFromStartToEndAndAppendedBytes) {
    const size_t max = MessageFramer::MaxMessage;
    const std::string longest = ">" + std::string(max - 2, 'y') + "\n";
    const struct {
        char start, end;
        uint16_t append;
        std::string bytes;
        Frames frames;
        uint64_t dropped;
    } rows[] = {
        // The message stays until the next start character; bytes after it are ignored.
        {'>', '\n', 0, "xx>0001/FLT=0000\r\njunk\n", {">0001/FLT=0000\r\n"}, 0},
        {'>', '\n', 0, ">ab>cd\n", {">cd\n"}, 0}, // a start inside a message starts anew
        {'>', '\n', 0, "\n\n>1\n", {">1\n"}, 0},  // an end with no message begun
        {'>', '\n', 0, ">1/A=1\r\n>2/B=2\r\n", {">1/A=1\r\n", ">2/B=2\r\n"}, 0},
        {'\x02',
         '\x03',
         2,
         "z\x02"
         "ab\x03\x02\x03tail",
         {"\x02"
          "ab\x03\x02\x03"},
         0},
        {'>', '\n', 1, ">x\n\n>y\nQ", {">x\n\n", ">y\nQ"}, 0},
        {'>', '\n', 0, ">" + std::string(3 * max, 'x') + "\n" + longest, {longest}, 1},
        {'>', '\n', 60000, ">a\n" + std::string(2 * max, 'z'), {}, 1}, // appended bytes count
    };
    for (const auto& r : rows) {
        MessageFramer f(r.start, r.end, r.append);
        Frames out;
        for (char b : r.bytes)
            if (f.feed(b))
                out.push_back(f.message());
        EXPECT_EQ(out, r.frames) << r.bytes.substr(0, 20);
        EXPECT_EQ(f.dropped(), r.dropped) << r.bytes.substr(0, 20);
        EXPECT_LE(f.message().capacity(), 2 * max);
    }
}

TEST(ComPortMap, NamesAndArguments) {
    ComPortMap map;
    EXPECT_EQ(map.devicePathOf("COM1") + map.devicePathOf("COM12"), "/dev/ttyS0/dev/ttyS11");
    EXPECT_TRUE(map.parse("3=/dev/ttyUSB0") && map.parse("12=/tmp/x y"));
    EXPECT_EQ(
        (Frames{map.devicePathOf("COM3"), map.devicePath(12), map.devicePathOf("/dev/pts/4")}),
        (Frames{"/dev/ttyUSB0", "/tmp/x y", "/dev/pts/4"}));
    for (const char* bad : {"0=/dev/a", "256=/dev/a", "x=/dev/a", "3=", "3", "=/dev/a"})
        EXPECT_FALSE(map.parse(bad)) << bad;
    EXPECT_EQ(map.devicePath(3), "/dev/ttyUSB0"); // bad arguments changed nothing
}

TEST(Dispatcher, WaitsForTheCallAndLetsGoWhenAbandoned) {
    UiQueue ui;
    PostingDispatcher& d = ui.dispatcher;
    std::atomic<int> ran{0};
    std::atomic<bool> returned{false};
    std::thread t([&] {
        d.invoke([&] { ++ran; });
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned) << "returned before the UI thread ran the call";
    EXPECT_TRUE(ui.pumpUntil([&] { return returned.load(); }));
    t.join();

    // Abandoned while waiting: returns without the UI thread, and the call later found in
    // the queue does nothing; until reset, a call is not even queued.
    std::thread t2([&] { d.invoke([&] { ++ran; }); });
    ASSERT_TRUE(waitFor([&] { return ui.pending() == 1; }));
    d.abandon();
    t2.join();
    d.invoke([&] { ++ran; });
    EXPECT_EQ(ui.pending(), 1u);
    ui.pumpFor(20);
    EXPECT_EQ(ran, 1);
    d.reset();
}
