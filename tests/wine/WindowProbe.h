#pragma once
// Helpers for tests that start one of our Windows programs under Wine and
// look at its windows from outside, as a user would see them.
#include <windows.h>

#include <string>
#include <vector>

namespace probe {

// The folder of the running test program, with a trailing backslash.
std::wstring OwnFolder();
// The current folder, without a trailing backslash.
std::wstring CurrentFolder();
// A path of the build machine (UTF-8, '/') as a Windows program under Wine
// reaches it: an absolute path through drive Z:, backslashes.
std::wstring WindowsPath(const char* unixPath);
// The whole file; empty when it cannot be read.
std::vector<unsigned char> ReadFileBytes(const std::wstring& path);
// Runs the Windows build of relievo-cli (beside the test programs' folder)
// with these arguments; true when it exits with 0 within a minute.
bool RunRelievoCli(const std::wstring& args);

struct Started {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

// Starts program (command line) and waits up to timeoutMs for a visible
// top-level window of the given class; window stays null if none comes.
Started StartAndFindWindow(const std::wstring& commandLine, const wchar_t* windowClass, DWORD timeoutMs = 30000);

// Waits up to timeoutMs for a visible top-level window of any process with
// exactly this title; null if none comes.
HWND WaitForWindowTitled(const std::wstring& title, DWORD timeoutMs);

// The class of every dialog box, message boxes included.
inline constexpr const wchar_t* kDialogClass = L"#32770";
// The static control that holds a message box's text.
inline constexpr int kMessageTextId = 0xFFFF;

// The visible top-level windows of a process, in Z order; only those of one
// window class when windowClass is given.
std::vector<HWND> VisibleWindows(DWORD processId, const wchar_t* windowClass = nullptr);
// Waits up to timeoutMs for a visible top-level window of the process with
// exactly this title (of one class when windowClass is given); null if none
// comes.
HWND WaitForWindowOf(DWORD processId, const std::wstring& title, DWORD timeoutMs,
                     const wchar_t* windowClass = nullptr);
// Waits up to timeoutMs for a visible dialog box of the process other than
// except; null if none comes.
HWND WaitForDialogOf(DWORD processId, DWORD timeoutMs, HWND except = nullptr);
// A window's text, asked of the window itself (an edit of another process
// keeps its text to itself); empty when it does not answer in time.
std::wstring TextOf(HWND window);

// Waits for the process to end and returns its exit code (STILL_ACTIVE on time-out).
DWORD WaitForExit(const Started& started, DWORD timeoutMs = 10000);

// A user's left click at a screen point: the pointer moves there and the
// button goes down and up through the system's input (SendInput), so the
// window under the point is activated and focused as for a real click.
// False when the input was refused.
bool ClickAt(POINT screen);
// The pointer moved to a screen point, and the left button pressed or let
// go, through the system's input, for drags: a window sees the moves that
// happen with the button down. False when the input was refused.
bool MoveMouse(POINT screen);
bool MouseButton(bool down);
// A key pressed and let go through the system's input, with a modifier
// (VK_CONTROL, VK_MENU) held down around it when one is given: it goes where
// the keyboard focus is, in the active window. False when the input was
// refused.
bool PressKey(WORD key, WORD modifier = 0);
// One key going down or up, for a batch of keys sent at once.
INPUT KeyInput(WORD key, bool up);
// The screen point of a client point of a window.
POINT OnScreen(HWND window, int x, int y);
// The middle of a window on the screen.
POINT Middle(HWND window);
// The control of a dialog a click at a screen point reaches: null when
// another window covers the dialog there; else the topmost control there,
// passing over group boxes, which let clicks through to what they frame.
HWND ControlAt(HWND dialog, POINT screen);
// The screen rectangle of the button of a command on a tool bar of another
// process (the rectangle is read from that process's memory).
bool ToolBarButtonRect(HWND toolBar, UINT command, RECT& screen);
// The colour shown on the screen at a point.
COLORREF ScreenColour(POINT screen);

// Asks the test harness (wine-run.sh --shots) for a screenshot of the
// window's rectangle, saved as NAME.png in the current folder; waits for it.
bool TakeWindowPicture(HWND window, const std::string& name);

} // namespace probe
