// CWnd: the window object that owns its HWND, the window procedure that
// finds the object, message boxes and data exchange. Window classes and
// creation: WndCreate.cpp; string resources: LoadText.cpp.
#include "win32/framework/Wnd.h"

#include "text/Gb2312.h"
#include "win32/platform/Text.h"

#include <windowsx.h>

#include <climits>
#include <cstring>
#include <vector>

namespace fw {

namespace {

// The window property that links a window to its object.
const wchar_t kObjectProperty[] = L"fw.CWnd";

HINSTANCE g_resources = nullptr;
MessageBoxHandler g_messageBox = nullptr;
// The program's title (GB2312), when it has set one. Room for any name of a
// MAX_PATH path at two bytes a character.
constexpr std::size_t kCaptionBytes = 2 * MAX_PATH;
char g_caption[kCaptionBytes];
std::size_t g_captionSize = 0;

int SystemMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type)
{
    return MessageBoxW(owner, w32::WideText(text).c_str(), w32::WideText(caption).c_str(), type);
}

std::wstring WindowTextW(HWND window)
{
    if (!window) return {};
    const int n = GetWindowTextLengthW(window);
    if (n <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(window, buffer.data(), n + 1);
    return std::wstring(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

} // namespace

HINSTANCE ResourceInstance() { return g_resources ? g_resources : GetModuleHandleW(nullptr); }

void SetResourceInstance(HINSTANCE instance) { g_resources = instance; }

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    const MessageBoxHandler previous = g_messageBox;
    g_messageBox = handler;
    return previous;
}

void SetDefaultCaption(std::string_view caption)
{
    // A title that does not fit is not kept: the executable's name stands.
    g_captionSize = caption.size() <= kCaptionBytes ? caption.size() : 0;
    if (g_captionSize) std::memcpy(g_caption, caption.data(), g_captionSize);
}

namespace {

// The default caption in the caller's buffer: the program's title, else the
// executable's name without its folder and extension.
std::string_view DefaultCaptionInto(char (&out)[kCaptionBytes])
{
    if (g_captionSize) return {g_caption, g_captionSize};
    wchar_t path[MAX_PATH];
    DWORD end = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (end >= MAX_PATH) end = 0;
    DWORD start = end;
    while (start > 0 && path[start - 1] != L'\\' && path[start - 1] != L'/') --start;
    for (DWORD i = end; i > start + 1; --i)
        if (path[i - 1] == L'.') {
            end = i - 1;
            break;
        }
    if (end == start) return {};
    const int n = WideCharToMultiByte(936, 0, path + start, static_cast<int>(end - start), out,
                                      static_cast<int>(kCaptionBytes), nullptr, nullptr);
    return {out, static_cast<std::size_t>(n > 0 ? n : 0)};
}

} // namespace

std::string DefaultCaption()
{
    char buffer[kCaptionBytes];
    return std::string(DefaultCaptionInto(buffer));
}

int ShowMessage(HWND owner, std::string_view text, std::string_view caption, UINT type)
{
    char buffer[kCaptionBytes];
    const std::string_view title = caption.empty() ? DefaultCaptionInto(buffer) : caption;
    return (g_messageBox ? g_messageBox : SystemMessageBox)(owner, text, title, type);
}

// ---- CWnd ----

CWnd::~CWnd()
{
    // The derived parts are gone: the window's last messages go to the
    // system's handling, not to this object.
    if (HWND window = hwnd_) {
        Unbind();
        DestroyWindow(window);
    }
}

CWnd* CWnd::FromHandle(HWND window)
{
    return window ? static_cast<CWnd*>(GetPropW(window, kObjectProperty)) : nullptr;
}

void CWnd::Bind(HWND window)
{
    hwnd_ = window;
    SetPropW(window, kObjectProperty, this);
}

void CWnd::Unbind()
{
    if (!hwnd_) return;
    RemovePropW(hwnd_, kObjectProperty);
    if (previous_) SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    previous_ = nullptr;
    hwnd_ = nullptr;
}

bool CWnd::Attach(HWND window)
{
    if (hwnd_ || !window || FromHandle(window)) return false;
    Bind(window);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
    if (!previous_) {
        RemovePropW(window, kObjectProperty);
        hwnd_ = nullptr;
        return false;
    }
    return true;
}

void CWnd::Destroy()
{
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* self = FromHandle(window);
    if (!self && message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<CWnd*>(cs->lpCreateParams);
        if (self) self->Bind(window);
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = self->WndProc(message, wParam, lParam);
        self->Unbind();
        self->OnFinalDestroy();
        return result;
    }
    return self->WndProc(message, wParam, lParam);
}

LRESULT CWnd::WndProc(UINT message, WPARAM wParam, LPARAM lParam) { return WndProcDefault(message, wParam, lParam); }

LRESULT CWnd::WndProcDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (!previous_) return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
        break;
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        const HWND control = reinterpret_cast<HWND>(lParam);
        const bool handled = control ? OnControlNotify(id, code, control) : OnCommand(id);
        if (handled) return 0;
        break;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
        break;
    }
    default:
        break;
    }
    if (previous_) return CallWindowProcW(previous_, hwnd_, message, wParam, lParam);
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool CWnd::OnCommand(UINT) { return false; }

