#pragma once
// The single-document frame window and the static splitter.
//
// A frame holds the document (owned), its views (made by the program, in the
// client or in a splitter), an optional tool bar and status bar (found by
// their ids), the menu, accelerators and icon of one resource id, and its
// title "document - program".
//
//   class CMainFrame : public fw::CFrameWnd {
//       fw::CSplitterWnd splitter;  fw::CToolBar toolBar;  fw::CStatusBar statusBar;
//       bool OnCreate(const CREATESTRUCTW& cs) override {
//           if (!CFrameWnd::OnCreate(cs)) return false;        // runs OnCreateClient
//           return toolBar.Create(Hwnd()) && toolBar.LoadToolBar(IDR_MAINFRAME) &&
//                  statusBar.Create(Hwnd()) && statusBar.SetIndicators({...});
//       }
//       bool OnCreateClient() override {
//           return splitter.CreateStatic(Hwnd(), 1, 2) &&
//                  splitter.CreateView(0, 0, std::make_unique<CMyView>(), {cx, 400}) && ...;
//       }
//   };
//
// Commands: WM_COMMAND of menus, accelerators and tool-bar buttons goes to
// ExecuteCommand: a command whose state says disabled is dropped (a
// disabled accelerator does nothing); otherwise it is offered to the active
// view, the document, the frame and the application, in that order, until
// one OnCommand returns true. QueryCommand asks UpdateCommand along the same
// chain; a target answers for the commands it carries out (UpdateCommand
// returns true, enabled unless it says otherwise), and a command nobody
// answers for is disabled and unchecked, so it never runs. A frame whose
// views help one another can offer a view's commands to that view when
// another one is active, in its own OnCommand and UpdateCommand.
//
// Idle time (CWinApp::OnIdle): the tool-bar buttons and the commands on the
// menu bar itself show their state, the status bar its indicators. Pop-up
// menus are brought up to date as they open. Menu selection shows the
// command's prompt (its string resource up to the line break) in the message
// pane; tool-bar tool tips show the string's part after the line break.
#include "win32/framework/Bars.h"
#include "win32/framework/Document.h"
#include "win32/framework/View.h"

#include <memory>
#include <string>
#include <vector>

namespace fw {

class CWinApp;

class CFrameWnd : public CWnd {
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // The document shown by the frame; set before LoadFrame.
    void SetDocument(std::unique_ptr<CDocument> document);
    CDocument* GetDocument() const { return document_.get(); }

    // Creates the frame with the menu, accelerators and icon of resourceId;
    // the program's title is the first line of string resourceId (or the
    // default caption). WM_CREATE runs OnCreate, which runs OnCreateClient.
    bool LoadFrame(UINT resourceId, const CreateArgs& args = {});
    // Gives every view its document and runs OnInitialUpdate once, makes
    // the first view active, and shows the title.
    void InitialUpdateFrame();

    // The program's title (the frame shows "document - program").
    const std::string& AppTitle() const { return appTitle_; }
    void SetAppTitle(std::string_view title);
    void UpdateTitle();

    CView* GetActiveView() const { return activeView_; }
    void SetActiveView(CView* view);
    const std::vector<CView*>& Views() const { return views_; }

    // The command chain (see above).
    bool ExecuteCommand(UINT id);
    CommandState QueryCommand(UINT id);
    // Idle-time update of bars and menu bar.
    void OnIdleUpdate();
    // Applies QueryCommand to every item of menu (sub-menus included).
    void UpdateMenuItems(HMENU menu);

    // Accelerator keys of the frame for a message of this thread; true when
    // the message became a command.
    bool TranslateKeys(MSG& msg);
    HACCEL Accelerators() const { return accelerators_; }

    // The message pane's text (the idle text "就绪" when empty is asked).
    void SetMessageText(std::string_view text);
    void ShowIdleMessage();
    CToolBar* GetToolBar() const;
    CStatusBar* GetStatusBar() const;
    // Puts the bars and the client in place.
    void RecalcLayout();

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // WM_CREATE: makes the client (OnCreateClient); false aborts creation.
    bool OnCreate(const CREATESTRUCTW& cs) override;
    // Makes the client: nothing by default (a frame with no view).
    virtual bool OnCreateClient();
    bool OnNotify(const NMHDR& header, LRESULT& result) override;

private:
    friend class CView;
    friend class CSplitterWnd;
    void AddView(CView& view);
    void RemoveView(CView& view);
    void ShowPrompt(UINT id);

    std::unique_ptr<CDocument> document_;
    std::vector<CView*> views_;
    CView* activeView_ = nullptr;
    std::string appTitle_;
    HACCEL accelerators_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring tipText_;
    bool initialUpdateDone_ = false;
};

// A static splitter: rows x columns of views with bars between them that
// the user can drag. Every pane but the last of its row (column) gets its
// given width (height) as far as there is room; the last gets the rest.
class CSplitterWnd : public CWnd {
public:
    // Makes the splitter as the frame's client (id FW_IDW_PANE_FIRST).
    bool CreateStatic(HWND frame, int rows, int columns, UINT id = 59648);
    // Makes the view of a pane (owned by the splitter) with its wished size.
    bool CreateView(int row, int column, std::unique_ptr<CView> view, SIZE size);
    CView* GetPane(int row, int column) const;
    int RowCount() const { return rows_; }
    int ColumnCount() const { return columns_; }
    // A pane's window rectangle in splitter client coordinates.
    RECT PaneRect(int row, int column) const;
    // Wished sizes; LayoutPanes applies them.
    void SetColumnWidth(int column, int width);
    void SetRowHeight(int row, int height);
    int ColumnWidth(int column) const;
    int RowHeight(int row) const;
    void LayoutPanes();
    static constexpr int kBar = 6; // width of the bar between panes

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int BarAt(POINT client, bool& vertical) const;
    std::vector<int> Extents(const std::vector<int>& wished, int room) const;

    int rows_ = 0;
    int columns_ = 0;
    std::vector<std::unique_ptr<CView>> panes_;
    std::vector<int> widths_;
    std::vector<int> heights_;
    int dragBar_ = -1;
    bool dragVertical_ = false;
    int dragStart_ = 0;
    int dragStartSize_ = 0;
};

} // namespace fw
