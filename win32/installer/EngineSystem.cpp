#include "win32/installer/EngineSystem.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "win32/installer/RegistryRoots.h"
#include "win32/platform/Text.h"

namespace w32 {
namespace {

// The shell-link class and the two interfaces used here, with their
// documented values, so the link does not pull in the system's whole table
// of identifiers.
constexpr GUID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HKEY ToHkey(vela::RegistryKey key) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key)); }
vela::RegistryKey FromHkey(HKEY key) { return static_cast<vela::RegistryKey>(reinterpret_cast<std::uintptr_t>(key)); }

// COM for the calling thread, for the lifetime of one operation.
class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (ok_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_;
};

template <typename T>
void Release(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}

} // namespace

bool CEngineSystem::CreateFolder(std::string_view path)
{
    return CreateDirectoryW(WideText(path).c_str(), nullptr) != 0;
}

bool CEngineSystem::ClearFileAttributes(std::string_view path)
{
    const WideText wide(path);
    if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool CEngineSystem::IsFile(std::string_view path)
{
    const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CEngineSystem::PutFileInPlace(std::string_view from, std::string_view to)
{
    return MoveFileExW(WideText(from).c_str(), WideText(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RunCommand(const vela::ProcessCommand& command, int showState, bool inheritHandles, unsigned long creationFlags,
                std::uint32_t* exitCode)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION process;

    // CreateProcessW may write into the command line: give it its own copy.
    const WideText program(command.program);
    WideText line(command.commandLine);
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), line.data(), nullptr, nullptr, inheritHandles,
                        creationFlags, nullptr, nullptr, &startup, &process))
        return false;

    if (exitCode) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        *exitCode = code;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool CEngineSystem::RunProcessAndWait(const vela::ProcessCommand& command, int showState, std::uint32_t& exitCode)
{
    return RunCommand(command, showState, true, NORMAL_PRIORITY_CLASS, &exitCode);
}

bool CEngineSystem::ShellOpen(std::string_view path, int showState)
{
    const HINSTANCE result = ShellExecuteW(nullptr, nullptr, WideText(path).c_str(), nullptr, nullptr, showState);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

vela::RegistryKey CEngineSystem::OpenRegistryKey(vela::RegistryRoot root, std::string_view path)
{
    HKEY key = nullptr;
    const WideText wide(path);
    if (RegOpenKeyExW(RootKey(root), path.empty() ? nullptr : wide.c_str(), 0,
                      KEY_WRITE | kPackageRegistryView, &key) != ERROR_SUCCESS)
        return vela::kNoRegistryKey;
    return FromHkey(key);
}

vela::RegistryKey CEngineSystem::CreateRegistrySubKey(vela::RegistryKey parent, std::string_view name)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(ToHkey(parent), WideText(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | kPackageRegistryView,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return vela::kNoRegistryKey;
    return FromHkey(key);
}

bool CEngineSystem::SetRegistryString(vela::RegistryKey key, std::string_view name, std::string_view text)
{
    const WideText wideText(text);
    const DWORD bytes = static_cast<DWORD>((wideText.size() + 1) * sizeof(wchar_t));  // with its zero
    return RegSetValueExW(ToHkey(key), WideText(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wideText.c_str()), bytes) == ERROR_SUCCESS;
}

void CEngineSystem::CloseRegistryKey(vela::RegistryKey key)
{
    if (key != vela::kNoRegistryKey) RegCloseKey(ToHkey(key));
}

vela::ShellLinkOutcome CEngineSystem::SaveShellLink(const vela::ShellLinkFields& fields, std::string_view linkPath)
{
    ComScope com;
    if (!com.Ok()) return vela::ShellLinkOutcome::NoObject;

    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return vela::ShellLinkOutcome::NoObject;

    // The texts are GB2312; through the wide interface they come out right
    // whatever the system's code page is.
    struct LinkSetter {
        vela::LinkText vela::ShellLinkFields::*field;
        HRESULT (STDMETHODCALLTYPE IShellLinkW::*set)(LPCWSTR);
    };
    static constexpr LinkSetter kSetters[] = {
        {&vela::ShellLinkFields::arguments, &IShellLinkW::SetArguments},
        {&vela::ShellLinkFields::program, &IShellLinkW::SetPath},
        {&vela::ShellLinkFields::workingFolder, &IShellLinkW::SetWorkingDirectory},
        {&vela::ShellLinkFields::description, &IShellLinkW::SetDescription},
    };
    for (const LinkSetter& setter : kSetters) (link->*setter.set)(WideText(fields.*setter.field).c_str());
    link->SetShowCmd(fields.showCommand);

    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        Release(link);
        return vela::ShellLinkOutcome::NoObject;
    }
    const bool saved = SUCCEEDED(file->Save(WideText(linkPath).c_str(), TRUE));
    Release(file);
    Release(link);
    return saved ? vela::ShellLinkOutcome::Saved : vela::ShellLinkOutcome::SaveFailed;
}

bool ReadShellLink(const std::string& linkPath, vela::ShellLinkFields& fields)
{
    ComScope com;
    if (!com.Ok()) return false;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(WideText(linkPath).c_str(), STGM_READ));
    if (ok) {
        wchar_t text[INFOTIPSIZE] = {};
        // The target as the shell resolves it, from the link's item-identifier
        // list. The link's plain path copy is kept in the system's code page by
        // some shell implementations (Wine's), which cannot hold every name.
        LPITEMIDLIST target = nullptr;
        if (SUCCEEDED(link->GetIDList(&target)) && target && SHGetPathFromIDListW(target, text)) {
            fields.program = Narrow(text);
        } else {
            ok = SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
            fields.program = Narrow(text);
        }
        if (target) CoTaskMemFree(target);
        text[0] = L'\0';
        link->GetArguments(text, INFOTIPSIZE);
        fields.arguments = Narrow(text);
        text[0] = L'\0';
        link->GetWorkingDirectory(text, MAX_PATH);
        fields.workingFolder = Narrow(text);
        text[0] = L'\0';
        link->GetDescription(text, INFOTIPSIZE);
        fields.description = Narrow(text);
        int show = 0;
        link->GetShowCmd(&show);
        fields.showCommand = show;
    }
    Release(file);
    Release(link);
    return ok;
}

} // namespace w32
