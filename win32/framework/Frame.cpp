// CFrameWnd: the single-document frame with its command chain, idle update,
// prompts and tool tips; CSplitterWnd: the static splitter.
#include "win32/framework/Frame.h"

#include "win32/framework/App.h"
#include "win32/framework/FrameworkIds.h"
#include "win32/platform/Text.h"

#include <windowsx.h>

#include <algorithm>

namespace fw {

namespace {
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }
} // namespace

// ---- CFrameWnd ----

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd()
{
    for (CView* view : views_) {
        view->frame_ = nullptr;
        view->document_ = nullptr;
    }
    if (document_) document_->frame_ = nullptr;
}

void CFrameWnd::SetDocument(std::unique_ptr<CDocument> document)
{
    if (document_) document_->frame_ = nullptr;
    document_ = std::move(document);
    if (document_) document_->frame_ = this;
    for (CView* view : views_) {
        view->document_ = document_.get();
        if (document_) document_->views_.push_back(view);
    }
    UpdateTitle();
}

bool CFrameWnd::LoadFrame(UINT resourceId, const CreateArgs& args)
{
    const HINSTANCE instance = ResourceInstance();
    CreateArgs create = args;
    if (!create.menu) create.menu = LoadMenuW(instance, MAKEINTRESOURCEW(resourceId));
    if (create.style == WS_OVERLAPPEDWINDOW) create.style |= WS_CLIPCHILDREN;
    accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId));
    icon_ = LoadIconW(instance, MAKEINTRESOURCEW(resourceId));
    if (appTitle_.empty()) appTitle_ = FirstLine(LoadText(resourceId));
    if (appTitle_.empty()) appTitle_ = DefaultCaption();
    if (create.text.empty()) create.text = appTitle_;
    if (!Create(create)) {
        // A window that was made and then refused has taken its menu along.
        if (create.menu && create.menu != args.menu && IsMenu(create.menu)) DestroyMenu(create.menu);
        return false;
    }
    if (icon_) {
        Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    RecalcLayout();
    return true;
}

bool CFrameWnd::OnCreate(const CREATESTRUCTW&) { return OnCreateClient(); }

bool CFrameWnd::OnCreateClient() { return true; }

void CFrameWnd::InitialUpdateFrame()
{
    if (!initialUpdateDone_) {
        initialUpdateDone_ = true;
        const std::vector<CView*> views = views_;
        for (CView* view : views) view->OnInitialUpdate();
    }
    if (!activeView_ && !views_.empty()) SetActiveView(views_.front());
    RecalcLayout();
    UpdateTitle();
    ShowIdleMessage();
}

void CFrameWnd::SetAppTitle(std::string_view title)
{
    appTitle_.assign(title);
    UpdateTitle();
}

void CFrameWnd::UpdateTitle()
{
    if (!Hwnd()) return;
    std::string title = appTitle_;
    if (document_ && !document_->Title().empty()) title = document_->Title() + " - " + appTitle_;
    if (GetText() != title) SetText(title);
}

void CFrameWnd::SetActiveView(CView* view)
{
    if (view == activeView_) return;
    CView* previous = activeView_;
    activeView_ = view;
    if (previous) previous->OnActivateView(false);
    if (view) view->OnActivateView(true);
}

void CFrameWnd::AddView(CView& view)
{
    if (std::find(views_.begin(), views_.end(), &view) != views_.end()) return;
    views_.push_back(&view);
    view.frame_ = this;
    view.document_ = document_.get();
    if (document_) document_->views_.push_back(&view);
}

void CFrameWnd::RemoveView(CView& view)
{
    views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
    if (document_) {
        auto& list = document_->views_;
        list.erase(std::remove(list.begin(), list.end(), &view), list.end());
    }
    if (activeView_ == &view) activeView_ = nullptr;
    view.frame_ = nullptr;
    view.document_ = nullptr;
}

CommandState CFrameWnd::QueryCommand(UINT id)
{
    CommandState state;
    if (activeView_ && activeView_->Window().UpdateCommand(id, state)) return state;
    state = {};
    if (document_ && document_->UpdateCommand(id, state)) return state;
    state = {};
    if (UpdateCommand(id, state)) return state;
    state = {};
    if (CWinApp* app = GetApp(); app && app->UpdateCommand(id, state)) return state;
    // Nobody answers for it: a command that nobody would carry out must not
    // look as if it could be used.
    state.enabled = false;
    state.checked = false;
    return state;
}

