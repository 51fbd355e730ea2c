// A tiny component for the registration tests: DllRegisterServer records the
// path of the module it was loaded from under
// HKEY_CURRENT_USER\Software\VelaEngineTest\Component, value "Registered".
#include <windows.h>

namespace {
HMODULE g_module = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Component", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return E_FAIL;
    const LONG rc = RegSetValueExW(key, L"Registered", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                                   static_cast<DWORD>((lstrlenW(path) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer()
{
    return RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Component") == ERROR_SUCCESS ? S_OK
                                                                                                      : E_FAIL;
}
