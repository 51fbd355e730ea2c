#pragma once
// What the drawing view and the tile picker need of the platform besides
// message boxes and files (painter/image/Platform.h): the program's own path,
// the current folder, the settings and name dialogs, and the file-open
// dialog. Texts are GB2312; the Windows program converts at its
// boundary. The tests use a fake that records every call.
#include <string>

namespace rv {

// The file-open dialog as the import asks for it: open mode, no default
// extension, no initial file name, the read-only box hidden, one filter.
struct OpenFileRequest {
    std::string initialFolder;
    std::string filterName; // "图象文件(*.bmp;*.png;*.jpg)"
    std::string pattern;    // "*.bmp;*.png;*.jpg;*.jpeg"
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

    // The settings dialog "设置", showing width and height. On OK returns
    // true with the numbers the user left, each read from the first four
    // characters of its edit ("12345" gives 1234, letters give 0); on cancel
    // returns false and leaves both alone.
    virtual bool AskPictureSize(int& width, int& height) = 0;
    // The name dialog for the folder "result" (stereogram) or "sample",
    // opening empty and with BMP chosen as the format. On OK returns true
    // with the name typed, at most kMaxTypedName bytes of it, and `png` set
    // when the user chose PNG instead; on cancel returns false.
    virtual bool AskSaveName(bool stereogram, std::string& name, bool& png) = 0;

    // Runs the file-open dialog; returns the chosen path, or an empty one
    // when nothing was chosen, or says that the chosen path cannot be held.
    // The dialog may change the current folder.
    virtual OpenFileChoice ChooseFileToOpen(const OpenFileRequest& request) = 0;
};

} // namespace rv
