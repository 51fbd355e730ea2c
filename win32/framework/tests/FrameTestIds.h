#pragma once
// Resource ids of the framework's frame test.
#define IDR_TESTFRAME 128
#define IDD_FORM 130
#define IDR_CLASSIC_TOOLBAR 131
#define IDR_SHORT_TOOLBAR 132

#define ID_VIEW_CMD 32771
#define ID_DOC_CMD 32772
#define ID_FRAME_CMD 32773
#define ID_APP_CMD 32774
#define ID_DISABLED_CMD 32775
#define ID_TOP_CMD 32776
#define ID_PLACE_CMD 32777
#define ID_NOBODY_CMD 32778

#define IDC_LIST 1005
#define IDC_FORM_BUTTON 1006
#define IDC_FORM_EDIT 1007
#define IDC_FEEL 1111
