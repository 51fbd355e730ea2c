#include "installer/package/PathMacros.h"

#include <gtest/gtest.h>

#include <string>

#include "installer/package/Messages.h"
#include "installer/package/TextFields.h"
#include "installer/package/tests/FakePlatform.h"

using namespace vela;
using vela::test::FakePlatform;

namespace {

const std::string kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class PathMacros : public ::testing::Test {
protected:
    FakePlatform sys;
    InstallContext ctx;

    void SetUp() override { CopyText(ctx.installPath, "D:\\Apps\\Relievo"); }

    std::string Expand(const std::string& text, bool* expanded = nullptr)
    {
        char buffer[480];
        EXPECT_TRUE(CopyText(buffer, text));
        bool ok = ExpandPathMacros(sys, ctx, buffer);
        if (expanded) *expanded = ok;
        return buffer;
    }
};

} // namespace

TEST_F(PathMacros, EachMacroIsReplacedByItsFolder)
{
    sys.windowsFolder = "E:\\WINNT";
    sys.systemFolder = "E:\\WINNT\\system32";
    EXPECT_EQ(Expand("[Program Files]\\App"), "E:\\Program Files\\App");
    EXPECT_EQ(Expand("[InstallDir]\\app.exe"), "D:\\Apps\\Relievo\\app.exe");
    EXPECT_EQ(Expand("[Absolute Directory]D:\\Data\\x.dat"), "D:\\Data\\x.dat");
    EXPECT_EQ(Expand("[Windows Directory]\\VelaUnInsApp.exe"), "E:\\WINNT\\VelaUnInsApp.exe");
    EXPECT_EQ(Expand("[Windows System]\\regsvr32.exe"), "E:\\WINNT\\system32\\regsvr32.exe");
    EXPECT_EQ(Expand("[Windows Desktop]\\a.lnk"), "C:\\WINDOWS\\Desktop\\a.lnk");
    EXPECT_EQ(Expand("[InstallDir]"), "D:\\Apps\\Relievo");
}

TEST_F(PathMacros, OnlyALeadingMacroInItsOwnLetterCaseCounts)
{
    EXPECT_EQ(Expand("C:\\x\\[InstallDir]\\a"), "C:\\x\\[InstallDir]\\a");
    bool expanded = true;
    EXPECT_EQ(Expand("[INSTALLDIR]\\a   ", &expanded), "[INSTALLDIR]\\a");
    EXPECT_FALSE(expanded);
    EXPECT_EQ(Expand("[Other]\\a  "), "[Other]\\a");
    EXPECT_EQ(Expand(" [InstallDir]\\a"), " [InstallDir]\\a");
}

TEST_F(PathMacros, TrailingBlanksGoOnlyWithALeadingBracket)
{
    EXPECT_EQ(Expand("C:\\file.txt    "), "C:\\file.txt    ");
    EXPECT_EQ(Expand("[InstallDir]\\a.txt    "), "D:\\Apps\\Relievo\\a.txt");
}

TEST_F(PathMacros, TheFirstClosingBracketEndsTheMacro)
{
    EXPECT_EQ(Expand("[InstallDir]\\[Windows Directory]"), "D:\\Apps\\Relievo\\[Windows Directory]");
    bool expanded = true;
    EXPECT_EQ(Expand("[InstallDir\\a  ", &expanded), "[InstallDir\\a");
    EXPECT_FALSE(expanded);
}

TEST_F(PathMacros, AFailingDesktopLeavesTheTrimmedText)
{
    sys.desktopAvailable = false;
    bool expanded = true;
    EXPECT_EQ(Expand("[Windows Desktop]\\a.lnk  ", &expanded), "[Windows Desktop]\\a.lnk");
    EXPECT_FALSE(expanded);
}

TEST_F(PathMacros, ProgramFilesFollowsTheWindowsDrive)
{
    sys.windowsFolder = "D:\\WINDOWS";
    EXPECT_EQ(Expand("[Program Files]\\App"), "D:\\Program Files\\App");
}

