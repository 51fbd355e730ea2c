#pragma once
// What the painter's core needs of the platform: message boxes and opening
// files by their GB2312 path. The Windows program installs implementations
// over the W functions; the native build and the tests use the defaults
// (stderr and fopen) or their own recorders.
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace rv {

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // A modal message box with the given GB2312 text and an OK button.
    virtual void Show(std::string_view text) = 0;
};

// Relative paths are written the Windows way (".\back\b1.bmp"); elsewhere
// the backslash is a folder separator too. Native paths are UTF-8, whose
// multi-byte characters never contain the byte 0x5C, so a byte-wise
// replacement is safe there (unlike in GB2312 text).
inline std::string NativePath(const std::string& path)
{
    std::string native = path;
#ifndef _WIN32
    for (char& c : native)
        if (c == '\\') c = '/';
#endif
    return native;
}

class IFileOpener {
public:
    virtual ~IFileOpener() = default;
    // Opens a file by its GB2312 path; mode as for fopen ("rb", "wb").
    virtual std::FILE* Open(const std::string& path, const char* mode) = 0;
    // Gives a file a new name, replacing any file of that name.
    virtual bool Rename(const std::string& from, const std::string& to)
    {
        return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
    }
    virtual bool Remove(const std::string& path) { return std::remove(NativePath(path).c_str()) == 0; }
};

// Installs the process-wide implementations; nullptr restores the default.
void SetMessageBox(IMessageBox* box);
void SetFileOpener(IFileOpener* opener);

void ShowMessage(std::string_view text);
std::FILE* OpenFile(const std::string& path, const char* mode);
bool RenameFile(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);

// Writes a file whole or not at all: `write` fills path + ".saving", which
// then replaces any file at path, so a failed write (a full disk) leaves the
// old file as it was and nothing else behind. `write` returns false on a
// write error; the file is closed here.
inline constexpr const char* kSavingSuffix = ".saving";
bool WriteFileWhole(const std::string& path, const std::function<bool(std::FILE*)>& write);

} // namespace rv
