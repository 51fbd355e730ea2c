#pragma once
// Command ids of the drawing view, the cursor resources of the tools and the
// keys the view reacts to.

namespace rv {

enum ViewCommand : int {
    CmdInitialise = 32771,
    CmdSave = 32772,
    CmdGenerateBackground = 32773,
    CmdShowBackground = 32774,
    CmdMake3dPrimitives = 32775,
    CmdGenerateStereogram = 32776,
    CmdPencil = 32778,
    CmdLine = 32779,
    CmdRect = 32780,
    CmdEllipse = 32781,
    CmdFill = 32782,
    CmdEraser = 32783,
    CmdDeleteAllLayers = 32784,
    CmdSettings = 32785,
    CmdDecreaseFeel = 32794,
    CmdIncreaseFeel = 32795,
    CmdWidth14 = 32800,
    CmdDeleteCurrentLayer = 32801,
    CmdRandomBackground = 32804,
    CmdCopyLayer = 32806,
    CmdPasteLayer = 32807,
    CmdClearDrawing = 32811,
    CmdImport = 32813,
    CmdFilledRect = 32814,
    CmdFilledEllipse = 32815,
    CmdLasso = 32816,
    CmdGradientCircle = 32817,
    CmdGradientRect = 32818,
    CmdPicker = 32820,
    CmdBrush = 32821,
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
