#pragma once
// What the image tests share: BMP files as bytes (read, written, fields
// patched, a plain file laid out the ways other programs lay theirs out) and
// a fixture with a folder of its own and a record of the messages shown.
#include "painter/image/Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace rv::test {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

inline Bytes ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteAll(const fs::path& p, const Bytes& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Little-endian 32-bit fields of the headers.
inline std::uint32_t Get32(const Bytes& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// The picture of a plain file (54 bytes of headers, then height rows of
// stride bytes bottom-up, as SaveBmp writes it) with an info header of
// headerSize bytes (zero beyond the first 40), gap bytes before the rows,
// and the rows top-down if asked; offsets and sizes follow.
inline Bytes BmpVariant(const Bytes& plain, int headerSize, int gap, bool topDown, int stride, int height)
{
    Bytes out(static_cast<std::size_t>(14 + headerSize + gap), 0x5A);
    std::copy(plain.begin(), plain.begin() + 54, out.begin());
    std::fill(out.begin() + 54, out.begin() + 14 + headerSize, 0);
    Put32(out, 14, static_cast<std::uint32_t>(headerSize));
    Put32(out, 10, static_cast<std::uint32_t>(14 + headerSize + gap));
    if (topDown) Put32(out, 22, static_cast<std::uint32_t>(-height));
    for (int r = 0; r < height; ++r) {
        const int from = topDown ? height - 1 - r : r;
        out.insert(out.end(), plain.begin() + 54 + from * stride, plain.begin() + 54 + (from + 1) * stride);
    }
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

class RecordingBox : public IMessageBox {
public:
    void Show(std::string_view text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

// A test with a folder of its own for its files, and the image's message
// boxes recorded in box.
class BmpFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("rv_" + std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                                           std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        SetMessageBox(&box);
    }
    void TearDown() override
    {
        SetMessageBox(nullptr);
        fs::remove_all(dir);
    }
    std::string Path(const char* name) const { return (dir / name).string(); }

    fs::path dir;
    RecordingBox box;
};

} // namespace rv::test
