#include "platform/base/ComError.h"

#include <cstdio>

namespace plat {

ComError::ComError(int32_t number, std::string source, std::string description, int level)
    : mNumber(number), mSource(std::move(source)), mDescription(std::move(description)), mLevel(level)
{
    char code[16];
    if (number < 0 || number > 0xFFFF) {
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(number));
    } else {
        std::snprintf(code, sizeof code, "%d", static_cast<int>(number));
    }
    mWhat = std::string("error ") + code;
    if (!mSource.empty()) mWhat += " in " + mSource;
    if (!mDescription.empty()) mWhat += ": " + mDescription;
}

std::string RuntimeErrorText(int32_t number)
{
    switch (number) {
    case rt::InvalidCall: return "Invalid procedure call or argument";
    case rt::Overflow: return "Overflow";
    case rt::OutOfMemory: return "Out of memory";
    case rt::SubscriptOutOfRange: return "Subscript out of range";
    case rt::DivisionByZero: return "Division by zero";
    case rt::TypeMismatch: return "Type mismatch";
    case rt::FileNotFound: return "File not found";
    case rt::DeviceUnavailable: return "Device unavailable";
    case rt::PermissionDenied: return "Permission denied";
    case rt::PathNotFound: return "Path not found";
    case rt::ObjectNotSet: return "Object variable not set";
    case rt::InvalidUseOfNull: return "Invalid use of Null";
    case rt::ClassNotRegistered: return "ActiveX component can't create object";
    case rt::ObjectLacksMember: return "Object doesn't support this property or method";
    default: return "Application-defined or object-defined error";
    }
}

void RaiseRuntime(int32_t number, const std::string& source)
{
    throw ComError(number, source, RuntimeErrorText(number));
}

} // namespace plat
