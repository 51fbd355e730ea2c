// relievo-cli: the painter's engine from the command line.
#include "Commands.h"

#include "painter/image/Platform.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include "win32/platform/PainterFiles.h"
#include "win32/platform/Text.h"
#endif

namespace {

const char kUsage[] =
    "usage: relievo-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  background    repeat a tile over a picture size\n"
    "  random-tile   make one of the painter's random tiles\n"
    "  generate      tile, fit a depth map and make the stereogram\n"
    "  paint         replay a gesture script onto a depth map\n"
    "\n"
    "'relievo-cli COMMAND --help' describes a command.\n";

} // namespace

namespace {

int Run(const std::vector<std::string>& words)
{
    const std::size_t argc = words.size();
    if (argc < 2 || words[1] == "--help" || words[1] == "-h") {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const rvcli::Args args(words.begin() + 2, words.end());
    const std::string& command = words[1];
    if (command == "background") return rvcli::RunBackground(args);
    if (command == "random-tile") return rvcli::RunRandomTile(args);
    if (command == "generate") return rvcli::RunGenerate(args);
    if (command == "paint") return rvcli::RunPaint(args);
    std::fprintf(stderr, "relievo-cli: unknown command '%s' (try --help)\n", command.c_str());
    return 2;
}

} // namespace

#ifdef _WIN32
// The words come from the wide command line as GB2312 texts, and files are
// opened by their wide names, so Chinese file names work on any system.
int main()
{
    const std::vector<std::string> words = w32::CommandLineWords();
    if (words.empty()) {
        std::fputs("relievo-cli: cannot read the command line\n", stderr);
        return 2;
    }
    w32::CWin32FileOpener opener;
    rv::SetFileOpener(&opener);
    const int status = Run(words);
    rv::SetFileOpener(nullptr);
    return status;
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv, argv + argc)); }
#endif
