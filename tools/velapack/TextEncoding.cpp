#include "tools/velapack/TextEncoding.h"

#include <algorithm>
#include <array>
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

// GB2312 rows and cells run from 0xA1 to 0xFE: 94 × 94 codes.
constexpr unsigned kGbFirst = 0xA1;
constexpr unsigned kGbSide = 94;

// The table turned round, made once from the same pairs: the character of
// each code, the lowest code point where two share a code (the one code
// page 936 gives).
const std::array<char16_t, kGbSide * kGbSide>& CharactersByCode()
{
    static const std::array<char16_t, kGbSide * kGbSide> characters = [] {
        std::array<char16_t, kGbSide * kGbSide> made{};
        for (const CodePair& pair : kGb2312Table) {
            const unsigned index = ((pair.gb2312 >> 8) - kGbFirst) * kGbSide + ((pair.gb2312 & 0xFF) - kGbFirst);
            if (made[index] == 0) made[index] = static_cast<char16_t>(pair.unicode);
        }
        return made;
    }();
    return characters;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendEscape(std::string& out, unsigned char b)
{
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(b));
    out += escape;
}

std::string FoldedName(std::string_view name)
{
    std::string folded;
    for (char c : name) {
        if (c == '-' || c == '_') continue;
        folded += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return folded;
}

} // namespace

char32_t Gb2312Character(std::uint16_t code)
{
    const unsigned lead = code >> 8, trail = code & 0xFF;
    if (lead < kGbFirst || lead >= kGbFirst + kGbSide || trail < kGbFirst || trail >= kGbFirst + kGbSide) return 0;
    return CharactersByCode()[(lead - kGbFirst) * kGbSide + (trail - kGbFirst)];
}

DisplayEncoding DisplayEncodingForCodeset(std::string_view codeset)
{
    const std::string name = FoldedName(codeset);
    for (const char* gb : {"GB2312", "GBK", "GB18030", "EUCCN", "CP936"})
        if (name == gb) return DisplayEncoding::Gb2312;
    return DisplayEncoding::Utf8;
}

DisplayEncoding DisplayEncodingForCodePage(unsigned codePage)
{
    return codePage == 936 ? DisplayEncoding::Gb2312 : DisplayEncoding::Utf8;
}

std::string ForDisplay(std::string_view gb2312, DisplayEncoding encoding)
{
    std::string out;
    out.reserve(gb2312.size() + gb2312.size() / 2);
    for (std::size_t i = 0; i < gb2312.size();) {
        const auto b = static_cast<unsigned char>(gb2312[i]);
        if (b < 0x80) {
            if ((b < 0x20 && b != '\t' && b != '\n') || b == 0x7F) AppendEscape(out, b);
            else out += static_cast<char>(b);
            ++i;
            continue;
        }
        const char32_t c = i + 1 < gb2312.size()
                               ? Gb2312Character(static_cast<std::uint16_t>(
                                     (b << 8) | static_cast<unsigned char>(gb2312[i + 1])))
                               : 0;
        if (c == 0) {
            // Not a character: this byte is shown, the next one is judged afresh.
            AppendEscape(out, b);
            ++i;
            continue;
        }
        if (encoding == DisplayEncoding::Utf8) AppendUtf8(out, c);
        else out.append(gb2312.substr(i, 2));
        i += 2;
    }
    return out;
}

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
