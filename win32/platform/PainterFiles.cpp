#include "win32/platform/PainterFiles.h"

#include "win32/platform/Text.h"

#include <windows.h>

#include <cstdio>

namespace w32 {

std::FILE* CWin32FileOpener::Open(const std::string& path, const char* mode)
{
    if (path.empty()) return nullptr;
    return _wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

bool CWin32FileOpener::Rename(const std::string& from, const std::string& to)
{
    if (from.empty() || to.empty()) return false;
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool CWin32FileOpener::Remove(const std::string& path)
{
    if (path.empty()) return false;
    return DeleteFileW(Widen(path).c_str()) != 0;
}

} // namespace w32
