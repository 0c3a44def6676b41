#pragma once
// The port operations on a POSIX terminal device: termios for the line, poll() for the
// event wait, an eventfd that releases the wait.

#include "serial/ComPortMap.h"
#include "serial/PortDevice.h"

#include <atomic>
#include <mutex>
#include <string>
#include <termios.h>

namespace linvar {

// The terminal settings for these line settings (speeds without a termios constant
// are left to termios2 when applied).
void MakeTermios(const LineSettings& settings, termios& t);

class PosixPortDevice : public PortDevice {
public:
    explicit PosixPortDevice(ComPortMap map = {});
    ~PosixPortDevice() override;
    PosixPortDevice(const PosixPortDevice&) = delete;
    PosixPortDevice& operator=(const PosixPortDevice&) = delete;

    bool open(const std::string& name) override;
    bool setBufferSizes(unsigned rxSize, unsigned txSize) override;
    bool setLineSettings(const LineSettings& settings) override;
    bool setTimeouts(int writeTotalMs) override;
    bool setEventMask(uint32_t mask) override;
    bool waitEvent(uint32_t& events) override;
    bool modemStatus(ModemLines& lines) override;
    bool queueCounts(int32_t& rxWaiting, int32_t& txWaiting) override;
    bool purge(bool receive, bool transmit) override;
    bool setControlLine(eControlLine line, bool on) override;
    bool read(char* data, size_t size, size_t& got) override;
    bool write(const char* data, size_t size, int timeoutMs) override;
    void close() override;
    int lastError() const override;
    std::string errorText(int code) const override;

    // After a hang-up the wait leaves the device alone and waits only for release.
    bool lost() const override { return lost_; }

private:
    struct LineCounts {
        int cts = 0, dsr = 0, dcd = 0, rng = 0, brk = 0;
        int bits = 0;
    };
    bool readLineCounts(LineCounts& counts) const;
    void wake();
    void drainWake();
    bool fillReceive(); // false on a read failure

    ComPortMap map_;
    std::atomic<int> fd_{-1};
    int wakeFd_ = -1;
    std::atomic<uint32_t> mask_{0};
    std::atomic<bool> lost_{false};
    std::atomic<bool> txPending_{false};
    std::atomic<int> writeTotalMs_{0};

    // What the receive thread has taken from the device and not yet handed out: the
    // port's receive buffer, of the size asked for.
    std::mutex rxMutex_;
    std::string rx_;
    size_t rxHead_ = 0;
    size_t rxCapacity_ = 1024;

    bool hasModemLines_ = false;
    bool hasCounters_ = false;
    LineCounts lastCounts_;
    int emptyReads_ = 0;
};

namespace detail {
// Linux: a speed without a termios constant, set through termios2.
bool setCustomBaud(int fd, int baud);
} // namespace detail

} // namespace linvar
