#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// A file-backed tree of keys and named values in the manner of the system registry. Key paths
// are backslash-separated and start with a hive ("HKEY_LOCAL_MACHINE\Software\Vantrel");
// empty parts (a leading, doubled or trailing backslash) are ignored. Key and value names
// compare without regard to case (ASCII letters) and keep the case they were created with.
// Every change is saved at once, atomically (temporary file in the same folder, fsync, rename):
// a failed save raises and leaves both the previous file and the tree in memory as they were.
//
// Copies of a store are handles to the same tree.
class RegistryStore {
public:
    struct Value {
        enum class Kind { String, DWord };
        Kind kind = Kind::String;
        std::string text;
        uint32_t dword = 0;
    };

    // The codes of the store's errors (the system's own codes for these conditions).
    static constexpr int32_t ErrNotRegistryFile = static_cast<int32_t>(0x800703F9u); // corrupt file
    static constexpr int32_t ErrIoFailed = static_cast<int32_t>(0x800703F8u);        // read or save failed
    static constexpr int32_t ErrInvalidName = static_cast<int32_t>(0x80070057u);     // bad key path

    // Limits that keep a hostile file or caller from exhausting the process. A save that would
    // write a file above the size limit is refused, so the store never writes what it cannot read.
    static constexpr size_t MaxFileBytes = 16u * 1024u * 1024u;
    static constexpr size_t MaxDepth = 64;        // parts of a key path, hive included
    static constexpr size_t MaxKeyNameBytes = 255;

    // Loads the file when it exists; a missing file is an empty store. A corrupt file raises a
    // ComError that names the file, and the file is left as it is.
    explicit RegistryStore(std::string path);

    const std::string& Path() const;

    bool KeyExists(const std::string& key) const;
    void CreateKey(const std::string& key);               // creates missing parents too
    bool DeleteKey(const std::string& key);               // with everything below it
    std::vector<std::string> SubKeys(const std::string& key) const;     // in creation order
    std::vector<std::string> ValueNames(const std::string& key) const;  // in creation order

    // Values: the empty name is the key's default value. Setting a value creates its key.
    std::optional<Value> GetValue(const std::string& key, const std::string& name) const;
    void SetString(const std::string& key, const std::string& name, const std::string& text);
    void SetDWord(const std::string& key, const std::string& name, uint32_t value);
    bool DeleteValue(const std::string& key, const std::string& name);

    // Runs several changes as one: they are saved together once at the end, and when one of
    // them raises or the save fails, none of them stays. Changes nest (the outermost saves).
    void Change(const std::function<void()>& changes);

    // Reads the file again (another process may have changed it). A corrupt file raises and
    // keeps the tree in memory as it was.
    void Reload();

private:
    struct Impl;
    std::shared_ptr<Impl> mImpl;
};

// The store of this process: the path set with SetRegistryPath, else $ZARVIK_REGISTRY, else
// $XDG_CONFIG_HOME/zarvik/registry (or ~/.config/zarvik/registry). Opened on first use; a
// store that cannot be opened raises on every use until the path is set again.
RegistryStore& Registry();
void SetRegistryPath(const std::string& path);

} // namespace plat
