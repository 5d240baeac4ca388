#pragma once

#include <cstdint>
#include <string>

namespace plat {

// Numbers of the errors that forms and controls raise, as the original controls numbered them.
namespace uierr {
constexpr int32_t InvalidCall = 5;                 // "Invalid procedure call or argument"
constexpr int32_t ControlArrayElementMissing = 340; // "Control array element doesn't exist"
constexpr int32_t InvalidPropertyValue = 380;       // "Invalid property value"
constexpr int32_t InvalidPropertyArrayIndex = 381;  // "Invalid property array index"
constexpr int32_t TextReadOnly = 383;               // "'Text' property is read-only"
constexpr int32_t AlreadyShownModally = 400;        // "Form already displayed; can't show modally"
constexpr int32_t DuplicateControlName = 727;       // "There is already a control with the name ..."
constexpr int32_t IndexOutOfBounds = 35600;         // "Index out of bounds"
constexpr int32_t ElementNotFound = 35601;          // "Element not found"
constexpr int32_t KeyNotUnique = 35602;             // "Key is not unique in collection"
} // namespace uierr

// The standard description of one of the numbers above.
std::string UiErrorText(int32_t number);

// Throws a ComError with the number, its standard description and the given source (the kind
// and name of the control that refused, "TextBox txtEnergy").
[[noreturn]] void RaiseUiError(int32_t number, const std::string& source);

} // namespace plat
