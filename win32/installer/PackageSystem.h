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
    vela::SystemPath ModuleFileName() override;
    vela::SystemPath TemporaryFolder() override;
    vela::LocalTime Now() override;
    vela::SystemPath WindowsFolder() override;
    vela::SystemPath SystemFolder() override;
    bool DesktopFolder(vela::SystemPath& path) override;
    bool SetCurrentFolder(std::string_view path) override;
    vela::SystemPath CurrentFolder() override;
    vela::RegistryReadResult ReadRegistryString(vela::RegistryRoot root, std::string_view keyPath,
                                                std::string_view valueName, vela::SystemPath& value) override;
    bool StartSockets() override;
    void ShowMessage(std::string_view text, std::string_view caption) override;
    std::unique_ptr<vela::IBinaryFile> OpenForReading(std::string_view path) override;
    std::unique_ptr<vela::IBinaryFile> CreateForWriting(std::string_view path) override;
    std::unique_ptr<vela::IBinaryFile> CreateNewForWriting(std::string_view path) override;
    bool RemoveFile(std::string_view path) override;
};

} // namespace w32
