#include "plugin/PlugInErrors.h"

#include "platform/base/ComError.h"

#include <algorithm>
#include <exception>

namespace zplugin {

void RaisePlugInError(int32_t code, const std::string& source, int level, const std::string& description)
{
    throw plat::ComError(code, source, description, level);
}

void SkipOnCodes(std::initializer_list<int32_t> codes, const std::function<void()>& step)
{
    try {
        step();
    } catch (const plat::ComError& error) {
        if (std::find(codes.begin(), codes.end(), error.Number()) == codes.end()) throw;
    }
}

} // namespace zplugin
