// velapack: the installer package builder.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/velapack/Velapack.h"

#ifdef _WIN32
#include "win32/installer/PackageSystem.h"
#include "win32/platform/Text.h"
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
// opened by their wide names, so Chinese names work on any system.
int main()
{
    std::vector<std::string> words = w32::CommandLineWords();
    if (words.empty()) return Report(2, {}, "velapack: cannot read the command line\n");
    words.erase(words.begin());
    w32::CPackageSystem system;
    std::string out, err;
    const int status = velapack::Run(words, system, out, err);
    return Report(status, out, err);
}
#else
int main(int argc, char** argv)
{
    std::string out, err;
    const int status = velapack::Run(std::vector<std::string>(argv + 1, argv + argc), out, err);
    return Report(status, out, err);
}
#endif
