#include "painter/app/MyView.h"

#include "painter/app/MainFrame.h"
#include "painter/app/ViewPlatformWin.h"
#include "painter/app/resource.h"

#include <windowsx.h>

namespace {

// Commands the drawing view answers for (the tool commands as well).
bool IsViewCommand(UINT id)
{
    if (rv::ToolForCommand(static_cast<int>(id)) >= 0) return true;
    switch (id) {
    case ID_INIT:
    case ID_SAVE:
    case ID_MAKE_BACKGROUND:
    case ID_SHOW_BACKGROUND:
    case ID_MAKE_DEPTHMAP:
    case ID_GENERATE:
    case ID_DELETE_ALL_LAYERS:
    case ID_SETTINGS:
    case ID_FEEL_DOWN:
    case ID_FEEL_UP:
    case ID_WIDTH_14:
    case ID_DELETE_CURRENT_LAYER:
    case ID_RANDOM_BACKGROUND:
    case ID_COPY_LAYER:
    case ID_PASTE_LAYER:
    case ID_CLEAR_DRAWING:
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO:
    case ID_IMPORT: return true;
    default: return false;
    }
}

} // namespace

CMyView::CMyView(CViewPlatformWin& platform)
    : core_(rv::TheWorkflowState(), *this, platform), panel_(core_.Panel())
{
}

CMyView::~CMyView()
{
    // The panel's window goes before the view's.
    panel_.Destroy();
    Destroy();
}

void CMyView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    core_.OnInitialUpdate();
    panel_.Create(Hwnd());
    panel_.Sync();
}

bool CMyView::OnCommand(UINT id)
{
    if (!IsViewCommand(id)) return CScrollView::OnCommand(id);
    // A command the stage disables ends here too.
    core_.OnCommand(static_cast<int>(id));
    panel_.Sync();
    return true;
}

bool CMyView::UpdateCommand(UINT id, fw::CommandState& state)
{
    if (!IsViewCommand(id)) return CScrollView::UpdateCommand(id, state);
    state.enabled = core_.IsCommandEnabled(static_cast<int>(id));
    state.checked = core_.IsCommandChecked(static_cast<int>(id));
    // Undo and redo say what they would undo or redo.
    if (id == ID_EDIT_UNDO) state.prompt = core_.UndoPromptText();
    if (id == ID_EDIT_REDO) state.prompt = core_.RedoPromptText();
    return true;
}

bool CMyView::MakeScreen()
{
    const RECT r = ClientRect();
    const int w = r.right > 0 ? r.right : 1, h = r.bottom > 0 ? r.bottom : 1;
    if (screen_.Width() == w && screen_.Height() == h) return true;
    return screen_.Resize(w, h);
}

void CMyView::OnPrepareDC(HDC) {}

void CMyView::OnDraw(HDC dc)
{
    if (!MakeScreen()) return;
    // The erase: the view's background is white.
    const RECT all{0, 0, screen_.Width(), screen_.Height()};
    FillRect(screen_.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    core_.OnDraw(screen_);
    screen_.PresentAll(dc);
}

void CMyView::OnScrollBy(SIZE)
{
    const POINT pos = GetScrollPosition();
    core_.OnScroll(pos.x, pos.y);
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CMyView::ShowChanges()
{
    HDC dc = GetDC(Hwnd());
    screen_.Present(dc);
    ReleaseDC(Hwnd(), dc);
}

template <class Event>
void CMyView::Mouse(LPARAM lParam, Event event)
{
    if (!MakeScreen()) return;
    event(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    ShowChanges();
    // The colour picker changes the panel's colour settings.
    panel_.Sync();
}

LRESULT CMyView::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: return 1; // the repaint covers everything
    case WM_LBUTTONDOWN:
        SetFocus(Hwnd());
        Mouse(lParam, [this](int x, int y) { core_.OnLButtonDown(x, y, screen_); });
        break; // the framework's own handling activates the view
    case WM_LBUTTONUP:
        Mouse(lParam, [this](int x, int y) { core_.OnLButtonUp(x, y, screen_); });
        return 0;
    case WM_MOUSEMOVE:
        Mouse(lParam, [this](int x, int y) { core_.OnMouseMove(x, y, screen_); });
        return 0;
    case WM_KEYDOWN: {
        const LRESULT result = WndProcDefault(message, wParam, lParam);
        core_.OnKeyDown(static_cast<int>(wParam));
        return result;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && waitDepth_ == 0) {
            const int cursor = core_.CursorResource();
            if (cursor != rv::kCursorDefault) {
                if (HCURSOR c = LoadCursorW(fw::ResourceInstance(), MAKEINTRESOURCEW(cursor))) {
                    SetCursor(c);
                    return TRUE;
                }
            }
        }
        break;
    case WM_SIZE: {
        const LRESULT result = WndProcDefault(message, wParam, lParam);
        MakeScreen();
        InvalidateRect(Hwnd(), nullptr, FALSE);
        return result;
    }
    default: break;
    }
    return CScrollView::WndProc(message, wParam, lParam);
}

void CMyView::Invalidate() { InvalidateRect(Hwnd(), nullptr, TRUE); }

void CMyView::BeginWaitCursor()
{
    if (waitDepth_++ == 0) waitPrevious_ = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

void CMyView::EndWaitCursor()
{
    if (waitDepth_ > 0 && --waitDepth_ == 0) SetCursor(waitPrevious_);
}

void CMyView::SetScrollSizes(int width, int height)
{
    CScrollView::SetScrollSizes(SIZE{width > 0 ? width : 0, height > 0 ? height : 0});
}

void CMyView::SetArrowCursor() { SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW))); }

void CMyView::DrawOnClient(const std::function<void(rv::IPaintSurface&)>& draw)
{
    if (!MakeScreen()) return;
    draw(screen_);
    ShowChanges();
}

fw::CWnd* CMyView::FeelDisplay() const
{
    auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    return frame ? frame->FeelDisplay() : nullptr;
}

bool CMyView::ReadFeelDisplay(std::string& text)
{
    fw::CWnd* display = FeelDisplay();
    if (!display) return false;
    text = display->GetText();
    return true;
}

void CMyView::WriteFeelDisplay(const std::string& text)
{
    if (fw::CWnd* display = FeelDisplay()) display->SetText(text);
}
