#pragma once
// Helpers on the installer's GB2312 texts held in fixed-size buffers: blank
// trimming, decimal fields, bounded copies, line ends and backslash searches
// that step over double-byte characters (a trail byte may be 0x5C).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/Gb2312.h"

namespace vela {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// A text constant as a view whose length is known when the program is built:
// passing it on costs no strlen. Only for constants, never for a buffer.
template <std::size_t N>
constexpr std::string_view Constant(const char (&text)[N])
{
    return {text, N - 1};
}

// Removes trailing blanks in place; a text of blanks only becomes empty.
void TrimTrailingSpaces(char* text);

// Trims the field in place, then reads it: empty is 0; otherwise leading
// blanks are skipped, a sign is accepted and the leading decimal digits give
// the value; conversion stops at the first non-digit. Values beyond the
// 32-bit range saturate.
std::int32_t ParseDecimalField(char* text);

// True for a byte that starts a double-byte GB2312 (code page 936) character:
// the project's one rule, header-only, so the stub links nothing more.
using gb::IsLeadByte;

// Position of the first / last backslash that is a character of its own,
// never the trail byte of a double-byte character; kNotFound when none.
std::size_t FindFirstBackslash(std::string_view text);
std::size_t FindLastBackslash(std::string_view text);

// True when the text ends in a backslash character (not a trail byte).
bool EndsWithBackslash(std::string_view text);

// Copies text into a buffer of the given capacity (terminating zero
// included). When it does not fit, the buffer is left unchanged and the
// result is false.
bool CopyText(char* buffer, std::size_t capacity, std::string_view text);
// Appends likewise; unchanged and false when the result would not fit.
bool AppendText(char* buffer, std::size_t capacity, std::string_view text);

// The same for a NUL-terminated text: its length is measured once, here,
// rather than wherever a text is copied.
bool CopyText(char* buffer, std::size_t capacity, const char* text);
bool AppendText(char* buffer, std::size_t capacity, const char* text);

template <std::size_t N>
bool CopyText(char (&buffer)[N], std::string_view text) { return CopyText(buffer, N, text); }
template <std::size_t N>
bool AppendText(char (&buffer)[N], std::string_view text) { return AppendText(buffer, N, text); }
template <std::size_t N>
bool CopyText(char (&buffer)[N], const char* text) { return CopyText(buffer, N, text); }
template <std::size_t N>
bool AppendText(char (&buffer)[N], const char* text) { return AppendText(buffer, N, text); }

// Removes the line's last two characters (its CR LF); a shorter line
// becomes empty.
void CutLineEnd(char* line);

// True when the line is exactly the header followed by CR LF.
bool IsHeaderLine(std::string_view line, std::string_view header);
bool IsHeaderLine(const char* line, std::string_view header);

// Copies columns [first, first + width) of a line into field (capacity at
// least width + 1); columns past the line's end read as nothing.
void CopyColumns(std::string_view line, std::size_t first, std::size_t width, char* field);

} // namespace vela
