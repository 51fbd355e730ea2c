#include "installer/package/Package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "installer/package/Messages.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/SetupScript.h"
#include "installer/package/tests/BuildOrFail.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/package/tests/SamplePackage.h"

using namespace vela;
using vela::test::BuildOrFail;
using vela::test::FakePlatform;
using vela::test::Pattern;
using vela::test::ScriptLength;
using vela::test::StoredScript;

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
    // A package of 3,000 bytes; blocks and single bytes alike.
    const struct {
        std::int64_t offset;
        std::int32_t size;
        bool whole;
    } rows[] = {{1010, 2000, false}, {2500, 2100, false}, {2990, 20, false}, {2990, 10, true}};
    FakePlatform sys;
    auto package = OpenMemoryFile(Pattern(3000, 1));
    for (const auto& row : rows)
        EXPECT_EQ(ExtractStoredFile(sys, *package, "C:\\t", row.offset, row.size), row.whole)
            << row.size << " bytes at " << row.offset;
}

TEST(TemporaryStem, AddsABackslashOnlyWhenTheFolderLacksOne)
{
    // The time's fields in decimal without leading zeros, one after another.
    const LocalTime t{2026, 12, 7, 5, 43, 28, 123};
    const LocalTime zeros{2027, 1, 1, 0, 0, 0, 0};
    const struct {
        const char* folder;
        LocalTime time;
        const char* stem;
    } rows[] = {
        {"C:\\Temp\\", t, "C:\\Temp\\~temp2026127543" "28123"},
        {"C:\\Temp", t, "C:\\Temp\\~temp2026127543" "28123"},
        // 錦 ends in the byte 0x5C, which is no trailing backslash.
        {"C:\\\xE5\x5C", t, "C:\\\xE5\x5C\\~temp2026127543" "28123"},
        {"T:\\", zeros, "T:\\~temp2027110000"},
    };
    for (const auto& row : rows) {
        const TemporaryText stem = TemporaryStem(row.folder, row.time);
        EXPECT_FALSE(stem.Overflowed()) << row.folder;
        EXPECT_EQ(stem, row.stem) << row.folder;
    }
    // A folder that leaves no room for the rest is refused, never cut.
    EXPECT_TRUE(TemporaryStem(std::string(kTempPathSize - 10, 'x'), t).Overflowed());
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
    PackageProblem problem;
    ASSERT_TRUE(CheckPackage(*file, stub.size(), problem)) << static_cast<int>(problem.fault);
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
    SetupScriptContents s = ReadSetupScript(StoredScript(BuildOrFail(d)));
    EXPECT_EQ(std::string(s.splashPicture.target, 9), "[NonePic]");
    EXPECT_EQ(s.splashPicture.offset, 0);
    EXPECT_EQ(s.splashPicture.size, 0);
    EXPECT_EQ(s.splashPicture.flag, 'B');
    EXPECT_EQ(s.files[0].offset, 1040);
}

