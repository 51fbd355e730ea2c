#pragma once
// Resource and control identifiers of the installer's pages; shared by the
// resource script and the page code.

// Icon and banner.
#define IDR_MAINFRAME 128
#define IDB_BANNER 152

// Page templates.
#define IDD_LICENSE 102
#define IDD_SETUP_STATE 129
#define IDD_CHANGE_PATH 130
#define IDD_COMPLETE 131
#define IDD_WELCOME 146
#define IDD_SPLASH 155

// Buttons shared by the pages (the wizard's Back and Next identifiers).
#define IDC_WIZ_BACK 12323
#define IDC_WIZ_NEXT 12324

// Licence page.
#define IDC_LICENSE_TEXT 1000
#define IDC_ACCEPT 1001
#define IDC_DECLINE 1002

// Path page and completion page (two etched rules, the run check box).
#define IDC_BROWSE 1003
#define IDC_RULE_1004 1004
#define IDC_RULE_1005 1005
#define IDC_PATH_EDIT 1006
#define IDC_RUN_CHECK 1007
#define IDC_COMPLETE_OK 1003

// Progress page.
#define IDC_STATE_TEXT 1011
#define IDC_STATUS_LINE 65530
#define IDC_PROGRESS 218
#define IDC_STATE_ICON 220

// Controls no code addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
