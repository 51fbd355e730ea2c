#include "painter/app/view/ViewText.h"

#include "painter/app/view/DrawingView.h"
#include "text/Gb2312.h"

#include <cctype>
#include <climits>

namespace rv {

std::string FolderOfPath(std::string_view path)
{
    const std::size_t last = gb::FindLastOf(path, "\\");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

int ReadDialogNumber(std::string_view text, std::size_t maxChars)
{
    text = text.substr(0, std::min(maxChars, text.size()));
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) value = INT_MAX; // only reachable with more than four characters
    }
    return static_cast<int>(negative ? -value : value);
}

const char* SaveNameProblem(std::string_view name)
{
    if (name.empty() || name.size() > kMaxSaveName || gb::EndsInHalfCharacter(name)) return kInvalidFileName;
    for (std::size_t i = 0; i < name.size(); i += gb::CharacterSize(name, i)) {
        if (gb::CharacterSize(name, i) == 2) continue; // its second byte may be any value
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F) return kInvalidFileName;
        for (const char bad : std::string_view("\\/:*?\"<>|"))
            if (c == static_cast<unsigned char>(bad)) return kInvalidFileName;
    }
    // Windows opens the devices under these names whatever the extension.
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices)
        if (stem == device) return kInvalidFileName;
    if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '1' &&
        stem[3] <= '9')
        return kInvalidFileName;
    return nullptr;
}

std::string SavePath(bool stereogram, std::string_view name, bool png)
{
    std::string path = stereogram ? ".\\result\\" : ".\\sample\\";
    path.append(name);
    path += png ? ".png" : ".bmp";
    return path;
}

} // namespace rv
