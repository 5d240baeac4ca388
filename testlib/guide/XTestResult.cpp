#include "testlib/guide/XTestResult.h"

#include "host/documents/HostTranslator.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IResultData.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/BitmapResources.h"
#include "testlib/core/CMeasurement.h"

#include <utility>

namespace ztest {

namespace {

constexpr const char* kModuleKey = zarvik::ModuleKey;
constexpr int kPassedColumn = 2;
constexpr int kFailColumn = 3;
constexpr int32_t kFailedColor = 255;

} // namespace

XTestResult::XTestResult() : plat::UserControl("XTestResult")
{
    mChecked = plat::LoadBitmapResource("CHK:CHECK");
    mUnchecked = plat::LoadBitmapResource("CHK:UNCHECK");
    mGrid = Add<plat::Grid>("tliResult");
    mGrid->SetCols(4);
    const struct {
        const char* header;
        float width;
        int alignment;
    } columns[] = {{"311::Description", 2295, 2}, {"2051::Test passed", 1000, 5}, {"2052::Test fail", 1000, 5}, {"", 6000, 0}};
    for (int col = 1; col <= 4; ++col) {
        const auto& column = columns[col - 1];
        mGrid->SetCellText(0, col, column.header);
        mGrid->SetColWidth(col, column.width);
        mGrid->SetColAlignment(col, column.alignment);
    }
    mConnections.emplace_back(mGrid->CellClick.Connect([this](int row, int col, int16_t button) { OnCellClick(row, col, button); }));
    mConnections.emplace_back(Resize.Connect([this] { Layout(); }));
    plat::IgnoreErrors([&] { host::HostTranslator::Process()->TranslateObject(kModuleKey, *this); });
    Layout();
}

void XTestResult::SetLimits(const std::shared_ptr<host::ILimitData>& /*limits*/) {}

void XTestResult::Clear() { mGrid->ClearRows(); }

void XTestResult::SelectStandard(const std::string& /*sAName*/, const std::string& /*sCName*/, bool /*fCalc*/) {}

void XTestResult::ShowTestResult(const std::shared_ptr<host::IResultData>& irdResult)
{
    mResult = irdResult;
    if (!mResult) return;
    mGrid->SetRedraw(false);
    mGrid->ClearRows();
    int32_t count = 0;
    plat::IgnoreErrors([&] { count = mResult->MeasurementCount(); });
    for (int32_t index = 1; index <= count; ++index) {
        plat::IgnoreErrors([&] {
            auto measurement = mResult->Measurement(plat::Variant(index));
            if (!measurement) return;
            const int row = mGrid->AddRow(measurement->Description());
            mGrid->SetRowKey(row, measurement->Key());
            SetRowState(row, measurement->value());
        });
    }
    mGrid->SetRedraw(true);
}

// The check marks and text colour of a row from its measurement's verdict: none, passed (True)
// or failed (False).
void XTestResult::SetRowState(int row, const plat::Variant& value)
{
    bool passed = false;
    bool failed = false;
    if (!value.IsEmpty() && !value.IsNull()) {
        plat::IgnoreErrors([&] {
            const bool verdict = plat::CBool(value);
            passed = verdict;
            failed = !verdict;
        });
    }
    mGrid->SetCellPicture(row, kPassedColumn, passed ? mChecked : mUnchecked);
    mGrid->SetCellPicture(row, kFailColumn, failed ? mChecked : mUnchecked);
    mGrid->SetRowForeColor(row, failed ? kFailedColor : plat::color::WindowText);
}

void XTestResult::OnCellClick(int row, int col, int16_t button)
{
    if (button != 1) return;
    std::optional<WrittenVerdict> written;
    if (row > 0 && (col == kPassedColumn || col == kFailColumn) && mResult) {
        plat::IgnoreErrors([&] {
            auto measurement = std::dynamic_pointer_cast<CMeasurement>(mResult->Measurement(plat::Variant(mGrid->RowKey(row))));
            if (!measurement) return;
            written = WrittenVerdict{measurement, measurement->value(), measurement->GetStatus()};
            const bool passed = col == kPassedColumn;
            measurement->SetValue(plat::Variant(passed));
            measurement->SetStatus(passed ? 1 : 2);
            SetRowState(row, measurement->value());
        });
    }
    // A click inside a handler of another click's event keeps its own undo, then the outer one's.
    auto outer = std::exchange(mWritten, written);
    try {
        RaiseEvent("ItemClicked");
    } catch (...) {
        mWritten = std::move(outer);
        throw;
    }
    mWritten = std::move(outer);
}

void XTestResult::RefuseVerdict()
{
    if (!mWritten) return;
    const WrittenVerdict written = *std::exchange(mWritten, std::nullopt);
    written.measurement->SetValue(written.value);
    written.measurement->SetStatus(written.status);
    // The view may show another record by now: only a row of the measurement changes its look.
    plat::IgnoreErrors([&] {
        if (!mResult) return;
        for (int row = 1; row < mGrid->Rows(); ++row) {
            if (mGrid->RowKey(row) != written.measurement->GetKey()) continue;
            const auto shown = std::dynamic_pointer_cast<CMeasurement>(mResult->Measurement(plat::Variant(mGrid->RowKey(row))));
            if (shown == written.measurement) SetRowState(row, written.value);
        }
    });
}

void XTestResult::Layout()
{
    plat::IgnoreErrors([&] { mGrid->Move(0, 0, ScaleWidth(), ScaleHeight()); });
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XTestResult, ztest::XTestResult::ProgId, ztest::XTestResult::ClassId)
