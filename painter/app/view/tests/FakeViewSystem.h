#pragma once
// A platform of the tests' own for the drawing view and the tile picker: the
// window (repaints, scroll sizes, cursors, the client area, the 3D-feel
// display), the dialogs (answered from a queue, every run recorded), the
// file-open dialog, message boxes, and a disk. The painter's Windows paths
// ("C:\Relievo\back\b1.bmp", ".\sample\a.bmp") map into a temporary folder;
// relative ones go through the current folder the fake keeps. Beside it, the
// pictures and players the view tests start from.
#include "painter/app/view/DrawingView.h"
#include "painter/app/view/PaintScript.h"
#include "painter/app/view/ViewPlatform.h"
#include "painter/image/DibImage.h"
#include "painter/image/Platform.h"
#include "painter/painting/MemorySurface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace rv::testing {

class FakeViewSystem final : public IViewHost, public IViewPlatform, public IFileOpener, public IMessageBox {
public:
    FakeViewSystem()
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::random_device random;
        root = std::filesystem::temp_directory_path() /
               ("rv-view-" + std::string(test ? test->name() : "test") + "-" + std::to_string(random() % 1000000));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        SetFileOpener(this);
        SetMessageBox(this);
    }
    ~FakeViewSystem() override
    {
        SetFileOpener(nullptr);
        SetMessageBox(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    FakeViewSystem(const FakeViewSystem&) = delete;
    FakeViewSystem& operator=(const FakeViewSystem&) = delete;

    // ---- the disk
    std::filesystem::path Native(const std::string& path) const
    {
        std::string full = path;
        if (full.rfind(".\\", 0) == 0) full = currentFolder + full.substr(1);
        else if (full.size() < 2 || full[1] != ':') full = currentFolder + "\\" + full;
        std::filesystem::path native = root / std::string(1, full[0]);
        std::size_t start = 2;
        while (start <= full.size()) {
            std::size_t end = full.find('\\', start);
            if (end == std::string::npos) end = full.size();
            if (end > start) native /= full.substr(start, end - start);
            start = end + 1;
        }
        return native;
    }
    void MakeFolder(const std::string& path) const { std::filesystem::create_directories(Native(path)); }
    bool Exists(const std::string& path) const { return std::filesystem::exists(Native(path)); }
    std::FILE* Open(const std::string& path, const char* mode) override
    {
        return std::fopen(Native(path).string().c_str(), mode);
    }
    // A picture saved through the core's own writer.
    void WriteBmp(const std::string& path, const CDibImage& image) { ASSERT_TRUE(image.SaveBmp(path)) << path; }
    void WriteBytes(const std::string& path, const std::string& bytes)
    {
        std::FILE* f = Open(path, "wb");
        ASSERT_NE(f, nullptr) << path;
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    // ---- message boxes
    void Show(std::string_view text) override { messages.emplace_back(text); }

    // ---- the window
    void Invalidate() override { ++invalidated; }
    void BeginWaitCursor() override { ++waitCursors, waiting = true; }
    void EndWaitCursor() override { waiting = false; }
    void SetScrollSizes(int width, int height) override { scrollSizes = {width, height}; }
    void SetArrowCursor() override { ++arrowCursors; }
    void DrawOnClient(const std::function<void(IPaintSurface&)>& draw) override { draw(client); }
    bool ReadFeelDisplay(std::string& text) override
    {
        if (!hasFeelDisplay) return false;
        text = feelDisplay;
        return true;
    }
    void WriteFeelDisplay(const std::string& text) override { feelDisplay = text; }

    // ---- the platform
    std::string ModuleFileName() override { return moduleFileName; }
    bool SetCurrentFolder(const std::string& folder) override
    {
        folderChanges.push_back(folder);
        currentFolder = folder;
        return true;
    }
    enum class Dialog { Settings, SaveResult, SaveSample };
    struct DialogRun {
        Dialog dialog;
        int width = 0, height = 0; // the size the settings dialog showed
    };
    struct Answer {
        bool ok;
        int width = 0, height = 0;
        std::string name;
        bool png = false;
    };
    bool AskPictureSize(int& width, int& height) override
    {
        dialogs.push_back({Dialog::Settings, width, height});
        const Answer answer = NextAnswer();
        if (answer.ok) width = answer.width, height = answer.height;
        return answer.ok;
    }
    bool AskSaveName(bool stereogram, std::string& name, bool& png) override
    {
        dialogs.push_back({stereogram ? Dialog::SaveResult : Dialog::SaveSample});
        formatsOffered.push_back(png ? "png" : "bmp");
        const Answer answer = NextAnswer();
        if (answer.ok) {
            name = answer.name;
            png = answer.png;
        }
        return answer.ok;
    }
    Answer NextAnswer()
    {
        if (answers.empty()) return {false, 0, 0, {}};
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void AnswerSize(int width, int height) { answers.push_back({true, width, height, {}}); }
    void AnswerName(std::string name, bool png = false) { answers.push_back({true, 0, 0, std::move(name), png}); }
    void AnswerCancel() { answers.push_back({false, 0, 0, {}}); }
    OpenFileChoice ChooseFileToOpen(const OpenFileRequest& request) override
    {
        openRequests.push_back(request);
        if (!folderAfterOpenDialog.empty()) currentFolder = folderAfterOpenDialog;
        if (chosenPathUnusable) return {std::string(), true};
        return {fileToOpen, false};
    }

    std::filesystem::path root;
    std::string moduleFileName = "C:\\Relievo\\Relievo.exe";
    std::string currentFolder = "C:\\";
    std::vector<std::string> folderChanges;
    std::vector<std::string> messages;
    int invalidated = 0;
    int waitCursors = 0;
    bool waiting = false; // a wait cursor is up
    int arrowCursors = 0;
    Point scrollSizes{-1, -1};
    CMemorySurface client{300, 300};
    bool hasFeelDisplay = true;
    std::string feelDisplay = "15";
    std::vector<DialogRun> dialogs;
    std::vector<std::string> formatsOffered; // the format each save dialog opened with
    std::deque<Answer> answers;
    std::vector<OpenFileRequest> openRequests;
    std::string fileToOpen;
    bool chosenPathUnusable = false; // the user chose a file GB2312 cannot name
    std::string folderAfterOpenDialog;
};

// A picture whose every pixel differs from its neighbours: pixel (x, y) has
// red x, green y and blue seed (all modulo 250, never white).
inline void Pattern(CDibImage& image, int width, int height, int seed)
{
    ASSERT_TRUE(image.Create(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixel(x, y, static_cast<Colour>(x % 250) | static_cast<Colour>(y % 250) << 8 |
                                     static_cast<Colour>(seed % 250) << 16);
}

// A BMP file of 8 bits a pixel, width x height, as bytes.
inline std::string EightBitBmp(int width, int height)
{
    std::string bytes(14 + 40 + 4 * 256 + 4 * height, '\0');
    bytes[0] = 'B', bytes[1] = 'M', bytes[14] = 40;
    bytes[18] = static_cast<char>(width), bytes[22] = static_cast<char>(height), bytes[26] = 1, bytes[28] = 8;
    return bytes;
}

// A script player on a white depth map of width x height.
inline std::unique_ptr<CPaintScriptPlayer> BlankPlayer(int width, int height)
{
    auto depth = std::make_unique<CDibImage>();
    EXPECT_TRUE(depth->Create(width, height));
    return std::make_unique<CPaintScriptPlayer>(std::move(depth));
}

} // namespace rv::testing
