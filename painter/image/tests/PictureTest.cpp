// PNG and JPEG pictures: every PNG colour type and bit depth, interlaced or
// not, with transparency laid on white; baseline, progressive and grey JPEG;
// writing PNG; and the damaged, truncated and oversized files that must be
// refused with the old picture kept. The files are in tests/pictures
// (made by make.sh and handmade.py there).
#include "painter/image/DibImage.h"
#include "painter/image/Picture.h"
#include "painter/image/Platform.h"
#include "painter/image/tests/BmpFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace rv {
namespace {

using namespace rv::test;

const char kDir[] = "tests/pictures/";

// A file of the pictures folder; one that is not there fails the test.
Bytes ReadPicture(const std::string& name)
{
    EXPECT_TRUE(fs::exists(kDir + name)) << name;
    return ReadAll(kDir + name);
}

// The picture tests, each with a folder of its own and the messages shown.
class PngPictures : public BmpFileTest {};
class JpegPictures : public BmpFileTest {};
class BadPictures : public BmpFileTest {
protected:
    // A picture that must be refused: LoadPicture fails with `message` and
    // the old picture stays.
    void ExpectRefused(const Bytes& bytes, const std::string& message, const char* what)
    {
        SCOPED_TRACE(what);
        WriteAll(Path("bad-picture"), bytes);
        box.shown.clear();
        CDibImage picture;
        ASSERT_TRUE(picture.Create(3, 2));
        picture.SetPixel(1, 1, 0x123456);
        EXPECT_FALSE(LoadPicture(picture, Path("bad-picture")));
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_EQ(picture.GetPixel(1, 1), 0x123456u);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0], message);
    }
};

// The largest difference of any channel of any pixel, and the mean one.
struct Difference {
    int largest = 0;
    double mean = 0;
};
Difference Compare(const CDibImage& a, const CDibImage& b)
{
    Difference d;
    EXPECT_EQ(a.Width(), b.Width());
    EXPECT_EQ(a.Height(), b.Height());
    if (a.Width() != b.Width() || a.Height() != b.Height()) return {255, 255};
    long long sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int shift = 0; shift < 24; shift += 8) {
                const int diff = std::abs(static_cast<int>((a.GetPixel(x, y) >> shift) & 0xFF) -
                                          static_cast<int>((b.GetPixel(x, y) >> shift) & 0xFF));
                d.largest = std::max(d.largest, diff);
                sum += diff;
            }
    d.mean = static_cast<double>(sum) / (3.0 * a.Width() * a.Height());
    return d;
}

struct Png {
    const char* name;
    bool transparent; // alpha channel or tRNS: laid on white
};
const Png kPngs[] = {
    {"g1", false}, {"g2", false}, {"g4", false}, {"g8", false}, {"g16", false},
    {"ga8", true}, {"ga16", true}, {"rgb8", false}, {"rgb16", false}, {"rgba8", true},
    {"rgba16", true}, {"p1", false}, {"p2", false}, {"p4", false}, {"p8", false},
    {"p4-trns", true}, {"p2-trns", true}, {"g8-trns", true}, {"rgb16-trns", true},
    {"g2-interlaced", false}, {"g16-interlaced", false}, {"ga8-interlaced", true},
    {"rgb8-interlaced", false}, {"rgba16-interlaced", true}, {"p8-interlaced", false},
};

// Every build decodes each PNG to exactly the pixels the native build
// writes into <name>.bmp (on Windows the system's codec must agree).
TEST_F(PngPictures, EveryKindDecodesToTheSamePixelsInEveryBuild)
{
    for (const Png& png : kPngs) {
        SCOPED_TRACE(png.name);
        CDibImage picture, expected;
        ASSERT_TRUE(LoadPicture(picture, std::string(kDir) + png.name + ".png"));
        ASSERT_TRUE(expected.LoadBmp(std::string(kDir) + png.name + ".bmp"));
        const Difference d = Compare(picture, expected);
        EXPECT_EQ(d.largest, 0);
    }
    EXPECT_TRUE(box.shown.empty());
}

