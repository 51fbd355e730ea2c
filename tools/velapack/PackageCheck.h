#pragma once
// The package check in words, for package authors: what the installer only
// refuses, velapack explains (which line, which item, which bytes).
#include <cstdint>
#include <string>

#include "installer/package/Package.h"
#include "installer/package/Platform.h"

namespace velapack {

// One sentence on the problem, without a final full stop; empty when there
// is none.
std::string DescribePackageProblem(const vela::PackageProblem& problem);

// The installer's check; false with the description of the first problem.
bool CheckPackage(vela::IBinaryFile& file, std::uint64_t packageOffset, std::string& problem);

} // namespace velapack
