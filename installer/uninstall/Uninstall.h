#pragma once
// The uninstaller VelaUnInsApp: it receives the path of the file log that the
// installer wrote (installPath\ + display name + "file.ini"); the directory
// log lies beside it (display name + "dir.ini"). After the user confirms, it
// removes every file and shortcut the file log names, the two logs, every
// folder of the directory log that is empty (longest path first, so
// sub-folders go before their parents), and the program's Uninstall entry;
// what the user added is left alone, and what could not be removed is
// reported. Texts and paths are GB2312; the Win32 side converts at its
// boundary.
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

// What the uninstaller needs of the system.
class IUninstallSystem {
public:
    virtual ~IUninstallSystem() = default;
    virtual std::unique_ptr<IBinaryFile> OpenForReading(const std::string& path) = 0;
    // Deletes a file, clearing its attributes first (a read-only file goes
    // too). A folder is never deleted here.
    virtual Removal RemoveFile(const std::string& path) = 0;
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
};

// The file log's path from the command line: the text after the program's
// name (quoted or not), without surrounding blanks and without the quotes
// around it if it has them. The Uninstall entry writes it unquoted, so it
// may hold blanks.
std::string UninstallArgument(std::string_view commandLine);

// The two logs and the display name, found from the file log's path.
struct UninstallLogs {
    std::string fileLogPath;
    std::string dirLogPath;
    std::string displayName;
};

// False when the path is not a full path (drive, colon, backslash) ending in
// a non-empty display name followed by "file.ini" (letter case ignored).
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
    bool entryRemoved = false;              // the Uninstall entry was found and deleted
};

// The message shown at the end.
std::string ReportText(std::string_view displayName, const UninstallReport& report);

// How the uninstaller ended (its exit code).
enum class UninstallEnd {
    Done = 0,         // everything removed
    Partly = 1,       // removed, with something left (reported)
    Declined = 2,     // the user answered No: nothing touched
    BadArgument = 3,  // no usable file-log path: nothing touched
    LogUnreadable = 4,
};

// The whole uninstall for the command line's argument (see UninstallArgument):
// checks the argument and reads the logs, asks, removes, reports. The report
// is also handed back when reportOut is given.
UninstallEnd RunUninstall(IUninstallSystem& system, std::string_view argument,
                          UninstallReport* reportOut = nullptr);

// Largest log the uninstaller reads (bytes); a bigger file is not a log.
inline constexpr std::size_t kMaxLogSize = 16u << 20;

} // namespace vela
