// The uninstaller's work, apart from the windows it shows.
#include "installer/uninstall/Uninstall.h"

#include <algorithm>
#include <cstdint>

#include "installer/package/TextFields.h"
#include "installer/uninstall/Confinement.h"

namespace vela {
namespace {

// 卸载
constexpr char kCaptionUninstall[] = "\xD0\xB6\xD4\xD8";
// 错误
constexpr char kCaptionError[] = "\xB4\xED\xCE\xF3";
// 卸载完成
constexpr char kCaptionDone[] = "\xD0\xB6\xD4\xD8\xCD\xEA\xB3\xC9";
// 你确实要从你的计算机中删除 … 及其所有组件吗？
constexpr char kAskBefore[] =
    "\xC4\xE3\xC8\xB7\xCA\xB5\xD2\xAA\xB4\xD3\xC4\xE3\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xD6\xD0\xC9\xBE\xB3\xFD";
constexpr char kAskAfter[] = "\xBC\xB0\xC6\xE4\xCB\xF9\xD3\xD0\xD7\xE9\xBC\xFE\xC2\xF0\xA3\xBF";
// 卸载程序需要一个参数：安装时写下的卸载记录文件（名称以 file.ini 结尾）的路径。
constexpr char kMsgBadArgument[] =
    "\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2\xD0\xE8\xD2\xAA\xD2\xBB\xB8\xF6\xB2\xCE\xCA\xFD\xA3\xBA\xB0\xB2\xD7\xB0"
    "\xCA\xB1\xD0\xB4\xCF\xC2\xB5\xC4\xD0\xB6\xD4\xD8\xBC\xC7\xC2\xBC\xCE\xC4\xBC\xFE\xA3\xA8\xC3\xFB\xB3\xC6"
    "\xD2\xD4 file.ini \xBD\xE1\xCE\xB2\xA3\xA9\xB5\xC4\xC2\xB7\xBE\xB6\xA1\xA3";
// 找不到卸载记录文件：
constexpr char kMsgLogMissing[] = "\xD5\xD2\xB2\xBB\xB5\xBD\xD0\xB6\xD4\xD8\xBC\xC7\xC2\xBC\xCE\xC4\xBC\xFE\xA3\xBA";
// 卸载记录文件太大，无法读取：
constexpr char kMsgLogTooLarge[] =
    "\xD0\xB6\xD4\xD8\xBC\xC7\xC2\xBC\xCE\xC4\xBC\xFE\xCC\xAB\xB4\xF3\xA3\xAC\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1\xA3\xBA";
// 已经从你的计算机中删除。
constexpr char kMsgRemoved[] =
    "\xD2\xD1\xBE\xAD\xB4\xD3\xC4\xE3\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xD6\xD0\xC9\xBE\xB3\xFD\xA1\xA3";
// 已经从你的计算机中删除，但有些项目未删除。
constexpr char kMsgRemovedPartly[] =
    "\xD2\xD1\xBE\xAD\xB4\xD3\xC4\xE3\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xD6\xD0\xC9\xBE\xB3\xFD\xA3\xAC\xB5\xAB"
    "\xD3\xD0\xD0\xA9\xCF\xEE\xC4\xBF\xCE\xB4\xC9\xBE\xB3\xFD\xA1\xA3";
// 以下文件未能删除：
constexpr char kMsgFilesLeft[] = "\xD2\xD4\xCF\xC2\xCE\xC4\xBC\xFE\xCE\xB4\xC4\xDC\xC9\xBE\xB3\xFD\xA3\xBA";
// 以下文件夹中还有其他文件，已保留：
constexpr char kMsgFoldersKept[] =
    "\xD2\xD4\xCF\xC2\xCE\xC4\xBC\xFE\xBC\xD0\xD6\xD0\xBB\xB9\xD3\xD0\xC6\xE4\xCB\xFB\xCE\xC4\xBC\xFE\xA3\xAC"
    "\xD2\xD1\xB1\xA3\xC1\xF4\xA3\xBA";
// 以下文件夹未能删除：
constexpr char kMsgFoldersLeft[] = "\xD2\xD4\xCF\xC2\xCE\xC4\xBC\xFE\xBC\xD0\xCE\xB4\xC4\xDC\xC9\xBE\xB3\xFD\xA3\xBA";
// 以下项目不在程序的文件夹中，已保留：
constexpr char kMsgKeptOutside[] =
    "\xD2\xD4\xCF\xC2\xCF\xEE\xC4\xBF\xB2\xBB\xD4\xDA\xB3\xCC\xD0\xF2\xB5\xC4\xCE\xC4\xBC\xFE\xBC\xD0"
    "\xD6\xD0\xA3\xAC\xD2\xD1\xB1\xA3\xC1\xF4\xA3\xBA";
// 以下项目经过交接点或符号链接，已拒绝删除：
constexpr char kMsgRefusedLinks[] =
    "\xD2\xD4\xCF\xC2\xCF\xEE\xC4\xBF\xBE\xAD\xB9\xFD\xBD\xBB\xBD\xD3\xB5\xE3\xBB\xF2\xB7\xFB\xBA\xC5"
    "\xC1\xB4\xBD\xD3\xA3\xAC\xD2\xD1\xBE\xDC\xBE\xF8\xC9\xBE\xB3\xFD\xA3\xBA";
// 卸载记录和卸载项已保留：关闭正在使用上述文件的程序后，请再次运行卸载。
constexpr char kMsgLogsKept[] =
    "\xD0\xB6\xD4\xD8\xBC\xC7\xC2\xBC\xBA\xCD\xD0\xB6\xD4\xD8\xCF\xEE\xD2\xD1\xB1\xA3\xC1\xF4\xA3\xBA"
    "\xB9\xD8\xB1\xD5\xD5\xFD\xD4\xDA\xCA\xB9\xD3\xC3\xC9\xCF\xCA\xF6\xCE\xC4\xBC\xFE\xB5\xC4\xB3\xCC"
    "\xD0\xF2\xBA\xF3\xA3\xAC\xC7\xEB\xD4\xD9\xB4\xCE\xD4\xCB\xD0\xD0\xD0\xB6\xD4\xD8\xA1\xA3";
// 卸载记录未能更新。
constexpr char kMsgLogsNotKept[] = "\xD0\xB6\xD4\xD8\xBC\xC7\xC2\xBC\xCE\xB4\xC4\xDC\xB8\xFC\xD0\xC2\xA1\xA3";
// 是否删除指向它的卸载项“ … ”？
constexpr char kAskRemoveEntryBefore[] =
    "\xCA\xC7\xB7\xF1\xC9\xBE\xB3\xFD\xD6\xB8\xCF\xF2\xCB\xFC\xB5\xC4\xD0\xB6\xD4\xD8\xCF\xEE\xA1\xB0";
constexpr char kAskRemoveEntryAfter[] = "\xA1\xB1\xA3\xBF";
// 未能删除卸载项：
constexpr char kMsgEntryNotRemoved[] = "\xCE\xB4\xC4\xDC\xC9\xBE\xB3\xFD\xD0\xB6\xD4\xD8\xCF\xEE\xA3\xBA";
// …
constexpr char kEllipsis[] = "\xA1\xAD";
// ……另有 N 项
constexpr char kMsgMoreBefore[] = "\xA1\xAD\xA1\xAD\xC1\xED\xD3\xD0 ";
constexpr char kMsgMoreAfter[] = " \xCF\xEE";

constexpr std::string_view kFileLogSuffix = "file.ini";
constexpr std::string_view kDirLogSuffix = "dir.ini";
// Entries listed per section of the closing message, and the bytes shown of
// each (a crafted log may hold a line of any length).
constexpr std::size_t kListedEntries = 10;
constexpr std::size_t kListedBytes = 300;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when pos starts a character of the text (never a trail byte).
bool IsCharacterStart(std::string_view text, std::size_t pos)
{
    std::size_t i = 0;
    while (i < pos) i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    return i == pos;
}

// Compares two texts character by character, ASCII letters without case,
// double-byte characters exactly.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            i += 2;
        } else {
            if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
            ++i;
        }
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsFullPath(std::string_view path)
{
    const char drive = AsciiLower(path.empty() ? '\0' : path[0]);
    return path.size() >= 4 && drive >= 'a' && drive <= 'z' && path[1] == ':' && path[2] == '\\';
}

// Reads a whole log; false when it cannot be opened or is too large.
enum class LogRead { Read, Missing, TooLarge };
LogRead ReadLog(IUninstallSystem& system, const std::string& path, std::string& bytes)
{
    std::unique_ptr<IBinaryFile> file = system.OpenForReading(path);
    if (!file) return LogRead::Missing;
    const std::uint64_t length = file->Length();
    if (length > kMaxLogSize) return LogRead::TooLarge;
    bytes.assign(static_cast<std::size_t>(length), '\0');
    bytes.resize(file->Read(bytes.data(), bytes.size()));
    return LogRead::Read;
}

void AppendList(std::string& text, const char* heading, const std::vector<std::string>& entries)
{
    if (entries.empty()) return;
    text += "\r\n\r\n";
    text += heading;
    for (std::size_t i = 0; i < entries.size() && i < kListedEntries; ++i) {
        std::string_view entry = entries[i];
        text += "\r\n";
        if (entry.size() <= kListedBytes) {
            text += entry;
            continue;
        }
        std::size_t cut = kListedBytes;
        while (!IsCharacterStart(entry, cut)) --cut;
        text += entry.substr(0, cut);
        text += kEllipsis;
    }
    if (entries.size() > kListedEntries)
        text += "\r\n" + std::string(kMsgMoreBefore) + std::to_string(entries.size() - kListedEntries) + kMsgMoreAfter;
}

} // namespace

