#include "serial/CommsDialog.h"

#include "logging/Capture.h"
#include "serial/SerialPort.h"
#include "ui/TextFile.h"

#include <algorithm>

namespace linvar {

namespace {

int indexOf(const std::vector<std::string>& entries, const std::string& text) {
    const auto it = std::find(entries.begin(), entries.end(), text);
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

std::vector<std::string> makePortEntries() {
    std::vector<std::string> entries;
    for (int n = 1; n <= 99; ++n)
        entries.push_back(std::to_string(n));
    return entries;
}

std::string settingsLine(const CommsSelection& s) {
    std::string line = s.portText() + "," + s.speedText();
    // No format chosen (an index outside the list was read): the old two-field form,
    // which reads back as "8N1", the format the port then keeps. A "-1" would be
    // refused as a number on the next start.
    if (s.format >= 0)
        line += "," + std::to_string(s.format);
    return line;
}

} // namespace

const std::vector<std::string>& CommsPortEntries() {
    static const std::vector<std::string> entries = makePortEntries();
    return entries;
}

const std::vector<std::string>& CommsSpeedEntries() {
    static const std::vector<std::string> entries = {"1200",  "2400",  "4800", "9600",
                                                     "19200", "38400", "57600"};
    return entries;
}

const std::vector<std::string>& CommsFormatEntries() {
    static const std::vector<std::string> entries = {"8N1", "7E2", "7O2"};
    return entries;
}

CommsFormat CommsFormatAt(int index) {
    switch (index) {
    case 1:
        return {paEven, d7bit, st2bit};
    case 2:
        return {PaOdd, d7bit, st2bit};
    default:
        return {paNone, d8bit, st1bit};
    }
}

std::string CommsSelection::portText() const {
    return port >= 0 ? CommsPortEntries()[static_cast<size_t>(port)] : std::string();
}

std::string CommsSelection::speedText() const {
    return speed >= 0 ? CommsSpeedEntries()[static_cast<size_t>(speed)] : std::string();
}

std::optional<UserError> ReadCommsSettings(const std::filesystem::path& programDir,
                                           CommsSelection& selection, CommsSelection& remembered) {
    const auto lines = TextFile::readLines(programDir / CommsSettingsFileName);
    std::optional<UserError> report;
    if (!lines) {
        selection.port = indexOf(CommsPortEntries(), "1");
        selection.speed = indexOf(CommsSpeedEntries(), "9600");
        selection.format = 0;
    } else {
        for (const std::string& line : *lines) {
            // A blank line (a stray line end left by an editor) is no settings line:
            // it would otherwise clear every list.
            if (line.empty())
                continue;
            const size_t comma = line.find(',');
            // Without a comma the port text is empty and the line is all "rest".
            const std::string port = comma == std::string::npos ? "" : line.substr(0, comma);
            const std::string rest =
                comma == std::string::npos ? line.substr(0, 10) : line.substr(comma + 1, 10);
            const size_t next = rest.find(',');
            std::string speed;
            if (next == std::string::npos) {
                speed = rest.substr(0, 5);
                selection.format = 0;
            } else {
                speed = rest.substr(0, next);
                const std::string format = rest.substr(next + 1, 10);
                if (!format.empty()) {
                    const char c = format[0];
                    if (c >= '0' && c <= '9') {
                        const int index = c - '0';
                        selection.format =
                            index < static_cast<int>(CommsFormatEntries().size()) ? index : -1;
                    } else {
                        report = UserError::notInteger(std::string(1, c));
                    }
                }
            }
            selection.port = indexOf(CommsPortEntries(), port);
            selection.speed = indexOf(CommsSpeedEntries(), speed);
        }
    }
    remembered = selection;
    return report;
}

bool SaveCommsSettings(const std::filesystem::path& programDir, const CommsSelection& selection,
                       CommsSelection& remembered) {
    if (selection == remembered)
        return false;
    TextFile::replace(programDir / CommsSettingsFileName, {settingsLine(selection)});
    // Remember what the file now holds, so that going back to the values read at
    // start-up writes the file again.
    remembered = selection;
    return true;
}

CommsDialog::CommsDialog(CommsPort& port, Capture& capture, std::filesystem::path programDir)
    : port_(port), capture_(capture), programDir_(std::move(programDir)) {}

std::optional<UserError> CommsDialog::ReadCommsSettings() {
    return linvar::ReadCommsSettings(programDir_, selection_, remembered_);
}

bool CommsDialog::SaveCommsSettings() {
    return linvar::SaveCommsSettings(programDir_, selection_, remembered_);
}

void CommsDialog::Activate() {
    status_.clear();
    capture_.ResetLastText();
    proceedVisible_ = false;
    result_ = drNone;
    capture_.SwitchOff();
    openState_ = 0;
    timerRunning_ = true;
}

void CommsDialog::listChanged() {
    port_.SetOpen(false);
}

void CommsDialog::SelectPort(int index) {
    selection_.port =
        index >= 0 && index < static_cast<int>(CommsPortEntries().size()) ? index : -1;
    listChanged();
}

void CommsDialog::SelectSpeed(int index) {
    selection_.speed =
        index >= 0 && index < static_cast<int>(CommsSpeedEntries().size()) ? index : -1;
    listChanged();
}

void CommsDialog::SelectFormat(int index) {
    selection_.format =
        index >= 0 && index < static_cast<int>(CommsFormatEntries().size()) ? index : -1;
    listChanged();
}

void CommsDialog::OpenClick() {
    if (!OpenEnabled())
        return;
    status_ = "Opening port...";
    openState_ = 1;
}

void CommsDialog::Tick() {
    if (!timerRunning_)
        return;
    if (openState_ == 1) {
        if (port_.IsOpen()) {
            status_ = "That Port is already open. Select again.";
            openState_ = 0;
            return;
        }
        if (selection_.speed >= 0)
            port_.SetBaudrate(std::stoi(selection_.speedText()));
        if (selection_.port >= 0)
            port_.SetPort(static_cast<uint8_t>(selection_.port + 1));
        if (selection_.format >= 0) {
            const CommsFormat f = CommsFormatAt(selection_.format);
            port_.SetParity(f.parity);
            port_.SetDataBits(f.dataBits);
            port_.SetStopBits(f.stopBits);
        }
        port_.SetOpen(true);
        ticks_ = 0;
        openState_ = 2;
    } else if (openState_ == 2) {
        ++ticks_;
        if (port_.IsOpen()) {
            status_ = "Port open on Com" + selection_.portText() + ", at " +
                      selection_.speedText() + " baud";
            proceedVisible_ = true;
            port_.PurgeReceive();
            openState_ = 0;
        } else if (ticks_ >= 20) {
            status_ = "Port failed to open. Select again.";
            openState_ = 0;
        }
    }
}

void CommsDialog::ProceedClick() {
    // Saved first: a settings file that cannot be written is reported and the dialog
    // stays open and working, to try again or cancel.
    SaveCommsSettings();
    timerRunning_ = false;
    result_ = drOK;
}

void CommsDialog::CancelClick() {
    result_ = drCancel;
}

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

void CommsLink::OnRxData(const std::string& data) {
    receivedMessage_ += data;
    if (capture_.CaptureOn())
        capture_.CaptureLine(receivedMessage_, "[ in]");
}

void ConnectCommsPort(SerialPort& port, CommsLink& link) {
    port.SetDataBits(d8bit);
    port.SetRxEventMode(rxMessage);
    port.SetMessageStartChar('>');
    port.SetMessageEndChar('\n');
    port.SetNotifyErrors(neEvent);
    port.SetOnMessage(
        [&link](SerialPort&, const std::string& message) { link.OnMessage(message); });
    port.SetOnRxData([&link](SerialPort& sender) { link.OnRxData(sender.ReadText()); });
    link.SetTransmitter([&port](const std::string& bytes) { port.WriteText(bytes); });
}

} // namespace linvar
