#pragma once
// The installer's silent run on Windows: the switches from the program's
// wide command line, the UTF-8 log file, and the run itself over the Win32
// services with every message box turned into a log line.
#include <cstdint>

#include "installer/engine/System.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"
#include "installer/wizard/core/SilentInstall.h"

namespace w32 {

// Reads the switches of the running program; true when "/S" is among them.
// A command line with characters that GB2312 cannot hold counts as a bad
// switch in a silent run.
bool ReadSilentSwitches(vela::SilentSwitches& switches);

// The whole silent run; returns the program's exit code.
int RunSilentInstall(vela::IPlatform& system, vela::IEngineSystem& engine, vela::InstallContext& context,
                     std::uint64_t packageOffset, const vela::SilentSwitches& switches);

} // namespace w32
