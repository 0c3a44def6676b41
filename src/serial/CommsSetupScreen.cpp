#include "serial/CommsSetupScreen.h"

namespace linvar {

CommsSetupScreen::CommsSetupScreen(CommsDialog& dialog)
    : Screen("Scommse", "Specify the Communications Settings"), dialog_(dialog) {
    add("", "GrpComms", ControlKind::Group).setLayout(Layout::Column);
    add("GrpComms", "CommsGrid", ControlKind::Panel).setLayout(Layout::Grid, 2);
    add("CommsGrid", "LblPort", ControlKind::Label, "Com Port:");
    add("CommsGrid", "CboPort", ControlKind::Combo).setItems(CommsPortEntries());
    add("CommsGrid", "LblBaud", ControlKind::Label, "Baud Rate:");
    add("CommsGrid", "CboBaud", ControlKind::Combo).setItems(CommsSpeedEntries());
    add("CommsGrid", "LblFormat", ControlKind::Label, "Parity,etc:");
    add("CommsGrid", "CboFormat", ControlKind::Combo).setItems(CommsFormatEntries());
    add("GrpComms", "CommsHint", ControlKind::Label,
        "Select port and baud rate, then click on <Open Com Port>")
        .setTextColour(Colours::blue);
    add("GrpComms", "CommsStatus", ControlKind::Label).setTextColour(Colours::blue);
    add("GrpComms", "BtnOpenPort", ControlKind::Button, "&Open Com Port");
    add("", "CommsButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("CommsButtons", "BtnCommsProceed", ControlKind::Button, "  &Proceed");
    add("CommsButtons", "BtnCommsCancel", ControlKind::Button, "  &Cancel");

    setCloseControl("BtnCommsCancel");
    onChange("CboPort", [this] {
        dialog_.SelectPort(at("CboPort").selected());
        Sync();
    });
    onChange("CboBaud", [this] {
        dialog_.SelectSpeed(at("CboBaud").selected());
        Sync();
    });
    onChange("CboFormat", [this] {
        dialog_.SelectFormat(at("CboFormat").selected());
        Sync();
    });
    onClick("BtnOpenPort", [this] {
        dialog_.OpenClick();
        Sync();
    });
    onClick("BtnCommsProceed", [this] {
        dialog_.ProceedClick();
        Sync();
    });
    onClick("BtnCommsCancel", [this] {
        dialog_.CancelClick();
        Sync();
    });
}

void CommsSetupScreen::Activate() {
    dialog_.Activate();
    Sync();
}

void CommsSetupScreen::Tick() {
    if (!dialog_.TimerRunning())
        return;
    guarded([this] { dialog_.Tick(); });
    Sync();
}

void CommsSetupScreen::Sync() {
    const CommsSelection& s = dialog_.Selection();
    at("CboPort").setSelected(s.port);
    at("CboBaud").setSelected(s.speed);
    at("CboFormat").setSelected(s.format);
    at("CommsStatus").setText(dialog_.StatusText());
    at("BtnOpenPort").setEnabled(dialog_.OpenEnabled());
    at("BtnCommsProceed").setVisible(dialog_.ProceedVisible());
}

} // namespace linvar
