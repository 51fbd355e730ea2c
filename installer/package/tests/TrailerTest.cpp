#include "installer/package/Trailer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/tests/BuildOrFail.h"
#include "installer/package/tests/SamplePackage.h"

using namespace vela;
using vela::test::Pattern;

namespace {

// Bit by bit, straight from the polynomial: the reference for the tables.
std::uint32_t BitwiseCrc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

constexpr std::uint64_t kOffset = 4096;

void Put32(std::string& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

// A stub of kOffset bytes with a PE header (32-bit optional header) whose
// security directory names a certificate table at tableOffset.
std::string PeStub(std::uint32_t tableOffset = 0, std::uint32_t tableSize = 0)
{
    std::string stub = Pattern(kOffset, 9);
    stub[0] = 'M';
    stub[1] = 'Z';
    Put32(stub, 0x3C, 0x80);
    std::memcpy(&stub[0x80], "PE\0\0", 4);
    const std::size_t coff = 0x84, optional = coff + 20;
    stub[coff + 16] = static_cast<char>(224);  // size of the optional header
    stub[coff + 17] = 0;
    stub[optional] = 0x0B;
    stub[optional + 1] = 0x01;
    Put32(stub, optional + 92, 16);  // data directories
    Put32(stub, optional + 96 + 4 * 8, tableOffset);
    Put32(stub, optional + 96 + 4 * 8 + 4, tableSize);
    return stub;
}

std::string BuiltPackage() { return test::BuildOrFail(test::SampleDescription()); }

std::string TrailerFor(const std::string& package)
{
    char trailer[kTrailerSize];
    FormatTrailer(Crc32(0, package.data(), package.size()), package.size(), trailer);
    return std::string(trailer, sizeof trailer);
}

TrailerInfo Check(const std::string& installer)
{
    auto file = OpenMemoryFile(installer);
    return CheckTrailer(*file, kOffset);
}

// Signs the installer as a signing tool does: zeros up to an 8-byte boundary,
// then the certificate table, named by the security directory.
std::string Signed(const std::string& unsignedInstaller, std::size_t tableSize = 1000)
{
    std::string body = unsignedInstaller.substr(kOffset);
    std::size_t start = unsignedInstaller.size();
    while (start % 8 != 0) ++start;
    std::string installer = PeStub(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(tableSize)) + body;
    installer.resize(start, '\0');
    return installer + Pattern(tableSize, 4);
}

} // namespace

TEST(Crc32, MatchesTheCheckValueAndTheBitwiseDefinitionInAnyPieces)
{
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(0, "", 0), 0u);
    const std::string bytes = Pattern(100003, 7);
    const std::uint32_t whole = Crc32(0, bytes.data(), bytes.size());
    EXPECT_EQ(whole, BitwiseCrc32(bytes));
    // Every length around the 64- and 16-byte blocks of the fast path.
    for (std::size_t n = 0; n <= 200; ++n)
        EXPECT_EQ(Crc32(0, bytes.data() + 3, n), BitwiseCrc32(bytes.substr(3, n))) << n;
    // Pieces of every alignment continue one another.
    for (std::size_t cut : {1u, 3u, 7u, 8u, 9u, 4097u}) {
        const std::uint32_t first = Crc32(0, bytes.data(), cut);
        EXPECT_EQ(Crc32(first, bytes.data() + cut, bytes.size() - cut), whole) << cut;
    }
}

TEST(Trailer, SoundPackageAndPackageWithoutTrailer)
{
    const std::string package = BuiltPackage();
    const std::string stub = PeStub();

    const TrailerInfo sound = Check(stub + package + TrailerFor(package));
    EXPECT_EQ(sound.result, TrailerCheck::Sound);
    EXPECT_EQ(sound.packageLength, package.size());
    EXPECT_EQ(sound.trailerOffset, kOffset + package.size());
    EXPECT_FALSE(sound.signatureFound);

    EXPECT_EQ(Check(stub + package).result, TrailerCheck::Absent);
    // A plain stub without a PE header changes nothing.
    EXPECT_EQ(Check(Pattern(kOffset, 1) + package + TrailerFor(package)).result, TrailerCheck::Sound);
    EXPECT_EQ(Check(Pattern(kOffset, 1)).result, TrailerCheck::Absent);
}

