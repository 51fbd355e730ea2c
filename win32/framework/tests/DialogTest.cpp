// The framework's windows and dialogs under Wine: modal and modeless dialogs
// from templates, data exchange in GB2312, message boxes owned by a window,
// window objects owning their HWND. Driven by messages, read back from the
// controls.
#include "TestIds.h"
#include "WindowProbe.h"
#include "win32/framework/Dialog.h"
#include "win32/platform/Text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

std::string Gb(const wchar_t* text) { return w32::Narrow(text); }

std::wstring ControlText(HWND control)
{
    wchar_t buffer[256] = {};
    GetWindowTextW(control, buffer, 256);
    return buffer;
}

void TypeInto(HWND control, const wchar_t* text) { SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Message boxes shown through the framework, recorded instead of shown.
struct RecordedMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<RecordedMessage> g_messages;

int RecordMessage(HWND owner, std::string_view text, std::string_view caption, UINT type)
{
    g_messages.push_back({owner, std::string(text), std::string(caption), type});
    return IDOK;
}

class RecordMessages {
public:
    RecordMessages() : previous_(fw::SetMessageBoxHandler(RecordMessage)) { g_messages.clear(); }
    ~RecordMessages() { fw::SetMessageBoxHandler(previous_); }

private:
    fw::MessageBoxHandler previous_;
};

// The test dialog: a name (at most 5 bytes), a number, a check box, a radio
// group; "结束" ends it with 42. Once open it runs the test's script, posted
// so that the dialog is up when the script drives it.
class CExchangeDlg : public fw::CDialog {
public:
    CExchangeDlg() : CDialog(IDD_EXCHANGE) {}

    std::string name;
    int number = 0;
    bool flag = false;
    int colour = -1;
    std::function<void(CExchangeDlg&)> script;
    int initCount = 0;
    int exchangeCount = 0;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override
    {
        ++exchangeCount;
        dx.Text(IDC_NAME, name, 5);
        dx.Int(IDC_NUMBER, number);
        dx.Check(IDC_FLAG, flag);
        dx.Radio(IDC_FIRST, IDC_SECOND, colour);
    }
    bool OnInitDialog() override
    {
        ++initCount;
        CDialog::OnInitDialog();
        Post(WM_APP);
        return true;
    }
    bool OnCommand(UINT id) override
    {
        if (id != IDC_END42) return false;
        EndDialog(42);
        return true;
    }
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_APP:
            // The dialog manager shows a modal dialog once its queue is
            // empty; the script wants to see it (and take its picture).
            ShowWindow(Hwnd(), SW_SHOWNORMAL);
            UpdateWindow(Hwnd());
            if (script) script(*this);
            else EndDialog(IDCANCEL);
            return TRUE;
        default:
            break;
        }
        return DialogProcDefault(message, wParam, lParam);
    }
};

