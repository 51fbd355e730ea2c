#pragma once
// Test doubles for the install engine: a recording system with an in-memory
// registry, and a platform with fixed folders and in-memory files.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "installer/engine/Operations.h"
#include "installer/engine/System.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"

namespace vela::test {

class FakeEngineSystem final : public IEngineSystem {
public:
    // Folders
    std::vector<std::string> foldersCreated;
    std::set<std::string> existingFolders;
    bool CreateFolder(std::string_view path) override;
    std::vector<std::string> attributesCleared;
    bool ClearFileAttributes(std::string_view path) override;

    // Files: IsFile answers from existingFiles; PutFileInPlace moves a name
    // there (refused while refuseReplace).
    std::set<std::string> existingFiles;
    bool IsFile(std::string_view path) override { return existingFiles.count(std::string(path)) > 0; }
    bool refuseReplace = false;
    bool PutFileInPlace(std::string_view from, std::string_view to) override;

    // Programs
    struct Run {
        std::string commandLine;
        int showState;
        std::string program;  // empty: the system finds it in the command line
    };
    std::vector<Run> runs;
    bool processStarts = true;
    std::uint32_t exitCode = 0;
    bool RunProcessAndWait(const ProcessCommand& command, int showState, std::uint32_t& code) override;
    std::vector<Run> shellOpens;
    bool ShellOpen(std::string_view path, int showState) override;

    // Registry: keys are "ROOT\a\b" paths (the root's index as ROOT).
    std::map<std::string, std::map<std::string, std::string>> keys;
    std::vector<std::string> keysCreated;  // in order of creation
    void AddKey(RegistryRoot root, const std::string& path);
    bool HasKey(RegistryRoot root, const std::string& path) const;
    std::string Value(RegistryRoot root, const std::string& path, const std::string& name) const;
    std::size_t OpenKeyCount() const { return handles_.size(); }
    bool refuseCreate = false;

    RegistryKey OpenRegistryKey(RegistryRoot root, std::string_view path) override;
    RegistryKey CreateRegistrySubKey(RegistryKey parent, std::string_view name) override;
    bool SetRegistryString(RegistryKey key, std::string_view name, std::string_view text) override;
    void CloseRegistryKey(RegistryKey key) override;

    // Shell links
    struct Link {
        ShellLinkFields fields;
        std::string path;
    };
    std::vector<Link> links;
    ShellLinkOutcome linkOutcome = ShellLinkOutcome::Saved;
    ShellLinkOutcome SaveShellLink(const ShellLinkFields& fields, std::string_view linkPath) override;

    static std::string KeyName(RegistryRoot root, const std::string& path);

private:
    std::map<RegistryKey, std::string> handles_;
    RegistryKey next_ = 1;
};

// An in-memory file written through IBinaryFile.
class MemoryFile final : public IBinaryFile {
public:
    explicit MemoryFile(std::shared_ptr<std::string> data) : data_(std::move(data)) {}
    bool Seek(std::uint64_t offset) override;
    std::size_t Read(void* buffer, std::size_t size) override;
    std::size_t Write(const void* data, std::size_t size) override;
    std::uint64_t Length() override { return data_->size(); }

private:
    std::shared_ptr<std::string> data_;
    std::size_t pos_ = 0;
};

class FakePlatform final : public IPlatform {
public:
    std::string windowsFolder = "C:\\WINDOWS";
    std::string systemFolder = "C:\\WINDOWS\\system32";
    std::string desktopFolder = "C:\\Users\\me\\Desktop";
    bool desktopAvailable = true;
    std::map<std::string, std::shared_ptr<std::string>> files;
    struct Message {
        std::string text;
        std::string caption;
    };
    std::vector<Message> messages;

    SystemPath ModuleFileName() override { return SystemPath("C:\\setup\\VelaInstall.exe"); }
    SystemPath TemporaryFolder() override { return SystemPath("C:\\TEMP\\"); }
    LocalTime Now() override { return {}; }
    SystemPath WindowsFolder() override { return SystemPath(windowsFolder); }
    SystemPath SystemFolder() override { return SystemPath(systemFolder); }
    bool DesktopFolder(SystemPath& path) override;
    bool SetCurrentFolder(std::string_view) override { return false; }
    SystemPath CurrentFolder() override { return SystemPath("C:\\"); }
    RegistryReadResult ReadRegistryString(RegistryRoot, std::string_view, std::string_view,
                                          SystemPath&) override
    {
        return RegistryReadResult::KeyNotOpened;
    }
    bool StartSockets() override { return true; }
    void ShowMessage(std::string_view text, std::string_view caption) override
    {
        messages.push_back({std::string(text), std::string(caption)});
    }
    std::unique_ptr<IBinaryFile> OpenForReading(std::string_view path) override;
    std::unique_ptr<IBinaryFile> CreateForWriting(std::string_view path) override;
    bool RemoveFile(std::string_view path) override { return files.erase(std::string(path)) > 0; }
};

// A platform, a system and a context wired into one engine environment.
struct EngineFixture {
    FakePlatform platform;
    FakeEngineSystem system;
    InstallContext context;
    EngineEnvironment env{platform, system, context};

    // Applies a registry script held in memory, as a file of the install.
    void ImportScript(const std::string& script)
    {
        platform.files["C:\\App\\reg.txt"] = std::make_shared<std::string>(script);
        ImportRegistryScript(env, "C:\\App\\reg.txt");
    }
};

} // namespace vela::test
