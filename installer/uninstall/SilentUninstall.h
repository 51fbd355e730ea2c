#pragma once
// The uninstaller's silent run: "VelaUnInsApp.exe /S <file log>" removes
// without asking and without a report window; the exit code (UninstallEnd)
// tells how it went.
#include <string>
#include <string_view>

#include "installer/uninstall/Uninstall.h"

namespace vela {

// When the argument (as UninstallArgument gives it) begins with the switch
// "/S" (either case) and a blank, removes them and the quotes around the
// rest, and gives true. A file log's path is a full path, never "/S ...".
bool TakeSilentSwitch(std::string& argument);

// The system's services with the question answered Yes and the messages
// (the report, a refused argument) left unshown.
class CSilentUninstallSystem final : public IUninstallSystem {
public:
    explicit CSilentUninstallSystem(IUninstallSystem& inner) : inner_(inner) {}
    std::unique_ptr<IBinaryFile> OpenForReading(std::string_view path) override
    {
        return inner_.OpenForReading(path);
    }
    Removal RemoveFile(std::string_view path) override { return inner_.RemoveFile(path); }
    Removal RemoveFolder(const std::string& path) override { return inner_.RemoveFolder(path); }
    bool ReadUninstallString(const std::string& displayName, std::string& command) override
    {
        return inner_.ReadUninstallString(displayName, command);
    }
    bool DeleteUninstallEntry(const std::string& displayName) override
    {
        return inner_.DeleteUninstallEntry(displayName);
    }
    bool Confirm(std::string_view, std::string_view) override { return true; }
    void ShowMessage(std::string_view, std::string_view, bool) override {}
    ShortcutFolders FindShortcutFolders() override { return inner_.FindShortcutFolders(); }
    bool IsReparsePoint(const std::string& path) override { return inner_.IsReparsePoint(path); }
    bool RewriteFile(const std::string& path, std::string_view bytes) override
    {
        return inner_.RewriteFile(path, bytes);
    }

private:
    IUninstallSystem& inner_;
};

} // namespace vela
