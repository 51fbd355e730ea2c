#pragma once
// Keeps DLLs planted beside the installer (a downloads folder holds anything)
// from being loaded into it: DLLs are looked up in the system folder only.

namespace w32 {

// Makes the system folder the only place LoadLibrary looks for DLLs named
// without a path (SetDefaultDllDirectories with LOAD_LIBRARY_SEARCH_SYSTEM32)
// and takes the current folder out of the search (SetDllDirectoryW with an
// empty text). Called first thing at start-up, before any DLL is loaded on
// demand. False when the system has no SetDefaultDllDirectories (Windows 7
// without its update); the current folder is then still taken out.
bool RestrictDllSearchToSystemFolder();

} // namespace w32
