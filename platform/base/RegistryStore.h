#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// A file-backed tree of keys and named values in the manner of the system registry. Key paths
// are backslash-separated and start with a hive ("HKEY_LOCAL_MACHINE\Software\Vantrel");
// key and value names compare without regard to case and keep the case they were created with.
// Every change is saved at once, atomically (temporary file, fsync, rename): a failed save
// raises and leaves the previous file intact.
class RegistryStore {
public:
    struct Value {
        enum class Kind { String, DWord };
        Kind kind = Kind::String;
        std::string text;
        uint32_t dword = 0;
    };

    // Loads the file when it exists; a missing file is an empty store. A corrupt file raises a
    // ComError that names the file, and the file is left as it is.
    explicit RegistryStore(std::string path);

    const std::string& Path() const;

    bool KeyExists(const std::string& key) const;
    void CreateKey(const std::string& key);               // creates missing parents too
    bool DeleteKey(const std::string& key);               // with everything below it
    std::vector<std::string> SubKeys(const std::string& key) const;     // in creation order
    std::vector<std::string> ValueNames(const std::string& key) const;  // in creation order

    std::optional<Value> GetValue(const std::string& key, const std::string& name) const;
    void SetString(const std::string& key, const std::string& name, const std::string& text);
    void SetDWord(const std::string& key, const std::string& name, uint32_t value);
    bool DeleteValue(const std::string& key, const std::string& name);

    // Reads the file again (another process may have changed it).
    void Reload();

private:
    struct Impl;
    std::shared_ptr<Impl> mImpl;
};

// The store of this process: the path set with SetRegistryPath, else $ZARVIK_REGISTRY, else
// $XDG_CONFIG_HOME/zarvik/registry (or ~/.config/zarvik/registry). Opened on first use.
RegistryStore& Registry();
void SetRegistryPath(const std::string& path);

} // namespace plat
