#include "installer/package/Package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "installer/package/Messages.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/SetupScript.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/package/tests/SamplePackage.h"

using namespace vela;
using vela::test::FakePlatform;
using vela::test::Pattern;

namespace {

std::string BuildOrFail(const PackageDescription& d)
{
    std::string package, problem;
    EXPECT_TRUE(BuildPackage(d, package, problem)) << problem;
    return package;
}

} // namespace

TEST(PackageHeader, ReadsTwoBlankPaddedFields)
{
    char bytes[kPackageHeaderSize];
    std::string header = FormatPackageHeader(5447, 8);
    ASSERT_EQ(header.size(), 40u);
    EXPECT_EQ(header.substr(0, 20), "5447" + std::string(16, ' '));
    header.copy(bytes, sizeof bytes);
    PackageHeader parsed = ParsePackageHeader(bytes);
    EXPECT_EQ(parsed.scriptLength, 5447);
    EXPECT_EQ(parsed.fileCount, 8);

    std::string blanks(40, ' ');
    blanks.copy(bytes, sizeof bytes);
    parsed = ParsePackageHeader(bytes);
    EXPECT_EQ(parsed.scriptLength, 0);
    EXPECT_EQ(parsed.fileCount, 0);

    auto shortFile = OpenMemoryFile(std::string(100, ' '));
    EXPECT_FALSE(ReadPackageHeader(*shortFile, 70, parsed));
    EXPECT_TRUE(ReadPackageHeader(*shortFile, 60, parsed));
}

// The stored-item copy as it was first written: byte by byte below 2,048
// bytes, otherwise blocks of 2,000 bytes and the remainder.
bool LiteralCopy(IBinaryFile& package, IBinaryFile& target, std::int64_t absoluteOffset, std::int32_t size)
{
    if (absoluteOffset < 0 || !package.Seek(static_cast<std::uint64_t>(absoluteOffset))) return false;
    if (size < 2048) {
        for (std::int32_t i = 0; i < size; ++i) {
            char c;
            if (package.Read(&c, 1) != 1) return false;
            if (target.Write(&c, 1) != 1) return false;
        }
        return true;
    }
    char block[2000];
    for (std::int32_t i = 0; i < size / 2000; ++i) {
        if (package.Read(block, 2000) != 2000) return false;
        if (target.Write(block, 2000) != 2000) return false;
    }
    const std::size_t remainder = static_cast<std::size_t>(size % 2000);
    if (remainder > 0) {
        if (package.Read(block, remainder) != remainder) return false;
        if (target.Write(block, remainder) != remainder) return false;
    }
    return true;
}

// A target that takes at most capacity bytes in all (a disk that fills up).
class FillingTarget : public IBinaryFile {
public:
    explicit FillingTarget(std::size_t capacity) : capacity_(capacity) {}
    std::string bytes;
    bool Seek(std::uint64_t) override { return false; }
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void* data, std::size_t size) override
    {
        const std::size_t n = std::min(size, capacity_ - bytes.size());
        bytes.append(static_cast<const char*>(data), n);
        return n;
    }
    std::uint64_t Length() override { return bytes.size(); }

private:
    std::size_t capacity_;
};

TEST(CopyStoredItem, LeavesWhatTheByteAndBlockCopyLeavesWhereverThePackageEnds)
{
    // Sizes around the byte-by-byte limit, around whole blocks and pieces,
    // and at random; packages that hold every byte or end early anywhere.
    const std::string data = Pattern(900000, 7);
    std::mt19937 random(15);
    auto pick = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    for (int round = 0; round < 600; ++round) {
        std::int32_t size;
        switch (round % 4) {
        case 0: size = static_cast<std::int32_t>(pick(-3, 4100)); break;
        case 1: size = static_cast<std::int32_t>(pick(1, 300) * 2000 + pick(-2, 2)); break;
        case 2: size = static_cast<std::int32_t>(256000 * pick(1, 3) + pick(-2001, 2001)); break;
        default: size = static_cast<std::int32_t>(pick(0, 800000)); break;
        }
        const std::int64_t offset = pick(0, 20000);
        // Half the packages end before the item does.
        const std::size_t length = round % 2 ? data.size()
                                             : static_cast<std::size_t>(pick(0, offset + std::max(size, 0) + 10));
        const std::string bytes = data.substr(0, length);
        SCOPED_TRACE(::testing::Message() << "size " << size << ", offset " << offset << ", package " << length);

        auto literalPackage = OpenMemoryFile(bytes);
        auto package = OpenMemoryFile(bytes);
        FillingTarget literal(SIZE_MAX), target(SIZE_MAX);
        ASSERT_EQ(CopyStoredItem(*package, target, offset, size), LiteralCopy(*literalPackage, literal, offset, size));
        ASSERT_EQ(target.bytes, literal.bytes);

        // A disk that fills up is a failure either way.
        if (size > 0 && length >= static_cast<std::size_t>(offset + size)) {
            const std::size_t capacity = static_cast<std::size_t>(pick(0, size - 1));
            auto fullPackage = OpenMemoryFile(bytes);
            FillingTarget full(capacity);
            EXPECT_FALSE(CopyStoredItem(*fullPackage, full, offset, size));
            EXPECT_EQ(full.bytes, data.substr(static_cast<std::size_t>(offset), capacity));
        }
    }
}

