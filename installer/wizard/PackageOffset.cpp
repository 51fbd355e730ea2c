// The stub's package offset, in a slot that velapack and the tests find by
// its tag.
#include "installer/wizard/PackageOffset.h"

namespace vela {
extern const volatile PackageOffsetSlot kPackageOffsetSlot = {"VelaPackageOfs=", kPackageOffset};
} // namespace vela
