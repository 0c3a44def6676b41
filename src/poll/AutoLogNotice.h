#pragma once
// The small notice shown while an automatic log run goes on.

#include "ui/Screen.h"

namespace linvar {

class AutoLogNoticeScreen : public Screen {
public:
    AutoLogNoticeScreen() : Screen("Albox", "Auto Logging") {
        add("", "AlNotice", ControlKind::Label, "Buttons disabled while Logging")
            .setTextColour(Colours::blue);
    }
};

} // namespace linvar
