#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace plat {

// A frame: a captioned container that groups controls (and option buttons).
class Frame : public Control {
public:
    Frame();

    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& v) { mCaption = v; }
    int BorderStyle() const { return mBorderStyle; }  // 0 none, 1 fixed single
    void SetBorderStyle(int v);

    void MapTexts(const TextMap& map) override;

private:
    std::string mCaption;
    int mBorderStyle = 1;
};

} // namespace plat
