// The typical run of the real Relievo.exe under Wine, driven from outside as
// a user would drive it: commands by id, the panel's sliders and mouse
// messages to the drawing view, the names typed into the dialogs; the
// panel's buttons, the dialogs' OK, the tile picker and the tool bar with
// the mouse and the panel's Enter and Esc on the keyboard, through the
// system's input. The pictures it saves must be the
// same bytes as relievo-cli makes from the same steps; screenshots of every
// stage and dialog land in the test output folder.
#include "WindowProbe.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifndef RV_RUN_SCRIPT
#error RV_RUN_SCRIPT names the painting script
#endif

namespace {

// Ids of the program (the painter's resource header and the framework's).
enum : UINT {
    kInit = 32771, kSave = 32772, kMakeBackground = 32773, kMakeDepthMap = 32775, kGenerate = 32776,
    kFeelDown = 32794, kFeelUp = 32795, kImport = 32813, kSettings = 32785, kRandom = 32804,
    kAbout = 57664, kExit = 57665,
    kPaneFirst = 59648, kToolBar = 59392, kStatusBar = 59393, kFeelDisplay = 1111,
};

struct Tool {
    const char* name;
    UINT command;
};
const Tool kTools[] = {{"pencil", 32778}, {"brush", 32821}, {"line", 32779}, {"rect", 32780},
                       {"filled-rect", 32814}, {"ellipse", 32781}, {"filled-ellipse", 32815}, {"fill", 32782},
                       {"eraser", 32783}, {"lasso", 32816}, {"gradient-circle", 32817},
                       {"gradient-rect", 32818}, {"picker", 32820}};
struct Named {
    const char* name;
    int id;
};
const Named kSliders[] = {{"pen-width", 1022}, {"eraser-width", 1020}, {"curve", 1021},
                          {"c1", 1024},        {"c2", 1025},           {"value", 1011}};
const Named kBoxes[] = {{"low-left", 1016}, {"low-middle", 1017}, {"low-right", 1018}};
const Named kButtons[] = {{"soft", 1006}, {"circular", 1007}, {"square", 1008}, {"black", 1013}, {"blue", 1014}};

// The test's current folder (the test output folder), with a backslash.
std::wstring Here() { return probe::CurrentFolder() + L"\\"; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A 24-bit BMP file's pixel (x, y from the top) as a colour 0x00BBGGRR.
struct Bmp {
    std::vector<unsigned char> bytes;
    int width = 0, height = 0;
    explicit Bmp(const std::wstring& path) : bytes(probe::ReadFileBytes(path))
    {
        if (bytes.size() < 54) return;
        width = Int(18);
        height = Int(22);
    }
    int Int(std::size_t at) const
    {
        return static_cast<int>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<unsigned>(bytes[at + 3]) << 24);
    }
    COLORREF Pixel(int x, int y) const
    {
        const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
        const std::size_t at = static_cast<std::size_t>(Int(10)) + stride * static_cast<std::size_t>(height - 1 - y) + 3u * x;
        return RGB(bytes[at + 2], bytes[at + 1], bytes[at]);
    }
};

// The run shared by the tests below, in order.
class Run : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        bin = probe::OwnFolder();
        // The pointer rests on the status bar, away from every window the
        // run looks at, so no stray move reaches the drawing view.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        for (const wchar_t* f : {L"sample\\wine-depth.bmp", L"sample\\wine-import.bmp", L"sample\\wine-settings.bmp",
                                 L"result\\wine-stereo.bmp", L"result\\wine-random.bmp"})
            DeleteFileW((bin + f).c_str());
        app = probe::StartAndFindWindow(L"\"" + bin + L"Relievo.exe\"", L"RelievoFrame");
        frame = app.window;
        if (!frame) return;
        HWND splitter = GetDlgItem(frame, kPaneFirst);
        view = GetDlgItem(splitter, kPaneFirst);
        picker = GetDlgItem(splitter, kPaneFirst + 1);
        toolBar = GetDlgItem(frame, kToolBar);
        panel = Top(L"\u4f5c\u56fe\u8bbe\u7f6e", 5000); // 作图设置
    }
    static void TearDownTestSuite()
    {
        if (!frame) return;
        PostMessageW(frame, WM_COMMAND, kExit, 0);
        probe::WaitForExit(app);
    }
    void SetUp() override { ASSERT_NE(frame, nullptr) << "Relievo.exe showed no frame"; }

    // A visible top-level window of the program with this title.
    static HWND Top(const std::wstring& title, DWORD timeoutMs = 10000)
    {
        return probe::WaitForWindowOf(app.process.dwProcessId, title, timeoutMs);
    }
    // Waits until the program has handled everything sent so far, and its
    // idle-time update has run.
    static void Idle()
    {
        PostMessageW(frame, WM_NULL, 0, 0);
        DWORD_PTR result;
        SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        SendMessageTimeoutW(view, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
    }
    // A dialog of the program other than the settings panel.
    static HWND AnyDialog(DWORD timeoutMs = 20000)
    {
        return probe::WaitForDialogOf(app.process.dwProcessId, timeoutMs, panel);
    }
    static void Command(UINT id)
    {
        SendMessageW(frame, WM_COMMAND, id, 0);
        Idle();
    }
    static bool Enabled(UINT id) { return SendMessageW(toolBar, TB_ISBUTTONENABLED, id, 0) != 0; }
    static bool Shot(HWND window, const std::string& name)
    {
        Idle();
        Sleep(300); // the window's latest drawing reaches the screen
        return probe::TakeWindowPicture(window, name);
    }
    // Posts a command that opens a modal dialog and waits for the dialog.
    static HWND OpenDialog(UINT command, const std::wstring& title)
    {
        PostMessageW(frame, WM_COMMAND, command, 0);
        return Top(title);
    }
    // Clicks OK in a dialog with the mouse and waits up to five seconds for
    // it to close; false when there is no OK button the user could click, or
    // the dialog stays (as it does when the click lands on something else).
    // The pointer then rests away from the view.
    [[nodiscard]] static bool Close(HWND dialog)
    {
        HWND ok = GetDlgItem(dialog, IDOK);
        if (!ok || !IsWindowVisible(ok) || !IsWindowEnabled(ok)) {
            ADD_FAILURE() << "no OK button to click";
            return false;
        }
        const bool clicked = probe::ClickAt(probe::Middle(ok));
        RestPointer();
        for (int i = 0; clicked && i < 100 && IsWindow(dialog); ++i) Sleep(50);
        return clicked && !IsWindow(dialog);
    }
    // Saves with a name typed into the name dialog (empty when it comes),
    // photographed as shot; the file must then be folder\name.bmp, the
    // same bytes as relievo-cli makes from cliArguments into expected.
    static void SaveAsTheToolMakes(const std::wstring& name, const std::string& shot, const std::wstring& folder,
                                   const std::wstring& expected, const std::wstring& cliArguments,
                                   const char* why = "")
    {
        HWND dlg = OpenDialog(kSave, L"\u4fdd\u5b58\u7ed3\u679c"); // 保存结果
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(probe::TextOf(GetDlgItem(dlg, 1007)), L"");
        SendMessageW(GetDlgItem(dlg, 1007), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        EXPECT_TRUE(Shot(dlg, shot));
        EXPECT_TRUE(Close(dlg)) << "OK left the name dialog open";
        Idle();
        const std::wstring saved = bin + folder + L"\\" + name + L".bmp";
        ASSERT_TRUE(Exists(saved));
        ASSERT_TRUE(probe::RunRelievoCli(cliArguments + L" --out \"" + expected + L"\""));
        EXPECT_EQ(probe::ReadFileBytes(saved), probe::ReadFileBytes(expected)) << why;
    }
    // Posts a command that opens the file dialog, types path into its name
    // box (photographed as shot when one is given) and presses OK.
    static void ChooseFile(UINT command, const std::wstring& path, const char* shot = nullptr)
    {
        PostMessageW(frame, WM_COMMAND, command, 0);
        HWND open = AnyDialog();
        ASSERT_NE(open, nullptr) << "no file-open dialog";
        if (shot) {
            EXPECT_TRUE(Shot(open, shot));
        }
        HWND name = GetDlgItem(open, 0x47C); // the file name box
        if (!name) name = GetDlgItem(open, 0x480);
        ASSERT_NE(name, nullptr);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        EXPECT_TRUE(Close(open)) << "OK left the file dialog open";
    }

    // One line of the painting script, done in the window.
    static void Step(const std::string& line)
    {
        std::istringstream in(line);
        std::string word, a, b;
        in >> word >> a >> b;
        if (word.empty() || word[0] == '#') return;
        if (word == "tool") {
            for (const Tool& t : kTools)
                if (a == t.name) return Command(t.command);
            FAIL() << line;
        }
        if (word == "panel") {
            for (const Named& s : kSliders)
                if (a == s.name) {
                    HWND slider = GetDlgItem(panel, s.id);
                    const int pos = std::stoi(b);
                    SendMessageW(slider, TBM_SETPOS, TRUE, pos);
                    SendMessageW(panel, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, pos), reinterpret_cast<LPARAM>(slider));
                    SendMessageW(panel, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
                    return;
                }
            for (const Named& box : kBoxes)
                if (a == box.name) {
                    const bool wanted = b == "1";
                    if (Checked(box.id) != wanted) {
                        ASSERT_NO_FATAL_FAILURE(ClickPanel(box.id));
                    }
                    ASSERT_EQ(Checked(box.id), wanted) << line;
                    return;
                }
            for (const Named& button : kButtons)
                if (b == button.name) {
                    ASSERT_NO_FATAL_FAILURE(ClickPanel(button.id));
                    // A family is a radio button; an eraser kind stays pressed.
                    ASSERT_TRUE(Checked(button.id) ||
                                (SendMessageW(GetDlgItem(panel, button.id), BM_GETSTATE, 0, 0) & BST_PUSHED))
                        << line;
                    return;
                }
            FAIL() << line;
        }
        const LPARAM at = MAKELPARAM(std::stoi(a), std::stoi(b));
        if (word == "down")
            SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
        else if (word == "move")
            SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, at);
        else if (word == "up")
            SendMessageW(view, WM_LBUTTONUP, 0, at);
        else
            FAIL() << line;
    }

    // Clicks the middle of a window of the program after checking that the
    // user can see it there.
    static void ClickOn(HWND window, POINT at)
    {
        HWND under = WindowFromPoint(at);
        ASSERT_TRUE(under == window || IsChild(window, under)) << "something covers the window the user clicks";
        ASSERT_NO_FATAL_FAILURE(ClickAndSettle(at));
    }
    // A click at a screen point, and the program given time to take it.
    static void ClickAndSettle(POINT at)
    {
        ASSERT_TRUE(probe::ClickAt(at));
        // Input comes after posted messages: give the program time to take
        // the click, then wait for what it posted.
        Sleep(200);
        WaitForInputIdle(app.process.hProcess, 10000);
        Idle();
    }
    static void ClickButton(UINT command)
    {
        RECT r{};
        ASSERT_TRUE(probe::ToolBarButtonRect(toolBar, command, r)) << command;
        ASSERT_NO_FATAL_FAILURE(ClickOn(toolBar, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    }
    static void ClickTile(int index)
    {
        HWND list = GetDlgItem(picker, 1005);
        const int item = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        SendMessageW(list, LB_SETTOPINDEX, 0, 0);
        ASSERT_NO_FATAL_FAILURE(ClickOn(list, probe::OnScreen(list, 10, item * index + item / 2)));
        for (int i = 0; i < 100 && SendMessageW(list, LB_GETCURSEL, 0, 0) != index; ++i) Sleep(50);
        ASSERT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), index);
        Idle();
    }
    // A click into the drawing view outside the painting stage changes
    // nothing but which pane is active.
    static void ClickDrawingView()
    {
        RECT r{};
        GetClientRect(view, &r);
        ASSERT_NO_FATAL_FAILURE(ClickOn(view, probe::OnScreen(view, r.right - 20, r.bottom - 20)));
    }
    // Whether a tool-bar button comes to show this state within a few
    // seconds (the click is taken, then the idle-time update runs).
    static bool Becomes(UINT command, bool enabled)
    {
        for (int i = 0; i < 100; ++i) {
            if (Enabled(command) == enabled) return true;
            Idle();
            Sleep(50);
        }
        return false;
    }
    // Clicks a control of the floating panel with the mouse, where the user
    // sees it; the pointer then rests away from the drawing view.
    static void ClickPanel(int id)
    {
        HWND control = GetDlgItem(panel, id);
        ASSERT_NE(control, nullptr) << id;
        const POINT at = probe::Middle(control);
        ASSERT_EQ(probe::ControlAt(panel, at), control) << "something covers control " << id << " of the panel";
        ASSERT_NO_FATAL_FAILURE(ClickAndSettle(at));
        RestPointer();
    }
    static bool Checked(int id) { return SendMessageW(GetDlgItem(panel, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    static void ClickPicker(int id)
    {
        HWND button = GetDlgItem(picker, id);
        ASSERT_NE(button, nullptr) << id;
        ASSERT_NO_FATAL_FAILURE(ClickOn(button, probe::Middle(button)));
    }
    static void RestPointer() { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); }
    // The drawing view, scrolled to its start, shows the tile repeated from
    // its top-left corner over a picture at least rows high: looked at on
    // the screen, in points of the first two repetitions across (and down,
    // within rows) where nothing covers the view.
    static void ExpectViewShowsRepeated(const Bmp& tile, int rows, const char* why)
    {
        Idle();
        Sleep(300);  // the drawing reaches the screen
        int looked = 0;
        for (int y = 3; y < std::min(2 * tile.height, rows); y += tile.height / 3 + 1)
            for (int x = 3; x < 2 * tile.width; x += tile.width / 3 + 1) {
                const POINT at = probe::OnScreen(view, x, y);
                if (WindowFromPoint(at) != view) continue;
                ++looked;
                EXPECT_EQ(probe::ScreenColour(at), tile.Pixel(x % tile.width, y % tile.height))
                    << why << ", at " << x << ", " << y;
            }
        EXPECT_GE(looked, 9) << "the view is covered where the test looks";
    }

    // One step of the user's path: a click with the mouse, or what the
    // program must show afterwards.
    enum class Act {
        ClickView,    // into the drawing view
        ClickButton,  // the tool-bar button of control
        ClickTile,    // the tile of index control in the picker's list
        ClickPicker,  // the picker's button control
        Needs,        // tool-bar button control comes to show enabled; the path ends if not
        Shows,        // tool-bar button control comes to show enabled
        Checked,      // tool-bar button control shows pressed
        NoMessage,    // no message box comes up
    };
    struct Move {
        Act act;
        UINT control = 0;
        bool enabled = true;
        const char* why = "";
    };
    static void Walk(std::initializer_list<Move> path)
    {
        for (const Move& m : path) {
            SCOPED_TRACE(::testing::Message() << "step " << static_cast<int>(m.act) << " on " << m.control);
            switch (m.act) {
            case Act::ClickView: ASSERT_NO_FATAL_FAILURE(ClickDrawingView()); break;
            case Act::ClickButton: ASSERT_NO_FATAL_FAILURE(ClickButton(m.control)); break;
            case Act::ClickTile: ASSERT_NO_FATAL_FAILURE(ClickTile(static_cast<int>(m.control))); break;
            case Act::ClickPicker: ASSERT_NO_FATAL_FAILURE(ClickPicker(static_cast<int>(m.control))); break;
            case Act::Needs: ASSERT_TRUE(Becomes(m.control, m.enabled)) << m.why; break;
            case Act::Shows: EXPECT_TRUE(Becomes(m.control, m.enabled)) << m.why; break;
            case Act::Checked: EXPECT_TRUE(SendMessageW(toolBar, TB_ISBUTTONCHECKED, m.control, 0)) << m.why; break;
            case Act::NoMessage: EXPECT_EQ(AnyDialog(1000), nullptr) << m.why; break;
            }
        }
    }

    static inline probe::Started app;
    static inline HWND frame = nullptr, view = nullptr, picker = nullptr, toolBar = nullptr, panel = nullptr;
    static inline std::wstring bin;
};

TEST_F(Run, StartsWithItsToolBarPanelAndPicker)
{
    EXPECT_TRUE(IsZoomed(frame));
    EXPECT_EQ(probe::TextOf(frame), L"\u65e0\u6807\u9898 - Relievo");
    ASSERT_NE(view, nullptr);
    ASSERT_NE(picker, nullptr);
    ASSERT_NE(panel, nullptr) << "the settings panel is missing";
    EXPECT_TRUE(IsWindowVisible(panel));
    {
        // The floating panel is above the frame: the user sees it.
        RECT r{};
        GetWindowRect(panel, &r);
        HWND at = WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        EXPECT_EQ(GetAncestor(at, GA_ROOT), panel) << "the panel is hidden behind the frame";
    }

    // The tool bar: 33 positions, 24 x 30 buttons, the feel display at 6.
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0), 33);
    const LRESULT size = SendMessageW(toolBar, TB_GETBUTTONSIZE, 0, 0);
    EXPECT_GE(LOWORD(size), 24); // at least: the common control fits its image
    EXPECT_EQ(HIWORD(size), 30);
    HWND feel = GetDlgItem(toolBar, kFeelDisplay);
    ASSERT_NE(feel, nullptr);
    EXPECT_EQ(probe::TextOf(feel), L"15");
    // The status bar: the message pane and three indicators.
    HWND status = GetDlgItem(frame, kStatusBar);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(SendMessageW(status, SB_GETPARTS, 0, 0), 4);

    // At start: 1, 2, 5, 6, 22, 24 enabled; 3, 4, 7 to 21, 23, 26, 27 not.
    // The idle-time update has run once the buttons of later stages are off.
    for (int i = 0; i < 100 && Enabled(32775); ++i) {
        Idle();
        Sleep(50);
    }
    for (UINT id : {32771u, 32773u, 32794u, 32795u, 32813u, 32804u}) EXPECT_TRUE(Enabled(id)) << id;
    for (UINT id : {32774u, 32775u, 32776u, 32811u, 32778u, 32821u, 32820u, 32772u, 32806u, 32807u})
        EXPECT_FALSE(Enabled(id)) << id;

    // The picker lists the tiles of the back folder.
    HWND list = GetDlgItem(picker, 1005);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 6);
    EXPECT_TRUE(Shot(frame, "run-0-start"));
    EXPECT_TRUE(Shot(panel, "run-panel"));
}

