// Backslash and bracket searches in GB2312 texts at the edges of the
// lead-byte range (0x81 to 0xFE): 0x80 and 0xFF are single-byte characters.
#include <gtest/gtest.h>

#include "installer/package/TextFields.h"

namespace vela {
namespace {

TEST(LeadByteRange, BackslashSearchesAtTheEdges)
{
    for (const char* single : {"a\x80\\", "a\xFF\\"}) {
        EXPECT_EQ(FindFirstBackslash(single), 2u) << static_cast<int>(static_cast<unsigned char>(single[1]));
        EXPECT_EQ(FindLastBackslash(single), 2u);
        EXPECT_TRUE(EndsWithBackslash(single));
    }
    for (const char* lead : {"a\x81\\", "a\xFE\\"}) {
        EXPECT_EQ(FindFirstBackslash(lead), kNotFound) << static_cast<int>(static_cast<unsigned char>(lead[1]));
        EXPECT_EQ(FindLastBackslash(lead), kNotFound);
        EXPECT_FALSE(EndsWithBackslash(lead));
    }
    EXPECT_EQ(FindLastBackslash("\\\x80\\x\x81\\"), 2u);
}

} // namespace
} // namespace vela
