#pragma once
// Resource and command identifiers of the painter: plain macros, read by the
// resource compiler and by the portable view logic alike.

#define IDR_MAINFRAME 128

// Application and frame commands.
#define ID_APP_EXIT 57665
#define ID_APP_ABOUT 57664
#define ID_HELP_FINDER 57670
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601

// Drawing view commands.
#define ID_INIT 32771
#define ID_SAVE 32772
#define ID_MAKE_BACKGROUND 32773
#define ID_SHOW_BACKGROUND 32774
#define ID_MAKE_DEPTHMAP 32775
#define ID_GENERATE 32776
#define ID_TOOL_PENCIL 32778
#define ID_TOOL_LINE 32779
#define ID_TOOL_RECT 32780
#define ID_TOOL_ELLIPSE 32781
#define ID_TOOL_FILL 32782
#define ID_TOOL_ERASER 32783
#define ID_DELETE_ALL_LAYERS 32784
#define ID_SETTINGS 32785
#define ID_FEEL_DISPLAY 32793
#define ID_FEEL_DOWN 32794
#define ID_FEEL_UP 32795
#define ID_WIDTH_14 32800
#define ID_DELETE_CURRENT_LAYER 32801
#define ID_RANDOM_BACKGROUND 32804
#define ID_COPY_LAYER 32806
#define ID_PASTE_LAYER 32807
#define ID_CLEAR_DRAWING 32811
#define ID_IMPORT 32813
#define ID_TOOL_FILLED_RECT 32814
#define ID_TOOL_FILLED_ELLIPSE 32815
#define ID_TOOL_LASSO 32816
#define ID_TOOL_GRADIENT_CIRCLE 32817
#define ID_TOOL_GRADIENT_RECT 32818
#define ID_TOOL_PICKER 32820
#define ID_TOOL_BRUSH 32821
