#include "platform/serial/LinePeer.h"

#include "platform/serial/InProcessLine.h"

namespace plat {

LinePeer::~LinePeer() = default;

bool LinePeer::IsAttached() const
{
    return !mLine.expired();
}

void LinePeer::SendToPort(std::string_view bytes)
{
    if (auto line = mLine.lock()) line->SendToPort(bytes);
}

std::optional<LineSettings> LinePeer::PortSettings() const
{
    if (auto line = mLine.lock()) return line->Settings();
    return std::nullopt;
}

} // namespace plat