TEST(ModalDialogTest, ShowsTheFieldsAndReadsThemBackOnOk)
{
    CExchangeDlg dlg;
    dlg.name = Gb(L"中文");
    dlg.number = -15;
    dlg.flag = true;
    dlg.colour = 1;
    std::wstring shownName, shownNumber;
    LRESULT shownFlag = -1, shownFirst = -1, shownSecond = -1;
    bool modalInside = false;
    dlg.script = [&](CExchangeDlg& d) {
        HWND w = d.Hwnd();
        modalInside = d.IsModal();
        shownName = ControlText(GetDlgItem(w, IDC_NAME));
        shownNumber = ControlText(GetDlgItem(w, IDC_NUMBER));
        shownFlag = SendMessageW(GetDlgItem(w, IDC_FLAG), BM_GETCHECK, 0, 0);
        shownFirst = SendMessageW(GetDlgItem(w, IDC_FIRST), BM_GETCHECK, 0, 0);
        shownSecond = SendMessageW(GetDlgItem(w, IDC_SECOND), BM_GETCHECK, 0, 0);
        UpdateWindow(w);
        probe::TakeWindowPicture(w, "framework-modal-dialog");
        TypeInto(GetDlgItem(w, IDC_NAME), L"宋体");
        TypeInto(GetDlgItem(w, IDC_NUMBER), L"  +2047 ");
        Click(w, IDC_FLAG);  // checked -> unchecked
        Click(w, IDC_FIRST); // the other radio button
        Click(w, IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(modalInside);
    EXPECT_EQ(shownName, L"中文");
    EXPECT_EQ(shownNumber, L"-15");
    EXPECT_EQ(shownFlag, BST_CHECKED);
    EXPECT_EQ(shownFirst, BST_UNCHECKED);
    EXPECT_EQ(shownSecond, BST_CHECKED);

    EXPECT_EQ(dlg.name, Gb(L"宋体"));
    EXPECT_EQ(dlg.number, 2047);
    EXPECT_FALSE(dlg.flag);
    EXPECT_EQ(dlg.colour, 0);
    EXPECT_EQ(dlg.Hwnd(), nullptr) << "the window is gone once DoModal returns";
    EXPECT_FALSE(dlg.IsModal());
}

TEST(ModalDialogTest, CancelLeavesTheFieldsAlone)
{
    CExchangeDlg dlg;
    dlg.name = "abc";
    dlg.number = 7;
    dlg.script = [](CExchangeDlg& d) {
        TypeInto(GetDlgItem(d.Hwnd(), IDC_NAME), L"xyz");
        TypeInto(GetDlgItem(d.Hwnd(), IDC_NUMBER), L"99");
        Click(d.Hwnd(), IDCANCEL);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.name, "abc");
    EXPECT_EQ(dlg.number, 7);
    EXPECT_EQ(dlg.exchangeCount, 1) << "only the initial display";
}

TEST(ModalDialogTest, EscapeAndCloseBoxCancel)
{
    CExchangeDlg escape;
    // Esc pressed in the name box reaches the dialog through the modal loop.
    escape.script = [](CExchangeDlg& d) { PostMessageW(GetDlgItem(d.Hwnd(), IDC_NAME), WM_KEYDOWN, VK_ESCAPE, 0); };
    EXPECT_EQ(escape.DoModal(), IDCANCEL);

    CExchangeDlg closeBox;
    closeBox.script = [](CExchangeDlg& d) { SendMessageW(d.Hwnd(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(closeBox.DoModal(), IDCANCEL);
}

TEST(ModalDialogTest, ACommandHandlerEndsTheDialogWithItsOwnResult)
{
    CExchangeDlg dlg;
    dlg.script = [](CExchangeDlg& d) { Click(d.Hwnd(), IDC_END42); };
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(dlg.Result(), 42);
}

TEST(ModalDialogTest, TheSameObjectRunsAgainWithAFreshWindow)
{
    CExchangeDlg dlg;
    HWND first = nullptr, second = nullptr;
    dlg.script = [&](CExchangeDlg& d) {
        first = d.Hwnd();
        Click(d.Hwnd(), IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    dlg.script = [&](CExchangeDlg& d) {
        second = d.Hwnd();
        Click(d.Hwnd(), IDCANCEL);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(dlg.initCount, 2);
}

TEST(ModalDialogTest, AMissingTemplateIsAFailureNotACrash)
{
    fw::CDialog dlg(999);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create());
    EXPECT_EQ(dlg.Hwnd(), nullptr);
}

TEST(DataExchangeTest, AnUnreadableNumberKeepsTheDialogOpenWithTheFocusOnIt)
{
    RecordMessages recorder;
    CExchangeDlg dlg;
    dlg.number = 5;
    bool openAfterBadOk = false;
    HWND focusAfterBadOk = nullptr, numberField = nullptr, owner = nullptr;
    int numberAfterBadOk = 0;
    dlg.script = [&](CExchangeDlg& d) {
        owner = d.Hwnd();
        numberField = GetDlgItem(d.Hwnd(), IDC_NUMBER);
        TypeInto(numberField, L"12a");
        Click(d.Hwnd(), IDOK);
        openAfterBadOk = d.Hwnd() != nullptr && IsWindowVisible(d.Hwnd());
        focusAfterBadOk = GetFocus();
        numberAfterBadOk = d.number;
        TypeInto(numberField, L"-17");
        Click(d.Hwnd(), IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(openAfterBadOk);
    EXPECT_EQ(focusAfterBadOk, numberField);
    EXPECT_EQ(numberAfterBadOk, 5) << "a failed read leaves the field as it was";
    EXPECT_EQ(dlg.number, -17);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0].text, Gb(L"请输入一个整数。"));
    EXPECT_EQ(g_messages[0].owner, owner) << "the message box belongs to the dialog";
}

TEST(DataExchangeTest, NumberFieldsTakeSignedDecimalsInTheIntRangeOnly)
{
    struct Row {
        const wchar_t* typed;
        bool accepted;
        int value;
    };
    const Row rows[] = {
        {L"0", true, 0},
        {L"  42  ", true, 42},
        {L"-2147483648", true, -2147483647 - 1},
        {L"2147483647", true, 2147483647},
        {L"2147483648", false, 0},
        {L"-2147483649", false, 0},
        {L"99999999999999999999", false, 0},
        {L"", false, 0},
        {L"-", false, 0},
        {L"1 2", false, 0},
        {L"0x10", false, 0},
        {L"１２", false, 0}, // full-width digits are not digits here
    };
    for (const Row& row : rows) {
        RecordMessages recorder;
        CExchangeDlg dlg;
        dlg.number = 123;
        bool readOk = false;
        dlg.script = [&](CExchangeDlg& d) {
            TypeInto(GetDlgItem(d.Hwnd(), IDC_NUMBER), row.typed);
            readOk = d.UpdateData(true);
            Click(d.Hwnd(), IDCANCEL);
        };
        // A dialog that never opened would leave readOk false, like a refusal.
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "typed: " << w32::Narrow(row.typed);
        EXPECT_EQ(readOk, row.accepted) << "typed: " << w32::Narrow(row.typed);
        EXPECT_EQ(dlg.number, row.accepted ? row.value : 123) << "typed: " << w32::Narrow(row.typed);
        EXPECT_EQ(g_messages.size(), row.accepted ? 0u : 1u);
    }
}

TEST(DataExchangeTest, NumberFieldsShowTheDecimalOfEveryIntValue)
{
    const std::pair<int, const wchar_t*> rows[] = {
        {0, L"0"}, {7, L"7"}, {-3, L"-3"}, {1000000, L"1000000"},
        {2147483647, L"2147483647"}, {-2147483647 - 1, L"-2147483648"},
    };
    for (const auto& [value, shown] : rows) {
        CExchangeDlg dlg;
        dlg.number = value;
        std::wstring text;
        dlg.script = [&](CExchangeDlg& d) {
            text = ControlText(GetDlgItem(d.Hwnd(), IDC_NUMBER));
            Click(d.Hwnd(), IDCANCEL);
        };
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << value;
        EXPECT_EQ(text, shown) << value;
    }
}

TEST(DataExchangeTest, TextIsCutAtTheByteLimitWithoutSplittingACharacter)
{
    CExchangeDlg dlg; // the name keeps at most 5 bytes
    dlg.script = [](CExchangeDlg& d) {
        TypeInto(GetDlgItem(d.Hwnd(), IDC_NAME), L"ab中文字");
        Click(d.Hwnd(), IDOK);
    };
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.name, "ab" + Gb(L"中"));
}

TEST(DataExchangeTest, ControlsMissingFromTheTemplateFailTheExchange)
{
    class CWrongDlg : public fw::CDialog {
    public:
        CWrongDlg() : CDialog(IDD_MODELESS) {}
        int number = 3;
        bool readOk = true;

    protected:
        void DoDataExchange(fw::CDataExchange& dx) override { dx.Int(IDC_NUMBER, number); }
        bool OnInitDialog() override
        {
            readOk = UpdateData(true);
            EndDialog(IDCANCEL);
            return true;
        }
    } dlg;
    RecordMessages recorder;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.readOk);
    EXPECT_EQ(dlg.number, 3);
}

TEST(TextTest, StringResourcesArriveAsGb2312)
{
    EXPECT_EQ(fw::LoadText(IDS_HELLO), Gb(L"你好\n提示"));
    EXPECT_EQ(fw::LoadText(4321), "");
}

// ---- message boxes ----

struct BoxSeen {
    DWORD uiThread;
    HWND owner;
    std::wstring caption;
    std::wstring text;
    bool found = false;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data)
{
    auto* seen = reinterpret_cast<BoxSeen*>(data);
    wchar_t name[16];
    if (GetClassNameW(window, name, 16) && wcscmp(name, L"#32770") == 0 && GetWindow(window, GW_OWNER) == seen->owner &&
        IsWindowVisible(window)) {
        seen->caption = ControlText(window);
        seen->text = ControlText(GetDlgItem(window, 0xFFFF));
        seen->found = true;
        PostMessageW(window, WM_COMMAND, IDNO, 0);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI AnswerBox(void* data)
{
    auto* seen = static_cast<BoxSeen*>(data);
    for (int i = 0; i < 200 && !seen->found; ++i) {
        Sleep(50);
        EnumThreadWindows(seen->uiThread, FindBox, reinterpret_cast<LPARAM>(seen));
    }
    return 0;
}

TEST(MessageBoxTest, TheSystemBoxShowsChineseTextAndCaptionOwnedByTheWindow)
{
    CExchangeDlg dlg;
    BoxSeen seen{GetCurrentThreadId(), nullptr, {}, {}};
    int answer = 0;
    dlg.script = [&](CExchangeDlg& d) {
        seen.owner = d.Hwnd();
        HANDLE helper = CreateThread(nullptr, 0, AnswerBox, &seen, 0, nullptr);
        answer = d.ShowMessage(Gb(L"文件不存在"), Gb(L"错误"), MB_YESNO | MB_ICONEXCLAMATION);
        WaitForSingleObject(helper, 15000);
        CloseHandle(helper);
        Click(d.Hwnd(), IDCANCEL);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, L"错误");
    EXPECT_EQ(seen.text, L"文件不存在");
    EXPECT_EQ(answer, IDNO);
}

TEST(MessageBoxTest, AnEmptyCaptionMeansTheProgramsTitle)
{
    RecordMessages recorder;
    fw::SetDefaultCaption("");
    fw::ShowMessage(nullptr, "x");
    fw::SetDefaultCaption(Gb(L"浮雕"));
    fw::ShowMessage(nullptr, "y");
    fw::ShowMessage(nullptr, "z", "Own");
    fw::SetDefaultCaption("");
    ASSERT_EQ(g_messages.size(), 3u);
    EXPECT_EQ(g_messages[0].caption, "w32_framework_tests") << "the executable's name";
    EXPECT_EQ(g_messages[1].caption, Gb(L"浮雕"));
    EXPECT_EQ(g_messages[2].caption, "Own");
}

TEST(MessageBoxTest, ATitleLongerThanAnyFileNameIsNotKept)
{
    RecordMessages recorder;
    fw::SetDefaultCaption(std::string(2 * MAX_PATH, 'T'));
    fw::ShowMessage(nullptr, "x");
    fw::SetDefaultCaption(std::string(2 * MAX_PATH + 1, 'U'));
    fw::ShowMessage(nullptr, "y");
    fw::SetDefaultCaption("");
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[0].caption, std::string(2 * MAX_PATH, 'T'));
    EXPECT_EQ(g_messages[1].caption, "w32_framework_tests");
}

// The converter for one call agrees with Widen on both sides of its in-place
// buffer, Chinese included, and ends every text with a zero.
TEST(WideTextTest, AgreesWithWidenInPlaceAndOnTheHeap)
{
    const std::string chinese = Gb(L"浮雕安装");
    for (std::size_t count : {0u, 1u, 65u, 66u, 131u, 132u, 263u, 264u, 265u, 4000u}) {
        std::string ascii(count, 'a');
        std::string mixed;
        for (std::size_t i = 0; i < count; ++i) mixed += (i % 3 == 0) ? chinese : std::string("b");
        for (const std::string& text : {ascii, mixed}) {
            const w32::WideText wide(text);
            const std::wstring expected = w32::Widen(text);
            EXPECT_TRUE(wide.Ok());
            ASSERT_EQ(wide.size(), expected.size()) << count;
            EXPECT_EQ(std::wstring(wide.c_str()), expected) << count;
            EXPECT_EQ(wide.c_str()[wide.size()], L'\0');
        }
    }
}

// ---- modeless dialogs ----

class CPanelDlg : public fw::CDialog {
public:
    CPanelDlg() : CDialog(IDD_MODELESS) {}
    std::string text;
    int finalDestroys = 0;
    int commands = 0;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override { dx.Text(IDC_NAME, text); }
    void OnFinalDestroy() override { ++finalDestroys; }
};

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (fw::IsModelessDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

TEST(ModelessDialogTest, LivesBesideTheLoopAndExchangesData)
{
    CPanelDlg panel;
    ASSERT_TRUE(panel.Create());
    HWND w = panel.Hwnd();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(panel.IsModal());
    EXPECT_TRUE(IsWindowVisible(w)) << "the template says WS_VISIBLE";
    EXPECT_EQ(fw::CWnd::FromHandle(w), &panel);
    EXPECT_FALSE(panel.Create()) << "one window per object";
    PumpMessages();
    probe::TakeWindowPicture(w, "framework-modeless-dialog");

    TypeInto(GetDlgItem(w, IDC_NAME), L"渐变设置");
    EXPECT_TRUE(panel.UpdateData(true));
    EXPECT_EQ(panel.text, Gb(L"渐变设置"));
    panel.text = Gb(L"颜色");
    EXPECT_TRUE(panel.UpdateData(false));
    EXPECT_EQ(ControlText(GetDlgItem(w, IDC_NAME)), L"颜色");
    EXPECT_EQ(panel.GetItemText(IDC_NAME), Gb(L"颜色"));
    panel.SetItemText(IDC_NAME, Gb(L"铅笔"));
    EXPECT_EQ(ControlText(GetDlgItem(w, IDC_NAME)), L"铅笔");
    EXPECT_EQ(panel.GetText(), Gb(L"作图设置"));

    // Esc in the dialog's edit reaches the dialog through the loop.
    PostMessageW(GetDlgItem(w, IDC_NAME), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages();
    EXPECT_EQ(panel.Result(), IDCANCEL);
    EXPECT_FALSE(IsWindowVisible(w)) << "ending a modeless dialog hides it";
    EXPECT_TRUE(IsWindow(w));

    panel.Destroy();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(panel.Hwnd(), nullptr);
    EXPECT_EQ(panel.finalDestroys, 1);
    MSG msg{};
    msg.hwnd = w;
    msg.message = WM_KEYDOWN;
    EXPECT_FALSE(fw::IsModelessDialogMessage(msg)) << "a destroyed dialog is no longer served";

    EXPECT_TRUE(panel.Create()) << "and can be made again";
    EXPECT_NE(panel.Hwnd(), nullptr);
}

TEST(ModelessDialogTest, TheObjectDestroysItsWindow)
{
    HWND w = nullptr;
    {
        CPanelDlg panel;
        ASSERT_TRUE(panel.Create());
        w = panel.Hwnd();
        EXPECT_TRUE(IsWindow(w));
    }
    EXPECT_FALSE(IsWindow(w));
}

// ---- plain windows ----

class CParentWnd : public fw::CWnd {
public:
    std::vector<UINT> commands;
    int created = 0;
    int finalDestroys = 0;
    POINT lastClick{-1, -1};

protected:
    bool OnCreate(const CREATESTRUCTW&) override
    {
        ++created;
        return true;
    }
    bool OnCommand(UINT id) override
    {
        commands.push_back(id);
        return true;
    }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_LBUTTONDOWN:
            lastClick = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            return 0;
        default:
            break;
        }
        return WndProcDefault(message, wParam, lParam);
    }
    void OnFinalDestroy() override { ++finalDestroys; }
};

class CButton : public fw::CWnd {
public:
    int clicksSeen = 0;
    int finalDestroys = 0;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LBUTTONUP) ++clicksSeen;
        return WndProcDefault(message, wParam, lParam);
    }
    void OnFinalDestroy() override { ++finalDestroys; }
};

TEST(WindowTest, AWindowOwnsItsHandleAndCannotBeCopied)
{
    static_assert(!std::is_copy_constructible_v<fw::CWnd>);
    static_assert(!std::is_copy_assignable_v<fw::CWnd>);
    CParentWnd parent;
    fw::CreateArgs args;
    args.text = Gb(L"框架");
    args.width = 300;
    args.height = 200;
    ASSERT_TRUE(parent.Create(args));
    EXPECT_EQ(parent.created, 1);
    EXPECT_EQ(fw::CWnd::FromHandle(parent.Hwnd()), &parent);
    EXPECT_EQ(parent.GetText(), Gb(L"框架"));
    EXPECT_FALSE(parent.Create(args));

    // A system control subclassed by the framework: its clicks reach the
    // parent's OnCommand, its messages pass through its own WndProc first.
    CButton button;
    fw::CreateArgs b;
    b.parent = parent.Hwnd();
    b.className = L"BUTTON";
    b.text = Gb(L"确定");
    b.style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    b.x = 10;
    b.y = 10;
    b.width = 80;
    b.height = 24;
    b.id = 1234;
    ASSERT_TRUE(button.Create(b));
    EXPECT_EQ(GetDlgCtrlID(button.Hwnd()), 1234);
    EXPECT_EQ(parent.Item(1234), button.Hwnd());
    SendMessageW(button.Hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(button.clicksSeen, 1);
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(parent.commands[0], 1234u);

    // Coordinates cracked as signed values.
    SendMessageW(parent.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-5), 7));
    EXPECT_EQ(parent.lastClick.x, -5);
    EXPECT_EQ(parent.lastClick.y, 7);

    // Menu commands (no control) are commands too.
    SendMessageW(parent.Hwnd(), WM_COMMAND, MAKEWPARAM(32771, 0), 0);
    EXPECT_EQ(parent.commands.back(), 32771u);

    // Destroying the parent destroys the child; each object hears it once.
    HWND child = button.Hwnd();
    parent.Destroy();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(button.Hwnd(), nullptr);
    EXPECT_EQ(parent.Hwnd(), nullptr);
    EXPECT_EQ(parent.finalDestroys, 1);
    EXPECT_EQ(button.finalDestroys, 1);
    parent.Destroy(); // harmless again
    EXPECT_EQ(parent.finalDestroys, 1);
}

TEST(WindowTest, AttachSubclassesAnExistingControlOnce)
{
    CPanelDlg panel;
    ASSERT_TRUE(panel.Create());
    CButton ok;
    ASSERT_TRUE(ok.Attach(panel.Item(IDOK)));
    EXPECT_EQ(fw::CWnd::FromHandle(panel.Item(IDOK)), &ok);
    CButton again;
    EXPECT_FALSE(again.Attach(panel.Item(IDOK))) << "a window has one object";
    Click(panel.Hwnd(), IDOK);
    EXPECT_EQ(ok.clicksSeen, 1);
    EXPECT_EQ(panel.Result(), IDOK) << "the click still reaches the dialog";
}

} // namespace
