#pragma once
// The base of every window of the framework layer: a C++ object that owns one
// HWND, one visible message switch per window class, commands as plain
// `bool OnCommand(UINT id)` calls, GB2312 texts at the interface (UTF-16 only
// inside, through the W functions), and message boxes owned by a window.
//
// The framework is a thin shell over Win32 shaped like the classic C++
// application framework (CWnd, CDialog, CFrameWnd ...) without its macros:
//   - a window class derives from CWnd and overrides
//       LRESULT WndProc(UINT message, WPARAM, LPARAM)
//     with one switch that returns early and ends in
//       return WndProcDefault(message, wParam, lParam);
//   - WndProcDefault turns WM_COMMAND into OnControlNotify / OnCommand and
//     WM_NOTIFY into OnNotify before the system's default handling;
//   - a CWnd is not copyable; it destroys its window once, at the latest in
//     its destructor. OnFinalDestroy runs after the window is gone (an object
//     that lives as long as its window may delete itself there).
//
// Names that windows.h turns into A/W macros (MessageBox, SendMessage,
// GetWindowText, LoadString ...) are avoided on purpose.
#include <windows.h>

#include <string>
#include <string_view>

namespace fw {

// The module whose resources (dialog templates, strings, menus, icons) the
// framework loads; the program's own executable unless set.
HINSTANCE ResourceInstance();
void SetResourceInstance(HINSTANCE instance);

// String resource id as GB2312 text; empty when there is none.
std::string LoadText(UINT id);

// Message boxes. Every message box of the framework and of the programs on
// it goes through ShowMessage, so tests can put their own handler in place.
// Texts are GB2312; an empty caption means the default caption (the
// program's title: SetDefaultCaption, else the executable's name).
using MessageBoxHandler = int (*)(HWND owner, std::string_view text, std::string_view caption, UINT type);
// Installs a handler and returns the previous one; nullptr restores the
// system's message box.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
int ShowMessage(HWND owner, std::string_view text, std::string_view caption = {}, UINT type = MB_OK);
void SetDefaultCaption(std::string_view caption);
std::string DefaultCaption();

// How a window is created. Unset fields keep these defaults.
struct CreateArgs {
    HWND parent = nullptr;
    // nullptr: the framework's own window class (CS_DBLCLKS, arrow cursor,
    // window-colour background). A class registered with RegisterWindowClass
    // is served directly; any other class (a common control) is subclassed so
    // its messages pass through WndProc first.
    const wchar_t* className = nullptr;
    std::string text;                  // GB2312 window text
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    UINT id = 0;                       // control id of a child window
    HMENU menu = nullptr;              // menu of a top-level window (owned by the window after creation)
};

// Registers a window class served by the framework's window procedure, for a
// program that wants a class name of its own (say, for its main frame).
// Registering the same name twice is harmless. False on failure.
bool RegisterWindowClass(const wchar_t* name, UINT classStyle = CS_DBLCLKS, HICON icon = nullptr,
                         HCURSOR cursor = nullptr, HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));

class CDataExchange;

