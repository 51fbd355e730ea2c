// rv-assets: writes the bundled tiles, sample depth maps and resource pictures.
//   rv-assets ROOT      (ROOT is the repository root)
#include "tools/assets/Assets.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: rv-assets ROOT\n  writes ROOT/back/b1.bmp ..., ROOT/sample/*.bmp and the pictures of\n"
                   "  ROOT/painter/app/res and ROOT/setup/res\n",
                   stderr);
        return 2;
    }
    std::error_code ec;
    for (const auto& asset : rvassets::AssetList()) std::filesystem::create_directories(std::filesystem::path(argv[1]) / asset.folder, ec);
    std::string failed;
    if (!rvassets::WriteAssets(argv[1], failed)) {
        std::fprintf(stderr, "rv-assets: cannot write %s\n", failed.c_str());
        return 1;
    }
    return 0;
}
