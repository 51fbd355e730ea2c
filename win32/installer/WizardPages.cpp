#include "win32/installer/WizardPages.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "installer/engine/EngineTexts.h"
#include "installer/engine/Operations.h"
#include "installer/package/Messages.h"
#include "installer/wizard/WizardIds.h"
#include "installer/wizard/core/WizardTexts.h"
#include "win32/installer/DibDisplay.h"
#include "win32/installer/EngineSystem.h"
#include "win32/installer/SetupState.h"
#include "win32/platform/Text.h"

namespace w32 {
namespace {

constexpr UINT kSplashTimer = 10;
constexpr UINT kSplashMs = 5000;
constexpr COLORREF kWelcomePanel = RGB(250, 250, 250);
constexpr COLORREF kHeadingColour = RGB(0, 0, 128);
constexpr int kWelcomePictureWidth = 164;
constexpr int kWelcomePanelBottom = 314;
constexpr int kBannerIconX = 487;
constexpr int kCompletionIconX = 437;
// Longer than any text an edit control holds.
constexpr std::size_t kLongestTypedText = 0x10000000;

// The pages' one font description: 12 pixels high, stroke precision,
// variable pitch, face 宋体.
HFONT MakePageFont(int weight)
{
    return CreateFontW(-12, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                       DRAFT_QUALITY, VARIABLE_PITCH | FF_DONTCARE, L"\x5B8B\x4F53");
}

// A picture of the program's resources, size × size pixels (0: its own
// size), in the default colours.
HANDLE LoadPageImage(UINT id, UINT type, int size)
{
    return LoadImageW(fw::ResourceInstance(), MAKEINTRESOURCEW(id), type, size, size, LR_DEFAULTCOLOR);
}

template <class T>
void DeleteGdiHandle(T& handle)
{
    if (handle) DeleteObject(handle);
    handle = nullptr;
}

// A page run modally; the pages that two places run are made in one.
template <class Page>
[[gnu::noinline]] INT_PTR RunPage(WizardServices& services)
{
    Page page(services);
    return page.DoModal();
}

} // namespace

// ---- CWizardPage ---------------------------------------------------------

CWizardPage::~CWizardPage() { ReleasePage(); }

void CWizardPage::PreparePage(unsigned parts)
{
    CDialog::OnInitDialog();
    if (parts & kBoldFont) boldFont_ = MakePageFont(FW_BOLD);
    normalFont_ = MakePageFont(FW_NORMAL);
    windowDc_ = GetDC(Hwnd());
    if (parts & kBanner) banner_ = static_cast<HBITMAP>(LoadPageImage(IDB_BANNER, IMAGE_BITMAP, 0));
    icon_ = static_cast<HICON>(LoadPageImage(IDR_MAINFRAME, IMAGE_ICON, 32));
    if (parts & kWindowIcon) {
        smallIcon_ = static_cast<HICON>(LoadPageImage(IDR_MAINFRAME, IMAGE_ICON, 16));
        Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_ ? smallIcon_ : icon_));
    }
    if (parts & kCaption) {
        char caption[vela::kPageTextSize];
        vela::MakePageCaption(services_.context, caption);
        SetText(caption);
    }
}

void CWizardPage::ReleasePage()
{
    DeleteGdiHandle(boldFont_);
    DeleteGdiHandle(normalFont_);
    DeleteGdiHandle(banner_);
    if (windowDc_) ReleaseDC(Hwnd(), windowDc_);
    windowDc_ = nullptr;
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    icon_ = smallIcon_ = nullptr;
}

void CWizardPage::DrawText(HDC dc, int x, int y, const char* gb2312, HFONT font, COLORREF colour)
{
    const WideText text(gb2312);
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, previous);
}

void CWizardPage::PaintBanner(BannerPage page, const char* line1, const char* line2)
{
    const bool step = page == BannerPage::Step;
    if (step && PaintMinimised()) return;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    // The banner at its own size, copied as it is.
    if (banner_) DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(banner_), 0, 0, 0, 0, 0, DST_BITMAP);
    if (icon_) DrawIconEx(dc, step ? kBannerIconX : kCompletionIconX, 14, icon_, 32, 32, 0, nullptr, DI_NORMAL);
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, 16, 14, line1, step ? boldFont_ : normalFont_, RGB(0, 0, 0));
    DrawText(dc, 16, 34, line2, normalFont_, RGB(0, 0, 0));
    EndPaint(Hwnd(), &ps);
}

