#pragma once

#include "platform/base/Variant.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/Grid.h"
#include "platform/ui/UserControl.h"
#include "testlib/core/IZARVIKResult.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ztest {

class CMeasurement;

// The checklist result view of the tests the operator judges: one row per measurement with a
// "passed" and a "fail" column, each showing a checked or unchecked picture. A left click on
// either column of a row sets the measurement's verdict; every left click raises the event
// "ItemClicked" (no arguments). Whoever hosts the view may refuse the verdict while the event is
// raised: the measurement and its row are then put back as they were before the click.
class XTestResult : public plat::UserControl, public IZARVIKResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XTestResult";
    static constexpr const char* ClassId = "{45919F70-990A-473E-9162-F19758A45BC0}";

    XTestResult();

    // IZARVIKResult
    void SetLimits(const std::shared_ptr<host::ILimitData>& limits) override;
    void Clear() override;
    void ShowTestResult(const std::shared_ptr<host::IResultData>& irdResult) override;
    void SelectStandard(const std::string& sAName, const std::string& sCName, bool fCalc) override;

    // Puts back the verdict that the click being reported wrote (value and status of its
    // measurement, and the row's look); outside the click's "ItemClicked" it does nothing.
    void RefuseVerdict();

    const std::shared_ptr<plat::Grid>& tliResult() const { return mGrid; }
    const std::shared_ptr<plat::Bitmap>& CheckedPicture() const { return mChecked; }
    const std::shared_ptr<plat::Bitmap>& UncheckedPicture() const { return mUnchecked; }

private:
    void SetRowState(int row, const plat::Variant& value);
    void OnCellClick(int row, int col, int16_t button);
    void Layout();

    // What a click wrote over, kept while its "ItemClicked" is raised.
    struct WrittenVerdict {
        std::shared_ptr<CMeasurement> measurement;
        plat::Variant value;
        int32_t status = 0;
    };

    std::shared_ptr<host::IResultData> mResult;
    std::optional<WrittenVerdict> mWritten;
    std::shared_ptr<plat::Bitmap> mChecked;
    std::shared_ptr<plat::Bitmap> mUnchecked;
    std::shared_ptr<plat::Grid> mGrid;
    std::vector<plat::ScopedConnection> mConnections;
};

} // namespace ztest
