#include "text/Gb2312.h"

namespace gb {

bool EndsInHalfCharacter(std::string_view text)
{
    std::size_t at = 0, last = 0;
    for (; at < text.size(); at += CharacterSize(text, at)) last = at;
    return !text.empty() && last + 1 == text.size() && IsLeadByte(static_cast<unsigned char>(text[last]));
}

std::size_t FindLastOf(std::string_view text, std::string_view bytes)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t at = 0; at < text.size(); at += CharacterSize(text, at))
        if (CharacterSize(text, at) == 1 && bytes.find(text[at]) != std::string_view::npos) found = at;
    return found;
}

std::string_view CutText(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes) return text;
    std::size_t end = 0;
    while (end + CharacterSize(text, end) <= maxBytes) end += CharacterSize(text, end);
    return text.substr(0, end);
}

} // namespace gb
