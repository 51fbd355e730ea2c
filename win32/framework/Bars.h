#pragma once
// The frame's control bars over the common controls: a tool bar with text
// labels under its buttons, and a status bar with a message pane and
// keyboard indicators. Both are children of a CFrameWnd, which lays them out
// (tool bar at the top, status bar at the bottom) and updates them at idle.
#include "win32/framework/Wnd.h"

#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

namespace fw {

class CToolBar : public CWnd {
public:
    struct Args {
        // Flat buttons with tool tips, across the top of the frame.
        DWORD style = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP;
        UINT id = 59392; // FW_IDW_TOOLBAR: the frame's tool bar
    };
    // Makes the tool bar as a child of the frame.
    bool Create(HWND frame, const Args& args);
    bool Create(HWND frame) { return Create(frame, Args{}); }

    // Loads a TOOLBAR resource (image size and command list, 0 for a
    // separator; as windres or the classic resource compiler writes it) and the BITMAP of the same id (the images side by side, the
    // light-grey background mapped to the button face). False when either is
    // missing.
    bool LoadToolBar(UINT resourceId);
    // The same from parts: a bitmap strip of images of imageSize, and the
    // positions' commands (0 for a separator; images taken in order).
    bool SetButtons(UINT bitmapId, SIZE imageSize, const std::vector<UINT>& commands);

    int ButtonCount() const;
    // Command of a position (0 for a separator), position of a command (-1
    // when the tool bar has none).
    UINT CommandAt(int index) const;
    int CommandToIndex(UINT id) const;
    bool IsSeparator(int index) const;
    // Text label under a position's button (GB2312); empty removes it.
    bool SetButtonText(int index, std::string_view text);
    std::string GetButtonText(int index) const;
    // Button size and image size in pixels (the tool bar keeps the button at
    // least large enough for its image and label).
    void SetSizes(SIZE button, SIZE image);
    SIZE ButtonSize() const;
    // Turns a position into a separator of the given width, keeping its
    // command id, so a child control can take its place.
    bool MakeSeparator(int index, int width);
    // A position's rectangle in tool-bar client coordinates.
    RECT ItemRect(int index) const;
    // State of a position's button, as the idle update sets it.
    bool IsButtonEnabled(int index) const;
    bool IsButtonChecked(int index) const;
    // The height the tool bar needs for its buttons.
    int Height() const;

    // Asks the command state of every button (through query) and shows it.
    template <class Query>
    void UpdateButtons(Query query)
    {
        for (int i = 0; i < ButtonCount(); ++i) {
            if (IsSeparator(i)) continue;
            const UINT id = CommandAt(i);
            CommandState state = query(id);
            ShowButtonState(id, state);
        }
    }
    void ShowButtonState(UINT id, const CommandState& state);
};

class CStatusBar : public CWnd {
public:
    struct Args {
        DWORD style = WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM;
        UINT id = 59393; // FW_IDW_STATUS_BAR
    };
    bool Create(HWND frame, const Args& args);
    bool Create(HWND frame) { return Create(frame, Args{}); }

    // The panes: FW_ID_SEPARATOR (0) is the message pane, which takes the
    // room left; any other id is an indicator whose text is the string of
    // that id ("大写", "数字", "滚动" for the keyboard indicators when the
    // program has none), sized to fit it.
    bool SetIndicators(const std::vector<UINT>& ids);
    int PaneCount() const { return static_cast<int>(ids_.size()); }
    UINT PaneId(int index) const { return ids_[static_cast<std::size_t>(index)]; }
    int CommandToIndex(UINT id) const;
    // Pane texts in GB2312.
    void SetPaneText(int index, std::string_view text);
    std::string GetPaneText(int index) const;
    // Shows the keyboard indicators as the keyboard says (text when the lock
    // is on, empty when off).
    void UpdateIndicators();
    // Recomputes the pane widths for the bar's current width.
    void LayoutPanes();
    int Height() const;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<UINT> ids_;
    std::vector<std::string> texts_;   // indicator texts
    std::vector<int> widths_;          // indicator widths in pixels
};

// The text of an indicator id: the string resource, else the built-in one.
std::string IndicatorText(UINT id);

} // namespace fw
