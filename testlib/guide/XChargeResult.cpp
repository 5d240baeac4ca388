#include "testlib/guide/XChargeResult.h"

#include "host/documents/HostTranslator.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IMeasurement2.h"
#include "host/interfaces/IResultData.h"
#include "host/standards/HostStandards.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"

namespace ztest {

namespace {

constexpr const char* kModuleKey = zarvik::ModuleKey;
constexpr int32_t kFailedColor = 255;
constexpr int32_t kNormalColor = 0;

// The text of a measured value: blank when not rated or when there is no value, the marker of
// a missing synchronisation as it stands, else the value and its unit.
std::string ValueText(const std::shared_ptr<host::IMeasurement>& measurement)
{
    if (measurement->Status() == 0) return " ";
    const plat::Variant value = measurement->value();
    if (value.IsEmpty() || value.IsNull()) return " ";
    if (value.IsString() && value.AsString() == "NOSYNC") return value.AsString() + " ";
    if (value.IsString() && !plat::IsNumericText(value.AsString())) return value.AsString() + " ";
    // A value beyond the Single's range (a failed reading) is shown as the Double it is.
    std::string number;
    try {
        number = plat::CStr(plat::CSng(value));
    } catch (const plat::ComError&) {
        number = plat::CStr(plat::CDbl(value));
    }
    return number + " " + measurement->Unit();
}

} // namespace

XChargeResult::XChargeResult() : plat::UserControl("XChargeResult")
{
    mList = Add<plat::ListView>("lvwResult");
    mList->SetView(plat::lvwReport);
    mList->SetFullRowSelect(true);
    mList->AddColumn("20515::Settings", 2450, plat::lvwColumnLeft);
    mList->AddColumn("230::Measurement", 1550, plat::lvwColumnRight);
    mList->AddColumn("232::High limit", 1550, plat::lvwColumnRight);
    mList->AddColumn("233::Low limit", 1550, plat::lvwColumnRight);
    mConnections.emplace_back(mList->MouseDown.Connect([this](int16_t button, int16_t shift, float x, float y) {
        RaiseEvent("MouseDown", {plat::Variant(button), plat::Variant(shift), plat::Variant(x), plat::Variant(y)});
    }));
    mConnections.emplace_back(Resize.Connect([this] { Layout(); }));
    plat::IgnoreErrors([&] { host::HostTranslator::Process()->TranslateObject(kModuleKey, *this); });
    Layout();
}

void XChargeResult::SetLimits(const std::shared_ptr<host::ILimitData>& limits)
{
    plat::IgnoreErrors([&] { mStandards = limits ? limits->Standards() : nullptr; });
}

void XChargeResult::Clear() { mList->ClearItems(); }

void XChargeResult::ShowTestResult(const std::shared_ptr<host::IResultData>& irdResult)
{
    mResult = irdResult;
    mList->ClearItems();
    if (mResult) {
        int32_t count = 0;
        plat::IgnoreErrors([&] { count = mResult->MeasurementCount(); });
        for (int32_t index = 1; index <= count; ++index) {
            std::shared_ptr<host::IMeasurement> measurement;
            plat::IgnoreErrors([&] { measurement = mResult->Measurement(plat::Variant(index)); });
            if (measurement) plat::IgnoreErrors([&] { ShowMeasurement(measurement); });
        }
    }
    // The standard chosen before is shown again, with the calculate flag it was chosen with.
    if (!mAName.empty() && !mCName.empty()) SelectStandard(mAName, mCName, mCalc);
    mList->Refresh();
}

void XChargeResult::ShowMeasurement(const std::shared_ptr<host::IMeasurement>& measurement)
{
    const std::string key = measurement->Key();
    auto row = mList->FindItem(key);
    if (!row) {
        row = mList->AddItem(key, measurement->Description());
        row->AddSubItem("val", " ");
        row->AddSubItem("hi", " ");
        row->AddSubItem("lo", " ");
    }
    // The row is styled by its status whatever becomes of the value's text.
    std::string valueText = " ";
    plat::IgnoreErrors([&] { valueText = ValueText(measurement); });
    row->SubItemByKey("val").text = valueText;
    const bool failed = measurement->Status() == 2;
    const int32_t color = failed ? kFailedColor : kNormalColor;
    row->SetBold(failed);
    row->SetForeColor(color);
    for (int i = 1; i <= row->SubItemCount(); ++i) {
        row->SubItem(i).bold = failed;
        row->SubItem(i).foreColor = color;
    }
    mList->SetSelectedItem(nullptr);
}

void XChargeResult::SelectStandard(const std::string& sAName, const std::string& sCName, bool fCalc)
{
    mAName = sAName;
    mCName = sCName;
    mCalc = fCalc;
    if (!mStandards) return;
    auto standard = mStandards->Find(sAName, sCName);
    if (!standard) return;
    const int32_t flags = fCalc ? 7 : 6;
    for (int index = 1; index <= mList->ItemCount(); ++index) {
        auto row = mList->Item(index);
        if (row->Key().empty() || !mResult) continue;
        plat::IgnoreErrors([&] {
            auto measurement = std::dynamic_pointer_cast<host::IMeasurement2>(mResult->Measurement(plat::Variant(row->Key())));
            if (!measurement) return;
            const std::pair<const char*, int32_t> bounds[] = {{"hi", 0}, {"lo", 1}};
            for (const auto& [subKey, bound] : bounds) {
                plat::IgnoreErrors([&] {
                    const plat::Variant limit = measurement->GetLimitValue(standard, bound, flags);
                    std::string text = limit.IsEmpty() || limit.IsNull() ? std::string() : plat::CStr(limit);
                    auto& cell = row->SubItemByKey(subKey);
                    cell.text = text.empty() ? " " : text;
                    cell.toolTipText = sCName;
                });
            }
        });
    }
}

void XChargeResult::Layout()
{
    plat::IgnoreErrors([&] { mList->Move(0, 0, ScaleWidth(), ScaleHeight()); });
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XChargeResult, ztest::XChargeResult::ProgId, ztest::XChargeResult::ClassId)
