#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace plat {

constexpr int vbUnchecked = 0;
constexpr int vbChecked = 1;
constexpr int vbGrayed = 2;

// A check box. A different Value, set by code or by the operator's click, raises Click;
// values other than 0, 1 and 2 raise 380.
class CheckBox : public Control {
public:
    CheckBox();

    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& v) { mCaption = v; }
    int Value() const { return mValue; }
    void SetValue(int v);

    bool CanFocus() const override { return true; }
    void MapTexts(const TextMap& map) override;

    // The operator's click: checked becomes unchecked, anything else checked.
    void UserClick() override;

private:
    std::string mCaption;
    int mValue = vbUnchecked;
};

} // namespace plat
