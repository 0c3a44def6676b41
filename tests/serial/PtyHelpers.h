#pragma once
// Pseudo-terminals standing in for the equipment's end of the line, and a queue
// standing in for the user-interface thread.

#include "serial/Dispatcher.h"

#include <cerrno>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using SteadyClock = std::chrono::steady_clock;

inline int64_t elapsedMs(SteadyClock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - since)
        .count();
}

// Polls pred every 2 ms until it holds or the time is up; returns pred().
inline bool waitFor(
    const std::function<bool()>& pred, int timeoutMs = 3000,
    const std::function<bool()>& work = [] { return false; }) {
    for (const auto start = SteadyClock::now(); !pred();)
        if (elapsedMs(start) > timeoutMs)
            return false;
        else if (!work())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return true;
}

// The far end: write to master, read what the port wrote. The slave stays open here
// too, to read back the line settings the port made.
class Pty {
public:
    Pty() {
        if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) == 0) {
            name_ = ::ttyname(slave_);
            termios t{};
            ::tcgetattr(slave_, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(slave_, TCSANOW, &t);
            ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty() {
        closeMaster();
        ::close(slave_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    const std::string& name() const { return name_; }

    // Writes everything (waiting while the line is full); false once the far end is gone.
    bool send(const std::string& bytes) const {
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // What arrives within timeoutMs, returning early once `until` has arrived.
    std::string receive(const std::string& until, int timeoutMs = 2000) const {
        std::string got;
        waitFor([&] { return got.find(until) != std::string::npos; }, timeoutMs,
                [&] {
                    char buf[4096];
                    const ssize_t n = ::read(master_, buf, sizeof buf);
                    got.append(buf, static_cast<size_t>(std::max<ssize_t>(n, 0)));
                    return n > 0;
                });
        return got;
    }

    termios slaveSettings() const {
        termios t{};
        ::tcgetattr(slave_, &t);
        return t;
    }
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string name_;
};

// The test's "user-interface thread": calls queue up until the test pumps them.
class UiQueue {
public:
    linvar::PostingDispatcher dispatcher{[this](std::function<void()> fn) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(fn));
    }};

    // Runs queued calls until pred holds or the time is up; returns pred().
    bool pumpUntil(const std::function<bool()>& pred, int timeoutMs = 3000) {
        return waitFor(pred, timeoutMs, [this] {
            std::function<void()> fn;
            {
                std::lock_guard lock(mutex_);
                if (calls_.empty())
                    return false;
                fn = std::move(calls_.front());
                calls_.pop_front();
            }
            fn();
            return true;
        });
    }
    void pumpFor(int ms) {
        pumpUntil([] { return false; }, ms);
    }
    size_t pending() {
        std::lock_guard lock(mutex_);
        return calls_.size();
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
};

// CPU time of the whole process (all threads) over a second, in milliseconds.
inline double cpuMsOverASecond() {
    const auto cpu = [] {
        rusage u{};
        ::getrusage(RUSAGE_SELF, &u);
        return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
    };
    const double before = cpu();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return cpu() - before;
}