TEST_F(Run, InitialisesAndMakesThePaintingStage)
{
    Command(kInit);
    EXPECT_TRUE(Shot(frame, "run-1-background"));
    Command(kMakeDepthMap);
    Sleep(300);
    EXPECT_TRUE(Enabled(32778));
    EXPECT_FALSE(Enabled(kMakeBackground));
    EXPECT_TRUE(Shot(frame, "run-2-painting"));
}

TEST_F(Run, PaintsWithEveryToolAndSavesTheSameDepthMapAsTheTool)
{
    std::ifstream script(RV_RUN_SCRIPT);
    ASSERT_TRUE(script.good());
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Step(line);
        if (HasFatalFailure()) return;
    }
    Idle();
    EXPECT_TRUE(Shot(frame, "run-3-painted"));
    EXPECT_TRUE(Shot(panel, "run-panel-painted"));

    SaveAsTheToolMakes(L"wine-depth", "run-save-sample", L"sample", Here() + L"run-expected-depth.bmp",
                       L"paint --width 700 --height 600 --script \"" RV_RUN_SCRIPT_W L"\"",
                       "the painted depth map differs from relievo-cli's");
}

TEST_F(Run, ChangesTheFeelAndSavesTheSameStereogramAsTheTool)
{
    Command(kFeelUp);
    Command(kFeelUp);
    Command(kFeelDown);
    EXPECT_EQ(probe::TextOf(GetDlgItem(toolBar, kFeelDisplay)), L"16");
    Command(kGenerate);
    EXPECT_TRUE(Shot(frame, "run-4-stereogram"));

    SaveAsTheToolMakes(L"wine-stereo", "run-save-result", L"result", Here() + L"run-expected-stereo.bmp",
                       L"generate --tile \"" + bin + L"back\\b1.bmp\" --feel 16 --depth \"" + bin +
                           L"sample\\wine-depth.bmp\"",
                       "the stereogram differs from relievo-cli's");
}

