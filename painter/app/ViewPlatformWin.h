#pragma once
// The drawing view's platform on Windows: the program's path and the current
// folder through the wide functions, the settings and name dialogs, and the
// system's file-open dialog.
#include "painter/app/view/ViewPlatform.h"

#include <windows.h>

class CViewPlatformWin final : public rv::IViewPlatform {
public:
    // Dialogs are owned by this window (the main frame) once it exists.
    void SetOwner(HWND owner) { owner_ = owner; }

    std::string ModuleFileName() override;
    bool SetCurrentFolder(const std::string& folder) override;
    bool AskPictureSize(int& width, int& height) override;
    bool AskSaveName(bool stereogram, std::string& name, bool& png) override;
    rv::OpenFileChoice ChooseFileToOpen(const rv::OpenFileRequest& request) override;

private:
    HWND owner_ = nullptr;
};
