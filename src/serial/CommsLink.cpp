#include "serial/CommsLink.h"

#include "logging/Capture.h"
#include "serial/SerialPort.h"
#include "ui/UserError.h"

#include <optional>

namespace linvar {

CommsLink::CommsLink(Capture& capture, Transmitter transmitter)
    : capture_(capture), transmitter_(std::move(transmitter)) {}

void CommsLink::WriteRequest(const std::string& text) {
    receivedMessage_.clear();
    const std::string line = text + "\r";
    // A capture file that cannot be written never holds back the request: it goes out,
    // then the failure is reported.
    std::optional<UserError> traceFailed;
    try {
        if (capture_.CaptureOn())
            capture_.CaptureLine(line, "[out]");
    } catch (const UserError& e) {
        traceFailed = e;
    }
    if (transmitter_)
        transmitter_(line);
    if (traceFailed)
        throw *traceFailed;
}

void CommsLink::OnMessage(const std::string& message) {
    ++answers_;
    receivedMessage_ = message;
    if (capture_.CaptureOn())
        capture_.CaptureLine(message, "[ in]");
}

void ConnectCommsPort(SerialPort& port, CommsLink& link) {
    port.SetDataBits(d8bit);
    port.SetMessageStartChar('>');
    port.SetMessageEndChar('\n');
    port.SetNotifyErrors(neEvent);
    port.SetOnMessage(
        [&link](SerialPort&, const std::string& message) { link.OnMessage(message); });
    link.SetTransmitter([&port](const std::string& bytes) { port.WriteText(bytes); });
}

} // namespace linvar
