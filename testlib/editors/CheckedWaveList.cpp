#include "testlib/editors/CheckedWaveList.h"

#include "host/documents/HostTranslator.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"

#include <utility>

namespace ztest {

namespace {
constexpr const char* kModuleKey = zarvik::ModuleKey;
}

CheckedWaveList::CheckedWaveList(plat::Window& container, const std::string& name,
                                 std::span<const std::string_view> texts, int32_t firstCode, Site site)
    : mTexts(texts), mFirstCode(firstCode), mSite(std::move(site))
{
    mList = container.Add<plat::ListBox>(name, plat::vbListBoxCheckbox);
    mList->ItemCheck.Connect([this](int index) { ItemCheck(index); });
}

void CheckedWaveList::FillWaveList()
{
    mSite.editor.whileLoading([&] {
        plat::IgnoreErrors([&] { mList->Clear(); });
        const auto translator = host::HostTranslator::Process();
        for (std::string_view text : mTexts) {
            plat::IgnoreErrors([&] { mList->AddItem(translator->Translate(kModuleKey, text)); });
        }
    });
}

void CheckedWaveList::ClearChecks(bool state)
{
    for (int i = 0; i < mList->ListCount(); ++i) plat::IgnoreErrors([&] { mList->SetSelected(i, state); });
}

int CheckedWaveList::IndexOf(int32_t code) const
{
    const int64_t index = static_cast<int64_t>(code) - mFirstCode;
    return index >= 0 && index < mList->ListCount() ? static_cast<int>(index) : -1;
}

void CheckedWaveList::SelectWave(int32_t code)
{
    mSite.editor.whileLoading([&] {
        ClearChecks(false);
        const int index = IndexOf(code);
        if (index < 0) return;
        plat::IgnoreErrors([&] { mList->SetSelected(index, true); });
        plat::IgnoreErrors([&] { mList->SetTopIndex(index); });
    });
}

void CheckedWaveList::ItemCheck(int index)
{
    if (mSite.editor.loading()) return;
    mSite.editor.whileLoading([&] {
        if (mSite.picked) plat::IgnoreErrors([&] { mSite.picked(index); });
        // Exactly one entry stays checked, also when the operator unchecked the checked one.
        ClearChecks(false);
        plat::IgnoreErrors([&] { mList->SetSelected(index, true); });
    });
    mSite.editor.changed();
    plat::IgnoreErrors([&] { mSite.setWavetype(mFirstCode + index); });
    mSite.editor.changed();
}

} // namespace ztest
