#include "win32/installer/DllSafety.h"

#include <windows.h>

namespace w32 {

bool RestrictDllSearchToSystemFolder()
{
    // Looked up at run time: older systems lack the function, and importing
    // it would keep the program from starting there at all.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    bool restricted = false;
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        restricted = setDefault && setDefault(kSearchSystem32);
    }
    SetDllDirectoryW(L"");
    return restricted;
}

} // namespace w32
