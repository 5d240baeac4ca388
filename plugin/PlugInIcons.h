#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zplugin {

// Icon sizes as the host asks for them.
constexpr int32_t IconSmall = 0; // 16x16
constexpr int32_t IconWide = 1;  // 32x16, the test icons only
constexpr int32_t IconLarge = 2; // 32x32, the plug-in's own icon only

// The key of the bitmap resource of a test ID (0: the plug-in itself) at a size; empty when
// there is none.
std::string IconKey(int32_t testId, int32_t size);

// Every key this library has a bitmap for.
std::vector<std::string> IconKeys();

// The file in the resource folder that holds the bitmap of a key: "TE:EMT(16X16X256)" is
// "TE_EMT_16X16X256.bmp".
std::string IconFileName(const std::string& key);

} // namespace zplugin
