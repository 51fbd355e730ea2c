#pragma once
// Drives the installer's and the uninstaller's windows from outside, as a
// user would: finds a process's pages and message boxes by caption, reads
// their controls, clicks buttons (found by control identifier) and the close
// box with the mouse, and types into boxes and presses Esc and Enter on the
// keyboard, all through the system's input. Texts are UTF-16 here.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace drive {

// A started program; ended (if still running) and closed on destruction.
class CProcess {
public:
    CProcess() = default;
    ~CProcess();
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    // Starts a command line in a folder (nullptr: the driver's own).
    bool Start(const std::wstring& commandLine, const wchar_t* folder = nullptr);
    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const;
    // Waits for the end and gives the exit code; STILL_ACTIVE on time-out,
    // after which the program is ended.
    DWORD WaitForExit(DWORD timeoutMs = 20000);

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

// The visible top-level dialog windows of a process.
std::vector<HWND> VisibleDialogs(DWORD processId);

// Waits for a visible top-level dialog of the process whose caption is
// caption; nullptr on time-out or when the process ends first.
HWND WaitForDialog(const CProcess& process, const std::wstring& caption, DWORD timeoutMs = 20000);
// Waits until no visible dialog of the process has that caption (or the
// window handle is gone); false on time-out.
bool WaitUntilGone(HWND window, DWORD timeoutMs = 10000);

// A message box: its caption, its text and its window.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};
// Waits for a visible message box of the process (a dialog holding the
// message text control) with the given caption; an empty caption takes any.
bool WaitForMessageBox(const CProcess& process, const std::wstring& caption, MessageBoxSeen& box,
                       DWORD timeoutMs = 20000);
// The buttons a message box offers, by identifier (IDOK, IDYES, IDNO ...).
bool HasButton(HWND dialog, int id);
// The default button of a dialog (DM_GETDEFID); 0 when none.
int DefaultButton(HWND dialog);

std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
bool ControlChecked(HWND dialog, int id);
bool ControlVisible(HWND dialog, int id);
// Clicks a button with the mouse, through the system's input; false (and
// no click) when it is disabled, hidden or covered where the user would
// click it.
bool Click(HWND dialog, int id);
// Esc and Enter pressed on the keyboard while the dialog is the active
// window (false, and no key, when it is not); a mouse click on its close box.
// Types text into a box with the keyboard, through the system's input,
// after a click into it, replacing what it held; true when the box then
// shows the text.
bool TypeInto(HWND dialog, int id, const std::wstring& text);
bool PressEscape(HWND dialog);
bool PressEnter(HWND dialog);
bool PressCloseBox(HWND dialog);

// The rectangle of a window in screen coordinates; its client area's size.
SIZE ClientSize(HWND window);

// The Windows folder, the desktop folder and the program-group root
// (Common Programs) of this prefix.
std::wstring WindowsFolder();
std::wstring DesktopFolder();
std::wstring CommonProgramsFolder();
// "Program Files" at the root of the drive that holds the Windows folder,
// where our installers put programs: not the registry's or the shell's
// Program Files folder, which may lie elsewhere ("Program Files (x86)" for a
// 32-bit program on 64-bit Windows).
std::wstring ProgramFilesFolder();

// Files, folders and their contents.
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// The whole file as bytes (probe::ReadFileBytes); empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Every file and folder below a folder, as paths relative to it, sorted.
std::vector<std::wstring> TreeBelow(const std::wstring& folder);
// Removes a folder with everything in it.
void RemoveTree(const std::wstring& folder);
// The installer's temporary files ("~temp" and the time) now present.
std::set<std::wstring> TemporaryFiles();
// size bytes of noise, the same for the same seed (files in test packages).
std::string Noise(std::size_t size, int seed);

// GB2312 <-> UTF-16 for paths that go into logs and setup scripts.
std::string ToGb(const std::wstring& text);
std::wstring FromGb(const std::string& text);
std::wstring FromUtf8(const std::string& text);

// Keys of HKEY_LOCAL_MACHINE in the 32-bit registry view, where installers
// write. A REG_SZ value; false when the key or value is missing.
bool ReadMachineString(const std::wstring& key, const std::wstring& value, std::wstring& text);
bool MachineKeyExists(const std::wstring& key);
bool EnsureMachineKey(const std::wstring& key);
bool DeleteMachineKey(const std::wstring& key);

// A test of installs: the Uninstall key exists first (Windows always has it
// in the 32-bit view; a Wine prefix made by the 64-bit loader alone may lack
// it), and the files listed in made are deleted at the end.
struct InstallTest : ::testing::Test {
    std::vector<std::wstring> made;
    void SetUp() override
    {
        ASSERT_TRUE(EnsureMachineKey(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    }
    void TearDown() override
    {
        for (const std::wstring& path : made) DeleteFileW(path.c_str());
    }
};

} // namespace drive
