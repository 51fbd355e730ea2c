#include "installer/package/PathMacros.h"

#include <cstring>
#include <iterator>

#include "installer/package/Messages.h"
#include "installer/package/TextFields.h"

namespace vela {
namespace {

using namespace std::string_view_literals;

constexpr std::size_t kRegistryValueSize = 260;  // zeroed buffer for "Common Programs"

// Position of the first "]" that is a character of its own.
std::size_t FindClosingBracket(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c)) {
            ++i;
            continue;
        }
        if (c == ']') return i;
    }
    return kNotFound;
}

} // namespace

SystemPath ResolveStartMenuFolder(IPlatform& sys)
{
    SystemPath folder;
    const RegistryReadResult read =
        sys.ReadRegistryString(RegistryRoot::LocalMachine,
                               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"sv,
                               "Common Programs"sv, folder);
    if (read == RegistryReadResult::KeyNotOpened)
        sys.ShowMessage(Constant(kMsgRegistryReadError), Constant(kCaptionError));
    // A value too long for its buffer is not read, as if it were missing.
    if (read != RegistryReadResult::Read || folder.Overflowed() || folder.size() >= kRegistryValueSize)
        folder.Clear();
    SystemPath own = sys.WindowsFolder();
    if (!own.empty() && own.Append("\\Start Menu\\Programs"sv) && sys.SetCurrentFolder(own)) folder = own;
    return folder;
}

bool ExpandPathMacros(IPlatform& sys, const InstallContext& ctx, char* text, std::size_t capacity)
{
    if (text[0] != '[') return true;
    TrimTrailingSpaces(text);
    const std::size_t length = std::strlen(text);
    const std::size_t close = FindClosingBracket({text, length});
    if (close == kNotFound) return false;
    const std::string_view macro(text, close + 1);

    static constexpr std::string_view kMacros[] = {kProgramFilesMacro, kInstallDirMacro, kAbsoluteMacro,
                                                   kWindowsMacro,      kSystemMacro,     kDesktopMacro,
                                                   kStartMenuMacro};
    std::size_t which = 0;
    while (which < std::size(kMacros) && macro != kMacros[which]) ++which;

    // The folder is copied first: the text may be the install path itself.
    SystemPath replacement;
    switch (which) {
    case 0: {  // Program Files on the Windows folder's drive
        const SystemPath windows = sys.WindowsFolder();
        replacement.Append(windows.empty() ? 'C' : windows.c_str()[0]);
        replacement.Append(":\\Program Files"sv);
        break;
    }
    case 1:
        replacement = ctx.installPath;
        break;
    case 2:  // the rest is already a full path
        break;
    case 3:
        replacement = sys.WindowsFolder();
        break;
    case 4:
        replacement = sys.SystemFolder();
        break;
    case 5:
        if (!sys.DesktopFolder(replacement)) return false;
        break;
    case 6:
        replacement = ResolveStartMenuFolder(sys);
        break;
    default:
        return false;
    }
    // The folder takes the macro's place; the rest moves up or down behind it.
    const std::size_t restLength = length - (close + 1);
    if (replacement.Overflowed() || replacement.size() + restLength >= capacity) return false;
    std::memmove(text + replacement.size(), text + close + 1, restLength + 1);
    std::memcpy(text, replacement.c_str(), replacement.size());
    return true;
}

} // namespace vela
