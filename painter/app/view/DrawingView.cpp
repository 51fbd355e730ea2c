#include "painter/app/view/DrawingView.h"

#include "painter/app/view/ViewText.h"
#include "painter/image/Picture.h"
#include "painter/image/Platform.h"
#include "painter/stereo/DepthMap.h"
#include "painter/stereo/Stereogram.h"
#include "text/Gb2312.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace rv {
namespace {

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

// The import's one filter: "图象文件(*.bmp;*.png;*.jpg)".
const char kImportFilterName[] = "\xCD\xBC\xCF\xF3\xCE\xC4\xBC\xFE(*.bmp;*.png;*.jpg)";
const char kImportPattern[] = "*.bmp;*.png;*.jpg;*.jpeg";
// The longest program path the platform reports.
constexpr std::size_t kMaxModulePath = 260;

bool HasDepthMapSize(const PictureLayout& layout)
{
    return layout.DepthMapWidth() >= 1 && layout.DepthMapHeight() >= 1;
}

} // namespace

int ToolForCommand(int command)
{
    for (const ToolCommand& t : kToolCommands)
        if (t.command == command) return t.tool;
    return -1;
}

CDrawingView::Start CDrawingView::ProgramStart(IViewPlatform& platform)
{
    Start start;
    start.platform = &platform;
    // Every relative path of the painter (back, sample, result) is taken
    // from the program's folder.
    start.programDir = FolderOfPath(gb::CutText(platform.ModuleFileName(), kMaxModulePath));
    if (!start.programDir.empty()) platform.SetCurrentFolder(start.programDir);
    start.background = std::make_unique<CDibImage>();
    LoadFirstTile(*start.background, start.layout);
    start.depthMap = std::make_unique<CDibImage>();
    // A tile as wide as the picture leaves no depth-map column: the map
    // stays empty (white, nothing painted into it) until the settings give
    // the picture room.
    start.depthMap->Create(start.layout.DepthMapWidth(), start.layout.DepthMapHeight());
    return start;
}

CDrawingView::Start CDrawingView::DepthMapStart(std::unique_ptr<CDibImage> depthMap)
{
    Start start;
    start.depthMap = depthMap ? std::move(depthMap) : std::make_unique<CDibImage>();
    start.background = std::make_unique<CDibImage>();
    start.layout.period = PictureLayout::kDefaultPeriod;
    start.layout.pictureWidth = start.depthMap->Width() + start.layout.period;
    start.layout.pictureHeight = start.depthMap->Height();
    return start;
}

CDrawingView::CDrawingView(CWorkflowState& state, IViewHost& host, IViewPlatform& platform)
    : CDrawingView(state, host, ProgramStart(platform))
{
}

CDrawingView::CDrawingView(CWorkflowState& state, IViewHost& host, std::unique_ptr<CDibImage> depthMap)
    : CDrawingView(state, host, DepthMapStart(std::move(depthMap)))
{
}

CDrawingView::CDrawingView(CWorkflowState& state, IViewHost& host, Start start)
    : state_(state), host_(host), platform_(start.platform), programDir_(std::move(start.programDir)),
      tilePath_(kFirstTilePath), feel_(kDefaultFeel), layout_(start.layout),
      background_(std::move(start.background)), depthMap_(std::move(start.depthMap)),
      board_(depthMap_->Width(), depthMap_->Height(), *depthMap_)
{
}

