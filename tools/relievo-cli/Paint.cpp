// relievo-cli paint: replays a gesture script onto a depth map.
#include "CliSupport.h"
#include "Commands.h"

#include "painter/app/view/PaintScript.h"
#include "painter/image/DibImage.h"
#include "painter/image/Platform.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace rvcli {
namespace {

const char kPaintHelp[] =
    "usage: relievo-cli paint (--depth D.bmp | --width W --height H) --script S.txt --out O.bmp\n"
    "\n"
    "Starts from the depth map D (a 24-bit BMP, PNG or JPEG file; or a white\n"
    "W x H one), replays the gesture script S.txt through the drawing view in\n"
    "the painting stage and saves the depth map as O (PNG when its name ends\n"
    "in .png, 24-bit BMP otherwise).\n"
    "\n"
    "Script: one command a line; blank lines and lines beginning with '#' are\n"
    "ignored.\n"
    "  tool NAME            none pencil brush line rect filled-rect ellipse\n"
    "                       filled-ellipse fill eraser lasso gradient-circle\n"
    "                       gradient-rect picker\n"
    "  panel SETTING VALUE  pen-width 1-100, eraser-width 2-300,\n"
    "                       eraser-kind soft|circular|square, curve 0-200,\n"
    "                       low-left|low-middle|low-right 0|1, c1 10-240, c2 0-240,\n"
    "                       family black|blue, value 0-255\n"
    "  scroll X Y           scroll the view to (X, Y)\n"
    "  down X Y | move X Y | up X Y   left button and mouse at a view point\n"
    "                       (0 to 32767; beyond the depth map the view is white)\n"
    "  clear                clear the drawing\n"
    "  undo | redo          undo the last step (a press-to-release gesture or a\n"
    "                       clear), redo the last undone one\n";

// Large enough for any picture the painter makes, small enough that the
// depth map and its screen always fit in memory.
constexpr int kMaxSide = 10000;

bool ReadText(const std::string& path, std::string& text, std::string& problem)
{
    std::FILE* file = rv::OpenFile(path, "rb");
    if (!file) {
        problem = path + ": cannot open the file";
        return false;
    }
    text.clear();
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) problem = path + ": cannot read the file";
    return !failed;
}

} // namespace

int RunPaint(const Args& args)
{
    const char* name = "paint";
    MessageCollector messages;
    Options options;
    std::string problem;
    if (!options.Parse(args, {{"--depth", true}, {"--width", true}, {"--height", true}, {"--script", true}, {"--out", true}},
                       problem))
        return Fail(name, problem);
    if (options.Has("--help")) return ShowHelp(kPaintHelp);
    const bool fromFile = options.Has("--depth");
    if (fromFile && (options.Has("--width") || options.Has("--height")))
        return Fail(name, "give either --depth or --width and --height, not both");
    if (!fromFile && !(options.Has("--width") && options.Has("--height")))
        return Fail(name, "give --depth, or both --width and --height");
    if (!options.Has("--script")) return Fail(name, "--script is required");
    if (!options.Has("--out")) return Fail(name, "--out is required");

    try {
        auto depthMap = std::make_unique<rv::CDibImage>();
        if (fromFile) {
            if (!ReadPicture(*depthMap, options.Value("--depth"), messages, problem)) return Fail(name, problem);
            if (depthMap->Width() > kMaxSide || depthMap->Height() > kMaxSide)
                return Fail(name, options.Value("--depth") + ": larger than " + std::to_string(kMaxSide) + " x " +
                                      std::to_string(kMaxSide) + " pixels");
        } else {
            int width = 0, height = 0;
            if (!NumberOption(options, "--width", 1, kMaxSide, width, problem) ||
                !NumberOption(options, "--height", 1, kMaxSide, height, problem))
                return Fail(name, problem);
            if (!depthMap->Create(width, height))
                return Fail(name, "cannot make a depth map of " + std::to_string(width) + " x " +
                                      std::to_string(height) + " pixels (out of memory)");
        }
        std::string script;
        if (!ReadText(options.Value("--script"), script, problem)) return Fail(name, problem);

        rv::CPaintScriptPlayer player(std::move(depthMap));
        if (!player.Run(script, problem)) return Fail(name, options.Value("--script") + ": " + problem);
        if (!WritePicture(player.DepthMap(), options.Value("--out"), problem)) return Fail(name, problem);
    } catch (const std::bad_alloc&) {
        return Fail(name, "out of memory");
    }
    return 0;
}

} // namespace rvcli
