#include "painter/app/MyApp.h"

#include "painter/app/Dialogs.h"
#include "painter/app/MainFrame.h"
#include "painter/app/MyDoc.h"
#include "painter/app/MyView.h"
#include "painter/app/resource.h"
#include "painter/image/Platform.h"
#include "win32/platform/PainterFiles.h"
#include "win32/platform/Text.h"

#include <commctrl.h>

#include <memory>

namespace {

constexpr int kSplashWidth = 400;
constexpr int kSplashHeight = 250;
constexpr DWORD kSplashMs = 1000;
const wchar_t kFrameClass[] = L"RelievoFrame";

// The image core's messages, through the framework's message boxes owned by
// the main window.
class CAppMessages final : public rv::IMessageBox {
public:
    void Show(std::string_view text) override
    {
        const fw::CWinApp* app = fw::GetApp();
        HWND owner = app && app->MainFrame() ? app->MainFrame()->Hwnd() : nullptr;
        fw::ShowMessage(owner, text);
    }
};

} // namespace

void CMyApp::ShowSplash()
{
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    HBITMAP picture = LoadBitmapW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDB_SPLASH));
    if (picture) {
        const int x = (desktop.right - desktop.left - kSplashWidth) / 2;
        const int y = (desktop.bottom - desktop.top - kSplashHeight) / 2;
        DrawStateW(screen, nullptr, nullptr, reinterpret_cast<LPARAM>(picture), 0, x, y, kSplashWidth, kSplashHeight,
                   DST_BITMAP);
        DeleteObject(picture);
    }
    ReleaseDC(nullptr, screen);
    Sleep(kSplashMs);
}

bool CMyApp::InitInstance()
{
    static CAppMessages messages;
    static w32::CWin32FileOpener files;
    rv::SetMessageBox(&messages);
    rv::SetFileOpener(&files);
    fw::SetDefaultCaption("Relievo");
    SetAppName("Relievo");

    ShowSplash();

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);

    HICON icon = LoadIconW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    if (!fw::RegisterWindowClass(kFrameClass, CS_DBLCLKS, icon)) return false;
    auto frame = std::make_unique<CMainFrame>(platform_);
    frame->SetDocument(std::make_unique<CMyDoc>());
    fw::CreateArgs args;
    args.className = kFrameClass;
    if (!frame->LoadFrame(IDR_MAINFRAME, args)) return false;
    platform_.SetOwner(frame->Hwnd());
    CMainFrame* main = frame.get();
    SetMainFrame(std::move(frame));

    // The command line: a file to open, or else a new document.
    const std::vector<std::string> words = w32::CommandLineWords();
    const bool ready = words.size() > 1 ? OpenDocumentFile(words[1]) : main->GetDocument()->OnNewDocument();
    if (!ready) return false;
    main->InitialUpdateFrame();
    main->Show(SW_SHOWMAXIMIZED);
    UpdateWindow(main->Hwnd());
    // The floating panel came up with the view, while the frame was hidden;
    // it goes above the frame that owns it now that the frame is shown.
    if (CMyView* view = main->DrawingView())
        if (HWND panel = view->PanelWindow().Hwnd()) {
            const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
            SetWindowPos(panel, HWND_TOPMOST, 0, 0, 0, 0, keep);
            SetWindowPos(panel, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
        }
    return true;
}

bool CMyApp::OnCommand(UINT id)
{
    if (id == ID_APP_ABOUT) {
        CAboutDlg about;
        about.DoModal(MainFrame() ? MainFrame()->Hwnd() : nullptr);
        return true;
    }
    return CWinApp::OnCommand(id);
}

bool CMyApp::UpdateCommand(UINT id, fw::CommandState& state)
{
    if (id == ID_APP_ABOUT) {
        state.enabled = true;
        return true;
    }
    return CWinApp::UpdateCommand(id, state);
}
