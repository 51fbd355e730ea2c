#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/engine/System.h"
#include "installer/package/TextFields.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/wizard/core/PageLogic.h"
#include "installer/wizard/core/WizardTexts.h"

namespace vela::test {
namespace {

// Records the folders made; everything else is not used by the pages.
class FolderSystem final : public IEngineSystem {
public:
    std::vector<std::string> folders;
    bool CreateFolder(std::string_view pathText) override
    {
        const std::string path(pathText);
        folders.push_back(path);
        return true;
    }
    bool ClearFileAttributes(std::string_view) override { return false; }
    bool IsFile(std::string_view) override { return false; }
    bool PutFileInPlace(std::string_view, std::string_view) override { return false; }
    bool RunProcessAndWait(const ProcessCommand&, int, std::uint32_t&) override { return false; }
    bool ShellOpen(std::string_view, int) override { return false; }
    RegistryKey OpenRegistryKey(RegistryRoot, std::string_view) override { return kNoRegistryKey; }
    RegistryKey CreateRegistrySubKey(RegistryKey, std::string_view) override { return kNoRegistryKey; }
    bool SetRegistryString(RegistryKey, std::string_view, std::string_view) override { return false; }
    void CloseRegistryKey(RegistryKey) override {}
    ShellLinkOutcome SaveShellLink(const ShellLinkFields&, std::string_view) override
    {
        return ShellLinkOutcome::NoObject;
    }
};

const std::string kScript = "C:\\Temp\\~temp202612754328123.ini";
// 錦 (0xE5 0x5C) ends in a byte that looks like a backslash; 中 (0xD6 0xD0) does not.
const std::string kJin = "\xE5\x5C";
const std::string kZhong = "\xD6\xD0";
// The caption of every page for the display name ABC: ABC安装.
const std::string kCaption = "ABC\xB0\xB2\xD7\xB0";

struct PageFixture {
    FakePlatform platform;
    FolderSystem system;
    InstallContext context;
    PageFixture()
    {
        CopyText(context.displayName, "ABC");
        CopyText(context.scriptFilePath, kScript);
        CopyText(context.installPath, "C:\\Program Files\\App");
        CopyText(context.installPathTail, "Program Files\\App");
        context.showWelcomePages = true;
    }
    // The licence page's texts from the script now in place.
    std::unique_ptr<LicencePageTexts> Licence(LicenceLoad expected = LicenceLoad::Loaded)
    {
        auto texts = std::make_unique<LicencePageTexts>();
        EXPECT_EQ(LoadLicencePage(platform, context, *texts), expected);
        return texts;
    }
};

// ---- Page order ----------------------------------------------------------

TEST(PageOrder, FirstPageDependsOnTheWelcomePagesAndTheSplash)
{
    InstallContext context;
    context.showWelcomePages = true;
    EXPECT_EQ(FirstPage(context, true), WizardPage::Splash);
    EXPECT_EQ(FirstPage(context, false), WizardPage::Welcome);
    context.showWelcomePages = false;
    EXPECT_EQ(FirstPage(context, true), WizardPage::Path) << "no splash, welcome or licence page";
    EXPECT_EQ(FirstPage(context, false), WizardPage::Path);
}

TEST(PageOrder, Transitions)
{
    InstallContext on;
    on.showWelcomePages = true;
    InstallContext off;
    struct Row {
        WizardPage from;
        PageEvent event;
        const InstallContext& context;
        WizardPage to;
    };
    const std::vector<Row> rows{
        {WizardPage::Splash, PageEvent::Timeout, on, WizardPage::Welcome},
        {WizardPage::Welcome, PageEvent::Next, on, WizardPage::Licence},
        {WizardPage::Welcome, PageEvent::CancelConfirmed, on, WizardPage::None},
        {WizardPage::Licence, PageEvent::Next, on, WizardPage::Path},
        {WizardPage::Licence, PageEvent::CancelConfirmed, on, WizardPage::None},
        {WizardPage::Path, PageEvent::Next, on, WizardPage::Progress},
        {WizardPage::Path, PageEvent::Back, on, WizardPage::Licence},
        {WizardPage::Path, PageEvent::Back, off, WizardPage::Path},
        {WizardPage::Path, PageEvent::Next, off, WizardPage::Progress},
        {WizardPage::Path, PageEvent::CancelConfirmed, off, WizardPage::None},
        {WizardPage::Progress, PageEvent::Completed, on, WizardPage::Completion},
        {WizardPage::Progress, PageEvent::Next, on, WizardPage::Progress},
        {WizardPage::Progress, PageEvent::CancelConfirmed, on, WizardPage::None},
        {WizardPage::Completion, PageEvent::Finished, on, WizardPage::None},
        {WizardPage::None, PageEvent::Next, on, WizardPage::None},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(NextPage(r.from, r.event, r.context), r.to)
            << static_cast<int>(r.from) << " on " << static_cast<int>(r.event);
    }
}

// ---- Exit confirmation ---------------------------------------------------

TEST(ExitConfirmation, YesDeletesTheScriptNoChangesNothing)
{
    PageFixture f;
    f.platform.files[kScript] = "[Basal]\r\n";
    EXPECT_FALSE(ConfirmExit(f.platform, f.context, false));
    EXPECT_EQ(f.platform.files.count(kScript), 1u);
    EXPECT_TRUE(ConfirmExit(f.platform, f.context, true));
    EXPECT_EQ(f.platform.files.count(kScript), 0u);
}

TEST(WelcomePage, DestructionDeletesBothPictures)
{
    PageFixture f;
    CopyText(f.context.welcomeBitmapPath, "C:\\Temp\\~tempWel.Bmp");
    CopyText(f.context.splashBitmapPath, "C:\\Temp\\~tempSoft.Bmp");
    f.platform.files["C:\\Temp\\~tempWel.Bmp"] = "BM";
    f.platform.files["C:\\Temp\\~tempSoft.Bmp"] = "BM";
    f.platform.files[kScript] = "[Basal]\r\n";
    DeletePictureFiles(f.platform, f.context);
    EXPECT_EQ(f.platform.files.size(), 1u);
    EXPECT_EQ(f.platform.files.count(kScript), 1u) << "the script stays for the later pages";
}

TEST(MinimisedPage, IconIsCentredRoundingUp)
{
    const IconOrigin a = MinimisedIconOrigin(36, 36, 32, 32);
    EXPECT_EQ(a.x, 2);
    EXPECT_EQ(a.y, 2);
    const IconOrigin b = MinimisedIconOrigin(37, 40, 32, 32);
    EXPECT_EQ(b.x, 3);
    EXPECT_EQ(b.y, 4);
}

// ---- Captions and texts --------------------------------------------------

TEST(PageTexts, CaptionAndHeadingAroundTheDisplayName)
{
    PageFixture f;
    char text[kPageTextSize];
    MakePageCaption(f.context, text);
    EXPECT_EQ(std::string(text), kCaption);
    MakeWelcomeHeading(f.context, text);
    EXPECT_EQ(std::string(text), "\xBB\xB6\xD3\xAD\xCA\xB9\xD3\xC3" + kCaption + "\xCF\xF2\xB5\xBC\xA3\xA1");
    // A display name of the full 299 bytes still fits.
    CopyText(f.context.displayName, std::string(299, 'n'));
    MakeWelcomeHeading(f.context, text);
    EXPECT_EQ(std::string(text).size(), 299u + 8 + 10);
}

// ---- Agreement -----------------------------------------------------------

TEST(Agreement, FirstVisitDeclinesAndComingBackAccepts)
{
    InstallContext context;
    AgreementButtons first = InitialAgreementButtons(context);
    EXPECT_EQ(first.checkedRadio, kIdDecline);
    EXPECT_FALSE(first.nextEnabled);

    context.showWelcomePages = true;
    EXPECT_TRUE(InitPathPage(context)) << "Back enabled with the welcome pages";
    AgreementButtons again = InitialAgreementButtons(context);
    EXPECT_EQ(again.checkedRadio, kIdAccept);
    EXPECT_TRUE(again.nextEnabled);

    InstallContext off;
    EXPECT_FALSE(InitPathPage(off)) << "Back disabled without them";
    EXPECT_TRUE(off.agreementAccepted);
}

TEST(Agreement, RadioClicksSetTheNextButton)
{
    EXPECT_TRUE(NextEnabledAfterClick(kIdAccept, false));
    EXPECT_FALSE(NextEnabledAfterClick(kIdDecline, true));
    EXPECT_TRUE(NextEnabledAfterClick(1000, true)) << "the text box changes nothing";
    EXPECT_FALSE(NextEnabledAfterClick(1000, false));
}

// ---- Licence text ----------------------------------------------------------

std::string ScriptWithLicence(const std::string& beforeTotal, const std::string& afterTotal)
{
    return "[Basal]\r\nABC\r\n[Program Files]\\ABC\r\n1\r\n1\r\n[File]\r\n" + beforeTotal +
           "[TotalSize]\r\n12345\r\n" + afterTotal;
}

// Whatever the block holds or lacks, the page gets its caption and subtitle.
TEST(LicenceText, IsTheLinesBetweenTheMarkersAfterTheTotal)
{
    struct Row {
        std::string script;
        std::string text;
        const char* why;
    };
    const std::vector<Row> rows{
        {ScriptWithLicence("", "[Readme Content]\r\nline one\r\n\r\n" + kZhong + "\r\n[Readme End]\r\nafter\r\n"),
         "line one\r\n\r\n" + kZhong + "\r\n", "line ends kept, nothing after the end marker"},
        {ScriptWithLicence("", "[Readme Content]\r\na\r\nb"), "a\r\nb", "no end marker: to the end of the script"},
        {ScriptWithLicence("", ""), "", "no licence block"},
        {ScriptWithLicence("[Readme Content]\r\nearly\r\n[Readme End]\r\n", ""), "", "block before [TotalSize]"},
        {"[Basal]\r\n[Readme Content]\r\nx\r\n[Readme End]\r\n", "", "no [TotalSize] at all"},
        {ScriptWithLicence("", "[Readme Content] \r\nx\r\n[Readme End]\r\n"), "", "header with a blank"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        PageFixture f;
        f.platform.files[kScript] = r.script;
        const auto texts = f.Licence();
        EXPECT_EQ(std::string(texts->text), r.text);
        EXPECT_FALSE(texts->truncated);
        EXPECT_EQ(std::string(texts->caption), kCaption);
        EXPECT_EQ(std::string(texts->subtitle), std::string(kLicenceSubtitleStart) + "ABC" + kLicenceSubtitleEnd);
    }
}

TEST(LicenceText, LongTextEndsAtItsLastWholeLineWithin20000Bytes)
{
    PageFixture f;
    const std::string line = std::string(98, 'x') + "\r\n";  // 100 bytes
    std::string body;
    for (int i = 0; i < 250; ++i) body += line;  // 25,000 bytes
    f.platform.files[kScript] = ScriptWithLicence("", "[Readme Content]\r\n" + body + "[Readme End]\r\n");
    auto texts = f.Licence();
    EXPECT_TRUE(texts->truncated);
    EXPECT_EQ(std::string(texts->text), body.substr(0, 19900)) << "199 whole lines and the zero fit";

    // Exactly 19,999 bytes fit with the zero.
    std::string exact;
    for (int i = 0; i < 199; ++i) exact += line;
    exact += std::string(97, 'y') + "\r\n";
    f.platform.files[kScript] = ScriptWithLicence("", "[Readme Content]\r\n" + exact + "[Readme End]\r\n");
    texts = f.Licence();
    EXPECT_FALSE(texts->truncated);
    EXPECT_EQ(std::string(texts->text).size(), 19999u);
}

TEST(LicenceText, UnreadableScriptLeavesEverythingEmpty)
{
    PageFixture f;
    auto texts = std::make_unique<LicencePageTexts>();
    CopyText(texts->caption, "old");
    EXPECT_EQ(LoadLicencePage(f.platform, f.context, *texts), LicenceLoad::ScriptUnreadable);
    EXPECT_EQ(std::string(texts->text), "");
    EXPECT_EQ(std::string(texts->caption), "") << "the template caption stays";
    EXPECT_EQ(std::string(texts->subtitle), "");
}

// ---- Install path ----------------------------------------------------------

TEST(PathCheck, ShapeTable)
{
    struct Row {
        std::string path;
        PathCheck expected;
    };
    const std::vector<Row> rows{
        {"", PathCheck::TooShort},
        {"C:\\", PathCheck::TooShort},
        {"C:", PathCheck::TooShort},
        {"C:\\a", PathCheck::Accepted},
        {"c:\\Program Files\\App", PathCheck::Accepted},
        {"C:\\a/b/c", PathCheck::Accepted},
        {"?:\\abc", PathCheck::Accepted},  // the first character is not checked
        {"C:/abc", PathCheck::WrongShape},
        {"C:\\\\abc", PathCheck::WrongShape},
        {"C:\\/abc", PathCheck::WrongShape},
        {"\\\\server\\share", PathCheck::WrongShape},
        {"CC\\abc", PathCheck::WrongShape},
        {"abcd", PathCheck::WrongShape},
        // Counted in characters: a double-byte character is one.
        {"C:\\" + kZhong, PathCheck::Accepted},
        {"C:" + kZhong, PathCheck::TooShort},
        {kZhong + ":\\", PathCheck::TooShort},
        {kZhong + ":\\a", PathCheck::Accepted},
        {"C:" + kJin + "a", PathCheck::WrongShape},  // its trail byte is not the third character
        {"C:\\" + kJin, PathCheck::Accepted},
        {"C\x81:\\abc", PathCheck::WrongShape},  // a trail byte ':' is no colon
        {"C:\x81\\abc", PathCheck::WrongShape},  // nor a trail byte '\\' a backslash
    };
    for (const Row& r : rows) EXPECT_EQ(CheckPathShape(r.path), r.expected) << r.path;
}

TEST(PathCheck, MessagesOfEveryResult)
{
    EXPECT_EQ(PathCheckMessage(PathCheck::Accepted), nullptr);
    EXPECT_STREQ(PathCheckMessage(PathCheck::TooShort), kMsgPathTooShort);
    EXPECT_STREQ(PathCheckMessage(PathCheck::WrongShape), kMsgPathWrong);
    EXPECT_STREQ(PathCheckMessage(PathCheck::NotEnterable), kMsgPathWrong);
}

TEST(PathCheck, AcceptedPathIsMadeEnteredAndStored)
{
    struct Row {
        std::string typed;
        std::string stored;
    };
    const std::vector<Row> rows{
        {"C:\\a", "C:\\a"},
        {"D:\\Program Files\\App\\", "D:\\Program Files\\App"},
        {"D:\\App\\\\", "D:\\App\\"},  // only the last of two backslashes goes
        {"D:\\" + kJin, "D:\\" + kJin},  // a trail byte is not a trailing backslash
        {"D:\\" + kJin + "\\", "D:\\" + kJin},
    };
    for (const Row& r : rows) {
        PageFixture f;
        f.platform.folders.insert(r.stored);
        EXPECT_EQ(AcceptInstallPath(f.platform, f.system, f.context, r.typed), PathCheck::Accepted) << r.typed;
        EXPECT_EQ(std::string(f.context.installPath), r.stored);
        EXPECT_EQ(f.platform.currentFolder, r.stored);
        ASSERT_FALSE(f.system.folders.empty());
        EXPECT_EQ(f.system.folders.back(), r.stored);
    }
}

TEST(PathCheck, ParentsAreMadeInTurn)
{
    PageFixture f;
    f.platform.folders.insert("D:\\a\\b\\c");
    AcceptInstallPath(f.platform, f.system, f.context, "D:\\a\\b\\c");
    EXPECT_EQ(f.system.folders, (std::vector<std::string>{"D:\\a", "D:\\a\\b", "D:\\a\\b\\c"}));
}

TEST(PathCheck, RefusedPathLeavesInstallPathAlone)
{
    PageFixture f;
    EXPECT_EQ(AcceptInstallPath(f.platform, f.system, f.context, "C:\\"), PathCheck::TooShort);
    EXPECT_EQ(AcceptInstallPath(f.platform, f.system, f.context, "C:/abc"), PathCheck::WrongShape);
    EXPECT_TRUE(f.system.folders.empty()) << "nothing is made for a wrong shape";
    // A drive that does not exist: folders are tried, the path cannot be entered.
    EXPECT_EQ(AcceptInstallPath(f.platform, f.system, f.context, "Q:\\nowhere\\x"), PathCheck::NotEnterable);
    EXPECT_EQ(f.system.folders, (std::vector<std::string>{"Q:\\nowhere", "Q:\\nowhere\\x"}));
    EXPECT_EQ(std::string(f.context.installPath), "C:\\Program Files\\App");
}

TEST(PathCheck, TypedTextIsCutTo279BytesOnACharacterBoundary)
{
    char box[kPathBoxSize];
    const std::string longPath = "C:\\" + std::string(297, 'a');  // 300 characters
    TakePathBoxText(longPath, box);
    EXPECT_EQ(std::string(box), longPath.substr(0, 279));

    // A double-byte character that would straddle the limit is left out whole.
    std::string wide = "C:\\" + std::string(275, 'a') + kZhong;  // 280 bytes
    TakePathBoxText(wide, box);
    EXPECT_EQ(std::string(box), "C:\\" + std::string(275, 'a'));
    wide = "C:\\" + std::string(274, 'a') + kZhong + "b";
    TakePathBoxText(wide, box);
    EXPECT_EQ(std::string(box), "C:\\" + std::string(274, 'a') + kZhong);

    PageFixture f;
    const std::string cut = longPath.substr(0, 279);
    f.platform.folders.insert(cut);
    EXPECT_EQ(AcceptInstallPath(f.platform, f.system, f.context, longPath), PathCheck::Accepted);
    EXPECT_EQ(std::string(f.context.installPath), cut);
}

TEST(FolderBrowser, ChosenFolderGetsTheDefaultTail)
{
    struct Row {
        std::string chosen;
        std::string path;
    };
    const std::vector<Row> rows{
        {"D:\\", "D:\\Program Files\\App"},
        {"D:\\Tools", "D:\\Tools\\Program Files\\App"},
        {"D:\\" + kJin, "D:\\" + kJin + "\\Program Files\\App"},
    };
    for (const Row& r : rows) {
        PageFixture f;
        EXPECT_TRUE(ApplyBrowsedFolder(f.context, r.chosen)) << r.chosen;
        EXPECT_EQ(std::string(f.context.installPath), r.path);
    }
}

TEST(FolderBrowser, ResultTooLongLeavesThePathAlone)
{
    PageFixture f;
    const std::string chosen = "D:\\" + std::string(280, 'x');  // + "\" + 17-byte tail > 299
    EXPECT_FALSE(ApplyBrowsedFolder(f.context, chosen));
    EXPECT_EQ(std::string(f.context.installPath), "C:\\Program Files\\App");
    const std::string fits = "D:\\" + std::string(278, 'x');  // exactly 299 bytes
    EXPECT_TRUE(ApplyBrowsedFolder(f.context, fits));
    EXPECT_EQ(std::string(f.context.installPath).size(), 299u);
}

// ---- Completion page -------------------------------------------------------

TEST(RunEntry, ReadsCaptionAndCommandAndDeletesTheScript)
{
    PageFixture f;
    f.platform.files[kScript] =
        "[Basal]\r\nABC\r\n[AutoReg]\r\n[ClearFile]\r\n[Menu]\r\nABC\r\n[Run]\r\nStart ABC now?\r\n"
        "[InstallDir]\\abc.exe /x\r\n[Directory]\r\n";
    CompletionTexts texts;
    LoadCompletionPage(f.platform, f.context, texts);
    EXPECT_EQ(std::string(texts.message), std::string("ABC") + kCompletionSuffix);
    EXPECT_EQ(std::string(texts.checkCaption), "Start ABC now?");
    EXPECT_EQ(std::string(texts.command), "[InstallDir]\\abc.exe /x");
    EXPECT_TRUE(texts.runChecked);
    EXPECT_EQ(f.platform.files.count(kScript), 0u);

    char command[kRunCommandSize];
    EXPECT_TRUE(PrepareRunCommand(f.platform, f.context, texts, true, command));
    EXPECT_EQ(std::string(command), "C:\\Program Files\\App\\abc.exe /x");
    EXPECT_FALSE(PrepareRunCommand(f.platform, f.context, texts, false, command)) << "unticked: nothing starts";
}

TEST(RunEntry, MissingScriptOrSectionGivesNoCommand)
{
    for (const std::string& script : {std::string("<none>"), std::string("[Basal]\r\nABC\r\n"),
                                      std::string("[Run]\r\n"), std::string("[Run] \r\nx\r\ny\r\n")}) {
        PageFixture f;
        if (script != "<none>") f.platform.files[kScript] = script;
        CompletionTexts texts;
        CopyText(texts.checkCaption, "stale");
        LoadCompletionPage(f.platform, f.context, texts);
        EXPECT_EQ(std::string(texts.message), std::string("ABC") + kCompletionSuffix) << script;
        EXPECT_EQ(std::string(texts.checkCaption), "") << script;
        EXPECT_EQ(std::string(texts.command), "") << script;
        char command[kRunCommandSize];
        EXPECT_FALSE(PrepareRunCommand(f.platform, f.context, texts, true, command)) << script;
        EXPECT_EQ(f.platform.files.count(kScript), 0u);
    }
}

TEST(RunEntry, CaptionWithoutCommand)
{
    PageFixture f;
    f.platform.files[kScript] = "[Run]\r\nRun it?\r\n";
    CompletionTexts texts;
    LoadCompletionPage(f.platform, f.context, texts);
    EXPECT_EQ(std::string(texts.checkCaption), "Run it?");
    char command[kRunCommandSize];
    EXPECT_FALSE(PrepareRunCommand(f.platform, f.context, texts, true, command));
}

} // namespace
} // namespace vela::test
