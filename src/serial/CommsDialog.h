#pragma once
// The comms set-up: the trace form of messages, the comms settings file "comms.txt",
// the dialog's logic (its screen is bound elsewhere), and the comms link through which
// every window sends and which keeps the last received message.

#include "serial/SerialTypes.h"
#include "ui/UserError.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

class Capture;
class SerialPort;

inline constexpr const char* CommsSettingsFileName = "comms.txt";

// The dialog's lists: "1".."99"; "1200".."57600"; "8N1", "7E2", "7O2".
const std::vector<std::string>& CommsPortEntries();
const std::vector<std::string>& CommsSpeedEntries();
const std::vector<std::string>& CommsFormatEntries();

struct CommsFormat {
    eParity parity;
    eDataBits dataBits;
    eStopBits stopBits;
};
// The character format of entry 0..2 of the format list.
CommsFormat CommsFormatAt(int index);

// The three list selections, as indexes into the lists; -1 is no selection.
struct CommsSelection {
    int port = -1;
    int speed = -1;
    int format = -1;

    // The list texts ("" without a selection).
    std::string portText() const;
    std::string speedText() const;
    friend bool operator==(const CommsSelection&, const CommsSelection&) = default;
};

// Reads "comms.txt" in programDir into `selection` (last line wins; no file: port 1,
// 9600 baud, "8N1") and remembers the result in `remembered`. A format character that
// is not a digit keeps the previous format and comes back as the report to show; the
// rest of the file is still taken. A file that cannot be read raises UserError and
// changes nothing.
std::optional<UserError> ReadCommsSettings(const std::filesystem::path& programDir,
                                           CommsSelection& selection, CommsSelection& remembered);

// Writes the one settings line anew when the selection differs from `remembered`, and
// then remembers it. Returns whether the file was written.
bool SaveCommsSettings(const std::filesystem::path& programDir, const CommsSelection& selection,
                       CommsSelection& remembered);

// The comms set-up dialog without its screen: the three lists, the status line, the
// open sequence run by the dialog's 50 ms timer (Tick), "  &Proceed" and "  &Cancel".
class CommsDialog {
public:
    enum Result { drNone, drOK, drCancel };

    CommsDialog(CommsPort& port, Capture& capture, std::filesystem::path programDir);

    // At start-up. See ReadCommsSettings for the returned report.
    std::optional<UserError> ReadCommsSettings();
    bool SaveCommsSettings();

    void Activate();
    void SelectPort(int index);
    void SelectSpeed(int index);
    void SelectFormat(int index);
    void OpenClick();
    void Tick();
    void ProceedClick();
    void CancelClick();

    const CommsSelection& Selection() const { return selection_; }
    const CommsSelection& Remembered() const { return remembered_; }
    int OpenState() const { return openState_; }
    const std::string& StatusText() const { return status_; }
    bool ProceedVisible() const { return proceedVisible_; }
    bool OpenEnabled() const { return selection_.port >= 0 && selection_.speed >= 0; }
    bool TimerRunning() const { return timerRunning_; }
    Result DialogResult() const { return result_; }

private:
    void listChanged();

    CommsPort& port_;
    Capture& capture_;
    std::filesystem::path programDir_;
    CommsSelection selection_;
    CommsSelection remembered_;
    int openState_ = 0;
    int ticks_ = 0;
    std::string status_;
    bool proceedVisible_ = false;
    bool timerRunning_ = false;
    Result result_ = drNone;
};

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

    // Message mode: a framed reply from ">" to the line feed.
    void OnMessage(const std::string& message);
    // Normal mode: bytes as they came.
    void OnRxData(const std::string& data);

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
