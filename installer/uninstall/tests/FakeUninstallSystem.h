#pragma once
// An uninstaller's system in memory: files and folders keyed by exact path,
// removals that can be refused, links, Uninstall entries, and a record of
// the questions asked, messages shown and paths removed.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "installer/uninstall/Uninstall.h"

namespace vela::test {

struct UninstallMessage {
    std::string text;
    std::string caption;
    bool warning;
};

// Files and folders keyed by exact path; a folder is not empty while a file
// or folder below it exists.
class FakeUninstallSystem : public IUninstallSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> locked;  // files and folders that refuse removal
    std::set<std::string> links;   // junctions and symbolic links
    ShortcutFolders shortcutFolders{{"C:\\WINDOWS\\Start Menu\\Programs"}, {"C:\\WINDOWS\\Desktop"}};
    std::map<std::string, std::string> entries;  // display name -> UninstallString
    bool answer = true;
    std::vector<std::string> asked;
    std::vector<std::string> linkQueries;
    std::vector<UninstallMessage> shown;
    std::vector<std::string> removed;  // in order

    std::unique_ptr<IBinaryFile> OpenForReading(std::string_view pathText) override
    {
        const std::string path(pathText);
        auto it = files.find(path);
        return it == files.end() ? nullptr : OpenMemoryFile(it->second);
    }
    Removal RemoveFile(std::string_view pathText) override
    {
        const std::string path(pathText);
        if (!files.count(path)) return Removal::Missing;
        if (locked.count(path)) return Removal::Failed;
        files.erase(path);
        removed.push_back(path);
        return Removal::Removed;
    }
    Removal RemoveFolder(const std::string& path) override
    {
        if (!folders.count(path)) return Removal::Missing;
        if (locked.count(path)) return Removal::Failed;
        const std::string below = path + "\\";
        for (const auto& [file, bytes] : files)
            if (file.compare(0, below.size(), below) == 0) return Removal::NotEmpty;
        for (const std::string& folder : folders)
            if (folder.compare(0, below.size(), below) == 0) return Removal::NotEmpty;
        folders.erase(path);
        removed.push_back(path);
        return Removal::Removed;
    }
    bool ReadUninstallString(const std::string& name, std::string& command) override
    {
        auto it = entries.find(name);
        if (it == entries.end()) return false;
        command = it->second;
        return true;
    }
    bool DeleteUninstallEntry(const std::string& name) override { return entries.erase(name) > 0; }
    bool Confirm(std::string_view text, std::string_view) override
    {
        asked.emplace_back(text);
        return answer;
    }
    void ShowMessage(std::string_view text, std::string_view caption, bool warning) override
    {
        shown.push_back({std::string(text), std::string(caption), warning});
    }
    ShortcutFolders FindShortcutFolders() override { return shortcutFolders; }
    bool IsReparsePoint(const std::string& path) override
    {
        linkQueries.push_back(path);
        return links.count(path) > 0;
    }
    bool RewriteFile(const std::string& path, std::string_view bytes) override
    {
        if (locked.count(path)) return false;
        files[path] = std::string(bytes);
        return true;
    }
};

} // namespace vela::test
