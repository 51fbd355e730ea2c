// The painter's dialogs and its floating settings panel, made from the
// program's own resources in this process under Wine: their controls, what
// the user's changes do to the fields and to the panel's model, and how they
// look (screenshots in the test output folder).
#include "WindowProbe.h"
#include "painter/app/Dialogs.h"
#include "painter/app/ToolPanelDlg.h"
#include "painter/app/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

class Environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Environment);

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring Text(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// A user's slider move: the thumb goes to pos and the slider tells its
// parent, as it does while it is dragged and when it is let go.
void MoveSlider(HWND dialog, int id, int pos)
{
    HWND slider = GetDlgItem(dialog, id);
    SendMessageW(slider, TBM_SETPOS, TRUE, pos);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, pos), reinterpret_cast<LPARAM>(slider));
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    Pump();
}

// A screenshot once the window's latest drawing has reached the screen.
bool Shot(HWND window, const char* name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (int i = 0; i < 5; ++i) {
        Pump();
        Sleep(50);
    }
    return probe::TakeWindowPicture(window, name);
}

// The colour a control shows at (x, y) of its client area.
COLORREF ScreenPixel(HWND control, int x, int y)
{
    UpdateWindow(GetParent(control));
    UpdateWindow(control);
    HDC dc = GetDC(control);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(control, dc);
    return c;
}