TEST(ExtractStoredFile, TruncatesAnOldTargetAndIgnoresANegativeSize)
{
    FakePlatform sys;
    sys.files["C:\\t.txt"] = "old content";
    auto package = OpenMemoryFile("abcdef");
    EXPECT_TRUE(ExtractStoredFile(sys, *package, "C:\\t.txt", 1, 2));
    EXPECT_EQ(sys.files["C:\\t.txt"], "bc");
    EXPECT_TRUE(ExtractStoredFile(sys, *package, "C:\\t.txt", 1, -5));
    EXPECT_EQ(sys.files["C:\\t.txt"], "");
}

TEST(ExtractStoredFile, ReportsATargetThatCannotBeCreated)
{
    FakePlatform sys;
    sys.uncreatable.insert("C:\\locked.dll");
    auto package = OpenMemoryFile("abcdef");
    EXPECT_FALSE(ExtractStoredFile(sys, *package, "C:\\locked.dll", 0, 3));
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, "C:\\locked.dll");
    EXPECT_EQ(sys.messages[0].caption, kCaptionCreateFileError);
    EXPECT_EQ(sys.files.count("C:\\locked.dll"), 0u);
}

TEST(ExtractStoredFile, DetectsAShortRead)
{
    FakePlatform sys;
    auto package = OpenMemoryFile(Pattern(3000, 1));
    EXPECT_FALSE(ExtractStoredFile(sys, *package, "C:\\a", 1010, 2000));
    EXPECT_FALSE(ExtractStoredFile(sys, *package, "C:\\b", 2500, 2100));
    EXPECT_FALSE(ExtractStoredFile(sys, *package, "C:\\c", 2990, 20));
    EXPECT_TRUE(ExtractStoredFile(sys, *package, "C:\\d", 2990, 10));
}

