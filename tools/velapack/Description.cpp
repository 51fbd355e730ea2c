#include "tools/velapack/Description.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "installer/package/SetupScript.h"
#include "installer/package/TextFields.h"
#include "tools/velapack/TextEncoding.h"
#include "tools/velapack/WizardPicture.h"

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

bool ParseEncoding(std::string_view value, TextEncoding& out)
{
    std::string lower(value);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (lower == "utf-8" || lower == "utf8") out = TextEncoding::Utf8;
    else if (lower == "gb2312") out = TextEncoding::Gb2312;
    else return false;
    return true;
}

std::string Resolve(const std::string& base, const std::string& path)
{
    if (path.empty() || path[0] == '/' || path[0] == '\\' || base.empty() || (path.size() > 1 && path[1] == ':')) return path;
    return base + "/" + path;
}

// The lines of a description: numbered from 1, split at LF.
template <typename Visit>
bool ForEachLine(std::string_view text, Visit visit)
{
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        if (!visit(++lineNumber, line)) return false;
    }
    return true;
}

std::size_t LineOf(std::string_view text, std::size_t pos)
{
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

// The headers the installer's readers look for. Each reader skips lines
// until the first line equal to its header, so a value equal to one, in any
// section, would start or end a section there.
bool IsSectionHeader(std::string_view value)
{
    for (std::string_view header : {vela::kBasalHeader, vela::kAutoRegHeader, vela::kClearFileHeader, vela::kMenuHeader,
                                    vela::kRunHeader, vela::kDirectoryHeader, vela::kFileHeader,
                                    vela::kTotalSizeHeader, vela::kReadmeHeader, vela::kReadmeEndHeader})
        if (value == header) return true;
    return false;
}

// The encoding an "encoding" line asks for (Detect without one). The keys
// are ASCII, so the line reads the same in either encoding.
bool FindEncodingLine(std::string_view text, TextEncoding& encoding, std::string& problem)
{
    encoding = TextEncoding::Detect;
    std::size_t found = 0;
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    return ForEachLine(text, [&](std::size_t number, std::string_view line) {
        line = Trim(line);
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string_view::npos ||
            Trim(line.substr(0, equals)) != "encoding")
            return true;
        const std::string at = "line " + std::to_string(number) + ": ";
        if (found != 0) {
            problem = at + "a second encoding line (line " + std::to_string(found) + " gives one)";
            return false;
        }
        if (!ParseEncoding(Trim(line.substr(equals + 1)), encoding)) {
            problem = at + "encoding must be utf-8 or gb2312";
            return false;
        }
        found = number;
        return true;
    });
}

// A text the author wrote (the description itself or its licence) as the
// GB2312 bytes the script holds.
bool ConvertText(std::string_view text, TextEncoding encoding, std::string& gb2312, std::string& problem)
{
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
        problem = "the text is UTF-16; save it as UTF-8 or GB2312";
        return false;
    }
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        problem = "line " + std::to_string(LineOf(text, nul)) + ": the line holds a NUL byte";
        return false;
    }
    std::size_t line = 0;
    std::string reason;
    if (!ToGb2312(text, encoding, gb2312, line, reason)) {
        problem = "line " + std::to_string(line) + ": " + reason;
        // GB2312 text that happens to be valid UTF-8 lands here, as a rule.
        if (encoding == TextEncoding::Detect && DetectEncoding(text) == TextEncoding::Utf8)
            problem += " (the text was read as UTF-8; a GB2312 text says so with \"encoding = gb2312\")";
        return false;
    }
    return true;
}

// Whether the path is exactly a macro such as "[InstallDir]".
bool IsBareMacro(std::string_view folder)
{
    return !folder.empty() && folder.front() == '[' && folder.find(']') == folder.size() - 1;
}

// A drive needs no folder made, as in "[Absolute Directory]D:".
bool IsDrive(std::string_view folder)
{
    const std::size_t macroEnd = folder.find(']');
    return macroEnd != std::string_view::npos && folder.size() == macroEnd + 3 && folder.back() == ':';
}

// Positions of every backslash character of the text (never a trail byte).
std::vector<std::size_t> Backslashes(std::string_view text)
{
    std::vector<std::size_t> found;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t at = vela::FindFirstBackslash(text.substr(pos));
        if (at == vela::kNotFound) break;
        found.push_back(pos + at);
        pos += at + 1;
    }
    return found;
}

std::string FolderOfTarget(std::string_view target)
{
    const std::size_t slash = vela::FindLastBackslash(target);
    return slash == vela::kNotFound ? std::string() : std::string(target.substr(0, slash));
}

bool NeedsProgramGroup(const vela::PackageDescription& d)
{
    return !d.menuGroup.empty() && (!d.shortcuts.empty() || d.registerUninstall);
}

bool IsUninstallerTarget(std::string_view target) { return SameFolder(target, kUninstallerTarget); }

