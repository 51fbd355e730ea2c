#include "installer/package/TextFields.h"
#include "installer/package/FixedText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace vela;

// 錦: a double-byte character whose trail byte is 0x5C, the backslash.
static const std::string kJin = "\xE5\x5C";

TEST(TrimTrailingSpaces, RemovesOnlyTrailingBlanks)
{
    const struct {
        const char* text;
        const char* trimmed;
    } rows[] = {{"  a b   ", "  a b"}, {"     ", ""}, {"x\t", "x\t"}, {"", ""}};
    for (const auto& row : rows) {
        char text[16];
        std::strcpy(text, row.text);
        TrimTrailingSpaces(text);
        EXPECT_STREQ(text, row.trimmed) << '"' << row.text << '"';
    }
}

TEST(ParseDecimalField, ReadsBlankPaddedFieldsAndTrimsThemInPlace)
{
    char field[] = "5447                ";
    EXPECT_EQ(ParseDecimalField(field), 5447);
    EXPECT_STREQ(field, "5447");

    char blanks[] = "                    ";
    EXPECT_EQ(ParseDecimalField(blanks), 0);
    EXPECT_STREQ(blanks, "");
}

TEST(ParseDecimalField, AcceptsASignAndStopsAtTheFirstNonDigit)
{
    const struct {
        const char* text;
        std::int32_t value;
    } rows[] = {{"-12abc", -12}, {"+7 3", 7}, {"abc", 0}, {"  42", 42}};
    for (const auto& row : rows) {
        char field[16];
        std::strcpy(field, row.text);
        EXPECT_EQ(ParseDecimalField(field), row.value) << row.text;
    }
}

TEST(ParseDecimalField, SaturatesBeyondThe32BitRange)
{
    char big[] = "99999999999999999999";
    EXPECT_EQ(ParseDecimalField(big), 2147483647);
    char small[] = "-99999999999999999999";
    EXPECT_EQ(ParseDecimalField(small), -2147483647 - 1);
    char edge[] = "2147483647";
    EXPECT_EQ(ParseDecimalField(edge), 2147483647);
    // Around 2^31 and 2^32, where a 32-bit reading would wrap.
    struct Row {
        const char* text;
        std::int32_t value;
    };
    for (const Row& row : {Row{"2147483648", 2147483647}, Row{"-2147483648", -2147483647 - 1},
                           Row{"-2147483647", -2147483647}, Row{"-2147483649", -2147483647 - 1},
                           Row{"4294967296", 2147483647}, Row{"-4294967297", -2147483647 - 1},
                           Row{"4294967306", 2147483647}, Row{"21474836480", 2147483647},
                           Row{"214748364", 214748364}, Row{"-214748365", -214748365},
                           Row{"000000000000000000012", 12}}) {
        char field[24];
        std::strcpy(field, row.text);
        EXPECT_EQ(ParseDecimalField(field), row.value) << row.text;
    }
}

TEST(BackslashSearch, StepsOverDoubleByteCharacters)
{
    std::string path = "C:\\" + kJin + "\\app.exe";
    EXPECT_EQ(FindFirstBackslash(path), 2u);
    EXPECT_EQ(FindLastBackslash(path), 5u);
    EXPECT_EQ(path.substr(FindLastBackslash(path) + 1), "app.exe");

    std::string noBackslash = kJin + kJin;
    EXPECT_EQ(FindFirstBackslash(noBackslash), kNotFound);
    EXPECT_EQ(FindLastBackslash(noBackslash), kNotFound);

    EXPECT_FALSE(EndsWithBackslash("D:\\" + kJin));
    EXPECT_TRUE(EndsWithBackslash("D:\\" + kJin + "\\"));
    EXPECT_TRUE(EndsWithBackslash("C:\\"));
    EXPECT_FALSE(EndsWithBackslash(""));
}

TEST(BackslashSearch, ALoneLeadByteAtTheEndDoesNotReachPastTheText)
{
    std::string text = "a\\\xE5";
    EXPECT_EQ(FindLastBackslash(text), 1u);
    EXPECT_FALSE(EndsWithBackslash(text));
}

TEST(BoundedCopies, RefuseWhatDoesNotFitAndLeaveTheBufferAlone)
{
    char buffer[8] = "old";
    EXPECT_FALSE(CopyText(buffer, "12345678"));
    EXPECT_STREQ(buffer, "old");
    EXPECT_TRUE(CopyText(buffer, "1234567"));
    EXPECT_STREQ(buffer, "1234567");

    char joined[8] = "abc";
    EXPECT_TRUE(AppendText(joined, "defg"));
    EXPECT_STREQ(joined, "abcdefg");
    EXPECT_FALSE(AppendText(joined, "h"));
    EXPECT_STREQ(joined, "abcdefg");
}

