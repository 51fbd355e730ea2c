#include "installer/package/Startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "installer/package/Messages.h"
#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/tests/BuildOrFail.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/package/tests/RecordingPages.h"
#include "installer/package/tests/SamplePackage.h"

using namespace vela;
using vela::test::FakePlatform;
using vela::test::Pattern;
using vela::test::RecordingPages;

namespace {

constexpr std::uint64_t kOffset = 4096;
const std::string kStem = "C:\\Temp\\~temp2026127543" "28123";

class Startup : public ::testing::Test {
protected:
    FakePlatform sys;
    RecordingPages pages;
    InstallContext ctx;
    PackageDescription description = test::SampleDescription();

    void SetUp() override { pages.sys = &sys; }

    void Install(const std::string& package) { sys.files[sys.moduleFileName] = Pattern(kOffset, 1) + package; }
    std::string Package() { return test::BuildOrFail(description); }
    StartupEnd Run() { return RunStartup(sys, pages, ctx, kOffset); }
};

} // namespace

TEST_F(Startup, FillsTheContextAndRunsSplashWelcomeAndLicence)
{
    const std::string package = Package();
    Install(package);
    ctx.progressCount = 7;
    ctx.cancelRequested = true;
    ctx.installAborted = true;

    EXPECT_EQ(Run(), StartupEnd::WizardRun);
    EXPECT_EQ(pages.runs, (std::vector<std::string>{"splash", "welcome", "licence"}));
    EXPECT_TRUE(sys.messages.empty());

    EXPECT_STREQ(ctx.packagePath, "C:\\Setup\\VelaInstall.exe");
    EXPECT_EQ(ctx.packageDataBase, static_cast<std::int64_t>(kOffset + test::ScriptLength(package)));
    EXPECT_EQ(ctx.packageFileCount, 5);
    EXPECT_EQ(ctx.progressCount, 0);
    EXPECT_FALSE(ctx.cancelRequested);
    EXPECT_FALSE(ctx.installAborted);
    EXPECT_STREQ(ctx.scriptFilePath, (kStem + ".ini").c_str());
    EXPECT_STREQ(ctx.welcomeBitmapPath, (kStem + "Wel.Bmp").c_str());
    EXPECT_STREQ(ctx.splashBitmapPath, (kStem + "Soft.Bmp").c_str());
    EXPECT_STREQ(ctx.displayName, "Relievo");
    EXPECT_STREQ(ctx.installPath, "C:\\Program Files\\Relievo");
    EXPECT_STREQ(ctx.installPathTail, "Program Files\\Relievo");
    EXPECT_TRUE(ctx.showWelcomePages);
    EXPECT_TRUE(ctx.registerUninstall);

    EXPECT_EQ(sys.files[ctx.scriptFilePath], test::StoredScript(package));
    EXPECT_EQ(pages.filesAtFirstPage[ctx.welcomeBitmapPath], description.welcomePicture);
    EXPECT_EQ(pages.filesAtFirstPage[ctx.splashBitmapPath], description.splashPicture);
}

TEST_F(Startup, ANonePicLineShowsNoSplash)
{
    description.hasSplash = false;
    Install(Package());
    EXPECT_EQ(Run(), StartupEnd::WizardRun);
    EXPECT_EQ(pages.runs, (std::vector<std::string>{"welcome", "licence"}));
    EXPECT_EQ(sys.files.count(ctx.splashBitmapPath), 0u);
    EXPECT_EQ(sys.files[ctx.welcomeBitmapPath], description.welcomePicture);
}

TEST_F(Startup, ACancelledWelcomePageEndsTheInstaller)
{
    Install(Package());
    pages.welcomeResult = false;
    EXPECT_EQ(Run(), StartupEnd::WelcomeCancelled);
    EXPECT_EQ(pages.runs, (std::vector<std::string>{"splash", "welcome"}));
}

