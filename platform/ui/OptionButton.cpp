#include "platform/ui/OptionButton.h"

namespace plat {

OptionButton::OptionButton() : Control("OptionButton") {}

void OptionButton::SetValue(bool v)
{
    if (v == mValue) return;
    mValue = v;
    if (!v) return;
    if (Window* container = Container()) {
        for (const auto& sibling : container->Children()) {
            if (auto* option = dynamic_cast<OptionButton*>(sibling.get()); option && option != this) {
                option->mValue = false;
            }
        }
    }
    Raise(Click);
}

void OptionButton::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    if (!mCaption.empty()) mCaption = map(mCaption);
}

void OptionButton::UserClick()
{
    TakeFocusIfPossible();
    SetValue(true);
}

} // namespace plat