// A second opinion: ImageMagick's own reading on white (*.im.bmp). Opaque
// pictures agree exactly; where alpha is laid on white, rounding may differ
// by one.
TEST_F(PngPictures, AgreeWithAnotherReader)
{
    for (const Png& png : kPngs) {
        SCOPED_TRACE(png.name);
        CDibImage picture, other;
        ASSERT_TRUE(LoadPicture(picture, std::string(kDir) + png.name + ".png"));
        ASSERT_TRUE(other.LoadBmp(std::string(kDir) + png.name + ".im.bmp"));
        EXPECT_LE(Compare(picture, other).largest, png.transparent ? 1 : 0);
    }
}

TEST_F(PngPictures, TransparencyIsLaidOnWhite)
{
    // p2-trns: palette entry 0 (red) is fully clear, entry 3 (dark grey)
    // opaque; pixel (x, y) uses entry (x + y) % 4.
    CDibImage picture;
    ASSERT_TRUE(LoadPicture(picture, std::string(kDir) + "p2-trns.png"));
    EXPECT_EQ(picture.GetPixel(0, 0), kWhite);
    EXPECT_EQ(picture.GetPixel(3, 0), 0x141414u);
    // Entry 1, green at alpha 128: 255 * 128 / 255 + 255 * 127 / 255.
    EXPECT_EQ(picture.GetPixel(1, 0), 0x7FFF7Fu);
}