TEST_F(Run, ImportsADepthMapThroughTheFileDialog)
{
    Command(kInit);
    const std::wstring file = bin + L"sample\\dome.bmp";
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kImport, file, "run-import-dialog"));
    Idle();
    Command(kMakeDepthMap);
    EXPECT_TRUE(Shot(frame, "run-5-imported"));
    // The 700 x 600 map fits the 700 x 600 depth map as it is.
    SaveAsTheToolMakes(L"wine-import", "run-save-import", L"sample", Here() + L"run-expected-import.bmp",
                       L"paint --depth \"" + file + L"\" --script \"" RV_EMPTY_SCRIPT_W L"\"");
}

TEST_F(Run, SettingsGiveANewWhiteDepthMapOfTheNewSize)
{
    HWND dlg = OpenDialog(kSettings, L"\u8bbe\u7f6e"); // 设置
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(probe::TextOf(GetDlgItem(dlg, 1002)), L"800");
    EXPECT_EQ(probe::TextOf(GetDlgItem(dlg, 1003)), L"600");
    SendMessageW(GetDlgItem(dlg, 1002), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"640"));
    SendMessageW(GetDlgItem(dlg, 1003), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"48000"));
    EXPECT_TRUE(Shot(dlg, "run-settings"));
    EXPECT_TRUE(Close(dlg)) << "OK left the settings dialog open";
    Idle();
    Command(kInit); // tiles 640 x 4800
    Command(kMakeDepthMap);
    EXPECT_TRUE(Shot(frame, "run-6-settings"));
    SaveAsTheToolMakes(L"wine-settings", "run-save-settings", L"sample", Here() + L"run-expected-settings.bmp",
                       L"paint --width 540 --height 4800 --script \"" RV_EMPTY_SCRIPT_W L"\"",
                       "48000 reads as 4800, white 540 x 4800");
}

