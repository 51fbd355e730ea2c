#include "win32/platform/Text.h"

#include <windows.h>

#include <climits>
#include <cstdlib>

namespace w32 {

namespace {
constexpr UINT kGb2312 = 936;
}

std::wstring Widen(std::string_view gb2312)
{
    if (gb2312.empty()) return {};
    const int n = MultiByteToWideChar(kGb2312, 0, gb2312.data(), static_cast<int>(gb2312.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kGb2312, 0, gb2312.data(), static_cast<int>(gb2312.size()), out.data(), n);
    return out;
}

void WideText::Convert(WideText& text, const char* gb2312, std::size_t size)
{
    text.local_[0] = L'\0';
    text.text_ = text.local_;
    text.size_ = 0;
    text.ok_ = true;
    if (size == 0) return;
    const int length = size <= static_cast<std::size_t>(INT_MAX) ? static_cast<int>(size) : 0;
    const int n = length ? MultiByteToWideChar(kGb2312, 0, gb2312, length, nullptr, 0) : 0;
    wchar_t* block = text.local_;
    if (n > 0 && static_cast<std::size_t>(n) >= kLocal)
        block = static_cast<wchar_t*>(std::malloc((static_cast<std::size_t>(n) + 1) * sizeof(wchar_t)));
    if (n <= 0 || !block || MultiByteToWideChar(kGb2312, 0, gb2312, length, block, n) != n) {
        if (block != text.local_) std::free(block);
        text.local_[0] = L'\0';
        text.ok_ = false;
        return;
    }
    block[n] = L'\0';
    text.text_ = block;
    text.size_ = static_cast<std::size_t>(n);
}

void WideText::Release(WideText& text)
{
    if (text.text_ != text.local_) std::free(text.text_);
}

std::string Narrow(std::wstring_view utf16)
{
    if (utf16.empty()) return {};
    const int n = WideCharToMultiByte(kGb2312, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kGb2312, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace w32