// JPEG is lossy and decoders differ in their rounding; every build must come
// within a few levels of ImageMagick's reading of the same file.
TEST_F(JpegPictures, BaselineProgressiveAndGreyDecodeCloseToAnotherReader)
{
    for (const char* name : {"jpeg-baseline", "jpeg-progressive", "jpeg-grey"}) {
        SCOPED_TRACE(name);
        CDibImage picture, other;
        ASSERT_TRUE(LoadPicture(picture, std::string(kDir) + name + ".jpg"));
        ASSERT_TRUE(other.LoadBmp(std::string(kDir) + name + ".im.bmp"));
        const Difference d = Compare(picture, other);
        EXPECT_LE(d.largest, 8);
        EXPECT_LE(d.mean, 1.5);
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(PngPictures, SavedPngReadsBackToTheSamePixelsAndBmpStaysTheDefault)
{
    CDibImage picture;
    ASSERT_TRUE(LoadPicture(picture, std::string(kDir) + "rgba16.png"));
    const std::string out = Path("saved.png");
    ASSERT_TRUE(SavePicture(picture, out));
    const Bytes bytes = ReadAll(out);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(SniffPictureFormat(bytes.data(), bytes.size()), PictureFormat::Png);
    CDibImage back;
    ASSERT_TRUE(LoadPicture(back, out));
    EXPECT_EQ(Compare(picture, back).largest, 0);

    const std::string bmp = Path("saved.Bmp");
    ASSERT_TRUE(SavePicture(picture, bmp));
    EXPECT_EQ(ReadAll(bmp)[0], 'B');
    EXPECT_TRUE(HasPngExtension("A.PNG"));
    EXPECT_FALSE(HasPngExtension("a.png.bmp"));
}

// ----------------------------------------------------------- bad pictures

std::uint32_t Crc(const std::uint8_t* p, std::size_t n)
{
    std::uint32_t c = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

// PNG's numbers are big-endian.
void PutBig32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// Width and height in IHDR replaced, with a CRC that fits (a lying file).
Bytes PngOfSize(Bytes png, std::uint32_t width, std::uint32_t height)
{
    PutBig32(png, 16, width);
    PutBig32(png, 20, height);
    PutBig32(png, 29, Crc(png.data() + 12, 17));
    return png;
}

TEST_F(BadPictures, DamagedTruncatedAndLyingPngsAreRefused)
{
    const Bytes good = ReadPicture("rgb8.png");
    ASSERT_GT(good.size(), 100u);
    for (std::size_t cut : {std::size_t{8}, std::size_t{20}, std::size_t{33}, good.size() / 2, good.size() - 13}) {
        Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        ExpectRefused(truncated, kMsgDamagedPng, "truncated");
    }
    Bytes badCrc = good;
    badCrc[29] ^= 0xFF; // IHDR's CRC
    ExpectRefused(badCrc, kMsgDamagedPng, "IHDR CRC");
    Bytes badData = good;
    std::size_t idat = 8;
    while (idat + 4 < good.size() && std::string(good.begin() + static_cast<std::ptrdiff_t>(idat),
                                                 good.begin() + static_cast<std::ptrdiff_t>(idat) + 4) != "IDAT")
        ++idat;
    ASSERT_LT(idat + 40, good.size());
    for (std::size_t i = idat + 10; i < idat + 40; ++i) badData[i] ^= 0x5A; // inside the compressed data
    ExpectRefused(badData, kMsgDamagedPng, "corrupt data");
    // Sizes the data cannot fill.
    ExpectRefused(PngOfSize(good, 4000, 3000), kMsgDamagedPng, "larger than its data");
    ExpectRefused(PngOfSize(good, 0, 23), kMsgDamagedPng, "zero width");
    // Sizes whose 24-bit form is over 2 GiB: refused before any pixel.
    ExpectRefused(PngOfSize(good, 30000, 30000), kMsgPictureTooLarge, "30000 x 30000");
    ExpectRefused(PngOfSize(good, 0x7FFFFFFF, 1), kMsgPictureTooLarge, "2^31 - 1 wide");
}

TEST_F(BadPictures, DamagedTruncatedAndLyingJpegsAreRefused)
{
    const Bytes good = ReadPicture("jpeg-progressive.jpg");
    ASSERT_GT(good.size(), 300u);
    for (std::size_t cut : {std::size_t{3}, std::size_t{40}, good.size() / 2, good.size() - 30}) {
        Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        ExpectRefused(truncated, kMsgDamagedJpeg, "truncated");
    }
    const Bytes baseline = ReadPicture("jpeg-baseline.jpg");
    // The frame header (SOF0, FF C0): its height and width, 65000 each.
    std::size_t sof = 2;
    while (sof + 9 < baseline.size() && !(baseline[sof] == 0xFF && baseline[sof + 1] == 0xC0)) ++sof;
    ASSERT_LT(sof + 9, baseline.size());
    Bytes huge = baseline;
    huge[sof + 5] = 0xFD, huge[sof + 6] = 0xE8, huge[sof + 7] = 0xFD, huge[sof + 8] = 0xE8;
    ExpectRefused(huge, kMsgPictureTooLarge, "65000 x 65000");
#ifndef _WIN32
    // More rows than the data holds, the file otherwise whole: libjpeg says
    // so with a warning, which the native codec takes as damage. The
    // system's codec fills the missing rows in silently, so the Windows
    // programs read such a file.
    Bytes larger = baseline;
    larger[sof + 5] = 0x03, larger[sof + 6] = 0x00; // 768 rows the data does not hold
    ExpectRefused(larger, kMsgDamagedJpeg, "more rows than its data");
#endif
    // 251 scans (the first one of a progressive file again and again):
    // each is a pass over the whole picture, so a small file could keep the
    // painter busy for minutes.
    const Bytes progressive = good;
    std::size_t first = 2;
    while (!(progressive[first] == 0xFF && progressive[first + 1] == 0xDA)) ++first;
    std::size_t end = first + 2 + (static_cast<std::size_t>(progressive[first + 2]) << 8 | progressive[first + 3]);
    while (!(progressive[end] == 0xFF && progressive[end + 1] != 0 && (progressive[end + 1] & 0xF8) != 0xD0)) ++end;
    Bytes manyScans(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(end));
    for (int i = 0; i < 250; ++i)
        manyScans.insert(manyScans.end(), progressive.begin() + static_cast<std::ptrdiff_t>(first),
                         progressive.begin() + static_cast<std::ptrdiff_t>(end));
    manyScans.insert(manyScans.end(), progressive.begin() + static_cast<std::ptrdiff_t>(end), progressive.end());
    ExpectRefused(manyScans, kMsgDamagedJpeg, "251 scans");
    Bytes noFrame = baseline;
    noFrame[sof + 1] = 0xC8; // JPG extension marker: no frame at all
    ExpectRefused(noFrame, kMsgDamagedJpeg, "no frame");
}

TEST_F(BadPictures, BmpFilesFareAsBefore)
{
    // Anything that is not a PNG or a JPEG goes to the BMP loader unchanged:
    // a file of no known kind fails silently, a missing one too.
    const std::string path = Path("not-a-picture");
    WriteAll(path, {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0});
    CDibImage picture;
    ASSERT_TRUE(picture.Create(2, 2));
    EXPECT_FALSE(LoadPicture(picture, path));
    EXPECT_FALSE(LoadPicture(picture, path + "-missing"));
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
} // namespace rv
