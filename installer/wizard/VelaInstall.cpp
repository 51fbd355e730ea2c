// VelaInstall.exe: the self-extracting installer stub. It runs the start-up
// over the Win32 services with the package that the build appends at the
// compiled-in package offset; the start-up runs the wizard pages, which
// install.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "installer/package/InstallContext.h"
#include "installer/package/Startup.h"
#include "installer/wizard/PackageOffset.h"
#include "win32/framework/Wnd.h"
#include "win32/installer/DllSafety.h"
#include "win32/installer/EngineSystem.h"
#include "win32/installer/PackageSystem.h"
#include "win32/installer/SilentInstall.h"
#include "win32/installer/WizardPages.h"

// The stub never reports why it terminates; the standard handler would pull
// the C++ name demangler (about 45 KB) into the program for that.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything is loaded on demand: a DLL planted beside a downloaded
    // installer must never be the one that runs.
    w32::RestrictDllSearchToSystemFolder();

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    // Messages without a caption of their own carry the program's name.
    fw::SetDefaultCaption("VelaInstall");

    w32::CPackageSystem system;
    w32::CEngineSystem engine;
    vela::InstallContext& context = vela::TheInstallContext();
    // "/S": the same start-up and worker without a window; the result is
    // the exit code. Without it the command line is not looked at.
    int exitCode = 0;
    vela::SilentSwitches switches;
    if (w32::ReadSilentSwitches(switches)) {
        exitCode = w32::RunSilentInstall(system, engine, context, vela::PackageOffset(), switches);
    } else {
        w32::WizardServices services{system, engine, context};
        w32::CWizardPages pages(services);
        vela::RunStartup(system, pages, context, vela::PackageOffset());
    }

    // The pages delete the temporary files they use; a start-up that ended
    // early, or a quit from outside, may have left some.
    for (const char* path : {context.scriptFilePath, context.welcomeBitmapPath, context.splashBitmapPath})
        if (path[0] != '\0') system.RemoveFile(path);
    return exitCode;
}