bool CWnd::UpdateCommand(UINT, CommandState&) { return false; }

bool CWnd::OnControlNotify(UINT id, UINT code, HWND) { return code == BN_CLICKED && OnCommand(id); }

bool CWnd::OnNotify(const NMHDR&, LRESULT&) { return false; }

void CWnd::DoDataExchange(CDataExchange&) {}

bool CWnd::OnCreate(const CREATESTRUCTW&) { return true; }

void CWnd::OnFinalDestroy() {}

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return SendMessageW(hwnd_, message, wParam, lParam);
}

bool CWnd::Post(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return PostMessageW(hwnd_, message, wParam, lParam) != FALSE;
}

std::string CWnd::GetText() const { return w32::Narrow(WindowTextW(hwnd_)); }

void CWnd::SetText(std::string_view gb2312) { SetWindowTextW(hwnd_, w32::WideText(gb2312).c_str()); }

HWND CWnd::Item(int id) const { return hwnd_ ? GetDlgItem(hwnd_, id) : nullptr; }

std::string CWnd::GetItemText(int id) const { return w32::Narrow(WindowTextW(Item(id))); }

void CWnd::SetItemText(int id, std::string_view gb2312)
{
    if (HWND item = Item(id)) SetWindowTextW(item, w32::WideText(gb2312).c_str());
}

void CWnd::Show(int how) const
{
    if (hwnd_) ShowWindow(hwnd_, how);
}

RECT CWnd::ClientRect() const
{
    RECT r{};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return r;
}

int CWnd::ShowMessage(std::string_view text, std::string_view caption, UINT type) const
{
    return fw::ShowMessage(hwnd_, text, caption, type);
}

bool CWnd::UpdateData(bool save)
{
    if (!hwnd_) return false;
    CDataExchange dx(hwnd_, save);
    DoDataExchange(dx);
    if (!dx.Failed()) return true;
    if (!dx.FailureMessage().empty()) ShowMessage(dx.FailureMessage(), {}, MB_OK | MB_ICONEXCLAMATION);
    if (HWND control = Item(dx.FailedControl())) {
        SetFocus(control);
        wchar_t name[16];
        if (GetClassNameW(control, name, 16) && lstrcmpiW(name, L"Edit") == 0) SendMessageW(control, EM_SETSEL, 0, -1);
    }
    return false;
}

// ---- CDataExchange ----

void CDataExchange::Text(int id, std::string& value, std::size_t maxBytes)
{
    if (Failed()) return;
    HWND control = GetDlgItem(window_, id);
    if (!control) return Fail(id, {});
    if (saving_) {
        value = w32::Narrow(WindowTextW(control));
        if (maxBytes > 0) value.resize(gb::CutText(value, maxBytes).size());
    } else {
        SetWindowTextW(control, w32::WideText(value).c_str());
    }
}

namespace {
// Blanks, an optional sign, digits, blanks; within the int range.
bool ParseInt(const std::wstring& text, int& value)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    const std::size_t digits = i;
    long long v = 0;
    while (i < n && text[i] >= L'0' && text[i] <= L'9') {
        v = v * 10 + (text[i] - L'0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
        ++i;
    }
    if (i == digits) return false;
    while (i < n && (text[i] == L' ' || text[i] == L'\t')) ++i;
    if (i != n) return false;
    if (negative) v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}
} // namespace

void CDataExchange::Int(int id, int& value)
{
    if (Failed()) return;
    HWND control = GetDlgItem(window_, id);
    if (!control) return Fail(id, {});
    if (saving_) {
        int read = 0;
        if (!ParseInt(WindowTextW(control), read)) return Fail(id, w32::Narrow(L"请输入一个整数。"));
        value = read;
    } else {
        // Written by hand: a formatted print would bring the C library's
        // whole wide printf (floating point included) into every program.
        wchar_t text[16];
        wchar_t* at = text + 15;
        *at = L'\0';
        unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
        do {
            *--at = static_cast<wchar_t>(L'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) *--at = L'-';
        SetWindowTextW(control, at);
    }
}

void CDataExchange::Check(int id, int& value)
{
    if (Failed()) return;
    HWND control = GetDlgItem(window_, id);
    if (!control) return Fail(id, {});
    if (saving_)
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void CDataExchange::Check(int id, bool& value)
{
    int state = value ? BST_CHECKED : BST_UNCHECKED;
    Check(id, state);
    if (saving_ && !Failed()) value = state == BST_CHECKED;
}

void CDataExchange::Radio(int firstId, int lastId, int& index)
{
    if (Failed()) return;
    if (saving_) {
        int found = -1;
        for (int id = firstId; id <= lastId; ++id) {
            HWND control = GetDlgItem(window_, id);
            if (!control) return Fail(id, {});
            if (found < 0 && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) found = id - firstId;
        }
        index = found;
    } else {
        for (int id = firstId; id <= lastId; ++id) {
            HWND control = GetDlgItem(window_, id);
            if (!control) return Fail(id, {});
            SendMessageW(control, BM_SETCHECK, id - firstId == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void CDataExchange::Fail(int id, std::string_view message)
{
    if (Failed()) return;
    failed_ = true;
    failedId_ = id;
    message_.assign(message);
}

} // namespace fw
