#pragma once

#include "host/units/HostMtiSettings.h"
#include "platform/base/Unknown.h"

#include <memory>

namespace host {

// The host's configuration of analyzers: hands out the settings object through which a
// plug-in finds the serial port the host has configured for its module.
class HostMtiConfiguration : public plat::IUnknown {
public:
    std::shared_ptr<HostMtiSettings> Settings() const;
};

} // namespace host
