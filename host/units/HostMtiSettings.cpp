#include "host/units/HostMtiSettings.h"

#include "platform/base/RegistryStore.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <mutex>

namespace host {

namespace {

std::mutex gMutex;
std::map<std::string, int32_t> gOverrides;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Module keys and names become parts of a key path; only plain words may.
bool IsPlainWord(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '-'; });
}

} // namespace

void HostMtiSettings::GetCommPort(const std::string& moduleKey, const std::string& name, int32_t& port) const
{
    port = 0;
    if (moduleKey.empty() || !IsPlainWord(moduleKey) || !IsPlainWord(name)) return;
    const std::string id = Lower(moduleKey) + (name.empty() ? "" : "\\" + Lower(name));
    {
        std::lock_guard lock(gMutex);
        auto it = gOverrides.find(id);
        if (it != gOverrides.end()) {
            port = it->second;
            return;
        }
    }
    std::string key = std::string(RegistryKey) + "\\" + moduleKey;
    if (!name.empty()) key += "\\" + name;
    auto value = plat::Registry().GetValue(key, PortValue);
    if (!value) return;
    if (value->kind == plat::RegistryStore::Value::Kind::DWord) {
        port = static_cast<int32_t>(value->dword);
        return;
    }
    int32_t number = 0;
    const std::string& text = value->text;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec == std::errc() && end == text.data() + text.size()) port = number;
}

void HostMtiSettings::SetPortOverride(const std::string& moduleKey, int32_t port)
{
    std::lock_guard lock(gMutex);
    gOverrides[Lower(moduleKey)] = port;
}

void HostMtiSettings::ClearPortOverrides()
{
    std::lock_guard lock(gMutex);
    gOverrides.clear();
}

} // namespace host
