#include "testlib/editors/PacerLoadGroup.h"

#include "host/documents/HostTranslator.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "testlib/config/CConfigPacer.h"

#include <utility>

namespace ztest {

namespace {

constexpr const char* kModuleKey = zarvik::ModuleKey;
constexpr std::string_view kInternalLoad = "20350::Fixed internal 50 Ohms";
constexpr int kOpenCircuit = 0;

std::string Translate(std::string_view text)
{
    return host::HostTranslator::Process()->Translate(kModuleKey, text);
}

} // namespace

std::span<const PacerLoadGroup::Adapter> PacerLoadGroup::Adapters()
{
    static constexpr int internal[] = {50};
    static constexpr int ohms1000[] = {1000};
    static constexpr int mde[] = {600, 1000, kOpenCircuit};
    static constexpr int mmm[] = {300};
    static constexpr int fourLoads[] = {100, 700, 1000, 1500};
    static constexpr int ohms100[] = {100};
    static constexpr int hp[] = {50, 400};
    static constexpr int zollPdM[] = {100, 1000};
    static constexpr int mrl[] = {500};
    static constexpr Adapter adapters[] = {
        {kInternalLoad, internal},
        {"20351::PXA2 Zoll Models PDx", ohms1000},
        {"20352::PXA3 Zoll Models NTPx", ohms1000},
        {"20353::PXA6 MDE", mde},
        {"20354::PXA7 MMM", mmm},
        {"20355::PXA9 Physio Control", fourLoads},
        {"20356::PXA11 Cardiotronics", ohms100},
        {"20357::PXA12 Hewlett Packard", hp},
        {"20358::PXA16 Medtronic QUIK COMBO", fourLoads},
        {"20359::PXA17 Zoll PD & M", zollPdM},
        {"20360::PXA18 MRL", mrl},
    };
    return adapters;
}

PacerLoadGroup::PacerLoadGroup(plat::Window& container, Site site) : mSite(std::move(site))
{
    auto adapterLabel = container.Add<plat::Label>("lblAdapter");
    adapterLabel->Move(120, 240, 2000, 255);
    adapterLabel->SetCaption("20095::Adapter");
    mAdapter = container.Add<plat::ComboBox>("cboAdapter", plat::vbComboDropdownList);
    mAdapter->Move(2280, 240, 3375, 315);
    mAdapter->Click.Connect([this] { AdapterClick(); });

    auto loadLabel = container.Add<plat::Label>("lblLoad");
    loadLabel->Move(120, 720, 2000, 255);
    loadLabel->SetCaption("20096::Load");
    mLoad = container.Add<plat::ComboBox>("cboLoad", plat::vbComboDropdownList);
    mLoad->Move(2280, 720, 1815, 315);
    mLoad->Click.Connect([this] { LoadClick(); });
}

std::string PacerLoadGroup::LoadText(int ohms)
{
    if (ohms == kOpenCircuit) return Translate("20368::Open Circuit");
    return plat::CStr(static_cast<int32_t>(ohms)) + Translate("20369:: Ohms");
}

void PacerLoadGroup::FillAdapterList()
{
    mSite.editor.whileLoading([&] {
        plat::IgnoreErrors([&] { mAdapter->Clear(); });
        for (const Adapter& adapter : Adapters()) plat::IgnoreErrors([&] { mAdapter->AddItem(Translate(adapter.caption)); });
        plat::IgnoreErrors([&] { mAdapter->SetListIndex(0); });
    });
}

void PacerLoadGroup::FillLoadList()
{
    mSite.editor.whileLoading([&] {
        FillLoads(0);
        plat::IgnoreErrors([&] { mLoad->SetEnabled(false); });
    });
}

void PacerLoadGroup::FillLoads(int adapterIndex)
{
    const auto adapters = Adapters();
    if (adapterIndex < 0 || adapterIndex >= static_cast<int>(adapters.size())) return;
    // Emptied first, so that no load is listed twice.
    plat::IgnoreErrors([&] { mLoad->Clear(); });
    for (int ohms : adapters[static_cast<size_t>(adapterIndex)].loads) {
        plat::IgnoreErrors([&] { mLoad->AddItem(LoadText(ohms)); });
    }
    // Choosing the first load writes it (unless loading) through the load list's handler.
    plat::IgnoreErrors([&] { mLoad->SetListIndex(0); });
}

void PacerLoadGroup::ShowIndex(plat::ComboBox& list, int index)
{
    if (index < 0 || index >= list.ListCount()) return;
    plat::IgnoreErrors([&] { list.SetListIndex(index); });
}

void PacerLoadGroup::Show(const CConfigPacer& record, ShowOrder order)
{
    mSite.editor.whileLoading([&] {
        // A pick-only list refuses a text it does not hold; the list then stays as it was.
        auto showText = [](plat::ComboBox& list, const std::string& text) { plat::IgnoreErrors([&] { list.SetText(text); }); };
        if (order == ShowOrder::IndexThenText) {
            ShowIndex(*mAdapter, record.GetAdapterIndex());
            showText(*mAdapter, record.GetAdapter());
            ShowIndex(*mLoad, record.GetLoadIndex());
            showText(*mLoad, record.GetLoad());
        } else {
            showText(*mAdapter, record.GetAdapter());
            ShowIndex(*mAdapter, record.GetAdapterIndex());
            showText(*mLoad, record.GetLoad());
            ShowIndex(*mLoad, record.GetLoadIndex());
        }
    });
}

void PacerLoadGroup::SetLocked(bool locked)
{
    mLocked = locked;
    plat::IgnoreErrors([&] { mLoad->SetEnabled(!locked); });
    plat::IgnoreErrors([&] { mAdapter->SetEnabled(!locked); });
}

void PacerLoadGroup::AdapterClick()
{
    const int index = mAdapter->ListIndex();
    if (index < 0) return;
    if (!mSite.editor.loading()) {
        plat::IgnoreErrors([&] {
            CConfigPacer* record = mSite.record();
            if (!record) return;
            record->SetAdapterIndex(static_cast<int16_t>(index));
            record->SetAdapter(mAdapter->Text());
        });
        mSite.editor.changed();
    }
    FillLoads(index);
    // The internal load offers nothing to choose; a locked editor keeps its lists disabled.
    plat::IgnoreErrors([&] { mLoad->SetEnabled(!mLocked && index != 0); });
}

void PacerLoadGroup::LoadClick()
{
    const int index = mLoad->ListIndex();
    if (mSite.editor.loading() || index < 0) return;
    plat::IgnoreErrors([&] {
        CConfigPacer* record = mSite.record();
        if (!record) return;
        record->SetLoadIndex(static_cast<int16_t>(index));
        record->SetLoad(mLoad->Text());
    });
    mSite.editor.changed();
}

} // namespace ztest
