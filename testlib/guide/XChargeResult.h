#pragma once

#include "platform/ui/ListView.h"
#include "platform/ui/UserControl.h"
#include "testlib/core/IZARVIKResult.h"

#include <memory>
#include <string>
#include <vector>

namespace host {
class HostStandards;
class IMeasurement;
} // namespace host

namespace ztest {

// The measurement result view: one row per measurement with its value and the high and low
// limits of the chosen standard; a failed measurement is drawn bold and red. A mouse-down on
// the list is raised as the event "MouseDown" (button, shift, x, y).
class XChargeResult : public plat::UserControl, public IZARVIKResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XChargeResult";
    static constexpr const char* ClassId = "{75198212-9A06-4D08-A2D4-8F32F5A6E373}";

    XChargeResult();

    // IZARVIKResult
    void SetLimits(const std::shared_ptr<host::ILimitData>& limits) override;
    void Clear() override;
    void ShowTestResult(const std::shared_ptr<host::IResultData>& irdResult) override;
    void SelectStandard(const std::string& sAName, const std::string& sCName, bool fCalc) override;

    const std::shared_ptr<plat::ListView>& lvwResult() const { return mList; }

private:
    void ShowMeasurement(const std::shared_ptr<host::IMeasurement>& measurement);
    void Layout();

    std::shared_ptr<host::HostStandards> mStandards;
    std::shared_ptr<host::IResultData> mResult;
    std::string mAName;
    std::string mCName;
    bool mCalc = true;
    std::shared_ptr<plat::ListView> mList;
    std::vector<plat::ScopedConnection> mConnections;
};

} // namespace ztest
