#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// A picture: the bytes of a bitmap file and, when they are a readable bitmap, its size in
// pixels (0 otherwise).
class Bitmap : public virtual IUnknown {
public:
    Bitmap(std::string key, std::vector<uint8_t> bytes);

    const std::string& Key() const { return mKey; }
    const std::vector<uint8_t>& Bytes() const { return mBytes; }
    int32_t Width() const { return mWidth; }
    int32_t Height() const { return mHeight; }

private:
    std::string mKey;
    std::vector<uint8_t> mBytes;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
};

} // namespace plat
