// The entry point of the installer's programs, in place of the MinGW start-up
// files. Those set up what these programs never use: runtime pseudo
// relocations (the link refuses them, -Wl,--disable-runtime-pseudo-reloc),
// thread-local storage callbacks, command-line globbing into argv, the
// unwinder's frame registration, and an exit through the C runtime's exit
// table. The C library is msvcrt.dll, which initialises itself when it is
// loaded, so the programs call it directly. What is left to do here: run the
// static constructors, call WinMain, run the exit handlers and end the
// process with WinMain's result.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// The linker lays out the static constructors in one table: a -1, the
// constructors' addresses, a 0. They run last to first, as the MinGW
// start-up runs them.
using Constructor = void (*)();
extern "C" Constructor __CTOR_LIST__[];

void RunStaticConstructors()
{
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    for (std::size_t i = count; i > 0; --i) __CTOR_LIST__[i]();
}

// The command line after the program's name, as the C runtime hands it to
// WinMain (the programs read theirs with GetCommandLineW, but WinMain gets
// the usual arguments all the same): the name is quoted or ends at a blank,
// and blanks after it are skipped.
LPSTR CommandTail()
{
    LPSTR text = GetCommandLineA();
    if (*text == '"') {
        ++text;
        while (*text != '\0' && *text != '"') ++text;
        if (*text == '"') ++text;
    } else {
        while (*text != '\0' && *text != ' ' && *text != '\t') ++text;
    }
    while (*text == ' ' || *text == '\t') ++text;
    return text;
}

// Exit handlers (destructors of static objects, the runtime's own), kept
// here because the C runtime's table belongs to the start-up files: the
// first registered runs last.
using ExitHandler = void (*)();
ExitHandler exitHandlers[32];
std::size_t exitHandlerCount = 0;

void RunExitHandlers()
{
    while (exitHandlerCount > 0) exitHandlers[--exitHandlerCount]();
}

// This file is compiled without link-time optimisation, so the linker sees
// its references before it optimises the rest of the program. The C library
// functions below are ones the compiler calls on its own (copies, compares,
// allocation of its built-in forms): with the start-up files gone, the first
// reference to one of them could appear only in the optimised code, and the
// linker (binutils 2.40) crashes when it loads an import from the C library
// that late. The table itself is dropped (nothing reads it); each import it
// keeps costs some twenty bytes, used or not.
using SearchBytes = void* (*)(const void*, int, std::size_t);
using SearchText = char* (*)(const char*, int);
struct CLibraryImports {
    decltype(&std::malloc) malloc;
    decltype(&std::calloc) calloc;
    decltype(&std::realloc) realloc;
    decltype(&std::free) free;
    decltype(&std::abort) abort;
    decltype(&std::memcpy) memcpy;
    decltype(&std::memmove) memmove;
    decltype(&std::memset) memset;
    decltype(&std::memcmp) memcmp;
    SearchBytes memchr;
    decltype(&std::strlen) strlen;
    decltype(&std::strcmp) strcmp;
    decltype(&std::strncmp) strncmp;
    SearchText strchr;
    SearchText strrchr;
    decltype(&std::strcpy) strcpy;
    decltype(&std::strncpy) strncpy;
    decltype(&std::wcslen) wcslen;
    decltype(&std::wcscmp) wcscmp;
};
[[gnu::used]] constexpr CLibraryImports cLibraryImports{
    &std::malloc, &std::calloc, &std::realloc, &std::free,    &std::abort,   &std::memcpy,  &std::memmove,
    &std::memset, &std::memcmp, &std::memchr,  &std::strlen,  &std::strcmp,  &std::strncmp, &std::strchr,
    &std::strrchr, &std::strcpy, &std::strncpy, &std::wcslen, &std::wcscmp,
};

} // namespace

extern "C" int atexit(ExitHandler handler)
{
    if (exitHandlerCount == sizeof exitHandlers / sizeof exitHandlers[0]) return -1;
    exitHandlers[exitHandlerCount++] = handler;
    return 0;
}

// The linker's default entry point of a Windows program; nothing in the
// program calls it. The system enters with a stack aligned to 4 bytes only;
// the code the compiler makes for SSE may keep 16-byte data on the stack.
extern "C" __attribute__((used, force_align_arg_pointer, noreturn)) void WinMainCRTStartup()
{
    RunStaticConstructors();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    const int result = WinMain(GetModuleHandleW(nullptr), nullptr, CommandTail(), show);
    RunExitHandlers();
    ExitProcess(static_cast<UINT>(result));
}
