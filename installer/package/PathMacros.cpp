#include "installer/package/PathMacros.h"

#include <cstring>

#include "installer/package/Messages.h"
#include "installer/package/TextFields.h"

namespace vela {
namespace {

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

std::string ResolveStartMenuFolder(IPlatform& sys)
{
    std::string result;
    std::string value;
    switch (sys.ReadRegistryString(RegistryRoot::LocalMachine,
                                   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                   "Common Programs", value)) {
    case RegistryReadResult::KeyNotOpened:
        sys.ShowMessage(kMsgRegistryReadError, kCaptionError);
        break;
    case RegistryReadResult::ValueMissing:
        break;
    case RegistryReadResult::Read:
        // A value too long for its buffer is not read, as if it were missing.
        if (value.size() < kRegistryValueSize) result = value;
        break;
    }
    std::string own = sys.WindowsFolder() + "\\Start Menu\\Programs";
    if (sys.SetCurrentFolder(own)) result = own;
    return result;
}

bool ExpandPathMacros(IPlatform& sys, const InstallContext& ctx, char* text, std::size_t capacity)
{
    if (text[0] != '[') return true;
    TrimTrailingSpaces(text);
    std::string_view whole(text);
    std::size_t close = FindClosingBracket(whole);
    if (close == kNotFound) return false;
    std::string_view macro = whole.substr(0, close + 1);
    std::string rest(whole.substr(close + 1));

    std::string replacement;
    if (macro == kProgramFilesMacro) {
        replacement = "C:\\Program Files";
        std::string windows = sys.WindowsFolder();
        if (!windows.empty()) replacement[0] = windows[0];
    } else if (macro == kInstallDirMacro) {
        replacement = ctx.installPath;
    } else if (macro == kAbsoluteMacro) {
        // The rest is already a full path.
    } else if (macro == kWindowsMacro) {
        replacement = sys.WindowsFolder();
    } else if (macro == kSystemMacro) {
        replacement = sys.SystemFolder();
    } else if (macro == kDesktopMacro) {
        if (!sys.DesktopFolder(replacement)) return false;
    } else if (macro == kStartMenuMacro) {
        replacement = ResolveStartMenuFolder(sys);
    } else {
        return false;
    }
    return CopyText(text, capacity, replacement + rest);
}

} // namespace vela
