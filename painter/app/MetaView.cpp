#include "painter/app/MetaView.h"

#include "painter/app/MainFrame.h"
#include "painter/app/MyView.h"
#include "painter/app/resource.h"
#include "win32/platform/PainterUi.h"
#include "win32/platform/Text.h"

CMetaView::CMetaView() : CFormView(IDD_METAVIEW) {}

void CMetaView::DoDataExchange(fw::CDataExchange&) {}

void CMetaView::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    if (auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        if (CMyView* view = frame->DrawingView()) picker_.SetView(&view->Core());
    picker_.OnInitialUpdate();
    HWND list = Item(IDC_TILE_LIST);
    for (const std::string& name : picker_.Names())
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w32::Widen(name).c_str()));
}

void CMetaView::OnActivateView(bool active)
{
    CFormView::OnActivateView(active);
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CMetaView::Selection() const
{
    const LRESULT index = SendMessageW(Item(IDC_TILE_LIST), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void CMetaView::ShowSelection()
{
    HWND preview = Item(IDC_TILE_PREVIEW);
    HDC dc = GetDC(preview);
    w32::CDcSurface surface(dc);
    picker_.OnSelectionChange(Selection(), surface);
    ReleaseDC(preview, dc);
    SetItemText(IDC_TILE_WIDTH, picker_.WidthText());
    SetItemText(IDC_TILE_HEIGHT, picker_.HeightText());
}

void CMetaView::UseSelection() { picker_.OnUseTile(Selection()); }

bool CMetaView::OnControlNotify(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_TILE_LIST:
        if (code == LBN_SELCHANGE) ShowSelection();
        else if (code == LBN_DBLCLK) UseSelection();
        else return false;
        return true;
    case IDC_TILE_OK:
        if (code != BN_CLICKED) return false;
        UseSelection();
        return true;
    case IDC_TILE_RANDOM:
        if (code != BN_CLICKED) return false;
        picker_.OnRandom();
        return true;
    default: return CFormView::OnControlNotify(id, code, control);
    }
}
