#pragma once
// A package built from a description, failing the test (with velapack's
// reason) when the description is refused; and the script such a package
// carries behind its header, which several tests take apart or change.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"

namespace vela::test {

inline std::string BuildOrFail(const PackageDescription& d)
{
    std::string package, problem;
    EXPECT_TRUE(BuildPackage(d, package, problem)) << problem;
    return package;
}

// The script length the package's header gives.
inline std::size_t ScriptLength(const std::string& package)
{
    char header[kPackageHeaderSize] = {};
    package.copy(header, sizeof header);
    return static_cast<std::size_t>(ParsePackageHeader(header).scriptLength);
}

// The script as stored, right after the header.
inline std::string StoredScript(const std::string& package)
{
    return package.substr(kPackageHeaderSize, ScriptLength(package));
}

} // namespace vela::test
