#include "platform/ui/UiError.h"

#include "platform/base/ComError.h"

namespace plat {

std::string UiErrorText(int32_t number)
{
    switch (number) {
    case uierr::InvalidCall: return "Invalid procedure call or argument";
    case uierr::ControlArrayElementMissing: return "Control array element doesn't exist";
    case uierr::InvalidPropertyValue: return "Invalid property value";
    case uierr::InvalidPropertyArrayIndex: return "Invalid property array index";
    case uierr::TextReadOnly: return "'Text' property is read-only";
    case uierr::AlreadyShownModally: return "Form already displayed; can't show modally";
    case uierr::DuplicateControlName: return "There is already a control with this name";
    case uierr::IndexOutOfBounds: return "Index out of bounds";
    case uierr::ElementNotFound: return "Element not found";
    case uierr::KeyNotUnique: return "Key is not unique in collection";
    default: return RuntimeErrorText(number);
    }
}

void RaiseUiError(int32_t number, const std::string& source)
{
    throw ComError(number, source, UiErrorText(number));
}

} // namespace plat
