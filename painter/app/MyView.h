#pragma once
// CMyView: the drawing view, the scrolling left pane of the main frame. The
// painter's workflow, pictures, commands and mouse rules live in the
// portable rv::CDrawingView; this window feeds it messages, lends it the
// screen and hosts the floating settings panel.
//
// The screen is an off-screen copy of the client area (w32::CDibSurface):
// the view paints into it and copies it to the window, and the paint board
// draws and reads there, so what a tool reads is what the window shows and
// a tool that touches every pixel costs one copy to the screen.
#include "painter/app/ToolPanelDlg.h"
#include "painter/app/view/DrawingView.h"
#include "win32/framework/View.h"
#include "win32/platform/PainterUi.h"

#include <memory>

class CViewPlatformWin;

class CMyView : public fw::CScrollView, private rv::IViewHost {
public:
    explicit CMyView(CViewPlatformWin& platform);
    ~CMyView() override;

    rv::CDrawingView& Core() { return core_; }
    CToolPanelDlg& PanelWindow() { return panel_; }

    void OnInitialUpdate() override;
    bool OnCommand(UINT id) override;
    bool UpdateCommand(UINT id, fw::CommandState& state) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDraw(HDC dc) override;
    // The core applies the scroll position itself.
    void OnPrepareDC(HDC dc) override;
    // The region's dashes move with the region in the depth map: after a
    // scroll the whole view is painted again.
    void OnScrollBy(SIZE delta) override;

private:
    // rv::IViewHost
    void Invalidate() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void SetScrollSizes(int width, int height) override;
    void SetArrowCursor() override;
    void DrawOnClient(const std::function<void(rv::IPaintSurface&)>& draw) override;
    bool ReadFeelDisplay(std::string& text) override;
    void WriteFeelDisplay(const std::string& text) override;

    // Runs a mouse event of the board on the screen copy and shows what it
    // changed.
    template <class Event>
    void Mouse(LPARAM lParam, Event event);
    void ShowChanges();
    bool MakeScreen();
    fw::CWnd* FeelDisplay() const;

    rv::CDrawingView core_;
    w32::CDibSurface screen_;
    CToolPanelDlg panel_;
    HCURSOR waitPrevious_ = nullptr;
    int waitDepth_ = 0;
};
