#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plat {
class Bitmap;
}

namespace host {

// The host's own pictures, by number: the windows of a plug-in take their icons from it
// (101 is the test-guide window's icon).
class HostIconLibrary : public plat::IUnknown {
public:
    static constexpr int32_t TestGuideIcon = 101;

    // The picture of a number; none for a number the library does not have.
    std::shared_ptr<plat::Bitmap> Picture(int32_t number) const;
    // The resource key under which a picture is registered ("HOST:101").
    static std::string PictureKey(int32_t number);
};

} // namespace host
