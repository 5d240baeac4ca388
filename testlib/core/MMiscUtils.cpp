#include "testlib/core/MMiscUtils.h"

#include "platform/base/ComError.h"

namespace ztest::MMiscUtils {

void SelectAllText(const std::shared_ptr<plat::TextBox>& textBox)
{
    if (!textBox) plat::RaiseRuntime(plat::rt::ObjectNotSet, "MMiscUtils");
    textBox->SetSelStart(0);
    textBox->SetSelLength(textBox->Length());
}

} // namespace ztest::MMiscUtils
