// A DLL planted beside a program under the name of a system DLL. It exports
// one function the real one does not have, so a test can tell which was loaded.
#include <windows.h>

extern "C" __declspec(dllexport) int RvPlantedDll() { return 42; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
