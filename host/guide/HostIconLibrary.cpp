#include "host/guide/HostIconLibrary.h"

#include "platform/ui/BitmapResources.h"

#include <cstdlib>
#include <vector>

namespace host {

namespace {

void PutLe(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// The test-guide icon: a 32 x 32 bitmap of a white check mark on a blue square. It is drawn
// here rather than shipped, since the host's pictures belong to no plug-in's resource folder.
std::vector<uint8_t> DrawGuideIcon()
{
    constexpr int size = 32;
    constexpr int rowBytes = size * 3;
    constexpr size_t header = 54;
    std::vector<uint8_t> bytes(header + static_cast<size_t>(rowBytes * size), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    PutLe(bytes, 10, header, 4);
    PutLe(bytes, 14, 40, 4);
    PutLe(bytes, 18, size, 4);
    PutLe(bytes, 22, size, 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, 24, 2);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Rows are stored bottom up; the check mark is two strokes meeting low in the middle.
            bool mark = (x >= 6 && x < 14 && std::abs((y - 8) - (x - 6)) <= 1) ||
                        (x >= 13 && x < 27 && std::abs((y - 15) + (x - 13)) <= 1);
            size_t at = header + static_cast<size_t>(y * rowBytes + x * 3);
            bytes[at] = mark ? 255 : 160;      // blue
            bytes[at + 1] = mark ? 255 : 64;   // green
            bytes[at + 2] = mark ? 255 : 32;   // red
        }
    }
    return bytes;
}

} // namespace

std::string HostIconLibrary::PictureKey(int32_t number) { return "HOST:" + std::to_string(number); }

std::shared_ptr<plat::Bitmap> HostIconLibrary::Picture(int32_t number) const
{
    if (number != TestGuideIcon) return nullptr;
    const std::string key = PictureKey(number);
    if (!plat::HasBitmap(key)) plat::RegisterBitmapBytes(key, DrawGuideIcon());
    return plat::LoadBitmapResource(key);
}

} // namespace host
