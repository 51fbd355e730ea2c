#pragma once
// The install engine's system services over Win32: CreateDirectoryW,
// SetFileAttributesW, MoveFileExW, CreateProcessW, ShellExecuteW, the registry's W
// functions and the shell link object (IShellLinkW, saved through
// IPersistFile). Texts are GB2312 and converted at this boundary.
#include <string>

#include "installer/engine/System.h"

namespace w32 {

class CEngineSystem final : public vela::IEngineSystem {
public:
    bool CreateFolder(const std::string& path) override;
    bool ClearFileAttributes(const std::string& path) override;
    bool IsFile(const std::string& path) override;
    bool PutFileInPlace(const std::string& from, const std::string& to) override;
    bool RunProcessAndWait(const vela::ProcessCommand& command, int showState, std::uint32_t& exitCode) override;
    bool ShellOpen(const std::string& path, int showState) override;
    vela::RegistryKey OpenRegistryKey(vela::RegistryRoot root, const std::string& path) override;
    vela::RegistryKey CreateRegistrySubKey(vela::RegistryKey parent, const std::string& name) override;
    bool SetRegistryString(vela::RegistryKey key, const std::string& name, const std::string& text) override;
    void CloseRegistryKey(vela::RegistryKey key) override;
    vela::ShellLinkOutcome SaveShellLink(const vela::ShellLinkFields& fields,
                                         const std::string& linkPath) override;
};

// Loads a saved shell link and reads its fields back through the shell link
// object (for checks and diagnostics); false when it cannot be loaded.
bool ReadShellLink(const std::string& linkPath, vela::ShellLinkFields& fields);

} // namespace w32
