// The framework's application, frame, views and bars under Wine: a frame
// with a tool bar, a status bar and a splitter of a scroll view and a form
// view, driven by messages as a user's clicks and keys would arrive, and read
// back from the controls; the profile's recent files; the file-open dialog;
// the wait cursor.
#include "FrameTestIds.h"
#include "WindowProbe.h"
#include "win32/framework/App.h"
#include "win32/framework/Common.h"
#include "win32/framework/FrameworkIds.h"
#include "win32/platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Gb(const wchar_t* text) { return w32::Narrow(text); }

// Which target handled which command, in order.
std::vector<std::string> g_handled;

struct RecordedMessage {
    std::string text;
};
std::vector<RecordedMessage> g_messages;
int RecordMessage(HWND, std::string_view text, std::string_view, UINT)
{
    g_messages.push_back({std::string(text)});
    return IDOK;
}

class CTestDoc : public fw::CDocument {
public:
    bool OnCommand(UINT id) override
    {
        if (id != ID_DOC_CMD) return false;
        g_handled.push_back("doc");
        return true;
    }
    bool UpdateCommand(UINT id, fw::CommandState& state) override
    {
        if (id != ID_DOC_CMD) return false;
        state.enabled = true;
        return true;
    }
};

class CTestView : public fw::CScrollView {
public:
    bool enabled = true;
    bool checked = false;
    int initialUpdates = 0;
    int draws = 0;
    POINT drawOrigin{-1, -1};
    std::vector<SIZE> scrolls;
    std::vector<bool> activations;

    bool OnCommand(UINT id) override
    {
        if (id != ID_VIEW_CMD) return false;
        g_handled.push_back("view");
        return true;
    }
    bool UpdateCommand(UINT id, fw::CommandState& state) override
    {
        switch (id) {
        case ID_VIEW_CMD:
        case ID_TOP_CMD:
            state.enabled = enabled;
            state.checked = checked;
            return true;
        case ID_DISABLED_CMD:
            state.enabled = false;
            return true;
        default:
            return false;
        }
    }
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        SetScrollSizes({1000, 800});
    }
    void OnActivateView(bool active) override { activations.push_back(active); }

protected:
    void OnDraw(HDC dc) override
    {
        ++draws;
        GetViewportOrgEx(dc, &drawOrigin);
    }
    void OnScrollBy(SIZE delta) override
    {
        scrolls.push_back(delta);
        CScrollView::OnScrollBy(delta);
    }
};

class CTestForm : public fw::CFormView {
public:
    CTestForm() : CFormView(IDD_FORM) {}
    int clicks = 0;
    std::string text = "b1.bmp";
    std::vector<bool> activations;

    bool OnCommand(UINT id) override
    {
        if (id != IDC_FORM_BUTTON) return false;
        ++clicks;
        return true;
    }
    void OnActivateView(bool active) override { activations.push_back(active); }

protected:
    void DoDataExchange(fw::CDataExchange& dx) override { dx.Text(IDC_FORM_EDIT, text); }
};

class CTestFrame : public fw::CFrameWnd {
public:
    fw::CSplitterWnd splitter;
    fw::CToolBar toolBar;
    fw::CStatusBar statusBar;
    HWND feel = nullptr;

    bool OnCommand(UINT id) override
    {
        if (id != ID_FRAME_CMD) return false;
        g_handled.push_back("frame");
        return true;
    }
    bool UpdateCommand(UINT id, fw::CommandState& state) override
    {
        if (id != ID_FRAME_CMD) return false;
        state.enabled = true;
        return true;
    }

protected:
    bool OnCreate(const CREATESTRUCTW& cs) override
    {
        if (!CFrameWnd::OnCreate(cs)) return false;
        if (!toolBar.Create(Hwnd()) || !toolBar.LoadToolBar(IDR_TESTFRAME)) return false;
        if (!statusBar.Create(Hwnd()) ||
            !statusBar.SetIndicators({FW_ID_SEPARATOR, FW_ID_INDICATOR_CAPS, FW_ID_INDICATOR_NUM, FW_ID_INDICATOR_SCRL}))
            return false;
        const char* labels[] = {"1", "", "2", "", "3"};
        for (int i = 0; i < toolBar.ButtonCount(); ++i) toolBar.SetButtonText(i, labels[i]);
        toolBar.SetSizes({24, 30}, {19, 14});
        // A control in the tool bar, where a button was.
        const int place = toolBar.CommandToIndex(ID_PLACE_CMD);
        toolBar.MakeSeparator(place, 20);
        RECT r = toolBar.ItemRect(place);
        r.top += 3;
        r.bottom -= 3;
        feel = CreateWindowExW(0, L"STATIC", L"15", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, toolBar.Hwnd(), reinterpret_cast<HMENU>(IDC_FEEL), nullptr, nullptr);
        return feel != nullptr;
    }
    bool OnCreateClient() override
    {
        return splitter.CreateStatic(Hwnd(), 1, 2) &&
               splitter.CreateView(0, 0, std::make_unique<CTestView>(), {300, 200}) &&
               splitter.CreateView(0, 1, std::make_unique<CTestForm>(), {150, 200});
    }
};

