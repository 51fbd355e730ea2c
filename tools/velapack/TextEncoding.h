#pragma once
// The encodings a description (or its licence text) may be written in, and
// the conversion of UTF-8 into the GB2312 bytes the setup script holds. The
// conversion uses a table built into the tool (Gb2312Table.inc), never the
// system's locale.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velapack {

enum class TextEncoding { Detect, Utf8, Gb2312 };

// The GB2312 code of a Unicode character, lead byte in the high byte; 0 when
// GB2312 has none. Characters below 0x80 are not asked for (they stay bytes).
std::uint16_t Gb2312Code(char32_t c);

// Reads one UTF-8 character at pos: its byte count, or 0 for a malformed,
// overlong or surrogate sequence or one beyond U+10FFFF.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& c);

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A text starting with the UTF-8 byte-order mark, or one that is valid UTF-8
// and holds at least one byte from 0x80 up, is UTF-8; anything else is taken
// as GB2312 (plain ASCII reads the same either way). Double-byte GB2312 text
// is rarely valid UTF-8: its trail bytes 0xC0..0xFE are never UTF-8
// continuation bytes.
TextEncoding DetectEncoding(std::string_view text);

// The text as GB2312 bytes: UTF-8 (a byte-order mark dropped) is converted,
// GB2312 is copied. Detect decides first. False with the 1-based line
// number and the reason when a UTF-8 text is malformed or holds a character
// GB2312 cannot hold, or when a text said to be GB2312 starts with the UTF-8
// byte-order mark.
bool ToGb2312(std::string_view text, TextEncoding encoding, std::string& gb2312, std::size_t& line,
              std::string& reason);

// The Unicode character of a GB2312 code (lead byte in the high byte), read
// from the same table in reverse; 0 when the code is no GB2312 character.
char32_t Gb2312Character(std::uint16_t code);

// The encoding of what velapack shows a person (messages, notes, listings).
enum class DisplayEncoding { Utf8, Gb2312 };

// The encoding for a locale's character set name (nl_langinfo(CODESET)):
// GB2312 for the code-page-936 family (GB2312, GBK, GB18030, EUC-CN, CP936,
// letter case, "-" and "_" ignored), UTF-8 for any other name and for none.
DisplayEncoding DisplayEncodingForCodeset(std::string_view codeset);
// The same for a Windows console code page: 936 is GB2312, anything else UTF-8.
DisplayEncoding DisplayEncodingForCodePage(unsigned codePage);

// A GB2312 text as it is shown: ASCII as it is, GB2312 characters in the
// display encoding, and every other byte (a lone or unknown lead byte, a
// byte from 0x80 up that starts no character, a control character other than
// tab and line feed) as \xNN, so nothing the text holds reaches a terminal
// unchecked.
std::string ForDisplay(std::string_view gb2312, DisplayEncoding encoding);

} // namespace velapack