bool CFrameWnd::ExecuteCommand(UINT id)
{
    if (!QueryCommand(id).enabled) return false; // a disabled command does nothing
    if (activeView_ && activeView_->Window().OnCommand(id)) return true;
    if (document_ && document_->OnCommand(id)) return true;
    if (OnCommand(id)) return true;
    CWinApp* app = GetApp();
    return app && app->OnCommand(id);
}

void CFrameWnd::UpdateMenuItems(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STATE;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.hSubMenu || (info.fType & MFT_SEPARATOR) || info.wID == 0) continue;
        const CommandState state = QueryCommand(info.wID);
        const UINT wanted = (info.fState & ~(MFS_GRAYED | MFS_CHECKED)) | (state.enabled ? 0u : MFS_GRAYED) |
                            (state.checked ? MFS_CHECKED : 0u);
        if (wanted == info.fState) continue;
        info.fMask = MIIM_STATE;
        info.fState = wanted;
        SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    }
}

void CFrameWnd::OnIdleUpdate()
{
    if (!Hwnd()) return;
    if (CToolBar* bar = GetToolBar()) bar->UpdateButtons([this](UINT id) { return QueryCommand(id); });
    if (CStatusBar* bar = GetStatusBar()) bar->UpdateIndicators();
    // Commands on the menu bar itself (no pop-up to open first).
    if (HMENU menu = GetMenu(Hwnd())) {
        bool changed = false;
        const int count = GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE;
            if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) || info.hSubMenu ||
                (info.fType & MFT_SEPARATOR))
                continue;
            const bool enabled = QueryCommand(info.wID).enabled;
            const bool isEnabled = (info.fState & MFS_GRAYED) == 0;
            if (enabled == isEnabled) continue;
            EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
            changed = true;
        }
        if (changed) DrawMenuBar(Hwnd());
    }
}

bool CFrameWnd::TranslateKeys(MSG& msg)
{
    if (!accelerators_ || !Hwnd() || !msg.hwnd) return false;
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (msg.hwnd != Hwnd() && !IsChild(Hwnd(), msg.hwnd) && GetAncestor(msg.hwnd, GA_ROOTOWNER) != Hwnd())
        return false;
    return TranslateAcceleratorW(Hwnd(), accelerators_, &msg) != 0;
}

CToolBar* CFrameWnd::GetToolBar() const
{
    return dynamic_cast<CToolBar*>(FromHandle(Item(FW_IDW_TOOLBAR)));
}

CStatusBar* CFrameWnd::GetStatusBar() const
{
    return dynamic_cast<CStatusBar*>(FromHandle(Item(FW_IDW_STATUS_BAR)));
}

void CFrameWnd::SetMessageText(std::string_view text)
{
    if (CStatusBar* bar = GetStatusBar(); bar && bar->PaneCount() > 0) bar->SetPaneText(0, text);
}

void CFrameWnd::ShowIdleMessage()
{
    std::string text = LoadText(FW_IDS_IDLEMESSAGE);
    if (text.empty()) text = w32::Narrow(L"就绪");
    SetMessageText(text);
}

void CFrameWnd::ShowPrompt(UINT id)
{
    const std::string now = QueryCommand(id).prompt;
    SetMessageText(now.empty() ? FirstLine(LoadText(id)) : now);
}

void CFrameWnd::RecalcLayout()
{
    if (!Hwnd()) return;
    RECT room = ClientRect();
    if (CToolBar* bar = GetToolBar(); bar && IsWindowVisible(bar->Hwnd())) {
        bar->Send(TB_AUTOSIZE);
        room.top += bar->Height();
    }
    if (CStatusBar* bar = GetStatusBar(); bar && IsWindowVisible(bar->Hwnd())) {
        bar->Send(WM_SIZE, 0, 0);
        room.bottom -= bar->Height();
    }
    if (HWND client = Item(FW_IDW_PANE_FIRST))
        MoveWindow(client, room.left, room.top, std::max<LONG>(room.right - room.left, 0),
                   std::max<LONG>(room.bottom - room.top, 0), TRUE);
}

