#pragma once

#include "platform/ui/Control.h"

#include <cstdint>

namespace plat {

// A drawn shape (rectangle, square, oval, circle, rounded forms).
class Shape : public Control {
public:
    Shape();

    int ShapeKind() const { return mShape; }  // 0 rectangle .. 5 rounded square
    void SetShapeKind(int v);
    int BackStyle() const { return mBackStyle; }  // 0 transparent, 1 opaque
    void SetBackStyle(int v);
    int32_t FillColor() const { return mFillColor; }
    void SetFillColor(int32_t v) { mFillColor = v; }
    int FillStyle() const { return mFillStyle; }  // 0 solid, 1 transparent, ...
    void SetFillStyle(int v);
    int32_t BorderColor() const { return mBorderColor; }
    void SetBorderColor(int32_t v) { mBorderColor = v; }
    int BorderWidth() const { return mBorderWidth; }
    void SetBorderWidth(int v);

private:
    int mShape = 0;
    int mBackStyle = 0;
    int32_t mFillColor = color::Black;
    int mFillStyle = 1;
    int32_t mBorderColor = color::WindowText;
    int mBorderWidth = 1;
};

} // namespace plat
