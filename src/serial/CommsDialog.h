#pragma once
// The comms set-up dialog's logic (its screen is bound elsewhere): the three lists, the
// status line and the open sequence.

#include "serial/CommsSettings.h"

#include <filesystem>
#include <optional>
#include <string>

namespace linvar {

class Capture;

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

} // namespace linvar
