// CWinApp: the message loop with idle update, the application's commands,
// the registry profile and the recent-file list.
#include "win32/framework/App.h"

#include "win32/framework/Common.h"
#include "win32/framework/FrameworkIds.h"
#include "win32/platform/Text.h"

#include <algorithm>

namespace fw {

namespace {

CWinApp* g_app = nullptr;

const wchar_t kRecentSection[] = L"Recent File List";

// Paths compare without regard to letter case (as the file system does).
bool SamePath(std::string_view a, std::string_view b)
{
    const std::wstring wa = w32::Widen(a), wb = w32::Widen(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}

std::wstring RecentValueName(int index) { return L"File" + std::to_wstring(index + 1); }

// A message that should bring an idle update after it (not the timer,
// painting or a mouse move that did not move).
bool IsIdleMessage(const MSG& msg)
{
    static POINT lastMouse{-1, -1};
    static UINT lastMessage = 0;
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
        if (lastMessage == msg.message && lastMouse.x == msg.pt.x && lastMouse.y == msg.pt.y) return false;
        lastMouse = msg.pt;
        lastMessage = msg.message;
        return true;
    }
    lastMessage = msg.message;
    return msg.message != WM_PAINT && msg.message != 0x0118 /* the caret blink timer */ && msg.message != WM_TIMER;
}

} // namespace

// ---- CRecentFileList ----

void CRecentFileList::Add(std::string_view text)
{
    const std::string path(text); // text may live in this very list
    if (path.empty() || size_ <= 0) return;
    files_.erase(std::remove_if(files_.begin(), files_.end(), [&](const std::string& f) { return SamePath(f, path); }),
                 files_.end());
    files_.insert(files_.begin(), path);
    if (static_cast<int>(files_.size()) > size_) files_.resize(static_cast<std::size_t>(size_));
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < Count()) files_.erase(files_.begin() + index);
}

void CRecentFileList::ReadList(HKEY appKey)
{
    files_.clear();
    HKEY section = nullptr;
    if (!appKey || RegOpenKeyExW(appKey, kRecentSection, 0, KEY_READ, &section) != ERROR_SUCCESS) return;
    for (int i = 0; i < size_; ++i) {
        wchar_t value[1024];
        DWORD bytes = sizeof value - sizeof(wchar_t);
        DWORD type = 0;
        if (RegQueryValueExW(section, RecentValueName(i).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                             &bytes) != ERROR_SUCCESS ||
            type != REG_SZ)
            continue;
        value[bytes / sizeof(wchar_t)] = L'\0';
        const std::string path = w32::Narrow(value);
        if (!path.empty() && std::none_of(files_.begin(), files_.end(), [&](const std::string& f) { return SamePath(f, path); }))
            files_.push_back(path);
    }
    RegCloseKey(section);
}

void CRecentFileList::WriteList(HKEY appKey) const
{
    if (!appKey) return;
    // The section is written afresh: entries that left the list leave the profile.
    RegDeleteKeyW(appKey, kRecentSection);
    if (files_.empty()) return;
    HKEY section = nullptr;
    if (RegCreateKeyExW(appKey, kRecentSection, 0, nullptr, 0, KEY_WRITE, nullptr, &section, nullptr) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < Count(); ++i) {
        const std::wstring value = w32::Widen(files_[static_cast<std::size_t>(i)]);
        RegSetValueExW(section, RecentValueName(i).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(section);
}

void CRecentFileList::UpdateMenu(HMENU menu) const
{
    // The first recent-file item stays (it becomes the placeholder again
    // when the list is empty); the others are rebuilt.
    int first = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id < FW_ID_FILE_MRU_FILE1 || id > FW_ID_FILE_MRU_LAST) continue;
        if (first < 0) {
            first = i;
        } else {
            DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
            --i;
        }
    }
    if (first < 0) return;
    if (placeholder_.empty()) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(first), text, 255, MF_BYPOSITION);
        placeholder_ = text[0] && text[0] != L'&' ? text : L"最近文件";
    }
    if (files_.empty()) {
        ModifyMenuW(menu, static_cast<UINT>(first), MF_BYPOSITION | MF_STRING | MF_GRAYED, FW_ID_FILE_MRU_FILE1,
                    placeholder_.c_str());
        return;
    }
    for (int i = 0; i < Count(); ++i) {
        // "&1 path", with any & of the path doubled so it is shown.
        std::wstring label = L"&" + std::to_wstring(i + 1) + L" ";
        for (wchar_t c : w32::Widen(files_[static_cast<std::size_t>(i)])) {
            if (c == L'&') label += L'&';
            label += c;
        }
        const UINT id = FW_ID_FILE_MRU_FILE1 + static_cast<UINT>(i);
        if (i == 0)
            ModifyMenuW(menu, static_cast<UINT>(first), MF_BYPOSITION | MF_STRING | MF_ENABLED, id, label.c_str());
        else
            InsertMenuW(menu, static_cast<UINT>(first + i), MF_BYPOSITION | MF_STRING | MF_ENABLED, id, label.c_str());
    }
}

