#include "installer/package/InstallContext.h"

namespace vela {

InstallContext& TheInstallContext()
{
    static InstallContext context;
    return context;
}

} // namespace vela
