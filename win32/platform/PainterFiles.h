#pragma once
// The painter's files on Windows: GB2312 paths are widened and opened,
// renamed and removed with the wide-character functions, so Chinese names
// work whatever the system's code page is.
#include "painter/image/Platform.h"

namespace w32 {

class CWin32FileOpener final : public rv::IFileOpener {
public:
    std::FILE* Open(const std::string& path, const char* mode) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
};

} // namespace w32
