// The view's texts: the program's folder from its path, the settings
// dialog's numbers, the save dialogs' names and the paths they make.
#include "painter/app/view/ViewText.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

TEST(ViewText, ProgramFolderIsEverythingBeforeTheLastBackslash)
{
    struct Row {
        std::string path;
        std::string folder;
    };
    const Row rows[] = {
        {"C:\\Relievo\\Relievo.exe", "C:\\Relievo"},
        {"C:\\Relievo.exe", "C:"},
        {"Relievo.exe", ""},
        {"", ""},
        {"\\\\server\\share\\r.exe", "\\\\server\\share"},
        // A double-byte character whose second byte is 0x5C is no separator.
        {"C:\\\xB3\xCC\\\x95\x5C.exe", "C:\\\xB3\xCC"},
        {"C:\\a\x95\x5C\\r.exe", "C:\\a\x95\x5C"},
        {"C:\\\x95\x5C", "C:"},
    };
    for (const Row& r : rows) EXPECT_EQ(FolderOfPath(r.path), r.folder) << r.path;
}

TEST(ViewText, SettingsNumbersReadFourCharacters)
{
    struct Row {
        const char* text;
        int value;
    };
    const Row rows[] = {
        {"800", 800},  {"12345", 1234}, {"abc", 0},   {"", 0},      {" 42", 42},   {"  123", 12},
        {"-5", -5},    {"+7x", 7},      {"9999", 9999}, {"-9999", -999}, {"12a4", 12}, {"\t1 2", 1},
        {"-", 0},      {"0800", 800},   {" 9000", 900}, {"x1", 0},
    };
    for (const Row& r : rows) EXPECT_EQ(ReadDialogNumber(r.text), r.value) << '"' << r.text << '"';
    EXPECT_EQ(ReadDialogNumber("12345", 3), 123);
}

TEST(ViewText, SaveNames)
{
    struct Row {
        std::string name;
        bool usable;
    };
    const Row rows[] = {
        {"a", true},
        {"my picture 1", true},
        {"\xC8\xFD\xCE\xAC", true},       // 三维
        {"\x95\x5C" "x", true},            // a character whose second byte is '\'
        {"\x95\x7C", true},                // ... or '|'
        {std::string(242, 'n'), true},
        {"a.b", true},
        {"", false},
        {std::string(243, 'n'), false},
        {"..\\up", false},
        {"a/b", false},
        {"c:x", false},
        {"a*", false},
        {"a?", false},
        {"\"a\"", false},
        {"<a>", false},
        {"a|b", false},
        {"tab\there", false},
        {"x\xB3", false},                  // ends in half a character
        {"CON", false},
        {"con.x", false},
        {"Nul", false},
        {"com1", false},
        {"LPT9", false},
        {"com0", true},
        {"console", true},
    };
    for (const Row& r : rows) EXPECT_EQ(SaveNameProblem(r.name) == nullptr, r.usable) << r.name;
    EXPECT_STREQ(SaveNameProblem(""), "Invalid file name!");
}

TEST(ViewText, SavePathsGoIntoResultOrSample)
{
    EXPECT_EQ(SavePath(true, "a"), ".\\result\\a.bmp");
    EXPECT_EQ(SavePath(false, "a"), ".\\sample\\a.bmp");
    // The longest usable name fills the 255 characters of the path.
    EXPECT_EQ(SavePath(false, std::string(242, 'n')).size(), 255u);
}

} // namespace
} // namespace rv
