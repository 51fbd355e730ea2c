// VelaInstall.exe: the self-extracting installer stub. It runs the start-up
// over the Win32 services with the package that the build appends at the
// compiled-in package offset.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "installer/package/InstallContext.h"
#include "installer/package/Startup.h"
#include "installer/wizard/PackageOffset.h"
#include "win32/installer/PackageSystem.h"

// The stub never reports why it terminates; the standard handler would pull
// the C++ name demangler (about 45 KB) into the program for that.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx

namespace {

// The wizard pages come with the wizard; until then the installer only
// checks and unpacks its package and ends after the first page would run.
class CPendingPages final : public vela::IWizardPages {
public:
    void RunPathPageAsMain() override {}
    void RunSplash() override {}
    bool RunWelcome() override { return false; }
    void RunLicenceAsMain() override {}
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    w32::CPackageSystem system;
    CPendingPages pages;
    vela::InstallContext& context = vela::TheInstallContext();
    vela::RunStartup(system, pages, context, vela::PackageOffset());

    // The pages delete the temporary files they use; without them, do it here.
    for (const char* path : {context.scriptFilePath, context.welcomeBitmapPath, context.splashBitmapPath})
        if (path[0] != '\0') system.RemoveFile(path);
    return 0;
}
