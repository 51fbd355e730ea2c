#pragma once
// The registry roots that setup scripts and the Start Menu lookup name.
#include "installer/package/Platform.h"

#include <windows.h>

namespace w32 {

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
