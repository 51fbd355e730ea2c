#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "installer/package/Platform.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/wizard/core/DibFile.h"
#include "installer/wizard/core/tests/BmpFile.h"

namespace vela::test {
namespace {

std::uint32_t Get32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24); }

std::string Bytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 13 + seed) % 251);
    return bytes;
}

std::unique_ptr<CPackedDib> Load(const std::string& bytes)
{
    std::unique_ptr<IBinaryFile> file = OpenMemoryFile(bytes);
    return LoadDib(*file);
}

std::vector<std::uint32_t> Greys(std::size_t n)
{
    std::vector<std::uint32_t> c;
    for (std::size_t i = 0; i < n; ++i) c.push_back(static_cast<std::uint32_t>(0x010203 * (i % 80)) + 0x000001);
    return c;
}

std::string Table(const CPackedDib& dib)
{
    return std::string(reinterpret_cast<const char*>(dib.ColourTable()), dib.ColourCount() * 4);
}
std::string Pixels(const CPackedDib& dib)
{
    return std::string(reinterpret_cast<const char*>(dib.Pixels()), dib.PixelBytes());
}
std::string ExpectedTable(const std::vector<std::uint32_t>& colours)
{
    std::string t;
    for (std::uint32_t c : colours) Put32(t, c & 0xFFFFFF);
    return t;
}

// Header, table and pixels agree with each other and with the block.
void ExpectConsistent(const CPackedDib& dib, const std::string& what)
{
    const unsigned char* h = dib.Header();
    EXPECT_EQ(Get32(h), 40u) << what;
    EXPECT_EQ(static_cast<std::int32_t>(Get32(h + 4)), dib.Width()) << what;
    EXPECT_EQ(static_cast<std::int32_t>(Get32(h + 8)), dib.Height()) << what;
    EXPECT_GT(dib.Width(), 0) << what;
    EXPECT_GT(dib.Height(), 0) << what;
    EXPECT_EQ(Get32(h + 16), 0u) << "uncompressed " << what;
    EXPECT_EQ(Get32(h + 32), dib.ColourCount()) << what;
    EXPECT_EQ(dib.Stride(), Stride(dib.BitsPerPixel(), dib.Width())) << what;
    EXPECT_EQ(Get32(h + 20), dib.Stride() * dib.Height()) << what;
    EXPECT_EQ(dib.PixelBytes(), dib.Stride() * dib.Height()) << what;
    EXPECT_EQ(dib.BlockSize(), 40 + dib.ColourCount() * 4 + dib.PixelBytes()) << what;
    if (dib.BitsPerPixel() <= 8) {
        EXPECT_LE(dib.ColourCount(), 1u << dib.BitsPerPixel()) << what;
    }
}

// ---- Loading ---------------------------------------------------------------

TEST(LoadDib, EachDepthWithAndWithoutAPalette)
{
    struct Row {
        std::uint16_t bits;
        std::size_t colours;
        std::uint32_t used;
    };
    for (const Row& r : std::vector<Row>{{1, 2, 0}, {4, 16, 0}, {4, 5, 5}, {8, 256, 0}, {24, 0, 0}, {24, 3, 3},
                                         {16, 0, 0}, {32, 0, 0}, {32, 7, 7}}) {
        Bmp bmp;
        bmp.bits = r.bits;
        bmp.coloursUsed = r.used;
        bmp.width = 13;
        bmp.height = 7;
        bmp.colours = Greys(r.colours);
        bmp.pixels = Bytes(Stride(r.bits, 13) * 7, r.bits);
        auto dib = Load(bmp.File());
        ASSERT_TRUE(dib) << r.bits;
        ExpectConsistent(*dib, std::to_string(r.bits));
        EXPECT_EQ(dib->BitsPerPixel(), r.bits);
        EXPECT_EQ(dib->Width(), 13);
        EXPECT_EQ(dib->Height(), 7);
        EXPECT_EQ(dib->ColourCount(), r.colours);
        EXPECT_EQ(Table(*dib), ExpectedTable(bmp.colours)) << r.bits;
        EXPECT_EQ(Pixels(*dib), bmp.pixels) << r.bits;
    }
}