// What a command's menu item and tool-bar button show: asked of the command
// targets at idle time and before a menu opens; never kept anywhere else.
struct CommandState {
    bool enabled = true;
    bool checked = false;
    // A status-bar prompt of the moment (GB2312), in place of the one in
    // the string table; empty for that one.
    std::string prompt;
};

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window; false when the system refuses (or the object
    // already has a window).
    bool Create(const CreateArgs& args);
    // Takes an existing window (say, a control of a dialog) and subclasses it
    // so its messages pass through WndProc. False if it already has an object.
    bool Attach(HWND window);
    // Destroys the window (once); harmless when there is none.
    void Destroy();

    HWND Hwnd() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr; }
    // The framework object of a window, or nullptr for a window without one.
    static CWnd* FromHandle(HWND window);

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Window text and control texts as GB2312.
    std::string GetText() const;
    void SetText(std::string_view gb2312);
    HWND Item(int id) const;
    std::string GetItemText(int id) const;
    void SetItemText(int id, std::string_view gb2312);

    void Show(int how = SW_SHOW) const;
    void Invalidate(bool erase = true) const;
    RECT ClientRect() const;

    // A message box owned by this window (see fw::ShowMessage).
    int ShowMessage(std::string_view text, std::string_view caption = {}, UINT type = MB_OK) const;

    // Data exchange between the controls and the object's fields:
    // save = true reads the controls into the fields, false shows the fields.
    // When a field cannot be read (an integer field holding letters), the
    // message is shown, the focus goes to that control and the result is false.
    bool UpdateData(bool save = true);

    // A command (menu, accelerator, button click): true when handled.
    virtual bool OnCommand(UINT id);
    // The state of a command this object handles: fill state and return
    // true; false leaves the question to the next target of the chain. A
    // command that no target answers for is disabled: an object answers for
    // every command its OnCommand carries out.
    virtual bool UpdateCommand(UINT id, CommandState& state);

protected:
    // The one message switch of a window class; end it with WndProcDefault.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND to OnControlNotify / OnCommand, WM_NOTIFY to OnNotify, then
    // the system's (or the subclassed control's) own handling.
    LRESULT WndProcDefault(UINT message, WPARAM wParam, LPARAM lParam);

    // A WM_COMMAND from a control: id, notification code, control window.
    // By default a button click (BN_CLICKED) is a command for OnCommand and
    // other notifications are not handled.
    virtual bool OnControlNotify(UINT id, UINT code, HWND control);
    // WM_NOTIFY: true when handled, with the message's result in result.
    virtual bool OnNotify(const NMHDR& header, LRESULT& result);
    // Reads or shows the fields (see UpdateData); nothing by default.
    virtual void DoDataExchange(CDataExchange& dx);
    // The window has just been created (WM_CREATE of our own classes, or
    // after a subclassed control's creation): false aborts the creation.
    virtual bool OnCreate(const CREATESTRUCTW& cs);
    // After the window is gone (Hwnd() is null by then); the object may
    // delete itself here.
    virtual void OnFinalDestroy();

private:
    friend class CDialog;
    friend bool RegisterWindowClass(const wchar_t*, UINT, HICON, HCURSOR, HBRUSH);
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Bind(HWND window);
    void Unbind();

    HWND hwnd_ = nullptr;
    WNDPROC previous_ = nullptr;       // the control's own procedure when subclassed
};

// Data exchange of one UpdateData call; DoDataExchange calls one function
// per control and field. After the first failure further calls do nothing.
class CDataExchange {
public:
    CDataExchange(HWND window, bool saving) : window_(window), saving_(saving) {}

    bool Saving() const { return saving_; }
    HWND Window() const { return window_; }

    // GB2312 text of a control. Reading keeps at most maxBytes bytes (0: no
    // limit) without splitting a character; showing sets the text as it is.
    void Text(int id, std::string& value, std::size_t maxBytes = 0);
    // Signed decimal number. Reading accepts blanks around an optional sign
    // and digits, within the int range; anything else fails with
    // "请输入一个整数。".
    void Int(int id, int& value);
    // Check box: checked or not.
    void Check(int id, bool& value);
    // Check box state as BST_UNCHECKED (0), BST_CHECKED (1), BST_INDETERMINATE (2).
    void Check(int id, int& value);
    // A group of radio buttons with consecutive ids firstId..lastId: the
    // index of the checked one, -1 for none.
    void Radio(int firstId, int lastId, int& index);

    // Marks the exchange failed at control id with a GB2312 message (for the
    // checks of a dialog's own fields). A control that is missing from the
    // window fails the exchange without a message.
    void Fail(int id, std::string_view message);
    bool Failed() const { return failed_; }
    int FailedControl() const { return failedId_; }
    const std::string& FailureMessage() const { return message_; }

private:
    HWND window_;
    bool saving_;
    bool failed_ = false;
    int failedId_ = 0;
    std::string message_;
};

} // namespace fw
