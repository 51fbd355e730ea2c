// Views: the plain, scrolling and form views of a frame.
#include "win32/framework/View.h"

#include "win32/framework/Frame.h"

#include <windowsx.h>

#include <algorithm>

namespace fw {

// ---- CView ----

CView::~CView()
{
    if (frame_) frame_->RemoveView(*this);
}

void CView::OnInitialUpdate() {}

void CView::OnActivateView(bool) {}

void CView::OnUpdate(CView*) { Window().Invalidate(); }

void CView::Activate()
{
    if (frame_ && frame_->GetActiveView() != this) frame_->SetActiveView(this);
}

// ---- CWindowView ----

bool CWindowView::CreateView(HWND parent, UINT id, const RECT& rect)
{
    CreateArgs args;
    args.parent = parent;
    args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | ViewStyle();
    args.exStyle = WS_EX_CLIENTEDGE;
    args.x = rect.left;
    args.y = rect.top;
    args.width = rect.right - rect.left;
    args.height = rect.bottom - rect.top;
    args.id = id;
    return Create(args);
}

DWORD CWindowView::ViewStyle() const { return 0; }

void CWindowView::OnDraw(HDC) {}

void CWindowView::OnPrepareDC(HDC) {}

LRESULT CWindowView::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Hwnd(), &ps);
        OnPrepareDC(dc);
        OnDraw(dc);
        EndPaint(Hwnd(), &ps);
        return 0;
    }
    case WM_MOUSEACTIVATE: {
        const LRESULT result = WndProcDefault(message, wParam, lParam);
        Activate();
        if (GetFocus() != Hwnd()) SetFocus(Hwnd());
        return result;
    }
    case WM_SETFOCUS:
        Activate();
        break;
    default:
        break;
    }
    return WndProcDefault(message, wParam, lParam);
}

// ---- CScrollView ----

DWORD CScrollView::ViewStyle() const { return WS_HSCROLL | WS_VSCROLL; }

void CScrollView::SetScrollSizes(SIZE total, SIZE page, SIZE line)
{
    total_ = {std::max<LONG>(total.cx, 0), std::max<LONG>(total.cy, 0)};
    page_ = {page.cx > 0 ? page.cx : std::max<LONG>(total_.cx / 10, 1), page.cy > 0 ? page.cy : std::max<LONG>(total_.cy / 10, 1)};
    line_ = {line.cx > 0 ? line.cx : std::max<LONG>(page_.cx / 10, 1), line.cy > 0 ? line.cy : std::max<LONG>(page_.cy / 10, 1)};
    UpdateBars();
}

void CScrollView::UpdateBars()
{
    if (!Hwnd()) return;
    // Twice: a bar that appears narrows the room for the other direction.
    for (int pass = 0; pass < 2; ++pass) {
        const RECT client = ClientRect();
        const int bars[2] = {SB_HORZ, SB_VERT};
        const LONG totals[2] = {total_.cx, total_.cy};
        const LONG rooms[2] = {client.right, client.bottom};
        for (int i = 0; i < 2; ++i) {
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            si.nMin = 0;
            si.nMax = totals[i] > rooms[i] ? totals[i] - 1 : 0;
            si.nPage = totals[i] > rooms[i] ? static_cast<UINT>(rooms[i]) : 0;
            LONG& pos = i == 0 ? position_.x : position_.y;
            pos = std::clamp<LONG>(pos, 0, std::max<LONG>(totals[i] - rooms[i], 0));
            si.nPos = pos;
            SetScrollInfo(Hwnd(), bars[i], &si, TRUE);
        }
    }
}

int CScrollView::NewPosition(int bar, int request) const
{
    const RECT client = ClientRect();
    const LONG room = bar == SB_HORZ ? client.right : client.bottom;
    const LONG total = bar == SB_HORZ ? total_.cx : total_.cy;
    return std::clamp<LONG>(request, 0, std::max<LONG>(total - room, 0));
}

void CScrollView::ScrollTo(POINT target)
{
    target.x = NewPosition(SB_HORZ, target.x);
    target.y = NewPosition(SB_VERT, target.y);
    const SIZE delta{target.x - position_.x, target.y - position_.y};
    if (delta.cx == 0 && delta.cy == 0) return;
    position_ = target;
    SetScrollPos(Hwnd(), SB_HORZ, position_.x, TRUE);
    SetScrollPos(Hwnd(), SB_VERT, position_.y, TRUE);
    OnScrollBy(delta);
}

void CScrollView::ScrollToPosition(POINT point)
{
    if (Hwnd()) ScrollTo(point);
    else position_ = point;
}

void CScrollView::OnScrollBy(SIZE delta)
{
    ScrollWindowEx(Hwnd(), -delta.cx, -delta.cy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    UpdateWindow(Hwnd());
}

POINT CScrollView::ClientToArea(POINT client) const { return {client.x + position_.x, client.y + position_.y}; }

POINT CScrollView::AreaToClient(POINT area) const { return {area.x - position_.x, area.y - position_.y}; }

void CScrollView::OnPrepareDC(HDC dc) { SetViewportOrgEx(dc, -position_.x, -position_.y, nullptr); }

LRESULT CScrollView::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        UpdateBars();
        break;
    case WM_HSCROLL:
    case WM_VSCROLL: {
        const int bar = message == WM_HSCROLL ? SB_HORZ : SB_VERT;
        const LONG current = bar == SB_HORZ ? position_.x : position_.y;
        const LONG line = bar == SB_HORZ ? line_.cx : line_.cy;
        const RECT client = ClientRect();
        const LONG page = bar == SB_HORZ ? client.right : client.bottom;
        LONG target = current;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: target = current - line; break;
        case SB_LINEDOWN: target = current + line; break;
        case SB_PAGEUP: target = current - page; break;
        case SB_PAGEDOWN: target = current + page; break;
        case SB_TOP: target = 0; break;
        case SB_BOTTOM: target = LONG_MAX / 2; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(Hwnd(), bar, &si);
            target = si.nTrackPos;
            break;
        }
        default: break;
        }
        POINT to = position_;
        (bar == SB_HORZ ? to.x : to.y) = target;
        ScrollTo(to);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        ScrollTo({position_.x, position_.y - notches * 3 * line_.cy});
        return 0;
    }
    default:
        break;
    }
    return CWindowView::WndProc(message, wParam, lParam);
}

// ---- CFormView ----

bool CFormView::CreateView(HWND parent, UINT id, const RECT& rect)
{
    if (!Create(parent)) return false;
    SetWindowLongPtrW(Hwnd(), GWLP_ID, static_cast<LONG_PTR>(id));
    SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(Hwnd(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    return true;
}

INT_PTR CFormView::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
    case WM_PARENTNOTIFY:
        Activate();
        break;
    default:
        break;
    }
    return DialogProcDefault(message, wParam, lParam);
}

void CFormView::OnOK() {}

void CFormView::OnCancel() {}

} // namespace fw
