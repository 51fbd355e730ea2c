// The file-open dialog and the wait cursor.
#include "win32/framework/Common.h"

#include "win32/platform/Text.h"

#include <commdlg.h>

#include <vector>

namespace fw {

namespace {
// UTF-16 to GB2312, or false when a character has no GB2312 form.
bool NarrowExactly(const std::wstring& wide, std::string& out)
{
    out.clear();
    if (wide.empty()) return true;
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, &lost);
    if (n <= 0 || lost) return false;
    out.assign(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, &lost);
    return !lost;
}

std::wstring CurrentFolder()
{
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::vector<wchar_t> folder(n + 1);
    const DWORD got = GetCurrentDirectoryW(n + 1, folder.data());
    return got == 0 || got > n ? std::wstring() : std::wstring(folder.data(), got);
}
} // namespace

FileDialogResult OpenFileDialog(const OpenFileArgs& args, std::string& path)
{
    path.clear();
    // "text|pattern|..." becomes "text\0pattern\0...\0\0".
    std::wstring filter = w32::Widen(args.filter);
    if (filter.empty()) filter = L"*.*|*.*";
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.append(2, L'\0');
    const std::wstring folder = w32::Widen(args.initialFolder);
    const std::wstring extension = w32::Widen(args.defaultExtension);
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring initial = w32::Widen(args.initialName);
    if (initial.size() < name.size()) std::copy(initial.begin(), initial.end(), name.begin());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = args.owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The dialog changes the current folder as the user browses; the
    // program's relative paths must find their folders afterwards, however
    // the dialog ends.
    ofn.Flags = args.flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    const std::wstring current = CurrentFolder();
    const BOOL answered = GetOpenFileNameW(&ofn);
    if (!current.empty() && CurrentFolder() != current) SetCurrentDirectoryW(current.c_str());
    if (!answered) return FileDialogResult::Cancelled;
    std::string chosen;
    if (!NarrowExactly(name.data(), chosen)) return FileDialogResult::NotGb2312;
    path = std::move(chosen);
    return FileDialogResult::Chosen;
}

CWaitCursor::CWaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}

CWaitCursor::~CWaitCursor() { SetCursor(previous_); }

void CWaitCursor::Restore() { SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT))); }

} // namespace fw
