#include "installer/package/FixedText.h"

namespace vela {

std::size_t FormatDecimal(std::int64_t value, char (&digits)[kDecimalDigitsSize])
{
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::uint32_t high = static_cast<std::uint32_t>(magnitude >> 32);
    std::uint32_t low = static_cast<std::uint32_t>(magnitude);
    std::size_t at = sizeof digits;
    do {
        // One long division by ten in 32-bit steps: the high word, then
        // the low word sixteen bits at a time (each step's remainder is
        // below ten, so the next dividend stays below 2^20).
        std::uint32_t rest = high % 10;
        high /= 10;
        std::uint32_t part = rest << 16 | low >> 16;
        const std::uint32_t upper = part / 10;
        part = (part % 10) << 16 | (low & 0xFFFF);
        low = upper << 16 | part / 10;
        digits[--at] = static_cast<char>('0' + part % 10);
    } while ((high | low) != 0);
    if (value < 0) digits[--at] = '-';
    return at;
}

} // namespace vela
