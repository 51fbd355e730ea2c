#include "painter/app/view/DrawingView.h"

#include <algorithm>
#include <climits>

namespace rv {
namespace {

std::unique_ptr<CDibImage> OrEmpty(std::unique_ptr<CDibImage> image)
{
    return image ? std::move(image) : std::make_unique<CDibImage>();
}

struct ToolCommand {
    int command;
    int tool;
};
constexpr ToolCommand kToolCommands[] = {
    {CmdPencil, ToolPencil},         {CmdLine, ToolLine},
    {CmdRect, ToolRect},             {CmdEllipse, ToolEllipse},
    {CmdFill, ToolFill},             {CmdEraser, ToolEraser},
    {CmdFilledRect, ToolFilledRect}, {CmdFilledEllipse, ToolFilledEllipse},
    {CmdLasso, ToolLasso},           {CmdGradientCircle, ToolGradientCircle},
    {CmdGradientRect, ToolGradientRect}, {CmdPicker, ToolPicker},
    {CmdBrush, ToolBrush},
};

} // namespace

int ToolForCommand(int command)
{
    for (const ToolCommand& t : kToolCommands)
        if (t.command == command) return t.tool;
    return -1;
}

CDrawingView::CDrawingView(CWorkflowState& state, IViewHost& host, std::unique_ptr<CDibImage> depthMap)
    : state_(state), host_(host), depthMap_(OrEmpty(std::move(depthMap))),
      board_(depthMap_->Width(), depthMap_->Height(), *depthMap_),
      pictureArea_{depthMap_->Width(), depthMap_->Height()}
{
}

void CDrawingView::OnInitialUpdate()
{
    panel_.Create(&board_);
    board_.SetPanel(&panel_);
}

bool CDrawingView::IsCommandEnabled(int command) const
{
    const int stage = state_.stage;
    if (ToolForCommand(command) >= 0) return stage == StagePainting;
    switch (command) {
    case CmdInitialise:
    case CmdDecreaseFeel:
    case CmdIncreaseFeel:
    case CmdImport:
    case CmdRandomBackground:
    case CmdSettings: return true;
    case CmdGenerateBackground: return stage == StageStart || stage == StageTile || stage == StageBackground;
    case CmdShowBackground:
    case CmdMake3dPrimitives: return stage == StageBackground || stage == StagePainting;
    case CmdGenerateStereogram:
    case CmdSave: return stage == StagePainting || stage == StageStereogram;
    case CmdClearDrawing:
    case CmdCopyLayer:
    case CmdPasteLayer:
    case CmdDeleteAllLayers:
    case CmdDeleteCurrentLayer:
    case CmdWidth14: return stage == StagePainting;
    default: return false;
    }
}

bool CDrawingView::IsCommandChecked(int command) const
{
    if (command == CmdWidth14) return true;
    const int tool = ToolForCommand(command);
    return tool >= 0 && board_.GetTool() == tool;
}

bool CDrawingView::OnCommand(int command)
{
    if (!IsCommandEnabled(command)) return false;
    const int tool = ToolForCommand(command);
    if (tool >= 0) {
        SetTool(tool);
        return true;
    }
    switch (command) {
    case CmdMake3dPrimitives:
        state_.stage = StagePainting;
        host_.Invalidate();
        return true;
    case CmdClearDrawing: ClearDrawing(); return true;
    case CmdDeleteCurrentLayer: host_.Invalidate(); return true;
    case CmdCopyLayer:
    case CmdPasteLayer:
    case CmdDeleteAllLayers:
    case CmdWidth14: return true; // there are no layers
    default: return false;
    }
}

void CDrawingView::ClearDrawing()
{
    // The region's dashes go with the rest of the drawing, and the region
    // and any open lasso with them: nothing is left to write dashes later.
    depthMap_->Clear();
    board_.DropRegion();
    host_.Invalidate();
}

void CDrawingView::OnLButtonDown(int x, int y, IPaintSurface& dc)
{
    if (state_.stage != StagePainting || state_.buttonState == ButtonDown) return;
    state_.buttonState = ButtonDown;
    board_.OnMouseDown(x, y, dc);
}

void CDrawingView::OnLButtonUp(int x, int y, IPaintSurface& dc)
{
    if (state_.stage != StagePainting || state_.buttonState != ButtonDown) return;
    state_.buttonState = ButtonUp;
    host_.BeginWaitCursor();
    board_.OnMouseUp(x, y, dc);
    host_.EndWaitCursor();
}

void CDrawingView::OnMouseMove(int x, int y, IPaintSurface& dc)
{
    if (board_.GetTool() == ToolLasso || (state_.stage == StagePainting && state_.buttonState != ButtonUp))
        board_.OnMouseMove(x, y, dc);
}

void CDrawingView::OnKeyDown(int key)
{
    if (state_.stage != StagePainting) return;
    if (key == kKeyLeft || key == kKeyUp || key == kKeyRight || key == kKeyDown) host_.Invalidate();
}

void CDrawingView::OnScroll(int x, int y)
{
    scrollPos_ = {x, y};
    board_.SetScrollOffset(x, y);
}

void CDrawingView::OnDraw(IPaintSurface& dc) const
{
    const int ox = -scrollPos_.x, oy = -scrollPos_.y;
    if (state_.stage == StagePainting) {
        // The frame surrounds the picture area, which is the depth map's
        // size unless the period or the picture height changed since the
        // depth map was made; the depth map is drawn over it.
        // Any size the settings accepted is drawn without overflow.
        const auto edge = [](int origin, int size) {
            return static_cast<int>(std::clamp<long long>(static_cast<long long>(origin) + size + 1, INT_MIN, INT_MAX));
        };
        dc.FrameRectangle(ox, oy, edge(ox, pictureArea_.x), edge(oy, pictureArea_.y));
        depthMap_->Draw(dc, ox, oy);
        board_.RedrawOverlay(dc);
    } else if (background_) {
        background_->Draw(dc, ox, oy);
    }
}

void CDrawingView::ShowBackground(IPaintSurface& dc) const
{
    if (background_) background_->Draw(dc, 0, 0);
}

int CDrawingView::CursorResource() const
{
    if (state_.stage != StagePainting) return kCursorDefault;
    switch (board_.GetTool()) {
    case ToolNone: return kCursorDefault;
    case ToolPencil: return kCursorPencil;
    case ToolFill: return kCursorFill;
    case ToolEraser: return kCursorEraser;
    case ToolLasso: return kCursorLasso;
    case ToolPicker: return kCursorPicker;
    case ToolBrush: return kCursorBrush;
    default: return board_.GetTool() > 0 && board_.GetTool() < kToolCount ? kCursorCross : kCursorDefault;
    }
}

void CDrawingView::ReplaceDepthMap(std::unique_ptr<CDibImage> depthMap)
{
    if (!depthMap) return;
    std::unique_ptr<CDibImage> old = std::move(depthMap_);
    depthMap_ = std::move(depthMap);
    board_.Resize(depthMap_->Width(), depthMap_->Height(), *depthMap_);
}

} // namespace rv
