#pragma once
// The registry roots that setup scripts and the Start Menu lookup name.
#include "installer/package/Platform.h"

#include <windows.h>

namespace w32 {

// Packages are written for the 32-bit registry view, the one a 32-bit
// installer sees on 64-bit Windows. The keys the install writes ask for it
// explicitly: for the 32-bit programs it changes nothing, and a 64-bit build of
// this code (the Windows tests' build on machines without 32-bit support)
// writes the same keys. Reads of the system's own keys (the Shell Folders)
// keep the process's view, where the system keeps them.
inline constexpr REGSAM kPackageRegistryView = KEY_WOW64_32KEY;

inline HKEY RootKey(vela::RegistryRoot root)
{
    switch (root) {
    case vela::RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case vela::RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case vela::RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case vela::RegistryRoot::Users: return HKEY_USERS;
    case vela::RegistryRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
    }
    return HKEY_LOCAL_MACHINE;
}

} // namespace w32
