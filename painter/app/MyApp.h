#pragma once
// CMyApp: the painter's start-up: the splash picture, the profile, the
// document and main frame with its two views, shown maximised; and the
// about command.
#include "painter/app/ViewPlatformWin.h"
#include "win32/framework/App.h"

class CMyApp : public fw::CWinApp {
public:
    bool InitInstance() override;
    bool OnCommand(UINT id) override;
    bool UpdateCommand(UINT id, fw::CommandState& state) override;

private:
    void ShowSplash();

    CViewPlatformWin platform_;
};
