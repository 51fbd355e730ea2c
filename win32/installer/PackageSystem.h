#pragma once
// The installer start-up's system services over Win32: module and system
// folders, the temporary folder and local time, the desktop folder through
// the shell's item-identifier list, the current folder, registry reads,
// Windows sockets, owner-less message boxes and binary file streams. Texts
// are GB2312 and converted at this boundary.
#include <string>

#include "installer/package/Platform.h"

namespace w32 {

class CPackageSystem : public vela::IPlatform {
public:
    std::string ModuleFileName() override;
    std::string TemporaryFolder() override;
    vela::LocalTime Now() override;
    std::string WindowsFolder() override;
    std::string SystemFolder() override;
    bool DesktopFolder(std::string& path) override;
    bool SetCurrentFolder(const std::string& path) override;
    std::string CurrentFolder() override;
    vela::RegistryReadResult ReadRegistryString(vela::RegistryRoot root, const std::string& keyPath,
                                                const std::string& valueName, std::string& value) override;
    bool StartSockets() override;
    void ShowMessage(std::string_view text, std::string_view caption) override;
    std::unique_ptr<vela::IBinaryFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<vela::IBinaryFile> CreateForWriting(const std::string& path) override;
    std::unique_ptr<vela::IBinaryFile> CreateNewForWriting(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
};

} // namespace w32