// ---- CWinApp ----

CWinApp::CWinApp()
{
    g_app = this;
    appName_ = DefaultCaption();
}

CWinApp::~CWinApp()
{
    frame_.reset();
    if (g_app == this) g_app = nullptr;
}

CWinApp* GetApp() { return g_app; }

int CWinApp::Main()
{
    if (!InitInstance()) {
        if (frame_ && frame_->Hwnd()) frame_->Destroy();
        ExitInstance();
        return 0;
    }
    Run();
    return ExitInstance();
}

bool CWinApp::InitInstance() { return true; }

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return exitCode_;
}

bool CWinApp::PreTranslateMessage(MSG& msg)
{
    if (frame_ && frame_->TranslateKeys(msg)) return true;
    return IsModelessDialogMessage(msg);
}

int CWinApp::Run()
{
    long idleCount = 0;
    bool idle = true;
    MSG msg;
    for (;;) {
        while (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            exitCode_ = got == 0 ? static_cast<int>(msg.wParam) : -1;
            return exitCode_;
        }
        if (!PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg)) {
            idle = true;
            idleCount = 0;
        }
    }
}

bool CWinApp::OnIdle(long count)
{
    if (count == 0 && frame_) frame_->OnIdleUpdate();
    return false;
}

bool CWinApp::OnCommand(UINT id)
{
    switch (id) {
    case FW_ID_APP_EXIT:
        if (frame_ && frame_->Hwnd()) frame_->Post(WM_CLOSE);
        return true;
    case FW_ID_FILE_NEW:
        if (frame_ && frame_->GetDocument()) frame_->GetDocument()->OnNewDocument();
        return true;
    case FW_ID_FILE_OPEN: {
        OpenFileArgs args;
        args.owner = frame_ ? frame_->Hwnd() : nullptr;
        args.filter = w32::Narrow(L"所有文件 (*.*)|*.*");
        std::string path;
        if (OpenFileDialog(args, path) == FileDialogResult::Chosen) OpenDocumentFile(path);
        return true;
    }
    default:
        break;
    }
    if (id >= FW_ID_FILE_MRU_FILE1 && id <= FW_ID_FILE_MRU_LAST && recent_) {
        const int index = static_cast<int>(id - FW_ID_FILE_MRU_FILE1);
        // A copy: opening reorders the list the entry lives in.
        if (index < recent_->Count()) OpenDocumentFile(std::string((*recent_)[index]));
        return true;
    }
    return false;
}

bool CWinApp::UpdateCommand(UINT id, CommandState& state)
{
    switch (id) {
    case FW_ID_APP_EXIT:
    case FW_ID_FILE_NEW:
    case FW_ID_FILE_OPEN:
        state.enabled = true;
        return true;
    default:
        break;
    }
    if (id >= FW_ID_FILE_MRU_FILE1 && id <= FW_ID_FILE_MRU_LAST) {
        state.enabled = recent_ && static_cast<int>(id - FW_ID_FILE_MRU_FILE1) < recent_->Count();
        return true;
    }
    return false;
}