// The picker used with the mouse: a click on b2 in the list, its size,
// a click on "use" and the view shows b2 repeated; then a click on "random"
// and the tool bar's 2, 4 and 3. Nothing earlier in this run drew a random
// number, so the tile is the first one of a process, which relievo-cli makes
// too; the view shows it repeated, and the stereogram of the white depth map
// the settings left is saved the same as the tool makes it.
TEST_F(Run, PicksAnotherTileAndTheRandomTile)
{
    ASSERT_NO_FATAL_FAILURE(ClickTile(1));
    EXPECT_EQ(probe::TextOf(GetDlgItem(picker, 1007)), L"80");
    EXPECT_EQ(probe::TextOf(GetDlgItem(picker, 1008)), L"120");
    EXPECT_TRUE(Shot(picker, "run-picker"));
    ASSERT_NO_FATAL_FAILURE(ClickPicker(1006));
    EXPECT_EQ(AnyDialog(1000), nullptr) << "a message instead of the tile";
    EXPECT_TRUE(Shot(frame, "run-7-tile-b2"));
    const Bmp b2(bin + L"back\\b2.bmp");
    ASSERT_EQ(b2.width, 80);
    ASSERT_EQ(b2.height, 120);
    ExpectViewShowsRepeated(b2, 4800, "b2 is not what the view shows");

    ASSERT_NO_FATAL_FAILURE(ClickPicker(1009));
    ASSERT_NO_FATAL_FAILURE(ClickButton(kMakeBackground));
    const std::wstring tileFile = Here() + L"run-expected-random-tile.bmp";
    ASSERT_TRUE(probe::RunRelievoCli(L"random-tile --index 1 --out \"" + tileFile + L"\""));
    const Bmp tile(tileFile);
    ASSERT_EQ(tile.width, 100);
    ASSERT_EQ(tile.height, 480);
    ExpectViewShowsRepeated(tile, 480, "the view does not show the first random tile");
    EXPECT_TRUE(Shot(frame, "run-8-random"));

    ASSERT_TRUE(Becomes(kMakeDepthMap, true));
    ASSERT_NO_FATAL_FAILURE(ClickButton(kMakeDepthMap));
    ASSERT_TRUE(Becomes(kGenerate, true));
    ASSERT_NO_FATAL_FAILURE(ClickButton(kGenerate));
    RestPointer();
    // 640 wide as the settings left it; the random tile is 480 high and
    // the feel is still 16.
    SaveAsTheToolMakes(L"wine-random", "run-save-random", L"result", Here() + L"run-expected-random.bmp",
                       L"generate --random-tile --random-index 1 --width 640 --height 480 --feel 16 --depth \"" +
                           bin + L"sample\\wine-settings.bmp\"",
                       "the stereogram of the random tile differs from relievo-cli's");
}

