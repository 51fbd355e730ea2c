#include <gtest/gtest.h>

#include "installer/engine/Operations.h"
#include "installer/engine/tests/FakeEngineSystem.h"

namespace vela::test {
namespace {

// 创建程序进程失败!
const std::string kProcessFailed = "\xB4\xB4\xBD\xA8\xB3\xCC\xD0\xF2\xBD\xF8\xB3\xCC\xCA\xA7\xB0\xDC!";
// 错误
const std::string kError = "\xB4\xED\xCE\xF3";

TEST(RunAndWait, ReturnsTheExitCodeOfTheCommandLineAsWritten)
{
    EngineFixture f;
    f.system.exitCode = 7;
    EXPECT_EQ(RunAndWait(f.env, "C:\\Program Files\\App\\setup.exe /q", kShowNormal), 7);
    ASSERT_EQ(f.system.runs.size(), 1u);
    EXPECT_EQ(f.system.runs[0].commandLine, "C:\\Program Files\\App\\setup.exe /q");
    EXPECT_EQ(f.system.runs[0].showState, 5);
    EXPECT_TRUE(f.platform.messages.empty());
}

TEST(RunAndWait, ReportsAProgramThatCannotStart)
{
    EngineFixture f;
    f.system.processStarts = false;
    EXPECT_EQ(RunAndWait(f.env, "C:\\missing.exe", kShowNormal), -1);
    ASSERT_EQ(f.platform.messages.size(), 1u);
    EXPECT_EQ(f.platform.messages[0].text, kProcessFailed);
    EXPECT_EQ(f.platform.messages[0].caption, kError);
}

TEST(RunInstallAction, RunsProgramsWhateverTheirLetterCase)
{
    EngineFixture f;
    RunInstallAction(f.env, "C:\\App\\tool.exe");
    RunInstallAction(f.env, "C:\\App\\TOOL.EXE");
    ASSERT_EQ(f.system.runs.size(), 2u);
    EXPECT_EQ(f.system.runs[0].commandLine, "C:\\App\\tool.exe");
    EXPECT_EQ(f.system.runs[1].commandLine, "C:\\App\\TOOL.EXE");
    EXPECT_EQ(f.system.runs[1].showState, kShowNormal);
    EXPECT_TRUE(f.system.shellOpens.empty());
}

TEST(RunInstallAction, RegistersComponentsSilentlyWithTheSystemRegsvr32)
{
    EngineFixture f;
    f.platform.systemFolder = "D:\\WINNT\\system32";
    RunInstallAction(f.env, "C:\\App\\Grid.OCX");
    RunInstallAction(f.env, "C:\\App\\core.dll");
    ASSERT_EQ(f.system.runs.size(), 2u);
    EXPECT_EQ(f.system.runs[0].commandLine, "D:\\WINNT\\system32\\regsvr32.exe \"C:\\App\\Grid.OCX\" /s");
    EXPECT_EQ(f.system.runs[1].commandLine, "D:\\WINNT\\system32\\regsvr32.exe \"C:\\App\\core.dll\" /s");
    EXPECT_EQ(f.system.runs[0].showState, kShowNormal);
}

TEST(RunInstallAction, OpensOtherThreeLetterExtensionsMaximisedThroughTheShell)
{
    EngineFixture f;
    RunInstallAction(f.env, "C:\\App\\setup.msi");
    RunInstallAction(f.env, "C:\\App\\readme.TXT");
    ASSERT_EQ(f.system.shellOpens.size(), 2u);
    EXPECT_EQ(f.system.shellOpens[0].commandLine, "C:\\App\\setup.msi");
    EXPECT_EQ(f.system.shellOpens[0].showState, kShowMaximized);
    EXPECT_EQ(f.system.shellOpens[1].commandLine, "C:\\App\\readme.TXT");
    EXPECT_TRUE(f.system.runs.empty());
}

TEST(RunInstallAction, IgnoresPathsWithoutAThreeLetterExtension)
{
    EngineFixture f;
    RunInstallAction(f.env, "C:\\App\\index.html");
    RunInstallAction(f.env, "C:\\App\\README");
    RunInstallAction(f.env, "C:\\App\\x.js");
    RunInstallAction(f.env, "exe");
    RunInstallAction(f.env, "");
    EXPECT_TRUE(f.system.runs.empty());
    EXPECT_TRUE(f.system.shellOpens.empty());
}

TEST(RunInstallAction, RegisterCommandKeepsDoubleBytePathsIntact)
{
    EngineFixture f;
    const std::string path = "C:\\\xE5\x5C\\a.dll";  // folder 錦
    EXPECT_EQ(RegisterCommand(f.env, path),
              "C:\\WINDOWS\\system32\\regsvr32.exe \"C:\\\xE5\x5C\\a.dll\" /s");
}

} // namespace
} // namespace vela::test
