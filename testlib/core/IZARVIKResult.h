#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <memory>
#include <string>

namespace ztest {

// A result view as the test-guide window drives it: it is handed the test's limits, cleared,
// shown a result record and told which standard's limits to display.
class IZARVIKResult : public virtual plat::IUnknown {
public:
    static constexpr const char* InterfaceId = "{E7B07ABD-1C6E-4F7B-A55B-31BBE867991C}";

    // The test element's limits (a property that is only ever set).
    virtual void SetLimits(const std::shared_ptr<host::ILimitData>& limits) = 0;
    virtual void Clear() = 0;
    virtual void ShowTestResult(const std::shared_ptr<host::IResultData>& irdResult) = 0;
    // fCalc: show the limits with their formulas worked out for the preset values.
    virtual void SelectStandard(const std::string& sAName, const std::string& sCName, bool fCalc) = 0;
};

} // namespace ztest
