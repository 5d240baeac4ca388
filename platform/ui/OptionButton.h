#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace plat {

// An option button. The option buttons directly inside one container form a group: switching
// one on switches the others off (they raise nothing); the one switched on raises Click,
// whether code or the operator switched it.
class OptionButton : public Control {
public:
    OptionButton();

    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& v) { mCaption = v; }
    bool Value() const { return mValue; }
    void SetValue(bool v);

    bool CanFocus() const override { return true; }
    void MapTexts(const TextMap& map) override;

    // The operator's click switches the button on.
    void UserClick() override;

private:
    std::string mCaption;
    bool mValue = false;
};

} // namespace plat
