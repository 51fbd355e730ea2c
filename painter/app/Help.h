#pragma once
// The help command: the current folder's readme.chm in the HTML Help viewer
// (hhctrl.ocx). The viewer is loaded from the system folder and nowhere
// else: a copy laid beside the program or in the current folder, or named
// by a registry entry a user can change, would run inside the painter.
// Nothing happens when the viewer cannot be found; a missing file is the
// viewer's business.
#include <windows.h>

#include <string>

// The help file's path: the folder followed by "\readme.chm".
std::wstring HelpFilePath(const std::wstring& folder);
// The viewer control's full path: the system folder's hhctrl.ocx; empty
// when the system folder cannot be had.
std::wstring HelpViewerPath();
// Loads the viewer from that path (once; later calls give the same module),
// or null.
HMODULE LoadHelpViewer();
void OpenHelpFile();
