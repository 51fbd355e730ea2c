// Windows of the program's own classes: class registration, creation and
// repainting. Apart from the rest of CWnd, so a program made of dialogs alone
// links none of it.
#include "win32/framework/Wnd.h"

#include "win32/platform/Text.h"

namespace fw {

namespace {

const wchar_t kDefaultClass[] = L"fw.Window";

bool EnsureDefaultClass()
{
    static bool registered = false;
    if (!registered) registered = RegisterWindowClass(kDefaultClass);
    return registered;
}

} // namespace

bool RegisterWindowClass(const wchar_t* name, UINT classStyle, HICON icon, HCURSOR cursor, HBRUSH background)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, name, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &CWnd::StaticWndProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

bool CWnd::Create(const CreateArgs& args)
{
    if (hwnd_) return false;
    const wchar_t* className = args.className;
    if (!className) {
        if (!EnsureDefaultClass()) return false;
        className = kDefaultClass;
    }
    HMENU menuOrId = args.menu;
    if (args.style & WS_CHILD) menuOrId = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.id));
    HWND window = CreateWindowExW(args.exStyle, className, w32::WideText(args.text).c_str(), args.style, args.x, args.y,
                                  args.width, args.height, args.parent, menuOrId, GetModuleHandleW(nullptr), this);
    if (!window) {
        hwnd_ = nullptr;
        return false;
    }
    if (FromHandle(window) == this) return true; // one of our classes: bound at WM_NCCREATE

    // A system class (a common control): subclass it.
    if (!Attach(window)) {
        DestroyWindow(window);
        return false;
    }
    CREATESTRUCTW cs{};
    cs.hInstance = GetModuleHandleW(nullptr);
    cs.hMenu = menuOrId;
    cs.hwndParent = args.parent;
    cs.style = static_cast<LONG>(args.style);
    cs.dwExStyle = args.exStyle;
    cs.lpszClass = className;
    cs.x = args.x;
    cs.y = args.y;
    cs.cx = args.width;
    cs.cy = args.height;
    if (!OnCreate(cs)) {
        Destroy();
        return false;
    }
    return true;
}

void CWnd::Invalidate(bool erase) const
{
    if (hwnd_) InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE);
}

} // namespace fw