class CTestApp : public fw::CWinApp {
public:
    bool quitAtIdle = false;
    int idleUpdates = 0;

    bool OnCommand(UINT id) override
    {
        if (id == ID_APP_CMD) {
            g_handled.push_back("app");
            return true;
        }
        // Would run them if they reached it: it answers for neither.
        if (id == ID_DISABLED_CMD || id == ID_NOBODY_CMD) {
            g_handled.push_back("app saw " + std::to_string(id));
            return true;
        }
        return CWinApp::OnCommand(id);
    }
    bool UpdateCommand(UINT id, fw::CommandState& state) override
    {
        if (id != ID_APP_CMD) return CWinApp::UpdateCommand(id, state);
        state.enabled = true;
        return true;
    }
    bool OnIdle(long count) override
    {
        const bool more = CWinApp::OnIdle(count);
        if (count == 0) ++idleUpdates;
        if (quitAtIdle) {
            quitAtIdle = false;
            PostQuitMessage(7);
        }
        return more;
    }
};

// Each test gets an application with a frame of 800 x 600.
class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_handled.clear();
        g_messages.clear();
        previous_ = fw::SetMessageBoxHandler(RecordMessage);
        fw::CreateArgs args;
        args.x = 0;
        args.y = 0;
        args.width = 800;
        args.height = 600;
        ASSERT_TRUE(app.CreateDocumentFrame(std::make_unique<CTestFrame>(), std::make_unique<CTestDoc>(), IDR_TESTFRAME, args));
        frame = static_cast<CTestFrame*>(app.MainFrame());
        view = static_cast<CTestView*>(frame->splitter.GetPane(0, 0));
        form = static_cast<CTestForm*>(frame->splitter.GetPane(0, 1));
        frame->Show(SW_SHOW);
        UpdateWindow(frame->Hwnd());
        Pump();
    }
    void TearDown() override
    {
        if (frame && frame->Hwnd()) frame->Destroy();
        fw::SetMessageBoxHandler(previous_);
        // The frame's WM_DESTROY asked the loop to end: take that message away.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }
    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!app.PreTranslateMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        app.OnIdle(0);
    }
    void Command(UINT id) { SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    CTestApp app;
    CTestFrame* frame = nullptr;
    CTestView* view = nullptr;
    CTestForm* form = nullptr;
    fw::MessageBoxHandler previous_ = nullptr;
};

TEST_F(FrameFixture, TheFrameHoldsBarsAndASplitterOfTwoViewsWithTheirSizes)
{
    ASSERT_NE(view, nullptr);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(frame->GetText(), Gb(L"无标题 - 框架测试"));
    EXPECT_EQ(frame->GetDocument()->Title(), Gb(L"无标题"));
    EXPECT_EQ(view->GetDocument(), frame->GetDocument());
    EXPECT_EQ(form->GetDocument(), frame->GetDocument());
    EXPECT_EQ(frame->GetDocument()->Views().size(), 2u);
    EXPECT_EQ(view->initialUpdates, 1);
    EXPECT_EQ(frame->GetActiveView(), view) << "the first view starts active";

    RECT client = frame->ClientRect();
    RECT bar, status, split;
    GetWindowRect(frame->toolBar.Hwnd(), &bar);
    GetWindowRect(frame->statusBar.Hwnd(), &status);
    GetWindowRect(frame->splitter.Hwnd(), &split);
    EXPECT_EQ(split.top, bar.bottom) << "the splitter starts under the tool bar";
    EXPECT_EQ(split.bottom, status.top) << "and ends over the status bar";
    EXPECT_EQ(split.right - split.left, client.right);

    EXPECT_EQ(frame->splitter.ColumnWidth(0), 300);
    EXPECT_EQ(frame->splitter.ColumnWidth(1), client.right - 300 - fw::CSplitterWnd::kBar) << "the last pane takes the rest";
    RECT viewRect, formRect;
    GetWindowRect(view->Hwnd(), &viewRect);
    GetWindowRect(form->Hwnd(), &formRect);
    EXPECT_EQ(viewRect.right - viewRect.left, 300);
    EXPECT_EQ(formRect.left, viewRect.right + fw::CSplitterWnd::kBar);
    EXPECT_TRUE(IsWindowVisible(form->Item(IDC_LIST))) << "the form's controls come from its template";

    probe::TakeWindowPicture(frame->Hwnd(), "framework-frame");
}

