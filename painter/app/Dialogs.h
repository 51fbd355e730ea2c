#pragma once
// The painter's small modal dialogs: the settings dialog (background size),
// the two name dialogs of the save command, and the about box.
#include "win32/framework/Dialog.h"

#include <string>

// "设置" (template 132): the background's width and height.
class CSettingsDlg : public fw::CDialog {
public:
    CSettingsDlg();
    int initialised = 0;
    int width = 0;
    int height = 0;

protected:
    bool OnInitDialog() override;
    // Once initialised, reads at most four characters of each edit as a
    // decimal number: "12345" gives 1234, letters give 0.
    void DoDataExchange(fw::CDataExchange& dx) override;
};

// The name dialogs: both open with an empty name; OK takes at most 254
// characters of it.
class CSaveNameDlg : public fw::CDialog {
public:
    std::string name;
    // The format chosen: BMP unless the user picks PNG.
    bool png = false;

protected:
    explicit CSaveNameDlg(UINT templateId) : CDialog(templateId) {}
    bool OnInitDialog() override;
    void DoDataExchange(fw::CDataExchange& dx) override;
};

// "保存结果" for the folder "result" (template 140).
class CSaveResultDlg : public CSaveNameDlg {
public:
    CSaveResultDlg();
};

// "保存结果" for the folder "sample" (template 147).
class CSaveSampleDlg : public CSaveNameDlg {
public:
    CSaveSampleDlg();
};

// "关于 Relievo" with the about picture and the program's version, the one
// its version information carries.
class CAboutDlg : public fw::CDialog {
public:
    CAboutDlg();

protected:
    bool OnInitDialog() override;
};
