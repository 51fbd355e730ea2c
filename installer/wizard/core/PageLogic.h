#pragma once
// The wizard pages' logic that needs no window: the page order, the exit
// confirmation, the agreement buttons, the licence text, the install-path
// check, the folder browser's result and the completion page's run entry.
// Texts are GB2312 in fixed buffers; the Windows pages convert them at their
// boundary and show the messages these functions name.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "installer/engine/System.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"
#include "installer/package/SetupScript.h"

namespace vela {

// Control identifiers the logic speaks of.
inline constexpr int kIdAccept = 1001;   // "我接受所有的软件许可条款"
inline constexpr int kIdDecline = 1002;  // "我不能接受所有的许可条款"
inline constexpr int kIdNext = 12324;    // "下一步(&N)" / "确定"
inline constexpr int kIdBack = 12323;    // "上一步(&B)"

// ---- Page order ----------------------------------------------------------

enum class WizardPage { None, Splash, Welcome, Licence, Path, Progress, Completion };

enum class PageEvent {
    Next,             // Next / "确定" on the welcome, licence and path pages (path accepted)
    Back,             // Back on the path page
    Timeout,          // the splash window's 5 seconds
    Completed,        // the progress page's count reached its end
    CancelConfirmed,  // the exit question (or the progress page's question) answered Yes
    Finished,         // "确定(&Y)", Esc or the close box on the completion page
};

// The first page the start-up runs: the path page when the welcome pages are
// off, otherwise the splash window when the package has a splash picture,
// otherwise the welcome page.
WizardPage FirstPage(const InstallContext& context, bool hasSplash);
// The page that follows an event; None when the installer ends. Back leads to
// a new licence page only while the welcome pages are on (Back is disabled
// otherwise and the event changes nothing: the path page stays).
WizardPage NextPage(WizardPage page, PageEvent event, const InstallContext& context);

// ---- Exit confirmation ---------------------------------------------------

// The exit question's answer on the welcome, licence and path pages. Yes
// deletes the temporary script and gives true: the installer ends (the
// welcome page ends with Cancel, the others post the quit message). No gives
// false and changes nothing.
bool ConfirmExit(IPlatform& platform, const InstallContext& context, bool answeredYes);

// The welcome page's destruction: deletes the two extracted pictures.
void DeletePictureFiles(IPlatform& platform, const InstallContext& context);

// Where a minimised page draws its icon: centred in the client area,
// x = (client width - icon width + 1) / 2, y likewise.
struct IconOrigin {
    int x = 0;
    int y = 0;
};
IconOrigin MinimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

// ---- Captions and headings -----------------------------------------------

inline constexpr std::size_t kPageTextSize = 400;  // display name (299) and the words around it

// displayName + "安装" (welcome, licence and path pages).
void MakePageCaption(const InstallContext& context, char (&caption)[kPageTextSize]);
// "欢迎使用" + displayName + "安装向导！"
void MakeWelcomeHeading(const InstallContext& context, char (&heading)[kPageTextSize]);

// ---- Licence page --------------------------------------------------------

// The agreement buttons when the licence page starts: accepted before (the
// path page has been shown) selects 1001 and enables "确定", otherwise 1002
// is selected and "确定" disabled.
struct AgreementButtons {
    int checkedRadio = kIdDecline;
    bool nextEnabled = false;
};
AgreementButtons InitialAgreementButtons(const InstallContext& context);
// Clicking 1001 enables "确定", clicking 1002 disables it; anything else
// leaves it as it is.
bool NextEnabledAfterClick(int clickedId, bool nextEnabled);

inline constexpr std::size_t kLicenceBufferSize = kLicenceTextSize;  // 20,000 bytes with the zero

struct LicencePageTexts {
    char text[kLicenceBufferSize] = {};   // the licence with its CR LF line ends
    bool truncated = false;               // the licence was longer and ends at its last whole line
    char caption[kPageTextSize] = {};     // displayName + "安装"
    char subtitle[kPageTextSize] = {};    // "在安装" + displayName + "之前请认真阅读下面的许可协议"
};
enum class LicenceLoad {
    Loaded,            // text (possibly empty), caption and subtitle are set
    ScriptUnreadable,  // show "读取安装包时发生错误" (OK, the application's title); all stays empty
};
// Reads the licence from the temporary script: after the "[TotalSize]" line
// and its total, every line between "[Readme Content]" and "[Readme End]"
// (lines read with a bound of 400). A missing section gives an empty text.
LicenceLoad LoadLicencePage(IPlatform& platform, const InstallContext& context, LicencePageTexts& texts);

// ---- Install-path page ---------------------------------------------------

inline constexpr std::size_t kPathBoxSize = 280;  // box 1006: at most 279 bytes

// The path page's initialisation: the agreement counts as accepted from now
// on; the result tells whether Back (12323) is enabled.
bool InitPathPage(InstallContext& context);

enum class PathCheck {
    Accepted,      // installPath holds the path, which is now the current folder
    TooShort,      // "你所输入的安装路径长度不够，请重新输入!"
    WrongShape,    // "你所选择的安装路径错误，请重新输入!"
    NotEnterable,  // the folder cannot be made current: the same message as WrongShape
};
// The message to show (caption "错误", OK) for a refused path; nullptr for
// Accepted.
const char* PathCheckMessage(PathCheck result);

// The typed text as box 1006 gives it: at most 279 bytes, cut before a
// double-byte character that would not fit whole.
void TakePathBoxText(std::string_view typed, char (&box)[kPathBoxSize]);
// The shape check alone, counted in characters (a double-byte character is
// one): at least 4 characters; the second ":", the third "\", the fourth
// neither "\" nor "/". The first character is not checked.
PathCheck CheckPathShape(std::string_view path);
// Next on the path page, up to the hand-over to the progress page: takes the
// typed text (cut as the box cuts it), checks its shape, drops one trailing
// backslash from a path of more than 4 characters, creates the folder with
// its parents (failures ignored), makes it the current folder and copies it
// into installPath. installPath changes only when the result is Accepted;
// folders made before a NotEnterable result stay.
PathCheck AcceptInstallPath(IPlatform& platform, IEngineSystem& system, InstallContext& context,
                            std::string_view typed);

// Browse's result: installPath := chosen folder, a backslash unless it
// already ends in one, and installPathTail. False, with installPath
// unchanged, when the result would not fit installPath.
bool ApplyBrowsedFolder(InstallContext& context, std::string_view chosen);

// ---- Completion page -----------------------------------------------------

inline constexpr std::size_t kCompletionMessageSize = 500;
inline constexpr std::size_t kRunLineBound = kLongLineBound;  // lines read with at most 479 bytes
inline constexpr std::size_t kRunCommandSize = 800;           // room for the expanded command

struct CompletionTexts {
    // A constructor of its own: the buffers are cleared in place, not copied
    // from an image of the whole record kept in the program.
    CompletionTexts() {}

    char message[kCompletionMessageSize] = {};  // displayName + "已经成功地安装到你的计算机中。"
    char checkCaption[kRunLineBound] = {};      // "[Run]" line 1, without CR LF
    char command[kRunCommandSize] = {};         // "[Run]" line 2, without CR LF, not yet expanded
    bool runChecked = true;                     // the check box starts checked
};
// When the completion page is shown: reads the run entry from the temporary
// script and then deletes the script. A script that cannot be opened, or has
// no "[Run]" section or lines, gives an empty caption and no command; the
// message is set in every case.
void LoadCompletionPage(IPlatform& platform, const InstallContext& context, CompletionTexts& texts);
// "确定(&Y)": when the box is checked and there is a command, expands its path
// macro into command and returns true: start it as a command line with show
// state 5, reporting no failure. False: start nothing. Then post the quit
// message either way.
bool PrepareRunCommand(IPlatform& platform, const InstallContext& context, const CompletionTexts& texts,
                       bool checked, char (&command)[kRunCommandSize]);

} // namespace vela
