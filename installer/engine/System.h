#pragma once
// What the install engine needs of the target system beyond the start-up's
// services (IPlatform: folders of the system, message boxes, file streams and
// deletion, registry reads): folders, file attributes, programs, registry
// writes, the shell and shell links. Every text is GB2312; the Windows implementation converts at its
// boundary. Failures are reported by the returned value only: the engine
// decides what the user sees.
#include <cstddef>
#include <cstdint>
#include <string>

#include "installer/package/FixedText.h"
#include "installer/package/Platform.h"

namespace vela {

// An open registry key; kNoRegistryKey is "none".
using RegistryKey = std::uint64_t;
constexpr RegistryKey kNoRegistryKey = 0;

// Show states handed to programs and shell links.
constexpr int kShowNormal = 5;     // SW_SHOW
constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED

// What a shell link carries.
// Texts of a shell link and of a command line, in bytes with the
// terminating zero: room for a script path expanded in full and more.
inline constexpr std::size_t kLinkTextSize = 1024;
inline constexpr std::size_t kCommandLineSize = 2048;
using LinkText = FixedText<kLinkTextSize>;
using CommandText = FixedText<kCommandLineSize>;

struct ShellLinkFields {
    LinkText program;
    LinkText arguments;
    LinkText workingFolder;
    LinkText description;
    int showCommand = kShowNormal;
};

// How far the making of a shell link got. The file log records every link
// whose object could be made, saved or not.
enum class ShellLinkOutcome {
    NoObject,    // COM, the link object or its persist-file interface failed
    SaveFailed,  // the object was made but the file could not be written
    Saved,
};

// A program to start: commandLine as the program receives it and, when not
// empty, program naming the file to run, so the system does not look for it
// in the command line.
// A command line too long for its text is never started (Overflowed).
struct ProcessCommand {
    CommandText program;
    CommandText commandLine;
};

class IEngineSystem {
public:
    virtual ~IEngineSystem() = default;

    // Creates one folder; false when it fails (an existing folder included).
    virtual bool CreateFolder(std::string_view path) = 0;
    // Clears every attribute of an existing file (read-only and the like).
    virtual bool ClearFileAttributes(std::string_view path) = 0;
    // True when path names an existing file (not a folder).
    virtual bool IsFile(std::string_view path) = 0;
    // Puts the file from in place of the file to (which may or may not
    // exist) in one step: either to is the whole new file afterwards, or it
    // is left as it was and false is returned (a target in use, for one).
    virtual bool PutFileInPlace(std::string_view from, std::string_view to) = 0;

    // Starts a program (handles inherited, the installer's environment and
    // current folder) with the given show state and waits for it to end.
    // Without a program name the system finds the program in the command
    // line. False when the process cannot be created; otherwise exitCode
    // holds its exit code.
    virtual bool RunProcessAndWait(const ProcessCommand& command, int showState, std::uint32_t& exitCode) = 0;
    // Opens a file through the shell with its default verb, no parameters and
    // no working folder; does not wait. False when the shell refuses.
    virtual bool ShellOpen(std::string_view path, int showState) = 0;

    // Opens root\path with write access; an empty path opens the root itself.
    virtual RegistryKey OpenRegistryKey(RegistryRoot root, std::string_view path) = 0;
    // Creates (or opens, when it exists) the subkey name of parent.
    virtual RegistryKey CreateRegistrySubKey(RegistryKey parent, std::string_view name) = 0;
    // Writes a REG_SZ value, its terminating zero included.
    virtual bool SetRegistryString(RegistryKey key, std::string_view name,
                                   std::string_view text) = 0;
    virtual void CloseRegistryKey(RegistryKey key) = 0;

    // Makes a shell link object with the given fields and saves it as
    // linkPath. COM is initialised and uninitialised around the call on the
    // calling thread.
    virtual ShellLinkOutcome SaveShellLink(const ShellLinkFields& fields,
                                           std::string_view linkPath) = 0;
};

} // namespace vela
