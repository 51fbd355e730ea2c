#pragma once
// The document of a single-document frame: a command target with a title
// and a path. The programs derive from it; the frame owns it.
#include "win32/framework/Wnd.h"

#include <string>
#include <string_view>
#include <vector>

namespace fw {

class CFrameWnd;
class CView;

class CDocument {
public:
    CDocument() = default;
    virtual ~CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // A new, empty document: no path, the title "无标题" (string
    // FW_IDS_UNTITLED when the program has it). True on success.
    virtual bool OnNewDocument();
    // Opens the file at path (GB2312): by default the file only has to be
    // readable; then the path and the title (the file's name) follow it.
    virtual bool OnOpenDocument(std::string_view path);

    // Command routing: view -> document -> frame -> application.
    virtual bool OnCommand(UINT id);
    virtual bool UpdateCommand(UINT id, CommandState& state);

    const std::string& Title() const { return title_; }
    void SetTitle(std::string_view title);
    const std::string& PathName() const { return path_; }
    // Sets the path; the title becomes the file's name (after the last
    // backslash or slash, double-byte characters stepped over).
    void SetPathName(std::string_view path);

    // The views showing this document (in the order they were made).
    const std::vector<CView*>& Views() const { return views_; }
    // Redraws every view but sender.
    void UpdateAllViews(CView* sender = nullptr);
    CFrameWnd* Frame() const { return frame_; }

private:
    friend class CFrameWnd;
    friend class CView;
    std::string title_;
    std::string path_;
    std::vector<CView*> views_;
    CFrameWnd* frame_ = nullptr;
};

} // namespace fw
