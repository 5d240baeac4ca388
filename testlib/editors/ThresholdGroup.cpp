#include "testlib/editors/ThresholdGroup.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "testlib/config/CConfigEcg.h"

#include <cmath>
#include <string>
#include <utility>

namespace ztest {

ThresholdGroup::ThresholdGroup(plat::Window& container, Site site) : mSite(std::move(site))
{
    auto widthLabel = container.Add<plat::Label>("lblWidth");
    widthLabel->Move(360, 720, 1095, 255);
    widthLabel->SetCaption("20086::Width");
    mWidth = container.Add<plat::ComboBox>("cboWidth", plat::vbComboDropdownList);
    mWidth->Move(1560, 660, 1095, 315);
    mWidth->Click.Connect([this] { Picked(*mWidth, &CConfigEcg::SetWidth, &CConfigEcg::SetWidthIndex); });

    auto amplitudeLabel = container.Add<plat::Label>("lblAmplitude");
    amplitudeLabel->Move(360, 1200, 1095, 255);
    amplitudeLabel->SetCaption("20087::Amplitude");
    mAmplitude = container.Add<plat::ComboBox>("cboAmplitude", plat::vbComboDropdownList);
    mAmplitude->Move(1560, 1140, 1095, 315);
    mAmplitude->Click.Connect([this] { Picked(*mAmplitude, &CConfigEcg::SetAmplitude, &CConfigEcg::SetAmplitudeIndex); });
}

void ThresholdGroup::FillThresholdLists()
{
    plat::IgnoreErrors([&] { mWidth->Clear(); });
    for (std::string_view text : CConfigEcg::WidthTable()) plat::IgnoreErrors([&] { mWidth->AddItem(std::string(text)); });
    plat::IgnoreErrors([&] { mAmplitude->Clear(); });
    for (std::string_view text : CConfigEcg::AmplitudeTable()) {
        plat::IgnoreErrors([&] { mAmplitude->AddItem(std::string(text)); });
    }
}

void ThresholdGroup::ShowIndex(plat::ComboBox& list, float storedIndex)
{
    // Cleared first, so that selecting the stored entry always runs the list's handler.
    plat::IgnoreErrors([&] { list.SetListIndex(-1); });
    const double index = plat::RoundHalfEven(storedIndex);
    if (!std::isfinite(index) || index < 0 || index >= list.ListCount()) return;
    plat::IgnoreErrors([&] { list.SetListIndex(static_cast<int>(index)); });
}

void ThresholdGroup::Show(const CConfigEcg& record)
{
    mSite.editor.whileLoading([&] {
        ShowIndex(*mWidth, record.GetWidthIndex());
        ShowIndex(*mAmplitude, record.GetAmplitudeIndex());
    });
}

void ThresholdGroup::SetEnabled(bool enabled)
{
    plat::IgnoreErrors([&] { mWidth->SetEnabled(enabled); });
    plat::IgnoreErrors([&] { mAmplitude->SetEnabled(enabled); });
}

void ThresholdGroup::Picked(plat::ComboBox& list, void (CConfigEcg::*setValue)(float), void (CConfigEcg::*setIndex)(float))
{
    const int index = list.ListIndex();
    if (index < 0) return;
    // Written also while loading: the stored value follows the stored index.
    plat::IgnoreErrors([&] {
        CConfigEcg* record = mSite.record();
        if (!record) return;
        (record->*setValue)(plat::CSng(plat::Variant(list.Text())));
        (record->*setIndex)(static_cast<float>(index));
    });
    if (!mSite.editor.loading()) mSite.editor.changed();
}

} // namespace ztest
