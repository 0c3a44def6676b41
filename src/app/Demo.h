#pragma once
// The station's side of the demo: a fresh folder with the sample installation's set-up
// file and comms settings. The simulator serving it is started by the program (it
// reads the same set-up file), with COM 1 mapped to its pseudo-terminal.

#include "setup/SystemSetup.h"

#include <filesystem>

namespace linvar {

inline constexpr int DemoComPort = 1;

// The sample installation: six links, one logged, a 1:1 pair, switch 1 with its
// redundant modem, delays of 50 ms, time-outs of 2 s, auto-logging every 10 minutes.
SystemSetup DemoSetup();

// Writes SysSetup.txt, SetFname.txt and comms.txt ("1,9600,0") into dir. UserError on
// a failed write.
void WriteDemoFiles(const std::filesystem::path& dir);

// A new folder "linvar-demo-XXXXXX" in parent (default: $XDG_RUNTIME_DIR, else the
// temporary folder) holding the demo files. UserError when it cannot be made.
std::filesystem::path MakeDemoFolder(const std::filesystem::path& parent = {});

} // namespace linvar