bool CWizardPage::PaintMinimised()
{
    if (!IsIconic(Hwnd())) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Hwnd(), &client);
    const vela::IconOrigin origin =
        vela::MinimisedIconOrigin(client.right - client.left, client.bottom - client.top,
                                  GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    if (icon_) DrawIconEx(dc, origin.x, origin.y, icon_, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
    EndPaint(Hwnd(), &ps);
    return true;
}

INT_PTR CWizardPage::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint();
        return TRUE;
    case WM_DESTROY:
        ReleasePage();
        OnPageDestroyed();
        break;
    }
    return DialogProcDefault(message, wParam, lParam);
}

bool CWizardPage::ConfirmExit()
{
    const int answer = fw::CWnd::ShowMessage(vela::kMsgExitQuestion, vela::kCaptionExitQuestion,
                                             MB_YESNO | MB_DEFBUTTON2);
    return vela::ConfirmExit(services_.platform, services_.context, answer == IDYES);
}

// ---- CSplashDlg ----------------------------------------------------------

CSplashDlg::CSplashDlg(WizardServices& services) : CDialog(IDD_SPLASH), services_(services) {}

INT_PTR CSplashDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetTimer(Hwnd(), kSplashTimer, kSplashMs, nullptr);
        break;  // the default handling runs OnInitDialog
    case WM_TIMER:
        if (wParam != kSplashTimer) break;
        KillTimer(Hwnd(), kSplashTimer);
        EndDialog(IDOK);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Hwnd(), &ps);
        DrawBitmapFile(services_.platform, services_.context.splashBitmapPath, dc, 0, 0);
        EndPaint(Hwnd(), &ps);
        return TRUE;
    }
    }
    return DialogProcDefault(message, wParam, lParam);
}

// ---- CWelDlg -------------------------------------------------------------

bool CWelDlg::OnInitDialog()
{
    PreparePage(kBoldFont | kWindowIcon | kCaption);
    brush_ = CreateSolidBrush(kWelcomePanel);
    vela::MakeWelcomeHeading(services_.context, heading_);
    return true;
}

void CWelDlg::OnOK() { EndDialog(IDOK); }

void CWelDlg::OnCancel()
{
    if (ConfirmExit()) EndDialog(IDCANCEL);
}

bool CWelDlg::OnCommand(UINT id)
{
    if (id != IDC_WIZ_NEXT) return CWizardPage::OnCommand(id);
    EndDialog(IDOK);
    return true;
}

void CWelDlg::Paint()
{
    if (PaintMinimised()) return;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    DrawBitmapFile(services_.platform, services_.context.welcomeBitmapPath, dc, 0, 0);
    RECT panel;
    GetClientRect(Hwnd(), &panel);
    panel.left = kWelcomePictureWidth;
    panel.bottom = kWelcomePanelBottom;
    FillRect(dc, &panel, brush_);
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, 180, 16, heading_, boldFont_, kHeadingColour);
    DrawText(dc, 180, 40, vela::kWelcomeLine1, normalFont_, RGB(0, 0, 0));
    // The second line starts with a full-width quotation mark, so it begins
    // a little further left.
    DrawText(dc, 175, 58, vela::kWelcomeLine2, normalFont_, RGB(0, 0, 0));
    EndPaint(Hwnd(), &ps);
}

void CWelDlg::OnPageDestroyed()
{
    DeleteGdiHandle(brush_);
    // The pictures are used by the splash window and this page only.
    vela::DeletePictureFiles(services_.platform, services_.context);
}

// ---- CLicenseDlg ---------------------------------------------------------

