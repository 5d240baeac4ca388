#pragma once

#include "platform/ui/TextBox.h"

#include <memory>

namespace ztest::MMiscUtils {

// Selects the whole text of a text box: selection start 0, selection length the length of its
// text. Errors of the control are not trapped (an empty box reference raises 91).
void SelectAllText(const std::shared_ptr<plat::TextBox>& textBox);

} // namespace ztest::MMiscUtils
