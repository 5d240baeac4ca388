#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace plat {

// A caption on a form. Setting a different caption, by code or through a buddy up-down,
// raises Change.
class Label : public Control {
public:
    Label();

    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& v);
    int Alignment() const { return mAlignment; }  // 0 left, 1 right, 2 centre
    void SetAlignment(int v);
    bool AutoSize() const { return mAutoSize; }
    void SetAutoSize(bool v) { mAutoSize = v; }
    bool WordWrap() const { return mWordWrap; }
    void SetWordWrap(bool v) { mWordWrap = v; }
    int BackStyle() const { return mBackStyle; }  // 0 transparent, 1 opaque
    void SetBackStyle(int v);

    Event<> Change;

    void MapTexts(const TextMap& map) override;

private:
    std::string mCaption;
    int mAlignment = 0;
    bool mAutoSize = false;
    bool mWordWrap = false;
    int mBackStyle = 1;
};

} // namespace plat
