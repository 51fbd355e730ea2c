// CToolBar and CStatusBar over the common controls.
#include "win32/framework/Bars.h"

#include "win32/framework/FrameworkIds.h"
#include "win32/platform/Text.h"

#include <algorithm>
#include <cstring>

namespace fw {

namespace {

void InitControls()
{
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    done = InitCommonControlsEx(&icc) != FALSE;
}

// The arguments of a bar along the top or bottom of the frame (the frame
// gives it its place), with the common controls loaded.
CreateArgs BarArgs(HWND frame, const wchar_t* className, DWORD style, UINT id, int height)
{
    InitControls();
    CreateArgs c;
    c.parent = frame;
    c.className = className;
    c.style = style;
    c.x = 0;
    c.y = 0;
    c.width = 100;
    c.height = height;
    c.id = id;
    return c;
}

// The TOOLBAR resource. Two layouts are met: WORDs version 1, image width
// and height, count, then the commands as WORDs (the classic resource
// compiler); or DWORDs image width and height, count, then the commands as
// DWORDs (windres). A command 0 is a separator. Field is the layout's
// WORD or DWORD; false when the data is not of that layout or too short
// for its count.
template <class Field>
bool ReadToolBarResource(const BYTE* data, std::size_t size, SIZE& image, std::vector<UINT>& commands)
{
    const bool versioned = sizeof(Field) == sizeof(WORD);
    const std::size_t headFields = versioned ? 4 : 3;
    if (size < headFields * sizeof(Field)) return false;
    Field head[4];
    memcpy(head, data, headFields * sizeof(Field));
    if (versioned && head[0] != 1) return false;
    const Field* fields = versioned ? head + 1 : head; // width, height, count
    if (fields[2] > (size - headFields * sizeof(Field)) / sizeof(Field)) return false;
    image = {static_cast<LONG>(fields[0]), static_cast<LONG>(fields[1])};
    for (Field i = 0; i < fields[2]; ++i) {
        Field id;
        memcpy(&id, data + (headFields + i) * sizeof(Field), sizeof id);
        commands.push_back(id);
    }
    return true;
}

} // namespace

// ---- CToolBar ----

bool CToolBar::Create(HWND frame, const Args& args)
{
    if (!CWnd::Create(BarArgs(frame, TOOLBARCLASSNAMEW, args.style, args.id, 30))) return false;
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CToolBar::LoadToolBar(UINT resourceId)
{
    const HINSTANCE instance = ResourceInstance();
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(241));
    if (!found) return false;
    HGLOBAL loaded = LoadResource(instance, found);
    const DWORD size = SizeofResource(instance, found);
    const auto* data = static_cast<const BYTE*>(LockResource(loaded));
    if (!data) return false;
    std::vector<UINT> commands;
    SIZE image{};
    if (!ReadToolBarResource<WORD>(data, size, image, commands) &&
        !ReadToolBarResource<DWORD>(data, size, image, commands))
        return false;
    return SetButtons(resourceId, image, commands);
}

bool CToolBar::SetButtons(UINT bitmapId, SIZE imageSize, const std::vector<UINT>& commands)
{
    if (!Hwnd()) return false;
    HBITMAP strip = CreateMappedBitmap(ResourceInstance(), bitmapId, 0, nullptr, 0);
    if (!strip) return false;
    BITMAP info{};
    GetObjectW(strip, sizeof info, &info);
    const int images = imageSize.cx > 0 ? info.bmWidth / imageSize.cx : 0;
    Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(imageSize.cx, imageSize.cy));
    TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(strip)};
    if (Send(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&add)) < 0) {
        DeleteObject(strip);
        return false;
    }
    // The tool bar keeps using the bitmap: it stays alive with the window.
    while (ButtonCount() > 0) Send(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (UINT id : commands) {
        TBBUTTON b{};
        if (id == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++;
            b.idCommand = static_cast<int>(id);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        b.iString = -1;
        buttons.push_back(b);
    }
    if (!buttons.empty() && !Send(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()))) return false;
    Send(TB_AUTOSIZE);
    return true;
}

int CToolBar::ButtonCount() const { return Hwnd() ? static_cast<int>(Send(TB_BUTTONCOUNT)) : 0; }

UINT CToolBar::CommandAt(int index) const
{
    TBBUTTON b{};
    if (!Send(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b))) return 0;
    return (b.fsStyle & BTNS_SEP) && b.idCommand == 0 ? 0 : static_cast<UINT>(b.idCommand);
}

bool CToolBar::IsSeparator(int index) const
{
    TBBUTTON b{};
    if (!Send(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b))) return false;
    return (b.fsStyle & BTNS_SEP) != 0;
}

int CToolBar::CommandToIndex(UINT id) const
{
    for (int i = 0; i < ButtonCount(); ++i)
        if (CommandAt(i) == id && id != 0) return i;
    return -1;
}

bool CToolBar::SetButtonText(int index, std::string_view text)
{
    if (index < 0 || index >= ButtonCount()) return false;
    std::wstring wide = w32::Widen(text);
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = wide.data();
    const bool ok = Send(TB_SETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) != 0;
    Send(TB_AUTOSIZE);
    return ok;
}

std::string CToolBar::GetButtonText(int index) const
{
    wchar_t buffer[256] = {};
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = buffer;
    info.cchText = 255;
    if (Send(TB_GETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) < 0) return {};
    return w32::Narrow(buffer);
}

void CToolBar::SetSizes(SIZE button, SIZE image)
{
    Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(image.cx, image.cy));
    Send(TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
    Send(TB_AUTOSIZE);
}

SIZE CToolBar::ButtonSize() const
{
    const LRESULT size = Send(TB_GETBUTTONSIZE);
    return {LOWORD(size), HIWORD(size)};
}

