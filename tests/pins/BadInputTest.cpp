// Bad input the other suites do not try: scripts missing each section,
// header fields that are no numbers, overlapping items, lines without their
// line end, a full disk at start-up, tiles that cannot be read.
#include <gtest/gtest.h>

#include "installer/package/Messages.h"
#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/SetupScript.h"
#include "installer/package/Startup.h"
#include "installer/package/tests/BuildOrFail.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/package/tests/RecordingPages.h"
#include "installer/package/tests/SamplePackage.h"
#include "painter/image/Platform.h"
#include "painter/stereo/Background.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vela {
namespace {

using test::BuildOrFail;
using test::FakePlatform;
using test::RecordingPages;
using test::ScriptLength;
using test::StoredScript;

constexpr std::uint64_t kOffset = 512;

// The package with its script changed, the header following the script's length.
std::string WithScript(const std::string& package, const std::string& script)
{
    const std::size_t old = ScriptLength(package);
    char header[kPackageHeaderSize];
    package.copy(header, sizeof header);
    return FormatPackageHeader(static_cast<std::int64_t>(script.size()), ParsePackageHeader(header).fileCount) + script +
           package.substr(40 + old);
}

struct Outcome {
    bool checked;
    StartupEnd end;
    std::size_t filesWritten;  // besides the program itself
    std::vector<test::ShownMessage> messages;
};

Outcome Start(const std::string& package)
{
    FakePlatform sys;
    const std::string installer = std::string(kOffset, 'S') + package;
    sys.files[sys.moduleFileName] = installer;
    PackageProblem problem;
    auto file = OpenMemoryFile(installer);
    Outcome o;
    o.checked = CheckPackage(*file, kOffset, problem);
    RecordingPages pages;
    auto ctx = std::make_unique<InstallContext>();
    o.end = RunStartup(sys, pages, *ctx, kOffset);
    o.filesWritten = sys.files.size() - 1;
    o.messages = sys.messages;
    return o;
}

TEST(BadPackages, ScriptsMissingEachSectionInTurn)
{
    const std::string package = BuildOrFail(test::SampleDescription());
    const std::string script = StoredScript(package);
    struct Case {
        const char* header;
        bool refused;  // by the check, before anything is written
    };
    const Case cases[] = {
        {"[AutoReg]", false}, {"[ClearFile]", false}, {"[Menu]", false},         {"[Run]", false},
        {"[Directory]", true}, {"[File]", true},       {"[TotalSize]", true},     {"[Readme Content]", false},
        {"[Readme End]", false},
    };
    for (const Case& c : cases) {
        std::string changed = script;
        const std::size_t at = changed.find(std::string(c.header) + "\r\n");
        ASSERT_NE(at, std::string::npos) << c.header;
        changed.erase(at, std::strlen(c.header) + 2);
        const Outcome o = Start(WithScript(package, changed));
        EXPECT_EQ(!o.checked, c.refused) << c.header;
        if (c.refused) {
            EXPECT_EQ(o.end, StartupEnd::PackageDamaged) << c.header;
            EXPECT_EQ(o.filesWritten, 0u) << c.header;
            ASSERT_EQ(o.messages.size(), 1u);
            EXPECT_EQ(o.messages[0].text, kMsgPackageDamaged);
        } else {
            // The section's reader sees nothing; the start-up goes on.
            EXPECT_EQ(o.end, StartupEnd::WizardRun) << c.header;
            EXPECT_TRUE(o.messages.empty()) << c.header;
        }
    }
}

TEST(BadPackages, HeaderFieldsThatAreNoNumbers)
{
    const std::string package = BuildOrFail(test::SampleDescription());
    for (const char* field : {"abc", "", "-5", "0x40", "99999999999999999999"}) {
        std::string changed = package;
        std::string padded(field);
        padded.resize(20, ' ');
        changed.replace(0, 20, padded);
        const Outcome o = Start(changed);
        EXPECT_FALSE(o.checked) << field;
        EXPECT_EQ(o.end, StartupEnd::PackageDamaged) << field;
        EXPECT_EQ(o.filesWritten, 0u) << field;
    }
    std::string count = package;
    count.replace(20, 20, std::string("five") + std::string(16, ' '));
    EXPECT_FALSE(Start(count).checked);
}

TEST(BadPackages, OverlappingItemsAreEachCopiedFromWhereTheirLineSays)
{
    // Two pictures sharing their bytes: both lie inside the file, so both are
    // extracted, each whole.
    PackageDescription d = test::SampleDescription();
    std::string package = BuildOrFail(d);
    const std::size_t splash = package.find("[SoftPic]");
    const std::size_t welcome = package.find("[WelPic]");
    ASSERT_NE(splash, std::string::npos);
    package.replace(splash + 268, 20, package.substr(welcome + 268, 20));  // same offset as the welcome picture
    FakePlatform sys;
    sys.files[sys.moduleFileName] = std::string(kOffset, 'S') + package;
    RecordingPages pages;
    auto ctx = std::make_unique<InstallContext>();
    EXPECT_EQ(RunStartup(sys, pages, *ctx, kOffset), StartupEnd::WizardRun);
    EXPECT_EQ(sys.files[ctx->welcomeBitmapPath], d.welcomePicture);
    const std::string shared = d.welcomePicture + d.splashPicture;
    EXPECT_EQ(sys.files[ctx->splashBitmapPath], shared.substr(0, d.splashPicture.size()));
}

TEST(BadPackages, LinesWithoutTheirLineEnd)
{
    // A script whose lines end in LF only: line 1 still is not judged, but the
    // name line has no CR LF and the check says so.
    const std::string package = BuildOrFail(test::SampleDescription());
    std::string script = StoredScript(package);
    std::string lf;
    for (char c : script)
        if (c != '\r') lf += c;
    PackageProblem problem;
    const std::string installer = std::string(kOffset, 'S') + WithScript(package, lf);
    auto file = OpenMemoryFile(installer);
    EXPECT_FALSE(CheckPackage(*file, kOffset, problem));
    EXPECT_EQ(problem.fault, PackageFault::BasalLineNoEnd);
    EXPECT_EQ(problem.basalLine, 2) << "the name line";

    // The script cut in the middle of its last line.
    const Outcome cut = Start(WithScript(package, script.substr(0, script.size() - 5)));
    EXPECT_EQ(cut.end, StartupEnd::WizardRun) << "the licence text only loses its end";
}

// A system whose disk fills up after a number of bytes written.
class FullDiskPlatform : public FakePlatform {
public:
    std::size_t room = 0;
    std::unique_ptr<IBinaryFile> CreateForWriting(std::string_view pathText) override
    {
        const std::string path(pathText);
        auto inner = FakePlatform::CreateForWriting(path);
        return std::make_unique<Limited>(std::move(inner), room);
    }

private:
    class Limited : public IBinaryFile {
    public:
        Limited(std::unique_ptr<IBinaryFile> inner, std::size_t& room) : inner_(std::move(inner)), room_(room) {}
        bool Seek(std::uint64_t offset) override { return inner_->Seek(offset); }
        std::size_t Read(void* buffer, std::size_t size) override { return inner_->Read(buffer, size); }
        std::size_t Write(const void* data, std::size_t size) override
        {
            const std::size_t n = std::min(size, room_);
            room_ -= n;
            return inner_->Write(data, n);
        }
        std::uint64_t Length() override { return inner_->Length(); }