TEST_F(FrameFixture, CommandsTravelViewDocumentFrameApplication)
{
    Command(ID_VIEW_CMD);
    Command(ID_DOC_CMD);
    Command(ID_FRAME_CMD);
    Command(ID_APP_CMD);
    EXPECT_EQ(g_handled, (std::vector<std::string>{"view", "doc", "frame", "app"}));

    // A command that nobody answers for is disabled, so it reaches nobody,
    // like one its target disables.
    g_handled.clear();
    EXPECT_FALSE(frame->QueryCommand(ID_NOBODY_CMD).enabled);
    Command(ID_NOBODY_CMD);
    Command(ID_DISABLED_CMD);
    EXPECT_TRUE(g_handled.empty()) << g_handled.size() << " targets ran it";
    // The application's own commands are answered for.
    EXPECT_TRUE(frame->QueryCommand(FW_ID_APP_EXIT).enabled);
    EXPECT_TRUE(frame->QueryCommand(FW_ID_FILE_OPEN).enabled);

    // A tool-bar click is a command too.
    g_handled.clear();
    SendMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(ID_DOC_CMD, BN_CLICKED), reinterpret_cast<LPARAM>(frame->toolBar.Hwnd()));
    EXPECT_EQ(g_handled, (std::vector<std::string>{"doc"}));

    // With the form view active, the scroll view's commands are not offered
    // to it, and they show disabled rather than enabled and doing nothing.
    g_handled.clear();
    frame->SetActiveView(form);
    Command(ID_VIEW_CMD);
    Command(ID_DOC_CMD);
    EXPECT_EQ(g_handled, (std::vector<std::string>{"doc"}));
    app.OnIdle(0);
    EXPECT_FALSE(frame->toolBar.IsButtonEnabled(frame->toolBar.CommandToIndex(ID_VIEW_CMD)));
    frame->SetActiveView(view);
    app.OnIdle(0);
    EXPECT_TRUE(frame->toolBar.IsButtonEnabled(frame->toolBar.CommandToIndex(ID_VIEW_CMD)));
}

TEST_F(FrameFixture, AcceleratorsBecomeCommandsUnlessDisabled)
{
    SetFocus(view->Hwnd());
    PostMessageW(view->Hwnd(), WM_KEYDOWN, VK_F5, 0);
    PostMessageW(view->Hwnd(), WM_KEYDOWN, VK_F6, 0);
    Pump();
    EXPECT_EQ(g_handled, (std::vector<std::string>{"view"}));

    g_handled.clear();
    view->enabled = false;
    PostMessageW(view->Hwnd(), WM_KEYDOWN, VK_F5, 0);
    Pump();
    EXPECT_TRUE(g_handled.empty());
}

