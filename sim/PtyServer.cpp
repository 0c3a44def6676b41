#include "PtyServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace linvar::sim {

namespace {

int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &t);
}

} // namespace

PtyServer::PtyServer(Bus& bus) : bus_(bus) {}

PtyServer::~PtyServer() {
    stop();
}

std::string PtyServer::start() {
    if (thread_.joinable())
        throw std::runtime_error("the simulator is already serving");
    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error(std::string("cannot open a pseudo-terminal: ") +
                                 std::strerror(errno));
    // Our own hold on the slave keeps the master from hanging up between clients; the
    // line settings belong to the terminal, so every client gets them raw.
    makeRaw(slave);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    slavePath_ = name;
    begin(master, slave);
    return slavePath_;
}

void PtyServer::serve(int fd) {
    if (thread_.joinable())
        throw std::runtime_error("the simulator is already serving");
    begin(fd, -1);
}

void PtyServer::begin(int fd, int keepSlave) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    fd_ = fd;
    keepSlave_ = keepSlave;
    startNs_ = steadyNs();
    stopping_ = false;
    failure_.clear();
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

void PtyServer::stop() {
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
    if (keepSlave_ >= 0)
        ::close(keepSlave_);
    fd_ = keepSlave_ = -1;
    running_ = false;
}

std::string PtyServer::failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

int64_t PtyServer::nowMs() const {
    return (steadyNs() - startNs_) / 1000000;
}

void PtyServer::withBus(const std::function<void(Bus&)>& fn) {
    std::lock_guard lock(mutex_);
    fn(bus_);
}

void PtyServer::fail(const std::string& why) {
    std::lock_guard lock(mutex_);
    failure_ = why;
}

void PtyServer::run() {
    std::string out;
    while (!stopping_) {
        int timeout = 20;
        {
            std::lock_guard lock(mutex_);
            if (const int64_t due = bus_.nextDueMs(); due >= 0)
                timeout = static_cast<int>(std::clamp<int64_t>(due - nowMs(), 0, 20));
        }
        pollfd p{fd_, static_cast<short>(POLLIN | (out.empty() ? 0 : POLLOUT)), 0};
        const int n = ::poll(&p, 1, timeout);
        if (n < 0 && errno != EINTR) {
            fail(std::string("poll: ") + std::strerror(errno));
            break;
        }
        std::string in;
        if (n > 0 && (p.revents & POLLIN)) {
            char buf[512];
            const ssize_t got = ::read(fd_, buf, sizeof buf);
            if (got > 0) {
                in.assign(buf, static_cast<size_t>(got));
            } else if (got == 0 ||
                       (errno != EAGAIN && errno != EINTR && !(errno == EIO && keepSlave_ >= 0))) {
                fail("line closed");
                break;
            }
        } else if (n > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && keepSlave_ < 0) {
            fail("line closed");
            break;
        }
        std::string due;
        {
            std::lock_guard lock(mutex_);
            const int64_t now = nowMs();
            if (!in.empty())
                bus_.receive(in, now);
            if (ticker_)
                ticker_(bus_, now);
            due = bus_.poll(now);
        }
        if (tracer_ && !in.empty())
            tracer_(true, in);
        if (tracer_ && !due.empty())
            tracer_(false, due);
        out += due;
        if (!out.empty()) {
            const ssize_t put = ::write(fd_, out.data(), out.size());
            if (put > 0)
                out.erase(0, static_cast<size_t>(put));
            else if (put < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                fail(std::string("write: ") + std::strerror(errno));
                break;
            }
        }
    }
    running_ = false;
}

} // namespace linvar::sim
