// Undo and redo in the real Relievo.exe under Wine, driven with the real
// mouse and keyboard (SendInput): three gestures painted in the drawing
// view, then Ctrl+Z, the edit menu's items (opened with Alt+E), Ctrl+Y. After each step
// the depth map is saved and must be the same bytes as relievo-cli paint
// makes from the gesture script cut at that step (the script with the same
// undo and redo lines). Screenshots of the edit menu and the save dialog
// (with its BMP and PNG choice) land in the test output folder.
#include "WindowProbe.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef RV_UNDO_SCRIPT
#error RV_UNDO_SCRIPT names the gesture script
#endif

namespace {

enum : UINT {
    kInit = 32771, kSave = 32772, kMakeDepthMap = 32775, kExit = 57665,
    kPaneFirst = 59648, kStatusBar = 59393, kSaveName = 1007, kSaveBmp = 1020, kSavePng = 1021,
};

struct Tool {
    const char* name;
    UINT command;
};
const Tool kTools[] = {{"filled-rect", 32814}, {"gradient-circle", 32817}, {"line", 32779}};

std::wstring Here()
{
    wchar_t path[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, path);
    return std::wstring(path) + L"\\";
}

bool WriteFile(const std::wstring& path, const std::string& text)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

class Undo : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        bin = probe::OwnFolder();
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        for (int i = 1; i <= 4; ++i) DeleteFileW((bin + L"sample\\wine-undo-" + std::to_wstring(i) + L".bmp").c_str());
        DeleteFileW((bin + L"sample\\wine-undo.png").c_str());
        app = probe::StartAndFindWindow(L"\"" + bin + L"Relievo.exe\"", L"RelievoFrame");
        frame = app.window;
        if (!frame) return;
        view = GetDlgItem(GetDlgItem(frame, kPaneFirst), kPaneFirst);
        status = GetDlgItem(frame, kStatusBar);
    }
    static void TearDownTestSuite()
    {
        if (!frame) return;
        PostMessageW(frame, WM_COMMAND, kExit, 0);
        probe::WaitForExit(app);
    }
    void SetUp() override { ASSERT_NE(frame, nullptr) << "Relievo.exe showed no frame"; }

    static void Idle()
    {
        Sleep(100); // input the system still holds reaches the program
        DWORD_PTR result;
        SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        SendMessageTimeoutW(view, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
    }
    static void Command(UINT id)
    {
        SendMessageW(frame, WM_COMMAND, id, 0);
        Idle();
    }
    // A visible window of the program of this class and title ("" for a
    // menu, which has none).
    static HWND Top(const wchar_t* cls, const std::wstring& title = {})
    {
        return probe::WaitForWindowOf(app.process.dwProcessId, title, 10000, cls);
    }
    static void ClickAt(POINT screen)
    {
        EXPECT_TRUE(probe::ClickAt(screen));
        Idle();
    }
    // The frame in front with the keyboard: a click on its status bar,
    // where a click does nothing else.
    static void Activate() { ClickAt(probe::Middle(status)); }
    // One line of the gesture script, done with the mouse.
    static void Step(const std::string& line)
    {
        std::istringstream in(line);
        std::string word, a, b;
        in >> word >> a >> b;
        if (word.empty() || word[0] == '#') return;
        if (word == "tool") {
            for (const Tool& t : kTools)
                if (a == t.name) return Command(t.command);
            FAIL() << line;
        }
        ASSERT_TRUE(probe::MoveMouse(probe::OnScreen(view, std::stoi(a), std::stoi(b))));
        Sleep(30);
        if (word == "down" || word == "up") {
            ASSERT_TRUE(probe::MouseButton(word == "down"));
        }
        Idle();
    }
    // Saves the depth map as sample\<name>.bmp through the save dialog.
    static void Save(const std::wstring& name, const char* shot = nullptr, bool png = false)
    {
        PostMessageW(frame, WM_COMMAND, kSave, 0);
        HWND dlg = Top(L"#32770", L"\u4fdd\u5b58\u7ed3\u679c"); // 保存结果
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(SendMessageW(GetDlgItem(dlg, kSaveBmp), BM_GETCHECK, 0, 0), BST_CHECKED);
        SendMessageW(GetDlgItem(dlg, kSaveName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (png) ClickAt(probe::Middle(GetDlgItem(dlg, kSavePng)));
        if (shot) {
            Sleep(300);
            EXPECT_TRUE(probe::TakeWindowPicture(dlg, shot));
        }
        ClickAt(probe::Middle(GetDlgItem(dlg, IDOK)));
        for (int i = 0; i < 100 && IsWindow(dlg); ++i) Sleep(50);
        EXPECT_FALSE(IsWindow(dlg)) << "the click on OK left the save dialog open";
        Idle();
    }
    // relievo-cli's depth map for the script followed by `tail`, against
    // the saved file.
    static void ExpectSameAsCli(const std::wstring& saved, const std::string& tail)
    {
        std::ifstream in(RV_UNDO_SCRIPT, std::ios::binary);
        std::string script((std::istreambuf_iterator<char>(in)), {});
        const std::wstring cut = Here() + L"undo-cut.txt";
        ASSERT_TRUE(WriteFile(cut, script + tail));
        const std::wstring expected = Here() + L"undo-expected.bmp";
        ASSERT_TRUE(probe::RunRelievoCli(L"paint --width 700 --height 600 --script \"" + cut + L"\" --out \"" + expected + L"\""));
        const std::vector<unsigned char> got = probe::ReadFileBytes(saved), want = probe::ReadFileBytes(expected);
        ASSERT_FALSE(got.empty()) << "nothing saved";
        EXPECT_TRUE(got == want) << "the depth map after \"" << tail << "\" differs from relievo-cli's";
    }
    static std::wstring Sample(int i) { return bin + L"sample\\wine-undo-" + std::to_wstring(i) + L".bmp"; }
    // The status bar's message pane (a status bar answers WM_GETTEXT with
    // its first pane, which the system carries across processes).
    static std::wstring StatusText()
    {
        wchar_t text[256] = {};
        DWORD_PTR got = 0;
        SendMessageTimeoutW(status, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &got);
        return text;
    }

    static inline probe::Started app;
    static inline HWND frame = nullptr, view = nullptr, status = nullptr;
    static inline std::wstring bin;
};

TEST_F(Undo, PaintsUndoesAndRedoesLikeRelievoCli)
{
    Command(kInit);
    Command(kMakeDepthMap);
    Activate();
    std::ifstream script(RV_UNDO_SCRIPT);
    ASSERT_TRUE(script.good());
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Step(line);
        if (HasFatalFailure()) return;
    }
    ASSERT_TRUE(probe::MoveMouse(probe::Middle(status)));
    Idle();

    // Ctrl+Z: the line goes.
    Activate();
    ASSERT_TRUE(probe::PressKey('Z', VK_CONTROL));
    Idle();
    Save(L"wine-undo-1");
    ExpectSameAsCli(Sample(1), "undo\n");

    // The edit menu, opened from the keyboard (Alt+E) with its first item,
    // "撤消", highlighted: the prompt says what undo would undo, and Enter
    // runs it (a disabled item would not run): the gradient circle goes.
    Activate();
    ASSERT_TRUE(probe::PressKey('E', VK_MENU));
    HWND popup = Top(L"#32768");
    ASSERT_NE(popup, nullptr) << "the edit menu did not open";
    Idle();
    Sleep(300);
    EXPECT_EQ(StatusText(), L"\u64a4\u6d88\uff1a\u6e10\u53d8\u5706"); // 撤消：渐变圆
    EXPECT_TRUE(probe::TakeWindowPicture(popup, "undo-edit-menu"));
    EXPECT_TRUE(probe::TakeWindowPicture(frame, "undo-edit-menu-frame"));
    ASSERT_TRUE(probe::PressKey(VK_RETURN));
    for (int i = 0; i < 100 && IsWindowVisible(popup); ++i) Sleep(50);
    EXPECT_FALSE(IsWindowVisible(popup)) << "Enter left the edit menu open";
    Idle();
    Save(L"wine-undo-2");
    ExpectSameAsCli(Sample(2), "undo\nundo\n");

    // "重做" from the menu (the second item), then Ctrl+Y.
    Activate();
    ASSERT_TRUE(probe::PressKey('E', VK_MENU));
    popup = Top(L"#32768");
    ASSERT_NE(popup, nullptr);
    Idle();
    ASSERT_TRUE(probe::PressKey(VK_DOWN));
    Idle();
    Sleep(200);
    EXPECT_EQ(StatusText(), L"\u91cd\u505a\uff1a\u6e10\u53d8\u5706"); // 重做：渐变圆
    ASSERT_TRUE(probe::PressKey(VK_RETURN));
    for (int i = 0; i < 100 && IsWindowVisible(popup); ++i) Sleep(50);
    EXPECT_FALSE(IsWindowVisible(popup)) << "Enter left the edit menu open";
    Idle();
    Save(L"wine-undo-3");
    ExpectSameAsCli(Sample(3), "undo\nundo\nredo\n");
    Activate();
    ASSERT_TRUE(probe::PressKey('Y', VK_CONTROL));
    Idle();
    Save(L"wine-undo-4", "undo-save-dialog");
    ExpectSameAsCli(Sample(4), "undo\nundo\nredo\nredo\n");

    // The same picture as PNG, chosen in the dialog with the mouse.
    Save(L"wine-undo", "undo-save-dialog-png", true);
    const std::vector<unsigned char> png = probe::ReadFileBytes(bin + L"sample\\wine-undo.png");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    // Read back by relievo-cli (an empty script) as a BMP: the same bytes.
    ASSERT_TRUE(WriteFile(Here() + L"empty-script.txt", ""));
    ASSERT_TRUE(probe::RunRelievoCli(L"paint --depth \"" + bin + L"sample\\wine-undo.png\" --script \"" + Here() +
                       L"empty-script.txt\" --out \"" + Here() + L"undo-png-back.bmp\""));
    EXPECT_TRUE(probe::ReadFileBytes(Here() + L"undo-png-back.bmp") == probe::ReadFileBytes(Sample(4))) << "the PNG holds other pixels";
}

} // namespace
