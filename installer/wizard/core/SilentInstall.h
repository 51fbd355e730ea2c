#pragma once
// The silent install: "/S" on the installer's command line installs with no
// window at all. The start-up runs as always (package and trailer checks,
// script, folder), the pages take their defaults (the script's folder, the
// licence agreed, the run entry not started, no questions) and the same
// install worker does the work, reporting to a log instead of a page.
//
//   /S               install silently
//   /LOG=<file>      write what the progress page would show, one line per
//                    step, UTF-8 (a file name with blanks is quoted)
//   /D=<folder>      the install folder; the last switch, taken to the end of
//                    the command line as it stands (blanks included, no quotes;
//                    a launcher's quotes around the whole switch are dropped)
//
// Without /S the command line is not looked at: the wizard runs as always.
// Texts are GB2312 in fixed buffers; nothing here allocates.
#include <cstddef>
#include <cstdint>

#include "installer/engine/InstallWorker.h"
#include "installer/engine/System.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"
#include "installer/package/Startup.h"
#include "installer/wizard/core/PageLogic.h"

namespace vela {

// The exit codes of a silent run.
enum SilentExit : int {
    kSilentInstalled = 0,
    kSilentCancelled = 1,
    kSilentRefused = 2,  // bad package, bad folder, bad switches: nothing installed
    kSilentFailed = 3,   // the install started and something failed
};

// 错误 (the caption of every refusal in the log)
inline constexpr const char kSilentErrorCaption[] = "\xB4\xED\xCE\xF3";
// 无法识别的命令行开关。用法：/S [/LOG=日志文件] [/D=安装路径]
inline constexpr const char kSilentBadSwitches[] =
    "\xCE\xDE\xB7\xA8\xCA\xB6\xB1\xF0\xB5\xC4\xC3\xFC\xC1\xEE\xD0\xD0\xBF\xAA\xB9\xD8\xA1\xA3"
    "\xD3\xC3\xB7\xA8\xA3\xBA/S [/LOG=\xC8\xD5\xD6\xBE\xCE\xC4\xBC\xFE] [/D=\xB0\xB2\xD7\xB0\xC2\xB7\xBE\xB6]";

inline constexpr std::size_t kSilentFolderSize = 600;   // room to tell a too long folder from one that fits
inline constexpr std::size_t kSilentLogPathSize = 600;

struct SilentSwitches {
    // A constructor of its own: the buffers are cleared in place, not copied
    // from a zero image of the whole record kept in the program.
    SilentSwitches() {}

    bool silent = false;        // "/S"
    bool hasFolder = false;     // "/D=" given
    char folder[kSilentFolderSize] = {};
    bool hasLog = false;        // "/LOG=" given
    char logPath[kSilentLogPathSize] = {};
    // What makes a silent run refuse before it starts (the first problem).
    bool unknownSwitch = false;
    bool tooLong = false;       // a folder or log name longer than its buffer
};

// Parses a command line as the program received it (program name first,
// quoted or not). Switches are case-insensitive. Tokens are separated by
// blanks or tabs; double quotes group a token and are dropped, except in
// /D=, which takes the rest of the line with its trailing blanks removed.
void ParseSilentSwitches(const char* commandLine, SilentSwitches& switches);

// Where a silent run writes its lines (GB2312 texts; the system side writes
// them as UTF-8 lines).
class ISilentLog {
public:
    virtual ~ISilentLog() = default;
    virtual void WriteLine(const char* text) = 0;
};

// One line "caption: text" for a message that would have been shown; every
// one counts as a failure of the run.
class CSilentReport {
public:
    explicit CSilentReport(ISilentLog& log) : log_(log) {}
    void Line(const char* text) { log_.WriteLine(text); }
    void Message(const char* text, const char* caption);
    int Failures() const { return failures_; }

private:
    ISilentLog& log_;
    int failures_ = 0;
};

// The system's services with every message box turned into a log line.
class CSilentPlatform final : public IPlatform {
public:
    CSilentPlatform(IPlatform& inner, CSilentReport& report) : inner_(inner), report_(report) {}
    SystemPath ModuleFileName() override { return inner_.ModuleFileName(); }
    SystemPath TemporaryFolder() override { return inner_.TemporaryFolder(); }
    LocalTime Now() override { return inner_.Now(); }
    SystemPath WindowsFolder() override { return inner_.WindowsFolder(); }
    SystemPath SystemFolder() override { return inner_.SystemFolder(); }
    bool DesktopFolder(SystemPath& path) override { return inner_.DesktopFolder(path); }
    bool SetCurrentFolder(std::string_view path) override { return inner_.SetCurrentFolder(path); }
    SystemPath CurrentFolder() override { return inner_.CurrentFolder(); }
    RegistryReadResult ReadRegistryString(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                                          SystemPath& value) override
    {
        return inner_.ReadRegistryString(root, keyPath, valueName, value);
    }
    bool StartSockets() override { return inner_.StartSockets(); }
    void ShowMessage(std::string_view text, std::string_view caption) override;
    std::unique_ptr<IBinaryFile> OpenForReading(std::string_view path) override
    {
        return inner_.OpenForReading(path);
    }
    std::unique_ptr<IBinaryFile> CreateForWriting(std::string_view path) override
    {
        return inner_.CreateForWriting(path);
    }
    std::unique_ptr<IBinaryFile> CreateNewForWriting(std::string_view path) override
    {
        return inner_.CreateNewForWriting(path);
    }
    bool RemoveFile(std::string_view path) override { return inner_.RemoveFile(path); }

private:
    IPlatform& inner_;
    CSilentReport& report_;
};

// The progress page of a silent run: status lines go to the log, messages
// too (as failures); the checkpoint's question is never put to anyone: a
// cancel request stands.
class CSilentProgress final : public IProgressPage {
public:
    explicit CSilentProgress(CSilentReport& report) : report_(report) {}
    void SetStatusText(const char* text) override { report_.Line(text); }
    bool AskYesNo(const char*, const char*) override { return true; }
    void ShowMessage(const char* text, const char* caption) override { report_.Message(text, caption); }
    void RequestQuit() override {}

private:
    CSilentReport& report_;
};

// Runs the whole silent install: start-up, folder, worker, completion.
// platform must already be the silent one (messages to the log). Returns the
// exit code.
int RunSilentInstall(IPlatform& platform, IEngineSystem& system, InstallContext& context, std::uint64_t packageOffset,
                     const SilentSwitches& switches, CSilentReport& report);

} // namespace vela
