#pragma once
// Where the uninstaller may remove things. A log is a file anyone who can
// write the install folder can edit, so its paths are brought to one form
// ("." and ".." resolved) and compared with the folders the uninstaller
// trusts component by component, ignoring letter case the way the file
// system does, stepping over double-byte characters (0x5C can be a trail
// byte). Texts are GB2312.
#include <string>
#include <string_view>
#include <vector>

namespace vela {

// Brings a full path (drive letter, colon, backslash) to one form: "\" and
// "/" both separate components, empty and "." components are dropped, ".."
// takes the previous component away. The result is "X:\a\b", or "X:\" for
// the drive root. False, with normal left empty, for a path that is not a
// full path, whose ".." climbs above its drive, or that holds a component
// Windows could read otherwise than we do: one ending in a dot or a blank
// (Windows drops those, so "..." or ".. " would climb), one with a colon,
// wildcard, quote, angle bracket, bar or control character, or a lead byte
// without a valid trail byte.
bool NormalisePath(std::string_view path, std::string& normal);

// The components of a normalised path, the drive ("X:") first.
std::vector<std::string_view> PathComponents(std::string_view normal);

// The path made of the first count components of a normalised path.
std::string JoinComponents(const std::vector<std::string_view>& components, std::size_t count);

// True when two names are the same name to the file system: ASCII letters
// and GB2312's full-width, Greek and Cyrillic letters without case, every
// other character exactly. Where the file system folds more, a path only
// looks outside and is kept: never the other way round.
bool SameName(std::string_view a, std::string_view b);

// True when a normalised path lies inside a normalised folder, or is the
// folder itself when orSelf is set.
bool IsWithin(std::string_view path, std::string_view folder, bool orSelf);

// True when the last component of a normalised path ends in ".lnk"
// (letter case ignored).
bool IsShortcutFile(std::string_view path);

} // namespace vela
