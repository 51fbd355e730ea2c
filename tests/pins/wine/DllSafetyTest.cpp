// A DLL planted beside the program under the name of a system DLL the
// installer loads on demand is not loaded once the search is restricted.
// The planted copy (propsys.dll, built from PlantedDll.cpp: the shell loads
// it on demand for the special folders and shell execution the installer
// uses) lies beside this test program; a child run of the program without the restriction shows
// that the plant works.
#include "win32/installer/DllSafety.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

constexpr const wchar_t* kPlantedName = L"propsys.dll";

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

bool IsPlanted(HMODULE module) { return module && GetProcAddress(module, "RvPlantedDll") != nullptr; }

// Exit code of this program run with one argument: 1 when the planted DLL
// was loaded, 0 when the system's was, 2 when none was found.
DWORD RunChild(const wchar_t* argument)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + argument;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 99;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(DllSafety, APlantedDllIsLoadedOnlyWithoutTheRestriction)
{
    ASSERT_NE(GetFileAttributesW((ProgramFolder() + kPlantedName).c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted DLL must lie beside the test program";
    EXPECT_EQ(RunChild(L"--load-unrestricted"), 1u) << "without the restriction the plant is taken";
    const DWORD restricted = RunChild(L"--load-restricted");
    EXPECT_TRUE(restricted == 0 || restricted == 2) << restricted << ": with it only the system folder is searched";
}

TEST(DllSafety, TheCurrentFolderIsNoLongerSearched)
{
    ASSERT_TRUE(SetCurrentDirectoryW(ProgramFolder().c_str()));
    const DWORD restricted = RunChild(L"--load-restricted");
    EXPECT_TRUE(restricted == 0 || restricted == 2) << restricted;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2) {
        const std::string mode = argv[1];
        if (mode == "--load-restricted" || mode == "--load-unrestricted") {
            if (mode == "--load-restricted") w32::RestrictDllSearchToSystemFolder();
            HMODULE module = LoadLibraryW(kPlantedName);
            return module ? (IsPlanted(module) ? 1 : 0) : 2;
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
