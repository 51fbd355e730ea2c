#pragma once
// A text of at most N - 1 bytes held in the object itself, always
// NUL-terminated: the installer's one way to build paths, command lines and
// messages without the heap. Nothing is ever written past its end: a text
// that would not fit is not added, and the text remembers that it overflowed
// (Overflowed), so a caller builds a whole path and checks once.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vela {

// Room for the decimal digits of any 64-bit number and its sign.
inline constexpr std::size_t kDecimalDigitsSize = 20;
// Writes value in decimal ('-' first when negative) at the end of digits;
// returns where the text starts. One copy for every text size, and no
// 64-bit division, which would bring the runtime's long division routines
// into the installer.
std::size_t FormatDecimal(std::int64_t value, char (&digits)[kDecimalDigitsSize]);

template <std::size_t N>
class FixedText {
    static_assert(N > 1, "room for one byte and the terminating zero");

public:
    static constexpr std::size_t kCapacity = N - 1;  // bytes, without the zero

    // Only the first byte is cleared: a text of a few kilobytes costs
    // nothing to make.
    FixedText() { data_[0] = '\0'; }
    FixedText(std::string_view text)
    {
        data_[0] = '\0';
        Append(text);
    }
    FixedText(const FixedText& other) { *this = other; }
    FixedText& operator=(const FixedText& other)
    {
        if (this != &other) {
            std::memcpy(data_, other.data_, other.size_ + 1);
            size_ = other.size_;
            overflowed_ = other.overflowed_;
        }
        return *this;
    }
    FixedText& operator=(std::string_view text)
    {
        Clear();
        Append(text);
        return *this;
    }

    // Appends text whole; false (the text unchanged, Overflowed set) when it
    // does not fit.
    bool Append(std::string_view text)
    {
        if (text.size() > kCapacity - size_) {
            overflowed_ = true;
            return false;
        }
        if (!text.empty()) std::memmove(data_ + size_, text.data(), text.size());
        size_ += text.size();
        data_[size_] = '\0';
        return true;
    }
    bool Append(char c) { return Append(std::string_view(&c, 1)); }
    // Appends a decimal number, '-' first when negative.
    bool AppendNumber(std::int64_t value)
    {
        char digits[kDecimalDigitsSize];
        const std::size_t at = FormatDecimal(value, digits);
        return Append(std::string_view(digits + at, sizeof digits - at));
    }
    // Shortens the text to size bytes (never lengthens it).
    void Truncate(std::size_t size)
    {
        if (size < size_) {
            size_ = size;
            data_[size_] = '\0';
        }
    }
    void Clear()
    {
        size_ = 0;
        data_[0] = '\0';
        overflowed_ = false;
    }

    bool Overflowed() const { return overflowed_; }
    const char* c_str() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {data_, size_}; }
    operator std::string_view() const { return view(); }

    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

private:
    std::size_t size_ = 0;
    bool overflowed_ = false;
    char data_[N];  // bytes past size_ + 1 are never read
};

} // namespace vela
