#include "painter/app/ToolPanelDlg.h"

#include "painter/app/resource.h"

#include <commctrl.h>

#include <algorithm>

#include <vector>

// The panel's model names its controls and the eraser icons by number; the
// dialog template and the resource compiler know them from resource.h. A
// number changed on one side only stops the build here.
static_assert(rv::CToolPanel::IdSoft == IDC_PANEL_SOFT && rv::CToolPanel::IdCircular == IDC_PANEL_CIRCULAR &&
              rv::CToolPanel::IdSquare == IDC_PANEL_SQUARE);
static_assert(rv::CToolPanel::IdColourValue == IDC_PANEL_COLOUR_VALUE && rv::CToolPanel::IdSwatch == IDC_PANEL_SWATCH);
static_assert(rv::CToolPanel::IdBlack == IDC_PANEL_BLACK && rv::CToolPanel::IdBlue == IDC_PANEL_BLUE &&
              rv::CToolPanel::IdStrip == IDC_PANEL_STRIP);
static_assert(rv::CToolPanel::IdLowLeft == IDC_PANEL_LOW_LEFT && rv::CToolPanel::IdLowMiddle == IDC_PANEL_LOW_MIDDLE &&
              rv::CToolPanel::IdLowRight == IDC_PANEL_LOW_RIGHT);
static_assert(rv::CToolPanel::IdEraserWidth == IDC_PANEL_ERASER_WIDTH && rv::CToolPanel::IdCurve == IDC_PANEL_CURVE &&
              rv::CToolPanel::IdPenWidth == IDC_PANEL_PEN_WIDTH);
static_assert(rv::CToolPanel::IdC1 == IDC_PANEL_C1 && rv::CToolPanel::IdC2 == IDC_PANEL_C2);
static_assert(rv::CToolPanel::ButtonIcon(IDC_PANEL_SOFT) == IDI_ERASER_SOFT &&
              rv::CToolPanel::ButtonIcon(IDC_PANEL_CIRCULAR) == IDI_ERASER_CIRCULAR &&
              rv::CToolPanel::ButtonIcon(IDC_PANEL_SQUARE) == IDI_ERASER_SQUARE);

namespace {

const int kSliders[] = {rv::CToolPanel::IdPenWidth, rv::CToolPanel::IdEraserWidth, rv::CToolPanel::IdCurve,
                        rv::CToolPanel::IdC1,       rv::CToolPanel::IdC2,          rv::CToolPanel::IdColourValue};
const int kChecks[] = {rv::CToolPanel::IdLowLeft, rv::CToolPanel::IdLowMiddle, rv::CToolPanel::IdLowRight,
                       rv::CToolPanel::IdBlack, rv::CToolPanel::IdBlue};
const int kEraserButtons[] = {rv::CToolPanel::IdSoft, rv::CToolPanel::IdCircular, rv::CToolPanel::IdSquare};

bool IsSlider(int id)
{
    for (int s : kSliders)
        if (s == id) return true;
    return false;
}

// Paints width x height colour values (0x00BBGGRR, row by row) at the top-left
// of dc.
void PaintPixels(HDC dc, const std::vector<rv::Colour>& pixels, int width, int height)
{
    std::vector<std::uint32_t> bits(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const rv::Colour c = pixels[i];
        bits[i] = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    }
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, bits.data(), &bi, DIB_RGB_COLORS);
}

} // namespace

// A white static control on which the panel draws one of its previews.
class CToolPanelDlg::CPreview : public fw::CWnd {
public:
    CPreview(const rv::CToolPanel& model, bool strip) : model_(model), strip_(strip) {}

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Hwnd(), &ps);
            const RECT r = ClientRect();
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            if (strip_) {
                const int w = rv::CToolPanel::kStripColumns, h = rv::CToolPanel::kStripHeight;
                std::vector<rv::Colour> pixels(static_cast<std::size_t>(w * h));
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) pixels[static_cast<std::size_t>(y * w + x)] = model_.StripColumn(x);
                PaintPixels(dc, pixels, w, h);
            } else {
                const int w = rv::CToolPanel::kSwatchWidth, h = rv::CToolPanel::kSwatchHeight;
                PaintPixels(dc, std::vector<rv::Colour>(static_cast<std::size_t>(w * h), model_.SwatchColour()), w, h);
            }
            EndPaint(Hwnd(), &ps);
            return 0;
        }
        default: break;
        }
        return WndProcDefault(message, wParam, lParam);
    }

private:
    const rv::CToolPanel& model_;
    bool strip_;
};

CToolPanelDlg::CToolPanelDlg(rv::CToolPanel& model)
    : CDialog(IDD_TOOL_PANEL), model_(model), strip_(std::make_unique<CPreview>(model, true)),
      swatch_(std::make_unique<CPreview>(model, false))
{
}

CToolPanelDlg::~CToolPanelDlg()
{
    Destroy();
    for (HICON icon : icons_)
        if (icon) DestroyIcon(icon);
}

