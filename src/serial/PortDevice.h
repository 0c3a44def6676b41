#pragma once
// The port operations the port component needs from the operating system. One
// implementation per platform; tests may supply their own.

#include "serial/SerialTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace linvar {

// Events of the event mask.
enum PortEvent : uint32_t {
    evRxChar = 1u << 0,  // bytes received
    evTxEmpty = 1u << 1, // transmit buffer ran empty
    evCTS = 1u << 2,
    evDSR = 1u << 3,
    evRLSD = 1u << 4,
    evBreak = 1u << 5,
    evRing = 1u << 6,
};
inline constexpr uint32_t AllPortEvents =
    evRxChar | evTxEmpty | evCTS | evDSR | evRLSD | evBreak | evRing;

struct LineSettings {
    int32_t baudrate = 9600;
    eDataBits dataBits = d7bit;
    eParity parity = paNone;
    eStopBits stopBits = st1bit;
    eFlowControl flow = fcNone;
    bool checkParity = true;
    char xonChar = 0x11;
    char xoffChar = 0x13;
    int xonLimit = 0;
    int xoffLimit = 0;
    char errorChar = '?';
};

struct ModemLines {
    bool cts = false;
    bool dsr = false;
    bool rlsd = false;
};

// Every operation returns false on failure and leaves the code in lastError().
// open/close/setters run on the user-interface thread; waitEvent and read also on the
// receive thread, while the port is open. close() is called only when no thread is
// inside waitEvent.
class PortDevice {
public:
    virtual ~PortDevice() = default;

    // Exclusive, read and write; fails when the port is missing or in use.
    virtual bool open(const std::string& name) = 0;
    virtual bool setBufferSizes(unsigned rxSize, unsigned txSize) = 0;
    virtual bool setLineSettings(const LineSettings& settings) = 0;
    // Reads always return at once with what has arrived; a write may take at most
    // writeTotalMs in all (0: no limit of the port's own).
    virtual bool setTimeouts(int writeTotalMs) = 0;
    // A mask of PortEvent; setting it (to 0 in particular) releases a waiting thread.
    virtual bool setEventMask(uint32_t mask) = 0;
    // Waits for one or more of the masked events. Returns true with events == 0 when
    // released by setEventMask.
    virtual bool waitEvent(uint32_t& events) = 0;
    virtual bool modemStatus(ModemLines& lines) = 0;
    virtual bool queueCounts(int32_t& rxWaiting, int32_t& txWaiting) = 0;
    virtual bool purge(bool receive, bool transmit) = 0;
    virtual bool setControlLine(eControlLine line, bool on) = 0;
    // Up to size bytes that have arrived, at once; 0 when none has.
    virtual bool read(char* data, size_t size, size_t& got) = 0;
    // Writes all bytes within timeoutMs; false (and the bytes not sent are dropped)
    // when the time runs out or the port fails.
    virtual bool write(const char* data, size_t size, int timeoutMs) = 0;
    virtual void close() = 0;

    // The device went away (hang-up); it stays so until closed.
    virtual bool lost() const { return false; }

    virtual int lastError() const = 0;
    virtual std::string errorText(int code) const = 0;
};

} // namespace linvar
