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

void SerialPort::SetRxQueueSize(uint16_t size) {
    rxQueueSize_ = size;
    reopen();
}

void SerialPort::SetTxQueueSize(uint16_t size) {
    txQueueSize_ = size;
    reopen();
}

void SerialPort::SetFlowMode(eFlowControl mode) {
    if (mode == flowMode_)
        return;
    flowMode_ = mode;
    reopen();
}

void SerialPort::SetCheckParity(bool check) {
    if (check == checkParity_)
        return;
    checkParity_ = check;
    reopen();
}

int32_t SerialPort::RxWaiting() {
    if (!isOpen_)
        return 0;
    int32_t rx = 0, tx = 0;
    if (!device_->queueCounts(rx, tx))
        HandleError(device_->lastError());
    return rx;
}

int32_t SerialPort::TxWaiting() {
    if (!isOpen_)
        return 0;
    int32_t rx = 0, tx = 0;
    if (!device_->queueCounts(rx, tx))
        HandleError(device_->lastError());
    return tx;
}

void SerialPort::SetOnRxData(TNotifyEvent h) {
    std::lock_guard lock(handlersMutex_);
    onRxData_ = std::move(h);
}
void SerialPort::SetOnTxEmpty(TNotifyEvent h) {
    {
        std::lock_guard lock(handlersMutex_);
        onTxEmpty_ = std::move(h);
    }
    RefreshEventMask();
}
void SerialPort::SetOnMessage(TRxMessageEvent h) {
    std::lock_guard lock(handlersMutex_);
    onMessage_ = std::move(h);
}
void SerialPort::SetOnError(TNotifyEvent h) {
    std::lock_guard lock(handlersMutex_);
    onError_ = std::move(h);
}
void SerialPort::SetOnBreak(TNotifyEvent h) {
    {
        std::lock_guard lock(handlersMutex_);
        onBreak_ = std::move(h);
    }
    RefreshEventMask();
}
void SerialPort::SetOnRing(TNotifyEvent h) {
    {
        std::lock_guard lock(handlersMutex_);
        onRing_ = std::move(h);
    }
    RefreshEventMask();
}
void SerialPort::SetOnSignalChange(TSignalChangeEvent h) {
    {
        std::lock_guard lock(handlersMutex_);
        onSignalChange_ = std::move(h);
    }
    RefreshEventMask();
}

// Only the events someone handles are waited for: line states and an emptied transmit
// queue have no event of their own on this system and would wake the receive thread
// every few milliseconds for nothing.
uint32_t SerialPort::WantedEvents() const {
    std::lock_guard lock(handlersMutex_);
    uint32_t mask = evRxChar;
    if (onTxEmpty_)
        mask |= evTxEmpty;
    if (onSignalChange_)
        mask |= evCTS | evDSR | evRLSD;
    if (onBreak_)
        mask |= evBreak;
    if (onRing_)
        mask |= evRing;
    return mask;
}

void SerialPort::RefreshEventMask() {
    if (isOpen_ && !device_->setEventMask(WantedEvents()))
        HandleError(device_->lastError());
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
    const auto start = std::chrono::steady_clock::now();
    if (!thread_->isCurrent()) {
        std::unique_lock lock(mutex_);
        for (int round = 0; round < CloseRounds && threadWaiting_; ++round)
            changed_.wait_for(lock, CloseRound, [this] { return !threadWaiting_; });
    }
    lastCloseWaitMs_ = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
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
    RefreshEventMask();
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
    s.flow = flowMode_;
    s.checkParity = checkParity_;
    s.xonLimit = s.xoffLimit = rxQueueSize_ / 3;
    if (!device_->setLineSettings(s))
        HandleError(device_->lastError());
    if (!device_->setTimeouts(flowMode_ != fcNone ? 10000 : 0))
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

int SerialPort::ReadByte(char& byte) {
    size_t got = 0;
    if (!device_->read(&byte, 1, got)) {
        HandleError(device_->lastError());
        return 0;
    }
    return static_cast<int>(got);
}

std::string SerialPort::ReadText() {
    std::string text;
    char b;
    for (int i = 0; i <= rxQueueSize_; ++i) {
        if (ReadByte(b) == 0)
            break;
        text += b;
    }
    return text;
}

void SerialPort::PurgeReceive() {
    if (isOpen_ && !device_->purge(true, false))
        HandleError(device_->lastError());
}

void SerialPort::SetControlLine(eControlLine line, bool on) {
    if (!device_->setControlLine(line, on))
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
    auto signal = [&](uint32_t bit, eModemInSignal which) {
        if (!(events & bit) || stopHandling() || !assigned(onSignalChange_))
            return;
        ModemLines lines;
        if (!device_->modemStatus(lines)) {
            const int code = device_->lastError();
            handOff([this, code] { HandleError(code); });
            return;
        }
        cts_ = lines.cts;
        dsr_ = lines.dsr;
        rlsd_ = lines.rlsd;
        const bool state = which == msCTS ? lines.cts : which == msDSR ? lines.dsr : lines.rlsd;
        handOff([this, which, state] {
            if (auto h = copyOf(onSignalChange_))
                h(*this, which, state);
        });
    };
    auto notify = [&](uint32_t bit, TNotifyEvent SerialPort::*handler) {
        if (!(events & bit) || stopHandling() || !assigned(this->*handler))
            return;
        handOff([this, handler] {
            if (auto h = copyOf(this->*handler))
                h(*this);
        });
    };
    signal(evCTS, msCTS);
    signal(evDSR, msDSR);
    signal(evRLSD, msRLSD);
    notify(evTxEmpty, &SerialPort::onTxEmpty_);
    notify(evBreak, &SerialPort::onBreak_);
    notify(evRing, &SerialPort::onRing_);
    if (!(events & evRxChar) || stopHandling())
        return;
    if (rxEventMode_ == rxNormal) {
        notify(evRxChar, &SerialPort::onRxData_);
        return;
    }
    if (!assigned(onMessage_))
        return;
    framer_.setRule(startChar_, endChar_, appendCount_);
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
