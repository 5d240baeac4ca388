#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace plat {

// An HRESULT-style code written as its usual unsigned hexadecimal constant (0x8004A3C2).
constexpr int32_t Hr(uint32_t code) { return static_cast<int32_t>(code); }

// The generic failure ("Unspecified error"): the code of a failure that has no code of its own,
// and what the server entry points answer when they fail.
constexpr int32_t E_FAIL_CODE = Hr(0x80004005u);

// Numbers of the language runtime's own errors.
namespace rt {
constexpr int32_t InvalidCall = 5;
constexpr int32_t Overflow = 6;
constexpr int32_t OutOfMemory = 7;
constexpr int32_t SubscriptOutOfRange = 9;
constexpr int32_t DivisionByZero = 11;
constexpr int32_t TypeMismatch = 13;
constexpr int32_t FileNotFound = 53;
constexpr int32_t DeviceUnavailable = 68;
constexpr int32_t PermissionDenied = 70;
constexpr int32_t PathNotFound = 76;
constexpr int32_t ObjectNotSet = 91;
constexpr int32_t InvalidUseOfNull = 94;
constexpr int32_t ClassNotRegistered = 429;
constexpr int32_t ObjectLacksMember = 438;
} // namespace rt

// The one error type of the whole tree: a coded error with a source, a description and the
// level that the host's error raiser was given. Every failure that the system can see or
// handle is one of these.
class ComError : public std::exception {
public:
    ComError(int32_t number, std::string source, std::string description, int level = 0);

    int32_t Number() const noexcept { return mNumber; }
    const std::string& Source() const noexcept { return mSource; }
    const std::string& Description() const noexcept { return mDescription; }
    int Level() const noexcept { return mLevel; }
    const char* what() const noexcept override { return mWhat.c_str(); }
    // Whether a procedure that runs "with errors ignored" may skip this error. An error that
    // says the process can never go on (a wait that cannot end) may not.
    virtual bool Ignorable() const noexcept { return true; }

private:
    int32_t mNumber;
    std::string mSource;
    std::string mDescription;
    int mLevel;
    std::string mWhat;
};

// Whether a step run "with errors ignored" may skip this failure: any but a ComError that is
// not ignorable.
inline bool IsIgnorable(const std::exception& error) noexcept
{
    const auto* coded = dynamic_cast<const ComError*>(&error);
    return coded == nullptr || coded->Ignorable();
}

// Runs one step of a procedure that runs "with errors ignored": a failing step is skipped and
// the procedure goes on with the next. Errors that are not ignorable pass through. True when
// the step ran to its end.
template <class Step>
bool IgnoreErrors(Step&& step)
{
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        if (!IsIgnorable(error)) throw;
        // Skipped on purpose: the step's failure ends only the step.
        return false;
    }
}

// Throws a runtime error with the runtime's standard description for its number.
[[noreturn]] void RaiseRuntime(int32_t number, const std::string& source = {});

// The runtime's description of its own error numbers ("Overflow", "Type mismatch", ...).
std::string RuntimeErrorText(int32_t number);

} // namespace plat
