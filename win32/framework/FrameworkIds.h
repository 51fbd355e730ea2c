#pragma once
// Identifiers the framework gives a meaning to: plain macros, so resource
// scripts can use them too. The numbers are the customary ones of the
// classic framework, so menus, string tables and accelerators written for it
// keep working.

// Commands handled by the framework's application object.
#define FW_ID_FILE_NEW 57600
#define FW_ID_FILE_OPEN 57601
#define FW_ID_FILE_MRU_FILE1 57616 // the recent files: FILE1 .. FILE1 + 15
#define FW_ID_FILE_MRU_LAST 57631
#define FW_ID_APP_ABOUT 57664
#define FW_ID_APP_EXIT 57665

// Strings the framework looks up (built-in texts are used when missing).
#define FW_IDS_IDLEMESSAGE 57345      // "就绪" in the message pane
#define FW_IDS_UNTITLED 61440         // "无标题", the title of a new document

// Status-bar panes.
#define FW_ID_SEPARATOR 0             // the message pane
#define FW_ID_INDICATOR_CAPS 59137    // "大写"
#define FW_ID_INDICATOR_NUM 59138     // "数字"
#define FW_ID_INDICATOR_SCRL 59139    // "滚动"

// Child windows of a frame.
#define FW_IDW_TOOLBAR 59392
#define FW_IDW_STATUS_BAR 59393
#define FW_IDW_PANE_FIRST 59648       // the client: a single view or the splitter
