#include "tools/velapack/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace velapack {
namespace {

struct CodePair {
    std::uint16_t unicode;
    std::uint16_t gb2312;
};

// Every GB2312 character, sorted by code point.
constexpr CodePair kGb2312Table[] = {
#include "tools/velapack/Gb2312Table.inc"
};

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

std::string CodePointName(char32_t c)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

} // namespace

std::uint16_t Gb2312Code(char32_t c)
{
    if (c > 0xFFFF) return 0;
    const auto* end = std::end(kGb2312Table);
    const auto* at = std::lower_bound(std::begin(kGb2312Table), end, c,
                                      [](const CodePair& p, char32_t v) { return p.unicode < v; });
    return at != end && at->unicode == c ? at->gb2312 : 0;
}

std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& c)
{
    if (pos >= text.size()) return 0;
    const auto b0 = static_cast<unsigned char>(text[pos]);
    std::size_t length;
    char32_t minimum;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        minimum = 0x80;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        minimum = 0x800;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        c = b0 & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(b)) return 0;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

TextEncoding DetectEncoding(std::string_view text)
{
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) return TextEncoding::Utf8;
    bool wide = false;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c;
        const std::size_t n = DecodeUtf8(text, pos, c);
        if (n == 0) return TextEncoding::Gb2312;
        wide = wide || n > 1;
        pos += n;
    }
    return wide ? TextEncoding::Utf8 : TextEncoding::Gb2312;
}

bool ToGb2312(std::string_view text, TextEncoding encoding, std::string& gb2312, std::size_t& line,
              std::string& reason)
{
    gb2312.clear();
    line = 1;
    const bool hasBom = text.substr(0, kUtf8Bom.size()) == kUtf8Bom;
    if (encoding == TextEncoding::Detect) encoding = DetectEncoding(text);
    if (encoding == TextEncoding::Gb2312) {
        if (hasBom) {
            reason = "the text starts with a UTF-8 byte-order mark but is said to be GB2312";
            return false;
        }
        gb2312.assign(text);
        return true;
    }
    if (hasBom) text.remove_prefix(kUtf8Bom.size());
    gb2312.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c;
        const std::size_t n = DecodeUtf8(text, pos, c);
        if (n == 0) {
            reason = "the text is not valid UTF-8 here";
            return false;
        }
        pos += n;
        if (c < 0x80) {
            gb2312 += static_cast<char>(c);
            if (c == '\n') ++line;
            continue;
        }
        const std::uint16_t code = Gb2312Code(c);
        if (code == 0) {
            reason = "the character " + CodePointName(c) + " has no GB2312 code";
            return false;
        }
        gb2312 += static_cast<char>(code >> 8);
        gb2312 += static_cast<char>(code & 0xFF);
    }
    return true;
}

} // namespace velapack
