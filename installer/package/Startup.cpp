#include "installer/package/Startup.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "installer/package/Messages.h"
#include "installer/package/Package.h"
#include "installer/package/PathMacros.h"
#include "installer/package/SetupScript.h"
#include "installer/package/TextFields.h"
#include "installer/package/Trailer.h"

namespace vela {

namespace {

// Copies a script line without its CR LF into a buffer, cut at the buffer's
// size on a character boundary (a double-byte character is never split).
template <std::size_t N>
void CopyLineValue(char (&buffer)[N], const char* line)
{
    std::size_t size = std::strlen(line);
    size = size >= 2 ? size - 2 : 0;
    std::size_t keep = 0;
    for (std::size_t i = 0; i < size;) {
        std::size_t width = IsLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < size ? 2 : 1;
        if (i + width > N - 1) break;
        i += width;
        keep = i;
    }
    CopyText(buffer, std::string_view(line, keep));
}

bool IsOneLine(const char* line) { return std::strcmp(line, "1\r\n") == 0; }

// Shows the message of a start-up that ends before its pages and returns
// how it ended. Sockets that do not start are reported in the framework's
// box (the program's own title), the rest with the error caption.
StartupEnd Refuse(IPlatform& sys, StartupEnd end)
{
    static constexpr std::string_view kTexts[] = {
        kMsgSocketsFailed,   kMsgPackageOpenError, kMsgPackageDamaged,
        kMsgPackageCorrupt,  kMsgScriptOpenError,  kMsgPicturesOpenError,
    };
    static_assert(std::size(kTexts) == static_cast<std::size_t>(StartupEnd::PicturesUnreadable) + 1);
    sys.ShowMessage(kTexts[static_cast<int>(end)],
                    end == StartupEnd::SocketsFailed ? std::string_view("") : std::string_view(kCaptionError));
    return end;
}

// Extracts the picture a file-table line names into its temporary file. A
// picture file that could not be made new is not ours: its path is cleared
// so that no page shows or deletes it, and the result is false.
bool ExtractPicture(IPlatform& sys, IBinaryFile& package, const InstallContext& ctx, const char* line, char* path)
{
    FileTableEntry entry;
    ParseFileTableLine(line, entry);
    if (ExtractStoredFileNew(sys, package, path, ctx.packageDataBase + entry.offset, entry.size) !=
        ExtractResult::NotCreated)
        return true;
    path[0] = '\0';
    return false;
}

// Checks the package against its integrity trailer, then as a whole, and
// reads its header; false with the refusal when one fails. Kept out of line:
// the checks read through large buffers of their own, which in the
// start-up's frame would put every other local of it out of short reach.
[[gnu::noinline]] bool CheckWholePackage(IBinaryFile& package, std::uint64_t packageOffset, PackageHeader& header,
                                         StartupEnd& refusal)
{
    // A package that does not match its integrity trailer was damaged on its
    // way here; one without a trailer is taken as it stands.
    const TrailerCheck trailer = CheckTrailer(package, packageOffset).result;
    if (trailer != TrailerCheck::Absent && trailer != TrailerCheck::Sound) {
        refusal = StartupEnd::PackageCorrupt;
        return false;
    }
    // The header is checked together with the whole package before anything
    // is written.
    PackageProblem problem;
    refusal = StartupEnd::PackageDamaged;
    return CheckPackage(package, packageOffset, problem) && ReadPackageHeader(package, packageOffset, header);
}

} // namespace

StartupEnd RunStartup(IPlatform& sys, IWizardPages& pages, InstallContext& ctx, std::uint64_t packageOffset)
{
    // 1. Sockets (the framework's message box: the program's own title).
    if (!sys.StartSockets()) {
        return Refuse(sys, StartupEnd::SocketsFailed);
    }

    // 2. Counters.
    ctx.packageDataBase = static_cast<std::int64_t>(packageOffset);
    ctx.progressCount = 0;
    ctx.cancelRequested = false;
    ctx.installAborted = false;

    // 3. Temporary paths.
    // Every temporary file is a new one: a stem whose files exist already
    // is passed over, and a file that appears in the meantime is neither
    // written, read nor deleted.
    const SystemPath temporaryFolder = sys.TemporaryFolder();
    const TemporaryText stem = TemporaryStem(temporaryFolder, sys.Now());
    if (temporaryFolder.Overflowed() || stem.Overflowed() || !ChooseTemporaryPaths(sys, ctx, stem)) {
        return Refuse(sys, StartupEnd::ScriptUnreadable);
    }

    // 4. The program's own file.
    std::unique_ptr<IBinaryFile> package;
    const SystemPath moduleFileName = sys.ModuleFileName();
    if (!moduleFileName.empty() && CopyText(ctx.packagePath, moduleFileName))
        package = sys.OpenForReading(ctx.packagePath);
    if (!package) {
        return Refuse(sys, StartupEnd::PackageUnreadable);
    }

    // 5. Trailer, whole package and header, before anything is written.
    PackageHeader header;
    StartupEnd refusal;
    if (!CheckWholePackage(*package, packageOffset, header, refusal)) {
        return Refuse(sys, refusal);
    }
    ctx.packageFileCount = header.fileCount;

    // 6. The script.
    const ExtractResult scriptWritten =
        ExtractStoredFileNew(sys, *package, ctx.scriptFilePath,
                             static_cast<std::int64_t>(packageOffset + kPackageHeaderSize), header.scriptLength);
    ctx.packageDataBase += header.scriptLength;
    package.reset();
    if (scriptWritten != ExtractResult::Done) {
        if (scriptWritten == ExtractResult::NotCreated) ctx.scriptFilePath[0] = '\0';  // not ours
        return Refuse(sys, StartupEnd::ScriptUnreadable);
    }

    // 7. The [Basal] lines.
    BasalLines basal;
    {
        auto script = OpenScript(sys, ctx.scriptFilePath);
        if (!script) return Refuse(sys, StartupEnd::ScriptUnreadable);
        ReadBasal(*script, basal);
    }
    CopyLineValue(ctx.displayName, basal.displayName);
    CopyLineValue(ctx.installPath, basal.installPath);

    // 8. The default folder.
    ExpandPathMacros(sys, ctx, ctx.installPath);
    const std::size_t pathLength = std::strlen(ctx.installPath);
    CopyText(ctx.installPathTail, pathLength >= 3 ? ctx.installPath + 3 : "");

    // 9. Without welcome pages the path page comes first.
    ctx.registerUninstall = IsOneLine(basal.registerUninstall);
    if (!IsOneLine(basal.showWelcome)) {
        ctx.showWelcomePages = false;
        pages.RunPathPageAsMain();
        return StartupEnd::PathPageRun;
    }

    // 10. The pictures.
    ctx.showWelcomePages = true;
    // The picture lines are the first two of the table the package check
    // vetted, the one after "[Directory]", never those after an earlier
    // "[File]" line.
    auto script = OpenScript(sys, ctx.scriptFilePath);
    const bool tableFound = script && SkipToFileTable(*script);
    package = sys.OpenForReading(ctx.packagePath);
    if (!tableFound || !package) {
        return Refuse(sys, StartupEnd::PicturesUnreadable);
    }

    // 11. Welcome picture, then the splash picture if the package has one.
    char line[kShortLineBound];
    script->ReadLine(line, sizeof line);
    ExtractPicture(sys, *package, ctx, line, ctx.welcomeBitmapPath);
    const bool showSplash = script->ReadLine(line, sizeof line) && IsSplashTag(line) &&
                            ExtractPicture(sys, *package, ctx, line, ctx.splashBitmapPath);

    // 12. The pages.
    package.reset();
    script.reset();
    if (showSplash) pages.RunSplash();
    if (!pages.RunWelcome()) return StartupEnd::WelcomeCancelled;
    pages.RunLicenceAsMain();
    return StartupEnd::WizardRun;
}

} // namespace vela
