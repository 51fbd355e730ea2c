// The uninstaller's work, apart from the windows it shows.
#include "installer/uninstall/Uninstall.h"

#include <algorithm>
#include <cstdint>

#include "installer/package/TextFields.h"

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
// ……另有 N 项
constexpr char kMsgMoreBefore[] = "\xA1\xAD\xA1\xAD\xC1\xED\xD3\xD0 ";
constexpr char kMsgMoreAfter[] = " \xCF\xEE";

constexpr std::string_view kFileLogSuffix = "file.ini";
constexpr std::string_view kDirLogSuffix = "dir.ini";
// Entries listed per section of the closing message.
constexpr std::size_t kListedEntries = 10;

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
    for (std::size_t i = 0; i < entries.size() && i < kListedEntries; ++i) text += "\r\n" + entries[i];
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
    if (slash == kNotFound || slash + 1 >= stem.size()) return false;
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
    const bool complete = report.filesLeft.empty() && report.foldersKept.empty() && report.foldersLeft.empty();
    std::string text(displayName);
    text += complete ? kMsgRemoved : kMsgRemovedPartly;
    AppendList(text, kMsgFilesLeft, report.filesLeft);
    AppendList(text, kMsgFoldersLeft, report.foldersLeft);
    AppendList(text, kMsgFoldersKept, report.foldersKept);
    return text;
}

UninstallEnd RunUninstall(IUninstallSystem& system, std::string_view argument, UninstallReport* reportOut)
{
    UninstallLogs logs;
    if (!FindUninstallLogs(argument, logs)) {
        system.ShowMessage(kMsgBadArgument, kCaptionError, true);
        return UninstallEnd::BadArgument;
    }
    std::string fileLog;
    switch (ReadLog(system, logs.fileLogPath, fileLog)) {
    case LogRead::Read: break;
    case LogRead::Missing:
        system.ShowMessage(kMsgLogMissing + logs.fileLogPath, kCaptionError, true);
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

    UninstallReport report;
    for (const std::string& path : ReadLogPaths(fileLog))
        if (system.RemoveFile(path) == Removal::Failed) report.filesLeft.push_back(path);
    // The logs lie in the install folder, which can only go once they are gone.
    for (const std::string* path : {&logs.fileLogPath, &logs.dirLogPath})
        if (system.RemoveFile(*path) == Removal::Failed) report.filesLeft.push_back(*path);

    // Sorted again here: an install cancelled before its last step leaves the
    // directory log in creation order.
    std::vector<std::string> folders = ReadLogPaths(dirLog);
    SortLongestFirst(folders);
    for (std::string& folder : folders) {
        // A folder listed with its trailing backslash is the same folder.
        if (EndsWithBackslash(folder) && folder.size() > 3) folder.pop_back();
        switch (system.RemoveFolder(folder)) {
        case Removal::Removed:
        case Removal::Missing: break;
        case Removal::NotEmpty:
            if (std::find(report.foldersKept.begin(), report.foldersKept.end(), folder) == report.foldersKept.end())
                report.foldersKept.push_back(folder);
            break;
        case Removal::Failed: report.foldersLeft.push_back(folder); break;
        }
    }

    // The entry goes only when it is this install's: another install of the
    // same name may have taken it over.
    std::string command;
    if (system.ReadUninstallString(logs.displayName, command) && CommandNamesLog(command, logs.fileLogPath))
        report.entryRemoved = system.DeleteUninstallEntry(logs.displayName);

    const bool complete = report.filesLeft.empty() && report.foldersKept.empty() && report.foldersLeft.empty();
    system.ShowMessage(ReportText(logs.displayName, report), complete ? kCaptionDone : caption, !complete);
    if (reportOut) *reportOut = report;
    return complete ? UninstallEnd::Done : UninstallEnd::Partly;
}

} // namespace vela