TEST(TemporaryStem, AddsABackslashOnlyWhenTheFolderLacksOne)
{
    LocalTime t{2026, 12, 7, 5, 43, 28, 123};
    EXPECT_EQ(TemporaryStem("C:\\Temp\\", t), "C:\\Temp\\~temp2026127543" "28123");
    EXPECT_EQ(TemporaryStem("C:\\Temp", t), "C:\\Temp\\~temp2026127543" "28123");
    // 錦 ends in the byte 0x5C, which is no trailing backslash.
    EXPECT_EQ(TemporaryStem("C:\\\xE5\x5C", t), "C:\\\xE5\x5C\\~temp2026127543" "28123");
    LocalTime zeros{2027, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(TemporaryStem("T:\\", zeros), "T:\\~temp2027110000");
}

TEST(TemporaryStem, GivesTheThreeTemporaryPaths)
{
    InstallContext ctx;
    ASSERT_TRUE(SetTemporaryPaths(ctx, "C:\\T\\~temp1"));
    EXPECT_STREQ(ctx.scriptFilePath, "C:\\T\\~temp1.ini");
    EXPECT_STREQ(ctx.welcomeBitmapPath, "C:\\T\\~temp1Wel.Bmp");
    EXPECT_STREQ(ctx.splashBitmapPath, "C:\\T\\~temp1Soft.Bmp");

    EXPECT_FALSE(SetTemporaryPaths(ctx, std::string(kTempPathSize - 8, 'x')));
    EXPECT_STREQ(ctx.scriptFilePath, "");
    EXPECT_STREQ(ctx.splashBitmapPath, "");
}

TEST(PackageRoundTrip, EveryItemComesBackByteIdentical)
{
    PackageDescription d = test::SampleDescription();
    d.files.push_back({"[InstallDir]\\big.dat", '0', Pattern(3 * 1024 * 1024 + 7, 11)});
    const std::string stub = Pattern(4096, 13);
    const std::string installer = stub + BuildOrFail(d);

    auto file = OpenMemoryFile(installer);
    std::string problem;
    ASSERT_TRUE(CheckPackage(*file, stub.size(), problem)) << problem;
    PackageHeader header;
    ASSERT_TRUE(ReadPackageHeader(*file, stub.size(), header));
    ASSERT_EQ(header.fileCount, 6);
    SetupScriptContents s =
        ReadSetupScript(installer.substr(stub.size() + 40, static_cast<std::size_t>(header.scriptLength)));
    ASSERT_EQ(s.files.size(), 6u);

    FakePlatform sys;
    const std::int64_t dataBase = static_cast<std::int64_t>(stub.size()) + header.scriptLength;
    ASSERT_TRUE(ExtractStoredFile(sys, *file, "W", dataBase + s.welcomePicture.offset, s.welcomePicture.size));
    EXPECT_EQ(sys.files["W"], d.welcomePicture);
    ASSERT_TRUE(ExtractStoredFile(sys, *file, "S", dataBase + s.splashPicture.offset, s.splashPicture.size));
    EXPECT_EQ(sys.files["S"], d.splashPicture);
    for (std::size_t i = 0; i < s.files.size(); ++i) {
        std::string target = s.files[i].target;
        target.erase(target.find_last_not_of(' ') + 1);
        EXPECT_EQ(target, d.files[i].target);
        EXPECT_EQ(s.files[i].flag, d.files[i].flag);
        ASSERT_TRUE(ExtractStoredFile(sys, *file, target, dataBase + s.files[i].offset, s.files[i].size));
        EXPECT_TRUE(sys.files[target] == d.files[i].bytes) << target;
    }
    // The last item ends the file.
    EXPECT_EQ(dataBase + s.files.back().offset + s.files.back().size, static_cast<std::int64_t>(installer.size()));
}

TEST(PackageRoundTrip, APackageWithoutSplashHasANonePicLine)
{
    PackageDescription d = test::SampleDescription();
    d.hasSplash = false;
    std::string package = BuildOrFail(d);
    char header[kPackageHeaderSize];
    package.copy(header, sizeof header);
    SetupScriptContents s =
        ReadSetupScript(package.substr(40, static_cast<std::size_t>(ParsePackageHeader(header).scriptLength)));
    EXPECT_EQ(std::string(s.splashPicture.target, 9), "[NonePic]");
    EXPECT_EQ(s.splashPicture.offset, 0);
    EXPECT_EQ(s.splashPicture.size, 0);
    EXPECT_EQ(s.splashPicture.flag, 'B');
    EXPECT_EQ(s.files[0].offset, 1040);
}

TEST(PackageWriter, RefusesWhatTheFormatCannotHold)
{
    std::string package, problem;
    PackageDescription d = test::SampleDescription();
    d.files[0].target = "[InstallDir]\\" + std::string(255, 'n');
    EXPECT_EQ(d.files[0].target.size(), 268u);
    EXPECT_TRUE(BuildPackage(d, package, problem)) << problem;
    d.files[0].target += "n";
    EXPECT_FALSE(BuildPackage(d, package, problem));
    EXPECT_NE(problem.find("wider than 268"), std::string::npos) << problem;

    d = test::SampleDescription();
    d.shortcuts[0].name = std::string(101, 'n');
    EXPECT_FALSE(BuildPackage(d, package, problem));
    EXPECT_NE(problem.find("name"), std::string::npos) << problem;

    d = test::SampleDescription();
    d.shortcuts[0].program = "[InstallDir]\\a/b.exe";
    EXPECT_FALSE(BuildPackage(d, package, problem));
    EXPECT_NE(problem.find("slash"), std::string::npos) << problem;

    d = test::SampleDescription();
    d.shortcuts[0].arguments = std::string(300, 'a');
    EXPECT_FALSE(BuildPackage(d, package, problem));

    d = test::SampleDescription();
    d.displayName = std::string(300, 'd');
    EXPECT_FALSE(BuildPackage(d, package, problem));

    d = test::SampleDescription();
    d.files[1].target = "C:\\no\\macro.txt";
    EXPECT_FALSE(BuildPackage(d, package, problem));

    d = test::SampleDescription();
    d.licence = std::string(19998, 'l');  // with its CR LF: 20,000 bytes
    EXPECT_FALSE(BuildPackage(d, package, problem));

    d = test::SampleDescription();
    d.autoReg.push_back("line\r\nbreak");
    EXPECT_FALSE(BuildPackage(d, package, problem));

    d = test::SampleDescription();
    d.directories.push_back(std::string(398, 'x'));
    EXPECT_FALSE(BuildPackage(d, package, problem));
    d.directories.back().pop_back();
    EXPECT_TRUE(BuildPackage(d, package, problem)) << problem;
}

namespace {

class PackageCheck : public ::testing::Test {
protected:
    std::string stub = Pattern(512, 3);
    PackageDescription description = test::SampleDescription();
    std::string package = BuildOrFail(description);

    bool Check(const std::string& installer, std::string& problem)
    {
        auto file = OpenMemoryFile(installer);
        return CheckPackage(*file, stub.size(), problem);
    }
    std::size_t ScriptLength()
    {
        char header[kPackageHeaderSize];
        package.copy(header, sizeof header);
        return static_cast<std::size_t>(ParsePackageHeader(header).scriptLength);
    }
};

} // namespace

TEST_F(PackageCheck, AcceptsAWellFormedPackage)
{
    std::string problem;
    EXPECT_TRUE(Check(stub + package, problem)) << problem;
}

TEST_F(PackageCheck, RefusesATruncatedPackage)
{
    std::string problem;
    const std::string installer = stub + package;
    EXPECT_FALSE(Check(installer.substr(0, installer.size() - 1), problem));
    EXPECT_NE(problem.find("file line 5"), std::string::npos) << problem;
    EXPECT_FALSE(Check(stub + package.substr(0, 40 + ScriptLength() + 1500), problem));
    EXPECT_NE(problem.find("splash picture"), std::string::npos) << problem;
    EXPECT_FALSE(Check(stub + package.substr(0, 40 + ScriptLength() - 1), problem));
    EXPECT_NE(problem.find("script length"), std::string::npos) << problem;
    EXPECT_FALSE(Check(stub + package.substr(0, 39), problem));
    EXPECT_FALSE(Check(stub.substr(0, 100), problem));
}

TEST_F(PackageCheck, RefusesAHeaderThatDisagreesWithTheScript)
{
    std::string problem;
    std::string wrongCount = FormatPackageHeader(static_cast<std::int64_t>(ScriptLength()), 4) + package.substr(40);
    EXPECT_FALSE(Check(stub + wrongCount, problem));
    EXPECT_NE(problem.find("counts 4"), std::string::npos) << problem;

    std::string noScript = FormatPackageHeader(0, 5) + package.substr(40);
    EXPECT_FALSE(Check(stub + noScript, problem));

    // A script length too large moves every item towards the end.
    std::string longScript =
        FormatPackageHeader(static_cast<std::int64_t>(ScriptLength()) + 20, 5) + package.substr(40);
    EXPECT_FALSE(Check(stub + longScript, problem));
    EXPECT_NE(problem.find("beyond the end"), std::string::npos) << problem;
}

TEST_F(PackageCheck, RefusesItemsOutsideTheStoredData)
{
    std::string problem;
    std::string moved = package;
    std::size_t line = moved.find("[InstallDir]\\comp.ocx   ");
    ASSERT_NE(line, std::string::npos);
    moved.replace(line + 268, 20, std::string("12") + std::string(18, ' '));
    EXPECT_FALSE(Check(stub + moved, problem));
    EXPECT_NE(problem.find("before the stored items"), std::string::npos) << problem;

    moved.replace(line + 268, 20, std::string("-40") + std::string(17, ' '));
    EXPECT_FALSE(Check(stub + moved, problem));
    EXPECT_NE(problem.find("negative"), std::string::npos) << problem;

    std::string grown = package;
    grown.replace(line + 288, 20, std::string("99999999") + std::string(12, ' '));
    EXPECT_FALSE(Check(stub + grown, problem));
    EXPECT_NE(problem.find("beyond the end"), std::string::npos) << problem;
}

TEST_F(PackageCheck, RefusesAScriptWithoutFileTable)
{
    std::string problem;
    std::string noTotal = package;
    noTotal.replace(noTotal.find("[TotalSize]"), 11, "[TotalSizE]");
    EXPECT_FALSE(Check(stub + noTotal, problem));
    EXPECT_NE(problem.find("file table"), std::string::npos) << problem;
}

TEST_F(PackageCheck, TheFirstLineIsNotJudged)
{
    // The installer reads line 1 by position and never looks at it.
    std::string problem;
    for (const char* first : {"[BASAL]", "[Basel]", "xxxxxxx"}) {
        std::string other = package;
        other.replace(40, 7, first);
        EXPECT_TRUE(Check(stub + other, problem)) << first << ": " << problem;
    }
}

TEST_F(PackageCheck, ABasalLineIsRefusedForWhatIsReallyWrongWithIt)
{
    const std::size_t name = package.find("Relievo\r\n");
    ASSERT_NE(name, std::string::npos);
    struct Case {
        std::string line;  // replaces "Relievo\r\n"
        const char* cause;
    };
    const Case cases[] = {
        {std::string("Rel\0evo\r\n", 9), "NUL"},
        {std::string("Relievo\n"), "line end"},
        {std::string(300, 'x') + "\r\n", "longer than 299"},
        {std::string(420, 'x') + "\r\n", "longer than 299"},
    };
    for (const Case& c : cases) {
        std::string script = package.substr(40, ScriptLength());
        script.replace(name - 40, 9, c.line);
        const std::string changed = FormatPackageHeader(static_cast<std::int64_t>(script.size()), 5) + script +
                                    package.substr(40 + ScriptLength());
        std::string problem;
        EXPECT_FALSE(Check(stub + changed, problem)) << c.cause;
        EXPECT_NE(problem.find(c.cause), std::string::npos) << problem;
        EXPECT_NE(problem.find("name line"), std::string::npos) << problem;
        if (std::string_view(c.cause) != "longer than 299") {
            EXPECT_EQ(problem.find("longer"), std::string::npos) << problem;
        }
    }
    // 299 bytes fit.
    std::string script = package.substr(40, ScriptLength());
    script.replace(name - 40, 9, std::string(299, 'x') + "\r\n");
    std::string problem;
    EXPECT_TRUE(Check(stub + FormatPackageHeader(static_cast<std::int64_t>(script.size()), 5) + script +
                          package.substr(40 + ScriptLength()),
                      problem))
        << problem;
}

TEST_F(PackageCheck, TheFileTableIsTheOneAfterDirectory)
{
    // A "[File]" line in [Run] followed by a picture-like line: the check
    // reads the real table, and so must the start-up.
    description.runCaption = "[File]";
    std::string fake;
    std::string reason;
    ASSERT_TRUE(FormatFileTableLine("[WelPic]", 40, 30, 'B', fake, reason)) << reason;
    description.runCommand = fake.substr(0, fake.size() - 2);
    std::string problem;
    EXPECT_TRUE(Check(stub + BuildOrFail(description), problem)) << problem;
    std::string script = BuildOrFail(description).substr(40);
    auto contents = ReadSetupScript(script);
    EXPECT_EQ(contents.welcomePicture.size, static_cast<std::int32_t>(description.welcomePicture.size()));
    EXPECT_EQ(contents.runCaption, "[File]");
}

TEST_F(PackageCheck, APictureThatIsNeverReadMayHoldAnyOffsetAndSize)
{
    std::string problem;
    const std::string far = std::string("99999999") + std::string(12, ' ');

    description.hasSplash = false;
    std::string noSplash = BuildOrFail(description);
    const std::size_t none = noSplash.find("[NonePic]");
    ASSERT_NE(none, std::string::npos);
    noSplash.replace(none + 268, 20, far);
    noSplash.replace(none + 288, 20, far);
    EXPECT_TRUE(Check(stub + noSplash, problem)) << problem;

    // The same numbers under a splash tag are read, and refused.
    noSplash.replace(none, 9, "[SoftPic]");
    EXPECT_FALSE(Check(stub + noSplash, problem));
    EXPECT_NE(problem.find("splash picture"), std::string::npos) << problem;

    // Without welcome pages neither picture is extracted.
    description.showWelcomePages = false;
    std::string noWelcome = BuildOrFail(description);
    const std::size_t welcome = noWelcome.find("[WelPic]");
    ASSERT_NE(welcome, std::string::npos);
    noWelcome.replace(welcome + 268, 20, far);
    EXPECT_TRUE(Check(stub + noWelcome, problem)) << problem;
    description.showWelcomePages = true;
    std::string withWelcome = BuildOrFail(description);
    withWelcome.replace(withWelcome.find("[WelPic]") + 268, 20, far);
    EXPECT_FALSE(Check(stub + withWelcome, problem));
    EXPECT_NE(problem.find("welcome picture"), std::string::npos) << problem;
}
