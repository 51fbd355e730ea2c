// Registry scripts: what a line really holds decides how it is applied.
#include <gtest/gtest.h>

#include "installer/engine/Operations.h"
#include "installer/engine/tests/FakeEngineSystem.h"

namespace vela::test {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

TEST(RegistryScriptBytes, AnOverlongLineStartingWithNulIsSkippedWhole)
{
    // 600 bytes: the first 479 are one bounded read, the tail would read as
    // a value line of its own if the line's length were taken from its
    // string length.
    const std::string head = std::string(1, '\0') + std::string(478, 'x');
    for (const std::string& start : {head, std::string(479, 'x')}) {
        EngineFixture f;
        f.ImportScript("[HKEY_CURRENT_USER\\V]\r\n" + start + "\"evil\"=\"1\"\r\n\"next\"=\"ok\"\r\n");
        EXPECT_EQ(f.system.Value(kUser, "V", "evil"), "<no value>");
        EXPECT_EQ(f.system.Value(kUser, "V", "next"), "ok");
        EXPECT_EQ(f.system.OpenKeyCount(), 0u);
    }
}

TEST(RegistryScriptBytes, ALineHoldingANulIsNotApplied)
{
    EngineFixture f;
    f.ImportScript(std::string("[HKEY_CURRENT_USER\\V]\r\n\"a\"=\"1\"\0junk\r\n", 30) +
                  std::string("[HKEY_CURRENT_USER\\W\0]\r\n\"b\"=\"2\"\r\n", 28) + "[HKEY_CURRENT_USER\\V]\r\n\"c\"=\"3\"\r\n");
    EXPECT_EQ(f.system.Value(kUser, "V", "a"), "<no value>");
    EXPECT_EQ(f.system.Value(kUser, "V", "b"), "<no value>") << "never written to the previous key";
    EXPECT_EQ(f.system.HasKey(kUser, "W"), false);
    EXPECT_EQ(f.system.Value(kUser, "V", "c"), "3");
    EXPECT_EQ(f.system.OpenKeyCount(), 0u);
}

// 0x80 is a character of its own in code page 936; 0x81 to 0xFE lead a
// double-byte character; 0xFF stands alone again.
TEST(LeadBytes, KeyLinesAtTheEdgesOfTheLeadByteRange)
{
    RegistryRoot root{};
    std::string_view path;
    // The closing bracket after a single-byte character is the bracket.
    for (const char* line : {"[HKEY_CURRENT_USER\\a\x80]", "[HKEY_CURRENT_USER\\a\xFF]"}) {
        ASSERT_TRUE(ParseRegistryKeyLine(line, root, path)) << line;
        EXPECT_EQ(path, std::string(line).substr(19, 2));
    }
    // After a lead byte it is a trail byte, and the line has no bracket.
    EXPECT_FALSE(ParseRegistryKeyLine("[HKEY_CURRENT_USER\\a\x81]", root, path));
    EXPECT_FALSE(ParseRegistryKeyLine("[HKEY_CURRENT_USER\\a\xFE]", root, path));

    // The backslash after 0x80 separates two levels; after 0x81 it is part
    // of one name.
    EngineFixture f;
    f.ImportScript("[HKEY_CURRENT_USER\\a\x80\\b]\r\n\"v\"=\"1\"\r\n[HKEY_CURRENT_USER\\c\x81\\d]\r\n\"v\"=\"2\"\r\n");
    EXPECT_EQ(f.system.Value(kUser, "a\x80\\b", "v"), "1");
    EXPECT_TRUE(f.system.HasKey(kUser, "a\x80"));
    EXPECT_EQ(f.system.Value(kUser, "c\x81\\d", "v"), "2");
    EXPECT_FALSE(f.system.HasKey(kUser, "c\x81")) << "0x81 0x5C is one character";
}

TEST(LeadBytes, FolderChainsAtTheEdgesOfTheLeadByteRange)
{
    using Folders = std::vector<std::string>;
    FakeEngineSystem system;
    CreateDirectoryChain(system, "C:\\a\x80\\b");
    EXPECT_EQ(system.foldersCreated, (Folders{"C:\\a\x80", "C:\\a\x80\\b"}));
    system.foldersCreated.clear();
    CreateDirectoryChain(system, "C:\\a\xFF\\b");
    EXPECT_EQ(system.foldersCreated, (Folders{"C:\\a\xFF", "C:\\a\xFF\\b"}));
    for (const char* path : {"C:\\a\x81\\b", "C:\\a\xFE\\b"}) {
        system.foldersCreated.clear();
        CreateDirectoryChain(system, path);
        EXPECT_EQ(system.foldersCreated, (Folders{path})) << "no folder ends inside a character";
    }
}

} // namespace
} // namespace vela::test
