#pragma once
// The programs keep their texts as GB2312 (code page 936) bytes; the Win32
// layer converts at the boundary and calls the W functions, so texts read
// right whatever the system's own code page is.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace w32 {

std::wstring Widen(std::string_view gb2312);

// A GB2312 text as UTF-16 with its terminating zero, for one W call, without
// the C++ string runtime: a short text stays in place, a longer one goes to
// the heap, so every length still converts. A text that cannot be converted
// (or whose memory cannot be had) reads as empty, as Widen's does; Ok() tells
// the two apart.
class WideText {
public:
    // Made and unmade at many places: each place only calls the two
    // functions below.
    [[gnu::always_inline]] explicit WideText(std::string_view gb2312) { Convert(*this, gb2312.data(), gb2312.size()); }
    [[gnu::always_inline]] ~WideText() { Release(*this); }
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;

    const wchar_t* c_str() const { return text_; }
    wchar_t* data() { return text_; }  // the text's own copy, for calls that write into it
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    bool Ok() const { return ok_; }

private:
    static void Convert(WideText& text, const char* gb2312, std::size_t size);
    static void Release(WideText& text);

    static constexpr std::size_t kLocal = 264;  // a MAX_PATH name and its zero
    wchar_t local_[kLocal];
    // Set by Convert.
    wchar_t* text_;
    std::size_t size_;
    bool ok_;
};
std::string Narrow(std::wstring_view utf16);

// The program's command line split into words (the program name first), as
// GB2312 texts taken from the wide command line, so Chinese arguments arrive
// whatever the system's code page is. Empty when it cannot be read.
std::vector<std::string> CommandLineWords();

} // namespace w32