// Each row changes the sample in one place; the problem names the field
// for velapack's user where a fragment is given.
TEST(PackageWriter, RefusesWhatTheFormatCannotHold)
{
    struct Case {
        const char* what;
        std::function<void(PackageDescription&)> change;
        bool accepted;
        const char* problemNames;  // nullptr: any wording
    };
    const Case cases[] = {
        {"a target of 268 bytes, the field's width",
         [](PackageDescription& d) { d.files[0].target = "[InstallDir]\\" + std::string(255, 'n'); }, true, nullptr},
        {"a target of 269 bytes",
         [](PackageDescription& d) { d.files[0].target = "[InstallDir]\\" + std::string(256, 'n'); }, false,
         "wider than 268"},
        {"a shortcut name of 101 bytes", [](PackageDescription& d) { d.shortcuts[0].name = std::string(101, 'n'); },
         false, "name"},
        {"a slash in a shortcut's program",
         [](PackageDescription& d) { d.shortcuts[0].program = "[InstallDir]\\a/b.exe"; }, false, "slash"},
        {"shortcut arguments of 300 bytes",
         [](PackageDescription& d) { d.shortcuts[0].arguments = std::string(300, 'a'); }, false, nullptr},
        {"a display name of 300 bytes", [](PackageDescription& d) { d.displayName = std::string(300, 'd'); }, false,
         nullptr},
        {"a target without a macro", [](PackageDescription& d) { d.files[1].target = "C:\\no\\macro.txt"; }, false,
         nullptr},
        {"a licence of 20,000 bytes with its CR LF",
         [](PackageDescription& d) { d.licence = std::string(19998, 'l'); }, false, nullptr},
        {"a line break inside a line", [](PackageDescription& d) { d.autoReg.push_back("line\r\nbreak"); }, false,
         nullptr},
        {"a folder line of 398 bytes", [](PackageDescription& d) { d.directories.push_back(std::string(398, 'x')); },
         false, nullptr},
        {"a folder line of 397 bytes", [](PackageDescription& d) { d.directories.push_back(std::string(397, 'x')); },
         true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PackageDescription d = test::SampleDescription();
        c.change(d);
        std::string package, problem;
        EXPECT_EQ(BuildPackage(d, package, problem), c.accepted) << problem;
        if (c.problemNames) {
            EXPECT_NE(problem.find(c.problemNames), std::string::npos) << problem;
        }
    }
}

// The check names what it found, for velapack to put into words; the
// installer only refuses. Each row changes a sound package in one place.
TEST(PackageCheck, FindsTheFirstProblemAndWhereItIs)
{
    const std::string stub = Pattern(512, 3);
    const std::string package = BuildOrFail(test::SampleDescription());
    const std::size_t scriptLength = ScriptLength(package);
    const std::size_t comp = package.find("[InstallDir]\\comp.ocx   ");
    ASSERT_NE(comp, std::string::npos);
    auto withField = [&](std::size_t column, const char* value) {
        std::string changed = package;
        changed.replace(comp + column, 20, std::string(value) + std::string(20 - std::strlen(value), ' '));
        return changed;
    };
    struct Case {
        std::string installer;
        PackageFault fault;
        std::uint32_t fileLine;
    };
    const Case cases[] = {
        {stub + package, PackageFault::None, 0},
        {stub.substr(0, 100), PackageFault::NoHeader, 0},
        {stub + FormatPackageHeader(0, 5) + package.substr(40), PackageFault::NoScriptLength, 0},
        {stub + package.substr(0, 40 + scriptLength - 1), PackageFault::ScriptBeyondEnd, 0},
        {stub + FormatPackageHeader(static_cast<std::int64_t>(scriptLength), 4) + package.substr(40),
         PackageFault::CountMismatch, 0},
        {stub + withField(268, "12"), PackageFault::ItemBeforeData, 4},
        {stub + withField(268, "-40"), PackageFault::ItemNegative, 4},
        {stub + withField(288, "99999999"), PackageFault::ItemBeyondEnd, 4},
        {(stub + package).substr(0, stub.size() + package.size() - 1), PackageFault::ItemBeyondEnd, 5},
    };
    for (const Case& c : cases) {
        auto file = OpenMemoryFile(c.installer);
        PackageProblem problem;
        EXPECT_EQ(CheckPackage(*file, stub.size(), problem), c.fault == PackageFault::None);
        EXPECT_EQ(problem.fault, c.fault) << static_cast<int>(c.fault);
        EXPECT_EQ(problem.fileLine, c.fileLine) << static_cast<int>(c.fault);
    }
}

// An item lies inside when the data base plus its offset and size does not
// pass the file's end, however long the file is (beyond 4 GiB too), with
// fields near their largest values.
TEST(PackageCheck, ItemsAreJudgedAgainstTheFileEndAtAnyLength)
{
    // The package's bytes, followed (as far as Length says) by more.
    class LongFile : public IBinaryFile {
    public:
        LongFile(std::string bytes, std::uint64_t extra) : inner_(OpenMemoryFile(std::move(bytes))), extra_(extra) {}
        bool Seek(std::uint64_t offset) override { return inner_->Seek(offset); }
        std::size_t Read(void* buffer, std::size_t size) override { return inner_->Read(buffer, size); }
        std::size_t Write(const void*, std::size_t) override { return 0; }
        std::uint64_t Length() override { return inner_->Length() + extra_; }

    private:
        std::unique_ptr<IBinaryFile> inner_;
        std::uint64_t extra_;
    };
    const std::string stub = Pattern(512, 3);
    const std::string package = BuildOrFail(test::SampleDescription());
    const std::uint64_t dataBase = stub.size() + ScriptLength(package);
    const std::size_t comp = package.find("[InstallDir]\\comp.ocx   ");
    ASSERT_NE(comp, std::string::npos);
    auto field = [](std::int64_t value) {
        const std::string digits = std::to_string(value);
        return digits + std::string(20 - digits.size(), ' ');
    };
    constexpr std::int64_t kLargest = 0x7FFFFFFF;
    const std::uint64_t extras[] = {0, 1, 0xFFFFFFFFull - dataBase, 0x100000000ull, 0x100000000ull - 1,
                                    0x200000000ull, 0xFFFFFFFEull};
    std::mt19937 random(20261209);
    for (int n = 0; n < 300; ++n) {
        const std::uint64_t extra = n < 100 ? extras[n % std::size(extras)] : random() % 0x180000000ull;
        const std::int64_t offset = n % 3 == 0 ? kLargest - random() % 4 : 40 + random() % kLargest;
        std::int64_t size = n % 2 == 0 ? kLargest - random() % 4 : 1 + random() % kLargest;
        if (n % 5 == 0) {  // an item ending just at, or one byte past, the end
            const std::uint64_t length = stub.size() + package.size() + extra;
            const std::int64_t fit = static_cast<std::int64_t>(length - dataBase) - offset + (n % 10 == 0 ? 0 : 1);
            if (fit > 0 && fit <= kLargest) size = fit;
        }
        std::string changed = package;
        changed.replace(comp + 268, 20, field(offset));
        changed.replace(comp + 288, 20, field(size));
        LongFile file(stub + changed, extra);
        const bool inside = dataBase + static_cast<std::uint64_t>(offset) + static_cast<std::uint64_t>(size) <=
                            file.Length();
        PackageProblem problem;
        EXPECT_EQ(CheckPackage(file, stub.size(), problem), inside) << offset << " " << size << " " << extra;
        EXPECT_EQ(problem.fault, inside ? PackageFault::None : PackageFault::ItemBeyondEnd);
        EXPECT_EQ(problem.fileLine, inside ? 0u : 4u);
        if (!inside) {
            EXPECT_EQ(problem.offset, offset);
            EXPECT_EQ(problem.size, size);
        }
    }
}

TEST(PackageCheck, AScriptThatCannotBeReadIsRefused)
{
    // The script is read in place: a read that comes back short inside it
    // is a problem, not the end of the script.
    class FailingReads : public IBinaryFile {
    public:
        explicit FailingReads(std::string bytes) : inner_(OpenMemoryFile(std::move(bytes))) {}
        bool Seek(std::uint64_t offset) override { return inner_->Seek(offset); }
        std::size_t Read(void* buffer, std::size_t size) override
        {
            const std::size_t got = inner_->Read(buffer, size);
            return ++reads_ > 1 ? got / 2 : got;  // the header reads whole
        }
        std::size_t Write(const void* data, std::size_t size) override { return inner_->Write(data, size); }
        std::uint64_t Length() override { return inner_->Length(); }

    private:
        std::unique_ptr<IBinaryFile> inner_;
        int reads_ = 0;
    };
    const std::string stub = Pattern(512, 3);
    FailingReads file(stub + BuildOrFail(test::SampleDescription()));
    PackageProblem problem;
    EXPECT_FALSE(CheckPackage(file, stub.size(), problem));
    EXPECT_EQ(problem.fault, PackageFault::ScriptUnreadable);
}
