#include "installer/wizard/core/SilentInstall.h"

#include <cstring>

#include "installer/package/TextFields.h"

namespace vela {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// True when text starts with the switch name (case-insensitive).
bool StartsWithSwitch(const char* text, const char* name)
{
    for (; *name; ++text, ++name)
        if (Upper(*text) != *name) return false;
    return true;
}

// The width of the character at p: 2 for a double-byte one (whose trail
// byte may look like anything), else 1.
std::size_t CharWidth(const char* p) { return IsLeadByte(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1; }

// Copies one token (quotes group and are dropped) into buffer, character by
// character; returns the position after it.
const char* TakeToken(const char* p, char* buffer, std::size_t capacity, bool& tooLong)
{
    std::size_t n = 0;
    bool quoted = false;
    while (*p && (quoted || !IsBlank(*p))) {
        if (*p == '"') {
            quoted = !quoted;
            ++p;
            continue;
        }
        const std::size_t width = CharWidth(p);
        if (n + width < capacity) {
            for (std::size_t i = 0; i < width; ++i) buffer[n++] = p[i];
        } else {
            tooLong = true;
        }
        p += width;
    }
    buffer[n] = '\0';
    return p;
}

// Copies as much of text as fits, whole characters only.
void CopyCut(char* buffer, std::size_t capacity, std::string_view text)
{
    std::size_t keep = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + width > capacity - 1) break;
        i += width;
        keep = i;
    }
    std::memcpy(buffer, text.data(), keep);
    buffer[keep] = '\0';
}

class SilentPages final : public IWizardPages {
public:
    SilentPages(IPlatform& platform, IEngineSystem& system, InstallContext& context, const SilentSwitches& switches,
                CSilentReport& report)
        : platform_(platform), system_(system), context_(context), switches_(switches), report_(report)
    {
    }
    void RunPathPageAsMain() override { Install(); }
    void RunSplash() override {}
    bool RunWelcome() override { return true; }
    void RunLicenceAsMain() override { Install(); }
    int exitCode = kSilentRefused;

private:
    void Install();

    IPlatform& platform_;
    IEngineSystem& system_;
    InstallContext& context_;
    const SilentSwitches& switches_;
    CSilentReport& report_;
};

void SilentPages::Install()
{
    // The licence counts as agreed, as on the path page.
    InitPathPage(context_);

    // The folder: /D= or the script's, with the path page's checks. A folder
    // the page's box could not hold whole is refused, never cut.
    char folder[kSilentFolderSize];
    CopyText(folder, switches_.hasFolder ? switches_.folder : context_.installPath);
    PathCheck check = std::strlen(folder) >= kPathBoxSize ? PathCheck::WrongShape : PathCheck::Accepted;
    if (check == PathCheck::Accepted) check = AcceptInstallPath(platform_, system_, context_, folder);
    if (check != PathCheck::Accepted) {
        report_.Message(PathCheckMessage(check), kSilentErrorCaption);
        exitCode = kSilentRefused;
        return;
    }

    // The same worker as the progress page, on this thread.
    CSilentProgress progress(report_);
    CInstallWorker worker(platform_, system_, context_, progress);
    if (!worker.Prepare()) {
        exitCode = kSilentFailed;
        return;
    }
    const WorkerEnd end = worker.Run();
    if (end != WorkerEnd::Completed) {
        EndAbortedInstall(platform_, context_, progress);
        exitCode = end == WorkerEnd::Cancelled ? kSilentCancelled : kSilentFailed;
        return;
    }
    // The completion page: its message, the run entry read and not started,
    // the temporary script deleted.
    CompletionTexts texts;
    LoadCompletionPage(platform_, context_, texts);
    report_.Line(texts.message);
    exitCode = report_.Failures() > 0 ? kSilentFailed : kSilentInstalled;
}

} // namespace

