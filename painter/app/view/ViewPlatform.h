#pragma once
// What the drawing view and the tile picker need of the platform besides
// message boxes and files (painter/image/Platform.h): the program's own path,
// the current folder, modal dialogs from the resource templates, and the
// file-open dialog. Texts are GB2312; the Windows program converts at its
// boundary. The tests use a fake that records every call.
#include <string>
#include <vector>

namespace rv {

// Dialog templates the view runs, and the edits it fills and reads.
constexpr int kSettingsDialog = 132;   // "设置": width and height
constexpr int kSaveResultDialog = 140; // name for the folder "result"
constexpr int kSaveSampleDialog = 147; // name for the folder "sample"
constexpr int kSettingsWidthEdit = 1002;
constexpr int kSettingsHeightEdit = 1003;
constexpr int kSaveNameEdit = 1007;

// One edit control of a dialog: its id and its text.
struct DialogEdit {
    int id = 0;
    std::string text;
};

// The file-open dialog as the import asks for it: open mode, no default
// extension, no initial file name, the read-only box hidden, one filter.
struct OpenFileRequest {
    std::string initialFolder;
    std::string filterName; // "图象文件(*.bmp)"
    std::string pattern;    // "*.bmp"
};

// What the file-open dialog gave: a path, nothing (cancelled), or a path the
// painter cannot use because it holds characters GB2312 has no code for.
struct OpenFileChoice {
    std::string path;          // GB2312; empty unless a usable file was chosen
    bool unusablePath = false; // a file was chosen, but its path cannot be held
};

class IViewPlatform {
public:
    virtual ~IViewPlatform() = default;

    // The full path of the running program ("C:\Relievo\Relievo.exe").
    virtual std::string ModuleFileName() = 0;
    // Makes folder the current folder; false when it cannot.
    virtual bool SetCurrentFolder(const std::string& folder) = 0;

    // Runs dialog template templateId modally. Each edit shows its text when
    // the dialog opens. Returns true when the user pressed OK; the edits then
    // hold the whole texts the user left in them (the view applies the
    // dialog's own limits). On cancel returns false and the texts are not
    // looked at.
    virtual bool RunDialog(int templateId, std::vector<DialogEdit>& edits) = 0;

    // Runs the file-open dialog; returns the chosen path, or an empty one
    // when nothing was chosen, or says that the chosen path cannot be held.
    // The dialog may change the current folder.
    virtual OpenFileChoice ChooseFileToOpen(const OpenFileRequest& request) = 0;
};

} // namespace rv
