#pragma once
// Views: the windows of a frame that show its document.
//
//   CView        what the frame and the splitter know of a view, whatever
//                its window: the document, the initial update, activation;
//   CWindowView  a plain child window that paints with OnDraw;
//   CScrollView  a CWindowView with scroll bars over a larger area: OnDraw
//                draws in area coordinates (the scroll offset is applied);
//   CFormView    a child dialog from a template (WS_CHILD, no border), with
//                the dialog's data exchange and control notifications.
//
// Commands reach a view first (OnCommand / UpdateCommand of its window), then
// the document, the frame and the application.
#include "win32/framework/Dialog.h"

namespace fw {

class CDocument;
class CFrameWnd;

class CView {
public:
    CView() = default;
    virtual ~CView();
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    // The view's window object.
    virtual CWnd& Window() = 0;
    // Makes the view's window: a visible child of parent with the given id
    // and rectangle (client coordinates of parent).
    virtual bool CreateView(HWND parent, UINT id, const RECT& rect) = 0;

    // Once, when the frame is complete and the document in place.
    virtual void OnInitialUpdate();
    // The frame made this view the active one (active = true) or another.
    virtual void OnActivateView(bool active);
    // The document changed (CDocument::UpdateAllViews): by default the whole
    // view is repainted.
    virtual void OnUpdate(CView* sender);

    CDocument* GetDocument() const { return document_; }
    CFrameWnd* GetParentFrame() const { return frame_; }

protected:
    // Call from the view's window when it is clicked or gets the focus: the
    // frame makes it the active view.
    void Activate();

private:
    friend class CFrameWnd;
    CDocument* document_ = nullptr;
    CFrameWnd* frame_ = nullptr;
};

// A plain view window: WM_PAINT calls OnPrepareDC and OnDraw.
class CWindowView : public CWnd, public CView {
public:
    CWnd& Window() override { return *this; }
    bool CreateView(HWND parent, UINT id, const RECT& rect) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Draws the view (the device context is prepared by OnPrepareDC).
    virtual void OnDraw(HDC dc);
    // Sets up the device context before drawing; nothing for a plain view.
    virtual void OnPrepareDC(HDC dc);
    // Extra window styles of the view (WS_HSCROLL ...); the frame adds
    // WS_CHILD | WS_VISIBLE and the sunken edge.
    virtual DWORD ViewStyle() const;
};

// A view over an area larger than its window.
class CScrollView : public CWindowView {
public:
    // The size of the whole area, the page and line steps of the scroll bars
    // (zero: a tenth of the area, a tenth of the page). Scroll bars appear
    // when the window is smaller than the area.
    void SetScrollSizes(SIZE total, SIZE page = {0, 0}, SIZE line = {0, 0});
    SIZE GetTotalSize() const { return total_; }
    // The area point at the window's top-left corner.
    POINT GetScrollPosition() const { return position_; }
    // Scrolls so that point is at the top-left corner (kept within range).
    void ScrollToPosition(POINT point);
    // Window (client) point to area point, and back.
    POINT ClientToArea(POINT client) const;
    POINT AreaToClient(POINT area) const;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Moves the viewport so OnDraw draws in area coordinates.
    void OnPrepareDC(HDC dc) override;
    DWORD ViewStyle() const override;
    // The scroll position moved by delta (already stored): by default the
    // window's content is moved and the exposed strip repainted. A view whose
    // drawing depends on more than the strip repaints everything here.
    virtual void OnScrollBy(SIZE delta);

private:
    void UpdateBars();
    void ScrollTo(POINT target);
    int NewPosition(int bar, int request) const;

    SIZE total_{0, 0};
    SIZE page_{0, 0};
    SIZE line_{0, 0};
    POINT position_{0, 0};
};

// A view made from a dialog template (WS_CHILD, no caption). A click in it
// makes it the frame's active view; a form view that replaces DialogProc
// ends with `return CFormView::DialogProc(...)` to keep that.
class CFormView : public CDialog, public CView {
public:
    explicit CFormView(UINT templateId) : CDialog(templateId) {}
    CWnd& Window() override { return *this; }
    bool CreateView(HWND parent, UINT id, const RECT& rect) override;

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A form view does not end: Enter and Esc do nothing.
    void OnOK() override;
    void OnCancel() override;
};

} // namespace fw
