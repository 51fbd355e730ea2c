// The build step that pads the stub to its package offset and refuses a stub
// larger than the offset.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "installer/wizard/PackageOffset.h"

namespace {

namespace fs = std::filesystem;

const fs::path kWork = fs::path(STUB_OFFSET_WORK);

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Spill(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs the step; true when it succeeds.
bool Pad(const fs::path& stub, const fs::path& out, std::uint64_t offset)
{
    std::string command = std::string("\"") + CMAKE_COMMAND + "\" -DSTUB=\"" + stub.string() + "\" -DOUT=\"" +
                          out.string() + "\" -DOFFSET=" + std::to_string(offset) + " -DOBJCOPY=\"" +
                          OBJCOPY_COMMAND + "\" -P \"" + STUB_OFFSET_SCRIPT + "\" > \"" +
                          (kWork / "log.txt").string() + "\" 2>&1";
    return std::system(command.c_str()) == 0;
}

struct StubOffsetSteps : ::testing::Test {
    void SetUp() override
    {
        fs::remove_all(kWork);
        fs::create_directories(kWork);
    }
};

TEST_F(StubOffsetSteps, PaddedStubIsExactlyTheOffsetWithItsBytesKept)
{
    std::string stub;
    for (int i = 0; i < 5000; ++i) stub.push_back(static_cast<char>(i * 7 + 1));
    Spill(kWork / "stub.exe", stub);
    ASSERT_TRUE(Pad(kWork / "stub.exe", kWork / "padded.exe", 8192)) << Slurp(kWork / "log.txt");
    const std::string padded = Slurp(kWork / "padded.exe");
    ASSERT_EQ(padded.size(), 8192u);
    EXPECT_EQ(padded.substr(0, stub.size()), stub);
    EXPECT_EQ(padded.substr(stub.size()), std::string(8192 - stub.size(), '\0'));
    // The figures the README points to come from this step.
    EXPECT_EQ(Slurp(kWork / "padded-size.txt"),
              "padded.exe: 8192 bytes, which is its package offset (5000 bytes linked, padded with zeros)\n");

    // A stub of exactly the offset is kept as it is.
    Spill(kWork / "full.exe", std::string(8192, 'M'));
    ASSERT_TRUE(Pad(kWork / "full.exe", kWork / "padded.exe", 8192)) << Slurp(kWork / "log.txt");
    EXPECT_EQ(Slurp(kWork / "padded.exe"), std::string(8192, 'M'));
}

TEST_F(StubOffsetSteps, StubLargerThanItsOffsetFailsTheBuildWithBothFigures)
{
    Spill(kWork / "padded.exe", "an earlier stub");
    Spill(kWork / "padded-size.txt", "its figures");
    Spill(kWork / "grown.exe", std::string(8200, 'M'));
    EXPECT_FALSE(Pad(kWork / "grown.exe", kWork / "padded.exe", 8192));
    EXPECT_FALSE(fs::exists(kWork / "padded.exe"));
    EXPECT_FALSE(fs::exists(kWork / "padded-size.txt"));
    // CMake wraps the message: compare it with its blanks and line ends as one blank.
    std::string log;
    for (char c : Slurp(kWork / "log.txt")) {
        const bool blank = c == ' ' || c == '\n' || c == '\r';
        if (!blank) log.push_back(c);
        else if (!log.empty() && log.back() != ' ') log.push_back(' ');
    }
    EXPECT_NE(log.find("the linked stub is 8200 bytes, larger than its package offset 8192 by 8 bytes"),
              std::string::npos)
        << log;
}

std::string Slot(std::uint64_t value)
{
    std::string slot(vela::kPackageOffsetTag, sizeof vela::kPackageOffsetTag);
    for (int i = 0; i < 8; ++i) slot.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return slot;
}

TEST(PackageOffsetSlot, ReadsTheLittleEndianFigureAfterTheTag)
{
    std::uint64_t offset = 0;
    bool unique = false;
    ASSERT_TRUE(vela::FindPackageOffsetSlot("MZ..." + Slot(0x46000) + "rest", offset, unique));
    EXPECT_EQ(offset, 0x46000u);
    EXPECT_TRUE(unique);
    ASSERT_TRUE(vela::FindPackageOffsetSlot(Slot(0x0102030405060708ull), offset, unique));
    EXPECT_EQ(offset, 0x0102030405060708ull);
}

TEST(PackageOffsetSlot, MissingTruncatedOrRepeatedTagsAreReported)
{
    std::uint64_t offset = 0;
    bool unique = true;
    EXPECT_FALSE(vela::FindPackageOffsetSlot("MZ no slot here", offset, unique));
    const std::string slot = Slot(4096);
    EXPECT_FALSE(vela::FindPackageOffsetSlot(slot.substr(0, slot.size() - 1), offset, unique));
    ASSERT_TRUE(vela::FindPackageOffsetSlot(slot + slot, offset, unique));
    EXPECT_FALSE(unique);
}

} // namespace