// The uninstall flag is read whether or not the welcome pages show.
TEST_F(Startup, WithoutWelcomePagesThePathPageComesFirstAndNoPictureIsWritten)
{
    for (const bool registerUninstall : {false, true}) {
        SCOPED_TRACE(registerUninstall ? "uninstall registered" : "no uninstall");
        sys.files.clear();
        pages.runs.clear();
        description.showWelcomePages = false;
        description.registerUninstall = registerUninstall;
        Install(Package());
        EXPECT_EQ(Run(), StartupEnd::PathPageRun);
        EXPECT_EQ(pages.runs, (std::vector<std::string>{"path"}));
        EXPECT_FALSE(ctx.showWelcomePages);
        EXPECT_EQ(ctx.registerUninstall, registerUninstall);
        EXPECT_EQ(sys.files.count(ctx.welcomeBitmapPath), 0u);
        EXPECT_EQ(sys.files.count(ctx.splashBitmapPath), 0u);
        EXPECT_EQ(sys.files.count(ctx.scriptFilePath), 1u);
    }
}

TEST_F(Startup, LinesFourAndFiveCountOnlyAsExactlyOneWithCrLf)
{
    const std::string package = Package();
    const std::size_t length = test::ScriptLength(package);
    std::string script = test::StoredScript(package);
    const std::string lines = "1\r\n1\r\n[AutoReg]";
    ASSERT_NE(script.find(lines), std::string::npos);
    script.replace(script.find(lines), lines.size(), "1 \r\n1 \r\n[AutoReg]");
    Install(FormatPackageHeader(static_cast<std::int64_t>(script.size()), 5) + script + package.substr(40 + length));
    EXPECT_EQ(Run(), StartupEnd::PathPageRun);
    EXPECT_FALSE(ctx.showWelcomePages);
    EXPECT_FALSE(ctx.registerUninstall);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(Startup, ATemporaryFolderWithoutBackslashGetsOne)
{
    sys.temporaryFolder = "C:\\Temp";
    Install(Package());
    EXPECT_EQ(Run(), StartupEnd::WizardRun);
    EXPECT_STREQ(ctx.scriptFilePath, (kStem + ".ini").c_str());
}

TEST_F(Startup, SocketsThatDoNotStartEndTheInstallerWithTheFrameworkBox)
{
    sys.socketsStart = false;
    Install(Package());
    EXPECT_EQ(Run(), StartupEnd::SocketsFailed);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, kMsgSocketsFailed);
    EXPECT_EQ(sys.messages[0].caption, "");
    EXPECT_TRUE(pages.runs.empty());
    EXPECT_EQ(sys.files.size(), 1u);
}

TEST_F(Startup, AnUnreadableProgramFileIsReported)
{
    Install(Package());
    sys.unreadable.insert(sys.moduleFileName);
    EXPECT_EQ(Run(), StartupEnd::PackageUnreadable);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, kMsgPackageOpenError);
    EXPECT_EQ(sys.messages[0].caption, kCaptionError);
}

TEST_F(Startup, ADamagedPackageIsRefusedBeforeAnythingIsWritten)
{
    const std::string package = Package();
    for (std::size_t cut : {package.size() - 1, std::size_t{40} + 10, std::size_t{20}}) {
        SCOPED_TRACE(cut);
        sys.files.clear();
        sys.messages.clear();
        pages.runs.clear();
        Install(package.substr(0, cut));
        EXPECT_EQ(Run(), StartupEnd::PackageDamaged);
        ASSERT_EQ(sys.messages.size(), 1u);
        EXPECT_EQ(sys.messages[0].text, kMsgPackageDamaged);
        EXPECT_EQ(sys.messages[0].caption, kCaptionError);
        EXPECT_TRUE(pages.runs.empty());
        EXPECT_EQ(sys.files.size(), 1u) << "only the program itself";
    }
}

TEST_F(Startup, AScriptThatCannotBeWrittenIsReportedTwice)
{
    Install(Package());
    sys.uncreatable.insert(kStem + ".ini");
    EXPECT_EQ(Run(), StartupEnd::ScriptUnreadable);
    ASSERT_EQ(sys.messages.size(), 2u);
    EXPECT_EQ(sys.messages[0].text, kStem + ".ini");
    EXPECT_EQ(sys.messages[0].caption, kCaptionCreateFileError);
    EXPECT_EQ(sys.messages[1].text, kMsgScriptOpenError);
    EXPECT_EQ(sys.messages[1].caption, kCaptionError);
}

