#include "serial/PosixPort.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace linvar {

namespace {

// Like the port's last error elsewhere: per thread.
thread_local int tlsLastError = 0;

bool fail(int code) {
    tlsLastError = code;
    return false;
}

speed_t speedConstant(int baud) {
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

// Modem-line changes have no poll() event: with counters or line states to watch,
// the wait looks at them every 100 ms.
constexpr int LineWatchMs = 100;
// The transmit queue running empty has none either: looked at every 10 ms after a
// write until it has.
constexpr int TxWatchMs = 10;

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

PosixPortDevice::PosixPortDevice(ComPortMap map) : map_(std::move(map)) {
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

PosixPortDevice::~PosixPortDevice() {
    close();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

int PosixPortDevice::lastError() const {
    return tlsLastError;
}

std::string PosixPortDevice::errorText(int code) const {
    return std::system_category().message(code);
}

void PosixPortDevice::wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void PosixPortDevice::drainWake() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
}

bool PosixPortDevice::open(const std::string& name) {
    if (fd_ >= 0)
        return fail(EBUSY);
    if (wakeFd_ < 0)
        return fail(EMFILE);
    const std::string path = map_.devicePathOf(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(err);
    }
    // In use: another holder of the lock (any process of this station), or a
    // terminal set exclusive by another program. TIOCEXCL does not bind root, the lock
    // does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return fail(EBUSY);
    }
    ::ioctl(fd, TIOCEXCL);

    int bits = 0;
    hasModemLines_ = ::ioctl(fd, TIOCMGET, &bits) == 0;
    serial_icounter_struct ic{};
    hasCounters_ = ::ioctl(fd, TIOCGICOUNT, &ic) == 0;
    {
        std::lock_guard lock(rxMutex_);
        rx_.clear();
        rxHead_ = 0;
    }
    lost_ = false;
    txPending_ = false;
    fd_ = fd;
    lastCounts_ = {};
    readLineCounts(lastCounts_);
    return true;
}

void PosixPortDevice::close() {
    const int fd = fd_.exchange(-1);
    if (fd < 0)
        return;
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    std::lock_guard lock(rxMutex_);
    rx_.clear();
    rxHead_ = 0;
    lost_ = false;
}

bool PosixPortDevice::setBufferSizes(unsigned rxSize, unsigned txSize) {
    // The receive size is the buffer this device keeps between the terminal and the
    // component. The terminal's own queues have a fixed size on POSIX: the transmit
    // size has nothing to set.
    (void)txSize;
    std::lock_guard lock(rxMutex_);
    rxCapacity_ = rxSize < 16 ? 16 : rxSize;
    return true;
}

void MakeTermios(const LineSettings& s, termios& t) {
    // Byte-transparent: no line editing, echo, signals or output processing. With
    // parity checking a byte with a parity error is read as 0 (the terminal has no
    // substitute character).
    t.c_iflag = s.checkParity ? INPCK : IGNPAR;
    t.c_oflag = 0;
    t.c_lflag = 0;
    // The speed bits stay until a speed is set below: a speed of 0 would hang up.
    t.c_cflag = (t.c_cflag & (CBAUD | CIBAUD)) | CREAD | CLOCAL | (s.dataBits == d8bit ? CS8 : CS7);
    switch (s.parity) {
    case paNone:
        break;
    case PaOdd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case paEven:
        t.c_cflag |= PARENB;
        break;
    case paMark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case paSpace:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (s.stopBits == st2bit)
        t.c_cflag |= CSTOPB;
    switch (s.flow) {
    case fcNone:
        break;
    case fcRTS_CTS:
        t.c_cflag |= CRTSCTS;
        break;
    case fcDTR_DSR:
        // No DTR/DSR handshake in termios: the line runs without flow control, DTR
        // stays raised as set at open and DSR changes are still reported.
        break;
    case fcXON_XOF:
        // The terminal picks its own XON and XOFF thresholds; the limits asked for
        // have nothing to set.
        t.c_iflag |= IXON | IXOFF;
        break;
    }
    t.c_cc[VSTART] = static_cast<cc_t>(s.xonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.xoffChar);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t speed = speedConstant(s.baudrate);
    if (speed != B0) {
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
    }
}

bool PosixPortDevice::setLineSettings(const LineSettings& s) {
    const int fd = fd_;
    if (fd < 0)
        return fail(EBADF);
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return fail(errno);
    MakeTermios(s, t);
    const speed_t speed = speedConstant(s.baudrate);
    if (::tcsetattr(fd, TCSANOW, &t) != 0)
        return fail(errno);
    if (speed == B0 && !detail::setCustomBaud(fd, s.baudrate))
        return fail(errno);
    return true;
}

bool PosixPortDevice::setTimeouts(int writeTotalMs) {
    // Reads never wait (non-blocking descriptor); the write limit is kept for write().
    writeTotalMs_ = writeTotalMs;
    return true;
}

bool PosixPortDevice::setEventMask(uint32_t mask) {
    mask_ = mask;
    wake();
    return true;
}

bool PosixPortDevice::readLineCounts(LineCounts& c) const {
    const int fd = fd_;
    if (fd < 0)
        return false;
    if (hasCounters_) {
        serial_icounter_struct ic{};
        if (::ioctl(fd, TIOCGICOUNT, &ic) != 0)
            return false;
        c.cts = ic.cts;
        c.dsr = ic.dsr;
        c.dcd = ic.dcd;
        c.rng = ic.rng;
        c.brk = ic.brk;
    }
    if (hasModemLines_ && ::ioctl(fd, TIOCMGET, &c.bits) != 0)
        return false;
    return true;
}

bool PosixPortDevice::fillReceive() {
    const int fd = fd_;
    char buf[4096];
    size_t room;
    {
        std::lock_guard lock(rxMutex_);
        room = rxCapacity_ > rx_.size() - rxHead_ ? rxCapacity_ - (rx_.size() - rxHead_) : 0;
    }
    if (room == 0)
        return true;
    const ssize_t n = ::read(fd, buf, room < sizeof buf ? room : sizeof buf);
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return true;
        return fail(errno);
    }
    if (n == 0)
        return true; // nothing there (immediate reads), or hung up: poll() tells which
    std::lock_guard lock(rxMutex_);
    if (rxHead_ > 0) {
        rx_.erase(0, rxHead_);
        rxHead_ = 0;
    }
    rx_.append(buf, static_cast<size_t>(n));
    return true;
}

bool PosixPortDevice::waitEvent(uint32_t& events) {
    events = 0;
    for (;;) {
        const int fd = fd_;
        if (fd < 0)
            return fail(EBADF);
        const uint32_t mask = mask_;
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {fd, 0, 0}};
        nfds_t count = 2;
        int timeout = -1;
        if (lost_ || mask == 0) {
            // Lost: the descriptor reports hang-up for ever, so it is left out and the
            // thread sleeps until released (close). No mask: released by the next one.
            count = 1;
        } else {
            bool room;
            {
                std::lock_guard lock(rxMutex_);
                room = rx_.size() - rxHead_ < rxCapacity_;
            }
            if ((mask & evRxChar) && room)
                fds[1].events = POLLIN;
            if ((hasCounters_ || hasModemLines_) &&
                (mask & (evCTS | evDSR | evRLSD | evBreak | evRing)))
                timeout = LineWatchMs;
            if (txPending_ && (mask & evTxEmpty))
                timeout = TxWatchMs;
        }
        const int r = ::poll(fds, count, timeout);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        bool released = false;
        if (fds[0].revents & POLLIN) {
            drainWake();
            released = true;
        }
        if (count == 2) {
            const short rev = fds[1].revents;
            bool gotData = false;
            if (rev & POLLIN) {
                size_t before;
                {
                    std::lock_guard lock(rxMutex_);
                    before = rx_.size() - rxHead_;
                }
                if (!fillReceive()) {
                    lost_ = true;
                    return false;
                }
                std::lock_guard lock(rxMutex_);
                gotData = rx_.size() - rxHead_ > before;
            }
            // Readable yet nothing to read, over and over, is a device gone wrong too.
            emptyReads_ = gotData || !(rev & POLLIN) ? 0 : emptyReads_ + 1;
            if (gotData) {
                events |= evRxChar;
            } else if ((rev & (POLLHUP | POLLERR | POLLNVAL)) || emptyReads_ > 1000) {
                lost_ = true;
                return fail(rev & POLLNVAL ? EBADF : EIO);
            }
            if (txPending_ && (mask & evTxEmpty)) {
                int queued = 0;
                if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued == 0) {
                    txPending_ = false;
                    events |= evTxEmpty;
                }
            }
            if (hasCounters_ || hasModemLines_) {
                LineCounts now;
                if (readLineCounts(now)) {
                    const LineCounts& was = lastCounts_;
                    if (now.cts != was.cts || ((now.bits ^ was.bits) & TIOCM_CTS))
                        events |= evCTS;
                    if (now.dsr != was.dsr || ((now.bits ^ was.bits) & TIOCM_DSR))
                        events |= evDSR;
                    if (now.dcd != was.dcd || ((now.bits ^ was.bits) & TIOCM_CD))
                        events |= evRLSD;
                    if (now.rng != was.rng || (now.bits & ~was.bits & TIOCM_RI))
                        events |= evRing;
                    if (now.brk != was.brk)
                        events |= evBreak;
                    lastCounts_ = now;
                }
            }
        }
        events &= mask;
        if (events != 0 || released)
            return true;
    }
}

