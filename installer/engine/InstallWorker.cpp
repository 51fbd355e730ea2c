#include "installer/engine/InstallWorker.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "installer/engine/EngineTexts.h"
#include "installer/package/FixedText.h"
#include "installer/package/Messages.h"
#include "installer/package/Package.h"
#include "installer/package/PathMacros.h"
#include "installer/package/TextFields.h"

namespace vela {
namespace {

constexpr char kFlagRun = '1';
constexpr char kFlagRegistryScript = '2';
constexpr char kFlagUnrecorded = '4';

// A stored file is written beside its target under the target's name and one
// of these endings, then put in its place.
constexpr const char kBesideSuffix[] = ".new~";
constexpr int kBesideTries = 10;  // one digit each

bool StartsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Copies the first part into buffer and appends the others, each as CopyText
// and AppendText would (a part that does not fit is left out); false when one
// did not fit.
bool JoinText(char* buffer, std::size_t capacity, std::initializer_list<const char*> parts)
{
    bool whole = true;
    bool first = true;
    for (const char* part : parts) {
        whole = (first ? CopyText(buffer, capacity, part) : AppendText(buffer, capacity, part)) && whole;
        first = false;
    }
    return whole;
}

template <std::size_t N>
bool JoinText(char (&buffer)[N], std::initializer_list<const char*> parts)
{
    return JoinText(buffer, N, parts);
}

} // namespace

CInstallWorker::CInstallWorker(IPlatform& platform, IEngineSystem& system, InstallContext& context,
                               IProgressPage& page)
    : platform_(platform), system_(system), context_(context), page_(page), env_{platform, system, context}
{
}

CInstallWorker::~CInstallWorker() = default;

bool CInstallWorker::Prepare()
{
    // installPath, a backslash, displayName and the log's own ending.
    const bool paths =
        JoinText(context_.dirLogPath, {context_.installPath, "\\", context_.displayName, "dir.ini"}) &&
        JoinText(context_.fileLogPath, {context_.installPath, "\\", context_.displayName, "file.ini"});
    CreateDirectoryChain(system_, context_.installPath);
    if (paths) {
        dirLog_ = platform_.CreateForWriting(context_.dirLogPath);
        fileLog_ = platform_.CreateForWriting(context_.fileLogPath);
    }
    if (dirLog_ && fileLog_) return true;
    CloseStreams();
    page_.ShowMessage(kMsgInstallFailed, kCaptionError);
    page_.RequestQuit();
    return false;
}

WorkerEnd CInstallWorker::Run()
{
    // 1. The Windows and desktop folders, for the log filters.
    CopyText(windowsPrefix_, kWindowsMacro);
    ExpandPathMacros(platform_, context_, windowsPrefix_);
    CopyText(desktopPrefix_, kDesktopMacro);
    ExpandPathMacros(platform_, context_, desktopPrefix_);

    // 2, 3. The package and the script.
    package_ = platform_.OpenForReading(context_.packagePath);
    if (!package_) return Stop(WorkerEnd::PackageUnreadable, kMsgPackageOpenError);
    script_ = OpenScript(platform_, context_.scriptFilePath);
    if (!script_) return Stop(WorkerEnd::ScriptUnreadable, kMsgInstallScriptError);

    // 4, 5. Folders, then files.
    MakeFolders();
    if (const WorkerEnd copied = CopyFiles(); copied != WorkerEnd::Completed) return Stop(copied);

    // 6. The copy is done.
    script_.reset();
    package_.reset();

    // 7 to 11. Registrations, deletions and shortcuts from the script read
    // anew; without it the install goes on with the logs.
    script_ = OpenScript(platform_, context_.scriptFilePath);
    if (script_) {
        if (!RegisterDeleteAndLink()) return Stop(WorkerEnd::Cancelled);
        script_.reset();
        if (context_.registerUninstall) {
            char name[kNameSize + sizeof kUninstallPrefix];
            JoinText(name, {kUninstallPrefix, context_.displayName});
            JoinText(line_, {windowsPrefix_, kUninstallerName});  // the line buffer is free here
            CreateShortcut(env_, {context_.startMenuGroupPath, fileLog_.get()}, line_, name,
                           ShortcutPlace::ProgramGroup, context_.fileLogPath);
        }
    }

    // 12. The logs are complete (nothing else is open any more).
    CloseStreams();

    // 13 to 15.
    WriteUninstallEntry();
    SortDirectoryLog(platform_, context_.dirLogPath);
    context_.progressCount.fetch_add(1);
    return WorkerEnd::Completed;
}

WorkerEnd CInstallWorker::Stop(WorkerEnd end, const char* message)
{
    if (message) page_.ShowMessage(message, kCaptionError);
    // The streams are closed here, on the only thread that uses them, before
    // the page learns of the end: it deletes the script and ends the program
    // (a file still open could not be deleted).
    CloseStreams();
    context_.installAborted.store(true);
    return end;
}

void CInstallWorker::CloseStreams()
{
    script_.reset();
    package_.reset();
    dirLog_.reset();
    fileLog_.reset();
}

bool CInstallWorker::Checkpoint()
{
    if (!context_.cancelRequested.load()) return true;
    if (page_.AskYesNo(kMsgCancelInstallQuestion, kCaptionExitQuestion)) return false;
    context_.cancelRequested.store(false);
    return true;
}

void CInstallWorker::WriteLine(IBinaryFile* log, const char* text)
{
    if (!log) return;
    // One write for the line and its end where it fits the line buffer.
    char line[kWorkerPathSize + 2];
    const std::size_t length = std::strlen(text);
    if (length + 2 > sizeof line) {
        log->Write(text, length);
        log->Write("\r\n", 2);
        return;
    }
    std::memcpy(line, text, length);
    std::memcpy(line + length, "\r\n", 2);
    log->Write(line, length + 2);
}

std::string_view CInstallWorker::ExpandLine()
{
    CutLineEnd(line_);
    ExpandPathMacros(platform_, context_, line_);
    return line_;
}

std::string_view CInstallWorker::Expand(char (&buffer)[kWorkerPathSize], std::string_view text)
{
    CopyText(buffer, text);
    ExpandPathMacros(platform_, context_, buffer);
    return buffer;
}

void CInstallWorker::MakeFolders()
{
    script_->SkipToSection(kDirectoryHeader, kShortLineBound);
    while (script_->ReadSectionLine(kFileHeader, line_, kShortLineBound)) {
        const std::string_view folder = ExpandLine();
        // Desktop folders are the user's: the uninstaller must never remove them.
        if (!StartsWith(line_, desktopPrefix_)) WriteLine(dirLog_.get(), line_);
        CreateDirectoryChain(system_, folder);
    }
}

void CInstallWorker::SetCopyStatus(const char* target)
{
    const std::size_t slash = FindLastBackslash(target);
    const char* name = slash == kNotFound ? target : target + slash + 1;
    CopyText(status_, Constant(kStatusCopyStart));
    if (!AppendText(status_, name)) {
        // A name too long for the line shows as much of it as fits, whole characters only.
        std::size_t keep = 0;
        constexpr std::size_t room = sizeof status_ - (sizeof kStatusCopyStart - 1) - sizeof kStatusCopyEnd;
        for (std::size_t i = 0; name[i] != '\0';) {
            const std::size_t width = IsLeadByte(static_cast<unsigned char>(name[i])) && name[i + 1] ? 2 : 1;
            if (i + width > room) break;
            i += width;
            keep = i;
        }
        AppendText(status_, std::string_view(name, keep));
    }
    AppendText(status_, Constant(kStatusCopyEnd));
    page_.SetStatusText(status_);
}

void CInstallWorker::RecordFile(const char* target, char flag)
{
    if (flag == kFlagUnrecorded) return;
    // Files of the system's own folders stay when the program is removed,
    // except those on the desktop.
    if (StartsWith(target, windowsPrefix_) && !StartsWith(target, desktopPrefix_)) return;
    WriteLine(fileLog_.get(), target);
}

WorkerEnd CInstallWorker::CopyFiles()
{
    // The two picture lines.
    script_->ReadLine(line_, kShortLineBound);
    script_->ReadLine(line_, kShortLineBound);

    FileTableEntry entry;
    while (!script_->AtEnd()) {
        if (!Checkpoint()) return WorkerEnd::Cancelled;
        if (!script_->ReadLine(line_, kShortLineBound)) break;
        const std::string_view line(line_);
        if (IsHeaderLine(line, kTotalSizeHeader)) break;
        ParseFileTableLine(line, entry);
        const std::string_view path = Expand(path_, entry.target);

        SetCopyStatus(path_);
        system_.ClearFileAttributes(path);
        if (!WriteStoredFile(entry, path)) {
            // A file that is not there whole is no install: say which, and
            // end without the completion page or the Uninstall entry.
            char text[sizeof kMsgInstallFailed + 2 + kWorkerPathSize];
            JoinText(text, {kMsgInstallFailed, "\r\n", path_});
            page_.ShowMessage(text, kCaptionError);
            return WorkerEnd::FileNotWritten;
        }
        RecordFile(path_, entry.flag);
        context_.progressCount.fetch_add(1);

        if (entry.flag == kFlagRun) {
            RunInstallAction(env_, path);
        } else if (entry.flag == kFlagRegistryScript) {
            ImportRegistryScript(env_, path);
            platform_.RemoveFile(path);
        }
    }
    return WorkerEnd::Completed;
}

bool CInstallWorker::WriteStoredFile(const FileTableEntry& entry, std::string_view path)
{
    // A target that is not there yet is written in its place; a file already
    // there is replaced only by a complete new one, written beside it first.
    // Either is removed again when it is not written whole.
    FixedText<kWorkerPathSize + sizeof kBesideSuffix + 1> beside;
    std::unique_ptr<IBinaryFile> out = platform_.CreateNewForWriting(path);
    for (int n = 0; n < kBesideTries && !out; ++n) {
        beside = path;
        beside.Append(Constant(kBesideSuffix));
        if (n > 0) beside.Append(static_cast<char>('0' + n));
        out = platform_.CreateNewForWriting(beside);
    }
    if (!out) return false;
    const bool copied = CopyStoredItem(*package_, *out, context_.packageDataBase + entry.offset, entry.size);
    out.reset();
    if (copied && (beside.empty() || system_.PutFileInPlace(beside, path))) return true;
    platform_.RemoveFile(beside.empty() ? path : beside.view());
    return false;
}

bool CInstallWorker::RegisterDeleteAndLink()
{
    // 8. Registrations.
    script_->SkipToSection(kAutoRegHeader, kLongLineBound);
    page_.SetStatusText(kStatusRegistering);
    while (script_->ReadSectionLine(kClearFileHeader, line_, kLongLineBound)) {
        if (!Checkpoint()) return false;
        RunInstallAction(env_, ExpandLine());
    }

    // 9. Deletions; a file that is not there is no matter.
    while (script_->ReadSectionLine(kMenuHeader, line_, kLongLineBound)) platform_.RemoveFile(ExpandLine());

    // 10. The program group and its shortcuts.
    if (!script_->ReadLine(line_, kLongLineBound)) line_[0] = '\0';
    CutLineEnd(line_);
    JoinText(context_.startMenuGroupPath, {kStartMenuMacro.data(), "\\", line_, "\\"});
    ExpandPathMacros(platform_, context_, context_.startMenuGroupPath);

    page_.SetStatusText(kStatusShortcuts);
    const ShortcutDestination destination{context_.startMenuGroupPath, fileLog_.get()};
    MenuEntry entry;
    char arguments[kWorkerPathSize];
    while (script_->ReadSectionLine(kRunHeader, line_, kLongLineBound)) {
        ParseMenuLine(line_, entry);
        const ShortcutTarget target = SplitShortcutTarget(entry.target);
        const std::string_view program = Expand(path_, target.program);
        const std::string_view programArguments = Expand(arguments, target.arguments);
        // In the program group, and on the desktop when the line asks.
        for (const ShortcutPlace place : {ShortcutPlace::ProgramGroup, ShortcutPlace::Desktop}) {
            if (place == ShortcutPlace::Desktop && !entry.onDesktop) break;
            CreateShortcut(env_, destination, program, entry.name, place, programArguments);
        }
    }
    return true;
}

void CInstallWorker::WriteUninstallEntry()
{
    page_.SetStatusText(kStatusUpdating);
    const RegistryKey key = system_.OpenRegistryKey(RegistryRoot::LocalMachine, Constant(kUninstallKey));
    if (key == kNoRegistryKey) {
        page_.ShowMessage(kMsgRegistryWriteError, "");
        return;
    }
    if (context_.registerUninstall) {
        const std::string_view displayName(context_.displayName);
        const RegistryKey entry = system_.CreateRegistrySubKey(key, displayName);
        if (entry != kNoRegistryKey) {
            char command[kWorkerPathSize + kLogPathSize];
            JoinText(command, {windowsPrefix_, kUninstallerName, " ", context_.fileLogPath});
            system_.SetRegistryString(entry, Constant(kDisplayNameValue), displayName);
            system_.SetRegistryString(entry, Constant(kUninstallStringValue), command);
            system_.CloseRegistryKey(entry);
        }
    }
    system_.CloseRegistryKey(key);
}

ProgressTick CheckProgress(const InstallContext& context, std::int32_t& lastSeen)
{
    ProgressTick tick;
    const std::int32_t count = context.progressCount.load();
    if (count != lastSeen) {
        lastSeen = count;
        tick.moveBar = true;
        tick.barPosition = ProgressBarPosition(count, context.packageFileCount);
        if (std::int64_t{count} == std::int64_t{context.packageFileCount} + 1) {
            tick.completed = true;
            return tick;
        }
    }
    tick.aborted = context.installAborted.load();
    return tick;
}

int ProgressBarPosition(std::int32_t count, std::int32_t fileCount)
{
    if (fileCount <= 0 || count >= fileCount - 1) return 100;
    if (count < 0) return 0;
    // Here 0 < count + 1 < fileCount, and (count + 1) × 100 may not fit 32
    // bits: add count + 1 a hundred times and carry each whole fileCount into
    // the percentage; the remainder stays below fileCount, every sum below
    // 2^32, and the stub needs no 64-bit division.
    const std::uint32_t step = static_cast<std::uint32_t>(count) + 1;
    const std::uint32_t whole = static_cast<std::uint32_t>(fileCount);
    std::uint32_t rest = 0;
    int position = 0;
    for (int i = 0; i < 100; ++i) {
        rest += step;
        if (rest >= whole) {
            rest -= whole;
            ++position;
        }
    }
    return position;
}

void EndAbortedInstall(IPlatform& platform, const InstallContext& context, IProgressPage& page)
{
    platform.RemoveFile(context.scriptFilePath);
    page.RequestQuit();
}

void RequestCancel(InstallContext& context)
{
    context.cancelRequested.store(true);
}

namespace {

// A block of the C heap that frees itself.
struct HeapBlock {
    void* data = nullptr;
    HeapBlock() = default;
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    ~HeapBlock() { std::free(data); }
    // Resizes the block, keeping its bytes; false (the block as it was) when
    // there is no memory or the size cannot be counted.
    bool Resize(std::size_t count, std::size_t size)
    {
        if (size != 0 && count > static_cast<std::size_t>(-1) / size) return false;
        void* grown = std::realloc(data, count * size != 0 ? count * size : 1);
        if (!grown) return false;
        data = grown;
        return true;
    }
};

struct LogLine {
    std::size_t start;
    std::size_t length;  // with its line end
};

// Orders lines longest first, keeping the order of lines of equal length:
// both halves sorted, then merged through scratch (a line of the second half
// goes first only when it is longer).
void SortLongestFirst(LogLine* lines, LogLine* scratch, std::size_t count)
{
    if (count < 2) return;
    const std::size_t half = count / 2;
    SortLongestFirst(lines, scratch, half);
    SortLongestFirst(lines + half, scratch, count - half);
    for (std::size_t i = 0, j = half, k = 0; k < count; ++k)
        scratch[k] = j < count && (i == half || lines[j].length > lines[i].length) ? lines[j++] : lines[i++];
    std::memcpy(lines, scratch, count * sizeof *lines);
}

} // namespace

bool SortDirectoryLog(IPlatform& platform, const char* dirLogPath)
{
    HeapBlock text;
    std::size_t size = 0;
    {
        std::unique_ptr<IBinaryFile> in = platform.OpenForReading(dirLogPath);
        if (!in) return false;
        std::size_t capacity = 0;
        for (;;) {
            if (size == capacity) {
                // Room for a missing line end as well.
                if (capacity > static_cast<std::size_t>(-1) / 2 - 4096) return false;
                capacity = capacity * 2 + 4096;
                if (!text.Resize(capacity + 2, 1)) return false;
            }
            const std::size_t n = in->Read(static_cast<char*>(text.data) + size, capacity - size);
            if (n == 0) break;
            size += n;
        }
    }
    char* bytes = static_cast<char*>(text.data);
    if (size > 0 && bytes[size - 1] != '\n') {
        bytes[size++] = '\r';
        bytes[size++] = '\n';
    }

    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) count += bytes[i] == '\n';
    HeapBlock lineBlock;
    HeapBlock scratchBlock;
    if (!lineBlock.Resize(count, sizeof(LogLine)) || !scratchBlock.Resize(count, sizeof(LogLine))) return false;
    auto* lines = static_cast<LogLine*>(lineBlock.data);
    for (std::size_t start = 0, i = 0, k = 0; i < size; ++i) {
        if (bytes[i] == '\n') {
            lines[k++] = {start, i + 1 - start};
            start = i + 1;
        }
    }
    SortLongestFirst(lines, static_cast<LogLine*>(scratchBlock.data), count);

    std::unique_ptr<IBinaryFile> out = platform.CreateForWriting(dirLogPath);
    if (!out) return false;
    for (std::size_t k = 0; k < count; ++k) {
        if (out->Write(bytes + lines[k].start, lines[k].length) != lines[k].length) return false;
    }
    return true;
}

} // namespace vela
