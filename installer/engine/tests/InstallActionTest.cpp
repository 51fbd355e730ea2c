#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

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

// Every prefix ending at a blank tried in turn, then the whole text: the
// literal reading, the oracle for the single pass.
template <typename IsFile>
ProcessCommand LiteralResolveCommandLine(std::string_view commandLine, IsFile&& isFile)
{
    ProcessCommand command;
    command.commandLine = commandLine;
    if (command.commandLine.Overflowed() || commandLine.empty() || commandLine.front() == '"') return command;

    // Each place a blank ends a word, then the end of the text: the first
    // word left as written when it names a file, else the shortest longer
    // prefix that does.
    CommandText prefix;
    std::size_t previous = 0;
    bool firstWord = true;
    auto tryEnd = [&](std::size_t end) {
        if (firstWord) {
            firstWord = false;
            prefix = commandLine.substr(0, end);
            return isFile(prefix.c_str()) ? 2 : 0;
        }
        // The system drops trailing blanks of a file name: "app.exe " would
        // name app.exe, but that is the shorter prefix's business.
        if (previous + 1 == end) return 0;
        prefix = commandLine.substr(0, end);
        return isFile(prefix.c_str()) ? 1 : 0;
    };
    int found = 0;
    for (std::size_t i = 0; i < commandLine.size() && found == 0;) {
        if (commandLine[i] == ' ' || commandLine[i] == '\t') {
            if (i == 0) return command;
            found = tryEnd(i);
            previous = i;
        }
        i += IsLeadByte(static_cast<unsigned char>(commandLine[i])) ? 2 : 1;
    }
    if (firstWord || found == 2) return command;  // no blank, or the first word is a file
    if (found == 0 && tryEnd(commandLine.size()) == 0) return command;

    command.program = prefix;
    command.commandLine.Clear();
    command.commandLine.Append('"');
    command.commandLine.Append(prefix);
    command.commandLine.Append('"');
    command.commandLine.Append(commandLine.substr(prefix.size()));
    return command;
}

TEST(ResolveCommandLine, MatchesTheLiteralReadingOnRandomCommandLines)
{
    // Blanks, tabs, quotes, lead bytes (a trail byte may be a blank or a
    // backslash) and plain letters, with random prefixes being files.
    const char alphabet[] = {'a', 'b', ' ', ' ', '\t', '"', '\\', '\xD6', '\xB0'};
    std::mt19937 random(15);
    int resolved = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string line(random() % 14, 'a');
        for (char& c : line) c = alphabet[random() % sizeof alphabet];
        std::set<std::string> files;
        for (std::size_t end = 1; end <= line.size() + 1; ++end)
            if (random() % 3 == 0) files.insert(line.substr(0, end));
        std::vector<std::string> asked;
        std::vector<std::string> literalAsked;
        const ProcessCommand command = ResolveCommandLine(line, [&](const char* path) {
            asked.push_back(path);
            return files.count(path) > 0;
        });
        const ProcessCommand literal = LiteralResolveCommandLine(line, [&](const char* path) {
            literalAsked.push_back(path);
            return files.count(path) > 0;
        });
        ASSERT_EQ(command.program, literal.program) << line;
        ASSERT_EQ(command.commandLine, literal.commandLine) << line;
        ASSERT_EQ(command.commandLine.Overflowed(), literal.commandLine.Overflowed()) << line;
        ASSERT_EQ(asked, literalAsked) << line;
        resolved += !command.program.empty();
    }
    EXPECT_GT(resolved, 1000) << "the random lines name programs often enough to compare";
}

// A command line that outgrows its text once quoted is never started.
TEST(ResolveCommandLine, QuotingThatOverflowsIsReported)
{
    const std::string program = "C:\\A B\\" + std::string(kCommandLineSize - 10, 'p');
    const std::string line = program + " x";
    ASSERT_LT(line.size(), kCommandLineSize);
    const ProcessCommand command =
        ResolveCommandLine(line, [&](const char* path) { return std::string(path) == program; });
    const ProcessCommand literal =
        LiteralResolveCommandLine(line, [&](const char* path) { return std::string(path) == program; });
    EXPECT_TRUE(command.commandLine.Overflowed());
    EXPECT_EQ(command.commandLine, literal.commandLine);
    EXPECT_EQ(command.program, program);
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

// What a path is run with follows its three-letter extension, whatever its
// letter case: programs run as written, components are registered silently
// with the system's regsvr32, other files open maximised through the shell,
// and a path without such an extension is passed over.
TEST(RunInstallAction, ChoosesByTheExtension)
{
    enum class How { Run, Shell, Nothing };
    const struct {
        const char* path;
        How how;
        const char* commandLine;
    } rows[] = {
        {"C:\\App\\tool.exe", How::Run, "C:\\App\\tool.exe"},
        {"C:\\App\\TOOL.EXE", How::Run, "C:\\App\\TOOL.EXE"},
        {"C:\\App\\Grid.OCX", How::Run, "D:\\WINNT\\system32\\regsvr32.exe \"C:\\App\\Grid.OCX\" /s"},
        {"C:\\App\\core.dll", How::Run, "D:\\WINNT\\system32\\regsvr32.exe \"C:\\App\\core.dll\" /s"},
        {"C:\\App\\setup.msi", How::Shell, "C:\\App\\setup.msi"},
        {"C:\\App\\readme.TXT", How::Shell, "C:\\App\\readme.TXT"},
        {"C:\\App\\index.html", How::Nothing, ""},
        {"C:\\App\\README", How::Nothing, ""},
        {"C:\\App\\x.js", How::Nothing, ""},
        {"exe", How::Nothing, ""},
        {"", How::Nothing, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EngineFixture f;
        f.platform.systemFolder = "D:\\WINNT\\system32";
        RunInstallAction(f.env, row.path);
        const auto& taken = row.how == How::Run ? f.system.runs : f.system.shellOpens;
        const auto& other = row.how == How::Run ? f.system.shellOpens : f.system.runs;
        EXPECT_TRUE(other.empty());
        if (row.how == How::Nothing) {
            EXPECT_TRUE(taken.empty());
            continue;
        }
        ASSERT_EQ(taken.size(), 1u);
        EXPECT_EQ(taken[0].commandLine, row.commandLine);
        EXPECT_EQ(taken[0].showState, row.how == How::Run ? kShowNormal : kShowMaximized);
    }
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
