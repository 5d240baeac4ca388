#pragma once

#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace host {

// The hives, with the numbers the host gives them.
constexpr int32_t HKEY_CLASSES_ROOT = plat::Hr(0x80000000u);
constexpr int32_t HKEY_CURRENT_USER = plat::Hr(0x80000001u);
constexpr int32_t HKEY_LOCAL_MACHINE = plat::Hr(0x80000002u);

// The host's registry object: one key at a time is opened (or created) under a hive, and its
// named values are read and written. Values are DWORDs (read back as Long, so a stored
// 0xFFFFFFFF reads as -1) or strings. Key and value names ignore case. Every write is saved at
// once. Errors are ComErrors with the source "HostRegistry" and one of three codes:
//   ErrStore     the registry file cannot be read or saved (corrupt, unwritable);
//   ErrNoKey     no key is open, or the hive or key name is not valid;
//   ErrNotFound  the key or value does not exist, or the value is of the other kind.
class HostRegistry : public plat::IUnknown {
public:
    static constexpr int32_t ErrStore = plat::Hr(0x8004A68Bu);
    static constexpr int32_t ErrNoKey = plat::Hr(0x8004A68Du);
    static constexpr int32_t ErrNotFound = plat::Hr(0x8004A68Eu);

    // Works on the process store (plat::Registry()), or on the given one.
    HostRegistry();
    explicit HostRegistry(plat::RegistryStore store);

    // Opens an existing key; a missing one raises ErrNotFound and leaves no key open.
    void OpenKey(int32_t hive, const std::string& path);
    // Creates the key (and its missing parents) when it does not exist, and opens it.
    void CreateKey(int32_t hive, const std::string& path);
    void CloseKey();
    // Whether a key is open and still exists.
    bool KeyExists() const;
    bool KeyExists(int32_t hive, const std::string& path) const;
    // The full path of the open key ("HKEY_LOCAL_MACHINE\Software\..."), empty when none is.
    const std::string& KeyPath() const;

    // Values of the open key. A DWORD comes back as Long, a string as String.
    plat::Variant GetValue(const std::string& name) const;
    // The same, but a missing value gives the default instead of an error.
    plat::Variant GetValue(const std::string& name, const plat::Variant& defaultValue) const;
    int32_t GetDWordValue(const std::string& name) const;
    std::string GetStringValue(const std::string& name) const;
    bool ValueExists(const std::string& name) const;
    void SetDWordValue(const std::string& name, int32_t value);
    void SetStringValue(const std::string& name, const std::string& text);
    void DeleteValue(const std::string& name);
    std::vector<std::string> ValueNames() const;

    // Subkeys of the open key, in the order they were created; EnumKey counts from 1.
    int32_t SubKeyCount() const;
    std::string EnumKey(int32_t index) const;
    std::vector<std::string> SubKeys() const;

    // Deletes a key with everything below it; a missing key raises ErrNotFound.
    void DeleteKey(int32_t hive, const std::string& path);

    // Runs several writes as one: the registry file is saved once at the end, and when one of
    // them raises or the save fails, none of them stays.
    void Change(const std::function<void()>& changes);

private:
    plat::RegistryStore& Store() const;
    std::string FullPath(int32_t hive, const std::string& path) const;
    const std::string& OpenPath() const;
    std::optional<plat::RegistryStore::Value> Find(const std::string& name) const;

    mutable std::optional<plat::RegistryStore> mOwnStore;
    std::string mKey;
};

} // namespace host
