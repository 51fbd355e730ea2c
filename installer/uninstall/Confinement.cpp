// Paths brought to one form and compared component by component.
#include "installer/uninstall/Confinement.h"

#include <cstdint>
#include <cstring>

#include "installer/package/TextFields.h"

namespace vela {
namespace {

// A trail byte that Windows' code page 936 pairs with a lead byte; anything
// else would make the conversion to UTF-16 read the two bytes apart.
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

bool IsForbidden(unsigned char c) { return c < 0x20 || c == 0xFF || std::strchr(":*?\"<>|", c) != nullptr; }

bool IsDriveLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The character at i as one comparable number, letter case folded; len
// receives its width in bytes.
std::uint32_t FoldedCharacter(std::string_view text, std::size_t i, std::size_t& len)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c) && i + 1 < text.size()) {
        len = 2;
        auto trail = static_cast<unsigned char>(text[i + 1]);
        if (c == 0xA3 && trail >= 0xC1 && trail <= 0xDA) trail += 0x20;       // full-width A..Z
        else if (c == 0xA6 && trail >= 0xA1 && trail <= 0xB8) trail += 0x20;  // Greek capitals
        else if (c == 0xA7 && trail >= 0xA1 && trail <= 0xC1) trail += 0x30;  // Cyrillic capitals
        return static_cast<std::uint32_t>(c) << 8 | trail;
    }
    len = 1;
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// True when pos starts a character of the text (never a trail byte).
bool IsCharacterStart(std::string_view text, std::size_t pos)
{
    std::size_t i = 0;
    while (i < pos) i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    return i == pos;
}

} // namespace

bool NormalisePath(std::string_view path, std::string& normal)
{
    normal.clear();
    if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != ':' || (path[2] != '\\' && path[2] != '/'))
        return false;
    std::vector<std::string> parts;
    std::string current;
    // Ends the component being read; false when it climbs above the drive or
    // ends in a dot or a blank.
    auto endComponent = [&]() {
        if (current == "..") {
            if (parts.empty()) return false;
            parts.pop_back();
        } else if (!current.empty() && current != ".") {
            if (current.back() == '.' || current.back() == ' ') return false;
            parts.push_back(current);
        }
        current.clear();
        return true;
    };
    for (std::size_t i = 3; i < path.size();) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c)) {
            if (i + 1 >= path.size() || !IsTrailByte(static_cast<unsigned char>(path[i + 1]))) return false;
            current.append(path.substr(i, 2));
            i += 2;
        } else if (c == '\\' || c == '/') {
            if (!endComponent()) return false;
            ++i;
        } else {
            if (IsForbidden(c)) return false;
            current.push_back(static_cast<char>(c));
            ++i;
        }
    }
    if (!endComponent()) return false;
    normal.assign(path.substr(0, 2));
    normal.push_back('\\');
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) normal.push_back('\\');
        normal += parts[i];
    }
    return true;
}

std::vector<std::string_view> PathComponents(std::string_view normal)
{
    std::vector<std::string_view> components;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= normal.size();) {
        if (i == normal.size() || normal[i] == '\\') {
            if (i > start) components.push_back(normal.substr(start, i - start));
            start = ++i;
        } else {
            i += IsLeadByte(static_cast<unsigned char>(normal[i])) && i + 1 < normal.size() ? 2 : 1;
        }
    }
    return components;
}

std::string JoinComponents(const std::vector<std::string_view>& components, std::size_t count)
{
    std::string path;
    for (std::size_t i = 0; i < count && i < components.size(); ++i) {
        if (i >= 2) path.push_back('\\');
        path += components[i];
        if (i == 0) path.push_back('\\');  // the drive's root keeps its backslash
    }
    return path;
}

bool SameName(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        std::size_t lenA = 0, lenB = 0;
        if (FoldedCharacter(a, i, lenA) != FoldedCharacter(b, j, lenB)) return false;
        i += lenA;
        j += lenB;
    }
    return i == a.size() && j == b.size();
}

bool IsWithin(std::string_view path, std::string_view folder, bool orSelf)
{
    const std::vector<std::string_view> inner = PathComponents(path);
    const std::vector<std::string_view> outer = PathComponents(folder);
    if (outer.empty() || inner.size() < outer.size() || (inner.size() == outer.size() && !orSelf)) return false;
    for (std::size_t i = 0; i < outer.size(); ++i)
        if (!SameName(inner[i], outer[i])) return false;
    return true;
}

bool IsShortcutFile(std::string_view path)
{
    const std::vector<std::string_view> components = PathComponents(path);
    if (components.size() < 2) return false;
    const std::string_view name = components.back();
    constexpr std::string_view kExtension = ".lnk";
    if (name.size() <= kExtension.size()) return false;
    const std::size_t at = name.size() - kExtension.size();
    return IsCharacterStart(name, at) && SameName(name.substr(at), kExtension);
}

} // namespace vela
