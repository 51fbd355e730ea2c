// velapack: the installer package builder.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/velapack/Velapack.h"

#ifdef _WIN32
#include <windows.h>

#include "win32/installer/PackageSystem.h"
#include "win32/platform/Text.h"
#else
#include <clocale>

#include <langinfo.h>
#endif

namespace {

int Report(int status, const std::string& out, const std::string& err)
{
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}

} // namespace

#ifdef _WIN32
// Arguments come from the wide command line as GB2312 texts and files are
// opened by their wide names, so Chinese names work on any system. All
// output is GB2312 then (the paths given included) and is written in the
// console's code page: as it is under code page 936, in UTF-8 otherwise.
int main()
{
    std::vector<std::string> words = w32::CommandLineWords();
    if (words.empty()) return Report(2, {}, "velapack: cannot read the command line\n");
    words.erase(words.begin());
    w32::CPackageSystem system;
    std::string out, err;
    const int status = velapack::Run(words, system, out, err, velapack::DisplayEncoding::Gb2312);
    const velapack::DisplayEncoding console = velapack::DisplayEncodingForCodePage(GetConsoleOutputCP());
    if (console != velapack::DisplayEncoding::Gb2312) {
        out = velapack::ForDisplay(out, console);
        err = velapack::ForDisplay(err, console);
    }
    return Report(status, out, err);
}
#else
// Paths are the bytes the user gave; the texts of descriptions and packages
// are written in the locale's encoding (UTF-8 unless it names GB2312 or a
// relative of it).
int main(int argc, char** argv)
{
    const char* codeset = std::setlocale(LC_CTYPE, "") ? nl_langinfo(CODESET) : "";
    std::string out, err;
    const int status = velapack::Run(std::vector<std::string>(argv + 1, argv + argc), out, err,
                                     velapack::DisplayEncodingForCodeset(codeset ? codeset : ""));
    return Report(status, out, err);
}
#endif
