#include "setup/SetupFilesScreen.h"

#include "setup/SetupFile.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"

#include <vector>

namespace linvar {

SetupFilesScreen::SetupFilesScreen(SystemSetup& setup, std::filesystem::path programDir)
    : Screen("Ssave1", "Save System Setup"), setup_(setup), programDir_(std::move(programDir)) {
    setHelpTopic(2);
    add("", "GrpSave", ControlKind::Group, "Save System Setup");
    add("GrpSave", "SaveHint1", ControlKind::Label,
        "Click on <Save File> to save the System Layout, Modem and Transceiver addresses, and "
        "AutoLog settings on to disk")
        .setTextColour(Colours::blue);
    add("GrpSave", "SaveHint2", ControlKind::Label,
        "The System Setup may be saved in one of four data files")
        .setTextColour(Colours::blue);
    add("GrpSave", "FileRow", ControlKind::Panel).setLayout(Layout::Row);
    add("FileRow", "LblFileName", ControlKind::Label, "File Name:");
    std::vector<std::string> files(SystemSetup::SetupFileEntries().begin(),
                                   SystemSetup::SetupFileEntries().end());
    add("FileRow", "CboFile", ControlKind::Combo).setItems(files);
    add("GrpSave", "SaveStatus", ControlKind::Label);
    add("GrpSave", "SaveNote", ControlKind::Label,
        "Filename is saved for automatic upload on start of program");
    add("GrpSave", "SaveConfirm", ControlKind::Label)
        .setTextColour(Colours::blue)
        .setVisible(false);
    add("GrpSave", "SaveButtons", ControlKind::Panel).setLayout(Layout::Row);
    add("SaveButtons", "BtnSaveFile", ControlKind::Button, "&Save File");
    add("SaveButtons", "BtnLoadFile", ControlKind::Button, "&Load File");

    add("", "GrpAutoLog", ControlKind::Group, "Auto Log");
    add("GrpAutoLog", "ChkAutoLog", ControlKind::Check, "Automatic Log (enabled when checked)");
    add("GrpAutoLog", "AlRow", ControlKind::Panel).setLayout(Layout::Row);
    add("AlRow", "LblInterval", ControlKind::Label, "Interval");
    std::vector<std::string> intervals(SystemSetup::AutoLogIntervalEntries().begin(),
                                       SystemSetup::AutoLogIntervalEntries().end());
    add("AlRow", "CboInterval", ControlKind::Combo).setItems(intervals);
    add("AlRow", "LblOffset", ControlKind::Label, "Offset");
    add("AlRow", "CboOffset", ControlKind::Combo);
    add("GrpAutoLog", "AlNote", ControlKind::Label,
        "Use the Link Edit Mode to enable/disable the Modems in a Link for AutoLog ");
    add("", "BtnSaveClose", ControlKind::Button, "&Close");

    setCloseControl("BtnSaveClose");
    onChange("CboFile", [this] {
        const std::string name = at("CboFile").selectedText();
        if (!name.empty())
            setup_.SetupFileName = name;
        at("SaveConfirm").setVisible(false);
    });
    onClick("BtnSaveFile", [this] {
        SaveSetup(setup_, programDir_);
        at("CboFile").selectText(setup_.SetupFileName);
        at("SaveConfirm")
            .setText("System data saved in file:" + at("CboFile").selectedText())
            .setVisible(true);
    });
    onClick("BtnLoadFile", [this] {
        // A slot never saved would empty the installation and be named for the next start.
        if (!TextFile::exists(SetupFilePath(setup_.SetupFileName, programDir_)))
            throw UserError("File not found:" + at("CboFile").selectedText() +
                            "; the system setup in use is kept");
        LoadSetup(setup_, programDir_);
        setup_.RecomputeAnyEndActive();
        at("SaveStatus")
            .setText(at("CboFile").selectedText() +
                     " system file data now loaded; Summary screen not updated until <Close>");
        FillAutoLog();
        WriteSetupFileName(setup_, programDir_);
    });
    onChange("ChkAutoLog", [this] { setup_.AutoLogEnabled = at("ChkAutoLog").checked(); });
    onChange("CboInterval", [this] {
        setup_.ChooseAutoLogInterval(at("CboInterval").selected());
        FillAutoLog();
    });
    onChange("CboOffset", [this] { setup_.ChooseAutoLogOffset(at("CboOffset").selected()); });
    onClick("BtnSaveClose", [this] { closed_ = true; });
}

void SetupFilesScreen::FillAutoLog() {
    at("ChkAutoLog").setChecked(setup_.AutoLogEnabled);
    at("CboInterval").setSelected(setup_.AutoLogIntervalIndex);
    at("CboOffset").setItems(setup_.AutoLogOffsetList()).setSelected(setup_.AutoLogOffsetEntry());
}

void SetupFilesScreen::Activate() {
    closed_ = false;
    FillAutoLog();
    at("CboFile").selectText(setup_.SetupFileName);
    at("SaveStatus").setText(setup_.SetupFileName + " system file data currently loaded");
    at("SaveConfirm").setVisible(false);
}

} // namespace linvar
