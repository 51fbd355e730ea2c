#pragma once
// The install engine's system services over Win32: CreateDirectoryW,
// SetFileAttributesW, MoveFileExW, CreateProcessW, ShellExecuteW, the registry's W
// functions and the shell link object (IShellLinkW, saved through
// IPersistFile). Texts are GB2312 and converted at this boundary.
#include <cstdint>
#include <string>

#include "installer/engine/System.h"

namespace w32 {

class CEngineSystem final : public vela::IEngineSystem {
public:
    bool CreateFolder(std::string_view path) override;
    bool ClearFileAttributes(std::string_view path) override;
    bool IsFile(std::string_view path) override;
    bool PutFileInPlace(std::string_view from, std::string_view to) override;
    bool RunProcessAndWait(const vela::ProcessCommand& command, int showState, std::uint32_t& exitCode) override;
    bool ShellOpen(std::string_view path, int showState) override;
    vela::RegistryKey OpenRegistryKey(vela::RegistryRoot root, std::string_view path) override;
    vela::RegistryKey CreateRegistrySubKey(vela::RegistryKey parent, std::string_view name) override;
    bool SetRegistryString(vela::RegistryKey key, std::string_view name, std::string_view text) override;
    void CloseRegistryKey(vela::RegistryKey key) override;
    vela::ShellLinkOutcome SaveShellLink(const vela::ShellLinkFields& fields,
                                         std::string_view linkPath) override;
};

// Starts the command's program with a show state; without a program name the
// system finds it in the command line. With exitCode, waits for it to end
// and gives its exit code. False when it cannot be started.
bool RunCommand(const vela::ProcessCommand& command, int showState, bool inheritHandles, unsigned long creationFlags,
                std::uint32_t* exitCode);

// Loads a saved shell link and reads its fields back through the shell link
// object (for checks and diagnostics); false when it cannot be loaded.
bool ReadShellLink(const std::string& linkPath, vela::ShellLinkFields& fields);

} // namespace w32
