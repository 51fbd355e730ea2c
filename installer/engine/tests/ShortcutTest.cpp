#include <gtest/gtest.h>

#include "installer/engine/Operations.h"
#include "installer/engine/tests/FakeEngineSystem.h"

namespace vela::test {
namespace {

TEST(SplitShortcutTarget, CutsAtTheFirstSlashAndDropsOneBlank)
{
    ShortcutTarget t = SplitShortcutTarget("[InstallDir]\\app.exe /min");
    EXPECT_EQ(t.program, "[InstallDir]\\app.exe");
    EXPECT_EQ(t.arguments, "min");

    t = SplitShortcutTarget("[InstallDir]\\app.exe  /a /b");
    EXPECT_EQ(t.program, "[InstallDir]\\app.exe ") << "only one blank is dropped";
    EXPECT_EQ(t.arguments, "a /b");

    t = SplitShortcutTarget("[InstallDir]\\app.exe/x");
    EXPECT_EQ(t.program, "[InstallDir]\\app.exe");
    EXPECT_EQ(t.arguments, "x");
}

TEST(SplitShortcutTarget, WithoutSlashEverythingIsTheProgram)
{
    ShortcutTarget t = SplitShortcutTarget("[InstallDir]\\my app.exe");
    EXPECT_EQ(t.program, "[InstallDir]\\my app.exe");
    EXPECT_EQ(t.arguments, "");
    t = SplitShortcutTarget("");
    EXPECT_EQ(t.program, "");
    EXPECT_EQ(t.arguments, "");
}

TEST(ShortcutWorkingFolder, IsTheProgramsFolderWithoutBackslash)
{
    EXPECT_EQ(ShortcutWorkingFolder("C:\\Program Files\\App\\app.exe"), "C:\\Program Files\\App");
    EXPECT_EQ(ShortcutWorkingFolder("C:\\a\\b.exe"), "C:\\a");
}

TEST(ShortcutWorkingFolder, DriveRootKeepsItsBackslash)
{
    EXPECT_EQ(ShortcutWorkingFolder("D:\\app.exe"), "D:\\");
    EXPECT_EQ(ShortcutWorkingFolder("app.exe"), "");
}

TEST(ShortcutWorkingFolder, TrailByteBackslashIsNotAFolderEnd)
{
    // C:\錦\錦.exe: the last real backslash is the one after the folder name.
    EXPECT_EQ(ShortcutWorkingFolder("C:\\\xE5\x5C\\\xE5\x5C.exe"), "C:\\\xE5\x5C");
    EXPECT_EQ(ShortcutWorkingFolder("C:\\\xE5\x5C.exe"), "C:\\");
}

struct ShortcutFixture : EngineFixture {
    std::shared_ptr<std::string> log = std::make_shared<std::string>();
    MemoryFile logFile{log};
    ShortcutDestination destination{"C:\\WINDOWS\\Start Menu\\Programs\\Vela\\", &logFile};
};

TEST(CreateShortcut, ProgramGroupLinkCarriesEveryField)
{
    ShortcutFixture f;
    CreateShortcut(f.env, f.destination, "C:\\Program Files\\App\\app.exe", "App", ShortcutPlace::ProgramGroup,
                   "min");
    ASSERT_EQ(f.system.links.size(), 1u);
    const auto& link = f.system.links[0];
    EXPECT_EQ(link.path, "C:\\WINDOWS\\Start Menu\\Programs\\Vela\\App.lnk");
    EXPECT_EQ(link.fields.program, "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(link.fields.arguments, "min");
    EXPECT_EQ(link.fields.workingFolder, "C:\\Program Files\\App");
    EXPECT_EQ(link.fields.description, "App");
    EXPECT_EQ(link.fields.showCommand, kShowNormal);
    EXPECT_EQ(*f.log, "C:\\WINDOWS\\Start Menu\\Programs\\Vela\\App.lnk\r\n");
}

TEST(CreateShortcut, DesktopLinkGoesIntoTheDesktopFolder)
{
    ShortcutFixture f;
    CreateShortcut(f.env, f.destination, "D:\\app.exe", "\xB9\xA4\xBE\xDF", ShortcutPlace::Desktop, "");  // 工具
    ASSERT_EQ(f.system.links.size(), 1u);
    EXPECT_EQ(f.system.links[0].path, "C:\\Users\\me\\Desktop\\\xB9\xA4\xBE\xDF.lnk");
    EXPECT_EQ(f.system.links[0].fields.workingFolder, "D:\\");
    EXPECT_EQ(*f.log, "C:\\Users\\me\\Desktop\\\xB9\xA4\xBE\xDF.lnk\r\n");
}

TEST(CreateShortcut, UnsavedLinkIsStillRecordedButNoObjectIsNot)
{
    ShortcutFixture f;
    f.system.linkOutcome = ShellLinkOutcome::SaveFailed;
    CreateShortcut(f.env, f.destination, "C:\\a\\x.exe", "X", ShortcutPlace::ProgramGroup, "");
    EXPECT_EQ(*f.log, "C:\\WINDOWS\\Start Menu\\Programs\\Vela\\X.lnk\r\n");

    f.system.linkOutcome = ShellLinkOutcome::NoObject;
    CreateShortcut(f.env, f.destination, "C:\\a\\y.exe", "Y", ShortcutPlace::ProgramGroup, "");
    EXPECT_EQ(*f.log, "C:\\WINDOWS\\Start Menu\\Programs\\Vela\\X.lnk\r\n");
}

TEST(CreateShortcut, NothingWithoutTheDesktopFolderEvenInTheGroup)
{
    ShortcutFixture f;
    f.platform.desktopAvailable = false;
    CreateShortcut(f.env, f.destination, "C:\\a\\x.exe", "X", ShortcutPlace::ProgramGroup, "");
    EXPECT_TRUE(f.system.links.empty());
    EXPECT_TRUE(f.log->empty());
}

} // namespace
} // namespace vela::test
