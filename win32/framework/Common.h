#pragma once
// Small pieces of the framework: the file-open dialog and the wait cursor.
#include <windows.h>

#include <string>
#include <string_view>

namespace fw {

struct OpenFileArgs {
    HWND owner = nullptr;
    // Filters as pairs "text|pattern|text|pattern" in GB2312, for instance
    // "图象文件(*.bmp)|*.bmp"; empty shows every file.
    std::string filter;
    std::string initialFolder;  // GB2312; empty: the system's choice
    std::string initialName;    // GB2312 file name in the name field
    std::string defaultExtension; // added to a typed name without one
    DWORD flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
};

enum class FileDialogResult {
    Chosen,       // path holds the chosen file's full path (GB2312)
    Cancelled,    // the user cancelled; path is empty
    NotGb2312,    // the chosen path has characters GB2312 cannot hold; path is empty
};

// The system's file-open dialog (GetOpenFileNameW). The current folder is
// the same after it as before, whether a file was chosen or not.
FileDialogResult OpenFileDialog(const OpenFileArgs& args, std::string& path);

// Shows the wait cursor for its lifetime; the previous cursor comes back at
// the end (nesting allowed).
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    // Shows the wait cursor again (after a message box, say).
    void Restore();

private:
    HCURSOR previous_;
};

} // namespace fw
