#include "painter/app/MetaView.h"

#include "painter/app/MainFrame.h"
#include "painter/app/MyView.h"
#include "painter/app/resource.h"
#include "win32/platform/PainterUi.h"
#include "win32/platform/Text.h"

// The picker's logic names its controls by number; the dialog template knows
// them from resource.h. A number changed on one side only stops the build.
static_assert(rv::CTilePicker::IdList == IDC_TILE_LIST && rv::CTilePicker::IdOk == IDC_TILE_OK &&
              rv::CTilePicker::IdWidth == IDC_TILE_WIDTH && rv::CTilePicker::IdHeight == IDC_TILE_HEIGHT &&
              rv::CTilePicker::IdRandom == IDC_TILE_RANDOM && rv::CTilePicker::IdPreview == IDC_TILE_PREVIEW);

// The preview control: paints the picker's box over the control's own colour.
class CMetaView::CPreviewBox : public fw::CWnd {
public:
    explicit CPreviewBox(const rv::CTilePicker& picker) : picker_(picker) {}

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_ERASEBKGND: return 1; // the paint covers everything
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Hwnd(), &ps);
            const RECT r = ClientRect();
            FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            if (box_.Width() == rv::CTilePicker::kPreviewWidth ||
                box_.Resize(rv::CTilePicker::kPreviewWidth, rv::CTilePicker::kPreviewHeight)) {
                const COLORREF face = GetSysColor(COLOR_BTNFACE);
                picker_.PaintPreview(box_, static_cast<rv::Colour>(face));
                box_.PresentAll(dc);
            }
            EndPaint(Hwnd(), &ps);
            return 0;
        }
        default: break;
        }
        return WndProcDefault(message, wParam, lParam);
    }

private:
    const rv::CTilePicker& picker_;
    w32::CDibSurface box_;
};

CMetaView::CMetaView() : CFormView(IDD_METAVIEW), previewBox_(std::make_unique<CPreviewBox>(picker_)) {}

CMetaView::~CMetaView() = default;

void CMetaView::DoDataExchange(fw::CDataExchange&) {}

void CMetaView::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    previewBox_->Attach(Item(IDC_TILE_PREVIEW));
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
    if (active) picker_.OnActivate();
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CMetaView::Selection() const
{
    const LRESULT index = SendMessageW(Item(IDC_TILE_LIST), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void CMetaView::ShowSelection()
{
    picker_.OnSelectionChange(Selection());
    SetItemText(IDC_TILE_WIDTH, picker_.WidthText());
    SetItemText(IDC_TILE_HEIGHT, picker_.HeightText());
    InvalidateRect(Item(IDC_TILE_PREVIEW), nullptr, FALSE);
    UpdateWindow(Item(IDC_TILE_PREVIEW));
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
