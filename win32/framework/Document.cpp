// CDocument: title, path and views of the frame's document.
#include "win32/framework/Document.h"

#include "win32/framework/Frame.h"
#include "win32/framework/FrameworkIds.h"
#include "text/Gb2312.h"
#include "win32/platform/Text.h"

#include <cstdio>

namespace fw {

bool CDocument::OnNewDocument()
{
    path_.clear();
    std::string untitled = LoadText(FW_IDS_UNTITLED);
    if (untitled.empty()) untitled = w32::Narrow(L"无标题");
    SetTitle(untitled);
    return true;
}

bool CDocument::OnOpenDocument(std::string_view path)
{
    FILE* file = _wfopen(w32::Widen(path).c_str(), L"rb");
    if (!file) return false;
    std::fclose(file);
    SetPathName(path);
    return true;
}

bool CDocument::OnCommand(UINT) { return false; }

bool CDocument::UpdateCommand(UINT, CommandState&) { return false; }

void CDocument::SetTitle(std::string_view title)
{
    title_.assign(title);
    if (frame_) frame_->UpdateTitle();
}

void CDocument::SetPathName(std::string_view path)
{
    path_.assign(path);
    // The file name starts after the last separator that is a character of
    // its own (a double-byte character's trail byte may be 0x5C).
    const std::size_t last = gb::FindLastOf(path, "\\/:");
    SetTitle(path.substr(last == std::string_view::npos ? 0 : last + 1));
}

void CDocument::UpdateAllViews(CView* sender)
{
    for (CView* view : views_)
        if (view != sender) view->OnUpdate(sender);
}

} // namespace fw
