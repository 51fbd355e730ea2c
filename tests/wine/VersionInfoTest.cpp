// The version information of every shipped program, read under Wine the way
// the file's properties read it (GetFileVersionInfoW, VerQueryValueW): the
// project's version as numbers and as text, the product, the company, the
// copyright, a description and the file's own name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WindowProbe.h"

#ifndef RV_VERSION_W
#error RV_VERSION_W, RV_VERSION_MAJOR/MINOR/PATCH, RV_COMPANY_W, RV_COPYRIGHT_W and the program paths come from the build
#endif

namespace {

struct Program {
    const char* path;     // as the build names it
    const wchar_t* file;  // the name it is shipped under
    const wchar_t* product;
};
const Program kPrograms[] = {
    {RV_RELIEVO_EXE, L"Relievo.exe", L"Relievo"},
    {RV_CLI_EXE, L"relievo-cli.exe", L"Relievo"},
    {VELA_STUB_EXE, L"VelaInstall.exe", L"VelaInstall"},
    {VELA_UNINSTALLER_EXE, L"VelaUnInsApp.exe", L"VelaInstall"},
    {VELAPACK_EXE, L"velapack.exe", L"VelaInstall"},
    // The installer of Relievo is the stub with its package appended.
    {RV_SETUP_EXE, L"VelaInstall.exe", L"VelaInstall"},
};

class VersionInfo {
public:
    explicit VersionInfo(const std::wstring& path)
    {
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
        if (size == 0) return;
        block_.resize(size);
        if (!GetFileVersionInfoW(path.c_str(), 0, size, block_.data())) block_.clear();
    }
    bool Present() const { return !block_.empty(); }

    const VS_FIXEDFILEINFO* Fixed() const
    {
        void* data = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), L"\\", &data, &length) || length < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(data);
    }

    // The first translation the file lists, as the properties page picks it.
    std::wstring Translation() const
    {
        void* data = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &data, &length) || length < 4) return {};
        const WORD* pair = static_cast<const WORD*>(data);
        wchar_t text[16];
        swprintf(text, 16, L"%04x%04x", pair[0], pair[1]);
        return text;
    }

    // A text of the StringFileInfo block of that translation; "<none>" when missing.
    std::wstring Text(const wchar_t* name) const
    {
        const std::wstring key = L"\\StringFileInfo\\" + Translation() + L"\\" + name;
        void* data = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), key.c_str(), &data, &length) || length == 0) return L"<none>";
        return static_cast<const wchar_t*>(data);
    }

private:
    std::vector<unsigned char> block_;
};

TEST(VersionInfo, EveryProgramCarriesTheProjectVersion)
{
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.path);
        const VersionInfo info(probe::WindowsPath(program.path));
        ASSERT_TRUE(info.Present());

        const VS_FIXEDFILEINFO* fixed = info.Fixed();
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        const DWORD ms = MAKELONG(RV_VERSION_MINOR, RV_VERSION_MAJOR);
        const DWORD ls = MAKELONG(0, RV_VERSION_PATCH);
        EXPECT_EQ(fixed->dwFileVersionMS, ms);
        EXPECT_EQ(fixed->dwFileVersionLS, ls);
        EXPECT_EQ(fixed->dwProductVersionMS, ms);
        EXPECT_EQ(fixed->dwProductVersionLS, ls);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

        EXPECT_EQ(info.Translation(), L"080404b0"); // Chinese (PRC), Unicode
        EXPECT_EQ(info.Text(L"FileVersion"), RV_VERSION_W);
        EXPECT_EQ(info.Text(L"ProductVersion"), RV_VERSION_W);
        EXPECT_EQ(info.Text(L"ProductName"), program.product);
        EXPECT_EQ(info.Text(L"CompanyName"), RV_COMPANY_W);
        EXPECT_EQ(info.Text(L"LegalCopyright"), RV_COPYRIGHT_W);
        EXPECT_EQ(info.Text(L"OriginalFilename"), program.file);
        EXPECT_NE(info.Text(L"FileDescription"), L"<none>");
    }
}

TEST(VersionInfo, TheDescriptionsSayWhatEachProgramIs)
{
    // Chinese texts survive the resource compiler (UTF-8 sources).
    EXPECT_EQ(VersionInfo(probe::WindowsPath(RV_RELIEVO_EXE)).Text(L"FileDescription"),
              L"Relievo \u4e09\u7ef4\u7acb\u4f53\u56fe\u753b\u5bb6"); // 三维立体图画家
    EXPECT_EQ(VersionInfo(probe::WindowsPath(VELA_STUB_EXE)).Text(L"FileDescription"),
              L"VelaInstall \u5b89\u88c5\u7a0b\u5e8f"); // 安装程序
    EXPECT_EQ(VersionInfo(probe::WindowsPath(VELA_UNINSTALLER_EXE)).Text(L"FileDescription"),
              L"VelaInstall \u5378\u8f7d\u7a0b\u5e8f"); // 卸载程序
}

} // namespace