    private:
        std::unique_ptr<IBinaryFile> inner_;
        std::size_t& room_;
    };
};

TEST(BadPackages, AFullDiskAtStartUp)
{
    const std::string package = BuildOrFail(test::SampleDescription());
    const std::size_t script = ScriptLength(package);
    // Room for less than the script: the start-up stops with its message and
    // the pages never run.
    {
        FullDiskPlatform sys;
        sys.room = script / 2;
        sys.files[sys.moduleFileName] = std::string(kOffset, 'S') + package;
        RecordingPages pages;
        auto ctx = std::make_unique<InstallContext>();
        EXPECT_EQ(RunStartup(sys, pages, *ctx, kOffset), StartupEnd::ScriptUnreadable);
        ASSERT_EQ(sys.messages.size(), 1u);
        EXPECT_EQ(sys.messages[0].text, kMsgScriptOpenError);
        EXPECT_TRUE(pages.runs.empty());
        EXPECT_STRNE(ctx->scriptFilePath, "") << "the stub deletes the partial script it made";
    }
    // Room for the script but not the pictures: the wizard goes on without them.
    {
        FullDiskPlatform sys;
        sys.room = script + 10;
        sys.files[sys.moduleFileName] = std::string(kOffset, 'S') + package;
        RecordingPages pages;
        auto ctx = std::make_unique<InstallContext>();
        EXPECT_EQ(RunStartup(sys, pages, *ctx, kOffset), StartupEnd::WizardRun);
        EXPECT_EQ(sys.files[ctx->welcomeBitmapPath].size(), 10u);
    }
}

} // namespace
} // namespace vela

namespace rv {
namespace {

namespace fs = std::filesystem;

TEST(BadTiles, MissingAndUnreadableTilesLeaveTheLayout)
{
    const fs::path dir = fs::temp_directory_path() / "rv_pins_tiles";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "b2.bmp") << "BM not really";
    fs::create_directories(dir / "b3.bmp");  // a folder where a tile should be
    CDibImage background;
    ASSERT_TRUE(background.Create(5, 5));
    PictureLayout layout;
    layout.period = 77;
    layout.tileHeight = 66;
    for (const char* name : {"b1.bmp", "b2.bmp", "b3.bmp"}) {
        EXPECT_FALSE(LoadTile(background, (dir / name).string(), layout)) << name;
        EXPECT_EQ(layout.period, 77) << name;
        EXPECT_EQ(layout.tileHeight, 66) << name;
        EXPECT_EQ(background.Width(), 5) << name;
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace rv