TEST(LineEnds, CutTwoCharactersAndCompareHeadersWithTheirCrLf)
{
    char line[] = "[File]\r\n";
    CutLineEnd(line);
    EXPECT_STREQ(line, "[File]");
    char shortLine[] = "x";
    CutLineEnd(shortLine);
    EXPECT_STREQ(shortLine, "");

    // Only the header itself and CR LF: no blank, other case or bare line end.
    for (const char* line : {"[File] \r\n", " [File]\r\n", "[file]\r\n", "[File]\n", "[File]"})
        EXPECT_FALSE(IsHeaderLine(line, "[File]")) << line;
    EXPECT_TRUE(IsHeaderLine("[File]\r\n", "[File]"));
}

TEST(CopyColumns, ReadsPastTheLineEndAsNothing)
{
    const struct {
        const char* line;
        std::size_t first, count;
        const char* field;
    } rows[] = {{"abcdefgh", 2, 3, "cde"}, {"abcdefgh", 6, 20, "gh"}, {"abc", 10, 20, ""}};
    for (const auto& row : rows) {
        char field[21] = "stale";
        CopyColumns(row.line, row.first, row.count, field);
        EXPECT_STREQ(field, row.field) << row.line << " from " << row.first;
    }
}

TEST(FixedText, KeepsWhatFitsAndRefusesTheRestWhole)
{
    FixedText<8> text;  // seven bytes and the zero
    EXPECT_TRUE(text.Append("abc"));
    EXPECT_TRUE(text.Append('d'));
    EXPECT_FALSE(text.Overflowed());
    EXPECT_FALSE(text.Append("efgh"));  // eight would not fit: nothing of it is added
    EXPECT_TRUE(text.Overflowed());
    EXPECT_EQ(text, "abcd");
    EXPECT_EQ(std::strlen(text.c_str()), 4u);
    EXPECT_TRUE(text.Append("efg"));  // exactly full
    EXPECT_EQ(text, "abcdefg");
    EXPECT_TRUE(text.Overflowed()) << "an overflow is remembered until the text is cleared";
    text = "x";
    EXPECT_FALSE(text.Overflowed());
    EXPECT_EQ(text.size(), 1u);
    text.Truncate(5);
    EXPECT_EQ(text, "x");
    text.Truncate(0);
    EXPECT_TRUE(text.empty());
    EXPECT_STREQ(text.c_str(), "");
}

// The digits are made without a 64-bit division: every carry between the
// words is checked against the library's formatting, on the edges (powers of
// ten and their neighbours, each word's limits, both signs) and at random.
TEST(FixedText, WritesDecimalNumbersAsTheLibraryDoes)
{
    std::vector<std::int64_t> values = {0, 1, -1, 7, 9, 10, 11, -9, -10, -11, 2026, -40,
                                        std::numeric_limits<std::int64_t>::max(),
                                        std::numeric_limits<std::int64_t>::min(),
                                        std::numeric_limits<std::int64_t>::min() + 1,
                                        std::int64_t{0xFFFF}, std::int64_t{0x10000}, std::int64_t{0xFFFFFFFF},
                                        std::int64_t{0x100000000}, std::int64_t{0x100000001},
                                        std::int64_t{0x7FFFFFFF}, -std::int64_t{0x80000000}};
    for (std::int64_t power = 1; power <= std::numeric_limits<std::int64_t>::max() / 10; power *= 10)
        for (std::int64_t p : {power * 10, power * 10 - 1, power * 10 + 1, power})
            for (std::int64_t v : {p, -p}) values.push_back(v);
    std::mt19937_64 random(15);
    for (int i = 0; i < 20000; ++i) {
        const auto bits = static_cast<std::int64_t>(random());
        values.push_back(bits);
        values.push_back(bits >> (random() % 64));  // every length of number
    }
    for (const std::int64_t value : values) {
        FixedText<32> text("n=");  // behind what the text holds already
        ASSERT_TRUE(text.AppendNumber(value));
        ASSERT_EQ(text, "n=" + std::to_string(static_cast<long long>(value))) << value;
    }
    // A number that does not fit leaves the text as it was.
    FixedText<4> small("ab");
    EXPECT_FALSE(small.AppendNumber(-5));
    EXPECT_EQ(small, "ab");
}

TEST(CopyText, AnEmptyViewWithoutBytesCopiesNothing)
{
    // A default view has no bytes at all (its data is null): still a text.
    char buffer[4] = "abc";
    EXPECT_TRUE(CopyText(buffer, std::string_view()));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(AppendText(buffer, std::string_view()));
    EXPECT_STREQ(buffer, "");
    FixedText<4> text("ab");
    EXPECT_TRUE(text.Append(std::string_view()));
    EXPECT_EQ(text, "ab");
}
