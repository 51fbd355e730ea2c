#include "installer/package/SetupScript.h"

#include <gtest/gtest.h>

#include <string>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/tests/BuildOrFail.h"
#include "installer/package/tests/SamplePackage.h"

using namespace vela;

namespace {

CScriptFile Open(const std::string& text) { return CScriptFile(OpenMemoryFile(text)); }

std::string ScriptOf(const PackageDescription& d) { return test::StoredScript(test::BuildOrFail(d)); }

} // namespace

TEST(BoundedLineRead, ReadsALineOfBoundMinusOneWholeAndSplitsALongerOne)
{
    const std::string exact = std::string(7, 'a') + "\r\n";  // 9 characters
    CScriptFile script = Open(exact + std::string(8, 'b') + "\r\n" + "tail");
    char line[10];
    ASSERT_TRUE(script.ReadLine(line, sizeof line));
    EXPECT_EQ(std::string(line), exact);
    ASSERT_TRUE(script.ReadLine(line, sizeof line));
    EXPECT_EQ(std::string(line), std::string(8, 'b') + "\r");
    EXPECT_FALSE(script.AtEnd());
    ASSERT_TRUE(script.ReadLine(line, sizeof line));
    EXPECT_EQ(std::string(line), "\n");
    ASSERT_TRUE(script.ReadLine(line, sizeof line));
    EXPECT_EQ(std::string(line), "tail");
    EXPECT_TRUE(script.AtEnd());
    EXPECT_FALSE(script.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "");
}

TEST(BoundedLineRead, ReadsAcrossItsInternalBufferBoundary)
{
    std::string text;
    for (int i = 0; i < 600; ++i) text += "line " + std::to_string(i) + "\r\n";
    CScriptFile script = Open(text);
    char line[400];
    for (int i = 0; i < 600; ++i) {
        ASSERT_TRUE(script.ReadLine(line, sizeof line));
        ASSERT_EQ(std::string(line), "line " + std::to_string(i) + "\r\n");
    }
    EXPECT_FALSE(script.ReadLine(line, sizeof line));
    EXPECT_TRUE(script.AtEnd());
}

TEST(Sections, HeadersMatchOnlyWholeWithTheirCrLf)
{
    CScriptFile blank = Open("[Run] \r\nx\r\n[run]\r\ny\r\n");
    EXPECT_FALSE(blank.SkipToSection(kRunHeader, kLongLineBound));
    EXPECT_TRUE(blank.AtEnd());

    CScriptFile good = Open("a\r\n[Run]\r\ncaption\r\n");
    ASSERT_TRUE(good.SkipToSection(kRunHeader, kLongLineBound));
    char line[kLongLineBound];
    ASSERT_TRUE(good.ReadLine(line, sizeof line));
    EXPECT_STREQ(line, "caption\r\n");
}

TEST(Sections, ReadUpToTheirEndHeaderAndMayBeEmpty)
{
    CScriptFile script = Open("[AutoReg]\r\n[ClearFile]\r\none\r\ntwo\r\n[Menu]\r\n");
    ASSERT_TRUE(script.SkipToSection(kAutoRegHeader, kLongLineBound));
    char line[kLongLineBound];
    EXPECT_FALSE(script.ReadSectionLine(kClearFileHeader, line, sizeof line));
    ASSERT_TRUE(script.ReadSectionLine(kMenuHeader, line, sizeof line));
    EXPECT_STREQ(line, "one\r\n");
    ASSERT_TRUE(script.ReadSectionLine(kMenuHeader, line, sizeof line));
    EXPECT_STREQ(line, "two\r\n");
    EXPECT_FALSE(script.ReadSectionLine(kMenuHeader, line, sizeof line));
    EXPECT_FALSE(script.AtEnd());
    EXPECT_FALSE(script.ReadSectionLine(kRunHeader, line, sizeof line));
    EXPECT_TRUE(script.AtEnd());
}