// The display name names the log files, the Uninstall key and the uninstall
// shortcut: the first character Windows refuses in a file, folder or key
// name, described, or nullptr. Double-byte characters are stepped over (a
// trail byte 0x5C or 0x7C is no backslash or bar).
const char* ForbiddenNameCharacter(std::string_view name)
{
    static const char* const kDescribed[] = {"a backslash (\\)", "a slash (/)", "a colon (:)", "an asterisk (*)",
                                             "a question mark (?)", "a double quote (\")", "a less-than sign (<)",
                                             "a greater-than sign (>)", "a bar (|)"};
    static constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (vela::IsLeadByte(c) && i + 1 < name.size()) {
            i += 2;
            continue;
        }
        if (c < 0x20) return "a control character";
        const std::size_t at = kForbidden.find(static_cast<char>(c));
        if (at != std::string_view::npos) return kDescribed[at];
        ++i;
    }
    return nullptr;
}

} // namespace

bool SameFolder(std::string_view a, std::string_view b)
{
    if (vela::EndsWithBackslash(a)) a.remove_suffix(1);
    if (vela::EndsWithBackslash(b)) b.remove_suffix(1);
    if (a.size() != b.size()) return false;
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (vela::IsLeadByte(x)) {
            // A double-byte character is compared whole, without folding.
            if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (fold(x) != fold(y)) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> MissingFolders(const vela::PackageDescription& d)
{
    std::vector<std::string> missing;
    auto need = [&](const std::string& folder, const std::string& what) {
        if (IsBareMacro(folder) || IsDrive(folder)) return;
        for (const auto& listed : d.directories)
            if (SameFolder(listed, folder)) return;
        missing.push_back("the folder \"" + folder + "\" of " + what + " is not listed as a directory");
    };
    for (const auto& item : d.files) {
        const std::string folder = FolderOfTarget(item.target);
        if (!folder.empty()) need(folder, "\"" + item.target + "\"");
    }
    if (NeedsProgramGroup(d)) need("[Start Menu]\\" + d.menuGroup, "the program group");
    return missing;
}

std::vector<std::string> AddMissingFolders(vela::PackageDescription& d)
{
    std::vector<std::string> added;
    auto add = [&](const std::string& folder) {
        for (const auto& listed : d.directories)
            if (SameFolder(listed, folder)) return;
        d.directories.push_back(folder);
        added.push_back(folder);
    };
    // The folder with each folder between it and its macro, the macro
    // itself only when asked.
    auto addChain = [&](const std::string& folder, bool withMacro) {
        const std::size_t macroEnd = folder.find(']');
        if (withMacro) add(folder.substr(0, macroEnd + 1));
        for (std::size_t at : Backslashes(folder))
            if (at > macroEnd + 1) add(folder.substr(0, at));
        if (!IsBareMacro(folder)) add(folder);
    };
    for (const auto& item : d.files) {
        const std::string folder = FolderOfTarget(item.target);
        if (folder.empty() || folder.front() != '[' || folder.find(']') == std::string::npos) continue;
        if (IsDrive(folder)) continue;
        if (folder.compare(0, 12, "[InstallDir]") == 0 && folder.find(']') == 11) addChain(folder, true);
        else if (!IsBareMacro(folder)) add(folder);
    }
    if (NeedsProgramGroup(d)) addChain("[Start Menu]\\" + d.menuGroup, false);
    return added;
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
    std::unique_ptr<vela::IBinaryFile> OpenForReading(std::string_view path) override
    {
        return vela::OpenStdioFileForReading(std::string(path));
    }
    std::unique_ptr<vela::IBinaryFile> CreateForWriting(std::string_view path) override
    {
        return vela::CreateStdioFileForWriting(std::string(path));
    }
    bool RemoveFile(std::string_view path) override { return std::remove(std::string(path).c_str()) == 0; }
};

} // namespace

vela::IPlatform& StdioFiles()
{
    static CStdioFiles files;
    return files;
}

bool ParseDescription(std::string_view raw, const std::string& baseFolder, vela::IPlatform& files,
                      vela::PackageDescription& d, std::string& problem, DescriptionNotes& notes)
{
    d = vela::PackageDescription{};
    notes = DescriptionNotes{};
    TextEncoding encoding = TextEncoding::Detect;
    std::string text;
    if (!FindEncodingLine(raw, encoding, problem) || !ConvertText(raw, encoding, text, problem)) return false;

    bool haveName = false, haveFolder = false, haveWelcome = false, haveRun = false, autoDirectories = true;
    std::size_t uninstallerLine = 0;
    vela::PackageItem uninstaller;
    const bool parsed = ForEachLine(text, [&](std::size_t lineNumber, std::string_view line) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') return true;

        auto fail = [&](const std::string& reason) {
            problem = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        };
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return fail("expected \"key = value\"");
        const std::string key(Trim(line.substr(0, equals)));
        const std::string value(Trim(line.substr(equals + 1)));
        // A picture the installer's wizard can draw, or a refusal naming it.
        auto drawable = [&](const std::string& name, std::string& bytes) {
            std::string reason;
            if (PrepareWizardPicture(bytes, reason)) return true;
            return fail("the picture \"" + Resolve(baseFolder, name) + "\" " + reason);
        };
        auto readFile = [&](const std::string& name, std::string& bytes) {
            const std::string path = Resolve(baseFolder, name);
            if (ReadWholeFile(files, path, bytes)) return true;
            return fail("cannot read the file \"" + path + "\"");
        };

        // Values that become whole lines of the script.
        static const char* const kLineKeys[] = {"name", "folder", "group", "run-caption", "run", "directory",
                                                "autoreg", "clear"};
        if (std::find(std::begin(kLineKeys), std::end(kLineKeys), key) != std::end(kLineKeys) &&
            IsSectionHeader(value))
            return fail("the value \"" + value + "\" would be read as a section header of the setup script");

        if (key == "name") {
            if (const char* bad = ForbiddenNameCharacter(value))
                return fail(std::string("the name holds ") + bad +
                            ", which Windows does not allow in a folder or registry key name");
            d.displayName = value;
            haveName = true;
        } else if (key == "folder") {
            d.defaultFolder = value;
            haveFolder = true;
        } else if (key == "encoding") {
            // Read before the conversion.
        } else if (key == "welcome-pages") {
            if (!ParseYesNo(value, d.showWelcomePages)) return fail("welcome-pages must be yes or no");
        } else if (key == "uninstall") {
            if (!ParseYesNo(value, d.registerUninstall)) return fail("uninstall must be yes or no");
        } else if (key == "auto-directories") {
            if (!ParseYesNo(value, autoDirectories)) return fail("auto-directories must be yes or no");
        } else if (key == "welcome-picture") {
            if (!readFile(value, d.welcomePicture) || !drawable(value, d.welcomePicture)) return false;
            haveWelcome = true;
        } else if (key == "splash-picture") {
            if (!readFile(value, d.splashPicture) || !drawable(value, d.splashPicture)) return false;
            d.hasSplash = true;
        } else if (key == "licence") {
            std::string bytes, reason;
            if (!readFile(value, bytes)) return false;
            if (!ConvertText(bytes, encoding, d.licence, reason))
                return fail("the licence \"" + value + "\", " + reason);
        } else if (key == "uninstaller") {
            if (uninstallerLine != 0)
                return fail("a second uninstaller (line " + std::to_string(uninstallerLine) + " names one)");
            if (!readFile(value, uninstaller.bytes)) return false;
            if (uninstaller.bytes.compare(0, 2, "MZ") != 0) return fail("\"" + value + "\" is not a Windows program");
            uninstaller.target = kUninstallerTarget;
            uninstaller.flag = '4';  // the uninstaller is never removed by itself
            uninstallerLine = lineNumber;
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
            if (!readFile(f[1], item.bytes)) return false;
            d.files.push_back(std::move(item));
        } else {
            return fail("unknown key \"" + key + "\"");
        }
        return true;
    });
    if (!parsed) return false;
    if (!haveName) problem = "the description has no name";
    else if (!haveFolder) problem = "the description has no folder";
    else if (d.showWelcomePages && !haveWelcome) problem = "welcome pages need a welcome-picture";
    else if (!haveRun) problem = "the description has no run command";
    else problem.clear();
    if (!problem.empty()) return false;

    const auto stored = std::find_if(d.files.begin(), d.files.end(),
                                     [](const vela::PackageItem& item) { return IsUninstallerTarget(item.target); });
    if (uninstallerLine != 0) {
        const std::string at = "line " + std::to_string(uninstallerLine) + ": ";
        if (!d.registerUninstall) {
            problem = at + "the uninstaller needs uninstall = yes (nothing would start it)";
            return false;
        }
        if (stored != d.files.end()) {
            problem = at + "a file line already stores \"" + stored->target + "\"";
            return false;
        }
        d.files.push_back(std::move(uninstaller));
    } else if (d.registerUninstall && stored == d.files.end()) {
        notes.warnings.push_back("uninstall = yes but the package carries no uninstaller: add "
                                 "\"uninstaller = VelaUnInsApp.exe\"");
    }

    if (autoDirectories) {
        notes.addedFolders = AddMissingFolders(d);
    } else {
        for (std::string& missing : MissingFolders(d)) notes.warnings.push_back(std::move(missing));
    }
    return true;
}

bool ParseDescription(std::string_view text, const std::string& baseFolder, vela::IPlatform& files,
                      vela::PackageDescription& description, std::string& problem)
{
    DescriptionNotes notes;
    return ParseDescription(text, baseFolder, files, description, problem, notes);
}

} // namespace velapack
