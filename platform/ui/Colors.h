#pragma once

#include <cstdint>

namespace plat {

// Colours are Long values in the host's blue-green-red notation (&H00BBGGRR); a value with the
// top bit set names a system colour by its index, resolved only when something is drawn.
constexpr int32_t Rgb(int red, int green, int blue)
{
    return static_cast<int32_t>((static_cast<uint32_t>(blue) << 16) | (static_cast<uint32_t>(green) << 8) |
                                static_cast<uint32_t>(red));
}
constexpr int32_t SysColor(int index) { return static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(index)); }

namespace color {
constexpr int32_t Black = 0x000000;
constexpr int32_t Red = 0x0000FF;
constexpr int32_t White = 0xFFFFFF;
constexpr int32_t ButtonFace = SysColor(15);
constexpr int32_t WindowBackground = SysColor(5);
constexpr int32_t WindowText = SysColor(8);
constexpr int32_t ButtonText = SysColor(18);
constexpr int32_t InfoBackground = SysColor(24);
} // namespace color

} // namespace plat
