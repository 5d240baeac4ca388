#pragma once

#include "platform/base/ComError.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

namespace zplugin {

// Raises one of the plug-in's coded errors with its source and level. The host's raiser only
// knows texts for its own codes, so the error carries a text of its own that names what went
// wrong (the file, the entry), for the message box and the host's log.
[[noreturn]] void RaisePlugInError(int32_t code, const std::string& source, int level, const std::string& description);

// Runs one step and skips it when it fails with one of the given codes, so that the procedure
// goes on with its next step; any other error passes through.
void SkipOnCodes(std::initializer_list<int32_t> codes, const std::function<void()>& step);

using plat::IgnoreErrors;

} // namespace zplugin
