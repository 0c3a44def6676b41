#include "PtyServer.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

using namespace linvar::sim;

namespace {

// Writes `bytes` to the simulator's line, then reads up to the first line feed or what
// came within the time.
std::string ask(int fd, const std::string& bytes, int withinMs = 1000) {
    EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(withinMs);
    while (got.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        char buf[256];
        const ssize_t n = ::poll(&p, 1, 10) > 0 ? ::read(fd, buf, sizeof buf) : 0;
        got.append(buf, static_cast<size_t>(std::max<ssize_t>(n, 0)));
    }
    return got;
}

} // namespace

TEST(PtyServer, AnswersOverARealPseudoTerminal) {
    Bus bus;
    bus.setLatencyMs(5);
    bus.add("0012", "350");
    PtyServer server(bus);
    const std::string path = server.start();
    ASSERT_TRUE(!path.empty() && server.running());
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, "<0012/FLT?\r"), ">0012/FLT=000000\r\n");
    // Faults changed at run time take effect on the next request.
    server.withBus([](Bus& b) { b.find("0012")->inject(Injection::silence()); });
    EXPECT_EQ(ask(fd, "<0012/FLT?\r", 200), "");
    server.withBus([](Bus& b) { b.find("0012")->clearInjections(); });

    // A client that goes away and comes back is served again.
    ::close(fd);
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, "<00", 50), "");
    EXPECT_EQ(ask(fd, "12/FLT?\r"), ">0012/FLT=000000\r\n");
    ::close(fd);
    server.stop();
    EXPECT_EQ(std::pair(server.running(), server.failure()), std::pair(false, std::string()));
}
