#pragma once

#include "platform/ui/Control.h"

#include <memory>

namespace plat {

class Bitmap;

// A picture box: a container with a background picture; pages of a tabbed dialog are often
// picture boxes.
class PictureBox : public Control {
public:
    PictureBox();

    const std::shared_ptr<Bitmap>& Picture() const { return mPicture; }
    void SetPicture(std::shared_ptr<Bitmap> v) { mPicture = std::move(v); }
    int BorderStyle() const { return mBorderStyle; }
    void SetBorderStyle(int v);
    bool AutoRedraw() const { return mAutoRedraw; }
    void SetAutoRedraw(bool v) { mAutoRedraw = v; }
    // Clears what was drawn on the box (the count lets tests see it).
    void Cls() { ++mClsCount; }
    int ClsCount() const { return mClsCount; }

    bool CanFocus() const override { return true; }

private:
    std::shared_ptr<Bitmap> mPicture;
    int mBorderStyle = 1;
    bool mAutoRedraw = false;
    int mClsCount = 0;
};

} // namespace plat
