// Placeholder until the painting tools land; replaced by the paint command.
#include "Commands.h"

#include <cstdio>

namespace rvcli {
int RunPaint(const Args&)
{
    std::fputs("relievo-cli: paint is not available in this build\n", stderr);
    return 2;
}
} // namespace rvcli
