#pragma once
// The programs keep their texts as GB2312 (code page 936) bytes; the Win32
// layer converts at the boundary and calls the W functions, so texts read
// right whatever the system's own code page is.
#include <string>
#include <string_view>

namespace w32 {

std::wstring Widen(std::string_view gb2312);
std::string Narrow(std::wstring_view utf16);

} // namespace w32
