#include "win32/installer/PackageSystem.h"

// winsock2.h must come before windows.h.
#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "installer/package/TextFields.h"
#include "win32/installer/RegistryRoots.h"
#include "win32/platform/Text.h"

namespace w32 {
namespace {

// A file handle with a read buffer, so that byte-by-byte copies and line
// reads do not cost one system call per byte.
class CWin32File final : public vela::IBinaryFile {
public:
    explicit CWin32File(HANDLE handle) : handle_(handle) {}
    ~CWin32File() override { CloseHandle(handle_); }
    CWin32File(const CWin32File&) = delete;
    CWin32File& operator=(const CWin32File&) = delete;

    bool Seek(std::uint64_t offset) override
    {
        pos_ = len_ = 0;
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        return offset <= 0x7FFFFFFFFFFFFFFFull && SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
    }

    std::size_t Read(void* buffer, std::size_t size) override
    {
        auto* out = static_cast<char*>(buffer);
        std::size_t done = 0;
        while (done < size) {
            if (pos_ == len_ && size - done >= sizeof buffer_) {
                // A large read goes straight into the caller's memory.
                const std::size_t got = ReadDirect(out + done, size - done);
                done += got;
                if (got == 0) break;
                continue;
            }
            if (pos_ == len_ && !Fill()) break;
            std::size_t n = std::min(size - done, len_ - pos_);
            std::memcpy(out + done, buffer_ + pos_, n);
            pos_ += n;
            done += n;
        }
        return done;
    }

    std::size_t Write(const void* data, std::size_t size) override
    {
        const auto* in = static_cast<const char*>(data);
        std::size_t done = 0;
        while (done < size) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(handle_, in + done, chunk, &written, nullptr) || written == 0) break;
            done += written;
        }
        return done;
    }

    std::uint64_t Length() override
    {
        LARGE_INTEGER size;
        return GetFileSizeEx(handle_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }

private:
    std::size_t ReadDirect(char* out, std::size_t size)
    {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        return ReadFile(handle_, out, chunk, &got, nullptr) ? got : 0;
    }

    bool Fill()
    {
        DWORD got = 0;
        pos_ = len_ = 0;
        if (!ReadFile(handle_, buffer_, sizeof buffer_, &got, nullptr) || got == 0) return false;
        len_ = got;
        return true;
    }

    HANDLE handle_;
    char buffer_[16384];
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

std::unique_ptr<vela::IBinaryFile> OpenHandle(std::string_view path, DWORD access, DWORD share, DWORD disposition)
{
    HANDLE h = CreateFileW(WideText(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<CWin32File>(h);
}

// A path read from the system as UTF-16, as a GB2312 system path. One that
// does not fit is left empty and marked overflowed, as the path's own
// assignment leaves it.
vela::SystemPath PathFromWide(const wchar_t* wide, std::size_t length)
{
    vela::SystemPath path;
    if (length == 0) return path;
    // One byte more than a path holds: a text that fills it did not fit, and
    // appending it marks the overflow without reading past the buffer. A
    // longer text is cut to as many characters: at least a byte a character,
    // it still does not fit.
    char bytes[vela::SystemPath::kCapacity + 1];
    const int n = WideCharToMultiByte(936, 0, wide, static_cast<int>(std::min(length, sizeof bytes)), bytes,
                                      static_cast<int>(sizeof bytes), nullptr, nullptr);
    if (n > 0)
        path.Append(std::string_view(bytes, static_cast<std::size_t>(n)));
    else if (GetLastError() == ERROR_INSUFFICIENT_BUFFER)
        path.Append(std::string_view(bytes, sizeof bytes));
    return path;
}

// Room for the longest text a path can hold, and one character more: a
// text that does not fit here does not fit in a path either.
constexpr DWORD kPathChars = vela::SystemPath::kCapacity + 2;

// Calls get(buffer, capacity) -> length (the capacity or more when the text
// does not fit).
vela::SystemPath FolderText(DWORD (*get)(wchar_t* buffer, DWORD capacity))
{
    wchar_t buffer[kPathChars];
    const DWORD n = get(buffer, kPathChars);
    if (n == 0) return {};
    return PathFromWide(buffer, n < kPathChars ? n : kPathChars);
}

} // namespace

vela::SystemPath CPackageSystem::ModuleFileName()
{
    return FolderText([](wchar_t* b, DWORD n) { return GetModuleFileNameW(nullptr, b, n); });
}

vela::SystemPath CPackageSystem::TemporaryFolder()
{
    return FolderText([](wchar_t* b, DWORD n) { return GetTempPathW(n, b); });
}

vela::LocalTime CPackageSystem::Now()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

vela::SystemPath CPackageSystem::WindowsFolder()
{
    return FolderText([](wchar_t* b, DWORD n) { return static_cast<DWORD>(GetWindowsDirectoryW(b, n)); });
}

vela::SystemPath CPackageSystem::SystemFolder()
{
    return FolderText([](wchar_t* b, DWORD n) { return static_cast<DWORD>(GetSystemDirectoryW(b, n)); });
}

bool CPackageSystem::DesktopFolder(vela::SystemPath& path)
{
    LPITEMIDLIST list = nullptr;
    bool ok = false;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)) && list) {
        wchar_t buffer[MAX_PATH];
        if (SHGetPathFromIDListW(list, buffer)) {
            path = PathFromWide(buffer, wcsnlen(buffer, MAX_PATH));
            ok = true;
        }
        // The shell's allocator is the task allocator.
        CoTaskMemFree(list);
    }
    return ok;
}

