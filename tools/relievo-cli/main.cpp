// relievo-cli: the painter's engine from the command line.
#include "Commands.h"

#include <cstdio>
#include <cstring>

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

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const rvcli::Args args(argv + 2, argv + argc);
    const char* command = argv[1];
    if (std::strcmp(command, "background") == 0) return rvcli::RunBackground(args);
    if (std::strcmp(command, "random-tile") == 0) return rvcli::RunRandomTile(args);
    if (std::strcmp(command, "generate") == 0) return rvcli::RunGenerate(args);
    if (std::strcmp(command, "paint") == 0) return rvcli::RunPaint(args);
    std::fprintf(stderr, "relievo-cli: unknown command '%s' (try --help)\n", command);
    return 2;
}
