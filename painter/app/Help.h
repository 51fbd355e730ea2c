#pragma once
// The help command: the current folder's readme.chm in the HTML Help viewer
// (hhctrl.ocx, found once through its class id in the registry, or else by
// name). Nothing happens when the viewer cannot be found; a missing file is
// the viewer's business.

// The help file's path: the folder followed by "\readme.chm".
#include <string>

std::wstring HelpFilePath(const std::wstring& folder);
void OpenHelpFile();