TEST(LoadDib, CoreHeaderIsWidenedToTheInformationHeader)
{
    for (std::uint16_t bits : {1, 4, 8, 24}) {
        Bmp bmp;
        bmp.core = true;
        bmp.bits = bits;
        bmp.width = 300;  // beyond a byte: the 16-bit fields are read whole
        bmp.height = 2;
        bmp.colours = Greys(bits <= 8 ? std::size_t{1} << bits : 0);
        bmp.pixels = Bytes(Stride(bits, 300) * 2, 3);
        for (bool fileHeader : {true, false}) {
            bmp.fileHeader = fileHeader;
            auto dib = Load(bmp.File());
            ASSERT_TRUE(dib) << bits;
            ExpectConsistent(*dib, "core " + std::to_string(bits));
            EXPECT_EQ(dib->Width(), 300);
            EXPECT_EQ(dib->Height(), 2);
            EXPECT_EQ(dib->ColourCount(), bmp.colours.size());
            EXPECT_EQ(Get32(dib->Header() + 36), bmp.colours.size()) << "colours important";
            EXPECT_EQ(Table(*dib), ExpectedTable(bmp.colours)) << "triples become entries with a zero byte";
            EXPECT_EQ(Pixels(*dib), bmp.pixels);
        }
    }
}

TEST(LoadDib, ColoursUsedZeroMeansTheFullTableOtherwiseTheCount)
{
    // Without a file header the pixels follow the table, so a wrong count
    // would also shift the pixels.
    for (std::uint32_t used : {0u, 20u, 256u}) {
        Bmp bmp;
        bmp.fileHeader = false;
        bmp.bits = 8;
        bmp.coloursUsed = used;
        bmp.colours = Greys(used == 0 ? 256 : used);
        bmp.pixels = Bytes(Stride(8, 5) * 3, 9);
        auto dib = Load(bmp.File());
        ASSERT_TRUE(dib) << used;
        ExpectConsistent(*dib, std::to_string(used));
        EXPECT_EQ(dib->ColourCount(), used == 0 ? 256u : used);
        EXPECT_EQ(Table(*dib), ExpectedTable(bmp.colours));
        EXPECT_EQ(Pixels(*dib), bmp.pixels);
    }
}

TEST(LoadDib, OversizedColourCountsAreHeldToWhatTheTableCanBe)
{
    // As many colours as the count says are written; the file header's offset
    // finds the pixels behind them.
    struct Row {
        std::uint16_t bits;
        std::uint32_t used;
        std::size_t written;
        std::uint32_t held;
    };
    for (const Row& r : std::vector<Row>{{8, 0xFFFFFFFF, 256, 256}, {4, 17, 17, 16}, {24, 1000, 1000, 256}}) {
        SCOPED_TRACE(std::to_string(r.bits) + "-bit with " + std::to_string(r.used) + " colours");
        Bmp bmp;
        bmp.bits = r.bits;
        bmp.coloursUsed = r.used;
        bmp.colours = Greys(r.written);
        bmp.pixels = Bytes(Stride(r.bits, 5) * 3, 1);
        auto dib = Load(bmp.File());
        ASSERT_TRUE(dib);
        ExpectConsistent(*dib, "");
        EXPECT_EQ(dib->ColourCount(), r.held);
        EXPECT_EQ(Table(*dib), ExpectedTable(Greys(r.held)));
        EXPECT_EQ(Pixels(*dib), bmp.pixels);
    }
}

TEST(LoadDib, GapBeforeThePixelsIsSkippedByTheStoredOffset)
{
    Bmp bmp;
    bmp.bits = 8;
    bmp.colours = Greys(256);
    bmp.gap = 100;
    bmp.pixels = Bytes(Stride(8, 5) * 3, 4);
    auto dib = Load(bmp.File());
    ASSERT_TRUE(dib);
    EXPECT_EQ(Pixels(*dib), bmp.pixels);
}

TEST(LoadDib, MissingImageSizeIsComputed)
{
    Bmp bmp;
    bmp.width = 164;
    bmp.height = 314;
    bmp.pixels = Bytes(492 * 314, 5);
    auto dib = Load(bmp.File());
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->Stride(), 492u);
    EXPECT_EQ(Get32(dib->Header() + 20), 314u * 492u);
    EXPECT_EQ(Pixels(*dib), bmp.pixels);
}