TEST(Basal, ReadsFiveLinesWithTheirBoundsAndLineEnds)
{
    const std::string longLast = std::string(300, 'x') + "\r\n";
    CScriptFile script = Open("[Basal]\r\nName\r\n[Program Files]\\App\r\n1\r\n" + longLast);
    BasalLines basal;
    ReadBasal(script, basal);
    EXPECT_STREQ(basal.header, "[Basal]\r\n");
    EXPECT_STREQ(basal.displayName, "Name\r\n");
    EXPECT_STREQ(basal.installPath, "[Program Files]\\App\r\n");
    EXPECT_STREQ(basal.showWelcome, "1\r\n");
    EXPECT_EQ(std::string(basal.registerUninstall), std::string(279, 'x'));
}

TEST(FileTableLine, SplitsTheFourColumns)
{
    std::string line, problem;
    ASSERT_TRUE(FormatFileTableLine("[InstallDir]\\a b.exe", 12345, 678, '1', line, problem));
    EXPECT_EQ(line.size(), 311u);
    FileTableEntry entry;
    ParseFileTableLine(line, entry);
    EXPECT_EQ(std::string(entry.target), "[InstallDir]\\a b.exe" + std::string(268 - 20, ' '));
    EXPECT_EQ(entry.offset, 12345);
    EXPECT_EQ(entry.size, 678);
    EXPECT_EQ(entry.flag, '1');
}

TEST(FileTableLine, AShortLineHasNoFlagAndEmptyNumbers)
{
    FileTableEntry entry;
    entry.flag = 'x';
    entry.offset = entry.size = 9;
    ParseFileTableLine("[InstallDir]\\short\r\n", entry);
    EXPECT_EQ(std::string(entry.target), "[InstallDir]\\short\r\n");
    EXPECT_EQ(entry.offset, 0);
    EXPECT_EQ(entry.size, 0);
    EXPECT_EQ(entry.flag, '\0');
}

TEST(MenuLine, SplitsNameTargetAndDesktopFlag)
{
    std::string line, problem;
    PackageShortcut shortcut{"My App", "[InstallDir]\\app.exe", "min", true};
    ASSERT_TRUE(FormatMenuLine(shortcut, line, problem)) << problem;
    EXPECT_EQ(line.size(), 403u);
    MenuEntry entry;
    ParseMenuLine(line, entry);
    EXPECT_STREQ(entry.name, "My App");
    EXPECT_STREQ(entry.target, "[InstallDir]\\app.exe /min");
    EXPECT_TRUE(entry.onDesktop);

    line[400] = '2';
    ParseMenuLine(line, entry);
    EXPECT_FALSE(entry.onDesktop);
}

TEST(SplashTag, OnlyTagsBeginningWithSoftShowTheSplash)
{
    for (const char* tag : {"[SoftPic]", "[Soft"}) EXPECT_TRUE(IsSplashTag(tag)) << tag;
    for (const char* tag : {"[NonePic]", "[soft]", "[Sof"}) EXPECT_FALSE(IsSplashTag(tag)) << tag;
}

TEST(WholeScript, EveryReaderFindsWhatTheWriterWrote)
{
    PackageDescription d = test::SampleDescription();
    SetupScriptContents s = ReadSetupScript(ScriptOf(d));
    EXPECT_STREQ(s.basal.header, "[Basal]\r\n");
    EXPECT_STREQ(s.basal.displayName, "Relievo\r\n");
    EXPECT_STREQ(s.basal.installPath, "[Program Files]\\Relievo\r\n");
    EXPECT_EQ(s.autoReg, d.autoReg);
    EXPECT_EQ(s.clearFile, d.clearFile);
    ASSERT_TRUE(s.hasMenu);
    EXPECT_EQ(s.menuGroup, d.menuGroup);
    ASSERT_EQ(s.menu.size(), 2u);
    EXPECT_STREQ(s.menu[1].name, "Help");
    EXPECT_STREQ(s.menu[1].target, "[Windows Directory]\\hh.exe /[InstallDir]\\readme.chm");
    EXPECT_TRUE(s.menu[0].onDesktop);
    EXPECT_FALSE(s.menu[1].onDesktop);
    ASSERT_TRUE(s.hasRun);
    EXPECT_EQ(s.runCaption, d.runCaption);
    EXPECT_EQ(s.runCommand, d.runCommand);
    EXPECT_EQ(s.directories, d.directories);
    ASSERT_TRUE(s.hasFileTable);
    ASSERT_EQ(s.files.size(), d.files.size());
    EXPECT_EQ(s.welcomePicture.offset, 40);
    EXPECT_EQ(s.welcomePicture.size, 1000);
    EXPECT_EQ(s.welcomePicture.flag, 'B');
    EXPECT_TRUE(IsSplashTag(s.splashPicture.target));
    EXPECT_EQ(s.splashPicture.offset, 1040);
    EXPECT_EQ(s.files[0].offset, 4040);
    EXPECT_EQ(s.files[1].flag, '4');
    EXPECT_EQ(s.files[1].offset, 9040);
    EXPECT_EQ(s.files[2].size, 0);
    EXPECT_EQ(s.totalSize, std::to_string(5000 + 2047 + 0 + 2048 + d.files[4].bytes.size()));
    ASSERT_TRUE(s.hasReadme);
    EXPECT_EQ(s.readme, "Licence line one\r\nline two\r\n\r\nlast line\r\n");
}

