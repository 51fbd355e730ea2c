#pragma once
// Files of the installer's Windows tests, named by GB2312 paths as the
// installer names them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/platform/Text.h"

namespace w32::test {

inline bool Exists(const std::string& path)
{
    return GetFileAttributesW(w32::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes the file anew with these bytes; a file not written whole fails the
// test.
inline void WriteFile(const std::string& path, const std::string& bytes)
{
    HANDLE f = CreateFileW(w32::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    ASSERT_TRUE(ok && written == bytes.size()) << path << ": " << written << " of " << bytes.size() << " bytes written";
}

// The whole file, or "<missing>" when it cannot be opened.
inline std::string ReadBytes(const std::string& path)
{
    HANDLE f = CreateFileW(w32::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char block[65536];
    DWORD n = 0;
    while (ReadFile(f, block, sizeof block, &n, nullptr) && n > 0) bytes.append(block, n);
    CloseHandle(f);
    return bytes;
}

} // namespace w32::test