TEST_F(Run, NextAndPreviousPaneMoveTheFocusBetweenTheViews)
{
    const auto focus = [] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(app.process.dwThreadId, &info);
        return info.hwndFocus;
    };
    Command(57680); // F6
    const HWND first = focus();
    Command(57681); // Shift+F6
    const HWND second = focus();
    EXPECT_NE(first, second);
    for (HWND f : {first, second}) EXPECT_TRUE(f == view || f == picker || IsChild(picker, f)) << f;
}

// The drawing view's commands reach it whichever pane the user clicked
// last, and what nobody would carry out shows disabled. Everything is
// clicked with the mouse, through the system's input.
class PickerThenToolBar : public Run {};

TEST_F(PickerThenToolBar, RandomTileThenButton2MakesTheBackground)
{
    ASSERT_NO_FATAL_FAILURE(Walk({
        {Act::ClickView},
        {Act::ClickButton, kInit},
        {Act::Needs, kMakeDepthMap, true, "after 1, button 4 is ready"},
        {Act::ClickPicker, 1009},  // the random tile: button 4 waits for a background again
        {Act::Shows, kMakeDepthMap, false, "a drawing-view command shows enabled with the picker active"},
        {Act::Shows, kMakeBackground, true},
        {Act::Shows, kGenerate, false},
        {Act::ClickButton, kMakeBackground},
        {Act::Shows, kMakeDepthMap, true, "button 2 did not reach the drawing view"},
        {Act::Shows, kGenerate, false},
    }));
    EXPECT_TRUE(Shot(frame, "run-9-random-then-2"));
    RestPointer();
}

