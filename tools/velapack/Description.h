#pragma once
// The package builder's plain description: one "key = value" per line (see
// docs/velapack.md), turned into a PackageDescription with the stored files
// read from disk.
#include <string>
#include <string_view>
#include <vector>

#include "installer/package/PackageWriter.h"
#include "installer/package/Platform.h"

namespace velapack {

// Where the uninstaller lands: the installer's Uninstall entry and uninstall
// shortcut start it from the Windows folder under this name.
inline constexpr std::string_view kUninstallerTarget = "[Windows Directory]\\VelaUnInsApp.exe";

// What velapack tells the author about a description it accepted.
struct DescriptionNotes {
    std::vector<std::string> addedFolders;  // put into [Directory] by velapack
    std::vector<std::string> warnings;
};

// Parses a description, written in UTF-8 or GB2312 (see TextEncoding.h; an
// "encoding" line decides when present), into GB2312 texts. Relative file
// names are taken from baseFolder and read through files. Folders that
// receive files are added to the directories unless the description says
// "auto-directories = no". False with "line N: reason" (or a plain reason)
// in problem.
bool ParseDescription(std::string_view text, const std::string& baseFolder, vela::IPlatform& files,
                      vela::PackageDescription& description, std::string& problem, DescriptionNotes& notes);
bool ParseDescription(std::string_view text, const std::string& baseFolder, vela::IPlatform& files,
                      vela::PackageDescription& description, std::string& problem);

// Folders the installer would need but the description does not create:
// the folder of each stored file and the program group must be a bare macro
// folder or be listed as a directory (the copy step creates no folders).
std::vector<std::string> MissingFolders(const vela::PackageDescription& description);

// Adds to the directories every folder the installer needs and the
// description does not list, and returns them: the folder of each stored
// file (below "[InstallDir]" with the folders between, and "[InstallDir]"
// itself, so the uninstaller can remove them all) and the program group's
// folders under "[Start Menu]". Other bare macro folders (the Windows and
// system folders, the desktop) are never added.
std::vector<std::string> AddMissingFolders(vela::PackageDescription& description);

// True when two folder paths name the same folder: letters of single-byte
// characters compared without case, one trailing backslash ignored.
bool SameFolder(std::string_view a, std::string_view b);

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(vela::IPlatform& files, const std::string& path, std::string& bytes);

// A platform for the tool, which needs only files: the system services
// answer nothing and messages are dropped unless a subclass keeps them.
class CToolPlatformBase : public vela::IPlatform {
public:
    vela::SystemPath ModuleFileName() override { return {}; }
    vela::SystemPath TemporaryFolder() override { return {}; }
    vela::LocalTime Now() override { return {}; }
    vela::SystemPath WindowsFolder() override { return {}; }
    vela::SystemPath SystemFolder() override { return {}; }
    bool DesktopFolder(vela::SystemPath&) override { return false; }
    bool SetCurrentFolder(std::string_view) override { return false; }
    vela::SystemPath CurrentFolder() override { return {}; }
    vela::RegistryReadResult ReadRegistryString(vela::RegistryRoot, std::string_view, std::string_view,
                                                vela::SystemPath&) override
    {
        return vela::RegistryReadResult::KeyNotOpened;
    }
    bool StartSockets() override { return true; }
    void ShowMessage(std::string_view, std::string_view) override {}
};

// Files over the C library (paths handed to fopen unchanged), for the native
// tool and the tests.
vela::IPlatform& StdioFiles();

} // namespace velapack
