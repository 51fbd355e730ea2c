#pragma once
// The drawing view's portable part: every picture of the painter (the
// background, which is tile, tiled background and stereogram in turn, and
// the depth map), the paint board and the settings panel it owns, the
// picture layout and the 3D feel, the workflow stages and which commands
// each enables, every command, mouse input, scrolling and repainting.
//
// How a window shell uses it (the Win32 CMyView is such a shell):
//   - Construct it with the program's workflow state, the window as an
//     IViewHost and the platform as an IViewPlatform. Construction takes the
//     program's folder, makes it the current folder and loads the first tile.
//     Call OnInitialUpdate once the window exists: the panel's model is set
//     up and refreshed; create the panel's window (dialog 146) over Panel().
//   - Commands: OnCommand(id) runs any of the view's commands and returns
//     false for a command it does not handle or that the stage disables;
//     the idle-time update asks IsCommandEnabled(id) and IsCommandChecked(id).
//     Dialogs, the file-open dialog and the current folder go through the
//     IViewPlatform; the "Show background" command draws through
//     IViewHost::DrawOnClient.
//   - Mouse: OnLButtonDown/Up and OnMouseMove with client coordinates and the
//     client area as an IPaintSurface; keys through OnKeyDown; after the
//     window scrolled, OnScroll(x, y) with the new position and a repaint of
//     the whole client area (a region's dashes move with the region).
//   - Painting: OnDraw(dc) with the client area (the view applies its scroll
//     position itself), after the background has been erased to white.
//   - Cursor: CursorResource() gives the cursor resource for the client area,
//     or kCursorDefault for the window's own.
//   - The view asks its host for the scroll sizes (SetScrollSizes), repaints
//     (Invalidate), the wait and arrow cursors, and the text of the 3D-feel
//     display on the frame's tool bar.
//   - The tile picker (CTilePicker) calls SetTilePath, Initialise and
//     RandomBackground.
#include "painter/app/view/ViewCommands.h"
#include "painter/app/view/UndoHistory.h"
#include "painter/app/view/ViewPlatform.h"
#include "painter/app/view/WorkflowState.h"
#include "painter/image/DibImage.h"
#include "painter/image/DrawSurface.h"
#include "painter/painting/PaintBoard.h"
#include "painter/painting/ToolPanel.h"
#include "painter/stereo/Background.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rv {

// What the view needs of its window.
class IViewHost {
public:
    virtual ~IViewHost() = default;
    // Asks for a repaint of the whole client area (with erase).
    virtual void Invalidate() = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // The scroll range: the picture's size (text mapping mode, default page
    // and line sizes).
    virtual void SetScrollSizes(int width, int height) { (void)width, (void)height; }
    // Sets the standard arrow cursor (the generator does, before it runs).
    virtual void SetArrowCursor() {}
    // Runs draw at once on the client area (no scroll origin applied).
    virtual void DrawOnClient(const std::function<void(IPaintSurface&)>& draw) { (void)draw; }
    // The 3D-feel display on the frame's tool bar: reads its text, false
    // when there is no display; and writes it.
    virtual bool ReadFeelDisplay(std::string& text) { (void)text; return false; }
    virtual void WriteFeelDisplay(const std::string& text) { (void)text; }
};

// Messages the view shows beyond those of the image and stereogram parts.
inline const char kInvalidFileName[] = "Invalid file name!";
inline const char kNot24BitImport[] = "No a 24bits Bmp!";
inline const char kMemoryError[] = "Imply memory error!";
inline const char kSaveFailed[] = "Save bmp error!";
inline const char kInvalidSize[] = "Invalid picture size!";
inline const char kUnusablePath[] = "The file's path has characters Relievo cannot use: move or rename it!";

// The longest tile path the view keeps.
constexpr std::size_t kMaxTilePath = 19;
// The longest name the save dialogs take, and the longest that still fits
// the 255 characters of a save path (".\result\" + name + ".bmp").
constexpr std::size_t kMaxTypedName = 254;
constexpr std::size_t kMaxSaveName = 242;

class CDrawingView {
public:
    // The program's view: takes the program's folder from the platform and
    // makes it the current folder, loads ".\back\b1.bmp" as the tile (period
    // and tile height from it, a period of 100 without a tile), a picture of
    // 800 x 600, feel 15, and a white depth map of the picture less one
    // period.
    CDrawingView(CWorkflowState& state, IViewHost& host, IViewPlatform& platform);
    // A view around a given depth map (an empty picture when none is given),
    // for replaying gestures: no platform, no tile; the picture area is the
    // depth map's size. Commands that need the platform do nothing.
    CDrawingView(CWorkflowState& state, IViewHost& host, std::unique_ptr<CDibImage> depthMap);
    CDrawingView(const CDrawingView&) = delete;
    CDrawingView& operator=(const CDrawingView&) = delete;

    // After the window exists: sets up the panel, hands it to the board and
    // refreshes it twice, as its controls do when its window comes up, so its
    // strip and swatch are drawn before the first gesture reads them.
    void OnInitialUpdate();

    // Commands: whether a stage enables one, whether its entry is checked,
    // and running them. OnCommand returns false for a disabled command or
    // one handled elsewhere.
    bool IsCommandEnabled(int command) const;
    bool IsCommandChecked(int command) const;
    bool OnCommand(int command);
    void SetTool(int tool) { board_.SetTool(tool); }