bool CPackageSystem::SetCurrentFolder(std::string_view path)
{
    return SetCurrentDirectoryW(WideText(path).c_str()) != 0;
}

vela::SystemPath CPackageSystem::CurrentFolder()
{
    return FolderText([](wchar_t* b, DWORD n) { return GetCurrentDirectoryW(n, b); });
}

vela::RegistryReadResult CPackageSystem::ReadRegistryString(vela::RegistryRoot root, std::string_view keyPath,
                                                            std::string_view valueName, vela::SystemPath& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootKey(root), WideText(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return vela::RegistryReadResult::KeyNotOpened;
    const WideText name(valueName);
    DWORD type = 0;
    DWORD bytes = 0;
    vela::RegistryReadResult result = vela::RegistryReadResult::ValueMissing;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // Whole characters, and a zero after them the value may lack.
        const DWORD characters = bytes / sizeof(wchar_t);
        auto* text = static_cast<wchar_t*>(std::calloc(characters + 1, sizeof(wchar_t)));
        DWORD size = characters * sizeof(wchar_t);
        if (text && RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
                        ERROR_SUCCESS) {
            value = PathFromWide(text, wcsnlen(text, size / sizeof(wchar_t)));
            result = vela::RegistryReadResult::Read;
        }
        std::free(text);
    }
    RegCloseKey(key);
    return result;
}

bool CPackageSystem::StartSockets()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

void CPackageSystem::ShowMessage(std::string_view text, std::string_view caption)
{
    // Without a caption, the framework's box: the program's own name as title.
    const vela::SystemPath module = caption.empty() ? ModuleFileName() : vela::SystemPath();
    std::string_view title = caption;
    UINT type = MB_OK;
    if (caption.empty()) {
        title = module;
        const std::size_t slash = vela::FindLastBackslash(title);
        if (slash != vela::kNotFound) title.remove_prefix(slash + 1);
        const std::size_t dot = title.find_last_of('.');
        if (dot != std::string_view::npos) title.remove_suffix(title.size() - dot);
        type |= MB_ICONEXCLAMATION;
    }
    MessageBoxW(nullptr, WideText(text).c_str(), WideText(title).c_str(), type);
}

std::unique_ptr<vela::IBinaryFile> CPackageSystem::OpenForReading(std::string_view path)
{
    return OpenHandle(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
}

std::unique_ptr<vela::IBinaryFile> CPackageSystem::CreateForWriting(std::string_view path)
{
    return OpenHandle(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

// Fails when the file exists: the installer's temporary files are never
// written over, and never trusted, whoever made them.
std::unique_ptr<vela::IBinaryFile> CPackageSystem::CreateNewForWriting(std::string_view path)
{
    return OpenHandle(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW);
}

bool CPackageSystem::RemoveFile(std::string_view path)
{
    return DeleteFileW(WideText(path).c_str()) != 0;
}

} // namespace w32
