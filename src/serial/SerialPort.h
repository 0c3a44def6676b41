#pragma once
// SerialPort: the station's serial-port component. It holds the line settings, opens and
// closes the port, writes text, and runs a receive thread that watches the port's
// events and, in message mode, cuts the incoming bytes into messages. Every event and
// message is handed to the user-interface thread through a Dispatcher and waited for.

#include "serial/Dispatcher.h"
#include "serial/Framer.h"
#include "serial/PortDevice.h"
#include "serial/SerialTypes.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace linvar {

class ComPortMap;
class SerialPort;

// The receive thread: runs its owner's event loop from the owner's creation to its
// destruction.
class ReceiveThread {
public:
    explicit ReceiveThread(SerialPort& owner);
    ~ReceiveThread();
    ReceiveThread(const ReceiveThread&) = delete;
    ReceiveThread& operator=(const ReceiveThread&) = delete;
    bool isCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }
    void join();

private:
    SerialPort& owner_;
    std::thread thread_;
};

using TNotifyEvent = std::function<void(SerialPort& sender)>;
using TRxMessageEvent = std::function<void(SerialPort& sender, const std::string& rxMessage)>;
// Shows an error box with this text and an OK button.
using TErrorDialog = std::function<void(const std::string& text)>;

class SerialPort : public CommsPort {
public:
    static constexpr std::array<int32_t, 15> AcceptedSpeeds = {
        110,   300,   600,   1200,  2400,   4800,   9600,  14400,
        19200, 38400, 56000, 57600, 115200, 128000, 256000};

    // Milliseconds a write of `length` bytes may take: length x (20000 / baudrate),
    // at least 500.
    static int WriteAllowanceMs(size_t length, int32_t baudrate);

    SerialPort(Dispatcher& dispatcher, std::unique_ptr<PortDevice> device);
    // On this platform's terminals, with the station's port names.
    SerialPort(Dispatcher& dispatcher, const ComPortMap& ports);
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Published properties, in their order.
    uint8_t Port() const { return port_; }
    void SetPort(uint8_t port) override;
    int32_t Baudrate() const { return baudrate_; }
    void SetBaudrate(int32_t baudrate) override;
    eParity Parity() const { return parity_; }
    void SetParity(eParity parity) override;
    eDataBits DataBits() const { return dataBits_; }
    void SetDataBits(eDataBits bits) override;
    eStopBits StopBits() const { return stopBits_; }
    void SetStopBits(eStopBits bits) override;
    char MessageStartChar() const { return startChar_; }
    void SetMessageStartChar(char c) { startChar_ = c; }
    char MessageEndChar() const { return endChar_; }
    void SetMessageEndChar(char c) { endChar_ = c; }
    eNotifyErr NotifyErrors() const { return notifyErrors_; }
    void SetNotifyErrors(eNotifyErr mode) { notifyErrors_ = mode; }
    int32_t ErrorCode() const { return errorCode_; }
    void SetOnMessage(TRxMessageEvent handler);
    void SetOnError(TNotifyEvent handler);

    // Where error boxes go ("Baudrate is not valid", and port errors with neDialog).
    void SetErrorDialog(TErrorDialog dialog) { errorDialog_ = std::move(dialog); }

    bool IsOpen() const override { return isOpen_; }
    void SetOpen(bool open) override;
    void WriteText(const std::string& text);
    void PurgeReceive() override;
    // The device went away while open (adapter pulled): close and open again to
    // take it up once it is back.
    bool PortLost() const override { return isOpen_ && device_->lost(); }
    // Frames dropped for growing without an end character.
    uint64_t DroppedFrames() const { return droppedFrames_; }

private:
    void closePort();
    void openPort();
    void ApplySettings();
    void HandleError(int code);
    void reopen() { SetOpen(isOpen_); }
    void run();
    void handleEvents(uint32_t events);
    void handOff(std::function<void()> fn);
    bool stopHandling() const { return closing_ || !isOpen_ || terminate_; }
    template <class F> bool assigned(const F& handler) {
        std::lock_guard lock(handlersMutex_);
        return static_cast<bool>(handler);
    }
    template <class F> F copyOf(const F& handler) {
        std::lock_guard lock(handlersMutex_);
        return handler;
    }

    Dispatcher& dispatcher_;
    std::unique_ptr<PortDevice> device_;

    uint8_t port_ = 1;
    int32_t baudrate_ = 9600;
    eParity parity_ = paNone;
    eDataBits dataBits_ = d7bit;
    eStopBits stopBits_ = st1bit;
    static constexpr uint16_t rxQueueSize_ = 1024;
    static constexpr uint16_t txQueueSize_ = 1024;
    std::atomic<char> startChar_{'\x02'};
    std::atomic<char> endChar_{'\x03'};
    std::atomic<eNotifyErr> notifyErrors_{neDialog};
    std::atomic<int32_t> errorCode_{0};

    mutable std::mutex handlersMutex_;
    TNotifyEvent onError_;
    TRxMessageEvent onMessage_;
    TErrorDialog errorDialog_;

    // Close hands over to the receive thread with these, under mutex_.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> isOpen_{false};
    std::atomic<bool> closing_{false};
    std::atomic<bool> terminate_{false};
    bool threadWaiting_ = false;

    MessageFramer framer_; // the receive thread's
    std::atomic<uint64_t> droppedFrames_{0};
    int64_t lastCloseWaitMs_ = 0;
    std::unique_ptr<ReceiveThread> thread_;
    friend class ReceiveThread;
};

} // namespace linvar
