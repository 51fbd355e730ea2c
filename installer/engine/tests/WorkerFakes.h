#pragma once
// Test doubles for the install worker: a platform with in-memory files that
// counts open streams and can refuse opens, a system that records every call
// into one event list shared with the page, and a progress page that records
// status lines, questions and messages and answers questions from a queue.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "installer/engine/InstallWorker.h"
#include "installer/engine/tests/FakeEngineSystem.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"

namespace vela::test {

// The calls of platform, system and page in the order they came.
struct EventLog {
    std::vector<std::string> events;
    std::function<void(const std::string&)> onEvent;
    void Add(std::string event)
    {
        events.push_back(std::move(event));
        if (onEvent) onEvent(events.back());
    }
    // Position of the first event equal to text, or -1.
    int Find(const std::string& text) const
    {
        for (std::size_t i = 0; i < events.size(); ++i)
            if (events[i] == text) return static_cast<int>(i);
        return -1;
    }
};

class WorkerPlatform final : public IPlatform {
public:
    explicit WorkerPlatform(EventLog& log) : log_(log) {}

    std::map<std::string, std::shared_ptr<std::string>> files;
    std::set<std::string> uncreatable;
    // Bytes the disk still takes, over every stream: a write beyond it is
    // short, as on a full disk.
    std::size_t diskRoom = SIZE_MAX;
    std::map<std::string, int> readOpensLeft;  // a path listed here opens that many more times
    std::set<std::string> enterableFolders{"C:\\WINDOWS\\Start Menu\\Programs"};
    std::string windowsFolder = "C:\\WINDOWS";
    std::string systemFolder = "C:\\WINDOWS\\system32";
    std::string desktopFolder = "C:\\WINDOWS\\Desktop";
    int openStreams = 0;
    struct Message {
        std::string text;
        std::string caption;
    };
    std::vector<Message> messages;

    std::string Text(const std::string& path) const
    {
        auto it = files.find(path);
        return it == files.end() ? "<missing>" : *it->second;
    }

    std::string ModuleFileName() override { return "C:\\Setup\\VelaInstall.exe"; }
    std::string TemporaryFolder() override { return "C:\\TEMP\\"; }
    LocalTime Now() override { return {}; }
    std::string WindowsFolder() override { return windowsFolder; }
    std::string SystemFolder() override { return systemFolder; }
    bool DesktopFolder(std::string& path) override
    {
        path = desktopFolder;
        return true;
    }
    bool SetCurrentFolder(const std::string& path) override { return enterableFolders.count(path) > 0; }
    std::string CurrentFolder() override { return "C:\\"; }
    RegistryReadResult ReadRegistryString(RegistryRoot, const std::string&, const std::string&,
                                          std::string&) override
    {
        return RegistryReadResult::ValueMissing;
    }
    bool StartSockets() override { return true; }
    void ShowMessage(std::string_view text, std::string_view caption) override
    {
        messages.push_back({std::string(text), std::string(caption)});
        log_.Add("message " + std::string(text));
    }
    std::unique_ptr<IBinaryFile> OpenForReading(const std::string& path) override
    {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        auto left = readOpensLeft.find(path);
        if (left != readOpensLeft.end() && left->second-- <= 0) return nullptr;
        return std::make_unique<Stream>(*this, it->second);
    }
    std::unique_ptr<IBinaryFile> CreateForWriting(const std::string& path) override
    {
        log_.Add("create " + path);
        if (uncreatable.count(path)) return nullptr;
        auto data = std::make_shared<std::string>();
        files[path] = data;
        return std::make_unique<Stream>(*this, data);
    }
    bool RemoveFile(const std::string& path) override
    {
        log_.Add("remove " + path);
        return files.erase(path) > 0;
    }

private:
    // A memory file that counts itself among the open streams while it lives.
    class Stream final : public IBinaryFile {
    public:
        Stream(WorkerPlatform& owner, std::shared_ptr<std::string> data) : owner_(owner), file_(std::move(data))
        {
            ++owner_.openStreams;
        }
        ~Stream() override { --owner_.openStreams; }
        bool Seek(std::uint64_t offset) override { return file_.Seek(offset); }
        std::size_t Read(void* buffer, std::size_t size) override { return file_.Read(buffer, size); }
        std::size_t Write(const void* data, std::size_t size) override
        {
            const std::size_t taken = std::min(size, owner_.diskRoom);
            owner_.diskRoom -= taken;
            return file_.Write(data, taken);
        }
        std::uint64_t Length() override { return file_.Length(); }