TEST_F(PickerThenToolBar, PickATileThenButton4StartsThePainting)
{
    ASSERT_NO_FATAL_FAILURE(Walk({
        {Act::ClickView},
        {Act::ClickTile, 3},
        {Act::ClickPicker, 1006},
        {Act::NoMessage, 0, true, "a message instead of the tile"},
        {Act::ClickButton, kMakeDepthMap},
        {Act::Shows, kMakeBackground, false, "button 4 did not reach the drawing view"},
        {Act::Shows, kGenerate, true},
        {Act::ClickButton, 32778},  // 9: the pencil
        {Act::Checked, 32778, true, "the pencil was not taken"},
    }));
    EXPECT_TRUE(Shot(frame, "run-10-tile-then-4"));
    RestPointer();
}

TEST_F(PickerThenToolBar, TheClickThatActivatesThePickerShowsItsPreviewInAClearedBox)
{
    const Bmp b4(bin + L"back\\b4.bmp"), b5(bin + L"back\\b5.bmp");
    ASSERT_EQ(b4.height, 200);
    ASSERT_EQ(b5.height, 64);
    HWND box = GetDlgItem(picker, 1010);
    RECT client{};
    GetClientRect(box, &client);
    ASSERT_GE(client.right, 20);
    ASSERT_GE(client.bottom, 80);
    const int below = std::min<int>(client.bottom, 95) - 4; // under b5's 64 rows
    // The drawing view is active: the click on the list activates the
    // picker and selects b4 at once.
    ASSERT_NO_FATAL_FAILURE(ClickDrawingView());
    ASSERT_NO_FATAL_FAILURE(ClickTile(3));
    Sleep(300);
    EXPECT_EQ(probe::ScreenColour(probe::OnScreen(box, 10, below)), b4.Pixel(10, 200 - 95 + below))
        << "the selection that activated the picker shows no preview";
    // With the picker active, b3 (128 x 128) fills the box; then b5, which is
    // 64 x 64: nothing of b3 stays below it.
    const Bmp b3(bin + L"back\\b3.bmp");
    ASSERT_NO_FATAL_FAILURE(ClickTile(2));
    Sleep(300);
    EXPECT_EQ(probe::ScreenColour(probe::OnScreen(box, 10, below)), b3.Pixel(10, 128 - 95 + below));
    ASSERT_NO_FATAL_FAILURE(ClickTile(4));
    Sleep(300);
    EXPECT_EQ(probe::ScreenColour(probe::OnScreen(box, 10, 10)), b5.Pixel(10, 10));
    EXPECT_EQ(probe::ScreenColour(probe::OnScreen(box, 10, below)), GetSysColor(COLOR_BTNFACE))
        << "the larger tile's pixels stay around the smaller one";
    EXPECT_TRUE(Shot(picker, "run-picker-small-tile"));
    // Activated again (a click on the picker's own ground), the box is empty
    // until the selection changes.
    ASSERT_NO_FATAL_FAILURE(ClickDrawingView());
    ASSERT_NO_FATAL_FAILURE(ClickOn(picker, probe::OnScreen(picker, 3, 3)));
    Sleep(300);
    EXPECT_EQ(probe::ScreenColour(probe::OnScreen(box, 10, 10)), GetSysColor(COLOR_BTNFACE));
    RestPointer();
}

