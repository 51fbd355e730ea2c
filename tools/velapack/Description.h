#pragma once
// The package builder's plain description: one "key = value" per line (see
// docs/velapack.md), turned into a PackageDescription with the stored files
// read from disk.
#include <string>
#include <string_view>

#include "installer/package/PackageWriter.h"

namespace velapack {

// Parses a description. Relative file names are taken from baseFolder.
// False with "line N: reason" (or a plain reason) in problem.
bool ParseDescription(std::string_view text, const std::string& baseFolder, vela::PackageDescription& description,
                      std::string& problem);

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace velapack
