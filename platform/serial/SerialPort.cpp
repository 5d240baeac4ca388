#include "platform/serial/SerialPort.h"

#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/InProcessDevices.h"
#include "platform/serial/InProcessLine.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialErrors.h"
#include "platform/serial/TermiosDevice.h"

#include <algorithm>

namespace plat {

SerialPort::SerialPort() : mStatus(serr::StatusClosed), mAlive(std::make_shared<SerialPort*>(this)) {}

SerialPort::~SerialPort()
{
    *mAlive = nullptr;
    Close();
}

void SerialPort::SetCommPort(int port)
{
    if (port < 1 || port > 32767) {
        throw ComError(serr::InvalidPortNumber, serr::Source, "Invalid port number " + std::to_string(port));
    }
    if (port == mPort) return;
    if (PortOpen()) throw ComError(serr::PortAlreadyOpen, serr::Source, "Port already open");
    mPort = port;
}

void SerialPort::SetSettings(const std::string& text)
{
    LineSettings settings = LineSettings::Parse(text);
    if (mDevice) mDevice->Configure(settings);
    mSettings = settings;
}

void SerialPort::SetPortOpen(bool open)
{
    if (!open) {
        Close();
        mStatus = serr::StatusClosed;
        return;
    }
    if (mDevice) return;

    std::shared_ptr<SerialDevice> device;
    try {
        device = OpenDevice();
    } catch (const PortInUseError& error) {
        mStatus = error.Status();
        PortRefusalWatch::Tell(error);
        throw;
    } catch (const SerialOpenError& error) {
        mStatus = error.Status();
        throw;
    } catch (const ComError&) {
        // The port map itself could not be read (a corrupt registry store).
        mStatus = serr::StatusMapUnreadable;
        throw;
    }

    mReceived.clear();
    mDevice = device;
    mStatus = serr::StatusConnected;
    std::weak_ptr<SerialPort*> alive = mAlive;
    std::weak_ptr<SerialDevice> weakDevice = device;
    device->Start([alive, weakDevice](std::string_view bytes) {
        auto self = alive.lock();
        auto from = weakDevice.lock();
        // Bytes of a device that this port has closed since are not delivered.
        if (!self || !*self || !from || (*self)->mDevice != from) return;
        (*self)->OnData(bytes);
    });
}

std::shared_ptr<SerialDevice> SerialPort::OpenDevice()
{
    const PortMap::Target target = PortMap::Resolve(mPort);
    switch (target.kind) {
    case PortMap::Target::Kind::InProcess:
        if (auto peer = InProcessDevices::Make(target.name)) return InProcessLine::Open(std::move(peer), mSettings);
        throw SerialOpenError(serr::DeviceUnavailable, serr::StatusNotFound,
                              "Device unavailable (no in-process device \"" + target.name + "\")");
    case PortMap::Target::Kind::Path:
        try {
            return TermiosDevice::Open(target.name, mSettings);
        } catch (const PortInUseError& error) {
            throw PortInUseError(mPort, error.Device());
        }
    case PortMap::Target::Kind::None:
        break;
    }
    throw SerialOpenError(serr::DeviceUnavailable, serr::StatusNotFound,
                          "Device unavailable (port " + std::to_string(mPort) + " is mapped to no device)");
}

void SerialPort::CheckFree(int port)
{
    PortMap::Target target;
    try {
        target = PortMap::Resolve(port);
    } catch (const ComError&) {
        // An unreadable port map is the open's to report.
        return;
    }
    if (target.kind != PortMap::Target::Kind::Path) return;
    try {
        TermiosDevice::CheckFree(target.name);
    } catch (const PortInUseError& error) {
        throw PortInUseError(port, error.Device());
    }
}

namespace {

std::vector<PortRefusalWatch*>& Watches()
{
    static std::vector<PortRefusalWatch*> watches;
    return watches;
}

} // namespace

PortRefusalWatch::PortRefusalWatch()
{
    Watches().push_back(this);
}

PortRefusalWatch::~PortRefusalWatch()
{
    auto& watches = Watches();
    watches.erase(std::remove(watches.begin(), watches.end(), this), watches.end());
}

void PortRefusalWatch::Tell(const PortInUseError& refusal)
{
    for (PortRefusalWatch* watch : Watches()) watch->mRefusals.push_back(refusal);
}

std::string SerialPort::StatusText() const
{
    if (!mDevice) return mStatus;
    std::string condition = mDevice->Condition();
    return condition.empty() ? std::string(serr::StatusConnected) : condition;
}

void SerialPort::RequireOpen() const
{
    if (!mDevice) throw ComError(serr::PortNotOpen, serr::Source, "Operation valid only when the port is open");
}

void SerialPort::SetOutput(const std::string& text)
{
    RequireOpen();
    mDevice->Write(text);
}

size_t SerialPort::InBufferCount() const
{
    RequireOpen();
    return mReceived.size();
}

void SerialPort::SetInBufferCount(size_t count)
{
    RequireOpen();
    if (count != 0) {
        throw ComError(serr::InvalidPropertyValue, serr::Source, "Invalid property value: the count can only be set to 0");
    }
    DiscardInput();
}

std::string SerialPort::Input()
{
    RequireOpen();
    std::string taken = std::move(mReceived);
    mReceived.clear();
    return taken;
}

void SerialPort::DiscardInput()
{
    RequireOpen();
    mDevice->DiscardInput();
    mReceived.clear();
}

void SerialPort::DiscardOutput()
{
    RequireOpen();
    mDevice->DiscardOutput();
}

void SerialPort::SetOnReceive(std::function<void()> handler)
{
    mOnReceive = std::move(handler);
}

void SerialPort::OnData(std::string_view bytes)
{
    const size_t room = MaxReceived - std::min(MaxReceived, mReceived.size());
    mReceived.append(bytes.substr(0, room));
    if (mOnReceive) {
        auto handler = mOnReceive;
        handler();
    }
}

void SerialPort::Close()
{
    if (!mDevice) return;
    auto device = std::move(mDevice);
    mDevice.reset();
    mReceived.clear();
    device->Close();
    // The device may be closed from inside its own data handler; it is released on a later
    // turn so that nothing it is still running is destroyed under it.
    if (auto loop = CurrentLoopPtr()) {
        loop->Post([device] {});
    }
}

} // namespace plat
