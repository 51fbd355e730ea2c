#pragma once
// Helpers for tests that start one of our Windows programs under Wine and
// look at its windows from outside, as a user would see them.
#include <windows.h>

#include <string>

namespace probe {

// The folder of the running test program, with a trailing backslash.
std::wstring OwnFolder();

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

// Waits for the process to end and returns its exit code (STILL_ACTIVE on time-out).
DWORD WaitForExit(const Started& started, DWORD timeoutMs = 10000);

// Asks the test harness (wine-run.sh --shots) for a screenshot of the
// window's rectangle, saved as NAME.png in the current folder; waits for it.
bool TakeWindowPicture(HWND window, const std::string& name);

} // namespace probe