TEST_F(Run, OpeningADocumentElsewhereKeepsTheProgramsFolder)
{
    const std::wstring elsewhere = Here() + L"run-expected-depth.bmp";
    ASSERT_TRUE(Exists(elsewhere));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(57601, elsewhere)); // Ctrl+O
    Idle();
    // "1" finds its tile in the program's back folder still.
    Command(kInit);
    EXPECT_TRUE(Becomes(kMakeDepthMap, true)) << "the tile was looked for in the opened file's folder";
    EXPECT_EQ(AnyDialog(500), nullptr);
}

TEST_F(Run, AnImportPathGb2312CannotHoldIsNamedInAMessage)
{
    const std::wstring korean = bin + L"sample\\\ud55c.bmp"; // 한.bmp
    ASSERT_TRUE(CopyFileW((bin + L"sample\\dome.bmp").c_str(), korean.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(kImport, korean));
    HWND box = AnyDialog(5000);
    ASSERT_NE(box, nullptr) << "the import said nothing";
    std::wstring said;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) said += probe::TextOf(c) + L"|";
    EXPECT_NE(said.find(L"cannot use"), std::wstring::npos) << "the message does not say why";
    EXPECT_TRUE(Shot(box, "run-import-unusable-path"));
    EXPECT_TRUE(Close(box)) << "OK left the message open";
    Idle();
    DeleteFileW(korean.c_str());
}

