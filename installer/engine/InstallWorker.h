#pragma once
// The install worker and the progress page's logic: folders with the
// directory log, the file copy with its status line and the file log, the
// flag actions, registrations, deletions and shortcuts, the uninstall
// shortcut and Uninstall entry, the longest-first sort of the directory log
// and the final count; the cancel checkpoint and the progress figures.
//
// The worker runs on a thread of its own and reaches the progress page only
// through IProgressPage. The Windows page implements it by sending itself
// window messages that its own (user-interface) thread serves, so every call
// returns only when the page has acted; the texts need to live for the call
// only. progressCount, cancelRequested and installAborted of InstallContext
// are the only other things the two threads share.
//
// What the Windows side builds on this (the progress page, CSetupState):
//   - window shown: CInstallWorker::Prepare() on the page's thread; when it
//     returns true, start a thread whose procedure calls Run() once;
//   - timer 1 (100 ms): CheckProgress(); move the bar to barPosition when
//     moveBar; on completed end the page with OK and run the completion page;
//     on aborted stop the timer and call EndAbortedInstall();
//   - Cancel (button 2, the close box): RequestCancel();
//   - the page keeps the CInstallWorker alive until the worker thread has
//     ended (wait for the thread before destroying the worker).
// The worker uses IPlatform (files, deletion, folders of the system,
// owner-less messages) and IEngineSystem (attributes, files put in place,
// programs, registry writes, shell links).
//
// A stored file is written beside its target (the target's name and
// ".new~", or ".new~1" to ".new~9" when that name is taken) and then put in
// place of the target in one step; a file that cannot be written whole ends
// the install with "安装程序出错，安装失败！" and its path, leaving the old
// file as it was.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "installer/engine/Operations.h"
#include "installer/engine/System.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"
#include "installer/package/SetupScript.h"

namespace vela {

// What the worker (and the progress page's logic) asks of the page.
class IProgressPage {
public:
    virtual ~IProgressPage() = default;
    // Sets the status line (control 65530) to a GB2312 text.
    virtual void SetStatusText(const char* text) = 0;
    // A modal question owned by the page with the buttons Yes and No, No
    // being the default, no icon; true when the answer is Yes.
    virtual bool AskYesNo(const char* text, const char* caption) = 0;
    // A modal message owned by the page with an OK button. An empty caption
    // stands for the application's own title (the framework's message box).
    virtual void ShowMessage(const char* text, const char* caption) = 0;
    // Posts the quit message (exit code 0), which ends every page.
    virtual void RequestQuit() = 0;
};

// How the worker's run ended.
enum class WorkerEnd {
    Completed,          // every step done; progressCount went up by one at the end
    Cancelled,          // the user confirmed the checkpoint's question
    PackageUnreadable,  // the package could not be opened ("读取安装包时发生错误!!!")
    ScriptUnreadable,   // the script could not be opened ("读取安装文件时出错!")
    FileNotWritten,     // a stored file could not be put in place whole
                        // ("安装程序出错，安装失败！" and the file's path)
};

// Bounds of the directory log's sort, and of the worker's path buffers.
inline constexpr std::size_t kDirLogLineBound = 270;
inline constexpr std::size_t kInstallLineBound = kLongLineBound;  // [AutoReg] to [Run] lines
inline constexpr std::size_t kWorkerPathSize = 800;              // an expanded script path
inline constexpr std::size_t kStatusTextSize = 600;

class CInstallWorker {
public:
    CInstallWorker(IPlatform& platform, IEngineSystem& system, InstallContext& context, IProgressPage& page);
    ~CInstallWorker();
    CInstallWorker(const CInstallWorker&) = delete;
    CInstallWorker& operator=(const CInstallWorker&) = delete;

    // The page's "window shown" step, on the page's thread: builds dirLogPath
    // and fileLogPath, creates the install folder with its parents and both
    // logs (truncating old ones). False when a log cannot be created: the
    // page has then shown "安装程序出错，安装失败！" (caption "错误") and the quit
    // message is posted; the worker must not be started.
    bool Prepare();

    // The worker thread's procedure; call once, after Prepare() succeeded.
    // It ends by adding one to progressCount (completed) or, when it stops
    // early (cancel confirmed, package or script unreadable, a file not
    // written), by closing
    // every stream it holds and then setting installAborted, so the page ends
    // the program. Nothing of this object is touched after either store.
    WorkerEnd Run();

private:
    bool Checkpoint();
    // Shows message (caption "错误") when there is one, then ends the run.
    WorkerEnd Stop(WorkerEnd end, const char* message = nullptr);
    // Cuts the line end of the script line in line_ and expands its macro.
    std::string_view ExpandLine();
    // Copies text into buffer and expands its macro.
    std::string_view Expand(char (&buffer)[kWorkerPathSize], std::string_view text);
    void CloseStreams();
    void MakeFolders();
    WorkerEnd CopyFiles();         // Completed, Cancelled or FileNotWritten
    bool WriteStoredFile(const FileTableEntry& entry, std::string_view path);  // path views path_
    bool RegisterDeleteAndLink();  // false: cancel confirmed
    void WriteUninstallEntry();
    void SetCopyStatus(const char* target);
    void RecordFile(const char* target, char flag);
    void WriteLine(IBinaryFile* log, const char* text);

    IPlatform& platform_;
    IEngineSystem& system_;
    InstallContext& context_;
    IProgressPage& page_;
    EngineEnvironment env_;

    std::unique_ptr<IBinaryFile> dirLog_;
    std::unique_ptr<IBinaryFile> fileLog_;
    std::unique_ptr<IBinaryFile> package_;
    std::unique_ptr<CScriptFile> script_;

    char windowsPrefix_[kWorkerPathSize] = {};  // "[Windows Directory]" expanded
    char desktopPrefix_[kWorkerPathSize] = {};  // "[Windows Desktop]" expanded
    char line_[kWorkerPathSize] = {};
    char path_[kWorkerPathSize] = {};
    char status_[kStatusTextSize] = {};
};

// Timer 1 of the progress page. lastSeen is the count seen at the previous
// tick (0 before the first).
struct ProgressTick {
    bool moveBar = false;    // the count changed: move the bar to barPosition
    int barPosition = 0;     // 0 to 100
    bool completed = false;  // the count reached packageFileCount + 1
    bool aborted = false;    // installAborted is set (and not completed)
};
ProgressTick CheckProgress(const InstallContext& context, std::int32_t& lastSeen);

// The bar's position after count steps: (count + 1) × 100 / fileCount in
// integer arithmetic, at most 100; a package without files shows a full bar.
int ProgressBarPosition(std::int32_t count, std::int32_t fileCount);

// The page's answer to installAborted: deletes the temporary script and posts
// the quit message. The worker has closed its streams before raising the flag.
void EndAbortedInstall(IPlatform& platform, const InstallContext& context, IProgressPage& page);

// Cancel (button 2 and the close box): only asks the worker to stop at its
// next checkpoint.
void RequestCancel(InstallContext& context);

// Rewrites the directory log with its lines ordered by length, longest first;
// lines of equal length keep their order (the order of repeated bubble passes
// that swap only when the next line is longer). Every line is kept, however
// many and however long, and a last line without its CR LF gets one. False
// when the log cannot be read or rewritten (it is then left as it was).
bool SortDirectoryLog(IPlatform& platform, const char* dirLogPath);

} // namespace vela
