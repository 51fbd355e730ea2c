#pragma once
// Resource and command identifiers of the painter: plain macros, read by the
// resource compiler and by the portable view logic alike.

#define IDR_MAINFRAME 128

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_SETTINGS 132
#define IDD_METAVIEW 133
#define IDD_SAVE_RESULT 140
#define IDD_TOOL_PANEL 146
#define IDD_SAVE_SAMPLE 147

// Pictures, cursors and icons.
#define IDB_SPLASH 137
#define IDB_ABOUT 139
#define IDC_CURSOR_PENCIL 142
#define IDC_CURSOR_CROSS 143
#define IDC_CURSOR_FILL 144
#define IDC_CURSOR_ERASER 145
#define IDC_CURSOR_LASSO 152
#define IDC_CURSOR_PICKER 153
#define IDC_CURSOR_BRUSH 154
#define IDI_ERASER_SOFT 147
#define IDI_ERASER_CIRCULAR 148
#define IDI_ERASER_SQUARE 149

// The tool bar's resource type (version, image width and height, count,
// then one command per position, 0 for a separator).
#define RT_RELIEVO_TOOLBAR 241

// Controls.
#define IDC_FEEL_DISPLAY 1111
// Settings dialog.
#define IDC_SETTINGS_WIDTH 1002
#define IDC_SETTINGS_HEIGHT 1003
// Name dialogs.
#define IDC_SAVE_NAME 1007
// Tile picker.
#define IDC_TILE_LIST 1005
#define IDC_TILE_OK 1006
#define IDC_TILE_WIDTH 1007
#define IDC_TILE_HEIGHT 1008
#define IDC_TILE_RANDOM 1009
#define IDC_TILE_PREVIEW 1010
// Tool panel.
#define IDC_PANEL_SOFT 1006
#define IDC_PANEL_CIRCULAR 1007
#define IDC_PANEL_SQUARE 1008
#define IDC_PANEL_COLOUR_VALUE 1011
#define IDC_PANEL_SWATCH 1012
#define IDC_PANEL_BLACK 1013
#define IDC_PANEL_BLUE 1014
#define IDC_PANEL_STRIP 1015
#define IDC_PANEL_LOW_LEFT 1016
#define IDC_PANEL_LOW_MIDDLE 1017
#define IDC_PANEL_LOW_RIGHT 1018
#define IDC_PANEL_ERASER_WIDTH 1020
#define IDC_PANEL_CURVE 1021
#define IDC_PANEL_PEN_WIDTH 1022
#define IDC_PANEL_C1 1024
#define IDC_PANEL_C2 1025
// About box.
#define IDC_ABOUT_PICTURE 1030

// Framework strings and commands (the numbers the framework knows them by).
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_IDLEMESSAGE 57345
#define AFX_IDS_UNTITLED 61440
#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_MRU_FILE1 57616
#define ID_FILE_MRU_FILE2 57617
#define ID_FILE_MRU_FILE3 57618
#define ID_FILE_MRU_FILE4 57619
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

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