TEST_F(Run, ShowsTheAboutBox)
{
    HWND dlg = OpenDialog(kAbout, L"\u5173\u4e8e Relievo"); // 关于 Relievo
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Shot(dlg, "run-about"));
    EXPECT_TRUE(Close(dlg)) << "OK left the about box open";
}

// Enter and Esc pressed in the floating panel after a click on it: the
// program's message loop makes them the panel's OK and Cancel, and the
// panel stays.
TEST_F(Run, EnterAndEscInThePanelLeaveItShown)
{
    // A point of the panel's own ground, away from its controls.
    RECT client{};
    GetClientRect(panel, &client);
    POINT ground{-1, -1};
    for (int y = 2; y < client.bottom && ground.x < 0; y += 4)
        for (int x = 2; x < client.right && ground.x < 0; x += 4)
            if (ChildWindowFromPointEx(panel, POINT{x, y}, CWP_SKIPINVISIBLE) == panel) ground = POINT{x, y};
    ASSERT_GE(ground.x, 0) << "the panel shows no ground between its controls";
    ASSERT_NO_FATAL_FAILURE(ClickOn(panel, probe::OnScreen(panel, ground.x, ground.y)));
    RestPointer();
    ASSERT_EQ(GetForegroundWindow(), panel) << "the click did not make the panel the active window";
    for (const WORD key : {WORD{VK_RETURN}, WORD{VK_ESCAPE}}) {
        ASSERT_TRUE(probe::PressKey(key));
        Sleep(200);
        Idle();
        EXPECT_TRUE(IsWindowVisible(panel)) << (key == VK_RETURN ? "Enter" : "Esc") << " hid the panel";
    }
    EXPECT_EQ(AnyDialog(500), nullptr) << "a message came up";
}

} // namespace
