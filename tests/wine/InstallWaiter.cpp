// A program the installer tests put into packages. Without arguments (run
// by the install worker for a flag "1" file) it waits until a file named
// "go" appears beside it, at most a minute, so the test can act while the
// worker is busy. With a word as argument (a run command) it writes a file of
// that name beside itself and ends. A copy under any other name (a program
// that must not be run, or one run with a blank in its folder) only notes
// that it ran: it writes a file of its own name and ".ran" beside itself.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    const std::wstring self = folder;
    folder.resize(folder.find_last_of(L'\\') + 1);
    if (lstrcmpiW(self.c_str() + folder.size(), L"waiter.exe") != 0) {
        HANDLE file = CreateFileW((self + L".ran").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        return 0;
    }
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring word = words && count > 1 ? words[1] : L"";
    LocalFree(words);
    if (!word.empty()) {
        HANDLE file = CreateFileW((folder + word).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        return 0;
    }
    for (int i = 0; i < 600; ++i) {
        if (GetFileAttributesW((folder + L"go").c_str()) != INVALID_FILE_ATTRIBUTES) return 0;
        Sleep(100);
    }
    return 1;
}