TEST(ToolPanelWindow, ShowsTheModelsInitialStateWithIconsOnTheEraserButtons)
{
    rv::CToolPanel model;
    model.Create(nullptr);
    model.Refresh(0);
    model.Refresh(0);
    CToolPanelDlg panel(model);
    ASSERT_TRUE(panel.Create(nullptr));
    HWND w = panel.Hwnd();
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(Text(w), L"\u4f5c\u56fe\u8bbe\u7f6e"); // 作图设置
    EXPECT_EQ(GetWindowLongW(w, GWL_STYLE) & WS_SYSMENU, 0) << "the panel cannot be closed";

    const struct {
        int id, low, high, pos;
    } sliders[] = {{1022, 1, 100, 1}, {1020, 2, 300, 10}, {1021, 0, 200, 200},
                   {1024, 10, 240, 240}, {1025, 0, 240, 0}, {1011, 0, 255, 150}};
    for (const auto& s : sliders) {
        HWND slider = GetDlgItem(w, s.id);
        ASSERT_NE(slider, nullptr) << s.id;
        EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), s.low) << s.id;
        EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), s.high) << s.id;
        EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), s.pos) << s.id;
    }
    EXPECT_EQ(IsDlgButtonChecked(w, 1016), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(w, 1017), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(w, 1018), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(w, 1013), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(w, 1014), BST_UNCHECKED);
    EXPECT_TRUE(SendMessageW(GetDlgItem(w, 1006), BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_FALSE(SendMessageW(GetDlgItem(w, 1007), BM_GETSTATE, 0, 0) & BST_PUSHED);
    for (int id : {1006, 1007, 1008})
        EXPECT_NE(SendMessageW(GetDlgItem(w, id), BM_GETIMAGE, IMAGE_ICON, 0), 0) << "icon on " << id;

    // The previews show the model: strip column 0 is black, the swatch grey 150.
    Pump();
    EXPECT_EQ(ScreenPixel(GetDlgItem(w, 1015), 0, 2), model.StripColumn(0));
    EXPECT_EQ(ScreenPixel(GetDlgItem(w, 1015), 100, 8), model.StripColumn(100));
    EXPECT_EQ(ScreenPixel(GetDlgItem(w, 1012), 5, 5), 0x969696u);
    EXPECT_TRUE(Shot(w, "relievo-panel"));
}

TEST(ToolPanelWindow, EveryChangeReachesTheModelAndThePreviewsFollow)
{
    rv::CToolPanel model;
    model.Create(nullptr);
    CToolPanelDlg panel(model);
    ASSERT_TRUE(panel.Create(nullptr));
    HWND w = panel.Hwnd();

    MoveSlider(w, 1011, 80);
    EXPECT_EQ(model.ColourValue(), 80);
    MoveSlider(w, 1022, 7);
    EXPECT_EQ(model.PenWidth(), 7);
    MoveSlider(w, 1020, 44);
    EXPECT_EQ(model.EraserWidth(), 44);
    MoveSlider(w, 1024, 120);
    MoveSlider(w, 1025, 30);
    EXPECT_EQ(model.C1(), 120);
    EXPECT_EQ(model.C2(), 30);
    // The strip caught up with C1 and C2 (two refreshes per move).
    EXPECT_EQ(model.StripColumn(0), 0x1E1E1Eu); // level c2 = 30 at the low end

    Click(w, 1014); // "兰"
    EXPECT_TRUE(model.IsBlue());
    EXPECT_EQ(IsDlgButtonChecked(w, 1014), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(w, 1013), BST_UNCHECKED);
    EXPECT_EQ(ScreenPixel(GetDlgItem(w, 1012), 3, 3), 0xFF5050u);

    Click(w, 1018);
    EXPECT_TRUE(model.LowRight());
    EXPECT_EQ(IsDlgButtonChecked(w, 1018), BST_CHECKED);
    Click(w, 1016);
    EXPECT_FALSE(model.LowLeft());
    EXPECT_EQ(IsDlgButtonChecked(w, 1016), BST_UNCHECKED);
    EXPECT_EQ(ScreenPixel(GetDlgItem(w, 1015), 117, 2), model.StripColumn(117));

    Click(w, 1008);
    EXPECT_EQ(model.EraserKind(), 3);
    EXPECT_TRUE(SendMessageW(GetDlgItem(w, 1008), BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_FALSE(SendMessageW(GetDlgItem(w, 1006), BM_GETSTATE, 0, 0) & BST_PUSHED);

    // The picker changes the model from outside: Sync shows it.
    model.SelectBlack();
    model.SetColourValue(200);
    panel.Sync();
    EXPECT_EQ(SendMessageW(GetDlgItem(w, 1011), TBM_GETPOS, 0, 0), 200);
    EXPECT_EQ(IsDlgButtonChecked(w, 1013), BST_CHECKED);
    EXPECT_EQ(ScreenPixel(GetDlgItem(w, 1012), 3, 3), 0xC8C8C8u);

    // Enter and Esc do not hide the panel.
    SendMessageW(w, WM_COMMAND, IDOK, 0);
    SendMessageW(w, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(Shot(w, "relievo-panel-changed"));
}

// Counts the messages sent to the children of one window on this thread.
class ChildMessageCounter {
public:
    explicit ChildMessageCounter(HWND parent)
    {
        parent_ = parent;
        counts_.clear();
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~ChildMessageCounter() { UnhookWindowsHookEx(hook_); }
    ChildMessageCounter(const ChildMessageCounter&) = delete;
    ChildMessageCounter& operator=(const ChildMessageCounter&) = delete;
    bool Hooked() const { return hook_ != nullptr; }
    int Total() const
    {
        int total = 0;
        for (const auto& [id, n] : counts_) total += n;
        return total;
    }
    std::vector<int> Controls() const
    {
        std::vector<int> ids;
        for (const auto& [id, n] : counts_) ids.push_back(id);
        return ids;
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && GetParent(msg->hwnd) == parent_) ++counts_[GetDlgCtrlID(msg->hwnd)];
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HWND parent_ = nullptr;
    static inline std::map<int, int> counts_;
    HHOOK hook_ = nullptr;
};

TEST(ToolPanelWindow, AMouseMoveThatChangesNothingSendsTheControlsNothing)
{
    rv::CToolPanel model;
    model.Create(nullptr);
    model.Refresh(0);
    CToolPanelDlg panel(model);
    ASSERT_TRUE(panel.Create(nullptr));
    HWND w = panel.Hwnd();
    Pump();
    {
        // The view syncs the panel after every mouse event.
        ChildMessageCounter counter(w);
        ASSERT_TRUE(counter.Hooked());
        for (int move = 0; move < 10; ++move) panel.Sync();
        EXPECT_EQ(counter.Total(), 0) << "messages to the panel's controls for ten moves";
    }
    {
        // The colour picker took a blue pixel of value 77: only the colour
        // slider and the two radio buttons change.
        model.SelectBlue();
        model.SetColourValue(77);
        ChildMessageCounter counter(w);
        panel.Sync();
        EXPECT_EQ(counter.Controls(), (std::vector<int>{1011, 1013, 1014}));
    }
    EXPECT_EQ(SendMessageW(GetDlgItem(w, 1011), TBM_GETPOS, 0, 0), 77);
    EXPECT_EQ(IsDlgButtonChecked(w, 1014), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(w, 1013), BST_UNCHECKED);
    EXPECT_EQ(ScreenPixel(GetDlgItem(w, 1012), 3, 3), 0xFF4D4Du);
}

TEST(SettingsDialog, ShowsTheSizeAndReadsFourCharactersOfEachEdit)
{
    CSettingsDlg dlg;
    dlg.width = 800;
    dlg.height = 600;
    EXPECT_EQ(dlg.initialised, 0);
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND w = dlg.Hwnd();
    ShowWindow(w, SW_SHOW);
    Pump();
    EXPECT_EQ(dlg.initialised, 1);
    EXPECT_EQ(Text(w), L"\u8bbe\u7f6e"); // 设置
    EXPECT_EQ(Text(GetDlgItem(w, 1002)), L"800");
    EXPECT_EQ(Text(GetDlgItem(w, 1003)), L"600");
    EXPECT_TRUE(Shot(w, "relievo-settings"));

    SetDlgItemTextW(w, 1002, L"12345");
    SetDlgItemTextW(w, 1003, L"abc");
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.width, 1234);
    EXPECT_EQ(dlg.height, 0);
    SetDlgItemTextW(w, 1002, L" -70px");
    SetDlgItemTextW(w, 1003, L"480");
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.width, -70);
    EXPECT_EQ(dlg.height, 480);
}

TEST(SaveNameDialogs, OpenEmptyAndTakeAtMost254Characters)
{
    for (int pass = 0; pass < 2; ++pass) {
        CSaveSampleDlg sample;
        CSaveResultDlg result;
        CSaveNameDlg& dlg = pass == 0 ? static_cast<CSaveNameDlg&>(sample) : result;
        dlg.name = "previous";
        ASSERT_TRUE(dlg.Create(nullptr));
        HWND w = dlg.Hwnd();
        ShowWindow(w, SW_SHOW);
        Pump();
        EXPECT_EQ(Text(w), L"\u4fdd\u5b58\u7ed3\u679c"); // 保存结果
        EXPECT_EQ(Text(GetDlgItem(w, 1007)), L"");
        // The prompt names the folder.
        bool prompt = false;
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (Text(c).find(pass == 0 ? L"\"sample\"" : L"\"result\"") != std::wstring::npos) prompt = true;
        EXPECT_TRUE(prompt);
        EXPECT_TRUE(Shot(w, pass == 0 ? "relievo-save-sample" : "relievo-save-result"));

        SetDlgItemTextW(w, 1007, L"\u6d6e\u96d5"); // 浮雕
        ASSERT_TRUE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.name, "\xB8\xA1\xB5\xF1");
        SetDlgItemTextW(w, 1007, std::wstring(300, L'a').c_str());
        ASSERT_TRUE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.name, std::string(254, 'a'));
    }
}

TEST(AboutDialog, ShowsItsPictureAndTheProgramsVersion)
{
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND w = dlg.Hwnd();
    ShowWindow(w, SW_SHOW);
    Pump();
    EXPECT_NE(SendMessageW(GetDlgItem(w, IDC_ABOUT_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    // The version the program's file properties show (version_info checks those).
    EXPECT_EQ(Text(GetDlgItem(w, IDC_ABOUT_VERSION)), L"Relievo " RV_EXPECTED_VERSION L" \u7248"); // 版
    EXPECT_TRUE(Shot(w, "relievo-about"));
}

} // namespace