void CDrawingView::OnInitialUpdate()
{
    panel_.Create(&board_);
    board_.SetPanel(&panel_);
    // The panel's controls notify it twice as its window comes up; without
    // these refreshes the strip and the swatch would still be white when the
    // first gesture reads them.
    panel_.Refresh(0);
    panel_.Refresh(0);
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
    case CmdUndo: return history_.NextUndo() != nullptr;
    case CmdRedo: return history_.NextRedo() != nullptr;
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
    case CmdInitialise: Initialise(); return true;
    case CmdGenerateBackground: GenerateBackground(); return true;
    case CmdShowBackground:
        host_.DrawOnClient([this](IPaintSurface& dc) { ShowBackground(dc); });
        return true;
    case CmdMake3dPrimitives:
        state_.stage = StagePainting;
        host_.Invalidate();
        return true;
    case CmdDecreaseFeel: DecreaseFeel(); return true;
    case CmdIncreaseFeel: IncreaseFeel(); return true;
    case CmdGenerateStereogram: GenerateStereogram(); return true;
    case CmdClearDrawing: ClearDrawing(); return true;
    case CmdImport: Import(); return true;
    case CmdSave: Save(); return true;
    case CmdRandomBackground: RandomBackground(); return true;
    case CmdSettings: Settings(); return true;
    case CmdUndo: Undo(); return true;
    case CmdRedo: Redo(); return true;
    case CmdDeleteCurrentLayer: host_.Invalidate(); return true;
    case CmdCopyLayer:
    case CmdPasteLayer:
    case CmdDeleteAllLayers:
    case CmdWidth14: return true; // there are no layers
    default: return false;
    }
}

bool CDrawingView::SetTilePath(const std::string& path)
{
    if (path.empty() || path.size() > kMaxTilePath) return false;
    tilePath_ = path;
    return true;
}

void CDrawingView::Initialise()
{
    BeginStep(StepKind::Initialise, 0, true);
    state_.stage = StageTile;
    host_.Invalidate();
    if (LoadTile(*background_, tilePath_, layout_)) GenerateBackground();
    EndStep();
}

void CDrawingView::GenerateBackground()
{
    host_.SetScrollSizes(layout_.pictureWidth, layout_.pictureHeight);
    if (!rv::GenerateBackground(*background_, layout_)) return;
    host_.Invalidate();
    state_.stage = StageBackground;
}

void CDrawingView::RandomBackground()
{
    state_.stage = StageTile;
    board_.SetTool(ToolNone);
    host_.Invalidate();
    rv::RandomBackground(*background_, layout_);
}

void CDrawingView::GenerateStereogram()
{
    host_.SetArrowCursor();
    StereogramParams params;
    params.pictureWidth = layout_.pictureWidth;
    params.pictureHeight = layout_.pictureHeight;
    params.period = layout_.period;
    params.feel = feel_;
    rv::GenerateStereogram(*background_, *depthMap_, params);
    state_.stage = StageStereogram;
    host_.Invalidate();
}

void CDrawingView::ChangeFeel(bool increase)
{
    // The display on the tool bar keeps the value; without it the view's own
    // value stands in, so the commands still work.
    std::string text;
    if (!host_.ReadFeelDisplay(text)) text = std::to_string(feel_);
    const FeelChange change = increase ? rv::IncreaseFeel(text) : rv::DecreaseFeel(text);
    feel_ = change.feel;
    if (change.textChanged) host_.WriteFeelDisplay(change.text);
}

void CDrawingView::DecreaseFeel() { ChangeFeel(false); }
void CDrawingView::IncreaseFeel() { ChangeFeel(true); }

void CDrawingView::Save()
{
    if (!platform_) return;
    const bool stereogram = state_.stage == StageStereogram;
    std::string name;
    bool png = false;
    // Cancel: the user chose not to save; nothing is written or shown.
    if (!platform_->AskSaveName(stereogram, name, png)) return;
    if (const char* problem = SaveNameProblem(name)) {
        ShowMessage(problem);
        return;
    }
    const CDibImage& picture = stereogram ? *background_ : *depthMap_;
    // A save that fails says so: the user must not leave believing the
    // picture is on the disk.
    const std::string path = SavePath(stereogram, name, png);
    if (!(png ? SavePng(picture, path) : picture.SaveBmp(path))) ShowMessage(kSaveFailed);
}