TEST(WholeScript, AReadmeBeforeTheTotalSizeIsNotFound)
{
    std::string script = ScriptOf(test::SampleDescription());
    std::size_t readme = script.find("[Readme Content]\r\n");
    std::string moved = script.substr(readme);
    script.erase(readme);
    std::size_t file = script.find("[File]\r\n");
    script.insert(file, moved);
    SetupScriptContents s = ReadSetupScript(script);
    EXPECT_FALSE(s.hasReadme);
    EXPECT_EQ(s.readme, "");
}

TEST(WholeScript, AFileTableWithoutTotalSizeIsIncomplete)
{
    std::string script = ScriptOf(test::SampleDescription());
    script.erase(script.find("[TotalSize]\r\n"));
    SetupScriptContents s = ReadSetupScript(script);
    EXPECT_FALSE(s.hasFileTable);
    EXPECT_EQ(s.files.size(), 5u);
}

TEST(RunEntry, ReadsCaptionAndCommandAfterTheHeader)
{
    std::string caption, command;
    CScriptFile script = Open("[Menu]\r\nG\r\n[Run]\r\nStart now?\r\n[InstallDir]\\a.exe /x\r\n[Directory]\r\n");
    ASSERT_TRUE(ReadRunEntry(script, caption, command));
    EXPECT_EQ(caption, "Start now?");
    EXPECT_EQ(command, "[InstallDir]\\a.exe /x");

    CScriptFile oneLine = Open("[Run]\r\nStart now?\r\n");
    EXPECT_FALSE(ReadRunEntry(oneLine, caption, command));
    EXPECT_EQ(caption, "");
    EXPECT_EQ(command, "");

    CScriptFile none = Open("[Basal]\r\n[run]\r\nx\r\ny\r\n");
    EXPECT_FALSE(ReadRunEntry(none, caption, command));
}

TEST(LicenceText, GathersWholeLinesWithinItsLimit)
{
    const std::string script =
        "[TotalSize]\r\n123\r\n[Readme Content]\r\nfirst\r\nsecond\r\n\r\nthird\r\n[Readme End]\r\nafter\r\n";
    // The whole text is 24 bytes; with its terminating zero it needs 25. A
    // line that does not fit ends the text even if a later one would.
    const struct {
        std::size_t limit;
        const char* text;
        bool truncated;
    } rows[] = {
        {kLicenceTextSize, "first\r\nsecond\r\n\r\nthird\r\n", false},
        {25, "first\r\nsecond\r\n\r\nthird\r\n", false},
        {24, "first\r\nsecond\r\n\r\n", true},
        {15, "first\r\n", true},
    };
    std::string text;
    bool truncated = false;
    for (const auto& row : rows) {
        CScriptFile file = Open(script);
        truncated = !row.truncated;
        ASSERT_TRUE(ReadLicenceText(file, text, truncated, row.limit)) << row.limit;
        EXPECT_EQ(text, row.text) << row.limit;
        EXPECT_EQ(truncated, row.truncated) << row.limit;
    }

    CScriptFile noTotal = Open("[Readme Content]\r\nx\r\n[Readme End]\r\n");
    EXPECT_FALSE(ReadLicenceText(noTotal, text, truncated));
    EXPECT_EQ(text, "");
}
