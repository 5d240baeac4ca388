#include "support/LimitItems.h"

namespace ztesting {

std::shared_ptr<host::HostLimitItem> MakeLimitItem(const LimitItemSpec& spec)
{
    auto item = spec.formulaCapable ? host::HostLimitItem::Create() : std::make_shared<host::HostLimitItem>();
    item->Initialize(spec.key, spec.unit, spec.caption, spec.note);
    const auto setBound = [&item](int bound, const BoundSpec& setting) {
        item->SetEnabled(bound, setting.enabled);
        item->SetValue(bound, setting.value);
        item->SetFormula(bound, setting.formula);
    };
    setBound(host::HostLimitItem::UpperBound, spec.upper);
    setBound(host::HostLimitItem::LowerBound, spec.lower);
    return item;
}

std::shared_ptr<host::HostStandard> MakeStandard(const std::string& alphaName, const std::string& completeName,
                                                 const std::vector<LimitItemSpec>& items, int32_t kind)
{
    auto standard = std::make_shared<host::HostStandard>();
    standard->Initialize(alphaName, completeName, kind);
    for (const auto& spec : items) standard->AddItem(MakeLimitItem(spec));
    return standard;
}

} // namespace ztesting
