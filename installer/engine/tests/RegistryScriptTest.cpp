#include <gtest/gtest.h>

#include "installer/engine/Operations.h"
#include "installer/engine/tests/FakeEngineSystem.h"

namespace vela::test {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

TEST(RegistryLines, ClassifiesEmptyKeyAndValueLines)
{
    const std::pair<const char*, RegistryLineKind> rows[] = {
        {"", RegistryLineKind::Empty},
        {"[HKEY_USERS\\x]", RegistryLineKind::Key},
        {"\"a\"=\"b\"", RegistryLineKind::Value},
    };
    for (const auto& [line, kind] : rows) EXPECT_EQ(ClassifyRegistryLine(line), kind) << line;
}

TEST(RegistryLines, ValueLineGivesNameAndTextUnchanged)
{
    std::string_view name, text;
    ASSERT_TRUE(ParseRegistryValueLine("\"Path\"=\"C:\\App\\x \\\"q\"", name, text));
    EXPECT_EQ(name, "Path");
    EXPECT_EQ(text, "C:\\App\\x \\\"q");  // no escapes: every byte kept
    ASSERT_TRUE(ParseRegistryValueLine("\"\"=\"\"", name, text));
    EXPECT_EQ(name, "");
    EXPECT_EQ(text, "");
}

TEST(RegistryLines, MalformedValueLinesAreRefused)
{
    for (const char* line : {"Path=C:\\App", "\"Path\"", "\"Path\"=\"x", "\"Path\" = \"x\"", "\""}) {
        std::string_view name = "keep", text = "keep";
        EXPECT_FALSE(ParseRegistryValueLine(line, name, text)) << line;
        EXPECT_EQ(name, "keep") << line;
        EXPECT_EQ(text, "keep") << line;
    }
}

TEST(RegistryLines, KeyLineMatchesTheFiveRootsExactly)
{
    RegistryRoot root{};
    std::string_view path;
    const std::pair<const char*, RegistryRoot> roots[] = {
        {"[HKEY_CLASSES_ROOT\\.vela]", RegistryRoot::ClassesRoot},
        {"[HKEY_CURRENT_USER\\.vela]", RegistryRoot::CurrentUser},
        {"[HKEY_LOCAL_MACHINE\\.vela]", RegistryRoot::LocalMachine},
        {"[HKEY_USERS\\.vela]", RegistryRoot::Users},
        {"[HKEY_CURRENT_CONFIG\\.vela]", RegistryRoot::CurrentConfig},
    };
    for (const auto& [line, expected] : roots) {
        ASSERT_TRUE(ParseRegistryKeyLine(line, root, path)) << line;
        EXPECT_EQ(root, expected) << line;
        EXPECT_EQ(path, ".vela") << line;
    }
    for (const char* line : {"[hkey_current_user\\x]", "[HKCU\\x]", "[HKEY_CURRENT_USER]", "[HKEY_CURRENT_USER\\x"})
        EXPECT_FALSE(ParseRegistryKeyLine(line, root, path)) << line;
}

TEST(RegistryLines, KeyPathWithBackslashTrailBytesIsKeptWhole)
{
    RegistryRoot root{};
    std::string_view path;
    // 錦 (E5 5C) right after the root, and a name ending in 錦 before "]".
    ASSERT_TRUE(ParseRegistryKeyLine("[HKEY_CURRENT_USER\\\xE5\x5C\\a\xE5\x5C]", root, path));
    EXPECT_EQ(path, "\xE5\x5C\\a\xE5\x5C");
    // "]" (0x5D) as the trail byte of the last character is not the closing bracket.
    EXPECT_FALSE(ParseRegistryKeyLine("[HKEY_CURRENT_USER\\a\xB0\x5D", root, path));
}

TEST(OpenRegistryKeyPath, CreatesMissingLevelsBelowAnExistingOne)
{
    EngineFixture f;
    f.system.AddKey(kUser, "Software");
    RegistryKey key = OpenRegistryKeyPath(f.system, "[HKEY_CURRENT_USER\\Software\\Vela\\Paint]");
    ASSERT_NE(key, kNoRegistryKey);
    EXPECT_EQ(f.system.keysCreated,
              (std::vector<std::string>{FakeEngineSystem::KeyName(kUser, "Software\\Vela"),
                                        FakeEngineSystem::KeyName(kUser, "Software\\Vela\\Paint")}));
    EXPECT_TRUE(f.system.SetRegistryString(key, "v", "1"));
    EXPECT_EQ(f.system.Value(kUser, "Software\\Vela\\Paint", "v"), "1");
    f.system.CloseRegistryKey(key);
    EXPECT_EQ(f.system.OpenKeyCount(), 0u) << "intermediate keys must be closed";
}

TEST(OpenRegistryKeyPath, OpensAnExistingKeyWithoutCreating)
{
    EngineFixture f;
    f.system.AddKey(kUser, "A");
    f.system.AddKey(kUser, "A\\B");
    RegistryKey key = OpenRegistryKeyPath(f.system, "[HKEY_CURRENT_USER\\A\\B]");
    EXPECT_NE(key, kNoRegistryKey);
    EXPECT_TRUE(f.system.keysCreated.empty());
    f.system.CloseRegistryKey(key);
}

TEST(OpenRegistryKeyPath, FailsCleanlyWhenALevelCannotBeMade)
{
    EngineFixture f;
    f.system.refuseCreate = true;
    EXPECT_EQ(OpenRegistryKeyPath(f.system, "[HKEY_CURRENT_USER\\A\\B]"), kNoRegistryKey);
    EXPECT_EQ(OpenRegistryKeyPath(f.system, "[HKEY_NOWHERE\\A]"), kNoRegistryKey);
    EXPECT_EQ(f.system.OpenKeyCount(), 0u);
}

TEST(ImportRegistryScript, WritesValuesIntoTheSelectedKeys)
{
    EngineFixture f;
    f.ImportScript("[HKEY_CURRENT_USER\\Software\\Vela]\r\n"
                   "\"Name\"=\"Relievo\"\r\n"
                   "\r\n"
                   "[HKEY_LOCAL_MACHINE\\Software\\Vela\\Paths]\r\n"
                   "\"Home\"=\"C:\\Program Files\\Relievo\"\r\n"
                   "\"Empty\"=\"\"\r\n");
    EXPECT_EQ(f.system.Value(kUser, "Software\\Vela", "Name"), "Relievo");
    EXPECT_EQ(f.system.Value(RegistryRoot::LocalMachine, "Software\\Vela\\Paths", "Home"),
              "C:\\Program Files\\Relievo");
    EXPECT_EQ(f.system.Value(RegistryRoot::LocalMachine, "Software\\Vela\\Paths", "Empty"), "");
    EXPECT_EQ(f.system.Value(kUser, "Software\\Vela", "Home"), "<no value>");
    EXPECT_EQ(f.system.OpenKeyCount(), 0u);
}

TEST(ImportRegistryScript, LastLineWithoutLineEndIsNotApplied)
{
    EngineFixture f;
    f.ImportScript("[HKEY_CURRENT_USER\\V]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"");
    EXPECT_EQ(f.system.Value(kUser, "V", "a"), "1");
    EXPECT_EQ(f.system.Value(kUser, "V", "b"), "<no value>");
    EXPECT_EQ(f.system.OpenKeyCount(), 0u);
}

TEST(ImportRegistryScript, ValueBeforeAnyKeyLineIsSkipped)
{
    EngineFixture f;
    f.ImportScript("\"early\"=\"x\"\r\n[HKEY_CURRENT_USER\\V]\r\n\"late\"=\"y\"\r\n");
    EXPECT_EQ(f.system.Value(kUser, "V", "early"), "<no value>");
    EXPECT_EQ(f.system.Value(kUser, "V", "late"), "y");
    for (const auto& [key, values] : f.system.keys)
        EXPECT_EQ(values.count("early"), 0u) << key;
}

TEST(ImportRegistryScript, UnknownRootSkipsItsValuesUntilTheNextGoodKey)
{
    EngineFixture f;
    f.ImportScript("[HKEY_CURRENT_USER\\Good]\r\n"
                   "\"one\"=\"1\"\r\n"
                   "[HKEY_NOWHERE\\Bad]\r\n"
                   "\"two\"=\"2\"\r\n"
                   "[HKEY_CURRENT_USER\\Good]\r\n"
                   "\"three\"=\"3\"\r\n");
    EXPECT_EQ(f.system.Value(kUser, "Good", "one"), "1");
    EXPECT_EQ(f.system.Value(kUser, "Good", "two"), "<no value>") << "never written to the previous key";
    EXPECT_EQ(f.system.Value(kUser, "Good", "three"), "3");
    EXPECT_EQ(f.system.keys.size(), 1u);
}

TEST(ImportRegistryScript, OverlongLineIsSkippedWhole)
{
    EngineFixture f;
    const std::string longText(600, 'x');
    f.ImportScript("[HKEY_CURRENT_USER\\V]\r\n\"long\"=\"" + longText + "\"\r\n\"next\"=\"ok\"\r\n");
    EXPECT_EQ(f.system.keys[FakeEngineSystem::KeyName(kUser, "V")].size(), 1u);
    EXPECT_EQ(f.system.Value(kUser, "V", "next"), "ok");

    // The longest line that fits the bound of 480: 477 characters and CR LF.
    EngineFixture g;
    const std::string fits(477 - 8, 'y');
    const std::string oneMore(fits.size() + 1, 'z');
    g.ImportScript("[HKEY_CURRENT_USER\\V]\r\n\"fit\"=\"" + fits + "\"\r\n\"big\"=\"" + oneMore + "\"\r\n");
    EXPECT_EQ(g.system.Value(kUser, "V", "fit"), fits);
    EXPECT_EQ(g.system.Value(kUser, "V", "big"), "<no value>");
}

TEST(ImportRegistryScript, MissingScriptChangesNothing)
{
    EngineFixture f;
    ImportRegistryScript(f.env, "C:\\nothing.reg");
    EXPECT_TRUE(f.system.keys.empty());
    EXPECT_TRUE(f.platform.messages.empty());
}

} // namespace
} // namespace vela::test