bool CToolBar::MakeSeparator(int index, int width)
{
    if (index < 0 || index >= ButtonCount()) return false;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_SIZE | TBIF_IMAGE | TBIF_TEXT;
    info.fsStyle = BTNS_SEP;
    info.cx = static_cast<WORD>(width);
    info.iImage = width; // a separator's width lives in its image field
    wchar_t none[1] = {0};
    info.pszText = none;
    const bool ok = Send(TB_SETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) != 0;
    Send(TB_AUTOSIZE);
    return ok;
}

RECT CToolBar::ItemRect(int index) const
{
    RECT r{};
    Send(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

bool CToolBar::IsButtonEnabled(int index) const
{
    return Send(TB_ISBUTTONENABLED, CommandAt(index)) != 0;
}

bool CToolBar::IsButtonChecked(int index) const
{
    return Send(TB_ISBUTTONCHECKED, CommandAt(index)) != 0;
}

void CToolBar::ShowButtonState(UINT id, const CommandState& state)
{
    const LRESULT current = Send(TB_GETSTATE, id);
    if (current == -1) return;
    LRESULT wanted = current & ~(TBSTATE_ENABLED | TBSTATE_CHECKED);
    if (state.enabled) wanted |= TBSTATE_ENABLED;
    if (state.checked) wanted |= TBSTATE_CHECKED;
    if (wanted != current) Send(TB_SETSTATE, id, MAKELPARAM(wanted, 0));
}

int CToolBar::Height() const
{
    if (!Hwnd() || !IsWindowVisible(Hwnd())) return 0;
    RECT r{};
    GetWindowRect(Hwnd(), &r);
    return r.bottom - r.top;
}

// ---- CStatusBar ----

std::string IndicatorText(UINT id)
{
    std::string text = LoadText(id);
    if (!text.empty()) return text;
    switch (id) {
    case FW_ID_INDICATOR_CAPS: return w32::Narrow(L"大写");
    case FW_ID_INDICATOR_NUM: return w32::Narrow(L"数字");
    case FW_ID_INDICATOR_SCRL: return w32::Narrow(L"滚动");
    default: return {};
    }
}

bool CStatusBar::Create(HWND frame, const Args& args)
{
    return CWnd::Create(BarArgs(frame, STATUSCLASSNAMEW, args.style, args.id, 20));
}

bool CStatusBar::SetIndicators(const std::vector<UINT>& ids)
{
    if (!Hwnd() || ids.empty() || ids.size() > 255) return false;
    ids_ = ids;
    texts_.assign(ids.size(), {});
    widths_.assign(ids.size(), 0);
    HDC dc = GetDC(Hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == FW_ID_SEPARATOR) continue;
        texts_[i] = IndicatorText(ids[i]);
        const std::wstring wide = w32::Widen(texts_[i]);
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        widths_[i] = extent.cx + 12;
    }
    SelectObject(dc, old);
    ReleaseDC(Hwnd(), dc);
    LayoutPanes();
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (ids[i] != FW_ID_SEPARATOR) SetPaneText(static_cast<int>(i), texts_[i]);
    return true;
}

void CStatusBar::LayoutPanes()
{
    if (ids_.empty()) return;
    const RECT client = ClientRect();
    int right = client.right - GetSystemMetrics(SM_CXVSCROLL); // room for the size grip
    std::vector<int> edges(ids_.size());
    int fixed = 0;
    for (int w : widths_) fixed += w;
    int x = 0;
    for (std::size_t i = 0; i < ids_.size(); ++i) {
        const int width = ids_[i] == FW_ID_SEPARATOR ? std::max(right - fixed, 0) : widths_[i];
        x += width;
        edges[i] = x;
    }
    edges.back() = -1; // the last pane reaches the right edge
    Send(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

int CStatusBar::CommandToIndex(UINT id) const
{
    for (std::size_t i = 0; i < ids_.size(); ++i)
        if (ids_[i] == id) return static_cast<int>(i);
    return -1;
}

void CStatusBar::SetPaneText(int index, std::string_view text)
{
    if (index < 0 || index >= PaneCount()) return;
    if (GetPaneText(index) == text) return; // no flicker at idle
    Send(SB_SETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w32::Widen(text).c_str()));
}

std::string CStatusBar::GetPaneText(int index) const
{
    const LRESULT length = Send(SB_GETTEXTLENGTHW, static_cast<WPARAM>(index));
    std::wstring text(LOWORD(length) + 1u, L'\0');
    Send(SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(length));
    return w32::Narrow(text);
}

void CStatusBar::UpdateIndicators()
{
    for (std::size_t i = 0; i < ids_.size(); ++i) {
        int key = 0;
        switch (ids_[i]) {
        case FW_ID_INDICATOR_CAPS: key = VK_CAPITAL; break;
        case FW_ID_INDICATOR_NUM: key = VK_NUMLOCK; break;
        case FW_ID_INDICATOR_SCRL: key = VK_SCROLL; break;
        default: continue;
        }
        const bool on = (GetKeyState(key) & 1) != 0;
        SetPaneText(static_cast<int>(i), on ? texts_[i] : std::string());
    }
}

int CStatusBar::Height() const
{
    if (!Hwnd() || !IsWindowVisible(Hwnd())) return 0;
    RECT r{};
    GetWindowRect(Hwnd(), &r);
    return r.bottom - r.top;
}

LRESULT CStatusBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: {
        const LRESULT result = WndProcDefault(message, wParam, lParam);
        LayoutPanes();
        return result;
    }
    default:
        break;
    }
    return WndProcDefault(message, wParam, lParam);
}

} // namespace fw
