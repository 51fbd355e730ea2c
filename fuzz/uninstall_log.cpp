// The uninstaller against crafted logs: the input is the file log, then a
// NUL byte, then the directory log, for an install in C:\App with the Start
// Menu's programs in C:\Menu\Programs and the desktop in C:\Desk, and links
// at C:\App\link and C:\Menu\Programs\Grp\link. Oracle, written apart from
// the uninstaller's own path code: every path it removes is one Windows reads
// as it is written (backslashes only, no "." or "..", no component ending in
// a dot or blank, no stream, wildcard or control character, double-byte
// characters whole) and lies where removal is allowed (inside C:\App or
// C:\App itself; a ".lnk" file inside C:\Menu\Programs or C:\Desk; a folder
// inside C:\Menu\Programs), passing through no link; only the two logs are
// ever rewritten.
#include "fuzz/FuzzCheck.h"

#include "installer/uninstall/Uninstall.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kFileLog = "C:\\App\\Appfile.ini";
const std::string kDirLog = "C:\\App\\Appdir.ini";
const char* const kLinks[] = {"c:\\app\\link", "c:\\menu\\programs\\grp\\link"};

std::string Lower(std::string text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x81 && c <= 0xFE) ++i;  // a double-byte character keeps its bytes
        else if (c >= 'A' && c <= 'Z') text[i] = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The components after the prefix, or false when Windows could read the
// path otherwise than it is written.
bool PlainComponents(const std::string& path, std::size_t from, std::vector<std::string>& components)
{
    std::string current;
    for (std::size_t i = from; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            if (current.empty() || current == "." || current == ".." || current.back() == '.' || current.back() == ' ')
                return false;
            components.push_back(current);
            current.clear();
            continue;
        }
        const auto c = static_cast<unsigned char>(path[i]);
        if (c >= 0x81 && c <= 0xFE) {
            if (i + 1 >= path.size()) return false;
            const auto trail = static_cast<unsigned char>(path[i + 1]);
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
            current.append(path, i, 2);
            ++i;
            continue;
        }
        if (c < 0x20 || c == 0xFF || std::strchr("/:*?\"<>|", c)) return false;
        current.push_back(static_cast<char>(c));
    }
    return true;
}

// True when the path lies below folder (a lower-case ASCII path) and
// Windows reads it as written, passing through no link.
bool Below(const std::string& path, const std::string& folder, bool orSelf, std::vector<std::string>& components)
{
    const std::string lower = Lower(path);
    if (lower == folder) return orSelf;
    if (lower.compare(0, folder.size(), folder) != 0 || lower.size() <= folder.size() + 1 ||
        lower[folder.size()] != '\\')
        return false;
    if (!PlainComponents(path, folder.size() + 1, components)) return false;
    std::string walked = folder;
    for (const std::string& component : components) {
        walked += '\\';
        walked += Lower(component);
        for (const char* link : kLinks)
            if (walked == link) return false;
    }
    return true;
}

bool MayRemoveFile(const std::string& path)
{
    std::vector<std::string> components;
    if (Below(path, "c:\\app", false, components)) return true;
    components.clear();
    const std::string lower = Lower(path);
    const bool shortcut = lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".lnk") == 0;
    return shortcut && (Below(path, "c:\\menu\\programs", false, components) ||
                        (components.clear(), Below(path, "c:\\desk", false, components)));
}

bool MayRemoveFolder(const std::string& path)
{
    std::vector<std::string> components;
    return Below(path, "c:\\app", true, components) ||
           (components.clear(), Below(path, "c:\\menu\\programs", false, components));
}

class FuzzUninstallSystem final : public vela::IUninstallSystem {
public:
    FuzzUninstallSystem(std::string fileLog, std::string dirLog) : fileLog_(std::move(fileLog)), dirLog_(std::move(dirLog)) {}

    std::unique_ptr<vela::IBinaryFile> OpenForReading(std::string_view pathText) override
    {
        const std::string path(pathText);
        if (path == kFileLog) return vela::OpenMemoryFile(fileLog_);
        if (path == kDirLog) return vela::OpenMemoryFile(dirLog_);
        return nullptr;
    }
    vela::Removal RemoveFile(std::string_view pathText) override
    {
        const std::string path(pathText);
        FUZZ_CHECK(MayRemoveFile(path));
        return Outcome(path);
    }
    vela::Removal RemoveFolder(const std::string& path) override
    {
        FUZZ_CHECK(MayRemoveFolder(path));
        return Outcome(path);
    }
    bool ReadUninstallString(const std::string&, std::string& command) override
    {
        command = "C:\\WINDOWS\\VelaUnInsApp.exe " + kFileLog;
        return true;
    }
    bool DeleteUninstallEntry(const std::string& name) override { return name == "App"; }
    bool Confirm(std::string_view, std::string_view) override { return true; }
    void ShowMessage(std::string_view, std::string_view, bool) override {}
    vela::ShortcutFolders FindShortcutFolders() override { return {{"C:\\Menu\\Programs"}, {"C:\\Desk"}}; }
    bool IsReparsePoint(const std::string& path) override
    {
        for (const char* link : kLinks)
            if (Lower(path) == link) return true;
        return false;
    }
    bool RewriteFile(const std::string& path, std::string_view) override
    {
        FUZZ_CHECK(path == kFileLog || path == kDirLog);
        return true;
    }

private:
    // Every outcome a removal can have, chosen by the path's last byte.
    static vela::Removal Outcome(const std::string& path)
    {
        static const vela::Removal outcomes[] = {vela::Removal::Removed, vela::Removal::Missing, vela::Removal::NotEmpty,
                                                 vela::Removal::Failed};
        return outcomes[static_cast<unsigned char>(path.back()) % 4];
    }

    std::string fileLog_;
    std::string dirLog_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    FuzzUninstallSystem system(input.substr(0, split),
                               split == std::string::npos ? std::string() : input.substr(split + 1));
    vela::UninstallReport report;
    const vela::UninstallEnd end = vela::RunUninstall(system, kFileLog, &report);
    FUZZ_CHECK(end == vela::UninstallEnd::Done || end == vela::UninstallEnd::Partly);
    return 0;
}