bool CLicenseDlg::OnInitDialog()
{
    PreparePage(kBoldFont | kBanner | kWindowIcon);
    const vela::AgreementButtons buttons = vela::InitialAgreementButtons(services_.context);
    CheckRadioButton(Hwnd(), IDC_ACCEPT, IDC_DECLINE, buttons.checkedRadio);
    EnableWindow(Item(IDC_WIZ_NEXT), buttons.nextEnabled);

    auto texts = std::make_unique<vela::LicencePageTexts>();
    if (vela::LoadLicencePage(services_.platform, services_.context, *texts) != vela::LicenceLoad::Loaded) {
        fw::CWnd::ShowMessage(vela::kMsgLicenceScriptError, {}, MB_OK);
        return true;
    }
    SetItemText(IDC_LICENSE_TEXT, texts->text);
    SetText(texts->caption);
    std::memcpy(subtitle_, texts->subtitle, sizeof subtitle_);
    return true;
}

void CLicenseDlg::OnCancel()
{
    if (ConfirmExit()) PostQuitMessage(0);
}

bool CLicenseDlg::OnControlNotify(UINT id, UINT code, HWND control)
{
    if ((id == IDC_ACCEPT || id == IDC_DECLINE) && code == BN_CLICKED) {
        HWND next = Item(IDC_WIZ_NEXT);
        EnableWindow(next, vela::NextEnabledAfterClick(static_cast<int>(id), IsWindowEnabled(next) != FALSE));
        return true;
    }
    return CWizardPage::OnControlNotify(id, code, control);
}

bool CLicenseDlg::OnCommand(UINT id)
{
    if (id != IDC_WIZ_NEXT) return CWizardPage::OnCommand(id);
    EndDialog(IDOK);
    RunPage<CChangePath>(services_);
    return true;
}

void CLicenseDlg::Paint() { PaintBanner(BannerPage::Step, vela::kLicenceTitle, subtitle_); }

INT_PTR CLicenseDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYDRAGICON) {
        SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(Icon()));
        return TRUE;
    }
    return CWizardPage::DialogProc(message, wParam, lParam);
}

// ---- CChangePath ---------------------------------------------------------

bool CChangePath::OnInitDialog()
{
    PreparePage(kBoldFont | kBanner | kWindowIcon | kCaption);
    if (!vela::InitPathPage(services_.context)) EnableWindow(Item(IDC_WIZ_BACK), FALSE);
    SetItemText(IDC_PATH_EDIT, services_.context.installPath);
    return true;
}

void CChangePath::OnCancel()
{
    if (ConfirmExit()) PostQuitMessage(0);
}

bool CChangePath::OnCommand(UINT id)
{
    switch (id) {
    case IDC_WIZ_NEXT:
        Next();
        return true;
    case IDC_WIZ_BACK:
        if (services_.context.showWelcomePages) {
            EndDialog(IDOK);
            RunPage<CLicenseDlg>(services_);
        }
        return true;
    case IDC_BROWSE:
        Browse();
        return true;
    }
    return CWizardPage::OnCommand(id);
}

