#include <gtest/gtest.h>

#include "installer/engine/Operations.h"
#include "installer/engine/tests/FakeEngineSystem.h"

namespace vela::test {
namespace {

// The program runs up to the first slash, less one blank before it; the
// arguments follow the slash.
TEST(SplitShortcutTarget, CutsAtTheFirstSlashAndDropsOneBlank)
{
    const struct {
        const char* target;
        const char* program;
        const char* arguments;
    } rows[] = {
        {"[InstallDir]\\app.exe /min", "[InstallDir]\\app.exe", "min"},
        {"[InstallDir]\\app.exe  /a /b", "[InstallDir]\\app.exe ", "a /b"},  // only one blank is dropped
        {"[InstallDir]\\app.exe/x", "[InstallDir]\\app.exe", "x"},
        {"[InstallDir]\\my app.exe", "[InstallDir]\\my app.exe", ""},
        {"", "", ""},
    };
    for (const auto& row : rows) {
        const ShortcutTarget t = SplitShortcutTarget(row.target);
        EXPECT_EQ(t.program, row.program) << row.target;
        EXPECT_EQ(t.arguments, row.arguments) << row.target;
    }
}

// The program's folder without a backslash, but a drive root keeps its own.
TEST(ShortcutWorkingFolder, IsTheProgramsFolder)
{
    const struct {
        const char* program;
        const char* folder;
    } rows[] = {
        {"C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App"},
        {"C:\\a\\b.exe", "C:\\a"},
        {"D:\\app.exe", "D:\\"},
        {"app.exe", ""},
        // C:\錦\錦.exe: the last real backslash is the one after the folder name.
        {"C:\\\xE5\x5C\\\xE5\x5C.exe", "C:\\\xE5\x5C"},
        {"C:\\\xE5\x5C.exe", "C:\\"},
    };
    for (const auto& row : rows) EXPECT_EQ(ShortcutWorkingFolder(row.program), row.folder) << row.program;
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