bool CWinApp::OpenDocumentFile(std::string_view text)
{
    const std::string path(text); // text may live in the recent-file list
    CDocument* doc = frame_ ? frame_->GetDocument() : nullptr;
    if (doc && doc->OnOpenDocument(path)) {
        AddToRecentFileList(path);
        return true;
    }
    if (recent_) {
        for (int i = 0; i < recent_->Count(); ++i)
            if (SamePath((*recent_)[i], path)) {
                recent_->Remove(i);
                SaveStdProfileSettings();
                break;
            }
    }
    ShowMessage(frame_ ? frame_->Hwnd() : nullptr, w32::Narrow(L"无法打开文件 ") + path, {},
                MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CWinApp::SetMainFrame(std::unique_ptr<CFrameWnd> frame) { frame_ = std::move(frame); }

bool CWinApp::CreateDocumentFrame(std::unique_ptr<CFrameWnd> frame, std::unique_ptr<CDocument> document,
                                  UINT resourceId, const CreateArgs& args)
{
    if (!frame || !document || !document->OnNewDocument()) return false;
    frame->SetDocument(std::move(document));
    if (!frame->LoadFrame(resourceId, args)) return false;
    frame_ = std::move(frame);
    frame_->InitialUpdateFrame();
    return true;
}

void CWinApp::SetAppName(std::string_view name)
{
    appName_.assign(name);
    SetDefaultCaption(name);
}

void CWinApp::SetRegistryKey(std::string_view company) { company_.assign(company); }

HKEY CWinApp::OpenAppKey(bool write) const
{
    if (company_.empty() || appName_.empty()) return nullptr;
    const std::wstring path = L"Software\\" + w32::Widen(company_) + L"\\" + w32::Widen(appName_);
    HKEY key = nullptr;
    const LONG status = write ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                                nullptr, &key, nullptr)
                              : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    return status == ERROR_SUCCESS ? key : nullptr;
}

void CWinApp::LoadStdProfileSettings(int maxRecent)
{
    recent_ = std::make_unique<CRecentFileList>(std::clamp(maxRecent, 0, 16));
    if (HKEY key = OpenAppKey(false)) {
        recent_->ReadList(key);
        RegCloseKey(key);
    }
}

void CWinApp::SaveStdProfileSettings()
{
    if (!recent_) return;
    if (HKEY key = OpenAppKey(true)) {
        recent_->WriteList(key);
        RegCloseKey(key);
    }
}

void CWinApp::AddToRecentFileList(std::string_view path)
{
    if (!recent_) return;
    recent_->Add(path);
    // Written at once, so a program that ends abruptly keeps its list.
    SaveStdProfileSettings();
}

std::string CWinApp::ReadProfileText(std::string_view section, std::string_view entry, std::string_view fallback) const
{
    HKEY key = OpenAppKey(false);
    if (!key) return std::string(fallback);
    std::string result(fallback);
    HKEY sub = nullptr;
    if (RegOpenKeyExW(key, w32::Widen(section).c_str(), 0, KEY_READ, &sub) == ERROR_SUCCESS) {
        DWORD type = 0, bytes = 0;
        const std::wstring name = w32::Widen(entry);
        if (RegQueryValueExW(sub, name.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS && type == REG_SZ) {
            std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
            if (RegQueryValueExW(sub, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) ==
                ERROR_SUCCESS)
                result = w32::Narrow(value.c_str());
        }
        RegCloseKey(sub);
    }
    RegCloseKey(key);
    return result;
}

bool CWinApp::WriteProfileText(std::string_view section, std::string_view entry, std::string_view value)
{
    HKEY key = OpenAppKey(true);
    if (!key) return false;
    bool ok = false;
    HKEY sub = nullptr;
    if (RegCreateKeyExW(key, w32::Widen(section).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &sub, nullptr) ==
        ERROR_SUCCESS) {
        const std::wstring wide = w32::Widen(value);
        ok = RegSetValueExW(sub, w32::Widen(entry).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                            static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        RegCloseKey(sub);
    }
    RegCloseKey(key);
    return ok;
}

int CWinApp::ReadProfileInt(std::string_view section, std::string_view entry, int fallback) const
{
    HKEY key = OpenAppKey(false);
    if (!key) return fallback;
    int result = fallback;
    HKEY sub = nullptr;
    if (RegOpenKeyExW(key, w32::Widen(section).c_str(), 0, KEY_READ, &sub) == ERROR_SUCCESS) {
        DWORD type = 0, value = 0, bytes = sizeof value;
        if (RegQueryValueExW(sub, w32::Widen(entry).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) ==
                ERROR_SUCCESS &&
            type == REG_DWORD)
            result = static_cast<int>(value);
        RegCloseKey(sub);
    }
    RegCloseKey(key);
    return result;
}

bool CWinApp::WriteProfileInt(std::string_view section, std::string_view entry, int value)
{
    HKEY key = OpenAppKey(true);
    if (!key) return false;
    bool ok = false;
    HKEY sub = nullptr;
    if (RegCreateKeyExW(key, w32::Widen(section).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &sub, nullptr) ==
        ERROR_SUCCESS) {
        const DWORD data = static_cast<DWORD>(value);
        ok = RegSetValueExW(sub, w32::Widen(entry).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof data) == ERROR_SUCCESS;
        RegCloseKey(sub);
    }
    RegCloseKey(key);
    return ok;
}

} // namespace fw
