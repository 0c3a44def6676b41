#include "serial/SerialPort.h"

#include "serial/PosixPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace linvar {

namespace {

constexpr auto CloseRound = std::chrono::milliseconds(75);
constexpr int CloseRounds = 100;
constexpr auto IdleSleep = std::chrono::milliseconds(100);

} // namespace

ReceiveThread::ReceiveThread(SerialPort& owner) : owner_(owner) {
    thread_ = std::thread([this] { owner_.run(); });
}

ReceiveThread::~ReceiveThread() {
    join();
}

void ReceiveThread::join() {
    if (thread_.joinable())
        thread_.join();
}

int SerialPort::WriteAllowanceMs(size_t length, int32_t baudrate) {
    const int64_t perByte = baudrate > 0 ? 20000 / baudrate : 0;
    const int64_t ms = static_cast<int64_t>(length) * perByte;
    return static_cast<int>(std::clamp<int64_t>(ms, 500, 3600 * 1000));
}

SerialPort::SerialPort(Dispatcher& dispatcher, std::unique_ptr<PortDevice> device)
    : dispatcher_(dispatcher), device_(std::move(device)) {
    thread_ = std::make_unique<ReceiveThread>(*this);
}

SerialPort::SerialPort(Dispatcher& dispatcher, const ComPortMap& ports)
    : SerialPort(dispatcher, std::make_unique<PosixPortDevice>(ports)) {}

SerialPort::~SerialPort() {
    SetOpen(false);
    {
        std::lock_guard lock(mutex_);
        terminate_ = true;
    }
    changed_.notify_all();
    thread_->join();
}

// ---- properties -------------------------------------------------------------------

void SerialPort::SetPort(uint8_t port) {
    if (port == port_)
        return;
    port_ = port;
    reopen();
}

void SerialPort::SetBaudrate(int32_t baudrate) {
    if (std::find(AcceptedSpeeds.begin(), AcceptedSpeeds.end(), baudrate) == AcceptedSpeeds.end()) {
        if (errorDialog_)
            errorDialog_("Baudrate is not valid");
        return;
    }
    if (baudrate == baudrate_)
        return;
    baudrate_ = baudrate;
    reopen();
}

void SerialPort::SetParity(eParity parity) {
    if (parity == parity_)
        return;
    parity_ = parity;
    reopen();
}

void SerialPort::SetDataBits(eDataBits bits) {
    if (bits == dataBits_)
        return;
    dataBits_ = bits;
    reopen();
}

void SerialPort::SetStopBits(eStopBits bits) {
    if (bits == stopBits_)
        return;
    stopBits_ = bits;
    reopen();
}

void SerialPort::SetOnMessage(TRxMessageEvent h) {
    std::lock_guard lock(handlersMutex_);
    onMessage_ = std::move(h);
}
void SerialPort::SetOnError(TNotifyEvent h) {
    std::lock_guard lock(handlersMutex_);
    onError_ = std::move(h);
}
// ---- open and close ---------------------------------------------------------------

void SerialPort::SetOpen(bool open) {
    if (isOpen_)
        closePort();
    if (open)
        openPort();
}

void SerialPort::closePort() {
    device_->purge(true, true);
    // A lost device refuses these; there is nothing to report on the way out.
    device_->setControlLine(clDTR, false);
    device_->setControlLine(clRTS, false);
    {
        std::lock_guard lock(mutex_);
        isOpen_ = false;
        closing_ = true;
    }
    device_->setEventMask(0);
    // A hand-off in flight waits for this very thread: let it go.
    dispatcher_.abandon();
    if (!thread_->isCurrent()) {
        std::unique_lock lock(mutex_);
        for (int round = 0; round < CloseRounds && threadWaiting_; ++round)
            changed_.wait_for(lock, CloseRound, [this] { return !threadWaiting_; });
    }
    closing_ = false;
    dispatcher_.reset();
    device_->close();
}