TEST_F(FrameFixture, IdleTimeShowsTheCommandStateOnButtonsAndMenus)
{
    fw::CToolBar& bar = frame->toolBar;
    const int viewButton = bar.CommandToIndex(ID_VIEW_CMD);
    const int disabledButton = bar.CommandToIndex(ID_DISABLED_CMD);
    ASSERT_GE(viewButton, 0);
    ASSERT_GE(disabledButton, 0);
    EXPECT_TRUE(bar.IsButtonEnabled(viewButton));
    EXPECT_FALSE(bar.IsButtonChecked(viewButton));
    EXPECT_FALSE(bar.IsButtonEnabled(disabledButton));

    view->enabled = false;
    view->checked = true;
    EXPECT_TRUE(bar.IsButtonEnabled(viewButton)) << "nothing changes before idle time";
    app.OnIdle(0);
    EXPECT_FALSE(bar.IsButtonEnabled(viewButton));
    EXPECT_TRUE(bar.IsButtonChecked(viewButton));
    // The command on the menu bar itself.
    HMENU menu = GetMenu(frame->Hwnd());
    EXPECT_TRUE(GetMenuState(menu, ID_TOP_CMD, MF_BYCOMMAND) & MF_GRAYED);

    // A pop-up menu is brought up to date as it opens.
    HMENU file = GetSubMenu(menu, 0);
    SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_TRUE(GetMenuState(file, ID_VIEW_CMD, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(file, ID_VIEW_CMD, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(file, ID_DISABLED_CMD, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(file, ID_DOC_CMD, MF_BYCOMMAND) & MF_GRAYED) << "the document answers: enabled";
    EXPECT_TRUE(GetMenuState(file, ID_NOBODY_CMD, MF_BYCOMMAND) & MF_GRAYED) << "nobody answers: disabled";
    EXPECT_FALSE(GetMenuState(file, FW_ID_APP_EXIT, MF_BYCOMMAND) & MF_GRAYED);

    view->enabled = true;
    view->checked = false;
    app.OnIdle(0);
    EXPECT_TRUE(bar.IsButtonEnabled(viewButton));
    EXPECT_FALSE(bar.IsButtonChecked(viewButton));
    EXPECT_FALSE(GetMenuState(menu, ID_TOP_CMD, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(FrameFixture, TheMessageLoopUpdatesAtIdleAndEndsWithTheQuitCode)
{
    const int viewButton = frame->toolBar.CommandToIndex(ID_VIEW_CMD);
    view->enabled = false;
    app.idleUpdates = 0;
    app.quitAtIdle = true;
    PostMessageW(frame->Hwnd(), WM_COMMAND, MAKEWPARAM(ID_DOC_CMD, 0), 0);
    EXPECT_EQ(app.Run(), 7);
    EXPECT_GE(app.idleUpdates, 1);
    EXPECT_FALSE(frame->toolBar.IsButtonEnabled(viewButton));
    EXPECT_EQ(g_handled, (std::vector<std::string>{"doc"}));
}

TEST_F(FrameFixture, ExitClosesTheMainFrameAndEndsTheLoop)
{
    HWND w = frame->Hwnd();
    Command(FW_ID_APP_EXIT);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(IsWindow(w));
}

TEST(ToolBarTest, ResourcesOfBothCompilersLoad)
{
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    {
        fw::CToolBar bar;
        ASSERT_TRUE(bar.Create(parent));
        // windres's DWORDs.
        ASSERT_TRUE(bar.LoadToolBar(IDR_TESTFRAME));
        ASSERT_EQ(bar.ButtonCount(), 5);
        EXPECT_EQ(bar.CommandAt(4), static_cast<UINT>(ID_DISABLED_CMD));
        // The classic compiler's WORDs, version 1 first.
        ASSERT_TRUE(bar.LoadToolBar(IDR_CLASSIC_TOOLBAR));
        ASSERT_EQ(bar.ButtonCount(), 3);
        EXPECT_EQ(bar.CommandAt(0), static_cast<UINT>(ID_VIEW_CMD));
        EXPECT_TRUE(bar.IsSeparator(1));
        EXPECT_EQ(bar.CommandAt(2), static_cast<UINT>(ID_DOC_CMD));
        // A count past the data is no tool bar of either layout; the buttons stay.
        EXPECT_FALSE(bar.LoadToolBar(IDR_SHORT_TOOLBAR));
        EXPECT_EQ(bar.ButtonCount(), 3);
    }
    DestroyWindow(parent);
}

TEST_F(FrameFixture, ToolBarHasLabelsSizesAndAControlInPlaceOfAButton)
{
    fw::CToolBar& bar = frame->toolBar;
    ASSERT_EQ(bar.ButtonCount(), 5);
    EXPECT_EQ(bar.CommandAt(0), static_cast<UINT>(ID_VIEW_CMD));
    EXPECT_TRUE(bar.IsSeparator(1));
    EXPECT_EQ(bar.CommandAt(1), 0u);
    EXPECT_EQ(bar.GetButtonText(0), "1");
    EXPECT_EQ(bar.GetButtonText(2), "2");
    EXPECT_EQ(bar.GetButtonText(4), "3");
    const SIZE size = bar.ButtonSize();
    EXPECT_GE(size.cx, 24);
    EXPECT_GE(size.cy, 30);
    const RECT first = bar.ItemRect(0);
    EXPECT_GE(first.bottom - first.top, 30);

    const int place = bar.CommandToIndex(ID_PLACE_CMD);
    EXPECT_EQ(place, 3) << "the separator keeps the command id";
    EXPECT_TRUE(bar.IsSeparator(place));
    const RECT slot = bar.ItemRect(place);
    EXPECT_EQ(slot.right - slot.left, 20);
    RECT feel;
    GetWindowRect(frame->feel, &feel);
    MapWindowPoints(nullptr, bar.Hwnd(), reinterpret_cast<POINT*>(&feel), 2);
    EXPECT_EQ(feel.left, slot.left);
    EXPECT_EQ(feel.top, slot.top + 3);
    EXPECT_EQ(feel.bottom, slot.bottom - 3);
    EXPECT_EQ(GetParent(frame->feel), bar.Hwnd());
    EXPECT_EQ(frame->GetToolBar(), &bar);
    EXPECT_EQ(frame->GetStatusBar(), &frame->statusBar);
}

TEST_F(FrameFixture, StatusBarShowsPromptsIdleTextAndKeyboardIndicators)
{
    fw::CStatusBar& bar = frame->statusBar;
    ASSERT_EQ(bar.PaneCount(), 4);
    EXPECT_EQ(bar.GetPaneText(0), Gb(L"就绪"));

    HMENU file = GetSubMenu(GetMenu(frame->Hwnd()), 0);
    SendMessageW(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(ID_VIEW_CMD, MF_STRING), reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(bar.GetPaneText(0), Gb(L"视图命令")) << "the prompt is the string up to the line break";
    SendMessageW(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(ID_DISABLED_CMD, MF_STRING), reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(bar.GetPaneText(0), Gb(L"不能用")) << "a string without a tool tip";
    SendMessageW(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(bar.GetPaneText(0), Gb(L"就绪")) << "the menu closed";

    // Hovering a tool-bar button.
    NMTBHOTITEM hot{};
    hot.hdr.hwndFrom = frame->toolBar.Hwnd();
    hot.hdr.idFrom = FW_IDW_TOOLBAR;
    hot.hdr.code = TBN_HOTITEMCHANGE;
    hot.idNew = ID_DOC_CMD;
    SendMessageW(frame->Hwnd(), WM_NOTIFY, FW_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(bar.GetPaneText(0), Gb(L"文档命令"));
    hot.dwFlags = HICF_LEAVING;
    SendMessageW(frame->Hwnd(), WM_NOTIFY, FW_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(bar.GetPaneText(0), Gb(L"就绪"));

    // Keyboard locks, as the keyboard state says.
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE saved[3] = {keys[VK_CAPITAL], keys[VK_NUMLOCK], keys[VK_SCROLL]};
    keys[VK_CAPITAL] = 1;
    keys[VK_NUMLOCK] = 0;
    keys[VK_SCROLL] = 1;
    SetKeyboardState(keys);
    app.OnIdle(0);
    EXPECT_EQ(bar.GetPaneText(1), Gb(L"大写"));
    EXPECT_EQ(bar.GetPaneText(2), "");
    EXPECT_EQ(bar.GetPaneText(3), Gb(L"滚动"));
    probe::TakeWindowPicture(bar.Hwnd(), "framework-status-bar");
    keys[VK_CAPITAL] = 0;
    keys[VK_NUMLOCK] = 1;
    keys[VK_SCROLL] = 0;
    SetKeyboardState(keys);
    app.OnIdle(0);
    EXPECT_EQ(bar.GetPaneText(1), "");
    EXPECT_EQ(bar.GetPaneText(2), Gb(L"数字"));
    EXPECT_EQ(bar.GetPaneText(3), "");
    keys[VK_CAPITAL] = saved[0];
    keys[VK_NUMLOCK] = saved[1];
    keys[VK_SCROLL] = saved[2];
    SetKeyboardState(keys);
}

TEST_F(FrameFixture, ToolTipsAreTheStringsAfterTheLineBreak)
{
    struct Row {
        UINT id;
        const wchar_t* tip;
    };
    const Row rows[] = {{ID_VIEW_CMD, L"视图提示"}, {ID_DOC_CMD, L"文档提示"}, {ID_DISABLED_CMD, L""}, {ID_NOBODY_CMD, L""}};
    for (const Row& row : rows) {
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = row.id;
        info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(frame->Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(info.lpszText, nullptr);
        EXPECT_EQ(std::wstring(info.lpszText), row.tip) << row.id;
    }

    // The tool bar's own tool tip control asks the same way (through the
    // tool bar) when it needs a button's text.
    HWND tips = reinterpret_cast<HWND>(SendMessageW(frame->toolBar.Hwnd(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = frame->toolBar.Hwnd();
    tool.uId = ID_DOC_CMD;
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 255, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"文档提示");
}

TEST_F(FrameFixture, ScrollViewDrawsWithItsOffsetAndKeepsThePositionInRange)
{
    const RECT client = view->ClientRect();
    ASSERT_LT(client.right, 1000);
    ASSERT_LT(client.bottom, 800);
    EXPECT_TRUE(GetWindowLongW(view->Hwnd(), GWL_STYLE) & WS_VSCROLL);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(view->Hwnd(), SB_VERT, &si);
    EXPECT_EQ(si.nMax, 799);
    EXPECT_EQ(static_cast<LONG>(si.nPage), client.bottom);

    view->ScrollToPosition({100, 50});
    EXPECT_EQ(view->GetScrollPosition().x, 100);
    EXPECT_EQ(view->GetScrollPosition().y, 50);
    ASSERT_EQ(view->scrolls.size(), 1u);
    EXPECT_EQ(view->scrolls[0].cx, 100);
    EXPECT_EQ(view->scrolls[0].cy, 50);
    view->Invalidate();
    UpdateWindow(view->Hwnd());
    EXPECT_EQ(view->drawOrigin.x, -100);
    EXPECT_EQ(view->drawOrigin.y, -50);
    const POINT area = view->ClientToArea({10, 20});
    EXPECT_EQ(area.x, 110);
    EXPECT_EQ(area.y, 70);

    view->ScrollToPosition({5000, -5});
    EXPECT_EQ(view->GetScrollPosition().x, 1000 - client.right);
    EXPECT_EQ(view->GetScrollPosition().y, 0);

    // The scroll bar's arrows move by a line (a tenth of a tenth of the area).
    SendMessageW(view->Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(view->GetScrollPosition().y, 8);
    SendMessageW(view->Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(view->GetScrollPosition().y, std::min<LONG>(8 + client.bottom, 800 - client.bottom));
    SendMessageW(view->Hwnd(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(view->GetScrollPosition().y, 0);
    SendMessageW(view->Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(view->GetScrollPosition().y, 800 - client.bottom);

    // An area smaller than the window needs no scrolling.
    view->SetScrollSizes({50, 50});
    EXPECT_EQ(view->GetScrollPosition().x, 0);
    EXPECT_EQ(view->GetScrollPosition().y, 0);
}

TEST_F(FrameFixture, FormViewTakesClicksExchangesDataAndBecomesActive)
{
    EXPECT_EQ(form->GetItemText(IDC_FORM_EDIT), "b1.bmp") << "its fields are shown when it is made";
    SendMessageW(form->Item(IDC_FORM_BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(form->clicks, 1);
    SendMessageW(form->Hwnd(), WM_COMMAND, IDCANCEL, 0);
    SendMessageW(form->Hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindowVisible(form->Hwnd())) << "Enter and Esc do not end a form";

    // What the system sends the list box for a click: its default handling
    // asks the parent first.
    SendMessageW(form->Item(IDC_LIST), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame->Hwnd()),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(frame->GetActiveView(), form) << "a click in the form makes it active";
    ASSERT_FALSE(view->activations.empty());
    EXPECT_FALSE(view->activations.back());
    ASSERT_FALSE(form->activations.empty());
    EXPECT_TRUE(form->activations.back());

    SendMessageW(view->Hwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame->Hwnd()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(frame->GetActiveView(), view);
}

TEST_F(FrameFixture, TheSplitterBarCanBeDragged)
{
    fw::CSplitterWnd& s = frame->splitter;
    const int x = 300 + fw::CSplitterWnd::kBar / 2;
    SendMessageW(s.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 50));
    SendMessageW(s.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 40, 50));
    SendMessageW(s.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x + 40, 50));
    EXPECT_EQ(s.ColumnWidth(0), 340);
    RECT r;
    GetWindowRect(view->Hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 340);
    // Far beyond the right edge: the last pane shrinks to nothing, not below.
    SendMessageW(s.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(340 + 2, 50));
    SendMessageW(s.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5000, 50));
    SendMessageW(s.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5000, 50));
    EXPECT_EQ(s.ColumnWidth(1), 0);
    EXPECT_EQ(s.ColumnWidth(0), s.ClientRect().right - fw::CSplitterWnd::kBar);
}

TEST_F(FrameFixture, TheDocumentTitleFollowsItsPath)
{
    struct Row {
        std::string path;
        std::string title;
    };
    const Row rows[] = {
        {Gb(L"C:\\目录\\文件.bmp"), Gb(L"文件.bmp")},
        {"C:/a/b.txt", "b.txt"},
        {"plain", "plain"},
        {"C:\\x\\\x95\x5c" "a.bmp", "\x95\x5c" "a.bmp"}, // a trail byte 0x5C is no separator
    };
    for (const Row& row : rows) {
        frame->GetDocument()->SetPathName(row.path);
        EXPECT_EQ(frame->GetDocument()->Title(), row.title);
        EXPECT_EQ(frame->GetText(), row.title + " - " + Gb(L"框架测试"));
    }
    Command(FW_ID_FILE_NEW);
    EXPECT_EQ(frame->GetText(), Gb(L"无标题 - 框架测试"));
    EXPECT_EQ(frame->GetDocument()->PathName(), "");
}

// ---- profile and recent files ----

const wchar_t kTestCompany[] = L"RvFrameworkTest";

void DeleteTestProfile() { RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kTestCompany).c_str()); }

std::wstring ReadRecentValue(const wchar_t* name)
{
    const std::wstring key = std::wstring(L"Software\\") + kTestCompany + L"\\FrameTest\\Recent File List";
    wchar_t value[512] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return L"<none>";
    return value;
}

std::string TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (f) {
        std::fputs("x", f);
        std::fclose(f);
    }
    return w32::Narrow(path);
}

TEST_F(FrameFixture, RecentFilesLiveInTheProfileFourAtMost)
{
    DeleteTestProfile();
    app.SetAppName("FrameTest");
    app.SetRegistryKey(w32::Narrow(kTestCompany));
    app.LoadStdProfileSettings(4);
    ASSERT_NE(app.RecentFiles(), nullptr);
    EXPECT_EQ(app.RecentFiles()->Count(), 0);

    const std::string a = Gb(L"C:\\图\\a.bmp"), b = "C:\\b.bmp", c = "C:\\c.bmp", d = "C:\\d.bmp", e = "C:\\e.bmp";
    for (const std::string& p : {a, b, c, d, e}) app.AddToRecentFileList(p);
    app.AddToRecentFileList("c:\\C.BMP"); // the same file in other letters moves to the top
    const std::vector<std::string> expected{"c:\\C.BMP", e, d, b};
    EXPECT_EQ(app.RecentFiles()->Files(), expected);
    EXPECT_EQ(ReadRecentValue(L"File1"), L"c:\\C.BMP");
    EXPECT_EQ(ReadRecentValue(L"File4"), L"C:\\b.bmp");
    EXPECT_EQ(ReadRecentValue(L"File5"), L"<none>");

    // Another run reads the same list.
    {
        CTestApp second;
        second.SetAppName("FrameTest");
        second.SetRegistryKey(w32::Narrow(kTestCompany));
        second.LoadStdProfileSettings(4);
        EXPECT_EQ(second.RecentFiles()->Files(), expected);
    }
    // Profile values of the program's own.
    EXPECT_TRUE(app.WriteProfileText("Settings", "Name", Gb(L"浮雕")));
    EXPECT_EQ(app.ReadProfileText("Settings", "Name"), Gb(L"浮雕"));
    EXPECT_EQ(app.ReadProfileText("Settings", "Missing", "x"), "x");
    EXPECT_TRUE(app.WriteProfileInt("Settings", "Count", -3));
    EXPECT_EQ(app.ReadProfileInt("Settings", "Count", 0), -3);
    DeleteTestProfile();
}

TEST_F(FrameFixture, TheFileMenuShowsTheRecentFilesAndOpensThem)
{
    DeleteTestProfile();
    app.SetAppName("FrameTest");
    app.SetRegistryKey(w32::Narrow(kTestCompany));
    app.LoadStdProfileSettings(4);
    HMENU file = GetSubMenu(GetMenu(frame->Hwnd()), 0);
    auto itemText = [&](UINT id) {
        wchar_t text[256] = {};
        GetMenuStringW(file, id, text, 255, MF_BYCOMMAND);
        return std::wstring(text);
    };
    SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_EQ(itemText(FW_ID_FILE_MRU_FILE1), L"最近文件");
    EXPECT_TRUE(GetMenuState(file, FW_ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED);

    const std::string older = TempFile(L"旧文件.txt");
    const std::string newer = TempFile(L"a&b.txt");
    app.AddToRecentFileList(older);
    app.AddToRecentFileList(newer);
    const int before = GetMenuItemCount(file);
    SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_EQ(GetMenuItemCount(file), before + 1);
    EXPECT_EQ(itemText(FW_ID_FILE_MRU_FILE1), L"&1 " + w32::Widen(newer).replace(w32::Widen(newer).find(L'&'), 1, L"&&"));
    EXPECT_EQ(itemText(FW_ID_FILE_MRU_FILE1 + 1), L"&2 " + w32::Widen(older));
    EXPECT_FALSE(GetMenuState(file, FW_ID_FILE_MRU_FILE1 + 1, MF_BYCOMMAND) & MF_GRAYED);

    // Choosing the second opens it and moves it to the top.
    Command(FW_ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(frame->GetDocument()->PathName(), older);
    EXPECT_EQ(frame->GetText(), Gb(L"旧文件.txt - 框架测试"));
    EXPECT_EQ(app.RecentFiles()->Files(), (std::vector<std::string>{older, newer}));

    // A file that has gone leaves the list with a message.
    DeleteFileW(w32::Widen(newer).c_str());
    Command(FW_ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(app.RecentFiles()->Files(), (std::vector<std::string>{older}));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0].text, Gb(L"无法打开文件 ") + newer);
    EXPECT_EQ(frame->GetDocument()->PathName(), older) << "the open document stays";
    SendMessageW(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_EQ(GetMenuItemCount(file), before);
    DeleteFileW(w32::Widen(older).c_str());
    DeleteTestProfile();
}

// ---- file-open dialog ----

struct DialogDriver {
    DWORD uiThread;
    // Typed into the name field and confirmed, one at a time (a folder
    // browses into it); an empty one cancels.
    std::vector<std::wstring> steps;
    std::size_t done = 0;
    bool found = false;
};

BOOL CALLBACK DriveFileDialog(HWND window, LPARAM data)
{
    auto* driver = reinterpret_cast<DialogDriver*>(data);
    wchar_t cls[16];
    if (!GetClassNameW(window, cls, 16) || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    driver->found = true;
    const std::wstring& name = driver->steps[driver->done++];
    if (name.empty()) {
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return FALSE;
    }
    HWND field = GetDlgItem(window, 0x47C); // the name combo box
    if (!field) field = GetDlgItem(window, 0x480); // or the name edit
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

DWORD WINAPI DriveThread(void* data)
{
    auto* driver = static_cast<DialogDriver*>(data);
    for (int i = 0; i < 300 && driver->done < driver->steps.size(); ++i) {
        Sleep(driver->done > 0 ? 500 : 100); // a step that browses takes its time
        EnumThreadWindows(driver->uiThread, DriveFileDialog, reinterpret_cast<LPARAM>(driver));
    }
    return 0;
}

fw::FileDialogResult RunFileDialogSteps(const fw::OpenFileArgs& args, std::vector<std::wstring> steps,
                                        std::string& path, bool& seen)
{
    DialogDriver driver{GetCurrentThreadId(), std::move(steps)};
    HANDLE thread = CreateThread(nullptr, 0, DriveThread, &driver, 0, nullptr);
    const fw::FileDialogResult result = fw::OpenFileDialog(args, path);
    WaitForSingleObject(thread, 35000);
    CloseHandle(thread);
    seen = driver.found;
    return result;
}

fw::FileDialogResult RunFileDialog(const fw::OpenFileArgs& args, const std::wstring& typed, std::string& path, bool& seen)
{
    return RunFileDialogSteps(args, {typed}, path, seen);
}

std::wstring CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

TEST(FileDialogTest, ReturnsTheChosenPathInGb2312StartingInTheGivenFolder)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"框架测试";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\图.bmp";
    FILE* f = _wfopen(file.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);

    fw::OpenFileArgs args;
    args.filter = Gb(L"图象文件(*.bmp)|*.bmp");
    args.initialFolder = w32::Narrow(folder);
    std::string path = "old";
    bool seen = false;
    EXPECT_EQ(RunFileDialog(args, L"图.bmp", path, seen), fw::FileDialogResult::Chosen);
    EXPECT_TRUE(seen);
    EXPECT_EQ(path, w32::Narrow(file)) << "a bare name is found in the initial folder";

    path = "old";
    EXPECT_EQ(RunFileDialog(args, L"", path, seen), fw::FileDialogResult::Cancelled);
    EXPECT_TRUE(seen);
    EXPECT_EQ(path, "");

    // A name GB2312 cannot hold is refused rather than turned into question marks.
    const std::wstring korean = folder + L"\\한.bmp";
    f = _wfopen(korean.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    path = "old";
    EXPECT_EQ(RunFileDialog(args, L"한.bmp", path, seen), fw::FileDialogResult::NotGb2312);
    EXPECT_EQ(path, "");
    DeleteFileW(korean.c_str());
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(FileDialogTest, TheCurrentFolderIsTheSameAfterwardsHoweverTheDialogEnds)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring home = std::wstring(temp) + L"框架测试-程序";
    const std::wstring other = std::wstring(temp) + L"框架测试-图片";
    CreateDirectoryW(home.c_str(), nullptr);
    CreateDirectoryW(other.c_str(), nullptr);
    const std::wstring file = other + L"\\图.bmp";
    FILE* f = _wfopen(file.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    const std::wstring before = CurrentFolder();
    ASSERT_TRUE(SetCurrentDirectoryW(home.c_str()));
    const std::wstring start = CurrentFolder();

    fw::OpenFileArgs args;
    args.filter = Gb(L"图象文件(*.bmp)|*.bmp");
    std::string path;
    bool seen = false;
    // A file chosen in another folder.
    EXPECT_EQ(RunFileDialog(args, file, path, seen), fw::FileDialogResult::Chosen);
    EXPECT_TRUE(seen);
    EXPECT_EQ(path, w32::Narrow(file));
    EXPECT_EQ(CurrentFolder(), start) << "choosing a file moved the current folder";
    // Browsing into another folder, then cancelling.
    EXPECT_EQ(RunFileDialogSteps(args, {other, L""}, path, seen), fw::FileDialogResult::Cancelled);
    EXPECT_TRUE(seen);
    EXPECT_EQ(CurrentFolder(), start) << "browsing moved the current folder";
    // The flags a caller gives do not change that.
    args.flags = OFN_HIDEREADONLY;
    args.initialFolder = w32::Narrow(other);
    path = "old";
    EXPECT_EQ(RunFileDialog(args, L"图.bmp", path, seen), fw::FileDialogResult::Chosen);
    EXPECT_TRUE(seen);
    EXPECT_EQ(path, w32::Narrow(file)) << "the caller's flags lost the chosen path";
    EXPECT_EQ(CurrentFolder(), start);

    SetCurrentDirectoryW(before.c_str());
    DeleteFileW(file.c_str());
    RemoveDirectoryW(other.c_str());
    RemoveDirectoryW(home.c_str());
}

// ---- wait cursor ----

TEST(WaitCursorTest, ShowsTheWaitCursorForItsLifetime)
{
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    const HCURSOR wait = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
    SetCursor(arrow);
    {
        fw::CWaitCursor busy;
        EXPECT_EQ(GetCursor(), wait);
        {
            fw::CWaitCursor nested;
            EXPECT_EQ(GetCursor(), wait);
        }
        EXPECT_EQ(GetCursor(), wait) << "the outer one is still busy";
        SetCursor(arrow); // say, a message box was shown
        busy.Restore();
        EXPECT_EQ(GetCursor(), wait);
    }
    EXPECT_EQ(GetCursor(), arrow);
}

// ---- start-up ----

TEST(AppTest, AFrameWhoseClientCannotBeMadeIsNotCreated)
{
    class CRefusingFrame : public fw::CFrameWnd {
    protected:
        bool OnCreateClient() override { return false; }
    };
    CTestApp app;
    EXPECT_FALSE(app.CreateDocumentFrame(std::make_unique<CRefusingFrame>(), std::make_unique<CTestDoc>(), IDR_TESTFRAME));
    EXPECT_EQ(app.MainFrame(), nullptr);
    EXPECT_FALSE(app.CreateDocumentFrame(nullptr, std::make_unique<CTestDoc>(), IDR_TESTFRAME));
}

TEST(AppTest, AFailedStartEndsWithoutALoop)
{
    class CFailingApp : public fw::CWinApp {
    public:
        int exits = 0;
        bool InitInstance() override { return false; }
        int ExitInstance() override
        {
            ++exits;
            return CWinApp::ExitInstance();
        }
    } app;
    EXPECT_EQ(fw::GetApp(), &app);
    EXPECT_EQ(app.Main(), 0);
    EXPECT_EQ(app.exits, 1);
}

} // namespace
