#include "Commands.h"

#include "painter/image/DibImage.h"
#include "painter/image/Picture.h"
#include "painter/stereo/Background.h"
#include "painter/stereo/tests/ImageTestUtil.h"
#include "painter/stereo/tests/LiteralStereogram.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>

#include <sys/wait.h>

namespace rvcli {
namespace {

namespace fs = std::filesystem;
using rv::CDibImage;
using rv::Colour;
using rv::testing::FillRandom;
using rv::testing::SameBlock;

std::vector<char> ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Outcome {
    int status;
    std::string err;
    std::string out;
};

Outcome Invoke(int (*command)(const Args&), const Args& args)
{
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    const int status = command(args);
    Outcome o{status, ::testing::internal::GetCapturedStderr(), ::testing::internal::GetCapturedStdout()};
    return o;
}

int Lines(const std::string& text)
{
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("rv_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    // A random tile picture of w x h written to `name`.
    void WriteRandom(const std::string& name, int w, int h, unsigned seed, CDibImage& img)
    {
        std::mt19937 rng(seed);
        ASSERT_TRUE(img.Create(w, h));
        FillRandom(img, rng);
        ASSERT_TRUE(img.SaveBmp(P(name)));
    }
    // Bytes of a saved picture with one header byte changed.
    void WriteVariant(const std::string& from, const std::string& to, std::size_t at, char value, std::size_t keep = 0)
    {
        auto bytes = ReadAll(P(from));
        if (at < bytes.size()) bytes[at] = value;
        if (keep) bytes.resize(keep);
        std::ofstream(P(to), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
        return names;
    }

    fs::path dir;
};

// The tile repeated over w x h, pixel by pixel.
void Tiled(const CDibImage& tile, int w, int h, CDibImage& out)
{
    ASSERT_TRUE(out.Create(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.SetPixel(x, y, tile.GetPixel(x % tile.Width(), y % tile.Height()));
}

// The depth map as the painter fits it to a picture: its top-left
// (w - period) x h, white where it is smaller.
void Fitted(const CDibImage& depth, int w, int h, int period, CDibImage& out)
{
    ASSERT_TRUE(out.Create(w - period, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w - period; ++x) out.SetPixel(x, y, depth.GetPixel(x, y));
}

void ExpectFileIs(const std::string& path, const CDibImage& expected)
{
    CDibImage got;
    ASSERT_TRUE(got.LoadBmp(path)) << path;
    EXPECT_TRUE(SameBlock(got, expected)) << path;
}

TEST_F(Cli, BackgroundRepeatsTheTile)
{
    CDibImage tile, expected;
    WriteRandom("t.bmp", 30, 20, 1, tile);
    Outcome o = Invoke(RunBackground, {"--tile", P("t.bmp"), "--width", "101", "--height", "47", "--out", P("o.bmp")});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    Tiled(tile, 101, 47, expected);
    ExpectFileIs(P("o.bmp"), expected);

    o = Invoke(RunBackground, {"--out", P("d.bmp"), "--tile", P("t.bmp")});
    ASSERT_EQ(o.status, 0) << o.err;
    Tiled(tile, 800, 600, expected);
    ExpectFileIs(P("d.bmp"), expected);
    EXPECT_EQ(Files(), (std::set<std::string>{"t.bmp", "o.bmp", "d.bmp"}));
}

TEST_F(Cli, RandomTileFollowsTheRunsSequence)
{
    Outcome o = Invoke(RunRandomTile, {"--out", P("r1.bmp")});
    ASSERT_EQ(o.status, 0) << o.err;
    CDibImage r1;
    ASSERT_TRUE(r1.LoadBmp(P("r1.bmp")));
    EXPECT_EQ(r1.Width(), 100);
    EXPECT_EQ(r1.Height(), 480);
    // The generator from state 1 gives 41 (white pixel), then 26500 with
    // blue 11478 % 255, green 29358 % 255, red 26962 % 255.
    EXPECT_EQ(r1.GetPixel(0, 0), rv::kWhite);
    EXPECT_EQ(r1.GetPixel(1, 0), 0x0321BBu);

    ASSERT_EQ(Invoke(RunRandomTile, {"--index", "1", "--out", P("again.bmp")}).status, 0);
    EXPECT_EQ(ReadAll(P("again.bmp")), ReadAll(P("r1.bmp")));
    ASSERT_EQ(Invoke(RunRandomTile, {"--index", "2", "--out", P("r2.bmp")}).status, 0);
    EXPECT_NE(ReadAll(P("r2.bmp")), ReadAll(P("r1.bmp")));
    // The second tile is the painter's second: the engine's own second tile.
    rv::CRandomSource random;
    CDibImage first, second;
    rv::PictureLayout layout;
    ASSERT_TRUE(rv::RandomBackground(first, layout, random));
    ASSERT_TRUE(rv::RandomBackground(second, layout, random));
    CDibImage r2;
    ASSERT_TRUE(r2.LoadBmp(P("r2.bmp")));
    EXPECT_TRUE(SameBlock(r2, second));
}

TEST_F(Cli, GenerateRunsThePaintersPipeline)
{
    CDibImage tile, depthLarge, depthSmall;
    WriteRandom("t.bmp", 40, 25, 2, tile);
    // Depth maps drawn from the two families, one larger and one smaller
    // than the (W - period) x H the picture needs.
    for (auto [img, w, h, name] : {std::tuple{&depthLarge, 400, 150, "big.bmp"}, {&depthSmall, 90, 60, "small.bmp"}}) {
        ASSERT_TRUE(img->Create(w, h));
        std::mt19937 rng(w);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Colour v = rng() % 255;
                img->SetPixel(x, y, (x / 13 + y / 7) % 3 == 0 ? rv::kWhite : (x / 13) % 2 ? v * 0x010101u : 0xFF0000u | v * 0x0101u);
            }
        ASSERT_TRUE(img->SaveBmp(P(name)));
    }
    const int w = 300, h = 120, period = 40;
    for (auto [depthName, depth, feel] : {std::tuple{"big.bmp", &depthLarge, 15}, {"small.bmp", &depthSmall, 200}}) {
        Outcome o = Invoke(RunGenerate, {"--tile", P("t.bmp"), "--width", std::to_string(w), "--height", std::to_string(h),
                                      "--feel", std::to_string(feel), "--depth", P(depthName), "--out", P("s.bmp")});
        ASSERT_EQ(o.status, 0) << o.err;
        CDibImage expected, fitted;
        Tiled(tile, w, h, expected);
        Fitted(*depth, w, h, period, fitted);
        rv::testing::LiteralGenerateStereogram(expected, fitted, w, h, period, feel);
        ExpectFileIs(P("s.bmp"), expected);
    }

    // No depth map: flat, the stereogram is the plain background.
    ASSERT_EQ(Invoke(RunGenerate, {"--tile", P("t.bmp"), "--out", P("flat.bmp")}).status, 0);
    CDibImage flat;
    Tiled(tile, 800, 600, flat);
    ExpectFileIs(P("flat.bmp"), flat);

    // The random tile: period 100 and a picture height of 480.
    ASSERT_EQ(Invoke(RunRandomTile, {"--index", "3", "--out", P("r3.bmp")}).status, 0);
    Outcome o = Invoke(RunGenerate, {"--random-tile", "--random-index", "3", "--width", "250", "--depth", P("big.bmp"),
                                  "--out", P("rs.bmp")});
    ASSERT_EQ(o.status, 0) << o.err;
    CDibImage r3, expected, fitted;
    ASSERT_TRUE(r3.LoadBmp(P("r3.bmp")));
    Tiled(r3, 250, 480, expected);
    Fitted(depthLarge, 250, 480, 100, fitted);
    rv::testing::LiteralGenerateStereogram(expected, fitted, 250, 480, 100, 15);
    ExpectFileIs(P("rs.bmp"), expected);
}

// PNG in and out: a PNG output holds exactly the pixels of the BMP one, and
// PNG tiles and depth maps give the same stereogram as their BMPs.
TEST_F(Cli, PngPicturesInAndOut)
{
    CDibImage tile;
    WriteRandom("t.bmp", 40, 25, 3, tile);
    CDibImage depth;
    ASSERT_TRUE(depth.Create(200, 90));
    for (int y = 10; y < 80; ++y)
        for (int x = 20; x < 180; ++x) depth.SetPixel(x, y, (x / 10 % 2 ? 0x010101u : 0x000101u) * (y + 60) | (x / 10 % 2 ? 0 : 0xFF0000u));
    ASSERT_TRUE(depth.SaveBmp(P("d.bmp")));
    ASSERT_TRUE(rv::SavePng(depth, P("d.png")));
    ASSERT_TRUE(rv::SavePng(tile, P("t.png")));
    const Args common{"--width", "240", "--height", "90", "--feel", "20"};
    auto generate = [&](const std::string& t, const std::string& d, const std::string& out) {
        Args args = common;
        for (const std::string& word : {std::string("--tile"), P(t), std::string("--depth"), P(d), std::string("--out"), P(out)})
            args.push_back(word);
        const Outcome o = Invoke(RunGenerate, args);
        EXPECT_EQ(o.status, 0) << o.err;
    };
    generate("t.bmp", "d.bmp", "s.bmp");
    generate("t.bmp", "d.bmp", "s.png");
    generate("t.png", "d.png", "from-png.bmp");
    EXPECT_EQ(ReadAll(P("from-png.bmp")), ReadAll(P("s.bmp")));
    const std::vector<char> png = ReadAll(P("s.png"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    CDibImage bmp, fromPng;
    ASSERT_TRUE(bmp.LoadBmp(P("s.bmp")));
    ASSERT_TRUE(rv::LoadPicture(fromPng, P("s.png")));
    EXPECT_TRUE(SameBlock(fromPng, bmp));

    // A damaged PNG names itself; nothing is written.
    WriteVariant("d.png", "cut.png", 0, '\x89', 100);
    const Outcome o = Invoke(RunGenerate, {"--tile", P("t.bmp"), "--depth", P("cut.png"), "--out", P("x.png")});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(Lines(o.err), 1);
    EXPECT_NE(o.err.find("cut.png: Damaged PNG"), std::string::npos) << o.err;
    EXPECT_FALSE(fs::exists(P("x.png")));
}

// Each bad input: one line on stderr naming the problem, a non-zero status,
// and the output neither created nor changed.
TEST_F(Cli, BadInputIsRefusedWithOneLineAndNoOutput)
{
    CDibImage tile, depth;
    WriteRandom("t.bmp", 40, 25, 3, tile);
    WriteRandom("d.bmp", 260, 100, 4, depth);
    WriteVariant("t.bmp", "8bit.bmp", 28, 8);
    WriteVariant("t.bmp", "cut.bmp", 0, 'B', 54 + 40 * 3 * 10);
    WriteVariant("t.bmp", "notbmp.bmp", 0, 'X');
    WriteVariant("t.bmp", "rle.bmp", 30, 1);  // compression: run-length
    std::ofstream(P("keep.bmp")) << "old contents";
    const auto keep = ReadAll(P("keep.bmp"));
    const auto before = Files();

    struct Case {
        int (*command)(const Args&);
        Args args;
        std::string mentions;
    };
    const std::string out = P("o.bmp");
    const std::vector<Case> cases = {
        {RunGenerate, {"--tile", P("missing.bmp"), "--out", out}, "missing.bmp"},
        {RunGenerate, {"--tile", P("8bit.bmp"), "--out", out}, "not a 24-bit BMP"},
        {RunGenerate, {"--tile", P("cut.bmp"), "--out", out}, "cut.bmp: a damaged BMP"},
        {RunGenerate, {"--tile", P("rle.bmp"), "--out", out}, "rle.bmp: a compressed BMP"},
        {RunGenerate, {"--tile", P("notbmp.bmp"), "--out", out}, "notbmp.bmp"},
        {RunGenerate, {"--tile", P("t.bmp"), "--depth", P("nodepth.bmp"), "--out", out}, "nodepth.bmp"},
        {RunGenerate, {"--tile", P("t.bmp"), "--depth", P("8bit.bmp"), "--out", out}, "8bit.bmp"},
        {RunGenerate, {"--tile", P("t.bmp"), "--feel", "0", "--out", out}, "--feel"},
        {RunGenerate, {"--tile", P("t.bmp"), "--feel", "241", "--out", out}, "out of range"},
        {RunGenerate, {"--tile", P("t.bmp"), "--feel", "1.5", "--out", out}, "not a whole number"},
        {RunGenerate, {"--tile", P("t.bmp"), "--width", "40", "--out", out}, "no depth-map column"},
        {RunGenerate, {"--random-tile", "--width", "100", "--out", out}, "no depth-map column"},
        {RunGenerate, {"--tile", P("t.bmp"), "--width", "0", "--out", out}, "--width"},
        {RunGenerate, {"--tile", P("t.bmp"), "--height", "12x", "--out", out}, "not a whole number"},
        {RunGenerate, {"--tile", P("t.bmp"), "--width", "99999999999", "--out", out}, "--width"},
        {RunGenerate, {"--tile", P("t.bmp"), "--out", P("nofolder/o.bmp")}, "nofolder"},
        {RunGenerate, {"--tile", P("t.bmp"), "--shiny", "--out", out}, "unknown option '--shiny'"},
        {RunGenerate, {"--tile", P("t.bmp"), "--random-tile", "--out", out}, "--random-tile"},
        {RunGenerate, {"--out", out}, "--tile"},
        {RunGenerate, {"--tile", P("t.bmp"), "--random-index", "2", "--out", out}, "--random-index"},
        {RunGenerate, {"--tile", P("t.bmp")}, "--out"},
        {RunGenerate, {"--tile", P("t.bmp"), "--out"}, "needs a value"},
        {RunGenerate, {"--tile", P("t.bmp"), "--out", out, "--out", out}, "twice"},
        {RunGenerate, {"--tile", P("t.bmp"), "stray", "--out", out}, "stray"},
        {RunGenerate, {"--tile", P("t.bmp"), "--feel", "99", "--out", P("keep.bmp"), "--depth", P("cut.bmp")}, "cut.bmp"},
        {RunBackground, {"--tile", P("missing.bmp"), "--out", out}, "missing.bmp"},
        {RunBackground, {"--tile", P("8bit.bmp"), "--out", out}, "8bit.bmp"},
        {RunBackground, {"--tile", P("t.bmp"), "--height", "-3", "--out", out}, "--height"},
        {RunBackground, {"--tile", P("t.bmp"), "--out", P("keep.bmp/x.bmp")}, "keep.bmp"},
        {RunBackground, {"--tile", P("t.bmp"), "--width", "", "--out", out}, "--width"},
        {RunBackground, {"--tile", P("t.bmp"), "--width", "2000000000", "--height", "2000000000", "--out", out}, "too large"},
        {RunGenerate, {"--tile", P("t.bmp"), "--width", "2000000000", "--height", "2000000000", "--out", out}, "too large"},
        {RunRandomTile, {"--index", "0", "--out", out}, "--index"},
        {RunRandomTile, {"--index", "10001", "--out", out}, "--index"},
        {RunRandomTile, {"--index", "two", "--out", out}, "--index"},
        {RunRandomTile, {"--count", "2", "--out", out}, "--count"},
        {RunRandomTile, {}, "--out"},
        {RunRandomTile, {"--out", P("nofolder/r.bmp")}, "nofolder"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        const Outcome o = Invoke(c.command, c.args);
        EXPECT_NE(o.status, 0) << line;
        EXPECT_EQ(Lines(o.err), 1) << line << "\n" << o.err;
        EXPECT_EQ(o.err.rfind("relievo-cli ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find(c.mentions), std::string::npos) << line << "\n" << o.err;
        EXPECT_EQ(o.out, "") << line;
        EXPECT_EQ(Files(), before) << line;
        EXPECT_EQ(ReadAll(P("keep.bmp")), keep) << line;
    }
}

TEST_F(Cli, AnExistingOutputIsReplacedOnlyOnSuccess)
{
    CDibImage tile, expected;
    WriteRandom("t.bmp", 20, 20, 5, tile);
    std::ofstream(P("o.bmp")) << "old";
    ASSERT_EQ(Invoke(RunBackground, {"--tile", P("t.bmp"), "--width", "50", "--height", "30", "--out", P("o.bmp")}).status, 0);
    Tiled(tile, 50, 30, expected);
    ExpectFileIs(P("o.bmp"), expected);
    EXPECT_EQ(Files(), (std::set<std::string>{"t.bmp", "o.bmp"}));
}

TEST_F(Cli, EveryCommandDescribesItself)
{
    for (auto command : {RunBackground, RunRandomTile, RunGenerate}) {
        const Outcome o = Invoke(command, {"--help"});
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out.rfind("usage: relievo-cli ", 0), 0u) << o.out;
        EXPECT_EQ(o.err, "");
    }
    EXPECT_NE(Invoke(RunGenerate, {"--help"}).out.find("--feel"), std::string::npos);
    EXPECT_TRUE(Files().empty());
}

// The built tool: command dispatch and exit status.
int System(const std::string& args)
{
    const int raw = std::system((std::string("\"") + RV_CLI_EXE + "\" " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST_F(Cli, TheToolDispatchesCommands)
{
    EXPECT_EQ(System("--help"), 0);
    EXPECT_EQ(System(""), 2);
    EXPECT_EQ(System("paint-the-town"), 2);
    EXPECT_EQ(System("generate --help"), 0);
    EXPECT_EQ(System("random-tile --out \"" + P("r.bmp") + "\""), 0);
    EXPECT_TRUE(fs::exists(P("r.bmp")));
    EXPECT_EQ(System("generate --tile \"" + P("none.bmp") + "\" --out \"" + P("o.bmp") + "\""), 1);
    EXPECT_FALSE(fs::exists(P("o.bmp")));
}

// The files the Windows build is compared with are what this build makes
// from the bundled tiles and samples.
TEST_F(Cli, ExpectedPicturesForTheWindowsBuildAreCurrent)
{
    const fs::path root = RV_SOURCE_DIR;
    std::ifstream list(root / "tools/relievo-cli/tests/expected/cases.txt");
    ASSERT_TRUE(list) << "cases.txt";
    std::string line;
    int cases = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string expected, word;
        words >> expected;
        Args args;
        while (words >> word) args.push_back(word.rfind("@", 0) == 0 ? (root / word.substr(1)).string() : word);
        args.push_back("--out");
        args.push_back(P("made.bmp"));
        const Outcome o = Invoke(RunGenerate, args);
        ASSERT_EQ(o.status, 0) << line << "\n" << o.err;
        EXPECT_TRUE(ReadAll(P("made.bmp")) == ReadAll(root / "tools/relievo-cli/tests/expected" / expected)) << line;
        ++cases;
    }
    EXPECT_GE(cases, 2);
}

} // namespace
} // namespace rvcli
