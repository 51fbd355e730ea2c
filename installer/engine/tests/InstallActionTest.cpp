#include <gtest/gtest.h>

#include <set>
#include <string>

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

// The system would try each blank-ended prefix in turn ("C:\Program" as
// C:\Program.exe first); the program is named when only a longer prefix is a file.
TEST(ResolveCommandLine, NamesTheProgramWhenOnlyALongerPrefixIsAFile)
{
    const std::set<std::string> files = {
        "C:\\Program Files\\Relievo\\Relievo.exe",
        "C:\\Program Files\\My App\\setup.exe",
        "C:\\Tools\\run.exe",
        "C:\\Tools\\run.exe x",  // a file whose name holds a blank: the shorter prefix still wins
        "C:\\Program.exe",         // planted: never named by its bare stem
        "C:\\\xD6\xD0 \xCE\xC4\\app.exe",  // 中 文
    };
    const auto isFile = [&files](const std::string& path) { return files.count(path) > 0; };
    struct Row {
        std::string commandLine;
        std::string program;  // empty: left to the system
        std::string line;     // what the program receives
    };
    const Row rows[] = {
        {"C:\\Program Files\\Relievo\\Relievo.exe", "C:\\Program Files\\Relievo\\Relievo.exe",
         "\"C:\\Program Files\\Relievo\\Relievo.exe\""},
        {"C:\\Program Files\\My App\\setup.exe /q  \"a b\"", "C:\\Program Files\\My App\\setup.exe",
         "\"C:\\Program Files\\My App\\setup.exe\" /q  \"a b\""},
        {"C:\\Program Files\\My App\\setup.exe\t/q", "C:\\Program Files\\My App\\setup.exe",
         "\"C:\\Program Files\\My App\\setup.exe\"\t/q"},
        {"C:\\\xD6\xD0 \xCE\xC4\\app.exe -x", "C:\\\xD6\xD0 \xCE\xC4\\app.exe",
         "\"C:\\\xD6\xD0 \xCE\xC4\\app.exe\" -x"},
        // Left as written: first word a file, no blank, quoted, nothing found.
        {"C:\\Tools\\run.exe x y", "", "C:\\Tools\\run.exe x y"},
        {"C:\\Tools\\run.exe", "", "C:\\Tools\\run.exe"},
        {"\"C:\\Program Files\\Relievo\\Relievo.exe\" /x", "", "\"C:\\Program Files\\Relievo\\Relievo.exe\" /x"},
        {"C:\\Program Files\\Gone\\gone.exe /x", "", "C:\\Program Files\\Gone\\gone.exe /x"},
        {" C:\\Tools\\run.exe", "", " C:\\Tools\\run.exe"},
        {"", "", ""},
        // A prefix that ends in a blank is no file name of its own.
        {"C:\\Program Files\\Relievo\\Relievo.exe  /x", "C:\\Program Files\\Relievo\\Relievo.exe",
         "\"C:\\Program Files\\Relievo\\Relievo.exe\"  /x"},
    };
    for (const Row& row : rows) {
        const ProcessCommand command = ResolveCommandLine(row.commandLine, isFile);
        EXPECT_EQ(command.program, row.program) << row.commandLine;
        EXPECT_EQ(command.commandLine, row.line) << row.commandLine;
    }
}

TEST(ResolveCommandLine, ProgramsAndRegistrationsGoThroughIt)
{
    EngineFixture f;
    f.system.existingFiles = {"C:\\Program Files\\App\\tool.exe", "C:\\WINDOWS\\system32\\regsvr32.exe"};
    RunInstallAction(f.env, "C:\\Program Files\\App\\tool.exe");
    RunInstallAction(f.env, "C:\\Program Files\\App\\comp.dll");
    ASSERT_EQ(f.system.runs.size(), 2u);
    EXPECT_EQ(f.system.runs[0].program, "C:\\Program Files\\App\\tool.exe");
    EXPECT_EQ(f.system.runs[0].commandLine, "\"C:\\Program Files\\App\\tool.exe\"");
    EXPECT_EQ(f.system.runs[1].program, "") << "regsvr32 is found by its first word";
    EXPECT_EQ(f.system.runs[1].commandLine,
              "C:\\WINDOWS\\system32\\regsvr32.exe \"C:\\Program Files\\App\\comp.dll\" /s");
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
    CommandText command;
    ASSERT_TRUE(RegisterCommand(f.env, path, command));
    EXPECT_EQ(command, "C:\\WINDOWS\\system32\\regsvr32.exe \"C:\\\xE5\x5C\\a.dll\" /s");
    // A component path that leaves no room for the rest is no command.
    EXPECT_FALSE(RegisterCommand(f.env, "C:\\" + std::string(kCommandLineSize, 'x') + ".dll", command));
    RunInstallAction(f.env, "C:\\" + std::string(kCommandLineSize, 'x') + ".dll");
    EXPECT_TRUE(f.system.runs.empty());
    ASSERT_EQ(f.platform.messages.size(), 1u);
    EXPECT_EQ(f.platform.messages[0].text, kProcessFailed);
}

} // namespace
} // namespace vela::test