std::string UninstallArgument(std::string_view commandLine)
{
    std::size_t i = 0;
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    if (i < commandLine.size() && commandLine[i] == '"') {
        // A quoted name ends at its closing quote, blank or not.
        const std::size_t close = commandLine.find('"', i + 1);
        i = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    std::string_view rest = commandLine.substr(i);
    while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
    return std::string(rest);
}

bool FindUninstallLogs(std::string_view fileLogPath, UninstallLogs& logs)
{
    if (!IsFullPath(fileLogPath) || fileLogPath.size() <= kFileLogSuffix.size()) return false;
    const std::size_t suffixAt = fileLogPath.size() - kFileLogSuffix.size();
    if (!IsCharacterStart(fileLogPath, suffixAt) ||
        !EqualIgnoringAsciiCase(fileLogPath.substr(suffixAt), kFileLogSuffix))
        return false;
    const std::string_view stem = fileLogPath.substr(0, suffixAt);  // installPath\displayName
    const std::size_t slash = FindLastBackslash(stem);
    if (slash == kNotFound || slash + 1 >= stem.size() || slash < 3) return false;
    logs.installFolder = std::string(stem.substr(0, slash));
    logs.fileLogPath = std::string(fileLogPath);
    logs.dirLogPath = std::string(stem) + std::string(kDirLogSuffix);
    logs.displayName = std::string(stem.substr(slash + 1));
    return true;
}

std::vector<std::string> ReadLogPaths(std::string_view bytes)
{
    std::vector<std::string> paths;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (IsFullPath(line) && line.find('\0') == std::string_view::npos) paths.emplace_back(line);
    }
    return paths;
}

