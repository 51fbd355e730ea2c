#pragma once
// What the painter's core needs of the platform: message boxes and opening
// files by their GB2312 path. The Windows program installs implementations
// over the W functions; the native build and the tests use the defaults
// (stderr and fopen) or their own recorders.
#include <cstdio>
#include <string>
#include <string_view>

namespace rv {

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // A modal message box with the given GB2312 text and an OK button.
    virtual void Show(std::string_view text) = 0;
};

class IFileOpener {
public:
    virtual ~IFileOpener() = default;
    // Opens a file by its GB2312 path; mode as for fopen ("rb", "wb").
    virtual std::FILE* Open(const std::string& path, const char* mode) = 0;
};

// Installs the process-wide implementations; nullptr restores the default.
void SetMessageBox(IMessageBox* box);
void SetFileOpener(IFileOpener* opener);

void ShowMessage(std::string_view text);
std::FILE* OpenFile(const std::string& path, const char* mode);

} // namespace rv
