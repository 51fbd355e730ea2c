#include <gtest/gtest.h>

#include "installer/engine/Operations.h"
#include "installer/engine/tests/FakeEngineSystem.h"

namespace vela::test {
namespace {

using Folders = std::vector<std::string>;

TEST(CreateDirectoryChain, CreatesEveryParentThenThePath)
{
    FakeEngineSystem system;
    CreateDirectoryChain(system, "C:\\Program Files\\App\\bin");
    EXPECT_EQ(system.foldersCreated,
              (Folders{"C:\\Program Files", "C:\\Program Files\\App", "C:\\Program Files\\App\\bin"}));
}

TEST(CreateDirectoryChain, LeavesPathsShorterThanFourAlone)
{
    FakeEngineSystem system;
    CreateDirectoryChain(system, "C:\\");
    CreateDirectoryChain(system, "C:");
    CreateDirectoryChain(system, "");
    EXPECT_TRUE(system.foldersCreated.empty());

    CreateDirectoryChain(system, "C:\\a");
    EXPECT_EQ(system.foldersCreated, (Folders{"C:\\a"}));
}

TEST(CreateDirectoryChain, TrailingBackslashRepeatsTheLastFolderHarmlessly)
{
    FakeEngineSystem system;
    CreateDirectoryChain(system, "D:\\a\\b\\");
    EXPECT_EQ(system.foldersCreated, (Folders{"D:\\a", "D:\\a\\b", "D:\\a\\b\\"}));
}

TEST(CreateDirectoryChain, ExistingFoldersDoNotStopTheChain)
{
    FakeEngineSystem system;
    system.existingFolders = {"C:\\a", "C:\\a\\b"};
    CreateDirectoryChain(system, "C:\\a\\b\\c");
    EXPECT_EQ(system.foldersCreated.size(), 3u);
    EXPECT_TRUE(system.existingFolders.count("C:\\a\\b\\c"));
}

TEST(CreateDirectoryChain, StepsOverDoubleByteCharactersWithBackslashTrail)
{
    // 錦 is E5 5C: its trail byte is a backslash and must not split the name.
    FakeEngineSystem system;
    CreateDirectoryChain(system, "C:\\\xE5\x5C\\sub\\\xE5\x5C\xE5\x5C");
    EXPECT_EQ(system.foldersCreated,
              (Folders{"C:\\\xE5\x5C", "C:\\\xE5\x5C\\sub", "C:\\\xE5\x5C\\sub\\\xE5\x5C\xE5\x5C"}));
}

} // namespace
} // namespace vela::test
