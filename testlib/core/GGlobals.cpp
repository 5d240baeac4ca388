#include "testlib/core/GGlobals.h"

#include "host/interfaces/IPlugIn.h"
#include "platform/com/ServerEntryPoints.h"
#include "testlib/core/IZARVIKPlugIn.h"
#include "testlib/core/MMiscUtils.h"

#include <exception>

namespace ztest {

void GGlobals::SetPlugInPointer(const std::shared_ptr<host::IPlugIn>& ipi)
{
    if (!ipi) return;
    std::string id;
    try {
        id = ipi->ID();
    } catch (const std::exception&) {
        return; // a plug-in that cannot tell its ID is not ours
    }
    if (id != PlugInId) return;
    // Our plug-in entry always implements the lookup; one that does not is left unstored
    // rather than replacing a working pointer with nothing.
    auto plugIn = plat::QueryInterface<IZARVIKPlugIn>(ipi);
    if (plugIn) MMiscUtils::StorePlugInPointer(plugIn);
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::GGlobals, ztest::GGlobals::ProgId, ztest::GGlobals::ClassId)