TEST(LoadDib, ImageSizeFieldNeverSizesTheBlock)
{
    for (std::uint32_t field : {4u, 0xFFFFFFF0u, 1000000u}) {
        Bmp bmp;
        bmp.sizeImage = field;
        bmp.pixels = Bytes(Stride(24, 5) * 3, 6);
        auto dib = Load(bmp.File());
        ASSERT_TRUE(dib) << field;
        ExpectConsistent(*dib, std::to_string(field));
        EXPECT_EQ(Pixels(*dib), bmp.pixels);
    }
}

TEST(LoadDib, ShortPixelDataIsZeroFilled)
{
    Bmp bmp;
    bmp.width = 100;
    bmp.height = 400;  // 120,000 bytes: several 32 KiB pieces
    const std::string full = Bytes(Stride(24, 100) * 400, 7);
    for (std::size_t kept : {std::size_t{0}, std::size_t{1}, std::size_t{32768}, std::size_t{50001}, full.size() - 1}) {
        bmp.pixels = full.substr(0, kept);
        auto dib = Load(bmp.File());
        ASSERT_TRUE(dib) << kept;
        ExpectConsistent(*dib, std::to_string(kept));
        const std::string pixels = Pixels(*dib);
        EXPECT_EQ(pixels.substr(0, kept), bmp.pixels) << kept;
        EXPECT_EQ(pixels.substr(kept), std::string(full.size() - kept, '\0')) << kept;
    }
    // A table cut short: the missing entries are zero, the picture still loads.
    Bmp cut;
    cut.bits = 8;
    cut.colours = Greys(100);
    std::string file = cut.File();
    auto dib = Load(file);
    ASSERT_TRUE(dib);
    EXPECT_EQ(Table(*dib), ExpectedTable(Greys(100)) + std::string(156 * 4, '\0'));
}

TEST(LoadDib, TopDownRowsAreTurnedBottomUp)
{
    for (std::uint16_t bits : {1, 8, 24}) {
        Bmp up;
        up.bits = bits;
        up.width = 9;
        up.height = 5;
        up.colours = Greys(bits <= 8 ? std::size_t{1} << bits : 0);
        up.pixels = Bytes(Stride(bits, 9) * 5, 8);
        Bmp down = up;
        down.height = -5;
        down.pixels.clear();
        const std::size_t stride = Stride(bits, 9);
        for (int row = 4; row >= 0; --row) down.pixels += up.pixels.substr(row * stride, stride);
        auto a = Load(up.File());
        auto b = Load(down.File());
        ASSERT_TRUE(a && b);
        ExpectConsistent(*b, "top-down");
        EXPECT_EQ(b->Height(), 5);
        EXPECT_EQ(Pixels(*b), Pixels(*a)) << bits;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(b->Block()), b->BlockSize()),
                  std::string(reinterpret_cast<const char*>(a->Block()), a->BlockSize()));
    }
}

TEST(LoadDib, RefusesWhatTheBlockCannotDescribe)
{
    struct Row {
        const char* why;
        std::function<void(Bmp&)> change;
    };
    const std::vector<Row> rows{
        {"header of 64 bytes", [](Bmp& b) { b.headerSize = 64; }},
        {"V4 header", [](Bmp& b) { b.headerSize = 108; }},
        {"V5 header", [](Bmp& b) { b.headerSize = 124; }},
        {"OS/2 header of 16 bytes", [](Bmp& b) { b.headerSize = 16; }},
        {"two planes", [](Bmp& b) { b.planes = 2; }},
        {"2 bits", [](Bmp& b) { b.bits = 2; }},
        {"0 bits", [](Bmp& b) { b.bits = 0; }},
        {"run lengths", [](Bmp& b) { b.bits = 8; b.compression = 1; }},
        {"bit fields", [](Bmp& b) { b.bits = 16; b.compression = 3; }},
        {"JPEG", [](Bmp& b) { b.compression = 4; }},
        {"width 0", [](Bmp& b) { b.width = 0; }},
        {"negative width", [](Bmp& b) { b.width = -5; }},
        {"height 0", [](Bmp& b) { b.height = 0; }},
        {"width beyond 32767", [](Bmp& b) { b.width = 32768; }},
        {"height beyond 32767", [](Bmp& b) { b.height = -32768; }},
        {"lowest height", [](Bmp& b) { b.height = INT32_MIN; }},
        {"more than 64 MiB of pixels", [](Bmp& b) { b.width = 8000; b.height = 3000; b.bits = 32; }},
        {"one row past 64 MiB", [](Bmp& b) { b.width = 4096; b.height = 4097; b.bits = 32; }},
        {"one top-down row past 64 MiB", [](Bmp& b) { b.width = 4096; b.height = -4097; b.bits = 32; }},
        {"both sides 32767 at 32 bits", [](Bmp& b) { b.width = 32767; b.height = 32767; b.bits = 32; }},
    };
    for (const Row& r : rows) {
        Bmp bmp;
        r.change(bmp);
        EXPECT_FALSE(Load(bmp.File())) << r.why;
    }
}

