// rv-assets: writes the bundled tiles and sample depth maps.
//   rv-assets ROOT      (ROOT holds the back and sample folders)
#include "tools/assets/Assets.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: rv-assets ROOT\n  writes ROOT/back/b1.bmp ... and ROOT/sample/*.bmp\n", stderr);
        return 2;
    }
    std::error_code ec;
    for (const char* folder : {"back", "sample"}) std::filesystem::create_directories(std::filesystem::path(argv[1]) / folder, ec);
    std::string failed;
    if (!rvassets::WriteAssets(argv[1], failed)) {
        std::fprintf(stderr, "rv-assets: cannot write %s\n", failed.c_str());
        return 1;
    }
    return 0;
}
