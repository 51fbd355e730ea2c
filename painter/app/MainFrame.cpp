#include "painter/app/MainFrame.h"

#include "painter/app/Help.h"
#include "painter/app/MetaView.h"
#include "painter/app/MyView.h"
#include "painter/app/resource.h"
#include "win32/framework/FrameworkIds.h"

#include <memory>

namespace {

// The label under each tool-bar position ("" for none): the button numbers
// the status-bar prompts refer to.
const char* const kLabels[] = {"1",  "2",  "3",  "",   "4",  "5",  "",   "6",  "7",  "8",  "",
                               "9",  "10", "11", "12", "13", "14", "15", "16", "17", "18", "19",
                               "20", "21", "",   "22", "",   "23", "",   "24", "25", "26", "27"};

constexpr int kPickerWidth = 150;
constexpr int kPaneHeight = 400;

} // namespace

CMainFrame::CMainFrame(CViewPlatformWin& platform) : platform_(platform) {}

CMainFrame::~CMainFrame() = default;

CMyView* CMainFrame::DrawingView() const
{
    return splitter_.Exists() ? dynamic_cast<CMyView*>(splitter_.GetPane(0, 0)) : nullptr;
}

CMetaView* CMainFrame::TilePicker() const
{
    return splitter_.Exists() ? dynamic_cast<CMetaView*>(splitter_.GetPane(0, 1)) : nullptr;
}

bool CMainFrame::OnCreate(const CREATESTRUCTW& cs)
{
    if (!CFrameWnd::OnCreate(cs)) return false;
    if (!MakeToolBar()) return false;
    if (!statusBar_.Create(Hwnd()) ||
        !statusBar_.SetIndicators({FW_ID_SEPARATOR, FW_ID_INDICATOR_CAPS, FW_ID_INDICATOR_NUM, FW_ID_INDICATOR_SCRL}))
        return false;
    MakeFeelDisplay();
    RecalcLayout();
    return true;
}

bool CMainFrame::MakeToolBar()
{
    if (!toolBar_.Create(Hwnd()) || !toolBar_.LoadToolBar(IDR_MAINFRAME)) return false;
    const int count = toolBar_.ButtonCount();
    for (int i = 0; i < count && i < static_cast<int>(std::size(kLabels)); ++i)
        if (*kLabels[i]) toolBar_.SetButtonText(i, kLabels[i]);
    toolBar_.SetSizes(SIZE{24, 30}, SIZE{19, 14});
    toolBar_.Show(SW_HIDE);
    toolBar_.Show(SW_SHOW);
    RedrawWindow(toolBar_.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    return true;
}

void CMainFrame::MakeFeelDisplay()
{
    // The position of the feel display's command becomes a gap 20 pixels
    // wide with a static text in it.
    const int index = toolBar_.CommandToIndex(ID_FEEL_DISPLAY);
    bool made = false;
    if (index >= 0 && toolBar_.MakeSeparator(index, 20)) {
        RECT r = toolBar_.ItemRect(index);
        r.top += 3;
        r.bottom -= 3;
        fw::CreateArgs args;
        args.parent = toolBar_.Hwnd();
        args.className = L"STATIC";
        args.text = "15";
        args.style = WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE;
        args.x = r.left;
        args.y = r.top;
        args.width = r.right - r.left;
        args.height = r.bottom - r.top;
        args.id = IDC_FEEL_DISPLAY;
        made = feelDisplay_.Create(args);
        if (made) {
            SendMessageW(feelDisplay_.Hwnd(), WM_SETFONT, SendMessageW(toolBar_.Hwnd(), WM_GETFONT, 0, 0), FALSE);
            feelDisplay_.Show(SW_SHOW);
        }
    }
    if (!made) ShowMessage("Create ToolBar Failure");
}

bool CMainFrame::OnCreateClient()
{
    const int desktopWidth = GetSystemMetrics(SM_CXSCREEN);
    if (!splitter_.CreateStatic(Hwnd(), 1, 2)) return false;
    if (!splitter_.CreateView(0, 0, std::make_unique<CMyView>(platform_), SIZE{desktopWidth - kPickerWidth, kPaneHeight}) ||
        !splitter_.CreateView(0, 1, std::make_unique<CMetaView>(), SIZE{kPickerWidth, kPaneHeight})) {
        splitter_.Destroy();
        return false;
    }
    return true;
}

bool CMainFrame::OnCommand(UINT id)
{
    switch (id) {
    case ID_HELP_FINDER: ShowHelp(); return true;
    case ID_NEXT_PANE:
    case ID_PREV_PANE: SwitchPane(); return true;
    default: break;
    }
    // The active view had the command first; the drawing view gets it here
    // when the picker was clicked last.
    if (CMyView* view = DrawingView(); view && GetActiveView() != view && view->OnCommand(id)) return true;
    return CFrameWnd::OnCommand(id);
}

bool CMainFrame::UpdateCommand(UINT id, fw::CommandState& state)
{
    switch (id) {
    case ID_HELP_FINDER:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        state.enabled = true;
        return true;
    default: break;
    }
    if (CMyView* view = DrawingView(); view && GetActiveView() != view && view->UpdateCommand(id, state)) return true;
    return CFrameWnd::UpdateCommand(id, state);
}

void CMainFrame::SwitchPane()
{
    // Two panes: the next and the previous one are the same.
    fw::CView* drawing = DrawingView();
    fw::CView* picker = TilePicker();
    if (!drawing || !picker) return;
    fw::CView* next = GetActiveView() == drawing ? picker : drawing;
    SetActiveView(next);
    SetFocus(next->Window().Hwnd());
}

void CMainFrame::ShowHelp() { OpenHelpFile(); }
