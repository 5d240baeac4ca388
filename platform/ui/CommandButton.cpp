#include "platform/ui/CommandButton.h"

namespace plat {

CommandButton::CommandButton() : Control("CommandButton") {}

void CommandButton::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    if (!mCaption.empty()) mCaption = map(mCaption);
}

} // namespace plat
