// A tiny component for the registration tests: DllRegisterServer records
// under HKEY_CURRENT_USER\Software\VelaEngineTest\Component the path of the
// module it was loaded from ("Registered"), the program that loaded it
// ("Host") and whether that program runs as 32-bit on 64-bit Windows
// ("Wow64", "1" or "0").
#include <windows.h>

namespace {
HMODULE g_module = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

namespace {
LONG SetText(HKEY key, const wchar_t* name, const wchar_t* text)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
}
} // namespace

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    wchar_t host[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, host, MAX_PATH);
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Component", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return E_FAIL;
    LONG rc = SetText(key, L"Registered", path);
    if (rc == ERROR_SUCCESS) rc = SetText(key, L"Host", host);
    if (rc == ERROR_SUCCESS) rc = SetText(key, L"Wow64", wow64 ? L"1" : L"0");
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer()
{
    return RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Component") == ERROR_SUCCESS ? S_OK
                                                                                                      : E_FAIL;
}
