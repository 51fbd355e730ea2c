// Paths brought to one form and compared component by component: what a
// crafted log line turns into, and whether it lies inside a folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/uninstall/Confinement.h"

namespace {

TEST(NormalisePathTest, ResolvesDotsAndSeparatorsAndRefusesWhatWindowsReadsOtherwise)
{
    const struct {
        const char* path;
        const char* normal;  // nullptr: refused
    } rows[] = {
        {"C:\\App\\a.exe", "C:\\App\\a.exe"},
        {"c:/App//sub/./a.exe\\", "c:\\App\\sub\\a.exe"},
        {"C:\\App\\sub\\..\\a.exe", "C:\\App\\a.exe"},
        {"C:\\App\\sub\\..\\..", "C:\\"},
        {"C:\\", "C:\\"},
        {"C:\\..", nullptr},
        {"C:\\App\\..\\..\\WINDOWS", nullptr},
        // Windows drops a component's trailing dots and blanks: "..." and
        // ".. " would climb like "..", "a." would name "a".
        {"C:\\App\\...\\WINDOWS", nullptr},
        {"C:\\App\\.. \\WINDOWS", nullptr},
        {"C:\\App\\a.exe.", nullptr},
        {"C:\\App\\a.exe ", nullptr},
        {"C:\\App\\ lead", "C:\\App\\ lead"},
        // streams, wildcards, device syntax, control characters
        {"C:\\App:stream", nullptr},
        {"C:\\App\\*.dll", nullptr},
        {"C:\\App\\a?.dll", nullptr},
        {"C:\\App\\a\x01", nullptr},
        {"C:\\App\\\"a\"", nullptr},
        {"C:\\App\\a|b", nullptr},
        // not full paths
        {"", nullptr},
        {"C:", nullptr},
        {"C:App", nullptr},
        {"\\\\server\\share\\a", nullptr},
        {"\\\\?\\C:\\App", nullptr},
        {"1:\\App", nullptr},
        // 0x5C as the trail byte of a double-byte character is no separator
        {"C:\\App\\\xCD\x5C\\a.exe", "C:\\App\\\xCD\x5C\\a.exe"},
        {"C:\\\xBB\xAD\\..\\a", "C:\\a"},
        // a lead byte must have a trail byte Windows pairs it with, or the
        // conversion would read the next byte, a "/" here, on its own
        {"C:\\App\\\x81/..\\..\\WINDOWS", nullptr},
        {"C:\\App\\\x81", nullptr},
        {"C:\\App\\\xFF", nullptr},
    };
    for (const auto& row : rows) {
        std::string normal = "stale";
        const bool ok = vela::NormalisePath(row.path, normal);
        EXPECT_EQ(ok, row.normal != nullptr) << row.path;
        EXPECT_EQ(normal, row.normal ? row.normal : "") << row.path;
    }
}

TEST(NormalisePathTest, SplitsAndJoinsComponents)
{
    using Parts = std::vector<std::string_view>;
    EXPECT_EQ(vela::PathComponents("C:\\"), Parts{"C:"});
    EXPECT_EQ(vela::PathComponents("C:\\a\\\xCD\x5C\\b"), (Parts{"C:", "a", "\xCD\x5C", "b"}));
    const Parts parts = vela::PathComponents("C:\\a\\b\\c");
    EXPECT_EQ(vela::JoinComponents(parts, 1), "C:\\");
    EXPECT_EQ(vela::JoinComponents(parts, 2), "C:\\a");
    EXPECT_EQ(vela::JoinComponents(parts, 4), "C:\\a\\b\\c");
}

TEST(PathWithinTest, ComparesWholeComponentsWithoutLetterCase)
{
    const struct {
        const char* path;
        const char* folder;
        bool inside;
        bool insideOrSelf;
    } rows[] = {
        {"C:\\App\\a.exe", "C:\\App", true, true},
        {"c:\\aPP\\a.exe", "C:\\App", true, true},
        {"C:\\App", "C:\\App", false, true},
        {"C:\\AppX\\a.exe", "C:\\App", false, false},
        {"C:\\Ap", "C:\\App", false, false},
        {"D:\\App\\a.exe", "C:\\App", false, false},
        {"C:\\Other\\a.exe", "C:\\App", false, false},
        // double-byte names: the same character, and a name that merely
        // begins with the folder's bytes
        {"C:\\\xBB\xAD\\a", "C:\\\xBB\xAD", true, true},
        {"C:\\\xBB\xAD\xCD\x5C\\a", "C:\\\xBB\xAD", false, false},
        {"C:\\\xCD\x5C" "App\\a", "C:\\\xCD\x5C", false, false},
        // full-width, Greek and Cyrillic letters of GB2312 have case too
        {"C:\\\xA3\xE1\\a", "C:\\\xA3\xC1", true, true},      // ａ in Ａ
        {"C:\\\xA6\xC1\\a", "C:\\\xA6\xA1", true, true},      // α in Α
        {"C:\\\xA7\xD1\\a", "C:\\\xA7\xA1", true, true},      // а in А
        {"C:\\\xB0\xC1\\a", "C:\\\xB0\xA1", false, false},    // 傲 is not 啊
    };
    for (const auto& row : rows) {
        EXPECT_EQ(vela::IsWithin(row.path, row.folder, false), row.inside) << row.path << " in " << row.folder;
        EXPECT_EQ(vela::IsWithin(row.path, row.folder, true), row.insideOrSelf) << row.path << " in " << row.folder;
    }
}

TEST(PathWithinTest, KnowsShortcutFiles)
{
    const struct {
        const char* path;
        bool shortcut;
    } rows[] = {
        {"C:\\Menu\\App.lnk", true},
        {"C:\\Menu\\\xD0\xB6\xD4\xD8" "App.LNK", true},  // 卸载App.LNK
        {"C:\\Menu\\App.lnk.exe", false},
        {"C:\\Menu\\.lnk", false},
        {"C:\\Menu.lnk\\App.exe", false},
    };
    for (const auto& row : rows) EXPECT_EQ(vela::IsShortcutFile(row.path), row.shortcut) << row.path;
}

} // namespace
