#include "painter/painting/ToolPanel.h"

#include "painter/painting/PaintBoard.h"

#include <algorithm>
#include <cmath>

namespace rv {
namespace {

constexpr int kMaxLevel = 240;

Colour Grey(int v, bool blue)
{
    const Colour c = static_cast<Colour>(v & 0xFF);
    return c | c << 8 | (blue ? 0xFFu : c) << 16;
}

} // namespace

void CToolPanel::Create(CPaintBoard* board)
{
    board_ = board;
    penSlider_ = 1;
    eraserSlider_ = 10;
    curveSlider_ = 200;
    c1Slider_ = 240;
    c2Slider_ = 0;
    colourSlider_ = 150;
    checkLowLeft_ = true;
    checkLowMiddle_ = false;
    checkLowRight_ = false;
    radioBlack_ = true;
    radioBlue_ = false;
    pushedKind_ = 1;
}

bool CToolPanel::SliderRange(int id, int& low, int& high)
{
    switch (id) {
    case IdPenWidth: low = 1, high = 100; return true;
    case IdEraserWidth: low = 2, high = 300; return true;
    case IdCurve: low = 0, high = 200; return true;
    case IdC1: low = 10, high = 240; return true;
    case IdC2: low = 0, high = 240; return true;
    case IdColourValue: low = 0, high = 255; return true;
    default: return false;
    }
}

int* CToolPanel::Slider(int id)
{
    switch (id) {
    case IdPenWidth: return &penSlider_;
    case IdEraserWidth: return &eraserSlider_;
    case IdCurve: return &curveSlider_;
    case IdC1: return &c1Slider_;
    case IdC2: return &c2Slider_;
    case IdColourValue: return &colourSlider_;
    default: return nullptr;
    }
}

int CToolPanel::SliderPos(int id) const
{
    const int* pos = const_cast<CToolPanel*>(this)->Slider(id);
    return pos ? *pos : 0;
}

void CToolPanel::SetSliderPos(int id, int pos)
{
    int low = 0, high = 0;
    int* slider = Slider(id);
    if (!slider || !SliderRange(id, low, high)) return;
    *slider = std::clamp(pos, low, high);
}

bool CToolPanel::IsChecked(int id) const
{
    switch (id) {
    case IdLowLeft: return checkLowLeft_;
    case IdLowMiddle: return checkLowMiddle_;
    case IdLowRight: return checkLowRight_;
    case IdBlack: return radioBlack_;
    case IdBlue: return radioBlue_;
    default: return false;
    }
}

void CToolPanel::SetCheck(int id, bool checked)
{
    switch (id) {
    case IdLowLeft: checkLowLeft_ = checked; break;
    case IdLowMiddle: checkLowMiddle_ = checked; break;
    case IdLowRight: checkLowRight_ = checked; break;
    case IdBlack: radioBlack_ = checked; break;
    case IdBlue: radioBlue_ = checked; break;
    default: break;
    }
}

PanelControlStates CToolPanel::ControlStates() const
{
    PanelControlStates states;
    for (int id : {IdPenWidth, IdEraserWidth, IdCurve, IdC1, IdC2, IdColourValue}) states.push_back({id, SliderPos(id)});
    for (int id : {IdLowLeft, IdLowMiddle, IdLowRight, IdBlack, IdBlue}) states.push_back({id, IsChecked(id) ? 1 : 0});
    for (int id : {IdSoft, IdCircular, IdSquare}) states.push_back({id, IsPushed(id) ? 1 : 0});
    return states;
}

PanelControlStates ChangedControls(const PanelControlStates& shown, const PanelControlStates& now)
{
    PanelControlStates changed;
    for (const PanelControlState& state : now) {
        const auto same = std::find_if(shown.begin(), shown.end(),
                                       [&](const PanelControlState& s) { return s.id == state.id; });
        if (same == shown.end() || same->value != state.value) changed.push_back(state);
    }
    return changed;
}

bool CToolPanel::IsPushed(int id) const
{
    return id >= IdSoft && id <= IdSquare && pushedKind_ == id - IdSoft + 1;
}

void CToolPanel::Click(int id)
{
    if (id == IdBlack || id == IdBlue) {
        radioBlack_ = id == IdBlack;
        radioBlue_ = id == IdBlue;
    }
    Refresh(id);
}

void CToolPanel::Route(int command)
{
    switch (command) {
    case IdLowLeft:
        lowLeft_ = !lowLeft_;
        checkLowLeft_ = lowLeft_;
        break;
    case IdLowMiddle:
        lowMiddle_ = !lowMiddle_;
        checkLowMiddle_ = lowMiddle_;
        break;
    case IdLowRight:
        lowRight_ = !lowRight_;
        checkLowRight_ = lowRight_;
        break;
    case IdSoft:
    case IdCircular:
    case IdSquare:
        pushedKind_ = command - IdSoft + 1;
        eraserKind_ = pushedKind_;
        break;
    default: break;
    }
}

void CToolPanel::OnSliderMoved(int id, int pos)
{
    SetSliderPos(id, pos);
    Refresh(id);
    Refresh(id);
}

void CToolPanel::Refresh(int command)
{
    if (command != kRefreshOnly) Route(command);
    ++revision_;

    // The swatch, from the radio buttons and the colour slider as they are.
    const bool black = radioBlack_;
    blueMode_ = !black;
    swatch_ = Grey(colourSlider_, !black);

    // The strip, from the settings of the previous refresh and the live curve.
    DrawStrip();

    lowLeft_ = checkLowLeft_;
    lowMiddle_ = checkLowMiddle_;
    lowRight_ = checkLowRight_;
    eraserWidth_ = eraserSlider_;
    penWidth_ = penSlider_;
    if (board_) board_->SetPenWidth(penWidth_);
    colourValue_ = colourSlider_;
    c1_ = c1Slider_;
    c2_ = c2Slider_;
}

void CToolPanel::SetColumn(int column, int level)
{
    if (column < 0 || column >= kStripColumns) return;
    strip_[static_cast<std::size_t>(column)] = Grey(level, blueMode_);
}

void CToolPanel::DrawStrip()
{
    const double T = 3.0 * curveSlider_ + 200;
    const auto f = [T](double x) { return std::pow(1 - std::pow(x, T / 400), 400 / T); };
    const int c1 = c1_, c2 = c2_;
    const auto rise = [&](double x) { return std::min(c1 + c2 - static_cast<int>(c1 * f(x)), kMaxLevel); };
    const auto fall = [&](double x) { return std::min(static_cast<int>(c1 * f(x)) + c2, kMaxLevel); };

    if (lowMiddle_) {
        for (int c = 0; c <= 59; ++c) SetColumn(c, lowLeft_ ? c2 : fall(c / 60.0));
        for (int c = 60; c <= 118; ++c) SetColumn(c, lowRight_ ? c2 : fall((120 - c) / 60.0));
    } else if (lowLeft_ && lowRight_) {
        for (int n = 0; n <= 59; ++n) {
            const int level = rise(n / 60.0);
            SetColumn(n, level);
            SetColumn(118 - n, level);
        }
    } else if (lowLeft_) {
        for (int c = 0; c <= 118; ++c) SetColumn(c, rise(c / 118.0));
    } else if (lowRight_) {
        // Column 118 is not redrawn in this shape; the column before 0 lies
        // outside the strip.
        for (int n = 0; n <= 118; ++n) SetColumn(117 - n, rise(n / 118.0));
    } else {
        for (int c = 0; c <= 118; ++c) SetColumn(c, std::min(c1 + c2, kMaxLevel));
    }
}

int CToolPanel::RampColumn(float t) const
{
    const float position = (t + 1) * 58;
    // Only -1..1 occurs; anything else (or no number) is kept on the strip.
    int column = 0;
    if (position >= static_cast<float>(kStripColumns - 1)) column = kStripColumns - 1;
    else if (position > 0) column = static_cast<int>(position);
    return column;
}

void CToolPanel::SelectBlue()
{
    blueMode_ = true;
    radioBlue_ = true;
    radioBlack_ = false;
}

void CToolPanel::SelectBlack()
{
    blueMode_ = false;
    radioBlack_ = true;
    radioBlue_ = false;
}

void CToolPanel::SetColourValue(int v)
{
    colourValue_ = v;
    SetSliderPos(IdColourValue, v);
    Refresh(kRefreshOnly);
}

} // namespace rv
