#include "host/documents/HostRegistry.h"

namespace host {

namespace {

constexpr const char* kSource = "HostRegistry";

using Kind = plat::RegistryStore::Value::Kind;

[[noreturn]] void Raise(int32_t number, const std::string& description)
{
    throw plat::ComError(number, kSource, description);
}

// Runs one step on the store and gives its failures this object's codes: a bad key name is the
// caller's fault, anything else means the registry file itself cannot be used.
template <class F>
auto Guard(F&& step) -> decltype(step())
{
    try {
        return step();
    } catch (const plat::ComError& e) {
        if (e.Source() == kSource) throw;
        if (e.Number() == plat::RegistryStore::ErrInvalidName) Raise(HostRegistry::ErrNoKey, e.Description());
        Raise(HostRegistry::ErrStore, e.Description());
    }
}

const char* HiveName(int32_t hive)
{
    switch (hive) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    default: return nullptr;
    }
}

} // namespace

HostRegistry::HostRegistry() = default;

HostRegistry::HostRegistry(plat::RegistryStore store) : mOwnStore(std::move(store)) {}

plat::RegistryStore& HostRegistry::Store() const
{
    if (mOwnStore) return *mOwnStore;
    return Guard([]() -> plat::RegistryStore& { return plat::Registry(); });
}

std::string HostRegistry::FullPath(int32_t hive, const std::string& path) const
{
    const char* hiveName = HiveName(hive);
    if (!hiveName) Raise(ErrNoKey, "Unknown registry hive " + std::to_string(hive));
    return std::string(hiveName) + "\\" + path;
}

const std::string& HostRegistry::OpenPath() const
{
    if (mKey.empty()) Raise(ErrNoKey, "No registry key is open");
    return mKey;
}

void HostRegistry::OpenKey(int32_t hive, const std::string& path)
{
    mKey.clear();
    std::string key = FullPath(hive, path);
    if (!Guard([&] { return Store().KeyExists(key); })) Raise(ErrNotFound, "The registry key '" + key + "' does not exist");
    mKey = key;
}

void HostRegistry::CreateKey(int32_t hive, const std::string& path)
{
    mKey.clear();
    std::string key = FullPath(hive, path);
    Guard([&] { Store().CreateKey(key); });
    mKey = key;
}

void HostRegistry::CloseKey()
{
    mKey.clear();
}

bool HostRegistry::KeyExists() const
{
    return !mKey.empty() && Guard([&] { return Store().KeyExists(mKey); });
}

bool HostRegistry::KeyExists(int32_t hive, const std::string& path) const
{
    std::string key = FullPath(hive, path);
    return Guard([&] { return Store().KeyExists(key); });
}

const std::string& HostRegistry::KeyPath() const
{
    return mKey;
}

std::optional<plat::RegistryStore::Value> HostRegistry::Find(const std::string& name) const
{
    const std::string& key = OpenPath();
    return Guard([&] { return Store().GetValue(key, name); });
}

plat::Variant HostRegistry::GetValue(const std::string& name) const
{
    auto value = Find(name);
    if (!value) Raise(ErrNotFound, "The registry value '" + name + "' of '" + mKey + "' does not exist");
    if (value->kind == Kind::DWord) return plat::Variant(static_cast<int32_t>(value->dword));
    return plat::Variant(value->text);
}

plat::Variant HostRegistry::GetValue(const std::string& name, const plat::Variant& defaultValue) const
{
    if (!Find(name)) return defaultValue;
    return GetValue(name);
}

int32_t HostRegistry::GetDWordValue(const std::string& name) const
{
    auto value = Find(name);
    if (!value || value->kind != Kind::DWord)
        Raise(ErrNotFound, "The registry value '" + name + "' of '" + mKey + "' is " + (value ? "not a DWORD" : "missing"));
    return static_cast<int32_t>(value->dword);
}

std::string HostRegistry::GetStringValue(const std::string& name) const
{
    auto value = Find(name);
    if (!value || value->kind != Kind::String)
        Raise(ErrNotFound, "The registry value '" + name + "' of '" + mKey + "' is " + (value ? "not a string" : "missing"));
    return value->text;
}

bool HostRegistry::ValueExists(const std::string& name) const
{
    return Find(name).has_value();
}

// Writing into a key that was deleted since it was opened is refused rather than bringing the
// key back unasked.
void HostRegistry::Change(const std::function<void()>& changes)
{
    Guard([&] { Store().Change(changes); });
}

void HostRegistry::SetDWordValue(const std::string& name, int32_t value)
{
    const std::string& key = OpenPath();
    if (!KeyExists()) Raise(ErrNotFound, "The registry key '" + key + "' no longer exists");
    Guard([&] { Store().SetDWord(key, name, static_cast<uint32_t>(value)); });
}

void HostRegistry::SetStringValue(const std::string& name, const std::string& text)
{
    const std::string& key = OpenPath();
    if (!KeyExists()) Raise(ErrNotFound, "The registry key '" + key + "' no longer exists");
    Guard([&] { Store().SetString(key, name, text); });
}

void HostRegistry::DeleteValue(const std::string& name)
{
    const std::string& key = OpenPath();
    if (!Guard([&] { return Store().DeleteValue(key, name); }))
        Raise(ErrNotFound, "The registry value '" + name + "' of '" + key + "' does not exist");
}

std::vector<std::string> HostRegistry::ValueNames() const
{
    const std::string& key = OpenPath();
    return Guard([&] { return Store().ValueNames(key); });
}

std::vector<std::string> HostRegistry::SubKeys() const
{
    const std::string& key = OpenPath();
    return Guard([&] { return Store().SubKeys(key); });
}

int32_t HostRegistry::SubKeyCount() const
{
    return static_cast<int32_t>(SubKeys().size());
}

std::string HostRegistry::EnumKey(int32_t index) const
{
    auto names = SubKeys();
    if (index < 1 || static_cast<size_t>(index) > names.size())
        Raise(ErrNotFound, "The registry key '" + mKey + "' has no subkey " + std::to_string(index));
    return names[static_cast<size_t>(index) - 1];
}

void HostRegistry::DeleteKey(int32_t hive, const std::string& path)
{
    std::string key = FullPath(hive, path);
    if (path.find_first_not_of('\\') == std::string::npos) Raise(ErrNoKey, "A hive cannot be deleted");
    if (!Guard([&] { return Store().DeleteKey(key); })) Raise(ErrNotFound, "The registry key '" + key + "' does not exist");
}

} // namespace host
