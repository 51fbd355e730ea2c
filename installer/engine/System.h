#pragma once
// What the install engine needs of the target system beyond the start-up's
// services (IPlatform: folders of the system, message boxes, file streams and
// deletion, registry reads): folders, file attributes, programs, registry
// writes, the shell and shell links. Every text is GB2312; the Windows implementation converts at its
// boundary. Failures are reported by the returned value only: the engine
// decides what the user sees.
#include <cstdint>
#include <string>

#include "installer/package/Platform.h"

namespace vela {

// An open registry key; kNoRegistryKey is "none".
using RegistryKey = std::uint64_t;
constexpr RegistryKey kNoRegistryKey = 0;

// Show states handed to programs and shell links.
constexpr int kShowNormal = 5;     // SW_SHOW
constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED

// What a shell link carries.
struct ShellLinkFields {
    std::string program;
    std::string arguments;
    std::string workingFolder;
    std::string description;
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
struct ProcessCommand {
    std::string program;
    std::string commandLine;
};

class IEngineSystem {
public:
    virtual ~IEngineSystem() = default;

    // Creates one folder; false when it fails (an existing folder included).
    virtual bool CreateFolder(const std::string& path) = 0;
    // Clears every attribute of an existing file (read-only and the like).
    virtual bool ClearFileAttributes(const std::string& path) = 0;
    // True when path names an existing file (not a folder).
    virtual bool IsFile(const std::string& path) = 0;
    // Puts the file from in place of the file to (which may or may not
    // exist) in one step: either to is the whole new file afterwards, or it
    // is left as it was and false is returned (a target in use, for one).
    virtual bool PutFileInPlace(const std::string& from, const std::string& to) = 0;

    // Starts a program (handles inherited, the installer's environment and
    // current folder) with the given show state and waits for it to end.
    // Without a program name the system finds the program in the command
    // line. False when the process cannot be created; otherwise exitCode
    // holds its exit code.
    virtual bool RunProcessAndWait(const ProcessCommand& command, int showState, std::uint32_t& exitCode) = 0;
    // Opens a file through the shell with its default verb, no parameters and
    // no working folder; does not wait. False when the shell refuses.
    virtual bool ShellOpen(const std::string& path, int showState) = 0;

    // Opens root\path with write access; an empty path opens the root itself.
    virtual RegistryKey OpenRegistryKey(RegistryRoot root, const std::string& path) = 0;
    // Creates (or opens, when it exists) the subkey name of parent.
    virtual RegistryKey CreateRegistrySubKey(RegistryKey parent, const std::string& name) = 0;
    // Writes a REG_SZ value, its terminating zero included.
    virtual bool SetRegistryString(RegistryKey key, const std::string& name,
                                   const std::string& text) = 0;
    virtual void CloseRegistryKey(RegistryKey key) = 0;

    // Makes a shell link object with the given fields and saves it as
    // linkPath. COM is initialised and uninitialised around the call on the
    // calling thread.
    virtual ShellLinkOutcome SaveShellLink(const ShellLinkFields& fields,
                                           const std::string& linkPath) = 0;
};

} // namespace vela
