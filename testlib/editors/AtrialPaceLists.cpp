#include "testlib/editors/AtrialPaceLists.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/ui/Colors.h"
#include "testlib/config/CConfigArr.h"

#include <string>
#include <utility>

namespace ztest {

namespace {

// A label at a design place.
void AddLabel(plat::Window& container, const std::string& name, const std::string& caption, float left, float top,
              float width)
{
    auto label = container.Add<plat::Label>(name);
    label->Move(left, top, width, 255);
    label->SetCaption(caption);
}

} // namespace

AtrialPaceLists::AtrialPaceLists(plat::Window& container, Site site) : mSite(std::move(site))
{
    AddLabel(container, "lblTransvenousPacedSpike", "20090::Transvenous Paced Spike", 2500, 1200, 3000);
    AddLabel(container, "lblWidth", "20086::Width", 2600, 1650, 975);
    mWidth = container.Add<plat::ComboBox>("cboWidth", plat::vbComboDropdownList);
    mWidth->Move(3600, 1600, 1395, 315);
    mWidth->Click.Connect([this] { Picked(*mWidth, &CConfigArr::SetWidth); });
    AddLabel(container, "lblms", "20452::ms", 5100, 1600, 495);
    AddLabel(container, "lblAmplitude", "20087::Amplitude", 2600, 2150, 975);
    mAmplitude = container.Add<plat::ComboBox>("cboAmplitude", plat::vbComboDropdownList);
    mAmplitude->Move(3600, 2100, 1395, 315);
    mAmplitude->Click.Connect([this] { Picked(*mAmplitude, &CConfigArr::SetAmplitude); });
    AddLabel(container, "lblmV", "20453::mV", 5100, 2100, 495);
    ApplyStates();
}

void AtrialPaceLists::Fill()
{
    mSite.editor.whileLoading([&] { FillEntries(); });
}

void AtrialPaceLists::FillEntries()
{
    plat::IgnoreErrors([&] { mWidth->Clear(); });
    for (float width : {0.1f, 0.2f, 0.5f, 1.0f, 2.0f}) {
        plat::IgnoreErrors([&] { mWidth->AddItem(plat::Format(plat::Variant(width), "0.0")); });
    }
    plat::IgnoreErrors([&] { mAmplitude->Clear(); });
    for (int amplitude : {-700, -500, -200, -100, -50, -20}) {
        plat::IgnoreErrors([&] { mAmplitude->AddItem(plat::CStr(static_cast<int32_t>(amplitude))); });
    }
    for (int amplitude = -18; amplitude <= 18; amplitude += 2) {
        plat::IgnoreErrors([&] { mAmplitude->AddItem(plat::CStr(static_cast<int32_t>(amplitude))); });
    }
    for (int amplitude : {20, 50, 100, 200, 500, 700}) {
        plat::IgnoreErrors([&] { mAmplitude->AddItem(plat::CStr(static_cast<int32_t>(amplitude))); });
    }
    ShowDefaults();
}

void AtrialPaceLists::ShowDefaults()
{
    mSite.editor.whileLoading([&] {
        plat::IgnoreErrors([&] { mWidth->SetText(DefaultWidth); });
        plat::IgnoreErrors([&] { mAmplitude->SetText(DefaultAmplitude); });
    });
}

void AtrialPaceLists::ShowValue(plat::ComboBox& list, float value)
{
    int found = -1;
    for (int i = 0; i < list.ListCount() && found < 0; ++i) {
        plat::IgnoreErrors([&] {
            if (plat::CSng(plat::Variant(list.List(i))) == value) found = i;
        });
    }
    plat::IgnoreErrors([&] { list.SetListIndex(found); });
}

void AtrialPaceLists::ShowValues(const CConfigArr& record)
{
    mSite.editor.whileLoading([&] {
        ShowValue(*mWidth, record.GetWidth());
        ShowValue(*mAmplitude, record.GetAmplitude());
    });
}

void AtrialPaceLists::SetPacing(bool pacing)
{
    mPacing = pacing;
    if (!pacing) {
        mSite.editor.whileLoading([&] {
            plat::IgnoreErrors([&] { mWidth->SetListIndex(-1); });
            plat::IgnoreErrors([&] { mAmplitude->SetListIndex(-1); });
        });
    }
    ApplyStates();
}

void AtrialPaceLists::SetLocked(bool locked)
{
    mLocked = locked;
    ApplyStates();
}

void AtrialPaceLists::ApplyStates()
{
    const int32_t background = mPacing ? plat::color::WindowBackground : plat::color::ButtonFace;
    for (auto* list : {mWidth.get(), mAmplitude.get()}) {
        plat::IgnoreErrors([&] { list->SetBackColor(background); });
        // Usable only for a wave that paces atrially, and never while the editor is locked.
        plat::IgnoreErrors([&] { list->SetEnabled(mPacing && !mLocked); });
    }
}

void AtrialPaceLists::Picked(plat::ComboBox& list, void (CConfigArr::*setValue)(float))
{
    if (mSite.editor.loading() || list.ListIndex() < 0) return;
    mSite.editor.whileLoading([&] {
        CConfigArr* record = mSite.record();
        if (record) (record->*setValue)(plat::CSng(plat::Variant(list.Text())));
    });
    mSite.editor.changed();
}

} // namespace ztest
