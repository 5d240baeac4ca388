#include "platform/serial/InProcessDevices.h"

#include "platform/serial/LinePeer.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace plat {

namespace {

// Device names compare without regard to case, like the registry values that hold them.
std::string Folded(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name;
}

struct Table {
    std::mutex mutex;
    std::map<std::string, InProcessDevices::Factory> factories;
};

Table& TheTable()
{
    static Table table;
    return table;
}

} // namespace

void InProcessDevices::Register(const std::string& name, Factory factory)
{
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    table.factories[Folded(name)] = std::move(factory);
}

void InProcessDevices::Unregister(const std::string& name)
{
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    table.factories.erase(Folded(name));
}

bool InProcessDevices::IsRegistered(const std::string& name)
{
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    return table.factories.count(Folded(name)) != 0;
}

std::shared_ptr<LinePeer> InProcessDevices::Make(const std::string& name)
{
    Factory factory;
    {
        auto& table = TheTable();
        std::lock_guard lock(table.mutex);
        auto it = table.factories.find(Folded(name));
        if (it == table.factories.end()) return nullptr;
        factory = it->second;
    }
    return factory ? factory() : nullptr;
}

} // namespace plat