bool CFrameWnd::OnNotify(const NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case TTN_GETDISPINFOW: {
        auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        if (info.uFlags & TTF_IDISHWND) return false;
        const std::string text = LoadText(static_cast<UINT>(header.idFrom));
        const std::size_t line = text.find('\n');
        tipText_ = line == std::string::npos ? std::wstring() : w32::Widen(text.substr(line + 1));
        info.lpszText = tipText_.data();
        info.hinst = nullptr;
        result = 0;
        return true;
    }
    case TBN_HOTITEMCHANGE: {
        const auto& hot = reinterpret_cast<const NMTBHOTITEM&>(header);
        if ((hot.dwFlags & HICF_LEAVING) || hot.idNew == 0)
            ShowIdleMessage();
        else
            ShowPrompt(static_cast<UINT>(hot.idNew));
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

LRESULT CFrameWnd::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        const CToolBar* bar = GetToolBar();
        if (!control || (bar && control == bar->Hwnd())) {
            ExecuteCommand(LOWORD(wParam));
            return 0;
        }
        break;
    }
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam)) {
            HMENU popup = reinterpret_cast<HMENU>(wParam);
            if (CWinApp* app = GetApp(); app && app->RecentFiles()) app->RecentFiles()->UpdateMenu(popup);
            UpdateMenuItems(popup);
        }
        return 0;
    case WM_MENUSELECT: {
        const UINT flags = HIWORD(wParam);
        if (flags == 0xFFFF && lParam == 0)
            ShowIdleMessage();
        else if (flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU))
            SetMessageText({});
        else
            ShowPrompt(LOWORD(wParam));
        return 0;
    }
    case WM_EXITMENULOOP:
        ShowIdleMessage();
        return 0;
    case WM_SETFOCUS:
        if (activeView_ && activeView_->Window().Hwnd()) {
            SetFocus(activeView_->Window().Hwnd());
            return 0;
        }
        break;
    case WM_DESTROY:
        if (CWinApp* app = GetApp(); app && app->MainFrame() == this) PostQuitMessage(0);
        break;
    default:
        break;
    }
    return WndProcDefault(message, wParam, lParam);
}

// ---- CSplitterWnd ----

bool CSplitterWnd::CreateStatic(HWND frame, int rows, int columns, UINT id)
{
    if (rows < 1 || columns < 1 || rows > 16 || columns > 16) return false;
    CreateArgs args;
    args.parent = frame;
    args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    args.x = 0;
    args.y = 0;
    args.width = 0;
    args.height = 0;
    args.id = id;
    if (!Create(args)) return false;
    rows_ = rows;
    columns_ = columns;
    panes_.clear();
    panes_.resize(static_cast<std::size_t>(rows * columns));
    widths_.assign(static_cast<std::size_t>(columns), 0);
    heights_.assign(static_cast<std::size_t>(rows), 0);
    if (HWND parent = GetParent(Hwnd())) {
        RECT r;
        GetClientRect(parent, &r);
        MoveWindow(Hwnd(), 0, 0, r.right, r.bottom, FALSE);
        if (auto* owner = dynamic_cast<CFrameWnd*>(FromHandle(parent))) owner->RecalcLayout();
    }
    return true;
}

bool CSplitterWnd::CreateView(int row, int column, std::unique_ptr<CView> view, SIZE size)
{
    if (!Hwnd() || !view || row < 0 || row >= rows_ || column < 0 || column >= columns_) return false;
    auto& slot = panes_[static_cast<std::size_t>(row * columns_ + column)];
    if (slot) return false;
    widths_[static_cast<std::size_t>(column)] = size.cx;
    heights_[static_cast<std::size_t>(row)] = size.cy;
    const RECT rect = PaneRect(row, column);
    if (!view->CreateView(Hwnd(), FW_IDW_PANE_FIRST + static_cast<UINT>(row * 16 + column), rect)) return false;
    for (HWND w = GetParent(Hwnd()); w; w = GetParent(w)) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandle(w))) {
            frame->AddView(*view);
            break;
        }
    }
    slot = std::move(view);
    LayoutPanes();
    return true;
}