TEST(LoadDib, TakesPixelsUpTo64MiB)
{
    Bmp bmp;
    bmp.width = 4096;
    bmp.height = 4096;
    bmp.bits = 32;
    auto dib = Load(bmp.File());
    ASSERT_TRUE(dib) << "exactly 64 MiB of pixels";
    EXPECT_EQ(dib->PixelBytes(), std::size_t{64} << 20);
    EXPECT_EQ(dib->Height(), 4096);
}

TEST(LoadDib, RefusesFilesShorterThanTheirHeaders)
{
    Bmp bmp;
    bmp.pixels = Bytes(Stride(24, 5) * 3, 1);
    const std::string file = bmp.File();
    for (std::size_t size : {0, 1, 13, 14, 30, 53}) EXPECT_FALSE(Load(file.substr(0, size))) << size;
    EXPECT_TRUE(Load(file.substr(0, 54))) << "headers whole, no pixels: drawn as zeros";

    Bmp core;
    core.core = true;
    core.bits = 24;
    core.width = 1;
    core.height = 1;
    core.pixels = "\x01\x02\x03";
    const std::string small = core.File();  // 14 + 12 + 3 bytes: shorter than an information header
    ASSERT_LT(small.size(), 54u);
    auto dib = Load(small);
    ASSERT_TRUE(dib) << "a core header needs only its 12 bytes";
    EXPECT_EQ(Pixels(*dib), std::string("\x01\x02\x03\0", 4));
    EXPECT_FALSE(Load(small.substr(0, 14 + 11)));
}

TEST(LoadDibFile, MissingFileGivesNothing)
{
    FakePlatform platform;
    EXPECT_FALSE(LoadDibFile(platform, "C:\\Temp\\none.bmp"));
    Bmp bmp;
    bmp.pixels = Bytes(Stride(24, 5) * 3, 1);
    platform.files["C:\\Temp\\Wel.Bmp"] = bmp.File();
    auto dib = LoadDibFile(platform, "C:\\Temp\\Wel.Bmp");
    ASSERT_TRUE(dib);
    EXPECT_EQ(Pixels(*dib), bmp.pixels);
}

// ---- Palette ---------------------------------------------------------------

TEST(DibPalette, ColourTableGivesTheEntries)
{
    Bmp bmp;
    bmp.bits = 8;
    bmp.coloursUsed = 20;
    bmp.colours = Greys(20);
    bmp.colours[3] = 0x123456;
    bmp.pixels = Bytes(Stride(8, 5) * 3, 1);
    auto dib = Load(bmp.File());
    DibPalette palette;
    ASSERT_TRUE(MakeDibPalette(dib.get(), palette));
    EXPECT_EQ(palette.version, 0x300);
    EXPECT_EQ(palette.count, 20);
    EXPECT_EQ(palette.entries[3].red, 0x12);
    EXPECT_EQ(palette.entries[3].green, 0x34);
    EXPECT_EQ(palette.entries[3].blue, 0x56);
    EXPECT_EQ(palette.entries[3].flags, 0);
}

