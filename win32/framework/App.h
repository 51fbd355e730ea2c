#pragma once
// The application object: start-up and shut-down hooks, the message loop
// with idle-time command update, the application's own commands, and the
// profile in the registry with its recent-file list.
//
//   class CMyApp : public fw::CWinApp {
//       bool InitInstance() override {
//           SetRegistryKey("Local AppWizard-Generated Applications");
//           LoadStdProfileSettings(4);
//           if (!CreateDocumentFrame(std::make_unique<CMainFrame>(), std::make_unique<CMyDoc>(),
//                                    IDR_MAINFRAME))
//               return false;
//           MainFrame()->Show(SW_SHOWMAXIMIZED);
//           return true;
//       }
//   };
//   int WINAPI wWinMain(...) { CMyApp app; return app.Main(); }
//
// The loop: keyboard messages go first to the main frame's accelerators
// (for any window the frame owns, the floating panels included), then to
// the modeless dialogs; at idle OnIdle(0) brings menu bar, tool bar and
// status bar up to date.
#include "win32/framework/Frame.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// The recent-file list: most recent first, no path twice (compared without
// regard to letter case), at most a given number of entries.
class CRecentFileList {
public:
    explicit CRecentFileList(int size = 4) : size_(size) {}
    int Size() const { return size_; }
    int Count() const { return static_cast<int>(files_.size()); }
    const std::string& operator[](int index) const { return files_[static_cast<std::size_t>(index)]; }
    const std::vector<std::string>& Files() const { return files_; }
    // Puts path (GB2312) first; an empty path is ignored.
    void Add(std::string_view path);
    void Remove(int index);
    // Reads and writes values File1..FileN of section "Recent File List"
    // under the application's key.
    void ReadList(HKEY appKey);
    void WriteList(HKEY appKey) const;
    // Shows the list in the menu that holds the item FW_ID_FILE_MRU_FILE1
    // (the placeholder): "&1 path" ... with the commands FILE1..; an empty
    // list shows the placeholder, greyed. Nothing happens for a menu without
    // it.
    void UpdateMenu(HMENU menu) const;

private:
    int size_;
    std::vector<std::string> files_;
    mutable std::wstring placeholder_;
};

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the program: InitInstance, then the loop unless it failed, then
    // ExitInstance; returns the exit code.
    int Main();
    // Sets up the program; false ends it at once.
    virtual bool InitInstance();
    // After the loop: writes the profile; returns the exit code.
    virtual int ExitInstance();
    // The message loop until WM_QUIT; returns its code.
    int Run();
    // Idle work; count counts the calls since the last real message. Count
    // 0 updates the main frame's command state. True asks for more calls.
    virtual bool OnIdle(long count);
    // Accelerators and modeless dialogs (see above); true when taken.
    virtual bool PreTranslateMessage(MSG& msg);

    // The application's commands: FW_ID_APP_EXIT closes the main frame,
    // FW_ID_FILE_NEW renews the document, FW_ID_FILE_OPEN asks for a file and
    // opens it, FW_ID_FILE_MRU_FILE1.. open a recent file. UpdateCommand
    // answers for them (a recent-file entry is enabled when it names a file);
    // a program that handles a command of its own answers for it too.
    virtual bool OnCommand(UINT id);
    virtual bool UpdateCommand(UINT id, CommandState& state);
    // Opens path in the main frame's document; on success it goes to the
    // top of the recent-file list, on failure it leaves the list and
    // "无法打开文件" is shown. True when opened.
    virtual bool OpenDocumentFile(std::string_view path);

    // The main frame; the application owns it.
    void SetMainFrame(std::unique_ptr<CFrameWnd> frame);
    CFrameWnd* MainFrame() const { return frame_.get(); }
    // The single-document start: the document's OnNewDocument, the frame
    // made from resourceId around it (LoadFrame), the views' initial update;
    // the frame becomes the main frame (not yet shown). False when any step
    // fails (the frame's window, if made, is destroyed with the frame).
    bool CreateDocumentFrame(std::unique_ptr<CFrameWnd> frame, std::unique_ptr<CDocument> document, UINT resourceId,
                             const CreateArgs& args = {});

    // The program's name (GB2312): the profile key's last part and the
    // default message-box caption. By default the executable's name.
    const std::string& AppName() const { return appName_; }
    void SetAppName(std::string_view name);

    // The profile: HKCU\Software\<company>\<application name>.
    void SetRegistryKey(std::string_view company);
    const std::string& RegistryKey() const { return company_; }
    // Reads the recent-file list (at most maxRecent entries, 4 usually).
    void LoadStdProfileSettings(int maxRecent = 4);
    void SaveStdProfileSettings();
    CRecentFileList* RecentFiles() const { return recent_.get(); }
    void AddToRecentFileList(std::string_view path);
    // Profile values in a section (a sub-key of the application's key);
    // texts are GB2312. Reading gives fallback when the value is missing;
    // writing is false when the key cannot be written or no registry key is set.
    std::string ReadProfileText(std::string_view section, std::string_view entry, std::string_view fallback = {}) const;
    bool WriteProfileText(std::string_view section, std::string_view entry, std::string_view value);
    int ReadProfileInt(std::string_view section, std::string_view entry, int fallback) const;
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value);
    // The application's key opened for reading or writing (null without a
    // registry key); the caller closes it.
    HKEY OpenAppKey(bool write) const;

private:
    std::unique_ptr<CFrameWnd> frame_;
    std::string appName_;
    std::string company_;
    std::unique_ptr<CRecentFileList> recent_;
    int exitCode_ = 0;
};

// The application object of the process (the last one constructed).
CWinApp* GetApp();

} // namespace fw
