// The painter's help loads the HTML Help viewer (hhctrl.ocx) from the system
// folder only. A copy planted beside the program, which is also the current
// folder (PlantedDll.cpp built as hhctrl.ocx), must never be loaded, even when
// the viewer's class entry names no usable file (a broken registration, or
// one pointed at the copy). The test changes that entry in its own Wine prefix
// for the length of a child's run and puts it back. Children of this program open the help as
// the painter does and report which viewer came in; a child that loads by
// the bare name shows that the plant works.
#include "painter/app/Help.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

constexpr const wchar_t* kViewerName = L"hhctrl.ocx";
constexpr const wchar_t* kViewerEntry = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

bool IsPlanted(HMODULE module) { return module && GetProcAddress(module, "RvPlantedDll") != nullptr; }

// 1 when the planted viewer is loaded, 0 when another one is, 2 when none is.
int LoadedViewer()
{
    HMODULE module = GetModuleHandleW(kViewerName);
    return module ? (IsPlanted(module) ? 1 : 0) : 2;
}

// Exit code of this program run with one argument (99: it did not run).
DWORD RunChild(const wchar_t* argument)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + argument;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, ProgramFolder().c_str(), &startup,
                        &process))
        return 99;
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 98);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// The viewer's class entry (the one a class-id lookup reads) naming
// `server` for as long as the object lives; the entry it had comes back.
class ViewerEntry {
public:
    explicit ViewerEntry(const std::wstring& server)
    {
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kViewerEntry, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                            &key_, &disposition) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        created_ = disposition == REG_CREATED_NEW_KEY;
        wchar_t old[MAX_PATH] = {};
        DWORD size = sizeof old - sizeof(wchar_t);
        DWORD type = 0;
        had_ = RegQueryValueExW(key_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        if (had_) old_.assign(old), oldType_ = type;
        made_ = Set(REG_SZ, server);
    }
    ~ViewerEntry()
    {
        if (!key_) return;
        if (had_) Set(oldType_, old_);
        else RegDeleteValueW(key_, nullptr);
        RegCloseKey(key_);
        if (created_) RegDeleteKeyW(HKEY_CLASSES_ROOT, kViewerEntry);
    }
    ViewerEntry(const ViewerEntry&) = delete;
    ViewerEntry& operator=(const ViewerEntry&) = delete;
    bool Made() const { return made_; }

private:
    bool Set(DWORD type, const std::wstring& text)
    {
        return RegSetValueExW(key_, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    HKEY key_ = nullptr;
    bool created_ = false;
    bool had_ = false;
    bool made_ = false;
    DWORD oldType_ = REG_SZ;
    std::wstring old_;
};

// Windows looks beside the program first for a DLL named without a folder
// (hhctrl.ocx is no known DLL); Wine prefers its own built-in copy unless its
// DLL overrides say otherwise. While this object lives the children are told
// to search as Windows does (the key means nothing to Windows itself).
class SearchLikeWindows {
public:
    SearchLikeWindows()
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        const wchar_t order[] = L"native,builtin";
        made_ = RegSetValueExW(key, kViewerName, 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order) ==
                ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~SearchLikeWindows()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kOverrides, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        RegDeleteValueW(key, kViewerName);
        RegCloseKey(key);
    }
    SearchLikeWindows(const SearchLikeWindows&) = delete;
    SearchLikeWindows& operator=(const SearchLikeWindows&) = delete;
    bool Made() const { return made_; }

private:
    static constexpr const wchar_t* kOverrides = L"Software\\Wine\\DllOverrides";
    bool made_ = false;
};

TEST(HelpViewerSafety, APlantedViewerBesideTheProgramIsNeverLoaded)
{
    const SearchLikeWindows windows;
    ASSERT_TRUE(windows.Made());
    const std::wstring planted = ProgramFolder() + kViewerName;
    ASSERT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted viewer must lie beside the test program";
    ASSERT_EQ(RunChild(L"--load-bare"), 1u) << "loaded by its bare name, the plant is taken";

    EXPECT_NE(RunChild(L"--open-help"), 1u) << "with the system's registration";
    {
        ViewerEntry broken(L"C:\\nowhere\\hhctrl.ocx");
        ASSERT_TRUE(broken.Made());
        EXPECT_NE(RunChild(L"--open-help"), 1u) << "a registration naming no file must not fall back to the bare name";
    }
    {
        ViewerEntry hijacked(planted);
        ASSERT_TRUE(hijacked.Made());
        EXPECT_NE(RunChild(L"--open-help"), 1u) << "a registration naming the copy must not be followed";
    }
}

TEST(HelpViewerSafety, TheViewerComesFromTheSystemFolder)
{
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    EXPECT_EQ(HelpViewerPath(), std::wstring(system) + L"\\hhctrl.ocx");
    EXPECT_EQ(HelpFilePath(L"C:\\Relievo"), L"C:\\Relievo\\readme.chm");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2) {
        const std::string mode = argv[1];
        if (mode == "--load-bare") {
            LoadLibraryW(kViewerName);
            return LoadedViewer();
        }
        if (mode == "--open-help") {
            // The painter's current folder is its own folder, where the copy lies.
            SetCurrentDirectoryW(ProgramFolder().c_str());
            OpenHelpFile();
            return LoadedViewer();
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