void ParseSilentSwitches(const char* commandLine, SilentSwitches& switches)
{
    const char* p = commandLine;
    // The program name, quoted or up to the first blank.
    const bool quotedName = *p == '"';
    if (quotedName) ++p;
    while (*p && (quotedName ? *p != '"' : !IsBlank(*p))) p += CharWidth(p);
    if (quotedName && *p == '"') ++p;
    char token[kSilentLogPathSize + 8];
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (!*p) break;
        // A launcher that quotes every argument with a blank in it hands
        // over "/D=..." in quotes: the same folder.
        const bool quotedFolder = p[0] == '"' && StartsWithSwitch(p + 1, "/D=");
        if (StartsWithSwitch(p, "/D=") || quotedFolder) {
            // The rest of the line, as it stands.
            const char* value = p + (quotedFolder ? 4 : 3);
            std::size_t length = std::strlen(value);
            while (length > 0 && IsBlank(value[length - 1])) --length;
            if (quotedFolder && length > 0 && value[length - 1] == '"') --length;
            switches.hasFolder = true;
            if (length < sizeof switches.folder) {
                std::memcpy(switches.folder, value, length);
                switches.folder[length] = '\0';
            } else {
                switches.tooLong = true;
            }
            break;
        }
        bool tooLong = false;
        p = TakeToken(p, token, sizeof token, tooLong);
        if (tooLong) switches.tooLong = true;
        if (StartsWithSwitch(token, "/S") && token[2] == '\0') {
            switches.silent = true;
        } else if (StartsWithSwitch(token, "/LOG=")) {
            switches.hasLog = true;
            if (!CopyText(switches.logPath, token + 5)) switches.tooLong = true;
        } else {
            switches.unknownSwitch = true;
        }
    }
}

void CSilentReport::Message(const char* text, const char* caption)
{
    ++failures_;
    char line[kSilentLogPathSize + kWorkerPathSize];
    line[0] = '\0';
    if (caption && *caption) {
        CopyCut(line, 100, caption);
        AppendText(line, ": ");
    }
    const std::size_t used = std::strlen(line);
    CopyCut(line + used, sizeof line - used, text);
    // A message of several lines is one line of the log: each line end
    // (CR LF, CR or LF) becomes one blank.
    char* to = line + used;
    for (const char* from = line + used; *from; ++from) {
        if (*from == '\r' && from[1] == '\n') continue;
        *to++ = *from == '\r' || *from == '\n' ? ' ' : *from;
    }
    *to = '\0';
    log_.WriteLine(line);
}

void CSilentPlatform::ShowMessage(std::string_view text, std::string_view caption)
{
    char t[kWorkerPathSize + 200];
    char c[100];
    CopyCut(t, sizeof t, text);
    CopyCut(c, sizeof c, caption);
    report_.Message(t, c);
}

int RunSilentInstall(IPlatform& platform, IEngineSystem& system, InstallContext& context, std::uint64_t packageOffset,
                     const SilentSwitches& switches, CSilentReport& report)
{
    if (switches.unknownSwitch || switches.tooLong || (switches.hasFolder && switches.folder[0] == '\0')) {
        report.Message(kSilentBadSwitches, kSilentErrorCaption);
        return kSilentRefused;
    }
    SilentPages pages(platform, system, context, switches, report);
    const StartupEnd end = RunStartup(platform, pages, context, packageOffset);
    // No welcome page is destroyed: its pictures go here.
    DeletePictureFiles(platform, context);
    switch (end) {
    case StartupEnd::PathPageRun:
    case StartupEnd::WizardRun:
        return pages.exitCode;
    case StartupEnd::WelcomeCancelled:
        return kSilentCancelled;
    case StartupEnd::SocketsFailed:
        return kSilentFailed;
    case StartupEnd::PackageUnreadable:
    case StartupEnd::PackageDamaged:
    case StartupEnd::PackageCorrupt:
    case StartupEnd::ScriptUnreadable:
    case StartupEnd::PicturesUnreadable:
        break;
    }
    return kSilentRefused;
}

} // namespace vela
