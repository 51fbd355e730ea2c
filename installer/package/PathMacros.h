#pragma once
// Path macros: a script path begins with one bracketed macro that stands for
// a folder of the target machine.
#include <cstddef>
#include <string>
#include <string_view>

#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"

namespace vela {

// The macros, in the order they are compared.
inline constexpr std::string_view kProgramFilesMacro = "[Program Files]";
inline constexpr std::string_view kInstallDirMacro = "[InstallDir]";
inline constexpr std::string_view kAbsoluteMacro = "[Absolute Directory]";
inline constexpr std::string_view kWindowsMacro = "[Windows Directory]";
inline constexpr std::string_view kSystemMacro = "[Windows System]";
inline constexpr std::string_view kDesktopMacro = "[Windows Desktop]";
inline constexpr std::string_view kStartMenuMacro = "[Start Menu]";

// Rewrites text (a NUL-terminated GB2312 path in a buffer of capacity bytes)
// in place. A text that does not begin with "[" is left as it is, trailing
// blanks included. Otherwise trailing blanks are removed and a leading macro
// is replaced by its folder; an unknown macro, a desktop folder the shell
// cannot give, or a result that would not fit the buffer leaves the trimmed
// text unchanged. False when a macro was found but not expanded.
bool ExpandPathMacros(IPlatform& sys, const InstallContext& ctx, char* text, std::size_t capacity);

template <std::size_t N>
bool ExpandPathMacros(IPlatform& sys, const InstallContext& ctx, char (&text)[N])
{
    return ExpandPathMacros(sys, ctx, text, N);
}

// The start menu's programs folder: the Windows folder's "Start Menu\Programs"
// when it can be made the current folder (it then stays current), otherwise
// the all-users programs folder from the Shell Folders key. A key that cannot
// be opened is reported ("读取注册表时出错!") and gives an empty result.
SystemPath ResolveStartMenuFolder(IPlatform& sys);

} // namespace vela