CView* CSplitterWnd::GetPane(int row, int column) const
{
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return nullptr;
    return panes_[static_cast<std::size_t>(row * columns_ + column)].get();
}

std::vector<int> CSplitterWnd::Extents(const std::vector<int>& wished, int room) const
{
    std::vector<int> extents(wished.size(), 0);
    int remaining = std::max(room - kBar * (static_cast<int>(wished.size()) - 1), 0);
    for (std::size_t i = 0; i + 1 < wished.size(); ++i) {
        extents[i] = std::clamp(wished[i], 0, remaining);
        remaining -= extents[i];
    }
    if (!extents.empty()) extents.back() = remaining;
    return extents;
}

RECT CSplitterWnd::PaneRect(int row, int column) const
{
    const RECT client = ClientRect();
    const std::vector<int> w = Extents(widths_, client.right);
    const std::vector<int> h = Extents(heights_, client.bottom);
    RECT r{};
    for (int c = 0; c < column; ++c) r.left += w[static_cast<std::size_t>(c)] + kBar;
    for (int i = 0; i < row; ++i) r.top += h[static_cast<std::size_t>(i)] + kBar;
    r.right = r.left + w[static_cast<std::size_t>(column)];
    r.bottom = r.top + h[static_cast<std::size_t>(row)];
    return r;
}

void CSplitterWnd::SetColumnWidth(int column, int width)
{
    if (column >= 0 && column < columns_) widths_[static_cast<std::size_t>(column)] = std::max(width, 0);
}

void CSplitterWnd::SetRowHeight(int row, int height)
{
    if (row >= 0 && row < rows_) heights_[static_cast<std::size_t>(row)] = std::max(height, 0);
}

int CSplitterWnd::ColumnWidth(int column) const
{
    if (column < 0 || column >= columns_) return 0;
    const RECT r = PaneRect(0, column);
    return r.right - r.left;
}

int CSplitterWnd::RowHeight(int row) const
{
    if (row < 0 || row >= rows_) return 0;
    const RECT r = PaneRect(row, 0);
    return r.bottom - r.top;
}

void CSplitterWnd::LayoutPanes()
{
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < columns_; ++c)
            if (CView* view = GetPane(r, c); view && view->Window().Hwnd()) {
                const RECT rect = PaneRect(r, c);
                MoveWindow(view->Window().Hwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           TRUE);
            }
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

int CSplitterWnd::BarAt(POINT p, bool& vertical) const
{
    for (int c = 0; c + 1 < columns_; ++c) {
        const RECT r = PaneRect(0, c);
        if (p.x >= r.right && p.x < r.right + kBar) {
            vertical = true;
            return c;
        }
    }
    for (int i = 0; i + 1 < rows_; ++i) {
        const RECT r = PaneRect(i, 0);
        if (p.y >= r.bottom && p.y < r.bottom + kBar) {
            vertical = false;
            return i;
        }
    }
    return -1;
}

LRESULT CSplitterWnd::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        LayoutPanes();
        return 0;
    case WM_ERASEBKGND: {
        RECT r = ClientRect();
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_SETCURSOR: {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(Hwnd(), &p);
        bool vertical = false;
        if (reinterpret_cast<HWND>(wParam) == Hwnd() && BarAt(p, vertical) >= 0) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(vertical ? IDC_SIZEWE : IDC_SIZENS)));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        bool vertical = false;
        const int bar = BarAt(p, vertical);
        if (bar < 0) break;
        dragBar_ = bar;
        dragVertical_ = vertical;
        dragStart_ = vertical ? p.x : p.y;
        dragStartSize_ = vertical ? ColumnWidth(bar) : RowHeight(bar);
        SetCapture(Hwnd());
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragBar_ >= 0) {
            const int now = dragVertical_ ? GET_X_LPARAM(lParam) : GET_Y_LPARAM(lParam);
            const int size = std::max(dragStartSize_ + now - dragStart_, 0);
            if (dragVertical_)
                SetColumnWidth(dragBar_, size);
            else
                SetRowHeight(dragBar_, size);
            LayoutPanes();
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (dragBar_ >= 0) {
            dragBar_ = -1;
            ReleaseCapture();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        dragBar_ = -1;
        break;
    default:
        break;
    }
    return WndProcDefault(message, wParam, lParam);
}

} // namespace fw
