#include "serial/CommsDialog.h"

#include "logging/Capture.h"

namespace linvar {

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

} // namespace linvar
