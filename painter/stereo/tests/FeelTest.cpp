#include "painter/stereo/Stereogram.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

TEST(FeelText, ReadsAtMostThreeCharactersAsADecimal)
{
    EXPECT_EQ(ReadFeelText(kDefaultFeelText), 15);
    EXPECT_EQ(ReadFeelText("240"), 240);
    EXPECT_EQ(ReadFeelText("  7"), 7);
    EXPECT_EQ(ReadFeelText("+12"), 12);
    EXPECT_EQ(ReadFeelText("-3"), -3);
    EXPECT_EQ(ReadFeelText("1234"), 123);
    EXPECT_EQ(ReadFeelText("   9"), 0); // the digit is the fourth character
    EXPECT_EQ(ReadFeelText("9x1"), 9);
    EXPECT_EQ(ReadFeelText("abc"), 0);
    EXPECT_EQ(ReadFeelText(""), 0);
    EXPECT_EQ(ReadFeelText("-"), 0);
}

TEST(FeelCommands, StepByOneAndShowTheNewValue)
{
    FeelChange down = DecreaseFeel("15");
    EXPECT_EQ(down.feel, 14);
    EXPECT_TRUE(down.textChanged);
    EXPECT_EQ(down.text, "14");

    FeelChange up = IncreaseFeel("99");
    EXPECT_EQ(up.feel, 100);
    EXPECT_EQ(up.text, "100");
    up = IncreaseFeel(up.text);
    EXPECT_EQ(up.feel, 101);
    EXPECT_EQ(up.text, "101");

    down = DecreaseFeel("10");
    EXPECT_EQ(down.text, "9");
}

TEST(FeelCommands, StopAtOneAndTwoHundredForty)
{
    FeelChange down = DecreaseFeel("1");
    EXPECT_EQ(down.feel, 1);
    EXPECT_FALSE(down.textChanged);
    FeelChange up = IncreaseFeel("240");
    EXPECT_EQ(up.feel, 240);
    EXPECT_FALSE(up.textChanged);

    // Walking the whole range both ways never leaves it.
    std::string text = kDefaultFeelText;
    for (int i = 0; i < 300; ++i) {
        FeelChange c = IncreaseFeel(text);
        if (c.textChanged) text = c.text;
        ASSERT_LE(c.feel, kMaxFeel);
    }
    EXPECT_EQ(text, "240");
    for (int i = 0; i < 300; ++i) {
        FeelChange c = DecreaseFeel(text);
        if (c.textChanged) text = c.text;
        ASSERT_GE(c.feel, kMinFeel);
    }
    EXPECT_EQ(text, "1");
}

} // namespace
} // namespace rv
