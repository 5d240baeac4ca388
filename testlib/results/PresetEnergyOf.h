#pragma once

#include "host/interfaces/IConfigData.h"
#include "platform/base/Variant.h"

#include <memory>

namespace ztest {

// The preset energy of a configuration record of the class Config, as the preset value of an
// energy measurement (a Single); Empty when there is no record or it is of another class.
template <class Config>
plat::Variant PresetEnergyOf(const std::shared_ptr<host::IConfigData>& configuration)
{
    const std::shared_ptr<Config> config = std::dynamic_pointer_cast<Config>(configuration);
    return config ? plat::Variant(config->GetPresetEnergy()) : plat::Variant();
}

} // namespace ztest
