#include "testlib/elements/RunErrors.h"

#include "host/documents/HostErrorRaiser.h"
#include "instrument/IZarvikVTi.h"
#include "platform/base/ComError.h"

#include <exception>

namespace ztest {

RunError ReportRunError(const std::string& source)
{
    RunError error;
    try {
        try {
            throw;
        } catch (const plat::ComError& e) {
            error.number = e.Number();
            error.description = e.Description();
            error.linkError = e.Number() == vti::eeVTI_Error;
            if (!error.linkError) host::HostErrorRaiser().Report(e, source);
        } catch (const std::exception& e) {
            error.description = e.what();
            host::HostErrorRaiser().Report(e, source);
        }
    } catch (...) {
        // Nothing in hand, or the report failed: the run ends all the same.
    }
    return error;
}

} // namespace ztest
