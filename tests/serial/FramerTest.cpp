// Message framing, the port-name map and the hand-off to the user-interface thread.
#include "serial/Framer.h"
#include "serial/ComPortMap.h"
#include "serial/Dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace linvar;

namespace {

std::vector<std::string> frames(MessageFramer& f, const std::string& bytes) {
    std::vector<std::string> out;
    for (char b : bytes)
        if (f.feed(b))
            out.push_back(f.message());
    return out;
}

using Frames = std::vector<std::string>;

} // namespace

TEST(Framer, CutsRepliesFromStartToEnd) {
    MessageFramer f('>', '\n');
    EXPECT_EQ(frames(f, "xx>0001/FLT=0000\r\n"), Frames{">0001/FLT=0000\r\n"});
    EXPECT_EQ(f.state(), MessageFramer::msComplete);
    // The message stays until the next start character; bytes after it are ignored.
    EXPECT_EQ(frames(f, "junk\n"), Frames{});
    EXPECT_EQ(f.message(), ">0001/FLT=0000\r\n");
    // A start character inside a message starts a new one.
    EXPECT_EQ(frames(f, ">ab>cd\n"), Frames{">cd\n"});
    // An end character with no message begun is ignored.
    MessageFramer idle('>', '\n');
    EXPECT_EQ(frames(idle, "\n\n>1\n"), Frames{">1\n"});
    // Two replies back to back.
    EXPECT_EQ(frames(f, ">1/A=1\r\n>2/B=2\r\n"), (Frames{">1/A=1\r\n", ">2/B=2\r\n"}));
}

TEST(Framer, AppendCountTakesBytesAfterTheEndWhateverTheyAre) {
    MessageFramer f('\x02', '\x03', 2);
    EXPECT_EQ(frames(f, std::string("z\x02"
                                    "ab\x03\x02\x03tail")),
              Frames{std::string("\x02"
                                 "ab\x03\x02\x03")});
    f.setRule('>', '\n', 1);
    EXPECT_EQ(frames(f, ">x\n\n>y\nQ"), (Frames{">x\n\n", ">y\nQ"}));
}

TEST(Framer, DropsAnOverLongFrameAndRecovers) {
    MessageFramer f('>', '\n');
    std::string noise = ">" + std::string(3 * MessageFramer::MaxMessage, 'x');
    EXPECT_EQ(frames(f, noise + "\n"), Frames{});
    EXPECT_EQ(f.dropped(), 1u);
    EXPECT_EQ(f.state(), MessageFramer::msIdle);
    EXPECT_LE(f.message().capacity(), 2 * MessageFramer::MaxMessage);
    // A frame of exactly the limit still passes.
    const std::string longest = ">" + std::string(MessageFramer::MaxMessage - 2, 'y') + "\n";
    EXPECT_EQ(frames(f, longest), Frames{longest});
    // Appended bytes count toward the limit too.
    f.setRule('>', '\n', 60000);
    EXPECT_EQ(frames(f, ">a\n" + std::string(2 * MessageFramer::MaxMessage, 'z')), Frames{});
    EXPECT_EQ(f.dropped(), 2u);
}

TEST(ComPortMap, NamesAndArguments) {
    ComPortMap map;
    EXPECT_EQ(map.devicePathOf("COM1"), "/dev/ttyS0");
    EXPECT_EQ(map.devicePathOf("COM12"), "/dev/ttyS11");
    std::vector<std::string> args = {"Brivola", "--com", "3=/dev/ttyUSB0", "--demo",
                                     "--com=12=/tmp/x y"};
    EXPECT_FALSE(map.takeArguments(args).has_value());
    EXPECT_EQ(args, (std::vector<std::string>{"Brivola", "--demo"}));
    EXPECT_EQ(map.devicePathOf("COM3"), "/dev/ttyUSB0");
    EXPECT_EQ(map.devicePath(12), "/tmp/x y");
    EXPECT_EQ(map.devicePathOf("/dev/pts/4"), "/dev/pts/4");

    for (const char* bad : {"0=/dev/a", "256=/dev/a", "x=/dev/a", "3=", "3", "=/dev/a"}) {
        std::vector<std::string> a = {"--com", bad};
        EXPECT_TRUE(map.takeArguments(a).has_value()) << bad;
    }
    std::vector<std::string> dangling = {"--com"};
    EXPECT_TRUE(map.takeArguments(dangling).has_value());
    EXPECT_EQ(map.devicePath(3), "/dev/ttyUSB0"); // bad arguments changed nothing
}

TEST(Dispatcher, WaitsForTheCallAndLetsGoWhenAbandoned) {
    std::mutex m;
    std::vector<std::function<void()>> queue;
    PostingDispatcher d([&](std::function<void()> fn) {
        std::lock_guard lock(m);
        queue.push_back(std::move(fn));
    });
    std::atomic<int> ran{0};
    std::atomic<bool> returned{false};
    std::thread t([&] {
        d.invoke([&] { ++ran; });
        returned = true;
    });
    // Not returned before the "UI thread" runs the call.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);
    for (;;) {
        std::lock_guard lock(m);
        if (!queue.empty())
            break;
    }
    {
        std::lock_guard lock(m);
        queue.front()();
        queue.clear();
    }
    t.join();
    EXPECT_TRUE(returned);
    EXPECT_EQ(ran, 1);

    // Abandoned while waiting: returns without the UI thread, and the call later
    // found in the queue does nothing.
    returned = false;
    std::thread t2([&] {
        d.invoke([&] { ++ran; });
        returned = true;
    });
    for (;;) {
        std::lock_guard lock(m);
        if (!queue.empty())
            break;
    }
    d.abandon();
    t2.join();
    EXPECT_TRUE(returned);
    queue.front()();
    EXPECT_EQ(ran, 1);
    d.invoke([&] { ++ran; }); // still abandoned: returns at once
    EXPECT_EQ(queue.size(), 1u);
    d.reset();
}
