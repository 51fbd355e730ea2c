#pragma once
// The uninstaller's system services over Win32: wide file and folder
// removal, reparse points, logs replaced whole, the shell's Start Menu
// Programs and desktop folders, the Uninstall key of HKEY_LOCAL_MACHINE (in
// the registry view the installer writes, the 32-bit one) and message boxes
// without owner. Texts are GB2312 and converted at this boundary.
#include <string>

#include "installer/uninstall/Uninstall.h"

namespace w32 {

class CUninstallSystem final : public vela::IUninstallSystem {
public:
    std::unique_ptr<vela::IBinaryFile> OpenForReading(std::string_view path) override;
    vela::Removal RemoveFile(std::string_view path) override;
    vela::Removal RemoveFolder(const std::string& path) override;
    bool ReadUninstallString(const std::string& displayName, std::string& command) override;
    bool DeleteUninstallEntry(const std::string& displayName) override;
    bool Confirm(std::string_view text, std::string_view caption) override;
    void ShowMessage(std::string_view text, std::string_view caption, bool warning) override;
    vela::ShortcutFolders FindShortcutFolders() override;
    bool IsReparsePoint(const std::string& path) override;
    bool RewriteFile(const std::string& path, std::string_view bytes) override;
};

// The Uninstall key's path below HKEY_LOCAL_MACHINE, with the program's
// subkey when a display name is given.
std::wstring UninstallKeyPath(const std::string& displayName);

} // namespace w32
