#pragma once
// Serves a bus on a line from a background thread: a new pseudo-terminal (start) or a
// device that is already open (serve). Requests go into the bus as they arrive, replies
// go out when due. Once started, only the server thread touches the bus, except through
// withBus, which takes the same lock.

#include "Bus.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace linvar::sim {

class PtyServer {
public:
    // Called on the server thread every turn (at least every 20 ms), with the bus locked.
    using Ticker = std::function<void(Bus&, int64_t nowMs)>;
    // Called on the server thread with the bytes seen: incoming requests, outgoing replies.
    using Tracer = std::function<void(bool incoming, const std::string& bytes)>;

    explicit PtyServer(Bus& bus);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Opens a pseudo-terminal in raw mode, starts serving and returns its slave path.
    // Throws std::runtime_error when no pseudo-terminal can be had or already serving.
    std::string start();
    // Serves an open descriptor (a serial device set up by the caller); takes it over.
    void serve(int fd);
    // Ends the thread and closes the line; safe to call twice.
    void stop();

    bool running() const { return running_; }
    // Why the thread ended by itself (line closed, read error); empty otherwise.
    std::string failure() const;
    const std::string& slavePath() const { return slavePath_; }
    // Milliseconds since start on the steady clock: the bus's time.
    int64_t nowMs() const;

    // Runs fn on the bus under the server's lock (e.g. to change faults at run time).
    void withBus(const std::function<void(Bus&)>& fn);

    // Set these before start.
    void setTicker(Ticker t) { ticker_ = std::move(t); }
    void setTracer(Tracer t) { tracer_ = std::move(t); }

private:
    void run();
    void begin(int fd, int keepSlave);
    void fail(const std::string& why);

    Bus& bus_;
    mutable std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> running_{false};
    std::string failure_;
    std::string slavePath_;
    int fd_ = -1;
    int keepSlave_ = -1;
    int64_t startNs_ = 0;
    Ticker ticker_;
    Tracer tracer_;
};

} // namespace linvar::sim
