#pragma once

#include "platform/ui/Control.h"

#include <memory>

namespace plat {

class Bitmap;

// A picture without a window of its own in the original; here a window like any control.
class Image : public Control {
public:
    Image();

    const std::shared_ptr<Bitmap>& Picture() const { return mPicture; }
    void SetPicture(std::shared_ptr<Bitmap> v) { mPicture = std::move(v); }
    bool Stretch() const { return mStretch; }
    void SetStretch(bool v) { mStretch = v; }

private:
    std::shared_ptr<Bitmap> mPicture;
    bool mStretch = false;
};

} // namespace plat
