#include "installer/wizard/core/PageLogic.h"

#include <cstring>

#include "installer/engine/Operations.h"
#include "installer/package/PathMacros.h"
#include "installer/package/TextFields.h"
#include "installer/wizard/core/WizardTexts.h"

namespace vela {
namespace {

// Width in bytes of the character that starts at i: 2 for a lead byte with
// its trail byte present, otherwise 1.
std::size_t CharWidth(std::string_view text, std::size_t i)
{
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

std::size_t CountChars(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += CharWidth(text, i)) ++count;
    return count;
}

// TakePathBoxText's cut; the result is the length of the text kept.
std::size_t TakePathBox(std::string_view typed, char (&box)[kPathBoxSize])
{
    const std::size_t end = typed.find('\0');
    if (end != std::string_view::npos) typed = std::string_view(typed.data(), end);
    std::size_t keep = 0;
    for (std::size_t i = 0; i < typed.size();) {
        const std::size_t width = CharWidth(typed, i);
        if (i + width > kPathBoxSize - 1) break;
        i += width;
        keep = i;
    }
    std::memcpy(box, typed.data(), keep);
    box[keep] = '\0';
    return keep;
}

} // namespace

// ---- Page order ----------------------------------------------------------

WizardPage FirstPage(const InstallContext& context, bool hasSplash)
{
    if (!context.showWelcomePages) return WizardPage::Path;
    return hasSplash ? WizardPage::Splash : WizardPage::Welcome;
}

WizardPage NextPage(WizardPage page, PageEvent event, const InstallContext& context)
{
    if (event == PageEvent::CancelConfirmed) return WizardPage::None;
    switch (page) {
    case WizardPage::None:
        return WizardPage::None;
    case WizardPage::Splash:
        // The splash has no buttons: its timer or Esc ends it alike.
        return WizardPage::Welcome;
    case WizardPage::Welcome:
        return event == PageEvent::Next ? WizardPage::Licence : page;
    case WizardPage::Licence:
        return event == PageEvent::Next ? WizardPage::Path : page;
    case WizardPage::Path:
        if (event == PageEvent::Next) return WizardPage::Progress;
        if (event == PageEvent::Back && context.showWelcomePages) return WizardPage::Licence;
        return page;
    case WizardPage::Progress:
        return event == PageEvent::Completed ? WizardPage::Completion : page;
    case WizardPage::Completion:
        return event == PageEvent::Finished ? WizardPage::None : page;
    }
    return WizardPage::None;
}

// ---- Exit confirmation ---------------------------------------------------

bool ConfirmExit(IPlatform& platform, const InstallContext& context, bool answeredYes)
{
    if (!answeredYes) return false;
    platform.RemoveFile(context.scriptFilePath);
    return true;
}

void DeletePictureFiles(IPlatform& platform, const InstallContext& context)
{
    for (const char* path : {context.welcomeBitmapPath, context.splashBitmapPath}) platform.RemoveFile(path);
}

IconOrigin MinimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight)
{
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

// ---- Captions and headings -----------------------------------------------

void MakePageCaption(const InstallContext& context, char (&caption)[kPageTextSize])
{
    CopyText(caption, context.displayName);
    AppendText(caption, kInstallSuffix);
}

void MakeWelcomeHeading(const InstallContext& context, char (&heading)[kPageTextSize])
{
    CopyText(heading, kWelcomeHeadingStart);
    AppendText(heading, context.displayName);
    AppendText(heading, kWelcomeHeadingEnd);
}

// ---- Licence page --------------------------------------------------------

AgreementButtons InitialAgreementButtons(const InstallContext& context)
{
    if (context.agreementAccepted) return {kIdAccept, true};
    return {kIdDecline, false};
}

bool NextEnabledAfterClick(int clickedId, bool nextEnabled)
{
    if (clickedId == kIdAccept) return true;
    if (clickedId == kIdDecline) return false;
    return nextEnabled;
}

LicenceLoad LoadLicencePage(IPlatform& platform, const InstallContext& context, LicencePageTexts& texts)
{
    texts.text[0] = '\0';
    texts.truncated = false;
    texts.caption[0] = '\0';
    texts.subtitle[0] = '\0';
    std::unique_ptr<CScriptFile> script = OpenScript(platform, context.scriptFilePath);
    if (!script) return LicenceLoad::ScriptUnreadable;

    char line[kShortLineBound];
    if (script->SkipToSection(kTotalSizeHeader, kShortLineBound)) {
        script->ReadLine(line, sizeof line);  // the total, not used here
        if (script->SkipToSection(kReadmeHeader, kShortLineBound)) {
            std::size_t used = 0;
            while (script->ReadSectionLine(kReadmeEndHeader, line, sizeof line)) {
                const std::size_t n = std::strlen(line);
                if (used + n + 1 > sizeof texts.text) {
                    // The text ends at its last whole line.
                    texts.truncated = true;
                    break;
                }
                std::memcpy(texts.text + used, line, n + 1);
                used += n;
            }
        }
    }
    script.reset();

    MakePageCaption(context, texts.caption);
    CopyText(texts.subtitle, kLicenceSubtitleStart);
    AppendText(texts.subtitle, context.displayName);
    AppendText(texts.subtitle, kLicenceSubtitleEnd);
    return LicenceLoad::Loaded;
}

// ---- Install-path page ---------------------------------------------------

bool InitPathPage(InstallContext& context)
{
    context.agreementAccepted = true;
    return context.showWelcomePages;
}

const char* PathCheckMessage(PathCheck result)
{
    switch (result) {
    case PathCheck::Accepted:
        return nullptr;
    case PathCheck::TooShort:
        return kMsgPathTooShort;
    case PathCheck::WrongShape:
    case PathCheck::NotEnterable:
        return kMsgPathWrong;
    }
    return kMsgPathWrong;
}

void TakePathBoxText(std::string_view typed, char (&box)[kPathBoxSize]) { TakePathBox(typed, box); }

PathCheck CheckPathShape(std::string_view path)
{
    // The first four characters: a single-byte one as its byte, a
    // double-byte one as 0 (it is none of the bytes looked for).
    char first[4] = {};
    std::size_t count = 0;
    for (std::size_t i = 0; i < path.size() && count < 4; ++count) {
        const std::size_t width = CharWidth(path, i);
        first[count] = width == 1 ? path[i] : '\0';
        i += width;
    }
    if (count < 4) return PathCheck::TooShort;
    if (first[1] != ':' || first[2] != '\\' || first[3] == '\\' || first[3] == '/') return PathCheck::WrongShape;
    return PathCheck::Accepted;
}

PathCheck AcceptInstallPath(IPlatform& platform, IEngineSystem& system, InstallContext& context,
                            std::string_view typed)
{
    char box[kPathBoxSize];
    std::string_view path(box, TakePathBox(typed, box));
    const PathCheck shape = CheckPathShape(path);
    if (shape != PathCheck::Accepted) return shape;

    if (CountChars(path) > 4 && EndsWithBackslash(path)) {
        path.remove_suffix(1);
        box[path.size()] = '\0';
    }
    CreateDirectoryChain(system, path);
    if (!platform.SetCurrentFolder(path)) return PathCheck::NotEnterable;
    CopyText(context.installPath, path);
    return PathCheck::Accepted;
}

bool ApplyBrowsedFolder(InstallContext& context, std::string_view chosen)
{
    char path[kInstallPathSize];
    const bool fits = CopyText(path, chosen) && (EndsWithBackslash(chosen) || AppendText(path, "\\")) &&
                      AppendText(path, context.installPathTail);
    if (!fits) return false;
    CopyText(context.installPath, path);
    return true;
}

// ---- Completion page -----------------------------------------------------

void LoadCompletionPage(IPlatform& platform, const InstallContext& context, CompletionTexts& texts)
{
    texts.checkCaption[0] = '\0';
    texts.command[0] = '\0';
    texts.runChecked = true;
    CopyText(texts.message, context.displayName);
    AppendText(texts.message, kCompletionSuffix);

    if (std::unique_ptr<CScriptFile> script = OpenScript(platform, context.scriptFilePath)) {
        if (script->SkipToSection(kRunHeader, kRunLineBound)) {
            char line[kRunLineBound];
            if (script->ReadLine(line, sizeof line)) {
                CutLineEnd(line);
                CopyText(texts.checkCaption, line);
                if (script->ReadLine(line, sizeof line)) {
                    CutLineEnd(line);
                    CopyText(texts.command, line);
                }
            }
        }
    }
    platform.RemoveFile(context.scriptFilePath);
}

bool PrepareRunCommand(IPlatform& platform, const InstallContext& context, const CompletionTexts& texts,
                       bool checked, char (&command)[kRunCommandSize])
{
    command[0] = '\0';
    if (!checked || texts.command[0] == '\0') return false;
    CopyText(command, texts.command);
    ExpandPathMacros(platform, context, command);
    return true;
}

} // namespace vela
