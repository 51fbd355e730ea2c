// The build steps that keep the stub's package offset equal to its size:
// the offset source generated from a linked stub's size, and the padding that
// refuses a stub larger than its offset.
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

// Runs the script in a mode; true when it succeeds.
bool RunStep(const std::string& mode, const fs::path& stub, const fs::path& out, const fs::path& offsetSource = {})
{
    std::string command = std::string("\"") + CMAKE_COMMAND + "\" -DMODE=" + mode + " -DSTUB=\"" + stub.string() +
                          "\" -DOUT=\"" + out.string() + "\" -DBLOCK=4096 -DTEMPLATE=\"" + STUB_OFFSET_TEMPLATE +
                          "\" -DOFFSET_SOURCE=\"" + offsetSource.string() + "\" -DOBJCOPY=\"" + OBJCOPY_COMMAND +
                          "\" -P \"" + STUB_OFFSET_SCRIPT + "\" > \"" + (kWork / "log.txt").string() + "\" 2>&1";
    return std::system(command.c_str()) == 0;
}

struct StubOffsetSteps : ::testing::Test {
    void SetUp() override
    {
        fs::remove_all(kWork);
        fs::create_directories(kWork);
    }
};

TEST_F(StubOffsetSteps, GeneratedOffsetIsTheSizeRoundedUpToWholeBlocks)
{
    const std::pair<std::size_t, std::string> cases[] = {{5000, "8192"}, {4096, "4096"}, {4097, "8192"}, {1, "4096"}};
    for (const auto& [size, expected] : cases) {
        Spill(kWork / "stub.exe", std::string(size, 'M'));
        ASSERT_TRUE(RunStep("generate", kWork / "stub.exe", kWork / "offset.cpp")) << Slurp(kWork / "log.txt");
        const std::string source = Slurp(kWork / "offset.cpp");
        EXPECT_NE(source.find("\"VelaPackageOfs=\", " + expected + "}"), std::string::npos) << size << "\n" << source;
    }
}

TEST_F(StubOffsetSteps, PaddedStubIsExactlyTheOffsetWithItsBytesKept)
{
    std::string stub;
    for (int i = 0; i < 5000; ++i) stub.push_back(static_cast<char>(i * 7 + 1));
    Spill(kWork / "stub.exe", stub);
    ASSERT_TRUE(RunStep("generate", kWork / "stub.exe", kWork / "offset.cpp"));
    ASSERT_TRUE(RunStep("pad", kWork / "stub.exe", kWork / "padded.exe", kWork / "offset.cpp"))
        << Slurp(kWork / "log.txt");
    const std::string padded = Slurp(kWork / "padded.exe");
    ASSERT_EQ(padded.size(), 8192u);
    EXPECT_EQ(padded.substr(0, stub.size()), stub);
    EXPECT_EQ(padded.substr(stub.size()), std::string(8192 - stub.size(), '\0'));
    // The figures the README points to come from this step.
    EXPECT_EQ(Slurp(kWork / "padded-size.txt"),
              "padded.exe: 8192 bytes, which is its package offset (5000 bytes linked, padded with zeros)\n");
}

TEST_F(StubOffsetSteps, StubLargerThanItsOffsetFailsTheBuild)
{
    Spill(kWork / "small.exe", std::string(4000, 'M'));
    ASSERT_TRUE(RunStep("generate", kWork / "small.exe", kWork / "offset.cpp"));  // 4096
    Spill(kWork / "grown.exe", std::string(4100, 'M'));
    EXPECT_FALSE(RunStep("pad", kWork / "grown.exe", kWork / "padded.exe", kWork / "offset.cpp"));
    EXPECT_FALSE(fs::exists(kWork / "padded.exe"));
    EXPECT_FALSE(fs::exists(kWork / "padded-size.txt"));
    EXPECT_NE(Slurp(kWork / "log.txt").find("larger than its package offset"), std::string::npos);
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
