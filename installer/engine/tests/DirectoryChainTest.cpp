#include <gtest/gtest.h>

#include "installer/engine/Operations.h"
#include "installer/engine/tests/FakeEngineSystem.h"

namespace vela::test {
namespace {

using Folders = std::vector<std::string>;

// Every parent from the first below the drive, then the path itself;
// paths shorter than four characters are left alone.
TEST(CreateDirectoryChain, CreatesEveryParentThenThePath)
{
    const struct {
        const char* path;
        Folders created;
    } rows[] = {
        {"C:\\Program Files\\App\\bin", {"C:\\Program Files", "C:\\Program Files\\App", "C:\\Program Files\\App\\bin"}},
        {"C:\\", {}},
        {"C:", {}},
        {"", {}},
        {"C:\\a", {"C:\\a"}},
        // A trailing backslash repeats the last folder, harmlessly.
        {"D:\\a\\b\\", {"D:\\a", "D:\\a\\b", "D:\\a\\b\\"}},
        // 錦 is E5 5C: its trail byte is a backslash and must not split the name.
        {"C:\\\xE5\x5C\\sub\\\xE5\x5C\xE5\x5C",
         {"C:\\\xE5\x5C", "C:\\\xE5\x5C\\sub", "C:\\\xE5\x5C\\sub\\\xE5\x5C\xE5\x5C"}},
    };
    for (const auto& row : rows) {
        FakeEngineSystem system;
        CreateDirectoryChain(system, row.path);
        EXPECT_EQ(system.foldersCreated, row.created) << row.path;
    }
}

TEST(CreateDirectoryChain, ExistingFoldersDoNotStopTheChain)
{
    FakeEngineSystem system;
    system.existingFolders = {"C:\\a", "C:\\a\\b"};
    CreateDirectoryChain(system, "C:\\a\\b\\c");
    EXPECT_EQ(system.foldersCreated.size(), 3u);
    EXPECT_TRUE(system.existingFolders.count("C:\\a\\b\\c"));
}

} // namespace
} // namespace vela::test
