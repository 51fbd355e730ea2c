#pragma once
// CMainFrame: the painter's main window: the numbered tool bar with the
// 3D-feel display, the status bar, and a static splitter with the drawing
// view on the left and the tile picker on the right.
#include "win32/framework/Frame.h"

class CMyView;
class CMetaView;
class CViewPlatformWin;

class CMainFrame : public fw::CFrameWnd {
public:
    explicit CMainFrame(CViewPlatformWin& platform);
    ~CMainFrame() override;

    // The 3D-feel display on the tool bar (control 1111), null when it could
    // not be made.
    fw::CWnd* FeelDisplay() { return feelDisplay_.Exists() ? &feelDisplay_ : nullptr; }
    CMyView* DrawingView() const;
    CMetaView* TilePicker() const;
    fw::CToolBar& ToolBar() { return toolBar_; }

    // Help and the pane keys; and the drawing view's commands, which reach
    // the drawing view whichever pane was clicked last (the tile picker is
    // its helper and answers none of them). Print, undo, cut, copy and paste
    // have keys but nobody answers for them: they stay disabled.
    bool OnCommand(UINT id) override;
    bool UpdateCommand(UINT id, fw::CommandState& state) override;

protected:
    bool OnCreate(const CREATESTRUCTW& cs) override;
    bool OnCreateClient() override;

private:
    bool MakeToolBar();
    void MakeFeelDisplay();
    void ShowHelp();
    // F6 and Shift+F6: the focus goes to the other pane.
    void SwitchPane();

    CViewPlatformWin& platform_;
    fw::CSplitterWnd splitter_;
    fw::CToolBar toolBar_;
    fw::CStatusBar statusBar_;
    fw::CWnd feelDisplay_;
};
