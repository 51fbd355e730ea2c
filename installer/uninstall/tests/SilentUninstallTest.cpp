#include "installer/uninstall/SilentUninstall.h"

#include <gtest/gtest.h>

#include <string>

#include "installer/uninstall/tests/FakeUninstallSystem.h"

using namespace vela;
using vela::test::FakeUninstallSystem;

namespace {

void InstallApp(FakeUninstallSystem& sys)
{
    sys.files["C:\\App\\app.exe"] = "program";
    sys.files["C:\\App\\Appfile.ini"] = "C:\\App\\app.exe\r\n";
    sys.files["C:\\App\\Appdir.ini"] = "C:\\App\r\n";
    sys.folders.insert("C:\\App");
    sys.entries["App"] = "C:\\WINDOWS\\VelaUnInsApp.exe C:\\App\\Appfile.ini";
}

} // namespace

TEST(SilentUninstall, TheSwitchIsTakenOnlyAtTheStart)
{
    const struct {
        const char* argument;
        bool silent;
        const char* rest;  // what is left to name the log
    } rows[] = {
        {"/S C:\\Program Files\\App\\Appfile.ini", true, "C:\\Program Files\\App\\Appfile.ini"},
        {"/s  \"C:\\Program Files\\App\\Appfile.ini\"", true, "C:\\Program Files\\App\\Appfile.ini"},
        {"C:\\App\\Appfile.ini", false, "C:\\App\\Appfile.ini"},
        {"/Sx C:\\a", false, "/Sx C:\\a"},
        {"/S", false, "/S"},
        {"C:\\a /S b", false, "C:\\a /S b"},
    };
    for (const auto& row : rows) {
        std::string argument = row.argument;
        EXPECT_EQ(TakeSilentSwitch(argument), row.silent) << row.argument;
        EXPECT_EQ(argument, row.rest) << row.argument;
    }
}

TEST(SilentUninstall, RemovesWithoutAQuestionOrAReport)
{
    FakeUninstallSystem sys;
    sys.answer = false;  // a question passed on would decline the uninstall
    InstallApp(sys);
    CSilentUninstallSystem silent(sys);
    std::string argument = UninstallArgument("VelaUnInsApp.exe /S C:\\App\\Appfile.ini");
    ASSERT_TRUE(TakeSilentSwitch(argument));
    EXPECT_EQ(RunUninstall(silent, argument), UninstallEnd::Done);
    EXPECT_TRUE(sys.asked.empty());
    EXPECT_TRUE(sys.shown.empty());
    EXPECT_TRUE(sys.files.empty());
    EXPECT_TRUE(sys.folders.empty());
    EXPECT_TRUE(sys.entries.empty());

    // What cannot be removed is told by the exit code alone.
    InstallApp(sys);
    sys.files["C:\\App\\mine.txt"] = "the user's";
    EXPECT_EQ(RunUninstall(silent, argument), UninstallEnd::Partly);
    EXPECT_TRUE(sys.shown.empty());
    EXPECT_EQ(sys.files.count("C:\\App\\mine.txt"), 1u);
    EXPECT_EQ(RunUninstall(silent, "relative\\Appfile.ini"), UninstallEnd::BadArgument);
    EXPECT_TRUE(sys.shown.empty());
}
