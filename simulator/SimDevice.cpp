#include "simulator/SimDevice.h"

#include "platform/base/ComError.h"
#include "platform/serial/InProcessDevices.h"
#include "platform/serial/SerialErrors.h"
#include "simulator/Analyzer.h"

namespace zsim {

SimDevice::SimDevice(std::shared_ptr<Analyzer> analyzer) : mAnalyzer(std::move(analyzer))
{
    // Replies that fall due while no port is attached are lost on the open line.
    mAnalyzer->Connect(this);
}

SimDevice::~SimDevice()
{
    mAnalyzer->Connect(nullptr);
}

std::optional<plat::LineSettings> SimDevice::RemoteSettings() const
{
    return PortSettings();
}

void SimDevice::Transmit(std::string_view bytes)
{
    SendToPort(bytes);
}

void SimDevice::Fail()
{
    throw plat::ComError(plat::serr::DeviceUnavailable, plat::serr::Source, "Device unavailable (I/O error)");
}

void SimDevice::OnAttached()
{
    mAnalyzer->Connect(this);
}

void SimDevice::OnReceived(std::string_view bytes, const plat::LineSettings& settings)
{
    mAnalyzer->Receive(bytes, settings);
}

void SimDevice::OnDetached() {}

std::shared_ptr<SimDevice> SimDevice::Install(std::shared_ptr<Analyzer> analyzer, const std::string& name)
{
    auto device = std::make_shared<SimDevice>(std::move(analyzer));
    plat::InProcessDevices::Register(name, [device] { return std::static_pointer_cast<plat::LinePeer>(device); });
    return device;
}

void SimDevice::InstallOnDemand(const std::string& name)
{
    auto device = std::make_shared<std::shared_ptr<SimDevice>>();
    plat::InProcessDevices::Register(name, [device] {
        if (!*device) *device = std::make_shared<SimDevice>(std::make_shared<Analyzer>());
        return std::static_pointer_cast<plat::LinePeer>(*device);
    });
}

void SimDevice::Uninstall(const std::string& name)
{
    plat::InProcessDevices::Unregister(name);
}

} // namespace zsim
