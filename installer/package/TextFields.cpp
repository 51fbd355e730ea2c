#include "installer/package/TextFields.h"

#include <algorithm>
#include <cstring>

namespace vela {

void TrimTrailingSpaces(char* text)
{
    std::size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == ' ') --n;
    text[n] = '\0';
}

std::int32_t ParseDecimalField(char* text)
{
    TrimTrailingSpaces(text);
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // The magnitude saturates at 2^31 (the most negative value), in 32 bits.
    constexpr std::uint32_t limit = std::uint32_t{1} << 31;
    std::uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value >= limit / 10 + 1 ? limit : std::min(limit, value * 10 + static_cast<std::uint32_t>(*p - '0'));
    if (negative) return static_cast<std::int32_t>(0 - value);
    return static_cast<std::int32_t>(std::min(value, limit - 1));
}

namespace {

// Calls visit(i) for each single-byte character position i that is a backslash.
template <typename Visit>
void ForEachBackslash(std::string_view text, Visit visit)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c)) {
            ++i;  // the trail byte belongs to this character
            continue;
        }
        if (c == '\\' && !visit(i)) return;
    }
}

} // namespace

std::size_t FindFirstBackslash(std::string_view text)
{
    std::size_t found = kNotFound;
    ForEachBackslash(text, [&](std::size_t i) { found = i; return false; });
    return found;
}

std::size_t FindLastBackslash(std::string_view text)
{
    std::size_t found = kNotFound;
    ForEachBackslash(text, [&](std::size_t i) { found = i; return true; });
    return found;
}

bool EndsWithBackslash(std::string_view text)
{
    return !text.empty() && FindLastBackslash(text) == text.size() - 1;
}

bool CopyText(char* buffer, std::size_t capacity, std::string_view text)
{
    if (capacity == 0 || text.size() >= capacity) return false;
    if (!text.empty()) std::memmove(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return true;
}

bool AppendText(char* buffer, std::size_t capacity, std::string_view text)
{
    std::size_t used = std::strlen(buffer);
    if (used >= capacity || text.size() >= capacity - used) return false;
    if (!text.empty()) std::memmove(buffer + used, text.data(), text.size());
    buffer[used + text.size()] = '\0';
    return true;
}

bool CopyText(char* buffer, std::size_t capacity, const char* text)
{
    return CopyText(buffer, capacity, std::string_view(text));
}

bool AppendText(char* buffer, std::size_t capacity, const char* text)
{
    return AppendText(buffer, capacity, std::string_view(text));
}

void CutLineEnd(char* line)
{
    std::size_t n = std::strlen(line);
    line[n >= 2 ? n - 2 : 0] = '\0';
}

bool IsHeaderLine(std::string_view line, std::string_view header)
{
    // The headers are constants of the program, never empty.
    return line.size() == header.size() + 2 && std::memcmp(line.data(), header.data(), header.size()) == 0 &&
           line[header.size()] == '\r' && line[header.size() + 1] == '\n';
}

bool IsHeaderLine(const char* line, std::string_view header)
{
    return IsHeaderLine(std::string_view(line), header);
}

void CopyColumns(std::string_view line, std::size_t first, std::size_t width, char* field)
{
    std::size_t n = 0;
    if (first < line.size()) n = std::min(width, line.size() - first);
    if (n > 0) std::memcpy(field, line.data() + first, n);
    field[n] = '\0';
}

} // namespace vela