TEST_F(Startup, APictureThatCannotBeWrittenIsReportedAndTheWizardGoesOn)
{
    Install(Package());
    sys.uncreatable.insert(kStem + "Wel.Bmp");
    EXPECT_EQ(Run(), StartupEnd::WizardRun);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, kStem + "Wel.Bmp");
    EXPECT_EQ(pages.runs, (std::vector<std::string>{"splash", "welcome", "licence"}));
}

TEST_F(Startup, ADoubleByteDisplayNameKeepsItsCharacters)
{
    description.displayName = "\xE5\x5C\xBB\xAD";  // 錦画
    Install(Package());
    EXPECT_EQ(Run(), StartupEnd::WizardRun);
    EXPECT_STREQ(ctx.displayName, "\xE5\x5C\xBB\xAD");
}

TEST_F(Startup, TheSplashTagAloneDecidesWhetherTheSplashShows)
{
    std::string package = Package();
    const std::size_t tag = package.find("[SoftPic]");
    ASSERT_NE(tag, std::string::npos);

    package.replace(tag, 9, "[NonePic]");  // keeps the stored picture's offset and size
    Install(package);
    EXPECT_EQ(Run(), StartupEnd::WizardRun);
    EXPECT_EQ(pages.runs, (std::vector<std::string>{"welcome", "licence"}));
    EXPECT_EQ(sys.files.count(ctx.splashBitmapPath), 0u);

    pages.runs.clear();
    sys.files.clear();
    package.replace(tag, 9, "[Softxyz]");
    Install(package);
    EXPECT_EQ(Run(), StartupEnd::WizardRun);
    EXPECT_EQ(pages.runs, (std::vector<std::string>{"splash", "welcome", "licence"}));
    EXPECT_EQ(sys.files[ctx.splashBitmapPath], description.splashPicture);
}

TEST_F(Startup, AFirstLineInOtherLettersInstalls)
{
    std::string package = Package();
    ASSERT_EQ(package.compare(40, 7, "[Basal]"), 0);
    package.replace(40, 7, "[BASAL]");
    Install(package);
    EXPECT_EQ(Run(), StartupEnd::WizardRun);
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_STREQ(ctx.displayName, "Relievo");
    EXPECT_EQ(sys.files[ctx.welcomeBitmapPath], description.welcomePicture);
}

