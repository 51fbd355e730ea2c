#pragma once
// GB2312 (code page 936) texts read character by character. A byte from
// 0x81 to 0xFE leads a double-byte character whose second byte may be any
// value, '\' (0x5C) and '|' included: searches and cuts step over whole
// characters, never byte by byte.
#include <cstddef>
#include <string_view>

namespace gb {

// True for a byte that starts a double-byte character; 0x80 and 0xFF are
// characters of their own.
constexpr bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The bytes of the character that starts at text[at]: 2 for a lead byte
// with a byte after it, otherwise 1 (a lead byte that ends the text stands
// alone).
constexpr std::size_t CharacterSize(std::string_view text, std::size_t at)
{
    return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// True when the text ends in a lead byte whose second byte is missing.
bool EndsInHalfCharacter(std::string_view text);

// Position of the last single-byte character of the text that is one of
// `bytes`, never the second byte of a double-byte character; npos when
// there is none. FindLastOf("C:\\\x95\x5C", "\\") is 2.
std::size_t FindLastOf(std::string_view text, std::string_view bytes);

// At most maxBytes bytes of the text, cut before a character that does not
// fit whole. A text that fits comes back as it is, a lone lead byte at its
// end included: whoever checks the text sees what was typed.
std::string_view CutText(std::string_view text, std::size_t maxBytes);

} // namespace gb