bool PosixPortDevice::modemStatus(ModemLines& lines) {
    lines = {};
    const int fd = fd_;
    if (fd < 0)
        return fail(EBADF);
    if (!hasModemLines_)
        return true; // a pseudo-terminal has no control lines: all reported low
    int bits = 0;
    if (::ioctl(fd, TIOCMGET, &bits) != 0)
        return fail(errno);
    lines.cts = bits & TIOCM_CTS;
    lines.dsr = bits & TIOCM_DSR;
    lines.rlsd = bits & TIOCM_CD;
    return true;
}

bool PosixPortDevice::queueCounts(int32_t& rxWaiting, int32_t& txWaiting) {
    rxWaiting = txWaiting = 0;
    const int fd = fd_;
    if (fd < 0)
        return fail(EBADF);
    int in = 0, out = 0;
    if (::ioctl(fd, FIONREAD, &in) != 0 || ::ioctl(fd, TIOCOUTQ, &out) != 0)
        return fail(errno);
    std::lock_guard lock(rxMutex_);
    rxWaiting = in + static_cast<int32_t>(rx_.size() - rxHead_);
    txWaiting = out;
    return true;
}

bool PosixPortDevice::purge(bool receive, bool transmit) {
    // Aborts reads and writes still outstanding. Reads and writes here never stay
    // outstanding past their call (non-blocking descriptor, bounded write), so there is
    // nothing to abort; buffered bytes are kept, as an abort keeps them.
    (void)receive;
    (void)transmit;
    if (fd_ < 0)
        return fail(EBADF);
    return true;
}

