#pragma once
// The package builder's plain description: one "key = value" per line (see
// docs/velapack.md), turned into a PackageDescription with the stored files
// read from disk.
#include <string>
#include <string_view>
#include <vector>

#include "installer/package/PackageWriter.h"
#include "installer/package/Platform.h"

namespace velapack {

// Parses a description. Relative file names are taken from baseFolder and
// read through files. False with "line N: reason" (or a plain reason) in
// problem.
bool ParseDescription(std::string_view text, const std::string& baseFolder, vela::IPlatform& files,
                      vela::PackageDescription& description, std::string& problem);

// Folders the installer would need but the description does not create:
// the folder of each stored file and the program group must be a bare macro
// folder or be listed as a directory (the copy step creates no folders).
std::vector<std::string> MissingFolders(const vela::PackageDescription& description);

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(vela::IPlatform& files, const std::string& path, std::string& bytes);

// Files over the C library (paths handed to fopen unchanged), for the native
// tool and the tests; the platform's other services answer nothing.
vela::IPlatform& StdioFiles();

} // namespace velapack
