#pragma once
// The installer's start-up: fills the InstallContext from the package
// appended to the program, extracts the script and the pictures into the
// temporary folder and runs the first wizard pages.
#include <cstdint>

#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"

namespace vela {

// The wizard pages the start-up runs; each call returns when the page's
// modal run (and every page it led to) has returned.
class IWizardPages {
public:
    virtual ~IWizardPages() = default;
    // The install-path page as the program's main window (no welcome pages).
    virtual void RunPathPageAsMain() = 0;
    // The splash window, which closes itself after 5 seconds.
    virtual void RunSplash() = 0;
    // The welcome page; true when it ended with Next, false with Cancel.
    virtual bool RunWelcome() = 0;
    // The licence page as the main window; it leads on to the path,
    // progress and completion pages.
    virtual void RunLicenceAsMain() = 0;
};

// How the start-up ended; the program ends in every case.
enum class StartupEnd {
    SocketsFailed,       // "Windows 套接字初始化失败。"
    PackageUnreadable,   // "读取安装包时发生错误!!!"
    PackageDamaged,      // "安装包已损坏，无法安装!"
    PackageCorrupt,      // "安装包已损坏，请重新下载。": the integrity trailer does not match
    ScriptUnreadable,    // "读取安装包时发生错误!"
    PicturesUnreadable,  // "初始化安装数据文件出错!"
    PathPageRun,         // no welcome pages: the path page ran
    WelcomeCancelled,    // the welcome page ended with Cancel
    WizardRun,           // the licence page and its successors ran
};

// The start-up sequence from the sockets start-up to the last page. The
// package lies at packageOffset in the program's own file; it is checked
// before anything is extracted (against its integrity trailer first, when it
// has one), and a damaged one is refused with a single
// message and leaves nothing behind.
StartupEnd RunStartup(IPlatform& sys, IWizardPages& pages, InstallContext& ctx, std::uint64_t packageOffset);

} // namespace vela
