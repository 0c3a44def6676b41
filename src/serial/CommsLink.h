#pragma once
// The comms link through which every window sends and which keeps the last received
// message.

#include <cstdint>
#include <functional>
#include <string>

namespace linvar {

class Capture;
class SerialPort;

// The one way every window sends, and the last message received.
class CommsLink {
public:
    // Writes the bytes to the line: the port's WriteText, or a simulator in tests.
    using Transmitter = std::function<void(const std::string&)>;

    CommsLink(Capture& capture, Transmitter transmitter = {});

    void SetTransmitter(Transmitter transmitter) { transmitter_ = std::move(transmitter); }

    // Empties ReceivedMessage, appends CR, traces "[out]" when capturing, sends.
    void WriteRequest(const std::string& text);
    const std::string& ReceivedMessage() const { return receivedMessage_; }
    // Framed replies received since the start, however the port reaches the link.
    uint64_t Answers() const { return answers_; }

    // A framed reply from ">" to the line feed.
    void OnMessage(const std::string& message);

private:
    Capture& capture_;
    Transmitter transmitter_;
    std::string receivedMessage_;
    uint64_t answers_ = 0;
};

// Sets the port up as the comms dialog holds it (8 data bits, message mode from ">"
// to line feed, errors only noted in ErrorCode) and joins it to the link.
void ConnectCommsPort(SerialPort& port, CommsLink& link);

} // namespace linvar