    private:
        WorkerPlatform& owner_;
        MemoryFile file_;
    };

    EventLog& log_;
};

// Files are those of the worker's platform.
class RecordingSystem final : public IEngineSystem {
public:
    RecordingSystem(EventLog& log, WorkerPlatform& disk) : log_(log), disk_(disk) {}
    FakeEngineSystem inner;
    std::set<std::string> inUse;  // files that cannot be replaced

    bool CreateFolder(const std::string& path) override
    {
        log_.Add("folder " + path);
        return inner.CreateFolder(path);
    }
    bool ClearFileAttributes(const std::string& path) override
    {
        log_.Add("clear " + path);
        return inner.ClearFileAttributes(path);
    }
    bool IsFile(const std::string& path) override { return disk_.files.count(path) > 0; }
    bool PutFileInPlace(const std::string& from, const std::string& to) override
    {
        log_.Add("replace " + from + " > " + to);
        auto it = disk_.files.find(from);
        if (it == disk_.files.end() || inUse.count(to)) return false;
        disk_.files[to] = it->second;
        disk_.files.erase(from);
        return true;
    }
    bool RunProcessAndWait(const ProcessCommand& command, int showState, std::uint32_t& exitCode) override
    {
        log_.Add("run " + command.commandLine);
        return inner.RunProcessAndWait(command, showState, exitCode);
    }
    bool ShellOpen(const std::string& path, int showState) override
    {
        log_.Add("shell " + path);
        return inner.ShellOpen(path, showState);
    }
    RegistryKey OpenRegistryKey(RegistryRoot root, const std::string& path) override
    {
        log_.Add("regopen " + path);
        return inner.OpenRegistryKey(root, path);
    }
    RegistryKey CreateRegistrySubKey(RegistryKey parent, const std::string& name) override
    {
        return inner.CreateRegistrySubKey(parent, name);
    }
    bool SetRegistryString(RegistryKey key, const std::string& name, const std::string& text) override
    {
        log_.Add("regset " + name + "=" + text);
        return inner.SetRegistryString(key, name, text);
    }
    void CloseRegistryKey(RegistryKey key) override { inner.CloseRegistryKey(key); }
    ShellLinkOutcome SaveShellLink(const ShellLinkFields& fields, const std::string& linkPath) override
    {
        log_.Add("link " + linkPath);
        return inner.SaveShellLink(fields, linkPath);
    }

private:
    EventLog& log_;
    WorkerPlatform& disk_;
};

class RecordingPage final : public IProgressPage {
public:
    explicit RecordingPage(EventLog& log) : log_(log) {}

    std::vector<std::string> statuses;
    struct Shown {
        std::string text;
        std::string caption;
    };
    std::vector<Shown> questions;
    std::vector<Shown> messages;
    std::deque<bool> answers;  // Yes = true; No when empty
    bool quitRequested = false;

    void SetStatusText(const char* text) override
    {
        statuses.push_back(text);
        log_.Add("status " + statuses.back());
    }
    bool AskYesNo(const char* text, const char* caption) override
    {
        questions.push_back({text, caption});
        log_.Add("ask");
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return yes;
    }
    void ShowMessage(const char* text, const char* caption) override
    {
        messages.push_back({text, caption});
        log_.Add("page-message " + std::string(text));
    }
    void RequestQuit() override
    {
        quitRequested = true;
        log_.Add("quit");
    }

private:
    EventLog& log_;
};

} // namespace vela::test
