// The UTF-8 reader, the encoding guess and the built-in GB2312 table.
#include "tools/velapack/TextEncoding.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using velapack::TextEncoding;

TEST(Gb2312Table, HoldsEveryGb2312CodeOnceAndNothingElse)
{
    std::set<unsigned> codes;
    unsigned mapped = 0;
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        const unsigned code = velapack::Gb2312Code(c);
        if (code == 0) continue;
        ++mapped;
        codes.insert(code);
        const unsigned lead = code >> 8, trail = code & 0xFF;
        EXPECT_TRUE(lead >= 0xA1 && lead <= 0xF7 && lead != 0xAA && trail >= 0xA1 && trail <= 0xFE)
            << std::hex << static_cast<unsigned>(c) << " -> " << code;
    }
    // 682 symbols and 6,763 characters; two codes are reached from two code
    // points each (GB2312's and code page 936's reading).
    EXPECT_EQ(codes.size(), 7445u);
    EXPECT_EQ(mapped, 7447u);
}

TEST(Gb2312Table, KnownCharacters)
{
    struct Row {
        char32_t c;
        unsigned code;
    } rows[] = {
        {U'、', 0xA1A2}, {U'·', 0xA1A4}, {U'・', 0xA1A4}, {U'—', 0xA1AA}, {U'―', 0xA1AA}, {U'‰', 0xA1EB},
        {U'￥', 0xA3A4}, {U'Ａ', 0xA3C1}, {U'α', 0xA6C1}, {U'А', 0xA7A1}, {U'é', 0xA8A6}, {U'─', 0xA9A4},
        {U'啊', 0xB0A1}, {U'中', 0xD6D0}, {U'齄', 0xF7FE},
        {U'€', 0}, {U'鍾', 0}, {U'\uFEFF', 0}, {U'😀', 0}, {U'A', 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(velapack::Gb2312Code(r.c), r.code) << std::hex << static_cast<unsigned>(r.c);
}

TEST(Utf8, DecodesWellFormedSequencesOnly)
{
    struct Row {
        std::string bytes;
        std::size_t length;  // 0: refused
        char32_t c;
    } rows[] = {
        {"A", 1, U'A'},
        {"\xC2\x80", 2, 0x80},
        {"\xDF\xBF", 2, 0x7FF},
        {"\xE4\xB8\xAD", 3, U'中'},
        {"\xEF\xBF\xBF", 3, 0xFFFF},
        {"\xF0\x9F\x98\x80", 4, 0x1F600},
        {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
        {"\xC0\x80", 0, 0},          // overlong NUL
        {"\xC1\xBF", 0, 0},          // overlong
        {"\xE0\x9F\xBF", 0, 0},      // overlong
        {"\xF0\x8F\xBF\xBF", 0, 0},  // overlong
        {"\xED\xA0\x80", 0, 0},      // surrogate
        {"\xF4\x90\x80\x80", 0, 0},  // beyond U+10FFFF
        {"\xF5\x80\x80\x80", 0, 0},
        {"\x80", 0, 0},              // lone continuation
        {"\xE4\xB8", 0, 0},          // cut short
        {"\xE4\x41\xAD", 0, 0},      // no continuation
    };
    for (const Row& r : rows) {
        char32_t c = 0;
        EXPECT_EQ(velapack::DecodeUtf8(r.bytes, 0, c), r.length) << r.bytes;
        if (r.length) {
            EXPECT_EQ(c, r.c);
        }
    }
}

TEST(Utf8, TheEncodingIsGuessedFromTheBytes)
{
    struct Row {
        std::string text;
        TextEncoding expected;
    } rows[] = {
        {"", TextEncoding::Gb2312},
        {"name = A\n", TextEncoding::Gb2312},                            // ASCII reads the same
        {"\xEF\xBB\xBFname = A\n", TextEncoding::Utf8},                   // byte-order mark
        {"name = \xE6\xB5\xAE\xE9\x9B\x95\n", TextEncoding::Utf8},        // 浮雕
        {"name = \xB8\xA1\xB5\xF1\n", TextEncoding::Gb2312},              // 浮雕 in GB2312
        {"a = \xE6\xB5\xAE\nb = \xB8\xA1\n", TextEncoding::Gb2312},       // one GB2312 line is enough
        {"\xEF\xBB\xBF\xB8\xA1", TextEncoding::Utf8},                     // the mark decides
    };
    for (const Row& r : rows) EXPECT_EQ(velapack::DetectEncoding(r.text), r.expected) << r.text;
}

TEST(Utf8, ConvertsToGb2312AndNamesTheLineOfAProblem)
{
    std::string gb, reason;
    std::size_t line = 0;
    ASSERT_TRUE(velapack::ToGb2312("\xEF\xBB\xBF" "a\r\n\xE4\xB8\xAD b\n", TextEncoding::Detect, gb, line, reason));
    EXPECT_EQ(gb, "a\r\n\xD6\xD0 b\n");
    ASSERT_TRUE(velapack::ToGb2312("\xD6\xD0", TextEncoding::Gb2312, gb, line, reason));
    EXPECT_EQ(gb, "\xD6\xD0");

    EXPECT_FALSE(velapack::ToGb2312("a\n\nb \xE2\x82\xAC\n", TextEncoding::Utf8, gb, line, reason));
    EXPECT_EQ(line, 3u);
    EXPECT_EQ(reason, "the character U+20AC has no GB2312 code");
    EXPECT_FALSE(velapack::ToGb2312("a\n\xD6\xD0", TextEncoding::Utf8, gb, line, reason));
    EXPECT_EQ(line, 2u);
    EXPECT_EQ(reason, "the text is not valid UTF-8 here");
    EXPECT_FALSE(velapack::ToGb2312("\xEF\xBB\xBF" "a", TextEncoding::Gb2312, gb, line, reason));
    EXPECT_EQ(line, 1u);
}

TEST(Gb2312Table, ReadsBackEveryCodeItGives)
{
    unsigned codes = 0;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        const std::uint16_t code = velapack::Gb2312Code(c);
        if (code == 0) continue;
        const char32_t back = velapack::Gb2312Character(code);
        // Two codes are given for two code points each; the lower one is read back.
        EXPECT_TRUE(back == c || velapack::Gb2312Code(back) == code) << std::hex << static_cast<unsigned>(c);
        codes += back == c;
    }
    EXPECT_EQ(codes, 7445u);
    EXPECT_EQ(velapack::Gb2312Character(0xD6D0), U'中');
    EXPECT_EQ(velapack::Gb2312Character(0xA1A4), U'·');
    for (std::uint16_t none : {0x0000, 0x4141, 0xAAA1, 0xA1A0, 0xA1FF, 0xF8A1, 0x8140})
        EXPECT_EQ(velapack::Gb2312Character(none), 0u) << std::hex << none;
}

TEST(ForDisplay, GivesGb2312AsUtf8OrAsItIsAndEscapesEverythingElse)
{
    using velapack::DisplayEncoding;
    struct Row {
        std::string gb2312;
        std::string utf8;
        std::string gb;  // under a code-page-936 locale
    } rows[] = {
        {"group: \xCE\xD2\xB5\xC4\xB3\xCC\xD0\xF2", "group: 我的程序", "group: \xCE\xD2\xB5\xC4\xB3\xCC\xD0\xF2"},
        // 錦 is a code page 936 character beyond GB2312: escaped; its trail byte is a backslash.
        {"[InstallDir]\\\xE5\x5C\\a.txt", "[InstallDir]\\\\xE5\\\\a.txt", "[InstallDir]\\\\xE5\\\\a.txt"},
        {"tab\tand line\n", "tab\tand line\n", "tab\tand line\n"},
        // A lead byte at the end, with an ASCII byte after it, before another lead byte.
        {"A\xB0", "A\\xB0", "A\\xB0"},
        {"\xB0" "A", "\\xB0" "A", "\\xB0" "A"},
        {"\xB0\xA1\xB0", "啊\\xB0", "\xB0\xA1\\xB0"},
        // No GB2312 character: 0x80, 0xFF, a code page 936 extension, an empty row.
        {"\x80\xFF", "\\x80\\xFF", "\\x80\\xFF"},
        {"\x81\x40", "\\x81@", "\\x81@"},
        {"\xAA\xA1", "\\xAA\\xA1", "\\xAA\\xA1"},
        // Terminal controls never pass.
        {"\x1B[31mred\x07\r\x7F", "\\x1B[31mred\\x07\\x0D\\x7F", "\\x1B[31mred\\x07\\x0D\\x7F"},
        {std::string("a\0b", 3), "a\\x00b", "a\\x00b"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(velapack::ForDisplay(r.gb2312, DisplayEncoding::Utf8), r.utf8) << r.utf8;
        EXPECT_EQ(velapack::ForDisplay(r.gb2312, DisplayEncoding::Gb2312), r.gb) << r.utf8;
    }
}

TEST(ForDisplay, TheLocaleOrCodePageDecides)
{
    using velapack::DisplayEncoding;
    for (const char* gb : {"GB2312", "gb2312", "GBK", "GB18030", "EUC-CN", "euc_cn", "CP936"})
        EXPECT_EQ(velapack::DisplayEncodingForCodeset(gb), DisplayEncoding::Gb2312) << gb;
    for (const char* other : {"UTF-8", "utf8", "ANSI_X3.4-1968", "ISO-8859-1", "BIG5", ""})
        EXPECT_EQ(velapack::DisplayEncodingForCodeset(other), DisplayEncoding::Utf8) << other;
    EXPECT_EQ(velapack::DisplayEncodingForCodePage(936), DisplayEncoding::Gb2312);
    for (unsigned cp : {65001u, 437u, 1252u, 950u, 0u})
        EXPECT_EQ(velapack::DisplayEncodingForCodePage(cp), DisplayEncoding::Utf8) << cp;
}
