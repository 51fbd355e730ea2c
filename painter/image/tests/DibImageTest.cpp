// The 24-bit picture held as one block: its layout, pixel access, BMP files
// written and read back (trailing bytes, other layouts, files refused with
// or without a message), drawing through a surface and swapping.
#include "painter/image/DibImage.h"
#include "painter/image/DrawSurface.h"
#include "painter/image/Platform.h"
#include "painter/image/tests/BmpFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <vector>

namespace rv {
namespace {

using namespace rv::test;

class DibImageFiles : public BmpFileTest {
protected:
    // A saved 3 x 2 picture with distinct pixels, and the image it came from.
    Bytes SavedSample(CDibImage& img)
    {
        EXPECT_TRUE(img.Create(3, 2));
        img.SetPixel(0, 0, 0x010203);
        img.SetPixel(2, 1, 0x0000FF);
        EXPECT_TRUE(img.SaveBmp(Path("s.bmp")));
        return ReadAll(Path("s.bmp"));
    }
};

TEST(DibImage, CreateLaysOutAWhiteBottomUpBlock)
{
    CDibImage img;
    ASSERT_TRUE(img.Create(700, 600));
    EXPECT_EQ(img.Stride(), 2100);
    EXPECT_EQ(img.BlockSize(), 40 + 600 * 2100);
    EXPECT_EQ(CDibImage::StrideFor(701), 2104);
    const std::uint8_t* h = img.Block();
    EXPECT_EQ(h[0], 40);
    EXPECT_EQ(h[4] | h[5] << 8, 700);
    EXPECT_EQ(h[8] | h[9] << 8, 600);
    EXPECT_EQ(h[12], 1);
    EXPECT_EQ(h[14], 24);
    EXPECT_EQ(h[24] | h[25] << 8, 2834);
    EXPECT_EQ(h[28] | h[29] << 8, 2834);
    for (int i = 0; i < 600 * 2100; ++i)
        ASSERT_EQ(img.Bits()[i], 0xFF) << i;
    EXPECT_EQ(img.GetPixel(699, 599), kWhite);
}

TEST(DibImage, PixelAccessIsTopDownBgrAndClipped)
{
    CDibImage empty;
    EXPECT_EQ(empty.GetPixel(0, 0), kWhite);
    empty.SetPixel(0, 0, 0); // no block: nothing happens

    CDibImage img;
    ASSERT_TRUE(img.Create(5, 4));
    img.SetPixel(0, 0, 0x0000FF);
    const std::uint8_t* lastRow = img.Bits() + 3 * img.Stride();
    EXPECT_EQ(lastRow[0], 0x00);
    EXPECT_EQ(lastRow[1], 0x00);
    EXPECT_EQ(lastRow[2], 0xFF);
    EXPECT_EQ(img.GetPixel(0, 0), 0x0000FFu);
    img.SetPixel(4, 3, 0x123456);
    EXPECT_EQ(img.Bits()[12], 0x12);
    EXPECT_EQ(img.GetPixel(4, 3), 0x123456u);

    for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 4}}) {
        img.SetPixel(x, y, 0);
        EXPECT_EQ(img.GetPixel(x, y), kWhite);
    }
    img.Clear();
    EXPECT_EQ(img.GetPixel(0, 0), kWhite);
    EXPECT_EQ(img.GetPixel(4, 3), kWhite);
}

TEST(DibImage, CreateRefusesImpossibleSizesAndKeepsThePicture)
{
    CDibImage img;
    ASSERT_TRUE(img.Create(2, 2));
    img.SetPixel(1, 1, 0x42);
    EXPECT_FALSE(img.Create(0, 5));
    EXPECT_FALSE(img.Create(5, -1));
    EXPECT_FALSE(img.Create(1 << 30, 1 << 30));
    EXPECT_EQ(img.Width(), 2);
    EXPECT_EQ(img.GetPixel(1, 1), 0x42u);
}

