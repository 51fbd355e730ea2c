#include "painter/app/Dialogs.h"

#include "painter/app/resource.h"
#include "painter/app/view/DrawingView.h"
#include "painter/app/view/ViewText.h"

CSettingsDlg::CSettingsDlg() : CDialog(IDD_SETTINGS) {}

bool CSettingsDlg::OnInitDialog()
{
    const bool result = CDialog::OnInitDialog();
    initialised = 1;
    SetItemText(IDC_SETTINGS_WIDTH, std::to_string(width));
    SetItemText(IDC_SETTINGS_HEIGHT, std::to_string(height));
    return result;
}

void CSettingsDlg::DoDataExchange(fw::CDataExchange& dx)
{
    if (!initialised || !dx.Saving()) return;
    std::string text;
    dx.Text(IDC_SETTINGS_WIDTH, text);
    width = rv::ReadDialogNumber(text);
    dx.Text(IDC_SETTINGS_HEIGHT, text);
    height = rv::ReadDialogNumber(text);
}

bool CSaveNameDlg::OnInitDialog()
{
    const bool result = CDialog::OnInitDialog();
    CheckRadioButton(Hwnd(), IDC_SAVE_BMP, IDC_SAVE_PNG, png ? IDC_SAVE_PNG : IDC_SAVE_BMP);
    return result;
}

void CSaveNameDlg::DoDataExchange(fw::CDataExchange& dx)
{
    if (dx.Saving()) {
        dx.Text(IDC_SAVE_NAME, name, rv::kMaxTypedName);
        png = IsDlgButtonChecked(Hwnd(), IDC_SAVE_PNG) == BST_CHECKED;
    } else {
        std::string empty;
        dx.Text(IDC_SAVE_NAME, empty);
    }
}

CSaveResultDlg::CSaveResultDlg() : CSaveNameDlg(IDD_SAVE_RESULT) {}
CSaveSampleDlg::CSaveSampleDlg() : CSaveNameDlg(IDD_SAVE_SAMPLE) {}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnInitDialog()
{
    const bool result = CDialog::OnInitDialog();
    SetItemText(IDC_ABOUT_VERSION, "Relievo " RV_VERSION " \xB0\xE6"); // 版
    return result;
}