TEST_F(Startup, PicturesComeFromTheTableTheCheckVetted)
{
    // "[File]" as the run caption, then a line that looks like a welcome
    // picture line of 30 bytes at offset 40: only the real table counts.
    std::string fake, reason;
    ASSERT_TRUE(FormatFileTableLine("[WelPic]", 40, 30, 'B', fake, reason)) << reason;
    const std::string fakeLine = fake.substr(0, fake.size() - 2);
    struct Case {
        const char* where;
        std::function<void(PackageDescription&)> plant;
    };
    const Case cases[] = {
        {"[Run]",
         [&](PackageDescription& d) {
             d.runCaption = "[File]";
             d.runCommand = fakeLine;
         }},
        {"[Menu]",
         [](PackageDescription& d) {
             d.menuGroup = "[File]";
             d.shortcuts.clear();
         }},
        {"[ClearFile]", [&](PackageDescription& d) { d.clearFile = {"[File]", fakeLine}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        description = test::SampleDescription();
        c.plant(description);
        sys.files.clear();
        pages.runs.clear();
        Install(Package());
        EXPECT_EQ(Run(), StartupEnd::WizardRun);
        EXPECT_EQ(sys.files[ctx.welcomeBitmapPath], description.welcomePicture);
        EXPECT_EQ(sys.files[ctx.splashBitmapPath], description.splashPicture);
    }
}

// The temporary files are always new files of the installer's own.
TEST_F(Startup, AStemWhoseFilesExistIsPassedOver)
{
    const std::string planted = "planted by someone else";
    for (const char* suffix : {".ini", "Wel.Bmp", "Soft.Bmp"}) {
        SCOPED_TRACE(suffix);
        sys.files.clear();
        pages.runs.clear();
        Install(Package());
        sys.files[kStem + suffix] = planted;
        sys.files[kStem + "-1.ini"] = planted;  // the next stem is taken too
        EXPECT_EQ(Run(), StartupEnd::WizardRun);
        EXPECT_STREQ(ctx.scriptFilePath, (kStem + "-2.ini").c_str());
        EXPECT_STREQ(ctx.welcomeBitmapPath, (kStem + "-2Wel.Bmp").c_str());
        EXPECT_STREQ(ctx.splashBitmapPath, (kStem + "-2Soft.Bmp").c_str());
        EXPECT_EQ(sys.files[kStem + suffix], planted);
        EXPECT_EQ(sys.files[kStem + "-1.ini"], planted);
        EXPECT_EQ(pages.filesAtFirstPage[ctx.welcomeBitmapPath], description.welcomePicture);
        EXPECT_TRUE(sys.messages.empty());
    }
}

TEST_F(Startup, WhenEveryStemIsTakenNothingIsWritten)
{
    Install(Package());
    const std::string other(1, 'x');
    sys.files.emplace(kStem + ".ini", other);
    for (int n = 1; n < kTemporaryStemTries; ++n) {
        std::string taken = kStem;
        taken += '-';
        taken += std::to_string(n);
        taken += "Wel.Bmp";
        sys.files.emplace(taken, other);
    }
    const auto before = sys.files;
    EXPECT_EQ(Run(), StartupEnd::ScriptUnreadable);
    EXPECT_EQ(sys.files, before);
    EXPECT_STREQ(ctx.scriptFilePath, "");
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, kMsgScriptOpenError);
}

namespace {

// A system where a file appears under a temporary name after the stem was
// chosen and before the installer creates it.
class RacedPlatform : public FakePlatform {
public:
    std::string raced;
    std::unique_ptr<IBinaryFile> CreateNewForWriting(std::string_view pathText) override
    {
        const std::string path(pathText);
        if (path == raced) files[path] = "someone else's";
        return FakePlatform::CreateNewForWriting(path);
    }
};

} // namespace

// The installer never writes into a file it did not make: one that appears
// under the script's name ends the start-up, one under a picture's name
// leaves that picture out.
TEST_F(Startup, AFileThatAppearsMeanwhileIsNeitherWrittenNorKept)
{
    const struct {
        const char* suffix;
        StartupEnd end;
        // The path left empty, so that neither the stub nor a page deletes the file.
        const char* (*path)(const InstallContext&);
        std::size_t pagesRun;
    } rows[] = {
        {".ini", StartupEnd::ScriptUnreadable, [](const InstallContext& c) -> const char* { return c.scriptFilePath; },
         0},
        {"Wel.Bmp", StartupEnd::WizardRun, [](const InstallContext& c) -> const char* { return c.welcomeBitmapPath; },
         3},
        {"Soft.Bmp", StartupEnd::WizardRun, [](const InstallContext& c) -> const char* { return c.splashBitmapPath; },
         2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.suffix);
        RacedPlatform raced;
        raced.raced = kStem + row.suffix;
        raced.files[raced.moduleFileName] = Pattern(kOffset, 1) + test::BuildOrFail(test::SampleDescription());
        InstallContext context;
        RecordingPages recorded;
        EXPECT_EQ(RunStartup(raced, recorded, context, kOffset), row.end);
        EXPECT_EQ(raced.files[kStem + row.suffix], "someone else's");
        ASSERT_FALSE(raced.messages.empty());
        EXPECT_EQ(raced.messages[0].text, kStem + row.suffix);
        EXPECT_EQ(raced.messages[0].caption, kCaptionCreateFileError);
        EXPECT_STREQ(row.path(context), "");
        EXPECT_EQ(recorded.runs.size(), row.pagesRun);
    }
}
