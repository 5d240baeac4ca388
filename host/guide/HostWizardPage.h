#pragma once

#include "platform/base/Unknown.h"
#include "platform/ui/Colors.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plat {
class Bitmap;
}

namespace host {

// One page record of the host's page container: how the page's tab looks (two pictures, for
// the tab at rest and chosen, and a caption) and the page's back colour. Style holds the
// page's drawing options; 255 asks for all of them.
class HostWizardPage : public plat::IUnknown {
public:
    int32_t Style() const { return mStyle; }
    void SetStyle(int32_t style) { mStyle = style; }
    int32_t BackColor() const { return mBackColor; }
    void SetBackColor(int32_t color) { mBackColor = color; }
    const std::shared_ptr<plat::Bitmap>& TabPicture1() const { return mTabPicture1; }
    void SetTabPicture1(std::shared_ptr<plat::Bitmap> picture) { mTabPicture1 = std::move(picture); }
    const std::shared_ptr<plat::Bitmap>& TabPicture2() const { return mTabPicture2; }
    void SetTabPicture2(std::shared_ptr<plat::Bitmap> picture) { mTabPicture2 = std::move(picture); }
    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& caption) { mCaption = caption; }

private:
    int32_t mStyle = 0;
    int32_t mBackColor = plat::color::ButtonFace;
    std::shared_ptr<plat::Bitmap> mTabPicture1;
    std::shared_ptr<plat::Bitmap> mTabPicture2;
    std::string mCaption;
};

} // namespace host
