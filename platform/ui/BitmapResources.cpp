#include "platform/ui/BitmapResources.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

namespace plat {

namespace {

struct Entry {
    std::string key;  // as registered
    std::optional<std::string> path;
    std::vector<uint8_t> bytes;
    std::shared_ptr<Bitmap> loaded;
};

std::string Fold(const std::string& key)
{
    std::string folded = key;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return folded;
}

std::map<std::string, Entry>& Entries()
{
    static std::map<std::string, Entry> entries;
    return entries;
}

int32_t ReadInt32(const std::vector<uint8_t>& b, size_t at)
{
    uint32_t v = static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
                 (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
    return static_cast<int32_t>(v);
}

} // namespace

Bitmap::Bitmap(std::string key, std::vector<uint8_t> bytes) : mKey(std::move(key)), mBytes(std::move(bytes))
{
    // A bitmap file: "BM", then a 14-byte file header and an info header with the size.
    if (mBytes.size() >= 26 && mBytes[0] == 'B' && mBytes[1] == 'M') {
        int32_t width = ReadInt32(mBytes, 18);
        int32_t height = ReadInt32(mBytes, 22);
        if (width > 0 && height != INT32_MIN) {
            mWidth = width;
            mHeight = height < 0 ? -height : height;
        }
    }
}

void RegisterBitmapFile(const std::string& key, const std::string& path)
{
    Entries()[Fold(key)] = Entry{key, path, {}, nullptr};
}

void RegisterBitmapBytes(const std::string& key, std::vector<uint8_t> bytes)
{
    Entries()[Fold(key)] = Entry{key, std::nullopt, std::move(bytes), nullptr};
}

bool UnregisterBitmap(const std::string& key) { return Entries().erase(Fold(key)) > 0; }

bool HasBitmap(const std::string& key) { return Entries().count(Fold(key)) > 0; }

std::vector<std::string> BitmapKeys()
{
    std::vector<std::string> keys;
    for (const auto& [folded, entry] : Entries()) keys.push_back(entry.key);
    return keys;
}

std::shared_ptr<Bitmap> LoadBitmapResource(const std::string& key)
{
    auto it = Entries().find(Fold(key));
    if (it == Entries().end()) return nullptr;
    Entry& entry = it->second;
    if (entry.loaded) return entry.loaded;
    std::vector<uint8_t> bytes = entry.bytes;
    if (entry.path) {
        std::ifstream in(*entry.path, std::ios::binary);
        if (!in) return nullptr;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) return nullptr;
    }
    entry.loaded = std::make_shared<Bitmap>(entry.key, std::move(bytes));
    return entry.loaded;
}

} // namespace plat