TEST_F(DibImageFiles, SaveWritesHeaderAndBlockAndReloadsToTheSameBytes)
{
    CDibImage img;
    ASSERT_TRUE(img.Create(700, 600));
    ASSERT_TRUE(img.SaveBmp(Path("a.bmp")));
    auto bytes = ReadAll(Path("a.bmp"));
    ASSERT_EQ(bytes.size(), 14u + 40 + 600 * 2100);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[2] | bytes[3] << 8 | bytes[4] << 16 | bytes[5] << 24, static_cast<int>(bytes.size()));
    EXPECT_EQ(bytes[10], 54);

    CDibImage again;
    auto sample = SavedSample(img);
    ASSERT_TRUE(again.LoadBmp(Path("s.bmp")));
    EXPECT_EQ(again.GetPixel(0, 0), 0x010203u);
    EXPECT_EQ(again.GetPixel(2, 1), 0x0000FFu);
    ASSERT_TRUE(again.SaveBmp(Path("t.bmp")));
    EXPECT_EQ(ReadAll(Path("t.bmp")), sample);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(DibImageFiles, TrailingBytesAreKeptAndWrittenBackInEveryLayout)
{
    CDibImage img;
    const Bytes plain = SavedSample(img);
    // As saved, and with a 124-byte header, a gap and top-down rows.
    for (Bytes bytes : {plain, BmpVariant(plain, 124, 8, true, img.Stride(), 2)}) {
        bytes.push_back(0xAB);
        bytes.push_back(0xCD);
        WriteAll(Path("tail.bmp"), bytes);
        CDibImage again;
        ASSERT_TRUE(again.LoadBmp(Path("tail.bmp"))) << (box.shown.empty() ? "" : box.shown[0]);
        ASSERT_TRUE(again.SaveBmp(Path("tail2.bmp")));
        const Bytes back = ReadAll(Path("tail2.bmp"));
        ASSERT_EQ(back.size(), 54u + 2 * 12 + 2);
        EXPECT_EQ(back[back.size() - 2], 0xAB);
        EXPECT_EQ(back.back(), 0xCD);
        EXPECT_EQ(back[2], back.size() & 0xFF); // the file-size field is rewritten from the block
    }
}

TEST_F(DibImageFiles, OtherDepthsShowTheMessageAndEmptyTheImage)
{
    CDibImage img;
    auto bytes = SavedSample(img);
    bytes[14 + 14] = 8;
    WriteAll(Path("8bit.bmp"), bytes);
    EXPECT_FALSE(img.LoadBmp(Path("8bit.bmp")));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0], "Not a 24bit BMP!");
    EXPECT_TRUE(img.Empty());
    EXPECT_EQ(img.Width(), 0);
    EXPECT_EQ(img.Height(), 0);
}

TEST_F(DibImageFiles, UnreadableFilesFailSilentlyAndKeepTheOldPicture)
{
    CDibImage img;
    const auto good = SavedSample(img);
    std::vector<std::pair<const char*, Bytes>> bad;
    auto notBm = good;
    notBm[0] = 'X';
    bad.emplace_back("notbm.bmp", notBm);
    bad.emplace_back("short.bmp", Bytes(good.begin(), good.begin() + 10));
    bad.emplace_back("headers.bmp", Bytes(good.begin(), good.begin() + 53));

    for (const auto& [name, bytes] : bad) {
        WriteAll(Path(name), bytes);
        EXPECT_FALSE(img.LoadBmp(Path(name))) << name;
        EXPECT_EQ(img.Width(), 3) << name;
        EXPECT_EQ(img.GetPixel(0, 0), 0x010203u) << name;
    }
    EXPECT_FALSE(img.LoadBmp(Path("missing.bmp")));
    EXPECT_EQ(img.Width(), 3);
    EXPECT_TRUE(box.shown.empty());

    CDibImage empty;
    EXPECT_FALSE(empty.SaveBmp(Path("empty.bmp")));
    EXPECT_FALSE(fs::exists(Path("empty.bmp")));
}

