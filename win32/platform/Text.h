#pragma once
// The programs keep their texts as GB2312 (code page 936) bytes; the Win32
// layer converts at the boundary and calls the W functions, so texts read
// right whatever the system's own code page is.
#include <string>
#include <string_view>
#include <vector>

namespace w32 {

std::wstring Widen(std::string_view gb2312);
std::string Narrow(std::wstring_view utf16);

// The program's command line split into words (the program name first), as
// GB2312 texts taken from the wide command line, so Chinese arguments arrive
// whatever the system's code page is. Empty when it cannot be read.
std::vector<std::string> CommandLineWords();

} // namespace w32
