// The Win32 file opener under Wine: GB2312 paths with Chinese names are
// opened, renamed over existing files and removed through the wide functions.
#include "win32/platform/PainterFiles.h"

#include "painter/image/DibImage.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// 立体图.bmp and 旧图.bmp in GB2312.
const std::string kNewName = "\xC1\xA2\xCC\xE5\xCD\xBC.bmp";
const std::string kOldName = "\xBE\xC9\xCD\xBC.bmp";

class Win32Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        folder = std::wstring(temp) + L"rv-win32-files";
        CreateDirectoryW(folder.c_str(), nullptr);
        rv::SetFileOpener(&opener);
    }
    void TearDown() override
    {
        rv::SetFileOpener(nullptr);
        for (const auto& name : {kNewName, kOldName}) DeleteFileW(Wide(name).c_str());
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring Wide(const std::string& name) const
    {
        // Chinese names made here with the wide API directly, independent of
        // the opener's conversion.
        std::wstring wide(name.size(), L'\0');
        const int n = MultiByteToWideChar(936, 0, name.data(), static_cast<int>(name.size()), wide.data(),
                                          static_cast<int>(wide.size()));
        wide.resize(static_cast<std::size_t>(n));
        return folder + L"\\" + wide;
    }
    std::string Path(const std::string& name) const
    {
        const std::wstring full = Wide(name);
        std::string narrow(full.size() * 2, '\0');
        const int n = WideCharToMultiByte(936, 0, full.data(), static_cast<int>(full.size()), narrow.data(),
                                          static_cast<int>(narrow.size()), nullptr, nullptr);
        narrow.resize(static_cast<std::size_t>(n));
        return narrow;
    }
    bool Exists(const std::string& name) const { return GetFileAttributesW(Wide(name).c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring folder;
    w32::CWin32FileOpener opener;
};

TEST_F(Win32Files, PicturesRoundTripUnderChineseNames)
{
    rv::CDibImage img;
    ASSERT_TRUE(img.Create(5, 4));
    img.SetPixel(2, 1, 0x123456);
    ASSERT_TRUE(img.SaveBmp(Path(kNewName)));
    EXPECT_TRUE(Exists(kNewName));
    rv::CDibImage back;
    ASSERT_TRUE(back.LoadBmp(Path(kNewName)));
    EXPECT_EQ(back.GetPixel(2, 1), 0x123456u);
    EXPECT_FALSE(back.LoadBmp(Path(kOldName)));
}

TEST_F(Win32Files, RenameReplacesAndRemoveDeletes)
{
    for (const auto& [name, text] : {std::pair{kNewName, "new"}, {kOldName, "old"}}) {
        std::FILE* f = rv::OpenFile(Path(name), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
    }
    ASSERT_TRUE(rv::RenameFile(Path(kNewName), Path(kOldName)));
    EXPECT_FALSE(Exists(kNewName));
    std::FILE* f = rv::OpenFile(Path(kOldName), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer - 1, f), 3u);
    std::fclose(f);
    EXPECT_STREQ(buffer, "new");

    EXPECT_FALSE(rv::RenameFile(Path(kNewName), Path(kOldName))); // nothing to move
    EXPECT_TRUE(rv::RemoveFile(Path(kOldName)));
    EXPECT_FALSE(Exists(kOldName));
    EXPECT_FALSE(rv::RemoveFile(Path(kOldName)));
    EXPECT_EQ(opener.Open("", "rb"), nullptr);
}

} // namespace
