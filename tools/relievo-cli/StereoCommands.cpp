// The engine commands: background, random-tile and generate.
#include "CliSupport.h"
#include "Commands.h"

#include "painter/stereo/Background.h"
#include "painter/stereo/DepthMap.h"
#include "painter/stereo/Stereogram.h"

#include <climits>

namespace rvcli {
namespace {

constexpr int kMaxRandomIndex = 10000;

const char kBackgroundHelp[] =
    "usage: relievo-cli background --tile T.bmp [--width W] [--height H] --out O.bmp\n"
    "\n"
    "Repeats the 24-bit tile T over a picture of W x H pixels (default 800 x 600)\n"
    "and writes it to O.\n"
    "Pictures are read from 24-bit BMP, PNG or JPEG files; O is written as PNG\n"
    "when its name ends in .png, as a 24-bit BMP otherwise.\n";

const char kRandomTileHelp[] =
    "usage: relievo-cli random-tile [--index N] --out O.bmp\n"
    "\n"
    "Writes the N-th random 100 x 480 tile the painter makes after it starts\n"
    "(default 1, at most 10000). The sequence is the same in every run.\n"
    "O is written as PNG when its name ends in .png, as a 24-bit BMP otherwise.\n";

const char kGenerateHelp[] =
    "usage: relievo-cli generate (--tile T.bmp | --random-tile [--random-index N])\n"
    "                            [--width W] [--height H] [--feel F] [--depth D.bmp]\n"
    "                            --out O.bmp\n"
    "\n"
    "The painter's whole pipeline. The tile's width is the period. With\n"
    "--random-tile the N-th random tile (default 1) is used: period 100, tile\n"
    "height 480 and a picture height of 480 unless --height says otherwise.\n"
    "The tile is repeated over W x H (default width 800, height 600); the depth\n"
    "map D is fitted to (W - period) x H from its top-left corner, white outside\n"
    "(no --depth: all white, no depth); the stereogram is made with the 3D feel\n"
    "F (1 to 240, default 15) and written to O.\n"
    "\n"
    "Depth colours: white is flat; r = g = b = v (black family) and r = g = v,\n"
    "b = 255 (blue family) shift in opposite directions.\n"
    "\n"
    "T and D may be 24-bit BMP, PNG or JPEG files (a PNG's transparency is\n"
    "laid on white). O is written as PNG when its name ends in .png (the same\n"
    "pixels as the BMP), as a 24-bit BMP otherwise.\n";

// Makes into `tile` the n-th random tile the painter makes after it starts.
bool NthRandomTile(int n, rv::CDibImage& tile, rv::PictureLayout& layout, MessageCollector& messages,
                   std::string& problem)
{
    rv::CRandomSource random; // the state a run starts with
    for (int i = 0; i < n; ++i) {
        if (!rv::RandomBackground(tile, layout, random)) {
            problem = messages.Saw("Create bmp error!") ? "cannot make the random tile (out of memory)"
                                                         : "cannot make the random tile";
            return false;
        }
    }
    return true;
}

bool Tile(rv::CDibImage& picture, const rv::PictureLayout& layout, MessageCollector& messages, std::string& problem)
{
    messages.Forget();
    if (rv::GenerateBackground(picture, layout)) return true;
    problem = "cannot make a picture of " + std::to_string(layout.pictureWidth) + " x " +
              std::to_string(layout.pictureHeight) + " pixels (too large for the memory)";
    return false;
}

} // namespace

int RunBackground(const Args& args)
{
    const char* name = "background";
    MessageCollector messages;
    Options options;
    std::string problem;
    if (!options.Parse(args, {{"--tile", true}, {"--width", true}, {"--height", true}, {"--out", true}}, problem))
        return Fail(name, problem);
    if (options.Has("--help")) return ShowHelp(kBackgroundHelp);
    if (!options.Has("--tile")) return Fail(name, "--tile is required");
    if (!options.Has("--out")) return Fail(name, "--out is required");

    rv::PictureLayout layout;
    if (!NumberOption(options, "--width", 1, INT_MAX, layout.pictureWidth, problem) ||
        !NumberOption(options, "--height", 1, INT_MAX, layout.pictureHeight, problem))
        return Fail(name, problem);

    rv::CDibImage picture;
    if (!ReadPicture(picture, options.Value("--tile"), messages, problem)) return Fail(name, problem);
    layout.period = picture.Width();
    layout.tileHeight = picture.Height();
    if (!Tile(picture, layout, messages, problem) || !WritePicture(picture, options.Value("--out"), problem))
        return Fail(name, problem);
    return 0;
}

int RunRandomTile(const Args& args)
{
    const char* name = "random-tile";
    MessageCollector messages;
    Options options;
    std::string problem;
    if (!options.Parse(args, {{"--index", true}, {"--out", true}}, problem)) return Fail(name, problem);
    if (options.Has("--help")) return ShowHelp(kRandomTileHelp);
    if (!options.Has("--out")) return Fail(name, "--out is required");
    int index = 1;
    if (!NumberOption(options, "--index", 1, kMaxRandomIndex, index, problem)) return Fail(name, problem);

    rv::CDibImage tile;
    rv::PictureLayout layout;
    if (!NthRandomTile(index, tile, layout, messages, problem) || !WritePicture(tile, options.Value("--out"), problem))
        return Fail(name, problem);
    return 0;
}

int RunGenerate(const Args& args)
{
    const char* name = "generate";
    MessageCollector messages;
    Options options;
    std::string problem;
    if (!options.Parse(args,
                       {{"--tile", true},
                        {"--random-tile", false},
                        {"--random-index", true},
                        {"--width", true},
                        {"--height", true},
                        {"--feel", true},
                        {"--depth", true},
                        {"--out", true}},
                       problem))
        return Fail(name, problem);
    if (options.Has("--help")) return ShowHelp(kGenerateHelp);
    const bool randomTile = options.Has("--random-tile");
    if (randomTile == options.Has("--tile")) return Fail(name, "give exactly one of --tile and --random-tile");
    if (!randomTile && options.Has("--random-index")) return Fail(name, "--random-index needs --random-tile");
    if (!options.Has("--out")) return Fail(name, "--out is required");

    rv::PictureLayout layout;
    int randomIndex = 1;
    int feel = rv::kDefaultFeel;
    int width = layout.pictureWidth;
    int height = randomTile ? rv::kRandomTileHeight : layout.pictureHeight;
    if (!NumberOption(options, "--width", 1, INT_MAX, width, problem) ||
        !NumberOption(options, "--height", 1, INT_MAX, height, problem) ||
        !NumberOption(options, "--feel", rv::kMinFeel, rv::kMaxFeel, feel, problem) ||
        !NumberOption(options, "--random-index", 1, kMaxRandomIndex, randomIndex, problem))
        return Fail(name, problem);

    // Every input is read before anything is made.
    rv::CDibImage picture;
    if (randomTile) {
        if (!NthRandomTile(randomIndex, picture, layout, messages, problem)) return Fail(name, problem);
    } else {
        if (!ReadPicture(picture, options.Value("--tile"), messages, problem)) return Fail(name, problem);
        layout.period = picture.Width();
        layout.tileHeight = picture.Height();
    }
    layout.pictureWidth = width;
    layout.pictureHeight = height;
    if (layout.DepthMapWidth() < 1)
        return Fail(name, "a picture width of " + std::to_string(width) + " leaves no depth-map column with the tile's period of " +
                              std::to_string(layout.period));
    rv::CDibImage depthMap;
    if (options.Has("--depth") && !ReadPicture(depthMap, options.Value("--depth"), messages, problem))
        return Fail(name, problem);

    if (!Tile(picture, layout, messages, problem)) return Fail(name, problem);
    if (!rv::FitDepthMap(depthMap, layout))
        return Fail(name, "cannot make a depth map of " + std::to_string(layout.DepthMapWidth()) + " x " +
                              std::to_string(layout.DepthMapHeight()) + " pixels (too large for the memory)");
    rv::GenerateStereogram(picture, depthMap, {layout.pictureWidth, layout.pictureHeight, layout.period, feel});
    if (!WritePicture(picture, options.Value("--out"), problem)) return Fail(name, problem);
    return 0;
}

} // namespace rvcli