TEST(Trailer, AFlippedByteInHeaderScriptOrDataIsFound)
{
    const std::string package = BuiltPackage();
    const std::size_t scriptEnd = kPackageHeaderSize + test::ScriptLength(package);
    const std::string intact = PeStub() + package + TrailerFor(package);
    const struct {
        const char* region;
        std::size_t at;  // within the package
    } flips[] = {{"header", 3}, {"script", kPackageHeaderSize + 100}, {"file data", scriptEnd + 10},
                 {"last byte of the data", package.size() - 1}};
    ASSERT_GT(package.size(), scriptEnd + 10);
    for (const auto& flip : flips) {
        std::string damaged = intact;
        damaged[kOffset + flip.at] ^= 0x10;
        const TrailerInfo info = Check(damaged);
        EXPECT_EQ(info.result, TrailerCheck::CrcMismatch) << flip.region;
        EXPECT_NE(info.computedCrc, info.storedCrc) << flip.region;
    }
}

TEST(Trailer, CutOrForeignTrailersAreDamageNotAbsence)
{
    const std::string package = BuiltPackage();
    const std::string intact = PeStub() + package + TrailerFor(package);
    // Cut inside the trailer: as long as a piece of its tag (four bytes or
    // more) remains; three bytes or fewer are taken for no trailer.
    for (std::size_t cut = 1; cut <= kTrailerSize - 4; ++cut)
        EXPECT_EQ(Check(intact.substr(0, intact.size() - cut)).result, TrailerCheck::Truncated) << cut;
    for (std::size_t cut = kTrailerSize - 3; cut < kTrailerSize; ++cut)
        EXPECT_EQ(Check(intact.substr(0, intact.size() - cut)).result, TrailerCheck::Absent) << cut;

    // A trailer followed by more bytes, or a longer trailer of another layout.
    EXPECT_EQ(Check(intact + "more").result, TrailerCheck::Misplaced);
    std::string longer = TrailerFor(package);
    longer.insert(20, "XXXX");
    EXPECT_EQ(Check(PeStub() + package + longer).result, TrailerCheck::Misplaced);

    // A trailer whose length is not where the package lies: a package cut or
    // grown in the middle, or the trailer of another package.
    EXPECT_EQ(Check(PeStub() + package.substr(0, package.size() - 5) + TrailerFor(package)).result,
              TrailerCheck::LengthMismatch);
    EXPECT_EQ(Check(PeStub() + package + "extra" + TrailerFor(package)).result, TrailerCheck::LengthMismatch);
    const std::string other = package + "x";
    EXPECT_EQ(Check(PeStub() + package + TrailerFor(other)).result, TrailerCheck::LengthMismatch);
}

TEST(Trailer, FoundBeforeASignatureAndItsAlignment)
{
    const std::string package = BuiltPackage();
    for (const std::string& p : {package, package + "a", package + "abc"}) {  // every alignment padding
        const std::string installer = Signed(PeStub() + p + TrailerFor(p));
        const TrailerInfo info = Check(installer);
        EXPECT_EQ(info.result, TrailerCheck::Sound) << p.size();
        EXPECT_TRUE(info.signatureFound);
        EXPECT_EQ(info.trailerOffset, kOffset + p.size());

        std::string flipped = installer;
        flipped[kOffset + 50] ^= 1;
        EXPECT_EQ(Check(flipped).result, TrailerCheck::CrcMismatch);
    }
    // Signed without a trailer: still a package without one.
    EXPECT_EQ(Check(Signed(PeStub() + package)).result, TrailerCheck::Absent);
    // A certificate table that does not end the file is no signature: the
    // trailer must be at the very end.
    std::string installer = Signed(PeStub() + package + TrailerFor(package));
    EXPECT_EQ(Check(installer + "tail").result, TrailerCheck::Absent);
}

