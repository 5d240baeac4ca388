#include "platform/serial/PortMap.h"

#include "platform/base/RegistryStore.h"
#include "platform/serial/InProcessDevices.h"

#include <map>
#include <mutex>

namespace plat {

namespace {

struct Overrides {
    std::mutex mutex;
    std::map<int, std::string> byPort;
};

Overrides& TheOverrides()
{
    static Overrides overrides;
    return overrides;
}

} // namespace

std::string PortMap::MappedText(int port)
{
    {
        auto& overrides = TheOverrides();
        std::lock_guard lock(overrides.mutex);
        auto it = overrides.byPort.find(port);
        if (it != overrides.byPort.end()) return it->second;
    }
    // A registry value that is not a string is no mapping: the default applies. An unreadable
    // store raises, so that the caller reports it instead of opening some other device.
    auto value = Registry().GetValue(RegistryKey, std::to_string(port));
    if (value && value->kind == RegistryStore::Value::Kind::String) return value->text;
    return "/dev/ttyS" + std::to_string(port - 1);
}

PortMap::Target PortMap::Interpret(const std::string& text)
{
    if (text.empty()) return {};
    if (text.find('/') != std::string::npos) return {Target::Kind::Path, text};
    if (InProcessDevices::IsRegistered(text)) return {Target::Kind::InProcess, text};
    return {Target::Kind::Path, "/dev/" + text};
}

PortMap::Target PortMap::Resolve(int port)
{
    if (port < 1) return {};
    return Interpret(MappedText(port));
}

void PortMap::SetOverride(int port, const std::string& text)
{
    auto& overrides = TheOverrides();
    std::lock_guard lock(overrides.mutex);
    overrides.byPort[port] = text;
}

void PortMap::ClearOverride(int port)
{
    auto& overrides = TheOverrides();
    std::lock_guard lock(overrides.mutex);
    overrides.byPort.erase(port);
}

void PortMap::ClearOverrides()
{
    auto& overrides = TheOverrides();
    std::lock_guard lock(overrides.mutex);
    overrides.byPort.clear();
}

} // namespace plat
