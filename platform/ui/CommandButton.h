#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace plat {

// A push button; the operator's click raises Click.
class CommandButton : public Control {
public:
    CommandButton();

    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& v) { mCaption = v; }
    bool Default() const { return mDefault; }
    void SetDefault(bool v) { mDefault = v; }
    bool Cancel() const { return mCancel; }
    void SetCancel(bool v) { mCancel = v; }

    bool CanFocus() const override { return true; }
    void MapTexts(const TextMap& map) override;

private:
    std::string mCaption;
    bool mDefault = false;
    bool mCancel = false;
};

} // namespace plat