void SortLongestFirst(std::vector<std::string>& paths)
{
    std::stable_sort(paths.begin(), paths.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

bool CommandNamesLog(std::string_view command, std::string_view fileLogPath)
{
    if (fileLogPath.empty() || command.size() <= fileLogPath.size()) return false;
    const std::size_t at = command.size() - fileLogPath.size();
    return command[at - 1] == ' ' && IsCharacterStart(command, at) &&
           EqualIgnoringAsciiCase(command.substr(at), fileLogPath);
}

std::string ReportText(std::string_view displayName, const UninstallReport& report)
{
    const bool complete = report.filesLeft.empty() && report.foldersKept.empty() && report.foldersLeft.empty() &&
                          report.keptOutside.empty() && report.refusedLinks.empty();
    std::string text(displayName);
    text += complete ? kMsgRemoved : kMsgRemovedPartly;
    AppendList(text, kMsgFilesLeft, report.filesLeft);
    AppendList(text, kMsgFoldersLeft, report.foldersLeft);
    AppendList(text, kMsgFoldersKept, report.foldersKept);
    AppendList(text, kMsgKeptOutside, report.keptOutside);
    AppendList(text, kMsgRefusedLinks, report.refusedLinks);
    if (!report.filesLeft.empty() || !report.foldersLeft.empty()) {
        text += "\r\n\r\n";
        text += report.logsKept ? kMsgLogsKept : kMsgLogsNotKept;
    }
    return text;
}

namespace {

// The folders the uninstaller trusts, in normal form.
struct TrustedFolders {
    std::string install;
    std::vector<std::string> programs;
    std::vector<std::string> desktops;
};

TrustedFolders FindTrustedFolders(IUninstallSystem& system, const UninstallLogs& logs)
{
    TrustedFolders trusted;
    NormalisePath(logs.installFolder, trusted.install);
    const ShortcutFolders shortcuts = system.FindShortcutFolders();
    // A folder the system names oddly, or a drive root, is not trusted: a
    // root would hold everything on its drive.
    auto keep = [](const std::vector<std::string>& from, std::vector<std::string>& to) {
        for (const std::string& folder : from) {
            std::string normal;
            if (NormalisePath(folder, normal) && PathComponents(normal).size() > 1) to.push_back(normal);
        }
    };
    keep(shortcuts.programs, trusted.programs);
    keep(shortcuts.desktops, trusted.desktops);
    return trusted;
}

// The trusted folder a logged file may be removed from: inside the install
// folder, or a shortcut file inside a shortcut folder. False: outside.
bool FileRoot(const TrustedFolders& trusted, const std::string& path, std::string& root)
{
    if (IsWithin(path, trusted.install, false)) {
        root = trusted.install;
        return true;
    }
    if (!IsShortcutFile(path)) return false;
    for (const auto* folders : {&trusted.programs, &trusted.desktops})
        for (const std::string& folder : *folders)
            if (IsWithin(path, folder, false)) {
                root = folder;
                return true;
            }
    return false;
}

// The trusted folder a logged folder may be removed from: the install
// folder itself or a folder inside it, or a folder inside a Start Menu
// Programs folder (a program group). The desktop and the Programs folders
// themselves are never removed.
bool FolderRoot(const TrustedFolders& trusted, const std::string& path, std::string& root)
{
    if (IsWithin(path, trusted.install, true)) {
        root = trusted.install;
        return true;
    }
    for (const std::string& folder : trusted.programs)
        if (IsWithin(path, folder, false)) {
            root = folder;
            return true;
        }
    return false;
}

// True when a component of the path is a junction or symbolic link: what
// lies behind it may be anywhere. Every component is asked about, the last
// one included (removing a link itself would be harmless, but clearing its
// attributes would reach what it points at), from the first below the drive
// for the install folder, which someone who can write its parent could
// swap for a junction; from the first below the folder for the shortcut
// folders, which the system names and which may themselves be links.
bool PassesThroughLink(IUninstallSystem& system, const TrustedFolders& trusted, const std::string& path,
                       const std::string& root)
{
    const std::vector<std::string_view> components = PathComponents(path);
    const std::size_t trustedCount = root == trusted.install ? 1 : PathComponents(root).size();
    for (std::size_t count = trustedCount + 1; count <= components.size(); ++count)
        if (system.IsReparsePoint(JoinComponents(components, count))) return true;
    return false;
}

// Judges a logged path: true with its normal form when it may be removed;
// otherwise it is listed as kept or refused and left alone.
bool MayRemove(IUninstallSystem& system, const TrustedFolders& trusted, const std::string& logged, bool folder,
               std::string& normal, UninstallReport& report)
{
    std::string root;
    if (!NormalisePath(logged, normal) ||
        !(folder ? FolderRoot(trusted, normal, root) : FileRoot(trusted, normal, root))) {
        report.keptOutside.push_back(logged);
        return false;
    }
    if (PassesThroughLink(system, trusted, normal, root)) {
        report.refusedLinks.push_back(logged);
        return false;
    }
    return true;
}

std::string LogText(const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths) text += path + "\r\n";
    return text;
}

// The file log is gone: the Uninstall entry that hands it over can never
// be used again, so offer to remove it.
void OfferToRemoveEntry(IUninstallSystem& system, const UninstallLogs& logs)
{
    const std::string missing = kMsgLogMissing + logs.fileLogPath;
    std::string command;
    if (!system.ReadUninstallString(logs.displayName, command) || !CommandNamesLog(command, logs.fileLogPath)) {
        system.ShowMessage(missing, kCaptionError, true);
        return;
    }
    const std::string question = missing + "\r\n\r\n" + kAskRemoveEntryBefore + logs.displayName + kAskRemoveEntryAfter;
    if (system.Confirm(question, kCaptionUninstall + logs.displayName) &&
        !system.DeleteUninstallEntry(logs.displayName))
        system.ShowMessage(kMsgEntryNotRemoved + logs.displayName, kCaptionError, true);
}

} // namespace

UninstallEnd RunUninstall(IUninstallSystem& system, std::string_view argument, UninstallReport* reportOut)
{
    UninstallLogs logs;
    std::string fileLogPath;
    if (!NormalisePath(argument, fileLogPath) || !FindUninstallLogs(fileLogPath, logs)) {
        system.ShowMessage(kMsgBadArgument, kCaptionError, true);
        return UninstallEnd::BadArgument;
    }
    std::string fileLog;
    switch (ReadLog(system, logs.fileLogPath, fileLog)) {
    case LogRead::Read: break;
    case LogRead::Missing:
        OfferToRemoveEntry(system, logs);
        return UninstallEnd::LogUnreadable;
    case LogRead::TooLarge:
        system.ShowMessage(kMsgLogTooLarge + logs.fileLogPath, kCaptionError, true);
        return UninstallEnd::LogUnreadable;
    }
    // A missing directory log (an install cancelled early) leaves only the
    // files to remove.
    std::string dirLog;
    ReadLog(system, logs.dirLogPath, dirLog);

    const std::string caption = kCaptionUninstall + logs.displayName;
    if (!system.Confirm(kAskBefore + logs.displayName + kAskAfter, caption)) return UninstallEnd::Declined;

    const TrustedFolders trusted = FindTrustedFolders(system, logs);
    UninstallReport report;
    std::string path;
    for (const std::string& logged : ReadLogPaths(fileLog))
        if (MayRemove(system, trusted, logged, false, path, report) && system.RemoveFile(path) == Removal::Failed)
            report.filesLeft.push_back(path);

    // The logs lie in the install folder, which can only go once they are
    // gone; they stay while anything logged is left, for another run.
    bool logsRemoved = false;
    if (report.filesLeft.empty()) {
        logsRemoved = true;
        for (const std::string* log : {&logs.fileLogPath, &logs.dirLogPath}) {
            if (!MayRemove(system, trusted, *log, false, path, report)) {
                logsRemoved = false;
            } else if (system.RemoveFile(path) == Removal::Failed) {
                report.filesLeft.push_back(path);
                logsRemoved = false;
            }
        }
    }

    // Sorted again here: an install cancelled before its last step leaves the
    // directory log in creation order. Normal forms have no trailing
    // backslash, so a sub-folder's path is always longer than its parent's.
    std::vector<std::string> folders;
    for (const std::string& logged : ReadLogPaths(dirLog))
        if (MayRemove(system, trusted, logged, true, path, report)) folders.push_back(path);
    SortLongestFirst(folders);
    std::vector<std::string> foldersThere;  // in the order tried, longest first
    for (const std::string& folder : folders) {
        switch (system.RemoveFolder(folder)) {
        case Removal::Removed:
        case Removal::Missing: break;
        case Removal::NotEmpty:
            if (std::find(report.foldersKept.begin(), report.foldersKept.end(), folder) == report.foldersKept.end()) {
                report.foldersKept.push_back(folder);
                foldersThere.push_back(folder);
            }
            break;
        case Removal::Failed:
            report.foldersLeft.push_back(folder);
            foldersThere.push_back(folder);
            break;
        }
    }

    const bool partial = !report.filesLeft.empty() || !report.foldersLeft.empty();
    if (partial) {
        // The logs now hold what is left; the next run takes it from there.
        std::vector<std::string> filesThere;
        for (const std::string& file : report.filesLeft)
            if (file != logs.fileLogPath && file != logs.dirLogPath) filesThere.push_back(file);
        const bool rewritten = system.RewriteFile(logs.fileLogPath, LogText(filesThere));
        system.RewriteFile(logs.dirLogPath, LogText(foldersThere));
        report.logsKept = rewritten || !logsRemoved;
    } else {
        // The entry goes only when it is this install's: another install of
        // the same name may have taken it over.
        std::string command;
        if (system.ReadUninstallString(logs.displayName, command) && CommandNamesLog(command, logs.fileLogPath))
            report.entryRemoved = system.DeleteUninstallEntry(logs.displayName);
    }

    const bool complete = !partial && report.foldersKept.empty() && report.keptOutside.empty() &&
                          report.refusedLinks.empty();
    system.ShowMessage(ReportText(logs.displayName, report), complete ? kCaptionDone : caption, !complete);
    if (reportOut) *reportOut = report;
    return complete ? UninstallEnd::Done : UninstallEnd::Partly;
}

} // namespace vela
