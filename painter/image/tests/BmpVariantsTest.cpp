// BMP files as other programs write them: larger info headers, a gap before
// the pixels, top-down rows; and the files a loader must refuse.
#include "painter/image/DibImage.h"
#include "painter/image/Platform.h"
#include "painter/image/tests/BmpFiles.h"
#include "painter/stereo/Stereogram.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace rv {
namespace {

using namespace rv::test;

const fs::path kCorpus = fs::path(RV_SOURCE_DIR) / "fuzz" / "corpus" / "bmp";

class BmpVariants : public BmpFileTest {
protected:
    // A 40-byte-header picture of w x h with a pattern, saved by the image itself.
    Bytes Plain(int w, int h, CDibImage& img)
    {
        EXPECT_TRUE(img.Create(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) img.SetPixel(x, y, static_cast<Colour>(x * 40 + y * 7 + (x ^ y) * 0x10100));
        EXPECT_TRUE(img.SaveBmp(Path("plain.bmp")));
        return ReadAll(Path("plain.bmp"));
    }
    static void ExpectSamePixels(const CDibImage& a, const CDibImage& b, const std::string& what)
    {
        ASSERT_EQ(a.Width(), b.Width()) << what;
        ASSERT_EQ(a.Height(), b.Height()) << what;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x) ASSERT_EQ(a.GetPixel(x, y), b.GetPixel(x, y)) << what << " " << x << "," << y;
    }
};

TEST_F(BmpVariants, LargerHeadersGapsAndTopDownRowsReadTheSamePixels)
{
    CDibImage original;
    const Bytes plain = Plain(13, 5, original);
    for (int headerSize : {40, 52, 56, 108, 124})
        for (int gap : {0, 4, 1024})
            for (bool topDown : {false, true}) {
                const std::string what = std::to_string(headerSize) + "/" + std::to_string(gap) + (topDown ? "/td" : "");
                WriteAll(Path("v.bmp"), BmpVariant(plain, headerSize, gap, topDown, original.Stride(), 5));
                CDibImage img;
                ASSERT_TRUE(img.LoadBmp(Path("v.bmp"))) << what;
                ExpectSamePixels(img, original, what);
                // Held as the usual block: a 40-byte header with a positive
                // height and no colour table, then the rows.
                EXPECT_EQ(img.Block()[0], 40) << what;
                EXPECT_EQ(img.Block()[8], 5) << what;
                EXPECT_EQ(img.BlockSize(), 40 + 5 * original.Stride()) << what;
                ASSERT_TRUE(img.SaveBmp(Path("saved.bmp")));
                EXPECT_EQ(ReadAll(Path("saved.bmp")), plain) << what << ": saved as the plain picture";
            }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(BmpVariants, ImageMagicksPictureGivesTheSameStereogramAsThePlainOne)
{
    // The same depth map and tile written by ImageMagick with its default
    // 124-byte header (pixels at 138) and as BMP3 with a 40-byte header.
    CDibImage depth5, depth3, tile5, tile3;
    ASSERT_TRUE(depth5.LoadBmp((kCorpus / "im-depth-v5.bmp").string()));
    ASSERT_TRUE(depth3.LoadBmp((kCorpus / "im-depth-v3.bmp").string()));
    ASSERT_EQ(Get32(ReadAll(kCorpus / "im-depth-v5.bmp"), 10), 138u);
    ExpectSamePixels(depth5, depth3, "depth map");
    ASSERT_TRUE(tile5.LoadBmp((kCorpus / "im-tile-v5.bmp").string()));
    ASSERT_TRUE(tile3.LoadBmp((kCorpus / "tile-b5.bmp").string()));
    ExpectSamePixels(tile5, tile3, "tile");

    std::vector<Colour> stereograms[2];
    for (int i = 0; i < 2; ++i) {
        const CDibImage& tile = i ? tile3 : tile5;
        const CDibImage& depth = i ? depth3 : depth5;
        StereogramParams params;
        params.period = tile.Width();
        params.pictureWidth = depth.Width() + params.period;
        params.pictureHeight = depth.Height();
        CDibImage background;
        ASSERT_TRUE(background.Create(params.pictureWidth, params.pictureHeight));
        for (int y = 0; y < params.pictureHeight; ++y)
            for (int x = 0; x < params.pictureWidth; ++x)
                background.SetPixel(x, y, tile.GetPixel(x % tile.Width(), y % tile.Height()));
        GenerateStereogram(background, depth, params);
        for (int y = 0; y < params.pictureHeight; ++y)
            for (int x = 0; x < params.pictureWidth; ++x) stereograms[i].push_back(background.GetPixel(x, y));
    }
    EXPECT_EQ(stereograms[0], stereograms[1]);
    // The depth map is not flat, so the comparison saw shifted pixels.
    int deep = 0;
    for (int y = 0; y < depth3.Height(); ++y)
        for (int x = 0; x < depth3.Width(); ++x) deep += HasDepth(depth3.GetPixel(x, y));
    EXPECT_GT(deep, 100);
}

// Every 24-bit file of the public BMP suite's good and questionable sets
// loads with the pixels of the suite's reference picture or is refused with
// a message; every bad file is refused; none reads outside its block (the
// sanitizer build runs this too).
TEST_F(BmpVariants, ThePublicSuite)
{
    CDibImage reference;
    ASSERT_TRUE(reference.LoadBmp((kCorpus / "suite-g-rgb24.bmp").string()));
    ASSERT_EQ(reference.Width(), 127);
    ASSERT_EQ(reference.Height(), 64);
    int loaded = 0, refused = 0, bad = 0;
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("suite-", 0) != 0) continue;
        const Bytes bytes = ReadAll(entry.path());
        const bool is24 = bytes.size() >= 30 && Get32(bytes, 14) >= 40 && (bytes[28] | bytes[29] << 8) == 24;
        box.shown.clear();
        CDibImage img;
        const bool ok = img.LoadBmp(entry.path().string());
        if (name.rfind("suite-b-", 0) == 0) {
            ++bad;
            EXPECT_FALSE(ok) << name;
            continue;
        }
        if (ok) {
            ++loaded;
            EXPECT_TRUE(is24) << name;
            // The stored bytes, decoded here on their own: rows bottom-up
            // from the pixel offset.
            const std::uint32_t offset = Get32(bytes, 10);
            for (int y = 0; y < img.Height(); ++y)
                for (int x = 0; x < img.Width(); ++x) {
                    const std::size_t at = offset + static_cast<std::size_t>(img.Height() - 1 - y) * img.Stride() + 3 * x;
                    const Colour stored = static_cast<Colour>(bytes[at]) << 16 | bytes[at + 1] << 8 | bytes[at + 2];
                    ASSERT_EQ(img.GetPixel(x, y), stored) << name << " " << x << "," << y;
                }
            // All show the suite's picture; prof2's colours are altered for
            // its profile, which a depth map has no use for.
            if (name.find("prof2") == std::string::npos) ExpectSamePixels(img, reference, name);
        } else {
            ++refused;
            ASSERT_EQ(box.shown.size(), 1u) << name;
            if (!is24) {
                EXPECT_TRUE(box.shown[0] == kMsgNot24Bit || box.shown[0] == kMsgBadBmpHeader) << name;
            }
        }
    }
    EXPECT_EQ(loaded, 6);  // rgb24, rgb24pal, rgb24largepal, rgb24lprof, rgb24prof, rgb24prof2
    EXPECT_EQ(bad, 20);
    EXPECT_GT(refused, 60);
}