void CDrawingView::Import()
{
    if (!platform_) return;
    const OpenFileChoice choice =
        platform_->ChooseFileToOpen({programDir_ + "\\sample", kImportFilterName, kImportPattern});
    if (choice.unusablePath) {
        // The user did choose a file: saying nothing would look as if the
        // import had run. The painting stays.
        ShowMessage(kUnusablePath);
        if (!programDir_.empty()) platform_->SetCurrentFolder(programDir_);
        return;
    }
    const std::string& path = choice.path;
    BeginStep(StepKind::Import);

    CDibImage picture;
    bool loaded = false, wrongDepth = false;
    if (!path.empty()) {
        // A load that fails silently keeps this pixel; one that finds a
        // picture of another depth empties the image.
        picture.Create(1, 1);
        loaded = LoadPicture(picture, path);
        wrongDepth = !loaded && picture.Empty();
    }
    if (wrongDepth) {
        // After the loader's "Not a 24bit BMP!". The painting stays, and so
        // does a region drawn on it: nothing was replaced.
        ShowMessage(kNot24BitImport);
    } else {
        // A region's dashes live in the depth map: they go before the map is
        // replaced or re-fitted, or they would stay in it for good.
        board_.RemoveRegion();
        // The imported picture, or without one the current depth map, cut
        // or padded with white to the picture less one period.
        CDibImage& source = loaded ? picture : *depthMap_;
        if (!FitDepthMap(source, layout_)) {
            ShowMessage(HasDepthMapSize(layout_) ? kMemoryError : kInvalidSize);
        } else {
            if (loaded) depthMap_->Swap(picture);
            board_.Resize(depthMap_->Width(), depthMap_->Height(), *depthMap_);
        }
    }
    EndStep();
    // The file dialog may have changed the current folder.
    if (!programDir_.empty()) platform_->SetCurrentFolder(programDir_);
    host_.Invalidate();
}

void CDrawingView::Settings()
{
    if (!platform_) return;
    PictureLayout wanted = layout_;
    // Cancel: the user only looked. The painting, the size and the stage
    // stay as they were, and there is no size to judge.
    if (!platform_->AskPictureSize(wanted.pictureWidth, wanted.pictureHeight)) return;
    // A picture must leave at least one depth-map column and row; a size
    // that does not is refused before anything changes.
    if (!HasDepthMapSize(wanted)) {
        ShowMessage(kInvalidSize);
        return;
    }
    // OK: a new white depth map of the new size. When none can be had,
    // everything stays as it was.
    auto blank = std::make_unique<CDibImage>();
    if (!MakeBlankDepthMap(*blank, wanted)) {
        ShowMessage(kMemoryError);
        return;
    }
    BeginStep(StepKind::Settings);
    layout_ = wanted;
    ReplaceDepthMap(std::move(blank));
    EndStep();
    // The screen must not go on showing a painting the depth map lost.
    host_.Invalidate();
}

void CDrawingView::ClearDrawing()
{
    // The region's dashes go with the rest of the drawing, and the region
    // and any open lasso with them: nothing is left to write dashes later.
    BeginStep(StepKind::Clear);
    depthMap_->Clear();
    board_.DropRegion();
    EndStep();
    host_.Invalidate();
}

void CDrawingView::OnLButtonDown(int x, int y, IPaintSurface& dc)
{
    if (state_.stage != StagePainting || state_.buttonState == ButtonDown) return;
    state_.buttonState = ButtonDown;
    BeginStep(StepKind::Tool, board_.GetTool());
    board_.OnMouseDown(x, y, dc);
}

void CDrawingView::OnLButtonUp(int x, int y, IPaintSurface& dc)
{
    if (state_.stage != StagePainting || state_.buttonState != ButtonDown) return;
    state_.buttonState = ButtonUp;
    host_.BeginWaitCursor();
    board_.OnMouseUp(x, y, dc);
    EndStep();
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
        // The frame surrounds the picture area (the picture less one
        // period), which is the depth map's size unless the period or the
        // picture height changed since the depth map was made; the depth map
        // is drawn over it. Any size is drawn without overflow.
        const auto edge = [](int origin, long long size) {
            return static_cast<int>(std::clamp<long long>(origin + size + 1, INT_MIN, INT_MAX));
        };
        const long long width = static_cast<long long>(layout_.pictureWidth) - layout_.period;
        dc.FrameRectangle(ox, oy, edge(ox, width), edge(oy, layout_.pictureHeight));
        depthMap_->Draw(dc, ox, oy);
        board_.RedrawOverlay(dc);
    } else {
        background_->Draw(dc, ox, oy);
    }
}

void CDrawingView::ShowBackground(IPaintSurface& dc) const { background_->Draw(dc, 0, 0); }

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