    // The operations behind the commands, also used by the tile picker.
    void Initialise();
    void GenerateBackground();
    void RandomBackground();
    void GenerateStereogram();
    void Save();
    void Import();
    void Settings();
    void DecreaseFeel();
    void IncreaseFeel();
    // A non-empty path of at most 19 characters replaces the tile path;
    // returns false (keeping the old one) otherwise.
    bool SetTilePath(const std::string& path);

    // Undo and redo: each exchanges one step of the history with the
    // pictures, the layout and the stage, and repaints. A gesture still
    // under way (a release not seen) is closed as a step first, and a new
    // one opens after.
    void Undo();
    void Redo();
    const CUndoHistory& History() const { return history_; }
    // The status-bar prompts of the two commands: what they would undo or
    // redo.
    std::string UndoPromptText() const { return UndoPrompt(history_.NextUndo()); }
    std::string RedoPromptText() const { return RedoPrompt(history_.NextRedo()); }

    // Mouse input in client coordinates, with the client-area screen.
    void OnLButtonDown(int x, int y, IPaintSurface& dc);
    void OnLButtonUp(int x, int y, IPaintSurface& dc);
    void OnMouseMove(int x, int y, IPaintSurface& dc);
    void OnKeyDown(int key);
    // After the window has scrolled to (x, y).
    void OnScroll(int x, int y);
    // Paints the client area (dc in client coordinates; the scroll position
    // is applied here).
    void OnDraw(IPaintSurface& dc) const;
    // "Show background": the background at once at the client area's
    // origin, whatever the stage; the next repaint shows the usual content.
    void ShowBackground(IPaintSurface& dc) const;
    // The cursor resource for the client area, kCursorDefault for the
    // window's own.
    int CursorResource() const;

    // A complete new depth map replaces the old one and the board is resized
    // to it (the board drops its region). An empty pointer changes nothing.
    void ReplaceDepthMap(std::unique_ptr<CDibImage> depthMap);

    int Feel() const { return feel_; }
    const std::string& TilePath() const { return tilePath_; }
    const std::string& ProgramDir() const { return programDir_; }
    const PictureLayout& Layout() const { return layout_; }
    // For tools and tests that set up a view around given pictures.
    void SetLayout(const PictureLayout& layout) { layout_ = layout; }
    CDibImage& Background() { return *background_; }
    const CDibImage& Background() const { return *background_; }
    CDibImage& DepthMap() { return *depthMap_; }
    const CDibImage& DepthMap() const { return *depthMap_; }
    CPaintBoard& Board() { return board_; }
    const CPaintBoard& Board() const { return board_; }
    CToolPanel& Panel() { return panel_; }
    const CToolPanel& Panel() const { return panel_; }
    Point ScrollPos() const { return scrollPos_; }
    CWorkflowState& State() { return state_; }

private:
    // What construction starts with.
    struct Start {
        IViewPlatform* platform = nullptr;
        std::string programDir;
        PictureLayout layout;
        std::unique_ptr<CDibImage> background;
        std::unique_ptr<CDibImage> depthMap;
    };
    static Start ProgramStart(IViewPlatform& platform);
    static Start DepthMapStart(std::unique_ptr<CDibImage> depthMap);
    CDrawingView(CWorkflowState& state, IViewHost& host, Start start);

    void ClearDrawing();
    void ChangeFeel(bool increase);

    // A picture's pixel rows as they were when a step began.
    struct RowCopy {
        std::vector<std::uint8_t> bits;
        int width = 0;
        int height = 0;
        bool present = false;
        void Take(const CDibImage& picture);
        const std::uint8_t* Data() const { return present ? bits.data() : nullptr; }
    };
    // Steps: BeginStep keeps what the step may change (the depth map without
    // the region's dashes, and the background when asked), EndStep puts what
    // changed into the history; a step that changed nothing is not kept.
    void BeginStep(StepKind kind, int tool = 0, bool background = false);
    void EndStep();
    // Exchanges a step with the view's state; false when it no longer fits
    // the pictures (the history is then dropped).
    bool ExchangeStep(CUndoStep& step);
    void ExchangeNext(bool undo);
    // The region's dashes live in the depth map; steps keep the map without
    // them, so undo leaves whatever region exists now in place.
    void ToggleDashes() { board_.ToggleRegionDashes(); }

    CWorkflowState& state_;
    IViewHost& host_;
    IViewPlatform* platform_;
    std::string programDir_;
    std::string tilePath_;
    int feel_;
    PictureLayout layout_;
    std::unique_ptr<CDibImage> background_;
    std::unique_ptr<CDibImage> depthMap_;
    CToolPanel panel_;
    CPaintBoard board_;
    Point scrollPos_;

    CUndoHistory history_;
    bool stepOpen_ = false;
    StepKind stepKind_ = StepKind::Tool;
    int stepTool_ = 0;
    bool stepBackground_ = false;
    int stageBefore_ = 0;
    PictureLayout layoutBefore_;
    RowCopy depthBefore_;
    RowCopy backgroundBefore_;
};

} // namespace rv