// A full disk: every file opened for writing is /dev/full, whose writes
// fail when they reach the device; reading, renaming and removing act on
// the real files.
class FullDisk : public IFileOpener {
public:
    std::FILE* Open(const std::string& path, const char* mode) override
    {
        if (mode[0] == 'w') return std::fopen("/dev/full", "wb");
        return std::fopen(NativePath(path).c_str(), mode);
    }
};

TEST_F(BmpVariants, ASaveOnAFullDiskKeepsTheOldFile)
{
    CDibImage old;
    const Bytes before = Plain(20, 10, old);  // plain.bmp
    CDibImage other;
    ASSERT_TRUE(other.Create(30, 30));
    FullDisk disk;
    SetFileOpener(&disk);
    const bool saved = other.SaveBmp(Path("plain.bmp"));
    SetFileOpener(nullptr);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(Path("plain.bmp")), before);
    EXPECT_FALSE(fs::exists(Path("plain.bmp") + CDibImage::kSavingSuffix));
    // On a disk with room the same save replaces the file whole.
    ASSERT_TRUE(other.SaveBmp(Path("plain.bmp")));
    EXPECT_EQ(ReadAll(Path("plain.bmp")).size(), 54u + 30 * 92);
    EXPECT_FALSE(fs::exists(Path("plain.bmp") + CDibImage::kSavingSuffix));
}

} // namespace
} // namespace rv