namespace rv {

void CDrawingView::RowCopy::Take(const CDibImage& picture)
{
    present = !picture.Empty();
    width = picture.Width();
    height = picture.Height();
    const std::size_t size = present ? static_cast<std::size_t>(height) * picture.Stride() : 0;
    bits.resize(size);
    if (size) std::memcpy(bits.data(), picture.Bits(), size);
}

void CDrawingView::BeginStep(StepKind kind, int tool, bool background)
{
    EndStep();
    stepOpen_ = true;
    stepKind_ = kind;
    stepTool_ = tool;
    stepBackground_ = background;
    stageBefore_ = state_.stage;
    layoutBefore_ = layout_;
    ToggleDashes();
    depthBefore_.Take(*depthMap_);
    ToggleDashes();
    if (background) backgroundBefore_.Take(*background_);
}

void CDrawingView::EndStep()
{
    if (!stepOpen_) return;
    stepOpen_ = false;
    CUndoStep step;
    step.kind = stepKind_;
    step.tool = stepTool_;
    ToggleDashes();
    step.depthMap.PackChanged(depthBefore_.Data(), depthBefore_.width, depthBefore_.height, *depthMap_);
    ToggleDashes();
    if (stepBackground_) {
        // The background is kept whole: other commands (a random tile)
        // change its size without being steps.
        CPackedRows changed;
        changed.PackChanged(backgroundBefore_.Data(), backgroundBefore_.width, backgroundBefore_.height,
                            *background_);
        if (!changed.Empty()) {
            step.hasBackground = true;
            step.background.PackChanged(backgroundBefore_.Data(), backgroundBefore_.width,
                                        backgroundBefore_.height, *background_, true);
        }
    }
    const PictureLayout& l = layoutBefore_;
    if (l.pictureWidth != layout_.pictureWidth || l.pictureHeight != layout_.pictureHeight ||
        l.period != layout_.period || l.tileHeight != layout_.tileHeight) {
        step.hasLayout = true;
        step.layout = layoutBefore_;
    }
    if (stageBefore_ != state_.stage) {
        step.hasStage = true;
        step.stage = stageBefore_;
    }
    if (step.depthMap.Empty() && !step.hasBackground && !step.hasLayout && !step.hasStage) return;
    history_.Push(std::move(step));
}

bool CDrawingView::ExchangeStep(CUndoStep& step)
{
    if (step.depthMap.Whole()) {
        auto made = std::make_unique<CDibImage>();
        if (!step.depthMap.UnpackWhole(*made)) return false;
        ToggleDashes();
        step.depthMap.PackAll(*depthMap_);
        ReplaceDepthMap(std::move(made)); // the region goes with the old map
    } else if (!step.depthMap.Empty()) {
        ToggleDashes();
        const bool fits = step.depthMap.ExchangeRows(*depthMap_);
        ToggleDashes();
        if (!fits) return false;
    }
    if (step.hasBackground) {
        CDibImage made;
        if (!step.background.UnpackWhole(made)) return false;
        step.background.PackAll(*background_);
        background_->Swap(made);
    }
    if (step.hasLayout) std::swap(step.layout, layout_);
    if (step.hasStage) std::swap(step.stage, state_.stage);
    return true;
}

void CDrawingView::ExchangeNext(bool undo)
{
    // A gesture whose release was not seen is a step of its own; the rest of
    // it (the button is still down) makes another.
    const bool gesture = stepOpen_ && stepKind_ == StepKind::Tool;
    const int tool = stepTool_;
    EndStep();
    CUndoStep* step = undo ? history_.NextUndo() : history_.NextRedo();
    if (step) {
        if (!ExchangeStep(*step)) {
            // Out of memory, or pictures the step no longer fits: the
            // history cannot be trusted any more.
            history_.Clear();
            ShowMessage(kMemoryError);
        } else if (undo) {
            history_.Undone();
        } else {
            history_.Redone();
        }
        host_.Invalidate();
    }
    if (gesture) BeginStep(StepKind::Tool, tool);
}

void CDrawingView::Undo() { ExchangeNext(true); }
void CDrawingView::Redo() { ExchangeNext(false); }

} // namespace rv
