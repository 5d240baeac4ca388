#include "host/units/HostMtiConfiguration.h"

namespace host {

std::shared_ptr<HostMtiSettings> HostMtiConfiguration::Settings() const
{
    return std::make_shared<HostMtiSettings>();
}

} // namespace host