TEST(DibPalette, TwentyFourBitsGetTheColourCube)
{
    Bmp bmp;
    bmp.pixels = Bytes(Stride(24, 5) * 3, 1);
    auto dib = Load(bmp.File());
    DibPalette palette;
    ASSERT_TRUE(MakeDibPalette(dib.get(), palette));
    EXPECT_EQ(palette.count, 256);
    struct Row {
        int i, red, green, blue;
    };
    for (const Row& r : std::vector<Row>{{0, 0, 0, 0}, {9, 32, 32, 0}, {64, 0, 0, 64}, {255, 224, 224, 192},
                                         {7, 224, 0, 0}, {56, 0, 224, 0}}) {
        EXPECT_EQ(palette.entries[r.i].red, r.red) << r.i;
        EXPECT_EQ(palette.entries[r.i].green, r.green) << r.i;
        EXPECT_EQ(palette.entries[r.i].blue, r.blue) << r.i;
    }
}

TEST(DibPalette, NoneForSixteenAndThirtyTwoBitsWithoutATable)
{
    for (std::uint16_t bits : {16, 32}) {
        Bmp bmp;
        bmp.bits = bits;
        bmp.pixels = Bytes(Stride(bits, 5) * 3, 1);
        auto dib = Load(bmp.File());
        ASSERT_TRUE(dib);
        DibPalette palette;
        EXPECT_FALSE(MakeDibPalette(dib.get(), palette)) << bits;
        EXPECT_EQ(palette.count, 0);
    }
    DibPalette palette;
    EXPECT_FALSE(MakeDibPalette(nullptr, palette));
}

// ---- BMP Suite ---------------------------------------------------------------

// "g/pal8.bmp" is kept as suite-g-pal8.bmp in the corpus.
std::string SuitePath(const std::string& name) { return RV_BMP_CORPUS "/suite-" + name.substr(0, 1) + "-" + name.substr(2); }

std::unique_ptr<CPackedDib> LoadSuite(const std::string& name)
{
    std::unique_ptr<IBinaryFile> file = OpenStdioFileForReading(SuitePath(name));
    if (!file) return nullptr;
    return LoadDib(*file);
}

TEST(BmpSuite, EveryFileLoadsConsistentlyOrIsRefused)
{
    int files = 0, loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(RV_BMP_CORPUS)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind("suite-", 0) != 0) continue;
        const std::string name = file.substr(6, 1) + "/" + file.substr(8); // back to "g/pal8.bmp"
        ++files;
        auto dib = LoadSuite(name);
        if (!dib) continue;
        ++loaded;
        ExpectConsistent(*dib, name);
        DibPalette palette;
        MakeDibPalette(dib.get(), palette);
        EXPECT_LE(palette.count, 256) << name;
    }
    EXPECT_EQ(files, 90);
    EXPECT_GT(loaded, 20);
}

TEST(BmpSuite, GoodPicturesOfOneImageAgree)
{
    auto pal8 = LoadSuite("g/pal8.bmp");
    ASSERT_TRUE(pal8);
    EXPECT_EQ(pal8->Width(), 127);
    EXPECT_EQ(pal8->Height(), 64);
    EXPECT_EQ(pal8->ColourCount(), 252u);
    for (const char* same : {"g/pal8topdown.bmp", "g/pal8os2.bmp", "g/pal8-0.bmp", "q/pal8offs.bmp"}) {
        auto other = LoadSuite(same);
        ASSERT_TRUE(other) << same;
        EXPECT_EQ(Pixels(*other), Pixels(*pal8)) << same;
        EXPECT_EQ(Table(*other).substr(0, 252 * 4), Table(*pal8)) << same;
    }
    for (const char* name : {"g/pal1.bmp", "g/pal4.bmp", "g/rgb24.bmp", "g/rgb32.bmp", "g/rgb16.bmp"}) {
        auto dib = LoadSuite(name);
        ASSERT_TRUE(dib) << name;
        EXPECT_EQ(dib->Width(), 127) << name;
        EXPECT_EQ(dib->Height(), 64) << name;
    }
    for (const char* refused : {"g/pal4rle.bmp", "g/pal8rle.bmp", "g/pal8v4.bmp", "g/pal8v5.bmp",
                                "g/rgb16-565.bmp", "q/rgb24jpeg.bmp", "q/rgb24png.bmp", "b/badplanes.bmp",
                                "b/badbitcount.bmp", "b/badheadersize.bmp", "b/reallybig.bmp"}) {
        EXPECT_FALSE(LoadSuite(refused)) << refused;
    }
}

} // namespace
} // namespace vela::test
