#include "win32/installer/UninstallSystem.h"

#include <windows.h>
#include <shlobj.h>

#include "win32/installer/PackageSystem.h"
#include "win32/installer/RegistryRoots.h"
#include "win32/platform/Text.h"

namespace w32 {
namespace {

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

} // namespace

std::wstring UninstallKeyPath(const std::string& displayName)
{
    std::wstring path = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    if (!displayName.empty()) path += L"\\" + Widen(displayName);
    return path;
}

std::unique_ptr<vela::IBinaryFile> CUninstallSystem::OpenForReading(std::string_view path)
{
    return CPackageSystem().OpenForReading(path);
}

vela::Removal CUninstallSystem::RemoveFile(std::string_view path)
{
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return IsMissing(GetLastError()) ? vela::Removal::Missing : vela::Removal::Failed;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return vela::Removal::Failed;
    // Attributes set on a link reach what it points at: a link is left alone.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return vela::Removal::Failed;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(wide.c_str())) return vela::Removal::Removed;
    return IsMissing(GetLastError()) ? vela::Removal::Missing : vela::Removal::Failed;
}

vela::Removal CUninstallSystem::RemoveFolder(const std::string& path)
{
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return IsMissing(GetLastError()) ? vela::Removal::Missing : vela::Removal::Failed;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return vela::Removal::Failed;
    if (RemoveDirectoryW(wide.c_str())) return vela::Removal::Removed;
    const DWORD error = GetLastError();
    if (error == ERROR_DIR_NOT_EMPTY) return vela::Removal::NotEmpty;
    return IsMissing(error) ? vela::Removal::Missing : vela::Removal::Failed;
}

bool CUninstallSystem::ReadUninstallString(const std::string& displayName, std::string& command)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKeyPath(displayName).c_str(), 0,
                      KEY_QUERY_VALUE | kPackageRegistryView, &key) !=
        ERROR_SUCCESS)
        return false;
    wchar_t value[2048] = {};
    DWORD type = 0;
    DWORD size = sizeof value - sizeof(wchar_t);  // room for a terminating zero the value may lack
    const LONG read = RegQueryValueExW(key, L"UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value[size / sizeof(wchar_t)] = L'\0';
    command = Narrow(value);
    return true;
}

bool CUninstallSystem::DeleteUninstallEntry(const std::string& displayName)
{
    return !displayName.empty() &&
           RegDeleteKeyExW(HKEY_LOCAL_MACHINE, UninstallKeyPath(displayName).c_str(), kPackageRegistryView, 0) ==
               ERROR_SUCCESS;
}

bool CUninstallSystem::Confirm(std::string_view text, std::string_view caption)
{
    return MessageBoxW(nullptr, WideText(text).c_str(), WideText(caption).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) == IDYES;
}

void CUninstallSystem::ShowMessage(std::string_view text, std::string_view caption, bool warning)
{
    MessageBoxW(nullptr, WideText(text).c_str(), WideText(caption).c_str(),
                MB_OK | MB_SETFOREGROUND | (warning ? MB_ICONWARNING : MB_ICONINFORMATION));
}

vela::ShortcutFolders CUninstallSystem::FindShortcutFolders()
{
    auto folder = [](int csidl, std::vector<std::string>& into) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) && path[0] != L'\0')
            into.push_back(Narrow(path));
    };
    vela::ShortcutFolders folders;
    folder(CSIDL_PROGRAMS, folders.programs);
    folder(CSIDL_COMMON_PROGRAMS, folders.programs);
    folder(CSIDL_DESKTOPDIRECTORY, folders.desktops);
    folder(CSIDL_COMMON_DESKTOPDIRECTORY, folders.desktops);
    return folders;
}

bool CUninstallSystem::IsReparsePoint(const std::string& path)
{
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return !IsMissing(GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    // The tag tells a link (a name surrogate: junction, symbolic link) from
    // a reparse point that keeps the name, such as a cloud file's
    // placeholder. A tag that cannot be read (Wine gives 0) counts as a link.
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(wide.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return true;
    FindClose(find);
    return found.dwReserved0 == 0 || IsReparseTagNameSurrogate(found.dwReserved0);
}

bool CUninstallSystem::RewriteFile(const std::string& path, std::string_view bytes)
{
    // Written whole beside the log, then put in its place: a failure leaves
    // the old log as it was. The new file is always a new name (CREATE_NEW):
    // a link planted beside the log is never written through.
    const std::wstring target = Widen(path);
    std::wstring beside;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        // ".new0" to ".new99", spelt out by hand: the wide number formatting
        // of the C library would more than double the program's size.
        beside = target + L".new";
        if (attempt >= 10) beside += static_cast<wchar_t>(L'0' + attempt / 10);
        beside += static_cast<wchar_t>(L'0' + attempt % 10);
        file = CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole = bytes.size() <= MAXDWORD &&
                       WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (whole && MoveFileExW(beside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(beside.c_str());
    return false;
}

} // namespace w32
