#pragma once
// The install engine's operations on the target system: folders with all their
// parents, programs run and waited for, installed files acted on by their
// extension, registry scripts and shell shortcuts. They run on the install
// worker's thread (CreateDirectoryChain on either thread) and fail silently
// unless a message is named below.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "installer/engine/System.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"
#include "installer/package/TextFields.h"

namespace vela {

// The services and state the operations work with.
struct EngineEnvironment {
    IPlatform& platform;
    IEngineSystem& system;
    const InstallContext& context;
};

// Creates path with all its parents: the first three characters are the root
// ("C:\"); every backslash after it ends one folder to create, and the whole
// path is created last. Paths shorter than 4 characters are left alone. Every
// failure, an existing folder included, is ignored. Double-byte characters are
// stepped over, so a trail byte 0x5C is never taken for a backslash.
void CreateDirectoryChain(IEngineSystem& system, std::string_view path);

// The system reads an unquoted command line up to each blank in turn and
// runs the first file it finds (adding ".exe"), so for
// C:\Program Files\App\app.exe it tries C:\Program.exe first. When the text
// up to the first blank names no existing file but a longer prefix ending at
// a blank (or the whole text) does, that prefix is the program: it is named
// separately and quoted in the command line, and the arguments after it stay
// exactly as written. A command line that starts with a quote, has no blank,
// or whose first word names a file goes to the system as it stands.
// Double-byte characters are stepped over.
// isFile is asked with NUL-terminated prefixes of the command line. A command
// line too long for a CommandText comes back Overflowed.
template <typename IsFile>
ProcessCommand ResolveCommandLine(std::string_view commandLine, IsFile&& isFile);
// The same with the system's own file test.
ProcessCommand ResolveCommandLine(IEngineSystem& system, std::string_view commandLine);

// Runs a command line with a show state and waits for it. When the program
// cannot be started shows "创建程序进程失败!" (caption "错误") and returns -1;
// otherwise returns the program's exit code.
std::int64_t RunAndWait(const EngineEnvironment& env, std::string_view commandLine, int showState);

// The command that registers a component silently with the system folder's
// regsvr32: "[Windows System]\regsvr32.exe "path" /s", macro expanded.
// False when it does not fit a command line.
bool RegisterCommand(const EngineEnvironment& env, std::string_view componentPath, CommandText& command);

// Acts on an installed file by its three-letter extension (letter case
// ignored): "exe" is run and waited for, "dll" and "ocx" are registered, any
// other extension is opened through the shell, maximised, without waiting. A
// path whose fourth character from the end is not "." is left alone.
void RunInstallAction(const EngineEnvironment& env, std::string_view path);

// One line of a registry script, CR LF already cut.
enum class RegistryLineKind { Empty, Key, Value };
RegistryLineKind ClassifyRegistryLine(std::string_view line);

// Parses a quoted "name"="text" value line. False (nothing to write) when the
// line is not of that form.
// Name and text are parts of line.
bool ParseRegistryValueLine(std::string_view line, std::string_view& name, std::string_view& text);

// Splits a key line "[ROOT\a\b\c]" into its root and the key path "a\b\c".
// False when the root is none of the five keywords, the line has no backslash
// or does not end in "]".
// The key path is a part of line.
bool ParseRegistryKeyLine(std::string_view line, RegistryRoot& root, std::string_view& keyPath);

// Selects the key a key line names, creating every missing level below the
// root. Returns kNoRegistryKey when the line names no valid key or a level
// cannot be opened or made. The caller closes the key it gets.
RegistryKey OpenRegistryKeyPath(IEngineSystem& system, std::string_view keyLine);

// Applies a registry script: key lines select (and create) a key, value lines
// write REG_SZ values into it. Lines are read with a bound of 480; a last line
// without CR LF is not applied. Value lines before any key line, or after a key
// line that names no valid key, are skipped; so is a line longer than the
// bound, whole. A script that cannot be opened is ignored.
void ImportRegistryScript(const EngineEnvironment& env, std::string_view path);

// A [Menu] target field cut at its first "/": the program path before it
// (without one trailing blank) and the argument text after it, both parts of
// the field.
struct ShortcutTarget {
    std::string_view program;
    std::string_view arguments;
};
ShortcutTarget SplitShortcutTarget(std::string_view field);

// The working folder of a shortcut: the program path up to its last
// backslash, without it unless the result would be three characters or fewer
// (a drive root such as "D:\" keeps it), a part of program. Empty when the
// path has no backslash.
std::string_view ShortcutWorkingFolder(std::string_view program);

enum class ShortcutPlace { ProgramGroup, Desktop };

// Where a shortcut goes and what it is recorded in.
struct ShortcutDestination {
    std::string_view startMenuGroupPath;  // ends in a backslash
    IBinaryFile* fileLog = nullptr;  // receives the link's path and CR LF
};

// Writes the shell link name.lnk for program (arguments, working folder,
// description = name, show state 5) in the program group or on the desktop.
// Nothing is made when the desktop folder cannot be found; a link whose object
// was made is recorded in the file log even when saving it fails.
void CreateShortcut(const EngineEnvironment& env, const ShortcutDestination& destination,
                    std::string_view program, std::string_view name, ShortcutPlace place,
                    std::string_view arguments);

template <typename IsFile>
ProcessCommand ResolveCommandLine(std::string_view commandLine, IsFile&& isFile)
{
    ProcessCommand command;
    command.commandLine = commandLine;
    if (command.commandLine.Overflowed() || commandLine.empty() || commandLine.front() == '"') return command;

    // Each place a blank ends a word, then the end of the text: the first
    // word left as written when it names a file, else the shortest longer
    // prefix that does. Each prefix is tried in program.
    CommandText& prefix = command.program;
    std::size_t previous = 0;
    bool firstWord = true;
    for (std::size_t i = 0;; i += IsLeadByte(static_cast<unsigned char>(commandLine[i])) ? 2 : 1) {
        const bool atEnd = i >= commandLine.size();
        if (!atEnd && commandLine[i] != ' ' && commandLine[i] != '\t') continue;
        if (i == 0 || (atEnd && firstWord)) break;  // a leading blank, or none at all
        // The system drops trailing blanks of a file name: "app.exe " would
        // name app.exe, but that is the shorter prefix's business.
        if (firstWord || previous + 1 != i) {
            prefix = commandLine.substr(0, i);
            if (isFile(prefix.c_str())) {
                if (firstWord) break;  // the first word is a file
                command.commandLine.Clear();
                command.commandLine.Append('"');
                command.commandLine.Append(prefix);
                command.commandLine.Append('"');
                command.commandLine.Append(commandLine.substr(prefix.size()));
                return command;
            }
        }
        if (atEnd) break;  // nothing found
        firstWord = false;
        previous = i;
    }
    // Left to the system as written.
    prefix.Clear();
    return command;
}

} // namespace vela
