#pragma once
// "Specify the Communications Settings": the comms dialog's controls kept in step with
// its logic (CommsDialog) on every tick of the dialog's 50 ms timer.

#include "serial/CommsDialog.h"
#include "ui/Screen.h"

namespace linvar {

class CommsSetupScreen : public Screen {
public:
    explicit CommsSetupScreen(CommsDialog& dialog);

    // Shows the dialog: the logic's activation, then the controls.
    void Activate();
    // The dialog timer's tick.
    void Tick();
    // Controls from the dialog's state.
    void Sync();
    CommsDialog& dialog() { return dialog_; }

private:
    CommsDialog& dialog_;
};

} // namespace linvar
