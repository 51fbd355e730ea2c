// The program's command line in words, as GB2312 texts.
#include "win32/platform/Text.h"

#include <windows.h>
#include <shellapi.h>

namespace w32 {

std::vector<std::string> CommandLineWords()
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> words;
    if (!wide) return words;
    for (int i = 0; i < count; ++i) words.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return words;
}

} // namespace w32
