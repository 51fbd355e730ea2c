#pragma once
// Command ids of the drawing view, the cursor resources of the tools and the
// keys the view reacts to.
#include "painter/app/resource.h"

namespace rv {

enum ViewCommand : int {
    CmdInitialise = ID_INIT,
    CmdSave = ID_SAVE,
    CmdGenerateBackground = ID_MAKE_BACKGROUND,
    CmdShowBackground = ID_SHOW_BACKGROUND,
    CmdMake3dPrimitives = ID_MAKE_DEPTHMAP,
    CmdGenerateStereogram = ID_GENERATE,
    CmdPencil = ID_TOOL_PENCIL,
    CmdLine = ID_TOOL_LINE,
    CmdRect = ID_TOOL_RECT,
    CmdEllipse = ID_TOOL_ELLIPSE,
    CmdFill = ID_TOOL_FILL,
    CmdEraser = ID_TOOL_ERASER,
    CmdDeleteAllLayers = ID_DELETE_ALL_LAYERS,
    CmdSettings = ID_SETTINGS,
    CmdDecreaseFeel = ID_FEEL_DOWN,
    CmdIncreaseFeel = ID_FEEL_UP,
    CmdWidth14 = ID_WIDTH_14,
    CmdDeleteCurrentLayer = ID_DELETE_CURRENT_LAYER,
    CmdRandomBackground = ID_RANDOM_BACKGROUND,
    CmdCopyLayer = ID_COPY_LAYER,
    CmdPasteLayer = ID_PASTE_LAYER,
    CmdClearDrawing = ID_CLEAR_DRAWING,
    CmdImport = ID_IMPORT,
    CmdFilledRect = ID_TOOL_FILLED_RECT,
    CmdFilledEllipse = ID_TOOL_FILLED_ELLIPSE,
    CmdLasso = ID_TOOL_LASSO,
    CmdGradientCircle = ID_TOOL_GRADIENT_CIRCLE,
    CmdGradientRect = ID_TOOL_GRADIENT_RECT,
    CmdPicker = ID_TOOL_PICKER,
    CmdBrush = ID_TOOL_BRUSH,
    CmdUndo = ID_EDIT_UNDO,
    CmdRedo = ID_EDIT_REDO,
};

// The tool a tool command selects, or -1 for any other command.
int ToolForCommand(int command);

// Cursor resources shown over the view in the painting stage.
constexpr int kCursorDefault = 0;
constexpr int kCursorPencil = 142;
constexpr int kCursorCross = 143;
constexpr int kCursorFill = 144;
constexpr int kCursorEraser = 145;
constexpr int kCursorLasso = 152;
constexpr int kCursorPicker = 153;
constexpr int kCursorBrush = 154;

// Virtual-key codes of the arrow keys.
constexpr int kKeyLeft = 0x25;
constexpr int kKeyUp = 0x26;
constexpr int kKeyRight = 0x27;
constexpr int kKeyDown = 0x28;

} // namespace rv
