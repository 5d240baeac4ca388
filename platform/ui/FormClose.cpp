#include "platform/ui/Form.h"

namespace plat {

void Form::UserClose()
{
    if (IsUnloaded()) return;
    auto keep = KeepAlive();
    bool cancel = false;
    Raise(CloseRequest, cancel);
    if (!cancel && !IsUnloaded()) Unload();
}

} // namespace plat