TEST_F(DibImageFiles, CompressedAndInconsistentPicturesAreRefusedWithAMessage)
{
    CDibImage img;
    const Bytes good = SavedSample(img);
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;
    };
    auto with = [&](std::size_t at, std::uint32_t v, std::size_t at2 = 0, std::uint32_t v2 = 0) {
        Bytes b = good;
        Put32(b, at, v);
        if (at2) Put32(b, at2, v2);
        return b;
    };
    const Case cases[] = {
        {"rle", with(30, 1), kMsgCompressedBmp},
        {"bitfields", with(30, 3), kMsgCompressedBmp},
        {"jpeg", with(30, 4), kMsgCompressedBmp},
        {"core header", with(14, 12), kMsgBadBmpHeader},
        {"header past the end", with(14, 4000), kMsgBadBmpHeader},
        {"offset past the end", with(10, 4000), kMsgDamagedBmp},
        {"offset inside the header", with(10, 30), kMsgDamagedBmp},
        {"zero width", with(18, 0), kMsgDamagedBmp},
        {"negative width", with(18, static_cast<std::uint32_t>(-3)), kMsgDamagedBmp},
        {"zero height", with(22, 0), kMsgDamagedBmp},
        {"lowest height", with(22, 0x80000000u), kMsgDamagedBmp},
        {"one row too many", with(22, 3), kMsgDamagedBmp},
        {"huge", with(18, 0x7FFFFFFF), kMsgDamagedBmp},
        {"absurd", with(18, 0x7FFFFFFF, 22, 0x7FFFFFFF), kMsgDamagedBmp},
        {"truncated", Bytes(good.begin(), good.end() - 1), kMsgDamagedBmp},
        {"header only", Bytes(good.begin(), good.begin() + 54), kMsgDamagedBmp},
    };
    // The picture held is not the one in the files: none of it may slip in.
    ASSERT_TRUE(img.Create(4, 4));
    img.SetPixel(1, 1, 0x000047);
    for (const Case& c : cases) {
        box.shown.clear();
        WriteAll(Path("bad.bmp"), c.bytes);
        EXPECT_FALSE(img.LoadBmp(Path("bad.bmp"))) << c.name;
        EXPECT_EQ(img.Width(), 4) << c.name << ": the old picture stays";
        EXPECT_EQ(img.GetPixel(1, 1), 0x000047u) << c.name;
        ASSERT_EQ(box.shown.size(), 1u) << c.name;
        EXPECT_EQ(box.shown[0], c.message) << c.name;
    }
}

TEST_F(DibImageFiles, ATopDownPictureIsTurnedUpright)
{
    CDibImage img;
    auto bytes = SavedSample(img);
    // Rows swapped and the height negated: the same picture stored top-down.
    WriteAll(Path("topdown.bmp"), BmpVariant(bytes, 40, 0, true, img.Stride(), 2));
    CDibImage again;
    ASSERT_TRUE(again.LoadBmp(Path("topdown.bmp")));
    EXPECT_EQ(again.Height(), 2);
    EXPECT_EQ(again.GetPixel(0, 0), 0x010203u);
    EXPECT_EQ(again.GetPixel(2, 1), 0x0000FFu);
    ASSERT_TRUE(again.SaveBmp(Path("upright.bmp")));
    EXPECT_EQ(ReadAll(Path("upright.bmp")), bytes);
}

TEST(DibImage, DrawStretchesTheWholePictureThroughTheSurface)
{
    struct Recorder : IDrawSurface {
        bool StretchDib(int x, int y, int w, int h, int sw, int sh, const std::uint8_t* info,
                        const std::uint8_t* bits) override
        {
            calls.push_back({x, y, w, h, sw, sh});
            lastInfo = info;
            lastBits = bits;
            return true;
        }
        std::vector<std::array<int, 6>> calls;
        const std::uint8_t* lastInfo = nullptr;
        const std::uint8_t* lastBits = nullptr;
    } surface;
    CDibImage img;
    EXPECT_FALSE(img.Draw(surface, 0, 0));
    ASSERT_TRUE(img.Create(7, 3));
    EXPECT_TRUE(img.Draw(surface, 5, 6));
    EXPECT_TRUE(img.Draw(surface, 1, 2, 70, 30));
    ASSERT_EQ(surface.calls.size(), 2u);
    EXPECT_EQ(surface.calls[0], (std::array<int, 6>{5, 6, 7, 3, 7, 3}));
    EXPECT_EQ(surface.calls[1], (std::array<int, 6>{1, 2, 70, 30, 7, 3}));
    EXPECT_EQ(surface.lastInfo, img.Block());
    EXPECT_EQ(surface.lastBits, img.Bits());
}


TEST(DibImage, SwapExchangesWholePictures)
{
    CDibImage a, b;
    ASSERT_TRUE(a.Create(4, 3));
    a.SetPixel(3, 2, 0x445566);
    a.Swap(b);
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(a.Width(), 0);
    EXPECT_EQ(a.BlockSize(), 0);
    EXPECT_EQ(a.GetPixel(3, 2), kWhite);
    ASSERT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.BlockSize(), 40 + 3 * 12);
    EXPECT_EQ(b.Bits(), b.Block() + 40);
    EXPECT_EQ(b.GetPixel(3, 2), 0x445566u);
}

} // namespace
} // namespace rv
