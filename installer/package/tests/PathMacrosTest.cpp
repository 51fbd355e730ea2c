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

// Only a leading macro in its own letter case counts, ended by the first
// closing bracket; trailing blanks go only with a leading bracket.
TEST_F(PathMacros, ALeadingMacroIsReplacedByItsFolder)
{
    sys.windowsFolder = "E:\\WINNT";
    sys.systemFolder = "E:\\WINNT\\system32";
    // 錦 ends in the byte 0x5C; it must not be taken for a separator.
    const std::string jin = "\xE5\x5C";
    // A bracket byte inside a double-byte character does not end the macro.
    const std::string bracketTrail = "\x81]";
    const struct {
        std::string text;
        std::string expanded;
        bool ok;  // false: a macro that could not be expanded
    } rows[] = {
        // Program Files lies on the Windows folder's drive.
        {"[Program Files]\\App", "E:\\Program Files\\App", true},
        {"[InstallDir]\\app.exe", "D:\\Apps\\Relievo\\app.exe", true},
        {"[Absolute Directory]D:\\Data\\x.dat", "D:\\Data\\x.dat", true},
        {"[Windows Directory]\\VelaUnInsApp.exe", "E:\\WINNT\\VelaUnInsApp.exe", true},
        {"[Windows System]\\regsvr32.exe", "E:\\WINNT\\system32\\regsvr32.exe", true},
        {"[Windows Desktop]\\a.lnk", "C:\\WINDOWS\\Desktop\\a.lnk", true},
        {"[InstallDir]", "D:\\Apps\\Relievo", true},
        {"C:\\x\\[InstallDir]\\a", "C:\\x\\[InstallDir]\\a", true},
        {"[INSTALLDIR]\\a   ", "[INSTALLDIR]\\a", false},
        {"[Other]\\a  ", "[Other]\\a", false},
        {" [InstallDir]\\a", " [InstallDir]\\a", true},
        {"C:\\file.txt    ", "C:\\file.txt    ", true},
        {"[InstallDir]\\a.txt    ", "D:\\Apps\\Relievo\\a.txt", true},
        {"[InstallDir]\\[Windows Directory]", "D:\\Apps\\Relievo\\[Windows Directory]", true},
        {"[InstallDir\\a  ", "[InstallDir\\a", false},
        {"[InstallDir]\\" + jin + "\\a", "D:\\Apps\\Relievo\\" + jin + "\\a", true},
        {"[Install" + bracketTrail + "Dir]\\a", "[Install" + bracketTrail + "Dir]\\a", false},
    };
    for (const auto& row : rows) {
        bool ok = !row.ok;
        EXPECT_EQ(Expand(row.text, &ok), row.expanded) << row.text;
        EXPECT_EQ(ok, row.ok) << row.text;
    }
}

TEST_F(PathMacros, AFailingDesktopLeavesTheTrimmedText)
{
    sys.desktopAvailable = false;
    bool expanded = true;
    EXPECT_EQ(Expand("[Windows Desktop]\\a.lnk  ", &expanded), "[Windows Desktop]\\a.lnk");
    EXPECT_FALSE(expanded);
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
