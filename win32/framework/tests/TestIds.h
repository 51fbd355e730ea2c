#pragma once
// Resource ids of the framework's test programs.
#define IDD_EXCHANGE 100
#define IDD_MODELESS 101

#define IDC_NAME 1001
#define IDC_NUMBER 1002
#define IDC_FLAG 1003
#define IDC_FIRST 1004
#define IDC_SECOND 1005
#define IDC_END42 1006
#define IDC_LABEL 1007

#define IDS_HELLO 200
