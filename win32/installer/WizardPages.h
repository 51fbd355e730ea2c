#pragma once
// The installer's pages as dialogs of the framework layer: splash, welcome,
// licence, install path and completion (the progress page is in
// SetupState.h). Each page ends itself and runs the next one modally from
// its own button handler, so page runs nest; the quit message unwinds them
// all. The pages' logic is portable (installer/wizard/core); here are the
// windows: templates, fonts, painting, controls and message boxes.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "installer/engine/System.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"
#include "installer/package/Startup.h"
#include "installer/wizard/core/PageLogic.h"
#include "win32/framework/Dialog.h"

namespace w32 {

// What every page works with: the system services and the installer's state.
struct WizardServices {
    vela::IPlatform& platform;
    vela::IEngineSystem& system;
    vela::InstallContext& context;
};

// The common part of the welcome, licence, path and completion pages: the
// fonts of the pages (宋体, 12 pixels high, bold 700 and normal 400), the
// kept window device context, the page icon, the banner and its painting,
// the minimised look, the exit confirmation.
class CWizardPage : public fw::CDialog {
public:
    CWizardPage(UINT templateId, WizardServices& services) : CDialog(templateId), services_(services) {}
    ~CWizardPage() override;

protected:
    // What a page prepares besides the normal font, the device context and
    // the page icon.
    enum PagePart : unsigned {
        kBoldFont = 1,
        kBanner = 2,
        kWindowIcon = 4,  // icon 128 as the window's big and small icon
        kCaption = 8,     // the program's name and the install suffix as caption
    };
    // Runs the dialog's own initialisation, creates the fonts, keeps a device
    // context of the window and loads the page icon, with the parts asked.
    void PreparePage(unsigned parts);
    // Releases the fonts, the device context, the banner.
    void ReleasePage();
    // The banner pages: a step of the install (licence, path) has its icon
    // at x 487, line 1 in bold and a minimised look; the completion page its
    // icon at x 437, line 1 in the normal font and no minimised look.
    enum class BannerPage { Step, Completion };
    // Paints the page: the banner at (0,0), the icon at (x,14), line 1 at
    // (16,14) and line 2 at (16,34), transparent, black; while minimised, a
    // step's minimised look instead.
    void PaintBanner(BannerPage page, const char* line1, const char* line2);
    // While minimised: the icon centred on the erased icon background.
    // False when the page is not minimised.
    bool PaintMinimised();
    // Text at a point in one of the page's fonts.
    void DrawText(HDC dc, int x, int y, const char* gb2312, HFONT font, COLORREF colour);
    // "你确定想退出安装程序吗？" ("退出询问", Yes/No, No the default, no icon);
    // on Yes the temporary script is deleted and the result is true.
    bool ConfirmExit();
    // The page icon (32 × 32).
    HICON Icon() const { return icon_; }
    // WM_PAINT paints the page; WM_DESTROY releases the common part, then
    // what the page holds besides; the rest takes the default handling.
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void Paint() = 0;
    virtual void OnPageDestroyed() {}

    WizardServices& services_;
    HFONT boldFont_ = nullptr;
    HFONT normalFont_ = nullptr;
    HDC windowDc_ = nullptr;
    HBITMAP banner_ = nullptr;

private:
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

// Splash window (template 155): the splash picture for 5 seconds.
class CSplashDlg final : public fw::CDialog {
public:
    explicit CSplashDlg(WizardServices& services);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    WizardServices& services_;
};

// Welcome page (template 146).
class CWelDlg final : public CWizardPage {
public:
    explicit CWelDlg(WizardServices& services) : CWizardPage(146, services) {}

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(UINT id) override;

private:
    void Paint() override;
    void OnPageDestroyed() override;
    HBRUSH brush_ = nullptr;
    char heading_[vela::kPageTextSize] = {};
};

// Licence page (template 102).
class CLicenseDlg final : public CWizardPage {
public:
    explicit CLicenseDlg(WizardServices& services) : CWizardPage(102, services) {}

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    bool OnControlNotify(UINT id, UINT code, HWND control) override;
    bool OnCommand(UINT id) override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint() override;
    char subtitle_[vela::kPageTextSize] = {};
};

// Install-path page (template 130).
class CChangePath final : public CWizardPage {
public:
    explicit CChangePath(WizardServices& services) : CWizardPage(130, services) {}

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    bool OnCommand(UINT id) override;

private:
    void Paint() override;
    void Next();
    void Browse();
};

// Completion page (template 131).
class CComplete final : public CWizardPage {
public:
    explicit CComplete(WizardServices& services) : CWizardPage(131, services) {}

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id) override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint() override;
    void Fill();
    vela::CompletionTexts texts_;
    bool filled_ = false;
};

// The pages the start-up runs.
class CWizardPages final : public vela::IWizardPages {
public:
    explicit CWizardPages(WizardServices& services) : services_(services) {}
    void RunPathPageAsMain() override;
    void RunSplash() override;
    bool RunWelcome() override;
    void RunLicenceAsMain() override;

private:
    WizardServices& services_;
};

// The folder browser's root: the desktop's item named "我的电脑", or the
// desktop itself (nullptr) when there is none. The caller frees it.
LPITEMIDLIST FindBrowseRoot();

// Starts a program with show state 5, reporting nothing; without a program
// name the system finds it in the command line.
void StartCommandLine(const vela::ProcessCommand& command);

} // namespace w32
