// The finished stub: its compiled-in package offset equals its own size, and
// a package appended to it is found there.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/wizard/PackageOffset.h"

namespace {

std::string StubPath()
{
    std::string path = VELA_STUB_FILE;
    // Under Wine a Unix path is reached through drive Z:.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return path;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char block[65536];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.append(block, n);
        std::fclose(f);
    }
    return bytes;
}

// The offset the stub carries, read from its tagged slot; 0 when the tag is
// missing or not unique.
std::uint64_t OffsetInStub(const std::string& stub)
{
    const std::string tag(vela::kPackageOffsetTag, sizeof vela::kPackageOffsetTag);
    const std::size_t at = stub.find(tag);
    if (at == std::string::npos || stub.find(tag, at + 1) != std::string::npos) return 0;
    if (at + tag.size() + 8 > stub.size()) return 0;
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(stub[at + tag.size() + i]);
    return value;
}

TEST(InstallerStub, PackageOffsetEqualsTheStubsOwnSize)
{
    const std::string stub = ReadAll(StubPath());
    ASSERT_FALSE(stub.empty()) << StubPath();
    EXPECT_EQ(stub.compare(0, 2, "MZ"), 0);
    const std::uint64_t offset = OffsetInStub(stub);
    EXPECT_EQ(offset, stub.size()) << "the compiled-in offset and the stub's size differ";
    EXPECT_EQ(offset % vela::kStubBlock, 0u);
}

TEST(InstallerStub, AppendedPackageIsFoundAtTheOffset)
{
    const std::string stub = ReadAll(StubPath());
    ASSERT_FALSE(stub.empty());

    vela::PackageDescription description;
    description.displayName = "Relievo";
    description.defaultFolder = "[Program Files]\\Relievo";
    description.menuGroup = "Relievo";
    description.runCaption = "Start Relievo now?";
    description.runCommand = "[InstallDir]\\Relievo.exe";
    description.directories = {"[InstallDir]"};
    description.welcomePicture = "BM-welcome";
    description.files = {{"[InstallDir]\\Relievo.exe", '0', std::string(5000, 'x')},
                         {"[InstallDir]\\readme.txt", '4', "read me"}};
    description.licence = "Licence text";
    std::string package, problem;
    ASSERT_TRUE(vela::BuildPackage(description, package, problem)) << problem;

    const std::string installer = stub + package;
    const std::string path = StubPath() + ".with-package.exe";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(installer.data(), 1, installer.size(), f);
    std::fclose(f);

    std::unique_ptr<vela::IBinaryFile> file = vela::OpenStdioFileForReading(path);
    ASSERT_TRUE(file);
    EXPECT_TRUE(vela::CheckPackage(*file, OffsetInStub(stub), problem)) << problem;
    vela::PackageHeader header;
    ASSERT_TRUE(vela::ReadPackageHeader(*file, OffsetInStub(stub), header));
    EXPECT_EQ(header.fileCount, 2);
    file.reset();
    std::remove(path.c_str());
}

} // namespace