void CChangePath::Next()
{
    // The typed text as GB2312 whatever its length: the characters, then
    // their conversion at most two bytes each, in one block.
    HWND edit = Item(IDC_PATH_EDIT);
    const std::size_t length = static_cast<std::size_t>(std::max(GetWindowTextLengthW(edit), 0));
    void* block = length < kLongestTypedText ? std::malloc(length * 4 + 3) : nullptr;
    std::string_view typed;
    if (block) {
        auto* wide = static_cast<wchar_t*>(block);
        char* bytes = reinterpret_cast<char*>(wide + length + 1);
        const int got = GetWindowTextW(edit, wide, static_cast<int>(length) + 1);
        const int n = got > 0 ? WideCharToMultiByte(936, 0, wide, got, bytes, static_cast<int>(length) * 2 + 1,
                                                    nullptr, nullptr)
                              : 0;
        typed = std::string_view(bytes, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    const vela::PathCheck result =
        vela::AcceptInstallPath(services_.platform, services_.system, services_.context, typed);
    std::free(block);
    if (const char* message = vela::PathCheckMessage(result)) {
        fw::CWnd::ShowMessage(message, vela::kCaptionError, MB_OK);
        return;
    }
    EndDialog(IDOK);
    CSetupState progress(services_);
    progress.DoModal();
}

void CChangePath::Browse()
{
    const WideText title(vela::kBrowseTitle);
    BROWSEINFOW info{};
    info.hwndOwner = Hwnd();
    info.pidlRoot = FindBrowseRoot();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (chosen) {
        wchar_t path[MAX_PATH];
        if (SHGetPathFromIDListW(chosen, path)) {
            // At most two bytes a character: any folder name fits.
            char chosenText[2 * MAX_PATH];
            const int n = WideCharToMultiByte(936, 0, path, static_cast<int>(wcsnlen(path, MAX_PATH)), chosenText,
                                              static_cast<int>(sizeof chosenText), nullptr, nullptr);
            if (vela::ApplyBrowsedFolder(services_.context, std::string_view(chosenText, n > 0 ? n : 0)))
                SetItemText(IDC_PATH_EDIT, services_.context.installPath);
            else
                fw::CWnd::ShowMessage(vela::kMsgPathWrong, vela::kCaptionError, MB_OK);
        }
        CoTaskMemFree(chosen);
    }
    if (info.pidlRoot) CoTaskMemFree(const_cast<LPITEMIDLIST>(info.pidlRoot));
}

void CChangePath::Paint() { PaintBanner(BannerPage::Step, vela::kPathTitle, vela::kPathSubtitle); }

LPITEMIDLIST FindBrowseRoot()
{
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
    const WideText wanted(vela::kBrowseRootName);
    LPITEMIDLIST found = nullptr;
    IEnumIDList* items = nullptr;
    if (desktop->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) == S_OK && items) {
        LPITEMIDLIST item = nullptr;
        while (!found && items->Next(1, &item, nullptr) == S_OK) {
            STRRET name;
            wchar_t text[MAX_PATH];
            if (SUCCEEDED(desktop->GetDisplayNameOf(item, SHGDN_NORMAL, &name)) &&
                SUCCEEDED(StrRetToBufW(&name, item, text, MAX_PATH)) && std::wcscmp(wanted.c_str(), text) == 0)
                found = item;
            else
                CoTaskMemFree(item);
        }
        items->Release();
    }
    desktop->Release();
    return found;
}

// ---- CComplete -----------------------------------------------------------

bool CComplete::OnInitDialog()
{
    PreparePage(kBanner);
    return true;
}

void CComplete::Fill()
{
    vela::LoadCompletionPage(services_.platform, services_.context, texts_);
    SetItemText(IDC_RUN_CHECK, texts_.checkCaption);
    SendDlgItemMessageW(Hwnd(), IDC_RUN_CHECK, BM_SETCHECK, texts_.runChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CComplete::OnCommand(UINT id)
{
    if (id != IDC_COMPLETE_OK) return CWizardPage::OnCommand(id);
    const bool runChecked = SendDlgItemMessageW(Hwnd(), IDC_RUN_CHECK, BM_GETCHECK, 0, 0) == BST_CHECKED;
    char command[vela::kRunCommandSize];
    if (vela::PrepareRunCommand(services_.platform, services_.context, texts_, runChecked, command))
        StartCommandLine(vela::ResolveCommandLine(services_.system, command));
    PostQuitMessage(0);
    return true;
}

void CComplete::Paint() { PaintBanner(BannerPage::Completion, texts_.message, vela::kCompletionLine2); }

INT_PTR CComplete::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHOWWINDOW && wParam && !filled_) {
        filled_ = true;
        Fill();
    }
    return CWizardPage::DialogProc(message, wParam, lParam);
}

void StartCommandLine(const vela::ProcessCommand& command) { RunCommand(command, SW_SHOW, false, 0, nullptr); }

// ---- CWizardPages --------------------------------------------------------

void CWizardPages::RunPathPageAsMain() { RunPage<CChangePath>(services_); }

void CWizardPages::RunSplash()
{
    CSplashDlg splash(services_);
    splash.DoModal();
}

bool CWizardPages::RunWelcome()
{
    CWelDlg welcome(services_);
    return welcome.DoModal() == IDOK;
}

void CWizardPages::RunLicenceAsMain() { RunPage<CLicenseDlg>(services_); }

} // namespace w32
