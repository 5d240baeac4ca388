#include "host/elements/HostTestInfo.h"

namespace host {

void HostTestInfo::SetTypeAndParameter(const std::string& type, const std::string& parameter)
{
    mType = type;
    mParameter = parameter;
}

std::shared_ptr<HostTestInfo> HostTestInfo::Clone() const { return std::make_shared<HostTestInfo>(*this); }

} // namespace host
