#pragma once
// The uninstaller VelaUnInsApp: it receives the path of the file log that the
// installer wrote (installPath\ + display name + "file.ini"); the directory
// log lies beside it (display name + "dir.ini"). After the user confirms, it
// removes the files and shortcuts the file log names, then the two logs,
// then every folder of the directory log that is empty (longest path first,
// so sub-folders go before their parents), and the program's Uninstall
// entry.
//
// The logs lie in the install folder, which ordinary users may be able to
// write, so they are not trusted to say where the program's folders are.
// Only the install folder (the folder holding the file log) and the folders
// the system names for shortcuts are trusted: a logged path is removed only
// when it lies inside the install folder, or is a ".lnk" file inside a Start
// Menu Programs or desktop folder; a logged folder only when it is empty and
// is the install folder or lies inside it or inside a Programs folder. Any
// other logged path is kept, never touched, and listed; so is a path that
// passes through a junction or symbolic link (on its way to the install
// folder or below it, or below a shortcut folder).
//
// What the user added is left alone. When something could not be removed
// (a file held open by a running program), the logs are rewritten to hold
// what is left and the Uninstall entry stays, so the uninstall can be run
// again. Texts and paths are GB2312; the Win32 side converts at its boundary.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "installer/package/Platform.h"

namespace vela {

// How a removal went.
enum class Removal {
    Removed,
    Missing,   // nothing there (already gone): nothing to do
    NotEmpty,  // a folder that still holds something
    Failed,
};

// Where the system keeps shortcuts.
struct ShortcutFolders {
    std::vector<std::string> programs;  // the Start Menu's Programs folders
    std::vector<std::string> desktops;  // the desktop folders
};

// What the uninstaller needs of the system.
class IUninstallSystem {
public:
    virtual ~IUninstallSystem() = default;
    virtual std::unique_ptr<IBinaryFile> OpenForReading(std::string_view path) = 0;
    // Deletes a file, clearing its attributes first (a read-only file goes
    // too). A folder is never deleted here.
    virtual Removal RemoveFile(std::string_view path) = 0;
    // Removes a folder only when it is empty.
    virtual Removal RemoveFolder(const std::string& path) = 0;
    // The "UninstallString" of the program's subkey of the Uninstall key;
    // false when the subkey or the value is not there.
    virtual bool ReadUninstallString(const std::string& displayName, std::string& command) = 0;
    // Deletes the program's subkey of the Uninstall key.
    virtual bool DeleteUninstallEntry(const std::string& displayName) = 0;
    // A question with Yes and No (No the default); true for Yes.
    virtual bool Confirm(std::string_view text, std::string_view caption) = 0;
    // A message with an OK button; warning selects the warning icon.
    virtual void ShowMessage(std::string_view text, std::string_view caption, bool warning) = 0;
    // The folders the system names for shortcuts, the user's and all users'.
    // A folder the system cannot name is left out.
    virtual ShortcutFolders FindShortcutFolders() = 0;
    // True when the file or folder is a reparse point that leads elsewhere
    // (a junction, symbolic link or mount point), or when that cannot be
    // told; false when it is an ordinary file or folder (or one whose
    // reparse point leaves its name alone, such as a cloud placeholder) or
    // is not there.
    virtual bool IsReparsePoint(const std::string& path) = 0;
    // Replaces a file's content by these bytes, completely or not at all.
    virtual bool RewriteFile(const std::string& path, std::string_view bytes) = 0;
};

// The file log's path from the command line: the text after the program's
// name (quoted or not), without surrounding blanks and without the quotes
// around it if it has them. The Uninstall entry writes it unquoted, so it
// may hold blanks.
std::string UninstallArgument(std::string_view commandLine);

// The two logs and the display name, found from the file log's path.
struct UninstallLogs {
    std::string installFolder;  // the folder holding the file log
    std::string fileLogPath;
    std::string dirLogPath;
    std::string displayName;
};

// False when the path is not a full path (drive, colon, backslash) ending in
// a non-empty display name followed by "file.ini" (letter case ignored), or
// when the file log lies in a drive's root: no install folder is a root, and
// everything on the drive would lie inside it.
bool FindUninstallLogs(std::string_view fileLogPath, UninstallLogs& logs);

// The non-empty lines of a log, CR LF or LF ended; lines that are not full
// paths (drive, colon, backslash, something after it) are left out, so a
// damaged log can never name a relative path.
std::vector<std::string> ReadLogPaths(std::string_view bytes);

// Paths ordered longest first; paths of equal length keep their order.
void SortLongestFirst(std::vector<std::string>& paths);

// True when an Uninstall entry's command line hands this file log over: the
// text after its first blank equals the path (ASCII letter case ignored).
bool CommandNamesLog(std::string_view command, std::string_view fileLogPath);

// What was left behind.
struct UninstallReport {
    std::vector<std::string> filesLeft;     // files and shortcuts that could not be deleted
    std::vector<std::string> foldersKept;   // folders that still hold something
    std::vector<std::string> foldersLeft;   // folders that could not be removed otherwise
    std::vector<std::string> keptOutside;   // logged paths outside the program's folders: not touched
    std::vector<std::string> refusedLinks;  // logged paths through a junction or symbolic link: not touched
    bool logsKept = false;                  // something could not be removed: the logs, rewritten, and
                                            // the entry stay for another run
    bool entryRemoved = false;              // the Uninstall entry was found and deleted
};

// The message shown at the end.
std::string ReportText(std::string_view displayName, const UninstallReport& report);

// How the uninstaller ended (its exit code).
enum class UninstallEnd {
    Done = 0,         // everything removed
    Partly = 1,       // removed, with something left or kept (reported)
    Declined = 2,     // the user answered No: nothing touched
    BadArgument = 3,  // no usable file-log path: nothing touched
    LogUnreadable = 4,
};

// The whole uninstall for the command line's argument (see UninstallArgument):
// checks the argument and reads the logs, asks, removes, reports. A missing
// file log offers to remove the Uninstall entry that hands it over (No is
// the default). The report is also handed back when reportOut is given.
UninstallEnd RunUninstall(IUninstallSystem& system, std::string_view argument,
                          UninstallReport* reportOut = nullptr);

// Largest log the uninstaller reads (bytes); a bigger file is not a log.
inline constexpr std::size_t kMaxLogSize = 16u << 20;

} // namespace vela