TEST(Trailer, CertificateTableOfPe32AndPe32PlusHeaders)
{
    std::uint64_t offset = 0, size = 0;
    auto file = OpenMemoryFile(PeStub(5000, 300));
    ASSERT_TRUE(FindCertificateTable(*file, offset, size));
    EXPECT_EQ(offset, 5000u);
    EXPECT_EQ(size, 300u);

    // PE32+: the directories start 16 bytes later.
    std::string wide = PeStub();
    const std::size_t optional = 0x84 + 20;
    wide[0x84 + 16] = static_cast<char>(240);
    wide[optional + 1] = 0x02;
    Put32(wide, optional + 108, 16);
    Put32(wide, optional + 112 + 32, 7000);
    Put32(wide, optional + 112 + 36, 80);
    file = OpenMemoryFile(wide);
    ASSERT_TRUE(FindCertificateTable(*file, offset, size));
    EXPECT_EQ(offset, 7000u);
    EXPECT_EQ(size, 80u);

    file = OpenMemoryFile(PeStub());
    EXPECT_FALSE(FindCertificateTable(*file, offset, size)) << "no table";
    std::string fewDirectories = PeStub(5000, 300);
    Put32(fewDirectories, optional + 92, 4);
    file = OpenMemoryFile(fewDirectories);
    EXPECT_FALSE(FindCertificateTable(*file, offset, size)) << "no security directory";
    std::string farHeader = PeStub(5000, 300);
    Put32(farHeader, 0x3C, 0xFFFFFFF0u);
    file = OpenMemoryFile(farHeader);
    EXPECT_FALSE(FindCertificateTable(*file, offset, size)) << "header beyond the file";
    file = OpenMemoryFile("MZ");
    EXPECT_FALSE(FindCertificateTable(*file, offset, size));
}

// ---- The installer's start-up ----------------------------------------------

#include "installer/package/Messages.h"
#include "installer/package/Startup.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/package/tests/RecordingPages.h"

namespace {

struct StartupRun {
    StartupEnd end;
    vela::test::FakePlatform sys;
    std::size_t pageRuns = 0;
};

void RunInstaller(const std::string& installer, StartupRun& run)
{
    run.sys.files[run.sys.moduleFileName] = installer;
    vela::test::RecordingPages pages;
    auto context = std::make_unique<InstallContext>();
    run.end = RunStartup(run.sys, pages, *context, kOffset);
    run.pageRuns = pages.runs.size();
}

} // namespace

TEST(TrailerAtStartup, AMismatchIsRefusedWithOneMessageBeforeAnythingIsWritten)
{
    const std::string package = BuiltPackage();
    const std::string intact = PeStub() + package + TrailerFor(package);
    std::string flipped = intact;
    flipped[kOffset + package.size() - 100] ^= 0x01;  // inside the last stored file
    const struct {
        const char* what;
        std::string installer;
    } rows[] = {{"a flipped bit", flipped}, {"a cut trailer", intact.substr(0, intact.size() - 8)},
                {"bytes after the trailer", intact + "more"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        StartupRun run;
        RunInstaller(row.installer, run);
        EXPECT_EQ(run.end, StartupEnd::PackageCorrupt);
        ASSERT_EQ(run.sys.messages.size(), 1u);
        EXPECT_EQ(run.sys.messages[0].text, kMsgPackageCorrupt);
        EXPECT_EQ(run.sys.messages[0].caption, kCaptionError);
        EXPECT_EQ(run.pageRuns, 0u);
        EXPECT_EQ(run.sys.files.size(), 1u) << "only the program itself";
    }
}

TEST(TrailerAtStartup, SoundOrAbsentTrailersInstallAsBefore)
{
    const std::string package = BuiltPackage();
    const struct {
        const char* what;
        std::string installer;
    } rows[] = {{"sound", PeStub() + package + TrailerFor(package)},
                {"without a trailer", PeStub() + package},
                {"signed", Signed(PeStub() + package + TrailerFor(package))}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        StartupRun run;
        RunInstaller(row.installer, run);
        EXPECT_EQ(run.end, StartupEnd::WizardRun);
        EXPECT_TRUE(run.sys.messages.empty());
        EXPECT_EQ(run.pageRuns, 3u) << "splash, welcome and licence";
    }
}
