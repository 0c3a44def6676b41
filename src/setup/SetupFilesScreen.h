#pragma once
// The "Save System Setup" dialog: the four set-up files and the auto-log settings.

#include "setup/SystemSetup.h"
#include "ui/Screen.h"

#include <filesystem>

namespace linvar {

class SetupFilesScreen : public Screen {
public:
    SetupFilesScreen(SystemSetup& setup, std::filesystem::path programDir);

    // Opening: the lists show the running settings, the status line the loaded file.
    void Activate();
    bool Closed() const { return closed_; }

private:
    void FillAutoLog();

    SystemSetup& setup_;
    std::filesystem::path programDir_;
    bool closed_ = true;
};

} // namespace linvar