bool PosixPortDevice::setControlLine(eControlLine line, bool on) {
    const int fd = fd_;
    if (fd < 0)
        return fail(EBADF);
    if (!hasModemLines_)
        return true; // a pseudo-terminal has no control lines
    int bit = line == clRTS ? TIOCM_RTS : TIOCM_DTR;
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit) != 0)
        return fail(errno);
    return true;
}

bool PosixPortDevice::read(char* data, size_t size, size_t& got) {
    got = 0;
    const int fd = fd_;
    if (fd < 0)
        return fail(EBADF);
    if (size == 0)
        return true;
    bool empty;
    {
        std::lock_guard lock(rxMutex_);
        empty = rxHead_ == rx_.size();
    }
    // Take what the terminal has in one go rather than a byte at a time.
    if (empty && !fillReceive())
        return false;
    bool wasFull;
    {
        std::lock_guard lock(rxMutex_);
        const size_t have = rx_.size() - rxHead_;
        wasFull = have >= rxCapacity_;
        got = have < size ? have : size;
        rx_.copy(data, got, rxHead_);
        rxHead_ += got;
        if (rxHead_ == rx_.size()) {
            rx_.clear();
            rxHead_ = 0;
        }
    }
    if (wasFull && got > 0)
        wake(); // the wait left the terminal alone while the buffer was full
    return true;
}

bool PosixPortDevice::write(const char* data, size_t size, int timeoutMs) {
    const int fd = fd_;
    if (fd < 0)
        return fail(EBADF);
    const int total = writeTotalMs_;
    if (total > 0 && total < timeoutMs)
        timeoutMs = total;
    const int64_t deadline = nowMs() + timeoutMs;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return fail(errno);
        const int64_t left = deadline - nowMs();
        if (left <= 0)
            return fail(ETIMEDOUT);
        pollfd p{fd, POLLOUT, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left));
        if (r < 0 && errno != EINTR)
            return fail(errno);
        if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLOUT))
            return fail(EIO);
    }
    if (size > 0) {
        txPending_ = true;
        if (mask_ & evTxEmpty)
            wake();
    }
    return true;
}

} // namespace linvar
