// The painter's program: start-up and main frame. The drawing view, tile
// picker and dialogs are hosted here as they are built.
#include "painter/app/resource.h"
#include "win32/platform/PainterFiles.h"
#include "win32/platform/PainterUi.h"

#include <windows.h>

#include <string>

namespace {

const wchar_t kFrameClass[] = L"RelievoFrame";

std::wstring LoadResString(HINSTANCE instance, UINT id)
{
    const wchar_t* text = nullptr;
    const int n = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 ? std::wstring(text, static_cast<std::size_t>(n)) : std::wstring();
}

// "Relievo\n\nMy\n..." : the first field of the document string is the title.
std::wstring FrameTitle(HINSTANCE instance)
{
    const std::wstring doc = LoadResString(instance, IDR_MAINFRAME);
    const std::wstring app = doc.substr(0, doc.find(L'\n'));
    return LoadResString(instance, AFX_IDS_UNTITLED) + L" - " + app;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_APP_EXIT) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINFRAME);
    wc.lpszClassName = kFrameClass;
    if (!RegisterClassExW(&wc)) return 1;

    HWND frame = CreateWindowExW(0, kFrameClass, FrameTitle(instance).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!frame) return 1;

    // The core's messages and files go through the W functions.
    static w32::CWin32MessageBox messages(L"Relievo");
    static w32::CWin32FileOpener files;
    messages.SetOwner(frame);
    rv::SetMessageBox(&messages);
    rv::SetFileOpener(&files);
    ShowWindow(frame, SW_SHOWMAXIMIZED);
    UpdateWindow(frame);

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(frame, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
