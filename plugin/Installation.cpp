#include "plugin/Installation.h"

#include "host/documents/HostRegistry.h"
#include "host/documents/HostUtilities.h"
#include "platform/com/ComRuntime.h"
#include "plugin/CZARVIKSetup.h"

#include <exception>

namespace zplugin {

std::string ResourceFolder() { return host::HostUtilities::NormalizeFolder(ZARVIK_RESOURCE_DIR); }

std::string ShippedCataloguePath() { return ResourceFolder() + CZARVIKSetup::CatalogueFileName; }

int32_t InstallSettings()
{
    try {
        host::HostRegistry registry;
        registry.CreateKey(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);
        if (!registry.ValueExists(CZARVIKSetup::ValueConfiguration)) {
            registry.SetStringValue(CZARVIKSetup::ValueConfiguration, ShippedCataloguePath());
        }
        return plat::S_OK;
    } catch (const plat::ComError& error) {
        plat::SetErrorInfo(error);
    } catch (const std::exception& error) {
        plat::SetErrorInfo(plat::ComError(plat::E_FAIL_CODE, CZARVIKSetup::Source, error.what()));
    }
    return plat::E_FAIL_CODE;
}

} // namespace zplugin
