#include "tools/velapack/Description.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "installer/package/TextFields.h"

namespace velapack {
namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<std::string> SplitFields(std::string_view value)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = value.find('|', start);
        fields.emplace_back(Trim(value.substr(start, bar == std::string_view::npos ? bar : bar - start)));
        if (bar == std::string_view::npos) return fields;
        start = bar + 1;
    }
}

bool ParseYesNo(std::string_view value, bool& out)
{
    if (value == "yes") out = true;
    else if (value == "no") out = false;
    else return false;
    return true;
}

std::string Resolve(const std::string& base, const std::string& path)
{
    if (path.empty() || path[0] == '/' || path[0] == '\\' || base.empty() || (path.size() > 1 && path[1] == ':')) return path;
    return base + "/" + path;
}

} // namespace

std::vector<std::string> MissingFolders(const vela::PackageDescription& d)
{
    std::vector<std::string> missing;
    auto need = [&](const std::string& folder, const std::string& what) {
        const bool bareMacro = !folder.empty() && folder.front() == '[' && folder.back() == ']' &&
                               folder.find(']') == folder.size() - 1;
        if (bareMacro || std::find(d.directories.begin(), d.directories.end(), folder) != d.directories.end())
            return;
        missing.push_back("the folder \"" + folder + "\" of " + what + " is not listed as a directory");
    };
    for (const auto& item : d.files) {
        const std::size_t slash = vela::FindLastBackslash(item.target);
        if (slash != vela::kNotFound) need(item.target.substr(0, slash), "\"" + item.target + "\"");
    }
    if (!d.shortcuts.empty()) need("[Start Menu]\\" + d.menuGroup, "the program group");
    return missing;
}

bool ReadWholeFile(vela::IPlatform& files, const std::string& path, std::string& bytes)
{
    auto file = files.OpenForReading(path);
    if (!file) return false;
    const std::uint64_t length = file->Length();
    if (length > bytes.max_size()) return false;
    bytes.assign(static_cast<std::size_t>(length), '\0');
    return file->Read(bytes.data(), bytes.size()) == bytes.size();
}

namespace {

class CStdioFiles final : public CToolPlatformBase {
public:
    std::unique_ptr<vela::IBinaryFile> OpenForReading(const std::string& path) override
    {
        return vela::OpenStdioFileForReading(path);
    }
    std::unique_ptr<vela::IBinaryFile> CreateForWriting(const std::string& path) override
    {
        return vela::CreateStdioFileForWriting(path);
    }
    bool RemoveFile(const std::string& path) override { return std::remove(path.c_str()) == 0; }
};

} // namespace

vela::IPlatform& StdioFiles()
{
    static CStdioFiles files;
    return files;
}

bool ParseDescription(std::string_view text, const std::string& baseFolder, vela::IPlatform& files,
                      vela::PackageDescription& d, std::string& problem)
{
    d = vela::PackageDescription{};
    bool haveName = false, haveFolder = false, haveWelcome = false, haveRun = false;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = Trim(text.substr(start, end == std::string_view::npos ? end : end - start));
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;

        auto fail = [&](const std::string& reason) {
            problem = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        };
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return fail("expected \"key = value\"");
        const std::string key(Trim(line.substr(0, equals)));
        const std::string value(Trim(line.substr(equals + 1)));

        if (key == "name") {
            d.displayName = value;
            haveName = true;
        } else if (key == "folder") {
            d.defaultFolder = value;
            haveFolder = true;
        } else if (key == "welcome-pages") {
            if (!ParseYesNo(value, d.showWelcomePages)) return fail("welcome-pages must be yes or no");
        } else if (key == "uninstall") {
            if (!ParseYesNo(value, d.registerUninstall)) return fail("uninstall must be yes or no");
        } else if (key == "welcome-picture" || key == "splash-picture" || key == "licence") {
            std::string bytes;
            const std::string path = Resolve(baseFolder, value);
            if (!ReadWholeFile(files, path, bytes)) return fail("cannot read the file \"" + path + "\"");
            if (key == "welcome-picture") {
                d.welcomePicture = bytes;
                haveWelcome = true;
            } else if (key == "splash-picture") {
                d.splashPicture = bytes;
                d.hasSplash = true;
            } else {
                d.licence = bytes;
            }
        } else if (key == "group") {
            d.menuGroup = value;
        } else if (key == "run-caption") {
            d.runCaption = value;
        } else if (key == "run") {
            d.runCommand = value;
            haveRun = true;
        } else if (key == "directory") {
            d.directories.push_back(value);
        } else if (key == "autoreg") {
            d.autoReg.push_back(value);
        } else if (key == "clear") {
            d.clearFile.push_back(value);
        } else if (key == "shortcut") {
            std::vector<std::string> f = SplitFields(value);
            if (f.size() < 2 || f.size() > 4) return fail("shortcut = NAME | PROGRAM [| ARGUMENTS [| desktop]]");
            vela::PackageShortcut s{f[0], f[1], f.size() > 2 ? f[2] : "", false};
            if (f.size() == 4) {
                if (f[3] != "desktop" && !f[3].empty()) return fail("the fourth shortcut field must be \"desktop\"");
                s.onDesktop = f[3] == "desktop";
            }
            d.shortcuts.push_back(s);
        } else if (key == "file") {
            std::vector<std::string> f = SplitFields(value);
            if (f.size() != 3) return fail("file = FLAG | SOURCE | TARGET");
            if (f[0].size() != 1 || std::string_view("0124").find(f[0][0]) == std::string_view::npos)
                return fail("the file flag must be 0, 1, 2 or 4");
            vela::PackageItem item{f[2], f[0][0], {}};
            const std::string path = Resolve(baseFolder, f[1]);
            if (!ReadWholeFile(files, path, item.bytes)) return fail("cannot read the file \"" + path + "\"");
            d.files.push_back(std::move(item));
        } else {
            return fail("unknown key \"" + key + "\"");
        }
    }
    if (!haveName) problem = "the description has no name";
    else if (!haveFolder) problem = "the description has no folder";
    else if (d.showWelcomePages && !haveWelcome) problem = "welcome pages need a welcome-picture";
    else if (!haveRun) problem = "the description has no run command";
    else return true;
    return false;
}

} // namespace velapack