bool CToolPanelDlg::Create(HWND view) { return CDialog::Create(view); }

bool CToolPanelDlg::OnInitDialog()
{
    strip_->Attach(Item(rv::CToolPanel::IdStrip));
    swatch_->Attach(Item(rv::CToolPanel::IdSwatch));
    // The previews show every pixel they have, whatever the dialog font
    // makes of the template's sizes.
    const auto atLeast = [](HWND control, int width, int height) {
        RECT r{};
        GetClientRect(control, &r);
        if (r.right >= width && r.bottom >= height) return;
        SetWindowPos(control, nullptr, 0, 0, std::max<int>(r.right, width), std::max<int>(r.bottom, height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    WidenForStrip();
    atLeast(strip_->Hwnd(), rv::CToolPanel::kStripColumns, rv::CToolPanel::kStripHeight);
    atLeast(swatch_->Hwnd(), rv::CToolPanel::kSwatchWidth, rv::CToolPanel::kSwatchHeight);
    for (int id : kSliders) {
        int low = 0, high = 0;
        rv::CToolPanel::SliderRange(id, low, high);
        SendMessageW(Item(id), TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
        SendMessageW(Item(id), TBM_SETPAGESIZE, 0, 10);
    }
    for (int i = 0; i < 3; ++i) {
        const int icon = rv::CToolPanel::ButtonIcon(kEraserButtons[i]);
        icons_[i] = static_cast<HICON>(
            LoadImageW(fw::ResourceInstance(), MAKEINTRESOURCEW(icon), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        if (icons_[i]) SendMessageW(Item(kEraserButtons[i]), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icons_[i]));
    }
    SyncAll();
    return false;
}

void CToolPanelDlg::WidenForStrip()
{
    // With a dialog font narrower than the system font the template's strip
    // is under 119 pixels wide: the panel, its group boxes and the box under
    // the strip's right end move out by the shortfall.
    HWND strip = strip_->Hwnd();
    RECT r{};
    GetClientRect(strip, &r);
    const int shortfall = rv::CToolPanel::kStripColumns - r.right;
    if (shortfall <= 0) return;
    const auto grow = [](HWND window, int dx) {
        RECT wr{};
        GetWindowRect(window, &wr);
        SetWindowPos(window, nullptr, 0, 0, wr.right - wr.left + dx, wr.bottom - wr.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    grow(Hwnd(), shortfall);
    for (HWND c = GetWindow(Hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if ((GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX && GetDlgCtrlID(c) == -1) {
            wchar_t name[16] = {};
            GetClassNameW(c, name, 16);
            if (lstrcmpiW(name, L"Button") == 0) grow(c, shortfall);
        }
    HWND right = Item(rv::CToolPanel::IdLowRight);
    RECT rr{};
    GetWindowRect(right, &rr);
    MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rr), 2);
    SetWindowPos(right, nullptr, rr.left + shortfall, rr.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CToolPanelDlg::SetControls(const rv::PanelControlStates& states)
{
    syncing_ = true;
    for (const rv::PanelControlState& state : states) {
        HWND control = Item(state.id);
        if (IsSlider(state.id)) {
            if (SendMessageW(control, TBM_GETPOS, 0, 0) != state.value) SendMessageW(control, TBM_SETPOS, TRUE, state.value);
        } else if (rv::CToolPanel::ButtonIcon(state.id) != 0) {
            SendMessageW(control, BM_SETSTATE, state.value ? TRUE : FALSE, 0);
        } else {
            SendMessageW(control, BM_SETCHECK, state.value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    syncing_ = false;
    if (model_.Revision() != drawnRevision_) {
        drawnRevision_ = model_.Revision();
        InvalidateRect(strip_->Hwnd(), nullptr, FALSE);
        InvalidateRect(swatch_->Hwnd(), nullptr, FALSE);
    }
}

void CToolPanelDlg::SyncAll()
{
    if (!Exists()) return;
    shown_ = model_.ControlStates();
    SetControls(shown_);
}

void CToolPanelDlg::Sync()
{
    if (!Exists()) return;
    rv::PanelControlStates now = model_.ControlStates();
    SetControls(rv::ChangedControls(shown_, now));
    shown_ = std::move(now);
}

INT_PTR CToolPanelDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HSCROLL: {
        HWND slider = reinterpret_cast<HWND>(lParam);
        const int id = slider ? GetDlgCtrlID(slider) : 0;
        if (!syncing_ && IsSlider(id)) {
            model_.OnSliderMoved(id, static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)));
            SyncAll();
        }
        return TRUE;
    }
    default: break;
    }
    return DialogProcDefault(message, wParam, lParam);
}

bool CToolPanelDlg::OnControlNotify(UINT id, UINT code, HWND)
{
    if (syncing_) return false;
    if (code == BN_CLICKED)
        model_.Click(static_cast<int>(id));
    else
        model_.Refresh(static_cast<int>(id));
    SyncAll();
    // The eraser buttons keep their pushed look after the click's own
    // release drawing.
    return true;
}
