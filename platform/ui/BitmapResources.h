#pragma once

#include "platform/ui/Bitmap.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// The bitmap resources of the process, looked up by string key ("TI:SHOCK",
// "TE:EMT(16X16X256)"). Keys compare without regard to case, as resource names do. A library
// registers its pictures, from a file or from bytes, when it is loaded.
void RegisterBitmapFile(const std::string& key, const std::string& path);
void RegisterBitmapBytes(const std::string& key, std::vector<uint8_t> bytes);
bool UnregisterBitmap(const std::string& key);
bool HasBitmap(const std::string& key);
std::vector<std::string> BitmapKeys();

// The picture of a key; null when the key is not registered or its file cannot be read.
std::shared_ptr<Bitmap> LoadBitmapResource(const std::string& key);

} // namespace plat
