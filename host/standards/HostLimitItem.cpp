#include "host/standards/HostLimitItem.h"

#include "host/standards/HostFormulaLimit.h"
#include "platform/base/ComError.h"

namespace host {

std::shared_ptr<HostLimitItem> HostLimitItem::Create()
{
    return std::make_shared<HostFormulaLimit>();
}

void HostLimitItem::Initialize(const std::string& key, const std::string& unit, const std::string& caption,
                               const std::string& note)
{
    mKey = key;
    mUnit = unit;
    mCaption = caption;
    mNote = note;
}

const HostLimitItem::Bound& HostLimitItem::BoundAt(int bound) const
{
    if (bound != UpperBound && bound != LowerBound) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, "Host.HostLimitItem");
    return mBounds[static_cast<std::size_t>(bound)];
}

HostLimitItem::Bound& HostLimitItem::BoundAt(int bound)
{
    return const_cast<Bound&>(static_cast<const HostLimitItem&>(*this).BoundAt(bound));
}

bool HostLimitItem::Enabled(int bound) const { return BoundAt(bound).enabled; }
void HostLimitItem::SetEnabled(int bound, bool enabled) { BoundAt(bound).enabled = enabled; }
float HostLimitItem::Value(int bound) const { return BoundAt(bound).value; }
void HostLimitItem::SetValue(int bound, float value) { BoundAt(bound).value = value; }
const std::string& HostLimitItem::Formula(int bound) const { return BoundAt(bound).formula; }
void HostLimitItem::SetFormula(int bound, const std::string& formula) { BoundAt(bound).formula = formula; }

float HostLimitItem::LimitValue(int bound, float /*presetX*/) const
{
    return Value(bound);
}

std::shared_ptr<HostLimitItem> HostLimitItem::Clone() const
{
    return std::make_shared<HostLimitItem>(*this);
}

} // namespace host