TEST_F(PathMacros, AResultTooLongForTheBufferIsRefused)
{
    char buffer[24] = "[InstallDir]\\abcdefgh";
    EXPECT_FALSE(ExpandPathMacros(sys, ctx, buffer));
    EXPECT_STREQ(buffer, "[InstallDir]\\abcdefgh");

    char fits[32] = "[InstallDir]\\abcdefgh";  // D:\Apps\Relievo\abcdefgh: 24 bytes
    EXPECT_TRUE(ExpandPathMacros(sys, ctx, fits));
    EXPECT_STREQ(fits, "D:\\Apps\\Relievo\\abcdefgh");
}

TEST_F(PathMacros, InstallDirMayExpandTheInstallPathItself)
{
    CopyText(ctx.installPath, "[InstallDir]\\x");
    EXPECT_TRUE(ExpandPathMacros(sys, ctx, ctx.installPath));
    EXPECT_STREQ(ctx.installPath, "[InstallDir]\\x\\x");
}

TEST_F(PathMacros, DoubleByteNamesPassUnchanged)
{
    // 錦 ends in the byte 0x5C; it must not be taken for a separator.
    std::string jin = "\xE5\x5C";
    EXPECT_EQ(Expand("[InstallDir]\\" + jin + "\\a"), "D:\\Apps\\Relievo\\" + jin + "\\a");
    // A bracket byte inside a double-byte character does not end the macro.
    std::string bracketTrail = "\x81]";
    bool expanded = true;
    EXPECT_EQ(Expand("[Install" + bracketTrail + "Dir]\\a", &expanded), "[Install" + bracketTrail + "Dir]\\a");
    EXPECT_FALSE(expanded);
}

TEST_F(PathMacros, StartMenuPrefersTheWindowsProgramsFolder)
{
    sys.folders.insert("C:\\WINDOWS\\Start Menu\\Programs");
    sys.registryValues[FakePlatform::RegistryName(RegistryRoot::LocalMachine, kShellFolders, "Common Programs")] =
        "C:\\All Users\\Programs";
    EXPECT_EQ(Expand("[Start Menu]\\Relievo\\"), "C:\\WINDOWS\\Start Menu\\Programs\\Relievo\\");
    EXPECT_EQ(sys.currentFolder, "C:\\WINDOWS\\Start Menu\\Programs");
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(PathMacros, StartMenuFallsBackToTheAllUsersProgramsFolder)
{
    sys.registryValues[FakePlatform::RegistryName(RegistryRoot::LocalMachine, kShellFolders, "Common Programs")] =
        "C:\\All Users\\Programs";
    EXPECT_EQ(Expand("[Start Menu]\\Relievo"), "C:\\All Users\\Programs\\Relievo");
    EXPECT_EQ(sys.currentFolder, "C:\\");
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(PathMacros, StartMenuWithoutTheValueOrTheKeyIsEmpty)
{
    EXPECT_EQ(Expand("[Start Menu]\\Relievo"), "\\Relievo");
    EXPECT_TRUE(sys.messages.empty());

    sys.shellFoldersKeyOpens = false;
    EXPECT_EQ(Expand("[Start Menu]\\Relievo"), "\\Relievo");
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, kMsgRegistryReadError);
    EXPECT_EQ(sys.messages[0].caption, kCaptionError);

    // The Windows folder's programs folder still wins without the key.
    sys.messages.clear();
    sys.folders.insert("C:\\WINDOWS\\Start Menu\\Programs");
    EXPECT_EQ(Expand("[Start Menu]"), "C:\\WINDOWS\\Start Menu\\Programs");
    EXPECT_EQ(sys.messages.size(), 1u);
}

TEST_F(PathMacros, AnOverLongRegistryValueIsTreatedAsMissing)
{
    sys.registryValues[FakePlatform::RegistryName(RegistryRoot::LocalMachine, kShellFolders, "Common Programs")] =
        std::string(260, 'p');
    EXPECT_EQ(ResolveStartMenuFolder(sys), "");
    sys.registryValues[FakePlatform::RegistryName(RegistryRoot::LocalMachine, kShellFolders, "Common Programs")] =
        std::string(259, 'p');
    EXPECT_EQ(ResolveStartMenuFolder(sys), std::string(259, 'p'));
}
