// GB2312 texts stepped through by character: which bytes lead a character,
// where a cut may fall, which backslashes are characters of their own.
#include "text/Gb2312.h"

#include <gtest/gtest.h>

#include <string>

namespace gb {
namespace {

// 中 D6 D0, 文 CE C4, 程 B3 CC; 0x95 0x5C and 0x95 0x7C are characters
// whose second byte is '\' or '|'.
const std::string kZhong = "\xD6\xD0", kWen = "\xCE\xC4";

TEST(Gb2312, OnlyBytesFrom0x81To0xFELeadACharacter)
{
    struct Row {
        unsigned char byte;
        bool lead;
    };
    const Row rows[] = {{0x00, false}, {'\\', false}, {0x7F, false}, {0x80, false},
                        {0x81, true},  {0xB3, true},  {0xFE, true},  {0xFF, false}};
    for (const Row& r : rows) EXPECT_EQ(IsLeadByte(r.byte), r.lead) << static_cast<int>(r.byte);
}

TEST(Gb2312, CuttingNeverSplitsACharacter)
{
    struct Row {
        std::string text;
        std::size_t limit;
        std::string cut;
    };
    const Row rows[] = {
        {"abcdef", 4, "abcd"},
        {"abcdef", 3, "abc"},
        {"abc", 3, "abc"},
        {"ab", 4, "ab"},
        {"a\xB3\xCC" "b", 2, "a"},
        {"a\xB3\xCC" "b", 3, "a\xB3\xCC"},
        {"\xB3\xCC\xB3\xCC", 3, "\xB3\xCC"},
        {kZhong + kWen, 3, kZhong},
        {kZhong + kWen, 4, kZhong + kWen},
        {"a" + kZhong, 2, "a"},
        {"a" + kZhong, 0, ""},
        {"\x95\x5C" "x", 1, ""}, // a trail byte 0x5C is not a character of its own
        {"\x95\x5C" "x", 2, "\x95\x5C"},
        {"\x80\x80", 1, "\x80"}, // 0x80 and 0xFF stand alone
        {"\xFF\xFF", 1, "\xFF"},
        {"\x81\x40" "a", 1, ""},
        {"\xFE\x40" "a", 2, "\xFE\x40"},
        // A text that fits keeps a lone lead byte at its end: the caller's
        // check sees it, rather than a shorter text than was typed.
        {"x\xB3", 2, "x\xB3"},
        {"x\xB3", 9, "x\xB3"},
        {"ab\xB3", 2, "ab"},
    };
    for (const Row& r : rows) EXPECT_EQ(CutText(r.text, r.limit), r.cut) << r.text << " limit " << r.limit;
}

TEST(Gb2312, SearchesSkipTheSecondByteOfACharacter)
{
    struct Row {
        std::string text;
        std::size_t lastBackslash;
        bool halfAtEnd;
    };
    const std::size_t none = std::string_view::npos;
    const Row rows[] = {
        {"", none, false},
        {"abc", none, false},
        {"C:\\a\\b", 4, false},
        {"C:\\\x95\x5C", 2, false},
        {"a\x81\\", none, false},
        {"a\xFE\\", none, false},
        {"a\x80\\", 2, false},
        {"a\xFF\\", 2, false},
        {"\\\x80\\x\x81\\", 2, false},
        {"\xB3\xB3\\", 2, false}, // 0xB3 0xB3 is one character
        {"x\xB3", none, true},
        {"\xB3\xB3\xB3", none, true},
        {"\xB3\xCC", none, false},
        {"\\\xB3", 0, true},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FindLastOf(r.text, "\\"), r.lastBackslash) << r.text;
        EXPECT_EQ(EndsInHalfCharacter(r.text), r.halfAtEnd) << r.text;
    }
    // Any of several separators.
    EXPECT_EQ(FindLastOf("C:\\a/b:c", "\\/:"), 6u);
    EXPECT_EQ(FindLastOf("C:\\a/\x95/", "\\/:"), 4u);
}

} // namespace
} // namespace gb
