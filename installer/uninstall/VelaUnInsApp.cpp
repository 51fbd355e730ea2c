// VelaUnInsApp.exe: removes an installed program. Its one argument is the
// file log the installer wrote; the Uninstall entry and the uninstall
// shortcut hand it over unquoted, so it may hold blanks.
#include <windows.h>

#include "installer/uninstall/SilentUninstall.h"
#include "installer/uninstall/Uninstall.h"
#include "win32/installer/UninstallSystem.h"
#include "win32/platform/Text.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Work from the Windows folder: a process's current folder cannot be
    // removed, and it might be the install folder.
    wchar_t windows[MAX_PATH] = {};
    if (GetWindowsDirectoryW(windows, MAX_PATH) > 0) SetCurrentDirectoryW(windows);

    w32::CUninstallSystem system;
    const std::string commandLine = w32::Narrow(GetCommandLineW());
    std::string argument = vela::UninstallArgument(commandLine);
    // "/S <file log>": no question, no report; the exit code tells.
    if (vela::TakeSilentSwitch(argument)) {
        vela::CSilentUninstallSystem silent(system);
        return static_cast<int>(vela::RunUninstall(silent, argument));
    }
    return static_cast<int>(vela::RunUninstall(system, argument));
}
