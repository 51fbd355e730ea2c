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

    SystemPath ModuleFileName() override { return SystemPath("C:\\Setup\\VelaInstall.exe"); }
    SystemPath TemporaryFolder() override { return SystemPath("C:\\TEMP\\"); }
    LocalTime Now() override { return {}; }
    SystemPath WindowsFolder() override { return SystemPath(windowsFolder); }
    SystemPath SystemFolder() override { return SystemPath(systemFolder); }
    bool DesktopFolder(SystemPath& path) override
    {
        path = desktopFolder;
        return true;
    }
    bool SetCurrentFolder(std::string_view path) override { return enterableFolders.count(std::string(path)) > 0; }
    SystemPath CurrentFolder() override { return SystemPath("C:\\"); }
    RegistryReadResult ReadRegistryString(RegistryRoot, std::string_view, std::string_view,
                                          SystemPath&) override
    {
        return RegistryReadResult::ValueMissing;
    }
    bool StartSockets() override { return true; }
    void ShowMessage(std::string_view text, std::string_view caption) override
    {
        messages.push_back({std::string(text), std::string(caption)});
        log_.Add("message " + std::string(text));
    }
    std::unique_ptr<IBinaryFile> OpenForReading(std::string_view pathText) override
    {
        const std::string path(pathText);
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        auto left = readOpensLeft.find(path);
        if (left != readOpensLeft.end() && left->second-- <= 0) return nullptr;
        return std::make_unique<Stream>(*this, it->second);
    }
    std::unique_ptr<IBinaryFile> CreateForWriting(std::string_view pathText) override
    {
        const std::string path(pathText);
        log_.Add("create " + path);
        if (uncreatable.count(path)) return nullptr;
        auto data = std::make_shared<std::string>();
        files[path] = data;
        return std::make_unique<Stream>(*this, data);
    }
    bool RemoveFile(std::string_view pathText) override
    {
        const std::string path(pathText);
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

    bool CreateFolder(std::string_view pathText) override
    {
        const std::string path(pathText);
        log_.Add("folder " + path);
        return inner.CreateFolder(path);
    }
    bool ClearFileAttributes(std::string_view pathText) override
    {
        const std::string path(pathText);
        log_.Add("clear " + path);
        return inner.ClearFileAttributes(path);
    }
    bool IsFile(std::string_view path) override { return disk_.files.count(std::string(path)) > 0; }
    bool PutFileInPlace(std::string_view fromText, std::string_view toText) override
    {
        const std::string from(fromText);
        const std::string to(toText);
        log_.Add("replace " + from + " > " + to);
        auto it = disk_.files.find(from);
        if (it == disk_.files.end() || inUse.count(to)) return false;
        disk_.files[to] = it->second;
        disk_.files.erase(from);
        return true;
    }
    bool RunProcessAndWait(const ProcessCommand& command, int showState, std::uint32_t& exitCode) override
    {
        log_.Add("run " + std::string(command.commandLine));
        return inner.RunProcessAndWait(command, showState, exitCode);
    }
    bool ShellOpen(std::string_view pathText, int showState) override
    {
        const std::string path(pathText);
        log_.Add("shell " + path);
        return inner.ShellOpen(path, showState);
    }
    RegistryKey OpenRegistryKey(RegistryRoot root, std::string_view pathText) override
    {
        const std::string path(pathText);
        log_.Add("regopen " + path);
        return inner.OpenRegistryKey(root, path);
    }
    RegistryKey CreateRegistrySubKey(RegistryKey parent, std::string_view nameText) override
    {
        const std::string name(nameText);
        return inner.CreateRegistrySubKey(parent, name);
    }
    bool SetRegistryString(RegistryKey key, std::string_view nameText, std::string_view textText) override
    {
        const std::string name(nameText);
        const std::string text(textText);
        log_.Add("regset " + name + "=" + text);
        return inner.SetRegistryString(key, name, text);
    }
    void CloseRegistryKey(RegistryKey key) override { inner.CloseRegistryKey(key); }
    ShellLinkOutcome SaveShellLink(const ShellLinkFields& fields, std::string_view linkPathText) override
    {
        const std::string linkPath(linkPathText);
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
