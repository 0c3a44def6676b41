#include "PtyServer.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

using namespace linvar::sim;

namespace {

// Reads up to the first line feed, or what came within the time.
std::string readLine(int fd, int withinMs) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(withinMs);
    while (got.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            got.append(buf, static_cast<size_t>(n));
    }
    return got;
}

int openSlave(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_NOCTTY);
}

void send(int fd, const std::string& bytes) {
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

} // namespace

TEST(PtyServer, AnswersOverARealPseudoTerminal) {
    Bus bus;
    bus.setLatencyMs(5);
    bus.add("0012", "350");
    PtyServer server(bus);
    std::atomic<int> ticks{0};
    server.setTicker([&ticks](Bus&, int64_t) { ++ticks; });
    const std::string path = server.start();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(server.running());

    int fd = openSlave(path);
    ASSERT_GE(fd, 0);
    send(fd, "<0012/FLT?\r");
    const std::string reply = readLine(fd, 1000);
    EXPECT_EQ(reply.rfind(">0012/FLT=", 0), 0u) << reply;
    EXPECT_EQ(reply.back(), '\n');
    EXPECT_GT(ticks.load(), 0);

    // Faults changed at run time take effect on the next request.
    server.withBus([](Bus& b) { b.find("0012")->inject(Injection::silence()); });
    send(fd, "<0012/FLT?\r");
    EXPECT_EQ(readLine(fd, 200), "");
    server.withBus([](Bus& b) { b.find("0012")->clearInjections(); });

    // A client that goes away and comes back is served again.
    ::close(fd);
    fd = openSlave(path);
    ASSERT_GE(fd, 0);
    send(fd, "<00");
    send(fd, "12/FLT?\r");
    EXPECT_EQ(readLine(fd, 1000).rfind(">0012/FLT=", 0), 0u);
    ::close(fd);

    server.stop();
    EXPECT_FALSE(server.running());
    EXPECT_EQ(server.failure(), "");
    server.stop();
    server.withBus([](Bus& b) { EXPECT_EQ(b.requestCount(), 3u); });
}
