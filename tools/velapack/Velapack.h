#pragma once
// velapack: builds an installer (the stub followed by a package) from a plain
// description, and lists, verifies or unpacks an existing installer.
#include <cstdint>
#include <string>
#include <vector>

#include "installer/package/Platform.h"
#include "installer/wizard/PackageOffset.h"
#include "tools/velapack/TextEncoding.h"

namespace velapack {

// Where an installer's package is looked for when its stub carries no
// tagged offset and none is given: the stub's package offset.
inline constexpr std::uint64_t kDefaultPackageOffset = vela::kPackageOffset;

// Runs one command line (arguments without the program name). Output goes
// to out, diagnostics to err; the result is the process exit code (0 done,
// 1 refused or damaged, 2 wrong usage).
// Files are read and written through files: the W functions in the Windows
// tool, the C library natively (the overload without it).
// The texts of a description and of a package (names, folders, captions,
// the notes and problems that quote them) are GB2312 and are written in the
// display encoding, bytes that are no GB2312 character escaped (ForDisplay);
// the paths given on the command line are echoed as they were given.
int Run(const std::vector<std::string>& args, vela::IPlatform& files, std::string& out, std::string& err,
        DisplayEncoding display = DisplayEncoding::Utf8);
int Run(const std::vector<std::string>& args, std::string& out, std::string& err,
        DisplayEncoding display = DisplayEncoding::Utf8);

} // namespace velapack
