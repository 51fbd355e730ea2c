#pragma once
// A package built from a description, failing the test (with velapack's
// reason) when the description is refused.
#include <gtest/gtest.h>

#include <string>

#include "installer/package/PackageWriter.h"

namespace vela::test {

inline std::string BuildOrFail(const PackageDescription& d)
{
    std::string package, problem;
    EXPECT_TRUE(BuildPackage(d, package, problem)) << problem;
    return package;
}

} // namespace vela::test
