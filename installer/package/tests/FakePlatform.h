#pragma once
// A recording system for the installer's core: an in-memory file system
// keyed by exact GB2312 path, configurable folders, registry and failures,
// and a log of the message boxes shown.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "installer/package/Platform.h"

namespace vela::test {

struct ShownMessage {
    std::string text;
    std::string caption;
};

class FakePlatform : public IPlatform {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;          // folders that can be made current
    std::set<std::string> uncreatable;      // paths CreateForWriting refuses
    std::set<std::string> unreadable;       // paths OpenForReading refuses
    std::string moduleFileName = "C:\\Setup\\VelaInstall.exe";
    std::string temporaryFolder = "C:\\Temp\\";
    LocalTime now{2026, 12, 7, 5, 43, 28, 123};
    std::string windowsFolder = "C:\\WINDOWS";
    std::string systemFolder = "C:\\WINDOWS\\system32";
    bool desktopAvailable = true;
    std::string desktopFolder = "C:\\WINDOWS\\Desktop";
    std::string currentFolder = "C:\\";
    bool shellFoldersKeyOpens = true;
    std::map<std::string, std::string> registryValues;  // "root|key|value" -> text
    bool socketsStart = true;
    std::vector<ShownMessage> messages;
    int readOpens = 0;

    static std::string RegistryName(RegistryRoot root, const std::string& key, const std::string& value)
    {
        return std::to_string(static_cast<int>(root)) + "|" + key + "|" + value;
    }

    SystemPath ModuleFileName() override { return SystemPath(moduleFileName); }
    SystemPath TemporaryFolder() override { return SystemPath(temporaryFolder); }
    LocalTime Now() override { return now; }
    SystemPath WindowsFolder() override { return SystemPath(windowsFolder); }
    SystemPath SystemFolder() override { return SystemPath(systemFolder); }
    bool DesktopFolder(SystemPath& path) override
    {
        if (desktopAvailable) path = desktopFolder;
        return desktopAvailable;
    }
    bool SetCurrentFolder(std::string_view pathText) override
    {
        const std::string path(pathText);
        if (!folders.count(path)) return false;
        currentFolder = path;
        return true;
    }
    SystemPath CurrentFolder() override { return SystemPath(currentFolder); }
    RegistryReadResult ReadRegistryString(RegistryRoot root, std::string_view keyPathText,
                                          std::string_view valueNameText, SystemPath& value) override
    {
        const std::string keyPath(keyPathText);
        const std::string valueName(valueNameText);
        if (!shellFoldersKeyOpens) return RegistryReadResult::KeyNotOpened;
        auto it = registryValues.find(RegistryName(root, keyPath, valueName));
        if (it == registryValues.end()) return RegistryReadResult::ValueMissing;
        value = it->second;
        return RegistryReadResult::Read;
    }
    bool StartSockets() override { return socketsStart; }
    void ShowMessage(std::string_view text, std::string_view caption) override
    {
        messages.push_back({std::string(text), std::string(caption)});
    }
    std::unique_ptr<IBinaryFile> OpenForReading(std::string_view pathText) override
    {
        const std::string path(pathText);
        ++readOpens;
        auto it = files.find(path);
        if (it == files.end() || unreadable.count(path)) return nullptr;
        return OpenMemoryFile(it->second);
    }
    std::unique_ptr<IBinaryFile> CreateForWriting(std::string_view pathText) override
    {
        const std::string path(pathText);
        if (uncreatable.count(path)) return nullptr;
        files[path].clear();
        return std::make_unique<Writer>(files[path]);
    }
    bool RemoveFile(std::string_view path) override { return files.erase(std::string(path)) > 0; }

private:
    class Writer : public IBinaryFile {
    public:
        explicit Writer(std::string& bytes) : bytes_(bytes) {}
        bool Seek(std::uint64_t offset) override
        {
            pos_ = offset;
            return true;
        }
        std::size_t Read(void*, std::size_t) override { return 0; }
        std::size_t Write(const void* data, std::size_t size) override
        {
            if (bytes_.size() < pos_ + size) bytes_.resize(pos_ + size);
            bytes_.replace(pos_, size, static_cast<const char*>(data), size);
            pos_ += size;
            return size;
        }
        std::uint64_t Length() override { return bytes_.size(); }

    private:
        std::string& bytes_;
        std::uint64_t pos_ = 0;
    };
};

} // namespace vela::test