void SerialPort::openPort() {
    if (!device_->open("COM" + std::to_string(port_))) {
        HandleError(device_->lastError());
        return;
    }
    if (!device_->setBufferSizes(rxQueueSize_, txQueueSize_))
        HandleError(device_->lastError());
    {
        std::lock_guard lock(mutex_);
        isOpen_ = true;
    }
    ApplySettings();
    if (!device_->setControlLine(clDTR, true) || !device_->setControlLine(clRTS, true))
        HandleError(device_->lastError());
    // Only received characters are waited for: line states and an emptied transmit queue
    // have no event of their own on this system and would wake the receive thread every
    // few milliseconds for nothing.
    if (!device_->setEventMask(evRxChar))
        HandleError(device_->lastError());
    changed_.notify_all();
}

void SerialPort::ApplySettings() {
    if (!isOpen_)
        return;
    LineSettings s;
    s.baudrate = baudrate_;
    s.dataBits = dataBits_;
    s.parity = parity_;
    s.stopBits = stopBits_;
    s.xonLimit = s.xoffLimit = rxQueueSize_ / 3;
    if (!device_->setLineSettings(s))
        HandleError(device_->lastError());
    if (!device_->setTimeouts(0))
        HandleError(device_->lastError());
}

// ---- transfers --------------------------------------------------------------------

void SerialPort::WriteText(const std::string& text) {
    if (!isOpen_) {
        HandleError(EBADF);
        return;
    }
    if (!device_->write(text.data(), text.size(), WriteAllowanceMs(text.size(), baudrate_)))
        HandleError(device_->lastError());
}

void SerialPort::PurgeReceive() {
    if (isOpen_ && !device_->purge(true, false))
        HandleError(device_->lastError());
}

void SerialPort::HandleError(int code) {
    errorCode_ = code;
    switch (notifyErrors_) {
    case neDialog:
        if (errorDialog_)
            errorDialog_(device_->errorText(code));
        break;
    case neEvent:
        if (auto h = copyOf(onError_))
            h(*this);
        break;
    case neNone:
        break;
    }
}

// ---- the receive thread -----------------------------------------------------------

void SerialPort::handOff(std::function<void()> fn) {
    if (stopHandling())
        return;
    dispatcher_.invoke(std::move(fn));
}

void SerialPort::run() {
    int lastFailure = 0;
    std::unique_lock lock(mutex_);
    while (!terminate_) {
        if (!isOpen_) {
            if (threadWaiting_) {
                threadWaiting_ = false;
                changed_.notify_all();
            }
            changed_.wait_for(lock, IdleSleep);
            continue;
        }
        threadWaiting_ = true;
        lock.unlock();
        uint32_t events = 0;
        if (device_->waitEvent(events)) {
            lastFailure = 0;
            if (!closing_ && events != 0)
                handleEvents(events);
            lock.lock();
            continue;
        }
        // A failed wait: reported once for a run of the same failure, then backed off,
        // so that a device that keeps failing never spins this thread.
        const int code = device_->lastError();
        if (code != lastFailure && isOpen_ && !closing_)
            handOff([this, code] { HandleError(code); });
        lastFailure = code;
        lock.lock();
        changed_.wait_for(lock, IdleSleep, [this] { return terminate_ || !isOpen_; });
    }
    threadWaiting_ = false;
    changed_.notify_all();
}

void SerialPort::handleEvents(uint32_t events) {
    if (!(events & evRxChar) || stopHandling())
        return;
    if (!assigned(onMessage_))
        return;
    framer_.setRule(startChar_, endChar_, 0);
    char b;
    while (!stopHandling()) {
        size_t got = 0;
        if (!device_->read(&b, 1, got)) {
            const int code = device_->lastError();
            handOff([this, code] { HandleError(code); });
            break;
        }
        if (got == 0)
            break;
        if (framer_.feed(b)) {
            droppedFrames_ = framer_.dropped();
            handOff([this, message = framer_.message()] {
                if (auto h = copyOf(onMessage_))
                    h(*this, message);
            });
        }
    }
    droppedFrames_ = framer_.dropped();
}

} // namespace linvar
